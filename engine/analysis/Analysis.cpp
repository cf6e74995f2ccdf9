#include "engine/analysis/Analysis.h"

#include <unistd.h>

#include "engine/EngineLog.h"
#include "engine/Session.h"
#include "engine/analysis/CppcheckCommand.h"
#include "engine/analysis/ProcessPool.h"
#include "engine/analysis/ReportReader.h"
#include "engine/store/FileSystem.h"

namespace kerv::engine {

namespace {

bool contentHash(const std::string& path, uint64_t& hash) {
    auto bytes = readWholeFile(path);
    if (!bytes) return false;
    hash = fnv1a(*bytes);
    return true;
}

std::string reportPathFor(const ResultsStore& results, size_t index) {
    return results.folder() + "/report-" + std::to_string(::getpid()) + "-" + std::to_string(index) + ".xml";
}

}  // namespace

Status planAnalysis(const Project& project, const std::string& cppcheck, const std::string& analyzerVersion,
                    std::vector<FileAnalysisPlan>& plans) {
    AnalysisConfig analysis;
    Status status = loadAnalysisConfig(project, analysis);
    CompilerSettings compiler[2];
    for (int language = 0; language < 2 && status == kOk; ++language)
        status = loadCompilerConfig(project, language, compiler[language]);
    if (status != kOk) return status;
    plans.clear();
    for (const ProjectFile& file : project.files) {
        FileAnalysisPlan plan;
        plan.file = &file;
        plan.arguments = analysisArguments(cppcheck, file, analysis, compiler[file.language]);
        plan.configurationHash = configurationHash(plan.arguments, analyzerVersion);
        plans.push_back(std::move(plan));
    }
    return kOk;
}

bool isUpToDate(const FileAnalysisPlan& plan, const ResultsStore& results) {
    const FileResult* stored = results.find(plan.file->path);
    uint64_t hash = 0;
    return stored && stored->configurationHash == plan.configurationHash && contentHash(plan.file->path, hash) &&
           hash == stored->contentHash;
}

Status analyse(const std::vector<FileAnalysisPlan>& plans, unsigned jobs, unsigned timeoutSeconds,
               ResultsStore& results, const std::function<void(unsigned)>& progress) {
    progress(0);
    std::vector<std::vector<std::string>> commands(plans.size());
    std::vector<uint64_t> hashes(plans.size(), 0);
    Status outcome = kOk;
    for (size_t i = 0; i < plans.size(); ++i) {
        if (contentHash(plans[i].file->path, hashes[i]))
            commands[i] = withReportFile(plans[i].arguments, reportPathFor(results, i));
        // An unreadable file keeps an empty command: runChildren reports it as not started.
    }
    size_t done = 0;
    runChildren(commands, jobs, timeoutSeconds, [&](size_t index, const ChildOutcome& child) {
        const std::string& source = plans[index].file->path;
        const std::string report = reportPathFor(results, index);
        auto xml = readWholeFile(report);
        ::unlink(report.c_str());
        FileResult result{source, hashes[index], plans[index].configurationHash, {}};
        Status status = kOk;
        if (commands[index].empty()) {
            engineLog(1, "%s: cannot read the source file", source.c_str());
            status = kSourceUnreadable;
        } else if (!child.started) {
            engineLog(1, "%s: cannot start %s", source.c_str(), commands[index][0].c_str());
            status = kAnalyzerMissing;
        } else if (child.timedOut) {
            engineLog(1, "%s: cppcheck ran longer than %u s and was stopped", source.c_str(), timeoutSeconds);
            status = kAnalysisFailed;
        } else if (!child.exitedNormally || child.exitCode != 0 || !xml || !readReport(*xml, result.findings)) {
            engineLog(1, "%s: cppcheck gave no usable report (exit code %d)", source.c_str(), child.exitCode);
            status = kAnalysisFailed;
        } else {
            status = results.save(result);
        }
        if (outcome == kOk) outcome = status;
        progress(static_cast<unsigned>(++done * 100 / plans.size()));
    });
    if (plans.empty()) progress(100);
    removeOrphanedTemporaries(results.folder());  // reports of analysers a killed process left running
    return outcome;
}

}  // namespace kerv::engine
