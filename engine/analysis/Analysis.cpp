#include "engine/analysis/Analysis.h"

#include <unistd.h>

#include <cstdlib>

#include <algorithm>
#include <iterator>
#include <unordered_map>

#include "engine/EngineLog.h"
#include "engine/Session.h"
#include "engine/analysis/Batches.h"
#include "engine/analysis/CppcheckCommand.h"
#include "engine/analysis/ProcessPool.h"
#include "engine/analysis/ReportReader.h"
#include "engine/store/FileSystem.h"

namespace kerv::engine {

namespace {

bool readContentHash(FileAnalysisPlan& plan) {
    if (!plan.contentRead) {
        auto bytes = readWholeFile(plan.file->path);
        if (!bytes) return false;
        plan.contentHash = fnv1a(*bytes);
        plan.contentBytes = bytes->size();
        plan.contentRead = true;
    }
    return true;
}

// Where cppcheck writes its reports: the results folder, or a private
// temporary folder when the results folder cannot be written (the results
// are then only kept in memory, and the analysis still gives them).
class ReportFolder {
public:
    explicit ReportFolder(const std::string& resultsFolder) : path_(resultsFolder) {
        if (::access(resultsFolder.c_str(), W_OK) == 0) return;
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp == '/' ? tmp : "/tmp") + "/kerv-reports-XXXXXX";
        if (::mkdtemp(pattern.data())) path_ = pattern, temporary_ = true;
    }
    ReportFolder(const ReportFolder&) = delete;
    ReportFolder& operator=(const ReportFolder&) = delete;
    ~ReportFolder() {
        if (temporary_) ::rmdir(path_.c_str());
    }

    std::string reportPath(size_t index) const {
        return path_ + "/report-" + std::to_string(::getpid()) + "-" + std::to_string(index) + ".xml";
    }

private:
    std::string path_;
    bool temporary_ = false;
};

// One cppcheck run over several files and where its report goes.
struct Run {
    std::vector<size_t> plans;
    std::string report;
};

class Analyser {
public:
    Analyser(std::vector<FileAnalysisPlan>& plans, unsigned timeoutSeconds, ResultsStore& results,
             const std::function<void(unsigned)>& progress)
        : plans_(plans), timeoutSeconds_(timeoutSeconds), results_(results), progress_(progress) {}

    // Runs the batches and returns the files of the runs that failed as a whole.
    std::vector<size_t> run(const std::vector<std::vector<size_t>>& batches, unsigned jobs) {
        std::vector<Run> runs;
        std::vector<ChildCommand> commands;
        for (const auto& batch : batches) {
            runs.push_back({batch, reports_.reportPath(nextReport_++)});
            commands.push_back(commandFor(runs.back()));
        }
        std::vector<size_t> failed;
        runChildren(commands, jobs, [&](size_t index, const ChildOutcome& child) {
            const Run& run = runs[index];
            auto xml = readWholeFile(run.report);
            ::unlink(run.report.c_str());
            std::vector<SourcedFinding> findings;
            bool usable = child.exitedNormally && child.exitCode == 0 && xml && readReport(*xml, findings);
            if (usable) {
                saveRun(run, findings);
            } else if (run.plans.size() > 1) {
                failed.insert(failed.end(), run.plans.begin(), run.plans.end());
            } else {
                fail(run.plans.front(), child, commands[index]);
            }
        });
        return failed;
    }

    // A file that cannot be analysed loses its earlier results: they would
    // describe a file that is no longer there or no longer analysable.
    void failUnreadable(size_t plan) {
        engineLog(1, "%s: cannot read the source file", plans_[plan].file->path.c_str());
        finish(results_.forget(plans_[plan].file->path));
        finish(kSourceUnreadable);
    }

    Status outcome() const { return outcome_; }

private:
    ChildCommand commandFor(const Run& run) const {
        const std::vector<std::string>& first = plans_[run.plans.front()].arguments;
        ChildCommand command;
        // Without --quiet cppcheck prints a line as it starts each file and
        // each configuration of it: the sign of life the time limit needs.
        std::copy_if(first.begin(), first.end() - 1, std::back_inserter(command.argv),
                     [](const std::string& argument) { return argument != "--quiet"; });
        command.argv.push_back("--output-file=" + run.report);
        for (size_t plan : run.plans) command.argv.push_back(plans_[plan].file->path);
        command.timeoutSeconds = timeoutSeconds_;
        return command;
    }

