// Text primitives of the compact result XML: tags, elements, escaping and
// substring replacement.
#pragma once

#include <cstdint>
#include <string>

namespace Utils {

// "<tag>", followed by "<![CDATA[" when cdata is true.
std::string openXMLNode(const std::string& tag, bool cdata);
// "]]>" when cdata is true, followed by "</tag>".
std::string closeXMLNode(const std::string& tag, bool cdata);
// openXMLNode + value unchanged + closeXMLNode.
std::string createXMLNode(const std::string& tag, const std::string& value, bool cdata);
// <tag> + ValidateForXML(value) + </tag>.
std::string createSafeXMLNode(const std::string& tag, const std::string& value);
// The text with & < > ' " replaced by &amp; &lt; &gt; &apos; &quot;. The text
// is taken as raw text: an '&' that starts an entity is escaped as well.
std::string ValidateForXML(const std::string& text);

// Replaces every occurrence of pattern, left to right and without overlap;
// inserted text is never searched again. Returns 1 when something was
// replaced, 0 when the pattern is empty or absent (text unchanged).
int32_t replaceSubstring(std::string& text, const std::string& pattern, const std::string& replacement);
// Same replacement, no result; an empty `from` leaves the text unchanged.
void replaceAll(std::string& text, const std::string& from, const std::string& to);

}  // namespace Utils
