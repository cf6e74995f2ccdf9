#include "utils/TreeWriter.h"

#include "utils/DepthFirstWalk.h"
#include "utils/TextElement.h"
#include "utils/XmlSink.h"
#include "utils/XmlTags.h"

namespace Utils {
namespace {

// The elements this file writes, made from the tag globals on first use.
struct Tags {
    const Xml::ElementMarkup active{tagActive};
    const Xml::TextMarkup<&tagData> data;
    const Xml::ElementMarkup definitions{tagDefinitions};
    const Xml::ElementMarkup fileTree{tagFileTree};
    const Xml::ElementMarkup includedPaths{tagIncludedPaths};
    const Xml::ElementMarkup language{tagLanguage};
    const Xml::ElementMarkup languages{tagLanguages};
    const Xml::ElementMarkup messageTree{tagMessageTree};
    const Xml::TextMarkup<&tagName> name;
    const Xml::ElementMarkup ruleTree{tagRuleTree};
    const Xml::ElementMarkup sourceLanguage{tagSourceLanguage};
    const Xml::ElementMarkup subItem{tagSubItem};
    const Xml::ElementMarkup total{tagTotal};
    const Xml::ElementMarkup trees{tagTrees};
    const Xml::ElementMarkup type{tagType};
    const Xml::ElementMarkup file{tagVQFile};
};

// Inlined: the guard of the static is one test, a call per element is not.
__attribute__((always_inline)) inline const Tags& tags() {
    static const Tags instance;
    return instance;
}

using Xml::textOf;

// Trees are written in one pass: counting their length first would walk every
// node, scattered over the heap, twice. Room for a small tree to begin with.
constexpr std::size_t kTreesFirstSize = 4096;

constexpr std::string_view kDigits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8"};
struct SourceLanguageText {
    VQSourceLanguage_C language;
    std::string_view text;
};

// Looked up by number: the list numbers its languages from 0 in order.
constexpr SourceLanguageText kSourceLanguages[] = {
#define KERV_SOURCE_LANGUAGE(name, number, text) {VQ_SOURCE_LANGUAGE_##name, text},
#define KERV_SOURCE_EXTENSION(language, extension)
#include "api/SourceLanguages.def"
#undef KERV_SOURCE_EXTENSION
#undef KERV_SOURCE_LANGUAGE
};

constexpr bool numberedByPosition() {
    for (std::size_t i = 0; i < std::size(kSourceLanguages); ++i) {
        if (kSourceLanguages[i].language != static_cast<VQSourceLanguage_C>(i)) return false;
    }
    return true;
}
static_assert(numberedByPosition(), "api/SourceLanguages.def must number its languages 0, 1, 2, ... in order");

// An available language is written as its digit.
constexpr uint32_t kLanguageCount = std::size(kSourceLanguages);
static_assert(kLanguageCount <= std::size(kDigits));

template <typename Sink>
void writeTreeItemType(Sink& out, VQTreeItemType_C type) {
    const uint32_t value = static_cast<uint32_t>(type);
    // A digit needs no escaping.
    Xml::element(out, tags().type, value < std::size(kDigits) ? kDigits[value] : textOf(nullptr));
}

template <typename Sink>
class TreeItemVisitor {
public:
    explicit TreeItemVisitor(Sink& out) : out_(out) {}

    void prefetch(const VQTreeStruct& item) const { Xml::prefetch(item.name, item.data, item.subItems); }
    void enter(const VQTreeStruct& item) {
        prefetch(item);
        writeTreeItemType(out_, item.type);
        Xml::textElement(out_, tags().name, item.name);
        Xml::textElement(out_, tags().data, item.data);
        // Digits and '-' need no escaping.
        Xml::decimalElement(out_, tags().total, item.total);
        Xml::decimalElement(out_, tags().active, item.active);
    }
    uint32_t childCount(const VQTreeStruct& item) const { return item.subItems ? item.subItems->count : 0; }
    const VQTreeStruct* child(const VQTreeStruct& item, uint32_t index) const { return item.subItems->items[index]; }
    void beginChild(uint32_t) { out_.open(tags().subItem); }
    void endChild() { out_.close(tags().subItem); }
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
void writeTree(Sink& out, const Xml::ElementMarkup& tag, const VQTreeStruct* root) {
    out.open(tag);
    if (root) writeTreeItem(out, *root);
    out.close(tag);
}

template <typename Sink>
void writeTrees(Sink& out, const VQTrees_C& trees) {
    writeTree(out, tags().fileTree, trees.fileTree);
    writeTree(out, tags().messageTree, trees.messageTree);
    writeTree(out, tags().ruleTree, trees.ruleTree);
}

template <typename Sink>
void writeSourceLanguage(Sink& out, VQSourceLanguage_C language) {
    const uint32_t value = static_cast<uint32_t>(language);
    Xml::escapedElement(out, tags().sourceLanguage, value < kLanguageCount ? kSourceLanguages[value].text : "");
}

// One escaped element holding the texts joined with ';'.
template <typename Sink, typename TextAt>
void writeJoined(Sink& out, const Xml::ElementMarkup& tag, uint32_t count, TextAt textAt) {
    out.open(tag);
    for (uint32_t i = 0; i < count; ++i) {
        if (i > 0) out.raw(";");
        out.escapedText(textAt(i));
    }
    out.close(tag);
}

template <typename Sink>
void writeDefines(Sink& out, const VQDefines_C* defines) {
    writeJoined(out, tags().definitions, defines ? defines->count : 0, [&](uint32_t i) { return defines->defines[i]; });
}

template <typename Sink>
void writeIncludedPaths(Sink& out, const VQIncludes_C* includes) {
    writeJoined(out, tags().includedPaths, includes ? includes->count : 0,
                [&](uint32_t i) { return includes->includes[i].includePath; });
}

template <typename Sink>
void writeLanguage(Sink& out, VQLanguage_C language) {
    const uint32_t value = static_cast<uint32_t>(language);
    if (value < kLanguageCount) Xml::escapedElement(out, tags().language, kDigits[value]);
}

}  // namespace

std::string SerializeTreeItemType(VQTreeItemType_C type) {
    return Xml::render([&](auto& out) { writeTreeItemType(out, type); });
}

std::string SerializeTreeItem(VQTreeStruct* item) {
    if (!item) return {};
    return Xml::renderInOnePass(kTreesFirstSize, [&](auto& out) { writeTreeItem(out, *item); });
}

std::string SerializeTreesIndividual(VQTrees_C* trees) {
    if (!trees) return {};
    return Xml::renderInOnePass(kTreesFirstSize, [&](auto& out) { writeTrees(out, *trees); });
}

std::string SerializeTrees(VQTrees_C* trees) {
    if (!trees) return {};
    return Xml::renderInOnePass(kTreesFirstSize, [&](auto& out) {
        out.open(tags().trees);
        writeTrees(out, *trees);
        out.close(tags().trees);
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
        out.open(tags().file);
        writeIncludedPaths(out, file->includes);
        writeDefines(out, file->defines);
        writeSourceLanguage(out, file->sourceLanguage);
        out.close(tags().file);
    });
}

std::string SerializeLanguage(VQLanguage_C language) {
    return Xml::render([&](auto& out) { writeLanguage(out, language); });
}

std::string SerializeLanguages(VQLanguages_C* languages) {
    if (!languages) return {};
    return Xml::render([&](auto& out) {
        out.open(tags().languages);
        for (uint32_t i = 0; i < languages->count; ++i) writeLanguage(out, languages->languages[i]);
        out.close(tags().languages);
    });
}

}  // namespace Utils
