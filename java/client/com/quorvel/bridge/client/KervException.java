package com.quorvel.bridge.client;

/**
 * A call that the analysis library refused or could not carry out.
 *
 * <p>Carries the operation (the bridge method's name, such as {@code "createProject"}) and the status it returned.
 * The reference analysis library's codes are named by {@link KervStatus}; {@code -1} is the bridge's own failure value
 * (the entry point is missing, or a result could not be read).
 */
public class KervException extends RuntimeException {
    private static final long serialVersionUID = 1L;

    /** The bridge method that failed. */
    private final String operation;
    /** The status it returned. */
    private final int status;

    /**
     * Creates the exception for a failure status.
     *
     * @param operation the bridge method that failed
     * @param status the status it returned
     */
    public KervException(String operation, int status) {
        super(describe(operation, status));
        this.operation = operation;
        this.status = status;
    }

    /**
     * Creates the exception for a failure status and what it concerns.
     *
     * @param operation the bridge method that failed
     * @param status the status it returned
     * @param subject the path or value at fault, or what went wrong with it, for people
     * @return the exception, whose message names the operation, the status, its name and the subject
     */
    public static KervException of(String operation, int status, String subject) {
        return new KervException(operation, status, subject, null);
    }

    /**
     * Creates the exception with a text of its own, which the message gives after the operation, the status and its
     * name.
     *
     * @param operation the bridge method that failed
     * @param status the status it returned, or {@code -1}
     * @param subject what went wrong and with which path or value, for people
     * @param cause the underlying failure, or {@code null}
     */
    public KervException(String operation, int status, String subject, Throwable cause) {
        super(describe(operation, status) + ": " + subject, cause);
        this.operation = operation;
        this.status = status;
    }

    private static String describe(String operation, int status) {
        return operation + " failed with status " + status + " (" + KervStatus.of(status) + ")";
    }

    /**
     * Returns the bridge method that failed.
     *
     * @return the method's name
     */
    public String operation() {
        return operation;
    }

    /**
     * Returns the status that the analysis library (or the bridge) returned.
     *
     * @return the status, never 0
     */
    public int status() {
        return status;
    }

    /**
     * Returns the named meaning of {@link #status()}.
     *
     * @return the status's name, {@link KervStatus#UNKNOWN} for a code the reference library does not document
     */
    public KervStatus reason() {
        return KervStatus.of(status);
    }
}
