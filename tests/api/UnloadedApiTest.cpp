// Every KERVApi method before the analysis library is loaded.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "api/KERVApi.h"
#include "tests/api/LogCapture.h"

namespace {

std::string Text(const char* text) {
    return text != nullptr ? "\"" + std::string(text) + "\"" : "nullptr";
}

struct UnloadedCase {
    const char* method;
    std::function<std::string(KERVApi&)> call;  // the returned value, printed
    std::string failureValue;
    const char* nullSlotLine;  // nullptr: the standard message for `method`
};

std::string StandardNullSlotLine(const std::string& method) {
    return "\tAttempt to call KERVApi::" + method + " failed because ptr2f is null \n";
}

const char* const kVoid = "void";

std::vector<UnloadedCase> AllMethods() {
    char* items[] = {const_cast<char*>("a")};
    VQFile_C* file = nullptr;
    VQStrings_C* strings = nullptr;
    VQDiagnosticArray_C* diagnostics = nullptr;
    VQFilePathArray_C* paths = nullptr;
    VQRuleGroupArray_C* groups = nullptr;
    VQMessageRuleMap_C* map = nullptr;
    VQTrees_C* trees = nullptr;
    VQLanguages_C* languages = nullptr;
    auto none = [](auto call) {
        return [call](KERVApi& api) mutable {
            call(api);
            return std::string(kVoid);
        };
    };
    return {
        {"InitDeployment", [](KERVApi& a) { return std::to_string(a.InitDeployment()); }, "-1", nullptr},
        {"SetBindKey", none([](KERVApi& a) { a.SetBindKey("k"); }), kVoid, nullptr},
        {"InitApi", [](KERVApi& a) { return std::to_string(a.InitApi("k")); }, "-1", nullptr},
        {"ShutdownApi", none([](KERVApi& a) { a.ShutdownApi(); }), kVoid, nullptr},
        {"ShutdownApp", none([](KERVApi& a) { a.ShutdownApp(); }), kVoid, nullptr},
        {"ClearCachedObjects", none([](KERVApi& a) { a.ClearCachedObjects(); }), kVoid, nullptr},
        {"GetVersionNumber", [](KERVApi& a) { return Text(a.GetVersionNumber()); }, "\"0.0.0\"", nullptr},
        {"SetLogLevel", none([](KERVApi& a) { a.SetLogLevel(VQLogLevel_C{2}); }), kVoid, nullptr},
        {"GetLogLevel", [](KERVApi& a) { return std::to_string(a.GetLogLevel()); }, "0", nullptr},
        {"SetCurrentLanguage", none([](KERVApi& a) { a.SetCurrentLanguage(VQLanguage_C{1}); }), kVoid, nullptr},
        {"GetCurrentLanguage", [](KERVApi& a) { return std::to_string(a.GetCurrentLanguage()); }, "0", nullptr},
        {"SetWorkspacePath", none([](KERVApi& a) { a.SetWorkspacePath("/w"); }), kVoid, nullptr},
        {"GetWorkSpacePath", [](KERVApi& a) { return Text(a.GetWorkSpacePath()); }, "\"null\"",
         "\tAttempt to call KERVApi::GetWorkSpacePath failed because ptr2f is null. \n"},
        {"GetInstallPath", [](KERVApi& a) { return Text(a.GetInstallPath()); }, "\"null\"", nullptr},
        {"GetUserPath", [](KERVApi& a) { return Text(a.GetUserPath()); }, "\"null\"", nullptr},
        {"GetInstallConfigPath", [](KERVApi& a) { return Text(a.GetInstallConfigPath()); }, "\"null\"", nullptr},
        {"GetInstallBinaryPath", [](KERVApi& a) { return Text(a.GetInstallBinaryPath()); }, "\"null\"", nullptr},
        {"GetUserAppConfigPath", [](KERVApi& a) { return Text(a.GetUserAppConfigPath()); }, "\"null\"", nullptr},
        {"GetUserConfigPath", [](KERVApi& a) { return Text(a.GetUserConfigPath()); }, "\"null\"", nullptr},
        {"GetVQFHelpFile", [](KERVApi& a) { return Text(a.GetVQFHelpFile(true)); }, "\"\"", nullptr},
        {"GetVQFContextHelp", [](KERVApi& a) { return Text(a.GetVQFContextHelp(VQHelpContext_C{3})); }, "\"\"",
         nullptr},
        {"GetComponents", [](KERVApi& a) { return Text(a.GetComponents()); }, "\"\"", nullptr},
        {"GetComponentMessages", [](KERVApi& a) { return Text(a.GetComponentMessages("n", "v")); }, "\"\"", nullptr},
        {"CreateProject", [](KERVApi& a) { return std::to_string(a.CreateProject("l", "n", "a", "r", "c")); }, "-1",
         nullptr},
        {"AddCCT", [](KERVApi& a) { return std::to_string(a.AddCCT("c")); }, "-1", nullptr},
        {"SetActiveCCT", [](KERVApi& a) { return std::to_string(a.SetActiveCCT(VQ_SOURCE_LANGUAGE_CPP, "c")); }, "-1",
         nullptr},
        {"IsVQFProject", [](KERVApi& a) { return std::to_string(a.IsVQFProject("l", "n")); }, "0",
         "\tAttempt to call KERVAPi::IsVQFProject failed because ptr2f is null \n"},
        {"InitProjectMngr", [](KERVApi& a) { return std::to_string(a.InitProjectMngr("k", "l", "n")); }, "-1", nullptr},
        {"RemoveFile", [](KERVApi& a) { return std::to_string(a.RemoveFile("f")); }, "-1", nullptr},
        {"AddFile",
         [items](KERVApi& a) mutable {
             return std::to_string(a.AddFile(VQ_SOURCE_LANGUAGE_C, "f", 1, items, 0, nullptr));
         },
         "-1", nullptr},
        {"GetIncludeFiles", [](KERVApi& a) { return std::to_string(a.GetIncludeFiles()); }, "-1", nullptr},
        {"InitResults", [](KERVApi& a) { return std::to_string(a.InitResults("k", "l", "n")); }, "-1", nullptr},
        {"Aggregate", none([](KERVApi& a) { a.Aggregate(); }), kVoid,
         "\tAttempt to call KERVApi::aggregate failed because ptr2f is null \n"},
        {"HasResults", [](KERVApi& a) { return std::to_string(a.HasResults("f")); }, "0", nullptr},
        {"HasUpToDateResults", [](KERVApi& a) { return std::to_string(a.HasUpToDateResults("f")); }, "0", nullptr},
        {"FreeVQFile", [file](KERVApi& a) mutable { return std::to_string(a.FreeVQFile(&file)); }, "-1",
         "\tAttempt to call KERVApi::freeVQFile failed because ptr2f is null \n"},
        {"FreeStrings", [strings](KERVApi& a) mutable { return std::to_string(a.FreeStrings(&strings)); }, "-1",
         "\tAttempt to call KERVApi::freeStrings failed because ptr2f is null \n"},
        {"FreeDiagnostics",
         [diagnostics](KERVApi& a) mutable { return std::to_string(a.FreeDiagnostics(&diagnostics)); }, "-1", nullptr},
        {"FreeFilePaths", [paths](KERVApi& a) mutable { return std::to_string(a.FreeFilePaths(&paths)); }, "-1",
         nullptr},
        {"FreeRuleGroups", [groups](KERVApi& a) mutable { return std::to_string(a.FreeRuleGroups(&groups)); }, "-1",
         nullptr},
        {"FreeMessageRuleMap", [map](KERVApi& a) mutable { return std::to_string(a.FreeMessageRuleMap(&map)); }, "-1",
         nullptr},
        {"FreeTrees", [trees](KERVApi& a) mutable { return std::to_string(a.FreeTrees(&trees)); }, "-1",
         "\tAttempt to call KERVApi::FreeTrees failes because ptr2f is null \n"},
        {"FreeLanguages", none([languages](KERVApi& a) mutable { a.FreeLanguages(&languages); }), kVoid, nullptr},
        {"GetTrees", [items](KERVApi& a) mutable { return Text(a.GetTrees(true, 1, items).c_str()); }, "\"\"",
         "\tAttempt to call KERVApi::GetTrees failed because ptr2f is null\n"},
        {"GetMappedFileExtensions", [](KERVApi& a) { return Text(a.GetMappedFileExtensions().c_str()); }, "\"\"",
         nullptr},
        {"GetFiles", [](KERVApi& a) { return Text(a.GetFiles().c_str()); }, "\"\"", nullptr},
        {"GetCMAProjectList", [](KERVApi& a) { return Text(a.GetCMAProjectList().c_str()); }, "\"\"", nullptr},
        {"GetReportTools", [](KERVApi& a) { return Text(a.GetReportTools().c_str()); }, "\"\"", nullptr},
        {"GetMessageRuleMap", [](KERVApi& a) { return Text(a.GetMessageRuleMap().c_str()); }, "\"\"", nullptr},
        {"GetRuleGroups", [](KERVApi& a) { return Text(a.GetRuleGroups().c_str()); }, "\"\"", nullptr},
        {"GetDiagnostics", [](KERVApi& a) { return Text(a.GetDiagnostics("f", nullptr, nullptr, 0).c_str()); }, "\"\"",
         nullptr},
        {"GetVQFile", [](KERVApi& a) { return Text(a.GetVQFile("f").c_str()); }, "\"\"", nullptr},
        {"GetAvailableLanguages", [](KERVApi& a) { return Text(a.GetAvailableLanguages().c_str()); }, "\"\"", nullptr},
    };
}

}  // namespace

