// The results of a project, in <project>/results: the record log
// "results.log" (RecordLog.h), to which each analysed file's results are
// appended (and a "forget<TAB><path>" record when a file's results are
// dropped), read back with the latest entry of each file winning. Reading
// stops at the first damaged record (the tail of a write that a crash
// interrupted), and the next append cuts it off. The log is rewritten with
// the live entries once it holds more than twice their size. A kill during an
// analysis leaves every finished file's results. Results are not synced to
// disk: they only cache what an analysis gives, so one that a crash of the
// machine damages is skipped and made again.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/Status.h"
#include "engine/model/Finding.h"
#include "engine/model/HeaderStamp.h"
#include "engine/store/RecordLog.h"

namespace kerv::engine {

struct FileResult {
    std::string sourcePath;
    uint64_t contentHash = 0;        // of the source file's bytes when it was analysed
    uint64_t configurationHash = 0;  // of the analyser and its arguments
    std::vector<Finding> findings;
    std::vector<HeaderStamp> headers;  // every header the analysis read, sorted by path
    bool stopped = false;              // the preprocessor stopped at an #error: nothing else was analysed
};

std::string serialiseFileResult(const FileResult& result);
bool parseFileResult(const std::string& text, FileResult& out);

class ResultsStore {
public:
    ResultsStore() = default;
    ResultsStore(const ResultsStore&) = delete;
    ResultsStore& operator=(const ResultsStore&) = delete;
    ResultsStore(ResultsStore&& other) noexcept = default;
    ResultsStore& operator=(ResultsStore&& other) noexcept = default;
    ~ResultsStore() = default;

    // Reads the log of the folder (made when missing); a damaged entry ends
    // it, as if the sources of the entries after it had not been analysed.
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
    // Changes whenever a file's results are kept or dropped, and never
    // repeats a value of another store of the process.
    uint64_t generation() const { return generation_; }

private:
    std::string logPath() const { return folder_ + "/results.log"; }
    void readLog();
    bool applyRecord(const std::string& payload);
    bool rewrite();
    void rewriteWhenLarge();
    void keep(FileResult result, uint64_t bytes);
    void drop(const std::string& sourcePath);

    std::string folder_;
    std::map<std::string, FileResult> results_;
    std::map<std::string, uint64_t> entryBytes_;  // of each live entry in the log
    std::set<std::string> unsaved_;               // results kept in memory only
    uint64_t liveBytes_ = 0;
    uint64_t generation_ = 0;
    RecordLogWriter log_;
};

}  // namespace kerv::engine
