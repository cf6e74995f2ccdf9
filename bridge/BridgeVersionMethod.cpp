// KERVProgress.bridgeVersion: the version this library was built as, given by
// the build as KERV_BRIDGE_VERSION. It stands alone because the client's
// loading test compiles this file by itself, with another version, into a
// bridge that stands in for a stale install.
#include "com_quorvel_bridge_caller_KERVProgress.h"

#ifndef KERV_BRIDGE_VERSION
#error "KERV_BRIDGE_VERSION must be defined by the build"
#endif

extern "C" {

JNIEXPORT jstring JNICALL Java_com_quorvel_bridge_caller_KERVProgress_bridgeVersion(JNIEnv* env, jclass) {
    return env->NewStringUTF(KERV_BRIDGE_VERSION);
}

}  // extern "C"
