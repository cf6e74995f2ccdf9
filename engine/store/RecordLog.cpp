#include "engine/store/RecordLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <limits>
#include <utility>

#include "engine/EngineLog.h"
#include "engine/store/FileSystem.h"

namespace kerv::engine {

namespace {

const std::string kMarker = "kerv-records\t1\n";
const size_t kHeaderBytes = encodedRecordBytes(0);

void putUint32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xff);
}

uint32_t getUint32(const std::string& text, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(text[at + static_cast<size_t>(i)]);
    return value;
}

uint32_t checksum(const char* lengthBytes, const char* payload, size_t payloadBytes) {
    uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(lengthBytes), 4);
    crc = crc32_z(crc, reinterpret_cast<const Bytef*>(payload), payloadBytes);
    return static_cast<uint32_t>(crc);
}

bool isRecordLog(const std::string& text) {
    return text.compare(0, kMarker.size(), kMarker) == 0;
}

}  // namespace

std::string encodeRecord(const std::string& payload) {
    std::string record;
    record.reserve(kHeaderBytes + payload.size());
    putUint32(record, static_cast<uint32_t>(payload.size()));
    putUint32(record, checksum(record.data(), payload.data(), payload.size()));
    return record.append(payload);
}

std::string encodeRecordLog(const std::vector<std::string>& payloads) {
    std::string log = kMarker;
    for (const std::string& payload : payloads) log += encodeRecord(payload);
    return log;
}

uint64_t replayRecords(const std::string& text, const std::function<bool(const std::string&)>& visit) {
    if (!isRecordLog(text)) return 0;
    size_t at = kMarker.size();
    while (text.size() - at >= kHeaderBytes) {
        const uint32_t length = getUint32(text, at);
        if (length > text.size() - at - kHeaderBytes) break;
        const char* payload = text.data() + at + kHeaderBytes;
        if (checksum(text.data() + at, payload, length) != getUint32(text, at + 4)) break;
        if (!visit(std::string(payload, length))) break;
        at += kHeaderBytes + length;
    }
    return at;
}

RecordLogWriter::RecordLogWriter(std::string path, bool durable, uint64_t validBytes)
    : path_(std::move(path)), durable_(durable), validBytes_(validBytes) {}

RecordLogWriter::RecordLogWriter(RecordLogWriter&& other) noexcept
    : path_(std::move(other.path_)),
      durable_(other.durable_),
      validBytes_(other.validBytes_),
      fd_(std::exchange(other.fd_, -1)) {}

RecordLogWriter& RecordLogWriter::operator=(RecordLogWriter&& other) noexcept {
    if (this != &other) {
        close();
        path_ = std::move(other.path_);
        durable_ = other.durable_;
        validBytes_ = other.validBytes_;
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

RecordLogWriter::~RecordLogWriter() {
    close();
}

void RecordLogWriter::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool RecordLogWriter::openForAppend() {
    if (fd_ >= 0) return true;
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd_ < 0) return false;
    struct stat info {};
    bool ok = ::fstat(fd_, &info) == 0;
    if (ok && static_cast<uint64_t>(info.st_size) != validBytes_)  // a torn tail goes
        ok = ::ftruncate(fd_, static_cast<off_t>(validBytes_)) == 0;
    if (!ok) close();
    return ok;
}

bool RecordLogWriter::append(const std::vector<std::string>& payloads) {
    const bool created = validBytes_ == 0;
    std::string bytes = created ? kMarker : std::string();
    for (const std::string& payload : payloads) {
        if (payload.size() > std::numeric_limits<uint32_t>::max()) return false;
        bytes += encodeRecord(payload);
    }
    if (!openForAppend()) return false;
    bool ok = writeAll(fd_, bytes) && (!durable_ || ::fdatasync(fd_) == 0);
    // A new log's name must be on disk before a record in it counts as made.
    if (ok && created && durable_) ok = syncFolder(parentFolder(path_));
    if (ok) {
        validBytes_ += bytes.size();
        return true;
    }
    // Should the cut fail too, the next append makes it, from a file opened anew.
    bool cut = created ? ::unlink(path_.c_str()) == 0 : ::ftruncate(fd_, static_cast<off_t>(validBytes_)) == 0;
    if (!cut) engineLog(1, "%s: cannot cut off a failed change", path_.c_str());
    if (!cut || created) close();
    return false;
}

}  // namespace kerv::engine
