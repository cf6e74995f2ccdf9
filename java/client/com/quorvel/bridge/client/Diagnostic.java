package com.quorvel.bridge.client;

import java.util.List;
import java.util.Objects;

/**
 * One diagnostic of a file, with its message and, nested to any depth, its sub-diagnostics.
 *
 * @param messageId the message's unique id (with the reference library, the id of the rule it comes from)
 * @param helpFileLocation where the message's help is, possibly empty
 * @param level the message's level
 * @param messageNumber the message's number, as text
 * @param text the message's text
 * @param producer what produced the message
 * @param references the message's references, possibly none
 * @param multiHomed the diagnostic's multi-homed flag
 * @param suppressionState whether the diagnostic counts
 * @param hasSubDiagnostics the flag as the library set it; {@link #subDiagnostics()} holds what was found
 * @param subDiagnostics the sub-diagnostics, possibly none
 * @param parameters the message's parameters, possibly none
 * @param locations the diagnostic's locations, the primary one first; possibly none
 * @param ruleId the id of the rule the message belongs to
 * @param severity the severity of that rule
 */
public record Diagnostic(
        String messageId,
        String helpFileLocation,
        MessageLevel level,
        String messageNumber,
        String text,
        String producer,
        List<String> references,
        boolean multiHomed,
        SuppressionState suppressionState,
        boolean hasSubDiagnostics,
        List<Diagnostic> subDiagnostics,
        List<String> parameters,
        List<Location> locations,
        String ruleId,
        Severity severity) {
    /**
     * Creates a diagnostic; the lists are copied and must not hold null.
     *
     * @param messageId the message's unique id (with the reference library, the id of the rule it comes from)
     * @param helpFileLocation where the message's help is, possibly empty
     * @param level the message's level
     * @param messageNumber the message's number, as text
     * @param text the message's text
     * @param producer what produced the message
     * @param references the message's references, possibly none
     * @param multiHomed the diagnostic's multi-homed flag
     * @param suppressionState whether the diagnostic counts
     * @param hasSubDiagnostics the flag as the library set it; {@link #subDiagnostics()} holds what was found
     * @param subDiagnostics the sub-diagnostics, possibly none
     * @param parameters the message's parameters, possibly none
     * @param locations the diagnostic's locations, the primary one first; possibly none
     * @param ruleId the id of the rule the message belongs to
     * @param severity the severity of that rule
     */
    public Diagnostic {
        Objects.requireNonNull(messageId, "messageId");
        Objects.requireNonNull(helpFileLocation, "helpFileLocation");
        Objects.requireNonNull(level, "level");
        Objects.requireNonNull(messageNumber, "messageNumber");
        Objects.requireNonNull(text, "text");
        Objects.requireNonNull(producer, "producer");
        Objects.requireNonNull(suppressionState, "suppressionState");
        references = List.copyOf(references);
        subDiagnostics = List.copyOf(subDiagnostics);
        parameters = List.copyOf(parameters);
        locations = List.copyOf(locations);
        Objects.requireNonNull(ruleId, "ruleId");
        Objects.requireNonNull(severity, "severity");
    }

    /**
     * Creates a diagnostic whose rule is not known: its rule id is its message id, its severity
     * {@link Severity#UNKNOWN}; the lists are copied and must not hold null.
     *
     * @param messageId the message's unique id
     * @param helpFileLocation where the message's help is, possibly empty
     * @param level the message's level
     * @param messageNumber the message's number, as text
     * @param text the message's text
     * @param producer what produced the message
     * @param references the message's references, possibly none
     * @param multiHomed the diagnostic's multi-homed flag
     * @param suppressionState whether the diagnostic counts
     * @param hasSubDiagnostics the flag as the library set it
     * @param subDiagnostics the sub-diagnostics, possibly none
     * @param parameters the message's parameters, possibly none
     * @param locations the diagnostic's locations, the primary one first; possibly none
     */
    public Diagnostic(String messageId, String helpFileLocation, MessageLevel level, String messageNumber, String text,
            String producer, List<String> references, boolean multiHomed, SuppressionState suppressionState,
            boolean hasSubDiagnostics, List<Diagnostic> subDiagnostics, List<String> parameters,
            List<Location> locations) {
        this(messageId, helpFileLocation, level, messageNumber, text, producer, references, multiHomed,
                suppressionState, hasSubDiagnostics, subDiagnostics, parameters, locations, messageId,
                Severity.UNKNOWN);
    }
}
