// Results: analysis, diagnostics, trees, rules and the state of each file.
#include <set>

#include "engine/analysis/Analysis.h"
#include "engine/analysis/HeaderGraph.h"
#include "engine/entry/EntryPoints.h"
#include "engine/records/DiagnosticRecords.h"
#include "engine/records/ListRecords.h"
#include "engine/records/RuleRecords.h"
#include "engine/records/TreeRecords.h"
#include "engine/store/FileSystem.h"

using namespace kerv::engine;

namespace {

const std::set<std::string>& switchedOffRules(Session& s) {
    return ruleConfig(s).switchedOff;
}

// The state of each finding of one query. A suppression comment names the
// finding itself, so it wins over a rule switched off for the whole project.
class FindingStates {
public:
    explicit FindingStates(Session& s)
        : switchedOff_(switchedOffRules(s)),
          inSource_(analysisConfig(s).inlineSuppressions ? &s.inlineSuppressions : nullptr) {
        if (inSource_) inSource_->beginQuery();
    }

    SuppressionState of(const Finding& finding) const {
        if (inSource_ && inSource_->isSuppressed(finding)) return kSuppressedInSource;
        return switchedOff_.count(finding.id) ? kSwitchedOff : kActive;
    }

private:
    const std::set<std::string>& switchedOff_;
    InlineSuppressionIndex* inSource_;
};

std::vector<const Finding*> allFindings(Session& s) {
    if (!s.project || ensureResults(s) != kOk) return {};
    return findingIndex(s).all;
}

std::vector<RuleInfo> rulesOf(Session& s) {
    return knownRules(analyzerInfo(s).rules, allFindings(s));
}

// What getDiagnostics keeps: a null list or a list of count 0 restricts
// nothing; the mask keeps the states whose bit (1 << state) is set, 0 keeps all.
struct DiagnosticFilter {
    std::set<std::string> messageIds;
    std::set<std::string> ruleIds;
    VQSuppressionState_C mask = 0;

    bool keeps(const Finding& finding, SuppressionState state) const {
        return (messageIds.empty() || messageIds.count(finding.id)) && (ruleIds.empty() || ruleIds.count(finding.id)) &&
               (mask == 0 || (mask & (1 << state)));
    }
};

DiagnosticFilter filterOf(const VQMessageArray_C* messages, const VQRuleArray_C* rules, VQSuppressionState_C mask) {
    DiagnosticFilter filter;
    filter.mask = mask;
    for (uint32_t i = 0; messages && i < messages->count; ++i)
        if (messages->messages[i] && messages->messages[i]->uniqueMessageID)
            filter.messageIds.insert(messages->messages[i]->uniqueMessageID);
    for (uint32_t i = 0; rules && i < rules->count; ++i)
        if (rules->rules[i] && rules->rules[i]->ruleId) filter.ruleIds.insert(rules->rules[i]->ruleId);
    return filter;
}

// An item names a project file or a folder: every file below it is in scope.
bool inScope(const std::string& path, const std::vector<std::string>& items) {
    if (items.empty()) return true;
    for (const auto& item : items)
        if (path == item ||
            (path.size() > item.size() && path.compare(0, item.size(), item) == 0 && path[item.size()] == '/'))
            return true;
    return false;
}

const std::vector<const Finding*>& noFindings() {
    static const std::vector<const Finding*> none;
    return none;
}

const std::vector<const Finding*>& findingsOf(const FindingIndex& index, const std::string& path, bool owned) {
    const auto& map = owned ? index.byOwner : index.byLocation;
    auto found = map.find(path);
    return found == map.end() ? noFindings() : found->second;
}

Status plannerFor(Session& s, AnalysisPlanner& planner) {
    const AnalyzerInfo& analyzer = analyzerInfo(s);
    return planner.load(*s.project, analyzer.path, analyzer.version);
}

}  // namespace

