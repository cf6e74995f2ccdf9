// Texts crossing between Java and the bridge: Java string arguments read as
// standard UTF-8, and Java strings and byte arrays made from the bridge's
// results.
//
// JavaText holds the text of a Java string argument for one native call.
// Reads the string's UTF-16 characters (GetStringChars), converts them to
// standard UTF-8 and releases the characters at once, so nothing stays pinned
// in the JVM. Records why a string cannot be passed on: it is null, it holds
// U+0000 (which would cut the text short on the C side), or the JVM could not
// hand out its characters (an OutOfMemoryError is then pending).
//
// acceptTexts refuses the texts that cannot be passed to the analysis library:
// the method logs one level-1 line naming itself and the first such argument,
// and returns its failure value without calling the library.
#pragma once

#include <jni.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace kerv::bridge {

class JavaText {
public:
    enum class State { Usable, Null, HoldsNul, Unreadable };

    JavaText(JNIEnv* env, jstring string);

    State state() const { return m_state; }
    bool usable() const { return m_state == State::Usable; }

    // The UTF-8 bytes; empty unless usable().
    const std::string& str() const { return m_utf8; }
    const char* c_str() const { return m_utf8.c_str(); }

private:
    State m_state = State::Null;
    std::string m_utf8;
};

struct NamedText {
    const char* name;
    const JavaText& text;
};

// True when every text is usable; otherwise logs the first one that is not.
bool acceptTexts(const char* method, std::initializer_list<NamedText> texts);

// Results: when the JVM cannot take a text (too long, or no memory to convert
// it), an OutOfMemoryError is made pending and null returned, the value a
// failed result is returned as.
//
// A new Java string with the characters of `utf8`, the bridge's standard
// UTF-8 (invalid bytes become U+FFFD, 4-byte sequences surrogate pairs).
// Null, with the JVM's pending exception, when an exception is already
// pending or the JVM cannot allocate the string.
jstring newJavaString(JNIEnv* env, std::string_view utf8) noexcept;

// A new byte array holding `bytes` unchanged (an empty text gives an empty
// array, never null). Null, with the JVM's pending exception, when an
// exception is already pending or the JVM cannot allocate the array.
jbyteArray newJavaByteArray(JNIEnv* env, std::string_view bytes) noexcept;

}  // namespace kerv::bridge
