package com.quorvel.bridge.cli;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assertions.fail;

import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.Location;
import com.quorvel.bridge.client.MessageLevel;
import com.quorvel.bridge.client.Rule;
import com.quorvel.bridge.client.RuleCatalog;
import com.quorvel.bridge.client.RuleGroup;
import com.quorvel.bridge.client.Severity;
import com.quorvel.bridge.client.SuppressionState;
import com.quorvel.bridge.client.report.AnalysisReport;
import com.quorvel.bridge.client.report.FileWithoutResults;
import com.quorvel.bridge.client.report.HtmlReport;
import com.quorvel.bridge.client.report.SarifReport;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.concurrent.TimeUnit;
import java.util.regex.Matcher;
import java.util.regex.Pattern;
import java.util.stream.Stream;
import org.junit.jupiter.api.Assumptions;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/**
 * The reports of the command line on the examples: SARIF checked by the SARIF Multitool, baselines, and the HTML
 * report rendered by headless Chromium. Without those tools the checks that need them are skipped, unless
 * KERV_REPORT_TOOLS_REQUIRED is set (as CI sets it).
 */
class ReportsTest {
    private static final String MULTITOOL = System.getProperty("kerv.test.sarifMultitool", "");
    private static final String MULTITOOL_BINARY = System.getProperty("kerv.test.sarifMultitoolBinary", "");
    private static final String CHROMIUM = System.getProperty("kerv.test.chromium", "");
    private static final Path ARTEFACTS = Path.of(System.getProperty("kerv.test.artefacts"));

    @TempDir Path temp;

    static void requireTool(String path, String name) {
        if (!path.isEmpty() && Files.isExecutable(Path.of(path))) {
            return;
        }
        String message = name + " not found: run scripts/install-report-tools.sh";
        if (System.getenv("KERV_REPORT_TOOLS_REQUIRED") != null) {
            fail(message);
        }
        Assumptions.abort(message);
    }

    /** Validates a SARIF log with GitHub code scanning's rules besides SARIF's own; no error may remain. */
    static void validateForGitHub(Path sarif, Path work) throws Exception {
        requireTool(MULTITOOL_BINARY, "the SARIF Multitool");
        String validation = run(work.resolve("validate-gh.txt"), MULTITOOL_BINARY, "validate", "--rule-kind",
                "Gh;Sarif", sarif.toString(), "--output", work.resolve("validation-gh.sarif").toString(), "--log",
                "ForceOverwrite");
        assertTrue(validation.contains("Analysis completed successfully"), validation);
        assertFalse(Pattern.compile(": error [A-Z]+\\d+").matcher(validation).find(), validation);
    }

    static String run(Path log, String... command) throws Exception {
        ProcessBuilder builder = new ProcessBuilder(command).redirectErrorStream(true).redirectOutput(log.toFile());
        // Tools that are not ours run without the sanitizer runtime that the sanitized build preloads.
        builder.environment().remove("LD_PRELOAD");
        Process process = builder.start();
        assertTrue(process.waitFor(180, TimeUnit.SECONDS), String.join(" ", command) + " did not finish");
        return Files.readString(log, StandardCharsets.UTF_8);
    }

    private String cli(String name, int exit, String... args) throws Exception {
        Path output = temp.resolve(name + ".txt");
        List<String> all = new ArrayList<>(List.of("--project-dir", temp.resolve("project").toString(),
                "--rcf", EngineFixture.config("rules.rcf").toString()));
        all.addAll(List.of(args));
        return EngineFixture.finish(EngineFixture.startCli(output, all.toArray(String[]::new)), output, exit);
    }

    private static int count(String text, String needle) {
        return text.split(Pattern.quote(needle), -1).length - 1;
    }

    private String dom(Path page) throws Exception {
        return run(temp.resolve("dom.txt"), CHROMIUM, "--headless", "--no-sandbox", "--disable-gpu", "--dump-dom",
                page.toUri().toString());
    }

