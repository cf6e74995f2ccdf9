#include "engine/records/ListRecords.h"

#include "engine/records/CRecords.h"

namespace kerv::engine {

VQStrings_C* buildStrings(const std::vector<std::string>& texts) {
    return textArray<VQStrings_C>(texts);
}

VQFilePathArray_C* buildFilePaths(const std::vector<std::string>& paths) {
    return textArray<VQFilePathArray_C>(paths);
}

VQFile_C* buildVQFile(const ProjectFile& file) {
    auto* record = allocateRecord<VQFile_C>();
    try {
        record->reserved = copyText(file.path);
        record->sourceLanguage = static_cast<VQSourceLanguage_C>(file.language);
        record->defines = textArray<VQDefines_C>(file.defines);
        record->includes = allocateCounted<VQIncludes_C>(file.includes.size(), sizeof(VQInclude_C));
        for (size_t i = 0; i < file.includes.size(); ++i)
            record->includes->includes[i].includePath = copyText(file.includes[i]);
    } catch (...) {
        releaseVQFile(record);
        throw;
    }
    return record;
}

VQLanguages_C* buildLanguages(const std::vector<int>& languages) {
    auto* record = static_cast<VQLanguages_C*>(allocateZeroed(4 + languages.size() * sizeof(VQLanguage_C)));
    record->count = static_cast<uint32_t>(languages.size());
    for (size_t i = 0; i < languages.size(); ++i) record->languages[i] = static_cast<VQLanguage_C>(languages[i]);
    return record;
}

void releaseStrings(VQStrings_C*& record) {
    freeTextArray(record);
    record = nullptr;
}

void releaseFilePaths(VQFilePathArray_C*& record) {
    freeTextArray(record);
    record = nullptr;
}

void releaseVQFile(VQFile_C*& record) {
    if (!record) return;
    std::free(record->reserved);
    freeTextArray(record->defines);
    if (record->includes) {
        for (uint32_t i = 0; i < record->includes->count; ++i) std::free(record->includes->includes[i].includePath);
        std::free(record->includes);
    }
    std::free(record);
    record = nullptr;
}

void releaseLanguages(VQLanguages_C*& record) {
    std::free(record);
    record = nullptr;
}

}  // namespace kerv::engine
