#include "utils/TreeWriter.h"

#include "utils/DepthFirstWalk.h"
#include "utils/XmlSink.h"
#include "utils/XmlTags.h"

namespace Utils {
namespace {

using Xml::textOf;

constexpr std::string_view kDigits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8"};
constexpr std::string_view kSourceLanguages[] = {"C", "C++", "C#"};
constexpr uint32_t kLanguageCount = 3;

template <typename Sink>
void writeTreeItemType(Sink& out, VQTreeItemType_C type) {
    const uint32_t value = static_cast<uint32_t>(type);
    Xml::escapedElement(out, tagType, value < std::size(kDigits) ? kDigits[value] : std::string_view());
}

template <typename Sink>
class TreeItemVisitor {
public:
    explicit TreeItemVisitor(Sink& out) : out_(out) {}

    void enter(const VQTreeStruct& item) {
        writeTreeItemType(out_, item.type);
        Xml::escapedElement(out_, tagName, textOf(item.name));
        Xml::escapedElement(out_, tagData, textOf(item.data));
        // Digits and '-' need no escaping.
        Xml::decimalElement(out_, tagTotal, item.total);
        Xml::decimalElement(out_, tagActive, item.active);
    }
    uint32_t childCount(const VQTreeStruct& item) const { return item.subItems ? item.subItems->count : 0; }
    const VQTreeStruct* child(const VQTreeStruct& item, uint32_t index) const { return item.subItems->items[index]; }
    void beginChild(uint32_t) { out_.open(tagSubItem); }
    void endChild() { out_.close(tagSubItem); }
    void leave(const VQTreeStruct&) {}

private:
    Sink& out_;
};

template <typename Sink>
void writeTreeItem(Sink& out, const VQTreeStruct& item) {
    TreeItemVisitor<Sink> visitor(out);
    walkDepthFirst(item, visitor);
}

template <typename Sink>
void writeTree(Sink& out, std::string_view tag, const VQTreeStruct* root) {
    out.open(tag);
    if (root) writeTreeItem(out, *root);
    out.close(tag);
}

template <typename Sink>
void writeTrees(Sink& out, const VQTrees_C& trees) {
    writeTree(out, tagFileTree, trees.fileTree);
    writeTree(out, tagMessageTree, trees.messageTree);
    writeTree(out, tagRuleTree, trees.ruleTree);
}

template <typename Sink>
void writeSourceLanguage(Sink& out, VQSourceLanguage_C language) {
    const uint32_t value = static_cast<uint32_t>(language);
    Xml::escapedElement(out, tagSourceLanguage, value < std::size(kSourceLanguages) ? kSourceLanguages[value] : "");
}

// One escaped element holding the texts joined with ';'.
template <typename Sink, typename TextAt>
void writeJoined(Sink& out, std::string_view tag, uint32_t count, TextAt textAt) {
    out.open(tag);
    for (uint32_t i = 0; i < count; ++i) {
        if (i > 0) out.raw(";");
        out.escaped(textOf(textAt(i)));
    }
    out.close(tag);
}

template <typename Sink>
void writeDefines(Sink& out, const VQDefines_C* defines) {
    writeJoined(out, tagDefinitions, defines ? defines->count : 0, [&](uint32_t i) { return defines->defines[i]; });
}

template <typename Sink>
void writeIncludedPaths(Sink& out, const VQIncludes_C* includes) {
    writeJoined(out, tagIncludedPaths, includes ? includes->count : 0,
                [&](uint32_t i) { return includes->includes[i].includePath; });
}

template <typename Sink>
void writeLanguage(Sink& out, VQLanguage_C language) {
    const uint32_t value = static_cast<uint32_t>(language);
    if (value < kLanguageCount) Xml::escapedElement(out, tagLanguage, kDigits[value]);
}

}  // namespace

std::string SerializeTreeItemType(VQTreeItemType_C type) {
    return Xml::render([&](auto& out) { writeTreeItemType(out, type); });
}

std::string SerializeTreeItem(VQTreeStruct* item) {
    if (!item) return {};
    return Xml::render([&](auto& out) { writeTreeItem(out, *item); });
}

std::string SerializeTreesIndividual(VQTrees_C* trees) {
    if (!trees) return {};
    return Xml::render([&](auto& out) { writeTrees(out, *trees); });
}

std::string SerializeTrees(VQTrees_C* trees) {
    if (!trees) return {};
    return Xml::render([&](auto& out) {
        out.open(tagTrees);
        writeTrees(out, *trees);
        out.close(tagTrees);
    });
}

std::string SerializeSourceLanguage(VQSourceLanguage_C language) {
    return Xml::render([&](auto& out) { writeSourceLanguage(out, language); });
}

std::string SerializeDefines(VQDefines_C* defines) {
    return Xml::render([&](auto& out) { writeDefines(out, defines); });
}

std::string SerializeIncludedPaths(VQIncludes_C* includes) {
    return Xml::render([&](auto& out) { writeIncludedPaths(out, includes); });
}

std::string SerializeVQFile(VQFile_C* file) {
    if (!file) return {};
    return Xml::render([&](auto& out) {
        out.open(tagVQFile);
        writeIncludedPaths(out, file->includes);
        writeDefines(out, file->defines);
        writeSourceLanguage(out, file->sourceLanguage);
        out.close(tagVQFile);
    });
}

std::string SerializeLanguage(VQLanguage_C language) {
    return Xml::render([&](auto& out) { writeLanguage(out, language); });
}

std::string SerializeLanguages(VQLanguages_C* languages) {
    if (!languages) return {};
    return Xml::render([&](auto& out) {
        out.open(tagLanguages);
        for (uint32_t i = 0; i < languages->count; ++i) writeLanguage(out, languages->languages[i]);
        out.close(tagLanguages);
    });
}

}  // namespace Utils
