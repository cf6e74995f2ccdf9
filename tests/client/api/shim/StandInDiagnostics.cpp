// Test-only JNI library: builds diagnostic lists of any length for the
// stand-in analysis library to hand out from getDiagnostics, for the client's
// decoding test and its benchmark. The records live until the next script
// call.
#include <dlfcn.h>
#include <jni.h>

#include <string>

#include "tests/fake/FakeControlTable.h"
#include "tests/support/RecordArena.h"

namespace {

RecordArena g_records;

std::string bytes(JNIEnv* env, jbyteArray array) {
    std::string text(static_cast<std::size_t>(env->GetArrayLength(array)), '\0');
    env->GetByteArrayRegion(array, 0, static_cast<jsize>(text.size()), reinterpret_cast<jbyte*>(text.data()));
    return text;
}

// A note with empty reference, parameter, location and sub-diagnostic lists.
DiagnosticStruct* note() {
    auto* diagnostic = g_records.Zeroed<DiagnosticStruct>();
    diagnostic->message =
        g_records.Message("note", "", 3, "0", "declared here", "stand-in", g_records.Empty<VQReferenceArray_C>());
    diagnostic->subDiagnostics = g_records.Empty<VQDiagnosticArray_C>();
    diagnostic->messageParameters = g_records.Empty<VQParameterArray_C>();
    diagnostic->locationInformation = g_records.Empty<VQLocationArray_C>();
    return diagnostic;
}

}  // namespace

extern "C" {

// Diagnostic i: message id "rule<i % 64>", level 1 + i % 3, number i, the
// given text, producer "stand-in", the parameter as its one reference and one
// parameter, multi-homed when i is odd, suppression state i % 3, one location
// (file, line i + 1, column i % 80 + 1) and one note as sub-diagnostic.
JNIEXPORT void JNICALL Java_com_quorvel_bridge_test_StandInDiagnostics_script(JNIEnv* env, jclass, jstring fakePath,
                                                                              jint count, jbyteArray text,
                                                                              jbyteArray parameter, jbyteArray file) {
    const char* path = env->GetStringUTFChars(fakePath, nullptr);
    void* handle = path == nullptr ? nullptr : dlopen(path, RTLD_NOLOAD | RTLD_NOW);
    if (path != nullptr) env->ReleaseStringUTFChars(fakePath, path);
    FakeControlTable controls;
    if (handle == nullptr || resolveFakeControls(handle, controls) != nullptr) {
        jclass type = env->FindClass("java/lang/IllegalStateException");
        if (type != nullptr) env->ThrowNew(type, "the stand-in is not loaded");
        return;
    }
    g_records.Clear();
    const std::string messageText = bytes(env, text);
    char* parameterText = g_records.Text(bytes(env, parameter));
    const std::string fileName = bytes(env, file);
    auto* list = g_records.Counted<VQDiagnosticArray_C>(static_cast<uint32_t>(count));
    for (jint i = 0; i < count; ++i) {
        auto* diagnostic = g_records.Zeroed<DiagnosticStruct>();
        diagnostic->message = g_records.Message(("rule" + std::to_string(i % 64)).c_str(), "help/rule.html", 1 + i % 3,
                                                std::to_string(i).c_str(), messageText.c_str(), "stand-in",
                                                g_records.List<VQReferenceArray_C>({parameterText}));
        diagnostic->multiHomed = static_cast<uint8_t>(i % 2);
        diagnostic->hasSubDiagnostics = 1;
        diagnostic->suppressionState = i % 3;
        diagnostic->subDiagnostics = g_records.List<VQDiagnosticArray_C>({note()});
        diagnostic->messageParameters = g_records.List<VQParameterArray_C>({parameterText});
        diagnostic->locationInformation =
            g_records.List<VQLocationArray_C>({g_records.Location(fileName.c_str(), i + 1, i % 80 + 1)});
        list->diagnostics[i] = diagnostic;
    }
    controls.setRecord("getDiagnostics", list);
}

}  // extern "C"
