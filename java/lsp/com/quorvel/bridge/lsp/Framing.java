package com.quorvel.bridge.lsp;

import java.io.ByteArrayOutputStream;
import java.io.EOFException;
import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.nio.charset.StandardCharsets;
import java.util.Locale;

/**
 * The base protocol's framing: each message is a header of {@code Name: value} lines, each ended by CR LF, an empty
 * line, and a body of exactly {@code Content-Length} bytes.
 */
final class Framing {
    /** Longest header line accepted; longer ones are a broken stream. */
    private static final int MAX_HEADER_LINE = 8192;
    /** Largest body accepted (a whole file's text in a change fits easily). */
    private static final int MAX_BODY = 256 * 1024 * 1024;

    private Framing() {}

    /** A header that cannot frame a body; the stream goes on after it. */
    static final class BadHeader extends IOException {
        private static final long serialVersionUID = 1L;

        BadHeader(String message) {
            super(message);
        }
    }

    /**
     * Reads the next message's body.
     *
     * @return the body; null when the input ended before a message began
     * @throws BadHeader for a header without a usable Content-Length (the header is consumed)
     * @throws EOFException when the input ends inside a message
     */
    static byte[] read(InputStream in) throws IOException {
        long length = -1;
        boolean any = false;
        while (true) {
            String line = headerLine(in, any);
            if (line == null) {
                return null;
            }
            if (line.isEmpty()) {
                if (!any) {
                    continue;  // stray blank lines between messages
                }
                break;
            }
            any = true;
            int colon = line.indexOf(':');
            if (colon > 0 && line.substring(0, colon).trim().toLowerCase(Locale.ROOT).equals("content-length")) {
                try {
                    length = Long.parseLong(line.substring(colon + 1).trim());
                } catch (NumberFormatException e) {
                    length = -2;
                }
            }
        }
        if (length < 0 || length > MAX_BODY) {
            throw new BadHeader(length == -1 ? "a message header without Content-Length"
                    : "a message header with an unusable Content-Length");
        }
        byte[] body = in.readNBytes((int) length);
        if (body.length < length) {
            throw new EOFException("the input ended inside a message body");
        }
        return body;
    }

    /** One header line without its line end; null at the end of the input before any byte of a message. */
    private static String headerLine(InputStream in, boolean inHeader) throws IOException {
        ByteArrayOutputStream line = new ByteArrayOutputStream();
        while (true) {
            int b = in.read();
            if (b < 0) {
                if (line.size() == 0 && !inHeader) {
                    return null;
                }
                throw new EOFException("the input ended inside a message header");
            }
            if (b == '\n') {
                break;
            }
            if (line.size() >= MAX_HEADER_LINE) {
                throw new EOFException("a message header line is longer than " + MAX_HEADER_LINE + " bytes");
            }
            line.write(b);
        }
        String text = line.toString(StandardCharsets.US_ASCII);
        return text.endsWith("\r") ? text.substring(0, text.length() - 1) : text;
    }

    /** Writes one message; the caller keeps messages from interleaving. */
    static void write(OutputStream out, byte[] body) throws IOException {
        out.write(("Content-Length: " + body.length + "\r\n\r\n").getBytes(StandardCharsets.US_ASCII));
        out.write(body);
        out.flush();
    }
}
