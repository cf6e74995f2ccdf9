// Scriptable stand-in for the analysis library. Each entry point journals its
// arguments and returns what the test scripted (FakeControl.h).
//
// Built twice: libKERVFake.so exports all 53 entry points; with
// KERV_FAKE_PARTIAL defined, libKERVFakePartial.so leaves out the names in
// kPartialMissing below.
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "api/KERVEntryPoints.h"
#include "tests/fake/FakeControl.h"

// Every definition below must match these declarations, or it does not compile.
#define KERV_DECLARE(slot, entryPoint, Method, Signature) \
    extern "C" kerv::EntryPointFunction<kerv::EntryPoint::entryPoint> entryPoint;
KERV_ENTRY_POINTS(KERV_DECLARE)
#undef KERV_DECLARE

namespace {

using E = kerv::EntryPoint;

enum class Returns { Nothing, Number, Text };

template <typename Function>
struct ReturnsOf;
template <typename Returned, typename... Arguments>
struct ReturnsOf<Returned(Arguments...)> {
    static constexpr Returns value = std::is_void_v<Returned>                ? Returns::Nothing
                                     : std::is_same_v<Returned, const char*> ? Returns::Text
                                                                             : Returns::Number;
};

constexpr Returns kReturns[kerv::kEntryPointCount] = {
#define KERV_RETURNS(slot, entryPoint, Method, Signature) ReturnsOf<Signature>::value,
    KERV_ENTRY_POINTS(KERV_RETURNS)
#undef KERV_RETURNS
};

struct Script {
    int result = 0;
    std::map<int, int> resultOfCall;
    void* record = nullptr;
    std::map<int, void*> recordOfCall;
    std::string text;
    bool nullText = false;
    int calls = 0;
};

Script g_scripts[kerv::kEntryPointCount];
std::vector<unsigned int> g_progress;
bool g_progressOnOwnThread = false;
std::string g_journal;

int SlotOf(const char* name) {
    if (name == nullptr) return -1;
    for (std::size_t slot = 0; slot < kerv::kEntryPointCount; ++slot)
        if (std::string(kerv::kEntryPointNames[slot]) == name) return static_cast<int>(slot);
    return -1;
}

std::string Hex(const void* pointer) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%p", pointer);
    return buffer;
}

std::string Quoted(const char* text) {
    if (text == nullptr) return "null";
    std::string quoted = "\"";
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c != 0; ++c) {
        if (*c == '"' || *c == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(*c);
        } else if (*c < 0x20 || *c > 0x7e) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", *c);
            quoted += escaped;
        } else {
            quoted += static_cast<char>(*c);
        }
    }
    return quoted + "\"";
}

// One call of one entry point: counts it, builds its journal line and hands
// out what was scripted for it. The line is journaled when the call ends.
class Call {
public:
    explicit Call(E entryPoint) : m_script(g_scripts[static_cast<std::size_t>(entryPoint)]), m_index(m_script.calls++) {
        m_line = kerv::kEntryPointNames[static_cast<std::size_t>(entryPoint)];
        m_line += '(';
    }
    ~Call() { g_journal += m_line + ")\n"; }

    Call& Text(const char* text) { return Add(Quoted(text)); }
    Call& Number(long long number) { return Add(std::to_string(number)); }
    Call& Texts(char** texts, unsigned int count) {
        if (texts == nullptr) return Add("null");
        std::string list = "[";
        for (unsigned int i = 0; i < count; ++i) list += (i > 0 ? "," : "") + Quoted(texts[i]);
        return Add(list + "]");
    }
    Call& Address(const void* record) { return Add(record != nullptr ? Hex(record) : "null"); }
    Call& Callback(KERVAggregateCallback callback) { return Add(callback != nullptr ? "fn" : "null"); }

    template <typename Record>
    int Store(Record** out) {
        Add(out != nullptr ? "out" : "null");
        if (out != nullptr) {
            auto scripted = m_script.recordOfCall.find(m_index);
            *out = static_cast<Record*>(scripted != m_script.recordOfCall.end() ? scripted->second : m_script.record);
        }
        return Result();
    }
    template <typename Record>
    int Free(Record** pp) {
        if (pp == nullptr) {
            Add("pp=null");
        } else {
            Add("*pp=" + (*pp != nullptr ? Hex(*pp) : std::string("null")));
            *pp = nullptr;
        }
        return Result();
    }

    int Result() const {
        auto scripted = m_script.resultOfCall.find(m_index);
        return scripted != m_script.resultOfCall.end() ? scripted->second : m_script.result;
    }
    uint8_t Byte() const { return static_cast<uint8_t>(Result()); }
    const char* ReturnedText() const { return m_script.nullText ? nullptr : m_script.text.c_str(); }

private:
    Call& Add(const std::string& argument) {
        if (m_line.back() != '(') m_line += ", ";
        m_line += argument;
        return *this;
    }

    Script& m_script;
    int m_index;
    std::string m_line;
};

}  // namespace

