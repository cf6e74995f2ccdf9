// The frame of every native method that reaches the analysis library: it runs
// only on the bridge's thread (BridgeThread.h), and no C++ exception (such as
// std::bad_alloc from a huge list) escapes into the JVM. In both cases the
// method returns its failure value after one level-1 log line.
//
// Also the level-2 exit lines that some methods write as they end: the
// method's full exported name and the value of errno then. Three historic
// wordings are in use; each method keeps its own.
#pragma once

#include <jni.h>

#include <cerrno>
#include <exception>
#include <utility>

#include "bridge/BridgeThread.h"
#include "utils/logger/Logger.h"

namespace kerv::bridge {

inline void logFailure(const char* method, const char* what) noexcept {
    Utils::Logger::Log(1, "\n%s failed: %s\n", method, what);
}

// Runs `body` on any thread; returns `failure` when it throws.
template <typename Result, typename Body>
Result shieldFromExceptions(const char* method, Result failure, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (const std::exception& error) {
        logFailure(method, error.what());
    } catch (...) {
        logFailure(method, "unknown error");
    }
    return failure;
}

// For bodies that return nothing.
template <typename Body>
void shieldFromExceptions(const char* method, Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (const std::exception& error) {
        logFailure(method, error.what());
    } catch (...) {
        logFailure(method, "unknown error");
    }
}

// Body returns Result; `failure` is returned when the call is refused or fails.
template <typename Result, typename Body>
Result callOnBridgeThread(JNIEnv* env, const char* method, Result failure, Body&& body) noexcept {
    if (!isBridgeThread(env, method)) return failure;
    return shieldFromExceptions(method, std::move(failure), std::forward<Body>(body));
}

// For methods that return nothing.
template <typename Body>
void callOnBridgeThread(JNIEnv* env, const char* method, Body&& body) noexcept {
    if (isBridgeThread(env, method)) shieldFromExceptions(method, std::forward<Body>(body));
}

inline void logExitResult(const char* exportedName) {
    Utils::Logger::Log(2, "\n\tExit %s result = %d ", exportedName, errno);
}

inline void logExistResult(const char* exportedName) {
    Utils::Logger::Log(2, "\n\tExist %s result = %d ", exportedName, errno);
}

inline void logExistLastError(const char* exportedName) {
    Utils::Logger::Log(2, "\n\tExist %s last error code = %d ", exportedName, errno);
}

}  // namespace kerv::bridge
