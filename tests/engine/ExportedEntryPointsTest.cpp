#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>

#include "api/KERVEntryPoints.h"
#include "engine/Status.h"

namespace {

// The built library, loaded as the bridge loads it, exports every entry point
// by its plain name and nothing of its internals.
TEST(ExportedEntryPoints, EveryNameResolvesInTheBuiltLibrary) {
    void* library = ::dlopen(KERV_ENGINE_LIBRARY, RTLD_LAZY | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << ::dlerror();
    for (const char* name : kerv::kEntryPointNames) EXPECT_NE(::dlsym(library, name), nullptr) << name;
    EXPECT_EQ(::dlsym(library, "_ZN4kerv6engine7sessionEv"), nullptr) << "internals stay hidden";

    auto version = reinterpret_cast<kerv::EntryPointFunction<kerv::EntryPoint::getVersionNumber>*>(
        ::dlsym(library, "getVersionNumber"));
    EXPECT_STREQ(version(), "1.0.0");
    auto initApi = reinterpret_cast<kerv::EntryPointFunction<kerv::EntryPoint::initApi>*>(::dlsym(library, "initApi"));
    EXPECT_EQ(initApi(nullptr), kerv::engine::kOk) << "no licensing: any bind key";
    EXPECT_EQ(initApi(""), kerv::engine::kOk);
    auto installPath = reinterpret_cast<kerv::EntryPointFunction<kerv::EntryPoint::getInstallPath>*>(
        ::dlsym(library, "getInstallPath"));
    std::string expectedFolder = KERV_ENGINE_LIBRARY;
    expectedFolder = expectedFolder.substr(0, expectedFolder.find_last_of('/'));
    char resolved[4096];
    ASSERT_NE(::realpath(expectedFolder.c_str(), resolved), nullptr);
    EXPECT_STREQ(installPath(), resolved);
}

}  // namespace