    @Test
    void sarifValidatesAndABaselineCountsOnlyTheNewFinding() throws Exception {
        Path source = EngineFixture.copyExamples(temp.resolve("examples"));
        Path records = source.resolve("src/records.c");
        String first = cli("first", 1, "--sarif", temp.resolve("first.sarif").toString(), source.toString());
        String sarif = Files.readString(temp.resolve("first.sarif"));
        int active = Integer.parseInt(first.replaceAll("(?s).*\n(\\d+) diagnostics \\(1 more.*", "$1"));
        assertEquals(active + 1, count(sarif, "\"ruleId\""), sarif);
        assertEquals(1, count(sarif, "\"suppressions\""), sarif);
        assertTrue(sarif.contains("\"executionSuccessful\" : true"), sarif);
        assertTrue(Pattern.compile("\"uri\" : \"src/main.c\",\\s+\"uriBaseId\" : \"SRCROOT\"").matcher(sarif).find(),
                sarif);

        requireTool(MULTITOOL, "the SARIF Multitool");
        String validation = run(temp.resolve("validate.txt"), MULTITOOL, "validate", temp.resolve("first.sarif")
                .toString(), "--output", temp.resolve("validation.sarif").toString(), "--log", "ForceOverwrite");
        assertTrue(validation.contains("Analysis completed successfully"), validation);
        assertFalse(Pattern.compile(": error [A-Z]+\\d+").matcher(validation).find(), validation);
        validateForGitHub(temp.resolve("first.sarif"), temp);
        Matcher postfix = Pattern.compile("\"id\" : \"postfixOperator\",\\s+\"shortDescription\" : \\{\\s+"
                + "\"text\" : \"([^\"]+)\"\\s+},\\s+\"fullDescription\" : \\{\\s+\"text\" : \"([^\"]+)\"")
                .matcher(sarif);
        assertTrue(postfix.find() && !postfix.group(1).equals(postfix.group(2)) && postfix.group(2).length() > 100,
                "the rule's longer explanation comes through the bridge: " + sarif);

        Path failed = temp.resolve("failed.sarif");
        SarifReport.write(new AnalysisReport("1", source, Map.of(), List.of(new FileWithoutResults(records,
                "cppcheck failed")), RuleCatalog.EMPTY), failed, null);
        String failedSarif = Files.readString(failed);
        assertTrue(failedSarif.contains("\"executionSuccessful\" : false"), failedSarif);
        assertTrue(failedSarif.contains("\"text\" : \"src/records.c has no results: cppcheck failed\""), failedSarif);
        validation = run(temp.resolve("validate.txt"), MULTITOOL, "validate", failed.toString(), "--output",
                temp.resolve("validation.sarif").toString(), "--log", "ForceOverwrite");
        assertTrue(validation.contains("Analysis completed successfully"), validation);
        assertFalse(Pattern.compile(": error [A-Z]+\\d+").matcher(validation).find(), validation);

        Files.writeString(records, "/* three lines\n   added above\n   every finding */\n" + Files.readString(records));
        Files.writeString(source.resolve("src/main.c"), Files.readString(source.resolve("src/main.c"))
                + "\nint added_fault(void) {\n    int *none = NULL;\n    return *none;\n}\n");
        String second = cli("second", 1, "--baseline", temp.resolve("first.sarif").toString(), "--sarif",
                temp.resolve("second.sarif").toString(), source.toString());
        assertTrue(second.contains("baseline " + temp.resolve("first.sarif") + ": 1 new, " + active
                + " unchanged, 0 gone"), second);
        String secondSarif = Files.readString(temp.resolve("second.sarif"));
        assertEquals(1, count(secondSarif, "\"baselineState\" : \"new\""), secondSarif);
        assertEquals(active + 1, count(secondSarif, "\"baselineState\" : \"unchanged\""), secondSarif);

        String third = cli("third", 0, "--baseline", temp.resolve("second.sarif").toString(), source.toString());
        assertTrue(third.contains(": 0 new, " + (active + 1) + " unchanged, 0 gone"), third);
    }

