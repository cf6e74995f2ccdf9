// The control functions of the stand-in library that KERVApi has loaded,
// reached the way any other caller reaches them: dlopen with RTLD_NOLOAD on
// the same path, then dlsym.
#pragma once

#include <dlfcn.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "tests/fake/FakeControl.h"

struct FakeLibrary {
    decltype(&kervFakeReset) reset = nullptr;
    decltype(&kervFakeSetResult) setResult = nullptr;
    decltype(&kervFakeSetResultOfCall) setResultOfCall = nullptr;
    decltype(&kervFakeSetText) setText = nullptr;
    decltype(&kervFakeSetRecord) setRecord = nullptr;
    decltype(&kervFakeSetRecordOfCall) setRecordOfCall = nullptr;
    decltype(&kervFakeSetProgress) setProgress = nullptr;
    decltype(&kervFakeJournal) journal = nullptr;
    decltype(&kervFakeCallCount) callCount = nullptr;
    void* handle = nullptr;

    // Throws when the library is not loaded or lacks a control function.
    static FakeLibrary Attach(const char* path) {
        FakeLibrary fake;
        fake.handle = dlopen(path, RTLD_LAZY | RTLD_NOLOAD);
        if (fake.handle == nullptr) throw std::runtime_error(std::string("stand-in not loaded: ") + path);
        fake.Resolve(fake.reset, "kervFakeReset");
        fake.Resolve(fake.setResult, "kervFakeSetResult");
        fake.Resolve(fake.setResultOfCall, "kervFakeSetResultOfCall");
        fake.Resolve(fake.setText, "kervFakeSetText");
        fake.Resolve(fake.setRecord, "kervFakeSetRecord");
        fake.Resolve(fake.setRecordOfCall, "kervFakeSetRecordOfCall");
        fake.Resolve(fake.setProgress, "kervFakeSetProgress");
        fake.Resolve(fake.journal, "kervFakeJournal");
        fake.Resolve(fake.callCount, "kervFakeCallCount");
        return fake;
    }

    // The address of an entry point as the loader finds it.
    void* EntryPoint(const char* name) const { return dlsym(handle, name); }

private:
    template <typename Function>
    void Resolve(Function& function, const char* name) {
        function = reinterpret_cast<Function>(dlsym(handle, name));
        if (function == nullptr) throw std::runtime_error(std::string("missing control function ") + name);
    }
};

// The journal's form of a record address.
inline std::string JournalAddress(const void* record) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", record);
    return text;
}
