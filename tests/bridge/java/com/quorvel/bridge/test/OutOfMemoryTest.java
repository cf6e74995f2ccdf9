package com.quorvel.bridge.test;

import static com.quorvel.bridge.caller.KERVBridge.*;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;

import java.util.Arrays;
import org.junit.jupiter.api.BeforeEach;
import org.junit.jupiter.api.Test;

/**
 * Results too large for the Java heap: the method returns with the JVM's OutOfMemoryError pending and the bridge
 * stays usable. Runs in a JVM with a small heap (-Xmx64m); the large texts are made natively by repeating one
 * small Java text many times.
 */
class OutOfMemoryTest extends StandInTest {
    private static final String PIECE = "x".repeat(100_000);

    @BeforeEach
    void quiet() {
        setDebugLevel(0);
        Fake.reset();
    }

    private static String[] manyPieces() {
        String[] pieces = new String[1000];
        Arrays.fill(pieces, PIECE);
        return pieces;
    }

    @Test
    void aStringResultTooLargeForTheHeapThrowsOutOfMemoryError() {
        Fake.setStrings("getFiles", -1, manyPieces());
        assertThrows(OutOfMemoryError.class, () -> getFiles());
        Fake.setStrings("getFiles", -1, new String[] {"a.c"});
        assertEquals("a.c", getFiles());
    }

    @Test
    void aByteArrayResultTooLargeForTheHeapThrowsOutOfMemoryError() {
        Fake.setMessageRuleMap("id", manyPieces());
        assertThrows(OutOfMemoryError.class, () -> getMessageRuleMap());
        assertEquals(1, Fake.callCount("freeMessageRuleMap"), "the record was released all the same");
        Fake.reset();
        assertEquals(0, getMessageRuleMap().length);
    }
}
