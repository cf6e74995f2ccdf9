// Records built for the stand-in to hand out: string lists, diagnostics,
// trees, rule groups, message-rule maps, file settings and languages.
#include "api/KERVRecords.h"
#include "com_quorvel_bridge_test_Fake.h"
#include "tests/bridge/shim/FakeShim.h"

namespace kerv::test {
namespace {

VQMessage_C* message(const std::string& id, const std::string& text) {
    RecordArena& arena = records();
    return arena.Message(id.c_str(), ("help/" + id + ".html").c_str(), 2, "42", text.c_str(), "fake",
                         arena.Texts<VQReferenceArray_C>({"CWE-476"}));
}

DiagnosticStruct* diagnostic(VQMessage_C* message, const std::string& file, int line, int column) {
    RecordArena& arena = records();
    return arena.Make(DiagnosticStruct{message, 0, 0, 0, nullptr, arena.Texts<VQParameterArray_C>({"p1"}),
                                       arena.List<VQLocationArray_C>({arena.Location(file.c_str(), line, column)})});
}

VQTreeStruct* treeNode(int type, const std::string& name, int total, int active) {
    return records().Tree(type, name.c_str(), ("data-" + std::to_string(type)).c_str(), total, active);
}

}  // namespace

RecordArena& records() {
    static RecordArena arena;
    return arena;
}

}  // namespace kerv::test

using namespace kerv::test;

extern "C" {

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_test_Fake_setStrings(JNIEnv* env, jclass, jstring entryPoint,
                                                                     jint callIndex, jobjectArray texts) {
    return scriptRecord(env, utfText(env, entryPoint), callIndex, records().Texts<VQStrings_C>(textList(env, texts)));
}

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_test_Fake_setDiagnostics(JNIEnv* env, jclass, jstring jMessageId,
                                                                         jbyteArray messageText, jstring jFile,
                                                                         jint line, jint column) {
    std::string file = utfText(env, jFile);
    VQMessage_C* mainMessage = message(utfText(env, jMessageId), byteText(env, messageText));
    DiagnosticStruct* main = diagnostic(mainMessage, file, line, column);
    main->hasSubDiagnostics = 1;
    main->subDiagnostics =
        records().List<VQDiagnosticArray_C>({diagnostic(message("note", "declared here"), file, line - 1, 1)});
    return scriptRecord(env, "getDiagnostics", -1, records().List<VQDiagnosticArray_C>({main}));
}

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_test_Fake_setTrees(JNIEnv* env, jclass, jbyteArray fileName, jint total,
                                                                   jint active) {
    VQTreeStruct* fileTree = treeNode(0, "project", total, active);
    fileTree->subItems = records().List<VQTreeArray_C>({treeNode(1, byteText(env, fileName), total, active)});
    auto* trees = records().Make(
        VQTrees_C{fileTree, treeNode(2, "rules", total, active), treeNode(3, "messages", total, active)});
    return scriptRecord(env, "getTrees", -1, trees);
}

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_test_Fake_setRuleGroups(JNIEnv* env, jclass, jstring groupName,
                                                                        jstring ruleId, jbyteArray ruleText) {
    RecordArena& arena = records();
    const std::string group = utfText(env, groupName);
    RuleStruct* rule =
        arena.Rule(utfText(env, ruleId).c_str(), 1, "rules.html", group.c_str(), byteText(env, ruleText).c_str(),
                   "uid-1", arena.Texts<VQCategoryArray_C>({"CWE-476"}));
    auto* groups = arena.List<VQRuleGroupArray_C>(
        {arena.Make(RuleGroupStruct{arena.Text(group), arena.List<VQRuleArray_C>({rule})})});
    return scriptRecord(env, "getRuleGroups", -1, groups);
}

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_test_Fake_setMessageRuleMap(JNIEnv* env, jclass, jstring messageId,
                                                                            jobjectArray ruleIds) {
    RecordArena& arena = records();
    auto* map =
        arena.List<VQMessageRuleMap_C>({arena.Mapping(utfText(env, messageId).c_str(), textList(env, ruleIds))});
    return scriptRecord(env, "getMessageRuleMap", -1, map);
}

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_test_Fake_setVQFile(JNIEnv* env, jclass, jint sourceLanguage,
                                                                    jobjectArray defines, jobjectArray includes) {
    RecordArena& arena = records();
    auto* file =
        arena.Make(VQFile_C{nullptr, static_cast<VQSourceLanguage_C>(sourceLanguage),
                            arena.Texts<VQDefines_C>(textList(env, defines)), arena.Includes(textList(env, includes))});
    return scriptRecord(env, "getVQFile", -1, file);
}

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_test_Fake_setLanguages(JNIEnv* env, jclass, jintArray jLanguages) {
    std::vector<int32_t> values(static_cast<std::size_t>(env->GetArrayLength(jLanguages)));
    env->GetIntArrayRegion(jLanguages, 0, static_cast<jsize>(values.size()), values.data());
    return scriptRecord(env, "getAvailableLanguages", -1, records().Languages(values));
}

}  // extern "C"
