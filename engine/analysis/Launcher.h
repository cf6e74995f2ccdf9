// Analysis runs started through a launcher: words put in front of every
// cppcheck command, such as a cluster's `srun --ntasks=1`, so that each run
// may execute on another machine. Such a run writes its report to standard
// error (cppcheck's place for it with --xml) instead of into the results
// folder, which exists only where the engine runs; whatever the launcher
// writes there beside the report is kept to be quoted when the run fails.
#pragma once

#include <string>
#include <vector>

#include "engine/Status.h"
#include "engine/analysis/Batches.h"
#include "engine/analysis/ProcessPool.h"

namespace kerv::engine {

class Launcher {
public:
    Launcher() = default;  // none: runs start on this machine, as they always did
    // `stepSeconds` 0: measured by probe().
    Launcher(std::vector<std::string> words, double stepSeconds, std::string cppcheck, std::string version);

    bool active() const { return !words_.empty(); }
    const std::string& program() const { return words_.front(); }

    // Runs "<launcher> <cppcheck> --version" twice and keeps the shorter time
    // as the cost of one step (once when one was configured). kAnalyzerMissing,
    // logged with the launcher's own words, when it cannot be started, fails
    // or finds another cppcheck version than this machine's.
    Status probe();
    double stepSeconds() const { return stepSeconds_; }

    // The command as run through the launcher, its standard error kept; a
    // run that falls silent is asked to stop (SIGTERM) so that the launcher
    // can end its step on the other machine.
    ChildCommand wrap(ChildCommand command) const;

    // Runs large enough that the launcher's cost stays under 5% of a run's
    // time, given the seconds one byte of source takes to analyse, but never
    // fewer runs than jobs while `bytesLeft` allows: a job left idle costs
    // more than the steps of the runs that keep it busy.
    BatchLimits limits(double secondsPerByte, uint64_t bytesLeft, unsigned jobs) const;

private:
    std::vector<std::string> words_;
    double stepSeconds_ = 0;
    std::string cppcheck_;
    std::string version_;
};

// A launched run's standard error split into cppcheck's report (empty unless
// it is complete) and what else was written there, trimmed.
struct LaunchedOutput {
    std::string report;
    std::string messages;
};
LaunchedOutput splitLaunchedOutput(const std::string& errors);

}  // namespace kerv::engine
