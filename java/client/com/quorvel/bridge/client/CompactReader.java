package com.quorvel.bridge.client;

import static com.quorvel.bridge.client.ByteClasses.AMPERSAND;
import static com.quorvel.bridge.client.ByteClasses.BRACKET;
import static com.quorvel.bridge.client.ByteClasses.FORBIDDEN;
import static com.quorvel.bridge.client.ByteClasses.LESS;
import static com.quorvel.bridge.client.ByteClasses.MARKUP;
import static com.quorvel.bridge.client.ByteClasses.MULTIBYTE;
import static com.quorvel.bridge.client.ByteClasses.PLAIN;
import static com.quorvel.bridge.client.ByteClasses.RETURN;

import java.nio.ByteBuffer;
import java.nio.CharBuffer;
import java.nio.charset.CharacterCodingException;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.Locale;

/**
 * Reads one compact result text straight from its bytes, in the order the writers write it. The text is elements
 * written back to back, without declarations, attributes, comments or text between the elements, and values of three
 * kinds:
 *
 * <ul>
 *   <li>verbatim (the elements of {@link Tags#VERBATIM}: paths, identifiers, producers, help locations): every byte
 *       up to the element's closing tag, markup characters included;
 *   <li>escaped (free texts): the five entities the writers use stand for {@code & < > ' "};
 *   <li>CDATA sections (references and parameters), split where the text holds {@code ]]>}.
 * </ul>
 *
 * <p>Values are checked as an XML parser checks them: well-formed UTF-8 of characters that XML allows; {@code \r\n}
 * and {@code \r} come back as {@code \n}. Each value's {@code String} is made once, from the text's bytes or, where
 * escapes or line breaks are undone, from a scratch copy made in the same pass. Short values repeat across a result
 * (identifiers, files, producers), so each comes back as one shared string.
 *
 * <p>The decoders ask for what may come next ({@link #at}) and require what must ({@link #open}, {@link #close},
 * {@link #end}); anything else throws {@link KervException} with status -1 naming the byte offset, what was expected
 * there and what was found.
 */
final class CompactReader {
    /** Values of up to this many bytes are shared within a result. */
    static final int SHARED_LENGTH = 64;
    /** Paths repeat in every location of a file and are often longer: they are shared up to this many bytes. */
    static final int SHARED_PATH_LENGTH = 1024;
    private static final int SHARED_SLOTS = 1024;

    private static final ByteLiteral CDATA_OPEN = new ByteLiteral("<![CDATA[");
    private static final ByteLiteral[] ENTITIES = {new ByteLiteral("&amp;"), new ByteLiteral("&lt;"),
        new ByteLiteral("&gt;"), new ByteLiteral("&apos;"), new ByteLiteral("&quot;")};
    private static final byte[] ENTITY_CHARACTERS = {'&', '<', '>', '\'', '"'};
    private static final ByteLiteral TRUE = new ByteLiteral("true");
    private static final ByteLiteral FALSE = new ByteLiteral("false");
    private static final ByteLiteral ONE = new ByteLiteral("1");
    private static final ByteLiteral ZERO = new ByteLiteral("0");

    // The kinds of values, which the shared strings are told apart by: equal bytes are different texts in
    // different kinds of values.
    private static final int VERBATIM = 0;
    private static final int ESCAPED = 1;
    private static final int CDATA = 2;

    private final byte[] in;
    private final String operation;
    private int at;

    // The value read last: its bytes between the tags, and its text, in `in` or decoded into `scratch`.
    private int rawFrom;
    private int rawTo;
    private int valueKind;
    private boolean copying;
    private int written;
    private int textFrom;
    private int textTo;
    private boolean textInScratch;
    private byte[] scratch = new byte[256];

    private final String[] sharedText = new String[SHARED_SLOTS];
    private final int[] sharedFrom = new int[SHARED_SLOTS];
    /** The length of each shared value's bytes, shifted left by 2, with its kind in the low bits. */
    private final int[] sharedKey = new int[SHARED_SLOTS];

