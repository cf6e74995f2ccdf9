// The simple wrappers: one guarded call each, described by its argument
// labels, failure value and the few log texts that differ from the rule.
#include <cstdint>
#include <string>
#include <type_traits>

#include "api/KERVApi.h"
#include "api/KERVGuardedCall.h"

using kerv::ByteResult;
using kerv::Guarded;
using E = kerv::EntryPoint;

namespace {

constexpr kerv::NoResult kNothing{};
constexpr const char* kNullPath = "null";
constexpr const char* kNoText = "";
constexpr const char* kNoVersion = "0.0.0";

constexpr const char* kWorkspaceNullSlot =
    "\tAttempt to call KERVApi::GetWorkSpacePath failed because ptr2f is null. %s\n";
constexpr const char* kProjectNullSlot = "\tAttempt to call KERVAPi::IsVQFProject failed because ptr2f is null %s\n";
constexpr const char* kAggregateNullSlot = "\tAttempt to call KERVApi::aggregate failed because ptr2f is null %s\n";
constexpr const char* kFreeFileNullSlot = "\tAttempt to call KERVApi::freeVQFile failed because ptr2f is null %s\n";
constexpr const char* kFreeStringsNullSlot = "\tAttempt to call KERVApi::freeStrings failed because ptr2f is null %s\n";
constexpr const char* kFreeTreesNullSlot = "\tAttempt to call KERVApi::FreeTrees failes because ptr2f is null %s\n";

}  // namespace

// clang-format off

// Life cycle, settings and workspace.
int KERVApi::InitDeployment() { return Guarded<E::initDeploymentInfo>::Call(m_entryPoints, {}, -1); }
void KERVApi::SetBindKey(const char* bindKey) { Guarded<E::setBindKey>::Call(m_entryPoints, {{"bindKey"}}, kNothing, bindKey); }
int KERVApi::InitApi(const char* bindKey) { return Guarded<E::initApi>::Call(m_entryPoints, {{"bindKey"}}, -1, bindKey); }
void KERVApi::ShutdownApi() { Guarded<E::shutdownApi>::Call(m_entryPoints, {}, kNothing); }
void KERVApi::ShutdownApp() { Guarded<E::shutdownApp>::Call(m_entryPoints, {}, kNothing); }
void KERVApi::ClearCachedObjects() { Guarded<E::clearCachedObjects>::Call(m_entryPoints, {}, kNothing); }
const char* KERVApi::GetVersionNumber() { return Guarded<E::getVersionNumber>::Call(m_entryPoints, {}, kNoVersion); }
void KERVApi::SetLogLevel(VQLogLevel_C logLevel) { Guarded<E::setLogLevel>::Call(m_entryPoints, {{"logLevel"}}, kNothing, logLevel); }
int KERVApi::GetLogLevel() { return Guarded<E::getLogLevel>::Call(m_entryPoints, {}, 0); }
void KERVApi::SetCurrentLanguage(VQLanguage_C language) { Guarded<E::setCurrentLanguage>::Call(m_entryPoints, {{"language"}, nullptr, "SetCurrentLanguage"}, kNothing, language); }
int KERVApi::GetCurrentLanguage() { return Guarded<E::getCurrentLanguage>::Call(m_entryPoints, {}, 0); }
void KERVApi::SetWorkspacePath(const char* path) { Guarded<E::setWorkspace>::Call(m_entryPoints, {{"path"}}, kNothing, path); }
const char* KERVApi::GetWorkSpacePath() { return Guarded<E::getWorkspace>::Call(m_entryPoints, {{}, kWorkspaceNullSlot}, kNullPath); }

// Installation and user paths.
const char* KERVApi::GetInstallPath() { return Guarded<E::getInstallPath>::Call(m_entryPoints, {}, kNullPath); }
const char* KERVApi::GetUserPath() { return Guarded<E::getUserPath>::Call(m_entryPoints, {}, kNullPath); }
const char* KERVApi::GetInstallConfigPath() { return Guarded<E::getInstallConfigPath>::Call(m_entryPoints, {}, kNullPath); }
const char* KERVApi::GetInstallBinaryPath() { return Guarded<E::getInstallBinaryPath>::Call(m_entryPoints, {}, kNullPath); }
const char* KERVApi::GetUserAppConfigPath() { return Guarded<E::getUserAppConfigPath>::Call(m_entryPoints, {}, kNullPath); }
const char* KERVApi::GetUserConfigPath() { return Guarded<E::getUserConfigPath>::Call(m_entryPoints, {}, kNullPath); }

