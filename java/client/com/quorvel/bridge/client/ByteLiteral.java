package com.quorvel.bridge.client;

import java.nio.charset.StandardCharsets;

/**
 * A fixed run of ASCII bytes that {@link CompactReader} looks for: a tag, an entity, a flag's word. One of up to 8
 * bytes also comes as a little-endian word with the mask of its bytes, so that a single load and compare tells
 * whether it stands at a position.
 */
final class ByteLiteral {
    final String text;
    final byte[] bytes;
    final long word;
    final long mask;

    ByteLiteral(String text) {
        this.text = text;
        bytes = text.getBytes(StandardCharsets.US_ASCII);
        long packed = 0;
        for (int i = Math.min(bytes.length, Long.BYTES) - 1; i >= 0; i--) {
            packed = packed << 8 | (bytes[i] & 0xFF);
        }
        word = packed;
        mask = bytes.length >= Long.BYTES ? -1L : (1L << 8 * bytes.length) - 1;
    }

    int length() {
        return bytes.length;
    }
}
