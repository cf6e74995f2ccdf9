#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "utils/XmlPrimitives.h"
#include "utils/XmlSink.h"

using namespace Utils::Xml;

// Records must not change while they are written; if they do anyway, the
// sized pass must neither overrun its buffer nor return a half-written text.
TEST(XmlSink, TextThatChangesBetweenTheTwoPassesIsRewrittenWhole) {
    const ElementMarkup tag("T");
    const std::string longer = "a&b<c>d]]>e and a much longer tail";
    for (const auto& [passes, expected] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"ab", longer, longer},
              "<T>a&b<c>d]]>e and a much longer tail</T><T>a&amp;b&lt;c&gt;d]]&gt;e and a much longer tail</T>"
              "<T><![CDATA[a&b<c>d]]]]><![CDATA[>e and a much longer tail]]></T>"},
             {{"a much longer first text", "x", "x"}, "<T>x</T><T>x</T><T><![CDATA[x]]></T>"}}) {
        std::size_t call = 0;
        const std::string text = render([&, &passes = passes](auto& out) {
            const std::string& value = passes[std::min(call++, passes.size() - 1)];
            element(out, tag, value);
            escapedElement(out, tag, value);
            cdataElement(out, tag, value);
        });
        EXPECT_EQ(call, 3u);
        EXPECT_EQ(text, expected);
    }
}

// The byte-by-byte path, and the 16-byte path where the build has it; both
// must agree wherever a text starts and ends relative to the 16-byte blocks.
std::vector<const TextPath*> TextPaths() {
#if KERV_VECTOR_TEXT
    return {&kScalarTextPath, &kVectorTextPath};
#else
    return {&kScalarTextPath};
#endif
}

TEST(XmlSink, TextLengthAndMarkupScanAgreeOnBothPathsAtEveryAlignment) {
    std::vector<char> buffer(96, 'x');
    for (const TextPath* path : TextPaths()) {
        for (std::size_t start = 0; start < 16; ++start) {
            for (std::size_t length = 0; length < 40; ++length) {
                std::fill(buffer.begin(), buffer.end(), 'x');
                buffer[start + length] = '\0';
                ASSERT_EQ(path->textLength(buffer.data() + start), length) << start << " " << length;
                for (std::size_t markup = 0; markup <= length; ++markup) {
                    std::fill(buffer.begin(), buffer.end(), '<');  // markup outside the range must not be found
                    std::fill(buffer.begin() + start, buffer.begin() + start + length, 'x');
                    if (markup < length) buffer[start + markup] = "&<>'\""[markup % 5];
                    const char* begin = buffer.data() + start;
                    ASSERT_EQ(path->findMarkup(begin, begin + length), begin + markup) << start << " " << length;
                }
            }
        }
    }
}

namespace {

// The five entities, one character at a time: the reference both paths are
// held to.
std::string Entity(char c) {
    switch (c) {
        case '&':
            return "&amp;";
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '\'':
            return "&apos;";
        case '"':
            return "&quot;";
        default:
            return std::string(1, c);
    }
}

}  // namespace

// A record's NUL-terminated text is escaped in one pass that finds its end
// too; on both paths it must agree with the byte-by-byte escaping of the same
// text of known length.
TEST(XmlSink, EscapingAgreesOnBothPathsAtEveryAlignment) {
    const std::string alphabet = "ab&<>'\"";
    std::vector<char> buffer(96);
    uint32_t seed = 1;
    for (std::size_t start = 0; start < 16; ++start) {
        for (std::size_t length = 0; length < 48; ++length) {
            for (std::size_t i = 0; i < length; ++i) {
                seed = seed * 1103515245u + 12345u;
                buffer[start + i] = alphabet[(seed >> 16) % alphabet.size()];
            }
            buffer[start + length] = '\0';
            const char* text = buffer.data() + start;
            std::string expected;
            for (std::size_t i = 0; i < length; ++i) expected += Entity(text[i]);
            for (const TextPath* path : TextPaths()) {
                const TextScan scan = path->scanText(text);
                ASSERT_EQ(scan.length, length);
                ASSERT_EQ(scan.escapedLength, expected.size());
                ASSERT_EQ(path->escapedLength({text, length}), expected.size());
                std::string out(expected.size(), '\0');
                ASSERT_EQ(path->writeEscaped(out.data(), {text, length}), out.data() + out.size());
                ASSERT_EQ(out, expected) << start << " " << length;
                out.assign(expected.size(), '\0');
                ASSERT_EQ(path->writeEscapedText(out.data(), out.data() + out.size(), text), out.data() + out.size());
                ASSERT_EQ(out, expected) << start << " " << length;
                if (!expected.empty()) {
                    EXPECT_EQ(path->writeEscapedText(out.data(), out.data() + out.size() - 1, text), nullptr);
                }
            }
        }
    }
    EXPECT_EQ(Utils::ValidateForXML("a&<>'\"b"), "a&amp;&lt;&gt;&apos;&quot;b");
}

// The one-pass writer grows its string as it goes: from one byte, through
// texts longer than the room it keeps for a record text, it must write what
// the sized two-pass writer writes.
TEST(XmlSink, OnePassWriterGrowsToTheSameText) {
    const ElementMarkup tag("Tag");
    std::vector<std::string> texts;
    for (std::size_t length : {0, 1, 15, 16, 17, 255, 256, 257, 1000, 5000}) {
        std::string text(length, 'x');
        for (std::size_t i = 0; i < length; i += 7) text[i] = "&<>'\""[i % 5];
        texts.push_back(text);
    }
    auto write = [&](auto& out) {
        for (int round = 0; round < 3; ++round) {
            for (const std::string& text : texts) {
                escapedElement(out, tag, text.c_str());
                escapedElement(out, tag, std::string_view(text));
                cdataElement(out, tag, text + "]]>");
                element(out, tag, text);
                decimalElement(out, tag, -static_cast<std::int64_t>(text.size()));
            }
        }
    };
    const std::string sized = render(write);
    EXPECT_GT(sized.size(), 100000u);
    for (std::size_t initialSize : {1, 64, 4096}) EXPECT_EQ(renderInOnePass(initialSize, write), sized) << initialSize;
}
