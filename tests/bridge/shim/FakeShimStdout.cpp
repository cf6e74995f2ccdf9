// Redirection of the process's standard output (file descriptor 1) to a file,
// so that a test can read what native code prints there directly.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "com_quorvel_bridge_test_Fake.h"
#include "tests/bridge/shim/FakeShim.h"

namespace {
int g_savedStdout = -1;
}

extern "C" {

JNIEXPORT void JNICALL Java_com_quorvel_bridge_test_Fake_redirectStdout(JNIEnv* env, jclass, jstring jPath) {
    std::string path = kerv::test::utfText(env, jPath);
    std::fflush(stdout);
    int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file < 0 || g_savedStdout >= 0) {
        if (file >= 0) close(file);
        kerv::test::throwIllegalState(env, "cannot redirect standard output to " + path);
        return;
    }
    g_savedStdout = dup(STDOUT_FILENO);
    dup2(file, STDOUT_FILENO);
    close(file);
}

JNIEXPORT void JNICALL Java_com_quorvel_bridge_test_Fake_restoreStdout(JNIEnv*, jclass) {
    if (g_savedStdout < 0) return;
    std::fflush(stdout);
    dup2(g_savedStdout, STDOUT_FILENO);
    close(g_savedStdout);
    g_savedStdout = -1;
}

}  // extern "C"
