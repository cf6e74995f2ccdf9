// Builds records in the analysis library's layout (counted arrays with inline
// element pointers, NUL-terminated texts) and frees all of them at once.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "api/KERVRecords.h"

class RecordArena {
public:
    RecordArena() = default;
    RecordArena(const RecordArena&) = delete;
    RecordArena& operator=(const RecordArena&) = delete;
    ~RecordArena() {
        for (void* block : m_blocks) std::free(block);
    }

    char* Text(std::string_view text) {
        auto* copy = static_cast<char*>(Allocate(text.size() + 1));
        std::memcpy(copy, text.data(), text.size());
        return copy;
    }

    char* Text(const char* text) { return text ? Text(std::string_view(text)) : nullptr; }

    template <typename Record>
    Record* Make(const Record& value) {
        auto* record = static_cast<Record*>(Allocate(sizeof(Record)));
        std::memcpy(static_cast<void*>(record), &value, sizeof(Record));
        return record;
    }

    // A counted array: uint32 count at byte 0, the element pointers from byte 8.
    template <typename Array, typename Element>
    Array* List(const std::vector<Element*>& items) {
        auto* block = static_cast<unsigned char*>(Allocate(8 + 8 * items.size()));
        const auto count = static_cast<uint32_t>(items.size());
        std::memcpy(block, &count, sizeof count);
        if (!items.empty()) std::memcpy(block + 8, items.data(), 8 * items.size());
        return reinterpret_cast<Array*>(block);
    }
    template <typename Array, typename Element>
    Array* List(std::initializer_list<Element*> items) {
        return List<Array>(std::vector<Element*>(items));
    }
    template <typename Array>
    Array* Empty() {
        return List<Array>(std::vector<void*>{});
    }
    // A counted array of texts.
    template <typename Array>
    Array* Texts(std::initializer_list<const char*> texts) {
        std::vector<char*> copies;
        for (const char* text : texts) copies.push_back(Text(text));
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
    VQMessageMapping_C* Mapping(const char* messageId, std::initializer_list<const char*> ruleIds) {
        auto* block = static_cast<unsigned char*>(Allocate(16 + 8 * ruleIds.size()));
        auto* mapping = reinterpret_cast<VQMessageMapping_C*>(block);
        mapping->uniqueMessageID = Text(messageId);
        mapping->ruleIdCount = static_cast<uint32_t>(ruleIds.size());
        uint32_t i = 0;
        for (const char* id : ruleIds) mapping->ruleIds[i++] = Text(id);
        return mapping;
    }
    VQIncludes_C* Includes(std::initializer_list<const char*> paths) {
        auto* includes = static_cast<VQIncludes_C*>(Allocate(8 + 16 * paths.size()));
        includes->count = static_cast<uint32_t>(paths.size());
        uint32_t i = 0;
        for (const char* path : paths) includes->includes[i++].includePath = Text(path);
        return includes;
    }
    VQLanguages_C* Languages(std::initializer_list<int32_t> values) {
        auto* languages = static_cast<VQLanguages_C*>(Allocate(4 + 4 * values.size()));
        languages->count = static_cast<uint32_t>(values.size());
        uint32_t i = 0;
        for (int32_t value : values) languages->languages[i++] = static_cast<VQLanguage_C>(value);
        return languages;
    }

private:
    void* Allocate(std::size_t size) {
        void* block = std::calloc(1, size);
        m_blocks.push_back(block);
        return block;
    }

    std::vector<void*> m_blocks;
};
