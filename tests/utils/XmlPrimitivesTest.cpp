#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "utils/XmlPrimitives.h"

using namespace Utils;

TEST(XmlPrimitives, ElementsAreBuiltFromTagsAndValues) {
    EXPECT_EQ(openXMLNode("T", false), "<T>");
    EXPECT_EQ(openXMLNode("T", true), "<T><![CDATA[");
    EXPECT_EQ(closeXMLNode("T", false), "</T>");
    EXPECT_EQ(closeXMLNode("T", true), "]]></T>");
    EXPECT_EQ(createXMLNode("T", "", false), "<T></T>");
    EXPECT_EQ(createXMLNode("T", "", true), "<T><![CDATA[]]></T>");
    EXPECT_EQ(createXMLNode("T", "a<b", false), "<T>a<b</T>");
    EXPECT_EQ(createSafeXMLNode("T", "a<b"), "<T>a&lt;b</T>");
    // The primitive inserts a CDATA value as it is, even one holding "]]>".
    EXPECT_EQ(createXMLNode("T", "x]]>y", true), "<T><![CDATA[x]]>y]]></T>");
}

TEST(XmlPrimitives, EscapingReplacesTheFiveMarkupCharactersOnly) {
    EXPECT_EQ(ValidateForXML("a<b & 'c'"), "a&lt;b &amp; &apos;c&apos;");
    EXPECT_EQ(ValidateForXML("&lt;"), "&amp;lt;");
    EXPECT_EQ(ValidateForXML("\"x\">"), "&quot;x&quot;&gt;");
    const std::string plain = "tab\there\nline \x01 \xc3\xa9\xe2\x82\xac end";
    EXPECT_EQ(ValidateForXML(plain), plain);
    EXPECT_EQ(ValidateForXML(""), "");
    EXPECT_EQ(ValidateForXML(std::string("a\0<", 3)), std::string("a\0&lt;", 6));
}

// The escaping is one pass; it must equal the five replacement passes run in
// order, on any text.
TEST(XmlPrimitives, EscapingEqualsFiveOrderedReplacementPasses) {
    std::mt19937 random(7);
    const std::string alphabet = "&<>'\"a;lt";
    for (int round = 0; round < 500; ++round) {
        std::string text;
        for (int i = random() % 20; i > 0; --i) text += alphabet[random() % alphabet.size()];
        std::string expected = text;
        for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
                 {"&", "&amp;"}, {"<", "&lt;"}, {">", "&gt;"}, {"'", "&apos;"}, {"\"", "&quot;"}}) {
            std::size_t at = expected.find(from);
            while (at != std::string::npos) {
                expected.replace(at, from.size(), to);
                at = expected.find(from, at + to.size());
            }
        }
        ASSERT_EQ(ValidateForXML(text), expected) << text;
    }
}

TEST(XmlPrimitives, ReplacementNeverRescansInsertedText) {
    std::string text = "aaa";
    EXPECT_EQ(replaceSubstring(text, "a", "aa"), 1);
    EXPECT_EQ(text, "aaaaaa");

    text = "abcabc";
    EXPECT_EQ(replaceSubstring(text, "x", "y"), 0);
    EXPECT_EQ(replaceSubstring(text, "", "y"), 0);
    EXPECT_EQ(text, "abcabc");
    EXPECT_EQ(replaceSubstring(text, "bc", ""), 1);
    EXPECT_EQ(text, "aa");

    text = "aaaa";
    EXPECT_EQ(replaceSubstring(text, "aa", "b"), 1);  // no overlap: two matches
    EXPECT_EQ(text, "bb");

    text = "x-y-z";
    replaceAll(text, "", "!");
    EXPECT_EQ(text, "x-y-z");
    replaceAll(text, "-", "--");
    EXPECT_EQ(text, "x--y--z");
    replaceAll(text, "z", "");
    EXPECT_EQ(text, "x--y--");
}

// The replacement as plainly as it can be written (copying the text after
// every occurrence), against the one-pass version on random texts.
TEST(XmlPrimitives, ReplacementAgreesWithTheCopyingAlgorithm) {
    std::mt19937 random(3);
    auto randomText = [&random](std::size_t maxLength) {
        std::string text;
        for (std::size_t i = random() % (maxLength + 1); i > 0; --i) text += "ab"[random() % 2];
        return text;
    };
    for (int round = 0; round < 3000; ++round) {
        const std::string original = randomText(24);
        const std::string pattern = randomText(5);
        const std::string replacement = randomText(4);
        std::string expected = original;
        int32_t expectedResult = 0;
        if (!pattern.empty() && expected.find(pattern) != std::string::npos) {
            expectedResult = 1;
            for (std::size_t at = expected.find(pattern); at != std::string::npos;
                 at = expected.find(pattern, at + replacement.size())) {
                expected = expected.substr(0, at) + replacement + expected.substr(at + pattern.size());
            }
        }
        std::string text = original;
        ASSERT_EQ(replaceSubstring(text, pattern, replacement), expectedResult) << original << " " << pattern;
        ASSERT_EQ(text, expected) << original << " " << pattern << " " << replacement;
        text = original;
        replaceAll(text, pattern, replacement);
        ASSERT_EQ(text, expected) << original << " " << pattern << " " << replacement;
    }
}
