// Reads cppcheck's version-2 XML: the report of one analysis and the list of
// every message it can give (--errorlist).
#pragma once

#include <string>
#include <vector>

#include "engine/analysis/Finding.h"

namespace kerv::engine {

// False when the text is not a version-2 report.
bool readReport(const std::string& xml, std::vector<Finding>& findings);
bool readErrorList(const std::string& xml, std::vector<RuleInfo>& rules);

}  // namespace kerv::engine
