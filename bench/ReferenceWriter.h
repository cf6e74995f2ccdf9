// The plain way to write the same documents: one pass over the records,
// appending to a std::string, escaping through a 256-entry table. The yard
// stick our writers must not fall behind.
#pragma once

#include <array>
#include <charconv>
#include <string>

#include "api/KERVRecords.h"

namespace ReferenceWriter {

inline const std::array<const char*, 256>& entities() {
    static const std::array<const char*, 256> table = [] {
        std::array<const char*, 256> entity{};
        entity['&'] = "&amp;";
        entity['<'] = "&lt;";
        entity['>'] = "&gt;";
        entity['\''] = "&apos;";
        entity['"'] = "&quot;";
        return entity;
    }();
    return table;
}

inline void escaped(std::string& out, const char* text) {
    if (text == nullptr) return;
    const auto& entity = entities();
    const char* run = text;
    for (const char* p = text; *p != '\0'; ++p) {
        if (const char* replacement = entity[static_cast<unsigned char>(*p)]) {
            out.append(run, p);
            out += replacement;
            run = p + 1;
        }
    }
    out += run;
}

inline void open(std::string& out, const char* tag) {
    out += '<';
    out += tag;
    out += '>';
}
inline void close(std::string& out, const char* tag) {
    out += "</";
    out += tag;
    out += '>';
}
inline void raw(std::string& out, const char* tag, const char* text) {
    open(out, tag);
    if (text != nullptr) out += text;
    close(out, tag);
}
inline void escaped(std::string& out, const char* tag, const char* text) {
    open(out, tag);
    escaped(out, text);
    close(out, tag);
}
inline void number(std::string& out, const char* tag, long value) {
    open(out, tag);
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
    close(out, tag);
}
// Texts of the corpus hold no "]]>".
inline void cdata(std::string& out, const char* tag, const char* text) {
    open(out, tag);
    out += "<![CDATA[";
    if (text != nullptr) out += text;
    out += "]]>";
    close(out, tag);
}

inline void diagnostic(std::string& out, const DiagnosticStruct& d) {
    open(out, "VQM");
    if (const VQMessage_C* m = d.message) {
        raw(out, "UMID", m->uniqueMessageID);
        raw(out, "HFL", m->helpFileLocation);
        number(out, "ML", m->messageLevel);
        raw(out, "MN", m->messageNumber);
        escaped(out, "MT", m->messageText);
        raw(out, "P", m->producer);
        for (uint32_t i = 0; m->references && i < m->references->count; ++i) cdata(out, "R", m->references->refs[i]);
    }
    close(out, "VQM");
    raw(out, "MH", d.multiHomed ? "true" : "false");
    number(out, "SS", d.suppressionState);
    raw(out, "SD", d.hasSubDiagnostics ? "true" : "false");
    for (uint32_t i = 0; d.subDiagnostics && i < d.subDiagnostics->count; ++i) {
        open(out, "VQD");
        diagnostic(out, *d.subDiagnostics->diagnostics[i]);
        close(out, "VQD");
    }
    for (uint32_t i = 0; d.messageParameters && i < d.messageParameters->count; ++i) {
        cdata(out, "MP", d.messageParameters->parameters[i]);
    }
    for (uint32_t i = 0; d.locationInformation && i < d.locationInformation->count; ++i) {
        const LocationStruct& l = *d.locationInformation->locations[i];
        open(out, "LI");
        raw(out, "F", l.file);
        number(out, "L", l.line);
        number(out, "C", l.column);
        close(out, "LI");
    }
}

inline std::string diagnostics(const VQDiagnosticArray_C& list) {
    std::string out;
    open(out, "VQE");
    for (uint32_t i = 0; i < list.count; ++i) {
        open(out, "VQD");
        diagnostic(out, *list.diagnostics[i]);
        close(out, "VQD");
    }
    close(out, "VQE");
    return out;
}

inline void treeItem(std::string& out, const VQTreeStruct& item) {
    number(out, "Ty", item.type);
    escaped(out, "N", item.name);
    escaped(out, "D", item.data);
    number(out, "To", item.total);
    number(out, "A", item.active);
    for (uint32_t i = 0; item.subItems && i < item.subItems->count; ++i) {
        open(out, "SI");
        treeItem(out, *item.subItems->items[i]);
        close(out, "SI");
    }
}

inline void tree(std::string& out, const char* tag, const VQTreeStruct* root) {
    open(out, tag);
    if (root != nullptr) treeItem(out, *root);
    close(out, tag);
}

inline std::string trees(const VQTrees_C& trees) {
    std::string out;
    open(out, "Tr");
    tree(out, "FT", trees.fileTree);
    tree(out, "MT", trees.messageTree);
    tree(out, "RT", trees.ruleTree);
    close(out, "Tr");
    return out;
}

}  // namespace ReferenceWriter
