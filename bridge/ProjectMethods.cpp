// Native methods for projects, configuration (CCT) files, the workspace,
// languages and the project-wide lists.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "api/KERVApi.h"
#include "bridge/BridgeCall.h"
#include "bridge/JavaText.h"
#include "com_quorvel_bridge_caller_KERVBridge.h"
#include "utils/logger/Logger.h"

using kerv::bridge::acceptTexts;
using kerv::bridge::callOnBridgeThread;
using kerv::bridge::JavaText;
using kerv::bridge::newJavaString;
using Utils::Logger::Log;

namespace {

const char* printable(const char* text) {
    return text != nullptr ? text : "(null)";
}

// Logs whether a configuration file or the project folder exists; it checks
// nothing else and stops nothing, the call goes ahead either way.
// isDirectory non-zero: a level-2 line saying whether `path` is a folder.
// Zero: a level-2 line when the file opens for reading, otherwise a level-1
// line with the errno of the failed open.
void fileExists(const char* path, int isDirectory) {
    if (isDirectory != 0) {
        struct stat status;
        if (stat(path, &status) == 0 && S_ISDIR(status.st_mode)) {
            Log(2, "\nDirector %s exists", path);
        } else {
            Log(2, "\nDirector %s NOT exists", path);
        }
        return;
    }
    FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        Log(1, "\nFile %s NOT exists! Returned error code %d", path, errno);
        return;
    }
    Log(2, "\nFile %s exists!", path);
    std::fclose(file);
}

// A composite getter's text as a Java string, between the two log lines that
// announce the fetch and its end.
template <typename Getter>
jstring announcedList(JNIEnv* env, const char* method, const char* announcement, Getter getter) {
    std::string text = callOnBridgeThread(env, method, std::string(), [&] {
        Log(2, "%s", announcement);
        std::string list = (KERVApi::GetInstance()->*getter)();
        Log(2, "\n got it \n");
        return list;
    });
    return newJavaString(env, text);
}

}  // namespace

