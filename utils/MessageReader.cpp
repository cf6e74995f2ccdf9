#include "utils/MessageReader.h"

#include <cstdlib>
#include <cstring>
#include <string_view>

#include "utils/XmlPrimitives.h"
#include "utils/XmlTags.h"

namespace Utils {
namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr std::size_t kPointerSize = sizeof(void*);  // of one VQMessage_C* in a list

char* copyText(std::string_view text) {
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    // An empty view may have a null data pointer, which memcpy must not get.
    if (!text.empty()) std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

// The first occurrence of a pattern at or after a position. Positions asked
// for only move forward while a list is read, so each answer is kept until
// the position passes it: every byte is searched at most once per pattern.
class PatternCursor {
public:
    PatternCursor(std::string_view text, std::string pattern) : text_(text), pattern_(std::move(pattern)) {}

    std::size_t nextFrom(std::size_t from) {
        const bool cachedAnswerHolds = searched_ && from >= searchedFrom_ && (found_ == npos || found_ >= from);
        if (!cachedAnswerHolds) {
            found_ = text_.find(pattern_, from);
            searchedFrom_ = from;
            searched_ = true;
        }
        return found_;
    }
    std::size_t length() const { return pattern_.size(); }

private:
    std::string_view text_;
    std::string pattern_;
    std::size_t found_ = npos;
    std::size_t searchedFrom_ = 0;
    bool searched_ = false;
};

struct ElementCursor {
    ElementCursor(std::string_view text, const std::string& tag)
        : open(text, openXMLNode(tag, false)), close(text, closeXMLNode(tag, false)) {}

    // The value of the first element of the tag within [begin, end), as
    // getTagValue finds it in that slice.
    std::string_view valueIn(std::string_view text, std::size_t begin, std::size_t end) {
        const std::size_t openAt = open.nextFrom(begin);
        if (openAt == npos || openAt + open.length() > end) return {};
        const std::size_t closeAt = close.nextFrom(begin);
        if (closeAt == npos || closeAt + close.length() > end) return {};
        const std::size_t valueBegin = openAt + open.length();
        const std::size_t valueEnd = closeAt < openAt ? end : closeAt;
        return text.substr(valueBegin, valueEnd - valueBegin);
    }

    PatternCursor open;
    PatternCursor close;
};

// Reads the messages of one text in a single forward pass.
class MessageListReader {
public:
    explicit MessageListReader(std::string_view text)
        : text_(text),
          messageOpen_(text, openXMLNode(tagMessage, false)),
          messageClose_(text, closeXMLNode(tagMessage, false)),
          uniqueMessageID_(text, tagUniqueMessageID),
          helpFileLocation_(text, tagHelpFileLocation),
          messageLevel_(text, tagMessageLevel),
          messageNumber_(text, tagMessageNumber),
          messageText_(text, tagMessageText),
          producer_(text, tagProducer) {}

    // Builds up to `expected` messages and hands each to store(message, index);
    // returns how many were built.
    template <typename Store>
    std::size_t read(std::size_t expected, Store&& store) {
        std::size_t built = 0;
        std::size_t position = 0;
        while (built < expected) {
            const std::size_t openAt = messageOpen_.nextFrom(position);
            if (openAt == npos) break;
            const std::size_t closeAt = messageClose_.nextFrom(position);
            const std::size_t bodyBegin = openAt + messageOpen_.length();
            // A closing tag before the opening one (a stray or nested close)
            // or none at all lets the body run to the end of the text.
            const std::size_t bodyEnd = (closeAt == npos || closeAt < openAt) ? text_.size() : closeAt;
            store(buildMessage(bodyBegin, bodyEnd), built++);
            position = closeAt == npos ? text_.size() : closeAt + messageClose_.length();
        }
        return built;
    }

private:
    VQMessage_C* buildMessage(std::size_t begin, std::size_t end) {
        auto* message = static_cast<VQMessage_C*>(std::malloc(sizeof(VQMessage_C)));
        message->uniqueMessageID = copyText(uniqueMessageID_.valueIn(text_, begin, end));
        message->helpFileLocation = copyText(helpFileLocation_.valueIn(text_, begin, end));
        message->messageLevel = getMessageLevelFromString(std::string(messageLevel_.valueIn(text_, begin, end)));
        message->messageNumber = copyText(messageNumber_.valueIn(text_, begin, end));
        message->messageText = copyText(messageText_.valueIn(text_, begin, end));
        message->producer = copyText(producer_.valueIn(text_, begin, end));
        message->references = nullptr;
        return message;
    }

    std::string_view text_;
    PatternCursor messageOpen_;
    PatternCursor messageClose_;
    ElementCursor uniqueMessageID_;
    ElementCursor helpFileLocation_;
    ElementCursor messageLevel_;
    ElementCursor messageNumber_;
    ElementCursor messageText_;
    ElementCursor producer_;
};

std::size_t countOccurrences(std::string_view text, std::string_view pattern) {
    std::size_t count = 0;
    for (std::size_t at = text.find(pattern); at != npos; at = text.find(pattern, at + pattern.size())) ++count;
    return count;
}

}  // namespace

VQMessageArray_C* DeserializeMessageArray(const char* text) {
    if (!text) return nullptr;
    const std::string_view whole(text);
    const std::string messageOpen = openXMLNode(tagMessage, false);
    const std::size_t firstMessage = whole.find(messageOpen);
    if (firstMessage == npos) return nullptr;
    const std::size_t listEnd = whole.find(closeXMLNode(tagVQEntities, false));
    const std::size_t cutEnd = (listEnd != npos && listEnd > firstMessage) ? listEnd : whole.size();
    const std::string_view cut = whole.substr(firstMessage, cutEnd - firstMessage);

    const std::size_t expected = countOccurrences(cut, messageOpen);
    auto* messages =
        static_cast<VQMessageArray_C*>(std::malloc(offsetof(VQMessageArray_C, messages) + expected * kPointerSize));
    const std::size_t built = MessageListReader(cut).read(
        expected, [&](VQMessage_C* message, std::size_t index) { messages->messages[index] = message; });
    if (built == 0) {
        std::free(messages);
        return nullptr;
    }
    if (built < expected) {
        messages = static_cast<VQMessageArray_C*>(
            std::realloc(messages, offsetof(VQMessageArray_C, messages) + built * kPointerSize));
    }
    messages->count = static_cast<uint32_t>(built);
    return messages;
}

VQMessage_C** createMessageArray(const std::string& text, int32_t expected) {
    if (expected <= 0) return nullptr;
    VQMessage_C** list = nullptr;
    std::size_t capacity = 0;
    // A stray "</VQM>" can make one "<VQM>" start several messages, so the
    // count is not known before reading; the block grows geometrically.
    const std::size_t built =
        MessageListReader(text).read(static_cast<std::size_t>(expected), [&](VQMessage_C* message, std::size_t index) {
            if (index + 1 >= capacity) {
                capacity = capacity == 0 ? 8 : 2 * capacity;
                list = static_cast<VQMessage_C**>(std::realloc(list, capacity * kPointerSize));
            }
            list[index] = message;
        });
    if (built == 0) return nullptr;
    list[built] = nullptr;
    return list;
}

void createMessage(VQMessage_C* record, const std::string& body) {
    record->uniqueMessageID = getCharFromConstChar(getTagValue(tagUniqueMessageID, body).c_str());
    record->helpFileLocation = getCharFromConstChar(getTagValue(tagHelpFileLocation, body).c_str());
    record->messageLevel = getMessageLevelFromString(getTagValue(tagMessageLevel, body));
    record->messageNumber = getCharFromConstChar(getTagValue(tagMessageNumber, body).c_str());
    record->messageText = getCharFromConstChar(getTagValue(tagMessageText, body).c_str());
    record->producer = getCharFromConstChar(getTagValue(tagProducer, body).c_str());
    record->references = getMessageReferences(body);
}

std::string getTagValue(const std::string& tag, const std::string& text) {
    const std::string open = openXMLNode(tag, false);
    const std::string close = closeXMLNode(tag, false);
    const std::size_t openAt = text.find(open);
    const std::size_t closeAt = text.find(close);
    if (openAt == npos || closeAt == npos) return {};
    const std::size_t valueBegin = openAt + open.size();
    if (closeAt < openAt) return text.substr(valueBegin);
    return text.substr(valueBegin, closeAt - valueBegin);
}

int32_t getTagOccurrences(const std::string& text, const std::string& tag) {
    return static_cast<int32_t>(countOccurrences(text, openXMLNode(tag, false)));
}

int32_t getMessageLevelFromString(const std::string& word) {
    if (word == "VQ_DEBUG") return 1;
    if (word == "VQ_ERROR") return 2;
    if (word == "VQ_USERMESSAGE") return 3;
    return 0;
}

char* getCharFromConstChar(const char* source) {
    return copyText(source ? std::string_view(source) : "");
}

VQReferenceArray_C* getMessageReferences(const std::string&) {
    return nullptr;
}

void freeMessageReferenceArray(VQReferenceArray_C* references) {
    if (!references) return;
    for (uint32_t i = 0; i < references->count; ++i) std::free(references->refs[i]);
}

void freeMessage(VQMessage_C* message) {
    if (!message) return;
    std::free(message->helpFileLocation);
    std::free(message->messageNumber);
    std::free(message->messageText);
    std::free(message->producer);
    freeMessageReferenceArray(message->references);
    std::free(message->uniqueMessageID);
}

void FreeMessageArray(VQMessageArray_C* messages) {
    if (!messages) return;
    for (uint32_t i = 0; i < messages->count; ++i) freeMessage(messages->messages[i]);
}

void printMessageInformation(VQMessage_C*) {}

}  // namespace Utils
