#include "fuzz/support/XmlReadBack.h"

#include "fuzz/support/FuzzCheck.h"

namespace fuzz {

namespace {

std::string pathOf(pugi::xml_node node) {
    std::string path;
    for (; node && node.type() == pugi::node_element; node = node.parent()) path.insert(0, "/").insert(1, node.name());
    return path.empty() ? "/" : path;
}

}  // namespace

void parseOrFail(pugi::xml_document& document, const std::string& xml) {
    const unsigned int options = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_ws_pcdata;
    const pugi::xml_parse_result result = document.load_buffer(xml.data(), xml.size(), options, pugi::encoding_utf8);
    FUZZ_CHECK(result, "parse error '" + std::string(result.description()) + "' at byte " +
                           std::to_string(result.offset) + " of " + quoted(xml));
    int roots = 0;
    for (pugi::xml_node child = document.first_child(); child; child = child.next_sibling()) {
        FUZZ_CHECK(child.type() == pugi::node_element, "text outside the root element in " + quoted(xml));
        ++roots;
    }
    FUZZ_CHECK(roots == 1, std::to_string(roots) + " root elements in " + quoted(xml));
}

std::string textOf(pugi::xml_node element) {
    std::string text;
    for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
        FUZZ_CHECK(child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata,
                   "element <" + std::string(child.name()) + "> inside the value of " + pathOf(element));
        text += child.value();
    }
    return text;
}

ElementCursor::ElementCursor(pugi::xml_node parent) : parent_(parent), current_(parent.first_child()) {}

pugi::xml_node ElementCursor::next(const std::string& name) {
    FUZZ_CHECK(current_, "missing <" + name + "> at the end of " + pathOf(parent_));
    FUZZ_CHECK(current_.type() == pugi::node_element,
               "text " + quoted(current_.value()) + " where <" + name + "> belongs in " + pathOf(parent_));
    FUZZ_CHECK(name == current_.name(),
               "<" + std::string(current_.name()) + "> where <" + name + "> belongs in " + pathOf(parent_));
    const pugi::xml_node found = current_;
    current_ = current_.next_sibling();
    return found;
}

void ElementCursor::leaf(const std::string& name, const std::string& expected) {
    const pugi::xml_node element = next(name);
    const std::string actual = textOf(element);
    FUZZ_CHECK(actual == expected, pathOf(element) + " holds " + quoted(actual) + ", the record " + quoted(expected));
}

void ElementCursor::end() {
    FUZZ_CHECK(!current_, "unexpected " +
                              (current_.type() == pugi::node_element ? "<" + std::string(current_.name()) + ">"
                                                                     : "text " + quoted(current_.value())) +
                              " in " + pathOf(parent_));
}

void expectEmpty(pugi::xml_node element) {
    FUZZ_CHECK(!element.first_child(), pathOf(element) + " should be empty");
}

}  // namespace fuzz
