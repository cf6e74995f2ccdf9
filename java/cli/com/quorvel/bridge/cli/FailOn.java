package com.quorvel.bridge.cli;

import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.Severity;
import com.quorvel.bridge.client.SuppressionState;
import java.nio.file.Path;
import java.util.List;
import java.util.Map;

/**
 * The lowest severity whose findings make a run fail ({@code --fail-on}). Severities rank error, warning, then style,
 * performance and portability as one level (naming any of the three names that level), then information. A finding
 * whose severity is none of these always counts.
 *
 * @param lowest the lowest severity that counts
 */
record FailOn(Severity lowest) {
    /** The default: every finding counts. */
    static final FailOn ANY = new FailOn(Severity.INFORMATION);

    static FailOn parse(String name) throws CliOptions.UsageException {
        Severity severity = Severity.ofGroup(name);
        if (severity == Severity.UNKNOWN) {
            throw new CliOptions.UsageException("--fail-on takes error, warning, style, performance, portability or"
                    + " information, not " + name);
        }
        return new FailOn(severity);
    }

    boolean counts(Severity severity) {
        return rank(severity) >= rank(lowest);
    }

    /** The active diagnostics that count. */
    int count(Map<Path, List<Diagnostic>> byFile) {
        return (int) byFile.values().stream().flatMap(List::stream)
                .filter(d -> d.suppressionState() == SuppressionState.ACTIVE && counts(d.severity())).count();
    }

    /** The summary's line: how many findings (new ones with a baseline) count. */
    String describe(int failing, boolean baseline) {
        return String.format("kerv: %d %sfinding%s at %s or above (--fail-on)", failing, baseline ? "new " : "",
                failing == 1 ? "" : "s", lowest.text());
    }

    private static int rank(Severity severity) {
        return switch (severity) {
            case ERROR -> 3;
            case WARNING -> 2;
            case STYLE, PERFORMANCE, PORTABILITY -> 1;
            case INFORMATION -> 0;
            default -> Integer.MAX_VALUE;
        };
    }
}
