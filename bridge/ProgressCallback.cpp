#include "bridge/ProgressCallback.h"

#include "bridge/ProgressListener.h"
#include "utils/logger/Logger.h"

void genericProgressFunction(unsigned int progress) {
    Utils::Logger::Log(2, "Aggregate progress is %d\n", progress);
    kerv::bridge::deliverProgress(progress);
}
