// File helpers shared by the project and results stores.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kerv::engine {

std::optional<std::string> readWholeFile(const std::string& path);

// Writes `content` to a temporary file beside `path` and renames it over
// `path`: a reader sees the old or the new file, never a part. `durable`
// also flushes the file and its folder to disk before returning, so the new
// file survives a crash of the machine; without it a crash of the machine
// (never of the process) may leave the old file or a damaged one.
enum class AtomicWrite {
    kDone,
    kNotWritten,  // `path` is as it was
    kNotDurable,  // `path` is the new file, but its folder could not be flushed
};
AtomicWrite writeFileAtomically(const std::string& path, const std::string& content, bool durable = true);

// Writes all of `content` to `fd`, retrying short writes.
bool writeAll(int fd, const std::string& content);

// Flushes a folder's entries (names made, renamed or removed) to disk.
bool syncFolder(const std::string& folder);

// Deletes the temporary files ("<name>.tmp-<pid>-<n>", "report-<pid>-<n>.xml")
// that a process killed half-way left in `folder`; files of a process that is
// still running are kept.
void removeOrphanedTemporaries(const std::string& folder);

// What tells a changed file from the one read before: its modification time
// and size (a file that is missing has neither).
struct FileStamp {
    bool exists = false;
    int64_t modifiedNanoseconds = 0;
    int64_t size = 0;
    bool operator==(const FileStamp& other) const {
        return exists == other.exists && modifiedNanoseconds == other.modifiedNanoseconds && size == other.size;
    }
};
FileStamp fileStamp(const std::string& path);

bool isDirectory(const std::string& path);
bool isReadableFile(const std::string& path);
bool makeDirectory(const std::string& path);  // one level; true when it exists afterwards
std::vector<std::string> listDirectory(const std::string& path);

// realpath() when the file exists, otherwise the path made absolute lexically
// (so a file that vanished can still be named and removed).
std::string normalisePath(const std::string& path);
std::string parentFolder(const std::string& path);
std::string baseName(const std::string& path);

}  // namespace kerv::engine
