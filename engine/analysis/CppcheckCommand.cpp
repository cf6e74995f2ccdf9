#include "engine/analysis/CppcheckCommand.h"

#include <algorithm>
#include <cctype>

#include "engine/EngineLog.h"
#include "engine/analysis/ProcessPool.h"
#include "engine/analysis/ReportReader.h"
#include "engine/store/Hashing.h"

namespace kerv::engine {

namespace {

std::string joined(const std::vector<std::string>& items, char separator) {
    std::string text;
    for (const auto& item : items) text += (text.empty() ? "" : std::string(1, separator)) + item;
    return text;
}

// "NAME", "NAME=VALUE" and "NAME(args)=VALUE" all define NAME.
std::string_view macroName(std::string_view define) {
    return define.substr(0, define.find_first_of("=("));
}

// The hash continued over one argument, given as a prefix and a value.
uint64_t hashArgument(uint64_t hash, std::string_view prefix, std::string_view value) {
    return fnv1a(std::string_view("\0", 1), fnv1a(value, fnv1a(prefix, hash)));
}

uint64_t hashArguments(uint64_t hash, const std::vector<std::string>& arguments) {
    for (const auto& argument : arguments) hash = hashArgument(hash, "", argument);
    return hash;
}

bool sameValues(const std::vector<const std::string*>& a, const std::vector<const std::string*>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const std::string* x, const std::string* y) { return *x == *y; });
}

}  // namespace

SharedArguments::SharedArguments(const std::string& cppcheck, const std::string& analyzerVersion, int language,
                                 const AnalysisConfig& analysis, const CompilerSettings& compiler,
                                 const BuildCompiler* build)
    : head_{cppcheck, "--xml", "--xml-version=2", "--quiet"},
      mergesDefines_(build || !compiler.defines.empty()),
      versionHash_(fnv1a(analyzerVersion)) {
    const bool isC = language == 0;
    if (!analysis.checks.empty()) head_.push_back("--enable=" + joined(analysis.checks, ','));
    head_.emplace_back(isC ? "--language=c" : "--language=c++");
    std::string standard = isC ? analysis.cStandard : analysis.cppStandard;
    if (!compiler.standard.empty()) standard = compiler.standard;
    if (build && !build->settings.standard.empty()) standard = build->settings.standard;
    head_.push_back("--std=" + standard);
    if (analysis.inconclusive) head_.emplace_back("--inconclusive");
    head_.insert(head_.end(), analysis.extraOptions.begin(), analysis.extraOptions.end());
    auto define = [&](const std::vector<std::string>& definitions) {
        for (const auto& definition : definitions) {
            if (definition.empty()) continue;
            auto [at, added] = definedAt_.emplace(macroName(definition), head_.size());
            if (added)
                head_.push_back("-D" + definition);
            else
                head_[at->second] = "-D" + definition;
        }
    };
    if (build) {
        define(build->settings.defines);
        buildPath_ = build->path;
        for (const auto& folder : build->settings.includes)
            if (!folder.empty()) tailFolders_.push_back(folder);
    }
    define(compiler.defines);
    for (const auto& folder : compiler.includes)
        if (!folder.empty()) tailFolders_.push_back(folder);
    for (const auto& folder : tailFolders_) tail_.push_back("-I" + folder);
    finishHead();
}

void SharedArguments::finishHead() {
    headHash_ = hashArguments(versionHash_, head_);
    headerNameDefines_.clear();
    for (size_t i = 1; i < head_.size(); ++i) {
        const std::string& argument = head_[i];
        size_t equals = argument.find('=');
        if (argument.compare(0, 2, "-D") == 0 && equals != std::string::npos && equals + 1 < argument.size() &&
            (argument[equals + 1] == '"' || argument[equals + 1] == '<'))
            headerNameDefines_.push_back(argument.substr(2));
    }
}

long SharedArguments::definitionOf(std::string_view name) const {
    auto found = definedAt_.find(name);
    return found == definedAt_.end() ? -1 : static_cast<long>(found->second);
}

std::shared_ptr<const SharedArguments> SharedArguments::replaced(
    const std::vector<std::pair<size_t, std::string>>& definitions) {
    auto& variant = variants_[definitions];
    if (!variant) {
        auto made = std::shared_ptr<SharedArguments>(new SharedArguments());
        made->head_ = head_;
        for (const auto& [index, definition] : definitions) made->head_[index] = "-D" + definition;
        made->tail_ = tail_;
        made->tailFolders_ = tailFolders_;
        made->buildPath_ = buildPath_;
        made->mergesDefines_ = mergesDefines_;
        made->versionHash_ = versionHash_;
        made->finishHead();
        variant = std::move(made);
    }
    return variant;
}

FileCommand::FileCommand(const std::shared_ptr<SharedArguments>& common, const ProjectFile& file) {
    std::vector<std::pair<size_t, std::string>> replacements;  // of the shared definitions, by index
    for (const auto& define : file.defines) {
        if (define.empty()) continue;
        if (!common->mergesDefines()) {
            defines.push_back(&define);
            continue;
        }
        const std::string_view name = macroName(define);
        if (long at = common->definitionOf(name); at >= 0) {
            auto same = std::find_if(replacements.begin(), replacements.end(),
                                     [&](const auto& replacement) { return replacement.first == size_t(at); });
            if (same == replacements.end())
                replacements.emplace_back(at, define);
            else
                same->second = define;
            continue;
        }
        auto same = std::find_if(defines.begin(), defines.end(),
                                 [&](const std::string* earlier) { return macroName(*earlier) == name; });
        if (same == defines.end())
            defines.push_back(&define);
        else
            *same = &define;
    }
    if (replacements.empty()) {
        shared = common;
    } else {
        std::sort(replacements.begin(), replacements.end());
        shared = common->replaced(replacements);
    }
    for (const auto& include : file.includes)
        if (!include.empty() && include != shared->buildPath()) folders.push_back(&include);
    uint64_t state = shared->headHash();
    for (const std::string* define : defines) state = hashArgument(state, "-D", *define);
    for (const std::string* folder : folders) state = hashArgument(state, "-I", *folder);
    optionsHash = hashArguments(state, shared->tail());
}

uint64_t FileCommand::hash(const std::string& file) const {
    return hashArgument(optionsHash, "", file);
}

std::vector<std::string> FileCommand::arguments(const std::string& file) const {
    std::vector<std::string> arguments;
    arguments.reserve(shared->head().size() + defines.size() + folders.size() + shared->tail().size() + 1);
    arguments.insert(arguments.end(), shared->head().begin(), shared->head().end());
    for (const std::string* define : defines) arguments.push_back("-D" + *define);
    for (const std::string* folder : folders) arguments.push_back("-I" + *folder);
    arguments.insert(arguments.end(), shared->tail().begin(), shared->tail().end());
    arguments.push_back(file);  // absolute, so it can never be read as an option
    return arguments;
}

bool FileCommand::sameOptions(const FileCommand& other) const {
    if (shared != other.shared && (shared->head() != other.shared->head() || shared->tail() != other.shared->tail()))
        return false;
    return sameValues(defines, other.defines) && sameValues(folders, other.folders);
}

uint64_t configurationHash(const std::vector<std::string>& arguments, const std::string& analyzerVersion) {
    return hashArguments(fnv1a(analyzerVersion), arguments);
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
