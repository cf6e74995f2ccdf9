// Native methods for results: opening them, asking for them, the aggregation
// and the XML getters, whose texts return to Java as UTF-8 byte arrays (an
// empty text as an empty array).
#include <string>

#include "api/KERVApi.h"
#include "bridge/BridgeCall.h"
#include "bridge/JavaText.h"
#include "bridge/Progress.h"
#include "bridge/TokenArray.h"
#include "com_quorvel_bridge_caller_KERVBridge.h"
#include "utils/logger/Logger.h"

using kerv::bridge::acceptTexts;
using kerv::bridge::callOnBridgeThread;
using kerv::bridge::JavaText;
using kerv::bridge::newJavaByteArray;
using Utils::Logger::Log;

namespace {

// Set by the first aggregate call, which registers the progress callback;
// later calls leave the registered callback alone.
bool bAggregateSet = false;

// `query` is HasResults or HasUpToDateResults; `entryLine` its log line.
jboolean askAboutResults(JNIEnv* env, const char* method, jstring jFilePath, const char* entryLine,
                         int (KERVApi::*query)(const char*)) {
    return callOnBridgeThread(env, method, jboolean{JNI_FALSE}, [&]() -> jboolean {
        JavaText filePath(env, jFilePath);
        if (!acceptTexts(method, {{"filePath", filePath}})) return JNI_FALSE;
        Log(2, entryLine, filePath.c_str());
        return (KERVApi::GetInstance()->*query)(filePath.c_str()) != 0 ? JNI_TRUE : JNI_FALSE;
    });
}

}  // namespace

extern "C" {

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_caller_KERVBridge_initResults(JNIEnv* env, jclass, jstring jBindKey,
                                                                              jstring jLocation, jstring jName) {
    const char* self = __func__;
    return callOnBridgeThread(env, "initResults", jlong{-1}, [&]() -> jlong {
        JavaText bindKey(env, jBindKey);
        JavaText location(env, jLocation);
        JavaText name(env, jName);
        if (!acceptTexts("initResults", {{"bindKey", bindKey}, {"location", location}, {"name", name}})) return -1;
        Log(2, "\nEnter call initResultst() with parameters: \n\t bindKey = %s \n\t location = %s \n\t name = %s",
            bindKey.c_str(), location.c_str(), name.c_str());
        int status = KERVApi::GetInstance()->InitResults(bindKey.c_str(), location.c_str(), name.c_str());
        kerv::bridge::logExitResult(self);
        return status;
    });
}

JNIEXPORT jboolean JNICALL Java_com_quorvel_bridge_caller_KERVBridge_hasResults(JNIEnv* env, jclass,
                                                                                jstring jFilePath) {
    return askAboutResults(env, "hasResults", jFilePath,
                           "\nEnter call HasResults() with parameters: \n\t filePath = %s ", &KERVApi::HasResults);
}

JNIEXPORT jboolean JNICALL Java_com_quorvel_bridge_caller_KERVBridge_hasUpToDateResults(JNIEnv* env, jclass,
                                                                                        jstring jFilePath) {
    return askAboutResults(env, "hasUpToDateResults", jFilePath,
                           "\nEnter call HasUpToDateResults() with parameters: \n\t filePath = %s ",
                           &KERVApi::HasUpToDateResults);
}

JNIEXPORT void JNICALL Java_com_quorvel_bridge_caller_KERVBridge_aggregate(JNIEnv* env, jclass) {
    callOnBridgeThread(env, "aggregate", [] {
        KERVApi* api = KERVApi::GetInstance();
        if (!bAggregateSet) {
            bAggregateSet = true;
            api->SetAggregateCallback(genericProgressFunction);
        }
        api->Aggregate();
    });
}

// The messages, rules and mask arguments are reserved: the library always
// receives no message list, no rule list and the mask 0.
JNIEXPORT jbyteArray JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getDiagnostics(JNIEnv* env, jclass,
                                                                                      jstring jFilePath, jstring,
                                                                                      jstring, jlong) {
    std::string diagnostics = callOnBridgeThread(env, "getDiagnostics", std::string(), [&]() -> std::string {
        JavaText filePath(env, jFilePath);
        if (!acceptTexts("getDiagnostics", {{"filePath", filePath}})) return {};
        return KERVApi::GetInstance()->GetDiagnostics(filePath.c_str(), nullptr, nullptr, 0);
    });
    return newJavaByteArray(env, diagnostics);
}

JNIEXPORT jbyteArray JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getTrees(JNIEnv* env, jclass, jboolean flag,
                                                                                jint itemCount, jstring jItems) {
    std::string trees = callOnBridgeThread(env, "getTrees", std::string(), [&]() -> std::string {
        JavaText items(env, itemCount > 0 ? jItems : nullptr);
        if (itemCount > 0 && !acceptTexts("getTrees", {{"items", items}})) return {};
        kerv::bridge::TokenArray itemArray("getTrees", items.str(), itemCount);
        if (itemArray.refused()) return {};
        return KERVApi::GetInstance()->GetTrees(flag != JNI_FALSE, itemArray.size(), itemArray.data());
    });
    return newJavaByteArray(env, trees);
}

JNIEXPORT jbyteArray JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getRuleGroups(JNIEnv* env, jclass) {
    std::string groups =
        callOnBridgeThread(env, "getRuleGroups", std::string(), [] { return KERVApi::GetInstance()->GetRuleGroups(); });
    return newJavaByteArray(env, groups);
}

JNIEXPORT jbyteArray JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getMessageRuleMap(JNIEnv* env, jclass) {
    std::string map = callOnBridgeThread(env, "getMessageRuleMap", std::string(),
                                         [] { return KERVApi::GetInstance()->GetMessageRuleMap(); });
    return newJavaByteArray(env, map);
}

}  // extern "C"
