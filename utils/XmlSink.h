// The sinks every writer runs over: XmlCounter adds up the exact length of
// the text, XmlBufferWriter writes the text into one buffer of that length
// (XmlAppender appends to a growing string, as a fallback). A writer is a
// template over the sink; render() runs it first to count and then to write,
// so the text is made in one allocation of its own size.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "utils/XmlEscape.h"

namespace Utils {
namespace Xml {

// A record's text field; a null pointer is written as the empty text (with a
// non-null data pointer, which memcpy requires even for 0 bytes).
inline std::string_view textOf(const char* text) {
    constexpr std::string_view kEmpty = "";
    return text ? std::string_view(text, textLength(text)) : kEmpty;
}

// Asks for the texts of a record to be loaded into the cache together, so
// that their cache misses overlap instead of following one another.
template <typename... Texts>
inline void prefetch(const Texts*... texts) {
    (__builtin_prefetch(texts), ...);
}

// Decimal, no padding, leading '-' when negative; independent of the locale.
struct Decimal {
    explicit Decimal(std::int64_t value) {
        length = static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
    }
    std::string_view view() const { return {digits, length}; }
    char digits[24];
    std::size_t length;
};

// The opening and closing tag of one element, made once from a tag name and
// padded so that each is copied with one fixed-size move.
class ElementMarkup {
public:
    static constexpr std::size_t kPadded = 32;

    explicit ElementMarkup(std::string_view name) {
        // Tag names are short words of the vocabulary; a longer one is cut
        // rather than overrun the padding.
        name = name.substr(0, kPadded - 3);
        open_[0] = '<';
        std::memcpy(open_ + 1, name.data(), name.size());
        open_[name.size() + 1] = '>';
        close_[0] = '<';
        close_[1] = '/';
        std::memcpy(close_ + 2, name.data(), name.size());
        close_[name.size() + 2] = '>';
        openLength_ = static_cast<std::uint8_t>(name.size() + 2);
        closeLength_ = static_cast<std::uint8_t>(name.size() + 3);
    }
    std::string_view open() const { return {open_, openLength_}; }
    std::string_view close() const { return {close_, closeLength_}; }
    const char* paddedOpen() const { return open_; }
    const char* paddedClose() const { return close_; }

private:
    char open_[kPadded] = {};
    char close_[kPadded] = {};
    std::uint8_t openLength_;
    std::uint8_t closeLength_;
};

class XmlCounter {
public:
    void raw(std::string_view text) { size_ += text.size(); }
    void open(const ElementMarkup& element) { size_ += element.open().size(); }
    void close(const ElementMarkup& element) { size_ += element.close().size(); }
    void escaped(std::string_view text) { size_ += escapedLength(text); }
    void escapedText(const char* text) { size_ += text ? scanText(text).escapedLength : 0; }
    void cdata(std::string_view text) { size_ += cdataLength(text); }
    std::size_t size() const { return size_; }

private:
    std::size_t size_ = 0;
};

// Writes into a buffer sized by XmlCounter. Every write is bounds-checked,
// so records that change between the two passes (which their owner must not
// allow) cannot make it write past the buffer; complete() then tells.
class XmlBufferWriter {
public:
    XmlBufferWriter(char* begin, char* end) : next_(begin), end_(end) {}

    void raw(std::string_view text) {
        if (!reserve(text.size())) return;
        copyBytes(next_, text.data(), text.size());
        next_ += text.size();
    }
    void open(const ElementMarkup& element) { markup(element.paddedOpen(), element.open().size()); }
    void close(const ElementMarkup& element) { markup(element.paddedClose(), element.close().size()); }
    // An entity is at most 6 bytes, so 6 bytes per character always fit;
    // only near the end of the buffer is the exact length worked out.
    void escaped(std::string_view text) {
        if (room() < 6 * text.size() && !reserve(escapedLength(text))) return;
        next_ = writeEscaped(next_, text);
    }
    void escapedText(const char* text) {
        if (!text || overflowed_) return;
        char* written = writeEscapedText(next_, end_, text);
        if (written) {
            next_ = written;
        } else {
            overflowed_ = true;
        }
    }
    // At most 12 bytes of markers plus 5 bytes per character.
    void cdata(std::string_view text) {
        if (room() < 12 + 5 * text.size() && !reserve(cdataLength(text))) return;
        next_ = writeCData(next_, text);
    }
    bool complete() const { return !overflowed_ && next_ == end_; }

private:
    void markup(const char* padded, std::size_t size) {
        if (room() >= ElementMarkup::kPadded) {
            std::memcpy(next_, padded, ElementMarkup::kPadded);  // the bytes past `size` are overwritten next
        } else {
            if (!reserve(size)) return;
            std::memcpy(next_, padded, size);
        }
        next_ += size;
    }
    std::size_t room() const { return static_cast<std::size_t>(end_ - next_); }
    bool reserve(std::size_t size) {
        if (overflowed_ || size > room()) {
            overflowed_ = true;
            return false;
        }
        return true;
    }

