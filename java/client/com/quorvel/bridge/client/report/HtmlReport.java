package com.quorvel.bridge.client.report;

import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.Location;
import com.quorvel.bridge.client.Severity;
import com.quorvel.bridge.client.SuppressionState;
import java.io.IOException;
import java.io.UncheckedIOException;
import java.io.Writer;
import java.nio.charset.StandardCharsets;
import java.nio.file.DirectoryStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.EnumMap;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.TreeMap;

/**
 * Writes an {@link AnalysisReport} as a static HTML report that needs nothing else: {@code index.html} with the
 * totals per severity, bar charts (inline SVG) of the findings per severity and per rule and a table of the files;
 * and one page per analysed file under {@code files/} with its source, line numbers and each active finding at its
 * line. Every text from sources and messages is escaped. A file page shows the whole source up to
 * {@link #FULL_SOURCE_LIMIT} characters and, for a larger file, only the lines around its findings.
 */
public final class HtmlReport {
    /** The size of source up to which a file page shows every line. */
    public static final int FULL_SOURCE_LIMIT = 1 << 20;
    private static final int CONTEXT_LINES = 3;
    private static final String STYLE = "body{font-family:sans-serif;margin:1.5em;color:#222}"
            + "table{border-collapse:collapse}td,th{padding:2px 8px;text-align:left}"
            + ".files td,.files th,.totals td,.totals th{border-bottom:1px solid #ddd}"
            + ".src{font-family:monospace;white-space:pre;font-size:13px}.src td.n{color:#888;text-align:right;"
            + "user-select:none}.finding{white-space:normal;font-family:sans-serif;margin:2px 0 6px;padding:4px 8px;"
            + "border-left:4px solid #888;background:#f6f6f6}.error{border-color:#c62828}.warning{border-color:#ef6c00}"
            + ".gap td{color:#888}.sub{margin:0;padding-left:1.2em;font-size:12px}";
    private static final Map<Severity, String> COLOURS = new EnumMap<>(Map.of(Severity.ERROR, "#c62828",
            Severity.WARNING, "#ef6c00", Severity.STYLE, "#1565c0", Severity.PERFORMANCE, "#6a1b9a",
            Severity.PORTABILITY, "#2e7d32", Severity.INFORMATION, "#546e7a", Severity.UNKNOWN, "#9e9e9e"));

    private final AnalysisReport report;

    private HtmlReport(AnalysisReport report) {
        this.report = report;
    }

    /**
     * Writes the report into a folder, creating it when needed; the pages of an earlier report there are removed.
     *
     * @param report the run's results
     * @param folder the folder
     * @throws UncheckedIOException when a file cannot be written
     */
    public static void write(AnalysisReport report, Path folder) {
        try {
            new HtmlReport(report).writeAll(folder);
        } catch (IOException e) {
            throw new UncheckedIOException("cannot write the HTML report in " + folder, e);
        }
    }

    private void writeAll(Path folder) throws IOException {
        Files.createDirectories(folder.resolve("files"));
        try (DirectoryStream<Path> earlier = Files.newDirectoryStream(folder.resolve("files"), "file*.html")) {
            for (Path page : earlier) {
                Files.delete(page);
            }
        }
        Map<Severity, Integer> perSeverity = new EnumMap<>(Severity.class);
        Map<String, Integer> perRule = new TreeMap<>();
        Map<Path, Map<Severity, Integer>> perFile = new LinkedHashMap<>();
        int switchedOff = 0;
        int inSource = 0;
        int page = 0;
        for (Map.Entry<Path, List<Finding>> entry : report.findings().entrySet()) {
            Map<Severity, Integer> counts = new EnumMap<>(Severity.class);
            List<Finding> active = new ArrayList<>();
            for (Finding finding : entry.getValue()) {
                if (finding.diagnostic().suppressionState() == SuppressionState.IN_SOURCE) {
                    inSource++;
                    continue;
                }
                if (!finding.active()) {
                    switchedOff++;
                    continue;
                }
                active.add(finding);
                Severity severity = finding.diagnostic().severity();
                counts.merge(severity, 1, Integer::sum);
                perSeverity.merge(severity, 1, Integer::sum);
                perRule.merge(finding.diagnostic().ruleId(), 1, Integer::sum);
            }
            perFile.put(entry.getKey(), counts);
            try (Writer out = Files.newBufferedWriter(folder.resolve("files").resolve(pageName(page++)),
                    StandardCharsets.UTF_8)) {
                filePage(out, entry.getKey(), active);
            }
        }
        try (Writer out = Files.newBufferedWriter(folder.resolve("index.html"), StandardCharsets.UTF_8)) {
            index(out, perSeverity, perRule, perFile, switchedOff, inSource);
        }
    }

