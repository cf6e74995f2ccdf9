#include "engine/store/ResultsStore.h"

#include <unistd.h>

#include <cstdlib>

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

Status ResultsStore::open(const std::string& folder) {
    folder_ = folder;
    results_.clear();
    if (!makeDirectory(folder)) {
        engineLog(1, "%s: cannot make the results folder", folder.c_str());
        return kWriteFailed;
    }
    removeOrphanedTemporaries(folder);
    for (const std::string& name : listDirectory(folder)) {
        if (name.size() <= 4 || name.compare(name.size() - 4, 4, kSuffix) != 0) continue;
        std::string path = folder;
        path.append("/").append(name);
        auto text = readWholeFile(path);
        FileResult result;
        if (!text || !parseFileResult(*text, result) || fileFor(result.sourcePath) != path) {
            engineLog(1, "%s: damaged results file ignored", path.c_str());
            continue;
        }
        results_[result.sourcePath] = std::move(result);
    }
    return kOk;
}

std::string ResultsStore::fileFor(const std::string& sourcePath) const {
    return folder_ + "/" + toHex(fnv1a(sourcePath)) + kSuffix;
}

Status ResultsStore::save(FileResult result) {
    if (!writeFileAtomically(fileFor(result.sourcePath), serialiseFileResult(result), false)) {
        engineLog(1, "%s: cannot write results", fileFor(result.sourcePath).c_str());
        return kWriteFailed;
    }
    std::string path = result.sourcePath;
    results_[path] = std::move(result);
    return kOk;
}

void ResultsStore::forget(const std::string& sourcePath) {
    ::unlink(fileFor(sourcePath).c_str());
    results_.erase(sourcePath);
}

const FileResult* ResultsStore::find(const std::string& sourcePath) const {
    auto it = results_.find(sourcePath);
    return it == results_.end() ? nullptr : &it->second;
}

}  // namespace kerv::engine
