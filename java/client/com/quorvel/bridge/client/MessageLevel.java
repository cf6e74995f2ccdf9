package com.quorvel.bridge.client;

/** The level of a diagnostic's message. */
public enum MessageLevel {
    /** Level 0: not known. */
    UNKNOWN,
    /** Level 1: a debugging message. */
    DEBUG,
    /** Level 2: an error. */
    ERROR,
    /** Level 3: a message for the user. */
    USER_MESSAGE;

    static MessageLevel of(int level) {
        return switch (level) {
            case 1 -> DEBUG;
            case 2 -> ERROR;
            case 3 -> USER_MESSAGE;
            default -> UNKNOWN;
        };
    }
}
