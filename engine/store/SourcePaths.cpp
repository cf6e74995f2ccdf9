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

bool matches(const Refusal& refusal, std::string_view rest) {
    const auto c = static_cast<unsigned char>(rest.front());
    switch (refusal.kind) {
        case Refusal::kControls:
            return c >= refusal.first && c <= refusal.last;
        case Refusal::kCharacter:
            return c == refusal.first;
        case Refusal::kSequence:
            return rest.substr(0, refusal.sequence.size()) == refusal.sequence;
    }
    return false;
}

// How a refusal names what it found at `c`, the character where it matched.
std::string described(const Refusal& refusal, unsigned char c) {
    if (refusal.kind == Refusal::kSequence) return "'" + std::string(refusal.sequence) + "'";
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    if (refusal.kind == Refusal::kControls) return std::string("the control character ") + code;
    return std::string("'") + static_cast<char>(c) + "' (" + code + ")";
}

}  // namespace

std::string unsupportedInSourcePath(const std::string& path) {
    const std::string_view text(path);
    for (size_t i = 0; i < text.size(); ++i) {
        for (const Refusal& refusal : kRefusals) {
            if (matches(refusal, text.substr(i))) return described(refusal, static_cast<unsigned char>(text[i]));
        }
    }
    return "";
}

}  // namespace kerv::engine
