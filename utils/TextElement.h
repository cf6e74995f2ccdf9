// The elements that hold a record's text. Whether such a text is written as
// it is or escaped belongs to its tag (the KERV_TAG_VERBATIM entries of
// utils/XmlTags.def), so a writer names only the tag: TextMarkup<&tagFile>
// is written verbatim, TextMarkup<&tagMessageText> escaped.
#pragma once

#include <string>

#include "utils/XmlSink.h"
#include "utils/XmlTags.h"

namespace Utils {

template <const std::string* Tag>
inline constexpr bool kWrittenVerbatim = false;

#define KERV_TAG(name, text)
#define KERV_TAG_SAME(name, same)
#define KERV_TAG_VERBATIM(name) \
    template <>                 \
    inline constexpr bool kWrittenVerbatim<&tag##name> = true;
#include "utils/XmlTags.def"
#undef KERV_TAG_VERBATIM
#undef KERV_TAG_SAME
#undef KERV_TAG

namespace Xml {

template <const std::string* Tag>
class TextMarkup : public ElementMarkup {
public:
    TextMarkup() : ElementMarkup(*Tag) {}
};

// <tag>text</tag> with a record's NUL-terminated text (null: empty), as is or
// escaped as the tag's entry says.
template <typename Sink, const std::string* Tag>
__attribute__((always_inline)) inline void textElement(Sink& out, const TextMarkup<Tag>& tag, const char* text) {
    if constexpr (kWrittenVerbatim<Tag>) {
        element(out, tag, textOf(text));
    } else {
        escapedElement(out, tag, text);
    }
}

}  // namespace Xml
}  // namespace Utils
