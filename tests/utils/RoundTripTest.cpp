// Every writer's output, for records full of markup, parses as XML and reads
// back the values of the records.
#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <string>

#include "tests/support/RecordArena.h"
#include "utils/DiagnosticWriter.h"
#include "utils/RuleWriter.h"
#include "utils/TreeWriter.h"

using namespace Utils;

namespace {

constexpr const char* kMarkup = "a<b & 'c' \"d\" > e &amp; ]]> \xc3\xa9";

pugi::xml_document parse(const std::string& text) {
    pugi::xml_document document;
    const pugi::xml_parse_result result = document.load_buffer(text.data(), text.size(), pugi::parse_default);
    EXPECT_TRUE(result) << result.description() << " at " << result.offset << " in " << text;
    return document;
}

// The text of an element: all its character data, CDATA sections joined.
std::string valueOf(const pugi::xml_node& element) {
    std::string value;
    for (const pugi::xml_node& child : element.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) value += child.value();
    }
    return value;
}

std::string childValue(const pugi::xml_node& element, const char* tag) {
    return valueOf(element.child(tag));
}

void expectDiagnostic(const pugi::xml_node& node, const DiagnosticStruct& d) {
    const pugi::xml_node message = node.child("VQM");
    EXPECT_EQ(childValue(message, "UMID"), d.message->uniqueMessageID);
    EXPECT_EQ(childValue(message, "ML"), std::to_string(d.message->messageLevel));
    EXPECT_EQ(childValue(message, "MT"), d.message->messageText);
    uint32_t i = 0;
    for (const pugi::xml_node& reference : message.children("R"))
        EXPECT_EQ(valueOf(reference), d.message->references->refs[i++]);
    EXPECT_EQ(i, d.message->references->count);
    EXPECT_EQ(childValue(node, "SS"), std::to_string(d.suppressionState));
    i = 0;
    for (const pugi::xml_node& parameter : node.children("MP")) {
        EXPECT_EQ(valueOf(parameter), d.messageParameters->parameters[i++]);
    }
    EXPECT_EQ(i, d.messageParameters->count);
    i = 0;
    for (const pugi::xml_node& location : node.children("LI")) {
        const LocationStruct& expected = *d.locationInformation->locations[i++];
        EXPECT_EQ(childValue(location, "F"), expected.file);
        EXPECT_EQ(childValue(location, "L"), std::to_string(expected.line));
        EXPECT_EQ(childValue(location, "C"), std::to_string(expected.column));
    }
    EXPECT_EQ(i, d.locationInformation->count);
    i = 0;
    for (const pugi::xml_node& sub : node.children("VQD")) expectDiagnostic(sub, *d.subDiagnostics->diagnostics[i++]);
    EXPECT_EQ(i, d.subDiagnostics ? d.subDiagnostics->count : 0u);
}

void expectRule(const pugi::xml_node& node, const RuleStruct& rule) {
    EXPECT_EQ(childValue(node, "RuleId"), rule.ruleId);
    EXPECT_EQ(childValue(node, "RuleText"), rule.ruleText);
    EXPECT_EQ(childValue(node, "IsActive"), rule.isActive ? "1" : "0");
    uint32_t i = 0;
    for (const pugi::xml_node& category : node.children("RuleCategory")) {
        EXPECT_EQ(valueOf(category), rule.categories->categories[i++]);
    }
    EXPECT_EQ(i, rule.categories ? rule.categories->count : 0u);
    i = 0;
    for (const pugi::xml_node& child : node.children("Rule")) expectRule(child, *rule.childRules->rules[i++]);
    EXPECT_EQ(i, rule.childRules ? rule.childRules->count : 0u);
}

void expectTreeItem(const pugi::xml_node& node, const VQTreeStruct& item) {
    EXPECT_EQ(childValue(node, "Ty"), std::to_string(item.type));
    EXPECT_EQ(childValue(node, "N"), item.name);
    EXPECT_EQ(childValue(node, "D"), item.data);
    EXPECT_EQ(childValue(node, "To"), std::to_string(item.total));
    EXPECT_EQ(childValue(node, "A"), std::to_string(item.active));
    uint32_t i = 0;
    for (const pugi::xml_node& child : node.children("SI")) expectTreeItem(child, *item.subItems->items[i++]);
    EXPECT_EQ(i, item.subItems ? item.subItems->count : 0u);
}

}  // namespace

