#include "engine/store/ResultsStore.h"

#include <atomic>
#include <cstdlib>
#include <utility>

#include "engine/EngineLog.h"
#include "engine/store/FileSystem.h"
#include "engine/store/Hashing.h"
#include "engine/store/LineRecords.h"

namespace kerv::engine {

namespace {

const char* const kHeader = "kerv-results\t1";

bool parseInt(const std::string& text, int& value) {
    char* end = nullptr;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0') return false;
    value = static_cast<int>(parsed);
    return true;
}

bool parseHash(const std::string& text, uint64_t& value) {
    char* end = nullptr;
    value = std::strtoull(text.c_str(), &end, 16);
    return text.size() == 16 && *end == '\0';
}

bool applyLine(const std::vector<std::string>& f, FileResult& result) {
    const std::string& key = f[0];
    if (key == "file" && f.size() == 2) return result.sourcePath = f[1], true;
    if (key == "content" && f.size() == 2) return parseHash(f[1], result.contentHash);
    if (key == "configuration" && f.size() == 2) return parseHash(f[1], result.configurationHash);
    if (key == "stopped" && f.size() == 1) return result.stopped = true;
    if (key == "header" && f.size() == 3) {
        result.headers.push_back({f[2], 0});
        return parseHash(f[1], result.headers.back().hash);
    }
    if (key == "finding" && f.size() == 7) {
        Finding finding{f[1], f[2], f[5], f[6], 0, f[4] == "1", {}, {}};
        result.findings.push_back(finding);
        return parseInt(f[3], result.findings.back().cwe);
    }
    if (result.findings.empty()) return false;
    Finding& finding = result.findings.back();
    if (key == "symbol" && f.size() == 2) return finding.symbols.push_back(f[1]), true;
    if (key == "location" && f.size() == 5) {
        FindingLocation location{f[3], 0, 0, f[4]};
        bool ok = parseInt(f[1], location.line) && parseInt(f[2], location.column);
        finding.locations.push_back(location);
        return ok;
    }
    return false;
}

}  // namespace

std::string serialiseFileResult(const FileResult& result) {
    std::string text = std::string(kHeader) + "\n";
    auto line = [&](const std::vector<std::string>& fields) { text += joinFields(fields) + "\n"; };
    line({"file", result.sourcePath});
    line({"content", toHex(result.contentHash)});
    line({"configuration", toHex(result.configurationHash)});
    if (result.stopped) line({"stopped"});
    for (const HeaderStamp& header : result.headers) line({"header", toHex(header.hash), header.path});
    for (const Finding& finding : result.findings) {
        line({"finding", finding.id, finding.severity, std::to_string(finding.cwe), finding.inconclusive ? "1" : "0",
              finding.message, finding.verbose});
        for (const auto& symbol : finding.symbols) line({"symbol", symbol});
        for (const auto& location : finding.locations)
            line({"location", std::to_string(location.line), std::to_string(location.column), location.file,
                  location.info});
    }
    line({"end"});
    return text;
}

bool parseFileResult(const std::string& text, FileResult& out) {
    std::vector<std::string> lines = splitLines(text);
    if (lines.size() < 2 || lines.front() != kHeader || lines.back() != "end") return false;
    FileResult result;
    for (size_t i = 1; i + 1 < lines.size(); ++i)
        if (!applyLine(splitFields(lines[i]), result)) return false;
    if (result.sourcePath.empty()) return false;
    out = std::move(result);
    return true;
}

namespace {

const char* const kForgetTag = "forget";

// Unique across every store of the process, so that a store opened again
// never repeats a value that an earlier one gave.
uint64_t nextGeneration() {
    static std::atomic<uint64_t> counter{0};
    return ++counter;
}

std::string forgetRecord(const std::string& sourcePath) {
    return joinFields({kForgetTag, sourcePath});
}

}  // namespace

Status ResultsStore::open(const std::string& folder) {
    *this = ResultsStore();
    folder_ = folder;
    generation_ = nextGeneration();
    if (!makeDirectory(folder)) {
        engineLog(1, "%s: cannot make the results folder", folder.c_str());
        return kWriteFailed;
    }
    removeOrphanedTemporaries(folder);
    readLog();
    return kOk;
}

bool ResultsStore::applyRecord(const std::string& payload) {
    FileResult result;
    if (parseFileResult(payload, result)) {
        keep(std::move(result), encodedRecordBytes(payload.size()));
        return true;
    }
    std::vector<std::string> forget = splitFields(payload);
    if (forget.size() != 2 || forget[0] != kForgetTag || forget[1].empty()) return false;
    drop(forget[1]);
    return true;
}

void ResultsStore::readLog() {
    auto text = readWholeFile(logPath());
    uint64_t intact = 0;
    if (text) intact = replayRecords(*text, [&](const std::string& payload) { return applyRecord(payload); });
    log_ = RecordLogWriter(logPath(), false, intact);
    if (text && intact < text->size())
        engineLog(2, "%s: damaged tail ignored after %llu bytes", logPath().c_str(),
                  static_cast<unsigned long long>(intact));
}

// Writes the live entries as a new log in place of the old one.
bool ResultsStore::rewrite() {
    std::vector<std::string> payloads;
    uint64_t live = 0;
    std::map<std::string, uint64_t> entryBytes;
    for (const auto& [path, result] : results_) {
        payloads.push_back(serialiseFileResult(result));
        entryBytes[path] = encodedRecordBytes(payloads.back().size());
        live += entryBytes[path];
    }
    const std::string text = encodeRecordLog(payloads);
    if (writeFileAtomically(logPath(), text, false) != AtomicWrite::kDone) return false;
    entryBytes_ = std::move(entryBytes);
    unsaved_.clear();
    liveBytes_ = live;
    log_ = RecordLogWriter(logPath(), false, text.size());
    return true;
}

// Rewriting costs the live entries' size; doing it only once the log is
// twice that keeps the cost per saved result constant.
void ResultsStore::rewriteWhenLarge() {
    const uint64_t kSmallestRewrite = uint64_t{1} << 20;
    if (log_.validBytes() < kSmallestRewrite || log_.validBytes() < 2 * liveBytes_) return;
    rewrite();
}

Status ResultsStore::save(FileResult result) {
    const std::string payload = serialiseFileResult(result);
    if (!log_.append({payload})) {
        engineLog(1, "%s: cannot write results", logPath().c_str());
        drop(result.sourcePath);
        unsaved_.insert(result.sourcePath);
        results_[result.sourcePath] = std::move(result);
        generation_ = nextGeneration();
        return kWriteFailed;
    }
    unsaved_.erase(result.sourcePath);
    keep(std::move(result), encodedRecordBytes(payload.size()));
    rewriteWhenLarge();
    return kOk;
}

void ResultsStore::keep(FileResult result, uint64_t bytes) {
    generation_ = nextGeneration();
    uint64_t& live = entryBytes_[result.sourcePath];
    liveBytes_ += bytes - live;
    live = bytes;
    std::string path = result.sourcePath;
    results_[path] = std::move(result);
}

void ResultsStore::drop(const std::string& sourcePath) {
    generation_ = nextGeneration();
    results_.erase(sourcePath);
    unsaved_.erase(sourcePath);
    liveBytes_ -= entryBytes_[sourcePath];
    entryBytes_.erase(sourcePath);
}

Status ResultsStore::forget(const std::string& sourcePath) {
    if (!results_.count(sourcePath)) return kOk;
    const bool written = log_.append({forgetRecord(sourcePath)});
    drop(sourcePath);
    if (written) return kOk;
    engineLog(1, "%s: cannot write results", logPath().c_str());
    return kWriteFailed;
}

const FileResult* ResultsStore::find(const std::string& sourcePath) const {
    auto it = results_.find(sourcePath);
    return it == results_.end() ? nullptr : &it->second;
}

}  // namespace kerv::engine
