#include "utils/XmlPrimitives.h"

#include <string_view>
#include <vector>

#include "utils/XmlEscape.h"

namespace Utils {
namespace {

constexpr std::string_view kCDataOpen = "<![CDATA[";
constexpr std::string_view kCDataClose = "]]>";

// Finds a pattern in time linear in the text searched, however the pattern
// repeats itself (Knuth-Morris-Pratt; a single character goes to memchr).
class PatternFinder {
public:
    explicit PatternFinder(std::string_view pattern) : pattern_(pattern), fallback_(pattern.size(), 0) {
        for (std::size_t i = 1, matched = 0; i < pattern.size(); ++i) {
            while (matched > 0 && pattern[i] != pattern[matched]) matched = fallback_[matched - 1];
            if (pattern[i] == pattern[matched]) ++matched;
            fallback_[i] = matched;
        }
    }

    std::size_t find(std::string_view text, std::size_t from) const {
        if (pattern_.size() == 1) return text.find(pattern_[0], from);
        for (std::size_t i = from, matched = 0; i < text.size(); ++i) {
            while (matched > 0 && text[i] != pattern_[matched]) matched = fallback_[matched - 1];
            if (text[i] == pattern_[matched] && ++matched == pattern_.size()) return i + 1 - matched;
        }
        return std::string_view::npos;
    }

private:
    std::string_view pattern_;
    std::vector<std::size_t> fallback_;
};

// Builds the replaced text in one pass over `text`; false when the pattern
// does not occur.
bool replaceEvery(std::string& text, std::string_view pattern, std::string_view replacement) {
    if (pattern.empty()) return false;
    const PatternFinder finder(pattern);
    std::size_t found = finder.find(text, 0);
    if (found == std::string::npos) return false;
    std::string result;
    result.reserve(text.size() + (replacement.size() > pattern.size() ? text.size() / 8 : 0));
    std::size_t copied = 0;
    while (found != std::string::npos) {
        result.append(text, copied, found - copied);
        result.append(replacement);
        copied = found + pattern.size();
        found = finder.find(text, copied);
    }
    result.append(text, copied, std::string::npos);
    text.swap(result);
    return true;
}

}  // namespace

std::string openXMLNode(const std::string& tag, bool cdata) {
    std::string node;
    node.reserve(tag.size() + 2 + (cdata ? kCDataOpen.size() : 0));
    node += '<';
    node += tag;
    node += '>';
    if (cdata) node += kCDataOpen;
    return node;
}

std::string closeXMLNode(const std::string& tag, bool cdata) {
    std::string node;
    node.reserve(tag.size() + 3 + (cdata ? kCDataClose.size() : 0));
    if (cdata) node += kCDataClose;
    node += "</";
    node += tag;
    node += '>';
    return node;
}

std::string createXMLNode(const std::string& tag, const std::string& value, bool cdata) {
    std::string node = openXMLNode(tag, cdata);
    node += value;
    node += closeXMLNode(tag, cdata);
    return node;
}

std::string createSafeXMLNode(const std::string& tag, const std::string& value) {
    std::string node;
    node.reserve(2 * tag.size() + 5 + Xml::escapedLength(value));
    node += '<';
    node += tag;
    node += '>';
    Xml::appendEscaped(node, value);
    node += "</";
    node += tag;
    node += '>';
    return node;
}

std::string ValidateForXML(const std::string& text) {
    std::string escaped;
    escaped.reserve(Xml::escapedLength(text));
    Xml::appendEscaped(escaped, text);
    return escaped;
}

int32_t replaceSubstring(std::string& text, const std::string& pattern, const std::string& replacement) {
    return replaceEvery(text, pattern, replacement) ? 1 : 0;
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    replaceEvery(text, from, to);
}

}  // namespace Utils
