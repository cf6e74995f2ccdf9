// Records exchanged with the analysis library (libKERV.so).
//
// Every layout here is a binary interface shared with a separately built
// library: 64-bit, natural alignment, NUL-terminated 8-bit texts. The
// static_asserts pin every offset and size so that a change that would break
// the interface fails to compile.
//
// Most lists are "counted arrays": a uint32 count at byte 0, four bytes of
// padding, then `count` element pointers stored inline from byte 8. They are
// declared with a trailing flexible array member; allocate
// offsetof(Record, array) + count * sizeof(element) bytes.
//
// One-byte flags are uint8_t rather than bool: the library may store any
// non-zero byte (2, 255) and such a byte must be read as "true", not as an
// invalid bool.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

// Enumerations cross as 32-bit integers. A fixed underlying type makes every
// int32 value a valid value of the type, since the bridge passes Java's
// numbers through uninterpreted.
enum VQSourceLanguage_C : int32_t {
#define KERV_SOURCE_LANGUAGE(name, number, text) VQ_SOURCE_LANGUAGE_##name = number,
#define KERV_SOURCE_EXTENSION(language, extension)
#include "api/SourceLanguages.def"
#undef KERV_SOURCE_EXTENSION
#undef KERV_SOURCE_LANGUAGE
};

// One available language; the values 0 to 2 are written, others are skipped.
enum VQLanguage_C : int32_t {};

// Kind of a tree node, 0 to 8; the meaning belongs to the analysis library.
enum VQTreeItemType_C : int32_t {};

enum VQHelpContext_C : int32_t {};
enum VQLogLevel_C : int32_t {};
typedef int32_t VQSuppressionState_C;

// ---- Messages and diagnostics ----------------------------------------------

struct VQReferenceArray_C {
    uint32_t count;
    char* refs[];
};

struct VQMessage_C {
    char* uniqueMessageID;
    char* helpFileLocation;
    int32_t messageLevel;  // 1 VQ_DEBUG, 2 VQ_ERROR, 3 VQ_USERMESSAGE, 0 unknown
    char* messageNumber;
    char* messageText;
    char* producer;
    VQReferenceArray_C* references;
};

struct VQMessageArray_C {
    uint32_t count;
    VQMessage_C* messages[];
};

struct DiagnosticStruct;

struct VQDiagnosticArray_C {
    uint32_t count;
    DiagnosticStruct* diagnostics[];
};

struct VQParameterArray_C {
    uint32_t count;
    char* parameters[];
};

struct LocationStruct {
    char* file;
    int32_t line;
    int32_t column;
};

struct VQLocationArray_C {
    uint32_t count;
    LocationStruct* locations[];
};

struct DiagnosticStruct {
    VQMessage_C* message;
    uint8_t hasSubDiagnostics;
    uint8_t multiHomed;
    int32_t suppressionState;
    VQDiagnosticArray_C* subDiagnostics;
    VQParameterArray_C* messageParameters;
    VQLocationArray_C* locationInformation;
};

// ---- Rules, rule groups, message-rule maps ---------------------------------

struct RuleStruct;

// A list of rules: the child rules of a rule, the rules of a group, and the
// rule list that getDiagnostics passes through to the library.
struct VQRuleArray_C {
    uint32_t count;
    RuleStruct* rules[];
};

struct VQCategoryArray_C {
    uint32_t count;
    char* categories[];
};

struct RuleStruct {
    char* ruleGroup;
    char* helpFileLocation;
    char* ruleId;
    char* ruleText;
    uint8_t isActive;
    char* ruleUID;
    VQRuleArray_C* childRules;
    VQMessageArray_C* mappedMessages;
    VQCategoryArray_C* categories;
};

struct RuleGroupStruct {
    char* ruleGroupName;
    VQRuleArray_C* rules;
};

struct VQRuleGroupArray_C {
    uint32_t count;
    RuleGroupStruct* ruleGroups[];
};

// Not a counted array: the count stands second.
struct VQMessageMapping_C {
    char* uniqueMessageID;
    uint32_t ruleIdCount;
    char* ruleIds[];
};

struct VQMessageRuleMap_C {
    uint32_t count;
    VQMessageMapping_C* mappings[];
};

// ---- Plain lists -----------------------------------------------------------

struct VQStrings_C {
    uint32_t count;
    char* strings[];
};

// Released by freeFilePaths; the bridge never reads its fields.
struct VQFilePathArray_C {
    uint32_t count;
    char* paths[];
};

// ---- Trees, files, languages -----------------------------------------------

struct VQTreeStruct;

struct VQTreeArray_C {
    uint32_t count;
    VQTreeStruct* items[];
};

struct VQTreeStruct {
    VQTreeItemType_C type;
    char* name;
    char* data;
    int32_t total;
    int32_t active;
    VQTreeArray_C* subItems;
};

