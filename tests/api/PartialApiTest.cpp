// A library that lacks some entry points still loads; the methods of the
// missing names take their null-slot path, the others work.
#include <gtest/gtest.h>

#include <string>

#include "api/KERVApi.h"
#include "tests/api/FakeLibrary.h"
#include "tests/api/LogCapture.h"
#include "tests/support/RecordArena.h"

TEST(PartialApi, MissingNamesAreReportedAndTheirMethodsFail) {
    KERVApi& api = *KERVApi::GetInstance();
    LogCapture log(1);

    ASSERT_EQ(api.InitKERVApi(KERV_FAKE_PARTIAL_PATH), "");
    EXPECT_EQ(log.Take(),
              "[Fail] find function entry for setCurrentLanguage\n"
              "[Fail] find function entry for getWorkspace\n"
              "[Fail] find function entry for getVersionNumber\n"
              "[Fail] find function entry for isVQFProject\n"
              "[Fail] find function entry for freeStrings\n"
              "[Fail] find function entry for getTrees\n"
              "[Fail] find function entry for freeTrees\n"
              "[Fail] find function entry for hasResults\n");

    FakeLibrary fake = FakeLibrary::Attach(KERV_FAKE_PARTIAL_PATH);
    fake.reset();
    fake.setResult("hasUptoDateResults", 255);
    fake.setResult("hasResults", 1);
    VQTrees_C* trees = nullptr;

    EXPECT_EQ(api.HasUpToDateResults("a.c"), 255);
    EXPECT_EQ(api.HasResults("a.c"), 0);
    EXPECT_EQ(api.IsVQFProject("/p", "n"), 0);
    EXPECT_STREQ(api.GetWorkSpacePath(), "null");
    EXPECT_STREQ(api.GetVersionNumber(), "0.0.0");
    api.SetCurrentLanguage(VQLanguage_C{1});
    EXPECT_EQ(api.GetTrees(false, 0, nullptr), "");
    EXPECT_EQ(api.FreeTrees(&trees), -1);
    EXPECT_EQ(log.Take(),
              "\tAttempt to call KERVApi::HasResults failed because ptr2f is null \n"
              "\tAttempt to call KERVAPi::IsVQFProject failed because ptr2f is null \n"
              "\tAttempt to call KERVApi::GetWorkSpacePath failed because ptr2f is null. \n"
              "\tAttempt to call KERVApi::GetVersionNumber failed because ptr2f is null \n"
              "\tAttempt to call KERVApi::SetCurrentLanguage failed because ptr2f is null \n"
              "\tAttempt to call KERVApi::GetTrees failed because ptr2f is null\n"
              "\tAttempt to call KERVApi::FreeTrees failes because ptr2f is null \n");
    EXPECT_STREQ(fake.journal(), "hasUptoDateResults(\"a.c\")\n");

    // A getter whose free function is missing still returns its text.
    RecordArena arena;
    auto* projects = arena.Texts<VQStrings_C>({"p", "q"});
    fake.reset();
    fake.setResult("getCMAProjectList", 1);
    fake.setRecord("getCMAProjectList", projects);
    EXPECT_EQ(api.GetCMAProjectList(), "p;q");
    EXPECT_EQ(log.Take(), "\tAttempt to call KERVApi::freeStrings failed because ptr2f is null \n");
    EXPECT_STREQ(fake.journal(), "getCMAProjectList(out)\n");
}
