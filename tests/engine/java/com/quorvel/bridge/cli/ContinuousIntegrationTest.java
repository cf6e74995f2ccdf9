package com.quorvel.bridge.cli;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Comparator;
import java.util.HashSet;
import java.util.List;
import java.util.Set;
import java.util.regex.Matcher;
import java.util.regex.Pattern;
import java.util.stream.IntStream;
import java.util.stream.Stream;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/** The command line as a CI job runs it: output redirected to a file, as each run here does. */
class ContinuousIntegrationTest {
    private static final Pattern PROGRESS =
            Pattern.compile("(?m)^kerv: (\\d+) of (\\d+) files analysed, \\d+:\\d\\d elapsed$");
    private static final Pattern LISTED = Pattern.compile("(?m)^(.+):(\\d+):(\\d+): [a-z]+: .* \\[\\w+\\]$");

    @TempDir Path temp;

    private String cli(String name, int exit, Object... args) throws Exception {
        Path output = temp.resolve(name + ".txt");
        List<String> all = new ArrayList<>(List.of("--project-dir", temp.resolve("projects").toString()));
        Stream.of(args).forEach(arg -> all.add(arg.toString()));
        return EngineFixture.finish(EngineFixture.startCli(output, all.toArray(String[]::new)), output, exit);
    }

    private record Listed(String file, int line, int column) {}

    private static List<Listed> listing(String output) {
        List<Listed> listed = new ArrayList<>();
        for (Matcher m = LISTED.matcher(output); m.find(); ) {
            listed.add(new Listed(m.group(1), Integer.parseInt(m.group(2)), Integer.parseInt(m.group(3))));
        }
        return listed;
    }

    @Test
    void aLogGetsProgressLinesASortedListingOfFilesWithFindingsAndTheFindingsABaselineChanged() throws Exception {
        Path source = EngineFixture.copyExamples(temp.resolve("examples"));
        EngineFixture.generateSources(source.resolve("gen"), 20);
        // A finding in a header is listed at the header's path, before the generated files, not with its includer.
        Files.writeString(source.resolve("gen/a.h"), "static inline int twice(int *q) {\n    int *none = 0;\n"
                + "    return *none + *q;\n}\n");
        Files.writeString(source.resolve("gen/zz.c"), "#include \"a.h\"\nint z(int v) { return twice(&v); }\n");
        Files.writeString(source.resolve("src/clean.c"), "int clean(void) { return 0; }\n");
        Path first = temp.resolve("first.sarif");

        String run = cli("first", 1, "--sarif", first, source);
        assertTrue(run.contains("kerv: analysing 25 files\n"), run);
        List<Integer> done = new ArrayList<>();
        for (Matcher m = PROGRESS.matcher(run); m.find(); ) {
            assertEquals("25", m.group(2), run);
            done.add(Integer.parseInt(m.group(1)));
        }
        assertEquals(done.stream().sorted().toList(), done, run);
        assertEquals(25, done.get(done.size() - 1), run);
        Set<Integer> tenths = new HashSet<>();
        done.forEach(files -> tenths.add(files * 10 / 25));
        assertTrue(tenths.containsAll(IntStream.rangeClosed(1, 10).boxed().toList()), run);
        assertTrue(run.contains("kerv: analysed 25 files of " + source + ", 0 already up to date ("), run);
        String perFile =
                run.substring(run.indexOf("diagnostics per file:\n"), run.indexOf("diagnostics per severity:"));
        List<String> counted = perFile.lines().skip(1).map(line -> line.substring(10)).toList();
        assertEquals(24, counted.size(), perFile);
        assertEquals(counted.stream().sorted().toList(), counted, perFile);
        assertFalse(perFile.contains("clean.c"), perFile);
        List<Listed> listed = listing(run);
        assertTrue(listed.contains(new Listed("gen/a.h", 3, 13)), run);
        assertEquals(listed.stream().sorted(Comparator.comparing(Listed::file).thenComparingInt(Listed::line)
                .thenComparingInt(Listed::column)).toList(), listed, run);
        int active = Integer.parseInt(run.replaceAll("(?s).*\n(\\d+) diagnostics\n.*", "$1"));

        String again = cli("again", 1, source);
        assertTrue(again.contains("kerv: analysed 0 files of " + source + ", 25 already up to date ("), again);
        assertFalse(again.contains("kerv: analysing"), again);

        Path main = source.resolve("src/main.c");
        Files.writeString(main, Files.readString(main) + "\nint added(void) {\n    int *none = 0;\n"
                + "    return *none;\n}\n");
        int addedLine = Files.readAllLines(main).indexOf("    return *none;") + 1;
        Files.writeString(source.resolve("gen/gen0003.c"), "int f3(void) { return 3; }\n");
        String compared = cli("compared", 1, "--baseline", first, "--verbose", source);
        assertTrue(compared.contains("kerv: analysing 2 files\n"), compared);
        assertTrue(compared.contains("kerv: analysed 2 files of " + source + ", 23 already up to date ("), compared);
        assertTrue(compared.contains("baseline " + first + ": 1 new, " + (active - 1) + " unchanged, 1 gone\n"
                + "new: src/main.c:" + addedLine + ":13: error: Null pointer dereference: none [nullPointer]\n"
                + "gone: gen/gen0003.c:3:13: error: Null pointer dereference: p [nullPointer]\n"), compared);
        String quiet = cli("quiet", 1, "--baseline", first, source);
        assertTrue(quiet.contains("\nnew: src/main.c:" + addedLine + ":13: "), quiet);
        assertFalse(quiet.contains("\ngone: "), quiet);
    }

