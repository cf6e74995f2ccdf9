// The array of NUL-terminated strings that the analysis library receives for
// a Java list text (entries joined by 0x19), owned for one native call.
#pragma once

#include <string>

namespace kerv::bridge {

class TokenArray {
public:
    // A count of 0 or less means no list: a null array of size 0. Otherwise
    // exactly `count` strings: extra entries are dropped, missing ones empty.
    // Throws std::length_error for a count more than about a million beyond
    // the items of the text, and std::bad_alloc when the array cannot be had.
    TokenArray(const std::string& text, int count);
    ~TokenArray();
    TokenArray(const TokenArray&) = delete;
    TokenArray& operator=(const TokenArray&) = delete;

    char** data() const { return m_tokens; }
    unsigned int size() const { return m_count; }

private:
    char** m_tokens = nullptr;
    unsigned int m_count = 0;
};

}  // namespace kerv::bridge
