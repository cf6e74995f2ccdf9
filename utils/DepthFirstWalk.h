// Depth-first walk over records that nest to any depth, with an explicit
// stack on the heap instead of recursion: the writers run on Java threads
// whose stacks are small, and the analysis library sets no depth limit.
#pragma once

#include <cstdint>
#include <vector>

namespace Utils {

// The visitor provides:
//   enter(node)            the node's own content before its children
//   childCount(node)       number of children (0 for a null list)
//   child(node, i)         the i-th child, possibly null
//   beginChild(i)          before the i-th child (e.g. its opening tag)
//   endChild()             after a child (e.g. its closing tag)
//   leave(node)            the node's content after its children
// A null child gets beginChild and endChild with nothing in between.
template <typename Node, typename Visitor>
void walkDepthFirst(const Node& root, Visitor& visitor) {
    struct Frame {
        const Node* node;
        std::uint32_t nextChild;
    };
    std::vector<Frame> stack;
    stack.reserve(16);
    visitor.enter(root);
    stack.push_back({&root, 0});
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.nextChild < visitor.childCount(*top.node)) {
            const std::uint32_t index = top.nextChild++;
            const Node* child = visitor.child(*top.node, index);
            visitor.beginChild(index);
            if (child) {
                visitor.enter(*child);
                stack.push_back({child, 0});  // invalidates `top`
            } else {
                visitor.endChild();
            }
            continue;
        }
        const Node& finished = *top.node;
        stack.pop_back();
        visitor.leave(finished);
        if (!stack.empty()) visitor.endChild();
    }
}

}  // namespace Utils
