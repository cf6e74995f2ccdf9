#include <gtest/gtest.h>

#include "StdoutCapture.h"
#include "tests/support/RecordArena.h"
#include "utils/DiagnosticWriter.h"

using namespace Utils;

namespace {

const char* const kLogLine = "Utils:SerializeDiagnosticArray - Attempting to serialize diagArray with size : %u\n";

std::string logLineFor(unsigned count) {
    char line[128];
    std::snprintf(line, sizeof line, kLogLine, count);
    return line;
}

DiagnosticStruct* diagnostic(RecordArena& arena, VQMessage_C* message, VQDiagnosticArray_C* subs = nullptr,
                             VQParameterArray_C* parameters = nullptr, VQLocationArray_C* locations = nullptr) {
    return arena.Make(DiagnosticStruct{message, 0, 0, 0, subs, parameters, locations});
}

}  // namespace

TEST(DiagnosticWriter, WorkedExampleByteForByte) {
    RecordArena arena;
    auto* d =
        diagnostic(arena, arena.Message("7", "", 2, "12", "a<b", "p"), arena.Empty<VQDiagnosticArray_C>(),
                   arena.Texts<VQParameterArray_C>({}), arena.List<VQLocationArray_C>({arena.Location("f.c", 3, 9)}));
    auto* list = arena.List<VQDiagnosticArray_C>({d});
    EXPECT_EQ(SerializeDiagnosticArrayIndividual(list),
              "<VQD><VQM><UMID>7</UMID><HFL></HFL><ML>2</ML><MN>12</MN><MT>a&lt;b</MT><P>p</P></VQM>"
              "<MH>false</MH><SS>0</SS><SD>false</SD><LI><F>f.c</F><L>3</L><C>9</C></LI></VQD>");
}

TEST(DiagnosticWriter, SubDiagnosticsNestAfterSdAndBeforeParametersAndLocations) {
    RecordArena arena;
    auto* grandchild = diagnostic(arena, arena.Message("3", "", 1, "", "", ""));
    auto* child = diagnostic(arena, arena.Message("2", "", 1, "", "", ""),
                             arena.List<VQDiagnosticArray_C>({grandchild}), arena.Texts<VQParameterArray_C>({"cp"}));
    auto* parent =
        diagnostic(arena, arena.Message("1", "h", 3, "n", "x & y", "p", arena.Texts<VQReferenceArray_C>({"r<1", "r2"})),
                   arena.List<VQDiagnosticArray_C>({child}), arena.Texts<VQParameterArray_C>({"p1", "<p2>"}),
                   arena.List<VQLocationArray_C>({arena.Location("a.c", -1, 0), arena.Location("b&.c", 2, -7)}));
    parent->multiHomed = 5;
    parent->suppressionState = -3;
    parent->hasSubDiagnostics = 0;  // the flag is written as stored, the array as found
    const std::string leaf =
        "<VQM><UMID>3</UMID><HFL></HFL><ML>1</ML><MN></MN><MT></MT><P></P></VQM>"
        "<MH>false</MH><SS>0</SS><SD>false</SD>";
    EXPECT_EQ(SerializeDiagnostic(parent),
              "<VQM><UMID>1</UMID><HFL>h</HFL><ML>3</ML><MN>n</MN><MT>x &amp; y</MT><P>p</P>"
              "<R><![CDATA[r<1]]></R><R><![CDATA[r2]]></R></VQM><MH>true</MH><SS>-3</SS><SD>false</SD>"
              "<VQD><VQM><UMID>2</UMID><HFL></HFL><ML>1</ML><MN></MN><MT></MT><P></P></VQM>"
              "<MH>false</MH><SS>0</SS><SD>false</SD><VQD>" +
                  leaf +
                  "</VQD><MP><![CDATA[cp]]></MP></VQD>"
                  "<MP><![CDATA[p1]]></MP><MP><![CDATA[<p2>]]></MP>"
                  "<LI><F>a.c</F><L>-1</L><C>0</C></LI><LI><F>b&.c</F><L>2</L><C>-7</C></LI>");
}

