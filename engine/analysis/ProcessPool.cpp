#include "engine/analysis/ProcessPool.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
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

// Spawns with stdin on /dev/null, stdout on `outputFd` and stderr on
// `errorsFd` (each /dev/null when -1). Returns the child's pid or -1.
pid_t spawn(const std::vector<std::string>& command, int outputFd, int errorsFd = -1) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    for (auto [fd, target] : {std::pair{outputFd, 1}, std::pair{errorsFd, 2}}) {
        if (fd >= 0)
            posix_spawn_file_actions_adddup2(&actions, fd, target);
        else
            posix_spawn_file_actions_addopen(&actions, target, "/dev/null", O_WRONLY, 0);
    }
    std::vector<char*> argv = argvOf(command);
    pid_t pid = -1;
    int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed ? -1 : pid;
}

ChildOutcome waitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return {true, -1, false, false, 0, {}};
    }
    return {true, WIFEXITED(status) ? WEXITSTATUS(status) : -1, WIFEXITED(status), false, 0, {}};
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

// Sends `signal`; a child that a gentler signal has not ended within a few
// seconds is killed.
ChildOutcome stop(pid_t pid, int signal) {
    constexpr unsigned kGraceSeconds = 5;
    ::kill(pid, signal);
    ChildOutcome outcome = signal == SIGKILL ? waitFor(pid) : waitFor(pid, kGraceSeconds);
    outcome.timedOut = true;
    return outcome;
}

// Waits for the child while reading what it writes: standard output only
// tells that it works and is dropped, standard error (`errors` >= 0) is kept.
// A child silent on both for the command's time limit (0: none) is stopped.
ChildOutcome waitWhileWriting(pid_t pid, int output, int errors, const ChildCommand& command) {
    int timeoutMs = -1;
    if (command.timeoutSeconds > 0)
        timeoutMs = command.timeoutSeconds > INT_MAX / 1000 ? INT_MAX : static_cast<int>(command.timeoutSeconds * 1000);
    std::string kept;
    char buffer[4096];
    pollfd streams[2] = {{output, POLLIN, 0}, {errors, POLLIN, 0}};  // poll skips a negative fd
    auto closeAll = [&] {
        for (pollfd& stream : streams)
            if (stream.fd >= 0) ::close(stream.fd);
    };
    while (streams[0].fd >= 0 || streams[1].fd >= 0) {
        int ready = ::poll(streams, 2, timeoutMs);
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) {
            closeAll();
            ChildOutcome outcome = stop(pid, command.stopSignal);
            outcome.errors = std::move(kept);
            return outcome;
        }
        if (ready < 0) break;
        for (pollfd& stream : streams) {
            if (stream.fd < 0 || stream.revents == 0) continue;
            ssize_t got = ::read(stream.fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {  // closed, most likely because the child ended
                ::close(stream.fd);
                stream.fd = -1;
            } else if (&stream == &streams[1]) {
                kept.append(buffer, static_cast<size_t>(got));
            }
        }
    }
    closeAll();
    ChildOutcome outcome = waitFor(pid, command.timeoutSeconds);
    outcome.errors = std::move(kept);
    return outcome;
}

ChildOutcome runOne(const ChildCommand& command) {
    auto start = std::chrono::steady_clock::now();
    int outputPipe[2], errorsPipe[2] = {-1, -1};
    if (command.argv.empty() || ::pipe2(outputPipe, O_CLOEXEC) != 0) return {};
    if (command.keepErrors && ::pipe2(errorsPipe, O_CLOEXEC) != 0) {
        ::close(outputPipe[0]);
        ::close(outputPipe[1]);
        return {};
    }
    pid_t pid = spawn(command.argv, outputPipe[1], errorsPipe[1]);
    ::close(outputPipe[1]);
    if (errorsPipe[1] >= 0) ::close(errorsPipe[1]);
    if (pid < 0) {
        ::close(outputPipe[0]);
        if (errorsPipe[0] >= 0) ::close(errorsPipe[0]);
        return {};
    }
    ChildOutcome outcome = waitWhileWriting(pid, outputPipe[0], errorsPipe[0], command);
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return outcome;
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

bool captureOutput(const std::vector<std::string>& command, std::string& output, bool withErrors) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return false;
    pid_t pid = spawn(command, pipeFds[1], withErrors ? pipeFds[1] : -1);
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
