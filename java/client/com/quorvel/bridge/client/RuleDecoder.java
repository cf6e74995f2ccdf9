package com.quorvel.bridge.client;

import java.util.ArrayDeque;
import java.util.ArrayList;
import java.util.Collections;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;

/** Decodes the rule groups ("VQRuleGrouping") and the message-rule map ("VQMessageRuleMapping"). */
final class RuleDecoder {
    private RuleDecoder() {}

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

    static List<RuleGroup> ruleGroups(ResultReader in) {
        List<RuleGroup> groups = new ArrayList<>();
        String groupName = "";
        List<Rule> groupRules = new ArrayList<>();
        ArrayDeque<Builder> outer = new ArrayDeque<>();
        Builder current = null;
        for (int event = in.next(); event != ResultReader.DONE; event = in.next()) {
            String name = in.name();
            if (event == ResultReader.END) {
                if ("Rule".equals(name)) {
                    Rule done = current.build();
                    current = outer.poll();
                    (current == null ? groupRules : current.children).add(done);
                } else if ("VQRuleGroupEntry".equals(name)) {
                    groups.add(new RuleGroup(groupName, groupRules));
                }
                continue;
            }
            switch (name) {
                case "VQRuleGrouping" -> { }
                case "VQRuleGroupEntry" -> {
                    groupName = "";
                    groupRules = new ArrayList<>();
                }
                case "RuleGroupName" -> groupName = in.text();
                case "Rule" -> {
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

    private static void ruleField(ResultReader in, String name, Builder rule) {
        if (rule == null) {
            throw in.unexpected();
        }
        switch (name) {
            case "RuleId" -> rule.id = in.text();
            case "IsActive" -> rule.active = !"0".equals(in.text());
            case "HFL" -> rule.helpFileLocation = in.text();
            case "RuleGroupStr" -> rule.group = in.text();
            case "RuleText" -> rule.text = in.text();
            case "RuleUID" -> rule.uid = in.text();
            case "RuleCategory" -> rule.categories.add(in.text());
            default -> in.skip();
        }
    }

    static Map<String, List<String>> messageRuleMap(ResultReader in) {
        Map<String, List<String>> map = new LinkedHashMap<>();
        String messageId = null;
        List<String> ruleIds = new ArrayList<>();
        for (int event = in.next(); event != ResultReader.DONE; event = in.next()) {
            String name = in.name();
            if (event == ResultReader.END) {
                if ("VQMessageRuleMapEntry".equals(name) && messageId != null) {
                    map.put(messageId, List.copyOf(ruleIds));
                }
                continue;
            }
            switch (name) {
                case "VQMessageRuleMapping" -> { }
                case "VQMessageRuleMapEntry" -> {
                    messageId = null;
                    ruleIds.clear();
                }
                case "UMID" -> messageId = in.text();
                case "UniqueRuleId" -> ruleIds.add(in.text());
                default -> in.skip();
            }
        }
        return Collections.unmodifiableMap(map);
    }
}
