// Writers of rule groups and of the message-to-rule map as compact result
// XML, and dumps of the same records to standard output for inspection.
//
// A null record, list or text is written as empty (an element with no
// content, no elements); the dumps print such fields as empty.
#pragma once

#include <string>

#include "api/KERVRecords.h"

namespace Utils {

// RuleId, IsActive ("1"/"0"), HFL, RuleGroupStr, RuleText (escaped),
// RuleUID, one RuleCategory per category, one Rule per child rule; no
// enclosing element.
std::string SerializeRule(RuleStruct* rule);
// RuleGroupName, then one Rule per rule; no enclosing element.
std::string SerializeRuleGroupIndividualy(RuleGroupStruct* group);
// One VQRuleGrouping element holding one VQRuleGroupEntry per group.
std::string SerializeRuleGroups(VQRuleGroupArray_C* groups);

// UMID, then one UniqueRuleId per rule identifier; empty for null.
std::string SerializeMessageMapping(VQMessageMapping_C* mapping);
// One VQMessageRuleMapEntry per mapping; empty for null.
std::string SerializeMessageRuleMapIndividual(VQMessageRuleMap_C* map);
// One VQMessageRuleMapping element; empty for null.
std::string SerializeMessageRuleMap(VQMessageRuleMap_C* map);

// Plain-text dumps with printf, whatever the log settings.
void flushVQRule(RuleStruct* rule);
void flushRuleGroup(RuleGroupStruct* group);
void flushRuleGroups(VQRuleGroupArray_C* groups);
void flushMessageRuleMap(VQMessageRuleMap_C* map);

}  // namespace Utils
