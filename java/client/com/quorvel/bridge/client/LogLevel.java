package com.quorvel.bridge.client;

/** How much the bridge and the analysis library write to their log. */
public enum LogLevel {
    /** Nothing (the start value). */
    OFF,
    /** Failures only. */
    FAILURES,
    /** Failures and a trace of every call. */
    TRACE;

    static LogLevel of(long level) {
        return level <= 0 ? OFF : level == 1 ? FAILURES : TRACE;
    }
}
