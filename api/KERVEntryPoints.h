// The 53 entry points of the analysis library, in slot order.
//
// This list is the single source of truth for the entry-point table, the
// loader's look-up loop, the stand-in libraries and the typed calls of the
// wrappers: X(slot, entryPoint, Method, Signature)
//   slot        index in the entry-point table (and the look-up order)
//   entryPoint  exported symbol looked up in the analysis library
//   Method      KERVApi method that calls it
//   Signature   C function type of the entry point
//
// One-byte truth values returned by the library are uint8_t so that any byte
// (2, 255) is read as it is.
#pragma once

#include <cstddef>
#include <cstdint>

#include "api/KERVRecords.h"

extern "C" typedef void (*KERVAggregateCallback)(unsigned int progress);

// clang-format off
#define KERV_ENTRY_POINTS(X)                                                                                   \
    X(0,  initDeploymentInfo,      InitDeployment,          int())                                             \
    X(1,  setBindKey,              SetBindKey,              void(const char*))                                 \
    X(2,  initApi,                 InitApi,                 int(const char*))                                  \
    X(3,  shutdownApi,             ShutdownApi,             void())                                            \
    X(4,  shutdownApp,             ShutdownApp,             void())                                            \
    X(5,  clearCachedObjects,      ClearCachedObjects,      void())                                            \
    X(6,  getInstallPath,          GetInstallPath,          const char*())                                     \
    X(7,  getUserPath,             GetUserPath,             const char*())                                     \
    X(8,  getInstallConfigPath,    GetInstallConfigPath,    const char*())                                     \
    X(9,  getReportTools,          GetReportTools,          int(VQStrings_C**))                                \
    X(10, getInstallBinaryPath,    GetInstallBinaryPath,    const char*())                                     \
    X(11, getUserAppConfigPath,    GetUserAppConfigPath,    const char*())                                     \
    X(12, getUserConfigPath,       GetUserConfigPath,       const char*())                                     \
    X(13, getCMAProjectList,       GetCMAProjectList,       int(VQStrings_C**))                                \
    X(14, getCurrentLanguage,      GetCurrentLanguage,      int())                                             \
    X(15, setCurrentLanguage,      SetCurrentLanguage,      void(VQLanguage_C))                                \
    X(16, getAvailableLanguages,   GetAvailableLanguages,   void(VQLanguages_C**))                             \
    X(17, freeLanguages,           FreeLanguages,           void(VQLanguages_C**))                             \
    X(18, setWorkspace,            SetWorkspacePath,        void(const char*))                                 \
    X(19, getWorkspace,            GetWorkSpacePath,        const char*())                                     \
    X(20, getLogLevel,             GetLogLevel,             int())                                             \
    X(21, setLogLevel,             SetLogLevel,             void(VQLogLevel_C))                                \
    X(22, getVersionNumber,        GetVersionNumber,        const char*())                                     \
    X(23, getVQFHelp,              GetVQFHelpFile,          const char*(bool))                                 \
    X(24, getVQFContextHelp,       GetVQFContextHelp,       const char*(VQHelpContext_C))                      \
    X(25, getComponents,           GetComponents,           const char*())                                     \
    X(26, getComponentMessages,    GetComponentMessages,    const char*(const char*, const char*))             \
    X(27, createProject,           CreateProject,           int(const char*, const char*, const char*,         \
                                                                const char*, const char*))                     \
    X(28, addCCT,                  AddCCT,                  int(const char*))                                  \
    X(29, setActiveCCT,            SetActiveCCT,            int(VQSourceLanguage_C, const char*))              \
    X(30, isVQFProject,            IsVQFProject,            uint8_t(const char*, const char*))                 \
    X(31, initProjectMngr,         InitProjectMngr,         int(const char*, const char*, const char*))        \
    X(32, removeFile,              RemoveFile,              int(const char*))                                  \
    X(33, addFile,                 AddFile,                 int(VQSourceLanguage_C, const char*, unsigned int, \
                                                                char**, unsigned int, char**))                 \
    X(34, getFiles,                GetFiles,                int(VQStrings_C**))                                \
    X(35, getMappedFileExtensions, GetMappedFileExtensions, int(VQSourceLanguage_C, VQStrings_C**))            \
    X(36, getVQFile,               GetVQFile,               int(const char*, VQFile_C**))                      \
    X(37, freeVQFile,              FreeVQFile,              int(VQFile_C**))                                   \
    X(38, freeStrings,             FreeStrings,             int(VQStrings_C**))                                \
    X(39, initResults,             InitResults,             int(const char*, const char*, const char*))        \
    X(40, aggregate,               Aggregate,               void(KERVAggregateCallback))                       \
    X(41, getDiagnostics,          GetDiagnostics,          int(const char*, VQMessageArray_C*,                \
                                                                VQRuleArray_C*, VQSuppressionState_C,          \
                                                                VQDiagnosticArray_C**))                        \
    X(42, getIncludedFiles,        GetIncludeFiles,         int(VQFilePathArray_C**))                          \
    X(43, getRuleGroups,           GetRuleGroups,           int(VQRuleGroupArray_C**))                         \
    X(44, getMessageRuleMap,       GetMessageRuleMap,       int(VQMessageRuleMap_C**))                         \
    X(45, freeDiagnostics,         FreeDiagnostics,         int(VQDiagnosticArray_C**))                        \
    X(46, freeFilePaths,           FreeFilePaths,           int(VQFilePathArray_C**))                          \
    X(47, freeRuleGroups,          FreeRuleGroups,          int(VQRuleGroupArray_C**))                         \
    X(48, freeMessageRuleMap,      FreeMessageRuleMap,      int(VQMessageRuleMap_C**))                         \
    X(49, getTrees,                GetTrees,                int(VQTrees_C**, bool, unsigned int, char**))      \
    X(50, freeTrees,               FreeTrees,               int(VQTrees_C**))                                  \
    X(51, hasResults,              HasResults,              uint8_t(const char*))                              \
    X(52, hasUptoDateResults,      HasUpToDateResults,      uint8_t(const char*))
