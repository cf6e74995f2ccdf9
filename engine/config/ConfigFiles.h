// The three configuration files of a project, each a small text format:
//
// Analysis configuration (acf), "key = value" lines:
//   checks = warning, style, performance, portability   families to enable
//   c-standard = c11          cpp-standard = c++17      language standards
//   inconclusive = yes|no                               report inconclusive findings
//   option = --force                                    one extra cppcheck option (allow-listed;
//                                                       --inline-suppr means inline-suppressions = yes)
//   inline-suppressions = yes|no                        mark findings that a comment in the source
//                                                       suppresses (yes, the default) or not
//
// Rule configuration (rcf), one rule per line:
//   off nullPointer                                     keep the finding, mark it switched off
//
// Compiler configuration (cct), "key = value" lines, optionally in sections:
//   [C]  or  [C++]                                      lines below apply to that language only
//   define = NAME[=VALUE]                               a predefined macro
//   include = /usr/include                              a system include folder
//   standard = c99                                      the language standard (c89, c99, c11 for C,
//                                                       c++03 to c++20 for C++), overriding the acf's
//
// In all three, blank lines and lines starting with '#' are ignored. An empty
// path means the built-in defaults. A bad line makes the whole file fail with
// kConfigSyntax and a log line naming the file and the line number.
#pragma once

#include <array>
#include <set>
#include <string>
#include <vector>

#include "engine/Status.h"

namespace kerv::engine {

struct AnalysisConfig {
    std::vector<std::string> checks{"warning", "style", "performance", "portability"};
    std::string cStandard = "c11";
    std::string cppStandard = "c++17";
    bool inconclusive = false;
    std::vector<std::string> extraOptions;
    bool inlineSuppressions = true;  // read when results are fetched, not part of what cppcheck runs with
};

struct RuleConfig {
    std::set<std::string> switchedOff;
};

struct CompilerSettings {
    std::vector<std::string> defines;
    std::vector<std::string> includes;
    std::string standard;  // empty: the analysis configuration's
};

// Index 0 is C, index 1 is C++ (the values of VQSourceLanguage_C).
struct CompilerConfig {
    std::array<CompilerSettings, 2> perLanguage;
};

struct ConfigError {
    Status status = kOk;
    std::string file;
    int line = 0;
    std::string message;
};

ConfigError parseAnalysisConfig(const std::string& path, AnalysisConfig& out);
ConfigError parseRuleConfig(const std::string& path, RuleConfig& out);
ConfigError parseCompilerConfig(const std::string& path, CompilerConfig& out);

// Parses text already read; `name` appears in error messages.
ConfigError parseAnalysisConfigText(const std::string& name, const std::string& text, AnalysisConfig& out);
ConfigError parseRuleConfigText(const std::string& name, const std::string& text, RuleConfig& out);
ConfigError parseCompilerConfigText(const std::string& name, const std::string& text, CompilerConfig& out);

// Logs a failed parse at level 1 as "file:line: message".
void logConfigError(const ConfigError& error);

}  // namespace kerv::engine
