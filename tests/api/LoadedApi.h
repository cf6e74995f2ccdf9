// Fixture: KERVApi with the full stand-in loaded, a clean script and journal
// for every test, and the log captured at level 2.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "api/KERVApi.h"
#include "tests/api/FakeLibrary.h"
#include "tests/api/LogCapture.h"

// Log lines of a guarded call.
inline std::string ApiCall(const std::string& name) {
    return "\t> API CALL - " + name + "\n";
}
inline std::string Arg(const std::string& label, const std::string& value) {
    return "\t\t " + label + " - " + value + "\n";
}
inline std::string Result(const std::string& value) {
    return "\t< Result: " + value + "\n";
}

class LoadedApi : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(KERVApi::GetInstance()->InitKERVApi(KERV_FAKE_PATH), "");
        s_fake = FakeLibrary::Attach(KERV_FAKE_PATH);
    }
    void SetUp() override { s_fake.reset(); }

    KERVApi& api = *KERVApi::GetInstance();
    LogCapture log{2};
    static inline FakeLibrary s_fake;
};
