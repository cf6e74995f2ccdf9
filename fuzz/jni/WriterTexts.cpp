// Test-only JNI library: the texts the bridge's writers make of records built
// from fuzz input the way the writers' fuzz target builds them, so that the
// Java client's result readers are checked on the same texts.
#include <fuzzer/FuzzedDataProvider.h>
#include <jni.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/writers/WriterCases.h"
#include "utils/logger/Logger.h"

namespace {

// The family is picked from the input as fuzz_writers.cpp picks it, so that
// an input of its corpus gives the text that the target checked.
std::string writtenText(FuzzedDataProvider& input, int& family) {
    family = input.ConsumeIntegralInRange<int>(0, 5);
    switch (family) {
        case 0:
            return fuzz::diagnosticsText(input);
        case 1:
            return fuzz::ruleGroupsText(input);
        case 2:
            return fuzz::messageRuleMapText(input);
        case 3:
            return fuzz::treesText(input);
        case 4:
            return fuzz::fileText(input);
        default:
            return fuzz::languagesText(input);
    }
}

}  // namespace

extern "C" {

JNIEXPORT jint JNICALL JNI_OnLoad(JavaVM*, void*) {
    Utils::Logger::SetLogLevel(0);  // the writers' trace lines would flood the test's output
    return JNI_VERSION_1_8;
}

// The family (0 diagnostics, 1 rule groups, 2 message-rule map, 3 trees,
// 4 file, 5 languages) in the first byte, then the text.
JNIEXPORT jbyteArray JNICALL Java_com_quorvel_bridge_test_WriterTexts_write(JNIEnv* env, jclass, jbyteArray input) {
    std::vector<uint8_t> bytes(static_cast<std::size_t>(env->GetArrayLength(input)));
    env->GetByteArrayRegion(input, 0, static_cast<jsize>(bytes.size()), reinterpret_cast<jbyte*>(bytes.data()));
    FuzzedDataProvider provider(bytes.data(), bytes.size());
    int family = 0;
    const std::string text = writtenText(provider, family);
    jbyteArray out = env->NewByteArray(static_cast<jsize>(text.size() + 1));
    if (out == nullptr) return nullptr;
    const auto head = static_cast<jbyte>(family);
    env->SetByteArrayRegion(out, 0, 1, &head);
    env->SetByteArrayRegion(out, 1, static_cast<jsize>(text.size()), reinterpret_cast<const jbyte*>(text.data()));
    return out;
}

}  // extern "C"
