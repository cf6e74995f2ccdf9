// The composite getters: fetch a record through one entry point, turn it into
// text (XML or a ";"-separated list) and hand it back to the library's free
// function. Records belong to the library; only the returned text is ours.
// Each record is held in a LibraryRecord, so it goes back also when writing
// its text fails; such a failure gives the empty text and a level-1 line.
#include <cstdio>
#include <exception>
#include <string>

#include "api/KERVApi.h"
#include "api/KERVGuardedCall.h"
#include "api/LibraryRecord.h"
#include "utils/DiagnosticWriter.h"
#include "utils/RuleWriter.h"
#include "utils/TreeWriter.h"

using kerv::EnterCall;
using kerv::Guarded;
using kerv::LibraryRecord;
using kerv::NullRecord;
using Utils::Logger::Log;
using E = kerv::EntryPoint;

namespace {

constexpr const char* kGetTreesNullSlot = "\tAttempt to call KERVApi::GetTrees failed because ptr2f is null%s\n";

using StringsRecord = LibraryRecord<VQStrings_C, &KERVApi::FreeStrings>;

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

// Runs `write`, which builds the getter's text; when it throws (out of
// memory, a text too long for a string), logs that and gives the empty text.
template <typename Write>
std::string Written(const char* method, Write&& write) noexcept {
    try {
        return write();
    } catch (const std::exception& error) {
        Log(1, "\tKERVApi::%s failed: %s\n", method, error.what());
    } catch (...) {
        Log(1, "\tKERVApi::%s failed: %s\n", method, "unknown error");
    }
    return std::string();
}

}  // namespace

std::string KERVApi::GetTrees(bool flag, unsigned int itemCount, char** items) {
    auto* getTrees = EnterCall<E::getTrees>(m_entryPoints, kGetTreesNullSlot);
    if (getTrees == nullptr) return std::string();

    LibraryRecord<VQTrees_C, &KERVApi::FreeTrees> trees(*this);
    const int result = getTrees(trees.address(), flag, itemCount, items);
    std::printf("call result: %d\n", result);
    Log(2, "\t< Result: %d\n", result);

    if (result != 0 || !trees) return std::string();
    return Written("GetTrees", [&] { return Utils::SerializeTrees(trees.get()); });
}

std::string KERVApi::GetMappedFileExtensions() {
    auto* getExtensions = EnterCall<E::getMappedFileExtensions>(m_entryPoints);
    if (getExtensions == nullptr) return std::string();

    // A list that comes with a non-zero result is dropped unread.
    auto fetch = [&](StringsRecord& list, VQSourceLanguage_C language, const char* languageName) {
        Log(2, "\t> API CALL - %s\n", "getMappedFileExtensions");
        Log(2, "\t\t language - %s\n", languageName);
        const int result = getExtensions(language, list.address());
        Log(2, "\t< Result: %d\n", result);
        if (result == 0 && list) return true;
        list.drop();
        return false;
    };

    return Written("GetMappedFileExtensions", [&] {
        std::string text;
        {
            StringsRecord c(*this);
            if (fetch(c, VQ_SOURCE_LANGUAGE_C, "C")) AppendJoined(text, c.get());
        }
        StringsRecord cpp(*this);
        if (fetch(cpp, VQ_SOURCE_LANGUAGE_CPP, "CPP")) {
            if (cpp->count != 0 && !text.empty()) text += ';';
            AppendJoined(text, cpp.get());
        }
        return text;
    });
}

// The file list is read but not released: which free function owns it is
// not known, so the pointer is dropped.
std::string KERVApi::GetFiles() {
    auto* getFiles = EnterCall<E::getFiles>(m_entryPoints);
    if (getFiles == nullptr) return std::string();

    VQStrings_C* files = nullptr;
    const int result = Guarded<E::getFiles>::Invoke(getFiles, {}, &files);
    if (result != 0 || files == nullptr) return std::string();
    return Written("GetFiles", [files] { return Joined(files); });
}

