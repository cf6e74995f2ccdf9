package com.quorvel.bridge.client;

import java.util.ArrayList;
import java.util.List;

/**
 * Decodes a file's record ({@link Tags#VQ_FILE}), the language list ({@link Tags#LANGUAGES}) and the bridge's
 * ';'-separated lists.
 */
final class FileDecoder {
    private static final ElementTag FILE = new ElementTag(Tags.VQ_FILE);
    private static final ElementTag INCLUDES = new ElementTag(Tags.INCLUDED_PATHS);
    private static final ElementTag DEFINES = new ElementTag(Tags.DEFINITIONS);
    private static final ElementTag SOURCE_LANGUAGE = new ElementTag(Tags.SOURCE_LANGUAGE);
    private static final ElementTag LANGUAGES = new ElementTag(Tags.LANGUAGES);
    private static final ElementTag LANGUAGE = new ElementTag(Tags.LANGUAGE);

    private FileDecoder() {}

    /** The include folders, the defines and the language, each optional but in that order. */
    static SourceFile sourceFile(CompactReader in) {
        in.open(FILE);
        List<String> includes = in.at(INCLUDES) ? list(in.escaped(INCLUDES)) : List.of();
        List<String> defines = in.at(DEFINES) ? list(in.escaped(DEFINES)) : List.of();
        SourceLanguage language = in.at(SOURCE_LANGUAGE) ? SourceLanguage.ofText(in.escaped(SOURCE_LANGUAGE)) : null;
        in.close(FILE);
        in.end();
        return new SourceFile(language, defines, includes);
    }

    static List<SourceLanguage> languages(CompactReader in) {
        List<SourceLanguage> languages = new ArrayList<>();
        in.open(LANGUAGES);
        while (in.at(LANGUAGE)) {
            int offset = in.offset();
            int number = in.number(LANGUAGE);
            SourceLanguage language = null;
            for (SourceLanguage known : SourceLanguage.values()) {
                language = known.number() == number ? known : language;
            }
            if (language == null) {
                throw in.malformed(offset, "the number of a source language");
            }
            languages.add(language);
        }
        in.close(LANGUAGES);
        in.end();
        return List.copyOf(languages);
    }

    /** The entries of a ';'-separated list; the empty text is the empty list. */
    static List<String> list(String text) {
        return text.isEmpty() ? List.of() : List.of(text.split(";", -1));
    }
}
