package com.quorvel.bridge.client;

import java.lang.invoke.MethodHandles;
import java.lang.invoke.VarHandle;
import java.nio.ByteOrder;

/** Ranges of byte arrays read 8 bytes at a time: words, equality and a hash. */
final class ByteRanges {
    private static final VarHandle LONGS = MethodHandles.byteArrayViewVarHandle(long[].class, ByteOrder.LITTLE_ENDIAN);

    private ByteRanges() {}

    /** The 8 bytes from {@code at} as a little-endian word; there must be 8. */
    static long word(byte[] bytes, int at) {
        return (long) LONGS.get(bytes, at);
    }

    /** Whether two ranges of the same length hold the same bytes. */
    static boolean same(byte[] a, int aFrom, byte[] b, int bFrom, int length) {
        int i = 0;
        for (; i + Long.BYTES <= length; i += Long.BYTES) {
            if (word(a, aFrom + i) != word(b, bFrom + i)) {
                return false;
            }
        }
        for (; i < length; i++) {
            if (a[aFrom + i] != b[bFrom + i]) {
                return false;
            }
        }
        return true;
    }

    /** A hash of a range from its length and at most 24 of its bytes; equal ranges hash alike. */
    static int hash(byte[] bytes, int from, int to) {
        int length = to - from;
        long mixed;
        if (length >= Long.BYTES) {
            long head = word(bytes, from);
            long middle = word(bytes, from + (length - Long.BYTES) / 2);
            long tail = word(bytes, to - Long.BYTES);
            mixed = head * 0x9E3779B97F4A7C15L + Long.rotateLeft(middle, 21) * 0xC2B2AE3D27D4EB4FL + tail;
        } else {
            mixed = 0;
            for (int i = from; i < to; i++) {
                mixed = mixed << 8 | (bytes[i] & 0xFF);
            }
        }
        mixed = (mixed ^ length) * 0xBF58476D1CE4E5B9L;
        return (int) (mixed ^ mixed >>> 31 ^ mixed >>> 47);
    }
}
