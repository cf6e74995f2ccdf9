#include "engine/analysis/Analysis.h"

#include <unistd.h>

#include <cstdlib>

#include <algorithm>
#include <iterator>
#include <numeric>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "engine/EngineLog.h"
#include "engine/analysis/Batches.h"
#include "engine/analysis/CppcheckCommand.h"
#include "engine/analysis/Launcher.h"
#include "engine/analysis/ProcessPool.h"
#include "engine/analysis/ReportReader.h"
#include "engine/config/ProjectConfig.h"
#include "engine/store/FileSystem.h"
#include "engine/store/Hashing.h"

namespace kerv::engine {

namespace {

bool readContentHash(FileAnalysisPlan& plan) {
    if (!plan.contentRead) {
        auto bytes = readWholeFile(plan.file->path);
        if (!bytes) return false;
        plan.contentHash = fnv1a(*bytes);
        plan.contentBytes = bytes->size();
        if (plan.headerGraph) {
            // The include folders in cppcheck's order, and the definitions that may name a header.
            const SharedArguments& shared = *plan.command.shared;
            std::vector<const std::string*> folders = plan.command.folders;
            for (const auto& folder : shared.tailFolders()) folders.push_back(&folder);
            std::vector<const std::string*> defines;
            for (const auto& define : shared.headerNameDefines()) defines.push_back(&define);
            defines.insert(defines.end(), plan.command.defines.begin(), plan.command.defines.end());
            plan.headers = plan.headerGraph->headersOf(plan.file->path, *bytes, folders, defines);
        }
        plan.contentRead = true;
    }
    return true;
}

const char* const kPreprocessorStop = "preprocessorErrorDirective";

bool readsFile(const FileAnalysisPlan& plan, const std::string& path) {
    if (plan.file->path == path) return true;
    auto at =
        std::lower_bound(plan.headers.begin(), plan.headers.end(), path,
                         [](const HeaderStamp& header, const std::string& wanted) { return header.path < wanted; });
    return at != plan.headers.end() && at->path == path;
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
             const std::function<void(unsigned)>& progress, const Launcher& launcher)
        : plans_(plans), timeoutSeconds_(timeoutSeconds), results_(results), progress_(progress), launcher_(launcher) {}

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
            std::optional<std::string> xml;
            LaunchedOutput launched;
            if (launcher_.active()) {
                launched = splitLaunchedOutput(child.errors);
                xml = launched.report;
            } else {
                xml = readWholeFile(run.report);
                ::unlink(run.report.c_str());
            }
            std::vector<SourcedFinding> findings;
            bool usable = child.exitedNormally && child.exitCode == 0 && xml && readReport(*xml, findings);
            if (usable) {
                measure(run, child);
                std::vector<size_t> again = saveRun(run, findings);
                failed.insert(failed.end(), again.begin(), again.end());
            } else if (run.plans.size() > 1) {
                if (launcher_.active())
                    engineLog(1, "a run of %zu files failed through %s (%s); its files are analysed one by one",
                              run.plans.size(), launcher_.program().c_str(), launched.messages.c_str());
                failed.insert(failed.end(), run.plans.begin(), run.plans.end());
            } else {
                fail(run.plans.front(), child, commands[index], launched.messages);
            }
        });
        return failed;
    }

    // A file that cannot be analysed loses its earlier results: they would
    // describe a file that is no longer there or no longer analysable.
    void failUnreadable(size_t plan) {
        engineLog(1, "%s: cannot read the source file", plans_[plan].file->path.c_str());
        note(results_.forget(plans_[plan].file->path));
        finish(kSourceUnreadable);
    }

    Status outcome() const { return outcome_; }

    // Seconds of analysis a byte of source took in the usable runs so far,
    // the launcher's cost left out; 0 before any.
    double secondsPerByte() const {
        return measuredBytes_ ? measuredSeconds_ / static_cast<double>(measuredBytes_) : 0;
    }

