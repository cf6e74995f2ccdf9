#include "fuzz/support/FuzzCheck.h"

#include <cstdio>
#include <cstdlib>

namespace fuzz {

void fail(const char* condition, const char* file, int line, const std::string& detail) {
    std::fprintf(stderr, "\nfuzz check failed at %s:%d: %s\n%s\n", file, line, condition, detail.c_str());
    std::abort();
}

std::string quoted(const std::string& bytes) {
    static const char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && c != '\\' && c != '"') {
            out += c;
        } else {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xf];
        }
    }
    return out + "\"";
}

}  // namespace fuzz
