package com.quorvel.bridge.cli;

import java.io.PrintStream;
import java.util.function.IntConsumer;

/** Draws the progress of an analysis as a bar, from the values the analysis library reports. */
final class ProgressBar implements IntConsumer, AutoCloseable {
    private final PrintStream display;
    private boolean drawn;

    /** @param display where to draw the bar, or null to draw nothing */
    ProgressBar(PrintStream display) {
        this.display = display;
    }

    @Override
    public synchronized void accept(int percent) {
        if (display == null) {
            return;
        }
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
