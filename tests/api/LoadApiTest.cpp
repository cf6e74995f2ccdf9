// Loading the stand-in: a failed attempt, a good one, a later path ignored.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "api/KERVApi.h"
#include "tests/api/FakeLibrary.h"
#include "tests/api/LogCapture.h"

namespace {

std::string LoadLines(const FakeLibrary& fake) {
    std::string lines;
    for (const char* name : kerv::kEntryPointNames) {
        const auto address = reinterpret_cast<std::uintptr_t>(fake.EntryPoint(name));
        lines += "LoadProcAddress for " + std::string(name) + "\n[Success] find function entry for " + name +
                 " and prt " + std::to_string(address) + "\n";
    }
    return lines;
}

}  // namespace

TEST(LoadApi, FailedLoadThenGoodLoadThenSecondPathIgnored) {
    KERVApi::Destroy();
    KERVApi& api = *KERVApi::GetInstance();
    LogCapture log(2);

    const std::string missing = log.Directory() + "/missing.so";
    EXPECT_EQ(api.InitKERVApi(missing.c_str()).rfind("Failed to load libKERV.so: ", 0), 0u);
    EXPECT_EQ(log.Take(), "\nCall InitKERVApi\n\tTrying to load from: " + missing + " \n");
    EXPECT_EQ(api.InitKERVApi(nullptr), "Failed to load libKERV.so: no path given");
    EXPECT_EQ(api.HasResults("a.c"), 0);
    log.Take();

    ASSERT_EQ(api.InitKERVApi(KERV_FAKE_PATH), "");
    FakeLibrary fake = FakeLibrary::Attach(KERV_FAKE_PATH);
    EXPECT_EQ(log.Take(),
              "\nCall InitKERVApi\n\tTrying to load from: " + std::string(KERV_FAKE_PATH) + " \n" + LoadLines(fake));

    EXPECT_EQ(api.InitKERVApi(KERV_FAKE_PARTIAL_PATH), "");
    EXPECT_EQ(api.InitKERVApi(missing.c_str()), "");
    EXPECT_EQ(log.Take(), "\nCall InitKERVApi\n\nCall InitKERVApi\n");

    // Still the first library: its journal records the call.
    fake.reset();
    fake.setResult("hasResults", 1);
    EXPECT_EQ(api.HasResults("a.c"), 1);
    EXPECT_STREQ(fake.journal(), "hasResults(\"a.c\")\n");
}

TEST(LoadApi, LoadAtTheDefaultLevelPrintsNothing) {
    KERVApi::Destroy();
    testing::internal::CaptureStdout();
    EXPECT_EQ(KERVApi::GetInstance()->InitKERVApi(KERV_FAKE_PATH), "");
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}
