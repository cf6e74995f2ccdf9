// The bridge's thread: the one that made the latest initJniBridge call.
//
// The analysis library expects all its calls on one thread, one at a time.
// initJniBridge stores its JNIEnv in s_pEnv; every other native method that
// reaches the library first checks that it runs on that thread, and otherwise
// returns its failure value. A JNIEnv belongs to exactly one thread for that
// thread's whole life, so comparing a method's own env with s_pEnv identifies
// the thread without a system call.
#pragma once

#include <jni.h>

// The JNIEnv of the latest initJniBridge call; null until the first one. Read
// and written only through the functions below, which access it atomically so
// that a call from another thread never races with initJniBridge.
extern JNIEnv* s_pEnv;

namespace kerv::bridge {

void rememberBridgeThread(JNIEnv* env);

// True when `env` is s_pEnv. Otherwise writes one level-1 line naming
// `method` and saying why the call is refused.
bool isBridgeThread(JNIEnv* env, const char* method);

}  // namespace kerv::bridge
