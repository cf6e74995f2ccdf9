package com.quorvel.bridge.client;

import java.util.List;
import java.util.Objects;

/**
 * A rule of the analysis library, with the rules nested below it.
 *
 * @param id the rule's id
 * @param active whether the rule is switched on
 * @param helpFileLocation where the rule's help is, possibly empty
 * @param group the rule's group text (with the reference library, its severity)
 * @param text the rule's text
 * @param uid the rule's unique id
 * @param categories the rule's categories, possibly none
 * @param children the rules nested below this one, possibly none
 */
public record Rule(
        String id,
        boolean active,
        String helpFileLocation,
        String group,
        String text,
        String uid,
        List<String> categories,
        List<Rule> children) {
    private static final String PARAGRAPH_BREAK = "\n\n";

    /**
     * Creates a rule; the lists are copied and must not hold null.
     *
     * @param id the rule's id
     * @param active whether the rule is switched on
     * @param helpFileLocation where the rule's help is, possibly empty
     * @param group the rule's group text (with the reference library, its severity)
     * @param text the rule's text
     * @param uid the rule's unique id
     * @param categories the rule's categories, possibly none
     * @param children the rules nested below this one, possibly none
     */
    public Rule {
        Objects.requireNonNull(id, "id");
        Objects.requireNonNull(helpFileLocation, "helpFileLocation");
        Objects.requireNonNull(group, "group");
        Objects.requireNonNull(text, "text");
        Objects.requireNonNull(uid, "uid");
        categories = List.copyOf(categories);
        children = List.copyOf(children);
    }

    /**
     * Returns the rule's summary: its text up to the first blank line.
     *
     * @return the first paragraph of the text, possibly empty
     */
    public String summary() {
        int end = text.indexOf(PARAGRAPH_BREAK);
        return end < 0 ? text : text.substring(0, end);
    }

    /**
     * Returns the rule's description: its text after the first blank line, or the whole text when it has one
     * paragraph only.
     *
     * @return the description, possibly empty
     */
    public String description() {
        int end = text.indexOf(PARAGRAPH_BREAK);
        return end < 0 ? text : text.substring(end + PARAGRAPH_BREAK.length());
    }
}
