#include "engine/analysis/InlineSuppressions.h"

#include <cctype>
#include <sstream>

namespace kerv::engine {

namespace {

const std::string kMarker = "cppcheck-suppress";

// A token of the source as far as suppressions care: a comment, or a piece of
// code (a word, a literal or one punctuation character).
struct Token {
    int line;
    bool comment;
    bool openBrace;
    size_t begin;
    size_t end;
};

class Scanner {
public:
    explicit Scanner(const std::string& text) : text_(text) {}

    std::vector<Token> tokens() {
        std::vector<Token> tokens;
        while (at_ < text_.size()) {
            char c = text_[at_];
            size_t begin = at_;
            int line = line_;
            if (c == '\n') {
                ++line_, ++at_;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++at_;
            } else if (c == '\\' && lineBreakAt(at_ + 1)) {
                skipLineBreak(at_ + 1);
            } else if (startsWith("//")) {
                lineComment();
                tokens.push_back({line, true, false, begin, at_});
            } else if (startsWith("/*")) {
                blockComment();
                tokens.push_back({line, true, false, begin, at_});
            } else {
                code();
                tokens.push_back({line, false, c == '{', begin, at_});
            }
        }
        return tokens;
    }

private:
    bool startsWith(const char* prefix) const {
        return text_.compare(at_, std::char_traits<char>::length(prefix), prefix) == 0;
    }

    // "\n" or "\r\n" at `from`.
    bool lineBreakAt(size_t from) const {
        return from < text_.size() &&
               (text_[from] == '\n' || (text_[from] == '\r' && from + 1 < text_.size() && text_[from + 1] == '\n'));
    }

    void skipLineBreak(size_t from) {
        at_ = from + (text_[from] == '\r' ? 2 : 1);
        ++line_;
    }

    // Up to the end of the line; a backslash before the line break continues it.
    void lineComment() {
        while (at_ < text_.size() && text_[at_] != '\n') {
            if (text_[at_] == '\\' && lineBreakAt(at_ + 1))
                skipLineBreak(at_ + 1);
            else
                ++at_;
        }
    }

    void blockComment() {
        size_t close = text_.find("*/", at_ + 2);
        advanceTo(close == std::string::npos ? text_.size() : close + 2);
    }

    void advanceTo(size_t end) {
        for (; at_ < end; ++at_)
            if (text_[at_] == '\n') ++line_;
    }

    void code() {
        char c = text_[at_];
        if (c == '"' || c == '\'') return quoted(c);
        if (!isWordChar(c)) {
            ++at_;
            return;
        }
        size_t begin = at_;
        bool number = std::isdigit(static_cast<unsigned char>(c));
        while (at_ < text_.size() && (isWordChar(text_[at_]) || (number && text_[at_] == '\'' &&
                                                                 at_ + 1 < text_.size() && isWordChar(text_[at_ + 1]))))
            ++at_;
        std::string word = text_.substr(begin, at_ - begin);
        bool rawPrefix = word == "R" || word == "LR" || word == "uR" || word == "UR" || word == "u8R";
        if (rawPrefix && at_ < text_.size() && text_[at_] == '"') rawString();
    }

    // A string or character literal; one left open ends at its line's end.
    void quoted(char quote) {
        ++at_;
        while (at_ < text_.size() && text_[at_] != quote && text_[at_] != '\n') {
            if (text_[at_] == '\\' && at_ + 1 < text_.size()) {
                if (lineBreakAt(at_ + 1))
                    skipLineBreak(at_ + 1);
                else
                    at_ += 2;
            } else {
                ++at_;
            }
        }
        if (at_ < text_.size() && text_[at_] == quote) ++at_;
    }

    // R"delimiter( ... )delimiter"
    void rawString() {
        size_t open = text_.find('(', at_);
        if (open == std::string::npos) return quoted('"');
        std::string terminator = ")" + text_.substr(at_ + 1, open - at_ - 1) + "\"";
        size_t close = text_.find(terminator, open);
        advanceTo(close == std::string::npos ? text_.size() : close + terminator.size());
    }

    static bool isWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

