package com.quorvel.bridge.client;

import java.io.ByteArrayOutputStream;
import java.nio.charset.StandardCharsets;

/**
 * Makes the bridge's result XML readable by an XML parser where the bridge writes values verbatim.
 *
 * <p>The bridge escapes free texts (message and rule texts, tree names) but writes paths, identifiers, producers and
 * help locations as they are, so a file under {@code R&D/} or named {@code x<y.c} gives an element that no XML parser
 * accepts. Such an element holds no markup of its own: its value runs from its start tag to its closing tag. This
 * escapes {@code &}, {@code <} and {@code >} inside those elements and leaves everything else, CDATA sections
 * included, as it is; a result without such characters is returned unchanged, without a copy.
 */
final class StaxVerbatimText {
    private static final byte[] CDATA_START = "<![CDATA[".getBytes(StandardCharsets.US_ASCII);
    private static final byte[] CDATA_END = "]]>".getBytes(StandardCharsets.US_ASCII);

    private StaxVerbatimText() {}

    static byte[] escaped(byte[] xml) {
        ByteArrayOutputStream out = null;
        int copied = 0;
        int at = 0;
        while ((at = indexOf(xml, (byte) '<', at)) >= 0) {
            if (startsWith(xml, at, CDATA_START)) {
                int end = indexOf(xml, CDATA_END, at + CDATA_START.length);
                at = end < 0 ? xml.length : end + CDATA_END.length;
                continue;
            }
            int nameEnd = indexOf(xml, (byte) '>', at + 1);
            if (nameEnd < 0) {
                break;
            }
            String name = new String(xml, at + 1, nameEnd - at - 1, StandardCharsets.US_ASCII);
            at = nameEnd + 1;
            if (!Tags.VERBATIM.contains(name)) {
                continue;
            }
            byte[] closing = ("</" + name + ">").getBytes(StandardCharsets.US_ASCII);
            int close = indexOf(xml, closing, at);
            if (close < 0) {
                break;  // not well-formed: the parser reports it
            }
            if (needsEscape(xml, at, close)) {
                if (out == null) {
                    out = new ByteArrayOutputStream(xml.length + 64);
                }
                out.write(xml, copied, at - copied);
                escape(xml, at, close, out);
                copied = close;
            }
            at = close + closing.length;
        }
        if (out == null) {
            return xml;
        }
        out.write(xml, copied, xml.length - copied);
        return out.toByteArray();
    }

    private static boolean needsEscape(byte[] xml, int from, int to) {
        for (int i = from; i < to; i++) {
            if (xml[i] == '&' || xml[i] == '<' || xml[i] == '>') {
                return true;
            }
        }
        return false;
    }

    private static void escape(byte[] xml, int from, int to, ByteArrayOutputStream out) {
        for (int i = from; i < to; i++) {
            switch (xml[i]) {
                case '&' -> out.writeBytes(new byte[] {'&', 'a', 'm', 'p', ';'});
                case '<' -> out.writeBytes(new byte[] {'&', 'l', 't', ';'});
                case '>' -> out.writeBytes(new byte[] {'&', 'g', 't', ';'});
                default -> out.write(xml[i]);
            }
        }
    }

    private static int indexOf(byte[] xml, byte wanted, int from) {
        for (int i = from; i < xml.length; i++) {
            if (xml[i] == wanted) {
                return i;
            }
        }
        return -1;
    }

    private static int indexOf(byte[] xml, byte[] wanted, int from) {
        for (int i = indexOf(xml, wanted[0], from); i >= 0; i = indexOf(xml, wanted[0], i + 1)) {
            if (startsWith(xml, i, wanted)) {
                return i;
            }
        }
        return -1;
    }

    private static boolean startsWith(byte[] xml, int at, byte[] prefix) {
        if (at + prefix.length > xml.length) {
            return false;
        }
        for (int i = 0; i < prefix.length; i++) {
            if (xml[at + i] != prefix[i]) {
                return false;
            }
        }
        return true;
    }
}
