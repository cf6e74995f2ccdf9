package com.quorvel.bridge.client;

import java.util.List;
import java.util.Map;
import java.util.Optional;

/**
 * The reference decoder of the compact result texts, for tests and the client's benchmark: the JDK's streaming XML
 * reader with the verbatim values escaped first, as the client decoded its results before it had a reader of its own.
 * {@link ResultDecoder} must give the same records for every text the writers make, and refuse every text this one
 * refuses.
 *
 * <p>An empty text gives the empty result. A text that is not well-formed XML, or that holds an element where a result
 * of its kind cannot have one, throws {@link KervException} with status -1; elements a result of its kind does not
 * know are skipped, and text between elements is ignored.
 */
public final class StaxResultDecoder {
    private StaxResultDecoder() {}

    /**
     * Decodes the result of {@code getDiagnostics}; each diagnostic's rule id is its message id, its severity
     * {@link Severity#UNKNOWN}.
     *
     * @param xml the result's bytes (UTF-8)
     * @return the top-level diagnostics in the result's order, each with its sub-diagnostics; empty for an empty text
     */
    public static List<Diagnostic> diagnostics(byte[] xml) {
        return diagnostics(xml, RuleCatalog.EMPTY);
    }

    /**
     * Decodes the result of {@code getDiagnostics}, giving each diagnostic its rule and severity from a catalog.
     *
     * @param xml the result's bytes (UTF-8)
     * @param catalog the project's rules, as {@link Project#ruleCatalog()} gives them
     * @return the top-level diagnostics in the result's order, each with its sub-diagnostics; empty for an empty text
     */
    public static List<Diagnostic> diagnostics(byte[] xml, RuleCatalog catalog) {
        if (xml.length == 0) {
            return List.of();
        }
        try (StaxResultReader in = StaxResultReader.of(xml, "getDiagnostics")) {
            return StaxDiagnosticDecoder.decode(in, catalog);
        }
    }

    /**
     * Decodes the result of {@code getRuleGroups}.
     *
     * @param xml the result's bytes (UTF-8)
     * @return the rule groups with their rules; empty for an empty text
     */
    public static List<RuleGroup> ruleGroups(byte[] xml) {
        if (xml.length == 0) {
            return List.of();
        }
        try (StaxResultReader in = StaxResultReader.of(xml, "getRuleGroups")) {
            return List.copyOf(StaxRuleDecoder.ruleGroups(in));
        }
    }

    /**
     * Decodes the result of {@code getMessageRuleMap}.
     *
     * @param xml the result's bytes (UTF-8)
     * @return for each message id, the ids of the rules it is mapped to, in the result's order; empty for an empty text
     */
    public static Map<String, List<String>> messageRuleMap(byte[] xml) {
        if (xml.length == 0) {
            return Map.of();
        }
        try (StaxResultReader in = StaxResultReader.of(xml, "getMessageRuleMap")) {
            return StaxRuleDecoder.messageRuleMap(in);
        }
    }

    /**
     * Decodes the result of {@code getTrees}.
     *
     * @param xml the result's bytes (UTF-8)
     * @return the three trees; empty for an empty text
     */
    public static Optional<Trees> trees(byte[] xml) {
        if (xml.length == 0) {
            return Optional.empty();
        }
        try (StaxResultReader in = StaxResultReader.of(xml, "getTrees")) {
            return Optional.of(StaxTreeDecoder.decode(in));
        }
    }

    /**
     * Decodes the result of {@code getVQFile}.
     *
     * @param xml the result's text
     * @return the file's settings; empty for an empty text
     */
    public static Optional<SourceFile> sourceFile(String xml) {
        if (xml.isEmpty()) {
            return Optional.empty();
        }
        try (StaxResultReader in = StaxResultReader.of(xml, "getVQFile")) {
            return Optional.of(StaxFileDecoder.sourceFile(in));
        }
    }

    /**
     * Decodes the result of {@code getAvailableLanguages}.
     *
     * @param xml the result's text
     * @return the languages in the result's order; empty for an empty text
     */
    public static List<SourceLanguage> languages(String xml) {
        if (xml.isEmpty()) {
            return List.of();
        }
        try (StaxResultReader in = StaxResultReader.of(xml, "getAvailableLanguages")) {
            return StaxFileDecoder.languages(in);
        }
    }
}
