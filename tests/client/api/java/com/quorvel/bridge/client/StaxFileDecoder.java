package com.quorvel.bridge.client;

import java.util.ArrayList;
import java.util.List;

/**
 * Decodes a file's record ({@link Tags#VQ_FILE}), the language list ({@link Tags#LANGUAGES}) and the bridge's
 * ';'-separated lists.
 */
final class StaxFileDecoder {
    private StaxFileDecoder() {}

    static SourceFile sourceFile(StaxResultReader in) {
        SourceLanguage language = null;
        List<String> defines = List.of();
        List<String> includes = List.of();
        for (int event = in.next(); event != StaxResultReader.DONE; event = in.next()) {
            if (event == StaxResultReader.END) {
                continue;
            }
            switch (in.name()) {
                case Tags.VQ_FILE -> { }
                case Tags.INCLUDED_PATHS -> includes = list(in.text());
                case Tags.DEFINITIONS -> defines = list(in.text());
                case Tags.SOURCE_LANGUAGE -> language = SourceLanguage.ofText(in.text());
                default -> in.skip();
            }
        }
        return new SourceFile(language, defines, includes);
    }

    static List<SourceLanguage> languages(StaxResultReader in) {
        List<SourceLanguage> languages = new ArrayList<>();
        for (int event = in.next(); event != StaxResultReader.DONE; event = in.next()) {
            if (event == StaxResultReader.END) {
                continue;
            }
            switch (in.name()) {
                case Tags.LANGUAGES -> { }
                case Tags.LANGUAGE -> languages.add(SourceLanguage.ofNumber(in.number()));
                default -> in.skip();
            }
        }
        return List.copyOf(languages);
    }

    /** The entries of a ';'-separated list; the empty text is the empty list. */
    static List<String> list(String text) {
        return text.isEmpty() ? List.of() : List.of(text.split(";", -1));
    }
}
