#include "bridge/ExitLines.h"

#include <cerrno>

#include "utils/logger/Logger.h"

namespace kerv::bridge {

void logExitResult(const char* exportedName) {
    Utils::Logger::Log(2, "\n\tExit %s result = %d ", exportedName, errno);
}

void logExistResult(const char* exportedName) {
    Utils::Logger::Log(2, "\n\tExist %s result = %d ", exportedName, errno);
}

void logExistLastError(const char* exportedName) {
    Utils::Logger::Log(2, "\n\tExist %s last error code = %d ", exportedName, errno);
}

}  // namespace kerv::bridge
