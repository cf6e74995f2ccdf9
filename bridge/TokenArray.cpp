#include "bridge/TokenArray.h"

#include <vector>

#include "utils/StringHelpers.h"

namespace kerv::bridge {

namespace {
constexpr char kItemSeparator = 0x19;
}

TokenArray::TokenArray(const std::string& text, int count) {
    if (count <= 0) return;
    m_tokens = Utils::splitString(text, count, std::vector<char>{kItemSeparator, '\0'});
    m_count = static_cast<unsigned int>(count);
}

TokenArray::~TokenArray() {
    if (m_tokens == nullptr) return;
    for (unsigned int i = 0; i < m_count; ++i) delete[] m_tokens[i];
    delete[] m_tokens;
}

}  // namespace kerv::bridge
