// The two sinks every writer runs over: XmlCounter adds up the exact length
// of the text, XmlAppender appends the text to one output buffer. A writer is
// a template over the sink; render() runs it first to count and then, with
// the buffer reserved to the exact size, to write. The text is thus made in
// one allocation of its own size.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "utils/XmlEscape.h"

namespace Utils {
namespace Xml {

// A record's text field; a null pointer is written as the empty text.
inline std::string_view textOf(const char* text) {
    return text ? std::string_view(text) : std::string_view();
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

class XmlCounter {
public:
    void raw(std::string_view text) { size_ += text.size(); }
    void open(std::string_view tag) { size_ += tag.size() + 2; }
    void close(std::string_view tag) { size_ += tag.size() + 3; }
    void escaped(std::string_view text) { size_ += escapedLength(text); }
    void cdata(std::string_view text) { size_ += cdataLength(text); }
    std::size_t size() const { return size_; }

private:
    std::size_t size_ = 0;
};

class XmlAppender {
public:
    explicit XmlAppender(std::string& out) : out_(out) {}
    void raw(std::string_view text) { out_.append(text); }
    void open(std::string_view tag) {
        out_ += '<';
        out_.append(tag);
        out_ += '>';
    }
    void close(std::string_view tag) {
        out_.append("</", 2);
        out_.append(tag);
        out_ += '>';
    }
    void escaped(std::string_view text) { appendEscaped(out_, text); }
    void cdata(std::string_view text) { appendCData(out_, text); }

private:
    std::string& out_;
};

// <tag>value</tag> with the value as it is.
template <typename Sink>
void element(Sink& out, std::string_view tag, std::string_view value) {
    out.open(tag);
    out.raw(value);
    out.close(tag);
}

// <tag>value</tag> with the value entity-escaped.
template <typename Sink>
void escapedElement(Sink& out, std::string_view tag, std::string_view value) {
    out.open(tag);
    out.escaped(value);
    out.close(tag);
}

// <tag><![CDATA[value]]></tag>.
template <typename Sink>
void cdataElement(Sink& out, std::string_view tag, std::string_view value) {
    out.open(tag);
    out.cdata(value);
    out.close(tag);
}

template <typename Sink>
void decimalElement(Sink& out, std::string_view tag, std::int64_t value) {
    element(out, tag, Decimal(value).view());
}

// Runs write(sink) twice: to count the length, then to fill a buffer of
// exactly that size.
template <typename Write>
std::string render(Write&& write) {
    XmlCounter counter;
    write(counter);
    std::string out;
    out.reserve(counter.size());
    XmlAppender appender(out);
    write(appender);
    return out;
}

}  // namespace Xml
}  // namespace Utils
