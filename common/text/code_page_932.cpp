// DecodeCodePage932: code page 932 through the generated table, with the
// system converter's handling of lead bytes; ShiftJisToUnicode outside
// Windows; ShiftJisSequenceAt, the well-formedness of a character.
#include "common/text/code_page_932_table.h"
#include "common/text/japanese_code_pages.h"

int32_t DecodeCodePage932(const uint8_t* bytes, int32_t length, char16_t* out, int32_t outSize) {
    if (bytes == nullptr || outSize < 0 || (outSize > 0 && out == nullptr)) return 0;
    if (length < 0) {
        length = 0;
        while (bytes[length] != 0) ++length;
        ++length;   // the terminator is decoded too
    }
    int32_t units = 0;
    for (int32_t i = 0; i < length;) {
        uint8_t b = bytes[i];
        uint8_t row = kCodePage932LeadRow[b];
        char16_t u;
        if (row == 0) {
            u = kCodePage932Single[b];
            i += 1;
        } else if (i + 1 < length && bytes[i + 1] != 0) {
            u = kCodePage932Pairs[row - 1][bytes[i + 1]];
            i += 2;
        } else {
            // A lead byte cut off by the end or by a 0 byte, which stays text.
            u = kCodePage932DefaultChar;
            i += 1;
        }
        if (outSize > 0) {
            if (units >= outSize) return 0;
            out[units] = u;
        }
        ++units;
    }
    return units;
}

namespace {

bool IsOwnCharacter(char16_t u) { return u != kCodePage932DefaultChar && u != 0x80 && (u < 0xE000 || u > 0xF8FF); }

}  // namespace

size_t ShiftJisSequenceAt(std::span<const uint8_t> bytes, size_t at) {
    if (at >= bytes.size()) return 0;
    const uint8_t b = bytes[at];
    const uint8_t row = kCodePage932LeadRow[b];
    if (row == 0) return IsOwnCharacter(kCodePage932Single[b]) ? 1 : 0;
    if (at + 1 >= bytes.size()) return 0;
    const char16_t u = kCodePage932Pairs[row - 1][bytes[at + 1]];
    // The katakana middle dot is the default character and a character of its own (0x81 0x45).
    return IsOwnCharacter(u) || (b == 0x81 && bytes[at + 1] == 0x45) ? 2 : 0;
}

#ifndef _WIN32
int32_t ShiftJisToUnicode(const uint8_t* bytes, int32_t length, char16_t* out, int32_t outSize) {
    return DecodeCodePage932(bytes, length, out, outSize);
}
#endif
