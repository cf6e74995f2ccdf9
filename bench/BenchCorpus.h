// Realistic record sets for the benchmarks, and the same documents built with
// pugixml as the baseline.
#pragma once

#include <pugixml.hpp>
#include <string>

#include "ShapeCorpus.h"
#include "tests/support/RecordArena.h"

namespace BenchCorpus {

using ShapeCorpus::numbered;

inline DiagnosticStruct* diagnostic(RecordArena& arena, int i, VQDiagnosticArray_C* subs) {
    auto* message = arena.Message(
        numbered("MSG-%d", i).c_str(), numbered("help/rule%d.html", i % 300).c_str(), 2,
        numbered("%d", 1000 + i % 500).c_str(),
        numbered("Value of index%d may be < 0 & is used to access buffer of size %d", i, i % 64).c_str(), "analyzer",
        arena.Texts<VQReferenceArray_C>(
            {numbered("REF-%d", i % 97).c_str(), numbered("see <section %d>", i % 13).c_str()}));
    return arena.Make(DiagnosticStruct{
        message, static_cast<uint8_t>(subs ? 1 : 0), 0, i % 3 - 1, subs,
        arena.Texts<VQParameterArray_C>({numbered("index%d", i).c_str(), "int[64]"}),
        arena.List<VQLocationArray_C>(
            {arena.Location(numbered("src/module%d/file%d.c", i % 40, i % 700).c_str(), i % 2000, i % 80),
             arena.Location(numbered("include/module%d.h", i % 40).c_str(), 12, 5)})});
}

// `count` diagnostics; every tenth has one sub-diagnostic.
inline VQDiagnosticArray_C* diagnostics(RecordArena& arena, int count) {
    std::vector<DiagnosticStruct*> list;
    for (int i = 0; i < count; ++i) {
        VQDiagnosticArray_C* subs =
            i % 10 == 0 ? arena.List<VQDiagnosticArray_C>({diagnostic(arena, -i, nullptr)}) : nullptr;
        list.push_back(diagnostic(arena, i, subs));
    }
    return arena.List<VQDiagnosticArray_C>(list);
}

// A file tree of `directories` x `files` nodes and two smaller trees.
inline VQTrees_C* trees(RecordArena& arena, int directories, int files) {
    auto tree = [&](int type, const char* prefix, int width, int depthWidth) {
        std::vector<VQTreeStruct*> top;
        for (int d = 0; d < width; ++d) {
            std::vector<VQTreeStruct*> leaves;
            for (int f = 0; f < depthWidth; ++f) {
                leaves.push_back(arena.Tree(type + 2, numbered(f % 20 ? "file%d_%d.c" : "file%d&co_%d.c", d, f).c_str(),
                                            numbered("src/dir%d/file%d.c", d, f).c_str(), f % 17, f % 5));
            }
            top.push_back(arena.Tree(type + 1, numbered("dir%d", d).c_str(), numbered("src/dir%d", d).c_str(),
                                     depthWidth, depthWidth / 2, arena.List<VQTreeArray_C>(leaves)));
        }
        return arena.Tree(type, prefix, "", width * depthWidth, width, arena.List<VQTreeArray_C>(top));
    };
    return arena.Make(
        VQTrees_C{tree(0, "files", directories, files), tree(3, "rules <all>", 20, 50), tree(6, "messages", 20, 50)});
}

// `groups` groups of `rules` rules; every fifth rule has two child rules.
inline VQRuleGroupArray_C* ruleGroups(RecordArena& arena, int groups, int rules) {
    std::vector<RuleGroupStruct*> list;
    for (int g = 0; g < groups; ++g) {
        std::vector<RuleStruct*> ruleList;
        for (int r = 0; r < rules; ++r) {
            auto rule = [&](int id, VQRuleArray_C* children) {
                return arena.Rule(
                    numbered("RULE-%d-%d", g, id).c_str(), static_cast<uint8_t>(id % 2),
                    numbered("help/%d/%d.html", g, id).c_str(), numbered("Group %d", g).c_str(),
                    numbered("Pointer arithmetic on p%d & array bounds < %d must be checked", id, g).c_str(),
                    numbered("UID-%d-%d", g, id).c_str(),
                    arena.Texts<VQCategoryArray_C>({"required", numbered("cat%d", id % 7).c_str()}), children);
            };
            VQRuleArray_C* children =
                r % 5 == 0 ? arena.List<VQRuleArray_C>({rule(100000 + r, nullptr), rule(200000 + r, nullptr)})
                           : nullptr;
            ruleList.push_back(rule(r, children));
        }
        list.push_back(
            arena.Make(RuleGroupStruct{arena.Text(numbered("Group %d", g)), arena.List<VQRuleArray_C>(ruleList)}));
    }
    return arena.List<VQRuleGroupArray_C>(list);
}

// ---- pugixml baseline: the same documents ----------------------------------

inline void text(pugi::xml_node parent, const char* tag, const char* value) {
    parent.append_child(tag).append_child(pugi::node_pcdata).set_value(value);
}
inline void number(pugi::xml_node parent, const char* tag, long value) {
    text(parent, tag, std::to_string(value).c_str());
}
inline void cdata(pugi::xml_node parent, const char* tag, const char* value) {
    parent.append_child(tag).append_child(pugi::node_cdata).set_value(value);
}

inline void pugiDiagnostic(pugi::xml_node node, const DiagnosticStruct& d) {
    const VQMessage_C& m = *d.message;
    pugi::xml_node message = node.append_child("VQM");
    text(message, "UMID", m.uniqueMessageID);
    text(message, "HFL", m.helpFileLocation);
    number(message, "ML", m.messageLevel);
    text(message, "MN", m.messageNumber);
    text(message, "MT", m.messageText);
    text(message, "P", m.producer);
    for (uint32_t i = 0; m.references && i < m.references->count; ++i) cdata(message, "R", m.references->refs[i]);
    text(node, "MH", d.multiHomed ? "true" : "false");
    number(node, "SS", d.suppressionState);
    text(node, "SD", d.hasSubDiagnostics ? "true" : "false");
    for (uint32_t i = 0; d.subDiagnostics && i < d.subDiagnostics->count; ++i) {
        pugiDiagnostic(node.append_child("VQD"), *d.subDiagnostics->diagnostics[i]);
    }
    for (uint32_t i = 0; d.messageParameters && i < d.messageParameters->count; ++i) {
        cdata(node, "MP", d.messageParameters->parameters[i]);
    }
    for (uint32_t i = 0; d.locationInformation && i < d.locationInformation->count; ++i) {
        const LocationStruct& l = *d.locationInformation->locations[i];
        pugi::xml_node location = node.append_child("LI");
        text(location, "F", l.file);
        number(location, "L", l.line);
        number(location, "C", l.column);
    }
}

inline void pugiDiagnostics(pugi::xml_document& document, const VQDiagnosticArray_C& list) {
    pugi::xml_node root = document.append_child("VQE");
    for (uint32_t i = 0; i < list.count; ++i) pugiDiagnostic(root.append_child("VQD"), *list.diagnostics[i]);
}

inline void pugiTreeItem(pugi::xml_node node, const VQTreeStruct& item) {
    number(node, "Ty", item.type);
    text(node, "N", item.name);
    text(node, "D", item.data);
    number(node, "To", item.total);
    number(node, "A", item.active);
    for (uint32_t i = 0; item.subItems && i < item.subItems->count; ++i)
        pugiTreeItem(node.append_child("SI"), *item.subItems->items[i]);
}

inline void pugiTrees(pugi::xml_document& document, const VQTrees_C& trees) {
    pugi::xml_node root = document.append_child("Tr");
    pugiTreeItem(root.append_child("FT"), *trees.fileTree);
    pugiTreeItem(root.append_child("MT"), *trees.messageTree);
    pugiTreeItem(root.append_child("RT"), *trees.ruleTree);
}

inline void pugiRule(pugi::xml_node node, const RuleStruct& rule) {
    text(node, "RuleId", rule.ruleId);
    text(node, "IsActive", rule.isActive ? "1" : "0");
    text(node, "HFL", rule.helpFileLocation);
    text(node, "RuleGroupStr", rule.ruleGroup);
    text(node, "RuleText", rule.ruleText);
    text(node, "RuleUID", rule.ruleUID);
    for (uint32_t i = 0; rule.categories && i < rule.categories->count; ++i)
        text(node, "RuleCategory", rule.categories->categories[i]);
    for (uint32_t i = 0; rule.childRules && i < rule.childRules->count; ++i)
        pugiRule(node.append_child("Rule"), *rule.childRules->rules[i]);
}

inline void pugiRuleGroups(pugi::xml_document& document, const VQRuleGroupArray_C& groups) {
    pugi::xml_node root = document.append_child("VQRuleGrouping");
    for (uint32_t g = 0; g < groups.count; ++g) {
        const RuleGroupStruct& group = *groups.ruleGroups[g];
        pugi::xml_node entry = root.append_child("VQRuleGroupEntry");
        text(entry, "RuleGroupName", group.ruleGroupName);
        for (uint32_t i = 0; i < group.rules->count; ++i) pugiRule(entry.append_child("Rule"), *group.rules->rules[i]);
    }
}

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
};

// Compact output: no declaration, no indentation, no self-closing elements.
inline std::string save(const pugi::xml_document& document) {
    StringWriter writer;
    document.save(writer, "", pugi::format_raw | pugi::format_no_declaration | pugi::format_no_empty_element_tags);
    return std::move(writer.text);
}

}  // namespace BenchCorpus
