// Entity escaping and CDATA wrapping of values. The write* functions write
// into a buffer that has room for exactly the number of bytes the matching
// *Length function gives, and return the end of what they wrote.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Texts are scanned 16 bytes at a time with SSE2 loads; the aligned ones may
// read past the end of a text (never past its page). Sanitizer and fuzzer
// builds compile the plain byte-by-byte path instead (KERV_SCALAR_TEXT, or
// detected), so that every byte read is checked there.
#if defined(__has_feature)
#define KERV_HAS_FEATURE(feature) __has_feature(feature)
#else
#define KERV_HAS_FEATURE(feature) 0
#endif
#if defined(__SSE2__) && !defined(KERV_SCALAR_TEXT) && !defined(__SANITIZE_ADDRESS__) && \
    !KERV_HAS_FEATURE(address_sanitizer) && !KERV_HAS_FEATURE(memory_sanitizer)
#define KERV_VECTOR_TEXT 1
#else
#define KERV_VECTOR_TEXT 0
#endif

namespace Utils {
namespace Xml {

// Copies up to 16 bytes with a few fixed-size moves, longer texts with
// memcpy; record values are mostly short.
inline void copyBytes(char* out, const char* text, std::size_t size) {
    if (size > 16) {
        std::memcpy(out, text, size);
    } else if (size >= 8) {
        std::memcpy(out, text, 8);
        std::memcpy(out + size - 8, text + size - 8, 8);
    } else if (size >= 4) {
        std::memcpy(out, text, 4);
        std::memcpy(out + size - 4, text + size - 4, 4);
    } else if (size > 0) {
        out[0] = text[0];
        out[size / 2] = text[size / 2];
        out[size - 1] = text[size - 1];
    }
}

// Length of a NUL-terminated text. Record texts are mostly shorter than 16
// bytes, for which one aligned 16-byte load and compare finds the end without
// a library call (an aligned load never crosses a page, so it cannot fault).
#if KERV_VECTOR_TEXT
namespace simd {
inline std::size_t textLength(const char* text) {
    const std::uintptr_t offset = reinterpret_cast<std::uintptr_t>(text) & 15;
    const __m128i block = _mm_load_si128(reinterpret_cast<const __m128i*>(text - offset));
    const unsigned zeros =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_setzero_si128()))) >> offset;
    if (zeros != 0) return static_cast<std::size_t>(__builtin_ctz(zeros));
    return (16 - offset) + std::strlen(text + (16 - offset));
}
}  // namespace simd
#endif

inline std::size_t textLength(const char* text) {
#if KERV_VECTOR_TEXT
    return simd::textLength(text);
#else
    return std::strlen(text);
#endif
}

// The first of & < > ' " in [p, end), or end.
const char* findMarkup(const char* p, const char* end);

// Text with & < > ' " replaced by their entities: one pass that copies each
// run of plain characters at once.
std::size_t escapedLength(std::string_view text);
char* writeEscaped(char* out, std::string_view text);
void appendEscaped(std::string& out, std::string_view text);

// The same for a NUL-terminated text, in one pass that finds the end of the
// text and its markup together.
struct TextScan {
    std::size_t length;
    std::size_t escapedLength;
};
TextScan scanText(const char* text);
// Writes the escaped text into [out, outEnd); null when it does not fit.
char* writeEscapedText(char* out, char* outEnd, const char* text);

// Both implementations of the scanning functions above, for comparing them:
// `scalar` is always built, `simd` only where the build uses it.
struct TextPath {
    const char* (*findMarkup)(const char* p, const char* end);
    std::size_t (*escapedLength)(std::string_view text);
    char* (*writeEscaped)(char* out, std::string_view text);
    TextScan (*scanText)(const char* text);
    char* (*writeEscapedText)(char* out, char* outEnd, const char* text);
    std::size_t (*textLength)(const char* text);
};
extern const TextPath kScalarTextPath;
#if KERV_VECTOR_TEXT
extern const TextPath kVectorTextPath;
#endif

// "<![CDATA[" + text + "]]>". A "]]>" inside the text would end the section
// early, so it is written as "]]]]><![CDATA[>": the section is split between
// "]]" and ">" and a parser reads back the original text.
std::size_t cdataLength(std::string_view text);
char* writeCData(char* out, std::string_view text);

}  // namespace Xml
}  // namespace Utils
