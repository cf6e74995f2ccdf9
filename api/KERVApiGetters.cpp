// The composite getters: fetch a record through one entry point, turn it into
// text (XML or a ";"-separated list) and hand it back to the library's free
// function. Records belong to the library; only the returned text is ours.
#include <cstdio>
#include <string>

#include "api/KERVApi.h"
#include "api/KERVGuardedCall.h"
#include "utils/DiagnosticWriter.h"
#include "utils/RuleWriter.h"
#include "utils/TreeWriter.h"

using kerv::EnterCall;
using kerv::Guarded;
using Utils::Logger::Log;
using E = kerv::EntryPoint;

namespace {

constexpr const char* kGetTreesNullSlot = "\tAttempt to call KERVApi::GetTrees failed because ptr2f is null%s\n";

// Appends the texts of `list` separated by ";" (a;b;c), nothing for an empty
// list. A null text counts as empty.
void AppendJoined(std::string& text, const VQStrings_C* list) {
    for (uint32_t i = 0; i < list->count; ++i) {
        if (i > 0) text += ';';
        if (list->strings[i] != nullptr) text += list->strings[i];
    }
}

std::string Joined(const VQStrings_C* list) {
    std::string text;
    AppendJoined(text, list);
    return text;
}

int CountOf(uint32_t count) {
    return static_cast<int>(count);
}

}  // namespace

std::string KERVApi::GetTrees(bool flag, unsigned int itemCount, char** items) {
    auto* getTrees = EnterCall<E::getTrees>(m_entryPoints, kGetTreesNullSlot);
    if (getTrees == nullptr) return std::string();

    VQTrees_C* trees = nullptr;
    const int result = getTrees(&trees, flag, itemCount, items);
    std::printf("call result: %d\n", result);
    Log(2, "\t< Result: %d\n", result);

    std::string text;
    if (result == 0 && trees != nullptr) text = Utils::SerializeTrees(trees);
    if (trees != nullptr) FreeTrees(&trees);
    return text;
}

std::string KERVApi::GetMappedFileExtensions() {
    auto* getExtensions = EnterCall<E::getMappedFileExtensions>(m_entryPoints);
    if (getExtensions == nullptr) return std::string();

    VQStrings_C* list = nullptr;
    auto fetch = [&](VQSourceLanguage_C language, const char* languageName) {
        list = nullptr;
        Log(2, "\t> API CALL - %s\n", "getMappedFileExtensions");
        Log(2, "\t\t language - %s\n", languageName);
        const int result = getExtensions(language, &list);
        Log(2, "\t< Result: %d\n", result);
        return result == 0 && list != nullptr;
    };

    // A list that comes with a non-zero result is dropped unread.
    std::string text;
    if (fetch(VQ_SOURCE_LANGUAGE_C, "C")) {
        AppendJoined(text, list);
        FreeStrings(&list);
    }
    if (fetch(VQ_SOURCE_LANGUAGE_CPP, "CPP")) {
        if (list->count != 0 && !text.empty()) text += ';';
        AppendJoined(text, list);
        FreeStrings(&list);
    }
    return text;
}

// The file list is read but not released: which free function owns it is
// not known, so the pointer is dropped.
std::string KERVApi::GetFiles() {
    auto* getFiles = EnterCall<E::getFiles>(m_entryPoints);
    if (getFiles == nullptr) return std::string();

    VQStrings_C* files = nullptr;
    const int result = Guarded<E::getFiles>::Invoke(getFiles, {}, &files);
    return result == 0 && files != nullptr ? Joined(files) : std::string();
}

// Unlike the other getters, a non-zero result means success here.
std::string KERVApi::GetCMAProjectList() {
    auto* getProjects = EnterCall<E::getCMAProjectList>(m_entryPoints);
    if (getProjects == nullptr) return std::string();

    VQStrings_C* projects = nullptr;
    const int result = Guarded<E::getCMAProjectList>::Invoke(getProjects, {}, &projects);
    if (projects == nullptr) {
        Log(2, "\t< Project List is %s\n", "NULL");
        return std::string();
    }
    if (result == 0) return std::string();

    Log(2, "\t< Project List Size: %d\n", CountOf(projects->count));
    std::string text = Joined(projects);
    FreeStrings(&projects);
    return text;
}

