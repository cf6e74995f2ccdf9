package com.quorvel.bridge.client;

import java.nio.file.Path;
import java.util.List;
import java.util.Objects;

/**
 * What one {@link Project#analyse()} did: the files it analysed and the files it left without up-to-date results.
 *
 * <p>Files whose results were already up to date are in neither list.
 *
 * @param analysed the files analysed by this run, in the project's order
 * @param notAnalysed the files left without up-to-date results, each with the reason, in the project's order
 */
public record AnalysisOutcome(List<Path> analysed, List<UnanalysedFile> notAnalysed) {
    /**
     * Makes the outcome, copying both lists.
     *
     * @param analysed the files analysed
     * @param notAnalysed the files left without up-to-date results
     */
    public AnalysisOutcome {
        analysed = List.copyOf(analysed);
        notAnalysed = List.copyOf(notAnalysed);
    }

    /**
     * Tells whether every file of the project now has up-to-date results.
     *
     * @return true when no file was left without them
     */
    public boolean complete() {
        return notAnalysed.isEmpty();
    }

    /**
     * A file that the analysis left without up-to-date results.
     *
     * @param file the file
     * @param reason why
     */
    public record UnanalysedFile(Path file, Reason reason) {
        /**
         * Makes the entry.
         *
         * @param file the file
         * @param reason why it has no up-to-date results
         */
        public UnanalysedFile {
            Objects.requireNonNull(file, "file");
            Objects.requireNonNull(reason, "reason");
        }
    }

    /** Why a file has no up-to-date results after an analysis. */
    public enum Reason {
        /** The analyser ran on the file but gave no usable result; earlier results of the file are gone. */
        ANALYSER_FAILED("the analyser failed on it"),
        /** The source file no longer exists or cannot be read; earlier results of the file are gone. */
        SOURCE_MISSING("the source is missing or unreadable"),
        /** The file was analysed but its results could not be saved; they last until the session is closed. */
        RESULTS_NOT_SAVED("its results could not be saved"),
        /**
         * The preprocessor stopped at an {@code #error} in the configuration the file is analysed with (its build's,
         * for a file of a compilation database), so nothing else of it was analysed; its diagnostics hold that
         * {@code #error} only.
         */
        PREPROCESSOR_STOPPED("the preprocessor stopped at an #error");

        private final String text;

        Reason(String text) {
            this.text = text;
        }

        /**
         * Returns the reason in words, for messages.
         *
         * @return the words, such as "the analyser failed on it"
         */
        public String text() {
            return text;
        }
    }
}
