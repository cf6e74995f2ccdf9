// Test-only JNI library: builds diagnostic lists of any length for the
// stand-in analysis library to hand out from getDiagnostics, for the client's
// decoding test and its benchmark. The records live until the next script
// call.
#include <jni.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "api/KERVRecords.h"
#include "tests/fake/FakeControlTable.h"

namespace {

std::vector<std::unique_ptr<char[]>> g_arena;

void* allocate(std::size_t bytes) {
    g_arena.push_back(std::make_unique<char[]>(bytes));
    std::memset(g_arena.back().get(), 0, bytes);
    return g_arena.back().get();
}

char* copy(const std::string& text) {
    auto* out = static_cast<char*>(allocate(text.size() + 1));
    std::memcpy(out, text.data(), text.size());
    return out;
}

template <typename Record>
Record* counted(std::size_t count) {
    auto* record = static_cast<Record*>(allocate(8 + count * sizeof(void*)));
    record->count = static_cast<uint32_t>(count);
    return record;
}

template <typename Record>
Record* zeroed() {
    return static_cast<Record*>(allocate(sizeof(Record)));
}

std::string bytes(JNIEnv* env, jbyteArray array) {
    std::string text(static_cast<std::size_t>(env->GetArrayLength(array)), '\0');
    env->GetByteArrayRegion(array, 0, static_cast<jsize>(text.size()), reinterpret_cast<jbyte*>(text.data()));
    return text;
}

VQMessage_C* message(const std::string& id, int level, const std::string& number, char* text, char* help,
                     char* producer, VQReferenceArray_C* references) {
    auto* message = zeroed<VQMessage_C>();
    message->uniqueMessageID = copy(id);
    message->helpFileLocation = help;
    message->messageLevel = level;
    message->messageNumber = copy(number);
    message->messageText = text;
    message->producer = producer;
    message->references = references;
    return message;
}

// A note with empty reference, parameter, location and sub-diagnostic lists.
DiagnosticStruct* note(char* empty, char* producer) {
    auto* diagnostic = zeroed<DiagnosticStruct>();
    diagnostic->message =
        message("note", 3, "0", copy("declared here"), empty, producer, counted<VQReferenceArray_C>(0));
    diagnostic->subDiagnostics = counted<VQDiagnosticArray_C>(0);
    diagnostic->messageParameters = counted<VQParameterArray_C>(0);
    diagnostic->locationInformation = counted<VQLocationArray_C>(0);
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
    g_arena.clear();
    char* messageText = copy(bytes(env, text));
    char* parameterText = copy(bytes(env, parameter));
    char* fileName = copy(bytes(env, file));
    char* help = copy("help/rule.html");
    char* empty = copy("");
    char* producer = copy("stand-in");
    auto* list = counted<VQDiagnosticArray_C>(static_cast<std::size_t>(count));
    for (jint i = 0; i < count; ++i) {
        auto* references = counted<VQReferenceArray_C>(1);
        references->refs[0] = parameterText;
        auto* diagnostic = zeroed<DiagnosticStruct>();
        diagnostic->message = message("rule" + std::to_string(i % 64), 1 + i % 3, std::to_string(i), messageText, help,
                                      producer, references);
        diagnostic->multiHomed = static_cast<uint8_t>(i % 2);
        diagnostic->hasSubDiagnostics = 1;
        diagnostic->suppressionState = i % 3;
        diagnostic->subDiagnostics = counted<VQDiagnosticArray_C>(1);
        diagnostic->subDiagnostics->diagnostics[0] = note(empty, producer);
        diagnostic->messageParameters = counted<VQParameterArray_C>(1);
        diagnostic->messageParameters->parameters[0] = parameterText;
        auto* location = zeroed<LocationStruct>();
        location->file = fileName;
        location->line = i + 1;
        location->column = i % 80 + 1;
        diagnostic->locationInformation = counted<VQLocationArray_C>(1);
        diagnostic->locationInformation->locations[0] = location;
        list->diagnostics[i] = diagnostic;
    }
    controls.setRecord("getDiagnostics", list);
}

}  // extern "C"
