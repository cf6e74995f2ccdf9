#include "bench/soak/SoakRecords.h"

#include <string>

#include "tests/support/RecordArena.h"

namespace soak {

namespace {

// Never freed: the records live until the process ends, like the records of
// a library that caches its results.
RecordArena& arena = *new RecordArena;

char* text(const std::string& value) {
    return arena.Text(value);
}

template <class Record>
Record* record() {
    return arena.Zeroed<Record>();
}

template <class Array>
Array* countedArray(uint32_t count) {
    return arena.Counted<Array>(count);
}

VQMessage_C* message(unsigned index) {
    const std::string id = std::to_string(index);
    auto* result = record<VQMessage_C>();
    result->uniqueMessageID = text("nullPointer" + id);
    result->helpFileLocation = text("help/checks/nullPointer.html");
    result->messageLevel = 2;
    result->messageNumber = text(id);
    result->messageText = text("Possible null pointer dereference: p && q < limit in call " + id);
    result->producer = text("soak");
    result->references = countedArray<VQReferenceArray_C>(2);
    result->references->refs[0] = text("CWE-476");
    result->references->refs[1] = text("https://example.invalid/rules?id=" + id + "&lang=c");
    return result;
}

DiagnosticStruct* diagnostic(unsigned index, bool withSubDiagnostic) {
    auto* result = record<DiagnosticStruct>();
    result->message = message(index);
    result->suppressionState = static_cast<int32_t>(index % 3);
    result->subDiagnostics = countedArray<VQDiagnosticArray_C>(withSubDiagnostic ? 1 : 0);
    if (withSubDiagnostic) {
        result->hasSubDiagnostics = 1;
        result->subDiagnostics->diagnostics[0] = diagnostic(index + 100000, false);
    }
    result->messageParameters = countedArray<VQParameterArray_C>(2);
    result->messageParameters->parameters[0] = text("p");
    result->messageParameters->parameters[1] = text("<limit>");
    result->locationInformation = countedArray<VQLocationArray_C>(2);
    for (uint32_t i = 0; i < 2; ++i) {
        auto* location = record<LocationStruct>();
        location->file = text("src/module" + std::to_string(index % 7) + "/main.c");
        location->line = static_cast<int32_t>(10 + index + i);
        location->column = static_cast<int32_t>(5 + i);
        result->locationInformation->locations[i] = location;
    }
    return result;
}

RuleStruct* rule(unsigned group, unsigned index, unsigned depth) {
    const std::string id = std::to_string(group) + "." + std::to_string(index);
    auto* result = record<RuleStruct>();
    result->ruleGroup = text("group" + std::to_string(group));
    result->helpFileLocation = text("help/rules/" + id + ".html");
    result->ruleId = text("rule" + id);
    result->ruleText = text("Rule " + id + ": avoid a < b && c > d");
    result->isActive = static_cast<uint8_t>(index % 2);
    result->ruleUID = text("uid-" + id);
    result->categories = countedArray<VQCategoryArray_C>(1);
    result->categories->categories[0] = text("CWE-" + std::to_string(400 + index));
    result->mappedMessages = countedArray<VQMessageArray_C>(0);
    result->childRules = countedArray<VQRuleArray_C>(depth == 0 ? 2 : 0);
    for (uint32_t i = 0; i < result->childRules->count; ++i) {
        result->childRules->rules[i] = rule(group, index * 10 + i, depth + 1);
    }
    return result;
}

VQTreeStruct* treeItem(const std::string& name, unsigned depth) {
    auto* item = record<VQTreeStruct>();
    item->type = static_cast<VQTreeItemType_C>(depth);
    item->name = text(name);
    item->data = text("src/" + name);
    item->total = static_cast<int32_t>(10 + depth);
    item->active = static_cast<int32_t>(depth);
    item->subItems = countedArray<VQTreeArray_C>(depth < 2 ? 4 : 0);
    for (uint32_t i = 0; i < item->subItems->count; ++i) {
        item->subItems->items[i] = treeItem(name + "/" + std::to_string(i), depth + 1);
    }
    return item;
}

SoakRecords build(unsigned diagnosticCount) {
    SoakRecords records{};
    records.diagnostics = countedArray<VQDiagnosticArray_C>(diagnosticCount);
    for (unsigned i = 0; i < diagnosticCount; ++i) records.diagnostics->diagnostics[i] = diagnostic(i, i % 10 == 0);

    records.ruleGroups = countedArray<VQRuleGroupArray_C>(3);
    for (uint32_t g = 0; g < 3; ++g) {
        auto* group = record<RuleGroupStruct>();
        group->ruleGroupName = text("group" + std::to_string(g));
        group->rules = countedArray<VQRuleArray_C>(10);
        for (uint32_t r = 0; r < 10; ++r) group->rules->rules[r] = rule(g, r, 0);
        records.ruleGroups->ruleGroups[g] = group;
    }

    records.messageRuleMap = countedArray<VQMessageRuleMap_C>(50);
    for (uint32_t m = 0; m < 50; ++m) {
        records.messageRuleMap->mappings[m] =
            arena.Mapping(("nullPointer" + std::to_string(m)).c_str(),
                          {"rule0." + std::to_string(m % 10), "rule1." + std::to_string(m % 10)});
    }

    records.trees = record<VQTrees_C>();
    records.trees->fileTree = treeItem("files", 0);
    records.trees->ruleTree = treeItem("rules", 0);
    records.trees->messageTree = treeItem("messages", 0);

    records.file = record<VQFile_C>();
    records.file->sourceLanguage = VQ_SOURCE_LANGUAGE_CPP;
    records.file->defines = countedArray<VQDefines_C>(2);
    records.file->defines->defines[0] = text("NDEBUG");
    records.file->defines->defines[1] = text("VERSION=3");
    records.file->includes = arena.Includes({"/usr/include", "include"});
    records.languages = arena.Languages({0, 1, 2});

    records.files = countedArray<VQStrings_C>(20);
    for (uint32_t i = 0; i < 20; ++i) records.files->strings[i] = text("src/module" + std::to_string(i) + "/main.c");
    return records;
}

}  // namespace

const SoakRecords& buildSoakRecords(unsigned diagnosticCount) {
    static const SoakRecords records = build(diagnosticCount);
    return records;
}

}  // namespace soak
