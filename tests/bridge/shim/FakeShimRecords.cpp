// Records built for the stand-in to hand out: string lists, diagnostics,
// trees, rule groups, message-rule maps, file settings and languages.
#include <cstring>

#include "api/KERVRecords.h"
#include "com_quorvel_bridge_test_Fake.h"
#include "tests/bridge/shim/FakeShim.h"

namespace kerv::test {
namespace {

std::vector<std::unique_ptr<char[]>> g_arena;

// A counted array of `count` element pointers.
template <typename Record>
Record* countedArray(std::size_t count) {
    auto* record = static_cast<Record*>(arenaAllocate(8 + count * sizeof(void*)));
    record->count = static_cast<uint32_t>(count);
    return record;
}

template <typename Record>
Record* textArray(const std::vector<std::string>& texts) {
    auto* record = countedArray<Record>(texts.size());
    auto** slots = reinterpret_cast<char**>(reinterpret_cast<char*>(record) + 8);
    for (std::size_t i = 0; i < texts.size(); ++i) slots[i] = arenaText(texts[i]);
    return record;
}

template <typename Record>
Record* zeroed() {
    return static_cast<Record*>(arenaAllocate(sizeof(Record)));
}

VQMessage_C* message(const std::string& id, const std::string& text) {
    auto* message = zeroed<VQMessage_C>();
    message->uniqueMessageID = arenaText(id);
    message->helpFileLocation = arenaText("help/" + id + ".html");
    message->messageLevel = 2;
    message->messageNumber = arenaText("42");
    message->messageText = arenaText(text);
    message->producer = arenaText("fake");
    message->references = textArray<VQReferenceArray_C>({"CWE-476"});
    return message;
}

DiagnosticStruct* diagnostic(VQMessage_C* message, const std::string& file, int line, int column) {
    auto* diagnostic = zeroed<DiagnosticStruct>();
    diagnostic->message = message;
    diagnostic->messageParameters = textArray<VQParameterArray_C>({"p1"});
    auto* location = zeroed<LocationStruct>();
    location->file = arenaText(file);
    location->line = line;
    location->column = column;
    diagnostic->locationInformation = countedArray<VQLocationArray_C>(1);
    diagnostic->locationInformation->locations[0] = location;
    return diagnostic;
}

VQTreeStruct* treeNode(int type, const std::string& name, int total, int active) {
    auto* node = zeroed<VQTreeStruct>();
    node->type = static_cast<VQTreeItemType_C>(type);
    node->name = arenaText(name);
    node->data = arenaText("data-" + std::to_string(type));
    node->total = total;
    node->active = active;
    return node;
}

}  // namespace

void* arenaAllocate(std::size_t bytes) {
    g_arena.push_back(std::make_unique<char[]>(bytes));
    std::memset(g_arena.back().get(), 0, bytes);
    return g_arena.back().get();
}

char* arenaText(const std::string& text) {
    char* copy = static_cast<char*>(arenaAllocate(text.size() + 1));
    std::memcpy(copy, text.data(), text.size());
    return copy;
}

void clearArena() {
    g_arena.clear();
}

}  // namespace kerv::test

using namespace kerv::test;

