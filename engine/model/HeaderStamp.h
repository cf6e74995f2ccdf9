// A header that an analysed file read, named by the hash of the bytes it had
// then: what the results keep to tell when a file's headers changed.
#pragma once

#include <cstdint>
#include <string>

namespace kerv::engine {

struct HeaderStamp {
    std::string path;
    uint64_t hash = 0;  // of its bytes
    bool operator==(const HeaderStamp& other) const { return hash == other.hash && path == other.path; }
};

}  // namespace kerv::engine
