package com.quorvel.bridge.cli;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.quorvel.bridge.client.Kerv;
import com.quorvel.bridge.client.KervException;
import com.quorvel.bridge.client.KervSession;
import com.quorvel.bridge.client.KervStatus;
import com.quorvel.bridge.client.Project;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import java.util.Set;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/**
 * One process per project: a second JVM is refused with the holder's id or waits for the holder to release it, and a
 * killed holder blocks nobody.
 */
class ProjectLockTest {
    @TempDir Path temp;

    @Test
    void aSecondJvmIsRefusedUntilTheHolderIsKilled() throws Exception {
        List<Path> sources = EngineFixture.generateSources(temp.resolve("many"), 300);
        Path location = Files.createDirectories(temp.resolve("projects")).toRealPath();
        Path output = temp.resolve("child.txt");
        Path childLog = temp.resolve("child.log");
        Process child = EngineFixture.startCli(output, "--project-dir", location.toString(), "--name", "big", "--log",
                childLog.toString(), temp.resolve("many").toString());
        assertTrue(EngineFixture.waitForText(childLog, "Call AddFile", 60), "the child started adding files");
        try (KervSession kerv = Kerv.open(Path.of(EngineFixture.ENGINE))) {
            KervException e = assertThrows(KervException.class, () -> kerv.openProject(location, "big"));
            assertEquals(KervStatus.PROJECT_LOCKED, e.reason());
            assertEquals("initResults failed with status -20 (PROJECT_LOCKED): project folder " + location.resolve("big")
                    + " is open in another process, process " + child.pid(), e.getMessage());

            child.destroyForcibly().waitFor();
            Project project = kerv.openProject(location, "big");
            List<Path> files = project.files();
            assertTrue(!files.isEmpty() && files.equals(sources.subList(0, files.size())), "the child's files stay");
            project.addFile(sources.get(sources.size() - 1));

            String text = EngineFixture.finish(EngineFixture.startCli(output, "--project-dir", location.toString(),
                    "--name", "big", "--wait", "1", temp.resolve("many").toString()), output, AnalysisRun.CANNOT_RUN);
            String refusal = "project folder " + location.resolve("big") + " is open in another process, process "
                    + ProcessHandle.current().pid();
            assertTrue(text.contains(refusal + "; waiting up to 1 s") && text.endsWith(refusal + "\n"), text);
            assertEquals(files.size() + 1, project.files().size(), "the refused JVM changed nothing");

            // By default the command line waits: once this process releases the project, it runs to the end, and
            // this process then reads the files and results it stored.
            Process waiting = EngineFixture.startCli(output, "--project-dir", location.toString(), "--name", "big",
                    temp.resolve("many").toString());
            assertTrue(EngineFixture.waitForText(output, refusal + "; waiting up to 600 s", 60),
                    Files.readString(output));
            project.release();
            EngineFixture.finish(waiting, output, AnalysisRun.DIAGNOSTICS_FOUND);
            assertEquals(Set.copyOf(sources), Set.copyOf(project.files()));
            assertTrue(sources.stream().allMatch(project::hasUpToDateResults), "the waiting run's results are kept");
        }
    }

    @Test
    void unusableProjectNamesAndFoldersAreRefusedWithTheReason() throws Exception {
        Path location = Files.createDirectories(temp.resolve("projects")).toRealPath();
        try (KervSession kerv = Kerv.open(Path.of(EngineFixture.ENGINE))) {
            for (String name : List.of("   ", "a/b", ".", "..")) {
                IllegalArgumentException e =
                        assertThrows(IllegalArgumentException.class, () -> kerv.openProject(location, name));
                assertTrue(e.getMessage().startsWith("name "), e.getMessage());
            }
            Files.createDirectories(location.resolve("taken/other"));
            KervException taken = assertThrows(KervException.class, () -> kerv.openProject(location, "taken"));
            assertEquals("createProject failed with status -6 (PROJECT_EXISTS): project folder "
                    + location.resolve("taken") + " exists but holds no project", taken.getMessage());
            Path stranger = temp.resolve("stranger.c");
            KervException notHeld = assertThrows(KervException.class,
                    () -> kerv.openProject(location, "named").removeFile(stranger));
            assertEquals("removeFile failed with status -12 (FILE_NOT_IN_PROJECT): " + stranger, notHeld.getMessage());
        }
    }
}
