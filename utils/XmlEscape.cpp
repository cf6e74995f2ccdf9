#include "utils/XmlEscape.h"

#include <array>
#include <cstdint>

namespace Utils {
namespace Xml {
namespace {

constexpr std::string_view kCDataOpen = "<![CDATA[";
constexpr std::string_view kCDataClose = "]]>";
constexpr std::string_view kCDataSplit = "]]]]><![CDATA[>";

// Index 0 means "copy the byte as it is"; any other index selects an entity.
constexpr std::array<std::string_view, 6> kEntities = {"", "&amp;", "&lt;", "&gt;", "&apos;", "&quot;"};

constexpr std::array<std::uint8_t, 256> makeEntityIndex() {
    std::array<std::uint8_t, 256> index{};
    index['&'] = 1;
    index['<'] = 2;
    index['>'] = 3;
    index['\''] = 4;
    index['"'] = 5;
    return index;
}

constexpr std::array<std::uint8_t, 256> kEntityIndex = makeEntityIndex();

inline std::uint8_t entityOf(char c) {
    return kEntityIndex[static_cast<unsigned char>(c)];
}

}  // namespace

void appendEscaped(std::string& out, std::string_view text) {
    const char* runStart = text.data();
    const char* const end = runStart + text.size();
    for (const char* p = runStart; p != end; ++p) {
        const std::uint8_t entity = entityOf(*p);
        if (entity == 0) continue;
        out.append(runStart, static_cast<std::size_t>(p - runStart));
        out.append(kEntities[entity]);
        runStart = p + 1;
    }
    out.append(runStart, static_cast<std::size_t>(end - runStart));
}

std::size_t escapedLength(std::string_view text) {
    std::size_t length = text.size();
    for (const char c : text) {
        const std::uint8_t entity = entityOf(c);
        if (entity != 0) length += kEntities[entity].size() - 1;
    }
    return length;
}

void appendCData(std::string& out, std::string_view text) {
    out.append(kCDataOpen);
    for (std::size_t end = text.find(kCDataClose); end != std::string_view::npos; end = text.find(kCDataClose)) {
        out.append(text.data(), end);
        out.append(kCDataSplit);
        text.remove_prefix(end + kCDataClose.size());
    }
    out.append(text);
    out.append(kCDataClose);
}

std::size_t cdataLength(std::string_view text) {
    std::size_t length = kCDataOpen.size() + text.size() + kCDataClose.size();
    for (std::size_t end = text.find(kCDataClose); end != std::string_view::npos;
         end = text.find(kCDataClose, end + kCDataClose.size())) {
        length += kCDataSplit.size() - kCDataClose.size();
    }
    return length;
}

}  // namespace Xml
}  // namespace Utils
