#include <gtest/gtest.h>

#include "StdoutCapture.h"
#include "tests/support/RecordArena.h"
#include "utils/RuleWriter.h"

using namespace Utils;

TEST(RuleWriter, WorkedExampleAndFlagAndEscaping) {
    RecordArena arena;
    EXPECT_EQ(SerializeRule(arena.Rule("R1", 1, "h.html", "G", "a<b", "U1")),
              "<RuleId>R1</RuleId><IsActive>1</IsActive><HFL>h.html</HFL><RuleGroupStr>G</RuleGroupStr>"
              "<RuleText>a&lt;b</RuleText><RuleUID>U1</RuleUID>");
    EXPECT_EQ(SerializeRule(arena.Rule("a&<", 2, "", "", "a&<", "")),
              "<RuleId>a&<</RuleId><IsActive>1</IsActive><HFL></HFL><RuleGroupStr></RuleGroupStr>"
              "<RuleText>a&amp;&lt;</RuleText><RuleUID></RuleUID>");
}

TEST(RuleWriter, ChildRulesFollowCategoriesAndNestInsideTheirParent) {
    RecordArena arena;
    auto* grandchild = arena.Rule("G1", 0, "", "", "", "");
    auto* child = arena.Rule("C1", 1, "", "", "", "", arena.Texts<VQCategoryArray_C>({"cc"}),
                             arena.List<VQRuleArray_C>({grandchild}));
    auto* root = arena.Rule("P", 0, "", "", "", "", arena.Texts<VQCategoryArray_C>({"k1", "k2"}),
                            arena.List<VQRuleArray_C>({child, arena.Rule("C2", 0, "", "", "", "")}));
    const std::string empties = "<HFL></HFL><RuleGroupStr></RuleGroupStr><RuleText></RuleText><RuleUID></RuleUID>";
    EXPECT_EQ(SerializeRule(root),
              "<RuleId>P</RuleId><IsActive>0</IsActive>" + empties +
                  "<RuleCategory>k1</RuleCategory><RuleCategory>k2</RuleCategory>"
                  "<Rule><RuleId>C1</RuleId><IsActive>1</IsActive>" +
                  empties + "<RuleCategory>cc</RuleCategory><Rule><RuleId>G1</RuleId><IsActive>0</IsActive>" + empties +
                  "</Rule></Rule><Rule><RuleId>C2</RuleId><IsActive>0</IsActive>" + empties + "</Rule>");
}

TEST(RuleWriter, GroupsAreWrappedInEntriesAndNullsAreEmpty) {
    RecordArena arena;
    EXPECT_EQ(SerializeRuleGroups(arena.Empty<VQRuleGroupArray_C>()), "<VQRuleGrouping></VQRuleGrouping>");
    auto* rule = arena.Rule("R", 1, "", "", "", "");
    rule->ruleText = nullptr;
    auto* emptyGroup = arena.Make(RuleGroupStruct{arena.Text("E"), arena.Empty<VQRuleArray_C>()});
    auto* group = arena.Make(
        RuleGroupStruct{arena.Text("G"), arena.List<VQRuleArray_C>({rule, static_cast<RuleStruct*>(nullptr)})});
    auto* nullFields = arena.Make(RuleGroupStruct{nullptr, nullptr});
    auto* groups =
        arena.List<VQRuleGroupArray_C>({emptyGroup, group, nullFields, static_cast<RuleGroupStruct*>(nullptr)});
    EXPECT_EQ(SerializeRuleGroups(groups),
              "<VQRuleGrouping><VQRuleGroupEntry><RuleGroupName>E</RuleGroupName></VQRuleGroupEntry>"
              "<VQRuleGroupEntry><RuleGroupName>G</RuleGroupName><Rule><RuleId>R</RuleId><IsActive>1</IsActive>"
              "<HFL></HFL><RuleGroupStr></RuleGroupStr><RuleText></RuleText><RuleUID></RuleUID></Rule>"
              "<Rule></Rule></VQRuleGroupEntry>"
              "<VQRuleGroupEntry><RuleGroupName></RuleGroupName></VQRuleGroupEntry>"
              "<VQRuleGroupEntry></VQRuleGroupEntry></VQRuleGrouping>");
    EXPECT_EQ(SerializeRuleGroupIndividualy(emptyGroup), "<RuleGroupName>E</RuleGroupName>");
    EXPECT_EQ(SerializeRuleGroups(nullptr), "");
    EXPECT_EQ(SerializeRule(nullptr), "");
}

