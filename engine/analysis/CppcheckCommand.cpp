#include "engine/analysis/CppcheckCommand.h"

#include <cctype>
#include <initializer_list>
#include <unordered_map>

#include "engine/EngineLog.h"
#include "engine/analysis/ProcessPool.h"
#include "engine/analysis/ReportReader.h"
#include "engine/store/FileSystem.h"

namespace kerv::engine {

namespace {

std::string joined(const std::vector<std::string>& items, char separator) {
    std::string text;
    for (const auto& item : items) text += (text.empty() ? "" : std::string(1, separator)) + item;
    return text;
}

void addPrefixed(std::vector<std::string>& arguments, const char* prefix, const std::vector<std::string>& values) {
    for (const auto& value : values)
        if (!value.empty()) arguments.push_back(prefix + value);
}

// "NAME", "NAME=VALUE" and "NAME(args)=VALUE" all define NAME.
std::string macroName(const std::string& define) {
    return define.substr(0, define.find_first_of("=("));
}

// The definitions of the lists in order, a later one replacing an earlier
// one of the same name in its place.
std::vector<std::string> mergedDefines(std::initializer_list<const std::vector<std::string>*> lists) {
    std::vector<std::string> merged;
    std::unordered_map<std::string, size_t> byName;
    for (const auto* list : lists) {
        for (const auto& define : *list) {
            if (define.empty()) continue;
            auto [at, added] = byName.emplace(macroName(define), merged.size());
            if (added)
                merged.push_back(define);
            else
                merged[at->second] = define;
        }
    }
    return merged;
}

}  // namespace

std::vector<std::string> analysisArguments(const std::string& cppcheck, const ProjectFile& file,
                                           const AnalysisConfig& analysis, const CompilerSettings& compiler,
                                           const BuildCompiler* build) {
    bool isC = file.language == 0;
    std::vector<std::string> arguments = {cppcheck, "--xml", "--xml-version=2", "--quiet"};
    if (!analysis.checks.empty()) arguments.push_back("--enable=" + joined(analysis.checks, ','));
    arguments.emplace_back(isC ? "--language=c" : "--language=c++");
    std::string standard = isC ? analysis.cStandard : analysis.cppStandard;
    if (!compiler.standard.empty()) standard = compiler.standard;
    if (build && !build->settings.standard.empty()) standard = build->settings.standard;
    arguments.push_back("--std=" + standard);
    if (analysis.inconclusive) arguments.emplace_back("--inconclusive");
    arguments.insert(arguments.end(), analysis.extraOptions.begin(), analysis.extraOptions.end());
    static const std::vector<std::string> kNone;
    if (!build && compiler.defines.empty()) {
        addPrefixed(arguments, "-D", file.defines);  // the common case, without the merge's cost
    } else {
        addPrefixed(arguments, "-D",
                    mergedDefines({build ? &build->settings.defines : &kNone, &compiler.defines, &file.defines}));
    }
    for (const auto& include : file.includes)
        if (!include.empty() && !(build && include == build->path)) arguments.push_back("-I" + include);
    if (build) addPrefixed(arguments, "-I", build->settings.includes);
    addPrefixed(arguments, "-I", compiler.includes);
    arguments.push_back(file.path);  // absolute, so it can never be read as an option
    return arguments;
}

uint64_t configurationHash(const std::vector<std::string>& arguments, const std::string& analyzerVersion) {
    uint64_t hash = fnv1a(analyzerVersion);
    for (const auto& argument : arguments) hash = fnv1a(argument + '\0', hash);
    return hash;
}

AnalyzerInfo probeAnalyzer(const std::string& cppcheckPath, const std::string& wanted) {
    AnalyzerInfo info;
    info.path = cppcheckPath;
    std::string versionText, errorList;
    if (cppcheckPath.empty()) {
        if (wanted.find('/') == std::string::npos)
            engineLog(1, "cppcheck cannot be run (no '%s' found on PATH)", wanted.c_str());
        else
            engineLog(1, "cppcheck cannot be run (path '%s' is not an executable file)", wanted.c_str());
        return info;
    }
    if (!captureOutput({cppcheckPath, "--version"}, versionText)) {
        engineLog(1, "cppcheck cannot be run (path '%s' gave no version)", cppcheckPath.c_str());
        return info;
    }
    size_t space = versionText.find_last_of(' ');
    info.version = versionText.substr(space == std::string::npos ? 0 : space + 1);
    while (!info.version.empty() && std::isspace(static_cast<unsigned char>(info.version.back())))
        info.version.pop_back();
    if (!captureOutput({cppcheckPath, "--errorlist"}, errorList) || !readErrorList(errorList, info.rules))
        engineLog(1, "cppcheck --errorlist gave no usable list");
    return info;
}

}  // namespace kerv::engine
