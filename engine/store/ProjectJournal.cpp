#include "engine/store/ProjectJournal.h"

#include <cstdlib>
#include <vector>

#include "engine/store/Hashing.h"
#include "engine/store/LineRecords.h"
#include "engine/store/RecordLog.h"

namespace kerv::engine {

namespace {

const char* const kJournalTag = "kerv-journal";

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

}  // namespace

std::string journalRecord(const FileChange& change) {
    if (change.remove) return joinFields({"remove", change.file.path});
    std::vector<std::string> fields = {"put", std::to_string(change.file.language), change.file.path,
                                       std::to_string(change.file.defines.size())};
    fields.insert(fields.end(), change.file.defines.begin(), change.file.defines.end());
    fields.insert(fields.end(), change.file.includes.begin(), change.file.includes.end());
    return joinFields(fields);
}

uint64_t replayJournal(const std::string& text, uint64_t projectFileHash, FileList& files) {
    const std::string header = journalHeader(projectFileHash);
    bool headerSeen = false;
    const uint64_t intact = replayRecords(text, [&](const std::string& payload) {
        if (!headerSeen) return headerSeen = payload == header;
        return applyChange(payload, files);
    });
    return headerSeen ? intact : 0;
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
