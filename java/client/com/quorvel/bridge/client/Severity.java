package com.quorvel.bridge.client;

import java.util.Locale;

/** How serious a diagnostic is: the group of the rule it comes from. */
public enum Severity {
    /** A fault: undefined behaviour, a crash or lost data. */
    ERROR,
    /** Code that is likely wrong. */
    WARNING,
    /** Style: unused code, needless complexity. */
    STYLE,
    /** Code that could be faster. */
    PERFORMANCE,
    /** Code that depends on the platform or the compiler. */
    PORTABILITY,
    /** Information about the analysis itself. */
    INFORMATION,
    /** A rule group that is none of the above, or a diagnostic whose rule is not known. */
    UNKNOWN;

    private final String text = name().toLowerCase(Locale.ROOT);

    /**
     * Returns the severity's name as rule groups and reports write it.
     *
     * @return "error", "warning", ..., "unknown"
     */
    public String text() {
        return text;
    }

    /**
     * Finds the severity that a rule group's name stands for.
     *
     * @param groupName a rule group's name, such as "error" or "style"
     * @return the severity; {@link #UNKNOWN} for any other name
     */
    public static Severity ofGroup(String groupName) {
        for (Severity severity : values()) {
            if (severity.text.equals(groupName)) {
                return severity;
            }
        }
        return UNKNOWN;
    }
}
