// What command lines are made from, kept across passes (an aggregate, a
// hasUptoDateResults call): the analysis configuration and the compiler
// configurations, each read again only when its file changed, and the part
// of the command line that the files of one (build compiler, language)
// share, made again only when something it is made from changed.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "engine/Status.h"
#include "engine/analysis/CppcheckCommand.h"
#include "engine/config/CachedConfig.h"
#include "engine/config/ConfigFiles.h"

namespace kerv::engine {

class CommandLineCache {
public:
    // Starts a pass with the analyser and the configuration files that the
    // project uses (empty paths: the built-in defaults). Fails, logging the
    // first bad file, when the analysis configuration or an active compiler
    // configuration cannot be read or parsed.
    Status beginPass(const std::string& cppcheck, const std::string& analyzerVersion, const std::string& analysisPath,
                     const std::array<std::string, 2>& compilerPaths);

    // The shared part of the command line of the files of `language` whose
    // build compiler is the configuration at `buildPath` (empty: none). The
    // configuration is looked at once a pass; one that cannot be read or
    // parsed is logged then, and its files are analysed without it.
    const std::shared_ptr<SharedArguments>& shared(int language, const std::string& buildPath);

    void clear() { *this = CommandLineCache(); }

private:
    struct Build {
        std::optional<CachedConfig<CompilerConfig>> config;
        uint64_t checkedInPass = 0;
        std::array<std::shared_ptr<SharedArguments>, 2> shared;  // by language
    };

    const std::shared_ptr<SharedArguments>& withoutBuild(int language);
    void forgetShared();

    uint64_t pass_ = 0;
    std::string cppcheck_;
    std::string analyzerVersion_;
    std::optional<CachedConfig<AnalysisConfig>> analysis_;
    std::array<std::optional<CachedConfig<CompilerConfig>>, 2> compilers_;  // the active ones, by language
    std::array<std::shared_ptr<SharedArguments>, 2> withoutBuild_;
    std::map<std::string, Build, std::less<>> builds_;  // by configuration path
};

}  // namespace kerv::engine
