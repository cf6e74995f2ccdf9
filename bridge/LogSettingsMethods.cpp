// Native methods for the log settings. The bridge's own logger may be set at
// any time and from any thread, so that the loading of the analysis library
// can be traced; the analysis library hears of a new level only on the
// bridge's thread.
#include "api/KERVApi.h"
#include "bridge/BridgeCall.h"
#include "bridge/JavaText.h"
#include "com_quorvel_bridge_caller_KERVBridge.h"
#include "utils/logger/Logger.h"

using kerv::bridge::callOnBridgeThread;

extern "C" {

JNIEXPORT void JNICALL Java_com_quorvel_bridge_caller_KERVBridge_setDebugLevel(JNIEnv* env, jclass, jlong level) {
    int cutLevel = static_cast<int>(level);
    Utils::Logger::SetLogLevel(cutLevel);
    callOnBridgeThread(env, "setDebugLevel",
                       [&] { KERVApi::GetInstance()->SetLogLevel(static_cast<VQLogLevel_C>(cutLevel)); });
}

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getDebugLevel(JNIEnv* env, jclass) {
    return callOnBridgeThread(env, "getDebugLevel", jlong{0}, [] {
        return static_cast<jlong>(static_cast<unsigned int>(KERVApi::GetInstance()->GetLogLevel()));
    });
}

// A null path means "no log file": messages go to standard output.
JNIEXPORT void JNICALL Java_com_quorvel_bridge_caller_KERVBridge_setNativeLogFile(JNIEnv* env, jclass, jstring jPath) {
    kerv::bridge::shieldFromExceptions("setNativeLogFile", [&] {
        if (jPath == nullptr) {
            Utils::Logger::SetLogFile("");
            return;
        }
        kerv::bridge::JavaText path(env, jPath);
        if (!kerv::bridge::acceptTexts("setNativeLogFile", {{"path", path}})) return;
        Utils::Logger::SetLogFile(path.c_str());
    });
}

}  // extern "C"