struct VQTrees_C {
    VQTreeStruct* fileTree;
    VQTreeStruct* ruleTree;
    VQTreeStruct* messageTree;
};

struct VQDefines_C {
    uint32_t count;
    char* defines[];
};

struct VQInclude_C {
    char* includePath;
    void* reserved;  // the library's own; never read by the bridge
};

// Not a counted array of pointers: 16-byte entries stored inline.
struct VQIncludes_C {
    uint32_t count;
    VQInclude_C includes[];
};

struct VQFile_C {
    void* reserved;  // the library's own; never read by the bridge
    VQSourceLanguage_C sourceLanguage;
    VQDefines_C* defines;
    VQIncludes_C* includes;
};

// Not a counted array: the 4-byte values start right after the count.
struct VQLanguages_C {
    uint32_t count;
    VQLanguage_C languages[];
};

}  // extern "C"

#define KERV_ASSERT_FIELD(Record, field, offset) \
    static_assert(offsetof(Record, field) == (offset), #Record "::" #field " must sit at byte " #offset)
#define KERV_ASSERT_SIZE(Record, size) static_assert(sizeof(Record) == (size), #Record " must be " #size " bytes")

KERV_ASSERT_FIELD(VQReferenceArray_C, count, 0);
KERV_ASSERT_FIELD(VQReferenceArray_C, refs, 8);
KERV_ASSERT_SIZE(VQReferenceArray_C, 8);

KERV_ASSERT_FIELD(VQMessage_C, uniqueMessageID, 0);
KERV_ASSERT_FIELD(VQMessage_C, helpFileLocation, 8);
KERV_ASSERT_FIELD(VQMessage_C, messageLevel, 16);
KERV_ASSERT_FIELD(VQMessage_C, messageNumber, 24);
KERV_ASSERT_FIELD(VQMessage_C, messageText, 32);
KERV_ASSERT_FIELD(VQMessage_C, producer, 40);
KERV_ASSERT_FIELD(VQMessage_C, references, 48);
KERV_ASSERT_SIZE(VQMessage_C, 56);

KERV_ASSERT_FIELD(VQMessageArray_C, count, 0);
KERV_ASSERT_FIELD(VQMessageArray_C, messages, 8);
KERV_ASSERT_SIZE(VQMessageArray_C, 8);

KERV_ASSERT_FIELD(VQDiagnosticArray_C, count, 0);
KERV_ASSERT_FIELD(VQDiagnosticArray_C, diagnostics, 8);
KERV_ASSERT_SIZE(VQDiagnosticArray_C, 8);

KERV_ASSERT_FIELD(VQParameterArray_C, count, 0);
KERV_ASSERT_FIELD(VQParameterArray_C, parameters, 8);
KERV_ASSERT_SIZE(VQParameterArray_C, 8);

KERV_ASSERT_FIELD(LocationStruct, file, 0);
KERV_ASSERT_FIELD(LocationStruct, line, 8);
KERV_ASSERT_FIELD(LocationStruct, column, 12);
KERV_ASSERT_SIZE(LocationStruct, 16);

KERV_ASSERT_FIELD(VQLocationArray_C, count, 0);
KERV_ASSERT_FIELD(VQLocationArray_C, locations, 8);
KERV_ASSERT_SIZE(VQLocationArray_C, 8);

KERV_ASSERT_FIELD(DiagnosticStruct, message, 0);
KERV_ASSERT_FIELD(DiagnosticStruct, hasSubDiagnostics, 8);
KERV_ASSERT_FIELD(DiagnosticStruct, multiHomed, 9);
KERV_ASSERT_FIELD(DiagnosticStruct, suppressionState, 12);
KERV_ASSERT_FIELD(DiagnosticStruct, subDiagnostics, 16);
KERV_ASSERT_FIELD(DiagnosticStruct, messageParameters, 24);
KERV_ASSERT_FIELD(DiagnosticStruct, locationInformation, 32);
KERV_ASSERT_SIZE(DiagnosticStruct, 40);

KERV_ASSERT_FIELD(VQRuleArray_C, count, 0);
KERV_ASSERT_FIELD(VQRuleArray_C, rules, 8);
KERV_ASSERT_SIZE(VQRuleArray_C, 8);

KERV_ASSERT_FIELD(VQCategoryArray_C, count, 0);
KERV_ASSERT_FIELD(VQCategoryArray_C, categories, 8);
KERV_ASSERT_SIZE(VQCategoryArray_C, 8);

KERV_ASSERT_FIELD(RuleStruct, ruleGroup, 0);
KERV_ASSERT_FIELD(RuleStruct, helpFileLocation, 8);
KERV_ASSERT_FIELD(RuleStruct, ruleId, 16);
KERV_ASSERT_FIELD(RuleStruct, ruleText, 24);
KERV_ASSERT_FIELD(RuleStruct, isActive, 32);
KERV_ASSERT_FIELD(RuleStruct, ruleUID, 40);
KERV_ASSERT_FIELD(RuleStruct, childRules, 48);
KERV_ASSERT_FIELD(RuleStruct, mappedMessages, 56);
KERV_ASSERT_FIELD(RuleStruct, categories, 64);
KERV_ASSERT_SIZE(RuleStruct, 72);

KERV_ASSERT_FIELD(RuleGroupStruct, ruleGroupName, 0);
KERV_ASSERT_FIELD(RuleGroupStruct, rules, 8);
KERV_ASSERT_SIZE(RuleGroupStruct, 16);

KERV_ASSERT_FIELD(VQRuleGroupArray_C, count, 0);
KERV_ASSERT_FIELD(VQRuleGroupArray_C, ruleGroups, 8);
KERV_ASSERT_SIZE(VQRuleGroupArray_C, 8);

KERV_ASSERT_FIELD(VQMessageMapping_C, uniqueMessageID, 0);
KERV_ASSERT_FIELD(VQMessageMapping_C, ruleIdCount, 8);
KERV_ASSERT_FIELD(VQMessageMapping_C, ruleIds, 16);
KERV_ASSERT_SIZE(VQMessageMapping_C, 16);

KERV_ASSERT_FIELD(VQMessageRuleMap_C, count, 0);
KERV_ASSERT_FIELD(VQMessageRuleMap_C, mappings, 8);
KERV_ASSERT_SIZE(VQMessageRuleMap_C, 8);

KERV_ASSERT_FIELD(VQStrings_C, count, 0);
KERV_ASSERT_FIELD(VQStrings_C, strings, 8);
KERV_ASSERT_SIZE(VQStrings_C, 8);

KERV_ASSERT_FIELD(VQFilePathArray_C, count, 0);
KERV_ASSERT_FIELD(VQFilePathArray_C, paths, 8);
KERV_ASSERT_SIZE(VQFilePathArray_C, 8);

KERV_ASSERT_FIELD(VQTreeArray_C, count, 0);
KERV_ASSERT_FIELD(VQTreeArray_C, items, 8);
KERV_ASSERT_SIZE(VQTreeArray_C, 8);

KERV_ASSERT_FIELD(VQTreeStruct, type, 0);
KERV_ASSERT_FIELD(VQTreeStruct, name, 8);
KERV_ASSERT_FIELD(VQTreeStruct, data, 16);
KERV_ASSERT_FIELD(VQTreeStruct, total, 24);
KERV_ASSERT_FIELD(VQTreeStruct, active, 28);
KERV_ASSERT_FIELD(VQTreeStruct, subItems, 32);
KERV_ASSERT_SIZE(VQTreeStruct, 40);

KERV_ASSERT_FIELD(VQTrees_C, fileTree, 0);
KERV_ASSERT_FIELD(VQTrees_C, ruleTree, 8);
KERV_ASSERT_FIELD(VQTrees_C, messageTree, 16);
KERV_ASSERT_SIZE(VQTrees_C, 24);

KERV_ASSERT_FIELD(VQDefines_C, count, 0);
KERV_ASSERT_FIELD(VQDefines_C, defines, 8);
KERV_ASSERT_SIZE(VQDefines_C, 8);

KERV_ASSERT_FIELD(VQInclude_C, includePath, 0);
KERV_ASSERT_FIELD(VQInclude_C, reserved, 8);
KERV_ASSERT_SIZE(VQInclude_C, 16);

KERV_ASSERT_FIELD(VQIncludes_C, count, 0);
KERV_ASSERT_FIELD(VQIncludes_C, includes, 8);
KERV_ASSERT_SIZE(VQIncludes_C, 8);

KERV_ASSERT_FIELD(VQFile_C, reserved, 0);
KERV_ASSERT_FIELD(VQFile_C, sourceLanguage, 8);
KERV_ASSERT_FIELD(VQFile_C, defines, 16);
KERV_ASSERT_FIELD(VQFile_C, includes, 24);
KERV_ASSERT_SIZE(VQFile_C, 32);

KERV_ASSERT_FIELD(VQLanguages_C, count, 0);
KERV_ASSERT_FIELD(VQLanguages_C, languages, 4);
KERV_ASSERT_SIZE(VQLanguages_C, 4);

static_assert(sizeof(VQSourceLanguage_C) == 4 && sizeof(VQLanguage_C) == 4 && sizeof(VQTreeItemType_C) == 4 &&
                  sizeof(VQHelpContext_C) == 4 && sizeof(VQLogLevel_C) == 4,
              "enumerations cross as 32-bit integers");

#undef KERV_ASSERT_FIELD
#undef KERV_ASSERT_SIZE
