#include "fuzz/support/RecordBuilder.h"

#include <cstring>

namespace fuzz {

bool RecordBuilder::null() {
    return input_.ConsumeIntegralInRange<uint8_t>(0, 15) == 15;
}

uint32_t RecordBuilder::count() {
    const auto n = input_.ConsumeIntegralInRange<uint32_t>(0, 4);
    if (recordBudget_ <= 0) return 0;
    recordBudget_ -= static_cast<int>(n);
    return n;
}

char* RecordBuilder::plainText() {
    return text(true);
}

char* RecordBuilder::anyText() {
    return text(false);
}

char* RecordBuilder::text(bool plain) {
    if (null()) return nullptr;
    std::string value = input_.ConsumeRandomLengthString(40);
    value.resize(std::strlen(value.c_str()));
    if (plain) {
        for (char& c : value) {
            if (c == '<' || c == '&') c = '_';
        }
    }
    return arena_.Text(value);
}

}  // namespace fuzz
