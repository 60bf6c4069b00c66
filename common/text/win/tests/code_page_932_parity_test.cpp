// The generated code page 932 table against the system's converter: every
// single byte, every byte pair and every lead byte cut off by the end must
// decode to the same units, so the native build reads Shift-JIS as Windows does.
#include <gtest/gtest.h>

#include <cstdio>

#include "common/text/japanese_code_pages.h"

namespace {

std::u16string Decode(bool system, const uint8_t* bytes, int32_t length) {
    char16_t out[4] = {};
    int32_t n = system ? ShiftJisToUnicode(bytes, length, out, 4) : DecodeCodePage932(bytes, length, out, 4);
    return std::u16string(out, n > 0 ? static_cast<size_t>(n) : 0);
}

TEST(CodePage932Parity, EverySingleByteDecodesAsTheSystemDoes) {
    for (int b = 0; b < 256; ++b) {
        uint8_t one = static_cast<uint8_t>(b);
        EXPECT_EQ(Decode(false, &one, 1), Decode(true, &one, 1)) << "byte 0x" << std::hex << b;
    }
}

TEST(CodePage932Parity, EveryBytePairDecodesAsTheSystemDoes) {
    int differences = 0;
    for (int pair = 0; pair < 0x10000; ++pair) {
        uint8_t two[2] = {static_cast<uint8_t>(pair >> 8), static_cast<uint8_t>(pair)};
        std::u16string table = Decode(false, two, 2);
        std::u16string system = Decode(true, two, 2);
        if (table != system && ++differences <= 20) {
            ADD_FAILURE() << std::hex << "pair 0x" << pair << ": table 0x"
                          << (table.empty() ? 0 : int(table[0])) << " system 0x"
                          << (system.empty() ? 0 : int(system[0])) << " (" << std::dec << table.size()
                          << "/" << system.size() << " units)";
        }
    }
    EXPECT_EQ(differences, 0);
}

TEST(CodePage932Parity, UndefinedPairGivesTheDefaultCharacter) {
    const uint8_t undefined[2] = {0x85, 0x40};
    EXPECT_EQ(Decode(true, undefined, 2), std::u16string(1, kCodePage932DefaultChar));
}

TEST(CodePage932Parity, LengthMinusOneCountsTheTerminator) {
    const uint8_t text[] = {0x82, 0xA0, 'a', 0};
    EXPECT_EQ(ShiftJisToUnicode(text, -1, nullptr, 0), DecodeCodePage932(text, -1, nullptr, 0));
    EXPECT_EQ(ShiftJisToUnicode(text, -1, nullptr, 0), 3);
}

}  // namespace
