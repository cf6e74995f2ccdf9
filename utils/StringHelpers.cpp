#include "utils/StringHelpers.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "utils/logger/Logger.h"

namespace Utils {
namespace {

char* newToken(const char* begin, std::size_t length) {
    char* token = new char[length + 1];
    std::memcpy(token, begin, length);
    token[length] = '\0';
    return token;
}

}  // namespace

char** splitString(std::string text, int count, std::vector<char> separators) {
    if (count <= 0) return nullptr;
    const auto capacity = static_cast<std::size_t>(count);
    char** tokens = new char*[capacity];
    std::size_t stored = 0;
    std::size_t tokenStart = 0;
    // Position text.size() reads the NUL that ends the text.
    for (std::size_t i = 0; i <= text.size() && stored < capacity; ++i) {
        if (std::find(separators.begin(), separators.end(), text[i]) == separators.end()) continue;
        tokens[stored++] = newToken(text.data() + tokenStart, i - tokenStart);
        tokenStart = i + 1;
    }
    while (stored < capacity) tokens[stored++] = newToken("", 0);
    return tokens;
}

std::vector<std::string>& split(const std::string& text, char delimiter, std::vector<std::string>& elements) {
    std::stringstream stream(text, std::ios::in | std::ios::out);
    std::string piece;
    while (std::getline(stream, piece, delimiter)) elements.push_back(piece);
    return elements;
}

std::vector<std::string> split(const std::string& text, char delimiter) {
    std::vector<std::string> elements;
    split(text, delimiter, elements);
    return elements;
}

void saveResultToFile(char* path, char* text) {
    FILE* file = path ? std::fopen(path, "w") : nullptr;
    if (!file) {
        Logger::Log(2, "\nExit %s. File %s not exist! ", "saveResultToFile", path ? path : "");
        return;
    }
    if (text) std::fputs(text, file);
    std::fclose(file);
}

}  // namespace Utils
