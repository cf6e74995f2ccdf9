#include "utils/DiagnosticWriter.h"

#include "utils/DepthFirstWalk.h"
#include "utils/TextElement.h"
#include "utils/XmlSink.h"
#include "utils/XmlTags.h"
#include "utils/logger/Logger.h"

namespace Utils {
namespace {

// The elements this file writes, made from the tag globals on first use.
struct Tags {
    const Xml::ElementMarkup column{tagColumn};
    const Xml::TextMarkup<&tagFile> file;
    const Xml::TextMarkup<&tagHelpFileLocation> helpFileLocation;
    const Xml::ElementMarkup line{tagLine};
    const Xml::ElementMarkup locationInformation{tagLocationInformation};
    const Xml::ElementMarkup message{tagMessage};
    const Xml::ElementMarkup messageLevel{tagMessageLevel};
    const Xml::TextMarkup<&tagMessageNumber> messageNumber;
    const Xml::ElementMarkup messageParameters{tagMessageParameters};
    const Xml::TextMarkup<&tagMessageText> messageText;
    const Xml::ElementMarkup multiHomed{tagMultiHomed};
    const Xml::TextMarkup<&tagProducer> producer;
    const Xml::ElementMarkup references{tagReferences};
    const Xml::ElementMarkup subDiagnostics{tagSubDiagnostics};
    const Xml::ElementMarkup suppressionState{tagSuppressionState};
    const Xml::TextMarkup<&tagUniqueMessageID> uniqueMessageID;
    const Xml::ElementMarkup diagnostic{tagVQDiagnosticList};
    const Xml::ElementMarkup entities{tagVQEntities};
};

// Inlined: the guard of the static is one test, a call per element is not.
__attribute__((always_inline)) inline const Tags& tags() {
    static const Tags instance;
    return instance;
}

using Xml::textOf;

constexpr std::string_view boolText(uint8_t flag) {
    return flag ? "true" : "false";
}

template <typename Sink>
void writeMessage(Sink& out, const VQMessage_C& message) {
    Xml::textElement(out, tags().uniqueMessageID, message.uniqueMessageID);
    Xml::textElement(out, tags().helpFileLocation, message.helpFileLocation);
    Xml::decimalElement(out, tags().messageLevel, message.messageLevel);
    Xml::textElement(out, tags().messageNumber, message.messageNumber);
    Xml::textElement(out, tags().messageText, message.messageText);
    Xml::textElement(out, tags().producer, message.producer);
    if (const VQReferenceArray_C* references = message.references) {
        for (uint32_t i = 0; i < references->count; ++i) {
            Xml::cdataElement(out, tags().references, textOf(references->refs[i]));
        }
    }
}

template <typename Sink>
void writeLocation(Sink& out, const LocationStruct* location) {
    out.open(tags().locationInformation);
    if (location) {
        Xml::textElement(out, tags().file, location->file);
        Xml::decimalElement(out, tags().line, location->line);
        Xml::decimalElement(out, tags().column, location->column);
    }
    out.close(tags().locationInformation);
}

// A diagnostic's content is its head (message and flags), its
// sub-diagnostics, then its tail (parameters and locations).
// The message, parameters and locations of a diagnostic are separate records.
void prefetchDiagnostic(const DiagnosticStruct& diagnostic) {
    Xml::prefetch(diagnostic.message, diagnostic.messageParameters, diagnostic.locationInformation);
}

template <typename Sink>
class DiagnosticVisitor {
public:
    explicit DiagnosticVisitor(Sink& out) : out_(out) {}

    void prefetch(const DiagnosticStruct& diagnostic) const { prefetchDiagnostic(diagnostic); }
    void enter(const DiagnosticStruct& diagnostic) {
        out_.open(tags().message);
        if (diagnostic.message) writeMessage(out_, *diagnostic.message);
        out_.close(tags().message);
        Xml::element(out_, tags().multiHomed, boolText(diagnostic.multiHomed));
        Xml::decimalElement(out_, tags().suppressionState, diagnostic.suppressionState);
        Xml::element(out_, tags().subDiagnostics, boolText(diagnostic.hasSubDiagnostics));
    }
    uint32_t childCount(const DiagnosticStruct& diagnostic) const {
        return diagnostic.subDiagnostics ? diagnostic.subDiagnostics->count : 0;
    }
    const DiagnosticStruct* child(const DiagnosticStruct& diagnostic, uint32_t index) const {
        return diagnostic.subDiagnostics->diagnostics[index];
    }
    void beginChild(uint32_t) { out_.open(tags().diagnostic); }
    void endChild() { out_.close(tags().diagnostic); }
    void leave(const DiagnosticStruct& diagnostic) {
        if (const VQParameterArray_C* parameters = diagnostic.messageParameters) {
            for (uint32_t i = 0; i < parameters->count; ++i) {
                Xml::cdataElement(out_, tags().messageParameters, textOf(parameters->parameters[i]));
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
        prefetchAhead(diagnostics.diagnostics, diagnostics.count, i, prefetchDiagnostic);
        out.open(tags().diagnostic);
        if (const DiagnosticStruct* diagnostic = diagnostics.diagnostics[i]) writeDiagnostic(out, *diagnostic);
        out.close(tags().diagnostic);
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
        out.open(tags().entities);
        writeDiagnosticList(out, *diagnostics);
        out.close(tags().entities);
    });
}

}  // namespace Utils
