package com.quorvel.bridge.cli;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.quorvel.bridge.client.AnalysisOutcome;
import com.quorvel.bridge.client.AnalysisOutcome.Reason;
import com.quorvel.bridge.client.AnalysisOutcome.UnanalysedFile;
import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.Kerv;
import com.quorvel.bridge.client.KervSession;
import com.quorvel.bridge.client.Project;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/**
 * A CMake build analysed through its compilation database as its compiler sees it: gcc's predefined macros open a
 * header that stops without them, a -std=c89 entry gets that standard's macros, a file whose #error the build's
 * configuration reaches is listed as not analysed, and a header that a few hundred files include has its finding
 * once, gone after a fix and back after a new fault, each time analysing exactly the files that include it.
 */
class BuildCompilerTest {
    static final Path SAMPLE = Path.of(System.getProperty("kerv.test.buildcompiler"));
    static final int INCLUDERS = 300;
    static final String SHARED_FAULT = "Array 'copy[4]' accessed at index 4";

    @TempDir Path temp;

    private static int count(String text, String needle) {
        return text.split(java.util.regex.Pattern.quote(needle), -1).length - 1;
    }

    private static List<Diagnostic> everyDiagnostic(Project project) {
        List<Diagnostic> all = new ArrayList<>();
        project.files().forEach(file -> all.addAll(project.diagnostics(file)));
        return all;
    }

    private static long sharedFaults(List<Diagnostic> diagnostics) {
        return diagnostics.stream().filter(d -> d.text().contains(SHARED_FAULT)).count();
    }

    @Test
    void eachFileAsItsCompilerSeesItWithHeadersFollowedAndEachFindingOnce() throws Exception {
        Path sample = EngineFixture.copyTree(SAMPLE, temp.resolve("sample"));
        Path users = Files.createDirectories(sample.resolve("src/users"));
        for (int i = 0; i < INCLUDERS; i++) {
            Files.writeString(users.resolve(String.format("user%03d.c", i)),
                    "#include \"shared.h\"\nint user" + i + "(const int* v) { return shared_first(v); }\n");
        }
        Files.writeString(users.resolve("alone.c"), "int alone(void) { return 0; }\n");
        String cmake = ReportsTest.run(temp.resolve("cmake.log"), CompileCommandsTest.CMAKE, "-S", sample.toString(),
                "-B", sample.resolve("build").toString(), "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON", "-DCMAKE_C_COMPILER=gcc");
        Path database = sample.resolve("build/compile_commands.json");
        assertTrue(Files.isRegularFile(database), cmake);
        Path projects = Files.createDirectories(temp.resolve("projects")).toRealPath();
        Path sarif = temp.resolve("first.sarif");

        String first = EngineFixture.finish(EngineFixture.startCli(temp.resolve("first.txt"), "--project-dir",
                projects.toString(), "--name", "sample", "--compile-commands", database.toString(), "--sarif",
                sarif.toString()), temp.resolve("first.txt"), 3);
        assertTrue(first.contains("guarded.c:5:13: error: Null pointer dereference: missing"), first);
        assertTrue(first.contains("include/platform.h:8:17: error: Array 'words[2]' accessed at index 2"), first);
        assertTrue(first.contains("strict.c:5:13: error: Null pointer dereference: missing"), first);
        assertEquals(1, count(first, SHARED_FAULT), first);
        assertTrue(first.contains("kerv: not analysed: stopped.c (the preprocessor stopped at an #error)"), first);
        assertEquals(1, count(first, "kerv: not analysed:"), first);
        assertTrue(first.contains("kerv: 1 of " + (INCLUDERS + 4) + " files could not be analysed"), first);
        String report = Files.readString(sarif);
        assertEquals(1, count(report, SHARED_FAULT), report);
        assertTrue(report.contains("stopped.c has no results: the preprocessor stopped at an #error"), report);

        Path shared = sample.resolve("include/shared.h");
        Path stopped = sample.resolve("src/stopped.c");
        String faulty = Files.readString(shared);
        try (KervSession kerv = Kerv.open(Path.of(EngineFixture.ENGINE))) {
            Project project = kerv.openProject(projects, "sample");
            List<Diagnostic> all = everyDiagnostic(project);
            assertEquals(1, sharedFaults(all));
            assertEquals(all.size(), project.trees().orElseThrow().files().total(), "the trees count each once");
            assertEquals(1, sharedFaults(project.diagnostics(shared)), "the header's own diagnostics");

            Files.writeString(shared, faulty.replace("copy[4] = ", "copy[3] = "));
            List<Path> stale = project.files().stream().filter(f -> !project.hasUpToDateResults(f)).toList();
            assertEquals(INCLUDERS + 1, stale.size(), "the includers and the stopped file: " + stale);
            assertTrue(stale.contains(stopped));
            AnalysisOutcome fixed = project.analyse();
            assertEquals(INCLUDERS, fixed.analysed().size());
            assertTrue(fixed.analysed().stream().allMatch(f -> f.getFileName().toString().startsWith("user")));
            assertEquals(List.of(new UnanalysedFile(stopped, Reason.PREPROCESSOR_STOPPED)), fixed.notAnalysed());
            assertEquals(0, sharedFaults(everyDiagnostic(project)));
            assertEquals(0, project.diagnostics(shared).size());

            Files.writeString(shared, faulty);
            AnalysisOutcome broken = project.analyse();
            assertEquals(INCLUDERS, broken.analysed().size());
            all = everyDiagnostic(project);
            assertEquals(1, sharedFaults(all));
            assertEquals(all.size(), project.trees().orElseThrow().files().total());
        }
    }
}
