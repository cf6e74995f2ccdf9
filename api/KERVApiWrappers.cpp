// The simple wrappers: one guarded call each, described by its argument
// labels, failure value and the few log texts that differ from the rule.
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

// Every method named in the entry-point list exists on KERVApi.
#define KERV_METHOD_EXISTS(slot, entryPoint, Method, Signature) \
    static_assert(std::is_member_function_pointer_v<decltype(&KERVApi::Method)>, #Method " is a KERVApi method");
KERV_ENTRY_POINTS(KERV_METHOD_EXISTS)
#undef KERV_METHOD_EXISTS
