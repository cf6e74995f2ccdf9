#include "utils/RuleWriter.h"

#include "utils/DepthFirstWalk.h"
#include "utils/XmlSink.h"
#include "utils/XmlTags.h"

namespace Utils {
namespace {

using Xml::textOf;

template <typename Sink>
class RuleVisitor {
public:
    explicit RuleVisitor(Sink& out) : out_(out) {}

    void enter(const RuleStruct& rule) {
        Xml::element(out_, tagRuleId, textOf(rule.ruleId));
        Xml::element(out_, tagIsActive, rule.isActive ? "1" : "0");
        Xml::element(out_, tagHelpFileLocation, textOf(rule.helpFileLocation));
        Xml::element(out_, tagRuleGroupStr, textOf(rule.ruleGroup));
        Xml::escapedElement(out_, tagRuleText, textOf(rule.ruleText));
        Xml::element(out_, tagRuleUID, textOf(rule.ruleUID));
        if (const VQCategoryArray_C* categories = rule.categories) {
            for (uint32_t i = 0; i < categories->count; ++i) {
                Xml::element(out_, tagRuleCategory, textOf(categories->categories[i]));
            }
        }
    }
    uint32_t childCount(const RuleStruct& rule) const { return rule.childRules ? rule.childRules->count : 0; }
    const RuleStruct* child(const RuleStruct& rule, uint32_t index) const { return rule.childRules->rules[index]; }
    void beginChild(uint32_t) { out_.open(tagRule); }
    void endChild() { out_.close(tagRule); }
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
    out.open(tagRule);
    if (rule) writeRule(out, *rule);
    out.close(tagRule);
}

template <typename Sink>
void writeRuleGroup(Sink& out, const RuleGroupStruct& group) {
    Xml::element(out, tagRuleGroupName, textOf(group.ruleGroupName));
    if (const VQRuleArray_C* rules = group.rules) {
        for (uint32_t i = 0; i < rules->count; ++i) writeRuleElement(out, rules->rules[i]);
    }
}

template <typename Sink>
void writeMessageMapping(Sink& out, const VQMessageMapping_C& mapping) {
    Xml::element(out, tagUniqueMessageID, textOf(mapping.uniqueMessageID));
    for (uint32_t i = 0; i < mapping.ruleIdCount; ++i) {
        Xml::element(out, tagUniqueRuleIdList, textOf(mapping.ruleIds[i]));
    }
}

template <typename Sink>
void writeMessageRuleMapEntries(Sink& out, const VQMessageRuleMap_C& map) {
    for (uint32_t i = 0; i < map.count; ++i) {
        out.open(tagVQMessageRuleMapEntry);
        if (const VQMessageMapping_C* mapping = map.mappings[i]) writeMessageMapping(out, *mapping);
        out.close(tagVQMessageRuleMapEntry);
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
        out.open(tagVQRuleGroup);
        for (uint32_t i = 0; i < groups->count; ++i) {
            out.open(tagVQRuleGroupEntry);
            if (const RuleGroupStruct* group = groups->ruleGroups[i]) writeRuleGroup(out, *group);
            out.close(tagVQRuleGroupEntry);
        }
        out.close(tagVQRuleGroup);
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
        out.open(tagVQMessageRuleMap);
        writeMessageRuleMapEntries(out, *map);
        out.close(tagVQMessageRuleMap);
    });
}

}  // namespace Utils
