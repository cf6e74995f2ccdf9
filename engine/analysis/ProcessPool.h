// Runs child processes without a shell, at most `parallel` at a time.
#pragma once

#include <csignal>
#include <functional>
#include <string>
#include <vector>

namespace kerv::engine {

struct ChildOutcome {
    bool started = false;  // false when the program could not be started
    int exitCode = -1;     // valid when the child exited normally
    bool exitedNormally = false;
    bool timedOut = false;  // stopped after running longer than allowed
    double seconds = 0;     // from start to end
    std::string errors;     // its standard error, when the command asked to keep it
};

struct ChildCommand {
    std::vector<std::string> argv;  // argv[0] is the program's path; empty: not started
    unsigned timeoutSeconds = 0;    // a child that writes nothing for this long is killed; 0: no limit
    bool keepErrors = false;        // read its standard error into the outcome instead of dropping it
    int stopSignal = SIGKILL;       // sent when it is silent too long; a gentler one is followed by
                                    // SIGKILL when the child is still there a few seconds later
};

// Starts the commands in their order, a new one as soon as one ends.
// Standard input of the children is /dev/null, standard error too unless
// the command keeps it; their standard output is read, to tell that they are
// working, and dropped.
// `onFinished(index, outcome)` runs on the calling thread as each child
// ends, in the order they end.
void runChildren(const std::vector<ChildCommand>& commands, unsigned parallel,
                 const std::function<void(size_t, const ChildOutcome&)>& onFinished);

// Runs one command and captures its standard output (and its standard error
// with it when `withErrors`); false when it could not be started or did not
// exit with 0.
bool captureOutput(const std::vector<std::string>& command, std::string& output, bool withErrors = false);

}  // namespace kerv::engine