private:
    ChildCommand commandFor(const Run& run) const {
        const std::vector<std::string> first = plans_[run.plans.front()].arguments();
        ChildCommand command;
        // Without --quiet cppcheck prints a line as it starts each file and
        // each configuration of it: the sign of life the time limit needs.
        std::copy_if(first.begin(), first.end() - 1, std::back_inserter(command.argv),
                     [](const std::string& argument) { return argument != "--quiet"; });
        if (!launcher_.active()) command.argv.push_back("--output-file=" + run.report);
        for (size_t plan : run.plans) command.argv.push_back(plans_[plan].file->path);
        command.timeoutSeconds = timeoutSeconds_;
        return launcher_.active() ? launcher_.wrap(std::move(command)) : command;
    }

    void measure(const Run& run, const ChildOutcome& child) {
        measuredSeconds_ += std::max(child.seconds - launcher_.stepSeconds(), 0.0);
        for (size_t plan : run.plans) measuredBytes_ += plans_[plan].contentBytes;
    }

    // Gives each finding to the file of the run that it came from (cppcheck's
    // file0; the run's first file when it names none) and to every other file
    // of the run that reads the file the finding is in: cppcheck reports a
    // finding in a header once a run, however many of its files include it,
    // and each of them would report it analysed alone.
    //
    // A file that the preprocessor stopped (an #error reached) keeps only that
    // finding. cppcheck does not say which file reached an #error in a
    // header, so when several files of the run read that header they are
    // returned, to be analysed again one by one, and nothing of theirs is kept.
    std::vector<size_t> saveRun(const Run& run, std::vector<SourcedFinding>& findings) {
        std::vector<FileResult> fileResults;
        std::unordered_map<std::string, size_t> byPath;
        for (size_t plan : run.plans) {
            const FileAnalysisPlan& planned = plans_[plan];
            byPath.emplace(planned.file->path, fileResults.size());
            fileResults.push_back(
                {planned.file->path, planned.contentHash, planned.configurationHash, {}, planned.headers, false});
        }
        std::vector<bool> again(fileResults.size(), false);
        for (SourcedFinding& item : findings) {
            auto found = byPath.find(item.source);
            if (found == byPath.end() && !item.source.empty()) found = byPath.find(normalisePath(item.source));
            const std::string& where = item.finding.locations.empty() ? item.source : item.finding.locations[0].file;
            std::vector<size_t> targets;
            if (found != byPath.end()) targets.push_back(found->second);
            for (size_t member = 0; member < run.plans.size() && !where.empty(); ++member)
                if ((found == byPath.end() || member != found->second) && readsFile(plans_[run.plans[member]], where))
                    targets.push_back(member);
            const bool unplaced = targets.empty();
            if (unplaced) targets.push_back(0);
            if (item.finding.id == kPreprocessorStop) {
                if (unplaced && run.plans.size() > 1) {  // in a file none of them is known to read
                    std::fill(again.begin(), again.end(), true);
                    continue;
                }
                if (targets.size() > 1) {
                    for (size_t member : targets) again[member] = true;
                    continue;
                }
                fileResults[targets[0]].stopped = true;
            }
            for (size_t member : targets) fileResults[member].findings.push_back(item.finding);
        }
        std::vector<size_t> analyseAgain;
        for (size_t member = 0; member < fileResults.size(); ++member) {
            FileResult& result = fileResults[member];
            if (again[member]) {
                analyseAgain.push_back(run.plans[member]);
                continue;
            }
            if (result.stopped)
                result.findings.erase(std::remove_if(result.findings.begin(), result.findings.end(),
                                                     [](const Finding& f) { return f.id != kPreprocessorStop; }),
                                      result.findings.end());
            finish(results_.save(std::move(result)));
        }
        if (!analyseAgain.empty())
            engineLog(2,
                      "%zu files of a run read a header whose #error stopped the preprocessor; each is analysed "
                      "again alone",
                      analyseAgain.size());
        return analyseAgain;
    }

    void fail(size_t plan, const ChildOutcome& child, const ChildCommand& command, const std::string& launcherWords) {
        const char* source = plans_[plan].file->path.c_str();
        note(results_.forget(plans_[plan].file->path));
        if (launcher_.active() && child.started && !child.timedOut) {
            engineLog(1, "%s: the run through %s failed (exit code %d): %s", source, launcher_.program().c_str(),
                      child.exitCode, launcherWords.empty() ? "no message" : launcherWords.c_str());
            finish(kAnalysisFailed);
        } else if (!child.started) {
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

    void note(Status status) {
        if (outcome_ == kOk) outcome_ = status;
    }

    void finish(Status status) {
        note(status);
        progress_(static_cast<unsigned>(++done_ * 100 / plans_.size()));
    }

    std::vector<FileAnalysisPlan>& plans_;
    unsigned timeoutSeconds_;
    ResultsStore& results_;
    ReportFolder reports_{results_.folder()};
    const std::function<void(unsigned)>& progress_;
    const Launcher& launcher_;
    double measuredSeconds_ = 0;
    uint64_t measuredBytes_ = 0;
    size_t nextReport_ = 0;
    size_t done_ = 0;
    Status outcome_ = kOk;
};

// Through a launcher, a first wave of runs (one per job) sized for an assumed
// speed measures how fast the analysis goes here; the files left are then
// put into runs sized with the measured speed.
template <class RunsOf>
std::vector<size_t> runLaunched(Analyser& analyser, const Launcher& launcher, const std::vector<size_t>& readable,
                                const std::vector<uint64_t>& bytes, unsigned jobs, const RunsOf& runsOf) {
    constexpr double kAssumedSecondsPerByte = 20e-6;
    std::vector<size_t> positions(readable.size());
    std::iota(positions.begin(), positions.end(), 0);
    BatchLimits first =
        launcher.limits(kAssumedSecondsPerByte, std::accumulate(bytes.begin(), bytes.end(), uint64_t{0}), jobs);
    std::vector<std::vector<size_t>> batches = runsOf(positions, first);
    engineLog(2, "launcher: %zu first runs of at least %llu bytes", std::min<size_t>(jobs, batches.size()),
              static_cast<unsigned long long>(first.smallestBytes));
    if (batches.size() <= jobs) return analyser.run(batches, jobs);
    batches.resize(jobs);
    std::vector<size_t> failed = analyser.run(batches, jobs);
    std::unordered_set<size_t> started;
    for (const auto& batch : batches) started.insert(batch.begin(), batch.end());
    std::vector<size_t> rest;
    uint64_t bytesLeft = 0;
    for (size_t position : positions) {
        if (started.count(readable[position])) continue;
        rest.push_back(position);
        bytesLeft += bytes[position];
    }
    double measured = analyser.secondsPerByte();
    BatchLimits limits = launcher.limits(measured > 0 ? measured : kAssumedSecondsPerByte, bytesLeft, jobs);
    std::vector<std::vector<size_t>> restBatches = runsOf(rest, limits);
    engineLog(2, "launcher: %.3f s a step, %.2f us a byte of source measured: %zu more runs of at least %llu bytes",
              launcher.stepSeconds(), measured * 1e6, restBatches.size(),
              static_cast<unsigned long long>(limits.smallestBytes));
    std::vector<size_t> more = analyser.run(restBatches, jobs);
    failed.insert(failed.end(), more.begin(), more.end());
    return failed;
}

}  // namespace