    private static String pageName(int index) {
        return "file" + index + ".html";
    }

    private static void head(Writer out, String title) throws IOException {
        out.write("<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>");
        out.write(escape(title));
        out.write("</title><style>" + STYLE + "</style></head><body>\n");
    }

    private void index(Writer out, Map<Severity, Integer> perSeverity, Map<String, Integer> perRule,
            Map<Path, Map<Severity, Integer>> perFile, int switchedOff, int inSource) throws IOException {
        head(out, "kerv report: " + report.sourceRoot());
        int total = perSeverity.values().stream().mapToInt(Integer::intValue).sum();
        out.write("<h1>Findings in " + escape(report.sourceRoot().toString()) + "</h1>\n<p id=\"summary\">");
        out.write(total + " findings in " + perFile.size() + " analysed files");
        if (switchedOff > 0) {
            out.write("; " + switchedOff + " more of rules switched off, not shown");
        }
        if (inSource > 0) {
            out.write("; " + inSource + " more suppressed in the source, not shown");
        }
        out.write("</p>\n<table class=\"totals\"><tr><th>severity</th><th>findings</th></tr>\n");
        for (Severity severity : Severity.values()) {
            out.write("<tr><td>" + severity.text() + "</td><td id=\"total-" + severity.text() + "\">"
                    + perSeverity.getOrDefault(severity, 0) + "</td></tr>\n");
        }
        out.write("</table>\n");
        if (!report.withoutResults().isEmpty()) {
            out.write("<h2>Files without results</h2>\n<ul id=\"without-results\">\n");
            for (FileWithoutResults missing : report.withoutResults()) {
                out.write("<li>" + escape(report.shownPath(missing.file().toString())) + ": "
                        + escape(missing.reason()) + "</li>\n");
            }
            out.write("</ul>\n");
        }
        Map<String, Integer> severityBars = new LinkedHashMap<>();
        Map<String, String> severityColours = new LinkedHashMap<>();
        perSeverity.forEach((severity, count) -> {
            severityBars.put(severity.text(), count);
            severityColours.put(severity.text(), COLOURS.get(severity));
        });
        Map<String, String> ruleColours = new LinkedHashMap<>();
        perRule.keySet().forEach(rule -> ruleColours.put(rule, COLOURS.get(report.catalog().severityOf(rule))));
        out.write("<h2>Findings per severity</h2>\n");
        barChart(out, "chart-severity", severityBars, severityColours);
        out.write("<h2>Findings per rule</h2>\n");
        barChart(out, "chart-rule", perRule, ruleColours);
        out.write("<h2>Files</h2>\n<table class=\"files\" id=\"files\"><tr><th>file</th><th>findings</th>");
        for (Severity severity : Severity.values()) {
            out.write("<th>" + severity.text() + "</th>");
        }
        out.write("</tr>\n");
        int page = 0;
        for (Map.Entry<Path, Map<Severity, Integer>> entry : perFile.entrySet()) {
            Map<Severity, Integer> counts = entry.getValue();
            out.write("<tr><td><a href=\"files/" + pageName(page++) + "\">"
                    + escape(report.shownPath(entry.getKey().toString())) + "</a></td><td>"
                    + counts.values().stream().mapToInt(Integer::intValue).sum() + "</td>");
            for (Severity severity : Severity.values()) {
                out.write("<td>" + counts.getOrDefault(severity, 0) + "</td>");
            }
            out.write("</tr>\n");
        }
        out.write("</table>\n</body></html>\n");
    }

    /** A horizontal bar chart: one labelled bar per entry, as long as its count relative to the largest. */
    private static void barChart(Writer out, String id, Map<String, Integer> bars, Map<String, String> colours)
            throws IOException {
        int max = Math.max(1, bars.values().stream().mapToInt(Integer::intValue).max().orElse(1));
        int rowHeight = 20;
        int labelWidth = 260;
        int barWidth = 400;
        out.write("<svg id=\"" + id + "\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" + (labelWidth + barWidth + 60)
                + "\" height=\"" + Math.max(rowHeight, bars.size() * rowHeight) + "\" role=\"img\">\n");
        int row = 0;
        for (Map.Entry<String, Integer> bar : bars.entrySet()) {
            int y = row++ * rowHeight;
            int width = Math.max(1, bar.getValue() * barWidth / max);
            out.write("<g class=\"bar\"><text x=\"" + (labelWidth - 6) + "\" y=\"" + (y + 14)
                    + "\" text-anchor=\"end\" font-size=\"12\">" + escape(bar.getKey()) + "</text><rect x=\""
                    + labelWidth + "\" y=\"" + (y + 3) + "\" width=\"" + width + "\" height=\"" + (rowHeight - 6)
                    + "\" fill=\"" + colours.get(bar.getKey()) + "\"/><text x=\"" + (labelWidth + width + 4)
                    + "\" y=\"" + (y + 14) + "\" font-size=\"12\">" + bar.getValue() + "</text></g>\n");
        }
        out.write("</svg>\n");
    }

