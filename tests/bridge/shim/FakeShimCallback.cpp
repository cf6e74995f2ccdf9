// A progress callback of the test's own, put in place of the bridge's so that
// a test can see whether the bridge registers its callback again.
#include <vector>

#include "api/KERVApi.h"
#include "bridge/Progress.h"
#include "com_quorvel_bridge_test_Fake.h"

namespace {

std::vector<jint> g_recorded;

void recordProgress(unsigned int progress) {
    g_recorded.push_back(static_cast<jint>(progress));
}

}  // namespace

extern "C" {

JNIEXPORT void JNICALL Java_com_quorvel_bridge_test_Fake_replaceAggregateCallback(JNIEnv*, jclass) {
    g_recorded.clear();
    KERVApi::GetInstance()->SetAggregateCallback(recordProgress);
}

JNIEXPORT void JNICALL Java_com_quorvel_bridge_test_Fake_restoreAggregateCallback(JNIEnv*, jclass) {
    KERVApi::GetInstance()->SetAggregateCallback(genericProgressFunction);
}

JNIEXPORT jintArray JNICALL Java_com_quorvel_bridge_test_Fake_recordedProgress(JNIEnv* env, jclass) {
    jintArray values = env->NewIntArray(static_cast<jsize>(g_recorded.size()));
    if (values != nullptr) env->SetIntArrayRegion(values, 0, static_cast<jsize>(g_recorded.size()), g_recorded.data());
    return values;
}

}  // extern "C"
