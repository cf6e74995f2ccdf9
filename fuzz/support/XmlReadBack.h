// Reads a writer's output back with a real XML parser and walks it element
// by element, failing the fuzz run on anything unexpected.
#pragma once

#include <pugixml.hpp>
#include <string>

namespace fuzz {

// Parses the whole text as one document: UTF-8 bytes as they are, no line-end
// normalisation, whitespace-only text kept, entities and CDATA decoded. Fails
// when the text is not well formed or has more than one root element.
void parseOrFail(pugi::xml_document& document, const std::string& xml);

// The decoded text of a leaf element (text and CDATA pieces joined); fails
// when the element holds an element.
std::string textOf(pugi::xml_node element);

// Walks the child elements of one element in order. Text beside child
// elements (even whitespace) is a failure: the writers put none there.
class ElementCursor {
public:
    explicit ElementCursor(pugi::xml_node parent);

    // The next child, which must be an element named `name`.
    pugi::xml_node next(const std::string& name);
    // The next child, which must be a leaf element `name` holding `expected`.
    void leaf(const std::string& name, const std::string& expected);
    // Fails unless every child has been visited.
    void end();

private:
    pugi::xml_node parent_;
    pugi::xml_node current_;
};

// Fails unless the element has no content at all.
void expectEmpty(pugi::xml_node element);

}  // namespace fuzz
