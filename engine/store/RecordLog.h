// An append-only file of records, shared by the project journal and the
// results log. The file starts with a marker line, "kerv-records\t1\n", then
// holds records back to back:
//   <payload length: 4 bytes, little-endian> <CRC-32 of the length bytes and
//   the payload: 4 bytes, little-endian> <payload>
// A record cut short or with a wrong CRC ends the log: it is the tail of an
// append that a crash interrupted, and everything before it is kept. The
// next append cuts such a tail off before it writes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kerv::engine {

// The bytes of one record, and of a whole log holding `payloads`.
std::string encodeRecord(const std::string& payload);
std::string encodeRecordLog(const std::vector<std::string>& payloads);
inline uint64_t encodedRecordBytes(size_t payloadBytes) {
    return 8 + payloadBytes;
}

// Hands each intact record's payload to `visit` in order, stopping at the
// first damaged one or when `visit` returns false. Returns the length of the
// log up to the last record visited with success (the marker included), 0
// when `text` is not a record log.
uint64_t replayRecords(const std::string& text, const std::function<bool(const std::string&)>& visit);

// Appends records to the log at one path. A durable log syncs each append
// (and, when the append made the file, its folder) before it counts as
// written; the other kind only caches what can be made again. The file stays
// open between appends.
class RecordLogWriter {
public:
    RecordLogWriter() = default;
    RecordLogWriter(std::string path, bool durable, uint64_t validBytes = 0);
    RecordLogWriter(const RecordLogWriter&) = delete;
    RecordLogWriter& operator=(const RecordLogWriter&) = delete;
    RecordLogWriter(RecordLogWriter&& other) noexcept;
    RecordLogWriter& operator=(RecordLogWriter&& other) noexcept;
    ~RecordLogWriter();

    // Appends the payloads as records. With nothing intact yet (0) the log is
    // started anew with its marker; anything beyond the intact length, a torn
    // tail, is cut off first. On failure the file is cut back to its intact
    // length (removed when this append made it), so that a failed append
    // never comes back when the log is read.
    bool append(const std::vector<std::string>& payloads);
    uint64_t validBytes() const { return validBytes_; }
    const std::string& path() const { return path_; }

private:
    void close();
    bool openForAppend();

    std::string path_;
    bool durable_ = false;
    uint64_t validBytes_ = 0;
    int fd_ = -1;
};

}  // namespace kerv::engine
