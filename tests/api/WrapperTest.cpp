// The simple wrappers against the loaded stand-in: what each one logs, what it
// passes to its entry point and what it returns.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "api/KERVApi.h"
#include "tests/api/LoadedApi.h"

namespace {

std::string Text(const char* text) {
    return text != nullptr ? text : "<nullptr>";
}

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
    std::function<std::string(KERVApi&)> call;
    std::string result;
    std::string log;  // after the "\nCall <method> \n" line
    std::string journal;
};

template <typename Call>
std::function<std::string(KERVApi&)> Void(Call call) {
    return [call](KERVApi& api) {
        call(api);
        return std::string("void");
    };
}

}  // namespace

TEST_F(Wrappers, EachWrapperLogsForwardsAndReturnsItsEntryPointsResult) {
    char define0[] = "A", define1[] = "B=1", include0[] = "/inc";
    char* defines[] = {define0, define1};
    char* includes[] = {include0};
    const std::vector<WrapperCase> cases = {
        {"InitDeployment", [](KERVApi& a) { return std::to_string(a.InitDeployment()); }, "7",
         ApiCall("initDeploymentInfo") + Result("7"), "initDeploymentInfo()"},
        {"SetBindKey", Void([](KERVApi& a) { a.SetBindKey("key\x01\"q\""); }), "void",
         ApiCall("setBindKey") + Arg("bindKey", "key\x01\"q\"") + Result("void"), "setBindKey(\"key\\x01\\\"q\\\"\")"},
        {"InitApi", [](KERVApi& a) { return std::to_string(a.InitApi("key")); }, "7",
         ApiCall("initApi") + Arg("bindKey", "key") + Result("7"), "initApi(\"key\")"},
        {"ShutdownApi", Void([](KERVApi& a) { a.ShutdownApi(); }), "void", ApiCall("shutdownApi") + Result("void"),
         "shutdownApi()"},
        {"ShutdownApp", Void([](KERVApi& a) { a.ShutdownApp(); }), "void", ApiCall("shutdownApp") + Result("void"),
         "shutdownApp()"},
        {"ClearCachedObjects", Void([](KERVApi& a) { a.ClearCachedObjects(); }), "void",
         ApiCall("clearCachedObjects") + Result("void"), "clearCachedObjects()"},
        {"GetVersionNumber", [](KERVApi& a) { return Text(a.GetVersionNumber()); }, "text of getVersionNumber",
         ApiCall("getVersionNumber") + Result("text of getVersionNumber"), "getVersionNumber()"},
        {"SetLogLevel", Void([](KERVApi& a) { a.SetLogLevel(VQLogLevel_C{-3}); }), "void",
         ApiCall("setLogLevel") + Arg("logLevel", "-3") + Result("void"), "setLogLevel(-3)"},
        {"GetLogLevel", [](KERVApi& a) { return std::to_string(a.GetLogLevel()); }, "7",
         ApiCall("getLogLevel") + Result("7"), "getLogLevel()"},
        {"SetCurrentLanguage", Void([](KERVApi& a) { a.SetCurrentLanguage(VQLanguage_C{2}); }), "void",
         ApiCall("SetCurrentLanguage") + Arg("language", "2") + Result("void"), "setCurrentLanguage(2)"},
        {"GetCurrentLanguage", [](KERVApi& a) { return std::to_string(a.GetCurrentLanguage()); }, "7",
         ApiCall("getCurrentLanguage") + Result("7"), "getCurrentLanguage()"},
        {"SetWorkspacePath", Void([](KERVApi& a) { a.SetWorkspacePath("/ws"); }), "void",
         ApiCall("setWorkspace") + Arg("path", "/ws") + Result("void"), "setWorkspace(\"/ws\")"},
        {"GetWorkSpacePath", [](KERVApi& a) { return Text(a.GetWorkSpacePath()); }, "text of getWorkspace",
         ApiCall("getWorkspace") + Result("text of getWorkspace"), "getWorkspace()"},
        {"GetInstallPath", [](KERVApi& a) { return Text(a.GetInstallPath()); }, "text of getInstallPath",
         ApiCall("getInstallPath") + Result("text of getInstallPath"), "getInstallPath()"},
        {"GetUserPath", [](KERVApi& a) { return Text(a.GetUserPath()); }, "text of getUserPath",
         ApiCall("getUserPath") + Result("text of getUserPath"), "getUserPath()"},
        {"GetInstallConfigPath", [](KERVApi& a) { return Text(a.GetInstallConfigPath()); },
         "text of getInstallConfigPath", ApiCall("getInstallConfigPath") + Result("text of getInstallConfigPath"),
         "getInstallConfigPath()"},
        {"GetInstallBinaryPath", [](KERVApi& a) { return Text(a.GetInstallBinaryPath()); },
         "text of getInstallBinaryPath", ApiCall("getInstallBinaryPath") + Result("text of getInstallBinaryPath"),
         "getInstallBinaryPath()"},
        {"GetUserAppConfigPath", [](KERVApi& a) { return Text(a.GetUserAppConfigPath()); },
         "text of getUserAppConfigPath", ApiCall("getUserAppConfigPath") + Result("text of getUserAppConfigPath"),
         "getUserAppConfigPath()"},
        {"GetUserConfigPath", [](KERVApi& a) { return Text(a.GetUserConfigPath()); }, "text of getUserConfigPath",
         ApiCall("getUserConfigPath") + Result("text of getUserConfigPath"), "getUserConfigPath()"},
        {"GetVQFHelpFile", [](KERVApi& a) { return Text(a.GetVQFHelpFile(true)); }, "text of getVQFHelp",
         ApiCall("getVQFHelp") + Arg("html", "1") + Result("text of getVQFHelp"), "getVQFHelp(1)"},
        {"GetVQFContextHelp", [](KERVApi& a) { return Text(a.GetVQFContextHelp(VQHelpContext_C{12})); },
         "text of getVQFContextHelp",
         ApiCall("getVQFContextHelp") + Arg("context", "12") + Result("text of getVQFContextHelp"),
         "getVQFContextHelp(12)"},
        {"GetComponents", [](KERVApi& a) { return Text(a.GetComponents()); }, "text of getComponents",
         ApiCall("getComponents") + Result("text of getComponents"), "getComponents()"},
        {"GetComponentMessages", [](KERVApi& a) { return Text(a.GetComponentMessages("core", "2.1")); },
         "text of getComponentMessages",
         ApiCall("getComponentMessages") + Arg("name", "core") + Arg("version", "2.1") +
             Result("text of getComponentMessages"),
         "getComponentMessages(\"core\", \"2.1\")"},
        {"CreateProject",
         [](KERVApi& a) { return std::to_string(a.CreateProject("/loc", "proj", "a.acf", "r.rcf", "c.cct")); }, "7",
         ApiCall("createProject") + Arg("location", "/loc") + Arg("name", "proj") + Arg("acfFile", "a.acf") +
             Arg("rcfFile", "r.rcf") + Arg("cctFile", "c.cct") + Result("7"),
         "createProject(\"/loc\", \"proj\", \"a.acf\", \"r.rcf\", \"c.cct\")"},
        {"AddCCT", [](KERVApi& a) { return std::to_string(a.AddCCT("x.cct")); }, "7",
         ApiCall("addCCT") + Arg("cctFilePath", "x.cct") + Result("7"), "addCCT(\"x.cct\")"},
        {"SetActiveCCT", [](KERVApi& a) { return std::to_string(a.SetActiveCCT(VQ_SOURCE_LANGUAGE_CPP, "y.cct")); },
         "7", ApiCall("setActiveCCT") + Arg("lang", "1") + Arg("cctFileName", "y.cct") + Result("7"),
         "setActiveCCT(1, \"y.cct\")"},
        {"IsVQFProject", [](KERVApi& a) { return std::to_string(a.IsVQFProject("/loc", "proj")); }, "0",
         ApiCall("isVQFProject") + Arg("location", "/loc") + Arg("name", "proj") + Result("7"),
         "isVQFProject(\"/loc\", \"proj\")"},
        {"InitProjectMngr", [](KERVApi& a) { return std::to_string(a.InitProjectMngr("k", "/loc", "proj")); }, "7",
         ApiCall("initProjectMngr") + Arg("bindKey", "k") + Arg("location", "/loc") + Arg("name", "proj") + Result("7"),
         "initProjectMngr(\"k\", \"/loc\", \"proj\")"},
        {"RemoveFile", [](KERVApi& a) { return std::to_string(a.RemoveFile("a.c")); }, "7",
         ApiCall("removeFile") + Arg("filePath", "a.c") + Result("7"), "removeFile(\"a.c\")"},
        {"AddFile",
         [&](KERVApi& a) {
             return std::to_string(a.AddFile(VQ_SOURCE_LANGUAGE_CPP, "b.cpp", 2, defines, 1, includes));
         },
         "7",
         ApiCall("addFile") + Arg("targetLanguage", "1") + Arg("file", "b.cpp") + Arg("definesSize", "2") +
             Arg("includesSize", "1") + Result("7"),
         "addFile(1, \"b.cpp\", 2, [\"A\",\"B=1\"], 1, [\"/inc\"])"},
        {"GetIncludeFiles", [](KERVApi& a) { return std::to_string(a.GetIncludeFiles()); }, "7",
         ApiCall("getIncludedFiles") + Result("7"), "getIncludedFiles(out)"},
        {"InitResults", [](KERVApi& a) { return std::to_string(a.InitResults("k", "/loc", "proj")); }, "7",
         ApiCall("initResults") + Arg("bindKey", "k") + Arg("location", "/loc") + Arg("name", "proj") + Result("7"),
         "initResults(\"k\", \"/loc\", \"proj\")"},
        {"HasResults", [](KERVApi& a) { return std::to_string(a.HasResults("a.c")); }, "7",
         ApiCall("hasResults") + Arg("sourceFile", "a.c") + Result("7"), "hasResults(\"a.c\")"},
        {"HasUpToDateResults", [](KERVApi& a) { return std::to_string(a.HasUpToDateResults("a.c")); }, "7",
         ApiCall("hasUptoDateResults") + Arg("sourceFile", "a.c") + Result("7"), "hasUptoDateResults(\"a.c\")"},
        {"FreeDiagnostics", [](KERVApi& a) { return std::to_string(a.FreeDiagnostics(nullptr)); }, "7",
         ApiCall("freeDiagnostics") + Result("7"), "freeDiagnostics(pp=null)"},
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
