// Suppression comments in the sources, read the way cppcheck reads them with
// --inline-suppr, so that a suppressed finding can be kept and marked instead
// of dropped:
//
//   // cppcheck-suppress nullPointer                  one id ("*" for any)
//   // cppcheck-suppress nullPointer symbolName=p     only findings naming a matching symbol
//   /* cppcheck-suppress[nullPointer, memleak] */     several ids
//   // cppcheck-suppress nullPointer ; why            words after ';' or '//' are a remark
//
// A comment that follows code on its line covers that line; a comment on a
// line of its own (possibly with more comments below it) covers the line of
// the next code. A comment right after an opening brace that starts its line
// covers that line and the next. Symbol names may use the globs '*' and '?'.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/model/Finding.h"
#include "engine/store/FileSystem.h"

namespace kerv::engine {

struct InlineSuppression {
    std::string id;      // a message id, or "*" for every id
    std::string symbol;  // empty: any finding; else a glob one of its symbols must match
    int line = 0;
    bool nextLineToo = false;
};

std::vector<InlineSuppression> readInlineSuppressions(const std::string& source);

// Whether `suppression`, read from the file of the finding's first location,
// covers the finding.
bool covers(const InlineSuppression& suppression, const Finding& finding);

// The suppressions of the files that findings point into, each file read once
// for each version of it (its modification time and size).
class InlineSuppressionIndex {
public:
    // Starts a query: each file is checked for a change once in it.
    void beginQuery();
    // Whether a comment in the file of the finding's first location covers it.
    bool isSuppressed(const Finding& finding);
    void clear() { files_.clear(); }

private:
    struct Entry {
        FileStamp stamp;
        uint64_t checkedInQuery = 0;
        std::vector<InlineSuppression> suppressions;
    };
    uint64_t query_ = 1;
    std::unordered_map<std::string, Entry> files_;
};

}  // namespace kerv::engine
