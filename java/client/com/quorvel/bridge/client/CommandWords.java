package com.quorvel.bridge.client;

import java.util.ArrayList;
import java.util.List;

/**
 * Splits the {@code command} of a compilation database entry into words: blanks separate words, double quotes group
 * (a backslash inside them escapes the next character), single quotes group literally, and a backslash outside quotes
 * escapes the next character. No expansion of any kind.
 */
final class CommandWords {
    private CommandWords() {}

    static List<String> split(String command) {
        List<String> words = new ArrayList<>();
        StringBuilder word = new StringBuilder();
        boolean inWord = false;
        char quote = 0;
        for (int i = 0; i < command.length(); i++) {
            char c = command.charAt(i);
            if (quote == '\'') {
                if (c == '\'') {
                    quote = 0;
                } else {
                    word.append(c);
                }
            } else if (c == '\\' && i + 1 < command.length()
                    && (quote == 0 || command.charAt(i + 1) == '"' || command.charAt(i + 1) == '\\')) {
                word.append(command.charAt(++i));
                inWord = true;
            } else if (quote == '"') {
                if (c == '"') {
                    quote = 0;
                } else {
                    word.append(c);
                }
            } else if (c == '"' || c == '\'') {
                quote = c;
                inWord = true;
            } else if (Character.isWhitespace(c)) {
                if (inWord) {
                    words.add(word.toString());
                    word.setLength(0);
                    inWord = false;
                }
            } else {
                word.append(c);
                inWord = true;
            }
        }
        if (quote != 0) {
            throw new IllegalArgumentException("unterminated " + quote + " quote in command: " + command);
        }
        if (inWord) {
            words.add(word.toString());
        }
        return words;
    }
}
