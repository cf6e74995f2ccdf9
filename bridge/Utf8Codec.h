// Conversions between the JVM's UTF-16 and standard UTF-8.
//
// The JNI "UTF" functions use modified UTF-8 (a character outside the BMP as
// two 3-byte surrogate encodings, U+0000 as two bytes), which the analysis
// library does not speak; these functions give and take standard UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kerv::bridge {

// A surrogate pair becomes its 4-byte sequence; an unpaired surrogate, which
// has no UTF-8 form, becomes U+FFFD.
std::string utf16ToUtf8(const uint16_t* units, std::size_t count);

// Every maximal ill-formed subsequence (a stray continuation byte, a truncated
// sequence, an overlong form, an encoded surrogate, a value past U+10FFFF)
// becomes one U+FFFD; a 4-byte sequence becomes a surrogate pair.
std::vector<uint16_t> utf8ToUtf16(std::string_view bytes);

}  // namespace kerv::bridge
