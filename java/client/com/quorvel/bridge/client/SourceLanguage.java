package com.quorvel.bridge.client;

import java.nio.file.Path;

/** The language of a source file, with the number and the text the analysis library uses for it. */
public enum SourceLanguage {
    /** C. */
    C(0, "C"),
    /** C++. */
    CPP(1, "C++"),
    /** C#, which the reference analysis library refuses. */
    CSHARP(2, "C#");

    private final int number;
    private final String text;

    SourceLanguage(int number, String text) {
        this.number = number;
        this.text = text;
    }

    /**
     * Returns the number the analysis library uses for the language.
     *
     * @return 0, 1 or 2
     */
    public int number() {
        return number;
    }

    /**
     * Returns the language's name as results write it.
     *
     * @return "C", "C++" or "C#"
     */
    public String text() {
        return text;
    }

    /**
     * Finds a language by its number.
     *
     * @param number a number from the analysis library
     * @return the language
     * @throws IllegalArgumentException for a number that names none
     */
    public static SourceLanguage ofNumber(int number) {
        for (SourceLanguage language : values()) {
            if (language.number == number) {
                return language;
            }
        }
        throw new IllegalArgumentException("no source language has the number " + number);
    }

    /**
     * Finds a language by its name as results write it.
     *
     * @param text "C", "C++" or "C#"
     * @return the language, or {@code null} for any other text
     */
    static SourceLanguage ofText(String text) {
        for (SourceLanguage language : values()) {
            if (language.text.equals(text)) {
                return language;
            }
        }
        return null;
    }

    /**
     * Returns the language a source file's extension gives it: ".c" is C, any other extension C++.
     *
     * @param file a source file
     * @return {@link #C} or {@link #CPP}
     */
    public static SourceLanguage ofFile(Path file) {
        return ".c".equals(extensionOf(file)) ? C : CPP;
    }

    /**
     * Returns a file name's extension.
     *
     * @param file a file
     * @return the extension of its name with its dot, such as ".cpp"; empty when the name has no dot
     */
    public static String extensionOf(Path file) {
        String name = file.getFileName().toString();
        int dot = name.lastIndexOf('.');
        return dot < 0 ? "" : name.substring(dot);
    }
}
