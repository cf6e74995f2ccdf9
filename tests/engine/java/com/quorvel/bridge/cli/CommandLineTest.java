package com.quorvel.bridge.cli;

import static org.junit.jupiter.api.Assertions.assertEquals;
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
    void namesAndExtensions() {
        assertEquals(".cpp", AnalysisRun.extensionOf(Path.of("/a/b.c/x.cpp")));
        assertEquals("", AnalysisRun.extensionOf(Path.of("Makefile")));
        Path source = Path.of("/work/examples");
        assertTrue(AnalysisRun.defaultName(source).matches("examples-[0-9a-f]{8}"));
        assertEquals("src/main.c", Summary.shown(source, "/work/examples/src/main.c"));
        assertEquals("/usr/include/stdio.h", Summary.shown(source, "/usr/include/stdio.h"));
    }
}
