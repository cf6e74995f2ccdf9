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

unsigned parseNumber(const std::string& text, long lowest, long highest, unsigned fallback) {
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < lowest || value > highest) return fallback;
    return static_cast<unsigned>(value);
}

void readEngineConfig(std::string& cppcheck, std::string& jobs, std::string& timeout) {
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
            cppcheck = value;
        else if (key == "jobs")
            jobs = value;
        else if (key == "timeout")
            timeout = value;
        else
            engineLog(1, "%s:%d: unknown key '%s' ignored", engineConfigFile().c_str(), number, key.c_str());
    }
}

}  // namespace

std::string installFolder() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&installFolder), &info) && info.dli_fname)
        return parentFolder(normalisePath(info.dli_fname));
    return ".";
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

EngineSettings loadEngineSettings() {
    std::string cppcheck, jobs, timeout;
    readEngineConfig(cppcheck, jobs, timeout);
    if (!environment("KERV_CPPCHECK").empty()) cppcheck = environment("KERV_CPPCHECK");
    if (!environment("KERV_JOBS").empty()) jobs = environment("KERV_JOBS");
    if (!environment("KERV_TIMEOUT").empty()) timeout = environment("KERV_TIMEOUT");

    EngineSettings settings;
    long online = ::sysconf(_SC_NPROCESSORS_ONLN);
    settings.jobs = parseNumber(jobs, 1, 64, online > 0 ? static_cast<unsigned>(online) : 1);
    settings.timeoutSeconds = parseNumber(timeout, 0, 86400, settings.timeoutSeconds);
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
