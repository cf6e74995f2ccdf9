#include "utils/XmlEscape.h"

#include <array>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

}  // namespace

#if defined(__SSE2__)
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

__attribute__((no_sanitize_address)) inline unsigned alignedMarkupMask(const char* block) {
    return markupMask(_mm_load_si128(reinterpret_cast<const __m128i*>(block)));
}

}  // namespace

// Calls visit(p) for each markup character p of [p, end) in order, until
// visit returns false. Fewer than 16 bytes at the end are checked with the
// aligned blocks that hold them: an aligned load never crosses a page, so it
// cannot fault, but it may read bytes outside the text, which is why address
// checking is off here.
template <typename Visit>
__attribute__((no_sanitize_address, always_inline)) inline void forEachMarkup(const char* p, const char* end,
                                                                              Visit&& visit) {
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

namespace {

inline unsigned zeroMask(__m128i bytes) {
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_setzero_si128())));
}

// Walks a NUL-terminated text block by aligned block (never across a page
// boundary past the text's end) and calls visit(block, marks, begin, end)
// with the markup bits and the range [begin, end) of text bytes of each block.
template <typename Visit>
__attribute__((no_sanitize_address, always_inline)) inline const char* walkTextBlocks(const char* text, Visit&& visit) {
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

__attribute__((no_sanitize_address)) TextScan scanText(const char* text) {
    std::size_t extra = 0;
    const char* end = walkTextBlocks(text, [&extra](const char* block, unsigned marks, unsigned, unsigned) {
        for (; marks != 0; marks &= marks - 1) extra += kEntities[entityOf(block[__builtin_ctz(marks)])].size() - 1;
        return true;
    });
    const auto length = static_cast<std::size_t>(end - text);
    return {length, length + extra};
}

__attribute__((no_sanitize_address)) char* writeEscapedText(char* out, char* outEnd, const char* text) {
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
#else
TextScan scanText(const char* text) {
    const std::string_view view(text);
    return {view.size(), escapedLength(view)};
}

char* writeEscapedText(char* out, char* outEnd, const char* text) {
    const std::string_view view(text);
    if (escapedLength(view) > static_cast<std::size_t>(outEnd - out)) return nullptr;
    return writeEscaped(out, view);
}

template <typename Visit>
inline void forEachMarkup(const char* p, const char* end, Visit&& visit) {
    for (; p != end; ++p) {
        if (entityOf(*p) != 0 && !visit(p)) return;
    }
}
#endif

__attribute__((no_sanitize_address)) const char* findMarkup(const char* p, const char* end) {
    const char* found = end;
    forEachMarkup(p, end, [&found](const char* markup) {
        found = markup;
        return false;
    });
    return found;
}

__attribute__((no_sanitize_address)) char* writeEscaped(char* out, std::string_view text) {
    const char* runStart = text.data();
    const char* const end = runStart + text.size();
    forEachMarkup(runStart, end, [&out, &runStart](const char* markup) {
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

void appendEscaped(std::string& out, std::string_view text) {
    const std::size_t start = out.size();
    out.resize(start + escapedLength(text));
    writeEscaped(out.data() + start, text);
}

__attribute__((no_sanitize_address)) std::size_t escapedLength(std::string_view text) {
    std::size_t length = text.size();
    forEachMarkup(text.data(), text.data() + text.size(), [&length](const char* markup) {
        length += kEntities[entityOf(*markup)].size() - 1;
        return true;
    });
    return length;
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
