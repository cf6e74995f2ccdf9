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
    /** Checks the name and makes the list an unmodifiable copy. */
    public RuleGroup {
        Objects.requireNonNull(name, "name");
        rules = List.copyOf(rules);
    }
}
