// The simple wrappers against the loaded stand-in: what each one logs, what it
// passes to its entry point and what it returns.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "api/KERVApi.h"
#include "tests/api/BoundCall.h"
#include "tests/api/LoadedApi.h"

namespace {

class Wrappers : public LoadedApi {
protected:
    // Every numeric result 7, every text "text of <entry point>".
    static void ScriptEveryEntryPoint() {
        for (const char* name : kerv::kEntryPointNames) {
            s_fake.setResult(name, 7);
            s_fake.setText(name, ("text of " + std::string(name)).c_str());
        }
    }
};

struct WrapperCase {
    const char* method;
    BoundCall call;
    std::string result;
    std::string log;  // after the "\nCall <method> \n" line
    std::string journal;
};

// A wrapper without parameters whose entry point returns a text.
WrapperCase TextCase(const char* method, const char* (KERVApi::*call)(), const std::string& entryPoint) {
    const std::string text = "text of " + entryPoint;
    return {method, Bind(call), "\"" + text + "\"", ApiCall(entryPoint) + Result(text), entryPoint + "()"};
}

}  // namespace

TEST_F(Wrappers, EachWrapperLogsForwardsAndReturnsItsEntryPointsResult) {
    static char define0[] = "A", define1[] = "B=1", include0[] = "/inc";
    static char* defines[] = {define0, define1};
    static char* includes[] = {include0};
    const std::vector<WrapperCase> cases = {
        {"InitDeployment", Bind(&KERVApi::InitDeployment), "7", ApiCall("initDeploymentInfo") + Result("7"),
         "initDeploymentInfo()"},
        {"SetBindKey", Bind(&KERVApi::SetBindKey, "key\x01\"q\""), "void",
         ApiCall("setBindKey") + Arg("bindKey", "key\x01\"q\"") + Result("void"), "setBindKey(\"key\\x01\\\"q\\\"\")"},
        {"InitApi", Bind(&KERVApi::InitApi, "key"), "7", ApiCall("initApi") + Arg("bindKey", "key") + Result("7"),
         "initApi(\"key\")"},
        {"ShutdownApi", Bind(&KERVApi::ShutdownApi), "void", ApiCall("shutdownApi") + Result("void"), "shutdownApi()"},
        {"ShutdownApp", Bind(&KERVApi::ShutdownApp), "void", ApiCall("shutdownApp") + Result("void"), "shutdownApp()"},
        {"ClearCachedObjects", Bind(&KERVApi::ClearCachedObjects), "void",
         ApiCall("clearCachedObjects") + Result("void"), "clearCachedObjects()"},
        TextCase("GetVersionNumber", &KERVApi::GetVersionNumber, "getVersionNumber"),
        {"SetLogLevel", Bind(&KERVApi::SetLogLevel, VQLogLevel_C{-3}), "void",
         ApiCall("setLogLevel") + Arg("logLevel", "-3") + Result("void"), "setLogLevel(-3)"},
        {"GetLogLevel", Bind(&KERVApi::GetLogLevel), "7", ApiCall("getLogLevel") + Result("7"), "getLogLevel()"},
        {"SetCurrentLanguage", Bind(&KERVApi::SetCurrentLanguage, VQLanguage_C{2}), "void",
         ApiCall("SetCurrentLanguage") + Arg("language", "2") + Result("void"), "setCurrentLanguage(2)"},
        {"GetCurrentLanguage", Bind(&KERVApi::GetCurrentLanguage), "7", ApiCall("getCurrentLanguage") + Result("7"),
         "getCurrentLanguage()"},
        {"SetWorkspacePath", Bind(&KERVApi::SetWorkspacePath, "/ws"), "void",
         ApiCall("setWorkspace") + Arg("path", "/ws") + Result("void"), "setWorkspace(\"/ws\")"},
        TextCase("GetWorkSpacePath", &KERVApi::GetWorkSpacePath, "getWorkspace"),
        TextCase("GetInstallPath", &KERVApi::GetInstallPath, "getInstallPath"),
        TextCase("GetUserPath", &KERVApi::GetUserPath, "getUserPath"),
        TextCase("GetInstallConfigPath", &KERVApi::GetInstallConfigPath, "getInstallConfigPath"),
        TextCase("GetInstallBinaryPath", &KERVApi::GetInstallBinaryPath, "getInstallBinaryPath"),
        TextCase("GetUserAppConfigPath", &KERVApi::GetUserAppConfigPath, "getUserAppConfigPath"),
        TextCase("GetUserConfigPath", &KERVApi::GetUserConfigPath, "getUserConfigPath"),
        {"GetVQFHelpFile", Bind(&KERVApi::GetVQFHelpFile, true), "\"text of getVQFHelp\"",
         ApiCall("getVQFHelp") + Arg("html", "1") + Result("text of getVQFHelp"), "getVQFHelp(1)"},
        {"GetVQFContextHelp", Bind(&KERVApi::GetVQFContextHelp, VQHelpContext_C{12}), "\"text of getVQFContextHelp\"",
         ApiCall("getVQFContextHelp") + Arg("context", "12") + Result("text of getVQFContextHelp"),
         "getVQFContextHelp(12)"},
        TextCase("GetComponents", &KERVApi::GetComponents, "getComponents"),
        {"GetComponentMessages", Bind(&KERVApi::GetComponentMessages, "core", "2.1"),
         "\"text of getComponentMessages\"",
         ApiCall("getComponentMessages") + Arg("name", "core") + Arg("version", "2.1") +
             Result("text of getComponentMessages"),
         "getComponentMessages(\"core\", \"2.1\")"},
        {"CreateProject", Bind(&KERVApi::CreateProject, "/loc", "proj", "a.acf", "r.rcf", "c.cct"), "7",
         ApiCall("createProject") + Arg("location", "/loc") + Arg("name", "proj") + Arg("acfFile", "a.acf") +
             Arg("rcfFile", "r.rcf") + Arg("cctFile", "c.cct") + Result("7"),
         "createProject(\"/loc\", \"proj\", \"a.acf\", \"r.rcf\", \"c.cct\")"},
        {"AddCCT", Bind(&KERVApi::AddCCT, "x.cct"), "7", ApiCall("addCCT") + Arg("cctFilePath", "x.cct") + Result("7"),
         "addCCT(\"x.cct\")"},
        {"SetActiveCCT", Bind(&KERVApi::SetActiveCCT, VQ_SOURCE_LANGUAGE_CPP, "y.cct"), "7",
         ApiCall("setActiveCCT") + Arg("lang", "1") + Arg("cctFileName", "y.cct") + Result("7"),
         "setActiveCCT(1, \"y.cct\")"},
        {"IsVQFProject", Bind(&KERVApi::IsVQFProject, "/loc", "proj"), "0",
         ApiCall("isVQFProject") + Arg("location", "/loc") + Arg("name", "proj") + Result("7"),
         "isVQFProject(\"/loc\", \"proj\")"},
        {"InitProjectMngr", Bind(&KERVApi::InitProjectMngr, "k", "/loc", "proj"), "7",
         ApiCall("initProjectMngr") + Arg("bindKey", "k") + Arg("location", "/loc") + Arg("name", "proj") + Result("7"),
         "initProjectMngr(\"k\", \"/loc\", \"proj\")"},
        {"RemoveFile", Bind(&KERVApi::RemoveFile, "a.c"), "7",
         ApiCall("removeFile") + Arg("filePath", "a.c") + Result("7"), "removeFile(\"a.c\")"},
        {"AddFile", Bind(&KERVApi::AddFile, VQ_SOURCE_LANGUAGE_CPP, "b.cpp", 2u, defines, 1u, includes), "7",
         ApiCall("addFile") + Arg("targetLanguage", "1") + Arg("file", "b.cpp") + Arg("definesSize", "2") +
             Arg("includesSize", "1") + Result("7"),
         "addFile(1, \"b.cpp\", 2, [\"A\",\"B=1\"], 1, [\"/inc\"])"},
        {"GetIncludeFiles", Bind(&KERVApi::GetIncludeFiles), "7", ApiCall("getIncludedFiles") + Result("7"),
         "getIncludedFiles(out)"},
        {"InitResults", Bind(&KERVApi::InitResults, "k", "/loc", "proj"), "7",
         ApiCall("initResults") + Arg("bindKey", "k") + Arg("location", "/loc") + Arg("name", "proj") + Result("7"),
         "initResults(\"k\", \"/loc\", \"proj\")"},
        {"HasResults", Bind(&KERVApi::HasResults, "a.c"), "7",
         ApiCall("hasResults") + Arg("sourceFile", "a.c") + Result("7"), "hasResults(\"a.c\")"},
        {"HasUpToDateResults", Bind(&KERVApi::HasUpToDateResults, "a.c"), "7",
         ApiCall("hasUptoDateResults") + Arg("sourceFile", "a.c") + Result("7"), "hasUptoDateResults(\"a.c\")"},
        {"FreeDiagnostics", Bind(&KERVApi::FreeDiagnostics, nullptr), "7", ApiCall("freeDiagnostics") + Result("7"),
         "freeDiagnostics(pp=null)"},
        {"FreeRuleGroups", Bind(&KERVApi::FreeRuleGroups, nullptr), "7", ApiCall("freeRuleGroups") + Result("7"),
         "freeRuleGroups(pp=null)"},
        {"FreeMessageRuleMap", Bind(&KERVApi::FreeMessageRuleMap, nullptr), "7",
         ApiCall("freeMessageRuleMap") + Result("7"), "freeMessageRuleMap(pp=null)"},
    };

    for (const WrapperCase& c : cases) {
        SCOPED_TRACE(c.method);
        s_fake.reset();
        ScriptEveryEntryPoint();
        log.Take();
        EXPECT_EQ(c.call(api), c.result);
        EXPECT_EQ(log.Take(), "\nCall " + std::string(c.method) + " \n" + c.log);
        EXPECT_EQ(s_fake.journal(), c.journal + "\n");
    }
}

