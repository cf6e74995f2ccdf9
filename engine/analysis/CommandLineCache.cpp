#include "engine/analysis/CommandLineCache.h"

#include "engine/EngineLog.h"

namespace kerv::engine {

Status CommandLineCache::beginPass(const std::string& cppcheck, const std::string& analyzerVersion,
                                   const std::string& analysisPath, const std::array<std::string, 2>& compilerPaths) {
    ++pass_;
    bool changed = cppcheck != cppcheck_ || analyzerVersion != analyzerVersion_;
    cppcheck_ = cppcheck;
    analyzerVersion_ = analyzerVersion;
    changed |= refreshConfig(analysis_, analysisPath, parseAnalysisConfig);
    ConfigError error = analysis_->error;
    for (int language = 0; language < 2; ++language) {
        changed |= refreshConfig(compilers_[language], compilerPaths[language], parseCompilerConfig);
        if (error.status == kOk) error = compilers_[language]->error;
    }
    if (changed) forgetShared();
    logConfigError(error);
    return error.status;
}

const std::shared_ptr<SharedArguments>& CommandLineCache::shared(int language, const std::string& buildPath) {
    if (buildPath.empty()) return withoutBuild(language);
    auto found = builds_.find(buildPath);
    if (found == builds_.end()) found = builds_.emplace(buildPath, Build{}).first;
    Build& build = found->second;
    if (build.checkedInPass != pass_) {
        build.checkedInPass = pass_;
        if (build.config && build.config->error.status == kConfigUnreadable) build.config.reset();  // try again
        if (refreshConfig(build.config, buildPath, parseCompilerConfig)) build.shared = {};
        if (build.config->error.status != kOk) {
            logConfigError(build.config->error);
            engineLog(1, "%s: the files that name this compiler configuration are analysed without it",
                      buildPath.c_str());
        }
    }
    if (build.config->error.status != kOk) return withoutBuild(language);
    auto& made = build.shared[language];
    if (!made) {
        const BuildCompiler compiler{buildPath, build.config->config.perLanguage[language]};
        made = std::make_shared<SharedArguments>(cppcheck_, analyzerVersion_, language, analysis_->config,
                                                 compilers_[language]->config.perLanguage[language], &compiler);
    }
    return made;
}

const std::shared_ptr<SharedArguments>& CommandLineCache::withoutBuild(int language) {
    auto& made = withoutBuild_[language];
    if (!made)
        made = std::make_shared<SharedArguments>(cppcheck_, analyzerVersion_, language, analysis_->config,
                                                 compilers_[language]->config.perLanguage[language], nullptr);
    return made;
}

void CommandLineCache::forgetShared() {
    withoutBuild_ = {};
    for (auto& [path, build] : builds_) build.shared = {};
}

}  // namespace kerv::engine
