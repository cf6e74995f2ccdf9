package com.quorvel.bridge.cli;

import java.io.PrintStream;

/** Draws the progress of an analysis as a bar on a terminal, from the values the analysis library reports. */
final class ProgressBar implements ProgressDisplay {
    private final PrintStream display;
    private boolean drawn;

    ProgressBar(PrintStream display) {
        this.display = display;
    }

    @Override
    public void filesToAnalyse(int count) {
        // the bar shows the share only
    }

    @Override
    public synchronized void accept(int percent) {
        int filled = Math.max(0, Math.min(20, percent / 5));
        display.print("\ranalysing [" + "#".repeat(filled) + " ".repeat(20 - filled) + "] " + percent + "%");
        display.flush();
        drawn = true;
    }

    @Override
    public synchronized void close() {
        if (drawn) {
            display.println();
        }
    }
}
