package com.quorvel.bridge.lsp;

import java.io.ByteArrayOutputStream;
import java.nio.ByteBuffer;
import java.nio.charset.CharacterCodingException;
import java.nio.charset.CodingErrorAction;
import java.nio.charset.StandardCharsets;
import java.nio.file.InvalidPathException;
import java.nio.file.Path;
import java.util.HexFormat;
import java.util.Locale;

/** File URIs to paths and back, with every escape decoded exactly (spaces, '&', '%', non-ASCII). */
final class FileUris {
    private static final String SCHEME = "file:";

    private FileUris() {}

    /**
     * The local file a {@code file:} URI names, absolute and normalised; null for another scheme, another host or a
     * URI that does not decode (a bad escape, bytes that are not UTF-8).
     */
    static Path toPath(String uri) {
        if (uri == null || !uri.regionMatches(true, 0, SCHEME, 0, SCHEME.length())) {
            return null;
        }
        String rest = uri.substring(SCHEME.length());
        if (rest.startsWith("//")) {
            int slash = rest.indexOf('/', 2);
            String host = slash < 0 ? rest.substring(2) : rest.substring(2, slash);
            if (!host.isEmpty() && !host.toLowerCase(Locale.ROOT).equals("localhost")) {
                return null;
            }
            rest = slash < 0 ? "/" : rest.substring(slash);
        }
        int end = rest.length();
        for (char stop : new char[] {'?', '#'}) {
            int at = rest.indexOf(stop);
            if (at >= 0) {
                end = Math.min(end, at);
            }
        }
        String decoded = decode(rest.substring(0, end));
        if (decoded == null || !decoded.startsWith("/") || decoded.indexOf('\0') >= 0) {
            return null;
        }
        try {
            return Path.of(decoded).normalize();
        } catch (InvalidPathException e) {
            return null;
        }
    }

    /** Percent-decoding of UTF-8; null for a bad escape or bytes that are not UTF-8. */
    private static String decode(String text) {
        ByteArrayOutputStream bytes = new ByteArrayOutputStream();
        for (int i = 0; i < text.length(); i++) {
            char c = text.charAt(i);
            if (c == '%') {
                if (i + 2 >= text.length() || Character.digit(text.charAt(i + 1), 16) < 0
                        || Character.digit(text.charAt(i + 2), 16) < 0) {
                    return null;
                }
                bytes.write(HexFormat.fromHexDigits(text, i + 1, i + 3));
                i += 2;
            } else {
                int codePoint = text.codePointAt(i);
                bytes.writeBytes(Character.toString(codePoint).getBytes(StandardCharsets.UTF_8));
                i += Character.charCount(codePoint) - 1;
            }
        }
        try {
            return StandardCharsets.UTF_8.newDecoder().onMalformedInput(CodingErrorAction.REPORT)
                    .onUnmappableCharacter(CodingErrorAction.REPORT)
                    .decode(ByteBuffer.wrap(bytes.toByteArray())).toString();
        } catch (CharacterCodingException e) {
            return null;
        }
    }

    /** The URI of a file, with every character that a URI path cannot hold escaped. */
    static String toUri(Path file) {
        return file.toAbsolutePath().normalize().toUri().toString();
    }
}
