package com.quorvel.bridge.cli;

import java.io.PrintStream;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.Comparator;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.TreeMap;

/** Prints the readable summary of an analysis. */
final class Summary {
    private Summary() {}

    /**
     * Prints the counts per file and per severity, then every active diagnostic of each analysed file in the order
     * of its location; returns the number of active diagnostics.
     */
    static int print(PrintStream out, Path sourceFolder, Map<Path, List<ResultXml.Diagnostic>> byFile,
            Map<String, ResultXml.Rule> rules) {
        Map<String, Integer> perFile = new TreeMap<>();
        Map<String, Integer> perSeverity = new LinkedHashMap<>();
        for (ResultXml.Rule rule : rules.values()) {
            perSeverity.putIfAbsent(rule.group, 0);
        }
        int active = 0;
        int switchedOff = 0;
        StringBuilder lines = new StringBuilder();
        for (Map.Entry<Path, List<ResultXml.Diagnostic>> entry : byFile.entrySet()) {
            String file = shown(sourceFolder, entry.getKey().toString());
            perFile.put(file, 0);
            List<ResultXml.Diagnostic> inLineOrder = new ArrayList<>(entry.getValue());
            inLineOrder.sort(Comparator.comparing((ResultXml.Diagnostic d) -> d.file)
                    .thenComparingInt(d -> d.line).thenComparingInt(d -> d.column));
            for (ResultXml.Diagnostic d : inLineOrder) {
                if (!d.active) {
                    switchedOff++;
                    continue;
                }
                active++;
                String severity = severityOf(d, rules);
                perFile.merge(file, 1, Integer::sum);
                perSeverity.merge(severity, 1, Integer::sum);
                lines.append(shown(sourceFolder, d.file)).append(':').append(d.line).append(':').append(d.column)
                        .append(": ").append(severity).append(": ").append(d.text).append(" [").append(d.ruleId)
                        .append("]").append(System.lineSeparator());
            }
        }
        out.println("diagnostics per file:");
        perFile.forEach((file, count) -> out.printf("%8d  %s%n", count, file));
        out.println("diagnostics per severity:");
        perSeverity.forEach((severity, count) -> out.printf("%8d  %s%n", count, severity));
        out.println();
        out.print(lines);
        out.printf("%d diagnostic%s", active, active == 1 ? "" : "s");
        if (switchedOff > 0) {
            out.printf(" (%d more of rules switched off, not shown)", switchedOff);
        }
        out.println();
        return active;
    }

    static String severityOf(ResultXml.Diagnostic diagnostic, Map<String, ResultXml.Rule> rules) {
        ResultXml.Rule rule = rules.get(diagnostic.ruleId);
        return rule == null ? "unknown" : rule.group;
    }

    /** A path below the source folder is shown relative to it. */
    static String shown(Path sourceFolder, String file) {
        Path path = Paths.get(file);
        return path.startsWith(sourceFolder) ? sourceFolder.relativize(path).toString() : file;
    }
}
