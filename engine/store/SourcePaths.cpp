#include "engine/store/SourcePaths.h"

#include <cstdio>
#include <string_view>

namespace kerv::engine {

namespace {

struct Refusal {
    enum Kind { kControls, kCharacter, kSequence };
    Kind kind;
    unsigned char first;  // the range of kControls, the character of kCharacter
    unsigned char last;
    std::string_view sequence;
};

constexpr Refusal kRefusals[] = {
#define KERV_PROJECT_LOCK_FILE(name)
#define KERV_PATH_REFUSED_CONTROLS(first, last) {Refusal::kControls, first, last, {}},
#define KERV_PATH_REFUSED_CHARACTER(code) {Refusal::kCharacter, code, code, {}},
#define KERV_PATH_REFUSED_SEQUENCE(text) {Refusal::kSequence, 0, 0, text},
#include "engine/store/ProjectStore.def"
#undef KERV_PATH_REFUSED_SEQUENCE
#undef KERV_PATH_REFUSED_CHARACTER
#undef KERV_PATH_REFUSED_CONTROLS
#undef KERV_PROJECT_LOCK_FILE
};

std::string code(unsigned char c) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

// What `refusal` finds at the start of `rest`, described; empty when nothing.
std::string refused(const Refusal& refusal, std::string_view rest) {
    const auto c = static_cast<unsigned char>(rest.front());
    switch (refusal.kind) {
        case Refusal::kControls:
            if (c >= refusal.first && c <= refusal.last) return "the control character " + code(c);
            break;
        case Refusal::kCharacter:
            if (c == refusal.first) return std::string("'") + static_cast<char>(c) + "' (" + code(c) + ")";
            break;
        case Refusal::kSequence:
            if (rest.substr(0, refusal.sequence.size()) == refusal.sequence)
                return "'" + std::string(refusal.sequence) + "'";
            break;
    }
    return "";
}

}  // namespace

std::string unsupportedInSourcePath(const std::string& path) {
    const std::string_view text(path);
    for (size_t i = 0; i < text.size(); ++i) {
        for (const Refusal& refusal : kRefusals) {
            if (std::string found = refused(refusal, text.substr(i)); !found.empty()) return found;
        }
    }
    return "";
}

}  // namespace kerv::engine