// clang-format on

namespace kerv {

enum class EntryPoint : std::size_t {
#define KERV_ENUMERATE(slot, entryPoint, Method, Signature) entryPoint = (slot),
    KERV_ENTRY_POINTS(KERV_ENUMERATE)
#undef KERV_ENUMERATE
};

inline constexpr std::size_t kEntryPointCount = 0
// NOLINTNEXTLINE(bugprone-macro-parentheses): each expansion is one term of the sum
#define KERV_COUNT(slot, entryPoint, Method, Signature) +1
    KERV_ENTRY_POINTS(KERV_COUNT)
#undef KERV_COUNT
    ;
static_assert(kEntryPointCount == 53, "the analysis library has 53 entry points");

// Look-up names, indexed by slot.
inline constexpr const char* kEntryPointNames[kEntryPointCount] = {
#define KERV_NAME(slot, entryPoint, Method, Signature) #entryPoint,
    KERV_ENTRY_POINTS(KERV_NAME)
#undef KERV_NAME
};

namespace detail {
inline constexpr std::size_t kListedSlots[kEntryPointCount] = {
#define KERV_SLOT(slot, entryPoint, Method, Signature) (slot),
    KERV_ENTRY_POINTS(KERV_SLOT)
#undef KERV_SLOT
};
constexpr bool slotsAreConsecutive() {
    for (std::size_t i = 0; i < kEntryPointCount; ++i)
        if (kListedSlots[i] != i) return false;
    return true;
}
}  // namespace detail
static_assert(detail::slotsAreConsecutive(), "slots must be listed in order 0..52");

// The C function type of each entry point.
template <EntryPoint E>
struct EntryPointTraits;
#define KERV_TRAITS(slot, entryPoint, Method, Signature)  \
    template <>                                           \
    struct EntryPointTraits<EntryPoint::entryPoint> {     \
        using Function = Signature;                       \
        static constexpr const char* kName = #entryPoint; \
        static constexpr const char* kMethod = #Method;   \
    };
KERV_ENTRY_POINTS(KERV_TRAITS)
#undef KERV_TRAITS

template <EntryPoint E>
using EntryPointFunction = typename EntryPointTraits<E>::Function;

}  // namespace kerv
