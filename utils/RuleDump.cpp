// The flush* dumps of RuleWriter.h: rule records as plain text lines on
// standard output. A null record is printed as an empty one.
#include <cstdio>

#include "utils/DepthFirstWalk.h"
#include "utils/RuleWriter.h"

namespace Utils {
namespace {

const char* textOf(const char* text) {
    return text ? text : "";
}
int countOf(uint32_t count) {
    return static_cast<int>(count);
}

const RuleStruct kEmptyRule{};
const RuleGroupStruct kEmptyRuleGroup{};
const VQMessage_C kEmptyMessage{};
const VQMessageMapping_C kEmptyMapping{};

void printMappedMessage(int index, const VQMessage_C& message) {
    printf("Mapped Messages %d :\n ", index);
    printf("Messag Text %s \n", textOf(message.messageText));
    printf("Message level %d \n", message.messageLevel);
    printf("Message helpfile lcoation %s \n", textOf(message.helpFileLocation));
    printf("message producer %s\n", textOf(message.producer));
    printf("message unique ID %s\n", textOf(message.uniqueMessageID));
    printf("message number %s\n", textOf(message.messageNumber));
    const VQReferenceArray_C* references = message.references;
    const uint32_t referenceCount = references ? references->count : 0;
    printf("message references %d\n", countOf(referenceCount));
    for (uint32_t j = 0; j < referenceCount; ++j) printf("Ref %d %s\n", countOf(j), textOf(references->refs[j]));
}

// A rule prints its fields and categories, then its children (each after a
// "flushing child" line), then its mapped messages.
class RuleDumpVisitor {
public:
    void enter(const RuleStruct& rule) {
        if (rule.ruleId) printf("Flushing rule id %s \n", rule.ruleId);
        printf("isActive %d\n", rule.isActive ? 1 : 0);
        if (rule.helpFileLocation) printf("HelpFileLocation %s\n", rule.helpFileLocation);
        if (rule.ruleGroup) printf("RuleGroup %s\n", rule.ruleGroup);
        if (rule.ruleText) printf("RuleText %s \n", rule.ruleText);
        if (rule.ruleUID) printf("RuleId %s \n", rule.ruleUID);
        const VQCategoryArray_C* categories = rule.categories;
        const uint32_t categoryCount = categories ? categories->count : 0;
        printf("Rule Categories %d \n", countOf(categoryCount));
        for (uint32_t i = 0; i < categoryCount; ++i) {
            printf("category %d : %s \n", countOf(i), textOf(categories->categories[i]));
        }
        printf("Rule Child count %d\n", countOf(childCount(rule)));
    }
    uint32_t childCount(const RuleStruct& rule) const { return rule.childRules ? rule.childRules->count : 0; }
    const RuleStruct* child(const RuleStruct& rule, uint32_t index) const {
        const RuleStruct* child = rule.childRules->rules[index];
        return child ? child : &kEmptyRule;
    }
    void prefetch(const RuleStruct&) const {}
    void beginChild(uint32_t index) { printf("flushing child %d\n", countOf(index)); }
    void endChild() {}
    void leave(const RuleStruct& rule) {
        const VQMessageArray_C* messages = rule.mappedMessages;
        const uint32_t messageCount = messages ? messages->count : 0;
        printf("Mapped messages number %d\n", countOf(messageCount));
        for (uint32_t i = 0; i < messageCount; ++i) {
            const VQMessage_C* message = messages->messages[i];
            printMappedMessage(countOf(i), message ? *message : kEmptyMessage);
        }
    }
};

void dumpRule(const RuleStruct& rule) {
    RuleDumpVisitor visitor;
    walkDepthFirst(rule, visitor);
}

void dumpRuleGroup(const RuleGroupStruct& group) {
    const VQRuleArray_C* rules = group.rules;
    const uint32_t ruleCount = rules ? rules->count : 0;
    printf("Flushing rule group %s with %d \n", textOf(group.ruleGroupName), countOf(ruleCount));
    for (uint32_t i = 0; i < ruleCount; ++i) {
        printf("Fushing VQ Rule %d", countOf(i));
        const RuleStruct* rule = rules->rules[i];
        dumpRule(rule ? *rule : kEmptyRule);
    }
}

}  // namespace

void flushVQRule(RuleStruct* rule) {
    if (rule) dumpRule(*rule);
}

void flushRuleGroup(RuleGroupStruct* group) {
    if (group) dumpRuleGroup(*group);
}

void flushRuleGroups(VQRuleGroupArray_C* groups) {
    if (!groups) return;
    printf("Flushing rule groups, size %d\n", countOf(groups->count));
    for (uint32_t i = 0; i < groups->count; ++i) {
        printf("Flushing rule Groups %d,\n", countOf(i));
        const RuleGroupStruct* group = groups->ruleGroups[i];
        dumpRuleGroup(group ? *group : kEmptyRuleGroup);
    }
}

void flushMessageRuleMap(VQMessageRuleMap_C* map) {
    if (!map) return;
    printf("Flushing rule maps, size %d \n", countOf(map->count));
    for (uint32_t i = 0; i < map->count; ++i) {
        const VQMessageMapping_C* mapping = map->mappings[i] ? map->mappings[i] : &kEmptyMapping;
        printf("rule map %d : \n", countOf(i));
        printf("maped unique MsgId %s \n", textOf(mapping->uniqueMessageID));
        printf("mapped rules %d :\n", countOf(mapping->ruleIdCount));
        for (uint32_t j = 0; j < mapping->ruleIdCount; ++j) {
            printf("rules[%d] : %s \n", countOf(j), textOf(mapping->ruleIds[j]));
        }
    }
}

}  // namespace Utils
