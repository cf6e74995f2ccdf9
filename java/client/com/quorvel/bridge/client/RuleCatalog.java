package com.quorvel.bridge.client;

import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.Collections;
import java.util.HashMap;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.Optional;

/**
 * The rules of a project by id, with the severity of each, and the rule that each message id belongs to. Built once
 * from the rule groups and the message-rule map ({@link Project#ruleCatalog()}), it classifies every diagnostic with
 * one look-up of its message id's bytes in a table made with the catalog.
 */
public final class RuleCatalog {
    /** The catalog that knows no rule: every message is its own rule, of {@link Severity#UNKNOWN}. */
    public static final RuleCatalog EMPTY = new RuleCatalog(List.of(), Map.of());

    /**
     * A rule with the severity of its group.
     *
     * @param rule the rule
     * @param severity the severity of its group
     */
    public record Entry(Rule rule, Severity severity) {}

    private final Map<String, Entry> rules = new LinkedHashMap<>();
    /** The groups' own rules, without the nested ones, in the groups' order. */
    private final List<Entry> groupRules = new ArrayList<>();
    private final Map<String, String> ruleOfMessage = new HashMap<>();
    /** Every message id the catalog knows, with its rule and severity, by the id's UTF-8 bytes (open addressing). */
    private final Keyed[] byBytes;

    /**
     * A message id with the id and severity of its rule, as a diagnostic gets them.
     *
     * @param messageId the message id
     * @param ruleId the id of its rule
     * @param severity the rule's severity
     */
    record Classification(String messageId, String ruleId, Severity severity) {}

    /** A table entry: the classification of the message id whose UTF-8 bytes are the key. */
    private record Keyed(byte[] key, Classification classification) {}

    /**
     * Builds a catalog. Nested rules belong to the group of their top-level rule; a message mapped to several rules
     * belongs to the first; a message id that is not mapped is taken as the id of its rule.
     *
     * @param groups the rule groups, as {@link Project#ruleGroups()} gives them
     * @param messageRuleMap the map, as {@link Project#messageRuleMap()} gives it
     */
    public RuleCatalog(List<RuleGroup> groups, Map<String, List<String>> messageRuleMap) {
        for (RuleGroup group : groups) {
            Severity severity = Severity.ofGroup(group.name());
            for (Rule rule : group.rules()) {
                groupRules.add(new Entry(rule, severity));
                add(rule, severity);
            }
        }
        messageRuleMap.forEach((message, ruleIds) -> {
            if (!ruleIds.isEmpty()) {
                ruleOfMessage.put(message, ruleIds.get(0));
            }
        });
        byBytes = table();
    }

    /** The table of every rule id and mapped message id, the ids a message id can be classified by. */
    private Keyed[] table() {
        Map<String, Classification> known = new HashMap<>();
        for (String ruleId : rules.keySet()) {
            known.put(ruleId, classify(ruleId));
        }
        for (String messageId : ruleOfMessage.keySet()) {
            known.put(messageId, classify(messageId));
        }
        int size = Integer.highestOneBit(Math.max(8, known.size() * 2 + 1)) * 2;
        Keyed[] slots = new Keyed[size];
        for (Classification classification : known.values()) {
            byte[] key = classification.messageId().getBytes(StandardCharsets.UTF_8);
            if (!new String(key, StandardCharsets.UTF_8).equals(classification.messageId())) {
                continue;  // a lone surrogate: no result text holds this id
            }
            int slot = ByteRanges.hash(key, 0, key.length) & (size - 1);
            while (slots[slot] != null) {
                slot = (slot + 1) & (size - 1);
            }
            slots[slot] = new Keyed(key, classification);
        }
        return slots;
    }

    /**
     * Classifies a message id by its UTF-8 bytes.
     *
     * @return the classification, or null for an id the catalog does not know, which is its own rule, of
     *     {@link Severity#UNKNOWN}: the table holds every rule id and every mapped message id
     */
    Classification classification(byte[] bytes, int from, int to) {
        int mask = byBytes.length - 1;
        for (int slot = ByteRanges.hash(bytes, from, to) & mask;; slot = (slot + 1) & mask) {
            Keyed keyed = byBytes[slot];
            if (keyed == null) {
                return null;
            }
            byte[] key = keyed.key();
            if (key.length == to - from && ByteRanges.same(key, 0, bytes, from, key.length)) {
                return keyed.classification();
            }
        }
    }

    /** Classifies a message id as {@link #ruleIdOf} and {@link #severityOf} do. */
    Classification classify(String messageId) {
        String ruleId = ruleIdOf(messageId);
        return new Classification(messageId, ruleId, severityOf(ruleId));
    }

    private void add(Rule rule, Severity severity) {
        rules.putIfAbsent(rule.id(), new Entry(rule, severity));
        for (Rule child : rule.children()) {
            add(child, severity);
        }
    }

    /**
     * Returns the rules of the groups in their order, each with its group's severity; nested rules are reached
     * through {@link Rule#children()}.
     *
     * @return the rules; empty for a catalog without groups
     */
    public List<Entry> rules() {
        return Collections.unmodifiableList(groupRules);
    }

    /**
     * Returns the id of the rule a message belongs to.
     *
     * @param messageId a diagnostic's message id
     * @return the rule's id
     */
    public String ruleIdOf(String messageId) {
        return ruleOfMessage.getOrDefault(messageId, messageId);
    }

    /**
     * Returns the severity of a rule.
     *
     * @param ruleId the rule's id
     * @return the severity of its group; {@link Severity#UNKNOWN} for a rule the catalog does not hold
     */
    public Severity severityOf(String ruleId) {
        Entry entry = rules.get(ruleId);
        return entry == null ? Severity.UNKNOWN : entry.severity();
    }

    /**
     * Finds a rule.
     *
     * @param ruleId the rule's id
     * @return the rule and its severity; empty for a rule the catalog does not hold
     */
    public Optional<Entry> rule(String ruleId) {
        return Optional.ofNullable(rules.get(ruleId));
    }
}
