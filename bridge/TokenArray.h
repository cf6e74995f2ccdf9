// The array of NUL-terminated strings that the analysis library receives for
// a Java list text (entries joined by kItemSeparator), owned for one native call.
#pragma once

#include <string>

namespace kerv::bridge {

#define KERV_ITEM_SEPARATOR(code) inline constexpr char kItemSeparator = code;
#include "bridge/ItemSeparator.def"
#undef KERV_ITEM_SEPARATOR

class TokenArray {
public:
    // A count of 0 or less means no list: a null array of size 0. Otherwise
    // exactly `count` strings: extra entries are dropped, missing ones empty.
    // A count more than about a million beyond the items of the text, or an
    // array that cannot be allocated, is refused with a level-1 line naming
    // `method`; the array is then null. Nothing is thrown: an exception
    // cannot always be thrown safely inside a JVM.
    TokenArray(const char* method, const std::string& text, int count) noexcept;
    ~TokenArray();
    TokenArray(const TokenArray&) = delete;
    TokenArray& operator=(const TokenArray&) = delete;

    char** data() const { return m_tokens; }
    unsigned int size() const { return m_count; }
    bool refused() const { return m_refused; }

private:
    char** m_tokens = nullptr;
    unsigned int m_count = 0;
    bool m_refused = false;
};

}  // namespace kerv::bridge
