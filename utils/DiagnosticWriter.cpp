#include "utils/DiagnosticWriter.h"

#include "utils/DepthFirstWalk.h"
#include "utils/XmlSink.h"
#include "utils/XmlTags.h"
#include "utils/logger/Logger.h"

namespace Utils {
namespace {

using Xml::textOf;

constexpr std::string_view boolText(uint8_t flag) {
    return flag ? "true" : "false";
}

template <typename Sink>
void writeMessage(Sink& out, const VQMessage_C& message) {
    Xml::element(out, tagUniqueMessageID, textOf(message.uniqueMessageID));
    Xml::element(out, tagHelpFileLocation, textOf(message.helpFileLocation));
    Xml::decimalElement(out, tagMessageLevel, message.messageLevel);
    Xml::element(out, tagMessageNumber, textOf(message.messageNumber));
    Xml::escapedElement(out, tagMessageText, textOf(message.messageText));
    Xml::element(out, tagProducer, textOf(message.producer));
    if (const VQReferenceArray_C* references = message.references) {
        for (uint32_t i = 0; i < references->count; ++i) {
            Xml::cdataElement(out, tagReferences, textOf(references->refs[i]));
        }
    }
}

template <typename Sink>
void writeLocation(Sink& out, const LocationStruct* location) {
    out.open(tagLocationInformation);
    if (location) {
        Xml::element(out, tagFile, textOf(location->file));
        Xml::decimalElement(out, tagLine, location->line);
        Xml::decimalElement(out, tagColumn, location->column);
    }
    out.close(tagLocationInformation);
}

// A diagnostic's content is its head (message and flags), its
// sub-diagnostics, then its tail (parameters and locations).
template <typename Sink>
class DiagnosticVisitor {
public:
    explicit DiagnosticVisitor(Sink& out) : out_(out) {}

    void enter(const DiagnosticStruct& diagnostic) {
        out_.open(tagMessage);
        if (diagnostic.message) writeMessage(out_, *diagnostic.message);
        out_.close(tagMessage);
        Xml::element(out_, tagMultiHomed, boolText(diagnostic.multiHomed));
        Xml::decimalElement(out_, tagSuppressionState, diagnostic.suppressionState);
        Xml::element(out_, tagSubDiagnostics, boolText(diagnostic.hasSubDiagnostics));
    }
    uint32_t childCount(const DiagnosticStruct& diagnostic) const {
        return diagnostic.subDiagnostics ? diagnostic.subDiagnostics->count : 0;
    }
    const DiagnosticStruct* child(const DiagnosticStruct& diagnostic, uint32_t index) const {
        return diagnostic.subDiagnostics->diagnostics[index];
    }
    void beginChild(uint32_t) { out_.open(tagVQDiagnosticList); }
    void endChild() { out_.close(tagVQDiagnosticList); }
    void leave(const DiagnosticStruct& diagnostic) {
        if (const VQParameterArray_C* parameters = diagnostic.messageParameters) {
            for (uint32_t i = 0; i < parameters->count; ++i) {
                Xml::cdataElement(out_, tagMessageParameters, textOf(parameters->parameters[i]));
            }
        }
        if (const VQLocationArray_C* locations = diagnostic.locationInformation) {
            for (uint32_t i = 0; i < locations->count; ++i) writeLocation(out_, locations->locations[i]);
        }
    }

private:
    Sink& out_;
};

template <typename Sink>
void writeDiagnostic(Sink& out, const DiagnosticStruct& diagnostic) {
    DiagnosticVisitor<Sink> visitor(out);
    walkDepthFirst(diagnostic, visitor);
}

template <typename Sink>
void writeDiagnosticList(Sink& out, const VQDiagnosticArray_C& diagnostics) {
    for (uint32_t i = 0; i < diagnostics.count; ++i) {
        out.open(tagVQDiagnosticList);
        if (const DiagnosticStruct* diagnostic = diagnostics.diagnostics[i]) writeDiagnostic(out, *diagnostic);
        out.close(tagVQDiagnosticList);
    }
}

}  // namespace

std::string SerializeMessage(VQMessage_C* message) {
    if (!message) return {};
    return Xml::render([&](auto& out) { writeMessage(out, *message); });
}

std::string SerializeDiagnostic(DiagnosticStruct* diagnostic) {
    if (!diagnostic) return {};
    return Xml::render([&](auto& out) { writeDiagnostic(out, *diagnostic); });
}

std::string SerializeDiagnosticArrayIndividual(VQDiagnosticArray_C* diagnostics) {
    if (!diagnostics) return {};
    return Xml::render([&](auto& out) { writeDiagnosticList(out, *diagnostics); });
}

std::string SerializeDiagnosticArray(VQDiagnosticArray_C* diagnostics) {
    if (!diagnostics) return {};
    Logger::Log(2, "Utils:SerializeDiagnosticArray - Attempting to serialize diagArray with size : %d\n",
                static_cast<int>(diagnostics->count));
    return Xml::render([&](auto& out) {
        out.open(tagVQEntities);
        writeDiagnosticList(out, *diagnostics);
        out.close(tagVQEntities);
    });
}

}  // namespace Utils