// Unlike the other getters, a non-zero result means success here.
std::string KERVApi::GetReportTools() {
    auto* getTools = EnterCall<E::getReportTools>(m_entryPoints);
    if (getTools == nullptr) return std::string();

    VQStrings_C* tools = nullptr;
    const int result = Guarded<E::getReportTools>::Invoke(getTools, {}, &tools);
    if (result == 0 || tools == nullptr) return std::string();

    Log(2, "\t< Report Tools List Size: %d\n", CountOf(tools->count));
    std::string text = Joined(tools);
    FreeStrings(&tools);
    return text;
}

std::string KERVApi::GetMessageRuleMap() {
    auto* getMap = EnterCall<E::getMessageRuleMap>(m_entryPoints);
    if (getMap == nullptr) return std::string();

    VQMessageRuleMap_C* map = nullptr;
    Guarded<E::getMessageRuleMap>::Invoke(getMap, {}, &map);
    if (map == nullptr) return std::string();

    Log(2, "\tMap size: %d\n", CountOf(map->count));
    std::string text = Utils::SerializeMessageRuleMap(map);
    FreeMessageRuleMap(&map);
    return text;
}

std::string KERVApi::GetRuleGroups() {
    auto* getGroups = EnterCall<E::getRuleGroups>(m_entryPoints);
    if (getGroups == nullptr) return std::string();

    VQRuleGroupArray_C* groups = nullptr;
    Guarded<E::getRuleGroups>::Invoke(getGroups, {}, &groups);
    if (groups == nullptr) return std::string();

    Log(2, "\tRule group size: %d\n", CountOf(groups->count));
    std::string text = Utils::SerializeRuleGroups(groups);
    FreeRuleGroups(&groups);
    return text;
}

std::string KERVApi::GetDiagnostics(const char* filepath, VQMessageArray_C* messages, VQRuleArray_C* rules,
                                    VQSuppressionState_C mask) {
    auto* getDiagnostics = EnterCall<E::getDiagnostics>(m_entryPoints);
    if (getDiagnostics == nullptr) return std::string();

    Log(2, "\t> API CALL - %s\n", "getDiagnostics");
    Log(2, "\t\t filepath - %s\n", kerv::detail::Printable(filepath));
    Log(2, "\t\t messages null? - %d\n", messages == nullptr ? 1 : 0);
    Log(2, "\t\t rules null? - %d\n", rules == nullptr ? 1 : 0);
    Log(2, "\t\t mask - %d\n", mask);
    VQDiagnosticArray_C* diagnostics = nullptr;
    const int result = getDiagnostics(filepath, messages, rules, mask, &diagnostics);
    Log(2, "\t< Result: %d\n", result);

    std::string text;
    if (diagnostics != nullptr) {
        Log(2, "\tDagnostics array size: %d\n", CountOf(diagnostics->count));
        if (diagnostics->count != 0) text = Utils::SerializeDiagnosticArray(diagnostics);
    }
    FreeDiagnostics(&diagnostics);
    return text;
}

std::string KERVApi::GetVQFile(const char* filepath) {
    auto* getFile = EnterCall<E::getVQFile>(m_entryPoints);
    if (getFile == nullptr) return std::string();

    VQFile_C* file = nullptr;
    const int result = Guarded<E::getVQFile>::Invoke(getFile, {{"filepath"}}, filepath, &file);
    std::string text = result == 0 && file != nullptr ? Utils::SerializeVQFile(file) : std::string();
    FreeVQFile(&file);
    return text;
}

std::string KERVApi::GetAvailableLanguages() {
    auto* getLanguages = EnterCall<E::getAvailableLanguages>(m_entryPoints);
    if (getLanguages == nullptr) return std::string();

    VQLanguages_C* languages = nullptr;
    Guarded<E::getAvailableLanguages>::Invoke(getLanguages, {}, &languages);
    std::string text = languages != nullptr ? Utils::SerializeLanguages(languages) : std::string();
    FreeLanguages(&languages);
    return text;
}
