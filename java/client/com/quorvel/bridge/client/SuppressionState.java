package com.quorvel.bridge.client;

/** Whether a diagnostic counts, was switched off or was suppressed in the source. */
public enum SuppressionState {
    /** The diagnostic counts (state 0). */
    ACTIVE,
    /** The diagnostic's rule is switched off by the rule configuration (state 1). */
    SWITCHED_OFF,
    /** A suppression comment in the source covers the diagnostic (state 2). */
    IN_SOURCE,
    /** A state the reference analysis library does not document. */
    OTHER;

    static SuppressionState of(int state) {
        return switch (state) {
            case 0 -> ACTIVE;
            case 1 -> SWITCHED_OFF;
            case 2 -> IN_SOURCE;
            default -> OTHER;
        };
    }
}
