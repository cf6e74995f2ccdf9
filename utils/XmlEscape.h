// Entity escaping and CDATA wrapping of values, as appenders into one output
// buffer and as length functions that give the exact size the appenders add.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace Utils {
namespace Xml {

// Appends text with & < > ' " replaced by their entities; one pass that
// copies each run of plain characters at once.
void appendEscaped(std::string& out, std::string_view text);
std::size_t escapedLength(std::string_view text);

// Appends "<![CDATA[" + text + "]]>". A "]]>" inside the text would end the
// section early, so it is written as "]]]]><![CDATA[>": the section is split
// between "]]" and ">" and a parser reads back the original text.
void appendCData(std::string& out, std::string_view text);
std::size_t cdataLength(std::string_view text);

}  // namespace Xml
}  // namespace Utils
