// Brings the results of a project up to date: every file whose results are
// missing or stale is analysed by cppcheck, `jobs` files at a time, and its
// results are saved as soon as it finishes. Progress goes from 0 to 100.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/Status.h"
#include "engine/store/Project.h"
#include "engine/store/ResultsStore.h"

namespace kerv::engine {

// What one file would be analysed with, and whether its stored results match.
struct FileAnalysisPlan {
    const ProjectFile* file = nullptr;
    std::vector<std::string> arguments;  // without the report file
    uint64_t configurationHash = 0;
};

// Builds the plan of every file; fails when a configuration file is bad.
Status planAnalysis(const Project& project, const std::string& cppcheck, const std::string& analyzerVersion,
                    std::vector<FileAnalysisPlan>& plans);

// Up to date: results exist, the file's bytes and the configuration are the
// same as when it was analysed.
bool isUpToDate(const FileAnalysisPlan& plan, const ResultsStore& results);

// Analyses the given plans and saves each result; returns kOk when every file
// was analysed, else the first failure (the others are still analysed).
// A cppcheck run longer than `timeoutSeconds` is stopped and that file fails.
Status analyse(const std::vector<FileAnalysisPlan>& plans, unsigned jobs, unsigned timeoutSeconds,
               ResultsStore& results, const std::function<void(unsigned)>& progress);

}  // namespace kerv::engine
