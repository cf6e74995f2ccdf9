// Native methods that start the bridge and drive the analysis library's life
// cycle.
#include <string>

#include "api/KERVApi.h"
#include "bridge/BridgeCall.h"
#include "bridge/JavaText.h"
#include "com_quorvel_bridge_caller_KERVBridge.h"
#include "utils/logger/Logger.h"

using kerv::bridge::acceptTexts;
using kerv::bridge::callOnBridgeThread;
using kerv::bridge::JavaText;
using kerv::bridge::newJavaString;
using Utils::Logger::Log;

namespace {

constexpr const char* kNoPath = "Please select a path for KERV.dll file!";
constexpr const char* kUnusablePath = "Failed to load libKERV.so: the path holds a NUL character or cannot be read";
constexpr const char* kBridgeFailure = "Failed to load libKERV.so: the bridge failed, see the log";

// Loads the analysis library from `jPath`; "OK" or the reason it failed.
std::string loadAnalysisLibrary(JNIEnv* env, jstring jPath) {
    std::string result = "OK";
    Log(2, "initJniBridge: call InitKERVApi() \n");
    JavaText path(env, jPath);
    if (!acceptTexts("initJniBridge", {{"path", path}})) return kUnusablePath;
    std::string error = KERVApi::GetInstance()->InitKERVApi(path.c_str());
    if (!error.empty()) {
        result = error;
        Log(1, "%s\n", result.c_str());
    }
    return result;
}

}  // namespace

extern "C" {

JNIEXPORT jstring JNICALL Java_com_quorvel_bridge_caller_KERVBridge_initJniBridge(JNIEnv* env, jclass, jstring jPath) {
    kerv::bridge::rememberBridgeThread(env);
    Log(2, "\nEnter initJniBridge \n");
    if (jPath == nullptr) return newJavaString(env, kNoPath);
    std::string result = kerv::bridge::shieldFromExceptions("initJniBridge", std::string(kBridgeFailure),
                                                            [&] { return loadAnalysisLibrary(env, jPath); });
    Log(2, "\nExit initJniBridge \n");
    return newJavaString(env, result);
}

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_caller_KERVBridge_initDeploymentInfo(JNIEnv* env, jclass) {
    return callOnBridgeThread(env, "initDeploymentInfo", jlong{-1},
                              [] { return jlong{KERVApi::GetInstance()->InitDeployment()}; });
}

JNIEXPORT void JNICALL Java_com_quorvel_bridge_caller_KERVBridge_setBindKey(JNIEnv* env, jclass, jstring jBindKey) {
    const char* self = __func__;
    callOnBridgeThread(env, "setBindKey", [&] {
        JavaText bindKey(env, jBindKey);
        if (!acceptTexts("setBindKey", {{"bindKey", bindKey}})) return;
        Log(2, "\nEnter call SetBindKey() with parameters: \n\t bindKey = %s ", bindKey.c_str());
        KERVApi::GetInstance()->SetBindKey(bindKey.c_str());
        kerv::bridge::logExitResult(self);
    });
}

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_caller_KERVBridge_initApi(JNIEnv* env, jclass, jstring jBindKey) {
    const char* self = __func__;
    return callOnBridgeThread(env, "initApi", jlong{-1}, [&]() -> jlong {
        JavaText bindKey(env, jBindKey);
        if (!acceptTexts("initApi", {{"bindKey", bindKey}})) return -1;
        Log(2, "\nEnter call initApi() with parameters: \n\t bindKey = %s ", bindKey.c_str());
        int status = KERVApi::GetInstance()->InitApi(bindKey.c_str());
        kerv::bridge::logExitResult(self);
        return status;
    });
}

JNIEXPORT void JNICALL Java_com_quorvel_bridge_caller_KERVBridge_shutdownApi(JNIEnv* env, jclass) {
    callOnBridgeThread(env, "shutdownApi", [] { KERVApi::GetInstance()->ShutdownApi(); });
}

JNIEXPORT void JNICALL Java_com_quorvel_bridge_caller_KERVBridge_shutdownApp(JNIEnv* env, jclass) {
    callOnBridgeThread(env, "shutdownApp", [] { KERVApi::GetInstance()->ShutdownApp(); });
}

JNIEXPORT void JNICALL Java_com_quorvel_bridge_caller_KERVBridge_clearCachedObjects(JNIEnv* env, jclass) {
    callOnBridgeThread(env, "clearCachedObjects", [] { KERVApi::GetInstance()->ClearCachedObjects(); });
}

JNIEXPORT void JNICALL Java_com_quorvel_bridge_caller_KERVBridge_setUserLibrary(JNIEnv*, jclass, jobject) {}

}  // extern "C"
