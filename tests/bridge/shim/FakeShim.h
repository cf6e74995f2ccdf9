// Test-only JNI shim between the JVM tests and the stand-in analysis library
// that the bridge has loaded: it reaches the stand-in's control functions by
// dlopen(RTLD_NOLOAD) on the same path, and builds records for it to hand
// out. Records live in an arena until the next reset.
#pragma once

#include <jni.h>

#include <string>
#include <vector>

#include "tests/fake/FakeControlTable.h"
#include "tests/support/RecordArena.h"

namespace kerv::test {

using FakeControls = FakeControlTable;

// Null, with an IllegalStateException pending, before a successful attach.
const FakeControls* controls(JNIEnv* env);

// The records built for the stand-in; they stay valid until the next reset.
RecordArena& records();

// Throws IllegalStateException with `message`.
void throwIllegalState(JNIEnv* env, const std::string& message);

// Java values as native ones (test inputs only).
std::string utfText(JNIEnv* env, jstring text);
std::string byteText(JNIEnv* env, jbyteArray bytes);
std::vector<std::string> textList(JNIEnv* env, jobjectArray texts);

// Hands `record` to the stand-in for every call (callIndex < 0) or one call of
// `entryPoint`; returns its address for comparison with the journal.
jlong scriptRecord(JNIEnv* env, const std::string& entryPoint, jint callIndex, void* record);

}  // namespace kerv::test
