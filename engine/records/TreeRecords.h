// The three result trees. Node types:
//   0 file-tree root (the project)   1 folder   2 file
//   3 rule-tree root                 4 rule group (severity)   5 rule
//   6 message-tree root              7 message                 8 file holding that message
// Every node counts the diagnostics below it: `total` all of them, `active`
// those whose rule is not switched off. With `includeEmpty` the trees list
// every project file and every known rule, also with no diagnostics;
// otherwise only nodes that count at least one diagnostic (and the roots).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "api/KERVRecords.h"
#include "engine/model/Finding.h"
#include "engine/records/DiagnosticRecords.h"

namespace kerv::engine {

struct TreeInput {
    std::string projectName;
    std::string projectFolder;
    std::vector<std::string> files;                                   // the files in scope, in project order
    std::map<std::string, std::vector<DiagnosticInput>> diagnostics;  // per file
    std::vector<RuleInfo> rules;                                      // sorted by group (knownRules)
    bool includeEmpty = false;
};

VQTrees_C* buildTrees(const TreeInput& input);
void releaseTrees(VQTrees_C*& record);

}  // namespace kerv::engine
