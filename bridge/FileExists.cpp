#include "bridge/FileExists.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "utils/logger/Logger.h"

void fileExists(const char* path, int isDirectory) {
    if (isDirectory != 0) {
        struct stat status;
        if (stat(path, &status) == 0 && S_ISDIR(status.st_mode)) {
            Utils::Logger::Log(2, "\nDirector %s exists", path);
        } else {
            Utils::Logger::Log(2, "\nDirector %s NOT exists", path);
        }
        return;
    }
    FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        Utils::Logger::Log(1, "\nFile %s NOT exists! Returned error code %d", path, errno);
        return;
    }
    Utils::Logger::Log(2, "\nFile %s exists!", path);
    std::fclose(file);
}
