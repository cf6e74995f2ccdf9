// The 16-byte text path reads whole aligned blocks and may read bytes beyond
// a text, but never beyond the page that holds the text's last byte. Texts are
// laid out here against an inaccessible page, so any read (or write) across the
// page boundary faults, and each function is compared with the byte-by-byte
// path on the same text.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "utils/XmlEscape.h"

#if defined(__SSE2__) && !KERV_VECTOR_TEXT
#error "this test must be compiled with the 16-byte text path"
#endif

using namespace Utils::Xml;

namespace {

// One accessible page between two inaccessible ones.
class GuardedPage {
public:
    GuardedPage() : size_(static_cast<std::size_t>(sysconf(_SC_PAGESIZE))) {
        void* map = mmap(nullptr, 3 * size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (map == MAP_FAILED) return;
        base_ = static_cast<char*>(map);
        if (mprotect(base_, size_, PROT_NONE) != 0 || mprotect(base_ + 2 * size_, size_, PROT_NONE) != 0) {
            munmap(base_, 3 * size_);
            base_ = nullptr;
        }
    }
    ~GuardedPage() {
        if (base_ != nullptr) munmap(base_, 3 * size_);
    }
    GuardedPage(const GuardedPage&) = delete;
    GuardedPage& operator=(const GuardedPage&) = delete;

    bool ok() const { return base_ != nullptr; }
    char* begin() const { return base_ + size_; }
    char* end() const { return base_ + 2 * size_; }

private:
    std::size_t size_;
    char* base_ = nullptr;
};

// Plain bytes with a markup character at every few positions, the first and
// the last byte included for some lengths.
void fillText(char* text, std::size_t length, unsigned seed) {
    static constexpr char kMarkup[] = "&<>'\"";
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned pick = (seed + static_cast<unsigned>(i) * 7u) % 11u;
        text[i] = pick < 5 ? kMarkup[pick] : static_cast<char>('a' + pick);
    }
}

// Where a text's bytes (its terminator included) are placed in the page:
// `gap` bytes from its end or from its start.
struct Placement {
    bool atEnd;
    std::size_t gap;
};

char* place(const GuardedPage& page, Placement where, std::size_t bytes) {
    return where.atEnd ? page.end() - where.gap - bytes : page.begin() + where.gap;
}

// Writes the escaped text so that its last byte is the last of the output
// page: a write past the computed length faults.
std::string escapeAgainstBoundary(const GuardedPage& out, const TextPath& path, std::string_view text,
                                  std::size_t length) {
    char* begin = out.end() - length;
    char* end = path.writeEscaped(begin, text);
    EXPECT_EQ(end, out.end());
    return std::string(begin, static_cast<std::size_t>(end - begin));
}

}  // namespace

TEST(PageBoundaryText, VectorPathMatchesByteByByteWithTextsAgainstAnInaccessiblePage) {
    const GuardedPage in;
    const GuardedPage out;
    ASSERT_TRUE(in.ok() && out.ok()) << "mmap/mprotect failed: " << std::strerror(errno);
    const TextPath& scalar = kScalarTextPath;
    const TextPath& vector = kVectorTextPath;

    for (const bool atEnd : {true, false}) {
        for (std::size_t gap = 0; gap < 16; ++gap) {
            for (std::size_t length = 0; length <= 80; ++length) {
                for (unsigned seed = 0; seed < 3; ++seed) {
                    const Placement where{atEnd, gap};
                    SCOPED_TRACE(::testing::Message() << (atEnd ? "end" : "start") << " gap " << gap << " length "
                                                      << length << " seed " << seed);
                    // Bytes outside the text are markup, so that reading them
                    // as part of the text would change every result.
                    std::memset(in.begin(), '<', static_cast<std::size_t>(in.end() - in.begin()));

                    // A counted text, no terminator.
                    char* text = place(in, where, length);
                    fillText(text, length, seed);
                    const std::string_view view(text, length);
                    ASSERT_EQ(vector.findMarkup(text, text + length), scalar.findMarkup(text, text + length));
                    const std::size_t escaped = scalar.escapedLength(view);
                    ASSERT_EQ(vector.escapedLength(view), escaped);
                    ASSERT_EQ(escapeAgainstBoundary(out, vector, view, escaped),
                              escapeAgainstBoundary(out, scalar, view, escaped));

                    // A NUL-terminated text whose terminator is the byte at
                    // the placement's edge.
                    std::memset(in.begin(), '>', static_cast<std::size_t>(in.end() - in.begin()));
                    char* terminated = place(in, where, length + 1);
                    fillText(terminated, length, seed);
                    terminated[length] = '\0';
                    ASSERT_EQ(vector.textLength(terminated), length);
                    const TextScan scan = vector.scanText(terminated);
                    ASSERT_EQ(scan.length, length);
                    ASSERT_EQ(scan.escapedLength, escaped);
                    char* outBegin = out.end() - escaped;
                    ASSERT_EQ(vector.writeEscapedText(outBegin, out.end(), terminated), out.end());
                    const std::string written(outBegin, escaped);
                    ASSERT_EQ(written,
                              escapeAgainstBoundary(out, scalar, std::string_view(terminated, length), escaped));
                    if (escaped > 0) {
                        ASSERT_EQ(vector.writeEscapedText(outBegin + 1, out.end(), terminated), nullptr);
                    }
                }
            }
        }
    }
}
