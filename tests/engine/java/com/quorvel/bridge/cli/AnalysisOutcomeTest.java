package com.quorvel.bridge.cli;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.quorvel.bridge.client.AnalysisOutcome;
import com.quorvel.bridge.client.AnalysisOutcome.Reason;
import com.quorvel.bridge.client.AnalysisOutcome.UnanalysedFile;
import com.quorvel.bridge.client.Kerv;
import com.quorvel.bridge.client.KervException;
import com.quorvel.bridge.client.KervSession;
import com.quorvel.bridge.client.KervStatus;
import com.quorvel.bridge.client.Project;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardOpenOption;
import java.util.List;
import java.util.Map;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/**
 * What an analysis tells the client and the command line when files cannot be analysed. The analyser is chosen
 * through engine.conf in XDG_CONFIG_HOME, which CMake points to a folder of this test's own.
 */
class AnalysisOutcomeTest {
    @TempDir Path temp;

    /** cppcheck, except that it fails on bad.c, and on every file while a file "fail-all" lies beside it. */
    private Path fakeAnalyser() throws Exception {
        Path fake = temp.resolve("fake-cppcheck");
        Files.writeString(fake, "#!/bin/sh\n"
                + "case \"$1\" in --version|--errorlist) exec cppcheck \"$@\";; esac\n"
                + "[ -e \"$(dirname \"$0\")/fail-all\" ] && exit 3\n"
                + "case \"$*\" in *bad.c*) exit 3;; esac\n"
                + "exec cppcheck \"$@\"\n");
        assertTrue(fake.toFile().setExecutable(true));
        return fake;
    }

    private static KervException failure(Project project, KervStatus expected) {
        KervException e = assertThrows(KervException.class, project::analyse);
        assertEquals(expected, e.reason(), e.getMessage());
        assertTrue(e.getMessage().startsWith("aggregate failed with status " + expected.code() + " (" + expected + "): "),
                e.getMessage());
        return e;
    }

    @Test
    void analyseNamesEveryFileLeftBehindAndThrowsWhenNothingCouldRun() throws Exception {
        Path conf = Path.of(System.getenv("XDG_CONFIG_HOME"), "kerv", "engine.conf");
        Files.createDirectories(conf.getParent());
        Path src = EngineFixture.copyExamples(temp.resolve("examples")).resolve("src");
        Path gone = Files.writeString(src.resolve("gone.c"), "int g;\n");
        Path bad = Files.writeString(src.resolve("bad.c"), "int b;\n");
        Path main = src.resolve("main.c");
        Path location = Files.createDirectories(temp.resolve("projects")).toRealPath();
        try (KervSession kerv = Kerv.open(Path.of(EngineFixture.ENGINE))) {
            Project project = kerv.openProject(location, "demo");
            for (Path file : List.of(main, src.resolve("records.c"), src.resolve("shapes.cpp"), gone, bad)) {
                project.addFile(file);
            }
            Files.delete(gone);

            Files.writeString(conf, "cppcheck = /nonexistent/cppcheck\n");
            assertTrue(failure(project, KervStatus.ANALYZER_MISSING).getMessage().contains("cppcheck not found"));
            Files.writeString(conf, "cppcheck = " + fakeAnalyser() + "\n");
            Files.writeString(temp.resolve("fail-all"), "");
            assertTrue(failure(project, KervStatus.ANALYSIS_FAILED).getMessage().contains("all 4 files, the first "
                    + main));

            Files.delete(temp.resolve("fail-all"));
            AnalysisOutcome outcome = project.analyse();
            assertEquals(List.of(main, src.resolve("records.c"), src.resolve("shapes.cpp")), outcome.analysed());
            assertEquals(List.of(new UnanalysedFile(gone, Reason.SOURCE_MISSING),
                    new UnanalysedFile(bad, Reason.ANALYSER_FAILED)), outcome.notAnalysed());
            assertFalse(project.hasResults(gone), "a vanished source keeps no results");

            Path log = location.resolve("demo/results/results.log");
            Files.move(log, temp.resolve("results.log"));
            Files.createDirectory(log);
            project.removeFile(gone);
            project.removeFile(bad);
            Files.writeString(main, "\n", StandardOpenOption.APPEND);
            Project reopened = kerv.openProject(location, "demo");  // reads a log it cannot write
            String notSaved = failure(reopened, KervStatus.WRITE_FAILED).getMessage();
            assertTrue(notSaved.endsWith("all 3 files could not be saved in project folder " + location.resolve("demo")),
                    notSaved);
            assertTrue(reopened.diagnostics(main).stream().anyMatch(d -> d.messageId().equals("nullPointer")),
                    "results that could not be saved are still served");

            Files.delete(log);
            Files.move(temp.resolve("results.log"), log);
            reopened = kerv.openProject(location, "demo");
            assertEquals(new AnalysisOutcome(List.of(main), List.of()), reopened.analyse(),
                    "only the changed file, once the log is back");
        } finally {
            Files.deleteIfExists(conf);
        }
    }

    @Test
    void theCommandLineEndsWithTheFilesItCouldNotAnalyse() throws Exception {
        Path source = EngineFixture.copyExamples(temp.resolve("examples"));
        Files.writeString(source.resolve("src/bad.c"), "int b;\n");
        String location = Files.createDirectories(temp.resolve("projects")).toRealPath().toString();
        Path output = temp.resolve("child.txt");
        String text = EngineFixture.finish(EngineFixture.startCli(Map.of("KERV_CPPCHECK", "/nonexistent/cppcheck"),
                output, "--project-dir", location, source.toString()), output, AnalysisRun.CANNOT_RUN);
        assertTrue(text.contains("kerv: aggregate failed with status -14 (ANALYZER_MISSING): "), text);
        assertFalse(text.contains("diagnostic"), text);

        text = EngineFixture.finish(EngineFixture.startCli(Map.of("KERV_CPPCHECK", fakeAnalyser().toString()),
                output, "--project-dir", location, source.toString()), output, AnalysisRun.CANNOT_RUN);
        assertTrue(text.contains("src/main.c:8:12: error: "), text);
        assertTrue(text.endsWith("kerv: not analysed: src/bad.c (the analyser failed on it)\n"
                + "kerv: 1 of 4 files could not be analysed\n"), text);
    }
}
