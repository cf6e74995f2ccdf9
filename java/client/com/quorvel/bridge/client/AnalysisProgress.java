package com.quorvel.bridge.client;

import java.util.function.IntConsumer;

/**
 * A progress listener for {@link Project#analyse(IntConsumer)} that also hears, before the first progress value, how
 * many files the analysis takes on, so that it can tell files done of files to do.
 */
public interface AnalysisProgress extends IntConsumer {
    /**
     * Called once, before the first progress value, on the thread that runs the analysis.
     *
     * @param count the files whose results are missing or out of date; 0 when every file is up to date
     */
    void filesToAnalyse(int count);
}
