// The engine's own log, written to standard error.
//
// Level 1 carries failures, level 2 traces; a line is written when its level
// is at most the current level (setLogLevel). The default level is 0, like
// the bridge's: nothing is written until a level is asked for.
#pragma once

namespace kerv::engine {

void setEngineLogLevel(int level);
int engineLogLevel();
void engineLog(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace kerv::engine
