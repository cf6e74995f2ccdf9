package com.quorvel.bridge.test;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.Kerv;
import com.quorvel.bridge.client.KervException;
import com.quorvel.bridge.client.KervSession;
import com.quorvel.bridge.client.KervStatus;
import com.quorvel.bridge.client.Location;
import com.quorvel.bridge.client.MessageLevel;
import com.quorvel.bridge.client.Project;
import com.quorvel.bridge.client.Rule;
import com.quorvel.bridge.client.RuleGroup;
import com.quorvel.bridge.client.Severity;
import com.quorvel.bridge.client.SourceFile;
import com.quorvel.bridge.client.SourceLanguage;
import com.quorvel.bridge.client.SuppressionState;
import com.quorvel.bridge.client.TreeNode;
import com.quorvel.bridge.client.Trees;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.Map;
import java.util.Set;
import java.util.Optional;
import java.util.concurrent.CopyOnWriteArrayList;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import java.util.function.Supplier;
import org.junit.jupiter.api.AfterAll;
import org.junit.jupiter.api.BeforeAll;
import org.junit.jupiter.api.MethodOrderer;
import org.junit.jupiter.api.Order;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.TestMethodOrder;
import org.junit.jupiter.api.io.TempDir;

/** One session on the stand-in, used the way programs use it: arguments, status codes, threads, progress, close. */
@TestMethodOrder(MethodOrderer.OrderAnnotation.class)
class ClientSessionTest {
    private static final Path FAKE = Path.of(System.getProperty("kerv.test.fake"));
    private static final Path FAKE_PARTIAL = Path.of(System.getProperty("kerv.test.fakePartial"));
    private static final int CALLS_PER_THREAD = 40;

    @TempDir static Path temp;
    private static KervSession kerv;
    private static Project project;

    @BeforeAll
    static void open() {
        kerv = Kerv.open(FAKE);
        Fake.attach(FAKE.toString());
        Fake.reset();
        project = kerv.openProject(temp.resolve("projects"), "demo");
    }

    @AfterAll
    static void close() {
        kerv.close();
    }

    /** The entry points called since the last reset, in order. */
    private static List<String> calls() {
        return Arrays.stream(Fake.journal().split("\n")).filter(line -> !line.isEmpty())
                .map(line -> line.substring(0, line.indexOf('('))).toList();
    }

    @Test
    @Order(1)
    void argumentsAreCheckedFirstAndFailureStatusesBecomeExceptions() throws Exception {
        List<String> opening = calls();
        assertEquals(List.of("isVQFProject", "createProject", "initResults"),
                opening.stream().filter(c -> !c.equals("getUserConfigPath")).toList());

        Path source = Files.writeString(temp.resolve("a.c"), "int x;\n");
        Path notes = Files.writeString(temp.resolve("notes.txt"), "");
        Fake.reset();
        Fake.setStrings("getMappedFileExtensions", 0, new String[] {".c"});
        assertEquals("file", assertThrows(NullPointerException.class, () -> project.addFile(null)).getMessage());
        for (Path refused : List.of(temp.resolve("missing.c"), temp, notes)) {
            IllegalArgumentException e = assertThrows(IllegalArgumentException.class, () -> project.addFile(refused));
            assertTrue(e.getMessage().contains(refused.toString()), e.getMessage());
        }
        assertThrows(IllegalArgumentException.class,
                () -> project.addFile(source, SourceLanguage.C, List.of("A\u0019B"), List.of()));
        assertThrows(IllegalArgumentException.class, () -> kerv.openProject(temp, ""));
        assertEquals(0, Fake.callCount("addFile"), "a refused call never reaches the bridge");

        Fake.setResult("addFile", KervStatus.SOURCE_UNREADABLE.code());
        KervException failure = assertThrows(KervException.class,
                () -> project.addFile(source, SourceLanguage.C, List.of("A", "B=1"), List.of(temp)));
        assertEquals(-13, failure.status());
        assertEquals(KervStatus.SOURCE_UNREADABLE, failure.reason());
        assertEquals("addFile", failure.operation());
        assertTrue(Fake.journal().contains(
                "addFile(0, \"" + source + "\", 2, [\"A\",\"B=1\"], 1, [\"" + temp + "\"])\n"), Fake.journal());
        assertEquals(KervStatus.UNKNOWN, new KervException("x", -99).reason());

        Project other = kerv.openProject(temp.resolve("projects"), "other");
        Fake.reset();
        project.files();
        other.files();
        other.files();
        assertEquals(List.of("initResults", "getFiles", "initResults", "getFiles", "getFiles"), calls(),
                "a project that is not the open one is opened again first");
        assertTrue(Fake.journal().startsWith("initResults(\"\", \"" + project.location() + "\", \"demo\")\n"),
                Fake.journal());
    }