    /** The tags asked for since the reader last moved, for the message of a failure. */
    private final ElementTag[] tried = new ElementTag[12];
    private int triedCount;

    CompactReader(byte[] in, String operation) {
        this.in = in;
        this.operation = operation;
    }

    /** The reader of a text result, which the bridge hands out as a Java string. */
    static CompactReader of(String text, String operation) {
        try {
            ByteBuffer bytes = StandardCharsets.UTF_8.newEncoder().encode(CharBuffer.wrap(text));
            return new CompactReader(Arrays.copyOf(bytes.array(), bytes.limit()), operation);
        } catch (CharacterCodingException e) {
            throw new KervException(operation, KervStatus.BRIDGE_FAILURE.code(), "result of " + operation
                    + " is malformed at character " + loneSurrogate(text) + ": a lone surrogate", e);
        }
    }

    /** The index of the first surrogate that is not part of a pair. */
    private static int loneSurrogate(String text) {
        int at = 0;
        while (at < text.length()) {
            char c = text.charAt(at);
            if (Character.isHighSurrogate(c) && at + 1 < text.length()
                    && Character.isLowSurrogate(text.charAt(at + 1))) {
                at += 2;
            } else if (Character.isSurrogate(c)) {
                return at;
            } else {
                at++;
            }
        }
        return at;
    }

    /** The offset the reader stands at. */
    int offset() {
        return at;
    }

    /** Whether the opening tag of {@code tag} comes next; moves past it when it does. */
    boolean at(ElementTag tag) {
        if (startsWith(at, tag.open)) {
            at += tag.open.length();
            triedCount = 0;
            return true;
        }
        if (triedCount < tried.length) {
            tried[triedCount++] = tag;
        }
        return false;
    }

    /** Moves past the opening tag of {@code tag}, which must come next. */
    void open(ElementTag tag) {
        if (!at(tag)) {
            throw malformed(at, expectedTags(null));
        }
    }

    /** Moves past the closing tag of {@code tag}, which must come next. */
    void close(ElementTag tag) {
        if (!startsWith(at, tag.close)) {
            throw malformed(at, expectedTags(tag));
        }
        at += tag.close.length();
        triedCount = 0;
    }

    /** Requires the end of the text. */
    void end() {
        if (at != in.length) {
            throw malformed(at, "the end of the text");
        }
    }

    /**
     * A record's text, verbatim or escaped as the writers write {@code tag}, shared up to {@link #SHARED_LENGTH}
     * bytes; leaves the reader after the closing tag.
     */
    String value(ElementTag tag) {
        scan(tag);
        return text(SHARED_LENGTH);
    }

    /** A path, shared up to {@link #SHARED_PATH_LENGTH} bytes. */
    String path(ElementTag tag) {
        scan(tag);
        return text(SHARED_PATH_LENGTH);
    }

    /**
     * Reads a record's text up to its closing tag, verbatim or escaped as the writers write {@code tag}, without
     * making its string: {@link #text}, or the bytes of {@link #textFrom} to {@link #textTo} of {@link #bytes} when
     * {@link #textIsRaw}, give it.
     */
    void scan(ElementTag tag) {
        if (tag.verbatim) {
            scanVerbatim(tag);
        } else {
            scanEscaped(tag);
        }
    }

    private void scanVerbatim(ElementTag tag) {
        byte[] in = this.in;
        int from = at;
        int i = from;
        int run = from;
        copying = false;
        while (true) {
            i = ByteClasses.skipPlain(in, i, ByteClasses.VERBATIM_STOPS);
            if (i == in.length) {
                throw malformed(i, tag.close.text);
            }
            byte kind = ByteClasses.of(in[i]);
            if (kind == LESS) {
                if (startsWith(i, tag.close)) {
                    break;
                }
                i++;
            } else if (kind == MULTIBYTE) {
                i += utf8(i);
            } else if (kind == RETURN) {
                i = lineBreak(run, i);
                run = i;
            } else if (kind == FORBIDDEN) {
                throw malformed(i, "a character that XML allows");
            } else {
                i++;
            }
        }
        at = i + tag.close.length();
        finish(VERBATIM, from, i, run, i);
    }