// Help and components.
const char* KERVApi::GetVQFHelpFile(bool html) { return Guarded<E::getVQFHelp>::Call(m_entryPoints, {{"html"}}, kNoText, html); }
const char* KERVApi::GetVQFContextHelp(VQHelpContext_C context) { return Guarded<E::getVQFContextHelp>::Call(m_entryPoints, {{"context"}}, kNoText, context); }
const char* KERVApi::GetComponents() { return Guarded<E::getComponents>::Call(m_entryPoints, {}, kNoText); }
const char* KERVApi::GetComponentMessages(const char* name, const char* version) { return Guarded<E::getComponentMessages>::Call(m_entryPoints, {{"name", "version"}}, kNoText, name, version); }

// Projects and files.
int KERVApi::CreateProject(const char* location, const char* name, const char* acfFile, const char* rcfFile, const char* cctFile) { return Guarded<E::createProject>::Call(m_entryPoints, {{"location", "name", "acfFile", "rcfFile", "cctFile"}}, -1, location, name, acfFile, rcfFile, cctFile); }
int KERVApi::AddCCT(const char* cctFilePath) { return Guarded<E::addCCT>::Call(m_entryPoints, {{"cctFilePath"}}, -1, cctFilePath); }
int KERVApi::SetActiveCCT(VQSourceLanguage_C lang, const char* cctFileName) { return Guarded<E::setActiveCCT>::Call(m_entryPoints, {{"lang", "cctFileName"}}, -1, lang, cctFileName); }
int KERVApi::IsVQFProject(const char* location, const char* name) { return Guarded<E::isVQFProject>::Call(m_entryPoints, {{"location", "name"}, kProjectNullSlot, nullptr, ByteResult::IsOne}, 0, location, name); }
int KERVApi::InitProjectMngr(const char* bindKey, const char* location, const char* name) { return Guarded<E::initProjectMngr>::Call(m_entryPoints, {{"bindKey", "location", "name"}}, -1, bindKey, location, name); }
int KERVApi::RemoveFile(const char* filePath) { return Guarded<E::removeFile>::Call(m_entryPoints, {{"filePath"}}, -1, filePath); }
int KERVApi::AddFile(VQSourceLanguage_C targetLanguage, const char* file, unsigned int definesSize, char** defines, unsigned int includesSize, char** includes) { return Guarded<E::addFile>::Call(m_entryPoints, {{"targetLanguage", "file", "definesSize", nullptr, "includesSize", nullptr}}, -1, targetLanguage, file, definesSize, defines, includesSize, includes); }
// The record getIncludedFiles stores is neither read nor released here.
int KERVApi::GetIncludeFiles() { VQFilePathArray_C* paths = nullptr; return Guarded<E::getIncludedFiles>::Call(m_entryPoints, {}, -1, &paths); }

// Results.
int KERVApi::InitResults(const char* bindKey, const char* location, const char* name) { return Guarded<E::initResults>::Call(m_entryPoints, {{"bindKey", "location", "name"}}, -1, bindKey, location, name); }
void KERVApi::Aggregate() { Guarded<E::aggregate>::Call(m_entryPoints, {{}, kAggregateNullSlot}, kNothing, m_aggregateCallback); }
int KERVApi::HasResults(const char* sourceFile) { return Guarded<E::hasResults>::Call(m_entryPoints, {{"sourceFile"}}, 0, sourceFile); }
int KERVApi::HasUpToDateResults(const char* sourceFile) { return Guarded<E::hasUptoDateResults>::Call(m_entryPoints, {{"sourceFile"}}, 0, sourceFile); }

