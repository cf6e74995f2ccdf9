package com.quorvel.bridge.client;

import java.util.ArrayList;
import java.util.Collections;
import java.util.List;

/**
 * Decodes a diagnostic list ({@link Tags#VQ_ENTITIES} holding nested {@link Tags#VQ_DIAGNOSTIC_LIST}
 * elements) into {@link Diagnostic} records.
 */
final class StaxDiagnosticDecoder {
    private StaxDiagnosticDecoder() {}

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

    static List<Diagnostic> decode(StaxResultReader in, RuleCatalog catalog) {
        List<Diagnostic> top = new ArrayList<>();
        List<Builder> open = new ArrayList<>();
        int depth = 0;
        Builder current = null;
        String file = "";
        int line = 0;
        int column = 0;
        for (int event = in.next(); event != StaxResultReader.DONE; event = in.next()) {
            String name = in.name();
            if (event == StaxResultReader.END) {
                if (Tags.VQ_DIAGNOSTIC_LIST.equals(name)) {
                    Diagnostic done = current.build(catalog);
                    depth--;
                    current = depth == 0 ? null : open.get(depth - 1);
                    (current == null ? top : current.subDiagnostics).add(done);
                } else if (Tags.LOCATION_INFORMATION.equals(name)) {
                    current.locations.add(new Location(file, line, column));
                }
                continue;
            }
            if (Tags.VQ_DIAGNOSTIC_LIST.equals(name)) {
                if (depth == open.size()) {
                    open.add(new Builder());
                }
                current = open.get(depth++).reset();
                continue;
            }
            if (Tags.VQ_ENTITIES.equals(name)) {
                continue;
            }
            if (current == null) {
                throw in.unexpected();
            }
            switch (name) {
                case Tags.MESSAGE -> { }
                case Tags.UNIQUE_MESSAGE_ID -> current.messageId = in.text();
                case Tags.HELP_FILE_LOCATION -> current.helpFileLocation = in.text();
                case Tags.MESSAGE_LEVEL -> current.level = in.number();
                case Tags.MESSAGE_NUMBER -> current.messageNumber = in.text();
                case Tags.MESSAGE_TEXT -> current.text = in.text();
                case Tags.PRODUCER -> current.producer = in.text();
                case Tags.REFERENCES -> current.references.add(in.text());
                case Tags.MULTI_HOMED -> current.multiHomed = in.flag();
                case Tags.SUPPRESSION_STATE -> current.suppressionState = in.number();
                case Tags.SUB_DIAGNOSTICS -> current.hasSubDiagnostics = in.flag();
                case Tags.MESSAGE_PARAMETERS -> current.parameters.add(in.text());
                case Tags.LOCATION_INFORMATION -> {
                    file = "";
                    line = 0;
                    column = 0;
                }
                case Tags.FILE -> file = in.text();
                case Tags.LINE -> line = in.number();
                case Tags.COLUMN -> column = in.number();
                default -> in.skip();
            }
        }
        return Collections.unmodifiableList(top);
    }
}