TEST_F(Wrappers, OneByteResultsAreWidenedOrComparedWithOne) {
    for (int byte : {0, 1, 2, 255}) {
        SCOPED_TRACE(byte);
        s_fake.setResult("isVQFProject", byte);
        s_fake.setResult("hasResults", byte);
        s_fake.setResult("hasUptoDateResults", byte);
        EXPECT_EQ(api.IsVQFProject("/loc", "proj"), byte == 1 ? 1 : 0);
        EXPECT_NE(log.Take().find(Result(std::to_string(byte))), std::string::npos) << "the byte itself is logged";
        EXPECT_EQ(api.HasResults("a.c"), byte);
        EXPECT_EQ(api.HasUpToDateResults("a.c"), byte);
    }
    s_fake.setResult("hasResults", 0x1102);
    EXPECT_EQ(api.HasResults("a.c"), 2) << "only the returned byte counts";
}

TEST_F(Wrappers, NegativeStatusCodesAndNullTextsPassThrough) {
    s_fake.setResult("removeFile", -1);
    s_fake.setResult("initApi", -42);
    s_fake.setText("getInstallPath", nullptr);
    EXPECT_EQ(api.RemoveFile(nullptr), -1);
    EXPECT_EQ(api.InitApi(""), -42);
    EXPECT_EQ(api.GetInstallPath(), nullptr);
    EXPECT_EQ(log.Take(), "\nCall RemoveFile \n" + ApiCall("removeFile") + Arg("filePath", "(null)") + Result("-1") +
                              "\nCall InitApi \n" + ApiCall("initApi") + Arg("bindKey", "") + Result("-42") +
                              "\nCall GetInstallPath \n" + ApiCall("getInstallPath") + Result("(null)"));
    EXPECT_STREQ(s_fake.journal(), "removeFile(null)\ninitApi(\"\")\ngetInstallPath()\n");
}

