// Runs child processes without a shell, at most `parallel` at a time.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kerv::engine {

struct ChildOutcome {
    bool started = false;  // false when the program could not be started
    int exitCode = -1;     // valid when the child exited normally
    bool exitedNormally = false;
    bool timedOut = false;  // stopped after running longer than allowed
};

// argv[0] is the program's path. Standard input, output and error of the
// children are /dev/null. A child still running after `timeoutSeconds` (0: no
// limit) is killed. `onFinished(index, outcome)` runs on the calling thread
// as each child ends, in the order they end.
void runChildren(const std::vector<std::vector<std::string>>& commands, unsigned parallel, unsigned timeoutSeconds,
                 const std::function<void(size_t, const ChildOutcome&)>& onFinished);

// Runs one command and captures its standard output; false when it could not
// be started or did not exit with 0.
bool captureOutput(const std::vector<std::string>& command, std::string& output);

}  // namespace kerv::engine
