// The progress callback, the listener behind it and the native methods of
// KERVProgress. Unlike KERVBridge's, these methods may be called from any
// thread at any time, also before initJniBridge.
#include "bridge/Progress.h"

#include <mutex>
#include <string>

#include "com_quorvel_bridge_caller_KERVProgress.h"
#include "utils/logger/Logger.h"

namespace kerv::bridge {
namespace {

std::mutex g_listenerMutex;
jobject g_listener = nullptr;  // global reference, guarded by g_listenerMutex
jmethodID g_accept = nullptr;  // IntConsumer.accept(int), guarded likewise
JavaVM* g_vm = nullptr;        // set once, before any Java code can call in

// The JNIEnv of the current thread, attaching the thread when the JVM does
// not know it; the attachment ends with the scope.
class AttachedThread {
public:
    explicit AttachedThread(JavaVM* vm) : m_vm(vm) {
        void* env = nullptr;
        jint state = vm->GetEnv(&env, JNI_VERSION_1_8);
        if (state == JNI_EDETACHED) {
            m_attached = vm->AttachCurrentThreadAsDaemon(&env, nullptr) == JNI_OK;
            if (!m_attached) env = nullptr;
        } else if (state != JNI_OK) {
            env = nullptr;
        }
        m_env = static_cast<JNIEnv*>(env);
    }
    ~AttachedThread() {
        if (m_attached) m_vm->DetachCurrentThread();
    }
    AttachedThread(const AttachedThread&) = delete;
    AttachedThread& operator=(const AttachedThread&) = delete;

    JNIEnv* env() const { return m_env; }

private:
    JavaVM* m_vm;
    JNIEnv* m_env = nullptr;
    bool m_attached = false;
};

// The text of a thrown object, from its toString(); empty when that fails.
std::string describe(JNIEnv* env, jthrowable thrown) {
    std::string text;
    jclass type = env->GetObjectClass(thrown);
    jmethodID toString = env->GetMethodID(type, "toString", "()Ljava/lang/String;");
    env->DeleteLocalRef(type);
    if (toString == nullptr) {
        env->ExceptionClear();
        return text;
    }
    auto description = static_cast<jstring>(env->CallObjectMethod(thrown, toString));
    if (env->ExceptionCheck()) {
        env->ExceptionClear();
    } else if (description != nullptr) {
        const char* utf = env->GetStringUTFChars(description, nullptr);
        if (utf != nullptr) {
            text = utf;
            env->ReleaseStringUTFChars(description, utf);
        } else {
            env->ExceptionClear();
        }
    }
    if (description != nullptr) env->DeleteLocalRef(description);
    return text;
}

void callListener(JNIEnv* env, unsigned int progress) {
    jobject listener = nullptr;
    jmethodID accept = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_listenerMutex);
        if (g_listener == nullptr) return;
        listener = env->NewLocalRef(g_listener);
        accept = g_accept;
    }
    if (listener == nullptr) return;
    env->CallVoidMethod(listener, accept, static_cast<jint>(progress));
    if (env->ExceptionCheck()) {
        jthrowable thrown = env->ExceptionOccurred();
        env->ExceptionClear();
        std::string text = describe(env, thrown);
        env->DeleteLocalRef(thrown);
        Utils::Logger::Log(1, "\nProgress listener failed at %u: %s\n", progress, text.c_str());
    }
    env->DeleteLocalRef(listener);
}

}  // namespace

void rememberJavaVm(JavaVM* vm) {
    __atomic_store_n(&g_vm, vm, __ATOMIC_RELEASE);
}

void setProgressListener(JNIEnv* env, jobject listener) {
    jobject newListener = nullptr;
    jmethodID accept = nullptr;
    if (listener != nullptr) {
        jclass consumer = env->FindClass("java/util/function/IntConsumer");
        if (consumer == nullptr) return;  // NoClassDefFoundError pending
        accept = env->GetMethodID(consumer, "accept", "(I)V");
        env->DeleteLocalRef(consumer);
        if (accept == nullptr) return;  // NoSuchMethodError pending
        newListener = env->NewGlobalRef(listener);
        if (newListener == nullptr) return;  // OutOfMemoryError pending
    }
    jobject oldListener = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_listenerMutex);
        oldListener = g_listener;
        g_listener = newListener;
        g_accept = accept;
    }
    if (oldListener != nullptr) env->DeleteGlobalRef(oldListener);
}

void deliverProgress(unsigned int progress) noexcept {
    JavaVM* vm = __atomic_load_n(&g_vm, __ATOMIC_ACQUIRE);
    if (vm == nullptr) return;
    AttachedThread thread(vm);
    JNIEnv* env = thread.env();
    if (env == nullptr) {
        Utils::Logger::Log(1, "\nProgress %u not delivered: the thread cannot be attached to the JVM\n", progress);
        return;
    }
    if (env->ExceptionCheck()) {
        Utils::Logger::Log(1, "\nProgress %u not delivered: a Java exception is pending\n", progress);
        return;
    }
    callListener(env, progress);
}

}  // namespace kerv::bridge

void genericProgressFunction(unsigned int progress) {
    Utils::Logger::Log(2, "Aggregate progress is %d\n", progress);
    kerv::bridge::deliverProgress(progress);
}

extern "C" {

JNIEXPORT jint JNICALL JNI_OnLoad(JavaVM* vm, void*) {
    kerv::bridge::rememberJavaVm(vm);
    return JNI_VERSION_1_8;
}

JNIEXPORT void JNICALL Java_com_quorvel_bridge_caller_KERVProgress_setListener(JNIEnv* env, jclass, jobject listener) {
    kerv::bridge::setProgressListener(env, listener);
}

}  // extern "C"
