#include "utils/logger/Logger.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace Utils {
namespace Logger {

int g_nLogLevel = 0;
std::string g_szLogFile;

namespace {

constexpr std::size_t kShortPathLength = 2;
constexpr std::size_t kStackBufferSize = 2048;

// Formats into a stack buffer and falls back to a heap buffer of the exact
// size, so a long message is written whole.
void AppendToFile(std::FILE* file, const char* format, std::va_list args) {
    char buffer[kStackBufferSize];
    std::va_list retry;
    va_copy(retry, args);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    if (length >= 0 && static_cast<std::size_t>(length) < sizeof buffer) {
        std::fwrite(buffer, 1, static_cast<std::size_t>(length), file);
    } else if (length >= 0) {
        std::vector<char> large(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(large.data(), large.size(), format, retry);
        std::fwrite(large.data(), 1, static_cast<std::size_t>(length), file);
    }
    va_end(retry);
}

}  // namespace

void Log(int level, const char* format, ...) {
    if (level > g_nLogLevel) return;

    std::va_list args;
    va_start(args, format);
    std::FILE* file = g_szLogFile.size() > kShortPathLength ? std::fopen(g_szLogFile.c_str(), "a+") : nullptr;
    if (file != nullptr) {
        AppendToFile(file, format, args);
        std::fclose(file);
    } else {
        // No log file, or it cannot be opened: standard output loses nothing.
        std::vprintf(format, args);
    }
    va_end(args);
}

void SetLogLevel(int level) {
    g_nLogLevel = level;
}

void SetLogFile(const char* path) {
    g_szLogFile = path != nullptr ? path : "";
    if (g_szLogFile.empty()) return;
    if (std::FILE* file = std::fopen(g_szLogFile.c_str(), "wb")) std::fclose(file);
}

}  // namespace Logger
}  // namespace Utils
