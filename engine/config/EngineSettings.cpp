#include "engine/config/EngineSettings.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>

#include "engine/EngineLog.h"
#include "engine/store/FileSystem.h"
#include "engine/store/LineRecords.h"

namespace kerv::engine {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string xdgFolder(const char* variable, const char* fallbackUnderHome) {
    std::string base = environment(variable);
    if (base.empty() || base[0] != '/') base = environment("HOME") + fallbackUnderHome;
    return base + "/kerv";
}

unsigned parseNumber(const std::string& text, long lowest, long highest, unsigned fallback) {
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < lowest || value > highest) return fallback;
    return static_cast<unsigned>(value);
}

// The engine configuration's values by key, as written.
struct ConfiguredValues {
    std::string cppcheck, jobs, timeout, launcher, launcherStep;
};

void readEngineConfig(ConfiguredValues& values) {
    auto text = readWholeFile(engineConfigFile());
    if (!text) return;
    int number = 0;
    for (const std::string& line : splitLines(*text)) {
        ++number;
        size_t equals = line.find('=');
        if (line.empty() || line[0] == '#' || equals == std::string::npos) continue;
        auto trim = [](std::string s) {
            s.erase(0, s.find_first_not_of(" \t"));
            s.erase(s.find_last_not_of(" \t\r") + 1);
            return s;
        };
        std::string key = trim(line.substr(0, equals)), value = trim(line.substr(equals + 1));
        if (key == "cppcheck")
            values.cppcheck = value;
        else if (key == "jobs")
            values.jobs = value;
        else if (key == "timeout")
            values.timeout = value;
        else if (key == "launcher")
            values.launcher = value;
        else if (key == "launcher_step")
            values.launcherStep = value;
        else
            engineLog(1, "%s:%d: unknown key '%s' ignored", engineConfigFile().c_str(), number, key.c_str());
    }
}

}  // namespace

std::string findOnPath(const std::string& program) {
    std::string path = environment("PATH");
    size_t start = 0;
    while (start <= path.size()) {
        size_t colon = path.find(':', start);
        if (colon == std::string::npos) colon = path.size();
        std::string folder = path.substr(start, colon - start);
        std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0 && !isDirectory(candidate)) return normalisePath(candidate);
        start = colon + 1;
    }
    return "";
}

std::vector<std::string> splitWords(const std::string& text) {
    std::vector<std::string> words;
    size_t start = text.find_first_not_of(" \t");
    while (start != std::string::npos) {
        size_t end = text.find_first_of(" \t", start);
        words.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        start = text.find_first_not_of(" \t", end);
    }
    return words;
}

std::string installFolder() {
    // Found once: resolving the library's path walks every folder of it, and
    // the configuration files are looked for on every planning pass.
    static const std::string folder = [] {
        Dl_info info{};
        if (::dladdr(reinterpret_cast<void*>(&installFolder), &info) && info.dli_fname)
            return parentFolder(normalisePath(info.dli_fname));
        return std::string(".");
    }();
    return folder;
}

std::string installConfigFolder() {
    return installFolder() + "/config";
}
std::string userDataFolder() {
    return xdgFolder("XDG_DATA_HOME", "/.local/share");
}
std::string userConfigFolder() {
    return xdgFolder("XDG_CONFIG_HOME", "/.config");
}
std::string engineConfigFile() {
    return userConfigFolder() + "/engine.conf";
}
std::string defaultWorkspaceFolder() {
    return userDataFolder() + "/workspace";
}

std::vector<std::string> engineSettingsEnvironment() {
    std::vector<std::string> values;
    for (const char* name : {"KERV_CPPCHECK", "KERV_JOBS", "KERV_TIMEOUT", "KERV_LAUNCHER", "KERV_LAUNCHER_STEP",
                             "PATH", "HOME", "XDG_CONFIG_HOME"})
        values.push_back(environment(name));
    return values;
}

EngineSettings loadEngineSettings() {
    ConfiguredValues values;
    readEngineConfig(values);
    auto overrideWith = [](const char* variable, std::string& value) {
        if (!environment(variable).empty()) value = environment(variable);
    };
    overrideWith("KERV_CPPCHECK", values.cppcheck);
    overrideWith("KERV_JOBS", values.jobs);
    overrideWith("KERV_TIMEOUT", values.timeout);
    overrideWith("KERV_LAUNCHER", values.launcher);
    overrideWith("KERV_LAUNCHER_STEP", values.launcherStep);
    const std::string& cppcheck = values.cppcheck;

    EngineSettings settings;
    settings.launcher = splitWords(values.launcher);
    if (!settings.launcher.empty() && settings.launcher[0].find('/') == std::string::npos) {
        std::string found = findOnPath(settings.launcher[0]);
        if (!found.empty()) settings.launcher[0] = found;  // else left as named, so that starting it fails
    }
    char* end = nullptr;
    double step = std::strtod(values.launcherStep.c_str(), &end);
    if (!values.launcherStep.empty() && *end == '\0' && step > 0 && step < 3600) settings.launcherStepSeconds = step;
    long online = ::sysconf(_SC_NPROCESSORS_ONLN);
    settings.jobs = parseNumber(values.jobs, 1, settings.launcher.empty() ? 64 : 100000,
                                online > 0 ? static_cast<unsigned>(online) : 1);
    settings.timeoutSeconds = parseNumber(values.timeout, 0, 86400, settings.timeoutSeconds);
    settings.cppcheckWanted = cppcheck.empty() ? "cppcheck" : cppcheck;
    if (cppcheck.empty())
        settings.cppcheckPath = findOnPath("cppcheck");
    else if (cppcheck.find('/') == std::string::npos)
        settings.cppcheckPath = findOnPath(cppcheck);
    else if (::access(cppcheck.c_str(), X_OK) == 0)
        settings.cppcheckPath = cppcheck;
    return settings;
}

}  // namespace kerv::engine
