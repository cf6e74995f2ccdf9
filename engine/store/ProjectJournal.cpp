#include "engine/store/ProjectJournal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "engine/EngineLog.h"
#include "engine/store/FileSystem.h"
#include "engine/store/LineRecords.h"

namespace kerv::engine {

namespace {

const char* const kJournalTag = "kerv-journal";
const char* const kJournalVersion = "1";

std::string withChecksum(const std::string& payload) {
    std::string line = payload;
    line.append("\t").append(toHex(fnv1a(payload))).append("\n");
    return line;
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

}  // namespace

std::string journalHeader(uint64_t projectFileHash) {
    return joinFields({kJournalTag, kJournalVersion, toHex(projectFileHash)}) + "\n";
}

std::string journalRecord(const FileChange& change) {
    if (change.remove) return withChecksum(joinFields({"remove", change.file.path}));
    std::vector<std::string> fields = {"put", std::to_string(change.file.language), change.file.path,
                                       std::to_string(change.file.defines.size())};
    fields.insert(fields.end(), change.file.defines.begin(), change.file.defines.end());
    fields.insert(fields.end(), change.file.includes.begin(), change.file.includes.end());
    return withChecksum(joinFields(fields));
}

uint64_t replayJournal(const std::string& text, uint64_t projectFileHash, FileList& files) {
    const std::string header = journalHeader(projectFileHash);
    if (text.compare(0, header.size(), header) != 0) return 0;
    size_t start = header.size();
    for (;;) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) return start;  // nothing more, or a record cut short
        std::string line = text.substr(start, end - start);
        size_t tab = line.rfind('\t');
        if (tab == std::string::npos || toHex(fnv1a(line.substr(0, tab))) != line.substr(tab + 1)) return start;
        FileChange change;
        if (!decodeChange(splitFields(line.substr(0, tab)), change)) return start;
        if (change.remove)
            files.remove(change.file.path);
        else
            files.put(change.file);
        start = end + 1;
    }
}

bool appendToJournal(const std::string& path, uint64_t projectFileHash, const std::string& record,
                     uint64_t& validBytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0;
    bool created = validBytes == 0;
    if (ok && static_cast<uint64_t>(info.st_size) != validBytes)
        ok = ::ftruncate(fd, static_cast<off_t>(validBytes)) == 0;
    std::string bytes = created ? journalHeader(projectFileHash) + record : record;
    ok = ok && writeAll(fd, bytes) && ::fdatasync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    // A new journal's name must be on disk before a change in it counts as made.
    if (ok && created) ok = syncFolder(parentFolder(path));
    if (!ok) {
        // A failed change must not come back when the project is read again;
        // should the cut fail too, the next append makes it.
        bool cut =
            created ? ::unlink(path.c_str()) == 0 : ::truncate(path.c_str(), static_cast<off_t>(validBytes)) == 0;
        if (!cut) engineLog(1, "%s: cannot cut off a failed change", path.c_str());
        return false;
    }
    validBytes += bytes.size();
    return true;
}

}  // namespace kerv::engine
