#include "engine/analysis/Launcher.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>

#include "engine/EngineLog.h"

namespace kerv::engine {

namespace {

constexpr double kLargestStepShare = 0.05;
constexpr size_t kLargestLaunchedCount = 5000;  // keeps a run's command line far below the system's limit

std::string trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The version cppcheck printed ("Cppcheck 2.10"), among whatever else was written.
std::string versionIn(const std::string& output) {
    const std::string name = "Cppcheck ";
    size_t start = output.find(name);
    if (start == std::string::npos) return "";
    start += name.size();
    return output.substr(start, output.find_first_of(" \t\r\n", start) - start);
}

}  // namespace

Launcher::Launcher(std::vector<std::string> words, double stepSeconds, std::string cppcheck, std::string version)
    : words_(std::move(words)),
      stepSeconds_(stepSeconds),
      cppcheck_(std::move(cppcheck)),
      version_(std::move(version)) {}

Status Launcher::probe() {
    if (::access(program().c_str(), X_OK) != 0) {
        engineLog(1, "the launcher %s cannot be started: %s", program().c_str(), std::strerror(errno));
        return kAnalyzerMissing;
    }
    std::vector<std::string> command = words_;
    command.push_back(cppcheck_);
    command.emplace_back("--version");
    double fastest = INFINITY;
    for (int attempt = stepSeconds_ > 0 ? 1 : 0; attempt < 2; ++attempt) {
        std::string output;
        auto start = std::chrono::steady_clock::now();
        bool ran = captureOutput(command, output, true);
        fastest = std::min(fastest, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        std::string found = versionIn(output);
        if (!ran || found != version_) {
            if (!ran && output.empty())
                engineLog(1, "the launcher %s failed without a word", program().c_str());
            else if (!ran)
                engineLog(1, "the launcher %s failed: %s", program().c_str(), trimmed(output).c_str());
            else
                engineLog(1, "cppcheck through the launcher %s is version '%s', here '%s'", program().c_str(),
                          found.c_str(), version_.c_str());
            return kAnalyzerMissing;
        }
    }
    if (stepSeconds_ <= 0) stepSeconds_ = fastest;
    engineLog(2, "launcher %s: %.3f s a step", program().c_str(), stepSeconds_);
    return kOk;
}

ChildCommand Launcher::wrap(ChildCommand command) const {
    command.argv.insert(command.argv.begin(), words_.begin(), words_.end());
    command.keepErrors = true;
    command.stopSignal = SIGTERM;
    return command;
}

BatchLimits Launcher::limits(double secondsPerByte, uint64_t bytesLeft, unsigned jobs) const {
    BatchLimits limits;
    limits.largestCount = kLargestLaunchedCount;
    if (secondsPerByte > 0) {
        double bytes = stepSeconds_ * (1 - kLargestStepShare) / kLargestStepShare / secondsPerByte;
        bytes = std::min(bytes, static_cast<double>(bytesLeft) / std::max(jobs, 1u));
        limits.smallestBytes = std::max(limits.smallestBytes, static_cast<uint64_t>(bytes));
    }
    return limits;
}

LaunchedOutput splitLaunchedOutput(const std::string& errors) {
    const std::string close = "</results>";
    size_t start = errors.find("<?xml");
    size_t end = errors.rfind(close);
    if (start == std::string::npos || end == std::string::npos || end < start) return {"", trimmed(errors)};
    end += close.size();
    if (end < errors.size() && errors[end] == '\n') ++end;
    return {errors.substr(start, end - start), trimmed(errors.substr(0, start) + errors.substr(end))};
}

}  // namespace kerv::engine
