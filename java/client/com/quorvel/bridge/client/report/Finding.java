package com.quorvel.bridge.client.report;

import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.Location;
import com.quorvel.bridge.client.SuppressionState;
import java.util.Objects;

/**
 * A top-level diagnostic of a report with the fingerprint that recognises it in a later run.
 *
 * @param diagnostic the diagnostic
 * @param primary its first location; line 0 of no file when it has none
 * @param fingerprint stays the same when lines are added or removed elsewhere in the file: it is made from the rule,
 *     the file, the text of the finding's line and the count of earlier findings with the same three
 */
public record Finding(Diagnostic diagnostic, Location primary, String fingerprint) {
    /**
     * Creates a finding.
     *
     * @param diagnostic the diagnostic
     * @param primary its first location
     * @param fingerprint its fingerprint
     */
    public Finding {
        Objects.requireNonNull(diagnostic, "diagnostic");
        Objects.requireNonNull(primary, "primary");
        Objects.requireNonNull(fingerprint, "fingerprint");
    }

    /**
     * Tells whether the finding counts, that is whether its rule is switched on.
     *
     * @return whether it is active
     */
    public boolean active() {
        return diagnostic.suppressionState() == SuppressionState.ACTIVE;
    }
}
