// A project: the folder <location>/<name> holding the project file
// "project.kerv" and the results folder "results".
#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/Status.h"

namespace kerv::engine {

struct ProjectFile {
    std::string path;  // normalised absolute path
    int language = 0;  // VQSourceLanguage_C: 0 C, 1 C++
    std::vector<std::string> defines;
    std::vector<std::string> includes;
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
    std::vector<ProjectFile> files;

    std::string folder() const { return location + "/" + name; }
    std::string projectFilePath() const { return folder() + "/project.kerv"; }
    std::string resultsFolder() const { return folder() + "/results"; }

    ProjectFile* findFile(const std::string& normalisedPath);
};

bool isValidProjectName(const std::string& name);

// Reads <location>/<name>/project.kerv: kOk, kProjectNotFound or kProjectCorrupt.
Status loadProject(const std::string& location, const std::string& name, Project& out);

// Writes the project file atomically: kOk or kWriteFailed.
Status saveProject(const Project& project);

std::string serialiseProject(const Project& project);
bool parseProject(const std::string& text, Project& out);  // false on any malformed line

}  // namespace kerv::engine
