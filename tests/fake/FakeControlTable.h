// The control functions of a stand-in library that some other code has
// loaded, reached the way any caller reaches them: dlopen with RTLD_NOLOAD on
// the same path, then dlsym.
#pragma once

#include <dlfcn.h>

#include <type_traits>

#include "tests/fake/FakeControl.h"

struct FakeControlTable {
    decltype(&kervFakeReset) reset = nullptr;
    decltype(&kervFakeSetResult) setResult = nullptr;
    decltype(&kervFakeSetResultOfCall) setResultOfCall = nullptr;
    decltype(&kervFakeSetText) setText = nullptr;
    decltype(&kervFakeSetRecord) setRecord = nullptr;
    decltype(&kervFakeSetRecordOfCall) setRecordOfCall = nullptr;
    decltype(&kervFakeSetProgress) setProgress = nullptr;
    decltype(&kervFakeSetProgressOnOwnThread) setProgressOnOwnThread = nullptr;
    decltype(&kervFakeJournal) journal = nullptr;
    decltype(&kervFakeCallCount) callCount = nullptr;
};

// Fills `table` from the stand-in behind `handle`. Returns the name of the
// first control function it lacks, or nullptr when all were found.
inline const char* resolveFakeControls(void* handle, FakeControlTable& table) {
    const char* missing = nullptr;
    auto resolve = [&](auto& function, const char* name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(handle, name));
        if (function == nullptr && missing == nullptr) missing = name;
    };
    resolve(table.reset, "kervFakeReset");
    resolve(table.setResult, "kervFakeSetResult");
    resolve(table.setResultOfCall, "kervFakeSetResultOfCall");
    resolve(table.setText, "kervFakeSetText");
    resolve(table.setRecord, "kervFakeSetRecord");
    resolve(table.setRecordOfCall, "kervFakeSetRecordOfCall");
    resolve(table.setProgress, "kervFakeSetProgress");
    resolve(table.setProgressOnOwnThread, "kervFakeSetProgressOnOwnThread");
    resolve(table.journal, "kervFakeJournal");
    resolve(table.callCount, "kervFakeCallCount");
    return missing;
}
