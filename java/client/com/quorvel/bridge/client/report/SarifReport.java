package com.quorvel.bridge.client.report;

import com.fasterxml.jackson.core.JsonEncoding;
import com.fasterxml.jackson.core.JsonFactory;
import com.fasterxml.jackson.core.JsonGenerator;
import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.Location;
import com.quorvel.bridge.client.Rule;
import com.quorvel.bridge.client.RuleCatalog;
import com.quorvel.bridge.client.Severity;
import com.quorvel.bridge.client.SuppressionState;
import java.io.IOException;
import java.io.UncheckedIOException;
import java.net.URI;
import java.net.URISyntaxException;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.HashSet;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.Set;

/**
 * Writes an {@link AnalysisReport} as one run of a SARIF 2.1.0 log: the tool with the rules its results use (each with
 * the short and full description and the help that code-scanning services ask for), one result per finding (a
 * finding suppressed in the source with an "inSource" suppression, one of a switched-off rule with an "external"
 * one), file paths relative to the base id "SRCROOT", and an invocation that fails when files were left without
 * results, with one notification for each.
 */
public final class SarifReport {
    /** The key of the fingerprint in each result's "partialFingerprints". */
    public static final String FINGERPRINT_KEY = "kervFinding/v1";
    static final String ROOT_ID = "SRCROOT";
    private static final JsonFactory JSON = new JsonFactory();

    private final AnalysisReport report;
    private final Baseline baseline;
    private final Map<String, Integer> ruleIndex = new LinkedHashMap<>();

    private SarifReport(AnalysisReport report, Baseline baseline) {
        this.report = report;
        this.baseline = baseline;
        report.findings().values().forEach(list -> list.forEach(
                finding -> ruleIndex.putIfAbsent(finding.diagnostic().ruleId(), ruleIndex.size())));
    }

    /**
     * Writes the report.
     *
     * @param report the run's results
     * @param file where to write it; replaced when it exists
     * @param baseline the earlier run that each result's "baselineState" compares with, or {@code null} for none
     * @throws UncheckedIOException when the file cannot be written
     */
    public static void write(AnalysisReport report, Path file, Baseline baseline) {
        try (JsonGenerator out = JSON.createGenerator(file.toFile(), JsonEncoding.UTF8)) {
            out.useDefaultPrettyPrinter();
            new SarifReport(report, baseline).log(out);
        } catch (IOException e) {
            throw new UncheckedIOException("cannot write " + file, e);
        }
    }

    /**
     * Maps a severity to a SARIF level.
     *
     * @param severity the severity
     * @return "error" for an error, "warning" for a warning, "note" for the rest
     */
    public static String levelOf(Severity severity) {
        return switch (severity) {
            case ERROR -> "error";
            case WARNING -> "warning";
            default -> "note";
        };
    }

    private void log(JsonGenerator out) throws IOException {
        out.writeStartObject();
        out.writeStringField("$schema", "https://json.schemastore.org/sarif-2.1.0.json");
        out.writeStringField("version", "2.1.0");
        out.writeArrayFieldStart("runs");
        out.writeStartObject();
        tool(out);
        out.writeObjectFieldStart("originalUriBaseIds");
        out.writeObjectFieldStart(ROOT_ID);
        out.writeStringField("uri", folderUri(report.sourceRoot()));
        out.writeEndObject();
        out.writeEndObject();
        invocation(out);
        out.writeArrayFieldStart("results");
        for (List<Finding> findings : report.findings().values()) {
            for (Finding finding : findings) {
                result(out, finding);
            }
        }
        out.writeEndArray();
        out.writeEndObject();
        out.writeEndArray();
        out.writeEndObject();
    }

    private void tool(JsonGenerator out) throws IOException {
        out.writeObjectFieldStart("tool");
        out.writeObjectFieldStart("driver");
        out.writeStringField("name", "kerv");
        out.writeStringField("version", report.toolVersion());
        out.writeArrayFieldStart("rules");
        for (String id : ruleIndex.keySet()) {
            RuleCatalog.Entry entry = report.catalog().rule(id).orElse(null);
            Severity severity = entry == null ? Severity.UNKNOWN : entry.severity();
            out.writeStartObject();
            out.writeStringField("id", id);
            message(out, "shortDescription", orId(entry == null ? "" : entry.rule().summary(), id));
            String description = orId(entry == null ? "" : entry.rule().description(), id);
            message(out, "fullDescription", description);
            message(out, "help", entry == null ? description : help(entry.rule(), description));
            if (entry != null && !entry.rule().helpFileLocation().isEmpty()) {
                out.writeStringField("helpUri", entry.rule().helpFileLocation());
            }
            out.writeObjectFieldStart("defaultConfiguration");
            out.writeStringField("level", levelOf(severity));
            out.writeBooleanField("enabled", entry == null || entry.rule().active());
            out.writeEndObject();
            out.writeObjectFieldStart("properties");
            out.writeStringField("severity", severity.text());
            out.writeEndObject();
            out.writeEndObject();
        }
        out.writeEndArray();
        out.writeEndObject();
        out.writeEndObject();
    }

    private static String orId(String text, String id) {
        return text.isEmpty() ? id : text;
    }

    /** The rule's description, then its categories (such as its CWE) and where its help is, when it has one. */
    private static String help(Rule rule, String description) {
        if (rule.helpFileLocation().isEmpty()) {
            return description;
        }
        String categories = rule.categories().isEmpty() ? "" : String.join(", ", rule.categories()) + ": ";
        return description + "\n\n" + categories + rule.helpFileLocation();
    }

