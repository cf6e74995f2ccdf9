// One finding of cppcheck, as read from its XML report and kept in the
// results store.
#pragma once

#include <string>
#include <vector>

namespace kerv::engine {

struct FindingLocation {
    std::string file;
    int line = 0;
    int column = 0;
    std::string info;  // cppcheck's note on a secondary location, may be empty
};

struct Finding {
    std::string id;        // cppcheck's message id, such as nullPointer
    std::string severity;  // error, warning, style, performance, portability, information
    std::string message;
    std::string verbose;
    int cwe = 0;
    bool inconclusive = false;
    std::vector<FindingLocation> locations;  // the first one is the primary location
    std::vector<std::string> symbols;
};

// An entry of `cppcheck --errorlist`: a rule the analyser can report.
struct RuleInfo {
    std::string id;
    std::string severity;
    std::string message;
    int cwe = 0;
    std::string verbose;  // the longer explanation, often the same as the message
};

}  // namespace kerv::engine
