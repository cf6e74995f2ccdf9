#include "engine/analysis/IncludeScanner.h"

#include <cstring>

namespace kerv::engine {

namespace {

bool isIdentifierChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// Reads a text one logical character at a time: line splices (a backslash
// before a line break) vanish, as in the preprocessor's second phase.
class Reader {
public:
    explicit Reader(const std::string& text) : text_(text) {}

    bool done() { return skipSplices() >= text_.size(); }
    char peek() { return done() ? '\0' : text_[at_]; }
    char peekNext() {
        skipSplices();
        size_t next = at_ + 1;
        while (next + 1 < text_.size() && text_[next] == '\\' && startsLineBreak(next + 1))
            next += 1 + lineBreakLength(next + 1);
        return next < text_.size() ? text_[next] : '\0';
    }
    char get() {
        char c = peek();
        if (!done()) ++at_;
        return c;
    }

    // Skips blanks and comments inside a line; false when a line break or
    // the end comes first.
    bool skipBlanks() {
        for (;;) {
            char c = peek();
            if (isBlank(c)) {
                get();
            } else if (c == '/' && peekNext() == '*') {
                skipBlockComment();
            } else if (c == '/' && peekNext() == '/') {
                skipLine();
                return false;
            } else {
                return c != '\n' && c != '\0';
            }
        }
    }

    void skipBlockComment() {
        get(), get();
        while (!done()) {
            if (get() == '*' && peek() == '/') {
                get();
                return;
            }
        }
    }

    // Up to the line break (left for the caller), skipping comments and
    // literals so that a block comment's line breaks do not end the line.
    void skipLine() {
        while (!done() && peek() != '\n') {
            char c = peek();
            if (c == '/' && peekNext() == '*')
                skipBlockComment();
            else if (c == '"' || c == '\'')
                skipQuoted(get());
            else
                get();
        }
    }

    void skipQuoted(char quote) {
        while (!done()) {
            char c = get();
            if (c == '\\' && !done())
                get();
            else if (c == quote || c == '\n')
                return;
        }
    }

    // A raw string after its opening quote: R"delimiter( ... )delimiter".
    void skipRawString() {
        std::string delimiter;
        while (!done() && peek() != '(' && peek() != '\n' && delimiter.size() <= 16) delimiter += get();
        if (peek() != '(') return;  // not a raw string after all
        const std::string closing = ")" + delimiter + "\"";
        size_t end = text_.find(closing, at_);
        at_ = end == std::string::npos ? text_.size() : end + closing.size();
    }

    std::string identifier() {
        std::string name;
        while (isIdentifierChar(peek())) name += get();
        return name;
    }

    std::string until(char end) {
        std::string text;
        while (!done() && peek() != end && peek() != '\n') text += get();
        if (peek() == end) get();
        return text;
    }

    char previous() const { return at_ > 0 ? text_[at_ - 1] : '\0'; }
    char beforePrevious() const { return at_ > 1 ? text_[at_ - 2] : '\0'; }

private:
    bool startsLineBreak(size_t at) const {
        return at < text_.size() &&
               (text_[at] == '\n' || (text_[at] == '\r' && at + 1 < text_.size() && text_[at + 1] == '\n'));
    }
    size_t lineBreakLength(size_t at) const { return text_[at] == '\r' ? 2 : 1; }
    size_t skipSplices() {
        while (at_ + 1 < text_.size() && text_[at_] == '\\' && startsLineBreak(at_ + 1))
            at_ += 1 + lineBreakLength(at_ + 1);
        return at_;
    }

    const std::string& text_;
    size_t at_ = 0;
};

void readDirective(Reader& in, ScannedSource& out) {
    if (!in.skipBlanks()) return;
    const std::string keyword = in.identifier();
    if (keyword == "include" || keyword == "include_next" || keyword == "import") {
        if (!in.skipBlanks()) return;
        const char open = in.peek();
        if (open == '"' || open == '<') {
            in.get();
            std::string name = in.until(open == '"' ? '"' : '>');
            if (!name.empty()) out.includes.push_back({std::move(name), open == '<', false});
        } else if (isIdentifierChar(open)) {
            out.includes.push_back({in.identifier(), false, true});
        }
    } else if (keyword == "define") {
        if (!in.skipBlanks()) return;
        std::string name = in.identifier();
        if (name.empty() || in.peek() == '(' || !in.skipBlanks()) return;
        const char open = in.peek();
        if (open != '"' && open != '<') return;
        std::string value(1, in.get());
        value += in.until(open == '"' ? '"' : '>');
        value += open == '"' ? '"' : '>';
        if (!in.skipBlanks()) out.headerMacros.emplace_back(std::move(name), std::move(value));
    }
}

bool startsRawString(char before, char beforeThat) {
    // R", u8R", uR", UR", LR": the R right before the quote, not part of a longer name.
    return before == 'R' && (!isIdentifierChar(beforeThat) || beforeThat == '8' || beforeThat == 'u' ||
                             beforeThat == 'U' || beforeThat == 'L');
}

}  // namespace

ScannedSource scanSource(const std::string& text) {
    ScannedSource out;
    // A file without a '#' has no directive to lex for.
    if (std::memchr(text.data(), '#', text.size()) == nullptr) return out;
    Reader in(text);
    bool lineStart = true;
    while (!in.done()) {
        char c = in.peek();
        if (c == '\n') {
            in.get();
            lineStart = true;
        } else if (isBlank(c)) {
            in.get();
        } else if (c == '/' && in.peekNext() == '*') {
            in.skipBlockComment();
        } else if (c == '/' && in.peekNext() == '/') {
            in.skipLine();
        } else if (c == '#' && lineStart) {
            in.get();
            readDirective(in, out);
            in.skipLine();
            lineStart = false;
        } else if (c == '"') {
            bool raw = startsRawString(in.previous(), in.beforePrevious());
            in.get();
            if (raw)
                in.skipRawString();
            else
                in.skipQuoted('"');
            lineStart = false;
        } else if (c == '\'') {
            // A digit separator (1'000) is no character literal.
            bool separator = in.previous() >= '0' && in.previous() <= '9';
            in.get();
            if (!separator) in.skipQuoted('\'');
            lineStart = false;
        } else {
            in.get();
            lineStart = false;
        }
    }
    return out;
}

}  // namespace kerv::engine
