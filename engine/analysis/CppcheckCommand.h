// The cppcheck command line of a source file, and what is known about the
// analyser itself (its version and every message it can give).
//
// A command line is, in order: the program, the options, the definitions,
// the file's own include folders, the include folders of its build compiler
// and of the active configuration, the file. `build` is the compiler
// configuration that the file's include list names (its build's compiler:
// predefined macros, language standard), null for none; that entry of the
// list is not an include folder. One definition per macro name is passed:
// the file's own wins over the active configuration's, which wins over the
// build compiler's, each in the place of the first of its name. The build's
// standard wins over the active configuration's, which wins over the
// analysis configuration's.
//
// Everything but the file's own definitions and include folders is the same
// for every file of one (build compiler, language, configuration): it is
// made once (SharedArguments) and each file keeps only what is its own
// (FileCommand), with the hash of its whole command line continued from the
// shared part's.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/config/ConfigFiles.h"
#include "engine/model/Finding.h"
#include "engine/store/Project.h"

namespace kerv::engine {

struct BuildCompiler {
    std::string path;  // of the compiler configuration file
    CompilerSettings settings;
};

// The part of the command line that the files of one (build compiler,
// language, configuration) share.
class SharedArguments {
public:
    SharedArguments(const std::string& cppcheck, const std::string& analyzerVersion, int language,
                    const AnalysisConfig& analysis, const CompilerSettings& compiler, const BuildCompiler* build);

    // The program, the options and the definitions of the build compiler and
    // the active configuration.
    const std::vector<std::string>& head() const { return head_; }
    // The include folders of the build compiler and the active configuration, as options.
    const std::vector<std::string>& tail() const { return tail_; }
    // The same folders as paths.
    const std::vector<std::string>& tailFolders() const { return tailFolders_; }
    // The head's definitions whose value is a header name (`#include MACRO`).
    const std::vector<std::string>& headerNameDefines() const { return headerNameDefines_; }
    // The build compiler's configuration (no include folder), empty for none.
    const std::string& buildPath() const { return buildPath_; }
    // A file's definition replaces the head's of the same name (there is a
    // build compiler or the active configuration defines macros); without
    // one, a file's definitions are passed as they are.
    bool mergesDefines() const { return mergesDefines_; }
    // The configuration hash of the analyser's version and the head.
    uint64_t headHash() const { return headHash_; }

    // The index in the head of the definition of macro `name`, or -1.
    long definitionOf(std::string_view name) const;

    // This part with some of the head's definitions replaced (index, new
    // definition without -D): made once for each set of replacements.
    std::shared_ptr<const SharedArguments> replaced(const std::vector<std::pair<size_t, std::string>>& definitions);

private:
    SharedArguments() = default;
    void finishHead();

    std::vector<std::string> head_;
    std::vector<std::string> tail_;
    std::vector<std::string> tailFolders_;
    std::vector<std::string> headerNameDefines_;
    std::string buildPath_;
    bool mergesDefines_ = false;
    uint64_t versionHash_ = 0;
    uint64_t headHash_ = 0;
    std::map<std::string, size_t, std::less<>> definedAt_;  // macro name: index in the head
    std::map<std::vector<std::pair<size_t, std::string>>, std::shared_ptr<const SharedArguments>> variants_;
};

// One file's command line: the shared part (a variant of it when the file
// redefines some of its macros) and the file's own definitions and include
// folders, which point into the file's settings: the command is used while
// they stay as they are (within one pass, like the plan's file itself).
struct FileCommand {
    FileCommand() = default;
    FileCommand(const std::shared_ptr<SharedArguments>& common, const ProjectFile& file);

    std::shared_ptr<const SharedArguments> shared;
    std::vector<const std::string*> defines;  // without -D
    std::vector<const std::string*> folders;  // without -I
    uint64_t optionsHash = 0;                 // configurationHash of the command line up to the file

    // The configuration hash of the whole command line.
    uint64_t hash(const std::string& file) const;
    // The whole command line, the file last.
    std::vector<std::string> arguments(const std::string& file) const;
    // Whether two files' command lines differ only in the file.
    bool sameOptions(const FileCommand& other) const;
};

// Changes whenever anything that could change the findings changes: the
// analyser's version and every argument.
uint64_t configurationHash(const std::vector<std::string>& arguments, const std::string& analyzerVersion);

struct AnalyzerInfo {
    std::string path;
    std::string version;  // "2.10"; empty when the analyser cannot be run
    std::vector<RuleInfo> rules;
};

AnalyzerInfo probeAnalyzer(const std::string& cppcheckPath, const std::string& wanted);

}  // namespace kerv::engine
