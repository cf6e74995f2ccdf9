package com.quorvel.bridge.test;

import static com.quorvel.bridge.caller.KERVBridge.*;
import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;

import java.util.List;
import java.util.function.Function;
import org.junit.jupiter.api.BeforeAll;
import org.junit.jupiter.api.Test;

/**
 * Null texts and texts holding U+0000, where a method needs a text: the method returns its failure value, logs one
 * failure line naming itself and the argument, and the library sees no call.
 */
class ArgumentRefusalTest {
    private static final byte[] NO_BYTES = new byte[0];

    private record Case(String method, String argument, Object failure, Function<String, Object> call) {}

    private static final List<Case> CASES = List.of(
            new Case("setBindKey", "bindKey", null, bad -> { setBindKey(bad); return null; }),
            new Case("initApi", "bindKey", -1L, bad -> initApi(bad)),
            new Case("createProject", "location", -1L, bad -> createProject(bad, "n", "a", "r", "c")),
            new Case("createProject", "name", -1L, bad -> createProject("/l", bad, "a", "r", "c")),
            new Case("createProject", "acfFile", -1L, bad -> createProject("/l", "n", bad, "r", "c")),
            new Case("createProject", "rcfFile", -1L, bad -> createProject("/l", "n", "a", bad, "c")),
            new Case("createProject", "cctFile", -1L, bad -> createProject("/l", "n", "a", "r", bad)),
            new Case("initProjectMngr", "bindKey", -1L, bad -> initProjectMngr(bad, "/l", "n")),
            new Case("initProjectMngr", "location", -1L, bad -> initProjectMngr("k", bad, "n")),
            new Case("initProjectMngr", "name", -1L, bad -> initProjectMngr("k", "/l", bad)),
            new Case("isVQFProject", "location", false, bad -> isVQFProject(bad, "n")),
            new Case("isVQFProject", "name", false, bad -> isVQFProject("/l", bad)),
            new Case("addFile", "file", -1L, bad -> addFile(0, bad, null, 0, null, 0)),
            new Case("addFile", "defines", -1L, bad -> addFile(0, "a.c", bad, 1, null, 0)),
            new Case("addFile", "includes", -1L, bad -> addFile(0, "a.c", "A", 1, bad, 2)),
            new Case("removeFile", "filePath", -1L, bad -> removeFile(bad)),
            new Case("getVQFile", "path", "", bad -> getVQFile(bad)),
            new Case("addCCT", "cctFile", -1L, bad -> addCCT(bad)),
            new Case("setActiveCCT", "cctFile", -1L, bad -> setActiveCCT(0, bad)),
            new Case("setWorkspace", "path", null, bad -> { setWorkspace(bad); return null; }),
            new Case("initResults", "bindKey", -1L, bad -> initResults(bad, "/l", "n")),
            new Case("initResults", "location", -1L, bad -> initResults("k", bad, "n")),
            new Case("initResults", "name", -1L, bad -> initResults("k", "/l", bad)),
            new Case("hasResults", "filePath", false, bad -> hasResults(bad)),
            new Case("hasUpToDateResults", "filePath", false, bad -> hasUpToDateResults(bad)),
            new Case("getDiagnostics", "filePath", NO_BYTES, bad -> getDiagnostics(bad, null, null, 0)),
            new Case("getTrees", "items", NO_BYTES, bad -> getTrees(true, 1, bad)));

    @BeforeAll
    static void load() {
        BridgeFixture.loadStandIn();
    }

    private static void assertRefused(Case refused, String bad, String reason) {
        setDebugLevel(1);
        setNativeLogFile(BridgeFixture.logFile().toString());
        Fake.reset();
        Object result = refused.call().apply(bad);
        String where = refused.method() + "(" + refused.argument() + ")";
        if (refused.failure() instanceof byte[] expected) {
            assertArrayEquals(expected, (byte[]) result, where);
        } else {
            assertEquals(refused.failure(), result, where);
        }
        assertEquals("", Fake.journal(), where + " reached the library");
        assertEquals("\n" + refused.method() + " refused: argument " + refused.argument() + " " + reason + "\n",
                BridgeFixture.log(), where);
    }

    @Test
    void nullTextsAreRefused() {
        for (Case refused : CASES) assertRefused(refused, null, "is null");
    }

    @Test
    void textsHoldingNulAreRefused() {
        for (Case refused : CASES) assertRefused(refused, "ab\0c", "holds a NUL character");
        for (Case refused : CASES) assertRefused(refused, "\0", "holds a NUL character");
    }

    @Test
    void aLogFilePathHoldingNulIsRefusedAndTheLogStaysWhereItWas() {
        setDebugLevel(1);
        setNativeLogFile(BridgeFixture.logFile().toString());
        setNativeLogFile("/tmp/cut\0here.log");
        assertEquals("\nsetNativeLogFile refused: argument path holds a NUL character\n", BridgeFixture.log());
    }
}
