package com.quorvel.bridge.test;

import static com.quorvel.bridge.caller.KERVBridge.*;
import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.file.Path;
import java.util.function.Supplier;
import org.junit.jupiter.api.MethodOrderer;
import org.junit.jupiter.api.Order;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.TestMethodOrder;

/** One process from its first call on: before any initJniBridge, after failed loads, then the first good load. */
@TestMethodOrder(MethodOrderer.OrderAnnotation.class)
class UnloadedBridgeTest {
    private static final byte[] NO_BYTES = new byte[0];
    private static final Path LOG = BridgeFixture.tempFile("unloaded", ".log");

    /** Each call returns `failure`; a byte array failure is compared by content. */
    private static void allReturn(Object failure, Supplier<?>... calls) {
        for (int i = 0; i < calls.length; i++) {
            Object result = calls[i].get();
            if (failure instanceof byte[] bytes) {
                assertArrayEquals(bytes, (byte[]) result, "call " + i);
            } else {
                assertEquals(failure, result, "call " + i);
            }
        }
    }

    private static void assertEveryMethodFails() {
        allReturn(-1L, () -> initDeploymentInfo(), () -> initApi("key"),
                () -> createProject("/tmp", "p", "a.acf", "r.rcf", "c.cct"), () -> initProjectMngr("key", "/tmp", "p"),
                () -> addFile(0, "a.c", "A", 1, null, 0), () -> removeFile("a.c"), () -> addCCT("c.cct"),
                () -> setActiveCCT(0, "c.cct"), () -> initResults("key", "/tmp", "p"));
        allReturn("null", () -> getInstallPath(), () -> getUserPath(), () -> getInstallConfigPath(),
                () -> getInstallBinaryPath(), () -> getUserAppConfigPath(), () -> getUserConfigPath(),
                () -> getWorkspace());
        allReturn("", () -> getComponents(), () -> getVQFContextHelp(1), () -> getVQFHelp(true), () -> getFiles(),
                () -> getVQFile("a.c"), () -> getFileExtensions(), () -> getCMAProjects(), () -> getReportTools(),
                () -> getAvailableLanguages());
        allReturn(false, () -> isVQFProject("/tmp", "p"), () -> hasResults("a.c"), () -> hasUpToDateResults("a.c"));
        allReturn(NO_BYTES, () -> getDiagnostics("a.c", null, null, 0), () -> getTrees(true, 1, "a"),
                () -> getRuleGroups(), () -> getMessageRuleMap());
        assertEquals("0.0.0", getVersionNumber());
        assertEquals(0L, getDebugLevel());
        assertEquals(0, getCurrentLanguage());
        setBindKey("key");
        shutdownApi();
        shutdownApp();
        clearCachedObjects();
        setWorkspace("/tmp");
        setCurrentLanguage(1);
        aggregate();
        setUserLibrary(new Object());
    }

    @Test
    @Order(1)
    void beforeAnyInitJniBridgeEveryMethodRefusesWithItsFailureValue() {
        setDebugLevel(2);
        setNativeLogFile(LOG.toString());
        assertEveryMethodFails();
        String log = BridgeFixture.read(LOG);
        assertTrue(log.contains("\ninitApi refused: initJniBridge has not been called\n"), log);
        assertTrue(log.contains("\ngetTrees refused: initJniBridge has not been called\n"), log);
        assertFalse(log.contains("Enter call"), "no method went past its refusal: " + log);
        assertFalse(log.contains("\nCall "), "the binding saw no call: " + log);
    }

    @Test
    @Order(2)
    void initJniBridgeWithoutPathAsksForOneAndLoadsNothing() {
        setNativeLogFile(LOG.toString());
        assertEquals("Please select a path for KERV.dll file!", initJniBridge(null));
        assertEquals("\nEnter initJniBridge \n", BridgeFixture.read(LOG));
    }

    @Test
    @Order(3)
    void unloadableLibraryIsReportedAndLoggedAtLevelOne() {
        setDebugLevel(1);
        setNativeLogFile(LOG.toString());
        String result = initJniBridge("/nonexistent/libKERV.so");
        assertTrue(result.startsWith("Failed to load libKERV.so: "), result);
        assertTrue(result.contains("/nonexistent/libKERV.so"), result);
        assertEquals(result + "\n", BridgeFixture.read(LOG));

        assertTrue(initJniBridge("bad\0path").startsWith("Failed to load libKERV.so: "));
        assertTrue(BridgeFixture.read(LOG).contains("\ninitJniBridge refused: argument path holds a NUL character\n"));
    }

    @Test
    @Order(4)
    void afterAFailedLoadCallsReachTheBindingAndFailThere() {
        setDebugLevel(2);
        setNativeLogFile(LOG.toString());
        assertEquals(-1L, initApi("key"));
        String log = BridgeFixture.read(LOG);
        assertFalse(log.contains("refused"), log);
        assertTrue(log.contains("\tAttempt to call KERVApi::InitApi failed because ptr2f is null \n"), log);
        assertTrue(BridgeFixture.stdoutOf(() -> getTrees(false, 0, null)).isEmpty(), "no getTrees call was made");
    }

    @Test
    @Order(5)
    void aGoodPathLoadsOnceAndLaterPathsAreIgnored() {
        setDebugLevel(2);
        setNativeLogFile(LOG.toString());
        assertEquals("OK", initJniBridge(BridgeFixture.FAKE));
        assertTrue(BridgeFixture.read(LOG).endsWith("\nExit initJniBridge \n"));
        assertEquals("OK", initJniBridge(BridgeFixture.FAKE_PARTIAL));
        Fake.attach(BridgeFixture.FAKE);
        Fake.reset();
        Fake.setResult("hasResults", 1);
        assertTrue(hasResults("a.c"), "hasResults is missing from the partial stand-in: the full one stays loaded");
        assertEquals("hasResults(\"a.c\")\n", Fake.journal());
    }
}