    private void invocation(JsonGenerator out) throws IOException {
        out.writeArrayFieldStart("invocations");
        out.writeStartObject();
        out.writeBooleanField("executionSuccessful", report.withoutResults().isEmpty());
        out.writeArrayFieldStart("toolExecutionNotifications");
        for (FileWithoutResults missing : report.withoutResults()) {
            out.writeStartObject();
            out.writeStringField("level", "error");
            message(out, "message", report.shownPath(missing.file().toString()) + " has no results: "
                    + missing.reason());
            out.writeArrayFieldStart("locations");
            out.writeStartObject();
            physicalLocation(out, new Location(missing.file().toString(), 0, 0));
            out.writeEndObject();
            out.writeEndArray();
            out.writeEndObject();
        }
        out.writeEndArray();
        out.writeEndObject();
        out.writeEndArray();
    }

    private void result(JsonGenerator out, Finding finding) throws IOException {
        Diagnostic d = finding.diagnostic();
        out.writeStartObject();
        out.writeStringField("ruleId", d.ruleId());
        out.writeNumberField("ruleIndex", ruleIndex.get(d.ruleId()));
        out.writeStringField("level", levelOf(d.severity()));
        message(out, "message", d.text().isEmpty() ? d.ruleId() : d.text());
        out.writeArrayFieldStart("locations");
        out.writeStartObject();
        physicalLocation(out, finding.primary());
        out.writeEndObject();
        out.writeEndArray();
        List<Map.Entry<Location, String>> related = relatedOf(d);
        if (!related.isEmpty()) {
            out.writeArrayFieldStart("relatedLocations");
            for (int i = 0; i < related.size(); i++) {
                out.writeStartObject();
                out.writeNumberField("id", i + 1);
                physicalLocation(out, related.get(i).getKey());
                message(out, "message", related.get(i).getValue());
                out.writeEndObject();
            }
            out.writeEndArray();
        }
        out.writeObjectFieldStart("partialFingerprints");
        out.writeStringField(FINGERPRINT_KEY, finding.fingerprint());
        out.writeEndObject();
        if (!finding.active()) {
            boolean inSource = d.suppressionState() == SuppressionState.IN_SOURCE;
            out.writeArrayFieldStart("suppressions");
            out.writeStartObject();
            out.writeStringField("kind", inSource ? "inSource" : "external");
            out.writeStringField("status", "accepted");
            out.writeStringField("justification", switch (d.suppressionState()) {
                case IN_SOURCE -> "a suppression comment in the source covers it";
                case SWITCHED_OFF -> "the rule is switched off in the rule configuration";
                default -> "the analysis library marks it suppressed";
            });
            out.writeEndObject();
            out.writeEndArray();
        }
        if (baseline != null) {
            out.writeStringField("baselineState", baseline.contains(finding) ? "unchanged" : "new");
        }
        out.writeEndObject();
    }

    /**
     * The locations of the sub-diagnostics at any depth with their texts, then the diagnostic's further locations
     * that no sub-diagnostic names, with its own text.
     */
    static List<Map.Entry<Location, String>> relatedOf(Diagnostic diagnostic) {
        List<Map.Entry<Location, String>> related = new ArrayList<>();
        addSubDiagnostics(diagnostic, related);
        Set<Location> named = new HashSet<>();
        related.forEach(entry -> named.add(entry.getKey()));
        for (Location at : diagnostic.locations().subList(Math.min(1, diagnostic.locations().size()),
                diagnostic.locations().size())) {
            if (named.add(at)) {
                related.add(Map.entry(at, diagnostic.text()));
            }
        }
        return related;
    }

    private static void addSubDiagnostics(Diagnostic diagnostic, List<Map.Entry<Location, String>> related) {
        for (Diagnostic sub : diagnostic.subDiagnostics()) {
            for (Location at : sub.locations()) {
                related.add(Map.entry(at, sub.text().isEmpty() ? sub.ruleId() : sub.text()));
            }
            addSubDiagnostics(sub, related);
        }
    }

    private void physicalLocation(JsonGenerator out, Location at) throws IOException {
        out.writeObjectFieldStart("physicalLocation");
        out.writeObjectFieldStart("artifactLocation");
        String shown = report.shownPath(at.file());
        boolean relative = !shown.isEmpty() && !Path.of(shown).isAbsolute();
        out.writeStringField("uri", relative ? pathUri(shown) : fileUri(at.file()));
        if (relative) {
            out.writeStringField("uriBaseId", ROOT_ID);
        }
        out.writeEndObject();
        if (at.line() >= 1) {
            out.writeObjectFieldStart("region");
            out.writeNumberField("startLine", at.line());
            if (at.column() >= 1) {
                out.writeNumberField("startColumn", at.column());
            }
            out.writeEndObject();
        }
        out.writeEndObject();
    }

    private static void message(JsonGenerator out, String field, String text) throws IOException {
        out.writeObjectFieldStart(field);
        out.writeStringField("text", text);
        out.writeEndObject();
    }

    /** A relative path as a URI reference: each name percent-encoded where URIs need it. */
    private static String pathUri(String relative) {
        try {
            return new URI(null, null, relative, null).toASCIIString();
        } catch (URISyntaxException e) {
            throw new IllegalArgumentException("path cannot be a URI: " + relative, e);
        }
    }

    private static String fileUri(String file) {
        return file.isEmpty() ? "unknown" : Path.of(file).toUri().toASCIIString();
    }

    private static String folderUri(Path folder) {
        String uri = folder.toUri().toASCIIString();
        return uri.endsWith("/") ? uri : uri + "/";
    }
}
