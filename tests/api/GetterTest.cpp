// The composite getters against the loaded stand-in: which record becomes the
// text, which results count as success, and which records are released.
#include <gtest/gtest.h>

#include <string>

#include "api/KERVApi.h"
#include "tests/api/LoadedApi.h"
#include "tests/support/RecordArena.h"
#include "utils/DiagnosticWriter.h"
#include "utils/RuleWriter.h"
#include "utils/TreeWriter.h"

namespace {

class Getters : public LoadedApi {
protected:
    RecordArena arena;

    static std::string Freed(const char* entryPoint, const void* record) {
        return std::string(entryPoint) + "(*pp=" + (record != nullptr ? JournalAddress(record) : "null") + ")\n";
    }
};

char kTreeName[] = "a.c";
char kTreeData[] = "data <&>";

}  // namespace

TEST_F(Getters, TreesAreSerializedOnSuccessAndReleasedWhenReturned) {
    VQTreeStruct file{VQTreeItemType_C{1}, kTreeName, kTreeData, 4, 2, nullptr};
    VQTrees_C trees{&file, nullptr, nullptr};
    char item0[] = "a", item1[] = "b";
    char* items[] = {item0, item1};
    s_fake.setRecord("getTrees", &trees);

    Utils::Logger::SetLogLevel(0);
    testing::internal::CaptureStdout();
    const std::string text = api.GetTrees(true, 2, items);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "call result: 0\n") << "printed whatever the log level";
    EXPECT_EQ(text, Utils::SerializeTrees(&trees));
    EXPECT_EQ(s_fake.journal(), "getTrees(out, 1, 2, [\"a\",\"b\"])\n" + Freed("freeTrees", &trees));

    Utils::Logger::SetLogLevel(2);
    log.Take();
    s_fake.reset();
    s_fake.setRecord("getTrees", &trees);
    s_fake.setResult("getTrees", 4);
    EXPECT_EQ(api.GetTrees(false, 0, nullptr), "");
    EXPECT_EQ(log.Take(),
              "\nCall GetTrees \n" + Result("4") + "\nCall FreeTrees \n" + ApiCall("freeTrees") + Result("0"));
    EXPECT_EQ(s_fake.journal(), "getTrees(out, 0, 0, null)\n" + Freed("freeTrees", &trees));

    s_fake.reset();
    EXPECT_EQ(api.GetTrees(false, 0, nullptr), "");
    EXPECT_STREQ(s_fake.journal(), "getTrees(out, 0, 0, null)\n") << "nothing to release";
}

TEST_F(Getters, MappedFileExtensionsJoinTheCAndTheCppLists) {
    struct Case {
        std::vector<std::string> c, cpp;
        int cResult;
        std::string text;
    };
    for (const Case& c : {Case{{"a", "b"}, {"c"}, 0, "a;b;c"}, Case{{}, {"c", "d"}, 0, "c;d"}, Case{{"a"}, {}, 0, "a"},
                          Case{{"a"}, {"c", "d"}, 9, "c;d"}}) {
        SCOPED_TRACE(c.text);
        auto* cList = arena.Texts<VQStrings_C>(c.c);
        auto* cppList = arena.Texts<VQStrings_C>(c.cpp);
        s_fake.reset();
        s_fake.setRecordOfCall("getMappedFileExtensions", 0, cList);
        s_fake.setRecordOfCall("getMappedFileExtensions", 1, cppList);
        s_fake.setResultOfCall("getMappedFileExtensions", 0, c.cResult);
        EXPECT_EQ(api.GetMappedFileExtensions(), c.text);
        const std::string cRelease = c.cResult == 0 ? Freed("freeStrings", cList) : "";
        EXPECT_EQ(s_fake.journal(), "getMappedFileExtensions(0, out)\n" + cRelease +
                                        "getMappedFileExtensions(1, out)\n" + Freed("freeStrings", cppList));
    }
    log.Take();
    s_fake.reset();
    EXPECT_EQ(api.GetMappedFileExtensions(), "");
    EXPECT_EQ(log.Take(), "\nCall GetMappedFileExtensions \n" + ApiCall("getMappedFileExtensions") +
                              Arg("language", "C") + Result("0") + ApiCall("getMappedFileExtensions") +
                              Arg("language", "CPP") + Result("0"));
}