TEST(UnloadedApi, EveryMethodLogsTwoLinesAndReturnsItsFailureValue) {
    KERVApi& api = *KERVApi::GetInstance();
    const std::vector<UnloadedCase> cases = AllMethods();
    ASSERT_EQ(cases.size(), kerv::kEntryPointCount);

    LogCapture log(2);
    for (const UnloadedCase& c : cases) {
        SCOPED_TRACE(c.method);
        EXPECT_EQ(c.call(api), c.failureValue);
        const std::string nullSlotLine = c.nullSlotLine != nullptr ? c.nullSlotLine : StandardNullSlotLine(c.method);
        EXPECT_EQ(log.Take(), "\nCall " + std::string(c.method) + " \n" + nullSlotLine);
    }

    // At level 1 only the null-slot message remains.
    Utils::Logger::SetLogLevel(1);
    EXPECT_EQ(api.HasResults("f"), 0);
    EXPECT_EQ(log.Take(), StandardNullSlotLine("HasResults"));
}

TEST(UnloadedApi, InstanceIsSharedUntilDestroyed) {
    KERVApi* first = KERVApi::GetInstance();
    EXPECT_EQ(KERVApi::GetInstance(), first);

    KERVApi::Destroy();
    KERVApi* fresh = KERVApi::GetInstance();
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(KERVApi::GetInstance(), fresh);
    EXPECT_EQ(std::string(fresh->GetInstallPath()), "null");
}

TEST(UnloadedApi, UnopenableLibraryReportsTheLoaderMessageAndStaysUnloaded) {
    LogCapture log(1);
    KERVApi& api = *KERVApi::GetInstance();
    const std::string missing = log.Directory() + "/libKERV.so";

    const std::string error = api.InitKERVApi(missing.c_str());
    EXPECT_EQ(error.rfind("Failed to load libKERV.so: ", 0), 0u) << error;
    EXPECT_NE(error.find(missing), std::string::npos) << "the loader's own message follows: " << error;
    EXPECT_EQ(api.InitKERVApi(nullptr), "Failed to load libKERV.so: no path given");
    EXPECT_EQ(log.Take(), "") << "a failed load logs nothing at level 1";

    Utils::Logger::SetLogLevel(2);
    EXPECT_NE(api.InitKERVApi(missing.c_str()), "");
    EXPECT_EQ(log.Take(), "\nCall InitKERVApi\n\tTrying to load from: " + missing + " \n");
    EXPECT_EQ(api.GetInstallPath(), std::string("null"));
}
