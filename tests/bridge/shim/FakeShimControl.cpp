// Attaching to the stand-in and scripting its results, texts and progress.
#include <dlfcn.h>

#include "bridge/Utf8Codec.h"
#include "com_quorvel_bridge_test_Fake.h"
#include "tests/bridge/shim/FakeShim.h"

namespace kerv::test {
namespace {

FakeControls g_controls;
bool g_attached = false;

void checkName(JNIEnv* env, int status, const std::string& entryPoint) {
    if (status != 0) throwIllegalState(env, "the stand-in rejected entry point " + entryPoint);
}

}  // namespace

const FakeControls* controls(JNIEnv* env) {
    if (!g_attached) {
        throwIllegalState(env, "Fake.attach has not succeeded");
        return nullptr;
    }
    return &g_controls;
}

void throwIllegalState(JNIEnv* env, const std::string& message) {
    jclass type = env->FindClass("java/lang/IllegalStateException");
    if (type != nullptr) env->ThrowNew(type, message.c_str());
}

std::string utfText(JNIEnv* env, jstring text) {
    if (text == nullptr) return {};
    std::vector<jchar> units(static_cast<std::size_t>(env->GetStringLength(text)));
    env->GetStringRegion(text, 0, static_cast<jsize>(units.size()), units.data());
    return kerv::bridge::utf16ToUtf8(units.data(), units.size());
}

std::string byteText(JNIEnv* env, jbyteArray bytes) {
    std::string text(static_cast<std::size_t>(env->GetArrayLength(bytes)), '\0');
    env->GetByteArrayRegion(bytes, 0, static_cast<jsize>(text.size()), reinterpret_cast<jbyte*>(text.data()));
    return text;
}

std::vector<std::string> textList(JNIEnv* env, jobjectArray texts) {
    std::vector<std::string> list;
    if (texts == nullptr) return list;
    for (jsize i = 0; i < env->GetArrayLength(texts); ++i) {
        auto text = static_cast<jstring>(env->GetObjectArrayElement(texts, i));
        list.push_back(utfText(env, text));
        env->DeleteLocalRef(text);
    }
    return list;
}

jlong scriptRecord(JNIEnv* env, const std::string& entryPoint, jint callIndex, void* record) {
    const FakeControls* fake = controls(env);
    if (fake == nullptr) return 0;
    int status = callIndex < 0 ? fake->setRecord(entryPoint.c_str(), record)
                               : fake->setRecordOfCall(entryPoint.c_str(), callIndex, record);
    checkName(env, status, entryPoint);
    return static_cast<jlong>(reinterpret_cast<intptr_t>(record));
}

}  // namespace kerv::test

using namespace kerv::test;

extern "C" {

JNIEXPORT void JNICALL Java_com_quorvel_bridge_test_Fake_attach(JNIEnv* env, jclass, jstring jPath) {
    std::string path = utfText(env, jPath);
    void* handle = dlopen(path.c_str(), RTLD_NOLOAD | RTLD_NOW);
    if (handle == nullptr) {
        throwIllegalState(env, "the stand-in is not loaded: " + path);
        return;
    }
    g_attached = resolveFakeControls(handle, g_controls) == nullptr;
    if (!g_attached) throwIllegalState(env, "the stand-in lacks a control function: " + path);
}

JNIEXPORT void JNICALL Java_com_quorvel_bridge_test_Fake_reset(JNIEnv* env, jclass) {
    if (const FakeControls* fake = controls(env)) fake->reset();
    records().Clear();
}

JNIEXPORT void JNICALL Java_com_quorvel_bridge_test_Fake_setResult(JNIEnv* env, jclass, jstring jEntryPoint,
                                                                   jint value) {
    const FakeControls* fake = controls(env);
    if (fake == nullptr) return;
    std::string entryPoint = utfText(env, jEntryPoint);
    checkName(env, fake->setResult(entryPoint.c_str(), value), entryPoint);
}

JNIEXPORT void JNICALL Java_com_quorvel_bridge_test_Fake_setText(JNIEnv* env, jclass, jstring jEntryPoint,
                                                                 jbyteArray jText) {
    const FakeControls* fake = controls(env);
    if (fake == nullptr) return;
    std::string entryPoint = utfText(env, jEntryPoint);
    if (jText == nullptr) {
        checkName(env, fake->setText(entryPoint.c_str(), nullptr), entryPoint);
        return;
    }
    std::string text = byteText(env, jText);
    checkName(env, fake->setText(entryPoint.c_str(), text.c_str()), entryPoint);
}

JNIEXPORT void JNICALL Java_com_quorvel_bridge_test_Fake_setProgress(JNIEnv* env, jclass, jintArray jValues) {
    const FakeControls* fake = controls(env);
    if (fake == nullptr) return;
    std::vector<jint> values(static_cast<std::size_t>(env->GetArrayLength(jValues)));
    env->GetIntArrayRegion(jValues, 0, static_cast<jsize>(values.size()), values.data());
    std::vector<unsigned int> progress(values.begin(), values.end());
    fake->setProgress(progress.data(), static_cast<unsigned int>(progress.size()));
}

JNIEXPORT void JNICALL Java_com_quorvel_bridge_test_Fake_setProgressOnOwnThread(JNIEnv* env, jclass,
                                                                                jboolean onOwnThread) {
    if (const FakeControls* fake = controls(env)) fake->setProgressOnOwnThread(onOwnThread == JNI_TRUE ? 1 : 0);
}

JNIEXPORT jstring JNICALL Java_com_quorvel_bridge_test_Fake_journal(JNIEnv* env, jclass) {
    const FakeControls* fake = controls(env);
    return fake == nullptr ? nullptr : env->NewStringUTF(fake->journal());
}

JNIEXPORT jint JNICALL Java_com_quorvel_bridge_test_Fake_callCount(JNIEnv* env, jclass, jstring jEntryPoint) {
    const FakeControls* fake = controls(env);
    return fake == nullptr ? -1 : fake->callCount(utfText(env, jEntryPoint).c_str());
}

}  // extern "C"
