// Line-by-line encoding checks of compiler sources.
#include "import/source_text_checks.h"

#include "common/text/japanese_code_pages.h"
#include "import/compile_report.h"

namespace {

bool IsEucByte(uint8_t b) { return b >= 0xA1 && b <= 0xFE; }

size_t EucJpSequenceAt(std::span<const uint8_t> b, size_t at) {
    const uint8_t c = b[at];
    if (c < 0x80) return 1;
    const size_t left = b.size() - at;
    if (c == 0x8E) return left >= 2 && b[at + 1] >= 0xA1 && b[at + 1] <= 0xDF ? 2 : 0;
    if (c == 0x8F) return left >= 3 && IsEucByte(b[at + 1]) && IsEucByte(b[at + 2]) ? 3 : 0;
    return IsEucByte(c) && left >= 2 && IsEucByte(b[at + 1]) ? 2 : 0;
}

}  // namespace

int64_t FirstLineNotEucJp(std::span<const uint8_t> bytes) { return FirstLineWithoutSequence(bytes, EucJpSequenceAt); }

int64_t FirstLineNotJrEdictMixedText(std::span<const uint8_t> bytes) {
    int64_t line = 1;
    for (size_t at = 0; at < bytes.size();) {
        // The EUC-JP part, up to the next "/" (which may lie on a later line).
        while (at < bytes.size() && bytes[at] != '/') {
            const size_t n = EucJpSequenceAt(bytes, at);
            if (n == 0) return line;
            if (bytes[at] == '\n') ++line;
            at += n;
        }
        // The Windows-1251 part, up to the line end, takes any byte.
        while (at < bytes.size() && bytes[at] != '\n') ++at;
    }
    return 0;
}

int64_t FirstLineNotShiftJis(std::span<const uint8_t> bytes) {
    return FirstLineWithoutSequence(bytes, ShiftJisSequenceAt);
}

std::u16string LineNotInEncodingText(int64_t line, std::u16string_view encoding) {
    return SourceLineProblem(line, NotInEncodingText(encoding));
}
