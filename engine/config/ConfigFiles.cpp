#include "engine/config/ConfigFiles.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "engine/EngineLog.h"
#include "engine/store/FileSystem.h"
#include "engine/store/LineRecords.h"

namespace kerv::engine {

namespace {

std::string trim(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos) return "";
    size_t end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

bool isIgnorable(const std::string& line) {
    return line.empty() || line[0] == '#';
}

ConfigError syntaxError(const std::string& file, int line, const std::string& message) {
    return {kConfigSyntax, file, line, message};
}

// Splits "key = value"; false when there is no '=' or no key.
bool splitKeyValue(const std::string& line, std::string& key, std::string& value) {
    size_t equals = line.find('=');
    if (equals == std::string::npos) return false;
    key = trim(line.substr(0, equals));
    value = trim(line.substr(equals + 1));
    return !key.empty();
}

using LineHandler = std::function<std::string(const std::string& line)>;  // returns an error text or ""

ConfigError parseLines(const std::string& name, const std::string& text, const LineHandler& handle) {
    int number = 0;
    for (const std::string& raw : splitLines(text)) {
        ++number;
        std::string line = trim(raw);
        if (isIgnorable(line)) continue;
        std::string problem = handle(line);
        if (!problem.empty()) return syntaxError(name, number, problem);
    }
    return {};
}

ConfigError parseFile(const std::string& path, const std::function<ConfigError(const std::string&)>& parseText) {
    if (path.empty()) return {};
    auto text = readWholeFile(path);
    if (!text) return {kConfigUnreadable, path, 0, "cannot read the file"};
    return parseText(*text);
}

const std::vector<std::string> kCheckFamilies = {"warning",     "style",          "performance",   "portability",
                                                 "information", "unusedFunction", "missingInclude"};
const std::vector<std::string> kCStandards = {"c89", "c99", "c11"};
const std::vector<std::string> kCppStandards = {"c++03", "c++11", "c++14", "c++17", "c++20"};
// Options that change what is analysed, never where the report goes.
const std::vector<std::string> kAllowedOptionPrefixes = {
    "--force", "--max-configs=", "--platform=", "--library=", "--suppress=", "--max-ctu-depth=", "--check-library"};

bool contains(const std::vector<std::string>& list, const std::string& value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

bool isAllowedOption(const std::string& option) {
    for (const auto& prefix : kAllowedOptionPrefixes) {
        bool exact = prefix.back() != '=';
        if (exact ? option == prefix : option.rfind(prefix, 0) == 0 && option.size() > prefix.size()) return true;
    }
    return false;
}

std::string parseChecks(const std::string& value, std::vector<std::string>& checks) {
    checks.clear();
    size_t start = 0;
    while (start <= value.size()) {
        size_t comma = value.find(',', start);
        if (comma == std::string::npos) comma = value.size();
        std::string family = trim(value.substr(start, comma - start));
        if (!family.empty()) {
            if (!contains(kCheckFamilies, family)) return "unknown check family '" + family + "'";
            checks.push_back(family);
        }
        start = comma + 1;
    }
    return "";
}

bool isRuleId(const std::string& id) {
    return !id.empty() &&
           std::all_of(id.begin(), id.end(), [](char c) { return std::isalnum((unsigned char)c) || c == '_'; });
}

}  // namespace

ConfigError parseAnalysisConfigText(const std::string& name, const std::string& text, AnalysisConfig& out) {
    AnalysisConfig config;
    ConfigError error = parseLines(name, text, [&](const std::string& line) -> std::string {
        std::string key, value;
        if (!splitKeyValue(line, key, value)) return "expected 'key = value'";
        if (key == "checks") return parseChecks(value, config.checks);
        if (key == "c-standard") {
            if (!contains(kCStandards, value)) return "unknown C standard '" + value + "'";
            config.cStandard = value;
        } else if (key == "cpp-standard") {
            if (!contains(kCppStandards, value)) return "unknown C++ standard '" + value + "'";
            config.cppStandard = value;
        } else if (key == "inconclusive") {
            if (value != "yes" && value != "no") return "inconclusive must be yes or no";
            config.inconclusive = value == "yes";
        } else if (key == "inline-suppressions") {
            if (value != "yes" && value != "no") return "inline-suppressions must be yes or no";
            config.inlineSuppressions = value == "yes";
        } else if (key == "option" && value == "--inline-suppr") {
            // cppcheck would drop the suppressed findings; they are kept and marked instead.
            config.inlineSuppressions = true;
        } else if (key == "option") {
            if (!isAllowedOption(value)) return "option '" + value + "' is not allowed";
            config.extraOptions.push_back(value);
        } else {
            return "unknown key '" + key + "'";
        }
        return "";
    });
    if (error.status == kOk) out = config;
    return error;
}

ConfigError parseRuleConfigText(const std::string& name, const std::string& text, RuleConfig& out) {
    RuleConfig config;
    ConfigError error = parseLines(name, text, [&](const std::string& line) -> std::string {
        if (line.rfind("off", 0) != 0 || line.size() < 4 || (line[3] != ' ' && line[3] != '\t'))
            return "expected 'off <rule id>'";
        std::string id = trim(line.substr(4));
        if (!isRuleId(id)) return "bad rule id '" + id + "'";
        config.switchedOff.insert(id);
        return "";
    });
    if (error.status == kOk) out = config;
    return error;
}

ConfigError parseCompilerConfigText(const std::string& name, const std::string& text, CompilerConfig& out) {
    CompilerConfig config;
    std::vector<int> languages = {0, 1};
    ConfigError error = parseLines(name, text, [&](const std::string& line) -> std::string {
        if (line == "[C]") {
            languages = {0};
            return "";
        }
        if (line == "[C++]") {
            languages = {1};
            return "";
        }
        if (line[0] == '[') return "unknown section " + line + " (use [C] or [C++])";
        std::string key, value;
        if (!splitKeyValue(line, key, value)) return "expected 'key = value'";
        if (value.empty()) return "empty value for '" + key + "'";
        if (key == "standard") {
            // The value names its language, so a line outside the sections is unambiguous.
            const int language = contains(kCStandards, value) ? 0 : contains(kCppStandards, value) ? 1 : -1;
            if (language < 0) return "unknown standard '" + value + "'";
            if (std::find(languages.begin(), languages.end(), language) == languages.end())
                return "standard '" + value + "' in a section of the other language";
            config.perLanguage[language].standard = value;
            return "";
        }
        if (key != "define" && key != "include") return "unknown key '" + key + "'";
        if (key == "define" && !(std::isalpha((unsigned char)value[0]) || value[0] == '_'))
            return "bad macro name in '" + value + "'";
        for (int language : languages) {
            auto& settings = config.perLanguage[language];
            (key == "define" ? settings.defines : settings.includes).push_back(value);
        }
        return "";
    });
    if (error.status == kOk) out = config;
    return error;
}

ConfigError parseAnalysisConfig(const std::string& path, AnalysisConfig& out) {
    return parseFile(path, [&](const std::string& text) { return parseAnalysisConfigText(path, text, out); });
}

ConfigError parseRuleConfig(const std::string& path, RuleConfig& out) {
    return parseFile(path, [&](const std::string& text) { return parseRuleConfigText(path, text, out); });
}

ConfigError parseCompilerConfig(const std::string& path, CompilerConfig& out) {
    return parseFile(path, [&](const std::string& text) { return parseCompilerConfigText(path, text, out); });
}

void logConfigError(const ConfigError& error) {
    if (error.status == kOk) return;
    engineLog(1, "%s:%d: %s", error.file.c_str(), error.line, error.message.c_str());
}

}  // namespace kerv::engine
