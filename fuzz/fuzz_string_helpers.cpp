// Fuzz target: splitString and both splits on arbitrary text, counts and
// separator lists. splitString must fill exactly `count` entries (the tokens
// first, then empty strings), released by freeTokenArray, and never more;
// the tokens must be those of the splitting rule.
#include <fuzzer/FuzzedDataProvider.h>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/support/FuzzCheck.h"
#include "utils/StringHelpers.h"

namespace {

#define KERV_ITEM_SEPARATOR(code) constexpr char kItemSeparator = code;
#include "bridge/ItemSeparator.def"
#undef KERV_ITEM_SEPARATOR

// Every position up to and including the end (read as NUL) is compared with
// every separator; each match ends a token.
std::vector<std::string> referenceTokens(const std::string& text, const std::vector<char>& separators) {
    std::vector<std::string> tokens;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : '\0';
        for (const char separator : separators) {
            if (c != separator) continue;
            tokens.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return tokens;
}

bool distinct(const std::vector<char>& separators) {
    for (std::size_t i = 0; i < separators.size(); ++i) {
        for (std::size_t j = i + 1; j < separators.size(); ++j) {
            if (separators[i] == separators[j]) return false;
        }
    }
    return true;
}

void checkSplitString(const std::string& text, int count, const std::vector<char>& separators) {
    char** tokens = Utils::splitString(text, count, separators);
    if (count <= 0) {
        FUZZ_CHECK(tokens == nullptr, "count " + std::to_string(count) + " gives an array");
        return;
    }
    FUZZ_CHECK(tokens != nullptr, "no array for count " + std::to_string(count));
    // With a separator listed twice the rule has no sound reading; the entries
    // must still be valid strings (strlen below runs under AddressSanitizer).
    const bool exact = distinct(separators);
    const std::vector<std::string> expected = exact ? referenceTokens(text, separators) : std::vector<std::string>();
    for (int i = 0; i < count; ++i) {
        FUZZ_CHECK(tokens[i] != nullptr, "entry " + std::to_string(i) + " is null");
        const std::size_t length = std::strlen(tokens[i]);
        if (exact) {
            const std::string want = static_cast<std::size_t>(i) < expected.size() ? expected[i] : std::string();
            const bool same = std::memcmp(tokens[i], want.c_str(), want.size() + 1) == 0;
            FUZZ_CHECK(same, "entry " + std::to_string(i) + " is " + fuzz::quoted(std::string(tokens[i], length)) +
                                 ", expected " + fuzz::quoted(want) + " from " + fuzz::quoted(text));
        }
    }
    Utils::freeTokenArray(tokens, count);
}

void checkSplit(const std::string& text, char delimiter) {
    std::vector<std::string> expected = {"kept"};
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find(delimiter, start);
        if (end == std::string::npos) {
            expected.push_back(text.substr(start));
            break;
        }
        expected.push_back(text.substr(start, end - start));
        start = end + 1;
    }

    std::vector<std::string> elements = {"kept"};
    const std::vector<std::string>& same = Utils::split(text, delimiter, elements);
    FUZZ_CHECK(&same == &elements, "split returns another vector");
    FUZZ_CHECK(elements == expected, "split of " + fuzz::quoted(text) + " gives " + std::to_string(elements.size()) +
                                         " strings, expected " + std::to_string(expected.size()));
    expected.erase(expected.begin());
    FUZZ_CHECK(Utils::split(text, delimiter) == expected, "split into a new vector of " + fuzz::quoted(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const int count = input.ConsumeIntegralInRange<int>(-2, 40);
    std::vector<char> separators;
    const int separatorCount = input.ConsumeIntegralInRange<int>(0, 3);
    for (int i = 0; i < separatorCount; ++i) {
        switch (input.ConsumeIntegralInRange<int>(0, 3)) {
            case 0:
                separators.push_back(kItemSeparator);
                break;
            case 1:
                separators.push_back('\0');
                break;
            case 2:
                separators.push_back(',');
                break;
            default:
                separators.push_back(input.ConsumeIntegral<char>());
                break;
        }
    }
    const std::string text = input.ConsumeRemainingBytesAsString();
    checkSplitString(text, count, separators);
    checkSplit(text, separators.empty() ? kItemSeparator : separators.front());
    return 0;
}
