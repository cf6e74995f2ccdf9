#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/RecordArena.h"
#include "utils/DiagnosticWriter.h"
#include "utils/MessageReader.h"

using namespace Utils;

namespace {

struct Fields {
    std::string id, help, number, text, producer;
    int32_t level;
    bool operator==(const Fields& o) const {
        return id == o.id && help == o.help && number == o.number && text == o.text && producer == o.producer &&
               level == o.level;
    }
};

// Reads with the library, checks the record shape, releases everything.
std::vector<Fields> read(const char* text) {
    VQMessageArray_C* array = DeserializeMessageArray(text);
    std::vector<Fields> messages;
    if (!array) return messages;
    EXPECT_GT(array->count, 0u);
    for (uint32_t i = 0; i < array->count; ++i) {
        const VQMessage_C* m = array->messages[i];
        EXPECT_EQ(m->references, nullptr);
        messages.push_back(
            {m->uniqueMessageID, m->helpFileLocation, m->messageNumber, m->messageText, m->producer, m->messageLevel});
    }
    FreeMessageArray(array);
    for (uint32_t i = 0; i < array->count; ++i) std::free(array->messages[i]);
    std::free(array);
    return messages;
}

}  // namespace

TEST(MessageReader, ReadsTheFieldsOfEachMessage) {
    EXPECT_EQ(read("<VQE><VQM><UMID>M1</UMID><ML>VQ_ERROR</ML><MT>a &amp; b</MT></VQM></VQE>"),
              (std::vector<Fields>{{"M1", "", "", "a &amp; b", "", 2}}));
    EXPECT_EQ(
        read("<VQE><VQM><UMID>A</UMID><ML>VQ_DEBUG</ML><HFL>h</HFL></VQM>\n"
             "<VQM><P><![CDATA[x]]></P><ML>VQ_USERMESSAGE</ML><MN>9</MN><UMID>B</UMID><UMID>C</UMID></VQM></VQE>"),
        (std::vector<Fields>{{"A", "h", "", "", "", 1}, {"B", "", "9", "", "<![CDATA[x]]>", 3}}));
    for (const char* level : {"2", "vq_error", " VQ_ERROR", ""}) {
        EXPECT_EQ(read(("<VQM><ML>" + std::string(level) + "</ML></VQM>").c_str())[0].level, 0) << level;
    }
}

TEST(MessageReader, OddListsAreReadAsTheCuttingAlgorithmReadsThem) {
    EXPECT_TRUE(read(nullptr).empty());
    EXPECT_TRUE(read("").empty());
    EXPECT_TRUE(read("<VQE><VQD></VQD></VQE>").empty());
    // Unterminated last message: its body runs to the end of the list.
    EXPECT_EQ(read("<VQE><VQM><P>1</P></VQM><VQM><P>2</P><MT>t</MT></VQE>"),
              (std::vector<Fields>{{"", "", "", "", "1", 0}, {"", "", "", "t", "2", 0}}));
    // Nested: the inner close ends the outer body; the rest has no "<VQM>".
    EXPECT_EQ(read("<VQM><P>o</P><VQM><P>i</P></VQM><MT>late</MT></VQM>"),
              (std::vector<Fields>{{"", "", "", "", "o", 0}}));
    // A "</VQE>" before the first message does not cut the list.
    EXPECT_EQ(read("</VQE><VQM><UMID>x</UMID></VQM>"), (std::vector<Fields>{{"x", "", "", "", "", 0}}));
    // A closing tag before its opening one: the value runs to the body's end.
    EXPECT_EQ(read("<VQM></P><P>v</VQM>"), (std::vector<Fields>{{"", "", "", "", "v", 0}}));
}

TEST(MessageReader, ReadsTheMessagesOfAWrittenDiagnosticList) {
    RecordArena arena;
    auto* sub =
        arena.Make(DiagnosticStruct{arena.Message("S", "", 1, "2", "s", "p"), 0, 0, 0, nullptr, nullptr, nullptr});
    auto* parent = arena.Make(DiagnosticStruct{arena.Message("P", "h", 2, "1", "a<b", "q"), 1, 0, 0,
                                               arena.List<VQDiagnosticArray_C>({sub}), nullptr, nullptr});
    const std::string xml = SerializeDiagnosticArray(arena.List<VQDiagnosticArray_C>({parent}));
    EXPECT_EQ(read(xml.c_str()), (std::vector<Fields>{{"P", "h", "1", "a&lt;b", "q", 0}, {"S", "", "2", "s", "p", 0}}));
}

TEST(MessageReader, Helpers) {
    EXPECT_EQ(getTagValue("A", "x<A>1</A><A>2</A>"), "1");
    EXPECT_EQ(getTagValue("A", "</A><A>tail"), "tail");
    EXPECT_EQ(getTagValue("A", "<A>no close"), "");
    EXPECT_EQ(getTagOccurrences("<A><A></A><A>", "A"), 3);
    EXPECT_EQ(getTagOccurrences("", "A"), 0);
    char* copy = getCharFromConstChar("abc");
    EXPECT_STREQ(copy, "abc");
    std::free(copy);

    VQMessage_C** list = createMessageArray("<VQM><P>a</P></VQM><VQM><P>b</P></VQM><VQM></VQM>", 2);
    ASSERT_NE(list, nullptr);
    EXPECT_STREQ(list[1]->producer, "b");
    EXPECT_EQ(list[2], nullptr);
    for (int i = 0; i < 2; ++i) {
        freeMessage(list[i]);
        std::free(list[i]);
    }
    std::free(list);
    EXPECT_EQ(createMessageArray("<VQM></VQM>", 0), nullptr);
    EXPECT_EQ(createMessageArray("no messages", 3), nullptr);
}