TEST_F(Wrappers, AggregatePassesTheStoredCallbackNullBeforeOneIsSet) {
    static std::vector<unsigned int> received;
    const unsigned int progress[] = {0, 50, 100};
    s_fake.setProgress(progress, 3);

    api.Aggregate();
    EXPECT_STREQ(s_fake.journal(), "aggregate(null)\n");
    EXPECT_EQ(log.Take(), "\nCall Aggregate \n" + ApiCall("aggregate") + Result("void"));

    api.SetAggregateCallback([](unsigned int value) { received.push_back(value); });
    api.Aggregate();
    EXPECT_STREQ(s_fake.journal(), "aggregate(null)\naggregate(fn)\n");
    EXPECT_EQ(received, std::vector<unsigned int>({0, 50, 100}));
    api.SetAggregateCallback(nullptr);
}

TEST_F(Wrappers, FreeWrappersHandTheCallersRecordAddressToTheLibrary) {
    VQFile_C fileRecord{};
    VQStrings_C stringsRecord{};
    VQTrees_C treesRecord{};
    VQLanguages_C languagesRecord{};
    VQFile_C* file = &fileRecord;
    VQStrings_C* strings = &stringsRecord;
    VQTrees_C* trees = &treesRecord;
    VQLanguages_C* languages = &languagesRecord;
    VQFilePathArray_C* paths = nullptr;
    s_fake.setResult("freeTrees", 3);

    EXPECT_EQ(api.FreeVQFile(&file), 0);
    EXPECT_EQ(api.FreeStrings(&strings), 0);
    EXPECT_EQ(api.FreeTrees(&trees), 3);
    api.FreeLanguages(&languages);
    EXPECT_EQ(api.FreeFilePaths(&paths), 0);

    // The stand-in clears the pointer it was given: the caller's own.
    EXPECT_EQ(file, nullptr);
    EXPECT_EQ(strings, nullptr);
    EXPECT_EQ(trees, nullptr);
    EXPECT_EQ(languages, nullptr);
    EXPECT_EQ(s_fake.journal(),
              "freeVQFile(*pp=" + JournalAddress(&fileRecord) + ")\nfreeStrings(*pp=" + JournalAddress(&stringsRecord) +
                  ")\nfreeTrees(*pp=" + JournalAddress(&treesRecord) +
                  ")\nfreeLanguages(*pp=" + JournalAddress(&languagesRecord) + ")\nfreeFilePaths(*pp=null)\n");
    const std::string freeFileLog =
        "\nCall FreeVQFile \n" + ApiCall("freeVQFile") + Arg("file", JournalAddress(&fileRecord)) + Result("0");
    EXPECT_EQ(log.Take().substr(0, freeFileLog.size()), freeFileLog);
}

TEST_F(Wrappers, StandInCountsCallsAndRejectsNamesOfTheWrongKind) {
    s_fake.setResultOfCall("initApi", 1, 5);
    EXPECT_EQ(api.InitApi("a"), 0);
    EXPECT_EQ(api.InitApi("b"), 5);
    EXPECT_EQ(api.InitApi("c"), 0);
    EXPECT_EQ(s_fake.callCount("initApi"), 3);
    EXPECT_EQ(s_fake.callCount("hasResults"), 0);

    EXPECT_EQ(s_fake.callCount("noSuchEntryPoint"), -1);
    EXPECT_EQ(s_fake.setResult("noSuchEntryPoint", 1), -1);
    EXPECT_EQ(s_fake.setResult("getInstallPath", 1), -1) << "returns a text, not a number";
    EXPECT_EQ(s_fake.setText("initApi", "x"), -1) << "returns a number, not a text";
    EXPECT_EQ(s_fake.setRecord(nullptr, nullptr), -1);
    EXPECT_EQ(s_fake.setResultOfCall("initApi", -1, 1), -1);

    s_fake.reset();
    EXPECT_EQ(s_fake.callCount("initApi"), 0);
    EXPECT_STREQ(s_fake.journal(), "");
}
