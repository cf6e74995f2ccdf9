// The cppcheck command line for one source file, and what is known about the
// analyser itself (its version and every message it can give).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/analysis/Finding.h"
#include "engine/config/ConfigFiles.h"
#include "engine/store/Project.h"

namespace kerv::engine {

// Everything but the report file: the program, the options, the defines and
// include folders of the file and of its compiler configuration, the file.
std::vector<std::string> analysisArguments(const std::string& cppcheck, const ProjectFile& file,
                                           const AnalysisConfig& analysis, const CompilerSettings& compiler);

// Changes whenever anything that could change the findings changes.
uint64_t configurationHash(const std::vector<std::string>& arguments, const std::string& analyzerVersion);

struct AnalyzerInfo {
    std::string path;
    std::string version;  // "2.10"; empty when the analyser cannot be run
    std::vector<RuleInfo> rules;
};

AnalyzerInfo probeAnalyzer(const std::string& cppcheckPath, const std::string& wanted);

}  // namespace kerv::engine
