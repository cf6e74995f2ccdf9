package com.quorvel.bridge.client;

import java.util.concurrent.Callable;
import java.util.concurrent.ExecutionException;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import java.util.concurrent.TimeUnit;

/**
 * The one thread on which a session makes all its bridge calls. The bridge serves only the thread that made the latest
 * {@code initJniBridge} call, one call at a time; callers on any thread hand their calls to this thread, which runs
 * them one at a time in arrival order, and wait for the result.
 */
final class BridgeThread {
    private final ExecutorService executor;
    private volatile Thread thread;
    private boolean closed;

    BridgeThread() {
        executor = Executors.newSingleThreadExecutor(task -> {
            Thread created = new Thread(task, "kerv-bridge");
            created.setDaemon(true);
            thread = created;
            return created;
        });
    }

    /**
     * Runs a bridge call on the bridge thread and returns its result on the caller's thread.
     *
     * @throws IllegalStateException when the session is closed, or when called from a progress listener
     */
    <T> T call(String operation, Callable<T> task) {
        if (Thread.currentThread() == thread || ProgressRelay.inListener()) {
            throw new IllegalStateException(operation + " cannot be called from a progress listener: the session's"
                    + " bridge thread is busy with the analysis that reports the progress");
        }
        Future<T> result;
        synchronized (this) {
            if (closed) {
                throw new IllegalStateException("the session is closed; open a new one with Kerv.open");
            }
            result = executor.submit(task);
        }
        return await(result);
    }

    /**
     * Runs the last call (the calls queued before it run first), then stops the thread; does nothing when the thread
     * was stopped already.
     */
    void stop(Runnable lastCall) {
        if (Thread.currentThread() == thread || ProgressRelay.inListener()) {
            throw new IllegalStateException("a session cannot be closed from a progress listener");
        }
        Future<?> last;
        synchronized (this) {
            if (closed) {
                return;
            }
            closed = true;
            last = executor.submit(lastCall);
        }
        try {
            await(last);
        } finally {
            executor.shutdown();
            boolean interrupted = false;
            while (true) {
                try {
                    if (executor.awaitTermination(1, TimeUnit.MINUTES)) {
                        break;
                    }
                } catch (InterruptedException e) {
                    interrupted = true;
                }
            }
            if (interrupted) {
                Thread.currentThread().interrupt();
            }
        }
    }

    /** Tells whether {@link #stop} was called: no call is accepted any more. */
    synchronized boolean isStopped() {
        return closed;
    }

    /** Waits for a call without giving up on interruption: a native call cannot be abandoned half-way. */
    private static <T> T await(Future<T> result) {
        boolean interrupted = false;
        try {
            while (true) {
                try {
                    return result.get();
                } catch (InterruptedException e) {
                    interrupted = true;
                } catch (ExecutionException e) {
                    Throwable cause = e.getCause();
                    if (cause instanceof RuntimeException runtime) {
                        throw runtime;
                    }
                    if (cause instanceof Error error) {
                        throw error;
                    }
                    throw new IllegalStateException(cause);
                }
            }
        } finally {
            if (interrupted) {
                Thread.currentThread().interrupt();
            }
        }
    }
}
