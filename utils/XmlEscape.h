// Entity escaping and CDATA wrapping of values. The write* functions write
// into a buffer that has room for exactly the number of bytes the matching
// *Length function gives, and return the end of what they wrote.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

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

// "<![CDATA[" + text + "]]>". A "]]>" inside the text would end the section
// early, so it is written as "]]]]><![CDATA[>": the section is split between
// "]]" and ">" and a parser reads back the original text.
std::size_t cdataLength(std::string_view text);
char* writeCData(char* out, std::string_view text);

}  // namespace Xml
}  // namespace Utils
