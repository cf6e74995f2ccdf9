// Builds records in the analysis library's layout (counted arrays with inline
// element pointers, NUL-terminated texts), each in a block of its own as the
// library makes them, and frees all of them at once. The unit tests, the fuzz
// targets, the JVM test shim, the soak fixture and the benchmarks share it.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "api/KERVRecords.h"

class RecordArena {
public:
    RecordArena() = default;
    RecordArena(const RecordArena&) = delete;
    RecordArena& operator=(const RecordArena&) = delete;
    ~RecordArena() { Clear(); }

    // Frees every block handed out so far.
    void Clear() {
        for (void* block : m_blocks) std::free(block);
        m_blocks.clear();
    }

    // A zeroed block that lives as long as the arena (or until Clear).
    void* Block(std::size_t size) {
        void* block = std::calloc(1, size);
        if (block == nullptr) throw std::bad_alloc();
        try {
            m_blocks.push_back(block);
        } catch (...) {
            std::free(block);
            throw;
        }
        return block;
    }

    char* Text(std::string_view text) {
        auto* copy = static_cast<char*>(Block(text.size() + 1));
        std::memcpy(copy, text.data(), text.size());
        return copy;
    }
    char* Text(const char* text) { return text ? Text(std::string_view(text)) : nullptr; }
    char* Text(const std::string& text) { return Text(std::string_view(text)); }

    template <typename Record>
    Record* Zeroed() {
        return static_cast<Record*>(Block(sizeof(Record)));
    }
    template <typename Record>
    Record* Make(const Record& value) {
        auto* record = Zeroed<Record>();
        std::memcpy(static_cast<void*>(record), &value, sizeof(Record));
        return record;
    }

    // A counted array with `count` null element pointers: the uint32 count at
    // byte 0, the pointers from byte 8.
    template <typename Array>
    Array* Counted(uint32_t count) {
        auto* block = static_cast<unsigned char*>(Block(8 + 8 * std::size_t{count}));
        std::memcpy(block, &count, sizeof count);
        return reinterpret_cast<Array*>(block);
    }
    template <typename Array, typename Element>
    Array* List(const std::vector<Element*>& items) {
        auto* array = Counted<Array>(static_cast<uint32_t>(items.size()));
        if (!items.empty()) std::memcpy(reinterpret_cast<unsigned char*>(array) + 8, items.data(), 8 * items.size());
        return array;
    }
    template <typename Array, typename Element>
    Array* List(std::initializer_list<Element*> items) {
        return List<Array>(std::vector<Element*>(items));
    }
    template <typename Array>
    Array* Empty() {
        return Counted<Array>(0);
    }
    // A counted array of texts; a null text stays a null pointer.
    template <typename Array>
    Array* Texts(std::initializer_list<const char*> texts) {
        std::vector<char*> copies;
        copies.reserve(texts.size());
        for (const char* text : texts) copies.push_back(Text(text));
        return List<Array>(copies);
    }
    template <typename Array>
    Array* Texts(const std::vector<std::string>& texts) {
        std::vector<char*> copies;
        copies.reserve(texts.size());
        for (const std::string& text : texts) copies.push_back(Text(text));
        return List<Array>(copies);
    }

    VQMessage_C* Message(const char* id, const char* help, int32_t level, const char* number, const char* text,
                         const char* producer, VQReferenceArray_C* references = nullptr) {
        return Make(VQMessage_C{Text(id), Text(help), level, Text(number), Text(text), Text(producer), references});
    }
    LocationStruct* Location(const char* file, int32_t line, int32_t column) {
        return Make(LocationStruct{Text(file), line, column});
    }
    RuleStruct* Rule(const char* id, uint8_t active, const char* help, const char* group, const char* text,
                     const char* uid, VQCategoryArray_C* categories = nullptr, VQRuleArray_C* children = nullptr,
                     VQMessageArray_C* mapped = nullptr) {
        return Make(
            RuleStruct{Text(group), Text(help), Text(id), Text(text), active, Text(uid), children, mapped, categories});
    }
    VQTreeStruct* Tree(int32_t type, const char* name, const char* data, int32_t total, int32_t active,
                       VQTreeArray_C* children = nullptr) {
        return Make(VQTreeStruct{static_cast<VQTreeItemType_C>(type), Text(name), Text(data), total, active, children});
    }
    // Not counted arrays: the mapping's count stands second, includes are
    // 16-byte entries, languages 4-byte values.
    VQMessageMapping_C* Mapping(const char* messageId, const std::vector<std::string>& ruleIds) {
        auto* mapping = static_cast<VQMessageMapping_C*>(Block(16 + 8 * ruleIds.size()));
        mapping->uniqueMessageID = Text(messageId);
        mapping->ruleIdCount = static_cast<uint32_t>(ruleIds.size());
        for (std::size_t i = 0; i < ruleIds.size(); ++i) mapping->ruleIds[i] = Text(ruleIds[i]);
        return mapping;
    }
    VQIncludes_C* Includes(const std::vector<std::string>& paths) {
        auto* includes = static_cast<VQIncludes_C*>(Block(8 + 16 * paths.size()));
        includes->count = static_cast<uint32_t>(paths.size());
        for (std::size_t i = 0; i < paths.size(); ++i) includes->includes[i].includePath = Text(paths[i]);
        return includes;
    }
    VQLanguages_C* Languages(const std::vector<int32_t>& values) {
        auto* languages = static_cast<VQLanguages_C*>(Block(4 + 4 * values.size()));
        languages->count = static_cast<uint32_t>(values.size());
        for (std::size_t i = 0; i < values.size(); ++i) languages->languages[i] = static_cast<VQLanguage_C>(values[i]);
        return languages;
    }

private:
    std::vector<void*> m_blocks;
};
