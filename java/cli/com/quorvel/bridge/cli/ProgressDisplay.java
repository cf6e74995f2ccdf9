package com.quorvel.bridge.cli;

import com.quorvel.bridge.client.AnalysisProgress;
import java.io.IOException;
import java.io.PrintStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.time.Duration;

/** Shows the progress of an analysis on standard error: a bar on a terminal, lines in a log. */
interface ProgressDisplay extends AnalysisProgress, AutoCloseable {
    /** The longest time a log goes without a progress line while the analysis goes on. */
    Duration QUIET_AT_MOST = Duration.ofSeconds(5);

    @Override
    void close();

    /** The display for {@code err}, the process's standard error. */
    static ProgressDisplay on(PrintStream err) {
        return standardErrorIsTerminal() ? new ProgressBar(err) : new ProgressLines(err, QUIET_AT_MOST);
    }

    private static boolean standardErrorIsTerminal() {
        try {
            String target = Files.readSymbolicLink(Path.of("/proc/self/fd/2")).toString();
            return target.startsWith("/dev/pts/") || target.startsWith("/dev/tty") || target.equals("/dev/console");
        } catch (IOException | UnsupportedOperationException | SecurityException e) {
            return System.console() != null;
        }
    }
}
