#include "utils/RuleWriter.h"

#include "utils/DepthFirstWalk.h"
#include "utils/XmlSink.h"
#include "utils/XmlTags.h"

namespace Utils {
namespace {

// The elements this file writes, made from the tag globals on first use.
struct Tags {
    const Xml::ElementMarkup helpFileLocation{tagHelpFileLocation};
    const Xml::ElementMarkup isActive{tagIsActive};
    const Xml::ElementMarkup rule{tagRule};
    const Xml::ElementMarkup ruleCategory{tagRuleCategory};
    const Xml::ElementMarkup ruleGroupName{tagRuleGroupName};
    const Xml::ElementMarkup ruleGroupStr{tagRuleGroupStr};
    const Xml::ElementMarkup ruleId{tagRuleId};
    const Xml::ElementMarkup ruleText{tagRuleText};
    const Xml::ElementMarkup ruleUID{tagRuleUID};
    const Xml::ElementMarkup uniqueMessageID{tagUniqueMessageID};
    const Xml::ElementMarkup uniqueRuleIdList{tagUniqueRuleIdList};
    const Xml::ElementMarkup messageRuleMap{tagVQMessageRuleMap};
    const Xml::ElementMarkup messageRuleMapEntry{tagVQMessageRuleMapEntry};
    const Xml::ElementMarkup ruleGrouping{tagVQRuleGroup};
    const Xml::ElementMarkup ruleGroupEntry{tagVQRuleGroupEntry};
};

// Inlined: the guard of the static is one test, a call per element is not.
__attribute__((always_inline)) inline const Tags& tags() {
    static const Tags instance;
    return instance;
}

using Xml::textOf;

void prefetchRuleTexts(const RuleStruct& rule) {
    Xml::prefetch(rule.ruleId, rule.helpFileLocation, rule.ruleGroup, rule.ruleText, rule.ruleUID, rule.categories);
}

template <typename Sink>
class RuleVisitor {
public:
    explicit RuleVisitor(Sink& out) : out_(out) {}

    void prefetch(const RuleStruct& rule) const { prefetchRuleTexts(rule); }
    void enter(const RuleStruct& rule) {
        prefetchRuleTexts(rule);
        Xml::element(out_, tags().ruleId, textOf(rule.ruleId));
        Xml::element(out_, tags().isActive, rule.isActive ? "1" : "0");
        Xml::element(out_, tags().helpFileLocation, textOf(rule.helpFileLocation));
        Xml::element(out_, tags().ruleGroupStr, textOf(rule.ruleGroup));
        Xml::escapedElement(out_, tags().ruleText, rule.ruleText);
        Xml::element(out_, tags().ruleUID, textOf(rule.ruleUID));
        if (const VQCategoryArray_C* categories = rule.categories) {
            for (uint32_t i = 0; i < categories->count; ++i) {
                Xml::element(out_, tags().ruleCategory, textOf(categories->categories[i]));
            }
        }
    }
    uint32_t childCount(const RuleStruct& rule) const { return rule.childRules ? rule.childRules->count : 0; }
    const RuleStruct* child(const RuleStruct& rule, uint32_t index) const { return rule.childRules->rules[index]; }
    void beginChild(uint32_t) { out_.open(tags().rule); }
    void endChild() { out_.close(tags().rule); }
    void leave(const RuleStruct&) {}

private:
    Sink& out_;
};

template <typename Sink>
void writeRule(Sink& out, const RuleStruct& rule) {
    RuleVisitor<Sink> visitor(out);
    walkDepthFirst(rule, visitor);
}

template <typename Sink>
void writeRuleElement(Sink& out, const RuleStruct* rule) {
    out.open(tags().rule);
    if (rule) writeRule(out, *rule);
    out.close(tags().rule);
}

template <typename Sink>
void writeRuleGroup(Sink& out, const RuleGroupStruct& group) {
    Xml::element(out, tags().ruleGroupName, textOf(group.ruleGroupName));
    if (const VQRuleArray_C* rules = group.rules) {
        for (uint32_t i = 0; i < rules->count; ++i) {
            prefetchAhead(rules->rules, rules->count, i, prefetchRuleTexts);
            writeRuleElement(out, rules->rules[i]);
        }
    }
}

template <typename Sink>
void writeMessageMapping(Sink& out, const VQMessageMapping_C& mapping) {
    Xml::element(out, tags().uniqueMessageID, textOf(mapping.uniqueMessageID));
    for (uint32_t i = 0; i < mapping.ruleIdCount; ++i) {
        Xml::element(out, tags().uniqueRuleIdList, textOf(mapping.ruleIds[i]));
    }
}

template <typename Sink>
void writeMessageRuleMapEntries(Sink& out, const VQMessageRuleMap_C& map) {
    for (uint32_t i = 0; i < map.count; ++i) {
        out.open(tags().messageRuleMapEntry);
        if (const VQMessageMapping_C* mapping = map.mappings[i]) writeMessageMapping(out, *mapping);
        out.close(tags().messageRuleMapEntry);
    }
}

}  // namespace

std::string SerializeRule(RuleStruct* rule) {
    if (!rule) return {};
    return Xml::render([&](auto& out) { writeRule(out, *rule); });
}

std::string SerializeRuleGroupIndividualy(RuleGroupStruct* group) {
    if (!group) return {};
    return Xml::render([&](auto& out) { writeRuleGroup(out, *group); });
}

std::string SerializeRuleGroups(VQRuleGroupArray_C* groups) {
    if (!groups) return {};
    return Xml::render([&](auto& out) {
        out.open(tags().ruleGrouping);
        for (uint32_t i = 0; i < groups->count; ++i) {
            out.open(tags().ruleGroupEntry);
            if (const RuleGroupStruct* group = groups->ruleGroups[i]) writeRuleGroup(out, *group);
            out.close(tags().ruleGroupEntry);
        }
        out.close(tags().ruleGrouping);
    });
}

std::string SerializeMessageMapping(VQMessageMapping_C* mapping) {
    if (!mapping) return {};
    return Xml::render([&](auto& out) { writeMessageMapping(out, *mapping); });
}

std::string SerializeMessageRuleMapIndividual(VQMessageRuleMap_C* map) {
    if (!map) return {};
    return Xml::render([&](auto& out) { writeMessageRuleMapEntries(out, *map); });
}

std::string SerializeMessageRuleMap(VQMessageRuleMap_C* map) {
    if (!map) return {};
    return Xml::render([&](auto& out) {
        out.open(tags().messageRuleMap);
        writeMessageRuleMapEntries(out, *map);
        out.close(tags().messageRuleMap);
    });
}

}  // namespace Utils
