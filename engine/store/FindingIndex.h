// The project's findings, each once. A finding is one (file, line, column,
// rule, message) however many analysed files reported it (a header's finding
// is reported by every file that includes it); the file is that of its first
// location, or the reporting file for a finding without one. Each finding
// has one owner among the project files that report it: the file it is in
// when that file reports it, else the first reporting file by path. A
// project file's diagnostics are the findings it owns, so that the files'
// diagnostics together hold each finding once; a header's diagnostics are
// the findings in it. A finding goes away with the last file that reports it.
// The #error that stopped a file's preprocessor is the exception: each file it
// stopped owns one (a header's diagnostics list it once).
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/model/Finding.h"
#include "engine/store/Project.h"
#include "engine/store/ResultsStore.h"

namespace kerv::engine {

struct FindingIndex {
    uint64_t resultsGeneration = 0;  // of the results store it was built from
    size_t projectFiles = 0;         // the project's file count then

    std::vector<const Finding*> all;                                          // each finding once
    std::unordered_map<std::string, std::vector<const Finding*>> byOwner;     // project file: the findings it owns
    std::unordered_map<std::string, std::vector<const Finding*>> byLocation;  // file: the findings in it
    // Files outside the project that an analysed file read, or that a finding points into.
    std::set<std::string> included;
};

// Points into `results`, so it is only valid while results.generation() is
// the index's.
FindingIndex buildFindingIndex(const ResultsStore& results, const Project& project);

}  // namespace kerv::engine
