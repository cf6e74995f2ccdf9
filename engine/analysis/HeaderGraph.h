// The headers a source file reads when cppcheck analyses it, found the way
// its preprocessor finds them: every #include of the file and of the headers
// it reaches, whatever the conditions around it; "name" first beside the
// file that names it, then in the include folders in order; <name> in the
// include folders only; an absolute name as it is. Paths are joined and
// simplified lexically ("a/./b/../c" is "a/c"), as cppcheck reports them. A
// computed include (#include MACRO) is followed when the macro is defined as
// a header name by a -D of the file or a #define of a file it reads.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/analysis/IncludeScanner.h"
#include "engine/model/HeaderStamp.h"

namespace kerv::engine {

// What is known of every header read so far: its hash and directives, kept
// while its identity (device, inode, size, modification and change times)
// stays the same, so that a header is read again only after it changed.
class HeaderCache {
public:
    struct Header {
        bool readable = false;
        uint64_t hash = 0;
        ScannedSource scanned;
    };
    // The header as it is now; false `readable` when it is missing or cannot be read.
    const Header& current(const std::string& path);

private:
    struct Entry {
        std::string identity;
        Header header;
    };
    std::unordered_map<std::string, Entry> entries_;
};

// One pass over some source files (an aggregate, a staleness check): each
// header is looked at once whatever the number of files that include it.
class HeaderGraph {
public:
    explicit HeaderGraph(HeaderCache& cache) : cache_(cache) {}

    // The headers `source` (its bytes given) reads with these include
    // folders and definitions, sorted by path; the source itself is not one.
    std::vector<HeaderStamp> headersOf(const std::string& source, const std::string& text,
                                       const std::vector<const std::string*>& folders,
                                       const std::vector<const std::string*>& defines);

private:
    const HeaderCache::Header& header(const std::string& path);
    const std::string* resolve(const std::string& includer, const std::string& name, bool angle,
                               const std::vector<const std::string*>& folders);

    HeaderCache& cache_;
    std::unordered_map<std::string, const HeaderCache::Header*> seen_;
};

// "a//b/./c/../d" is "a/b/d"; a leading "/" stays, ".." above the root is dropped.
std::string simplifyPath(const std::string& path);

}  // namespace kerv::engine
