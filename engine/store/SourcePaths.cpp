#include "engine/store/SourcePaths.h"

#include <cstdio>

namespace kerv::engine {

namespace {

std::string described(unsigned char c) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    if (c < 0x20 || c == 0x7f) return std::string("the control character ") + code;
    return std::string("'") + static_cast<char>(c) + "' (" + code + ")";
}

}  // namespace

std::string unsupportedInSourcePath(const std::string& path) {
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (c < 0x20 || c == 0x7f || c == ';' || c == '"' || c == '\\') return described(c);
        if (c == '<' && i + 1 < path.size() && path[i + 1] == '/') return "'</'";
    }
    return "";
}

}  // namespace kerv::engine
