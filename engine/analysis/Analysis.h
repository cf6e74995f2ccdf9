// Brings the results of a project up to date: every file whose results are
// missing or stale is analysed by cppcheck, files with the same options
// several to a run and `jobs` runs at a time, and the results of a run's
// files are saved as soon as it ends. Progress goes from 0 to 100.
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/Status.h"
#include "engine/analysis/CommandLineCache.h"
#include "engine/analysis/CppcheckCommand.h"
#include "engine/analysis/HeaderGraph.h"
#include "engine/analysis/Launcher.h"
#include "engine/config/ConfigFiles.h"
#include "engine/store/Project.h"
#include "engine/store/ResultsStore.h"

namespace kerv::engine {

// What one file would be analysed with, and whether its stored results match.
struct FileAnalysisPlan {
    const ProjectFile* file = nullptr;
    FileCommand command;
    uint64_t configurationHash = 0;
    uint64_t contentHash = 0;  // of the file's bytes, once read
    uint64_t contentBytes = 0;
    std::vector<HeaderStamp> headers;  // the headers it reads, found when its bytes are read
    bool contentRead = false;
    HeaderGraph* headerGraph = nullptr;  // the planner's

    // The command line without the report file; the file comes last.
    std::vector<std::string> arguments() const { return command.arguments(file->path); }
};

// Reads the project's configuration files once and plans any of its files.
// A planner is one pass over the files: each header and each configuration
// file is looked at once.
class AnalysisPlanner {
public:
    AnalysisPlanner() : AnalysisPlanner(ownHeaders_, ownCommandLines_) {}
    // `headers` and `commandLines` outlive the planner and keep what it learns
    // of headers and configuration files for later passes.
    AnalysisPlanner(HeaderCache& headers, CommandLineCache& commandLines)
        : commandLines_(commandLines), headerGraph_(std::make_unique<HeaderGraph>(headers)) {}
    AnalysisPlanner(const AnalysisPlanner&) = delete;
    AnalysisPlanner& operator=(const AnalysisPlanner&) = delete;
    AnalysisPlanner(AnalysisPlanner&&) = delete;
    AnalysisPlanner& operator=(AnalysisPlanner&&) = delete;
    ~AnalysisPlanner() = default;

    // Fails when a configuration file is bad.
    Status load(const Project& project, const std::string& cppcheck, const std::string& analyzerVersion);
    FileAnalysisPlan plan(const ProjectFile& file);

    // Up to date: saved results exist, the file's bytes, the headers it read
    // and the configuration are the same as when it was analysed. Keeps the
    // hash of the bytes and the headers in the plan. A file that the
    // preprocessor stopped is up to date here when nothing changed (analysing
    // it again would stop again), but never complete (isComplete).
    bool isUpToDate(FileAnalysisPlan& plan, const ResultsStore& results) const;

private:
    // The path of the compiler configuration that a file's include list
    // names (one of the project's registered ones); empty for none.
    const std::string& buildCompilerOf(const ProjectFile& file) const;

    HeaderCache ownHeaders_;
    CommandLineCache ownCommandLines_;
    CommandLineCache& commandLines_;
    std::unique_ptr<HeaderGraph> headerGraph_;
    std::set<std::string, std::less<>> registeredCcts_;
};

// Up to date (AnalysisPlanner::isUpToDate) and really analysed: not stopped
// by the preprocessor.
bool isComplete(const FileAnalysisPlan& plan, const ResultsStore& results);

// Analyses the given plans and saves each result; returns kOk when every file
// was analysed, else the first failure (the others are still analysed).
// A run that stays on one file (or one configuration of it) longer than
// `timeoutSeconds` is stopped; the files of a run that fails are analysed
// again one by one, so that one file only costs its own results. A file that
// cannot be read or analysed loses its earlier results. With an active
// launcher every run goes through it; one that cannot be used fails the whole
// analysis with kAnalyzerMissing before any file is touched.
Status analyse(std::vector<FileAnalysisPlan>& plans, unsigned jobs, unsigned timeoutSeconds, ResultsStore& results,
               const std::function<void(unsigned)>& progress, Launcher launcher = {});

}  // namespace kerv::engine
