// The level-2 exit lines of the native methods: the method's full exported
// name and the value of errno when the method ends. Three historic wordings
// are in use; each method keeps its own.
#pragma once

namespace kerv::bridge {

void logExitResult(const char* exportedName);      // "\n\tExit %s result = %d "
void logExistResult(const char* exportedName);     // "\n\tExist %s result = %d "
void logExistLastError(const char* exportedName);  // "\n\tExist %s last error code = %d "

}  // namespace kerv::bridge
