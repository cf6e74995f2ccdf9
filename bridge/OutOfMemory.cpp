#include "bridge/OutOfMemory.h"

namespace kerv::bridge {

std::nullptr_t throwOutOfMemory(JNIEnv* env, const char* reason) noexcept {
    if (env->ExceptionCheck()) return nullptr;
    jclass errorClass = env->FindClass("java/lang/OutOfMemoryError");
    if (errorClass != nullptr) {
        env->ThrowNew(errorClass, reason);
        env->DeleteLocalRef(errorClass);
    }
    return nullptr;
}

}  // namespace kerv::bridge