extern "C" {

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_caller_KERVBridge_createProject(JNIEnv* env, jclass, jstring jLocation,
                                                                                jstring jName, jstring jAcfFile,
                                                                                jstring jRcfFile, jstring jCctFile) {
    const char* self = __func__;
    return callOnBridgeThread(env, "createProject", jlong{-1}, [&]() -> jlong {
        JavaText location(env, jLocation);
        JavaText name(env, jName);
        JavaText acfFile(env, jAcfFile);
        JavaText rcfFile(env, jRcfFile);
        JavaText cctFile(env, jCctFile);
        if (!acceptTexts("createProject", {{"location", location},
                                           {"name", name},
                                           {"acfFile", acfFile},
                                           {"rcfFile", rcfFile},
                                           {"cctFile", cctFile}})) {
            return -1;
        }
        KERVApi* api = KERVApi::GetInstance();
        Log(2, "\nUser config path = %s\n", printable(api->GetUserConfigPath()));
        fileExists(acfFile.c_str(), 0);
        fileExists(rcfFile.c_str(), 0);
        fileExists(cctFile.c_str(), 0);
        fileExists(location.c_str(), 1);
        Log(2,
            "\nEnter call createProject() with parameters: \n\t location = %s \n\t name = %s \n\t acfFile = %s "
            "\n\t rcfFile = %s \n\t cctFile = %s ",
            location.c_str(), name.c_str(), acfFile.c_str(), rcfFile.c_str(), cctFile.c_str());
        int status =
            api->CreateProject(location.c_str(), name.c_str(), acfFile.c_str(), rcfFile.c_str(), cctFile.c_str());
        kerv::bridge::logExistResult(self);
        return status;
    });
}

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_caller_KERVBridge_initProjectMngr(JNIEnv* env, jclass, jstring jBindKey,
                                                                                  jstring jLocation, jstring jName) {
    const char* self = __func__;
    return callOnBridgeThread(env, "initProjectMngr", jlong{-1}, [&]() -> jlong {
        JavaText location(env, jLocation);
        JavaText name(env, jName);
        JavaText bindKey(env, jBindKey);
        if (!acceptTexts("initProjectMngr", {{"bindKey", bindKey}, {"location", location}, {"name", name}})) {
            return -1;
        }
        Log(2, "\nEnter call initProjectMngr() with parameters: \n\t bindKey = %s \n\t location = %s \n\t name = %s ",
            bindKey.c_str(), location.c_str(), name.c_str());
        int status = KERVApi::GetInstance()->InitProjectMngr(bindKey.c_str(), location.c_str(), name.c_str());
        kerv::bridge::logExitResult(self);
        return status;
    });
}

JNIEXPORT jboolean JNICALL Java_com_quorvel_bridge_caller_KERVBridge_isVQFProject(JNIEnv* env, jclass,
                                                                                  jstring jLocation, jstring jName) {
    const char* self = __func__;
    return callOnBridgeThread(env, "isVQFProject", jboolean{JNI_FALSE}, [&]() -> jboolean {
        JavaText location(env, jLocation);
        JavaText name(env, jName);
        if (!acceptTexts("isVQFProject", {{"location", location}, {"name", name}})) return JNI_FALSE;
        Log(2, "\nEnter call IsVQFProject() with parameters: \n\t location = %s \n\t name = %s ", location.c_str(),
            name.c_str());
        int isProject = KERVApi::GetInstance()->IsVQFProject(location.c_str(), name.c_str());
        kerv::bridge::logExistLastError(self);
        return isProject != 0 ? JNI_TRUE : JNI_FALSE;
    });
}

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_caller_KERVBridge_addCCT(JNIEnv* env, jclass, jstring jCctFile) {
    return callOnBridgeThread(env, "addCCT", jlong{-1}, [&]() -> jlong {
        JavaText cctFile(env, jCctFile);
        if (!acceptTexts("addCCT", {{"cctFile", cctFile}})) return -1;
        fileExists(cctFile.c_str(), 0);
        Log(2, "\nEnter call addCCT() with parameter %s\n", cctFile.c_str());
        return KERVApi::GetInstance()->AddCCT(cctFile.c_str());
    });
}

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_caller_KERVBridge_setActiveCCT(JNIEnv* env, jclass, jint lang,
                                                                               jstring jCctFile) {
    return callOnBridgeThread(env, "setActiveCCT", jlong{-1}, [&]() -> jlong {
        JavaText cctFile(env, jCctFile);
        if (!acceptTexts("setActiveCCT", {{"cctFile", cctFile}})) return -1;
        fileExists(cctFile.c_str(), 0);
        Log(2, "\nEnter call setActiveCT() with parameter %d, %s\n", lang, cctFile.c_str());
        return KERVApi::GetInstance()->SetActiveCCT(static_cast<VQSourceLanguage_C>(lang), cctFile.c_str());
    });
}

JNIEXPORT void JNICALL Java_com_quorvel_bridge_caller_KERVBridge_setWorkspace(JNIEnv* env, jclass, jstring jPath) {
    const char* self = __func__;
    callOnBridgeThread(env, "setWorkspace", [&] {
        JavaText path(env, jPath);
        if (!acceptTexts("setWorkspace", {{"path", path}})) return;
        KERVApi::GetInstance()->SetWorkspacePath(path.c_str());
        kerv::bridge::logExistResult(self);
    });
}

JNIEXPORT jstring JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getWorkspace(JNIEnv* env, jclass) {
    const char* path =
        callOnBridgeThread(env, "getWorkspace", "null", [] { return KERVApi::GetInstance()->GetWorkSpacePath(); });
    return newJavaString(env, path != nullptr ? path : "");
}

JNIEXPORT jstring JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getAvailableLanguages(JNIEnv* env, jclass) {
    std::string languages = callOnBridgeThread(env, "getAvailableLanguages", std::string(),
                                               [] { return KERVApi::GetInstance()->GetAvailableLanguages(); });
    return newJavaString(env, languages);
}

JNIEXPORT void JNICALL Java_com_quorvel_bridge_caller_KERVBridge_setCurrentLanguage(JNIEnv* env, jclass,
                                                                                    jint language) {
    callOnBridgeThread(env, "setCurrentLanguage",
                       [&] { KERVApi::GetInstance()->SetCurrentLanguage(static_cast<VQLanguage_C>(language)); });
}

JNIEXPORT jint JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getCurrentLanguage(JNIEnv* env, jclass) {
    return callOnBridgeThread(env, "getCurrentLanguage", jint{0},
                              [] { return jint{KERVApi::GetInstance()->GetCurrentLanguage()}; });
}

JNIEXPORT jstring JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getCMAProjects(JNIEnv* env, jclass) {
    return announcedList(env, "getCMAProjects", "\n getting CMA projects list \n", &KERVApi::GetCMAProjectList);
}

JNIEXPORT jstring JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getReportTools(JNIEnv* env, jclass) {
    return announcedList(env, "getReportTools", "\n getting Report tools \n", &KERVApi::GetReportTools);
}

JNIEXPORT jstring JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getFileExtensions(JNIEnv* env, jclass) {
    return announcedList(env, "getFileExtensions", "\n getting mapped file extensions \n",
                         &KERVApi::GetMappedFileExtensions);
}

}  // extern "C"
