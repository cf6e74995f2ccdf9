// Result trees, file settings and language lists, written by the tree
// writers and read back.
#include <string>

#include "fuzz/support/FuzzCheck.h"
#include "fuzz/support/RecordBuilder.h"
#include "fuzz/support/XmlReadBack.h"
#include "fuzz/writers/WriterCases.h"
#include "utils/TreeWriter.h"

namespace fuzz {

namespace {

constexpr int kMaxDepth = 8;

VQTreeStruct* buildTreeItem(RecordBuilder& build, int depth) {
    if (build.null()) return nullptr;
    auto* item = build.record<VQTreeStruct>();
    item->type = static_cast<VQTreeItemType_C>(build.number());
    item->name = build.anyText();
    item->data = build.anyText();
    item->total = build.number();
    item->active = build.number();
    if (depth < kMaxDepth && !build.null()) {
        const uint32_t n = build.count();
        item->subItems = build.countedArray<VQTreeArray_C>(n);
        for (uint32_t i = 0; i < n; ++i) item->subItems->items[i] = buildTreeItem(build, depth + 1);
    }
    return item;
}

VQTrees_C* buildTrees(RecordBuilder& build) {
    if (build.null()) return nullptr;
    auto* trees = build.record<VQTrees_C>();
    trees->fileTree = buildTreeItem(build, 0);
    trees->ruleTree = buildTreeItem(build, 0);
    trees->messageTree = buildTreeItem(build, 0);
    return trees;
}

VQFile_C* buildFile(RecordBuilder& build) {
    if (build.null()) return nullptr;
    auto* file = build.record<VQFile_C>();
    file->sourceLanguage = static_cast<VQSourceLanguage_C>(build.number());
    if (!build.null()) {
        const uint32_t n = build.count();
        file->defines = build.countedArray<VQDefines_C>(n);
        for (uint32_t i = 0; i < n; ++i) file->defines->defines[i] = build.anyText();
    }
    if (!build.null()) {
        const uint32_t n = build.count();
        file->includes =
            static_cast<VQIncludes_C*>(build.block(offsetof(VQIncludes_C, includes) + n * sizeof(VQInclude_C)));
        file->includes->count = n;
        for (uint32_t i = 0; i < n; ++i) {
            file->includes->includes[i].includePath = build.anyText();
            file->includes->includes[i].reserved = &file->includes->includes[i];
        }
    }
    return file;
}

VQLanguages_C* buildLanguages(RecordBuilder& build) {
    if (build.null()) return nullptr;
    const uint32_t n = build.count() * 2;
    auto* languages =
        static_cast<VQLanguages_C*>(build.block(offsetof(VQLanguages_C, languages) + n * sizeof(VQLanguage_C)));
    languages->count = n;
    for (uint32_t i = 0; i < n; ++i) {
        languages->languages[i] = static_cast<VQLanguage_C>(build.number() % 5);
    }
    return languages;
}

std::string typeText(int32_t type) {
    return type >= 0 && type <= 8 ? std::to_string(type) : std::string();
}

void checkTreeItem(pugi::xml_node element, const VQTreeStruct* item) {
    if (item == nullptr) return expectEmpty(element);
    ElementCursor cursor(element);
    cursor.leaf("Ty", typeText(item->type));
    cursor.leaf("N", textOr(item->name));
    cursor.leaf("D", textOr(item->data));
    cursor.leaf("To", std::to_string(item->total));
    cursor.leaf("A", std::to_string(item->active));
    if (const VQTreeArray_C* children = item->subItems) {
        for (uint32_t i = 0; i < children->count; ++i) checkTreeItem(cursor.next("SI"), children->items[i]);
    }
    cursor.end();
}

std::string joined(uint32_t count, char* const* texts, std::size_t stride) {
    std::string text;
    for (uint32_t i = 0; i < count; ++i) {
        if (i > 0) text += ';';
        text += textOr(*reinterpret_cast<char* const*>(reinterpret_cast<const char*>(texts) + i * stride));
    }
    return text;
}

std::string languageText(int32_t language) {
    switch (language) {
        case 0:
            return "C";
        case 1:
            return "C++";
        case 2:
            return "C#";
        default:
            return "";
    }
}

}  // namespace

void fuzzTreeWriters(FuzzedDataProvider& input) {
    RecordBuilder build(input);
    VQTrees_C* trees = buildTrees(build);

    const std::string whole = Utils::SerializeTrees(trees);
    const std::string inner = Utils::SerializeTreesIndividual(trees);
    if (trees == nullptr) {
        FUZZ_CHECK(whole.empty() && inner.empty(), "null trees give " + quoted(whole) + " and " + quoted(inner));
        return;
    }
    FUZZ_CHECK(whole == "<Tr>" + inner + "</Tr>", "Tr differs from its content " + quoted(inner));
    pugi::xml_document document;
    parseOrFail(document, whole);
    const pugi::xml_node root = document.first_child();
    FUZZ_CHECK(std::string(root.name()) == "Tr", "root " + std::string(root.name()));
    ElementCursor cursor(root);
    checkTreeItem(cursor.next("FT"), trees->fileTree);
    checkTreeItem(cursor.next("MT"), trees->messageTree);
    checkTreeItem(cursor.next("RT"), trees->ruleTree);
    cursor.end();
}

void fuzzFileWriters(FuzzedDataProvider& input) {
    RecordBuilder build(input);
    VQFile_C* file = buildFile(build);

    const std::string xml = Utils::SerializeVQFile(file);
    if (file == nullptr) {
        FUZZ_CHECK(xml.empty(), "a null file gives " + quoted(xml));
        return;
    }
    pugi::xml_document document;
    parseOrFail(document, xml);
    const pugi::xml_node root = document.first_child();
    FUZZ_CHECK(std::string(root.name()) == "VQF", "root " + std::string(root.name()));
    ElementCursor cursor(root);
    cursor.leaf("IP",
                file->includes == nullptr
                    ? std::string()
                    : joined(file->includes->count, &file->includes->includes[0].includePath, sizeof(VQInclude_C)));
    cursor.leaf("DEF", file->defines == nullptr ? std::string()
                                                : joined(file->defines->count, file->defines->defines, sizeof(char*)));
    cursor.leaf("SL", languageText(file->sourceLanguage));
    cursor.end();
}

void fuzzLanguageWriters(FuzzedDataProvider& input) {
    RecordBuilder build(input);
    VQLanguages_C* languages = buildLanguages(build);

    const std::string xml = Utils::SerializeLanguages(languages);
    if (languages == nullptr) {
        FUZZ_CHECK(xml.empty(), "a null list gives " + quoted(xml));
        return;
    }
    pugi::xml_document document;
    parseOrFail(document, xml);
    const pugi::xml_node root = document.first_child();
    FUZZ_CHECK(std::string(root.name()) == "VQL", "root " + std::string(root.name()));
    ElementCursor cursor(root);
    for (uint32_t i = 0; i < languages->count; ++i) {
        const int32_t language = languages->languages[i];
        if (language >= 0 && language <= 2) cursor.leaf("L", std::to_string(language));
    }
    cursor.end();
}

std::string treesText(FuzzedDataProvider& input) {
    RecordBuilder build(input);
    return Utils::SerializeTrees(buildTrees(build));
}

std::string fileText(FuzzedDataProvider& input) {
    RecordBuilder build(input);
    return Utils::SerializeVQFile(buildFile(build));
}

std::string languagesText(FuzzedDataProvider& input) {
    RecordBuilder build(input);
    return Utils::SerializeLanguages(buildLanguages(build));
}

}  // namespace fuzz
