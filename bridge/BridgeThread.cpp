#include "bridge/BridgeThread.h"

#include "utils/logger/Logger.h"

JNIEnv* s_pEnv = nullptr;

namespace kerv::bridge {

void rememberBridgeThread(JNIEnv* env) {
    __atomic_store_n(&s_pEnv, env, __ATOMIC_RELEASE);
}

bool isBridgeThread(JNIEnv* env, const char* method) {
    JNIEnv* bridgeEnv = __atomic_load_n(&s_pEnv, __ATOMIC_ACQUIRE);
    if (bridgeEnv == nullptr) {
        Utils::Logger::Log(1, "\n%s refused: initJniBridge has not been called\n", method);
        return false;
    }
    if (bridgeEnv != env) {
        Utils::Logger::Log(1, "\n%s refused: not called on the thread of the latest initJniBridge\n", method);
        return false;
    }
    return true;
}

}  // namespace kerv::bridge
