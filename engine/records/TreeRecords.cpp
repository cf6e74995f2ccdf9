#include "engine/records/TreeRecords.h"

#include <unordered_map>
#include <utility>

#include "engine/records/CRecords.h"
#include "engine/store/FileSystem.h"

namespace kerv::engine {

namespace {

struct TreeNode {
    int type = 0;
    std::string name;
    std::string data;
    int total = 0;
    int active = 0;
    std::vector<TreeNode> children;
    std::unordered_map<std::string, size_t> childIndex;  // by type and name, so a folder of many files stays linear

    TreeNode(int nodeType, std::string nodeName, std::string nodeData)
        : type(nodeType), name(std::move(nodeName)), data(std::move(nodeData)) {}

    TreeNode& child(int childType, const std::string& childName, const std::string& childData) {
        std::string key = std::to_string(childType);
        key.append(1, '\0').append(childName);
        auto [found, added] = childIndex.emplace(std::move(key), children.size());
        if (added) children.emplace_back(childType, childName, childData);
        return children[found->second];
    }
};

void count(std::initializer_list<TreeNode*> nodes, const DiagnosticInput& diagnostic) {
    for (TreeNode* node : nodes) {
        ++node->total;
        if (diagnostic.state == kActive) ++node->active;
    }
}

TreeNode fileTree(const TreeInput& input) {
    TreeNode root(0, input.projectName, input.projectFolder);
    for (const std::string& path : input.files) {
        auto found = input.diagnostics.find(path);
        if (found == input.diagnostics.end() && !input.includeEmpty) continue;
        TreeNode& folder = root.child(1, parentFolder(path), parentFolder(path));
        TreeNode& file = folder.child(2, baseName(path), path);
        if (found == input.diagnostics.end()) continue;
        for (const auto& diagnostic : found->second) count({&root, &folder, &file}, diagnostic);
    }
    return root;
}

TreeNode ruleTree(const TreeInput& input) {
    TreeNode root(3, "rules", "");
    if (input.includeEmpty)
        for (const auto& rule : input.rules)
            root.child(4, rule.severity, rule.severity).child(5, rule.id, rule.message);
    for (const auto& [path, diagnostics] : input.diagnostics) {
        for (const auto& diagnostic : diagnostics) {
            const Finding& finding = *diagnostic.finding;
            TreeNode& group = root.child(4, finding.severity, finding.severity);
            count({&root, &group, &group.child(5, finding.id, finding.message)}, diagnostic);
        }
    }
    return root;
}

TreeNode messageTree(const TreeInput& input) {
    TreeNode root(6, "messages", "");
    if (input.includeEmpty)
        for (const auto& rule : input.rules) root.child(7, rule.id, rule.message);
    for (const auto& [path, diagnostics] : input.diagnostics) {
        for (const auto& diagnostic : diagnostics) {
            TreeNode& message = root.child(7, diagnostic.finding->id, diagnostic.finding->message);
            count({&root, &message, &message.child(8, baseName(path), path)}, diagnostic);
        }
    }
    return root;
}

void releaseNode(VQTreeStruct* node) {
    if (!node) return;
    std::free(node->name);
    std::free(node->data);
    if (node->subItems) {
        for (uint32_t i = 0; i < node->subItems->count; ++i) releaseNode(node->subItems->items[i]);
        std::free(node->subItems);
    }
    std::free(node);
}

// Fills a node already linked into its parent, so a failed allocation leaves
// a tree that releaseNode can free.
void fillNode(VQTreeStruct* record, const TreeNode& node) {
    record->type = static_cast<VQTreeItemType_C>(node.type);
    record->name = copyText(node.name);
    record->data = copyText(node.data);
    record->total = node.total;
    record->active = node.active;
    record->subItems = allocateCounted<VQTreeArray_C>(node.children.size());
    for (size_t i = 0; i < node.children.size(); ++i) {
        record->subItems->items[i] = allocateRecord<VQTreeStruct>();
        fillNode(record->subItems->items[i], node.children[i]);
    }
}

}  // namespace

VQTrees_C* buildTrees(const TreeInput& input) {
    auto* trees = allocateRecord<VQTrees_C>();
    try {
        trees->fileTree = allocateRecord<VQTreeStruct>();
        fillNode(trees->fileTree, fileTree(input));
        trees->ruleTree = allocateRecord<VQTreeStruct>();
        fillNode(trees->ruleTree, ruleTree(input));
        trees->messageTree = allocateRecord<VQTreeStruct>();
        fillNode(trees->messageTree, messageTree(input));
    } catch (...) {
        releaseTrees(trees);
        throw;
    }
    return trees;
}

void releaseTrees(VQTrees_C*& record) {
    if (!record) return;
    releaseNode(record->fileTree);
    releaseNode(record->ruleTree);
    releaseNode(record->messageTree);
    std::free(record);
    record = nullptr;
}

}  // namespace kerv::engine
