#include "engine/analysis/ProcessPool.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <condition_variable>
#include <csignal>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

extern char** environ;

namespace kerv::engine {

namespace {

std::vector<char*> argvOf(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    argv.reserve(command.size() + 1);
    for (const auto& argument : command) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    return argv;
}

// Spawns with stdin and stderr on /dev/null and stdout on `outputFd`
// (/dev/null when -1). Returns the child's pid or -1.
pid_t spawn(const std::vector<std::string>& command, int outputFd) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (outputFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, outputFd, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv = argvOf(command);
    pid_t pid = -1;
    int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed ? -1 : pid;
}

ChildOutcome waitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return {true, -1, false, false};
    }
    return {true, WIFEXITED(status) ? WEXITSTATUS(status) : -1, WIFEXITED(status), false};
}

// Waits at most `timeoutSeconds` for the child to end (through a pidfd, so
// without polling), then kills it. Without pidfd support there is no limit.
ChildOutcome waitFor(pid_t pid, unsigned timeoutSeconds) {
    if (timeoutSeconds == 0) return waitFor(pid);
    int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (pidfd < 0) return waitFor(pid);
    pollfd ended{pidfd, POLLIN, 0};
    int timeoutMs = timeoutSeconds > INT_MAX / 1000 ? INT_MAX : static_cast<int>(timeoutSeconds * 1000);
    int ready = 0;
    do {
        ready = ::poll(&ended, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    ::close(pidfd);
    if (ready != 0) return waitFor(pid);
    ::kill(pid, SIGKILL);
    ChildOutcome outcome = waitFor(pid);
    outcome.timedOut = true;
    return outcome;
}

// Waits for the child while reading and dropping what it writes to
// `output`; a child silent for `timeoutSeconds` (0: no limit) is killed.
ChildOutcome waitWhileWriting(pid_t pid, int output, unsigned timeoutSeconds) {
    int timeoutMs = -1;
    if (timeoutSeconds > 0)
        timeoutMs = timeoutSeconds > INT_MAX / 1000 ? INT_MAX : static_cast<int>(timeoutSeconds * 1000);
    char buffer[4096];
    for (;;) {
        pollfd readable{output, POLLIN, 0};
        int ready = ::poll(&readable, 1, timeoutMs);
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) {
            ::close(output);
            ::kill(pid, SIGKILL);
            ChildOutcome outcome = waitFor(pid);
            outcome.timedOut = true;
            return outcome;
        }
        ssize_t got = ready < 0 ? -1 : ::read(output, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;  // the child closed its output, most likely by ending
    }
    ::close(output);
    return waitFor(pid, timeoutSeconds);
}

ChildOutcome runOne(const ChildCommand& command) {
    int pipeFds[2];
    if (command.argv.empty() || ::pipe2(pipeFds, O_CLOEXEC) != 0) return {};
    pid_t pid = spawn(command.argv, pipeFds[1]);
    ::close(pipeFds[1]);
    if (pid < 0) {
        ::close(pipeFds[0]);
        return {};
    }
    return waitWhileWriting(pid, pipeFds[0], command.timeoutSeconds);
}

}  // namespace

void runChildren(const std::vector<ChildCommand>& commands, unsigned parallel,
                 const std::function<void(size_t, const ChildOutcome&)>& onFinished) {
    // One waiting thread per running child: each waits for its own pid only,
    // so the children of a host process (a JVM) are never reaped here.
    std::mutex mutex;
    std::condition_variable finished;
    std::deque<std::pair<size_t, ChildOutcome>> outcomes;
    size_t next = 0;
    auto worker = [&] {
        for (;;) {
            size_t index;
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (next == commands.size()) return;
                index = next++;
            }
            ChildOutcome outcome = runOne(commands[index]);
            std::lock_guard<std::mutex> lock(mutex);
            outcomes.emplace_back(index, outcome);
            finished.notify_one();
        }
    };
    std::vector<std::thread> workers;
    size_t threadCount = std::min<size_t>(parallel == 0 ? 1 : parallel, commands.size());
    try {
        for (size_t i = 0; i < threadCount; ++i) workers.emplace_back(worker);
    } catch (const std::system_error&) {
        if (workers.empty()) worker();  // no thread to be had: run them one by one here
    }
    for (size_t reported = 0; reported < commands.size(); ++reported) {
        std::unique_lock<std::mutex> lock(mutex);
        finished.wait(lock, [&] { return !outcomes.empty(); });
        auto [index, outcome] = outcomes.front();
        outcomes.pop_front();
        lock.unlock();
        onFinished(index, outcome);
    }
    for (auto& thread : workers) thread.join();
}

bool captureOutput(const std::vector<std::string>& command, std::string& output) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return false;
    pid_t pid = spawn(command, pipeFds[1]);
    ::close(pipeFds[1]);
    if (pid < 0) {
        ::close(pipeFds[0]);
        return false;
    }
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        output.append(buffer, static_cast<size_t>(got));
    }
    ::close(pipeFds[0]);
    ChildOutcome outcome = waitFor(pid);
    return outcome.exitedNormally && outcome.exitCode == 0;
}

}  // namespace kerv::engine
