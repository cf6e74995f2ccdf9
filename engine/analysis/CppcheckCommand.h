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
// include folders of the file and of its compiler configurations, the file.
// `build` is the compiler configuration that the file's include list names
// (its build's compiler: predefined macros, language standard), null for
// none; that entry of the list is not an include folder. One definition per
// macro name is passed: the file's own wins over the active configuration's,
// which wins over the build compiler's. The build's standard wins over the
// active configuration's, which wins over the analysis configuration's.
struct BuildCompiler {
    std::string path;  // of the compiler configuration file
    CompilerSettings settings;
};
std::vector<std::string> analysisArguments(const std::string& cppcheck, const ProjectFile& file,
                                           const AnalysisConfig& analysis, const CompilerSettings& compiler,
                                           const BuildCompiler* build = nullptr);

// Changes whenever anything that could change the findings changes.
uint64_t configurationHash(const std::vector<std::string>& arguments, const std::string& analyzerVersion);

struct AnalyzerInfo {
    std::string path;
    std::string version;  // "2.10"; empty when the analyser cannot be run
    std::vector<RuleInfo> rules;
};

AnalyzerInfo probeAnalyzer(const std::string& cppcheckPath, const std::string& wanted);

}  // namespace kerv::engine
