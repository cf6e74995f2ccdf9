// Diagnostics with messages, references, parameters, locations and nested
// sub-diagnostics, written by the diagnostic writers and read back.
#include <string>

#include "fuzz/support/FuzzCheck.h"
#include "fuzz/support/RecordBuilder.h"
#include "fuzz/support/XmlReadBack.h"
#include "fuzz/writers/WriterCases.h"
#include "utils/DiagnosticWriter.h"

namespace fuzz {

namespace {

constexpr int kMaxDepth = 6;

VQMessage_C* buildMessage(RecordBuilder& build) {
    if (build.null()) return nullptr;
    auto* message = build.record<VQMessage_C>();
    message->uniqueMessageID = build.plainText();
    message->helpFileLocation = build.plainText();
    message->messageLevel = build.number();
    message->messageNumber = build.plainText();
    message->messageText = build.anyText();
    message->producer = build.plainText();
    if (!build.null()) {
        const uint32_t n = build.count();
        message->references = build.countedArray<VQReferenceArray_C>(n);
        for (uint32_t i = 0; i < n; ++i) message->references->refs[i] = build.anyText();
    }
    return message;
}

VQDiagnosticArray_C* buildDiagnostics(RecordBuilder& build, int depth);

DiagnosticStruct* buildDiagnostic(RecordBuilder& build, int depth) {
    if (build.null()) return nullptr;
    auto* diagnostic = build.record<DiagnosticStruct>();
    diagnostic->message = buildMessage(build);
    diagnostic->hasSubDiagnostics = build.flag();
    diagnostic->multiHomed = build.flag();
    diagnostic->suppressionState = build.number();
    if (depth < kMaxDepth) diagnostic->subDiagnostics = buildDiagnostics(build, depth + 1);
    if (!build.null()) {
        const uint32_t n = build.count();
        diagnostic->messageParameters = build.countedArray<VQParameterArray_C>(n);
        for (uint32_t i = 0; i < n; ++i) diagnostic->messageParameters->parameters[i] = build.anyText();
    }
    if (!build.null()) {
        const uint32_t n = build.count();
        diagnostic->locationInformation = build.countedArray<VQLocationArray_C>(n);
        for (uint32_t i = 0; i < n; ++i) {
            if (build.null()) continue;
            auto* location = build.record<LocationStruct>();
            location->file = build.plainText();
            location->line = build.number();
            location->column = build.number();
            diagnostic->locationInformation->locations[i] = location;
        }
    }
    return diagnostic;
}

VQDiagnosticArray_C* buildDiagnostics(RecordBuilder& build, int depth) {
    if (build.null()) return nullptr;
    const uint32_t n = build.count();
    auto* array = build.countedArray<VQDiagnosticArray_C>(n);
    for (uint32_t i = 0; i < n; ++i) array->diagnostics[i] = buildDiagnostic(build, depth);
    return array;
}

void checkMessage(pugi::xml_node element, const VQMessage_C* message) {
    if (message == nullptr) return expectEmpty(element);
    ElementCursor cursor(element);
    cursor.leaf("UMID", textOr(message->uniqueMessageID));
    cursor.leaf("HFL", textOr(message->helpFileLocation));
    cursor.leaf("ML", std::to_string(message->messageLevel));
    cursor.leaf("MN", textOr(message->messageNumber));
    cursor.leaf("MT", textOr(message->messageText));
    cursor.leaf("P", textOr(message->producer));
    if (message->references != nullptr) {
        for (uint32_t i = 0; i < message->references->count; ++i)
            cursor.leaf("R", textOr(message->references->refs[i]));
    }
    cursor.end();
}

void checkDiagnostic(pugi::xml_node element, const DiagnosticStruct* diagnostic);

void checkDiagnostics(ElementCursor& cursor, const VQDiagnosticArray_C* diagnostics) {
    if (diagnostics == nullptr) return;
    for (uint32_t i = 0; i < diagnostics->count; ++i) checkDiagnostic(cursor.next("VQD"), diagnostics->diagnostics[i]);
}

void checkDiagnostic(pugi::xml_node element, const DiagnosticStruct* diagnostic) {
    if (diagnostic == nullptr) return expectEmpty(element);
    ElementCursor cursor(element);
    checkMessage(cursor.next("VQM"), diagnostic->message);
    cursor.leaf("MH", diagnostic->multiHomed != 0 ? "true" : "false");
    cursor.leaf("SS", std::to_string(diagnostic->suppressionState));
    cursor.leaf("SD", diagnostic->hasSubDiagnostics != 0 ? "true" : "false");
    checkDiagnostics(cursor, diagnostic->subDiagnostics);
    if (const VQParameterArray_C* parameters = diagnostic->messageParameters) {
        for (uint32_t i = 0; i < parameters->count; ++i) cursor.leaf("MP", textOr(parameters->parameters[i]));
    }
    if (const VQLocationArray_C* locations = diagnostic->locationInformation) {
        for (uint32_t i = 0; i < locations->count; ++i) {
            const pugi::xml_node locationElement = cursor.next("LI");
            const LocationStruct* location = locations->locations[i];
            if (location == nullptr) {
                expectEmpty(locationElement);
                continue;
            }
            ElementCursor parts(locationElement);
            parts.leaf("F", textOr(location->file));
            parts.leaf("L", std::to_string(location->line));
            parts.leaf("C", std::to_string(location->column));
            parts.end();
        }
    }
    cursor.end();
}

}  // namespace

void fuzzDiagnosticWriters(FuzzedDataProvider& input) {
    RecordBuilder build(input);
    VQDiagnosticArray_C* diagnostics = buildDiagnostics(build, 0);

    const std::string whole = Utils::SerializeDiagnosticArray(diagnostics);
    if (diagnostics == nullptr) {
        FUZZ_CHECK(whole.empty(), "a null array gives " + quoted(whole));
        return;
    }
    const std::string inner = Utils::SerializeDiagnosticArrayIndividual(diagnostics);
    FUZZ_CHECK(whole == "<VQE>" + inner + "</VQE>", "VQE differs from its content " + quoted(inner));

    pugi::xml_document document;
    parseOrFail(document, whole);
    const pugi::xml_node root = document.first_child();
    FUZZ_CHECK(std::string(root.name()) == "VQE", "root " + std::string(root.name()));
    ElementCursor cursor(root);
    checkDiagnostics(cursor, diagnostics);
    cursor.end();

    if (diagnostics->count > 0) {
        DiagnosticStruct* first = diagnostics->diagnostics[0];
        const std::string single = Utils::SerializeDiagnostic(first);
        FUZZ_CHECK(inner.compare(0, 5 + single.size() + 6, "<VQD>" + single + "</VQD>") == 0,
                   "SerializeDiagnostic differs from the first VQD: " + quoted(single));
        if (first != nullptr) {
            const std::string message = Utils::SerializeMessage(first->message);
            FUZZ_CHECK(single.compare(0, 5 + message.size() + 6, "<VQM>" + message + "</VQM>") == 0,
                       "SerializeMessage differs from the first VQM: " + quoted(message));
        }
    }
}

std::string diagnosticsText(FuzzedDataProvider& input) {
    RecordBuilder build(input);
    return Utils::SerializeDiagnosticArray(buildDiagnostics(build, 0));
}

}  // namespace fuzz
