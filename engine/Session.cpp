#include "engine/Session.h"

#include <unistd.h>

#include "engine/EngineLog.h"
#include "engine/config/ProjectConfig.h"
#include "engine/records/ListRecords.h"
#include "engine/store/FileSystem.h"

namespace kerv::engine {

Session& session() {
    static Session* instance = new Session();  // never destroyed: entry points may run during exit
    return *instance;
}

void closeProject(Session& s) {
    if (s.project) foldJournal(*s.project);
    s.project.reset();
    s.results.reset();
    s.findingIndex.reset();
    s.projectLock = ProjectLock();
    s.inlineSuppressions.clear();
    releaseStrings(s.retainedFileList);
    releaseFilePaths(s.retainedIncludedFiles);
}

Status lockProjectFolder(Session& s, const std::string& folder, ProjectLock& lock) {
    if (s.project && s.projectLock.folder() == folder) return kOk;  // held already
    return lock.acquire(folder);
}

void installProject(Session& s, Project project, ProjectLock lock) {
    ProjectLock kept = lock.folder().empty() ? std::move(s.projectLock) : std::move(lock);
    closeProject(s);
    s.project = std::move(project);
    s.projectLock = std::move(kept);
}

const AnalyzerInfo& analyzerInfo(Session& s) {
    const EngineSettings& settings = engineSettings(s);
    const std::string& path = settings.cppcheckPath;
    if (!s.analyzer || s.analyzer->path != path || s.analyzer->version.empty())
        s.analyzer = probeAnalyzer(path, settings.cppcheckWanted);
    return *s.analyzer;
}

const EngineSettings& engineSettings(Session& s) {
    std::vector<std::string> environment = engineSettingsEnvironment();
    FileStamp configFile = fileStamp(engineConfigFile());
    auto& cached = s.engineSettings;
    // An analyser that was missing, or is gone, is looked for again.
    const bool current = cached && cached->environment == environment && cached->configFile == configFile &&
                         !cached->settings.cppcheckPath.empty() &&
                         ::access(cached->settings.cppcheckPath.c_str(), X_OK) == 0;
    if (!current) cached = CachedEngineSettings{std::move(environment), configFile, loadEngineSettings()};
    return cached->settings;
}

void clearCachedSettings(Session& s) {
    s.analyzer.reset();
    s.engineSettings.reset();
    s.ruleConfig.reset();
    s.analysisConfig.reset();
    s.inlineSuppressions.clear();
    s.headerCache = HeaderCache();
    s.commandLines.clear();
}

namespace {

template <class Config, class Parse>
const Config& cachedConfig(std::optional<CachedConfig<Config>>& cached, const std::string& path, Parse parse) {
    refreshConfig(cached, path, parse);
    logConfigError(cached->error);
    return cached->config;
}

}  // namespace

const RuleConfig& ruleConfig(Session& s) {
    std::string path = s.project ? effectiveConfig(s.project->rcfPath, "default.rcf") : "";
    return cachedConfig(s.ruleConfig, path, parseRuleConfig);
}

const AnalysisConfig& analysisConfig(Session& s) {
    std::string path = s.project ? effectiveConfig(s.project->acfPath, "default.acf") : "";
    return cachedConfig(s.analysisConfig, path, parseAnalysisConfig);
}

Status ensureResults(Session& s) {
    if (!s.project) return kNoProject;
    if (s.results) return kOk;
    ResultsStore store;
    Status status = store.open(s.project->resultsFolder());
    if (status == kOk) s.results = std::move(store);
    return status;
}

const FindingIndex& findingIndex(Session& s) {
    auto& index = s.findingIndex;
    if (!index || index->resultsGeneration != s.results->generation() || index->projectFiles != s.project->files.size())
        index = buildFindingIndex(*s.results, *s.project);
    return *index;
}

const char* keepText(Session& s, const char* entryPoint, const std::string& text) {
    std::string& kept = s.returnedTexts[entryPoint];
    kept = text;
    return kept.c_str();
}

Status findProjectFile(Session& s, const char* path, ProjectFile*& file) {
    file = nullptr;
    if (!path) return kNullArgument;
    if (!s.project) return kNoProject;
    file = s.project->findFile(normalisePath(path));
    if (!file) {
        engineLog(1, "%s: not a file of project %s", path, s.project->name.c_str());
        return kFileNotInProject;
    }
    return kOk;
}

}  // namespace kerv::engine
