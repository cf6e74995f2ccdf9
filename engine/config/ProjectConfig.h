// The configuration files that apply to a project, found and read: its own,
// else the default of the user's configuration folder, else that of the
// installation, else the built-in defaults.
#pragma once

#include <string>

#include "engine/Status.h"
#include "engine/config/ConfigFiles.h"
#include "engine/store/Project.h"

namespace kerv::engine {

// The configuration file a project uses: its own (`projectPath`), else
// `defaultName` from the user configuration folder, else from the
// installation's; empty for the built-in defaults.
std::string effectiveConfig(const std::string& projectPath, const char* defaultName);

// Reads the project's configuration files; logs and returns the first error.
Status loadAnalysisConfig(const Project& project, AnalysisConfig& out);
Status loadRuleConfig(const Project& project, RuleConfig& out);
Status loadCompilerConfig(const Project& project, int language, CompilerSettings& out);

}  // namespace kerv::engine
