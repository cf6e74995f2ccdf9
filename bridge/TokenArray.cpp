#include "bridge/TokenArray.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "utils/StringHelpers.h"

namespace kerv::bridge {

namespace {

constexpr char kItemSeparator = 0x19;

// Entries past the items of the text cost a pointer each; a count further
// beyond them than this is refused rather than allocated.
constexpr long long kMostPaddingEntries = 1 << 20;

}  // namespace

TokenArray::TokenArray(const std::string& text, int count) {
    if (count <= 0) return;
    const long long items = std::count(text.begin(), text.end(), kItemSeparator) + 1;
    if (count - items > kMostPaddingEntries) throw std::length_error("item count far beyond the items given");
    m_tokens = Utils::splitString(text, count, std::vector<char>{kItemSeparator, '\0'});
    m_count = static_cast<unsigned int>(count);
}

TokenArray::~TokenArray() {
    Utils::freeTokenArray(m_tokens, static_cast<int>(m_count));
}

}  // namespace kerv::bridge
