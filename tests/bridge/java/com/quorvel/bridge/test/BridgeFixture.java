package com.quorvel.bridge.test;

import static org.junit.jupiter.api.Assertions.assertEquals;

import com.quorvel.bridge.caller.KERVBridge;
import java.io.IOException;
import java.io.UncheckedIOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;

/** Loads the stand-in through the bridge with a traced log file, and reads logs. */
final class BridgeFixture {
    static final String FAKE = System.getProperty("kerv.test.fake");
    static final String FAKE_PARTIAL = System.getProperty("kerv.test.fakePartial");

    private static Path logFile;

    private BridgeFixture() {}

    /** Level 2 to a log file, then initJniBridge with the full stand-in and the shim attached to it. */
    static void loadStandIn() {
        KERVBridge.setDebugLevel(2);
        logFile = tempFile("bridge", ".log");
        KERVBridge.setNativeLogFile(logFile.toString());
        assertEquals(KERVBridge.INIT_OK, KERVBridge.initJniBridge(FAKE));
        Fake.attach(FAKE);
    }

    /** Stand-in back to its defaults, log level 2 and an empty log file. */
    static void freshCall() {
        KERVBridge.setDebugLevel(2);
        KERVBridge.setNativeLogFile(logFile.toString());
        Fake.reset();
    }

    static Path logFile() {
        return logFile;
    }

    static String log() {
        return read(logFile);
    }

    static String read(Path file) {
        try {
            return new String(Files.readAllBytes(file), StandardCharsets.UTF_8);
        } catch (IOException e) {
            throw new UncheckedIOException(e);
        }
    }

    static Path tempFile(String prefix, String suffix) {
        try {
            Path file = Files.createTempFile(prefix, suffix);
            file.toFile().deleteOnExit();
            return file;
        } catch (IOException e) {
            throw new UncheckedIOException(e);
        }
    }

    /** Runs `action` with the process's standard output sent to a file; returns what was printed. */
    static String stdoutOf(Runnable action) {
        Path capture = tempFile("stdout", ".txt");
        Fake.redirectStdout(capture.toString());
        try {
            action.run();
        } finally {
            Fake.restoreStdout();
        }
        return read(capture);
    }

    static String text(byte[] utf8) {
        return new String(utf8, StandardCharsets.UTF_8);
    }
}
