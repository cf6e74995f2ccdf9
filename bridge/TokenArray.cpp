#include "bridge/TokenArray.h"

#include <algorithm>
#include <new>
#include <vector>

#include "bridge/BridgeCall.h"
#include "utils/StringHelpers.h"

namespace kerv::bridge {

namespace {

// Entries past the items of the text cost a pointer each; a count further
// beyond them than this is refused rather than allocated.
constexpr long long kMostPaddingEntries = 1 << 20;

}  // namespace

TokenArray::TokenArray(const char* method, const std::string& text, int count) noexcept {
    if (count <= 0) return;
    // Only a count beyond the bound can be refused, so most calls never count the items.
    if (count > kMostPaddingEntries &&
        count - (std::count(text.begin(), text.end(), kItemSeparator) + 1) > kMostPaddingEntries) {
        m_refused = true;
        logFailure(method, "item count far beyond the items given");
        return;
    }
    try {
        m_tokens = Utils::splitString(text, count, std::vector<char>{kItemSeparator, '\0'});
        m_count = static_cast<unsigned int>(count);
    } catch (const std::bad_alloc&) {
        m_refused = true;
        logFailure(method, "no memory for the item array");
    }
}

TokenArray::~TokenArray() {
    Utils::freeTokenArray(m_tokens, static_cast<int>(m_count));
}

}  // namespace kerv::bridge
