// Release of every record the engine hands out. Each takes the address of the
// caller's record pointer, frees the whole record and sets the pointer to
// null; a null record is nothing to free (kOk), a null address kNullArgument.
#include "engine/entry/EntryPoints.h"
#include "engine/records/DiagnosticRecords.h"
#include "engine/records/ListRecords.h"
#include "engine/records/RuleRecords.h"
#include "engine/records/TreeRecords.h"

using namespace kerv::engine;

namespace {

template <class Record>
int release(const char* entryPoint, Record** record, void (*releaser)(Record*&)) {
    return guardedStatus(entryPoint, [&](Session&) -> int {
        if (!record) return reportStatus(entryPoint, kNullArgument);
        releaser(*record);
        return kOk;
    });
}

}  // namespace

extern "C" {

int freeVQFile(VQFile_C** file) {
    return release("freeVQFile", file, releaseVQFile);
}
int freeDiagnostics(VQDiagnosticArray_C** diagnostics) {
    return release("freeDiagnostics", diagnostics, releaseDiagnostics);
}
int freeRuleGroups(VQRuleGroupArray_C** groups) {
    return release("freeRuleGroups", groups, releaseRuleGroups);
}
int freeMessageRuleMap(VQMessageRuleMap_C** map) {
    return release("freeMessageRuleMap", map, releaseMessageRuleMap);
}
int freeTrees(VQTrees_C** trees) {
    return release("freeTrees", trees, releaseTrees);
}

void freeLanguages(VQLanguages_C** languages) {
    if (languages) releaseLanguages(*languages);
}

// A list the engine keeps (getFiles, getIncludedFiles) may be released here
// too: the engine then forgets it.
int freeStrings(VQStrings_C** strings) {
    return guardedStatus("freeStrings", [&](Session& s) -> int {
        if (!strings) return reportStatus("freeStrings", kNullArgument);
        if (*strings && *strings == s.retainedFileList) s.retainedFileList = nullptr;
        releaseStrings(*strings);
        return kOk;
    });
}

int freeFilePaths(VQFilePathArray_C** paths) {
    return guardedStatus("freeFilePaths", [&](Session& s) -> int {
        if (!paths) return reportStatus("freeFilePaths", kNullArgument);
        if (*paths && *paths == s.retainedIncludedFiles) s.retainedIncludedFiles = nullptr;
        releaseFilePaths(*paths);
        return kOk;
    });
}

}  // extern "C"