TEST_F(Getters, ListGettersTakeTheirOwnResultAsSuccess) {
    auto* list = arena.Texts<VQStrings_C>({"p", "q"});
    for (const char* entryPoint : {"getFiles", "getCMAProjectList", "getReportTools"})
        s_fake.setRecord(entryPoint, list);

    // getFiles: 0 is success; the list is never released.
    EXPECT_EQ(api.GetFiles(), "p;q");
    s_fake.setResult("getFiles", 1);
    EXPECT_EQ(api.GetFiles(), "");
    EXPECT_STREQ(s_fake.journal(), "getFiles(out)\ngetFiles(out)\n");

    // getCMAProjectList and getReportTools: non-zero is success.
    s_fake.reset();
    s_fake.setRecord("getCMAProjectList", list);
    s_fake.setRecord("getReportTools", list);
    EXPECT_EQ(api.GetCMAProjectList(), "");
    EXPECT_EQ(api.GetReportTools(), "");
    EXPECT_STREQ(s_fake.journal(), "getCMAProjectList(out)\ngetReportTools(out)\n") << "nothing released on 0";

    s_fake.setResult("getCMAProjectList", 1);
    s_fake.setResult("getReportTools", -2);
    log.Take();
    EXPECT_EQ(api.GetCMAProjectList(), "p;q");
    EXPECT_EQ(api.GetReportTools(), "p;q");
    const std::string release = "\nCall FreeStrings \n" + ApiCall("freeStrings") + Result("0");
    EXPECT_EQ(log.Take(), "\nCall GetCMAProjectList \n" + ApiCall("getCMAProjectList") + Result("1") +
                              "\t< Project List Size: 2\n" + release + "\nCall GetReportTools \n" +
                              ApiCall("getReportTools") + Result("-2") + "\t< Report Tools List Size: 2\n" + release);

    s_fake.setRecord("getCMAProjectList", nullptr);
    EXPECT_EQ(api.GetCMAProjectList(), "");
    EXPECT_EQ(log.Take(), "\nCall GetCMAProjectList \n" + ApiCall("getCMAProjectList") + Result("1") +
                              "\t< Project List is NULL\n");
}

TEST_F(Getters, RuleRecordsAreSerializedAndReleasedWhateverTheResult) {
    auto* map = arena.List<VQMessageRuleMap_C>({arena.Mapping("M1", {"R7"})});
    auto* groups = arena.List<VQRuleGroupArray_C>({arena.Make(RuleGroupStruct{arena.Text("G"), nullptr})});
    s_fake.setRecord("getMessageRuleMap", map);
    s_fake.setRecord("getRuleGroups", groups);
    s_fake.setResult("getMessageRuleMap", -1);
    s_fake.setResult("getRuleGroups", 3);

    EXPECT_EQ(api.GetMessageRuleMap(), Utils::SerializeMessageRuleMap(map));
    EXPECT_EQ(api.GetRuleGroups(), Utils::SerializeRuleGroups(groups));
    EXPECT_NE(api.GetMessageRuleMap().find("R7"), std::string::npos);
    EXPECT_NE(log.Take().find("\tMap size: 1\n"), std::string::npos);
    EXPECT_EQ(s_fake.journal(), "getMessageRuleMap(out)\n" + Freed("freeMessageRuleMap", map) + "getRuleGroups(out)\n" +
                                    Freed("freeRuleGroups", groups) + "getMessageRuleMap(out)\n" +
                                    Freed("freeMessageRuleMap", map));

    s_fake.reset();
    EXPECT_EQ(api.GetMessageRuleMap(), "");
    EXPECT_EQ(api.GetRuleGroups(), "");
    EXPECT_STREQ(s_fake.journal(), "getMessageRuleMap(out)\ngetRuleGroups(out)\n");
}

