// The line format of the project and results files: one record per line,
// fields separated by a tab, with backslash, tab, newline and carriage return
// escaped inside a field so that any text (a path with a tab, a message with
// a newline) survives a round trip.
#pragma once

#include <string>
#include <vector>

namespace kerv::engine {

std::string joinFields(const std::vector<std::string>& fields);  // no line break
std::vector<std::string> splitFields(const std::string& line);
std::vector<std::string> splitLines(const std::string& text);

}  // namespace kerv::engine