    @Test
    void htmlReportRendersCountsMessagesAtTheirLinesAndEscapedSource() throws Exception {
        requireTool(CHROMIUM, "chromium");
        Path source = EngineFixture.copyExamples(temp.resolve("examples"));
        Path main = source.resolve("src/main.c");
        Files.writeString(main, "// </pre><script>document.title='owned'</script> & \"quoted\"\n"
                + Files.readString(main));
        String summary = cli("html", 1, "--html", temp.resolve("html").toString(), source.toString());
        String index = dom(temp.resolve("html/index.html"));
        for (Severity severity : List.of(Severity.ERROR, Severity.WARNING, Severity.STYLE)) {
            Matcher printed = Pattern.compile("\n +(\\d+)  " + severity.text() + "\n").matcher(summary);
            assertTrue(printed.find(), summary);
            assertTrue(index.contains("id=\"total-" + severity.text() + "\">" + printed.group(1) + "</td>"), index);
        }
        assertEquals(2, count(index, "<svg"), index);
        Matcher link = Pattern.compile("<a href=\"(files/file\\d+\\.html)\">src/main\\.c</a>").matcher(index);
        assertTrue(link.find(), index);

        String page = dom(temp.resolve("html").resolve(link.group(1)));
        assertFalse(page.contains("<script"), page);
        assertTrue(page.contains("// &lt;/pre&gt;&lt;script&gt;document.title='owned'&lt;/script&gt; &amp;"), page);
        assertTrue(Pattern.compile("<tr id=\"L9\"><td class=\"n\">9</td><td>    return chosen-&gt;id[^\n]*\n<tr><td>"
                + "</td><td><div class=\"finding error\" data-line=\"9\"><b>error</b> \\[nullPointer\\] <span class="
                + "\"message\">Null pointer dereference: chosen</span><ul class=\"sub\"><li>src/main\\.c:8:")
                .matcher(page).find(), page);

        Files.createDirectories(ARTEFACTS);
        for (Map.Entry<String, Path> shot : Map.of("report-index.png", temp.resolve("html/index.html"),
                "report-file.png", temp.resolve("html").resolve(link.group(1))).entrySet()) {
            Path png = ARTEFACTS.resolve(shot.getKey());
            Files.deleteIfExists(png);
            run(temp.resolve("shot.txt"), CHROMIUM, "--headless", "--no-sandbox", "--disable-gpu",
                    "--window-size=1200,1400", "--screenshot=" + png, shot.getValue().toUri().toString());
            assertTrue(Files.size(png) > 10_000, png + " was not written");
        }
    }

    @Test
    void noPageExceedsTwoMegabytesAtTenThousandFindingsOverAThousandFiles() throws Exception {
        Path src = Files.createDirectories(temp.resolve("big"));
        Map<Path, List<Diagnostic>> byFile = new LinkedHashMap<>();
        for (int f = 0; f < 1000; f++) {
            Path file = src.resolve("unit" + f + ".c");
            Files.writeString(file, "int value_" + f + " = 0; /* a line of ordinary length for a source file */\n"
                    .repeat(f == 0 ? 40_000 : 400));
            List<Diagnostic> list = new ArrayList<>();
            for (int d = 0; d < 10; d++) {
                Location at = new Location(file.toString(), 1 + d * 40, 5);
                Diagnostic note = new Diagnostic("note", "", MessageLevel.ERROR, "", "declared here", "p", List.of(),
                        false, SuppressionState.ACTIVE, false, List.of(), List.of(), List.of(at));
                list.add(new Diagnostic("rule" + d, "", MessageLevel.ERROR, "", "finding <" + d + "> in unit " + f,
                        "p", List.of(), false, SuppressionState.ACTIVE, true, List.of(note), List.of(), List.of(at),
                        "rule" + d, Severity.values()[d % 6]));
            }
            byFile.put(file, list);
        }
        List<Rule> rules = new ArrayList<>();
        for (int d = 0; d < 10; d++) {
            rules.add(new Rule("rule" + d, true, "", "error", "rule " + d, "", List.of(), List.of()));
        }
        RuleCatalog catalog = new RuleCatalog(List.of(new RuleGroup("error", rules)), Map.of());
        HtmlReport.write(new AnalysisReport("1", src, byFile, List.of(), catalog), temp.resolve("html"));
        long largest = 0;
        long pages = 0;
        try (Stream<Path> walk = Files.walk(temp.resolve("html"))) {
            for (Path page : (Iterable<Path>) walk.filter(Files::isRegularFile)::iterator) {
                largest = Math.max(largest, Files.size(page));
                pages++;
            }
        }
        assertEquals(1001, pages);
        assertTrue(largest <= 2 * 1024 * 1024, "largest page " + largest + " bytes");
        String index = Files.readString(temp.resolve("html/index.html"));
        assertTrue(index.contains("id=\"total-error\">2000</td>"), "error total");
        String large = Files.readString(temp.resolve("html/files/file0.html"));
        assertTrue(large.contains("<tr id=\"L364\">") && !large.contains("<tr id=\"L365\">")
                && large.contains("<tr class=\"gap\">"), "a large source shows the lines around its findings");
    }
}
