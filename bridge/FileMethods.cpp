// Native methods for the source files of the open project.
#include <cstdint>
#include <string>

#include "api/KERVApi.h"
#include "bridge/BridgeCall.h"
#include "bridge/JavaText.h"
#include "bridge/TokenArray.h"
#include "com_quorvel_bridge_caller_KERVBridge.h"
#include "utils/logger/Logger.h"

using kerv::bridge::acceptTexts;
using kerv::bridge::callOnBridgeThread;
using kerv::bridge::JavaText;
using kerv::bridge::newJavaString;
using kerv::bridge::TokenArray;
using Utils::Logger::Log;

namespace {

// A list text is needed only when its count is above 0; then it must be usable.
bool acceptList(const char* method, const char* name, const JavaText& list, jint count) {
    return count <= 0 || acceptTexts(method, {{name, list}});
}

}  // namespace

extern "C" {

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_caller_KERVBridge_addFile(JNIEnv* env, jclass, jlong targetLanguage,
                                                                          jstring jFile, jstring jDefines,
                                                                          jint definesSize, jstring jIncludes,
                                                                          jint includesSize) {
    return callOnBridgeThread(env, "addFile", jlong{-1}, [&]() -> jlong {
        JavaText file(env, jFile);
        JavaText defines(env, definesSize > 0 ? jDefines : nullptr);
        JavaText includes(env, includesSize > 0 ? jIncludes : nullptr);
        if (!acceptTexts("addFile", {{"file", file}}) || !acceptList("addFile", "defines", defines, definesSize) ||
            !acceptList("addFile", "includes", includes, includesSize)) {
            return -1;
        }
        TokenArray defineArray("addFile", defines.str(), definesSize);
        TokenArray includeArray("addFile", includes.str(), includesSize);
        if (defineArray.refused() || includeArray.refused()) return -1;
        auto language = static_cast<VQSourceLanguage_C>(static_cast<int32_t>(targetLanguage));
        return KERVApi::GetInstance()->AddFile(language, file.c_str(), defineArray.size(), defineArray.data(),
                                               includeArray.size(), includeArray.data());
    });
}

JNIEXPORT jlong JNICALL Java_com_quorvel_bridge_caller_KERVBridge_removeFile(JNIEnv* env, jclass, jstring jFilePath) {
    return callOnBridgeThread(env, "removeFile", jlong{-1}, [&]() -> jlong {
        JavaText filePath(env, jFilePath);
        if (!acceptTexts("removeFile", {{"filePath", filePath}})) return -1;
        return KERVApi::GetInstance()->RemoveFile(filePath.c_str());
    });
}

JNIEXPORT jstring JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getFiles(JNIEnv* env, jclass) {
    std::string files =
        callOnBridgeThread(env, "getFiles", std::string(), [] { return KERVApi::GetInstance()->GetFiles(); });
    return newJavaString(env, files);
}

JNIEXPORT jstring JNICALL Java_com_quorvel_bridge_caller_KERVBridge_getVQFile(JNIEnv* env, jclass, jstring jPath) {
    std::string settings = callOnBridgeThread(env, "getVQFile", std::string(), [&]() -> std::string {
        Log(2, "\n getting vq file \n");
        JavaText path(env, jPath);
        if (!acceptTexts("getVQFile", {{"path", path}})) return {};
        Log(2, "\n file path: %s\n", path.c_str());
        std::string text = KERVApi::GetInstance()->GetVQFile(path.c_str());
        Log(2, "\n got it \n");
        return text;
    });
    return newJavaString(env, settings);
}

}  // extern "C"
