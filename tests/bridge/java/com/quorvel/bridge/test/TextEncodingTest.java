package com.quorvel.bridge.test;

import static com.quorvel.bridge.caller.KERVBridge.*;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import org.junit.jupiter.api.Test;

/** Texts cross in standard UTF-8 both ways; invalid bytes from the library become U+FFFD. */
class TextEncodingTest extends StandInTest {
    private static final String NON_BMP = "G\u00e9\u20ac\uD83D\uDE00";  // G, e acute, euro sign, a 4-byte emoji
    private static final String NON_BMP_JOURNAL = "G\\xC3\\xA9\\xE2\\x82\\xAC\\xF0\\x9F\\x98\\x80";

    @Test
    void javaTextReachesTheLibraryAsStandardUtf8() {
        setBindKey(NON_BMP);
        addFile(0, "a.c", joinItems(NON_BMP, "B"), 2, null, 0);
        getTrees(false, 1, NON_BMP);
        setWorkspace("lone \uD800 surrogate \uDC00");
        assertEquals("setBindKey(\"" + NON_BMP_JOURNAL + "\")\n"
                + "addFile(0, \"a.c\", 2, [\"" + NON_BMP_JOURNAL + "\",\"B\"], 0, null)\n"
                + "getTrees(out, 0, 1, [\"" + NON_BMP_JOURNAL + "\"])\n"
                + "setWorkspace(\"lone \\xEF\\xBF\\xBD surrogate \\xEF\\xBF\\xBD\")\n", Fake.journal());
        assertTrue(BridgeFixture.log().contains("bindKey = " + NON_BMP), "the log holds the same UTF-8");
    }

    @Test
    void libraryTextReachesJavaAsTheSameCharacters() {
        Fake.setText("getVersionNumber", NON_BMP);
        assertEquals(NON_BMP, getVersionNumber());
        Fake.setStrings("getFiles", -1, new String[] {NON_BMP, "b.c"});
        assertEquals(NON_BMP + ";b.c", getFiles());
    }

    @Test
    void invalidUtf8FromTheLibraryBecomesReplacementCharacters() {
        byte[][] inputs = {
            {'A', (byte) 0xFF, 'B'},  // a byte that never starts a sequence
            {'A', (byte) 0xC3},  // truncated at the end
            {(byte) 0xE2, (byte) 0x82, 'x'},  // truncated before an ASCII byte: one replacement
            {(byte) 0xC0, (byte) 0xAF},  // overlong '/'
            {(byte) 0xED, (byte) 0xA0, (byte) 0x80},  // an encoded surrogate
            {(byte) 0xF4, (byte) 0x90, (byte) 0x80, (byte) 0x80},  // past U+10FFFF
            {(byte) 0x80, (byte) 0xBF},  // stray continuation bytes
        };
        String[] expected = {
            "A\uFFFDB", "A\uFFFD", "\uFFFDx", "\uFFFD\uFFFD", "\uFFFD\uFFFD\uFFFD", "\uFFFD\uFFFD\uFFFD\uFFFD",
            "\uFFFD\uFFFD",
        };
        for (int i = 0; i < inputs.length; i++) {
            Fake.setText("getComponents", inputs[i]);
            assertEquals(expected[i], getComponents(), "input " + i);
        }
    }
}
