package com.quorvel.bridge.client;

import java.util.List;
import java.util.Objects;

/**
 * A named group of rules.
 *
 * @param name the group's name
 * @param rules the group's top-level rules, possibly none
 */
public record RuleGroup(String name, List<Rule> rules) {
    /**
     * Creates a rule group; the list is copied and must not hold null.
     *
     * @param name the group's name
     * @param rules the group's top-level rules, possibly none
     */
    public RuleGroup {
        Objects.requireNonNull(name, "name");
        rules = List.copyOf(rules);
    }
}
