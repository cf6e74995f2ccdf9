#include "engine/records/CRecords.h"

#include <cstring>

namespace kerv::engine {

char* copyText(const std::string& text) {
    auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (!copy) throw std::bad_alloc();
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

void freeTextArray(void* record) {
    if (!record) return;
    uint32_t count = *static_cast<uint32_t*>(record);
    char** slots = reinterpret_cast<char**>(static_cast<char*>(record) + 8);
    for (uint32_t i = 0; i < count; ++i) std::free(slots[i]);
    std::free(record);
}

}  // namespace kerv::engine
