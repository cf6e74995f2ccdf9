package com.quorvel.bridge.cli;

import java.io.PrintStream;
import java.time.Duration;
import java.util.Locale;
import java.util.concurrent.Executors;
import java.util.concurrent.ScheduledExecutorService;
import java.util.concurrent.TimeUnit;

/**
 * Reports the progress of an analysis as lines, for a standard error that is not a terminal (a CI log): one as it
 * starts, one at each tenth of the files, and one whenever nothing was said for a while, each with the files done of
 * those to analyse and the time since the start.
 */
final class ProgressLines implements ProgressDisplay {
    private final PrintStream out;
    private final long quietNanos;
    private final ScheduledExecutorService timer;
    private final long start = System.nanoTime();
    private long lastLine = start;
    private int total;
    /** Progress values after the opening 0: the analysis library gives one as each file is done. */
    private int values;
    private int percent = -1;
    private int tenthsShown;

    /** @param quiet the longest time without a line while the analysis goes on */
    ProgressLines(PrintStream out, Duration quiet) {
        this.out = out;
        this.quietNanos = quiet.toNanos();
        this.timer = Executors.newSingleThreadScheduledExecutor(task -> {
            Thread thread = new Thread(task, "kerv-progress");
            thread.setDaemon(true);
            return thread;
        });
        long tick = Math.max(1, quiet.toMillis() / 20);
        timer.scheduleWithFixedDelay(this::sayWhenQuiet, tick, tick, TimeUnit.MILLISECONDS);
    }

    @Override
    public synchronized void filesToAnalyse(int count) {
        total = count;
        if (count > 0) {
            say("kerv: analysing " + count + (count == 1 ? " file" : " files"));
        }
    }

    @Override
    public synchronized void accept(int value) {
        if (percent >= 0 || value != 0) {
            values++;
        }
        percent = Math.max(0, Math.min(100, value));
        if (total > 0 && percent / 10 > tenthsShown) {
            tenthsShown = percent / 10;
            sayDone();
        }
    }

    private synchronized void sayWhenQuiet() {
        if (total > 0 && percent >= 0 && percent < 100 && System.nanoTime() - lastLine >= quietNanos) {
            sayDone();
        }
    }

    private void sayDone() {
        // The count of values is exact for a library that reports each file; the share is the fallback.
        int done = values <= total && values * 100 / total == percent ? values : percent * total / 100;
        long seconds = TimeUnit.NANOSECONDS.toSeconds(System.nanoTime() - start);
        say(String.format(Locale.ROOT, "kerv: %d of %d file%s analysed, %d:%02d elapsed", done, total,
                total == 1 ? "" : "s", seconds / 60, seconds % 60));
    }

    private void say(String line) {
        out.println(line);
        out.flush();
        lastLine = System.nanoTime();
    }

    @Override
    public void close() {
        timer.shutdownNow();
    }
}
