package com.quorvel.bridge.cli;

import java.io.IOException;
import java.io.PrintStream;
import java.io.RandomAccessFile;
import java.nio.charset.StandardCharsets;
import java.nio.file.Path;
import java.util.regex.Matcher;
import java.util.regex.Pattern;

/**
 * Shows the progress of an aggregation. The bridge reports progress only as "Aggregate progress is N" lines in its
 * log, so this follows the log file from its current end while the aggregation runs.
 */
final class ProgressFollower implements AutoCloseable {
    private static final Pattern PROGRESS = Pattern.compile("Aggregate progress is (\\d+)");

    private final Path log;
    private final PrintStream display;
    private final Thread thread;
    private final long start;
    private volatile boolean stopping;
    private int lastShown = -1;

    /** @param display where to draw the progress, or null to follow silently */
    ProgressFollower(Path log, PrintStream display) {
        this.log = log;
        this.display = display;
        this.start = log.toFile().length();
        this.thread = new Thread(this::follow, "kerv-progress");
        this.thread.setDaemon(true);
        this.thread.start();
    }

    /** The last progress value seen, -1 before the first. */
    synchronized int lastProgress() {
        return lastShown;
    }

    private void follow() {
        long position = start;
        StringBuilder pending = new StringBuilder();
        byte[] buffer = new byte[65536];
        boolean lastRound = false;
        while (!lastRound) {
            lastRound = stopping;
            try (RandomAccessFile file = new RandomAccessFile(log.toFile(), "r")) {
                file.seek(position);
                int read;
                while ((read = file.read(buffer)) > 0) {
                    position += read;
                    pending.append(new String(buffer, 0, read, StandardCharsets.UTF_8));
                }
            } catch (IOException e) {
                // The log may not exist yet; try again on the next round.
            }
            int newline;
            while ((newline = pending.indexOf("\n")) >= 0) {
                show(pending.substring(0, newline));
                pending.delete(0, newline + 1);
            }
            if (!lastRound) {
                try {
                    Thread.sleep(100);
                } catch (InterruptedException e) {
                    Thread.currentThread().interrupt();
                    return;
                }
            }
        }
    }

    private synchronized void show(String line) {
        Matcher matcher = PROGRESS.matcher(line);
        if (!matcher.find()) {
            return;
        }
        lastShown = Integer.parseInt(matcher.group(1));
        if (display != null) {
            int filled = lastShown / 5;
            display.print("\ranalysing [" + "#".repeat(filled) + " ".repeat(20 - filled) + "] " + lastShown + "%");
            display.flush();
        }
    }

    @Override
    public void close() {
        stopping = true;
        try {
            thread.join();
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
        }
        if (display != null && lastShown >= 0) {
            display.println();
        }
    }
}