    /** An escaped value, with its entities and line breaks undone in the same pass. */
    String escaped(ElementTag tag) {
        scanEscaped(tag);
        return text(SHARED_LENGTH);
    }

    private void scanEscaped(ElementTag tag) {
        byte[] in = this.in;
        int from = at;
        int i = from;
        int run = from;
        copying = false;
        while (true) {
            i = ByteClasses.skipPlain(in, i, ByteClasses.ESCAPED_STOPS);
            if (i == in.length) {
                throw malformed(i, tag.close.text);
            }
            byte kind = ByteClasses.of(in[i]);
            if (kind == LESS) {
                break;
            } else if (kind == AMPERSAND) {
                int entity = entity(i);
                append(run, i);
                put(ENTITY_CHARACTERS[entity]);
                i += ENTITIES[entity].length();
                run = i;
            } else if (kind == MULTIBYTE) {
                i += utf8(i);
            } else if (kind == BRACKET || kind == PLAIN) {
                i++;
            } else if (kind == RETURN) {
                i = lineBreak(run, i);
                run = i;
            } else if (kind == MARKUP) {
                throw malformed(i, entityFor(in[i]));
            } else {
                throw malformed(i, "a character that XML allows");
            }
        }
        if (!startsWith(i, tag.close)) {
            throw malformed(i, tag.close.text);
        }
        at = i + tag.close.length();
        finish(ESCAPED, from, i, run, i);
    }

    /** A value of CDATA sections, joined, with its line breaks undone in the same pass. */
    String cdata(ElementTag tag) {
        byte[] in = this.in;
        int from = at;
        if (!startsWith(from, CDATA_OPEN)) {
            throw malformed(from, CDATA_OPEN.text);
        }
        int i = from + CDATA_OPEN.length();
        int run = i;
        int textEnd;
        copying = false;
        while (true) {
            i = ByteClasses.skipPlain(in, i, ByteClasses.CDATA_STOPS);
            if (i == in.length) {
                throw malformed(i, "]]>");
            }
            byte kind = ByteClasses.of(in[i]);
            if (kind == BRACKET) {
                if (i + 2 < in.length && in[i + 1] == ']' && in[i + 2] == '>') {
                    textEnd = i;
                    i += 3;
                    if (!startsWith(i, CDATA_OPEN)) {
                        break;
                    }
                    append(run, textEnd);  // the section goes on after "]]><![CDATA["
                    i += CDATA_OPEN.length();
                    run = i;
                    continue;
                }
                i++;
            } else if (kind == MULTIBYTE) {
                i += utf8(i);
            } else if (kind == RETURN) {
                i = lineBreak(run, i);
                run = i;
            } else if (kind == FORBIDDEN) {
                throw malformed(i, "a character that XML allows");
            } else {
                i++;
            }
        }
        if (!startsWith(i, tag.close)) {
            throw malformed(i, tag.close.text);
        }
        at = i + tag.close.length();
        finish(CDATA, from, i, run, textEnd);
        return text(SHARED_LENGTH);
    }

    /**
     * Ends the value whose bytes are [from, to): its text is the scratch copy when one was begun, with the run
     * [run, textEnd) still to be appended, or else [run, textEnd) of the result as it is.
     */
    private void finish(int kind, int from, int to, int run, int textEnd) {
        valueKind = kind;
        rawFrom = from;
        rawTo = to;
        if (copying) {
            append(run, textEnd);
            textInScratch = true;
            textFrom = 0;
            textTo = written;
        } else {
            textInScratch = false;
            textFrom = run;
            textTo = textEnd;
        }
    }

