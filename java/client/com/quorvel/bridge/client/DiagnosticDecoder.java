package com.quorvel.bridge.client;

import java.util.ArrayList;
import java.util.Collections;
import java.util.List;

/** Decodes a diagnostic list ("VQE" holding nested "VQD" elements) into {@link Diagnostic} records. */
final class DiagnosticDecoder {
    private DiagnosticDecoder() {}

    /**
     * One diagnostic while its element is open. A builder serves every diagnostic at its depth in turn: the records
     * copy the lists, so the lists are cleared and reused rather than allocated per diagnostic.
     */
    private static final class Builder {
        String messageId;
        String helpFileLocation;
        int level;
        String messageNumber;
        String text;
        String producer;
        final List<String> references = new ArrayList<>();
        boolean multiHomed;
        int suppressionState;
        boolean hasSubDiagnostics;
        final List<Diagnostic> subDiagnostics = new ArrayList<>();
        final List<String> parameters = new ArrayList<>();
        final List<Location> locations = new ArrayList<>();

        Builder reset() {
            messageId = "";
            helpFileLocation = "";
            level = 0;
            messageNumber = "";
            text = "";
            producer = "";
            references.clear();
            multiHomed = false;
            suppressionState = 0;
            hasSubDiagnostics = false;
            subDiagnostics.clear();
            parameters.clear();
            locations.clear();
            return this;
        }

        Diagnostic build(RuleCatalog catalog) {
            String ruleId = catalog.ruleIdOf(messageId);
            return new Diagnostic(messageId, helpFileLocation, MessageLevel.of(level), messageNumber, text, producer,
                    references, multiHomed, SuppressionState.of(suppressionState), hasSubDiagnostics, subDiagnostics,
                    parameters, locations, ruleId, catalog.severityOf(ruleId));
        }
    }

    static List<Diagnostic> decode(ResultReader in, RuleCatalog catalog) {
        List<Diagnostic> top = new ArrayList<>();
        List<Builder> open = new ArrayList<>();
        int depth = 0;
        Builder current = null;
        String file = "";
        int line = 0;
        int column = 0;
        for (int event = in.next(); event != ResultReader.DONE; event = in.next()) {
            String name = in.name();
            if (event == ResultReader.END) {
                if ("VQD".equals(name)) {
                    Diagnostic done = current.build(catalog);
                    depth--;
                    current = depth == 0 ? null : open.get(depth - 1);
                    (current == null ? top : current.subDiagnostics).add(done);
                } else if ("LI".equals(name)) {
                    current.locations.add(new Location(file, line, column));
                }
                continue;
            }
            if ("VQD".equals(name)) {
                if (depth == open.size()) {
                    open.add(new Builder());
                }
                current = open.get(depth++).reset();
                continue;
            }
            if ("VQE".equals(name)) {
                continue;
            }
            if (current == null) {
                throw in.unexpected();
            }
            switch (name) {
                case "VQM" -> { }
                case "UMID" -> current.messageId = in.text();
                case "HFL" -> current.helpFileLocation = in.text();
                case "ML" -> current.level = in.number();
                case "MN" -> current.messageNumber = in.text();
                case "MT" -> current.text = in.text();
                case "P" -> current.producer = in.text();
                case "R" -> current.references.add(in.text());
                case "MH" -> current.multiHomed = in.flag();
                case "SS" -> current.suppressionState = in.number();
                case "SD" -> current.hasSubDiagnostics = in.flag();
                case "MP" -> current.parameters.add(in.text());
                case "LI" -> {
                    file = "";
                    line = 0;
                    column = 0;
                }
                case "F" -> file = in.text();
                case "L" -> line = in.number();
                case "C" -> column = in.number();
                default -> in.skip();
            }
        }
        return Collections.unmodifiableList(top);
    }
}
