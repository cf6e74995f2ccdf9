#include "bridge/JavaByteArrayResult.h"

#include <limits>

#include "bridge/OutOfMemory.h"

namespace kerv::bridge {

jbyteArray newJavaByteArray(JNIEnv* env, std::string_view bytes) noexcept {
    if (env->ExceptionCheck()) return nullptr;
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<jsize>::max())) {
        return throwOutOfMemory(env, "native text too long for a Java byte array");
    }
    jsize length = static_cast<jsize>(bytes.size());
    jbyteArray array = env->NewByteArray(length);
    if (array == nullptr) return nullptr;
    if (length > 0) env->SetByteArrayRegion(array, 0, length, reinterpret_cast<const jbyte*>(bytes.data()));
    return array;
}

}  // namespace kerv::bridge
