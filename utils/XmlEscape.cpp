#include "utils/XmlEscape.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace Utils {
namespace Xml {
namespace {

constexpr std::string_view kCDataOpen = "<![CDATA[";
constexpr std::string_view kCDataClose = "]]>";
constexpr std::string_view kCDataSplit = "]]]]><![CDATA[>";

// Index 0 means "copy the byte as it is"; any other index selects an entity.
constexpr std::array<std::string_view, 6> kEntities = {"", "&amp;", "&lt;", "&gt;", "&apos;", "&quot;"};

constexpr std::array<std::uint8_t, 256> makeEntityIndex() {
    std::array<std::uint8_t, 256> index{};
    index['&'] = 1;
    index['<'] = 2;
    index['>'] = 3;
    index['\''] = 4;
    index['"'] = 5;
    return index;
}

constexpr std::array<std::uint8_t, 256> kEntityIndex = makeEntityIndex();

inline std::uint8_t entityOf(char c) {
    return kEntityIndex[static_cast<unsigned char>(c)];
}

// The functions over [p, end) share one body each, over a ForEachMarkup
// that calls visit(p) for each markup character p in order until visit
// returns false.
template <typename ForEachMarkup>
__attribute__((always_inline)) inline const char* findMarkupWith(const char* p, const char* end) {
    const char* found = end;
    ForEachMarkup::run(p, end, [&found](const char* markup) {
        found = markup;
        return false;
    });
    return found;
}

template <typename ForEachMarkup>
__attribute__((always_inline)) inline char* writeEscapedWith(char* out, std::string_view text) {
    const char* runStart = text.data();
    const char* const end = runStart + text.size();
    ForEachMarkup::run(runStart, end, [&out, &runStart](const char* markup) {
        const auto run = static_cast<std::size_t>(markup - runStart);
        copyBytes(out, runStart, run);
        out += run;
        const std::string_view entity = kEntities[entityOf(*markup)];
        copyBytes(out, entity.data(), entity.size());
        out += entity.size();
        runStart = markup + 1;
        return true;
    });
    const auto rest = static_cast<std::size_t>(end - runStart);
    copyBytes(out, runStart, rest);
    return out + rest;
}

template <typename ForEachMarkup>
__attribute__((always_inline)) inline std::size_t escapedLengthWith(std::string_view text) {
    std::size_t length = text.size();
    ForEachMarkup::run(text.data(), text.data() + text.size(), [&length](const char* markup) {
        length += kEntities[entityOf(*markup)].size() - 1;
        return true;
    });
    return length;
}

// ---- byte by byte ----------------------------------------------------------

struct EachByte {
    template <typename Visit>
    static void run(const char* p, const char* end, Visit&& visit) {
        for (; p != end; ++p) {
            if (entityOf(*p) != 0 && !visit(p)) return;
        }
    }
};

}  // namespace

namespace scalar {

const char* findMarkup(const char* p, const char* end) {
    return findMarkupWith<EachByte>(p, end);
}

char* writeEscaped(char* out, std::string_view text) {
    return writeEscapedWith<EachByte>(out, text);
}

std::size_t escapedLength(std::string_view text) {
    return escapedLengthWith<EachByte>(text);
}

TextScan scanText(const char* text) {
    const std::string_view view(text);
    return {view.size(), escapedLength(view)};
}

char* writeEscapedText(char* out, char* outEnd, const char* text) {
    const std::string_view view(text);
    if (escapedLength(view) > static_cast<std::size_t>(outEnd - out)) return nullptr;
    return writeEscaped(out, view);
}

std::size_t textLength(const char* text) {
    return std::strlen(text);
}

}  // namespace scalar

const TextPath kScalarTextPath = {scalar::findMarkup, scalar::escapedLength,    scalar::writeEscaped,
                                  scalar::scanText,   scalar::writeEscapedText, scalar::textLength};

// ---- 16 bytes at a time ----------------------------------------------------

#if KERV_VECTOR_TEXT
namespace {

// One bit per byte of the block that is a markup character.
inline unsigned markupMask(__m128i bytes) {
    const __m128i hits = _mm_or_si128(
        _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('&')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('<'))),
            _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('>')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\'')))),
        _mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')));
    return static_cast<unsigned>(_mm_movemask_epi8(hits));
}

inline unsigned alignedMarkupMask(const char* block) {
    return markupMask(_mm_load_si128(reinterpret_cast<const __m128i*>(block)));
}

// Fewer than 16 bytes at the end are checked with the aligned blocks that
// hold them: an aligned load never crosses a page, so it cannot fault, but it
// may read bytes outside the text.
struct EachBlock {
    template <typename Visit>
    __attribute__((always_inline)) static void run(const char* p, const char* end, Visit&& visit) {
        for (; end - p >= 16; p += 16) {
            for (unsigned mask = markupMask(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))); mask != 0;
                 mask &= mask - 1) {
                if (!visit(p + __builtin_ctz(mask))) return;
            }
        }
        const auto left = static_cast<unsigned>(end - p);
        if (left == 0) return;
        const auto offset = static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(p) & 15);
        const char* block = p - offset;
        unsigned mask = alignedMarkupMask(block) >> offset;
        if (offset + left > 16) mask |= alignedMarkupMask(block + 16) << (16 - offset);
        for (mask &= (1u << left) - 1; mask != 0; mask &= mask - 1) {
            if (!visit(p + __builtin_ctz(mask))) return;
        }
    }
};

