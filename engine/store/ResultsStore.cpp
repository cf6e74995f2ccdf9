#include "engine/store/ResultsStore.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>

#include "engine/EngineLog.h"
#include "engine/store/FileSystem.h"
#include "engine/store/LineRecords.h"

namespace kerv::engine {

namespace {

const char* const kHeader = "kerv-results\t1";
const char* const kSuffix = ".res";

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

const char* const kEntryTag = "entry";
const char* const kForgetTag = "forget";

// "<tag>\t<payload length>\t<checksum>\n<payload>"
std::string entry(const char* tag, const std::string& payload) {
    std::string text = joinFields({tag, std::to_string(payload.size()), toHex(fnv1a(payload))});
    return text.append("\n").append(payload);
}

}  // namespace

ResultsStore::ResultsStore(ResultsStore&& other) noexcept
    : folder_(std::move(other.folder_)),
      results_(std::move(other.results_)),
      entryBytes_(std::move(other.entryBytes_)),
      unsaved_(std::move(other.unsaved_)),
      liveBytes_(other.liveBytes_),
      logBytes_(other.logBytes_),
      log_(std::exchange(other.log_, -1)),
      legacyFiles_(other.legacyFiles_) {}

ResultsStore& ResultsStore::operator=(ResultsStore&& other) noexcept {
    if (this != &other) {
        if (log_ >= 0) ::close(log_);
        folder_ = std::move(other.folder_);
        results_ = std::move(other.results_);
        entryBytes_ = std::move(other.entryBytes_);
        unsaved_ = std::move(other.unsaved_);
        liveBytes_ = other.liveBytes_;
        logBytes_ = other.logBytes_;
        log_ = std::exchange(other.log_, -1);
        legacyFiles_ = other.legacyFiles_;
    }
    return *this;
}

ResultsStore::~ResultsStore() {
    if (log_ >= 0) ::close(log_);
}

Status ResultsStore::open(const std::string& folder) {
    *this = ResultsStore();
    folder_ = folder;
    if (!makeDirectory(folder)) {
        engineLog(1, "%s: cannot make the results folder", folder.c_str());
        return kWriteFailed;
    }
    removeOrphanedTemporaries(folder);
    for (const std::string& name : listDirectory(folder)) {
        if (name.size() <= 4 || name.compare(name.size() - 4, 4, kSuffix) != 0) continue;
        legacyFiles_ = true;
        std::string path = folder;
        path.append("/").append(name);
        auto text = readWholeFile(path);
        FileResult result;
        if (!text || !parseFileResult(*text, result) || legacyFileFor(result.sourcePath) != path) {
            engineLog(1, "%s: damaged results file ignored", path.c_str());
            continue;
        }
        results_[result.sourcePath] = std::move(result);
    }
    readLog();
    return kOk;
}

void ResultsStore::readLog() {
    auto text = readWholeFile(logPath());
    if (!text) return;
    size_t at = 0;
    while (at < text->size()) {
        size_t lineEnd = text->find('\n', at);
        if (lineEnd == std::string::npos) break;
        std::vector<std::string> head = splitFields(text->substr(at, lineEnd - at));
        char* end = nullptr;
        uint64_t length = head.size() == 3 ? std::strtoull(head[1].c_str(), &end, 10) : 0;
        if (!end || *end != '\0' || length > text->size() - lineEnd - 1) break;
        std::string payload = text->substr(lineEnd + 1, length);
        if (toHex(fnv1a(payload)) != head[2]) break;
        const uint64_t bytes = lineEnd + 1 + length - at;
        FileResult result;
        if (head[0] == kForgetTag && !payload.empty()) {
            drop(payload);
        } else if (head[0] == kEntryTag && parseFileResult(payload, result)) {
            keep(std::move(result), bytes);
        } else {
            break;
        }
        at += bytes;
    }
    logBytes_ = at;
    if (at < text->size()) engineLog(2, "%s: damaged tail ignored after %zu bytes", logPath().c_str(), at);
}

bool ResultsStore::append(const std::string& text) {
    if (log_ < 0) {
        log_ = ::open(logPath().c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (log_ < 0) return false;
        if (::ftruncate(log_, static_cast<off_t>(logBytes_)) != 0) {  // a damaged tail goes
            ::close(log_);
            log_ = -1;
            return false;
        }
    }
    if (!writeAll(log_, text)) {
        // Whatever part was written must not be read as the start of the next entry.
        if (::ftruncate(log_, static_cast<off_t>(logBytes_)) != 0) {
            ::close(log_);
            log_ = -1;
        }
        return false;
    }
    logBytes_ += text.size();
    return true;
}

// Rewriting costs the live entries' size; doing it only once the log is
// twice that keeps the cost per saved result constant.
void ResultsStore::rewriteWhenLarge() {
    const uint64_t kSmallestRewrite = uint64_t{1} << 20;
    if (logBytes_ < kSmallestRewrite || logBytes_ < 2 * liveBytes_) return;
    std::string text;
    uint64_t live = 0;
    std::map<std::string, uint64_t> entryBytes;
    for (const auto& [path, result] : results_) {
        std::string one = entry(kEntryTag, serialiseFileResult(result));
        entryBytes[path] = one.size();
        live += one.size();
        text += one;
    }
    if (writeFileAtomically(logPath(), text, false) != AtomicWrite::kDone) return;
    entryBytes_ = std::move(entryBytes);
    unsaved_.clear();
    if (log_ >= 0) ::close(log_);
    log_ = -1;
    logBytes_ = liveBytes_ = live;
    if (legacyFiles_) {
        for (const std::string& name : listDirectory(folder_))
            if (name.size() > 4 && name.compare(name.size() - 4, 4, kSuffix) == 0)
                ::unlink((folder_ + "/" + name).c_str());
        legacyFiles_ = false;
    }
}

std::string ResultsStore::legacyFileFor(const std::string& sourcePath) const {
    return folder_ + "/" + toHex(fnv1a(sourcePath)) + kSuffix;
}

Status ResultsStore::save(FileResult result) {
    const std::string text = entry(kEntryTag, serialiseFileResult(result));
    if (!append(text)) {
        engineLog(1, "%s: cannot write results", logPath().c_str());
        drop(result.sourcePath);
        unsaved_.insert(result.sourcePath);
        results_[result.sourcePath] = std::move(result);
        return kWriteFailed;
    }
    unsaved_.erase(result.sourcePath);
    keep(std::move(result), text.size());
    rewriteWhenLarge();
    return kOk;
}

void ResultsStore::keep(FileResult result, uint64_t bytes) {
    uint64_t& live = entryBytes_[result.sourcePath];
    liveBytes_ += bytes - live;
    live = bytes;
    std::string path = result.sourcePath;
    results_[path] = std::move(result);
}

void ResultsStore::drop(const std::string& sourcePath) {
    results_.erase(sourcePath);
    unsaved_.erase(sourcePath);
    liveBytes_ -= entryBytes_[sourcePath];
    entryBytes_.erase(sourcePath);
}

Status ResultsStore::forget(const std::string& sourcePath) {
    if (legacyFiles_) ::unlink(legacyFileFor(sourcePath).c_str());
    if (!results_.count(sourcePath)) return kOk;
    const bool written = append(entry(kForgetTag, sourcePath));
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
