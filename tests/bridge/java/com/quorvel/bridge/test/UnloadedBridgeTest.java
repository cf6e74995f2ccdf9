package com.quorvel.bridge.test;

import static com.quorvel.bridge.caller.KERVBridge.*;
import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.file.Path;
import org.junit.jupiter.api.MethodOrderer;
import org.junit.jupiter.api.Order;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.TestMethodOrder;

/** One process from its first call on: before any initJniBridge, after failed loads, then the first good load. */
@TestMethodOrder(MethodOrderer.OrderAnnotation.class)
class UnloadedBridgeTest {
    private static final byte[] NO_BYTES = new byte[0];
    private static final Path LOG = BridgeFixture.tempFile("unloaded", ".log");

    private static void assertEveryMethodFails() {
        assertEquals(-1L, initDeploymentInfo());
        assertEquals(-1L, initApi("key"));
        assertEquals("null", getInstallPath());
        assertEquals("null", getUserPath());
        assertEquals("null", getInstallConfigPath());
        assertEquals("null", getInstallBinaryPath());
        assertEquals("null", getUserAppConfigPath());
        assertEquals("null", getUserConfigPath());
        assertEquals("", getComponents());
        assertEquals("0.0.0", getVersionNumber());
        assertEquals("", getVQFContextHelp(1));
        assertEquals("", getVQFHelp(true));
        assertEquals(0L, getDebugLevel());
        assertEquals(-1L, createProject("/tmp", "p", "a.acf", "r.rcf", "c.cct"));
        assertEquals(-1L, initProjectMngr("key", "/tmp", "p"));
        assertFalse(isVQFProject("/tmp", "p"));
        assertEquals(-1L, addFile(0, "a.c", "A", 1, null, 0));
        assertEquals(-1L, removeFile("a.c"));
        assertEquals("", getFiles());
        assertEquals("", getVQFile("a.c"));
        assertEquals("", getFileExtensions());
        assertEquals("", getCMAProjects());
        assertEquals("", getReportTools());
        assertEquals(-1L, addCCT("c.cct"));
        assertEquals(-1L, setActiveCCT(0, "c.cct"));
        assertEquals("null", getWorkspace());
        assertEquals("", getAvailableLanguages());
        assertEquals(0, getCurrentLanguage());
        assertEquals(-1L, initResults("key", "/tmp", "p"));
        assertFalse(hasResults("a.c"));
        assertFalse(hasUpToDateResults("a.c"));
        assertArrayEquals(NO_BYTES, getDiagnostics("a.c", null, null, 0));
        assertArrayEquals(NO_BYTES, getTrees(true, 1, "a"));
        assertArrayEquals(NO_BYTES, getRuleGroups());
        assertArrayEquals(NO_BYTES, getMessageRuleMap());
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
