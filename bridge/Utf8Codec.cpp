#include "bridge/Utf8Codec.h"

namespace kerv::bridge {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void appendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

void appendUtf16(std::vector<uint16_t>& out, char32_t codePoint) {
    if (codePoint < 0x10000) {
        out.push_back(static_cast<uint16_t>(codePoint));
    } else {
        codePoint -= 0x10000;
        out.push_back(static_cast<uint16_t>(0xD800 | (codePoint >> 10)));
        out.push_back(static_cast<uint16_t>(0xDC00 | (codePoint & 0x3FF)));
    }
}

// Length of the sequence that `lead` starts and the allowed range of its
// second byte (the ranges exclude overlong forms, surrogates and values past
// U+10FFFF); length 0 for a byte that cannot start a sequence.
struct SequenceShape {
    int length;
    uint8_t secondMin;
    uint8_t secondMax;
};

SequenceShape shapeOf(uint8_t lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
    if (lead == 0xE0) return {3, 0xA0, 0xBF};
    if (lead == 0xED) return {3, 0x80, 0x9F};
    if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
    if (lead == 0xF0) return {4, 0x90, 0xBF};
    if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
    if (lead == 0xF4) return {4, 0x80, 0x8F};
    return {0, 0, 0};
}

}  // namespace

std::string utf16ToUtf8(const uint16_t* units, std::size_t count) {
    std::string out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        uint32_t unit = units[i];
        if (isHighSurrogate(unit) && i + 1 < count && isLowSurrogate(units[i + 1])) {
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            appendUtf8(out, kReplacement);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

std::vector<uint16_t> utf8ToUtf16(std::string_view bytes) {
    std::vector<uint16_t> out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        uint8_t lead = static_cast<uint8_t>(bytes[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        SequenceShape shape = shapeOf(lead);
        if (shape.length == 0) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        char32_t codePoint = lead & (0x7F >> shape.length);
        int taken = 1;
        for (; taken < shape.length && i + taken < bytes.size(); ++taken) {
            uint8_t next = static_cast<uint8_t>(bytes[i + taken]);
            uint8_t min = taken == 1 ? shape.secondMin : 0x80;
            uint8_t max = taken == 1 ? shape.secondMax : 0xBF;
            if (next < min || next > max) break;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        appendUtf16(out, taken == shape.length ? codePoint : kReplacement);
        i += taken;
    }
    return out;
}

}  // namespace kerv::bridge
