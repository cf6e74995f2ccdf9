package com.quorvel.bridge.client;

import java.util.ArrayList;
import java.util.Collections;
import java.util.List;

/**
 * Decodes a diagnostic list ({@link Tags#VQ_ENTITIES} holding nested {@link Tags#VQ_DIAGNOSTIC_LIST} elements) into
 * {@link Diagnostic} records. A diagnostic holds its message, its flags, its sub-diagnostics, then its parameters and
 * locations, each part optional but in that order; sub-diagnostics nest to any depth, decoded without recursion.
 */
final class DiagnosticDecoder {
    private static final ElementTag ENTITIES = new ElementTag(Tags.VQ_ENTITIES);
    private static final ElementTag DIAGNOSTIC = new ElementTag(Tags.VQ_DIAGNOSTIC_LIST);
    private static final ElementTag MESSAGE = new ElementTag(Tags.MESSAGE);
    private static final ElementTag MESSAGE_ID = new ElementTag(Tags.UNIQUE_MESSAGE_ID);
    private static final ElementTag HELP = new ElementTag(Tags.HELP_FILE_LOCATION);
    private static final ElementTag LEVEL = new ElementTag(Tags.MESSAGE_LEVEL);
    private static final ElementTag NUMBER = new ElementTag(Tags.MESSAGE_NUMBER);
    private static final ElementTag TEXT = new ElementTag(Tags.MESSAGE_TEXT);
    private static final ElementTag PRODUCER = new ElementTag(Tags.PRODUCER);
    private static final ElementTag REFERENCE = new ElementTag(Tags.REFERENCES);
    private static final ElementTag MULTI_HOMED = new ElementTag(Tags.MULTI_HOMED);
    private static final ElementTag SUPPRESSION_STATE = new ElementTag(Tags.SUPPRESSION_STATE);
    private static final ElementTag SUB_DIAGNOSTICS = new ElementTag(Tags.SUB_DIAGNOSTICS);
    private static final ElementTag PARAMETER = new ElementTag(Tags.MESSAGE_PARAMETERS);
    private static final ElementTag LOCATION = new ElementTag(Tags.LOCATION_INFORMATION);
    private static final ElementTag FILE = new ElementTag(Tags.FILE);
    private static final ElementTag LINE = new ElementTag(Tags.LINE);
    private static final ElementTag COLUMN = new ElementTag(Tags.COLUMN);

    private DiagnosticDecoder() {}

    /**
     * One diagnostic while its element is open. A builder serves every diagnostic at its depth in turn: the records
     * copy the lists, so the lists are cleared and reused rather than allocated per diagnostic.
     */
    private static final class Builder {
        RuleCatalog.Classification classification;
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

        Builder reset(RuleCatalog.Classification unnamed) {
            classification = unnamed;
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

        Diagnostic build() {
            return new Diagnostic(classification.messageId(), helpFileLocation, MessageLevel.of(level), messageNumber,
                    text, producer, Lists.frozen(references), multiHomed, SuppressionState.of(suppressionState),
                    hasSubDiagnostics, Lists.frozen(subDiagnostics), Lists.frozen(parameters), Lists.frozen(locations),
                    classification.ruleId(), classification.severity());
        }
    }

    static List<Diagnostic> decode(CompactReader in, RuleCatalog catalog) {
        RuleCatalog.Classification unnamed = catalog.classify("");
        List<Diagnostic> top = new ArrayList<>();
        List<Builder> open = new ArrayList<>();
        in.open(ENTITIES);
        while (in.at(DIAGNOSTIC)) {
            int depth = 0;
            Builder current = builder(open, depth++, unnamed);
            readHead(in, current, catalog);
            while (true) {
                if (in.at(DIAGNOSTIC)) {
                    current = builder(open, depth++, unnamed);
                    readHead(in, current, catalog);
                    continue;
                }
                readTail(in, current);
                in.close(DIAGNOSTIC);
                Diagnostic done = current.build();
                if (--depth == 0) {
                    top.add(done);
                    break;
                }
                current = open.get(depth - 1);
                current.subDiagnostics.add(done);
            }
        }
        in.close(ENTITIES);
        in.end();
        return Collections.unmodifiableList(top);
    }

    private static Builder builder(List<Builder> open, int depth, RuleCatalog.Classification unnamed) {
        if (depth == open.size()) {
            open.add(new Builder());
        }
        return open.get(depth).reset(unnamed);
    }

    /** The message and the flags. */
    private static void readHead(CompactReader in, Builder diagnostic, RuleCatalog catalog) {
        if (in.at(MESSAGE)) {
            if (in.at(MESSAGE_ID)) {
                diagnostic.classification = classify(in, catalog);
            }
            if (in.at(HELP)) {
                diagnostic.helpFileLocation = in.value(HELP);
            }
            if (in.at(LEVEL)) {
                diagnostic.level = in.number(LEVEL);
            }
            if (in.at(NUMBER)) {
                diagnostic.messageNumber = in.value(NUMBER);
            }
            if (in.at(TEXT)) {
                diagnostic.text = in.value(TEXT);
            }
            if (in.at(PRODUCER)) {
                diagnostic.producer = in.value(PRODUCER);
            }
            while (in.at(REFERENCE)) {
                diagnostic.references.add(in.cdata(REFERENCE));
            }
            in.close(MESSAGE);
        }
        if (in.at(MULTI_HOMED)) {
            diagnostic.multiHomed = in.flag(MULTI_HOMED);
        }
        if (in.at(SUPPRESSION_STATE)) {
            diagnostic.suppressionState = in.number(SUPPRESSION_STATE);
        }
        if (in.at(SUB_DIAGNOSTICS)) {
            diagnostic.hasSubDiagnostics = in.flag(SUB_DIAGNOSTICS);
        }
    }

    /**
     * The message id with its rule and severity, looked up by the id's bytes in the catalog's table: an id the
     * catalog knows costs neither a string nor a map look-up, and one it does not know is its own rule.
     */
    private static RuleCatalog.Classification classify(CompactReader in, RuleCatalog catalog) {
        in.scan(MESSAGE_ID);
        if (!in.textIsRaw()) {
            return catalog.classify(in.text(CompactReader.SHARED_LENGTH));  // line breaks undone: not its bytes
        }
        RuleCatalog.Classification known = catalog.classification(in.bytes(), in.textFrom(), in.textTo());
        if (known != null) {
            return known;
        }
        String messageId = in.text(CompactReader.SHARED_LENGTH);
        return new RuleCatalog.Classification(messageId, messageId, Severity.UNKNOWN);
    }

    /** The parameters and the locations. */
    private static void readTail(CompactReader in, Builder diagnostic) {
        while (in.at(PARAMETER)) {
            diagnostic.parameters.add(in.cdata(PARAMETER));
        }
        while (in.at(LOCATION)) {
            String file = "";
            int line = 0;
            int column = 0;
            if (in.at(FILE)) {
                file = in.path(FILE);
            }
            if (in.at(LINE)) {
                line = in.number(LINE);
            }
            if (in.at(COLUMN)) {
                column = in.number(COLUMN);
            }
            in.close(LOCATION);
            diagnostic.locations.add(new Location(file, line, column));
        }
    }
}
