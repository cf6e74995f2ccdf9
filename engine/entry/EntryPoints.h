// Declares every exported entry point from the shared list, so that a
// definition whose signature differs from the list fails to compile, and the
// guard that keeps exceptions and concurrent calls out of the engine.
#pragma once

#include <new>

#include "api/KERVEntryPoints.h"
#include "engine/EngineLog.h"
#include "engine/Session.h"
#include "engine/Status.h"

#define KERV_DECLARE_ENTRY_POINT(slot, entryPoint, Method, Signature) \
    extern "C" __attribute__((visibility("default"))) kerv::EntryPointFunction<kerv::EntryPoint::entryPoint> entryPoint;
KERV_ENTRY_POINTS(KERV_DECLARE_ENTRY_POINT)
#undef KERV_DECLARE_ENTRY_POINT

namespace kerv::engine {

// Runs `body(session)` under the session lock. An exception never leaves the
// engine: it becomes kOutOfMemory or kInternalError for an entry point that
// returns a status, else `failure`.
template <class Result, class Body>
Result guarded(const char* entryPoint, Result failure, Body&& body) {
    try {
        Session& s = session();
        SessionLock lock(s.mutex);
        return body(s);
    } catch (const std::bad_alloc&) {
        engineLog(1, "%s: out of memory", entryPoint);
    } catch (...) {
        engineLog(1, "%s: unexpected failure", entryPoint);
    }
    return failure;
}

template <class Body>
int guardedStatus(const char* entryPoint, Body&& body) {
    int status = kInternalError;
    try {
        Session& s = session();
        SessionLock lock(s.mutex);
        return body(s);
    } catch (const std::bad_alloc&) {
        status = kOutOfMemory;
    } catch (...) {
    }
    engineLog(1, "%s: failed with status %d", entryPoint, status);
    return status;
}

// Logs a failing status at level 1 with the entry point's name; returns it.
inline int reportStatus(const char* entryPoint, int status) {
    if (status != kOk) engineLog(1, "%s: status %d", entryPoint, status);
    return status;
}

}  // namespace kerv::engine
