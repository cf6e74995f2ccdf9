#include "bridge/JavaText.h"

#include <algorithm>

#include "bridge/Utf8Codec.h"

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

}  // namespace kerv::bridge
