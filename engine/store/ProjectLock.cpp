#include "engine/store/ProjectLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "engine/EngineLog.h"
#include "engine/store/FileSystem.h"

namespace kerv::engine {

#define KERV_PROJECT_LOCK_FILE(name) const char* const kProjectLockName = name;
#define KERV_PATH_REFUSED_CONTROLS(first, last)
#define KERV_PATH_REFUSED_CHARACTER(code)
#define KERV_PATH_REFUSED_SEQUENCE(text)
#include "engine/store/ProjectStore.def"
#undef KERV_PATH_REFUSED_SEQUENCE
#undef KERV_PATH_REFUSED_CHARACTER
#undef KERV_PATH_REFUSED_CONTROLS
#undef KERV_PROJECT_LOCK_FILE

ProjectLock::ProjectLock(ProjectLock&& other) noexcept
    : folder_(std::move(other.folder_)), fd_(std::exchange(other.fd_, -1)) {}

ProjectLock& ProjectLock::operator=(ProjectLock&& other) noexcept {
    if (this != &other) {
        release();
        folder_ = std::move(other.folder_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

ProjectLock::~ProjectLock() {
    release();
}

void ProjectLock::release() {
    if (fd_ >= 0) ::close(fd_);  // closing the only descriptor releases the lock
    fd_ = -1;
    folder_.clear();
}

Status ProjectLock::acquire(const std::string& projectFolder) {
    release();
    const std::string path = projectFolder + "/" + kProjectLockName;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        engineLog(1, "%s: cannot open the lock file", path.c_str());
        return kWriteFailed;
    }
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        std::string holder = readWholeFile(path).value_or("");
        while (!holder.empty() && (holder.back() == '\n' || holder.back() == ' ')) holder.pop_back();
        ::close(fd);
        engineLog(1, "%s: the project is open in process %s", projectFolder.c_str(),
                  holder.empty() ? "(unknown)" : holder.c_str());
        return kProjectLocked;
    }
    std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) != 0 || !writeAll(fd, pid)) {
        ::close(fd);
        engineLog(1, "%s: cannot write the lock file", path.c_str());
        return kWriteFailed;
    }
    fd_ = fd;
    folder_ = projectFolder;
    return kOk;
}

}  // namespace kerv::engine
