// The engine's process-wide state: the open project and its results, the
// settings of the front end, and what is known about the analyser. Every
// entry point takes the session lock for the length of its work.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "api/KERVRecords.h"
#include "engine/Status.h"
#include "engine/analysis/CommandLineCache.h"
#include "engine/analysis/CppcheckCommand.h"
#include "engine/analysis/HeaderGraph.h"
#include "engine/analysis/InlineSuppressions.h"
#include "engine/config/CachedConfig.h"
#include "engine/config/ConfigFiles.h"
#include "engine/config/EngineSettings.h"
#include "engine/store/FileSystem.h"
#include "engine/store/FindingIndex.h"
#include "engine/store/Project.h"
#include "engine/store/ProjectLock.h"
#include "engine/store/ResultsStore.h"

namespace kerv::engine {

// Engine settings as read under one environment and one engine.conf.
struct CachedEngineSettings {
    std::vector<std::string> environment;
    FileStamp configFile;
    EngineSettings settings;
};

struct Session {
    std::recursive_mutex mutex;
    bool deployed = false;
    bool apiStarted = false;
    std::string bindKey;
    std::optional<Project> project;
    ProjectLock projectLock;              // held while `project` is open
    std::optional<ResultsStore> results;  // opened on first use for the open project
    std::string workspaceWithoutProject;
    int languageWithoutProject = 1;
    std::optional<AnalyzerInfo> analyzer;  // probed on first use
    // Read on first use, and again after clearCachedObjects or a change of
    // what they were read from.
    std::optional<CachedEngineSettings> engineSettings;
    std::optional<CachedConfig<RuleConfig>> ruleConfig;
    std::optional<CachedConfig<AnalysisConfig>> analysisConfig;
    InlineSuppressionIndex inlineSuppressions;
    // Headers as last read, so that a pass reads again only those that changed.
    HeaderCache headerCache;
    // The compiler configurations as last read and the part of the cppcheck
    // command line that the files of each share, kept across passes.
    CommandLineCache commandLines;
    // The open project's findings, each once; made again when the results or
    // the file list changed.
    std::optional<FindingIndex> findingIndex;

    // Texts handed out by the text entry points, by entry point: each stays
    // valid until the next call of the same entry point.
    std::map<std::string, std::string> returnedTexts;

    // Lists that the caller is not expected to release (getFiles,
    // getIncludedFiles): the engine keeps them and frees them on the next
    // call, on shutdown or through the matching free entry point.
    VQStrings_C* retainedFileList = nullptr;
    VQFilePathArray_C* retainedIncludedFiles = nullptr;
};

Session& session();
using SessionLock = std::lock_guard<std::recursive_mutex>;

// Folds the open project's journal into its project file and forgets the
// project, its results, the suppression comments read for them and the
// retained lists; releases the project's lock.
void closeProject(Session& s);

// Takes the lock of a project folder into `lock`; when it is the open
// project's, which this process holds already, `lock` stays empty.
Status lockProjectFolder(Session& s, const std::string& folder, ProjectLock& lock);

// Closes the open project and opens `project` with `lock` (empty: the open
// project's lock, which `project` shares).
void installProject(Session& s, Project project, ProjectLock lock);

const AnalyzerInfo& analyzerInfo(Session& s);
const EngineSettings& engineSettings(Session& s);
// Forgets the settings, configuration and suppression comments read from
// disk, and the analyser.
void clearCachedSettings(Session& s);

// The open project's rule configuration (the built-in defaults without one),
// read again only when its file changed.
const RuleConfig& ruleConfig(Session& s);
// The same for the analysis configuration.
const AnalysisConfig& analysisConfig(Session& s);

// Opens the results of the open project when they are not open yet.
Status ensureResults(Session& s);

// The findings of the open project's results, each once (ensureResults first).
const FindingIndex& findingIndex(Session& s);

// Keeps `text` as the returned text of `entryPoint` and returns it.
const char* keepText(Session& s, const char* entryPoint, const std::string& text);

// Normalises a source path and finds it in the open project.
Status findProjectFile(Session& s, const char* path, ProjectFile*& file);

}  // namespace kerv::engine
