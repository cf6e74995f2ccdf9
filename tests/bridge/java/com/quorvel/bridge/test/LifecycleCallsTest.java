package com.quorvel.bridge.test;

import static com.quorvel.bridge.caller.KERVBridge.*;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.file.Path;
import java.util.regex.Pattern;
import org.junit.jupiter.api.Test;

/** Start-up, life-cycle, text getters and log settings with the stand-in loaded. */
class LifecycleCallsTest extends StandInTest {
    private static void assertExitLine(String form, String method, String log) {
        String exported = "Java_com_quorvel_bridge_caller_KERVBridge_" + method;
        String text = form.replace("%s", exported);
        Pattern line = Pattern.compile(Pattern.quote(text).replace("%d", "\\E-?\\d+\\Q"));
        assertTrue(line.matcher(log).find(), "exit line of " + method + " in: " + log);
    }

    @Test
    void lifeCycleCallsReachTheLibraryWithTheirArgumentsAndResults() {
        Fake.setResult("initDeploymentInfo", 7);
        Fake.setResult("initApi", -5);
        assertEquals(7L, initDeploymentInfo());
        setBindKey("bind-1");
        assertEquals(-5L, initApi("bind-2"));
        shutdownApi();
        shutdownApp();
        clearCachedObjects();
        setUserLibrary("ignored");
        setUserLibrary(null);
        assertEquals(
                "initDeploymentInfo()\nsetBindKey(\"bind-1\")\ninitApi(\"bind-2\")\nshutdownApi()\nshutdownApp()\n"
                        + "clearCachedObjects()\n",
                Fake.journal());
        String log = BridgeFixture.log();
        assertTrue(log.contains("\nEnter call SetBindKey() with parameters: \n\t bindKey = bind-1 "), log);
        assertTrue(log.contains("\nEnter call initApi() with parameters: \n\t bindKey = bind-2 "), log);
        assertExitLine("\n\tExit %s result = %d ", "setBindKey", log);
        assertExitLine("\n\tExit %s result = %d ", "initApi", log);
        assertTrue(log.indexOf("\tExit Java_com_quorvel_bridge_caller_KERVBridge_initApi")
                > log.indexOf("\t< Result: -5\n"), "exit line after the call: " + log);
    }

    @Test
    void textGettersHandOverTheLibrarysTexts() {
        String[] getters = {"getInstallPath", "getUserPath", "getInstallConfigPath", "getInstallBinaryPath",
            "getUserAppConfigPath", "getUserConfigPath", "getComponents", "getVersionNumber"};
        for (String getter : getters) Fake.setText(getter, "/text/of/" + getter);
        Fake.setText("getVQFContextHelp", "context help");
        Fake.setText("getVQFHelp", "<html>help</html>");
        assertEquals("/text/of/getInstallPath", getInstallPath());
        assertEquals("/text/of/getUserPath", getUserPath());
        assertEquals("/text/of/getInstallConfigPath", getInstallConfigPath());
        assertEquals("/text/of/getInstallBinaryPath", getInstallBinaryPath());
        assertEquals("/text/of/getUserAppConfigPath", getUserAppConfigPath());
        assertEquals("/text/of/getUserConfigPath", getUserConfigPath());
        assertEquals("/text/of/getComponents", getComponents());
        assertEquals("/text/of/getVersionNumber", getVersionNumber());
        assertEquals("context help", getVQFContextHelp(-3));
        assertEquals("<html>help</html>", getVQFHelp(true));
        assertTrue(Fake.journal().endsWith("getVQFContextHelp(-3)\ngetVQFHelp(1)\n"), Fake.journal());

        Fake.setText("getVersionNumber", (byte[]) null);
        assertEquals("", getVersionNumber(), "a null text from the library arrives as the empty text");
    }

    @Test
    void debugLevelIsCutToIntForBothLoggersAndReadBackWithoutSign() {
        setDebugLevel(0x1_0000_0001L);
        assertEquals("setLogLevel(1)\n", Fake.journal());
        setNativeLogFile(BridgeFixture.logFile().toString());
        assertEquals(-1L, removeFile(null));
        assertEquals(0L, initApi("k"));
        assertEquals("\nremoveFile refused: argument filePath is null\n", BridgeFixture.log(),
                "level 1 writes failures only");

        Fake.setResult("getLogLevel", -1);
        assertEquals(4294967295L, getDebugLevel());
        Fake.setResult("getLogLevel", 2);
        assertEquals(2L, getDebugLevel());
    }

    @Test
    void logFileCanBeDroppedForStandardOutput() {
        Path file = BridgeFixture.logFile();
        String printed = BridgeFixture.stdoutOf(() -> {
            setNativeLogFile(null);
            setBindKey("to-stdout");
        });
        assertTrue(printed.contains("bindKey = to-stdout"), printed);
        setNativeLogFile(file.toString());
        setBindKey("to-file");
        assertTrue(BridgeFixture.log().contains("bindKey = to-file"));
        assertFalse(BridgeFixture.log().contains("to-stdout"));
    }
}
