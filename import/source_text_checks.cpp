// Line-by-line encoding checks of compiler sources.
#include "import/source_text_checks.h"

#include "import/compile_report.h"

namespace {

bool IsContinuation(uint8_t b) { return (b & 0xC0) == 0x80; }
bool IsEucByte(uint8_t b) { return b >= 0xA1 && b <= 0xFE; }

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

size_t EucJpSequenceAt(std::span<const uint8_t> b, size_t at) {
    const uint8_t c = b[at];
    if (c < 0x80) return 1;
    const size_t left = b.size() - at;
    if (c == 0x8E) return left >= 2 && b[at + 1] >= 0xA1 && b[at + 1] <= 0xDF ? 2 : 0;
    if (c == 0x8F) return left >= 3 && IsEucByte(b[at + 1]) && IsEucByte(b[at + 2]) ? 3 : 0;
    return IsEucByte(c) && left >= 2 && IsEucByte(b[at + 1]) ? 2 : 0;
}

// The line of the first place where `sequence` finds nothing well-formed.
int64_t FirstBadLine(std::span<const uint8_t> bytes, size_t (*sequence)(std::span<const uint8_t>, size_t)) {
    int64_t line = 1;
    for (size_t at = 0; at < bytes.size();) {
        const size_t n = sequence(bytes, at);
        if (n == 0) return line;
        if (bytes[at] == '\n') ++line;
        at += n;
    }
    return 0;
}

}  // namespace

int64_t FirstLineNotUtf8(std::span<const uint8_t> bytes) { return FirstBadLine(bytes, Utf8SequenceAt); }

int64_t FirstLineNotEucJp(std::span<const uint8_t> bytes) { return FirstBadLine(bytes, EucJpSequenceAt); }

std::u16string LineNotInEncodingText(int64_t line, std::u16string_view encoding) {
    return SourceLineProblem(line, NotInEncodingText(encoding));
}