    const std::string& text_;
    size_t at_ = 0;
    int line_ = 1;
};

// Words made of these characters only end the words that count.
bool isRemarkStart(const std::string& word) {
    return word.find_first_not_of("+-*/%#;") == std::string::npos;
}

// The words after the id: "symbolName=<glob>" counts, a remark ends them.
// Another word makes the list form refuse the whole list.
bool readAttributes(std::istringstream& words, InlineSuppression& suppression) {
    std::string word;
    while (words >> word) {
        if (isRemarkStart(word)) break;
        if (word.rfind("symbolName=", 0) == 0)
            suppression.symbol = word.substr(11);
        else
            return false;
    }
    return true;
}

// "cppcheck-suppress <id> [symbolName=<glob>] [; remark]"
bool readSingle(std::string comment, std::vector<InlineSuppression>& found) {
    if (size_t semicolon = comment.find(';'); semicolon != std::string::npos) comment.erase(semicolon);
    if (size_t slashes = comment.find("//", 2); slashes != std::string::npos) comment.erase(slashes);
    if (comment.size() >= 2 && comment.compare(comment.size() - 2, 2, "*/") == 0) comment.erase(comment.size() - 2);
    std::istringstream words(comment.substr(2));
    std::string word;
    InlineSuppression suppression;
    if (!(words >> word) || word != kMarker || !(words >> suppression.id)) return false;
    readAttributes(words, suppression);  // an unknown word is ignored here
    found.push_back(suppression);
    return true;
}

// "cppcheck-suppress[<id> [symbolName=<glob>], ...]"; any bad entry drops
// the whole list.
void readList(const std::string& comment, size_t open, std::vector<InlineSuppression>& found) {
    size_t close = comment.find(']', open);
    if (close == std::string::npos) return;
    std::vector<InlineSuppression> list;
    for (size_t begin = open + 1; begin < close;) {
        size_t comma = comment.find(',', begin);
        size_t end = comma < close ? comma : close;
        if (end > begin) {
            std::istringstream words(comment.substr(begin, end - begin));
            InlineSuppression suppression;
            if (!(words >> suppression.id) || !readAttributes(words, suppression)) return;
            list.push_back(suppression);
        }
        begin = end + 1;
    }
    found.insert(found.end(), list.begin(), list.end());
}

// Adds the suppressions of a comment; false when it is no suppression comment.
bool readComment(const std::string& comment, std::vector<InlineSuppression>& found) {
    size_t marker = comment.find_first_not_of("/* \t");
    if (marker == std::string::npos || marker + kMarker.size() >= comment.size() ||
        comment.compare(marker, kMarker.size(), kMarker) != 0)
        return false;
    size_t next = comment.find_first_not_of(' ', marker + kMarker.size());
    if (next == std::string::npos) return false;
    if (comment[next] != '[') return readSingle(comment, found);
    readList(comment, next, found);
    return true;
}

// '*' matches any run of characters, '?' any one.
bool matchesGlob(const std::string& glob, const std::string& text) {
    size_t g = 0, t = 0, starAt = std::string::npos, starText = 0;
    while (t < text.size()) {
        if (g < glob.size() && (glob[g] == '?' || glob[g] == text[t])) {
            ++g, ++t;
        } else if (g < glob.size() && glob[g] == '*') {
            starAt = g++, starText = t;
        } else if (starAt != std::string::npos) {
            g = starAt + 1, t = ++starText;
        } else {
            return false;
        }
    }
    while (g < glob.size() && glob[g] == '*') ++g;
    return g == glob.size();
}

}  // namespace

std::vector<InlineSuppression> readInlineSuppressions(const std::string& source) {
    std::vector<InlineSuppression> suppressions;
    if (source.find(kMarker) == std::string::npos) return suppressions;
    std::vector<Token> tokens = Scanner(source).tokens();
    auto textOf = [&](const Token& token) { return source.substr(token.begin, token.end - token.begin); };
    auto sameLine = [&](size_t a, size_t b) { return tokens[a].line == tokens[b].line; };
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (!tokens[i].comment) continue;
        std::vector<InlineSuppression> found;
        if (!readComment(textOf(tokens[i]), found)) continue;
        size_t at = i;  // the token whose line is covered
        if (i == 0 || !sameLine(i - 1, i)) {
            for (++at; at < tokens.size() && tokens[at].comment; ++at) readComment(textOf(tokens[at]), found);
            if (at == tokens.size()) break;
        }
        i = at;
        bool afterLoneBrace = at >= 2 && at + 1 < tokens.size() && tokens[at - 1].openBrace &&
                              !sameLine(at - 2, at - 1) && tokens[at].line + 1 == tokens[at + 1].line;
        for (InlineSuppression& suppression : found) {
            suppression.line = tokens[at].line;
            suppression.nextLineToo = afterLoneBrace;
            suppressions.push_back(std::move(suppression));
        }
    }
    return suppressions;
}

bool covers(const InlineSuppression& suppression, const Finding& finding) {
    if (finding.locations.empty() || (suppression.id != "*" && suppression.id != finding.id)) return false;
    int line = finding.locations.front().line;
    if (line != suppression.line && !(suppression.nextLineToo && line == suppression.line + 1)) return false;
    if (suppression.symbol.empty()) return true;
    for (const std::string& symbol : finding.symbols)
        if (matchesGlob(suppression.symbol, symbol)) return true;
    return false;
}

void InlineSuppressionIndex::beginQuery() {
    ++query_;  // rather than a walk over every file known, which each result call would pay
}

bool InlineSuppressionIndex::isSuppressed(const Finding& finding) {
    if (finding.locations.empty() || finding.locations.front().file.empty() || finding.locations.front().file[0] != '/')
        return false;
    const std::string& path = finding.locations.front().file;
    Entry& entry = files_[path];
    if (entry.checkedInQuery != query_) {
        FileStamp stamp = fileStamp(path);
        if (!(stamp == entry.stamp) || !stamp.exists) {
            auto text = readWholeFile(path);
            entry.suppressions = text ? readInlineSuppressions(*text) : std::vector<InlineSuppression>{};
            entry.stamp = stamp;
        }
        entry.checkedInQuery = query_;
    }
    for (const InlineSuppression& suppression : entry.suppressions)
        if (covers(suppression, finding)) return true;
    return false;
}

}  // namespace kerv::engine
