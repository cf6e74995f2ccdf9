package com.quorvel.bridge.client;

import java.util.HashMap;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.Optional;

/**
 * The rules of a project by id, with the severity of each, and the rule that each message id belongs to. Built once
 * from the rule groups and the message-rule map ({@link Project#ruleCatalog()}), it classifies every diagnostic with a
 * map look-up.
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
    private final Map<String, String> ruleOfMessage = new HashMap<>();

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
                add(rule, severity);
            }
        }
        messageRuleMap.forEach((message, ruleIds) -> {
            if (!ruleIds.isEmpty()) {
                ruleOfMessage.put(message, ruleIds.get(0));
            }
        });
    }

    private void add(Rule rule, Severity severity) {
        rules.putIfAbsent(rule.id(), new Entry(rule, severity));
        for (Rule child : rule.children()) {
            add(child, severity);
        }
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
