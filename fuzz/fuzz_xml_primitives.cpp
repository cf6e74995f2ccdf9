// Fuzz target: escaping, element building and substring replacement. The
// results are compared with literal implementations of the rules (five
// replacement passes; copy and search again after every replacement), and an
// escaped value must read back unchanged through a real XML parser.
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

#include "fuzz/support/FuzzCheck.h"
#include "fuzz/support/XmlReadBack.h"
#include "utils/XmlPrimitives.h"

namespace {

int32_t referenceReplace(std::string& text, const std::string& pattern, const std::string& replacement) {
    if (pattern.empty()) return 0;
    std::size_t at = text.find(pattern);
    if (at == std::string::npos) return 0;
    std::string copy = text;
    while (at != std::string::npos) {
        copy.replace(at, pattern.size(), replacement);
        at = copy.find(pattern, at + replacement.size());
    }
    text = copy;
    return 1;
}

std::string referenceEscape(std::string text) {
    referenceReplace(text, "&", "&amp;");
    referenceReplace(text, "<", "&lt;");
    referenceReplace(text, ">", "&gt;");
    referenceReplace(text, "'", "&apos;");
    referenceReplace(text, "\"", "&quot;");
    return text;
}

void checkReplacement(const std::string& text, const std::string& pattern, const std::string& replacement) {
    std::string expected = text;
    const int32_t expectedResult = referenceReplace(expected, pattern, replacement);

    std::string actual = text;
    const int32_t result = Utils::replaceSubstring(actual, pattern, replacement);
    FUZZ_CHECK(result == expectedResult && actual == expected,
               "replaceSubstring(" + fuzz::quoted(text) + ", " + fuzz::quoted(pattern) + ", " +
                   fuzz::quoted(replacement) + ") gives " + std::to_string(result) + " " + fuzz::quoted(actual));

    actual = text;
    Utils::replaceAll(actual, pattern, replacement);
    FUZZ_CHECK(actual == expected, "replaceAll(" + fuzz::quoted(text) + ", " + fuzz::quoted(pattern) + ", " +
                                       fuzz::quoted(replacement) + ") gives " + fuzz::quoted(actual));
}

void checkElements(const std::string& tag, const std::string& value, bool cdata) {
    const std::string open = "<" + tag + ">" + (cdata ? "<![CDATA[" : "");
    const std::string close = (cdata ? "]]>" : "") + ("</" + tag + ">");
    FUZZ_CHECK(Utils::openXMLNode(tag, cdata) == open, "openXMLNode of " + fuzz::quoted(tag));
    FUZZ_CHECK(Utils::closeXMLNode(tag, cdata) == close, "closeXMLNode of " + fuzz::quoted(tag));
    FUZZ_CHECK(Utils::createXMLNode(tag, value, cdata) == open + value + close,
               "createXMLNode of " + fuzz::quoted(value));

    const std::string escaped = Utils::ValidateForXML(value);
    FUZZ_CHECK(escaped == referenceEscape(value),
               "ValidateForXML(" + fuzz::quoted(value) + ") gives " + fuzz::quoted(escaped));
    FUZZ_CHECK(Utils::createSafeXMLNode(tag, value) == "<" + tag + ">" + escaped + "</" + tag + ">",
               "createSafeXMLNode of " + fuzz::quoted(value));

    // A parser reads every byte but NUL back from the escaped text.
    if (value.find('\0') == std::string::npos) {
        pugi::xml_document document;
        fuzz::parseOrFail(document, "<v>" + escaped + "</v>");
        const std::string readBack = fuzz::textOf(document.first_child());
        FUZZ_CHECK(readBack == value, "escaped " + fuzz::quoted(value) + " reads back as " + fuzz::quoted(readBack));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const bool cdata = input.ConsumeBool();
    const std::string tag = input.ConsumeRandomLengthString(8);
    const std::string pattern = input.ConsumeRandomLengthString(8);
    const std::string replacement = input.ConsumeRandomLengthString(8);
    const std::string text = input.ConsumeRemainingBytesAsString();
    checkElements(tag, text, cdata);
    checkReplacement(text, pattern, replacement);
    return 0;
}
