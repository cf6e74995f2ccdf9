// Runs a function with standard output captured, optionally with the logger
// at a given level (it logs to standard output while no log file is set).
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "utils/logger/Logger.h"

template <typename Function>
std::string CaptureStdoutOf(Function&& function, int logLevel = 0) {
    Utils::Logger::SetLogFile("");
    Utils::Logger::SetLogLevel(logLevel);
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    function();
    std::fflush(stdout);
    std::string captured = testing::internal::GetCapturedStdout();
    Utils::Logger::SetLogLevel(0);
    return captured;
}
