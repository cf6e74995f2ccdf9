// Writers of the result trees, a file's settings and the available languages
// as compact result XML. A null record, list or text is written as empty.
#pragma once

#include <string>

#include "api/KERVRecords.h"

namespace Utils {

// <Ty>digit</Ty> for 0 to 8, <Ty></Ty> for any other value.
std::string SerializeTreeItemType(VQTreeItemType_C type);
// Ty, N, D, To, A (all escaped), then one SI per child; no enclosing element.
std::string SerializeTreeItem(VQTreeStruct* item);
// FT, MT, RT (file, message, rule tree, in that order); no enclosing element.
std::string SerializeTreesIndividual(VQTrees_C* trees);
// One Tr element around SerializeTreesIndividual.
std::string SerializeTrees(VQTrees_C* trees);

// <SL>C</SL>, <SL>C++</SL>, <SL>C#</SL>, or <SL></SL> for any other value.
std::string SerializeSourceLanguage(VQSourceLanguage_C language);
// One DEF element: the defines joined with ';', escaped.
std::string SerializeDefines(VQDefines_C* defines);
// One IP element: the include paths joined with ';', escaped.
std::string SerializeIncludedPaths(VQIncludes_C* includes);
// One VQF element holding IP, DEF, SL; empty for null.
std::string SerializeVQFile(VQFile_C* file);

// <L>digit</L> for 0 to 2, the empty text for any other value.
std::string SerializeLanguage(VQLanguage_C language);
// One VQL element holding the known languages in order; empty for null.
std::string SerializeLanguages(VQLanguages_C* languages);

}  // namespace Utils
