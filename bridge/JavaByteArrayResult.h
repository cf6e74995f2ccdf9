// Java byte arrays made from the bridge's texts.
#pragma once

#include <jni.h>

#include <string_view>

namespace kerv::bridge {

// A new byte array holding `bytes` unchanged (an empty text gives an empty
// array, never null). Null, with the JVM's pending exception, when an
// exception is already pending or the JVM cannot allocate the array.
jbyteArray newJavaByteArray(JNIEnv* env, std::string_view bytes) noexcept;

}  // namespace kerv::bridge
