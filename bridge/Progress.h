// The aggregation's progress: the callback the bridge hands to the analysis
// library, and the Java listener (set through KERVProgress.setListener) that
// receives its values.
//
// The listener is held as a global reference together with the method ID of
// IntConsumer.accept. Delivery may run on any thread, also one the JVM does
// not know: such a thread is attached for the call and detached after it. A
// listener may be replaced or removed while a delivery runs on another thread;
// the delivery works on its own local reference, so it never uses a deleted
// global one.
#pragma once

#include <jni.h>

namespace kerv::bridge {

// Remembers the JVM that loaded the bridge (from JNI_OnLoad).
void rememberJavaVm(JavaVM* vm);

// Replaces the listener; null removes it. `listener` must be an
// IntConsumer.
void setProgressListener(JNIEnv* env, jobject listener);

// Hands `progress` to the listener, if one is set. An exception thrown by the
// listener is cleared and logged at level 1; nothing is left pending.
void deliverProgress(unsigned int progress) noexcept;

}  // namespace kerv::bridge

// The aggregate callback: logs the progress, as "Aggregate progress is N" at
// level 2, and hands it to the listener when one is set.
void genericProgressFunction(unsigned int progress);
