// EucJpToShiftJis: EUC-JP source files (EDICT and its relatives) are read by
// rewriting them in place as Shift-JIS and decoding that with code page 932.
#include "common/text/japanese_code_pages.h"

namespace {

bool IsJisByte(uint8_t b) { return b >= 0xA1 && b <= 0xFE; }

constexpr uint8_t kSingleShift2 = 0x8E;   // half-width katakana follows
constexpr uint8_t kSingleShift3 = 0x8F;   // a JIS X 0212 pair follows
constexpr uint8_t kGetaMark[2] = {0x81, 0xAC};   // 〓, stands for what Shift-JIS lacks
// Half-width middle dot: one byte, so a lead byte it replaces never makes the
// text longer, and code page 932 decodes it alone whatever follows.
constexpr uint8_t kReplacementMark = 0xA5;

}  // namespace

int32_t EucJpToShiftJis(const uint8_t* in, uint8_t* out, int32_t length) {
    if (in == nullptr || out == nullptr || length <= 0) return 0;
    int32_t w = 0;
    int32_t i = 0;
    // Every step reads before it writes and writes no more than it read, so
    // in and out may share one buffer.
    while (i < length) {
        uint8_t b1 = in[i];
        bool hasNext = i + 1 < length;
        uint8_t b2 = hasNext ? in[i + 1] : 0;
        if (IsJisByte(b1) && hasNext && IsJisByte(b2)) {
            int j1 = b1 - 0x80;
            int j2 = b2 - 0x80;
            int s1 = ((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0);
            int s2 = (j1 & 1) != 0 ? j2 + (j2 <= 0x5F ? 0x1F : 0x20) : j2 + 0x7E;
            out[w++] = static_cast<uint8_t>(s1);
            out[w++] = static_cast<uint8_t>(s2);
            i += 2;
        } else if (b1 == kSingleShift2 && hasNext && b2 >= 0xA1 && b2 <= 0xDF) {
            out[w++] = b2;
            i += 2;
        } else if (b1 == kSingleShift3 && hasNext && IsJisByte(b2)) {
            // A JIS X 0212 character, or what is left of one at the end or
            // before a byte that cannot follow it: 〓 rather than a copy, in
            // which 0x8F would pair with the next byte into a wrong kanji.
            out[w++] = kGetaMark[0];
            out[w++] = kGetaMark[1];
            i += i + 2 < length && IsJisByte(in[i + 2]) ? 3 : 2;
        } else if (IsJisByte(b1) || b1 == kSingleShift2) {
            // A lead byte without its trail (at the end, or before a line end
            // or any byte that cannot follow it) is one replacement mark; the
            // byte after it stays itself, so a line end stays a line end.
            out[w++] = kReplacementMark;
            i += 1;
        } else {
            out[w++] = b1;
            i += 1;
        }
    }
    return w;
}
