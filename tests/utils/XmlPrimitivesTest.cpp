#include <gtest/gtest.h>

#include <string>

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
