// Reader of a message list written as compact result XML ("VQE" holding
// "VQM" elements) into message records, and the release of those records.
//
// Elements are found by plain substring search for "<tag>" and "</tag>":
// no entity decoding, CDATA markers stay in the values, nothing is checked
// for being well-formed. Every string and record is allocated with malloc.
#pragma once

#include <cstdint>
#include <string>

#include "api/KERVRecords.h"

namespace Utils {

// The messages of the text in document order, or null when the text is null
// or holds no "<VQM>". Reads from the first "<VQM>" up to the first "</VQE>"
// behind it (or to the end). Runs in time linear in the length of the text.
// FreeMessageArray releases the strings; the caller then frees each message
// record and the array record with free().
VQMessageArray_C* DeserializeMessageArray(const char* text);

// Up to `expected` messages read from the text, each body running from a
// "<VQM>" to the next "</VQM>". The block holds one pointer per message built
// followed by a null pointer; null when no message was built.
VQMessage_C** createMessageArray(const std::string& text, int32_t expected);
// Fills every field of the record from the body of one message; a missing
// element gives an empty string, references are always null.
void createMessage(VQMessage_C* record, const std::string& body);
// The text between the first "<tag>" and the first "</tag>", or to the end of
// the text when the closing tag comes first; empty when either is missing.
std::string getTagValue(const std::string& tag, const std::string& text);
// The number of "<tag>" in the text.
int32_t getTagOccurrences(const std::string& text, const std::string& tag);
// "VQ_DEBUG" 1, "VQ_ERROR" 2, "VQ_USERMESSAGE" 3, anything else 0.
int32_t getMessageLevelFromString(const std::string& word);
// A malloc copy of the source (of the empty string for null).
char* getCharFromConstChar(const char* source);
// References are not read: always null.
VQReferenceArray_C* getMessageReferences(const std::string& body);

// Frees the reference strings, not the array record.
void freeMessageReferenceArray(VQReferenceArray_C* references);
// Frees the strings of the message, not the record.
void freeMessage(VQMessage_C* message);
// Frees the strings of every message, neither the records nor the array.
void FreeMessageArray(VQMessageArray_C* messages);
// Has no effect.
void printMessageInformation(VQMessage_C* message);

}  // namespace Utils
