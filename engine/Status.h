// Status codes returned by the entry points of libKERV.so.
//
// 0 is success; every failure is one of the negative codes of
// engine/StatusCodes.def. -1 is never used, so that a caller can tell an
// engine failure from its own "entry point missing" value. getCMAProjectList and getReportTools are the exceptions to
// the rule: they return a positive value with their list and 0 without one.
#pragma once

namespace kerv::engine {

enum Status : int {
#define KERV_STATUS(name, code, meaning) name = code,
#include "engine/StatusCodes.def"
#undef KERV_STATUS
};

}  // namespace kerv::engine
