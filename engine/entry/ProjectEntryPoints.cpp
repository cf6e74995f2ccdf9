// Projects, their files and compiler configurations. Every change is on disk
// before the call returns (a file change in the project's journal, any other
// in the project file); a change that cannot be written is undone in memory
// too, so memory and disk always agree.
#include <algorithm>
#include <array>

#include "engine/config/ProjectConfig.h"
#include "engine/entry/EntryPoints.h"
#include "engine/records/ListRecords.h"
#include "engine/store/FileSystem.h"
#include "engine/store/SourcePaths.h"

using namespace kerv::engine;

namespace {

std::string configPath(const char* path) {
    return path && *path ? normalisePath(path) : "";
}

// The languages the engine maps file extensions to; a configuration has a
// section for each.
bool isSupportedLanguage(int language) {
    return language == VQ_SOURCE_LANGUAGE_C || language == VQ_SOURCE_LANGUAGE_CPP;
}

Status validateConfigs(const Project& project) {
    AnalysisConfig analysis;
    RuleConfig rules;
    CompilerSettings compiler;
    Status status = loadAnalysisConfig(project, analysis);
    if (status == kOk) status = loadRuleConfig(project, rules);
    if (status == kOk) status = loadCompilerConfig(project, 0, compiler);
    return status;
}

// A folder left by a createProject that was stopped before its project file
// was written may be taken over.
bool isReusableFolder(const std::string& folder) {
    if (!isDirectory(folder)) return false;
    for (const std::string& name : listDirectory(folder))
        if (name != "results" && name != kProjectLockName && name.rfind("project.kerv.tmp-", 0) != 0) return false;
    return true;
}

// Applies `change` to the compiler configurations of the open project and
// saves it when it changed them (a client registers the same configuration
// on every import of a compilation database); on a failure that left the project file as it was they are
// restored.
template <class Change>
int changeCompilerConfigs(Session& s, Change&& change) {
    if (!s.project) return kNoProject;
    Project& project = *s.project;
    std::vector<std::string> paths = project.cctPaths;
    std::array<std::string, 2> active = project.activeCct;
    int status = change(project);
    if (status == kOk && project.cctPaths == paths && project.activeCct == active) return kOk;  // nothing to write
    if (status == kOk) status = saveProject(project);
    if (status != kOk && !isWrittenOut(project)) {
        project.cctPaths = std::move(paths);
        project.activeCct = std::move(active);
    }
    return status;
}

Status copyList(unsigned size, char** texts, std::vector<std::string>& out) {
    if (size > 0 && !texts) return kNullArgument;
    for (unsigned i = 0; i < size; ++i) {
        if (!texts[i]) return kNullArgument;
        out.emplace_back(texts[i]);
    }
    return kOk;
}

}  // namespace

