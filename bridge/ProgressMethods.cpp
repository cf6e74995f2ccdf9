// Native methods of KERVProgress. Unlike KERVBridge's, they may be called from
// any thread at any time, also before initJniBridge.
#include "bridge/ProgressListener.h"
#include "com_quorvel_bridge_caller_KERVProgress.h"

extern "C" {

JNIEXPORT jint JNICALL JNI_OnLoad(JavaVM* vm, void*) {
    kerv::bridge::rememberJavaVm(vm);
    return JNI_VERSION_1_8;
}

JNIEXPORT void JNICALL Java_com_quorvel_bridge_caller_KERVProgress_setListener(JNIEnv* env, jclass, jobject listener) {
    kerv::bridge::setProgressListener(env, listener);
}

}  // extern "C"
