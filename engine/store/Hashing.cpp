#include "engine/store/Hashing.h"

#include <cstdio>

namespace kerv::engine {

uint64_t fnv1a(std::string_view bytes, uint64_t seed) {
    uint64_t hash = seed;
    for (unsigned char byte : bytes) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string toHex(uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

}  // namespace kerv::engine
