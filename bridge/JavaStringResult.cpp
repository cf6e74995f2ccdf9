#include "bridge/JavaStringResult.h"

#include <limits>
#include <new>
#include <vector>

#include "bridge/OutOfMemory.h"
#include "bridge/Utf8Codec.h"

namespace kerv::bridge {

jstring newJavaString(JNIEnv* env, std::string_view utf8) noexcept {
    if (env->ExceptionCheck()) return nullptr;
    std::vector<uint16_t> units;
    try {
        units = utf8ToUtf16(utf8);
    } catch (const std::bad_alloc&) {
        return throwOutOfMemory(env, "no memory to convert a native text");
    }
    if (units.size() > static_cast<std::size_t>(std::numeric_limits<jsize>::max())) {
        return throwOutOfMemory(env, "native text too long for a Java string");
    }
    static const jchar kNoCharacters[1] = {0};
    const jchar* characters = units.empty() ? kNoCharacters : units.data();
    return env->NewString(characters, static_cast<jsize>(units.size()));
}

}  // namespace kerv::bridge
