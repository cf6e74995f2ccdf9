// Diagnostics as records: one DiagnosticStruct per finding.
//
//   message      id = cppcheck's id, help location = helpLocationFor(CWE),
//                level 2 (3 for information, 1 for debug),
//                number = the CWE number as text ("0" without one),
//                text = cppcheck's message, producer "cppcheck",
//                references "CWE-<n>" and, when it differs, the long text
//   locations    every location cppcheck gives, primary first
//   parameters   the symbols the finding names
//   sub-diagnostics  one per secondary location that carries a note, with the
//                note as its text and that location as its only location
//   multiHomed   the locations lie in more than one file
//   suppressionState  0 active, 1 rule switched off by the rule configuration,
//                2 suppressed by a comment in the source
#pragma once

#include <vector>

#include "api/KERVRecords.h"
#include "engine/model/Finding.h"

namespace kerv::engine {

enum SuppressionState : int32_t { kActive = 0, kSwitchedOff = 1, kSuppressedInSource = 2 };

struct DiagnosticInput {
    const Finding* finding;
    SuppressionState state;
};

int32_t messageLevelFor(const std::string& severity);

// The help of a finding is the definition of its weakness class: the CWE page
// for a finding with a CWE number, empty without one.
std::string helpLocationFor(int cwe);

VQDiagnosticArray_C* buildDiagnostics(const std::vector<DiagnosticInput>& inputs);
VQMessage_C* buildMessage(const std::string& id, const std::string& severity, const std::string& text,
                          const std::string& verbose, int cwe);

void releaseDiagnostics(VQDiagnosticArray_C*& record);
void releaseMessage(VQMessage_C* message);

}  // namespace kerv::engine
