#include "utils/StringHelpers.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>

#include "utils/logger/Logger.h"

namespace Utils {
namespace {

// The one empty string that every entry past the last token points to, so
// that a large count costs the pointer array alone.
char g_paddingToken[1] = {'\0'};

char* newToken(const char* begin, std::size_t length) {
    char* token = new char[length + 1];
    std::memcpy(token, begin, length);
    token[length] = '\0';
    return token;
}

void freeTokens(char** tokens, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (tokens[i] != g_paddingToken) delete[] tokens[i];
    }
}

}  // namespace

char** splitString(std::string text, int count, std::vector<char> separators) {
    if (count <= 0) return nullptr;
    const auto capacity = static_cast<std::size_t>(count);
    std::unique_ptr<char*[]> tokens(new char*[capacity]);
    std::size_t stored = 0;
    try {
        std::size_t tokenStart = 0;
        // Position text.size() reads the NUL that ends the text.
        for (std::size_t i = 0; i <= text.size() && stored < capacity; ++i) {
            if (std::find(separators.begin(), separators.end(), text[i]) == separators.end()) continue;
            tokens[stored] = newToken(text.data() + tokenStart, i - tokenStart);
            ++stored;
            tokenStart = i + 1;
        }
    } catch (...) {
        freeTokens(tokens.get(), stored);
        throw;
    }
    std::fill(tokens.get() + stored, tokens.get() + capacity, static_cast<char*>(g_paddingToken));
    return tokens.release();
}

void freeTokenArray(char** tokens, int count) {
    if (tokens == nullptr) return;
    freeTokens(tokens, count > 0 ? static_cast<std::size_t>(count) : 0);
    delete[] tokens;
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
