package com.quorvel.bridge.client;

import java.util.List;
import java.util.Map;
import java.util.Optional;

/**
 * Decodes the compact result texts of {@link com.quorvel.bridge.caller.KERVBridge} into records, for programs that
 * call the bridge themselves. {@link KervSession} and {@link Project} decode their results with these methods.
 *
 * <p>Each method reads its text in one pass straight from its bytes; nesting of any depth is decoded. An empty text
 * (the bridge's "nothing to report") gives the empty result. The texts are read as the bridge writes them: elements
 * back to back, each where a result of its kind has it and in the order the bridge writes them (elements it leaves
 * out may be missing); values checked as an XML parser checks them, with the writers' escaping undone and the values
 * the bridge writes verbatim (paths, identifiers, producers, help locations) taken as they are, markup characters
 * included. Any other text throws {@link KervException} with status -1, whose message names the byte offset and what
 * was expected there: a text cut short, an unknown or misplaced element, a bad escape, an element inside a value,
 * text between elements, bytes that are not UTF-8 or characters that XML does not allow.
 */
public final class ResultDecoder {
    private ResultDecoder() {}

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
        return DiagnosticDecoder.decode(new CompactReader(xml, "getDiagnostics"), catalog);
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
        return RuleDecoder.ruleGroups(new CompactReader(xml, "getRuleGroups"));
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
        return RuleDecoder.messageRuleMap(new CompactReader(xml, "getMessageRuleMap"));
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
        return Optional.of(TreeDecoder.decode(new CompactReader(xml, "getTrees")));
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
        return Optional.of(FileDecoder.sourceFile(CompactReader.of(xml, "getVQFile")));
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
        return FileDecoder.languages(CompactReader.of(xml, "getAvailableLanguages"));
    }
}