Status AnalysisPlanner::load(const Project& project, const std::string& cppcheck, const std::string& analyzerVersion) {
    registeredCcts_ = {project.cctPaths.begin(), project.cctPaths.end()};
    return commandLines_.beginPass(
        cppcheck, analyzerVersion, effectiveConfig(project.acfPath, "default.acf"),
        {effectiveConfig(project.activeCct[0], "default.cct"), effectiveConfig(project.activeCct[1], "default.cct")});
}

const std::string& AnalysisPlanner::buildCompilerOf(const ProjectFile& file) const {
    static const std::string kNone;
    if (!registeredCcts_.empty())
        for (const auto& include : file.includes)
            if (registeredCcts_.count(include)) return include;
    return kNone;
}

FileAnalysisPlan AnalysisPlanner::plan(const ProjectFile& file) {
    FileAnalysisPlan plan;
    plan.file = &file;
    plan.command = FileCommand(commandLines_.shared(file.language, buildCompilerOf(file)), file);
    plan.configurationHash = plan.command.hash(file.path);
    plan.headerGraph = headerGraph_.get();
    return plan;
}

bool AnalysisPlanner::isUpToDate(FileAnalysisPlan& plan, const ResultsStore& results) const {
    const FileResult* stored = results.find(plan.file->path);
    return stored && results.isSaved(plan.file->path) && stored->configurationHash == plan.configurationHash &&
           readContentHash(plan) && plan.contentHash == stored->contentHash && plan.headers == stored->headers;
}

bool isComplete(const FileAnalysisPlan& plan, const ResultsStore& results) {
    const FileResult* stored = results.find(plan.file->path);
    return stored && !stored->stopped;
}

Status analyse(std::vector<FileAnalysisPlan>& plans, unsigned jobs, unsigned timeoutSeconds, ResultsStore& results,
               const std::function<void(unsigned)>& progress, Launcher launcher) {
    if (launcher.active() && !plans.empty()) {
        Status ready = launcher.probe();
        if (ready != kOk) return ready;
    }
    progress(0);
    Analyser analyser(plans, timeoutSeconds, results, progress, launcher);
    std::vector<size_t> readable;
    std::vector<size_t> groups;  // of files with the same options
    std::vector<uint64_t> bytes;
    std::unordered_map<uint64_t, std::vector<size_t>> groupsByHash;  // the groups' first plans by options hash
    std::vector<size_t> groupPlans;                                  // each group's first plan
    for (size_t i = 0; i < plans.size(); ++i) {
        if (!readContentHash(plans[i])) {
            analyser.failUnreadable(i);
            continue;
        }
        readable.push_back(i);
        std::vector<size_t>& candidates = groupsByHash[plans[i].command.optionsHash];
        auto group = std::find_if(candidates.begin(), candidates.end(), [&](size_t candidate) {
            return plans[groupPlans[candidate]].command.sameOptions(plans[i].command);
        });
        if (group == candidates.end()) {
            candidates.push_back(groupPlans.size());
            groupPlans.push_back(i);
            group = candidates.end() - 1;
        }
        groups.push_back(*group);
        bytes.push_back(plans[i].contentBytes);
    }
    // The runs of some of the readable files (`members`: positions in `readable`).
    auto runsOf = [&](const std::vector<size_t>& members, const BatchLimits& limits) {
        std::vector<size_t> someGroups;
        std::vector<uint64_t> someBytes;
        for (size_t member : members) {
            someGroups.push_back(groups[member]);
            someBytes.push_back(bytes[member]);
        }
        std::vector<std::vector<size_t>> batches = formBatches(someGroups, someBytes, jobs, limits);
        for (auto& batch : batches)
            for (size_t& member : batch) member = readable[members[member]];
        return batches;
    };
    std::vector<size_t> all(readable.size());
    std::iota(all.begin(), all.end(), 0);
    std::vector<size_t> failed = launcher.active() ? runLaunched(analyser, launcher, readable, bytes, jobs, runsOf)
                                                   : analyser.run(runsOf(all, BatchLimits{}), jobs);
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
