// Which source file names the engine can keep. The file list that getFiles
// returns separates paths with ';', the front end joins lists with 0x19, the
// project file is made of tab-separated lines, a result text carries a path
// verbatim up to its closing tag, and cppcheck cannot open a path holding '"'
// or '\' (it reads '\' as a folder separator): a path with any of these, or
// with another control character, would be stored and go wrong later. What
// is refused is listed in engine/store/ProjectStore.def, which the Java client
// checks paths against too.
#pragma once

#include <string>

namespace kerv::engine {

// Empty when the path can be kept, else the character (or characters) that
// cannot, described for a person, such as "';' (U+003B)".
std::string unsupportedInSourcePath(const std::string& path);

}  // namespace kerv::engine
