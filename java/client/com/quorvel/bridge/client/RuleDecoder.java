package com.quorvel.bridge.client;

import java.util.ArrayList;
import java.util.Collections;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;

/**
 * Decodes the rule groups ({@link Tags#VQ_RULE_GROUP}) and the message-rule map ({@link Tags#VQ_MESSAGE_RULE_MAP}).
 * Rules nest to any depth, decoded without recursion.
 */
final class RuleDecoder {
    private static final ElementTag GROUPS = new ElementTag(Tags.VQ_RULE_GROUP);
    private static final ElementTag GROUP = new ElementTag(Tags.VQ_RULE_GROUP_ENTRY);
    private static final ElementTag GROUP_NAME = new ElementTag(Tags.RULE_GROUP_NAME);
    private static final ElementTag RULE = new ElementTag(Tags.RULE);
    private static final ElementTag RULE_ID = new ElementTag(Tags.RULE_ID);
    private static final ElementTag IS_ACTIVE = new ElementTag(Tags.IS_ACTIVE);
    private static final ElementTag HELP = new ElementTag(Tags.HELP_FILE_LOCATION);
    private static final ElementTag RULE_GROUP = new ElementTag(Tags.RULE_GROUP_STR);
    private static final ElementTag RULE_TEXT = new ElementTag(Tags.RULE_TEXT);
    private static final ElementTag RULE_UID = new ElementTag(Tags.RULE_UID);
    private static final ElementTag CATEGORY = new ElementTag(Tags.RULE_CATEGORY);
    private static final ElementTag MAP = new ElementTag(Tags.VQ_MESSAGE_RULE_MAP);
    private static final ElementTag MAP_ENTRY = new ElementTag(Tags.VQ_MESSAGE_RULE_MAP_ENTRY);
    private static final ElementTag MESSAGE_ID = new ElementTag(Tags.UNIQUE_MESSAGE_ID);
    private static final ElementTag MAPPED_RULE_ID = new ElementTag(Tags.UNIQUE_RULE_ID_LIST);

    private RuleDecoder() {}

    /** One rule while its element is open; a builder serves every rule at its depth in turn. */
    private static final class Builder {
        String id;
        boolean active;
        String helpFileLocation;
        String group;
        String text;
        String uid;
        final List<String> categories = new ArrayList<>();
        final List<Rule> children = new ArrayList<>();

        Builder reset() {
            id = "";
            active = false;
            helpFileLocation = "";
            group = "";
            text = "";
            uid = "";
            categories.clear();
            children.clear();
            return this;
        }

        Rule build() {
            return new Rule(id, active, helpFileLocation, group, text, uid, categories, children);
        }
    }

    static List<RuleGroup> ruleGroups(CompactReader in) {
        List<RuleGroup> groups = new ArrayList<>();
        List<Builder> open = new ArrayList<>();
        in.open(GROUPS);
        while (in.at(GROUP)) {
            String name = in.at(GROUP_NAME) ? in.value(GROUP_NAME) : "";
            List<Rule> rules = new ArrayList<>();
            while (in.at(RULE)) {
                rules.add(rule(in, open));
            }
            in.close(GROUP);
            groups.add(new RuleGroup(name, rules));
        }
        in.close(GROUPS);
        in.end();
        return List.copyOf(groups);
    }

    /** The rule whose opening tag the reader has passed, with its nested rules. */
    private static Rule rule(CompactReader in, List<Builder> open) {
        int depth = 0;
        Builder current = builder(open, depth++);
        readRule(in, current);
        while (true) {
            if (in.at(RULE)) {
                current = builder(open, depth++);
                readRule(in, current);
                continue;
            }
            in.close(RULE);
            Rule done = current.build();
            if (--depth == 0) {
                return done;
            }
            current = open.get(depth - 1);
            current.children.add(done);
        }
    }

    private static Builder builder(List<Builder> open, int depth) {
        if (depth == open.size()) {
            open.add(new Builder());
        }
        return open.get(depth).reset();
    }

    private static void readRule(CompactReader in, Builder rule) {
        if (in.at(RULE_ID)) {
            rule.id = in.value(RULE_ID);
        }
        if (in.at(IS_ACTIVE)) {
            rule.active = in.digitFlag(IS_ACTIVE);
        }
        if (in.at(HELP)) {
            rule.helpFileLocation = in.value(HELP);
        }
        if (in.at(RULE_GROUP)) {
            rule.group = in.value(RULE_GROUP);
        }
        if (in.at(RULE_TEXT)) {
            rule.text = in.value(RULE_TEXT);
        }
        if (in.at(RULE_UID)) {
            rule.uid = in.value(RULE_UID);
        }
        while (in.at(CATEGORY)) {
            rule.categories.add(in.value(CATEGORY));
        }
    }

    /** Entries without a message id are left out, as the map has no key for them. */
    static Map<String, List<String>> messageRuleMap(CompactReader in) {
        Map<String, List<String>> map = new LinkedHashMap<>();
        List<String> ruleIds = new ArrayList<>();
        in.open(MAP);
        while (in.at(MAP_ENTRY)) {
            String messageId = in.at(MESSAGE_ID) ? in.value(MESSAGE_ID) : null;
            ruleIds.clear();
            while (in.at(MAPPED_RULE_ID)) {
                ruleIds.add(in.value(MAPPED_RULE_ID));
            }
            in.close(MAP_ENTRY);
            if (messageId != null) {
                map.put(messageId, List.copyOf(ruleIds));
            }
        }
        in.close(MAP);
        in.end();
        return Collections.unmodifiableMap(map);
    }
}
