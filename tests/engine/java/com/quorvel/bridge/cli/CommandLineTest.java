package com.quorvel.bridge.cli;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.ByteArrayOutputStream;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/** Options, errors and exit codes of the command line; none of these cases needs the bridge. */
class CommandLineTest {
    @TempDir Path temp;

    private static int exitCode(String... args) throws Exception {
        return Main.run(args);
    }

    private String errors(String... args) throws Exception {
        CliOptions options = CliOptions.parse(args);
        ByteArrayOutputStream err = new ByteArrayOutputStream();
        ByteArrayOutputStream out = new ByteArrayOutputStream();
        int code = new AnalysisRun(options, new PrintStream(out, true, StandardCharsets.UTF_8),
                new PrintStream(err, true, StandardCharsets.UTF_8)).run();
        assertEquals(AnalysisRun.CANNOT_RUN, code);
        assertEquals("", out.toString(StandardCharsets.UTF_8));
        return err.toString(StandardCharsets.UTF_8);
    }

    @Test
    void helpAndBadCommandLines() throws Exception {
        assertEquals(AnalysisRun.NO_DIAGNOSTICS, exitCode("--help"));
        assertEquals(AnalysisRun.BAD_USAGE, exitCode());
        assertEquals(AnalysisRun.BAD_USAGE, exitCode("--library", "x.so", "a", "b"));
        assertEquals(AnalysisRun.BAD_USAGE, exitCode("--library", "x.so", "--colour", "a"));
        assertEquals(AnalysisRun.BAD_USAGE, exitCode("a", "--library"));
        CliOptions options = CliOptions.parse(new String[] {"--library", "l.so", "--xml", "--rules", "--trees",
                "--name", "n", "--acf", "a.acf", "--rcf", "r.rcf", "--cct", "c.cct", "src"});
        assertTrue(options.xml && options.rules && options.trees);
        assertEquals("n", options.name);
        assertEquals("c.cct", options.cct);
        assertEquals(Path.of("src"), options.sourceFolder);
    }

    @Test
    void missingFolderAndLibraryAreClearErrors() throws Exception {
        Path library = Files.writeString(temp.resolve("libKERV.so"), "");
        String missingFolder = errors("--library", library.toString(), temp.resolve("nowhere").toString());
        assertTrue(missingFolder.contains("source folder " + temp.resolve("nowhere") + " does not exist"),
                missingFolder);
        String missingLibrary = errors("--library", temp.resolve("none.so").toString(), temp.toString());
        assertTrue(missingLibrary.contains("analysis library " + temp.resolve("none.so") + " not found"),
                missingLibrary);
    }

    @Test
    void resultXmlKeepsTopLevelDiagnosticsAndReadsRules() throws Exception {
        String note = "<VQD><VQM><UMID>nullPointer</UMID><HFL></HFL><ML>2</ML><MN>476</MN><MT>note</MT><P>cppcheck</P>"
                + "</VQM><MH>false</MH><SS>0</SS><SD>false</SD><LI><F>/s/a.c</F><L>7</L><C>1</C></LI></VQD>";
        String xml = "<VQE><VQD><VQM><UMID>nullPointer</UMID><HFL></HFL><ML>2</ML><MN>476</MN><MT>a &lt; b</MT>"
                + "<P>cppcheck</P><R><![CDATA[CWE-476]]></R></VQM><MH>false</MH><SS>1</SS><SD>true</SD>" + note
                + "<MP><![CDATA[p]]></MP><LI><F>/s/a.c</F><L>8</L><C>12</C></LI><LI><F>/s/a.c</F><L>7</L><C>1</C></LI>"
                + "</VQD></VQE>";
        var diagnostics = ResultXml.diagnostics(xml.getBytes(StandardCharsets.UTF_8));
        assertEquals(1, diagnostics.size(), "the note is a sub-diagnostic, not a diagnostic of its own");
        ResultXml.Diagnostic d = diagnostics.get(0);
        assertEquals("a < b", d.text);
        assertEquals(8, d.line);
        assertEquals(12, d.column);
        assertEquals(false, d.active);
        assertTrue(ResultXml.diagnostics(new byte[0]).isEmpty());

        String groups = "<VQRuleGrouping><VQRuleGroupEntry><RuleGroupName>error</RuleGroupName><Rule><RuleId>nullPointer"
                + "</RuleId><IsActive>1</IsActive><HFL></HFL><RuleGroupStr>error</RuleGroupStr><RuleText>t</RuleText>"
                + "<RuleUID>u</RuleUID></Rule></VQRuleGroupEntry></VQRuleGrouping>";
        var rules = ResultXml.rules(groups.getBytes(StandardCharsets.UTF_8));
        assertEquals("error", rules.get("nullPointer").group);
        assertTrue(rules.get("nullPointer").active);
        assertThrows(java.io.IOException.class, () -> ResultXml.diagnostics("<VQE><VQD>".getBytes(StandardCharsets.UTF_8)));
    }

    @Test
    void summaryCountsPerFileAndSeverityAndListsInLineOrder() {
        Path source = Path.of("/s");
        var rules = new java.util.LinkedHashMap<String, ResultXml.Rule>();
        rules.put("nullPointer", new ResultXml.Rule("nullPointer", "error", true, ""));
        rules.put("unusedVariable", new ResultXml.Rule("unusedVariable", "style", false, ""));
        var byFile = new java.util.LinkedHashMap<Path, java.util.List<ResultXml.Diagnostic>>();
        byFile.put(Path.of("/s/b.c"), java.util.List.of(
                new ResultXml.Diagnostic("nullPointer", "late", "/s/b.c", 20, 1, true),
                new ResultXml.Diagnostic("nullPointer", "early", "/s/b.c", 3, 9, true),
                new ResultXml.Diagnostic("unusedVariable", "off", "/s/b.c", 1, 1, false),
                new ResultXml.Diagnostic("mystery", "odd", "/usr/include/x.h", 2, 2, true)));
        byFile.put(Path.of("/s/a.c"), java.util.List.of());
        ByteArrayOutputStream bytes = new ByteArrayOutputStream();
        int active = Summary.print(new PrintStream(bytes, true, StandardCharsets.UTF_8), source, byFile, rules);
        String text = bytes.toString(StandardCharsets.UTF_8);
        assertEquals(3, active);
        assertTrue(text.contains("       0  a.c\n       3  b.c\n"), text);
        assertTrue(text.contains("       2  error\n       0  style\n       1  unknown\n"), text);
        int early = text.indexOf("b.c:3:9: error: early [nullPointer]");
        int late = text.indexOf("b.c:20:1: error: late [nullPointer]");
        assertTrue(early >= 0 && late > early, text);
        assertTrue(text.contains("/usr/include/x.h:2:2: unknown: odd [mystery]"), text);
        assertTrue(text.endsWith("3 diagnostics (1 more of rules switched off, not shown)\n"), text);
    }

    @Test
    void namesAndExtensions() {
        assertEquals(".cpp", AnalysisRun.extensionOf(Path.of("/a/b.c/x.cpp")));
        assertEquals("", AnalysisRun.extensionOf(Path.of("Makefile")));
        Path source = Path.of("/work/examples");
        assertTrue(AnalysisRun.defaultName(source).matches("examples-[0-9a-f]{8}"));
        assertEquals("src/main.c", Summary.shown(source, "/work/examples/src/main.c"));
        assertEquals("/usr/include/stdio.h", Summary.shown(source, "/usr/include/stdio.h"));
    }
}
