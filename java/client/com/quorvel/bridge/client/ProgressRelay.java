package com.quorvel.bridge.client;

import java.util.function.IntConsumer;

/**
 * Hands the analysis library's progress values to the caller's listener, one value at a time, and keeps the first
 * exception the listener throws so that the analysis goes on and the caller still learns of it.
 */
final class ProgressRelay implements IntConsumer {
    private static final ThreadLocal<Boolean> IN_LISTENER = ThreadLocal.withInitial(() -> Boolean.FALSE);

    private final IntConsumer listener;
    private RuntimeException failure;

    ProgressRelay(IntConsumer listener) {
        this.listener = listener;
    }

    /** Whether the calling thread is running a progress listener. */
    static boolean inListener() {
        return IN_LISTENER.get();
    }

    @Override
    public void accept(int value) {
        deliver(() -> listener.accept(value));
    }

    /** Tells a listener that is an {@link AnalysisProgress} how many files the analysis takes on. */
    void filesToAnalyse(int count) {
        if (listener instanceof AnalysisProgress progress) {
            deliver(() -> progress.filesToAnalyse(count));
        }
    }

    private synchronized void deliver(Runnable call) {
        IN_LISTENER.set(Boolean.TRUE);
        try {
            call.run();
        } catch (RuntimeException e) {
            if (failure == null) {
                failure = e;
            } else if (failure != e) {
                failure.addSuppressed(e);
            }
        } finally {
            IN_LISTENER.set(Boolean.FALSE);
        }
    }

    /** Throws the first exception the listener threw, if any. */
    synchronized void rethrow() {
        if (failure != null) {
            throw failure;
        }
    }
}
