#include "engine/store/ProjectJournal.h"

#include <cstdlib>
#include <vector>

#include "engine/store/FileSystem.h"
#include "engine/store/LineRecords.h"
#include "engine/store/RecordLog.h"

namespace kerv::engine {

namespace {

const char* const kJournalTag = "kerv-journal";
const char* const kEarlierJournalVersion = "1";

std::string journalHeader(uint64_t projectFileHash) {
    return joinFields({kJournalTag, toHex(projectFileHash)});
}

bool parseCount(const std::string& text, size_t& value) {
    char* end = nullptr;
    unsigned long parsed = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0') return false;
    value = parsed;
    return true;
}

bool decodeChange(const std::vector<std::string>& f, FileChange& change) {
    if (f.size() == 2 && f[0] == "remove") {
        change.remove = true;
        change.file.path = f[1];
        return true;
    }
    size_t defines = 0;
    if (f.size() < 4 || f[0] != "put" || (f[1] != "0" && f[1] != "1") || !parseCount(f[3], defines) ||
        defines > f.size() - 4)
        return false;
    change.remove = false;
    change.file.language = f[1][0] - '0';
    change.file.path = f[2];
    change.file.defines.assign(f.begin() + 4, f.begin() + 4 + static_cast<long>(defines));
    change.file.includes.assign(f.begin() + 4 + static_cast<long>(defines), f.end());
    return true;
}

// Applies one change's payload; false when it does not decode.
bool applyChange(const std::string& payload, FileList& files) {
    FileChange change;
    if (!decodeChange(splitFields(payload), change)) return false;
    if (change.remove)
        files.remove(change.file.path);
    else
        files.put(change.file);
    return true;
}

// The earlier line format: a header line, then "<change>\t<fnv1a of change>"
// lines.
uint64_t replayEarlierJournal(const std::string& text, uint64_t projectFileHash, FileList& files) {
    const std::string header = joinFields({kJournalTag, kEarlierJournalVersion, toHex(projectFileHash)}) + "\n";
    if (text.compare(0, header.size(), header) != 0) return 0;
    size_t start = header.size();
    for (;;) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) return start;  // nothing more, or a record cut short
        std::string line = text.substr(start, end - start);
        size_t tab = line.rfind('\t');
        if (tab == std::string::npos || toHex(fnv1a(line.substr(0, tab))) != line.substr(tab + 1)) return start;
        if (!applyChange(line.substr(0, tab), files)) return start;
        start = end + 1;
    }
}

}  // namespace

std::string journalRecord(const FileChange& change) {
    if (change.remove) return joinFields({"remove", change.file.path});
    std::vector<std::string> fields = {"put", std::to_string(change.file.language), change.file.path,
                                       std::to_string(change.file.defines.size())};
    fields.insert(fields.end(), change.file.defines.begin(), change.file.defines.end());
    fields.insert(fields.end(), change.file.includes.begin(), change.file.includes.end());
    return joinFields(fields);
}

JournalReplay replayJournal(const std::string& text, uint64_t projectFileHash, FileList& files) {
    if (!isRecordLog(text)) {
        const uint64_t intact = replayEarlierJournal(text, projectFileHash, files);
        return {intact, intact > 0};
    }
    const std::string header = journalHeader(projectFileHash);
    bool headerSeen = false;
    const uint64_t intact = replayRecords(text, [&](const std::string& payload) {
        if (!headerSeen) return headerSeen = payload == header;
        return applyChange(payload, files);
    });
    return {headerSeen ? intact : 0, false};
}

bool appendToJournal(const std::string& path, uint64_t projectFileHash, const std::string& record,
                     uint64_t& validBytes) {
    RecordLogWriter journal(path, true, validBytes);
    std::vector<std::string> payloads;
    if (validBytes == 0) payloads.push_back(journalHeader(projectFileHash));
    payloads.push_back(record);
    if (!journal.append(payloads)) return false;
    validBytes = journal.validBytes();
    return true;
}

}  // namespace kerv::engine
