// Depth-first walk over records that nest to any depth, with an explicit
// stack on the heap instead of recursion: the writers run on Java threads
// whose stacks are small, and the analysis library sets no depth limit.
#pragma once

#include <algorithm>
#include <cstddef>
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
//   prefetch(node)         asks for the node's texts to be loaded
// A null child gets beginChild and endChild with nothing in between.
// Records are scattered over the heap. While item i of a list is written,
// the record a few items ahead and the texts of a nearer one (whose record
// was asked for earlier) are asked for, so their cache misses overlap with the
// writing instead of stalling it.
constexpr std::uint32_t kRecordsAhead = 4;
constexpr std::uint32_t kTextsAhead = 2;

template <typename Record, typename PrefetchTexts>
inline void prefetchAhead(Record* const* items, std::uint32_t count, std::uint32_t index,
                          PrefetchTexts&& prefetchTexts) {
    if (index + kRecordsAhead < count) __builtin_prefetch(items[index + kRecordsAhead]);
    if (index + kTextsAhead < count && items[index + kTextsAhead]) prefetchTexts(*items[index + kTextsAhead]);
}

// A stack that keeps its first frames inline and moves to the heap only for
// deeper nesting, so walking a shallow record costs no allocation.
template <typename Frame>
class FrameStack {
public:
    FrameStack() = default;
    FrameStack(const FrameStack&) = delete;
    FrameStack& operator=(const FrameStack&) = delete;

    bool empty() const { return size_ == 0; }
    Frame& back() { return base_[size_ - 1]; }
    void pop() { --size_; }
    void push(const Frame& frame) {
        if (size_ == capacity_) grow();
        base_[size_++] = frame;
    }

private:
    static constexpr std::size_t kInline = 32;

    void grow() {
        const bool wasInline = base_ == inline_;
        heap_.resize(2 * capacity_);
        if (wasInline) std::copy(inline_, inline_ + size_, heap_.begin());
        base_ = heap_.data();
        capacity_ = heap_.size();
    }

    Frame inline_[kInline];
    std::vector<Frame> heap_;
    Frame* base_ = inline_;
    std::size_t size_ = 0;
    std::size_t capacity_ = kInline;
};

template <typename Node, typename Visitor>
void walkDepthFirst(const Node& root, Visitor& visitor) {
    struct Frame {
        const Node* node;
        std::uint32_t nextChild;
    };
    FrameStack<Frame> stack;
    visitor.enter(root);
    stack.push({&root, 0});
    while (!stack.empty()) {
        Frame& top = stack.back();
        const std::uint32_t childCount = visitor.childCount(*top.node);
        if (top.nextChild < childCount) {
            const std::uint32_t index = top.nextChild++;
            const Node* child = visitor.child(*top.node, index);
            // Ahead as in prefetchAhead.
            if (index + kRecordsAhead < childCount) __builtin_prefetch(visitor.child(*top.node, index + kRecordsAhead));
            if (index + kTextsAhead < childCount) {
                if (const Node* next = visitor.child(*top.node, index + kTextsAhead)) visitor.prefetch(*next);
            }
            visitor.beginChild(index);
            if (child) {
                visitor.enter(*child);
                stack.push({child, 0});  // invalidates `top`
            } else {
                visitor.endChild();
            }
            continue;
        }
        const Node& finished = *top.node;
        stack.pop();
        visitor.leave(finished);
        if (!stack.empty()) visitor.endChild();
    }
}

}  // namespace Utils
