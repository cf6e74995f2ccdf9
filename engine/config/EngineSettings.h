// Where the engine lives, where the user's files go, and how the analyser is
// found and run.
//
// Folders follow the XDG rules: the user path is $XDG_DATA_HOME/kerv (default
// ~/.local/share/kerv), the user configuration path $XDG_CONFIG_HOME/kerv
// (default ~/.config/kerv). The engine configuration file,
// <user configuration path>/engine.conf, takes "key = value" lines:
//   cppcheck = /path/to/cppcheck     the analyser (default: found on PATH)
//   jobs = 2                         files analysed at a time (default: CPUs online)
//   timeout = 600                    seconds one file may take (0: no limit)
//   launcher = srun --ntasks=1       words put in front of every analysis run (default: none)
//   launcher_step = 0.1              seconds the launcher adds to a run (default: measured)
// The environment variables KERV_CPPCHECK, KERV_JOBS, KERV_TIMEOUT,
// KERV_LAUNCHER and KERV_LAUNCHER_STEP override them. Without a launcher
// `jobs` is at most 64; with one, whose runs go to other machines, 100000.
#pragma once

#include <string>
#include <vector>

namespace kerv::engine {

struct EngineSettings {
    std::string cppcheckPath;    // empty when no analyser was found
    std::string cppcheckWanted;  // what was asked for: a path, or a name looked up on PATH
    unsigned jobs = 1;
    unsigned timeoutSeconds = 600;
    std::vector<std::string> launcher;  // empty: runs start here; else its program (found on PATH) and options
    double launcherStepSeconds = 0;     // 0: measured
};

std::string installFolder();           // the folder of libKERV.so
std::string installConfigFolder();     // <install>/config: default.acf, default.rcf, default.cct
std::string userDataFolder();          // $XDG_DATA_HOME/kerv
std::string userConfigFolder();        // $XDG_CONFIG_HOME/kerv
std::string engineConfigFile();        // <user configuration path>/engine.conf
std::string defaultWorkspaceFolder();  // <user path>/workspace

EngineSettings loadEngineSettings();

// The values of the environment variables that loadEngineSettings reads (the
// overrides, PATH, and the variables that place engine.conf), in a fixed
// order: settings read under equal values and an unchanged engine.conf are
// the same.
std::vector<std::string> engineSettingsEnvironment();

// The path of `program` in the first folder of PATH that holds it; empty when none does.
std::string findOnPath(const std::string& program);

// Splits at spaces and tabs.
std::vector<std::string> splitWords(const std::string& text);

}  // namespace kerv::engine
