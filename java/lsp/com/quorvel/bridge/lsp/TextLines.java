package com.quorvel.bridge.lsp;

import java.util.ArrayList;
import java.util.List;
import java.util.Map;

/**
 * A text cut into lines at LF, CR LF or CR, as the protocol counts them, and the ranges that findings cover: the
 * analyser counts lines from 1 and columns from 1 in bytes of UTF-8 (a tab is one), the protocol lines from 0 and
 * characters in UTF-16 code units.
 */
final class TextLines {
    private final String text;
    private final List<Integer> starts = new ArrayList<>();

    TextLines(String text) {
        this.text = text;
        for (int offset = 0; offset >= 0; offset = nextLineStart(text, offset)) {
            starts.add(offset);
        }
    }

    /** The start of the line after the one at {@code offset}; -1 when that line is the last. */
    static int nextLineStart(String text, int offset) {
        for (int i = offset; i < text.length(); i++) {
            char c = text.charAt(i);
            if (c == '\n') {
                return i + 1;
            }
            if (c == '\r') {
                return i + 1 < text.length() && text.charAt(i + 1) == '\n' ? i + 2 : i + 1;
            }
        }
        return -1;
    }

    /** The end of the line at {@code offset}, before its line break. */
    static int lineEnd(String text, int offset) {
        int i = offset;
        while (i < text.length() && text.charAt(i) != '\n' && text.charAt(i) != '\r') {
            i++;
        }
        return i;
    }

    int lineCount() {
        return starts.size();
    }

    /** A line's text without its break; empty past the last line. */
    String line(int index) {
        if (index < 0 || index >= starts.size()) {
            return "";
        }
        int start = starts.get(index);
        return text.substring(start, lineEnd(text, start));
    }

    /**
     * The range of a finding at an analyser's line and column: from the column to the end of the token there (a name
     * or number, a string or character literal, else one character), or the whole line, from its first non-blank
     * character, when the column is unknown (0) or past the line's end. A line past the text's end gives its last
     * line.
     */
    Map<String, Object> findingRange(int line, int column) {
        int index = Math.min(Math.max(line, 1), lineCount()) - 1;
        String content = line(index);
        int start = column > 0 ? utf16Index(content, column - 1) : -1;
        if (start < 0 || start >= content.length() || Character.isWhitespace(content.charAt(start))) {
            int first = 0;
            while (first < content.length() && Character.isWhitespace(content.charAt(first))) {
                first++;
            }
            return range(index, first == content.length() ? 0 : first, index, content.length());
        }
        return range(index, start, index, tokenEnd(content, start));
    }

    /** The UTF-16 index in {@code line} of a UTF-8 byte offset; -1 when the offset is past the line. */
    static int utf16Index(String line, int byteOffset) {
        int bytes = 0;
        for (int i = 0; i < line.length(); i++) {
            if (bytes >= byteOffset) {
                return i;
            }
            int codePoint = line.codePointAt(i);
            bytes += codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
            if (Character.isSupplementaryCodePoint(codePoint)) {
                i++;
            }
        }
        return bytes >= byteOffset ? line.length() : -1;
    }

    private static int tokenEnd(String line, int start) {
        char first = line.charAt(start);
        if (isWordPart(first)) {
            int end = start + 1;
            while (end < line.length() && isWordPart(line.charAt(end))) {
                end++;
            }
            return end;
        }
        if (first == '"' || first == '\'') {
            for (int end = start + 1; end < line.length(); end++) {
                if (line.charAt(end) == '\\') {
                    end++;
                } else if (line.charAt(end) == first) {
                    return end + 1;
                }
            }
            return line.length();
        }
        return start + Character.charCount(line.codePointAt(start));
    }

    private static boolean isWordPart(char c) {
        return Character.isLetterOrDigit(c) || c == '_';
    }

    static Map<String, Object> range(int startLine, int startCharacter, int endLine, int endCharacter) {
        return Json.fields("start", Json.fields("line", startLine, "character", startCharacter),
                "end", Json.fields("line", endLine, "character", endCharacter));
    }
}