    char* next_;
    char* const end_;
    bool overflowed_ = false;
};

// Writes in one pass into a string that doubles when it runs short, for
// records whose exact length would cost a second walk over scattered nodes.
class XmlGrowingWriter {
public:
    explicit XmlGrowingWriter(std::size_t initialSize) : out_(initialSize, '\0') { rebase(0); }

    void raw(std::string_view text) {
        ensure(text.size());
        copyBytes(next_, text.data(), text.size());
        next_ += text.size();
    }
    void open(const ElementMarkup& element) { markup(element.paddedOpen(), element.open().size()); }
    void close(const ElementMarkup& element) { markup(element.paddedClose(), element.close().size()); }
    // An entity is at most 6 bytes, so 6 bytes per character always fit.
    void escaped(std::string_view text) {
        ensure(6 * text.size());
        next_ = writeEscaped(next_, text);
    }
    // A record text is written straight away when it fits the room left
    // (most do); otherwise its exact length is found and made room for.
    void escapedText(const char* text) {
        if (!text) return;
        ensure(kTextRoom);
        if (char* written = writeEscapedText(next_, end_, text)) {
            next_ = written;
            return;
        }
        ensure(scanText(text).escapedLength);
        next_ = writeEscapedText(next_, end_, text);
    }
    // At most 12 bytes of markers plus 5 bytes per character.
    void cdata(std::string_view text) {
        ensure(12 + 5 * text.size());
        next_ = writeCData(next_, text);
    }
    std::string take() {
        out_.resize(static_cast<std::size_t>(next_ - out_.data()));
        return std::move(out_);
    }

private:
    static constexpr std::size_t kTextRoom = 256;

    void markup(const char* padded, std::size_t size) {
        ensure(ElementMarkup::kPadded);
        std::memcpy(next_, padded, ElementMarkup::kPadded);  // the bytes past `size` are overwritten next
        next_ += size;
    }
    void ensure(std::size_t size) {
        if (size > static_cast<std::size_t>(end_ - next_)) grow(size);
    }
    __attribute__((noinline)) void grow(std::size_t size) {
        const auto used = static_cast<std::size_t>(next_ - out_.data());
        out_.resize(std::max(2 * out_.size(), used + size));
        rebase(used);
    }
    void rebase(std::size_t used) {
        next_ = out_.data() + used;
        end_ = out_.data() + out_.size();
    }

    std::string out_;
    char* next_ = nullptr;
    char* end_ = nullptr;
};

// <tag>value</tag> with the value as it is.
template <typename Sink>
__attribute__((always_inline)) inline void element(Sink& out, const ElementMarkup& tag, std::string_view value) {
    out.open(tag);
    out.raw(value);
    out.close(tag);
}

// <tag>value</tag> with the value entity-escaped.
template <typename Sink>
__attribute__((always_inline)) inline void escapedElement(Sink& out, const ElementMarkup& tag, std::string_view value) {
    out.open(tag);
    out.escaped(value);
    out.close(tag);
}

// <tag>text</tag> with a record's NUL-terminated text (null: empty)
// entity-escaped.
template <typename Sink>
__attribute__((always_inline)) inline void escapedElement(Sink& out, const ElementMarkup& tag, const char* text) {
    out.open(tag);
    out.escapedText(text);
    out.close(tag);
}

// <tag><![CDATA[value]]></tag>.
template <typename Sink>
__attribute__((always_inline)) inline void cdataElement(Sink& out, const ElementMarkup& tag, std::string_view value) {
    out.open(tag);
    out.cdata(value);
    out.close(tag);
}

template <typename Sink>
__attribute__((always_inline)) inline void decimalElement(Sink& out, const ElementMarkup& tag, std::int64_t value) {
    element(out, tag, Decimal(value).view());
}

// Runs write(sink) once into a string that grows as it goes.
template <typename Write>
std::string renderInOnePass(std::size_t initialSize, Write&& write) {
    XmlGrowingWriter writer(initialSize);
    write(writer);
    return writer.take();
}

// Runs write(sink) twice: to count the length, then to fill a buffer of
// exactly that size. Records that changed between the two passes are written
// again in one pass.
template <typename Write>
std::string render(Write&& write) {
    XmlCounter counter;
    write(counter);
    std::string out(counter.size(), '\0');
    XmlBufferWriter writer(out.data(), out.data() + out.size());
    write(writer);
    if (writer.complete()) return out;
    return renderInOnePass(counter.size(), write);
}

}  // namespace Xml
}  // namespace Utils
