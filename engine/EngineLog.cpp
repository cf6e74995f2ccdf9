#include "engine/EngineLog.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace kerv::engine {

namespace {
std::atomic<int> g_level{0};
}

void setEngineLogLevel(int level) {
    g_level = level;
}

int engineLogLevel() {
    return g_level;
}

void engineLog(int level, const char* format, ...) {
    if (level > g_level) return;
    char line[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    std::fprintf(stderr, "libKERV: %s\n", line);
}

}  // namespace kerv::engine
