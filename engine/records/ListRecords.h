// Builders and freers of the list-like records: texts, file paths, a file's
// settings and the available languages. Each release function takes the
// record pointer by reference, frees everything and sets it to null.
#pragma once

#include <string>
#include <vector>

#include "api/KERVRecords.h"
#include "engine/store/Project.h"

namespace kerv::engine {

VQStrings_C* buildStrings(const std::vector<std::string>& texts);
VQFilePathArray_C* buildFilePaths(const std::vector<std::string>& paths);
VQFile_C* buildVQFile(const ProjectFile& file);
VQLanguages_C* buildLanguages(const std::vector<int>& languages);

void releaseStrings(VQStrings_C*& record);
void releaseFilePaths(VQFilePathArray_C*& record);
void releaseVQFile(VQFile_C*& record);
void releaseLanguages(VQLanguages_C*& record);

}  // namespace kerv::engine
