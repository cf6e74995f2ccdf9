package com.quorvel.bridge.test;

import static com.quorvel.bridge.caller.KERVBridge.*;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.concurrent.Callable;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.TimeUnit;
import org.junit.jupiter.api.AfterAll;
import org.junit.jupiter.api.Test;

/** Only the thread of the latest initJniBridge reaches the library; any other gets failure values. */
class BridgeThreadTest extends StandInTest {
    private static final ExecutorService OTHER = Executors.newSingleThreadExecutor();

    @AfterAll
    static void stop() throws InterruptedException {
        OTHER.shutdown();
        assertTrue(OTHER.awaitTermination(10, TimeUnit.SECONDS));
    }

    private static <T> T onOtherThread(Callable<T> call) throws Exception {
        return OTHER.submit(call).get(10, TimeUnit.SECONDS);
    }

    @Test
    void callsFromAnotherThreadAreRefusedWithTheirFailureValues() throws Exception {
        // Every method's failure value is checked before the first initJniBridge (UnloadedBridgeTest).
        Fake.setResult("initApi", 0);
        Fake.setText("getVersionNumber", "9.9");
        assertEquals(-1L, (long) onOtherThread(() -> initApi("key")));
        assertFalse(onOtherThread(() -> hasResults("a.c")));
        onOtherThread(() -> {
            aggregate();
            setDebugLevel(2);
            return null;
        });
        assertEquals("", Fake.journal(), "the library saw none of those calls");
        String log = BridgeFixture.log();
        assertTrue(log.contains("\ninitApi refused: not called on the thread of the latest initJniBridge\n"), log);
        assertTrue(log.contains("\naggregate refused: not called on the thread of the latest initJniBridge\n"), log);

        assertEquals("9.9", getVersionNumber(), "the bridge thread is unaffected");
    }

    @Test
    void initJniBridgeOnAnotherThreadMovesTheBridgeThere() throws Exception {
        Fake.setText("getVersionNumber", "9.9");
        try {
            assertEquals("OK", onOtherThread(() -> initJniBridge(BridgeFixture.FAKE)));
            assertEquals("9.9", onOtherThread(() -> getVersionNumber()));
            assertEquals("0.0.0", getVersionNumber(), "the former bridge thread is now refused");
            assertEquals("getVersionNumber()\n", Fake.journal());
        } finally {
            assertEquals("OK", initJniBridge(BridgeFixture.FAKE));
        }
        assertEquals("9.9", getVersionNumber());
    }
}
