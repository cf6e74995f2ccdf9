package com.quorvel.bridge.lsp;

import java.nio.file.Path;
import java.util.List;
import java.util.Map;

/**
 * One version of an open document: what the client sent, with the changes applied. Immutable; a change makes a new
 * version.
 *
 * @param uri the document's URI exactly as the client wrote it (publishing uses it unchanged)
 * @param path the file the URI names; null for a URI that names no local file
 * @param version the client's version number
 * @param text the text
 */
record TextDocument(String uri, Path path, int version, String text) {
    /**
     * Applies the content changes of one {@code didChange}: each is either the whole new text or a range (in UTF-16
     * code units, as the protocol counts by default) and its replacement, applied in order.
     */
    TextDocument changed(int newVersion, List<Object> changes) {
        String current = text;
        for (Object change : changes) {
            Map<String, Object> edit = Json.object(change);
            String replacement = Json.text(edit, "text");
            if (replacement == null) {
                continue;
            }
            if (!edit.containsKey("range")) {
                current = replacement;
                continue;
            }
            int start = offsetOf(current, Json.at(edit, "range", "start"));
            int end = Math.max(start, offsetOf(current, Json.at(edit, "range", "end")));
            current = current.substring(0, start) + replacement + current.substring(end);
        }
        return new TextDocument(uri, path, newVersion, current);
    }

    /** The offset in {@code text} of a protocol position; positions past a line's end or the text's end clamp. */
    static int offsetOf(String text, Object position) {
        int line = Math.max(0, Json.integer(position, 0, "line"));
        int character = Math.max(0, Json.integer(position, 0, "character"));
        int offset = 0;
        for (int i = 0; i < line; i++) {
            int next = TextLines.nextLineStart(text, offset);
            if (next < 0) {
                return text.length();
            }
            offset = next;
        }
        int end = TextLines.lineEnd(text, offset);
        return Math.min(offset + character, end);
    }
}
