// The hash that tells changed bytes from the ones seen before (file
// contents, configurations, command lines) and its text form in the stored
// files. Not for security: FNV-1a is fast and has no secret.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kerv::engine {

// FNV-1a is sequential: the hash of a + b is fnv1a(b, fnv1a(a)).
uint64_t fnv1a(std::string_view bytes, uint64_t seed = 14695981039346656037ull);
// 16 lower-case hex digits.
std::string toHex(uint64_t value);

}  // namespace kerv::engine
