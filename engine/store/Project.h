// A project: the folder <location>/<name> holding the project file
// "project.kerv", the journal of the changes to its file list made since the
// project file was last written ("project.journal", see ProjectJournal.h)
// and the results folder "results".
//
// A change to the file list is appended to the journal and synced before it
// counts as made; the journal is folded into the project file (a new project
// file written beside it, synced and renamed over it, then the journal
// removed) once it outgrows the project file, and when the project is
// closed. A process killed at any point leaves a project that opens with
// every change that was reported made.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/Status.h"
#include "engine/store/FileList.h"

namespace kerv::engine {

// What this process last read or wrote of the project's files on disk.
struct StoredState {
    uint64_t projectFileHash = 0;  // of project.kerv's bytes
    uint64_t projectFileBytes = 0;
    uint64_t journalBytes = 0;  // intact length of the journal, 0 when there is none
};

struct Project {
    std::string location;
    std::string name;
    std::string acfPath;  // empty: built-in defaults
    std::string rcfPath;
    std::vector<std::string> cctPaths;     // registered compiler configurations
    std::array<std::string, 2> activeCct;  // per language, one of cctPaths or empty
    std::string workspace;
    int currentLanguage = 1;
    FileList files;
    StoredState stored;

    std::string folder() const { return location + "/" + name; }
    std::string projectFilePath() const { return folder() + "/project.kerv"; }
    std::string journalPath() const { return folder() + "/project.journal"; }
    std::string resultsFolder() const { return folder() + "/results"; }

    ProjectFile* findFile(const std::string& normalisedPath) { return files.find(normalisedPath); }
};

bool isValidProjectName(const std::string& name);

// Reads <location>/<name>/project.kerv and applies its journal: kOk,
// kProjectNotFound or kProjectCorrupt. Changes nothing on disk but removing
// the temporary files a killed process left behind.
Status loadProject(const std::string& location, const std::string& name, Project& out);

// Writes the whole project file atomically and durably, folding the journal
// into it: kOk or kWriteFailed. kWriteFailed after the new file took the old
// one's place (its folder could not be flushed) leaves the new file there.
Status saveProject(Project& project);

// Whether the project file last written holds `project` as it is now: after
// a saveProject that failed, whether the change stays (and so must stay in
// memory too) or was not written (and is to be undone).
bool isWrittenOut(const Project& project);

// Adds a file or replaces its settings, or removes it, through the journal:
// the change is on disk when kOk is returned, and only then in `project`.
// kWriteFailed leaves both as they were, except when the change was made and
// the fold of the journal that followed it failed.
Status putProjectFile(Project& project, const ProjectFile& file);
Status removeProjectFile(Project& project, const std::string& path);

// Folds a journal that holds changes into the project file.
Status foldJournal(Project& project);

std::string serialiseProject(const Project& project);
bool parseProject(const std::string& text, Project& out);  // false on any malformed line

}  // namespace kerv::engine
