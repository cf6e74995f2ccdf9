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
// The environment variables KERV_CPPCHECK, KERV_JOBS and KERV_TIMEOUT
// override them.
#pragma once

#include <string>

namespace kerv::engine {

struct EngineSettings {
    std::string cppcheckPath;    // empty when no analyser was found
    std::string cppcheckWanted;  // what was asked for: a path, or a name looked up on PATH
    unsigned jobs = 1;
    unsigned timeoutSeconds = 600;
};

std::string installFolder();           // the folder of libKERV.so
std::string installConfigFolder();     // <install>/config: default.acf, default.rcf, default.cct
std::string userDataFolder();          // $XDG_DATA_HOME/kerv
std::string userConfigFolder();        // $XDG_CONFIG_HOME/kerv
std::string engineConfigFile();        // <user configuration path>/engine.conf
std::string defaultWorkspaceFolder();  // <user path>/workspace

EngineSettings loadEngineSettings();

}  // namespace kerv::engine
