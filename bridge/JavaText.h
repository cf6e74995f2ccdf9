// The text of a Java string argument, as standard UTF-8, for one native call.
//
// Reads the string's UTF-16 characters (GetStringChars), converts them to
// standard UTF-8 and releases the characters at once, so nothing stays pinned
// in the JVM. Records why a string cannot be passed on: it is null, it holds
// U+0000 (which would cut the text short on the C side), or the JVM could not
// hand out its characters (an OutOfMemoryError is then pending).
#pragma once

#include <jni.h>

#include <string>

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

}  // namespace kerv::bridge
