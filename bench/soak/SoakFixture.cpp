// Native side of com.quorvel.bridge.soak.SoakFixture: scripts the stand-in
// analysis library, which the bridge has already loaded, through its control
// functions.
#include <dlfcn.h>
#include <fcntl.h>
#include <jni.h>
#include <unistd.h>

#include <cstdio>

#include <stdexcept>
#include <string>

#include "bench/soak/SoakRecords.h"
#include "com_quorvel_bridge_soak_SoakFixture.h"
#include "tests/fake/FakeControlTable.h"

namespace {

FakeControlTable g_fake;
const soak::SoakRecords* g_records = nullptr;

void scriptFake() {
    g_fake.reset();
    g_fake.setRecord("getDiagnostics", g_records->diagnostics);
    g_fake.setRecord("getRuleGroups", g_records->ruleGroups);
    g_fake.setRecord("getMessageRuleMap", g_records->messageRuleMap);
    g_fake.setRecord("getTrees", g_records->trees);
    g_fake.setRecord("getVQFile", g_records->file);
    g_fake.setRecord("getAvailableLanguages", g_records->languages);
    g_fake.setRecord("getFiles", g_records->files);
    g_fake.setText("getVersionNumber", "3.1.4");
    g_fake.setResult("hasResults", 1);
}

// getTrees prints its result code on standard output on every call, and the
// JVM prints its -Xcheck:jni warnings there: standard output goes to a file
// that the soak scans at the end, and the soak reports on standard error.
void redirectStandardOutput(const char* path) {
    std::fflush(stdout);
    const int file = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (file < 0) throw std::runtime_error(std::string("cannot create ") + path);
    dup2(file, STDOUT_FILENO);
    close(file);
}

void throwToJava(JNIEnv* env, const char* message) {
    jclass error = env->FindClass("java/lang/IllegalStateException");
    if (error != nullptr) env->ThrowNew(error, message);
}

}  // namespace

extern "C" {

JNIEXPORT void JNICALL Java_com_quorvel_bridge_soak_SoakFixture_script(JNIEnv* env, jclass /*unused*/, jstring fakePath,
                                                                       jint diagnosticCount, jstring outputPath) {
    const char* path = env->GetStringUTFChars(fakePath, nullptr);
    if (path == nullptr) return;
    void* library = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
    env->ReleaseStringUTFChars(fakePath, path);
    const char* output = env->GetStringUTFChars(outputPath, nullptr);
    if (output == nullptr) return;
    const std::string outputFile = output;
    env->ReleaseStringUTFChars(outputPath, output);
    try {
        if (library == nullptr) throw std::runtime_error("the bridge has not loaded the stand-in");
        if (const char* missing = resolveFakeControls(library, g_fake)) {
            throw std::runtime_error(std::string("stand-in lacks ") + missing);
        }
        // Dropping the extra reference keeps the bridge's own.
        dlclose(library);
        g_records = &soak::buildSoakRecords(static_cast<unsigned>(diagnosticCount));
        scriptFake();
        redirectStandardOutput(outputFile.c_str());
    } catch (const std::exception& failure) {
        throwToJava(env, failure.what());
    }
}

JNIEXPORT void JNICALL Java_com_quorvel_bridge_soak_SoakFixture_rescript(JNIEnv* env, jclass /*unused*/) {
    if (g_records == nullptr) return throwToJava(env, "script the stand-in first");
    scriptFake();
}

}  // extern "C"