TEST(RoundTrip, DiagnosticsReadBackThroughAnXmlParser) {
    RecordArena arena;
    auto message = [&](const char* id) {
        return arena.Message(id, "help.html", 3, "12", kMarkup, "prod",
                             arena.Texts<VQReferenceArray_C>({kMarkup, "]]>]]>", "plain"}));
    };
    auto* sub = arena.Make(DiagnosticStruct{message("S"), 0, 1, -4, nullptr, arena.Texts<VQParameterArray_C>({"<x/>"}),
                                            arena.List<VQLocationArray_C>({arena.Location("s.h", -1, 2)})});
    auto* top = arena.Make(DiagnosticStruct{
        message("T"), 1, 0, 7, arena.List<VQDiagnosticArray_C>({sub}),
        arena.Texts<VQParameterArray_C>({kMarkup, "]]", ""}),
        arena.List<VQLocationArray_C>({arena.Location("/src/a.c", 10, 4), arena.Location("b.c", 0, 0)})});
    auto* list = arena.List<VQDiagnosticArray_C>({top, sub});
    const pugi::xml_document document = parse(SerializeDiagnosticArray(list));
    uint32_t i = 0;
    for (const pugi::xml_node& node : document.child("VQE").children("VQD"))
        expectDiagnostic(node, *list->diagnostics[i++]);
    EXPECT_EQ(i, 2u);
}

TEST(RoundTrip, RuleGroupsAndMessageRuleMapReadBack) {
    RecordArena arena;
    auto* child = arena.Rule("C-1", 0, "c.html", "G", kMarkup, "U2", arena.Texts<VQCategoryArray_C>({"k"}));
    auto* rule = arena.Rule("R-1", 1, "r.html", "G", kMarkup, "U1", arena.Texts<VQCategoryArray_C>({"misra", "cert"}),
                            arena.List<VQRuleArray_C>({child}));
    auto* groups = arena.List<VQRuleGroupArray_C>(
        {arena.Make(RuleGroupStruct{arena.Text("Group A"), arena.List<VQRuleArray_C>({rule, child})})});
    const pugi::xml_document document = parse(SerializeRuleGroups(groups));
    const pugi::xml_node entry = document.child("VQRuleGrouping").child("VQRuleGroupEntry");
    EXPECT_EQ(childValue(entry, "RuleGroupName"), "Group A");
    uint32_t i = 0;
    for (const pugi::xml_node& node : entry.children("Rule"))
        expectRule(node, *groups->ruleGroups[0]->rules->rules[i++]);
    EXPECT_EQ(i, 2u);

    auto* map = arena.List<VQMessageRuleMap_C>({arena.Mapping("M1", {"R-1", "C-1"}), arena.Mapping("M2", {})});
    const pugi::xml_document mapDocument = parse(SerializeMessageRuleMap(map));
    i = 0;
    for (const pugi::xml_node& node : mapDocument.child("VQMessageRuleMapping").children("VQMessageRuleMapEntry")) {
        const VQMessageMapping_C& mapping = *map->mappings[i++];
        EXPECT_EQ(childValue(node, "UMID"), mapping.uniqueMessageID);
        uint32_t j = 0;
        for (const pugi::xml_node& id : node.children("UniqueRuleId")) EXPECT_EQ(valueOf(id), mapping.ruleIds[j++]);
        EXPECT_EQ(j, mapping.ruleIdCount);
    }
    EXPECT_EQ(i, 2u);
}

TEST(RoundTrip, TreesFileSettingsAndLanguagesReadBack) {
    RecordArena arena;
    auto* leaf = arena.Tree(4, kMarkup, "<data>", -1, 0);
    auto* fileTree = arena.Tree(0, "root & co", kMarkup, 5, 3, arena.List<VQTreeArray_C>({leaf, leaf}));
    auto* trees = arena.Make(VQTrees_C{fileTree, arena.Tree(8, "rules", "", 0, 0), leaf});
    const pugi::xml_document document = parse(SerializeTrees(trees));
    const pugi::xml_node root = document.child("Tr");
    expectTreeItem(root.child("FT"), *trees->fileTree);
    expectTreeItem(root.child("MT"), *trees->messageTree);
    expectTreeItem(root.child("RT"), *trees->ruleTree);

    auto* file = arena.Make(VQFile_C{nullptr, VQ_SOURCE_LANGUAGE_CSHARP, arena.Texts<VQDefines_C>({"A=\"<x>\"", "B&C"}),
                                     arena.Includes({"inc'1", "/usr/include"})});
    const pugi::xml_document fileDocument = parse(SerializeVQFile(file));
    const pugi::xml_node vqf = fileDocument.child("VQF");
    EXPECT_EQ(childValue(vqf, "IP"), "inc'1;/usr/include");
    EXPECT_EQ(childValue(vqf, "DEF"), "A=\"<x>\";B&C");
    EXPECT_EQ(childValue(vqf, "SL"), "C#");

    const pugi::xml_document languages = parse(SerializeLanguages(arena.Languages({2, 0, 9})));
    std::string read;
    for (const pugi::xml_node& language : languages.child("VQL").children("L")) read += valueOf(language);
    EXPECT_EQ(read, "20");
}
