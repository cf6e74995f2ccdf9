#include "bridge/JavaText.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <new>
#include <vector>

#include "bridge/Utf8Codec.h"
#include "utils/logger/Logger.h"

namespace kerv::bridge {
namespace {

// Releases the characters of a Java string when it goes out of scope.
class PinnedChars {
public:
    PinnedChars(JNIEnv* env, jstring string)
        : m_env(env), m_string(string), m_chars(env->GetStringChars(string, nullptr)) {}
    ~PinnedChars() {
        if (m_chars != nullptr) m_env->ReleaseStringChars(m_string, m_chars);
    }
    PinnedChars(const PinnedChars&) = delete;
    PinnedChars& operator=(const PinnedChars&) = delete;

    const jchar* get() const { return m_chars; }

private:
    JNIEnv* m_env;
    jstring m_string;
    const jchar* m_chars;
};

const char* describe(JavaText::State state) {
    switch (state) {
        case JavaText::State::Null:
            return "is null";
        case JavaText::State::HoldsNul:
            return "holds a NUL character";
        case JavaText::State::Unreadable:
            return "could not be read";
        case JavaText::State::Usable:
            break;
    }
    return "is usable";
}

// Makes an OutOfMemoryError pending (unless an exception already is) and
// returns null.
std::nullptr_t throwOutOfMemory(JNIEnv* env, const char* reason) noexcept {
    if (env->ExceptionCheck()) return nullptr;
    jclass errorClass = env->FindClass("java/lang/OutOfMemoryError");
    if (errorClass != nullptr) {
        env->ThrowNew(errorClass, reason);
        env->DeleteLocalRef(errorClass);
    }
    return nullptr;
}

}  // namespace

JavaText::JavaText(JNIEnv* env, jstring string) {
    if (string == nullptr) return;
    jsize length = env->GetStringLength(string);
    PinnedChars chars(env, string);
    if (chars.get() == nullptr) {
        m_state = State::Unreadable;
        return;
    }
    if (std::find(chars.get(), chars.get() + length, jchar{0}) != chars.get() + length) {
        m_state = State::HoldsNul;
        return;
    }
    m_utf8 = utf16ToUtf8(chars.get(), static_cast<std::size_t>(length));
    m_state = State::Usable;
}

bool acceptTexts(const char* method, std::initializer_list<NamedText> texts) {
    for (const NamedText& argument : texts) {
        if (argument.text.usable()) continue;
        Utils::Logger::Log(1, "\n%s refused: argument %s %s\n", method, argument.name, describe(argument.text.state()));
        return false;
    }
    return true;
}

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
