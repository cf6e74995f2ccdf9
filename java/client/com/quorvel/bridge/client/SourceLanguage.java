package com.quorvel.bridge.client;

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
}
