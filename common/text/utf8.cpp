#include "common/text/utf8.h"

#include <cstdint>

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;  // a lone surrogate
        }
        if (c < 0x80) {
            out.push_back(char(c));
        } else if (c < 0x800) {
            out.push_back(char(0xC0 | (c >> 6)));
            out.push_back(char(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(char(0xE0 | (c >> 12)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(char(0x80 | (c & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (c >> 18)));
            out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(char(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = lead < 0x80 ? 0 : lead >= 0xC2 && lead <= 0xDF ? 1
                  : lead >= 0xE0 && lead <= 0xEF ? 2 : lead >= 0xF0 && lead <= 0xF4 ? 3 : -1;
        if (extra < 0) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        uint32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
        size_t j = 1;
        for (; j <= size_t(extra); ++j) {
            if (i + j >= text.size()) break;
            const auto next = static_cast<unsigned char>(text[i + j]);
            if ((next & 0xC0) != 0x80) break;
            c = (c << 6) | (next & 0x3F);
        }
        const bool overlong = (extra == 2 && c < 0x800) || (extra == 3 && c < 0x10000);
        if (j <= size_t(extra) || overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out.push_back(u'\uFFFD');
            i += j;  // resynchronise at the first byte that did not continue the sequence
            continue;
        }
        if (c >= 0x10000) {
            out.push_back(char16_t(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(char16_t(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(char16_t(c));
        }
        i += j;
    }
    return out;
}

namespace {

bool IsContinuation(uint8_t b) { return (b & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 sequence at `at`, 0 when there is none
// (RFC 3629's table: no overlong form, no surrogate, nothing past U+10FFFF).
size_t Utf8SequenceAt(std::span<const uint8_t> b, size_t at) {
    const uint8_t c = b[at];
    if (c < 0x80) return 1;
    const size_t left = b.size() - at;
    if (c >= 0xC2 && c <= 0xDF) return left >= 2 && IsContinuation(b[at + 1]) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        if (left < 3 || !IsContinuation(b[at + 1]) || !IsContinuation(b[at + 2])) return 0;
        if (c == 0xE0 && b[at + 1] < 0xA0) return 0;   // overlong
        if (c == 0xED && b[at + 1] > 0x9F) return 0;   // surrogate
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (left < 4 || !IsContinuation(b[at + 1]) || !IsContinuation(b[at + 2]) || !IsContinuation(b[at + 3]))
            return 0;
        if (c == 0xF0 && b[at + 1] < 0x90) return 0;   // overlong
        if (c == 0xF4 && b[at + 1] > 0x8F) return 0;   // past U+10FFFF
        return 4;
    }
    return 0;
}

}  // namespace

int64_t FirstLineWithoutSequence(std::span<const uint8_t> bytes, SequenceLength sequence) {
    int64_t line = 1;
    for (size_t at = 0; at < bytes.size();) {
        const size_t n = sequence(bytes, at);
        if (n == 0) return line;
        if (bytes[at] == '\n') ++line;
        at += n;
    }
    return 0;
}

int64_t FirstLineNotUtf8(std::span<const uint8_t> bytes) { return FirstLineWithoutSequence(bytes, Utf8SequenceAt); }