    @Test
    @Order(2)
    void eightThreadsShareTheSessionAndEveryCallIsServedWhole() throws Exception {
        Fake.reset();
        Fake.setDiagnostics("nullPointer", Fake.utf8("p < q \uD83D\uDE00"), "/src/a.c", 8, 12);
        Fake.setTrees(Fake.utf8("main\uD83D\uDE00.c"), 5, 3);
        Fake.setRuleGroups("error", "nullPointer", Fake.utf8("Null & <pointer>"));
        Fake.setMessageRuleMap("nullPointer", new String[] {"r1", "r2"});
        Fake.setVQFile(1, new String[] {"A", "B=1"}, new String[] {"/inc"});
        Fake.setLanguages(new int[] {0, 1});
        Fake.setStrings("getFiles", -1, new String[] {"/src/a.c", "/src/b.c"});
        Fake.setText("getVersionNumber", "9.9.9");

        List<String> references = List.of("CWE-476");
        List<String> parameters = List.of("p1");
        Diagnostic note = new Diagnostic("note", "help/note.html", MessageLevel.ERROR, "42", "declared here", "fake",
                references, false, SuppressionState.ACTIVE, false, List.of(), parameters,
                List.of(new Location("/src/a.c", 7, 1)));
        Diagnostic finding = new Diagnostic("nullPointer", "help/nullPointer.html", MessageLevel.ERROR, "42",
                "p < q \uD83D\uDE00", "fake", references, false, SuppressionState.ACTIVE, true, List.of(note),
                parameters, List.of(new Location("/src/a.c", 8, 12)), "r1", Severity.UNKNOWN);
        TreeNode file = new TreeNode(1, "main\uD83D\uDE00.c", "data-1", 5, 3, List.of());
        Trees trees = new Trees(new TreeNode(0, "project", "data-0", 5, 3, List.of(file)),
                new TreeNode(3, "messages", "data-3", 5, 3, List.of()),
                new TreeNode(2, "rules", "data-2", 5, 3, List.of()));
        Rule rule = new Rule("nullPointer", true, "rules.html", "error", "Null & <pointer>", "uid-1",
                List.of("CWE-476"), List.of());
        Map<String, Supplier<Object>> families = Map.of(
                "getDiagnostics", () -> project.diagnostics(Path.of("/src/a.c")),
                "getTrees", () -> project.trees(),
                "getRuleGroups", () -> project.ruleGroups(),
                "getMessageRuleMap", () -> project.messageRuleMap(),
                "getVQFile", () -> project.file(Path.of("/src/a.c")),
                "getAvailableLanguages", () -> kerv.library().availableLanguages(),
                "getFiles", () -> project.files(),
                "getVersionNumber", () -> kerv.library().version());
        Map<String, Object> expected = Map.of(
                "getDiagnostics", List.of(finding),
                "getTrees", Optional.of(trees),
                "getRuleGroups", List.of(new RuleGroup("error", List.of(rule))),
                "getMessageRuleMap", Map.of("nullPointer", List.of("r1", "r2")),
                "getVQFile", Optional.of(new SourceFile(SourceLanguage.CPP, List.of("A", "B=1"), List.of("/inc"))),
                "getAvailableLanguages", List.of(SourceLanguage.C, SourceLanguage.CPP),
                "getFiles", List.of(Path.of("/src/a.c"), Path.of("/src/b.c")),
                "getVersionNumber", "9.9.9");

        ExecutorService threads = Executors.newFixedThreadPool(families.size());
        CountDownLatch start = new CountDownLatch(1);
        List<Future<?>> runs = new ArrayList<>();
        for (String family : families.keySet()) {
            runs.add(threads.submit(() -> {
                start.await();
                for (int i = 0; i < CALLS_PER_THREAD; i++) {
                    assertEquals(expected.get(family), families.get(family).get(), family);
                }
                return null;
            }));
        }
        start.countDown();
        for (Future<?> run : runs) {
            run.get();
        }
        threads.shutdown();

        List<String> calls = calls();
        // The rule catalog that gives the diagnostics their severity reads the rules once for all those calls.
        Set<String> readOnceMore = Set.of("getRuleGroups", "getMessageRuleMap");
        for (String family : families.keySet()) {
            assertEquals(CALLS_PER_THREAD + (readOnceMore.contains(family) ? 1 : 0), Fake.callCount(family), family);
        }
        Map<String, String> freeOf = Map.of("freeDiagnostics", "getDiagnostics", "freeTrees", "getTrees",
                "freeRuleGroups", "getRuleGroups", "freeMessageRuleMap", "getMessageRuleMap", "freeVQFile", "getVQFile",
                "freeLanguages", "getAvailableLanguages");
        for (int i = 0; i < calls.size(); i++) {
            String getter = freeOf.get(calls.get(i));
            if (getter != null) {
                assertEquals(getter, calls.get(i - 1), "call " + i + " freed another call's record");
            } else if (freeOf.containsValue(calls.get(i))) {
                assertTrue(i + 1 < calls.size() && freeOf.get(calls.get(i + 1)) != null
                        && freeOf.get(calls.get(i + 1)).equals(calls.get(i)), "call " + i + " interrupted");
            }
        }
    }

