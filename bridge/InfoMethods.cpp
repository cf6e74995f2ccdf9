// Native methods that return the analysis library's paths, version,
// components and help texts. Each text is copied into a Java string at once;
// a refused call returns the same failure text as an unloaded library.
#include "api/KERVApi.h"
#include "bridge/BridgeCall.h"
#include "bridge/JavaText.h"
#include "com_quorvel_bridge_caller_KERVBridge.h"

using kerv::bridge::callOnBridgeThread;
using kerv::bridge::newJavaString;

namespace {

constexpr const char* kNoPath = "null";

// `getter` is a KERVApi method that returns a text owned by the library.
template <typename Getter>
jstring libraryText(JNIEnv* env, const char* method, const char* failure, Getter getter) {
    const char* text = callOnBridgeThread(env, method, failure, [&] { return (KERVApi::GetInstance()->*getter)(); });
    return newJavaString(env, text != nullptr ? text : "");
}

}  // namespace

extern "C" {

JNIEXPORT jstring JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getInstallPath(JNIEnv* env, jclass) {
    return libraryText(env, "getInstallPath", kNoPath, &KERVApi::GetInstallPath);
}

JNIEXPORT jstring JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getUserPath(JNIEnv* env, jclass) {
    return libraryText(env, "getUserPath", kNoPath, &KERVApi::GetUserPath);
}

JNIEXPORT jstring JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getInstallConfigPath(JNIEnv* env, jclass) {
    return libraryText(env, "getInstallConfigPath", kNoPath, &KERVApi::GetInstallConfigPath);
}

JNIEXPORT jstring JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getInstallBinaryPath(JNIEnv* env, jclass) {
    return libraryText(env, "getInstallBinaryPath", kNoPath, &KERVApi::GetInstallBinaryPath);
}

JNIEXPORT jstring JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getUserAppConfigPath(JNIEnv* env, jclass) {
    return libraryText(env, "getUserAppConfigPath", kNoPath, &KERVApi::GetUserAppConfigPath);
}

JNIEXPORT jstring JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getUserConfigPath(JNIEnv* env, jclass) {
    return libraryText(env, "getUserConfigPath", kNoPath, &KERVApi::GetUserConfigPath);
}

JNIEXPORT jstring JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getComponents(JNIEnv* env, jclass) {
    return libraryText(env, "getComponents", "", &KERVApi::GetComponents);
}

JNIEXPORT jstring JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getVersionNumber(JNIEnv* env, jclass) {
    return libraryText(env, "getVersionNumber", "0.0.0", &KERVApi::GetVersionNumber);
}

JNIEXPORT jstring JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getVQFContextHelp(JNIEnv* env, jclass,
                                                                                      jint context) {
    const char* text = callOnBridgeThread(env, "getVQFContextHelp", "", [&] {
        return KERVApi::GetInstance()->GetVQFContextHelp(static_cast<VQHelpContext_C>(context));
    });
    return newJavaString(env, text != nullptr ? text : "");
}

JNIEXPORT jstring JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getVQFHelp(JNIEnv* env, jclass, jboolean html) {
    const char* text = callOnBridgeThread(env, "getVQFHelp", "",
                                          [&] { return KERVApi::GetInstance()->GetVQFHelpFile(html != JNI_FALSE); });
    return newJavaString(env, text != nullptr ? text : "");
}

}  // extern "C"
