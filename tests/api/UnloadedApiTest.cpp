// Every KERVApi method before the analysis library is loaded.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "api/KERVApi.h"
#include "tests/api/BoundCall.h"
#include "tests/api/LogCapture.h"

namespace {

struct UnloadedCase {
    const char* method;
    BoundCall call;
    std::string failureValue;
    const char* nullSlotLine;  // nullptr: the standard message for `method`
};

std::string StandardNullSlotLine(const std::string& method) {
    return "\tAttempt to call KERVApi::" + method + " failed because ptr2f is null \n";
}

std::vector<UnloadedCase> AllMethods() {
    static char item[] = "a";
    static char* items[] = {item};
    return {
        {"InitDeployment", Bind(&KERVApi::InitDeployment), "-1", nullptr},
        {"SetBindKey", Bind(&KERVApi::SetBindKey, "k"), "void", nullptr},
        {"InitApi", Bind(&KERVApi::InitApi, "k"), "-1", nullptr},
        {"ShutdownApi", Bind(&KERVApi::ShutdownApi), "void", nullptr},
        {"ShutdownApp", Bind(&KERVApi::ShutdownApp), "void", nullptr},
        {"ClearCachedObjects", Bind(&KERVApi::ClearCachedObjects), "void", nullptr},
        {"GetVersionNumber", Bind(&KERVApi::GetVersionNumber), "\"0.0.0\"", nullptr},
        {"SetLogLevel", Bind(&KERVApi::SetLogLevel, VQLogLevel_C{2}), "void", nullptr},
        {"GetLogLevel", Bind(&KERVApi::GetLogLevel), "0", nullptr},
        {"SetCurrentLanguage", Bind(&KERVApi::SetCurrentLanguage, VQLanguage_C{1}), "void", nullptr},
        {"GetCurrentLanguage", Bind(&KERVApi::GetCurrentLanguage), "0", nullptr},
        {"SetWorkspacePath", Bind(&KERVApi::SetWorkspacePath, "/w"), "void", nullptr},
        {"GetWorkSpacePath", Bind(&KERVApi::GetWorkSpacePath), "\"null\"",
         "\tAttempt to call KERVApi::GetWorkSpacePath failed because ptr2f is null. \n"},
        {"GetInstallPath", Bind(&KERVApi::GetInstallPath), "\"null\"", nullptr},
        {"GetUserPath", Bind(&KERVApi::GetUserPath), "\"null\"", nullptr},
        {"GetInstallConfigPath", Bind(&KERVApi::GetInstallConfigPath), "\"null\"", nullptr},
        {"GetInstallBinaryPath", Bind(&KERVApi::GetInstallBinaryPath), "\"null\"", nullptr},
        {"GetUserAppConfigPath", Bind(&KERVApi::GetUserAppConfigPath), "\"null\"", nullptr},
        {"GetUserConfigPath", Bind(&KERVApi::GetUserConfigPath), "\"null\"", nullptr},
        {"GetVQFHelpFile", Bind(&KERVApi::GetVQFHelpFile, true), "\"\"", nullptr},
        {"GetVQFContextHelp", Bind(&KERVApi::GetVQFContextHelp, VQHelpContext_C{3}), "\"\"", nullptr},
        {"GetComponents", Bind(&KERVApi::GetComponents), "\"\"", nullptr},
        {"GetComponentMessages", Bind(&KERVApi::GetComponentMessages, "n", "v"), "\"\"", nullptr},
        {"CreateProject", Bind(&KERVApi::CreateProject, "l", "n", "a", "r", "c"), "-1", nullptr},
        {"AddCCT", Bind(&KERVApi::AddCCT, "c"), "-1", nullptr},
        {"SetActiveCCT", Bind(&KERVApi::SetActiveCCT, VQ_SOURCE_LANGUAGE_CPP, "c"), "-1", nullptr},
        {"IsVQFProject", Bind(&KERVApi::IsVQFProject, "l", "n"), "0",
         "\tAttempt to call KERVAPi::IsVQFProject failed because ptr2f is null \n"},
        {"InitProjectMngr", Bind(&KERVApi::InitProjectMngr, "k", "l", "n"), "-1", nullptr},
        {"RemoveFile", Bind(&KERVApi::RemoveFile, "f"), "-1", nullptr},
        {"AddFile", Bind(&KERVApi::AddFile, VQ_SOURCE_LANGUAGE_C, "f", 1u, items, 0u, nullptr), "-1", nullptr},
        {"GetIncludeFiles", Bind(&KERVApi::GetIncludeFiles), "-1", nullptr},
        {"InitResults", Bind(&KERVApi::InitResults, "k", "l", "n"), "-1", nullptr},
        {"Aggregate", Bind(&KERVApi::Aggregate), "void",
         "\tAttempt to call KERVApi::aggregate failed because ptr2f is null \n"},
        {"HasResults", Bind(&KERVApi::HasResults, "f"), "0", nullptr},
        {"HasUpToDateResults", Bind(&KERVApi::HasUpToDateResults, "f"), "0", nullptr},
        {"FreeVQFile", Bind(&KERVApi::FreeVQFile, nullptr), "-1",
         "\tAttempt to call KERVApi::freeVQFile failed because ptr2f is null \n"},
        {"FreeStrings", Bind(&KERVApi::FreeStrings, nullptr), "-1",
         "\tAttempt to call KERVApi::freeStrings failed because ptr2f is null \n"},
        {"FreeDiagnostics", Bind(&KERVApi::FreeDiagnostics, nullptr), "-1", nullptr},
        {"FreeFilePaths", Bind(&KERVApi::FreeFilePaths, nullptr), "-1", nullptr},
        {"FreeRuleGroups", Bind(&KERVApi::FreeRuleGroups, nullptr), "-1", nullptr},
        {"FreeMessageRuleMap", Bind(&KERVApi::FreeMessageRuleMap, nullptr), "-1", nullptr},
        {"FreeTrees", Bind(&KERVApi::FreeTrees, nullptr), "-1",
         "\tAttempt to call KERVApi::FreeTrees failes because ptr2f is null \n"},
        {"FreeLanguages", Bind(&KERVApi::FreeLanguages, nullptr), "void", nullptr},
        {"GetTrees", Bind(&KERVApi::GetTrees, true, 1u, items), "\"\"",
         "\tAttempt to call KERVApi::GetTrees failed because ptr2f is null\n"},
        {"GetMappedFileExtensions", Bind(&KERVApi::GetMappedFileExtensions), "\"\"", nullptr},
        {"GetFiles", Bind(&KERVApi::GetFiles), "\"\"", nullptr},
        {"GetCMAProjectList", Bind(&KERVApi::GetCMAProjectList), "\"\"", nullptr},
        {"GetReportTools", Bind(&KERVApi::GetReportTools), "\"\"", nullptr},
        {"GetMessageRuleMap", Bind(&KERVApi::GetMessageRuleMap), "\"\"", nullptr},
        {"GetRuleGroups", Bind(&KERVApi::GetRuleGroups), "\"\"", nullptr},
        {"GetDiagnostics", Bind(&KERVApi::GetDiagnostics, "f", nullptr, nullptr, 0), "\"\"", nullptr},
        {"GetVQFile", Bind(&KERVApi::GetVQFile, "f"), "\"\"", nullptr},
        {"GetAvailableLanguages", Bind(&KERVApi::GetAvailableLanguages), "\"\"", nullptr},
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
}
