// Life cycle, log level, workspace and current language. The reference engine
// has no licensing: any bind key, the empty or null one included, is
// accepted, and project and results calls work before initApi as after it.
#include <algorithm>

#include "engine/config/EngineSettings.h"
#include "engine/entry/EntryPoints.h"
#include "engine/records/ListRecords.h"

using namespace kerv::engine;

namespace {

// The languages a front end can work in: the source languages the engine
// analyses, 0 for C and 1 for C++.
const std::vector<int> kAvailableLanguages = {0, 1};

bool isAvailableLanguage(int language) {
    return std::find(kAvailableLanguages.begin(), kAvailableLanguages.end(), language) != kAvailableLanguages.end();
}

}  // namespace

extern "C" {

int initDeploymentInfo() {
    return guardedStatus("initDeploymentInfo", [](Session& s) {
        s.deployed = true;
        return kOk;
    });
}

void setBindKey(const char* bindKey) {
    guarded("setBindKey", 0, [&](Session& s) {
        s.bindKey = bindKey ? bindKey : "";
        return 0;
    });
}

int initApi(const char* bindKey) {
    return guardedStatus("initApi", [&](Session& s) {
        if (bindKey) s.bindKey = bindKey;
        s.apiStarted = true;
        return kOk;
    });
}

void shutdownApi() {
    guarded("shutdownApi", 0, [](Session& s) {
        closeProject(s);
        s.apiStarted = false;
        return 0;
    });
}

void shutdownApp() {
    guarded("shutdownApp", 0, [](Session& s) {
        closeProject(s);
        s.apiStarted = false;
        s.deployed = false;
        s.analyzer.reset();
        s.returnedTexts.clear();
        return 0;
    });
}

void clearCachedObjects() {
    guarded("clearCachedObjects", 0, [](Session& s) {
        clearCachedSettings(s);
        s.results.reset();  // read again from disk on next use
        releaseStrings(s.retainedFileList);
        releaseFilePaths(s.retainedIncludedFiles);
        return 0;
    });
}

int getLogLevel() {
    return engineLogLevel();
}

void setLogLevel(VQLogLevel_C logLevel) {
    setEngineLogLevel(static_cast<int>(logLevel));
}

int getCurrentLanguage() {
    return guarded("getCurrentLanguage", 0,
                   [](Session& s) { return s.project ? s.project->currentLanguage : s.languageWithoutProject; });
}

void setCurrentLanguage(VQLanguage_C language) {
    guarded("setCurrentLanguage", 0, [&](Session& s) {
        if (!isAvailableLanguage(language)) {
            engineLog(1, "setCurrentLanguage: language %d is not available", static_cast<int>(language));
            return 0;
        }
        if (!s.project) return s.languageWithoutProject = language, 0;
        int previous = s.project->currentLanguage;
        s.project->currentLanguage = language;
        if (saveProject(*s.project) != kOk && !isWrittenOut(*s.project)) s.project->currentLanguage = previous;
        return 0;
    });
}

void getAvailableLanguages(VQLanguages_C** languages) {
    guarded("getAvailableLanguages", 0, [&](Session&) {
        if (!languages) return 0;
        *languages = nullptr;
        *languages = buildLanguages(kAvailableLanguages);
        return 0;
    });
}

void setWorkspace(const char* path) {
    guarded("setWorkspace", 0, [&](Session& s) {
        if (!path) {
            engineLog(1, "setWorkspace: no path given");
            return 0;
        }
        if (!s.project) return s.workspaceWithoutProject = path, 0;
        std::string previous = s.project->workspace;
        s.project->workspace = path;
        if (saveProject(*s.project) != kOk && !isWrittenOut(*s.project)) s.project->workspace = previous;
        return 0;
    });
}

const char* getWorkspace() {
    return guarded<const char*>("getWorkspace", "", [](Session& s) {
        std::string workspace = s.project ? s.project->workspace : s.workspaceWithoutProject;
        return keepText(s, "getWorkspace", workspace.empty() ? defaultWorkspaceFolder() : workspace);
    });
}

}  // extern "C"
