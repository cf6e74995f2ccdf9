// The control functions of the stand-in library that KERVApi has loaded.
#pragma once

#include <dlfcn.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "tests/fake/FakeControlTable.h"

struct FakeLibrary : FakeControlTable {
    void* handle = nullptr;

    // Throws when the library is not loaded or lacks a control function.
    static FakeLibrary Attach(const char* path) {
        FakeLibrary fake;
        fake.handle = dlopen(path, RTLD_LAZY | RTLD_NOLOAD);
        if (fake.handle == nullptr) throw std::runtime_error(std::string("stand-in not loaded: ") + path);
        if (const char* missing = resolveFakeControls(fake.handle, fake)) {
            throw std::runtime_error(std::string("missing control function ") + missing);
        }
        return fake;
    }

    // The address of an entry point as the loader finds it.
    void* EntryPoint(const char* name) const { return dlsym(handle, name); }
};

// The journal's form of a record address.
inline std::string JournalAddress(const void* record) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", record);
    return text;
}
