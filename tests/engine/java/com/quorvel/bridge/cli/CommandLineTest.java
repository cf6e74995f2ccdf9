package com.quorvel.bridge.cli;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.Location;
import com.quorvel.bridge.client.MessageLevel;
import com.quorvel.bridge.client.Rule;
import com.quorvel.bridge.client.RuleCatalog;
import com.quorvel.bridge.client.RuleGroup;
import com.quorvel.bridge.client.Severity;
import com.quorvel.bridge.client.SourceLanguage;
import com.quorvel.bridge.client.SuppressionState;
import java.io.ByteArrayOutputStream;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.time.Duration;
import java.util.List;
import java.util.concurrent.TimeUnit;
import java.util.stream.IntStream;
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
        CliOptions database = CliOptions.parse(new String[] {"--compile-commands", "b/cc.json", "--sarif", "r.sarif",
                "--html", "out", "--baseline", "old.sarif"});
        assertEquals(List.of(Path.of("b/cc.json"), Path.of("r.sarif"), Path.of("out"), Path.of("old.sarif")),
                List.of(database.compileCommands, database.sarif, database.html, database.baseline));
        assertEquals(null, database.sourceFolder);
        assertEquals(AnalysisRun.BAD_USAGE, exitCode("--sarif", "r.sarif"));
        assertEquals(AnalysisRun.BAD_USAGE, exitCode("--fail-on", "fatal", "src"));
        CliOptions filters = CliOptions.parse(new String[] {"--exclude", "a/**", "--fail-on", "portability",
                "--exclude", "b", "src"});
        assertEquals(List.of("a/**", "b"), filters.exclude);
        assertTrue(filters.failOn.counts(Severity.STYLE) && filters.failOn.counts(Severity.UNKNOWN)
                && !filters.failOn.counts(Severity.INFORMATION));
        assertFalse(new FailOn(Severity.WARNING).counts(Severity.PERFORMANCE));
    }

    @Test
    void excludeGlobsMatchRelativeToTheSourceFolder() {
        Path root = Path.of("/s");
        ExcludeGlobs globs = new ExcludeGlobs(List.of("**/gen/*.c", "third_party/", "src/*.h", "t?st/[!x]*.c",
                "/usr/**"));
        for (String kept : List.of("/s/gen.c", "/s/gen/sub/x.c", "/s/src/a/b.h", "/s/test/x1.c", "/s/third_partyX/a.c",
                "/other/third_party/a.c")) {
            assertFalse(globs.excludes(root, Path.of(kept)), kept);
        }
        for (String left : List.of("/s/gen/x.c", "/s/a/b/gen/x.c", "/s/third_party/a/b.c", "/s/src/a.h",
                "/s/tast/y.c", "/usr/include/stdio.h", "/s/app/../third_party/x.h")) {
            assertTrue(globs.excludes(root, Path.of(left)), left);
        }
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

    private static Diagnostic diagnostic(String id, String text, String file, int line, int column, boolean active) {
        return new Diagnostic(id, "", MessageLevel.ERROR, "", text, "cppcheck", List.of(), false,
                active ? SuppressionState.ACTIVE : SuppressionState.SWITCHED_OFF, false, List.of(), List.of(),
                List.of(new Location(file, line, column)), id, CATALOG.severityOf(id));
    }

    private static Rule rule(String id, boolean active) {
        return new Rule(id, active, "", "", "", "", List.of(), List.of());
    }

    private static final List<RuleGroup> GROUPS = List.of(
            new RuleGroup("error", List.of(rule("nullPointer", true))),
            new RuleGroup("style", List.of(rule("unusedVariable", false))));
    private static final RuleCatalog CATALOG = new RuleCatalog(GROUPS, java.util.Map.of());

    @Test
    void summaryNamesFilesWithFindingsAndListsByFileAndLine() {
        Path source = Path.of("/s");
        var byFile = new java.util.LinkedHashMap<Path, List<Diagnostic>>();
        byFile.put(Path.of("/s/b.c"), List.of(
                diagnostic("nullPointer", "late", "/s/b.c", 20, 1, true),
                diagnostic("nullPointer", "early", "/s/b.c", 3, 9, true),
                diagnostic("unusedVariable", "off", "/s/b.c", 1, 1, false),
                diagnostic("mystery", "odd", "/usr/include/x.h", 2, 2, true)));
        byFile.put(Path.of("/s/a.c"), List.of());
        byFile.put(Path.of("/s/c.c"), List.of(diagnostic("nullPointer", "in header", "/s/a.h", 7, 1, true)));
        ByteArrayOutputStream bytes = new ByteArrayOutputStream();
        int active = Summary.print(new PrintStream(bytes, true, StandardCharsets.UTF_8), source, byFile, CATALOG);
        String text = bytes.toString(StandardCharsets.UTF_8);
        assertEquals(4, active);
        assertTrue(text.contains("diagnostics per file:\n       3  b.c\n       1  c.c\ndiagnostics per severity:\n"
                + "       3  error\n       0  style\n       1  unknown\n"), text);
        assertTrue(text.contains("\n/usr/include/x.h:2:2: unknown: odd [mystery]\n"
                + "a.h:7:1: error: in header [nullPointer]\nb.c:3:9: error: early [nullPointer]\n"
                + "b.c:20:1: error: late [nullPointer]\n"), text);
        assertTrue(text.endsWith("4 diagnostics (1 more of rules switched off, not shown)\n"), text);

        // A group whose name is no severity counts its findings where they are listed: under "unknown".
        RuleCatalog vendor = new RuleCatalog(List.of(GROUPS.get(0), new RuleGroup("vendor", List.of(
                rule("vendorRule", true)))), java.util.Map.of());
        Diagnostic found = new Diagnostic("vendorRule", "", MessageLevel.ERROR, "", "odd", "cppcheck", List.of(),
                false, SuppressionState.ACTIVE, false, List.of(), List.of(), List.of(new Location("/s/v.c", 1, 1)),
                "vendorRule", vendor.severityOf("vendorRule"));
        bytes.reset();
        Summary.print(new PrintStream(bytes, true, StandardCharsets.UTF_8), source,
                java.util.Map.of(Path.of("/s/v.c"), List.of(found)), vendor);
        text = bytes.toString(StandardCharsets.UTF_8);
        assertTrue(text.contains("diagnostics per severity:\n       0  error\n       1  unknown\n\n"
                + "v.c:1:1: unknown: odd [vendorRule]\n"), text);
    }

    @Test
    void progressLinesComeAtEachTenthAndWhenTheAnalysisIsQuiet() throws Exception {
        ByteArrayOutputStream bytes = new ByteArrayOutputStream();
        PrintStream log = new PrintStream(bytes, true, StandardCharsets.UTF_8);
        try (ProgressLines progress = new ProgressLines(log, Duration.ofMillis(500))) {
            progress.filesToAnalyse(20);
            for (int done = 0; done <= 3; done++) {
                progress.accept(done * 100 / 20);
            }
            long end = System.nanoTime() + TimeUnit.SECONDS.toNanos(30);
            while (!bytes.toString(StandardCharsets.UTF_8).contains("kerv: 3 of 20") && System.nanoTime() < end) {
                Thread.sleep(20);
            }
            for (int done = 4; done <= 20; done++) {
                progress.accept(done * 100 / 20);
            }
            String text = bytes.toString(StandardCharsets.UTF_8);
            Thread.sleep(1200);
            assertEquals(text, bytes.toString(StandardCharsets.UTF_8), "no line once the analysis is done");
        }
        List<String> lines = bytes.toString(StandardCharsets.UTF_8).lines()
                .map(line -> line.replaceAll(", \\d+:\\d\\d elapsed$", "")).distinct().toList();
        List<String> expected = new java.util.ArrayList<>(List.of("kerv: analysing 20 files",
                "kerv: 2 of 20 files analysed", "kerv: 3 of 20 files analysed"));
        IntStream.rangeClosed(2, 10).forEach(tenth -> expected.add("kerv: " + 2 * tenth + " of 20 files analysed"));
        assertEquals(expected, lines);
    }

    @Test
    void namesAndExtensions() {
        assertEquals(".cpp", SourceLanguage.extensionOf(Path.of("/a/b.c/x.cpp")));
        assertEquals("", SourceLanguage.extensionOf(Path.of("Makefile")));
        assertEquals(SourceLanguage.C, SourceLanguage.ofFile(Path.of("/a/b.cc/x.c")));
        assertEquals(SourceLanguage.CPP, SourceLanguage.ofFile(Path.of("/a/b.c/x.C")));
        Path source = Path.of("/work/examples");
        assertTrue(AnalysisRun.defaultName(source).matches("examples-[0-9a-f]{8}"));
        assertEquals("src/main.c", Summary.shown(source, "/work/examples/src/main.c"));
        assertEquals("/usr/include/stdio.h", Summary.shown(source, "/usr/include/stdio.h"));
    }
}