// Unlike the other getters, a non-zero result means success here.
std::string KERVApi::GetCMAProjectList() {
    auto* getProjects = EnterCall<E::getCMAProjectList>(m_entryPoints);
    if (getProjects == nullptr) return std::string();

    StringsRecord projects(*this);
    const int result = Guarded<E::getCMAProjectList>::Invoke(getProjects, {}, projects.address());
    if (!projects) {
        Log(2, "\t< Project List is %s\n", "NULL");
        return std::string();
    }
    if (result == 0) {
        projects.drop();
        return std::string();
    }

    Log(2, "\t< Project List Size: %d\n", CountOf(projects->count));
    return Written("GetCMAProjectList", [&] { return Joined(projects.get()); });
}

// Unlike the other getters, a non-zero result means success here.
std::string KERVApi::GetReportTools() {
    auto* getTools = EnterCall<E::getReportTools>(m_entryPoints);
    if (getTools == nullptr) return std::string();

    StringsRecord tools(*this);
    const int result = Guarded<E::getReportTools>::Invoke(getTools, {}, tools.address());
    if (result == 0 || !tools) {
        tools.drop();
        return std::string();
    }

    Log(2, "\t< Report Tools List Size: %d\n", CountOf(tools->count));
    return Written("GetReportTools", [&] { return Joined(tools.get()); });
}

std::string KERVApi::GetMessageRuleMap() {
    auto* getMap = EnterCall<E::getMessageRuleMap>(m_entryPoints);
    if (getMap == nullptr) return std::string();

    LibraryRecord<VQMessageRuleMap_C, &KERVApi::FreeMessageRuleMap> map(*this);
    Guarded<E::getMessageRuleMap>::Invoke(getMap, {}, map.address());
    if (!map) return std::string();

    Log(2, "\tMap size: %d\n", CountOf(map->count));
    return Written("GetMessageRuleMap", [&] { return Utils::SerializeMessageRuleMap(map.get()); });
}

std::string KERVApi::GetRuleGroups() {
    auto* getGroups = EnterCall<E::getRuleGroups>(m_entryPoints);
    if (getGroups == nullptr) return std::string();

    LibraryRecord<VQRuleGroupArray_C, &KERVApi::FreeRuleGroups> groups(*this);
    Guarded<E::getRuleGroups>::Invoke(getGroups, {}, groups.address());
    if (!groups) return std::string();

    Log(2, "\tRule group size: %d\n", CountOf(groups->count));
    return Written("GetRuleGroups", [&] { return Utils::SerializeRuleGroups(groups.get()); });
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
    LibraryRecord<VQDiagnosticArray_C, &KERVApi::FreeDiagnostics, NullRecord::Release> diagnostics(*this);
    const int result = getDiagnostics(filepath, messages, rules, mask, diagnostics.address());
    Log(2, "\t< Result: %d\n", result);

    if (!diagnostics) return std::string();
    Log(2, "\tDagnostics array size: %d\n", CountOf(diagnostics->count));
    if (diagnostics->count == 0) return std::string();
    return Written("GetDiagnostics", [&] { return Utils::SerializeDiagnosticArray(diagnostics.get()); });
}

std::string KERVApi::GetVQFile(const char* filepath) {
    auto* getFile = EnterCall<E::getVQFile>(m_entryPoints);
    if (getFile == nullptr) return std::string();

    LibraryRecord<VQFile_C, &KERVApi::FreeVQFile, NullRecord::Release> file(*this);
    const int result = Guarded<E::getVQFile>::Invoke(getFile, {{"filepath"}}, filepath, file.address());
    if (result != 0 || !file) return std::string();
    return Written("GetVQFile", [&] { return Utils::SerializeVQFile(file.get()); });
}

std::string KERVApi::GetAvailableLanguages() {
    auto* getLanguages = EnterCall<E::getAvailableLanguages>(m_entryPoints);
    if (getLanguages == nullptr) return std::string();

    LibraryRecord<VQLanguages_C, &KERVApi::FreeLanguages, NullRecord::Release> languages(*this);
    Guarded<E::getAvailableLanguages>::Invoke(getLanguages, {}, languages.address());
    if (!languages) return std::string();
    return Written("GetAvailableLanguages", [&] { return Utils::SerializeLanguages(languages.get()); });
}
