// Rule groups with nested child rules, and message-rule maps, written by the
// rule writers and read back; the dumps run on the same records.
#include <string>

#include "fuzz/support/FuzzCheck.h"
#include "fuzz/support/RecordBuilder.h"
#include "fuzz/support/XmlReadBack.h"
#include "fuzz/writers/WriterCases.h"
#include "utils/RuleWriter.h"

namespace fuzz {

namespace {

constexpr int kMaxDepth = 6;

VQRuleArray_C* buildRules(RecordBuilder& build, int depth);

RuleStruct* buildRule(RecordBuilder& build, int depth) {
    if (build.null()) return nullptr;
    auto* rule = build.record<RuleStruct>();
    rule->ruleGroup = build.plainText();
    rule->helpFileLocation = build.plainText();
    rule->ruleId = build.plainText();
    rule->ruleText = build.anyText();
    rule->isActive = build.flag();
    rule->ruleUID = build.plainText();
    if (depth < kMaxDepth) rule->childRules = buildRules(build, depth + 1);
    if (!build.null()) {
        const uint32_t n = build.count();
        rule->mappedMessages = build.countedArray<VQMessageArray_C>(n);
        for (uint32_t i = 0; i < n; ++i) {
            if (build.null()) continue;
            auto* message = build.record<VQMessage_C>();
            message->uniqueMessageID = build.anyText();
            message->messageText = build.anyText();
            message->messageLevel = build.number();
            rule->mappedMessages->messages[i] = message;
        }
    }
    if (!build.null()) {
        const uint32_t n = build.count();
        rule->categories = build.countedArray<VQCategoryArray_C>(n);
        for (uint32_t i = 0; i < n; ++i) rule->categories->categories[i] = build.plainText();
    }
    return rule;
}

VQRuleArray_C* buildRules(RecordBuilder& build, int depth) {
    if (build.null()) return nullptr;
    const uint32_t n = build.count();
    auto* rules = build.countedArray<VQRuleArray_C>(n);
    for (uint32_t i = 0; i < n; ++i) rules->rules[i] = buildRule(build, depth);
    return rules;
}

VQRuleGroupArray_C* buildRuleGroups(RecordBuilder& build) {
    if (build.null()) return nullptr;
    const uint32_t n = build.count();
    auto* groups = build.countedArray<VQRuleGroupArray_C>(n);
    for (uint32_t i = 0; i < n; ++i) {
        if (build.null()) continue;
        auto* group = build.record<RuleGroupStruct>();
        group->ruleGroupName = build.plainText();
        group->rules = buildRules(build, 0);
        groups->ruleGroups[i] = group;
    }
    return groups;
}

void checkRule(pugi::xml_node element, const RuleStruct* rule);

void checkRules(ElementCursor& cursor, const VQRuleArray_C* rules) {
    if (rules == nullptr) return;
    for (uint32_t i = 0; i < rules->count; ++i) checkRule(cursor.next("Rule"), rules->rules[i]);
}

void checkRule(pugi::xml_node element, const RuleStruct* rule) {
    if (rule == nullptr) return expectEmpty(element);
    ElementCursor cursor(element);
    cursor.leaf("RuleId", textOr(rule->ruleId));
    cursor.leaf("IsActive", rule->isActive != 0 ? "1" : "0");
    cursor.leaf("HFL", textOr(rule->helpFileLocation));
    cursor.leaf("RuleGroupStr", textOr(rule->ruleGroup));
    cursor.leaf("RuleText", textOr(rule->ruleText));
    cursor.leaf("RuleUID", textOr(rule->ruleUID));
    if (const VQCategoryArray_C* categories = rule->categories) {
        for (uint32_t i = 0; i < categories->count; ++i) cursor.leaf("RuleCategory", textOr(categories->categories[i]));
    }
    checkRules(cursor, rule->childRules);
    cursor.end();
}

VQMessageRuleMap_C* buildMessageRuleMap(RecordBuilder& build) {
    if (build.null()) return nullptr;
    const uint32_t n = build.count();
    auto* map = build.countedArray<VQMessageRuleMap_C>(n);
    for (uint32_t i = 0; i < n; ++i) {
        if (build.null()) continue;
        const uint32_t ruleIds = build.count();
        auto* mapping = static_cast<VQMessageMapping_C*>(
            build.block(offsetof(VQMessageMapping_C, ruleIds) + ruleIds * sizeof(char*)));
        mapping->uniqueMessageID = build.plainText();
        mapping->ruleIdCount = ruleIds;
        for (uint32_t j = 0; j < ruleIds; ++j) mapping->ruleIds[j] = build.plainText();
        map->mappings[i] = mapping;
    }
    return map;
}

}  // namespace

void fuzzRuleGroupWriters(FuzzedDataProvider& input) {
    RecordBuilder build(input);
    VQRuleGroupArray_C* groups = buildRuleGroups(build);

    const std::string xml = Utils::SerializeRuleGroups(groups);
    if (groups == nullptr) {
        FUZZ_CHECK(xml.empty(), "a null list gives " + quoted(xml));
        return;
    }
    pugi::xml_document document;
    parseOrFail(document, xml);
    const pugi::xml_node root = document.first_child();
    FUZZ_CHECK(std::string(root.name()) == "VQRuleGrouping", "root " + std::string(root.name()));
    ElementCursor cursor(root);
    for (uint32_t i = 0; i < groups->count; ++i) {
        const pugi::xml_node entry = cursor.next("VQRuleGroupEntry");
        const RuleGroupStruct* group = groups->ruleGroups[i];
        if (group == nullptr) {
            expectEmpty(entry);
            continue;
        }
        ElementCursor parts(entry);
        parts.leaf("RuleGroupName", textOr(group->ruleGroupName));
        checkRules(parts, group->rules);
        parts.end();
    }
    cursor.end();

    Utils::flushRuleGroups(groups);
}

void fuzzMessageRuleMapWriters(FuzzedDataProvider& input) {
    RecordBuilder build(input);
    VQMessageRuleMap_C* map = buildMessageRuleMap(build);

    const std::string whole = Utils::SerializeMessageRuleMap(map);
    const std::string inner = Utils::SerializeMessageRuleMapIndividual(map);
    if (map == nullptr) {
        FUZZ_CHECK(whole.empty() && inner.empty(), "a null map gives " + quoted(whole) + " and " + quoted(inner));
        return;
    }
    FUZZ_CHECK(whole == "<VQMessageRuleMapping>" + inner + "</VQMessageRuleMapping>",
               "VQMessageRuleMapping differs from its content " + quoted(inner));
    pugi::xml_document document;
    parseOrFail(document, whole);
    const pugi::xml_node root = document.first_child();
    FUZZ_CHECK(std::string(root.name()) == "VQMessageRuleMapping", "root " + std::string(root.name()));
    ElementCursor cursor(root);
    for (uint32_t i = 0; i < map->count; ++i) {
        const pugi::xml_node entry = cursor.next("VQMessageRuleMapEntry");
        const VQMessageMapping_C* mapping = map->mappings[i];
        if (mapping == nullptr) {
            expectEmpty(entry);
            continue;
        }
        ElementCursor parts(entry);
        parts.leaf("UMID", textOr(mapping->uniqueMessageID));
        for (uint32_t j = 0; j < mapping->ruleIdCount; ++j) parts.leaf("UniqueRuleId", textOr(mapping->ruleIds[j]));
        parts.end();
    }
    cursor.end();

    Utils::flushMessageRuleMap(map);
}

std::string ruleGroupsText(FuzzedDataProvider& input) {
    RecordBuilder build(input);
    return Utils::SerializeRuleGroups(buildRuleGroups(build));
}

std::string messageRuleMapText(FuzzedDataProvider& input) {
    RecordBuilder build(input);
    return Utils::SerializeMessageRuleMap(buildMessageRuleMap(build));
}

}  // namespace fuzz
