#include "utils/logger/Logger.h"

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <mutex>
#include <new>

namespace Utils {
namespace Logger {

std::atomic<int> g_nLogLevel{0};
std::string g_szLogFile;

namespace {

constexpr std::size_t kShortPathLength = 2;
constexpr std::size_t kStackBufferSize = 2048;

// Guards g_szLogFile and every write, file or standard output.
std::mutex& logLock() {
    static std::mutex lock;
    return lock;
}

// Formats into a stack buffer and falls back to a heap buffer of the exact
// size, so a long message is written whole. Logging never throws: when even
// that buffer cannot be had, the message is written cut to the stack buffer.
void AppendToFile(std::FILE* file, const char* format, std::va_list args) {
    char buffer[kStackBufferSize];
    std::va_list retry;
    va_copy(retry, args);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    if (length >= 0 && static_cast<std::size_t>(length) < sizeof buffer) {
        std::fwrite(buffer, 1, static_cast<std::size_t>(length), file);
    } else if (length >= 0) {
        const auto size = static_cast<std::size_t>(length) + 1;
        std::unique_ptr<char[]> large(new (std::nothrow) char[size]);
        if (large) {
            std::vsnprintf(large.get(), size, format, retry);
            std::fwrite(large.get(), 1, size - 1, file);
        } else {
            std::fwrite(buffer, 1, sizeof buffer - 1, file);
        }
    }
    va_end(retry);
}

}  // namespace

void Log(int level, const char* format, ...) {
    if (level > g_nLogLevel.load(std::memory_order_relaxed)) return;

    std::va_list args;
    va_start(args, format);
    {
        const std::lock_guard<std::mutex> hold(logLock());
        std::FILE* file = g_szLogFile.size() > kShortPathLength ? std::fopen(g_szLogFile.c_str(), "a+") : nullptr;
        if (file != nullptr) {
            AppendToFile(file, format, args);
            std::fclose(file);
        } else {
            // No log file, or it cannot be opened: standard output loses nothing.
            std::vprintf(format, args);
        }
    }
    va_end(args);
}

void SetLogLevel(int level) {
    g_nLogLevel.store(level, std::memory_order_relaxed);
}

void SetLogFile(const char* path) {
    const std::lock_guard<std::mutex> hold(logLock());
    g_szLogFile = path != nullptr ? path : "";
    if (g_szLogFile.empty()) return;
    if (std::FILE* file = std::fopen(g_szLogFile.c_str(), "wb")) std::fclose(file);
}

}  // namespace Logger
}  // namespace Utils
