#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "StdoutCapture.h"
#include "utils/StringHelpers.h"

using namespace Utils;

namespace {

const std::vector<char> kItemSeparators = {0x19, '\0'};

// Splits, copies the tokens out and releases the array as a caller must.
std::vector<std::string> splitToVector(const std::string& text, int count,
                                       const std::vector<char>& separators = kItemSeparators) {
    char** tokens = splitString(text, count, separators);
    std::vector<std::string> result;
    if (!tokens) return result;
    for (int i = 0; i < count; ++i) result.emplace_back(tokens[i]);
    freeTokenArray(tokens, count);
    return result;
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

}  // namespace

// Cuts at every item separator, stores at most `count` tokens and fills the
// rest with empty strings.
TEST(SplitString, CutsAtSeparatorsIntoExactlyCountTokens) {
    using V = std::vector<std::string>;
    const std::string s = "\x19";
    EXPECT_EQ(splitToVector("a" + s + "bc" + s + "d", 3), (V{"a", "bc", "d"}));
    EXPECT_EQ(splitToVector("a" + s + s + "b", 3), (V{"a", "", "b"}));
    EXPECT_EQ(splitToVector("", 1), (V{""}));
    EXPECT_EQ(splitToVector("whole text", 1), (V{"whole text"}));
    EXPECT_EQ(splitToVector("a" + s, 2), (V{"a", ""}));
    EXPECT_EQ(splitToVector("a" + s + "b" + s + "c" + s + "d", 2), (V{"a", "b"}));
    EXPECT_EQ(splitToVector("a", 3), (V{"a", "", ""}));
    EXPECT_EQ(splitString("a", 0, kItemSeparators), nullptr);
    EXPECT_EQ(splitString("a", -5, kItemSeparators), nullptr);
    // Without NUL in the list the last piece is no token.
    EXPECT_EQ(splitToVector("a,b,c", 2, {','}), (V{"a", "b"}));
    EXPECT_EQ(splitToVector("a,b", 4, {','}), (V{"a", "", "", ""}));
    // A separator listed twice still makes one token per position.
    EXPECT_EQ(splitToVector("a,b", 3, {',', ',', '\0'}), (V{"a", "b", ""}));
}

TEST(Split, BehavesLikeGetline) {
    using V = std::vector<std::string>;
    EXPECT_EQ(split("a,,b", ','), (V{"a", "", "b"}));
    EXPECT_EQ(split("a,b,", ','), (V{"a", "b"}));
    EXPECT_EQ(split("", ','), V{});
    V elements = {"kept"};
    EXPECT_EQ(&split("x,y", ',', elements), &elements);
    EXPECT_EQ(elements, (V{"kept", "x", "y"}));
}

TEST(SaveResultToFile, ReplacesTheContentOrLogsAMissingFile) {
    char pathTemplate[] = "/tmp/kerv-save-XXXXXX";
    const int fd = mkstemp(pathTemplate);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "old and longer content", 22), 22);
    close(fd);
    char text[] = "new\ntext";
    saveResultToFile(pathTemplate, text);
    EXPECT_EQ(readFile(pathTemplate), "new\ntext");
    std::remove(pathTemplate);

    char missing[] = "/nonexistent-dir/x.xml";
    EXPECT_EQ(CaptureStdoutOf([&] { saveResultToFile(missing, text); }, 2),
              "\nExit saveResultToFile. File /nonexistent-dir/x.xml not exist! ");
}