    private void filePage(Writer out, Path file, List<Finding> findings) throws IOException {
        String shown = report.shownPath(file.toString());
        head(out, shown);
        out.write("<p><a href=\"../index.html\">all files</a></p>\n<h1>" + escape(shown) + "</h1>\n");
        out.write("<p>findings: <span id=\"count\">" + findings.size() + "</span></p>\n");
        TreeMap<Integer, List<Finding>> atLine = new TreeMap<>();
        List<Finding> elsewhere = new ArrayList<>();
        for (Finding finding : findings) {
            if (finding.primary().file().equals(file.toString()) && finding.primary().line() >= 1) {
                atLine.computeIfAbsent(finding.primary().line(), line -> new ArrayList<>()).add(finding);
            } else {
                elsewhere.add(finding);
            }
        }
        if (!elsewhere.isEmpty()) {
            out.write("<h2>Findings located elsewhere</h2>\n");
            for (Finding finding : elsewhere) {
                findingBox(out, finding, true);
            }
        }
        List<String> lines = AnalysisReport.readLines(file.toString());
        long size = lines.stream().mapToLong(String::length).sum();
        boolean whole = size <= FULL_SOURCE_LIMIT;
        out.write("<table class=\"src\">\n");
        int last = 0;
        for (int n = 1; n <= lines.size(); n++) {
            if (!whole && !nearFinding(atLine, n)) {
                continue;
            }
            if (n > last + 1) {
                out.write("<tr class=\"gap\"><td class=\"n\">...</td><td></td></tr>\n");
            }
            last = n;
            out.write("<tr id=\"L" + n + "\"><td class=\"n\">" + n + "</td><td>" + escape(lines.get(n - 1))
                    + "</td></tr>\n");
            for (Finding finding : atLine.getOrDefault(n, List.of())) {
                out.write("<tr><td></td><td>");
                findingBox(out, finding, false);
                out.write("</td></tr>\n");
            }
        }
        for (Map.Entry<Integer, List<Finding>> beyond : atLine.tailMap(lines.size() + 1).entrySet()) {
            for (Finding finding : beyond.getValue()) {
                findingBox(out, finding, true);
            }
        }
        out.write("</table>\n</body></html>\n");
    }

    private static boolean nearFinding(TreeMap<Integer, List<Finding>> atLine, int line) {
        Integer below = atLine.floorKey(line + CONTEXT_LINES);
        return below != null && below >= line - CONTEXT_LINES;
    }

    private void findingBox(Writer out, Finding finding, boolean withLocation) throws IOException {
        Diagnostic d = finding.diagnostic();
        out.write("<div class=\"finding " + d.severity().text() + "\" data-line=\"" + finding.primary().line()
                + "\"><b>" + d.severity().text() + "</b> [" + escape(d.ruleId()) + "] ");
        if (withLocation) {
            out.write(escape(location(finding.primary())) + ": ");
        }
        out.write("<span class=\"message\">" + escape(d.text()) + "</span>");
        List<Map.Entry<Location, String>> related = SarifReport.relatedOf(d);
        if (!related.isEmpty()) {
            out.write("<ul class=\"sub\">");
            for (Map.Entry<Location, String> sub : related) {
                out.write("<li>" + escape(location(sub.getKey())) + ": " + escape(sub.getValue()) + "</li>");
            }
            out.write("</ul>");
        }
        out.write("</div>");
    }

    private String location(Location at) {
        return report.shownPath(at.file()) + ":" + at.line() + ":" + at.column();
    }

    /**
     * Escapes a text for HTML content and attribute values.
     *
     * @param text any text
     * @return the text with {@code & < > " '} replaced by references
     */
    static String escape(String text) {
        StringBuilder escaped = null;
        for (int i = 0; i < text.length(); i++) {
            String replacement = switch (text.charAt(i)) {
                case '&' -> "&amp;";
                case '<' -> "&lt;";
                case '>' -> "&gt;";
                case '"' -> "&quot;";
                case '\'' -> "&#39;";
                default -> null;
            };
            if (replacement != null && escaped == null) {
                escaped = new StringBuilder(text.length() + 16).append(text, 0, i);
            }
            if (escaped != null) {
                if (replacement != null) {
                    escaped.append(replacement);
                } else {
                    escaped.append(text.charAt(i));
                }
            }
        }
        return escaped == null ? text : escaped.toString();
    }
}