extern "C" {

int createProject(const char* location, const char* name, const char* acfFile, const char* rcfFile,
                  const char* cctFile) {
    return guardedStatus("createProject", [&](Session& s) -> int {
        if (!location || !name) return reportStatus("createProject", kNullArgument);
        if (!isValidProjectName(name)) return reportStatus("createProject", kBadArgument);
        if (!isDirectory(location)) return reportStatus("createProject", kLocationMissing);
        Project project;
        project.location = normalisePath(location);
        project.name = name;
        project.acfPath = configPath(acfFile);
        project.rcfPath = configPath(rcfFile);
        project.workspace = s.project ? s.project->workspace : s.workspaceWithoutProject;  // carried over
        if (std::string cct = configPath(cctFile); !cct.empty()) {
            project.cctPaths.push_back(cct);
            project.activeCct[0] = project.activeCct[1] = cct;
        }
        if (Status status = validateConfigs(project); status != kOk) return status;
        const std::string folder = project.folder();
        // Another process that has the folder's project open (or is making
        // it) is named first: its project may not be on disk yet.
        ProjectLock lock;
        if (Status status = isDirectory(folder) ? lockProjectFolder(s, folder, lock) : kOk; status != kOk)
            return reportStatus("createProject", status);
        if (isReadableFile(project.projectFilePath()) || (isDirectory(folder) && !isReusableFolder(folder)))
            return reportStatus("createProject", kProjectExists);
        if (!makeDirectory(folder) || !makeDirectory(project.resultsFolder()))
            return reportStatus("createProject", kWriteFailed);
        Status locked = lock.folder().empty() ? lockProjectFolder(s, folder, lock) : kOk;
        if (locked != kOk) return reportStatus("createProject", locked);
        if (isReadableFile(project.projectFilePath()))  // made meanwhile by the process that held the lock
            return reportStatus("createProject", kProjectExists);
        if (Status status = saveProject(project); status != kOk) return status;
        installProject(s, std::move(project), std::move(lock));
        return kOk;
    });
}

uint8_t isVQFProject(const char* location, const char* name) {
    return guarded<uint8_t>("isVQFProject", 0, [&](Session&) -> uint8_t {
        if (!location || !name || !isValidProjectName(name)) return 0;
        Project project;
        return loadProject(normalisePath(location), name, project) == kOk ? 1 : 0;
    });
}

int initProjectMngr(const char* bindKey, const char* location, const char* name) {
    return guardedStatus("initProjectMngr", [&](Session& s) -> int {
        if (bindKey) s.bindKey = bindKey;
        if (!location || !name) return reportStatus("initProjectMngr", kNullArgument);
        if (!isValidProjectName(name)) return reportStatus("initProjectMngr", kBadArgument);
        Project project;
        ProjectLock lock;
        const std::string folder = normalisePath(location) + "/" + name;
        Status status = isDirectory(folder) ? lockProjectFolder(s, folder, lock) : kOk;
        if (status == kOk) status = loadProject(normalisePath(location), name, project);
        if (status != kOk) return reportStatus("initProjectMngr", status);
        installProject(s, std::move(project), std::move(lock));
        return kOk;
    });
}

int addCCT(const char* cctFilePath) {
    return guardedStatus("addCCT", [&](Session& s) -> int {
        if (!cctFilePath || !*cctFilePath) return reportStatus("addCCT", kNullArgument);
        CompilerConfig config;
        ConfigError error = parseCompilerConfig(cctFilePath, config);
        logConfigError(error);
        if (error.status != kOk) return error.status;
        return reportStatus("addCCT", changeCompilerConfigs(s, [&](Project& project) {
                                std::string path = normalisePath(cctFilePath);
                                auto& list = project.cctPaths;
                                if (std::find(list.begin(), list.end(), path) == list.end()) list.push_back(path);
                                return kOk;
                            }));
    });
}

// `cctFileName` names a registered compiler configuration by its path or its
// file name; the empty name returns the language to the built-in defaults.
int setActiveCCT(VQSourceLanguage_C lang, const char* cctFileName) {
    return guardedStatus("setActiveCCT", [&](Session& s) -> int {
        if (!cctFileName) return reportStatus("setActiveCCT", kNullArgument);
        if (!isSupportedLanguage(lang)) return reportStatus("setActiveCCT", kBadArgument);
        return reportStatus("setActiveCCT", changeCompilerConfigs(s, [&](Project& project) -> int {
                                std::string wanted = cctFileName;
                                if (wanted.empty()) return project.activeCct[lang] = "", kOk;
                                for (const auto& path : project.cctPaths) {
                                    if (path == normalisePath(wanted) || baseName(path) == wanted) {
                                        project.activeCct[lang] = path;
                                        return kOk;
                                    }
                                }
                                return kCctNotRegistered;
                            }));
    });
}

int addFile(VQSourceLanguage_C targetLanguage, const char* file, unsigned int definesSize, char** defines,
            unsigned int includesSize, char** includes) {
    return guardedStatus("addFile", [&](Session& s) -> int {
        if (!file) return reportStatus("addFile", kNullArgument);
        if (!isSupportedLanguage(targetLanguage)) return reportStatus("addFile", kBadArgument);
        ProjectFile entry{normalisePath(file), targetLanguage, {}, {}};
        Status status = copyList(definesSize, defines, entry.defines);
        if (status == kOk) status = copyList(includesSize, includes, entry.includes);
        if (status != kOk) return reportStatus("addFile", status);
        if (std::string refused = unsupportedInSourcePath(entry.path); !refused.empty()) {
            engineLog(1, "addFile: %s holds %s, which a project's file names cannot hold", file, refused.c_str());
            return kBadArgument;
        }
        if (!isReadableFile(entry.path)) {
            engineLog(1, "addFile: %s cannot be read", file);
            return kSourceUnreadable;
        }
        if (!s.project) return reportStatus("addFile", kNoProject);
        return reportStatus("addFile", putProjectFile(*s.project, entry));
    });
}

int removeFile(const char* filePath) {
    return guardedStatus("removeFile", [&](Session& s) -> int {
        ProjectFile* file = nullptr;
        Status status = findProjectFile(s, filePath, file);
        if (status != kOk) return reportStatus("removeFile", status);
        std::string path = file->path;
        // Results first: a file whose results went and that is still in the
        // project is only analysed again; results kept for a removed file
        // would come back with it.
        if (ensureResults(s) == kOk) status = s.results->forget(path);
        if (status == kOk) status = removeProjectFile(*s.project, path);
        return reportStatus("removeFile", status);
    });
}

// The list stays the engine's: it is released on the next getFiles, on
// shutdown, or by freeStrings.
int getFiles(VQStrings_C** files) {
    return guardedStatus("getFiles", [&](Session& s) -> int {
        if (!files) return kNullArgument;
        *files = nullptr;
        if (!s.project) return reportStatus("getFiles", kNoProject);
        std::vector<std::string> paths;
        paths.reserve(s.project->files.size());
        for (const auto& file : s.project->files) paths.push_back(file.path);
        releaseStrings(s.retainedFileList);
        s.retainedFileList = buildStrings(paths);
        *files = s.retainedFileList;
        return kOk;
    });
}

int getVQFile(const char* filePath, VQFile_C** file) {
    return guardedStatus("getVQFile", [&](Session& s) -> int {
        if (!file) return kNullArgument;
        *file = nullptr;
        ProjectFile* entry = nullptr;
        Status status = findProjectFile(s, filePath, entry);
        if (status != kOk) return reportStatus("getVQFile", status);
        *file = buildVQFile(*entry);
        return kOk;
    });
}

}  // extern "C"