// ---- Control ----------------------------------------------------------------

extern "C" {

void kervFakeReset(void) {
    for (Script& script : g_scripts) script = Script();
    g_progress.clear();
    g_progressOnOwnThread = false;
    g_journal.clear();
}

int kervFakeSetResult(const char* entryPoint, int value) {
    const int slot = SlotOf(entryPoint);
    if (slot < 0 || kReturns[slot] != Returns::Number) return -1;
    g_scripts[slot].result = value;
    return 0;
}

int kervFakeSetResultOfCall(const char* entryPoint, int callIndex, int value) {
    const int slot = SlotOf(entryPoint);
    if (slot < 0 || kReturns[slot] != Returns::Number || callIndex < 0) return -1;
    g_scripts[slot].resultOfCall[callIndex] = value;
    return 0;
}

int kervFakeSetText(const char* entryPoint, const char* text) {
    const int slot = SlotOf(entryPoint);
    if (slot < 0 || kReturns[slot] != Returns::Text) return -1;
    g_scripts[slot].nullText = text == nullptr;
    g_scripts[slot].text = text != nullptr ? text : "";
    return 0;
}

int kervFakeSetRecord(const char* entryPoint, void* record) {
    const int slot = SlotOf(entryPoint);
    if (slot < 0) return -1;
    g_scripts[slot].record = record;
    return 0;
}

int kervFakeSetRecordOfCall(const char* entryPoint, int callIndex, void* record) {
    const int slot = SlotOf(entryPoint);
    if (slot < 0 || callIndex < 0) return -1;
    g_scripts[slot].recordOfCall[callIndex] = record;
    return 0;
}

void kervFakeSetProgress(const unsigned int* values, unsigned int count) {
    g_progress.assign(values, values + (values != nullptr ? count : 0));
}

void kervFakeSetProgressOnOwnThread(int onOwnThread) {
    g_progressOnOwnThread = onOwnThread != 0;
}

const char* kervFakeJournal(void) {
    return g_journal.c_str();
}

int kervFakeCallCount(const char* entryPoint) {
    const int slot = SlotOf(entryPoint);
    return slot < 0 ? -1 : g_scripts[slot].calls;
}

// ---- Entry points -----------------------------------------------------------

// Names missing from libKERVFakePartial.so: hasResults, getTrees, freeTrees,
// getWorkspace, getVersionNumber, isVQFProject, freeStrings,
// setCurrentLanguage.
#ifndef KERV_FAKE_PARTIAL
#define KERV_FAKE_FULL 1
#else
#define KERV_FAKE_FULL 0
#endif

int initDeploymentInfo() {
    return Call(E::initDeploymentInfo).Result();
}
void setBindKey(const char* bindKey) {
    Call(E::setBindKey).Text(bindKey);
}
int initApi(const char* bindKey) {
    return Call(E::initApi).Text(bindKey).Result();
}
void shutdownApi() {
    Call call(E::shutdownApi);
}
void shutdownApp() {
    Call call(E::shutdownApp);
}
void clearCachedObjects() {
    Call call(E::clearCachedObjects);
}
const char* getInstallPath() {
    return Call(E::getInstallPath).ReturnedText();
}
const char* getUserPath() {
    return Call(E::getUserPath).ReturnedText();
}
const char* getInstallConfigPath() {
    return Call(E::getInstallConfigPath).ReturnedText();
}
int getReportTools(VQStrings_C** tools) {
    return Call(E::getReportTools).Store(tools);
}
const char* getInstallBinaryPath() {
    return Call(E::getInstallBinaryPath).ReturnedText();
}
const char* getUserAppConfigPath() {
    return Call(E::getUserAppConfigPath).ReturnedText();
}
const char* getUserConfigPath() {
    return Call(E::getUserConfigPath).ReturnedText();
}
int getCMAProjectList(VQStrings_C** projects) {
    return Call(E::getCMAProjectList).Store(projects);
}
int getCurrentLanguage() {
    return Call(E::getCurrentLanguage).Result();
}
#if KERV_FAKE_FULL
void setCurrentLanguage(VQLanguage_C language) {
    Call(E::setCurrentLanguage).Number(language);
}
#endif
void getAvailableLanguages(VQLanguages_C** languages) {
    Call(E::getAvailableLanguages).Store(languages);
}
void freeLanguages(VQLanguages_C** languages) {
    Call(E::freeLanguages).Free(languages);
}
void setWorkspace(const char* path) {
    Call(E::setWorkspace).Text(path);
}
#if KERV_FAKE_FULL
const char* getWorkspace() {
    return Call(E::getWorkspace).ReturnedText();
}
#endif
int getLogLevel() {
    return Call(E::getLogLevel).Result();
}
void setLogLevel(VQLogLevel_C level) {
    Call(E::setLogLevel).Number(level);
}
#if KERV_FAKE_FULL
const char* getVersionNumber() {
    return Call(E::getVersionNumber).ReturnedText();
}
#endif
const char* getVQFHelp(bool html) {
    return Call(E::getVQFHelp).Number(html).ReturnedText();
}
const char* getVQFContextHelp(VQHelpContext_C context) {
    return Call(E::getVQFContextHelp).Number(context).ReturnedText();
}
const char* getComponents() {
    return Call(E::getComponents).ReturnedText();
}
const char* getComponentMessages(const char* name, const char* version) {
    return Call(E::getComponentMessages).Text(name).Text(version).ReturnedText();
}
int createProject(const char* location, const char* name, const char* acfFile, const char* rcfFile,
                  const char* cctFile) {
    return Call(E::createProject).Text(location).Text(name).Text(acfFile).Text(rcfFile).Text(cctFile).Result();
}
int addCCT(const char* cctFilePath) {
    return Call(E::addCCT).Text(cctFilePath).Result();
}
int setActiveCCT(VQSourceLanguage_C lang, const char* cctFileName) {
    return Call(E::setActiveCCT).Number(lang).Text(cctFileName).Result();
}
#if KERV_FAKE_FULL
uint8_t isVQFProject(const char* location, const char* name) {
    return Call(E::isVQFProject).Text(location).Text(name).Byte();
}
#endif
int initProjectMngr(const char* bindKey, const char* location, const char* name) {
    return Call(E::initProjectMngr).Text(bindKey).Text(location).Text(name).Result();
}
int removeFile(const char* filePath) {
    return Call(E::removeFile).Text(filePath).Result();
}
int addFile(VQSourceLanguage_C targetLanguage, const char* file, unsigned int definesSize, char** defines,
            unsigned int includesSize, char** includes) {
    return Call(E::addFile)
        .Number(targetLanguage)
        .Text(file)
        .Number(definesSize)
        .Texts(defines, definesSize)
        .Number(includesSize)
        .Texts(includes, includesSize)
        .Result();
}
int getFiles(VQStrings_C** files) {
    return Call(E::getFiles).Store(files);
}
int getMappedFileExtensions(VQSourceLanguage_C language, VQStrings_C** extensions) {
    return Call(E::getMappedFileExtensions).Number(language).Store(extensions);
}
int getVQFile(const char* filepath, VQFile_C** file) {
    return Call(E::getVQFile).Text(filepath).Store(file);
}
int freeVQFile(VQFile_C** file) {
    return Call(E::freeVQFile).Free(file);
}
#if KERV_FAKE_FULL
int freeStrings(VQStrings_C** strings) {
    return Call(E::freeStrings).Free(strings);
}
#endif
int initResults(const char* bindKey, const char* location, const char* name) {
    return Call(E::initResults).Text(bindKey).Text(location).Text(name).Result();
}
void aggregate(KERVAggregateCallback callback) {
    { Call(E::aggregate).Callback(callback); }
    if (callback == nullptr) return;
    auto report = [callback, values = g_progress] {
        for (unsigned int progress : values) callback(progress);
    };
    if (g_progressOnOwnThread) {
        std::thread(report).join();
    } else {
        report();
    }
}
int getDiagnostics(const char* filepath, VQMessageArray_C* messages, VQRuleArray_C* rules, VQSuppressionState_C mask,
                   VQDiagnosticArray_C** diagnostics) {
    return Call(E::getDiagnostics).Text(filepath).Address(messages).Address(rules).Number(mask).Store(diagnostics);
}
int getIncludedFiles(VQFilePathArray_C** paths) {
    return Call(E::getIncludedFiles).Store(paths);
}
int getRuleGroups(VQRuleGroupArray_C** groups) {
    return Call(E::getRuleGroups).Store(groups);
}
int getMessageRuleMap(VQMessageRuleMap_C** map) {
    return Call(E::getMessageRuleMap).Store(map);
}
int freeDiagnostics(VQDiagnosticArray_C** diagnostics) {
    return Call(E::freeDiagnostics).Free(diagnostics);
}
int freeFilePaths(VQFilePathArray_C** paths) {
    return Call(E::freeFilePaths).Free(paths);
}
int freeRuleGroups(VQRuleGroupArray_C** groups) {
    return Call(E::freeRuleGroups).Free(groups);
}
int freeMessageRuleMap(VQMessageRuleMap_C** map) {
    return Call(E::freeMessageRuleMap).Free(map);
}
#if KERV_FAKE_FULL
int getTrees(VQTrees_C** trees, bool flag, unsigned int itemCount, char** items) {
    Call call(E::getTrees);
    const int result = call.Store(trees);
    call.Number(flag).Number(itemCount).Texts(items, itemCount);
    return result;
}
int freeTrees(VQTrees_C** trees) {
    return Call(E::freeTrees).Free(trees);
}
uint8_t hasResults(const char* sourceFile) {
    return Call(E::hasResults).Text(sourceFile).Byte();
}
#endif
uint8_t hasUptoDateResults(const char* sourceFile) {
    return Call(E::hasUptoDateResults).Text(sourceFile).Byte();
}

}  // extern "C"
