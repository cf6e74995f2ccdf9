// Raising OutOfMemoryError in the JVM for a result the bridge cannot build.
#pragma once

#include <jni.h>

#include <cstddef>

namespace kerv::bridge {

// Makes an OutOfMemoryError pending (unless an exception already is) and
// returns null, the value a failed result is returned as.
std::nullptr_t throwOutOfMemory(JNIEnv* env, const char* reason) noexcept;

}  // namespace kerv::bridge
