#include "engine/store/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace kerv::engine {

// Plain reads rather than a stream: a stream reading a folder throws and
// catches inside the C++ library, which a process that loads the engine late
// (a JVM) cannot always unwind through.
std::optional<std::string> readWholeFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string content;
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) break;
        content.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    return content;
}

bool writeAll(int fd, const std::string& content) {
    const char* data = content.data();
    size_t left = content.size();
    while (left > 0) {
        ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

bool syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fsync(fd) == 0;
    return (::close(fd) == 0) && ok;
}

namespace {

std::string temporaryNameFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

}  // namespace

AtomicWrite writeFileAtomically(const std::string& path, const std::string& content, bool durable) {
    const std::string temporary = temporaryNameFor(path);
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return AtomicWrite::kNotWritten;
    bool ok = writeAll(fd, content) && (!durable || ::fsync(fd) == 0);
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(temporary.c_str(), path.c_str()) == 0) {
        if (durable && !syncFolder(parentFolder(path))) return AtomicWrite::kNotDurable;
        return AtomicWrite::kDone;
    }
    ::unlink(temporary.c_str());
    return AtomicWrite::kNotWritten;
}

namespace {

// The pid in "<prefix><pid>-...", or 0.
pid_t pidAfter(const std::string& name, const std::string& prefix) {
    size_t at = name.find(prefix);
    if (at == std::string::npos) return 0;
    return static_cast<pid_t>(std::strtol(name.c_str() + at + prefix.size(), nullptr, 10));
}

bool isRunning(pid_t pid) {
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

}  // namespace

void removeOrphanedTemporaries(const std::string& folder) {
    for (const std::string& name : listDirectory(folder)) {
        pid_t owner = pidAfter(name, ".tmp-");
        if (owner == 0 && name.rfind("report-", 0) == 0) owner = pidAfter(name, "report-");
        if (owner <= 0 || isRunning(owner)) continue;
        std::string path = folder;
        ::unlink(path.append("/").append(name).c_str());
    }
}

FileStamp fileStamp(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return FileStamp{};
    return FileStamp{true, int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec, info.st_size};
}

bool isDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isReadableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), R_OK) == 0;
}

bool makeDirectory(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) == 0) return true;
    return errno == EEXIST && isDirectory(path);
}

std::vector<std::string> listDirectory(const std::string& path) {
    std::vector<std::string> names;
    DIR* folder = ::opendir(path.c_str());
    if (!folder) return names;
    while (dirent* entry = ::readdir(folder)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(folder);
    return names;
}

std::string normalisePath(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved)) return resolved;
    if (!path.empty() && path[0] == '/') return path;
    char cwd[PATH_MAX];
    if (!::getcwd(cwd, sizeof cwd)) return path;
    return std::string(cwd) + "/" + path;
}

std::string parentFolder(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string baseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace kerv::engine
