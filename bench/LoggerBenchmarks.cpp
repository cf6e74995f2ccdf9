// Cost of a log call whose level filters the message out: every trace line
// of the bridge pays it while logging is off.
#include <benchmark/benchmark.h>

#include "utils/logger/Logger.h"

namespace {

void BM_Log_Filtered(benchmark::State& state) {
    Utils::Logger::SetLogLevel(1);
    for (auto _ : state) Utils::Logger::Log(2, "\t\t %s - %d\n", "label", 7);
    Utils::Logger::SetLogLevel(0);
}

}  // namespace

BENCHMARK(BM_Log_Filtered);

BENCHMARK_MAIN();
