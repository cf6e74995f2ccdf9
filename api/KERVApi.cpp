#include "api/KERVApi.h"

#include <dlfcn.h>

#include <cerrno>
#include <cstdint>

#include "utils/logger/Logger.h"

using Utils::Logger::Log;

KERVApi* KERVApi::s_pInstance = nullptr;

KERVApi* KERVApi::GetInstance() {
    if (s_pInstance == nullptr) s_pInstance = new KERVApi();
    return s_pInstance;
}

// The library stays loaded: records or texts it handed out may still be in use.
void KERVApi::Destroy() {
    delete s_pInstance;
    s_pInstance = nullptr;
}

KERVApi::~KERVApi() = default;

void KERVApi::SetAggregateCallback(void (*callback)(unsigned int)) {
    m_aggregateCallback = callback;
}

std::string KERVApi::InitKERVApi(const char* path) {
    Log(2, "\nCall %s\n", "InitKERVApi");
    if (m_libraryHandle != nullptr) return std::string();

    // dlopen(nullptr) would hand out the main program and mark it loaded for good.
    if (path == nullptr) return "Failed to load libKERV.so: no path given";

    Log(2, "\tTrying to load from: %s \n", path);
    errno = 0;
    m_libraryHandle = dlopen(path, RTLD_LAZY);
    if (m_libraryHandle == nullptr) {
        const char* reason = dlerror();
        return std::string("Failed to load libKERV.so: ") + (reason != nullptr ? reason : "");
    }

    for (std::size_t slot = 0; slot < kerv::kEntryPointCount; ++slot) {
        void* function = nullptr;
        if (LoadProcAddress(function, kerv::kEntryPointNames[slot])) m_entryPoints[slot] = function;
    }
    return std::string();
}

bool KERVApi::LoadProcAddress(void*& slot, const char* symbol) {
    Log(2, "LoadProcAddress for %s\n", symbol);
    slot = dlsym(m_libraryHandle, symbol);
    if (slot != nullptr) {
        Log(2, "[Success] find function entry for %s and prt %llu\n", symbol,
            static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(slot)));
        return true;
    }
    Log(1, "[Fail] find function entry for %s\n", symbol);
    return false;
}
