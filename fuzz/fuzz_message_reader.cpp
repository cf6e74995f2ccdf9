// Fuzz target: the message-list reader on arbitrary text. Its results are
// compared with a plain, literal implementation of the reading rules (copy
// the rest of the text after every message, search from the start), so a
// faster reader must give exactly the same messages, odd inputs included.
#include <fuzzer/FuzzedDataProvider.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/support/FuzzCheck.h"
#include "utils/MessageReader.h"

namespace {

struct ReferenceMessage {
    std::string uniqueMessageID;
    std::string helpFileLocation;
    int32_t messageLevel = 0;
    std::string messageNumber;
    std::string messageText;
    std::string producer;
};

std::string referenceTagValue(const std::string& tag, const std::string& text) {
    const std::string open = "<" + tag + ">";
    const std::string close = "</" + tag + ">";
    const std::size_t openAt = text.find(open);
    const std::size_t closeAt = text.find(close);
    if (openAt == std::string::npos || closeAt == std::string::npos) return "";
    const std::size_t valueAt = openAt + open.size();
    return closeAt < valueAt ? text.substr(valueAt) : text.substr(valueAt, closeAt - valueAt);
}

int32_t referenceTagOccurrences(const std::string& text, const std::string& tag) {
    const std::string open = "<" + tag + ">";
    int32_t count = 0;
    for (std::size_t at = text.find(open); at != std::string::npos; at = text.find(open, at + open.size())) ++count;
    return count;
}

int32_t referenceLevel(const std::string& word) {
    if (word == "VQ_DEBUG") return 1;
    if (word == "VQ_ERROR") return 2;
    if (word == "VQ_USERMESSAGE") return 3;
    return 0;
}

std::vector<ReferenceMessage> referenceRead(const std::string& text) {
    std::vector<ReferenceMessage> messages;
    const std::size_t first = text.find("<VQM>");
    if (first == std::string::npos) return messages;
    const std::size_t listEnd = text.find("</VQE>");
    std::string rest =
        listEnd != std::string::npos && listEnd > first ? text.substr(first, listEnd - first) : text.substr(first);
    const int32_t expected = referenceTagOccurrences(rest, "VQM");
    while (static_cast<int32_t>(messages.size()) < expected && rest.find("<VQM>") != std::string::npos) {
        const std::size_t bodyAt = rest.find("<VQM>") + 5;
        const std::size_t closeAt = rest.find("</VQM>");
        // A "</VQM>" before the "<VQM>" gives a negative length, which the
        // string takes as "to the end".
        const std::string body = closeAt == std::string::npos || closeAt < bodyAt
                                     ? rest.substr(bodyAt)
                                     : rest.substr(bodyAt, closeAt - bodyAt);
        ReferenceMessage message;
        message.uniqueMessageID = referenceTagValue("UMID", body);
        message.helpFileLocation = referenceTagValue("HFL", body);
        message.messageLevel = referenceLevel(referenceTagValue("ML", body));
        message.messageNumber = referenceTagValue("MN", body);
        message.messageText = referenceTagValue("MT", body);
        message.producer = referenceTagValue("P", body);
        messages.push_back(message);
        rest = closeAt == std::string::npos ? std::string() : rest.substr(closeAt + 6);
    }
    return messages;
}

void expectField(const char* actual, const std::string& expected, const char* field, std::size_t index,
                 const std::string& text) {
    FUZZ_CHECK(actual != nullptr, std::string(field) + " of message " + std::to_string(index) + " is null");
    FUZZ_CHECK(expected == actual, std::string(field) + " of message " + std::to_string(index) + " is " +
                                       fuzz::quoted(actual) + ", expected " + fuzz::quoted(expected) + " in " +
                                       fuzz::quoted(text));
}

void checkReader(const std::string& text) {
    const std::vector<ReferenceMessage> expected = referenceRead(text);
    VQMessageArray_C* messages = Utils::DeserializeMessageArray(text.c_str());
    if (expected.empty()) {
        FUZZ_CHECK(messages == nullptr, "messages read from " + fuzz::quoted(text));
        return;
    }
    FUZZ_CHECK(messages != nullptr, "no messages read from " + fuzz::quoted(text));
    FUZZ_CHECK(messages->count == expected.size(), std::to_string(messages->count) + " messages instead of " +
                                                       std::to_string(expected.size()) + " in " + fuzz::quoted(text));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const VQMessage_C* message = messages->messages[i];
        FUZZ_CHECK(message != nullptr, "message " + std::to_string(i) + " is null");
        expectField(message->uniqueMessageID, expected[i].uniqueMessageID, "uniqueMessageID", i, text);
        expectField(message->helpFileLocation, expected[i].helpFileLocation, "helpFileLocation", i, text);
        expectField(message->messageNumber, expected[i].messageNumber, "messageNumber", i, text);
        expectField(message->messageText, expected[i].messageText, "messageText", i, text);
        expectField(message->producer, expected[i].producer, "producer", i, text);
        FUZZ_CHECK(message->messageLevel == expected[i].messageLevel,
                   "level " + std::to_string(message->messageLevel) + " of message " + std::to_string(i));
        FUZZ_CHECK(message->references == nullptr, "references of message " + std::to_string(i));
    }
    Utils::FreeMessageArray(messages);
    for (uint32_t i = 0; i < messages->count; ++i) std::free(messages->messages[i]);
    std::free(messages);
}

void checkHelpers(const std::string& tag, const std::string& text) {
    const std::string value = Utils::getTagValue(tag, text);
    FUZZ_CHECK(value == referenceTagValue(tag, text),
               "getTagValue(" + fuzz::quoted(tag) + ", " + fuzz::quoted(text) + ") is " + fuzz::quoted(value));
    const int32_t occurrences = Utils::getTagOccurrences(text, tag);
    FUZZ_CHECK(
        occurrences == referenceTagOccurrences(text, tag),
        "getTagOccurrences(" + fuzz::quoted(text) + ", " + fuzz::quoted(tag) + ") is " + std::to_string(occurrences));
    FUZZ_CHECK(Utils::getMessageLevelFromString(tag) == referenceLevel(tag), "level of " + fuzz::quoted(tag));
    char* copy = Utils::getCharFromConstChar(text.c_str());
    FUZZ_CHECK(copy != nullptr && std::strcmp(copy, text.c_str()) == 0, "copy of " + fuzz::quoted(text));
    std::free(copy);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An input that starts with byte 1 exercises the exported helpers on a tag
    // and a text; any other input is a message list.
    if (size > 0 && data[0] == 1) {
        FuzzedDataProvider input(data + 1, size - 1);
        const std::string tag = input.ConsumeRandomLengthString(16);
        checkHelpers(tag, input.ConsumeRemainingBytesAsString());
        return 0;
    }
    // The reader takes a NUL-terminated text.
    std::string text(reinterpret_cast<const char*>(data), size);
    text.resize(std::strlen(text.c_str()));
    checkReader(text);
    return 0;
}
