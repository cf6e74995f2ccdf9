package com.quorvel.bridge.cli;

import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.Location;
import com.quorvel.bridge.client.RuleCatalog;
import com.quorvel.bridge.client.SuppressionState;
import java.io.PrintStream;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.TreeMap;

/** Prints the readable summary of an analysis. */
final class Summary {
    private static final Location NOWHERE = new Location("", 0, 0);

    private Summary() {}

    /**
     * Prints the counts per file (of the files with active diagnostics, by path) and per severity, then every active
     * diagnostic in the listing's order, then how many a comment in the source suppresses; returns the number of
     * active diagnostics.
     */
    static int print(PrintStream out, Path sourceFolder, Map<Path, List<Diagnostic>> byFile,
            RuleCatalog rules) {
        Map<String, Integer> perFile = new TreeMap<>();
        Map<String, Integer> perSeverity = new LinkedHashMap<>();
        for (RuleCatalog.Entry rule : rules.rules()) {
            perSeverity.putIfAbsent(rule.severity().text(), 0);
        }
        int switchedOff = 0;
        int inSource = 0;
        List<ListingLine> lines = new ArrayList<>();
        for (Map.Entry<Path, List<Diagnostic>> entry : byFile.entrySet()) {
            String file = shown(sourceFolder, entry.getKey().toString());
            for (Diagnostic d : entry.getValue()) {
                if (d.suppressionState() == SuppressionState.IN_SOURCE) {
                    inSource++;
                    continue;
                }
                if (d.suppressionState() != SuppressionState.ACTIVE) {
                    switchedOff++;
                    continue;
                }
                perFile.merge(file, 1, Integer::sum);
                perSeverity.merge(d.severity().text(), 1, Integer::sum);
                lines.add(ListingLine.of(sourceFolder, d));
            }
        }
        lines.sort(ListingLine.ORDER);
        out.println("diagnostics per file:");
        perFile.forEach((file, count) -> out.printf("%8d  %s%n", count, file));
        out.println("diagnostics per severity:");
        perSeverity.forEach((severity, count) -> out.printf("%8d  %s%n", count, severity));
        out.println();
        lines.forEach(out::println);
        int active = lines.size();
        out.printf("%d diagnostic%s", active, active == 1 ? "" : "s");
        if (switchedOff > 0) {
            out.printf(" (%d more of rules switched off, not shown)", switchedOff);
        }
        out.println();
        if (inSource > 0) {
            out.printf("%d more suppressed in the source, not shown%n", inSource);
        }
        return active;
    }

    /** The diagnostic's first location; a diagnostic without one is placed at line 0 of no file. */
    static Location primary(Diagnostic diagnostic) {
        return diagnostic.locations().isEmpty() ? NOWHERE : diagnostic.locations().get(0);
    }

    /** A path below the source folder is shown relative to it. */
    static String shown(Path sourceFolder, String file) {
        Path path = Paths.get(file);
        return path.startsWith(sourceFolder) ? sourceFolder.relativize(path).toString() : file;
    }
}
