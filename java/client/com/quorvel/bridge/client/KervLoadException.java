package com.quorvel.bridge.client;

/**
 * Thrown when the native bridge or the bundled analysis library cannot be found, extracted or loaded, or when the
 * bridge found is of another version than the client. The message names the platform, every place that was tried
 * and why it failed, and the system property that chooses another place.
 */
public final class KervLoadException extends RuntimeException {
    private static final long serialVersionUID = 1L;

    /**
     * Creates the exception.
     *
     * @param message what failed, what was tried and what to set
     * @param cause the underlying failure, or {@code null}
     */
    public KervLoadException(String message, Throwable cause) {
        super(message, cause);
    }
}
