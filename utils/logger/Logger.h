// Utils::Logger: level-filtered printf-style messages to standard output or
// to a log file. A message is written as formatted: no time stamp, no level
// tag, no added line break.
#pragma once

#include <string>

namespace Utils {
namespace Logger {

// Highest level that is written: 1 failures, 2 traces. 0 writes nothing.
extern int g_nLogLevel;

// Path of the log file; while it holds 2 characters or fewer, messages go to
// standard output.
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
