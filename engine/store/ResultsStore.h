// The results of a project: one file per analysed source file in
// <project>/results, named after a hash of the source path and replaced
// atomically when the file is analysed again. A kill during an analysis
// leaves every finished file's results and nothing half-written. Results are
// not synced to disk one by one: they only cache what an analysis gives, so
// one that a crash of the machine damages is skipped and made again.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/Status.h"
#include "engine/analysis/Finding.h"

namespace kerv::engine {

struct FileResult {
    std::string sourcePath;
    uint64_t contentHash = 0;        // of the source file's bytes when it was analysed
    uint64_t configurationHash = 0;  // of the analyser and its arguments
    std::vector<Finding> findings;
};

std::string serialiseFileResult(const FileResult& result);
bool parseFileResult(const std::string& text, FileResult& out);

class ResultsStore {
public:
    // Reads every results file of the folder (made when missing); a damaged
    // file is logged and skipped, as if that source had not been analysed.
    Status open(const std::string& folder);
    Status save(FileResult result);
    void forget(const std::string& sourcePath);  // deletes the file's results
    const FileResult* find(const std::string& sourcePath) const;
    const std::map<std::string, FileResult>& all() const { return results_; }
    const std::string& folder() const { return folder_; }

private:
    std::string fileFor(const std::string& sourcePath) const;

    std::string folder_;
    std::map<std::string, FileResult> results_;
};

}  // namespace kerv::engine