    /** A decimal number that fits an int. */
    int number(ElementTag tag) {
        byte[] in = this.in;
        int from = at;
        int i = from < in.length && in[from] == '-' ? from + 1 : from;
        int digits = i;
        long value = 0;
        while (i < in.length && in[i] >= '0' && in[i] <= '9' && i - digits <= 10) {
            value = value * 10 + (in[i] - '0');
            i++;
        }
        int count = i - digits;
        value = digits > from ? -value : value;
        if (count == 0 || count > 10 || (count > 1 && in[digits] == '0') || value != (int) value || i == in.length
                || in[i] != '<') {
            throw malformed(from, "a decimal number that fits 32 bits");
        }
        at = i;
        close(tag);
        return (int) value;
    }

    /** A decimal number, or {@code absent} for an empty element. */
    int optionalNumber(ElementTag tag, int absent) {
        if (startsWith(at, tag.close)) {
            at += tag.close.length();
            return absent;
        }
        return number(tag);
    }

    /** "true" or "false". */
    boolean flag(ElementTag tag) {
        return oneOf(tag, TRUE, FALSE, "true or false");
    }

    /** "1" or "0". */
    boolean digitFlag(ElementTag tag) {
        return oneOf(tag, ONE, ZERO, "1 or 0");
    }

    private boolean oneOf(ElementTag tag, ByteLiteral yes, ByteLiteral no, String expected) {
        int from = at;
        boolean value;
        if (startsWith(from, yes)) {
            value = true;
            at += yes.length();
        } else if (startsWith(from, no)) {
            value = false;
            at += no.length();
        } else {
            throw malformed(from, expected);
        }
        if (!startsWith(at, tag.close)) {
            throw malformed(from, expected);
        }
        at += tag.close.length();
        return value;
    }

    /** The text of the value read last, as one string shared with equal values of up to {@code limit} bytes. */
    String text(int limit) {
        if (textFrom == textTo) {
            return "";
        }
        int length = rawTo - rawFrom;
        if (length > limit) {
            return newText();
        }
        int key = length << 2 | valueKind;
        int slot = (ByteRanges.hash(in, rawFrom, rawTo) + valueKind) & (SHARED_SLOTS - 1);
        String known = sharedText[slot];
        if (known != null && sharedKey[slot] == key && ByteRanges.same(in, sharedFrom[slot], in, rawFrom, length)) {
            // The next look-up compares with these bytes, which are still in the cache: the first ones may be
            // megabytes back.
            sharedFrom[slot] = rawFrom;
            return known;
        }
        String text = newText();
        sharedText[slot] = text;
        sharedFrom[slot] = rawFrom;
        sharedKey[slot] = key;
        return text;
    }

    private String newText() {
        return textInScratch ? new String(scratch, textFrom, textTo - textFrom, StandardCharsets.UTF_8)
                : new String(in, textFrom, textTo - textFrom, StandardCharsets.UTF_8);
    }

    /** Whether the text of the value read last is its bytes in the result as they are. */
    boolean textIsRaw() {
        return !textInScratch;
    }

    byte[] bytes() {
        return in;
    }

    int textFrom() {
        return textFrom;
    }

    int textTo() {
        return textTo;
    }

    /** The failure for what stands at {@code offset}, where {@code expected} should. */
    KervException malformed(int offset, String expected) {
        return new KervException(operation, KervStatus.BRIDGE_FAILURE.code(), "result of " + operation
                + " is malformed at byte " + offset + ": expected " + expected + ", found " + found(offset), null);
    }

    private String expectedTags(ElementTag closing) {
        List<String> names = new ArrayList<>();
        for (int i = 0; i < triedCount; i++) {
            names.add(tried[i].open.text);
        }
        if (closing != null) {
            names.add(closing.close.text);
        }
        if (names.size() == 1) {
            return names.get(0);
        }
        return String.join(", ", names.subList(0, names.size() - 1)) + " or " + names.get(names.size() - 1);
    }

