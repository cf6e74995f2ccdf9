package com.quorvel.bridge.client;

import java.util.ArrayDeque;
import java.util.ArrayList;
import java.util.Collections;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;

/**
 * Decodes the rule groups ({@link Tags#VQ_RULE_GROUP}) and the message-rule map
 * ({@link Tags#VQ_MESSAGE_RULE_MAP}).
 */
final class StaxRuleDecoder {
    private StaxRuleDecoder() {}

    /** One rule while its element is open. */
    private static final class Builder {
        String id = "";
        boolean active;
        String helpFileLocation = "";
        String group = "";
        String text = "";
        String uid = "";
        final List<String> categories = new ArrayList<>(1);
        final List<Rule> children = new ArrayList<>(0);

        Rule build() {
            return new Rule(id, active, helpFileLocation, group, text, uid, categories, children);
        }
    }

    static List<RuleGroup> ruleGroups(StaxResultReader in) {
        List<RuleGroup> groups = new ArrayList<>();
        String groupName = "";
        List<Rule> groupRules = new ArrayList<>();
        ArrayDeque<Builder> outer = new ArrayDeque<>();
        Builder current = null;
        for (int event = in.next(); event != StaxResultReader.DONE; event = in.next()) {
            String name = in.name();
            if (event == StaxResultReader.END) {
                if (Tags.RULE.equals(name)) {
                    Rule done = current.build();
                    current = outer.poll();
                    (current == null ? groupRules : current.children).add(done);
                } else if (Tags.VQ_RULE_GROUP_ENTRY.equals(name)) {
                    groups.add(new RuleGroup(groupName, groupRules));
                }
                continue;
            }
            switch (name) {
                case Tags.VQ_RULE_GROUP -> { }
                case Tags.VQ_RULE_GROUP_ENTRY -> {
                    groupName = "";
                    groupRules = new ArrayList<>();
                }
                case Tags.RULE_GROUP_NAME -> groupName = in.text();
                case Tags.RULE -> {
                    if (current != null) {
                        outer.push(current);
                    }
                    current = new Builder();
                }
                default -> ruleField(in, name, current);
            }
        }
        return groups;
    }

    private static void ruleField(StaxResultReader in, String name, Builder rule) {
        if (rule == null) {
            throw in.unexpected();
        }
        switch (name) {
            case Tags.RULE_ID -> rule.id = in.text();
            case Tags.IS_ACTIVE -> rule.active = !"0".equals(in.text());
            case Tags.HELP_FILE_LOCATION -> rule.helpFileLocation = in.text();
            case Tags.RULE_GROUP_STR -> rule.group = in.text();
            case Tags.RULE_TEXT -> rule.text = in.text();
            case Tags.RULE_UID -> rule.uid = in.text();
            case Tags.RULE_CATEGORY -> rule.categories.add(in.text());
            default -> in.skip();
        }
    }

    static Map<String, List<String>> messageRuleMap(StaxResultReader in) {
        Map<String, List<String>> map = new LinkedHashMap<>();
        String messageId = null;
        List<String> ruleIds = new ArrayList<>();
        for (int event = in.next(); event != StaxResultReader.DONE; event = in.next()) {
            String name = in.name();
            if (event == StaxResultReader.END) {
                if (Tags.VQ_MESSAGE_RULE_MAP_ENTRY.equals(name) && messageId != null) {
                    map.put(messageId, List.copyOf(ruleIds));
                }
                continue;
            }
            switch (name) {
                case Tags.VQ_MESSAGE_RULE_MAP -> { }
                case Tags.VQ_MESSAGE_RULE_MAP_ENTRY -> {
                    messageId = null;
                    ruleIds.clear();
                }
                case Tags.UNIQUE_MESSAGE_ID -> messageId = in.text();
                case Tags.UNIQUE_RULE_ID_LIST -> ruleIds.add(in.text());
                default -> in.skip();
            }
        }
        return Collections.unmodifiableMap(map);
    }
}