TEST_F(Getters, DiagnosticsAreReleasedInEveryCase) {
    EXPECT_EQ(api.GetDiagnostics("f.c", nullptr, nullptr, 0), "");
    EXPECT_EQ(log.Take(), "\nCall GetDiagnostics \n" + ApiCall("getDiagnostics") + Arg("filepath", "f.c") +
                              Arg("messages null?", "1") + Arg("rules null?", "1") + Arg("mask", "0") + Result("0") +
                              "\nCall FreeDiagnostics \n" + ApiCall("freeDiagnostics") + Result("0"));
    EXPECT_STREQ(s_fake.journal(), "getDiagnostics(\"f.c\", null, null, 0, out)\nfreeDiagnostics(*pp=null)\n");

    auto* empty = arena.Empty<VQDiagnosticArray_C>();
    auto* messages = arena.Empty<VQMessageArray_C>();
    s_fake.reset();
    s_fake.setRecord("getDiagnostics", empty);
    EXPECT_EQ(api.GetDiagnostics("g.c", messages, nullptr, 6), "");
    EXPECT_EQ(log.Take(), "\nCall GetDiagnostics \n" + ApiCall("getDiagnostics") + Arg("filepath", "g.c") +
                              Arg("messages null?", "0") + Arg("rules null?", "1") + Arg("mask", "6") + Result("0") +
                              "\tDagnostics array size: 0\n\nCall FreeDiagnostics \n" + ApiCall("freeDiagnostics") +
                              Result("0"));
    EXPECT_EQ(s_fake.journal(), "getDiagnostics(\"g.c\", " + JournalAddress(messages) + ", null, 6, out)\n" +
                                    Freed("freeDiagnostics", empty));

    char uid[] = "U1", text[] = "unused <x>";
    VQMessage_C message{uid, nullptr, 2, nullptr, text, nullptr, nullptr};
    DiagnosticStruct diagnostic{&message, 0, 0, 0, nullptr, nullptr, nullptr};
    auto* one = arena.List<VQDiagnosticArray_C>({&diagnostic});
    s_fake.reset();
    s_fake.setRecord("getDiagnostics", one);
    s_fake.setResult("getDiagnostics", 5);
    const std::string xml = api.GetDiagnostics("h.c", nullptr, nullptr, 0);
    EXPECT_EQ(xml, Utils::SerializeDiagnosticArray(one)) << "the result code is not consulted";
    EXPECT_NE(xml.find("U1"), std::string::npos);
    EXPECT_EQ(s_fake.journal(), "getDiagnostics(\"h.c\", null, null, 0, out)\n" + Freed("freeDiagnostics", one));
}

TEST_F(Getters, FileSettingsAndLanguages) {
    VQFile_C file{nullptr, VQ_SOURCE_LANGUAGE_CPP, nullptr, nullptr};
    s_fake.setRecord("getVQFile", &file);
    s_fake.setResult("getVQFile", 2);
    EXPECT_EQ(api.GetVQFile("a.cpp"), "");
    EXPECT_EQ(log.Take(), "\nCall GetVQFile \n" + ApiCall("getVQFile") + Arg("filepath", "a.cpp") + Result("2") +
                              "\nCall FreeVQFile \n" + ApiCall("freeVQFile") + Arg("file", JournalAddress(&file)) +
                              Result("0"));
    s_fake.setResult("getVQFile", 0);
    EXPECT_EQ(api.GetVQFile("a.cpp"), Utils::SerializeVQFile(&file));
    EXPECT_EQ(s_fake.journal(), "getVQFile(\"a.cpp\", out)\n" + Freed("freeVQFile", &file) +
                                    "getVQFile(\"a.cpp\", out)\n" + Freed("freeVQFile", &file));

    VQLanguages_C* languages = arena.Languages({0, 2, 7});
    s_fake.reset();
    s_fake.setRecord("getAvailableLanguages", languages);
    log.Take();
    EXPECT_EQ(api.GetAvailableLanguages(), Utils::SerializeLanguages(languages));
    EXPECT_EQ(log.Take(), "\nCall GetAvailableLanguages \n" + ApiCall("getAvailableLanguages") + Result("void") +
                              "\nCall FreeLanguages \n" + ApiCall("freeLanguages") + Result("void"));
    s_fake.setRecord("getAvailableLanguages", nullptr);
    EXPECT_EQ(api.GetAvailableLanguages(), "");
    EXPECT_EQ(s_fake.journal(), "getAvailableLanguages(out)\n" + Freed("freeLanguages", languages) +
                                    "getAvailableLanguages(out)\nfreeLanguages(*pp=null)\n");
}