    /** Up to 24 bytes from the offset, a tag up to its end, non-ASCII bytes as \xNN. */
    private String found(int offset) {
        if (offset >= in.length) {
            return "the end of the text";
        }
        StringBuilder text = new StringBuilder("'");
        int stop = Math.min(in.length, offset + 24);
        int i = offset;
        for (; i < stop; i++) {
            int b = in[i] & 0xFF;
            if (b >= 0x20 && b < 0x7F) {
                text.append((char) b);
            } else {
                text.append(String.format(Locale.ROOT, "\\x%02X", b));
            }
            if (b == '>' && in[offset] == '<') {
                i++;
                break;
            }
        }
        return text.append(i < in.length && in[i - 1] != '>' ? "...'" : "'").toString();
    }

    /** Whether the literal stands at {@code i}: one masked compare of its first 8 bytes, then any others. */
    private boolean startsWith(int i, ByteLiteral literal) {
        int length = literal.length();
        if (i + length > in.length) {
            return false;
        }
        if (i + Long.BYTES > in.length) {
            return ByteRanges.same(in, i, literal.bytes, 0, length);
        }
        if ((ByteRanges.word(in, i) & literal.mask) != literal.word) {
            return false;
        }
        return length <= Long.BYTES
                || ByteRanges.same(in, i + Long.BYTES, literal.bytes, Long.BYTES, length - Long.BYTES);
    }

    private static String entityFor(byte character) {
        int e = 0;
        while (ENTITY_CHARACTERS[e] != character) {
            e++;
        }
        return ENTITIES[e].text;
    }

    /** The index in ENTITIES of the entity at {@code i}, told by its second and third byte. */
    private int entity(int i) {
        int e = -1;
        if (i + 2 < in.length) {
            switch (in[i + 1]) {
                case 'a' -> e = in[i + 2] == 'm' ? 0 : 3;
                case 'l' -> e = 1;
                case 'g' -> e = 2;
                case 'q' -> e = 4;
                default -> e = -1;
            }
        }
        if (e < 0 || !startsWith(i, ENTITIES[e])) {
            throw malformed(i, "&amp;, &lt;, &gt;, &apos; or &quot;");
        }
        return e;
    }

    /** The length of the UTF-8 sequence at {@code i}, which must encode a character that XML allows. */
    private int utf8(int i) {
        int lead = in[i] & 0xFF;
        int length;
        int low = 0x80;
        int high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : low;  // no overlong forms
            high = lead == 0xED ? 0x9F : high;  // no surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : low;
            high = lead == 0xF4 ? 0x8F : high;  // nothing above U+10FFFF
        } else {
            throw malformed(i, "UTF-8");
        }
        if (i + length > in.length) {
            throw malformed(i, "UTF-8");
        }
        int second = in[i + 1] & 0xFF;
        if (second < low || second > high) {
            throw malformed(i, "UTF-8");
        }
        for (int k = 2; k < length; k++) {
            if ((in[i + k] & 0xC0) != 0x80) {
                throw malformed(i, "UTF-8");
            }
        }
        if (lead == 0xEF && second == 0xBF && (in[i + 2] & 0xFF) >= 0xBE) {
            throw malformed(i, "a character that XML allows");  // U+FFFE and U+FFFF
        }
        return length;
    }

    /**
     * Copies the text before a line break at {@code i} into the scratch buffer, then "\n" for the break ("\r\n" or
     * "\r"); returns the offset after the break.
     */
    private int lineBreak(int run, int i) {
        append(run, i);
        put((byte) '\n');
        return i + 1 < in.length && in[i + 1] == '\n' ? i + 2 : i + 1;
    }

    /** Appends [from, to) of the result to the scratch copy of the value, beginning the copy if need be. */
    private void append(int from, int to) {
        if (!copying) {
            copying = true;
            written = 0;
        }
        int length = to - from;
        if (written + length + 1 > scratch.length) {
            scratch = Arrays.copyOf(scratch, Math.max(2 * scratch.length, written + length + 1));
        }
        System.arraycopy(in, from, scratch, written, length);
        written += length;
    }

    /** Appends one byte to the scratch copy, which {@link #append} has begun and made room for. */
    private void put(byte b) {
        scratch[written++] = b;
    }


}