// Release of records handed out by the library.
int KERVApi::FreeVQFile(VQFile_C** file) { return Guarded<E::freeVQFile>::Call(m_entryPoints, {{"file"}, kFreeFileNullSlot}, -1, file); }
int KERVApi::FreeStrings(VQStrings_C** strings) { return Guarded<E::freeStrings>::Call(m_entryPoints, {{}, kFreeStringsNullSlot}, -1, strings); }
int KERVApi::FreeDiagnostics(VQDiagnosticArray_C** diagnostics) { return Guarded<E::freeDiagnostics>::Call(m_entryPoints, {}, -1, diagnostics); }
int KERVApi::FreeFilePaths(VQFilePathArray_C** paths) { return Guarded<E::freeFilePaths>::Call(m_entryPoints, {}, -1, paths); }
int KERVApi::FreeRuleGroups(VQRuleGroupArray_C** ruleGroups) { return Guarded<E::freeRuleGroups>::Call(m_entryPoints, {}, -1, ruleGroups); }
int KERVApi::FreeMessageRuleMap(VQMessageRuleMap_C** map) { return Guarded<E::freeMessageRuleMap>::Call(m_entryPoints, {}, -1, map); }
int KERVApi::FreeTrees(VQTrees_C** trees) { return Guarded<E::freeTrees>::Call(m_entryPoints, {{}, kFreeTreesNullSlot}, -1, trees); }
void KERVApi::FreeLanguages(VQLanguages_C** languages) { Guarded<E::freeLanguages>::Call(m_entryPoints, {}, kNothing, languages); }

// clang-format on

// Every method named in the entry-point list has the type its entry point's
// signature gives it: a plain call takes the entry point's arguments and
// returns its result (a one-byte truth value widened to int); a getter drops
// the record pointers it fetches and returns their text.
namespace {

template <class T>
struct Widened {
    using type = T;
};
template <>
struct Widened<uint8_t> {
    using type = int;
};

template <class T>
constexpr bool kIsRecordOut = false;
template <class T>
constexpr bool kIsRecordOut<T**> = std::is_class_v<T>;

template <class... A>
struct Params {};

template <class Kept, class... A>
struct WithoutRecords {
    using type = Kept;
};
template <class... K, class A, class... Rest>
struct WithoutRecords<Params<K...>, A, Rest...>
    : WithoutRecords<std::conditional_t<kIsRecordOut<A>, Params<K...>, Params<K..., A>>, Rest...> {};

template <class R, class P>
struct MethodOf;
template <class R, class... A>
struct MethodOf<R, Params<A...>> {
    using type = R (KERVApi::*)(A...);
};

template <class Signature>
struct Shapes;
template <class R, class... A>
struct Shapes<R(A...)> {
    using Plain = typename MethodOf<typename Widened<R>::type, Params<A...>>::type;
    using Getter = typename MethodOf<std::string, typename WithoutRecords<Params<>, A...>::type>::type;
};

// The methods whose type follows neither rule, each for the reason given.
template <E Entry>
struct OwnShape {
    using type = void;
};
template <>  // asks for the extensions of C and of C++ and returns both
struct OwnShape<E::getMappedFileExtensions> {
    using type = std::string (KERVApi::*)();
};
template <>  // passes the callback set by SetAggregateCallback
struct OwnShape<E::aggregate> {
    using type = void (KERVApi::*)();
};
template <>  // leaves the record it fetches in the library
struct OwnShape<E::getIncludedFiles> {
    using type = int (KERVApi::*)();
};

template <E Entry, class Method>
constexpr bool HasListedShape() {
    using Own = typename OwnShape<Entry>::type;
    using Listed = Shapes<kerv::EntryPointFunction<Entry>>;
    if constexpr (!std::is_void_v<Own>)
        return std::is_same_v<Method, Own>;
    else
        return std::is_same_v<Method, typename Listed::Plain> || std::is_same_v<Method, typename Listed::Getter>;
}

}  // namespace

#define KERV_METHOD_SHAPE(slot, entryPoint, Method, Signature)                 \
    static_assert(HasListedShape<E::entryPoint, decltype(&KERVApi::Method)>(), \
                  "KERVApi::" #Method " does not have the type that " #entryPoint "'s signature gives it");
KERV_ENTRY_POINTS(KERV_METHOD_SHAPE)
#undef KERV_METHOD_SHAPE