extern "C" {

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_test_Fake_setStrings(JNIEnv* env, jclass, jstring entryPoint,
                                                                     jint callIndex, jobjectArray texts) {
    return scriptRecord(env, utfText(env, entryPoint), callIndex, textArray<VQStrings_C>(textList(env, texts)));
}

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_test_Fake_setDiagnostics(JNIEnv* env, jclass, jstring jMessageId,
                                                                         jbyteArray messageText, jstring jFile,
                                                                         jint line, jint column) {
    std::string file = utfText(env, jFile);
    VQMessage_C* mainMessage = message(utfText(env, jMessageId), byteText(env, messageText));
    DiagnosticStruct* main = diagnostic(mainMessage, file, line, column);
    main->hasSubDiagnostics = 1;
    main->subDiagnostics = countedArray<VQDiagnosticArray_C>(1);
    main->subDiagnostics->diagnostics[0] = diagnostic(message("note", "declared here"), file, line - 1, 1);
    auto* diagnostics = countedArray<VQDiagnosticArray_C>(1);
    diagnostics->diagnostics[0] = main;
    return scriptRecord(env, "getDiagnostics", -1, diagnostics);
}

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_test_Fake_setTrees(JNIEnv* env, jclass, jbyteArray fileName, jint total,
                                                                   jint active) {
    auto* trees = zeroed<VQTrees_C>();
    trees->fileTree = treeNode(0, "project", total, active);
    trees->fileTree->subItems = countedArray<VQTreeArray_C>(1);
    trees->fileTree->subItems->items[0] = treeNode(1, byteText(env, fileName), total, active);
    trees->ruleTree = treeNode(2, "rules", total, active);
    trees->messageTree = treeNode(3, "messages", total, active);
    return scriptRecord(env, "getTrees", -1, trees);
}

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_test_Fake_setRuleGroups(JNIEnv* env, jclass, jstring groupName,
                                                                        jstring ruleId, jbyteArray ruleText) {
    auto* rule = zeroed<RuleStruct>();
    rule->ruleGroup = arenaText(utfText(env, groupName));
    rule->helpFileLocation = arenaText("rules.html");
    rule->ruleId = arenaText(utfText(env, ruleId));
    rule->ruleText = arenaText(byteText(env, ruleText));
    rule->isActive = 1;
    rule->ruleUID = arenaText("uid-1");
    rule->categories = textArray<VQCategoryArray_C>({"CWE-476"});
    auto* group = zeroed<RuleGroupStruct>();
    group->ruleGroupName = arenaText(utfText(env, groupName));
    group->rules = countedArray<VQRuleArray_C>(1);
    group->rules->rules[0] = rule;
    auto* groups = countedArray<VQRuleGroupArray_C>(1);
    groups->ruleGroups[0] = group;
    return scriptRecord(env, "getRuleGroups", -1, groups);
}

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_test_Fake_setMessageRuleMap(JNIEnv* env, jclass, jstring messageId,
                                                                            jobjectArray ruleIds) {
    std::vector<std::string> ids = textList(env, ruleIds);
    auto* mapping = static_cast<VQMessageMapping_C*>(arenaAllocate(16 + ids.size() * sizeof(char*)));
    mapping->uniqueMessageID = arenaText(utfText(env, messageId));
    mapping->ruleIdCount = static_cast<uint32_t>(ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) mapping->ruleIds[i] = arenaText(ids[i]);
    auto* map = countedArray<VQMessageRuleMap_C>(1);
    map->mappings[0] = mapping;
    return scriptRecord(env, "getMessageRuleMap", -1, map);
}

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_test_Fake_setVQFile(JNIEnv* env, jclass, jint sourceLanguage,
                                                                    jobjectArray defines, jobjectArray includes) {
    auto* file = zeroed<VQFile_C>();
    file->sourceLanguage = static_cast<VQSourceLanguage_C>(sourceLanguage);
    file->defines = textArray<VQDefines_C>(textList(env, defines));
    std::vector<std::string> paths = textList(env, includes);
    file->includes = static_cast<VQIncludes_C*>(arenaAllocate(8 + paths.size() * sizeof(VQInclude_C)));
    file->includes->count = static_cast<uint32_t>(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) file->includes->includes[i].includePath = arenaText(paths[i]);
    return scriptRecord(env, "getVQFile", -1, file);
}

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_test_Fake_setLanguages(JNIEnv* env, jclass, jintArray jLanguages) {
    jsize count = env->GetArrayLength(jLanguages);
    auto* languages = static_cast<VQLanguages_C*>(arenaAllocate(4 + static_cast<std::size_t>(count) * 4));
    languages->count = static_cast<uint32_t>(count);
    env->GetIntArrayRegion(jLanguages, 0, count, reinterpret_cast<jint*>(languages->languages));
    return scriptRecord(env, "getAvailableLanguages", -1, languages);
}

}  // extern "C"
