package com.quorvel.bridge.client;

/**
 * What each byte is in a value of a compact result, and the skipping of runs of bytes that a value takes as they are.
 */
final class ByteClasses {
    /** Taken as it is in every kind of value. */
    static final byte PLAIN = 0;
    static final byte LESS = 1;
    static final byte AMPERSAND = 2;
    /** {@code > ' "}: escaped in free texts, taken as they are elsewhere. */
    static final byte MARKUP = 3;
    /** {@code ]}: may end a CDATA section. */
    static final byte BRACKET = 4;
    static final byte RETURN = 5;
    /** Control characters that XML does not allow. */
    static final byte FORBIDDEN = 6;
    /** Bytes of multi-byte UTF-8 sequences. */
    static final byte MULTIBYTE = 7;
    private static final byte[] CLASSES = classes();

    // The bytes at which each kind of value needs a look beyond skipping. Bytes below 0x20 and from 0x80 stop every
    // kind (tab and line feed are then taken one by one).
    static final long VERBATIM_STOPS = stops("<");
    static final long ESCAPED_STOPS = stops("<&>'\"");
    static final long CDATA_STOPS = stops("]");

    private static final long ONES = 0x0101010101010101L;
    private static final long SPACES = 0x2020202020202020L;
    private static final long HIGHS = 0x8080808080808080L;

    private ByteClasses() {}

    static byte of(byte b) {
        return CLASSES[b & 0xFF];
    }

    /**
     * The first offset from {@code i} that holds a byte below 0x20, from 0x80, or one of the stops (as
     * {@link #stops} packs them); the length of the text when there is none. Eight bytes are tested at a time: a
     * byte equal to c is a zero byte of x ^ c, bytes from 0x80 have their high bit set, and (x - 0x20...) & ~x flags
     * bytes below 0x20. Each test flags its lowest true byte, and false ones only above it.
     */
    static int skipPlain(byte[] in, int i, long stops) {
        long first = (stops & 0xFF) * ONES;
        long second = (stops >>> 8 & 0xFF) * ONES;
        long third = (stops >>> 16 & 0xFF) * ONES;
        long fourth = (stops >>> 24 & 0xFF) * ONES;
        long fifth = (stops >>> 32 & 0xFF) * ONES;
        for (; i + Long.BYTES <= in.length; i += Long.BYTES) {
            long x = ByteRanges.word(in, i);
            long flags = (x | ((x - SPACES) & ~x) | zeroBytes(x ^ first) | zeroBytes(x ^ second) | zeroBytes(x ^ third)
                    | zeroBytes(x ^ fourth) | zeroBytes(x ^ fifth)) & HIGHS;
            if (flags != 0) {
                return i + (Long.numberOfTrailingZeros(flags) >>> 3);
            }
        }
        while (i < in.length && of(in[i]) == PLAIN && !isStop(in[i], stops)) {
            i++;
        }
        return i;
    }

    /** Flags the zero bytes of x in their high bits (and maybe bytes above the lowest zero byte). */
    private static long zeroBytes(long x) {
        return (x - ONES) & ~x;
    }

    private static boolean isStop(byte b, long stops) {
        for (int shift = 0; shift < 40; shift += 8) {
            if ((stops >>> shift & 0xFF) == (b & 0xFF)) {
                return true;
            }
        }
        return false;
    }

    /** One to five stop bytes packed one to a byte; the unused bytes repeat the last. */
    private static long stops(String bytes) {
        long packed = 0;
        for (int i = 0; i < 5; i++) {
            packed |= (long) bytes.charAt(Math.min(i, bytes.length() - 1)) << 8 * i;
        }
        return packed;
    }

    private static byte[] classes() {
        byte[] classes = new byte[256];
        for (int b = 0; b < 0x20; b++) {
            classes[b] = FORBIDDEN;
        }
        classes['\t'] = PLAIN;
        classes['\n'] = PLAIN;
        classes['\r'] = RETURN;
        classes['<'] = LESS;
        classes['&'] = AMPERSAND;
        classes['>'] = MARKUP;
        classes['\''] = MARKUP;
        classes['"'] = MARKUP;
        classes[']'] = BRACKET;
        for (int b = 0x80; b < 0x100; b++) {
            classes[b] = MULTIBYTE;
        }
        return classes;
    }
}
