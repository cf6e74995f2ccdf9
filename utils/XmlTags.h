// The tag names of the compact result XML.
//
// One global string per tag, made when the library is loaded and never
// changed afterwards. Writers and the reader refer to the tags by these names
// and never spell a tag text out themselves. The names and texts are listed in
// utils/XmlTags.def.
#pragma once

#include <string>

namespace Utils {

#define KERV_TAG(name, text) extern const std::string tag##name;
#define KERV_TAG_SAME(name, same) extern const std::string tag##name;
#define KERV_TAG_VERBATIM(name)
#include "utils/XmlTags.def"
#undef KERV_TAG_VERBATIM
#undef KERV_TAG_SAME
#undef KERV_TAG

}  // namespace Utils
