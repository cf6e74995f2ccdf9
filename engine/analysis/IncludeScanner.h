// Finds the #include directives of a C or C++ file without preprocessing it:
// every directive counts whatever the conditions around it, as cppcheck's
// preprocessor loads every header a file names before it picks a
// configuration. Comments, string and character literals (raw strings
// included) and line splices are skipped as the preprocessor skips them.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kerv::engine {

struct IncludeDirective {
    std::string name;       // between the quotes or angle brackets; the macro's name when computed
    bool angle = false;     // <name>: searched in the include folders only
    bool computed = false;  // #include MACRO
};

struct ScannedSource {
    std::vector<IncludeDirective> includes;
    // Object-like macros whose whole value is a header name ("x.h" or <x.h>),
    // the only ones a computed include can be followed through.
    std::vector<std::pair<std::string, std::string>> headerMacros;
};

ScannedSource scanSource(const std::string& text);

}  // namespace kerv::engine
