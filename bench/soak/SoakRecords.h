// The records the stand-in hands out during the soak run: built once, kept
// for the life of the process (the stand-in's free functions only forget
// them), and shaped like a real analysis library's results.
#pragma once

#include "api/KERVRecords.h"

namespace soak {

struct SoakRecords {
    VQDiagnosticArray_C* diagnostics;
    VQRuleGroupArray_C* ruleGroups;
    VQMessageRuleMap_C* messageRuleMap;
    VQTrees_C* trees;
    VQFile_C* file;
    VQLanguages_C* languages;
    VQStrings_C* files;
};

// `diagnosticCount` diagnostics, each with two references, two parameters and
// two locations, and a sub-diagnostic under every tenth one.
const SoakRecords& buildSoakRecords(unsigned diagnosticCount);

}  // namespace soak