TEST(RuleWriter, MessageRuleMap) {
    RecordArena arena;
    EXPECT_EQ(SerializeMessageRuleMap(nullptr), "");
    EXPECT_EQ(SerializeMessageRuleMapIndividual(nullptr), "");
    EXPECT_EQ(SerializeMessageMapping(nullptr), "");
    EXPECT_EQ(SerializeMessageRuleMap(arena.Empty<VQMessageRuleMap_C>()),
              "<VQMessageRuleMapping></VQMessageRuleMapping>");
    auto* map = arena.List<VQMessageRuleMap_C>(
        {arena.Mapping("M&1", {"R1", "R<2"}), arena.Mapping("M2", {}), static_cast<VQMessageMapping_C*>(nullptr)});
    EXPECT_EQ(SerializeMessageRuleMap(map),
              "<VQMessageRuleMapping><VQMessageRuleMapEntry><UMID>M&1</UMID><UniqueRuleId>R1</UniqueRuleId>"
              "<UniqueRuleId>R<2</UniqueRuleId></VQMessageRuleMapEntry>"
              "<VQMessageRuleMapEntry><UMID>M2</UMID></VQMessageRuleMapEntry>"
              "<VQMessageRuleMapEntry></VQMessageRuleMapEntry></VQMessageRuleMapping>");
}

TEST(RuleDump, GroupsPrintEveryLineWithTheRuleDumpContinuingTheRuleLine) {
    RecordArena arena;
    auto* mapped = arena.Message("U", "h", 2, "7", "txt", "p", arena.Texts<VQReferenceArray_C>({"r0"}));
    auto* child = arena.Rule("C", 0, "ch", "cg", "ct", "cu");
    child->ruleText = nullptr;
    auto* rule = arena.Rule("R", 3, "h", "g", "t", "u", arena.Texts<VQCategoryArray_C>({"k"}),
                            arena.List<VQRuleArray_C>({child}),
                            arena.List<VQMessageArray_C>({mapped, static_cast<VQMessage_C*>(nullptr)}));
    auto* group = arena.Make(RuleGroupStruct{arena.Text("G"), arena.List<VQRuleArray_C>({rule})});
    auto* groups = arena.List<VQRuleGroupArray_C>({group});
    EXPECT_EQ(CaptureStdoutOf([&] { flushRuleGroups(groups); }),
              "Flushing rule groups, size 1\n"
              "Flushing rule Groups 0,\n"
              "Flushing rule group G with 1 \n"
              "Fushing VQ Rule 0Flushing rule id R \n"
              "isActive 1\nHelpFileLocation h\nRuleGroup g\nRuleText t \nRuleId u \n"
              "Rule Categories 1 \ncategory 0 : k \n"
              "Rule Child count 1\nflushing child 0\n"
              "Flushing rule id C \nisActive 0\nHelpFileLocation ch\nRuleGroup cg\nRuleId cu \n"
              "Rule Categories 0 \nRule Child count 0\nMapped messages number 0\n"
              "Mapped messages number 2\n"
              "Mapped Messages 0 :\n Messag Text txt \nMessage level 2 \nMessage helpfile lcoation h \n"
              "message producer p\nmessage unique ID U\nmessage number 7\nmessage references 1\nRef 0 r0\n"
              "Mapped Messages 1 :\n Messag Text  \nMessage level 0 \nMessage helpfile lcoation  \n"
              "message producer \nmessage unique ID \nmessage number \nmessage references 0\n");
    // The dumps print whatever the log level is.
    EXPECT_EQ(CaptureStdoutOf([&] { flushVQRule(child); }, 0).substr(0, 20), "Flushing rule id C \n");
}

TEST(RuleDump, MessageRuleMap) {
    RecordArena arena;
    auto* map =
        arena.List<VQMessageRuleMap_C>({arena.Mapping("M1", {"A", "B"}), static_cast<VQMessageMapping_C*>(nullptr)});
    EXPECT_EQ(CaptureStdoutOf([&] { flushMessageRuleMap(map); }),
              "Flushing rule maps, size 2 \n"
              "rule map 0 : \nmaped unique MsgId M1 \nmapped rules 2 :\nrules[0] : A \nrules[1] : B \n"
              "rule map 1 : \nmaped unique MsgId  \nmapped rules 0 :\n");
    EXPECT_EQ(CaptureStdoutOf([&] {
                  flushMessageRuleMap(nullptr);
                  flushRuleGroups(nullptr);
                  flushRuleGroup(nullptr);
                  flushVQRule(nullptr);
              }),
              "");
}
