// One process per project: the process that has a project open holds an
// advisory lock (flock) on <project>/project.lock, which names its process
// id. The operating system releases the lock when the process ends, however
// it ends, so a killed holder never blocks the next opener.
#pragma once

#include <sys/types.h>
#include <string>

#include "engine/Status.h"

namespace kerv::engine {

class ProjectLock {
public:
    ProjectLock() = default;
    ProjectLock(const ProjectLock&) = delete;
    ProjectLock& operator=(const ProjectLock&) = delete;
    ProjectLock(ProjectLock&& other) noexcept;
    ProjectLock& operator=(ProjectLock&& other) noexcept;
    ~ProjectLock();

    // Takes the lock of the project folder. kProjectLocked when another
    // process holds it (logged with that process's id), kWriteFailed when
    // the lock file cannot be made.
    Status acquire(const std::string& projectFolder);
    const std::string& folder() const { return folder_; }

private:
    void release();

    std::string folder_;
    int fd_ = -1;
};

// The name of the lock file inside a project folder.
extern const char* const kProjectLockName;

}  // namespace kerv::engine
