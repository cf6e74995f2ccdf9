// Sends the logger to a fresh file in a temporary directory for the life of
// the object, so a test can read back exactly what was logged.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "utils/logger/Logger.h"

class LogCapture {
public:
    explicit LogCapture(int level = 2) {
        std::string pattern = (std::filesystem::temp_directory_path() / "kerv-log-XXXXXX").string();
        m_directory = mkdtemp(pattern.data());
        m_path = m_directory + "/api.log";
        Utils::Logger::SetLogLevel(level);
        Utils::Logger::SetLogFile(m_path.c_str());
    }
    ~LogCapture() {
        Utils::Logger::SetLogLevel(0);
        Utils::Logger::SetLogFile("");
        std::filesystem::remove_all(m_directory);
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const std::string& Directory() const { return m_directory; }

    // What was logged since the last Take, and an empty file again.
    std::string Take() {
        std::ifstream file(m_path, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        Utils::Logger::SetLogFile(m_path.c_str());
        return text.str();
    }

private:
    std::string m_directory;
    std::string m_path;
};
