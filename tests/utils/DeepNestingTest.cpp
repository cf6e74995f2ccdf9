// Records nested 100,000 levels deep are written on a thread with a 1 MiB
// stack, the default stack of a Java thread.
#include <gtest/gtest.h>
#include <pthread.h>

#include <functional>
#include <string>

#include "StdoutCapture.h"
#include "tests/support/RecordArena.h"
#include "utils/DiagnosticWriter.h"
#include "utils/RuleWriter.h"
#include "utils/TreeWriter.h"

using namespace Utils;

namespace {

constexpr int kDepth = 100000;

void runOnSmallStack(std::function<void()> work) {
    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, 1 << 20), 0);
    pthread_t thread;
    auto entry = [](void* argument) -> void* {
        (*static_cast<std::function<void()>*>(argument))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, entry, &work), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

// head, then (open + head) for every deeper level, then tail, then
// (close + tail) for every level back up.
std::string nested(const std::string& head, const std::string& tail, const std::string& open,
                   const std::string& close) {
    std::string text = head;
    for (int i = 1; i < kDepth; ++i) text += open + head;
    text += tail;
    for (int i = 1; i < kDepth; ++i) text += close + tail;
    return text;
}

}  // namespace

TEST(DeepNesting, DiagnosticsNestedToAnyDepth) {
    RecordArena arena;
    VQMessage_C* message = arena.Message("M", "", 2, "1", "t", "p");
    VQParameterArray_C* parameters = arena.Texts<VQParameterArray_C>({"x"});
    DiagnosticStruct* root = nullptr;
    for (int i = 0; i < kDepth; ++i) {
        VQDiagnosticArray_C* subs = root ? arena.List<VQDiagnosticArray_C>({root}) : nullptr;
        root = arena.Make(DiagnosticStruct{message, 1, 0, 0, subs, parameters, nullptr});
    }
    std::string text;
    runOnSmallStack([&] { text = SerializeDiagnostic(root); });
    EXPECT_EQ(text, nested("<VQM><UMID>M</UMID><HFL></HFL><ML>2</ML><MN>1</MN><MT>t</MT><P>p</P></VQM>"
                           "<MH>false</MH><SS>0</SS><SD>true</SD>",
                           "<MP><![CDATA[x]]></MP>", "<VQD>", "</VQD>"));
}

TEST(DeepNesting, ChildRulesNestedToAnyDepthAndTheirDump) {
    RecordArena arena;
    RuleStruct* root = nullptr;
    for (int i = 0; i < kDepth; ++i) {
        root = arena.Rule("R", 1, "", "", "", "", arena.Texts<VQCategoryArray_C>({"c"}),
                          root ? arena.List<VQRuleArray_C>({root}) : nullptr);
    }
    std::string text;
    std::string dump;
    runOnSmallStack([&] {
        text = SerializeRule(root);
        dump = CaptureStdoutOf([&] { flushVQRule(root); });
    });
    EXPECT_EQ(text, nested("<RuleId>R</RuleId><IsActive>1</IsActive><HFL></HFL><RuleGroupStr></RuleGroupStr>"
                           "<RuleText></RuleText><RuleUID></RuleUID><RuleCategory>c</RuleCategory>",
                           "", "<Rule>", "</Rule>"));
    const std::string fields =
        "Flushing rule id R \nisActive 1\nHelpFileLocation \nRuleGroup \nRuleText  \nRuleId  \n"
        "Rule Categories 1 \ncategory 0 : c \n";
    std::string expectedDump;
    for (int i = 1; i < kDepth; ++i) expectedDump += fields + "Rule Child count 1\nflushing child 0\n";
    expectedDump += fields + "Rule Child count 0\n";
    for (int i = 0; i < kDepth; ++i) expectedDump += "Mapped messages number 0\n";
    EXPECT_EQ(dump, expectedDump);
}

TEST(DeepNesting, TreeItemsNestedToAnyDepth) {
    RecordArena arena;
    VQTreeStruct* root = nullptr;
    for (int i = 0; i < kDepth; ++i)
        root = arena.Tree(1, "n", "d", 2, 3, root ? arena.List<VQTreeArray_C>({root}) : nullptr);
    VQTrees_C* trees = arena.Make(VQTrees_C{root, nullptr, nullptr});
    std::string text;
    runOnSmallStack([&] { text = SerializeTrees(trees); });
    EXPECT_EQ(text, "<Tr><FT>" + nested("<Ty>1</Ty><N>n</N><D>d</D><To>2</To><A>3</A>", "", "<SI>", "</SI>") +
                        "</FT><MT></MT><RT></RT></Tr>");
}