extern "C" {

int initResults(const char* bindKey, const char* location, const char* name) {
    return guardedStatus("initResults", [&](Session& s) -> int {
        if (bindKey) s.bindKey = bindKey;
        if (!location || !name) return reportStatus("initResults", kNullArgument);
        bool isOpen = s.project && s.project->location == normalisePath(location) && s.project->name == name;
        if (!isOpen) {
            int status = initProjectMngr(bindKey, location, name);
            if (status != kOk) return status;
        }
        s.results.reset();
        return reportStatus("initResults", ensureResults(s));
    });
}

void aggregate(KERVAggregateCallback callback) {
    guarded("aggregate", 0, [&](Session& s) {
        auto progress = [&](unsigned value) {
            if (callback) callback(value);
        };
        AnalysisPlanner planner(s.headerCache, s.commandLines);
        Status status = s.project ? ensureResults(s) : kNoProject;
        if (status == kOk) status = plannerFor(s, planner);
        if (status != kOk) {
            reportStatus("aggregate", status);
            return 0;
        }
        if (analyzerInfo(s).version.empty()) {
            reportStatus("aggregate", kAnalyzerMissing);
            return 0;
        }
        std::vector<FileAnalysisPlan> stale;
        for (const ProjectFile& file : s.project->files) {
            FileAnalysisPlan plan = planner.plan(file);
            if (!planner.isUpToDate(plan, *s.results)) stale.push_back(std::move(plan));
        }
        engineLog(2, "aggregate: %zu of %zu files to analyse", stale.size(), s.project->files.size());
        const EngineSettings& settings = engineSettings(s);
        Launcher launcher(settings.launcher, settings.launcherStepSeconds, analyzerInfo(s).path,
                          analyzerInfo(s).version);
        reportStatus("aggregate",
                     analyse(stale, settings.jobs, settings.timeoutSeconds, *s.results, progress, launcher));
        return 0;
    });
}

// A project file's diagnostics are the findings it owns (FindingIndex.h); a
// file outside the project that the analysis read (a header) gives the
// findings in it.
int getDiagnostics(const char* filePath, VQMessageArray_C* messages, VQRuleArray_C* rules, VQSuppressionState_C mask,
                   VQDiagnosticArray_C** diagnostics) {
    return guardedStatus("getDiagnostics", [&](Session& s) -> int {
        if (!diagnostics) return kNullArgument;
        *diagnostics = nullptr;
        if (!filePath) return reportStatus("getDiagnostics", kNullArgument);
        if (!s.project) return reportStatus("getDiagnostics", kNoProject);
        if (Status status = ensureResults(s); status != kOk) return reportStatus("getDiagnostics", status);
        const FindingIndex& index = findingIndex(s);
        const std::vector<const Finding*>* findings = nullptr;
        ProjectFile* file = s.project->findFile(normalisePath(filePath));
        if (file) {
            if (!s.results->find(file->path)) return reportStatus("getDiagnostics", kNoResults);
            findings = &findingsOf(index, file->path, true);
        } else {
            for (const std::string& path : {simplifyPath(filePath), normalisePath(filePath)})
                if (!findings && index.included.count(path)) findings = &findingsOf(index, path, false);
        }
        if (!findings) {
            engineLog(1, "%s: not a file of project %s nor one its analysis read", filePath, s.project->name.c_str());
            return reportStatus("getDiagnostics", kFileNotInProject);
        }
        DiagnosticFilter filter = filterOf(messages, rules, mask);
        FindingStates states(s);
        std::vector<DiagnosticInput> kept;
        for (const Finding* finding : *findings) {
            SuppressionState state = states.of(*finding);
            if (filter.keeps(*finding, state)) kept.push_back({finding, state});
        }
        *diagnostics = buildDiagnostics(kept);
        return kOk;
    });
}

// The files outside the project that the analysis read (headers) or that
// findings point into. The list stays the engine's, like the one of getFiles.
int getIncludedFiles(VQFilePathArray_C** files) {
    return guardedStatus("getIncludedFiles", [&](Session& s) -> int {
        if (!files) return kNullArgument;
        *files = nullptr;
        if (!s.project) return reportStatus("getIncludedFiles", kNoProject);
        if (Status status = ensureResults(s); status != kOk) return reportStatus("getIncludedFiles", status);
        const std::set<std::string>& included = findingIndex(s).included;
        releaseFilePaths(s.retainedIncludedFiles);
        s.retainedIncludedFiles = buildFilePaths({included.begin(), included.end()});
        *files = s.retainedIncludedFiles;
        return kOk;
    });
}

int getRuleGroups(VQRuleGroupArray_C** groups) {
    return guardedStatus("getRuleGroups", [&](Session& s) -> int {
        if (!groups) return kNullArgument;
        *groups = nullptr;
        *groups = buildRuleGroups(rulesOf(s), switchedOffRules(s));
        return kOk;
    });
}

int getMessageRuleMap(VQMessageRuleMap_C** map) {
    return guardedStatus("getMessageRuleMap", [&](Session& s) -> int {
        if (!map) return kNullArgument;
        *map = nullptr;
        *map = buildMessageRuleMap(rulesOf(s));
        return kOk;
    });
}

// `includeEmpty` (the flag): list every project file and every known rule,
// also those without diagnostics. `items`: project files or folders that
// restrict the trees; none means the whole project.
int getTrees(VQTrees_C** trees, bool includeEmpty, unsigned int itemCount, char** items) {
    return guardedStatus("getTrees", [&](Session& s) -> int {
        if (!trees) return kNullArgument;
        *trees = nullptr;
        if (itemCount > 0 && !items) return reportStatus("getTrees", kNullArgument);
        if (!s.project) return reportStatus("getTrees", kNoProject);
        if (Status status = ensureResults(s); status != kOk) return status;
        std::vector<std::string> scope;
        for (unsigned i = 0; i < itemCount; ++i) {
            if (!items[i]) return reportStatus("getTrees", kNullArgument);
            scope.push_back(normalisePath(items[i]));
        }
        TreeInput input;
        input.projectName = s.project->name;
        input.projectFolder = s.project->folder();
        input.includeEmpty = includeEmpty;
        FindingStates states(s);
        const FindingIndex& index = findingIndex(s);
        for (const auto& file : s.project->files) {
            if (!inScope(file.path, scope)) continue;
            input.files.push_back(file.path);
            for (const Finding* finding : findingsOf(index, file.path, true))
                input.diagnostics[file.path].push_back({finding, states.of(*finding)});
        }
        if (includeEmpty) input.rules = rulesOf(s);
        *trees = buildTrees(input);
        return kOk;
    });
}

uint8_t hasResults(const char* filePath) {
    return guarded<uint8_t>("hasResults", 0, [&](Session& s) -> uint8_t {
        ProjectFile* file = nullptr;
        if (findProjectFile(s, filePath, file) != kOk || ensureResults(s) != kOk) return 0;
        return s.results->find(file->path) ? 1 : 0;
    });
}

uint8_t hasUptoDateResults(const char* filePath) {
    return guarded<uint8_t>("hasUptoDateResults", 0, [&](Session& s) -> uint8_t {
        ProjectFile* file = nullptr;
        AnalysisPlanner planner(s.headerCache, s.commandLines);
        if (findProjectFile(s, filePath, file) != kOk || ensureResults(s) != kOk || plannerFor(s, planner) != kOk)
            return 0;
        FileAnalysisPlan plan = planner.plan(*file);
        return planner.isUpToDate(plan, *s.results) && isComplete(plan, *s.results) ? 1 : 0;
    });
}

}  // extern "C"