    @Test
    @Order(3)
    void progressArrivesLiveAndAListenerCanNeitherCallTheSessionNorStopTheRun() {
        int[] progress = {0, 25, 50, 50, 100};
        for (boolean ownThread : new boolean[] {false, true}) {
            Fake.reset();
            Fake.setProgress(progress);
            Fake.setProgressOnOwnThread(ownThread);
            List<Integer> seen = new CopyOnWriteArrayList<>();
            IllegalStateException refused = assertThrows(IllegalStateException.class, () -> project.analyse(p -> {
                seen.add(p);
                if (p == 25) {
                    kerv.library().version();
                }
            }));
            assertTrue(refused.getMessage().contains("progress listener"), refused.getMessage());
            assertEquals(List.of(0, 25, 50, 50, 100), seen, "own thread: " + ownThread);
            assertEquals(0, Fake.callCount("getVersionNumber"));
            seen.clear();
            project.analyse(seen::add);
            assertEquals(List.of(0, 25, 50, 50, 100), seen);
        }
    }

    @Test
    @Order(4)
    void aClosedSessionRefusesEveryCallAndTheSameLibraryOpensAgain() {
        Fake.reset();
        kerv.close();
        kerv.close();
        assertEquals(List.of("shutdownApi"), calls());
        assertThrows(IllegalStateException.class, () -> project.files());
        assertThrows(IllegalStateException.class, () -> kerv.library().version());
        assertThrows(IllegalStateException.class, () -> project.analyse(null));

        IllegalStateException other = assertThrows(IllegalStateException.class, () -> Kerv.open(FAKE_PARTIAL));
        assertTrue(other.getMessage().contains("already loaded"), other.getMessage());
        Fake.reset();
        kerv = Kerv.open(FAKE);
        assertEquals(List.of("initDeploymentInfo", "initApi"), calls(), "started again on the new bridge thread");
        IllegalStateException second = assertThrows(IllegalStateException.class, () -> Kerv.open(FAKE));
        assertTrue(second.getMessage().contains("already open"), second.getMessage());
        Fake.setText("getVersionNumber", "2.0.0");
        assertEquals("2.0.0", kerv.library().version());
    }
}
