// Benchmark-only JNI library: result trees of any size and a rule catalog for
// the stand-in analysis library to hand out from getTrees, getRuleGroups and
// getMessageRuleMap. The records live until the next call of the same script.
#include <dlfcn.h>
#include <jni.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/fake/FakeControlTable.h"
#include "tests/support/RecordArena.h"

namespace {

RecordArena g_trees;
RecordArena g_rules;

// The control functions of the stand-in loaded from fakePath; throws
// IllegalStateException into Java and returns false when it is not loaded.
bool controlsOf(JNIEnv* env, jstring fakePath, FakeControlTable& controls) {
    const char* path = env->GetStringUTFChars(fakePath, nullptr);
    void* handle = path == nullptr ? nullptr : dlopen(path, RTLD_NOLOAD | RTLD_NOW);
    if (path != nullptr) env->ReleaseStringUTFChars(fakePath, path);
    if (handle != nullptr && resolveFakeControls(handle, controls) == nullptr) return true;
    jclass type = env->FindClass("java/lang/IllegalStateException");
    if (type != nullptr) env->ThrowNew(type, "the stand-in is not loaded");
    return false;
}

// A tree of exactly `count` nodes in three levels: the root, folders, and up
// to 99 leaves in each folder, as a file tree of a large project has them.
VQTreeStruct* tree(const std::string& kind, int count) {
    std::vector<VQTreeStruct*> folders;
    for (int left = count - 1, folder = 0; left > 0; ++folder) {
        --left;
        const int leafCount = left < 99 ? left : 99;
        left -= leafCount;
        std::vector<VQTreeStruct*> leaves;
        leaves.reserve(static_cast<std::size_t>(leafCount));
        const std::string path = "src/" + kind + "/module" + std::to_string(folder);
        for (int leaf = 0; leaf < leafCount; ++leaf) {
            const std::string name = path + "/file" + std::to_string(leaf) + (leaf % 2 ? ".c" : ".cpp");
            leaves.push_back(
                g_trees.Tree(3, name.c_str(), ("/home/developer/projects/" + name).c_str(), leaf % 7, leaf % 5));
        }
        folders.push_back(g_trees.Tree(2, path.c_str(), "R&D <generated>", leafCount * 3, leafCount,
                                       g_trees.List<VQTreeArray_C>(leaves)));
    }
    return g_trees.Tree(1, kind.c_str(), "", count, count / 2, g_trees.List<VQTreeArray_C>(folders));
}

}  // namespace

extern "C" {

// The bridge prints a line to standard output on each getTrees call. Written
// a line at a time, those lines cannot break into the lines of the
// benchmark's table when the output goes to a file or a pipe.
JNIEXPORT jint JNICALL JNI_OnLoad(JavaVM*, void*) {
    std::fflush(stdout);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    return JNI_VERSION_1_8;
}

// The file tree holds half the nodes, the message and rule trees a quarter each.
JNIEXPORT void JNICALL Java_com_quorvel_bridge_bench_StandInResults_scriptTrees(JNIEnv* env, jclass, jstring fakePath,
                                                                                jint nodes) {
    FakeControlTable controls;
    if (!controlsOf(env, fakePath, controls)) return;
    g_trees.Clear();
    auto* trees = g_trees.Zeroed<VQTrees_C>();
    trees->fileTree = tree("files", nodes / 2);
    trees->messageTree = tree("messages", nodes / 4);
    trees->ruleTree = tree("rules", nodes - nodes / 2 - nodes / 4);
    controls.setRecord("getTrees", trees);
}

// Rules "rule0" to "rule<count - 1>" in the group "warning", "note" in the
// group "style", and a map that gives each of these messages its own rule.
JNIEXPORT void JNICALL Java_com_quorvel_bridge_bench_StandInResults_scriptRules(JNIEnv* env, jclass, jstring fakePath,
                                                                                jint count) {
    FakeControlTable controls;
    if (!controlsOf(env, fakePath, controls)) return;
    g_rules.Clear();
    std::vector<RuleStruct*> warnings;
    std::vector<VQMessageMapping_C*> mappings;
    for (int i = 0; i < count; ++i) {
        const std::string id = "rule" + std::to_string(i);
        warnings.push_back(g_rules.Rule(id.c_str(), 1, "help/rule.html", "warning", "A rule", id.c_str()));
        mappings.push_back(g_rules.Mapping(id.c_str(), {id}));
    }
    mappings.push_back(g_rules.Mapping("note", {"note"}));
    auto* groups = g_rules.List<VQRuleGroupArray_C>(
        {g_rules.Make(RuleGroupStruct{g_rules.Text("warning"), g_rules.List<VQRuleArray_C>(warnings)}),
         g_rules.Make(RuleGroupStruct{g_rules.Text("style"), g_rules.List<VQRuleArray_C>({g_rules.Rule(
                                                                 "note", 1, "", "style", "A note", "note")})})});
    controls.setRecord("getRuleGroups", groups);
    controls.setRecord("getMessageRuleMap", g_rules.List<VQMessageRuleMap_C>(mappings));
}

}  // extern "C"
