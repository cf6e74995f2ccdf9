// Records for the stand-in to hand out, owned by the test.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "api/KERVRecords.h"

struct FreeRecord {
    void operator()(void* record) const { std::free(record); }
};

// A counted array: the count at byte 0, the element pointers from byte 8.
template <typename Record>
class Counted {
public:
    explicit Counted(const std::vector<void*>& elements)
        : m_record(static_cast<Record*>(std::calloc(1, kElements + elements.size() * sizeof(void*)))) {
        const auto count = static_cast<uint32_t>(elements.size());
        std::memcpy(m_record.get(), &count, sizeof count);
        if (!elements.empty()) {
            std::memcpy(reinterpret_cast<char*>(m_record.get()) + kElements, elements.data(),
                        elements.size() * sizeof(void*));
        }
    }
    Record* get() const { return m_record.get(); }

private:
    static constexpr std::size_t kElements = 8;
    std::unique_ptr<Record, FreeRecord> m_record;
};

// A VQStrings_C that keeps its texts alive.
class StringList {
public:
    explicit StringList(const std::vector<std::string>& texts) : m_texts(texts), m_record(Pointers(m_texts)) {}
    VQStrings_C* get() const { return m_record.get(); }

private:
    static std::vector<void*> Pointers(std::vector<std::string>& texts) {
        std::vector<void*> pointers;
        for (std::string& text : texts) pointers.push_back(text.data());
        return pointers;
    }
    std::vector<std::string> m_texts;
    Counted<VQStrings_C> m_record;
};

// A VQLanguages_C: 4-byte values right after the count.
class LanguageList {
public:
    explicit LanguageList(const std::vector<int32_t>& languages)
        : m_record(static_cast<VQLanguages_C*>(std::calloc(1, 4 + languages.size() * 4))) {
        m_record->count = static_cast<uint32_t>(languages.size());
        for (std::size_t i = 0; i < languages.size(); ++i) m_record->languages[i] = VQLanguage_C{languages[i]};
    }
    VQLanguages_C* get() const { return m_record.get(); }

private:
    std::unique_ptr<VQLanguages_C, FreeRecord> m_record;
};
