#include "engine/records/RuleRecords.h"

#include <algorithm>
#include <map>

#include "engine/records/CRecords.h"
#include "engine/records/DiagnosticRecords.h"

namespace kerv::engine {

namespace {

size_t groupRank(const std::string& severity) {
    auto groups = severityGroups();
    return std::find(groups.begin(), groups.end(), severity) - groups.begin();
}

std::string ruleTextOf(const RuleInfo& info) {
    return info.verbose.empty() || info.verbose == info.message ? info.message : info.message + "\n\n" + info.verbose;
}

// Fills a rule already stored in its list, so that a failed allocation
// leaves a record that releaseRuleGroups can free.
void fillRule(RuleStruct* rule, const RuleInfo& info, bool active) {
    rule->ruleGroup = copyText(info.severity);
    rule->helpFileLocation = copyText(helpLocationFor(info.cwe));
    rule->ruleId = copyText(info.id);
    rule->ruleText = copyText(ruleTextOf(info));
    rule->isActive = active ? 1 : 0;
    rule->ruleUID = copyText("cppcheck." + info.id);
    rule->childRules = allocateCounted<VQRuleArray_C>(0);
    rule->mappedMessages = allocateCounted<VQMessageArray_C>(1);
    rule->mappedMessages->messages[0] = buildMessage(info.id, info.severity, info.message, info.verbose, info.cwe);
    std::vector<std::string> categories;
    if (info.cwe > 0) categories.push_back("CWE-" + std::to_string(info.cwe));
    rule->categories = textArray<VQCategoryArray_C>(categories);
}

void releaseRuleArray(VQRuleArray_C* rules);

void releaseRule(RuleStruct* rule) {
    if (!rule) return;
    std::free(rule->ruleGroup);
    std::free(rule->helpFileLocation);
    std::free(rule->ruleId);
    std::free(rule->ruleText);
    std::free(rule->ruleUID);
    releaseRuleArray(rule->childRules);
    if (rule->mappedMessages) {
        for (uint32_t i = 0; i < rule->mappedMessages->count; ++i) releaseMessage(rule->mappedMessages->messages[i]);
        std::free(rule->mappedMessages);
    }
    freeTextArray(rule->categories);
    std::free(rule);
}

void releaseRuleArray(VQRuleArray_C* rules) {
    if (!rules) return;
    for (uint32_t i = 0; i < rules->count; ++i) releaseRule(rules->rules[i]);
    std::free(rules);
}

}  // namespace

std::vector<std::string> severityGroups() {
    return {
#define KERV_SEVERITY_GROUP(name, meaning) #name,
#include "engine/records/SeverityGroups.def"
#undef KERV_SEVERITY_GROUP
    };
}

std::vector<RuleInfo> knownRules(const std::vector<RuleInfo>& catalog, const std::vector<const Finding*>& seen) {
    std::map<std::string, RuleInfo> byId;
    for (const auto& rule : catalog) byId.emplace(rule.id, rule);
    for (const Finding* finding : seen)
        byId.emplace(finding->id,
                     RuleInfo{finding->id, finding->severity, finding->message, finding->cwe, finding->verbose});
    std::vector<RuleInfo> rules;
    rules.reserve(byId.size());
    for (auto& [id, rule] : byId) rules.push_back(rule);
    std::stable_sort(rules.begin(), rules.end(), [](const RuleInfo& a, const RuleInfo& b) {
        return groupRank(a.severity) != groupRank(b.severity) ? groupRank(a.severity) < groupRank(b.severity)
                                                              : a.severity < b.severity;
    });
    return rules;
}

VQRuleGroupArray_C* buildRuleGroups(const std::vector<RuleInfo>& rules, const std::set<std::string>& switchedOff) {
    std::vector<std::string> names;  // in the order of the sorted rules
    for (const auto& rule : rules)
        if (names.empty() || names.back() != rule.severity) names.push_back(rule.severity);
    auto* groups = allocateCounted<VQRuleGroupArray_C>(names.size());
    try {
        size_t next = 0;
        for (size_t g = 0; g < names.size(); ++g) {
            size_t end = next;
            while (end < rules.size() && rules[end].severity == names[g]) ++end;
            auto* group = allocateRecord<RuleGroupStruct>();
            groups->ruleGroups[g] = group;
            group->ruleGroupName = copyText(names[g]);
            group->rules = allocateCounted<VQRuleArray_C>(end - next);
            for (size_t r = next; r < end; ++r) {
                group->rules->rules[r - next] = allocateRecord<RuleStruct>();
                fillRule(group->rules->rules[r - next], rules[r], !switchedOff.count(rules[r].id));
            }
            next = end;
        }
    } catch (...) {
        releaseRuleGroups(groups);
        throw;
    }
    return groups;
}

VQMessageRuleMap_C* buildMessageRuleMap(const std::vector<RuleInfo>& rules) {
    auto* map = allocateCounted<VQMessageRuleMap_C>(rules.size());
    try {
        for (size_t i = 0; i < rules.size(); ++i) {
            auto* mapping =
                static_cast<VQMessageMapping_C*>(allocateZeroed(sizeof(VQMessageMapping_C) + sizeof(char*)));
            map->mappings[i] = mapping;
            mapping->uniqueMessageID = copyText(rules[i].id);
            mapping->ruleIdCount = 1;
            mapping->ruleIds[0] = copyText(rules[i].id);
        }
    } catch (...) {
        releaseMessageRuleMap(map);
        throw;
    }
    return map;
}

void releaseRuleGroups(VQRuleGroupArray_C*& record) {
    if (!record) return;
    for (uint32_t i = 0; i < record->count; ++i) {
        RuleGroupStruct* group = record->ruleGroups[i];
        if (!group) continue;
        std::free(group->ruleGroupName);
        releaseRuleArray(group->rules);
        std::free(group);
    }
    std::free(record);
    record = nullptr;
}

void releaseMessageRuleMap(VQMessageRuleMap_C*& record) {
    if (!record) return;
    for (uint32_t i = 0; i < record->count; ++i) {
        VQMessageMapping_C* mapping = record->mappings[i];
        if (!mapping) continue;
        std::free(mapping->uniqueMessageID);
        for (uint32_t j = 0; j < mapping->ruleIdCount; ++j) std::free(mapping->ruleIds[j]);
        std::free(mapping);
    }
    std::free(record);
    record = nullptr;
}

}  // namespace kerv::engine
