// Allocations that fail partway: this program replaces the global operator
// new so that the Nth allocation after arming throws std::bad_alloc. For
// every N each getter must either return its whole text or the empty text
// with a level-1 line, and hand its record back (read from the stand-in's
// journal); splitString must leave nothing allocated.
#include <dlfcn.h>
#include <execinfo.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "api/KERVApi.h"
#include "tests/api/LoadedApi.h"
#include "tests/support/RecordArena.h"
#include "utils/StringHelpers.h"

namespace {

long g_countdown = 0;  // 0: disarmed; otherwise allocations left until one fails
long g_live = 0;       // allocations not yet released
bool g_failed = false;
const void* g_standInBase = nullptr;

// The stand-in's own bookkeeping never fails: it plays a library that does
// not share our allocator.
bool StandInOnStack() {
    void* frames[64];
    const int depth = backtrace(frames, 64);
    for (int i = 0; i < depth; ++i) {
        Dl_info info;
        if (dladdr(frames[i], &info) != 0 && info.dli_fbase == g_standInBase) return true;
    }
    return false;
}

void* Allocate(std::size_t size) {
    if (g_countdown > 0 && !StandInOnStack() && --g_countdown == 0) {
        g_failed = true;
        return nullptr;
    }
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block != nullptr) ++g_live;
    return block;
}

void Release(void* block) noexcept {
    if (block == nullptr) return;
    --g_live;
    std::free(block);
}

// Arms the failure at allocation `n` for the life of the object.
struct FailingAllocation {
    explicit FailingAllocation(long n) {
        g_failed = false;
        g_countdown = n;
    }
    ~FailingAllocation() { g_countdown = 0; }
};

}  // namespace

void* operator new(std::size_t size) {
    if (void* block = Allocate(size)) return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void operator delete(void* block) noexcept {
    Release(block);
}
void operator delete[](void* block) noexcept {
    Release(block);
}
void operator delete(void* block, std::size_t) noexcept {
    Release(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    Release(block);
}

namespace {

class AllocationFailure : public LoadedApi {
protected:
    static void SetUpTestSuite() {
        LoadedApi::SetUpTestSuite();
        Dl_info info;
        ASSERT_NE(dladdr(reinterpret_cast<void*>(s_fake.journal), &info), 0);
        g_standInBase = info.dli_fbase;
        void* frames[4];
        backtrace(frames, 4);  // loads the unwinder before any failure is armed
    }

    // Calls `getter` with allocation n failing, for n = 1, 2, ... until it
    // runs without a failure; checks each outcome.
    void Sweep(const char* method, const std::function<std::string()>& getter, const char* getEntryPoint,
               const char* freeEntryPoint, const std::function<void()>& script) {
        s_fake.reset();
        script();
        const std::string whole = getter();
        ASSERT_FALSE(whole.empty()) << method;
        for (long n = 1;; ++n) {
            SCOPED_TRACE(std::string(method) + " failing at allocation " + std::to_string(n));
            s_fake.reset();
            script();
            log.Take();
            std::string text;
            bool failed = false;
            {
                FailingAllocation failing(n);
                text = getter();
                failed = g_failed;
            }
            EXPECT_EQ(s_fake.callCount(freeEntryPoint), s_fake.callCount(getEntryPoint)) << s_fake.journal();
            if (!failed) {
                EXPECT_EQ(text, whole);
                EXPECT_GT(n, 1) << "the text was built without allocating";
                return;
            }
            EXPECT_EQ(text, "");
            EXPECT_NE(log.Take().find("\tKERVApi::" + std::string(method) + " failed: std::bad_alloc\n"),
                      std::string::npos);
        }
    }
};

char kLong[] = "a text too long for the short-string buffer & <markup>";

}  // namespace

TEST_F(AllocationFailure, EveryRecordComesBackAndNoExceptionLeavesAGetter) {
    VQTreeStruct leaf{VQTreeItemType_C{2}, kLong, kLong, 1, 1, nullptr};
    RecordArena arena;
    VQTreeStruct root{VQTreeItemType_C{1}, kLong, kLong, 4, 2, arena.List<VQTreeArray_C>({&leaf})};
    VQTrees_C trees{&root, &leaf, &leaf};
    VQMessage_C message{kLong, kLong, 2, kLong, kLong, kLong, nullptr};
    DiagnosticStruct diagnostic{&message, 0, 0, 0, nullptr, nullptr, nullptr};
    auto* diagnostics = arena.List<VQDiagnosticArray_C>({&diagnostic});
    RuleGroupStruct group{kLong, nullptr};
    auto* groups = arena.List<VQRuleGroupArray_C>({&group});
    auto* list = arena.Texts<VQStrings_C>({kLong, kLong, kLong});
    auto* languages = arena.Languages({0, 2});
    VQFile_C file{nullptr, VQ_SOURCE_LANGUAGE_CPP, nullptr, nullptr};

    auto scripted = [this](const char* entryPoint, void* record, int result = 0) {
        return [=] {
            s_fake.setRecord(entryPoint, record);
            s_fake.setResult(entryPoint, result);
        };
    };
    Sweep(
        "GetTrees", [&] { return api.GetTrees(false, 0, nullptr); }, "getTrees", "freeTrees",
        scripted("getTrees", &trees));
    Sweep(
        "GetDiagnostics", [&] { return api.GetDiagnostics("a.c", nullptr, nullptr, 0); }, "getDiagnostics",
        "freeDiagnostics", scripted("getDiagnostics", diagnostics));
    Sweep(
        "GetRuleGroups", [&] { return api.GetRuleGroups(); }, "getRuleGroups", "freeRuleGroups",
        scripted("getRuleGroups", groups));
    Sweep(
        "GetVQFile", [&] { return api.GetVQFile("a.c"); }, "getVQFile", "freeVQFile", scripted("getVQFile", &file));
    Sweep(
        "GetAvailableLanguages", [&] { return api.GetAvailableLanguages(); }, "getAvailableLanguages", "freeLanguages",
        scripted("getAvailableLanguages", languages));
    Sweep(
        "GetMappedFileExtensions", [&] { return api.GetMappedFileExtensions(); }, "getMappedFileExtensions",
        "freeStrings", scripted("getMappedFileExtensions", list));
    Sweep(
        "GetReportTools", [&] { return api.GetReportTools(); }, "getReportTools", "freeStrings",
        scripted("getReportTools", list, 1));
}

TEST(SplitStringAllocationFailure, LeavesNothingAllocated) {
    const std::string text = std::string(kLong) + "\x19" + kLong + "\x19" + kLong;
    const std::vector<char> separators{0x19, '\0'};
    for (long n = 1;; ++n) {
        SCOPED_TRACE("failing at allocation " + std::to_string(n));
        const long live = g_live;
        char** tokens = nullptr;
        {
            FailingAllocation failing(n);
            try {
                tokens = Utils::splitString(text, 5, separators);
            } catch (const std::bad_alloc&) {
                EXPECT_TRUE(g_failed);
            }
        }
        if (tokens == nullptr) {
            EXPECT_EQ(g_live, live) << "a failed split leaks";
            continue;
        }
        EXPECT_EQ(std::string(tokens[2]) + tokens[4], kLong) << "three tokens, then the shared empty one";
        EXPECT_EQ(tokens[3], tokens[4]);
        Utils::freeTokenArray(tokens, 5);
        EXPECT_EQ(g_live, live);
        EXPECT_GT(n, 4) << "the array and three tokens are four allocations";
        return;
    }
}
