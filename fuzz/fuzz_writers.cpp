// Fuzz target: the writers of diagnostics, rule groups, message-rule maps,
// trees, file settings and languages, on records built from the input with
// null pointers at every level. The output must parse as XML and every value
// read back must equal the records.
#include <fuzzer/FuzzedDataProvider.h>
#include <cstdio>

#include "fuzz/writers/WriterCases.h"
#include "utils/logger/Logger.h"

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    // The writers' trace line and the rule dumps go to standard output;
    // libFuzzer reports on standard error.
    Utils::Logger::SetLogLevel(0);
    if (std::freopen("/dev/null", "w", stdout) == nullptr) return 1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    switch (input.ConsumeIntegralInRange<int>(0, 5)) {
        case 0:
            fuzz::fuzzDiagnosticWriters(input);
            break;
        case 1:
            fuzz::fuzzRuleGroupWriters(input);
            break;
        case 2:
            fuzz::fuzzMessageRuleMapWriters(input);
            break;
        case 3:
            fuzz::fuzzTreeWriters(input);
            break;
        case 4:
            fuzz::fuzzFileWriters(input);
            break;
        default:
            fuzz::fuzzLanguageWriters(input);
            break;
    }
    return 0;
}
