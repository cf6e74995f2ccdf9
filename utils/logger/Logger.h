// Utils::Logger: level-filtered printf-style messages to standard output or
// to a log file. A message is written as formatted: no time stamp, no level
// tag, no added line break.
//
// Log, SetLogLevel and SetLogFile may be called from any thread at any time.
// The level is an atomic read first, so a filtered message costs one relaxed
// load; the path and the writing of a message share one lock, so each message
// is written whole, never interleaved with another, and never while the path
// changes.
#pragma once

#include <atomic>
#include <string>

namespace Utils {
namespace Logger {

// Highest level that is written: 1 failures, 2 traces. 0 writes nothing.
extern std::atomic<int> g_nLogLevel;

// Path of the log file; while it holds 2 characters or fewer, messages go to
// standard output. Guarded by the logger's lock: read it only while no other
// thread can call SetLogFile.
extern std::string g_szLogFile;

// Writes one message when `level` <= g_nLogLevel. A file message is appended
// by opening and closing the file, so it is on disk when Log returns.
void Log(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));

void SetLogLevel(int level);

// Stores `path` and creates or empties that file; a file that cannot be
// created is ignored. A null path counts as the empty path.
void SetLogFile(const char* path);

}  // namespace Logger
}  // namespace Utils
