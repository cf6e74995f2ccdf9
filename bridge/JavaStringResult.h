// Java strings made from the bridge's standard UTF-8 texts.
#pragma once

#include <jni.h>

#include <string_view>

namespace kerv::bridge {

// A new Java string with the characters of `utf8` (invalid bytes become
// U+FFFD, 4-byte sequences surrogate pairs). Null, with the JVM's pending
// exception, when an exception is already pending or the JVM cannot allocate
// the string.
jstring newJavaString(JNIEnv* env, std::string_view utf8) noexcept;

}  // namespace kerv::bridge
