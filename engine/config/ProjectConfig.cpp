#include "engine/config/ProjectConfig.h"

#include "engine/config/EngineSettings.h"
#include "engine/store/FileSystem.h"

namespace kerv::engine {

namespace {

Status reported(const ConfigError& error) {
    logConfigError(error);
    return error.status;
}

}  // namespace

std::string effectiveConfig(const std::string& projectPath, const char* defaultName) {
    if (!projectPath.empty()) return projectPath;
    for (const std::string& folder : {userConfigFolder(), installConfigFolder()}) {
        std::string candidate = folder;
        candidate.append("/").append(defaultName);
        if (isReadableFile(candidate)) return candidate;
    }
    return "";
}

Status loadAnalysisConfig(const Project& project, AnalysisConfig& out) {
    return reported(parseAnalysisConfig(effectiveConfig(project.acfPath, "default.acf"), out));
}

Status loadRuleConfig(const Project& project, RuleConfig& out) {
    return reported(parseRuleConfig(effectiveConfig(project.rcfPath, "default.rcf"), out));
}

Status loadCompilerConfig(const Project& project, int language, CompilerSettings& out) {
    CompilerConfig config;
    Status status = reported(parseCompilerConfig(effectiveConfig(project.activeCct[language], "default.cct"), config));
    out = config.perLanguage[language];
    return status;
}

}  // namespace kerv::engine
