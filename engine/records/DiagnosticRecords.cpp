#include "engine/records/DiagnosticRecords.h"

#include <set>

#include "engine/records/CRecords.h"

namespace kerv::engine {

namespace {

const char* const kProducer = "cppcheck";

void releaseLocations(VQLocationArray_C* locations) {
    if (!locations) return;
    for (uint32_t i = 0; i < locations->count; ++i) {
        if (!locations->locations[i]) continue;
        std::free(locations->locations[i]->file);
        std::free(locations->locations[i]);
    }
    std::free(locations);
}

VQLocationArray_C* buildLocations(const std::vector<FindingLocation>& locations) {
    auto* array = allocateCounted<VQLocationArray_C>(locations.size());
    try {
        for (size_t i = 0; i < locations.size(); ++i) {
            auto* location = allocateRecord<LocationStruct>();
            array->locations[i] = location;
            location->file = copyText(locations[i].file);
            location->line = locations[i].line;
            location->column = locations[i].column;
        }
    } catch (...) {
        releaseLocations(array);
        throw;
    }
    return array;
}

bool spansFiles(const Finding& finding) {
    std::set<std::string> files;
    for (const auto& location : finding.locations) files.insert(location.file);
    return files.size() > 1;
}

void fillDiagnostic(DiagnosticStruct* diagnostic, const Finding& finding, SuppressionState state);

// A secondary location with a note becomes a sub-diagnostic of its own.
std::vector<Finding> secondaryNotes(const Finding& finding) {
    std::vector<Finding> notes;
    for (size_t i = 1; i < finding.locations.size(); ++i) {
        const FindingLocation& location = finding.locations[i];
        if (location.info.empty()) continue;
        Finding note{finding.id,  finding.severity,     location.info, location.info,
                     finding.cwe, finding.inconclusive, {location},    {}};
        notes.push_back(note);
    }
    return notes;
}

VQDiagnosticArray_C* buildArray(const std::vector<Finding>& findings, SuppressionState state) {
    std::vector<DiagnosticInput> inputs;
    inputs.reserve(findings.size());
    for (const auto& finding : findings) inputs.push_back({&finding, state});
    return buildDiagnostics(inputs);
}

void fillDiagnostic(DiagnosticStruct* diagnostic, const Finding& finding, SuppressionState state) {
    diagnostic->message = buildMessage(finding.id, finding.severity, finding.message, finding.verbose, finding.cwe);
    diagnostic->multiHomed = spansFiles(finding) ? 1 : 0;
    diagnostic->suppressionState = state;
    diagnostic->messageParameters = textArray<VQParameterArray_C>(finding.symbols);
    diagnostic->locationInformation = buildLocations(finding.locations);
    diagnostic->subDiagnostics = buildArray(secondaryNotes(finding), state);
    diagnostic->hasSubDiagnostics = diagnostic->subDiagnostics->count > 0 ? 1 : 0;
}

void releaseDiagnostic(DiagnosticStruct* diagnostic) {
    if (!diagnostic) return;
    releaseMessage(diagnostic->message);
    releaseDiagnostics(diagnostic->subDiagnostics);
    freeTextArray(diagnostic->messageParameters);
    releaseLocations(diagnostic->locationInformation);
    std::free(diagnostic);
}

}  // namespace

std::string helpLocationFor(int cwe) {
    return cwe > 0 ? "https://cwe.mitre.org/data/definitions/" + std::to_string(cwe) + ".html" : "";
}

int32_t messageLevelFor(const std::string& severity) {
    if (severity == "debug") return 1;
    if (severity == "information") return 3;
    return 2;
}

VQMessage_C* buildMessage(const std::string& id, const std::string& severity, const std::string& text,
                          const std::string& verbose, int cwe) {
    auto* message = allocateRecord<VQMessage_C>();
    try {
        message->uniqueMessageID = copyText(id);
        message->helpFileLocation = copyText(helpLocationFor(cwe));
        message->messageLevel = messageLevelFor(severity);
        message->messageNumber = copyText(std::to_string(cwe));
        message->messageText = copyText(text);
        message->producer = copyText(kProducer);
        std::vector<std::string> references;
        if (cwe > 0) references.push_back("CWE-" + std::to_string(cwe));
        if (!verbose.empty() && verbose != text) references.push_back(verbose);
        message->references = textArray<VQReferenceArray_C>(references);
    } catch (...) {
        releaseMessage(message);
        throw;
    }
    return message;
}

void releaseMessage(VQMessage_C* message) {
    if (!message) return;
    std::free(message->uniqueMessageID);
    std::free(message->helpFileLocation);
    std::free(message->messageNumber);
    std::free(message->messageText);
    std::free(message->producer);
    freeTextArray(message->references);
    std::free(message);
}

VQDiagnosticArray_C* buildDiagnostics(const std::vector<DiagnosticInput>& inputs) {
    auto* array = allocateCounted<VQDiagnosticArray_C>(inputs.size());
    try {
        for (size_t i = 0; i < inputs.size(); ++i) {
            array->diagnostics[i] = allocateRecord<DiagnosticStruct>();
            fillDiagnostic(array->diagnostics[i], *inputs[i].finding, inputs[i].state);
        }
    } catch (...) {
        releaseDiagnostics(array);
        throw;
    }
    return array;
}

void releaseDiagnostics(VQDiagnosticArray_C*& record) {
    if (!record) return;
    for (uint32_t i = 0; i < record->count; ++i) releaseDiagnostic(record->diagnostics[i]);
    std::free(record);
    record = nullptr;
}

}  // namespace kerv::engine
