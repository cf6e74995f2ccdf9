package com.quorvel.bridge.client;

/** The documented status codes of the reference analysis library, and the bridge's own failure value. */
public enum KervStatus {
    /** Success. */
    OK(0),
    /** The bridge's failure value: the entry point is missing, or its result could not be read. */
    BRIDGE_FAILURE(-1),
    /** A required argument was null. */
    NULL_ARGUMENT(-2),
    /** An argument is malformed (bad project name, unknown language). */
    BAD_ARGUMENT(-3),
    /** The call needs an open project and none is open. */
    NO_PROJECT(-4),
    /** No project with that location and name. */
    PROJECT_NOT_FOUND(-5),
    /** The project folder already exists. */
    PROJECT_EXISTS(-6),
    /** The project file cannot be read back. */
    PROJECT_CORRUPT(-7),
    /** The project location is not a folder. */
    LOCATION_MISSING(-8),
    /** A project or results file could not be written. */
    WRITE_FAILED(-9),
    /** A configuration file cannot be read. */
    CONFIG_UNREADABLE(-10),
    /** A configuration file has a bad line. */
    CONFIG_SYNTAX(-11),
    /** The source file is not part of the open project. */
    FILE_NOT_IN_PROJECT(-12),
    /** The source file does not exist or cannot be read. */
    SOURCE_UNREADABLE(-13),
    /** The analyser cannot be found or started. */
    ANALYZER_MISSING(-14),
    /** The analyser ran but gave no usable report. */
    ANALYSIS_FAILED(-15),
    /** The compiler configuration file is not registered with the project. */
    CCT_NOT_REGISTERED(-16),
    /** The file has never been analysed. */
    NO_RESULTS(-17),
    /** A record could not be allocated. */
    OUT_OF_MEMORY(-18),
    /** An unexpected failure inside the analysis library. */
    INTERNAL_ERROR(-19),
    /** Another process has the project open; the exception's message names that process. */
    PROJECT_LOCKED(-20),
    /** A code that none of the others names. */
    UNKNOWN(Integer.MIN_VALUE);

    private final int code;

    KervStatus(int code) {
        this.code = code;
    }

    /**
     * Returns the numeric code.
     *
     * @return the code; {@link Integer#MIN_VALUE} for {@link #UNKNOWN}
     */
    public int code() {
        return code;
    }

    /**
     * Names a status code.
     *
     * @param code a status returned by the analysis library
     * @return its name, {@link #UNKNOWN} when it has none
     */
    public static KervStatus of(int code) {
        return code <= 0 && code >= PROJECT_LOCKED.code ? values()[-code] : UNKNOWN;
    }
}
