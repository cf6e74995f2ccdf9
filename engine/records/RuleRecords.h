// Rules as records. Every cppcheck message id is one rule with the same id;
// the rules are grouped by severity, in the order of
// engine/records/SeverityGroups.def. A rule's text is cppcheck's
// message, then, after a blank line, its longer explanation when it has a
// different one. A rule carries its message as its one mapped message,
// "CWE-<n>" as its category when it has one, and is active unless the rule
// configuration switches it off.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "api/KERVRecords.h"
#include "engine/model/Finding.h"

namespace kerv::engine {

// The analyser's rules plus any id seen in results that it did not list,
// sorted by group and id.
std::vector<RuleInfo> knownRules(const std::vector<RuleInfo>& catalog, const std::vector<const Finding*>& seen);
std::vector<std::string> severityGroups();

VQRuleGroupArray_C* buildRuleGroups(const std::vector<RuleInfo>& rules, const std::set<std::string>& switchedOff);
VQMessageRuleMap_C* buildMessageRuleMap(const std::vector<RuleInfo>& rules);

void releaseRuleGroups(VQRuleGroupArray_C*& record);
void releaseMessageRuleMap(VQMessageRuleMap_C*& record);

}  // namespace kerv::engine