TEST(DiagnosticWriter, ListIsWrappedAndLoggedAtTraceLevel) {
    RecordArena arena;
    std::string text = "unset";
    EXPECT_EQ(CaptureStdoutOf([&] { text = SerializeDiagnosticArray(nullptr); }, 2), "");
    EXPECT_EQ(text, "");

    auto* empty = arena.Empty<VQDiagnosticArray_C>();
    EXPECT_EQ(CaptureStdoutOf([&] { text = SerializeDiagnosticArray(empty); }, 2), logLineFor(0));
    EXPECT_EQ(text, "<VQE></VQE>");

    auto* one = arena.List<VQDiagnosticArray_C>({diagnostic(arena, arena.Message("1", "", 0, "", "", ""))});
    EXPECT_EQ(CaptureStdoutOf([&] { text = SerializeDiagnosticArray(one); }, 2), logLineFor(1));
    EXPECT_EQ(text, "<VQE>" + SerializeDiagnosticArrayIndividual(one) + "</VQE>");
    EXPECT_EQ(CaptureStdoutOf([&] { SerializeDiagnosticArray(one); }, 1), "");
}

TEST(DiagnosticWriter, NullPointersBelowTheTopAreWrittenAsEmpty) {
    RecordArena arena;
    auto* message = arena.Message("1", "", 0, "", "", "", arena.Texts<VQReferenceArray_C>({nullptr}));
    message->messageText = nullptr;
    message->producer = nullptr;
    auto* withNulls =
        diagnostic(arena, message, arena.List<VQDiagnosticArray_C>({static_cast<DiagnosticStruct*>(nullptr)}),
                   arena.Texts<VQParameterArray_C>({nullptr}),
                   arena.List<VQLocationArray_C>({static_cast<LocationStruct*>(nullptr), arena.Location("x", 1, 1)}));
    withNulls->locationInformation->locations[1]->file = nullptr;
    auto* bare = diagnostic(arena, nullptr);
    auto* list = arena.List<VQDiagnosticArray_C>({withNulls, static_cast<DiagnosticStruct*>(nullptr), bare});
    EXPECT_EQ(SerializeDiagnosticArrayIndividual(list),
              "<VQD><VQM><UMID>1</UMID><HFL></HFL><ML>0</ML><MN></MN><MT></MT><P></P><R><![CDATA[]]></R></VQM>"
              "<MH>false</MH><SS>0</SS><SD>false</SD><VQD></VQD><MP><![CDATA[]]></MP>"
              "<LI></LI><LI><F></F><L>1</L><C>1</C></LI></VQD>"
              "<VQD></VQD>"
              "<VQD><VQM></VQM><MH>false</MH><SS>0</SS><SD>false</SD></VQD>");
    EXPECT_EQ(SerializeMessage(nullptr), "");
    EXPECT_EQ(SerializeDiagnostic(nullptr), "");
    EXPECT_EQ(SerializeDiagnosticArrayIndividual(nullptr), "");
}

TEST(DiagnosticWriter, CDataTerminatorInsideAValueIsSplitAcrossSections) {
    RecordArena arena;
    auto* message = arena.Message("1", "", 0, "", "", "", arena.Texts<VQReferenceArray_C>({"a]]>b]]>", "]]"}));
    auto* d = diagnostic(arena, message, nullptr, arena.Texts<VQParameterArray_C>({"]]>"}));
    const std::string text = SerializeDiagnostic(d);
    EXPECT_NE(text.find("<R><![CDATA[a]]]]><![CDATA[>b]]]]><![CDATA[>]]></R><R><![CDATA[]]]]></R>"), std::string::npos)
        << text;
    EXPECT_NE(text.find("<MP><![CDATA[]]]]><![CDATA[>]]></MP>"), std::string::npos) << text;
}
