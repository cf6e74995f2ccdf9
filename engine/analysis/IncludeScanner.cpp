#include "engine/analysis/IncludeScanner.h"

namespace kerv::engine {

namespace {

bool isIdentifierChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// The text without line splices (a backslash before a line break), as the
// preprocessor's second phase leaves it; most files have none.
std::string withoutSplices(const std::string& text) {
    std::string joined;
    joined.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        } else if (text[i] == '\\' && i + 2 < text.size() && text[i + 1] == '\r' && text[i + 2] == '\n') {
            i += 2;
        } else {
            joined += text[i];
        }
    }
    return joined;
}

class Lexer {
public:
    explicit Lexer(const std::string& text) : text_(text), size_(text.size()) {}

    ScannedSource scan() {
        bool lineStart = true;
        while (at_ < size_) {
            const char c = text_[at_];
            if (c == '\n') {
                ++at_;
                lineStart = true;
            } else if (isBlank(c)) {
                ++at_;
            } else if (c == '/' && next() == '*') {
                skipBlockComment();
            } else if (c == '/' && next() == '/') {
                skipLine();
            } else if (c == '#' && lineStart) {
                ++at_;
                readDirective();
                skipLine();
                lineStart = false;
            } else if (c == '"') {
                const bool raw = rawStringStarts();
                ++at_;
                if (raw)
                    skipRawString();
                else
                    skipQuoted('"');
                lineStart = false;
            } else if (c == '\'') {
                // A digit separator (1'000) is no character literal.
                const bool separator = at_ > 0 && text_[at_ - 1] >= '0' && text_[at_ - 1] <= '9';
                ++at_;
                if (!separator) skipQuoted('\'');
                lineStart = false;
            } else {
                ++at_;
                lineStart = false;
            }
        }
        return std::move(out_);
    }

private:
    char peek() const { return at_ < size_ ? text_[at_] : '\0'; }
    char next() const { return at_ + 1 < size_ ? text_[at_ + 1] : '\0'; }

    void skipBlockComment() {
        size_t end = text_.find("*/", at_ + 2);
        at_ = end == std::string::npos ? size_ : end + 2;
    }

    // Up to the line break (left for the caller), skipping comments and
    // literals so that a block comment's line breaks do not end the line.
    void skipLine() {
        while (at_ < size_ && text_[at_] != '\n') {
            const char c = text_[at_];
            if (c == '/' && next() == '*') {
                skipBlockComment();
            } else if (c == '/' && next() == '/') {
                size_t end = text_.find('\n', at_);
                at_ = end == std::string::npos ? size_ : end;
            } else if (c == '"' || c == '\'') {
                ++at_;
                skipQuoted(c);
            } else {
                ++at_;
            }
        }
    }

    void skipQuoted(char quote) {
        while (at_ < size_) {
            const char c = text_[at_];
            if (c == '\n') return;  // an unterminated literal ends with its line
            ++at_;
            if (c == '\\' && at_ < size_)
                ++at_;
            else if (c == quote)
                return;
        }
    }

    // R", u8R", uR", UR", LR": an R right before the quote that ends a prefix.
    bool rawStringStarts() const {
        if (at_ == 0 || text_[at_ - 1] != 'R') return false;
        const char before = at_ > 1 ? text_[at_ - 2] : '\0';
        if (!isIdentifierChar(before)) return true;
        const char third = at_ > 2 ? text_[at_ - 3] : '\0';
        if (before == '8') return third == 'u' && !(at_ > 3 && isIdentifierChar(text_[at_ - 4]));
        return (before == 'u' || before == 'U' || before == 'L') && !isIdentifierChar(third);
    }

    // After the opening quote: delimiter( ... )delimiter".
    void skipRawString() {
        size_t open = at_;
        while (open < size_ && open - at_ <= 16 && text_[open] != '(' && text_[open] != '\n') ++open;
        if (open >= size_ || text_[open] != '(') return;  // not a raw string after all
        const std::string closing = ")" + text_.substr(at_, open - at_) + "\"";
        size_t end = text_.find(closing, open);
        at_ = end == std::string::npos ? size_ : end + closing.size();
    }

    // Skips blanks and comments inside the line; false when the line ends first.
    bool skipBlanks() {
        for (;;) {
            const char c = peek();
            if (isBlank(c)) {
                ++at_;
            } else if (c == '/' && next() == '*') {
                skipBlockComment();
            } else {
                return c != '\n' && c != '\0' && !(c == '/' && next() == '/');
            }
        }
    }

    std::string identifier() {
        size_t start = at_;
        while (at_ < size_ && isIdentifierChar(text_[at_])) ++at_;
        return text_.substr(start, at_ - start);
    }

    // The text up to `end` (consumed) on this line.
    std::string until(char end) {
        size_t start = at_;
        while (at_ < size_ && text_[at_] != end && text_[at_] != '\n') ++at_;
        std::string inside = text_.substr(start, at_ - start);
        if (peek() == end) ++at_;
        return inside;
    }

    void readDirective() {
        if (!skipBlanks()) return;
        const std::string keyword = identifier();
        if (keyword == "include" || keyword == "include_next" || keyword == "import") {
            if (!skipBlanks()) return;
            const char open = peek();
            if (open == '"' || open == '<') {
                ++at_;
                std::string name = until(open == '"' ? '"' : '>');
                if (!name.empty()) out_.includes.push_back({std::move(name), open == '<', false});
            } else if (isIdentifierChar(open)) {
                out_.includes.push_back({identifier(), false, true});
            }
        } else if (keyword == "define") {
            if (!skipBlanks()) return;
            std::string name = identifier();
            if (name.empty() || peek() == '(' || !skipBlanks()) return;
            const char open = peek();
            if (open != '"' && open != '<') return;
            const char close = open == '"' ? '"' : '>';
            ++at_;
            std::string value = open + until(close) + close;
            if (!skipBlanks()) out_.headerMacros.emplace_back(std::move(name), std::move(value));
        }
    }

    const std::string& text_;
    const size_t size_;
    size_t at_ = 0;
    ScannedSource out_;
};

bool hasSplice(const std::string& text) {
    for (size_t at = text.find('\\'); at != std::string::npos; at = text.find('\\', at + 1)) {
        if (text.compare(at + 1, 1, "\n") == 0 || text.compare(at + 1, 2, "\r\n") == 0) return true;
    }
    return false;
}

}  // namespace

ScannedSource scanSource(const std::string& text) {
    // A file without a '#' has no directive to lex for.
    if (text.find('#') == std::string::npos) return {};
    if (hasSplice(text)) {
        const std::string joined = withoutSplices(text);
        return Lexer(joined).scan();
    }
    return Lexer(text).scan();
}

}  // namespace kerv::engine
