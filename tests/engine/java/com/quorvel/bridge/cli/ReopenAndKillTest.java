package com.quorvel.bridge.cli;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.quorvel.bridge.caller.KERVBridge;
import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.KervStatus;
import com.quorvel.bridge.client.ResultDecoder;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import java.util.function.LongSupplier;
import org.junit.jupiter.api.BeforeEach;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/** Projects written by one JVM, whole or killed half-way, opened by another. */
class ReopenAndKillTest {
    @TempDir Path temp;
    private String location;

    @BeforeEach
    void loadEngine() throws Exception {
        EngineFixture.loadEngine(temp.resolve("native.log"));
        location = Files.createDirectories(temp.resolve("projects")).toRealPath().toString();
    }

    /**
     * Opens a project that a killed JVM held. An analyser it was starting may hold a copy of the lock for the moment
     * between its spawn and its exec, which a loaded machine can stretch; the lock must be free soon after.
     */
    private static long openOnceFree(LongSupplier open) throws InterruptedException {
        long status = open.getAsLong();
        for (int tries = 0; status == KervStatus.PROJECT_LOCKED.code() && tries < 100; tries++) {
            Thread.sleep(100);
            status = open.getAsLong();
        }
        return status;
    }

    @Test
    void aProjectAnalysedInOneJvmOpensWithItsFilesAndResultsInAnother() throws Exception {
        Path source = EngineFixture.copyExamples(temp.resolve("examples"));
        Path output = temp.resolve("child.txt");
        String text = EngineFixture.finish(EngineFixture.startCli(output, "--project-dir", location, "--name", "demo",
                "--rcf", EngineFixture.config("rules.rcf").toString(), source.toString()), output, 1);
        assertTrue(text.contains("src/main.c:8:12: error: Null pointer dereference: chosen [nullPointer]"), text);
        assertTrue(text.contains("src/records.c:16:12: error: "), text);
        assertTrue(text.contains("(1 more of rules switched off, not shown)"), text);

        assertEquals(0, KERVBridge.initResults("", location, "demo"));
        Path main = source.resolve("src/main.c");
        assertEquals(List.of(main.toString(), source.resolve("src/records.c").toString(),
                source.resolve("src/shapes.cpp").toString()), EngineFixture.files());
        assertTrue(KERVBridge.hasUpToDateResults(main.toString()), "results saved by the first JVM");
        List<Diagnostic> found = ResultDecoder.diagnostics(KERVBridge.getDiagnostics(main.toString(), null, null, 0));
        assertTrue(found.stream().anyMatch(d -> d.messageId().equals("nullPointer") && Summary.primary(d).line() == 8));
    }

    @Test
    void aJvmKilledDuringAddFileLeavesAProjectThatOpens() throws Exception {
        List<Path> sources = EngineFixture.generateSources(temp.resolve("many"), 300);
        Path output = temp.resolve("child.txt");
        Path childLog = temp.resolve("child.log");
        Process child = EngineFixture.startCli(output, "--project-dir", location, "--name", "big", "--log",
                childLog.toString(), temp.resolve("many").toString());
        assertTrue(EngineFixture.waitForText(childLog, "Call AddFile", 60), "the child started adding files");
        child.destroyForcibly().waitFor();

        assertEquals(0, openOnceFree(() -> KERVBridge.initProjectMngr("", location, "big")));
        List<String> files = EngineFixture.files().stream().filter(f -> !f.isEmpty()).toList();
        assertTrue(files.size() <= sources.size());
        for (int i = 0; i < files.size(); i++) {
            assertEquals(sources.get(i).toString(), files.get(i), "files are kept in the order they were added");
        }
        assertEquals(0, KERVBridge.addFile(0, sources.get(sources.size() - 1).toString(), null, 0, null, 0));
    }

    @Test
    void aJvmKilledDuringAggregateLeavesFinishedResultsAndAProjectThatOpens() throws Exception {
        List<Path> sources = EngineFixture.generateSources(temp.resolve("many"), 300);
        Path output = temp.resolve("child.txt");
        Path childLog = temp.resolve("child.log");
        Process child = EngineFixture.startCli(output, "--project-dir", location, "--name", "big", "--log",
                childLog.toString(), temp.resolve("many").toString());
        assertTrue(EngineFixture.waitForText(childLog, "Aggregate progress is 5\n", 60), "5% analysed");
        child.destroyForcibly().waitFor();

        assertEquals(0, openOnceFree(() -> KERVBridge.initResults("", location, "big")));
        assertEquals(sources.size(), EngineFixture.files().size(), "every file was added before the aggregation");
        long analysed = sources.stream().filter(s -> KERVBridge.hasUpToDateResults(s.toString())).count();
        assertTrue(analysed >= sources.size() / 20, "results of the files finished before the kill are kept");
        assertTrue(analysed < sources.size(), "the kill came before the end");
        KERVBridge.aggregate();
        for (Path source : sources) {
            assertTrue(KERVBridge.hasUpToDateResults(source.toString()), source.toString());
        }
        try (var left = Files.list(Path.of(location, "big", "results"))) {
            assertTrue(left.noneMatch(p -> p.getFileName().toString().startsWith("report-")),
                    "the killed JVM's reports are cleared");
        }
        List<Diagnostic> found =
                ResultDecoder.diagnostics(KERVBridge.getDiagnostics(sources.get(7).toString(), null, null, 0));
        assertTrue(found.stream().anyMatch(d -> d.messageId().equals("nullPointer") && Summary.primary(d).line() == 3));
    }
}
