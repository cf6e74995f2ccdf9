#include "utils/RuleWriter.h"

#include "utils/DepthFirstWalk.h"
#include "utils/TextElement.h"
#include "utils/XmlSink.h"
#include "utils/XmlTags.h"

namespace Utils {
namespace {

// The elements this file writes, made from the tag globals on first use.
struct Tags {
    const Xml::TextMarkup<&tagHelpFileLocation> helpFileLocation;
    const Xml::ElementMarkup isActive{tagIsActive};
    const Xml::ElementMarkup rule{tagRule};
    const Xml::TextMarkup<&tagRuleCategory> ruleCategory;
    const Xml::TextMarkup<&tagRuleGroupName> ruleGroupName;
    const Xml::TextMarkup<&tagRuleGroupStr> ruleGroupStr;
    const Xml::TextMarkup<&tagRuleId> ruleId;
    const Xml::TextMarkup<&tagRuleText> ruleText;
    const Xml::TextMarkup<&tagRuleUID> ruleUID;
    const Xml::TextMarkup<&tagUniqueMessageID> uniqueMessageID;
    const Xml::TextMarkup<&tagUniqueRuleIdList> uniqueRuleIdList;
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
        Xml::textElement(out_, tags().ruleId, rule.ruleId);
        Xml::element(out_, tags().isActive, rule.isActive ? "1" : "0");
        Xml::textElement(out_, tags().helpFileLocation, rule.helpFileLocation);
        Xml::textElement(out_, tags().ruleGroupStr, rule.ruleGroup);
        Xml::textElement(out_, tags().ruleText, rule.ruleText);
        Xml::textElement(out_, tags().ruleUID, rule.ruleUID);
        if (const VQCategoryArray_C* categories = rule.categories) {
            for (uint32_t i = 0; i < categories->count; ++i) {
                Xml::textElement(out_, tags().ruleCategory, categories->categories[i]);
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
    Xml::textElement(out, tags().ruleGroupName, group.ruleGroupName);
    if (const VQRuleArray_C* rules = group.rules) {
        for (uint32_t i = 0; i < rules->count; ++i) {
            prefetchAhead(rules->rules, rules->count, i, prefetchRuleTexts);
            writeRuleElement(out, rules->rules[i]);
        }
    }
}

template <typename Sink>
void writeMessageMapping(Sink& out, const VQMessageMapping_C& mapping) {
    Xml::textElement(out, tags().uniqueMessageID, mapping.uniqueMessageID);
    for (uint32_t i = 0; i < mapping.ruleIdCount; ++i) {
        Xml::textElement(out, tags().uniqueRuleIdList, mapping.ruleIds[i]);
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
