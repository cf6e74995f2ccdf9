// Property checks of the fuzz targets. A failed check prints what was
// expected and aborts, so libFuzzer keeps the input as a crash.
#pragma once

#include <string>

namespace fuzz {

[[noreturn]] void fail(const char* condition, const char* file, int line, const std::string& detail);

// Renders bytes readably for a failure message: printable ASCII as is,
// everything else as \xNN.
std::string quoted(const std::string& bytes);

}  // namespace fuzz

// `detail` is evaluated only when the check fails.
#define FUZZ_CHECK(condition, detail)                                             \
    do {                                                                          \
        if (!(condition)) ::fuzz::fail(#condition, __FILE__, __LINE__, (detail)); \
    } while (false)
