// Allocation helpers for the C records handed to the caller. Every record is
// made with calloc/malloc so that a partly built record (a null element, a
// null text) can always be released by the matching free function; an
// allocation failure throws std::bad_alloc, which the entry points turn into
// kOutOfMemory after releasing what was built.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

namespace kerv::engine {

inline void* allocateZeroed(size_t bytes) {
    void* memory = std::calloc(1, bytes);
    if (!memory) throw std::bad_alloc();
    return memory;
}

// A record whose elements start at byte 8 (a counted array). The count is
// set at once; the elements are null until filled.
template <class Record>
Record* allocateCounted(size_t count, size_t elementSize = sizeof(void*)) {
    if (count > UINT32_MAX) throw std::bad_alloc();
    auto* record = static_cast<Record*>(allocateZeroed(8 + count * elementSize));
    record->count = static_cast<uint32_t>(count);
    return record;
}

template <class Record>
Record* allocateRecord() {
    return static_cast<Record*>(allocateZeroed(sizeof(Record)));
}

char* copyText(const std::string& text);
void freeTextArray(void* record);

// A counted array of texts; freeTextArray releases it (null is allowed) (VQStrings_C, VQDefines_C, VQParameterArray_C
// ...).
template <class Record>
Record* textArray(const std::vector<std::string>& texts) {
    Record* record = allocateCounted<Record>(texts.size());
    char** slots = reinterpret_cast<char**>(reinterpret_cast<char*>(record) + 8);
    try {
        for (size_t i = 0; i < texts.size(); ++i) slots[i] = copyText(texts[i]);
    } catch (...) {
        freeTextArray(record);
        throw;
    }
    return record;
}

}  // namespace kerv::engine
