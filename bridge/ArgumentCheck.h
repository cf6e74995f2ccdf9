// Refusal of Java text arguments that cannot be passed to the analysis
// library: the method logs one level-1 line naming itself and the first such
// argument, and returns its failure value without calling the library.
#pragma once

#include <initializer_list>

#include "bridge/JavaText.h"

namespace kerv::bridge {

struct NamedText {
    const char* name;
    const JavaText& text;
};

// True when every text is usable; otherwise logs the first one that is not.
bool acceptTexts(const char* method, std::initializer_list<NamedText> texts);

}  // namespace kerv::bridge