inline unsigned zeroMask(__m128i bytes) {
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_setzero_si128())));
}

// Walks a NUL-terminated text block by aligned block (never across a page
// boundary past the text's end) and calls visit(block, marks, begin, end)
// with the markup bits and the range [begin, end) of text bytes of each block.
template <typename Visit>
__attribute__((always_inline)) inline const char* walkTextBlocks(const char* text, Visit&& visit) {
    unsigned begin = static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(text) & 15);
    const char* block = text - begin;
    for (;; block += 16, begin = 0) {
        const __m128i bytes = _mm_load_si128(reinterpret_cast<const __m128i*>(block));
        const unsigned inText = 0xFFFFu & (~0u << begin);
        const unsigned zeros = zeroMask(bytes) & inText;
        const unsigned end = zeros != 0 ? static_cast<unsigned>(__builtin_ctz(zeros)) : 16;
        const unsigned marks = markupMask(bytes) & inText & ((1u << end) - 1);
        if (!visit(block, marks, begin, end)) return nullptr;
        if (zeros != 0) return block + end;
    }
}

}  // namespace

namespace simd {

const char* findMarkup(const char* p, const char* end) {
    return findMarkupWith<EachBlock>(p, end);
}

char* writeEscaped(char* out, std::string_view text) {
    return writeEscapedWith<EachBlock>(out, text);
}

std::size_t escapedLength(std::string_view text) {
    return escapedLengthWith<EachBlock>(text);
}

TextScan scanText(const char* text) {
    std::size_t extra = 0;
    const char* end = walkTextBlocks(text, [&extra](const char* block, unsigned marks, unsigned, unsigned) {
        for (; marks != 0; marks &= marks - 1) extra += kEntities[entityOf(block[__builtin_ctz(marks)])].size() - 1;
        return true;
    });
    const auto length = static_cast<std::size_t>(end - text);
    return {length, length + extra};
}

char* writeEscapedText(char* out, char* outEnd, const char* text) {
    auto put = [&out, outEnd](const char* bytes, std::size_t size) {
        if (size > static_cast<std::size_t>(outEnd - out)) return false;
        copyBytes(out, bytes, size);
        out += size;
        return true;
    };
    const char* end = walkTextBlocks(text, [&put](const char* block, unsigned marks, unsigned begin, unsigned end) {
        for (; marks != 0; marks &= marks - 1) {
            const unsigned markup = static_cast<unsigned>(__builtin_ctz(marks));
            const std::string_view entity = kEntities[entityOf(block[markup])];
            if (!put(block + begin, markup - begin) || !put(entity.data(), entity.size())) return false;
            begin = markup + 1;
        }
        return put(block + begin, end - begin);
    });
    return end ? out : nullptr;
}

}  // namespace simd

const TextPath kVectorTextPath = {simd::findMarkup, simd::escapedLength,    simd::writeEscaped,
                                  simd::scanText,   simd::writeEscapedText, simd::textLength};
namespace active = simd;
#else
namespace active = scalar;
#endif

// The build's own path: one of the two above.
const char* findMarkup(const char* p, const char* end) {
    return active::findMarkup(p, end);
}

char* writeEscaped(char* out, std::string_view text) {
    return active::writeEscaped(out, text);
}

std::size_t escapedLength(std::string_view text) {
    return active::escapedLength(text);
}

TextScan scanText(const char* text) {
    return active::scanText(text);
}

char* writeEscapedText(char* out, char* outEnd, const char* text) {
    return active::writeEscapedText(out, outEnd, text);
}

void appendEscaped(std::string& out, std::string_view text) {
    const std::size_t start = out.size();
    out.resize(start + escapedLength(text));
    writeEscaped(out.data() + start, text);
}

char* writeCData(char* out, std::string_view text) {
    auto put = [&out](std::string_view piece) {
        std::memcpy(out, piece.data(), piece.size());
        out += piece.size();
    };
    put(kCDataOpen);
    for (std::size_t end = text.find(kCDataClose); end != std::string_view::npos; end = text.find(kCDataClose)) {
        put(text.substr(0, end));
        put(kCDataSplit);
        text.remove_prefix(end + kCDataClose.size());
    }
    put(text);
    put(kCDataClose);
    return out;
}

std::size_t cdataLength(std::string_view text) {
    std::size_t length = kCDataOpen.size() + text.size() + kCDataClose.size();
    for (std::size_t end = text.find(kCDataClose); end != std::string_view::npos;
         end = text.find(kCDataClose, end + kCDataClose.size())) {
        length += kCDataSplit.size() - kCDataClose.size();
    }
    return length;
}

}  // namespace Xml
}  // namespace Utils
