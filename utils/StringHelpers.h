// Splitting of texts that Java passes as one string, and writing a text to a
// file.
#pragma once

#include <string>
#include <vector>

namespace Utils {

// Cuts the text at every character of the separator list into an array of
// `count` NUL-terminated tokens (a NUL in the list makes the end of the text a
// separator too, so the last piece becomes a token). At most `count` tokens
// are stored; entries beyond the last token all point to one shared empty
// string. Null for a count of 0 or less. The caller releases the array with
// freeTokenArray. When an allocation fails, nothing is left allocated and
// the exception passes on.
char** splitString(std::string text, int count, std::vector<char> separators);

// Releases what splitString returned for `count`: every token with delete[]
// except the shared empty one, then the array.
void freeTokenArray(char** tokens, int count);

// Appends the pieces of the text between delimiters to `elements` (as
// std::getline reads them: a trailing delimiter adds no empty piece) and
// returns `elements`.
std::vector<std::string>& split(const std::string& text, char delimiter, std::vector<std::string>& elements);
std::vector<std::string> split(const std::string& text, char delimiter);

// Replaces the file's content with exactly the text; logs at level 2 when the
// file cannot be opened.
void saveResultToFile(char* path, char* text);

}  // namespace Utils
