// The results of a project, in <project>/results: the log "results.log",
// to which each analysed file's results are appended (and a line when a
// file's results are dropped), read back with the latest entry of each file
// winning. Each entry carries its length and a checksum; reading stops at
// the first damaged one (the tail of a write that a crash interrupted), and
// the next append cuts it off. The log is rewritten with the live entries
// once it holds more than twice their size. A kill during an analysis leaves
// every finished file's results. Results are not synced to disk: they only
// cache what an analysis gives, so one that a crash of the machine damages is
// skipped and made again. Results of earlier versions, one file per source
// named after a hash of its path, are still read, and removed when the log
// is rewritten.
#pragma once

#include <cstdint>
#include <map>
#include <set>
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
    ResultsStore() = default;
    ResultsStore(const ResultsStore&) = delete;
    ResultsStore& operator=(const ResultsStore&) = delete;
    ResultsStore(ResultsStore&& other) noexcept;
    ResultsStore& operator=(ResultsStore&& other) noexcept;
    ~ResultsStore();

    // Reads the log and the results files of the folder (made when
    // missing); a damaged file is logged and skipped, as if that source had
    // not been analysed.
    Status open(const std::string& folder);
    // Keeps the results; when they cannot be written they are still served
    // until the process ends but do not count as saved, and kWriteFailed is
    // returned.
    Status save(FileResult result);
    bool isSaved(const std::string& sourcePath) const { return !unsaved_.count(sourcePath); }
    // Drops the file's results; kWriteFailed when that cannot be written (they
    // are then read again with the folder).
    Status forget(const std::string& sourcePath);
    const FileResult* find(const std::string& sourcePath) const;
    const std::map<std::string, FileResult>& all() const { return results_; }
    const std::string& folder() const { return folder_; }

private:
    std::string legacyFileFor(const std::string& sourcePath) const;
    std::string logPath() const { return folder_ + "/results.log"; }
    void readLog();
    bool append(const std::string& payload);
    void rewriteWhenLarge();
    void keep(FileResult result, uint64_t bytes);
    void drop(const std::string& sourcePath);

    std::string folder_;
    std::map<std::string, FileResult> results_;
    std::map<std::string, uint64_t> entryBytes_;  // of each live entry in the log
    std::set<std::string> unsaved_;               // results kept in memory only
    uint64_t liveBytes_ = 0;
    uint64_t logBytes_ = 0;  // intact length of the log
    int log_ = -1;           // open for appending once something was saved
    bool legacyFiles_ = false;
};

}  // namespace kerv::engine