    // Gives each finding to the file of the run that it came from; one whose
    // file cannot be told (cppcheck names none) goes to the run's first file.
    void saveRun(const Run& run, std::vector<SourcedFinding>& findings) {
        std::vector<FileResult> fileResults;
        std::unordered_map<std::string, size_t> byPath;
        for (size_t plan : run.plans) {
            byPath.emplace(plans_[plan].file->path, fileResults.size());
            fileResults.push_back(
                {plans_[plan].file->path, plans_[plan].contentHash, plans_[plan].configurationHash, {}});
        }
        for (SourcedFinding& item : findings) {
            auto found = byPath.find(item.source);
            if (found == byPath.end() && !item.source.empty()) found = byPath.find(normalisePath(item.source));
            fileResults[found == byPath.end() ? 0 : found->second].findings.push_back(std::move(item.finding));
        }
        for (FileResult& result : fileResults) finish(results_.save(std::move(result)));
    }

    void fail(size_t plan, const ChildOutcome& child, const ChildCommand& command) {
        const char* source = plans_[plan].file->path.c_str();
        finish(results_.forget(plans_[plan].file->path));
        if (!child.started) {
            engineLog(1, "%s: cannot start %s", source, command.argv[0].c_str());
            finish(kAnalyzerMissing);
        } else if (child.timedOut) {
            engineLog(1, "%s: cppcheck worked on it longer than %u s and was stopped", source, timeoutSeconds_);
            finish(kAnalysisFailed);
        } else {
            engineLog(1, "%s: cppcheck gave no usable report (exit code %d)", source, child.exitCode);
            finish(kAnalysisFailed);
        }
    }

    void finish(Status status) {
        if (outcome_ == kOk) outcome_ = status;
        progress_(static_cast<unsigned>(++done_ * 100 / plans_.size()));
    }

    std::vector<FileAnalysisPlan>& plans_;
    unsigned timeoutSeconds_;
    ResultsStore& results_;
    ReportFolder reports_{results_.folder()};
    const std::function<void(unsigned)>& progress_;
    size_t nextReport_ = 0;
    size_t done_ = 0;
    Status outcome_ = kOk;
};

}  // namespace

Status AnalysisPlanner::load(const Project& project, const std::string& cppcheck, const std::string& analyzerVersion) {
    cppcheck_ = cppcheck;
    analyzerVersion_ = analyzerVersion;
    Status status = loadAnalysisConfig(project, analysis_);
    for (int language = 0; language < 2 && status == kOk; ++language)
        status = loadCompilerConfig(project, language, compiler_[language]);
    return status;
}

FileAnalysisPlan AnalysisPlanner::plan(const ProjectFile& file) const {
    FileAnalysisPlan plan;
    plan.file = &file;
    plan.arguments = analysisArguments(cppcheck_, file, analysis_, compiler_[file.language]);
    plan.configurationHash = configurationHash(plan.arguments, analyzerVersion_);
    return plan;
}

bool isUpToDate(FileAnalysisPlan& plan, const ResultsStore& results) {
    const FileResult* stored = results.find(plan.file->path);
    return stored && results.isSaved(plan.file->path) && stored->configurationHash == plan.configurationHash &&
           readContentHash(plan) && plan.contentHash == stored->contentHash;
}

Status analyse(std::vector<FileAnalysisPlan>& plans, unsigned jobs, unsigned timeoutSeconds, ResultsStore& results,
               const std::function<void(unsigned)>& progress) {
    progress(0);
    Analyser analyser(plans, timeoutSeconds, results, progress);
    std::vector<size_t> readable;
    std::vector<const std::vector<std::string>*> options;
    std::vector<uint64_t> bytes;
    std::vector<std::vector<std::string>> withoutFile;
    withoutFile.reserve(plans.size());
    for (size_t i = 0; i < plans.size(); ++i) {
        if (!readContentHash(plans[i])) {
            analyser.failUnreadable(i);
            continue;
        }
        readable.push_back(i);
        withoutFile.emplace_back(plans[i].arguments.begin(), plans[i].arguments.end() - 1);
        options.push_back(&withoutFile.back());
        bytes.push_back(plans[i].contentBytes);
    }
    std::vector<std::vector<size_t>> batches = formBatches(options, bytes, jobs);
    for (auto& batch : batches)
        for (size_t& member : batch) member = readable[member];
    std::vector<size_t> failed = analyser.run(batches, jobs);
    if (!failed.empty()) {
        std::vector<std::vector<size_t>> singles;
        singles.reserve(failed.size());
        for (size_t plan : failed) singles.push_back({plan});
        analyser.run(singles, jobs);
    }
    if (plans.empty()) progress(100);
    removeOrphanedTemporaries(results.folder());  // reports of analysers a killed process left running
    return analyser.outcome();
}

}  // namespace kerv::engine
