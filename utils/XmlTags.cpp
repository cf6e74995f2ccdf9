#include "utils/XmlTags.h"

namespace Utils {

// Definitions in list order, so that a tag sharing an earlier one's text is
// made after it.
#define KERV_TAG(name, text) const std::string tag##name = text;
#define KERV_TAG_SAME(name, same) const std::string tag##name = tag##same;
#define KERV_TAG_VERBATIM(name)
#include "utils/XmlTags.def"
#undef KERV_TAG_VERBATIM
#undef KERV_TAG_SAME
#undef KERV_TAG

}  // namespace Utils
