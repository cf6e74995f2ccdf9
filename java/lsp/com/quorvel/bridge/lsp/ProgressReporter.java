package com.quorvel.bridge.lsp;

import java.util.function.IntConsumer;

/**
 * Shows an analysis's progress in the client through {@code $/progress}, on a token made with
 * {@code window/workDoneProgress/create}: begun once the analysis has taken {@code delayMillis} and is not done, so
 * that short analyses show nothing, then reported at each new percentage, and ended. Does nothing for a client
 * without work-done progress. Values may come from any thread.
 */
final class ProgressReporter implements IntConsumer {
    private final Connection connection;
    private final boolean supported;
    private final String title;
    private final long delayNanos;
    private final long start = System.nanoTime();
    private String token;
    private boolean begun;
    private boolean ended;
    private int reported = -1;
    private int latest;

    ProgressReporter(Connection connection, boolean supported, String title, long delayMillis) {
        this.connection = connection;
        this.supported = supported;
        this.title = title;
        this.delayNanos = delayMillis * 1_000_000;
    }

    @Override
    public synchronized void accept(int percent) {
        latest = Math.max(0, Math.min(100, percent));
        if (!supported || ended) {
            return;
        }
        if (token == null && latest < 100 && System.nanoTime() - start >= delayNanos) {
            String created = "kerv-" + Long.toHexString(System.nanoTime());
            token = created;
            connection.request("window/workDoneProgress/create", Json.fields("token", created))
                    .whenComplete((result, failure) -> created(failure == null));
        } else if (begun) {
            report();
        }
    }

    private synchronized void created(boolean accepted) {
        if (!accepted || ended) {
            return;
        }
        begun = true;
        connection.notify("$/progress", Json.fields("token", token, "value", Json.fields("kind", "begin",
                "title", title, "cancellable", false, "percentage", latest)));
        reported = latest;
    }

    private void report() {
        if (latest != reported) {
            reported = latest;
            connection.notify("$/progress", Json.fields("token", token, "value", Json.fields("kind", "report",
                    "percentage", latest)));
        }
    }

    /** Ends the progress shown, if any. */
    synchronized void end(String message) {
        ended = true;
        if (begun) {
            connection.notify("$/progress", Json.fields("token", token, "value", Json.fields("kind", "end",
                    "message", message)));
        }
    }
}
