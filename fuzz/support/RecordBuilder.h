// Builds records of the analysis library from fuzz input: texts, numbers,
// flags, counted arrays and null pointers at any level, in the shared record
// arena: every block it hands out is freed with the builder.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/support/RecordArena.h"

namespace fuzz {

class RecordBuilder {
public:
    explicit RecordBuilder(FuzzedDataProvider& input) : input_(input) {}

    // True for about one pointer in sixteen; false once the input is used up.
    bool null();
    // A list length of 0 to 4, or 0 once the record budget is spent.
    uint32_t count();
    int32_t number() { return input_.ConsumeIntegral<int32_t>(); }
    // Any byte, not only 0 and 1: every non-zero byte means true.
    uint8_t flag() { return input_.ConsumeIntegral<uint8_t>(); }

    // Texts, possibly null. A plain text holds no '<' and no '&', as the
    // writers put some values in unescaped; any other text holds every byte
    // but NUL.
    char* plainText();
    char* anyText();

    // A zeroed block of `bytes` bytes that lives as long as the builder.
    void* block(std::size_t bytes) { return arena_.Block(bytes); }

    // A zeroed record, or a counted array with room for `n` element pointers
    // and its count set.
    template <class Record>
    Record* record() {
        return arena_.Zeroed<Record>();
    }
    template <class Array>
    Array* countedArray(uint32_t n) {
        return arena_.Counted<Array>(n);
    }

private:
    char* text(bool plain);

    FuzzedDataProvider& input_;
    RecordArena arena_;
    int recordBudget_ = 300;
};

// The text a writer puts in for a field: the field, or the empty text.
inline std::string textOr(const char* field) {
    return field != nullptr ? std::string(field) : std::string();
}

}  // namespace fuzz