    @Test
    void configurationAndOutputErrorsSayWhyAndGivenConfigurationsApplyToAnExistingProject() throws Exception {
        Path source = EngineFixture.copyExamples(temp.resolve("examples"));
        Path acf = Files.writeString(temp.resolve("ci.acf"), "# for CI\nchecks = warning, stlye\n");
        String typo = cli("typo", 3, "--acf", acf, source);
        assertTrue(typo.contains("kerv: " + acf.toRealPath() + ":2: unknown check family 'stlye'\n"
                + "kerv: createProject failed with status -11 (CONFIG_SYNTAX): "), typo);

        Files.writeString(acf, "checks = warning, style\n");
        Path cct = Files.writeString(temp.resolve("ci.cct"), "define = __linux__=1\n");
        assertTrue(cli("made", 1, "--acf", acf, "--cct", cct, source).contains("kerv: analysed 3 files of "));
        Files.writeString(acf, "checks = warning, stlye\n");
        String broken = cli("broken", 3, "--acf", acf, source);
        assertTrue(broken.startsWith("kerv: " + acf.toRealPath() + ":1: unknown check family 'stlye'\n"), broken);
        Files.writeString(acf, "checks = warning, style\n");
        Path other = Files.copy(acf, temp.resolve("other.acf"));
        String refused = cli("refused", 3, "--acf", other, source);
        assertTrue(refused.contains(" was made with the analysis configuration " + acf.toRealPath() + ", which a"
                + " project keeps; to analyse with --acf " + other + ", remove "), refused);
        Path badCct = Files.writeString(temp.resolve("bad.cct"), "[C]\ndefine = 1BAD\n");
        String bad = cli("bad-cct", 3, "--cct", badCct, source);
        assertTrue(bad.startsWith("kerv: " + badCct.toRealPath() + ":2: bad macro name in '1BAD'\n"), bad);
        // Settings of the C files only: main.c and records.c are analysed again, shapes.cpp is not.
        Path cOnly = Files.writeString(temp.resolve("c-only.cct"), "define = __linux__=1\n[C]\ndefine = EXTRA=1\n");
        String applied = cli("applied", 1, "--acf", acf, "--cct", cOnly, source);
        assertTrue(applied.contains("kerv: analysed 2 files of " + source + ", 1 already up to date ("), applied);

        assertEquals("kerv: cannot write /proc/x.sarif: No such file or directory\n",
                cli("proc", 3, "--sarif", "/proc/x.sarif", source));
        Path missing = temp.resolve("none.sarif");
        assertEquals("kerv: cannot read " + missing + ": No such file or directory\n",
                cli("no-baseline", 3, "--baseline", missing, source));

        Path empty = Files.createDirectories(temp.resolve("empty/doc")).getParent().toRealPath();
        Files.writeString(empty.resolve("doc/notes.txt"), "int no(void);\n");
        String none = cli("none", 3, empty);
        assertTrue(none.startsWith("kerv: no C or C++ file to analyse in " + empty + " "), none);
        try (Stream<Path> projects = Files.list(temp.resolve("projects"))) {
            assertEquals(1, projects.count(), "no project is made for a folder without sources");
        }
    }
}
