// Reads cppcheck's version-2 XML: the report of one analysis and the list of
// every message it can give (--errorlist).
#pragma once

#include <string>
#include <vector>

#include "engine/model/Finding.h"

namespace kerv::engine {

// A finding with the source file whose analysis gave it: cppcheck's file0,
// else the file of its primary location, else empty.
struct SourcedFinding {
    std::string source;
    Finding finding;
};

// False when the text is not a version-2 report.
bool readReport(const std::string& xml, std::vector<SourcedFinding>& findings);
bool readReport(const std::string& xml, std::vector<Finding>& findings);
bool readErrorList(const std::string& xml, std::vector<RuleInfo>& rules);

}  // namespace kerv::engine
