#include "common/text/japanese_code_pages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::u16string Decode(std::vector<uint8_t> bytes) {
    std::u16string out(bytes.size() + 1, u'\0');
    int32_t n = ShiftJisToUnicode(bytes.data(), static_cast<int32_t>(bytes.size()), out.data(),
                                  static_cast<int32_t>(out.size()));
    out.resize(static_cast<size_t>(n));
    return out;
}

TEST(ShiftJisToUnicode, DecodesCodePage932) {
    EXPECT_EQ(Decode({'a', 0x5C, '~'}), u"a\\~");
    EXPECT_EQ(Decode({0x82, 0xA0, 0x88, 0x9F}), u"あ亜");
    EXPECT_EQ(Decode({0xB1, 0xDF}), u"ｱﾟ");
    EXPECT_EQ(Decode({0x81, 0x60, 0x81, 0x5F}), u"\uFF5E\uFF3C");   // the code page's own forms
    EXPECT_EQ(Decode({0x87, 0x40, 0xED, 0x40, 0xFA, 0x40}), u"①纊ⅰ");   // NEC and IBM rows
    EXPECT_EQ(Decode({0xF0, 0x40}), u"\uE000");                      // user-defined area
    EXPECT_EQ(Decode({0x81, 0xAC}), u"〓");
}

TEST(ShiftJisToUnicode, UndefinedPairGivesTheDefaultCharacter) {
    EXPECT_EQ(Decode({0x85, 0x40, 'a'}), std::u16string(1, kCodePage932DefaultChar) + u"a");
}

TEST(ShiftJisToUnicode, CountsWithoutOutputAndFailsWhenOutIsTooSmall) {
    const uint8_t text[] = {0x82, 0xA0, 'a', 'b'};
    EXPECT_EQ(ShiftJisToUnicode(text, 4, nullptr, 0), 3);
    char16_t small[2];
    EXPECT_EQ(ShiftJisToUnicode(text, 4, small, 2), 0);
    char16_t out[3];
    EXPECT_EQ(ShiftJisToUnicode(text, 4, out, 3), 3);
    EXPECT_EQ(std::u16string(out, 3), u"あab");
}

TEST(ShiftJisToUnicode, NegativeLengthDecodesUpToAndWithTheTerminator) {
    const uint8_t text[] = {0x82, 0xA0, 'a', 0, 'z'};
    char16_t out[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_EQ(ShiftJisToUnicode(text, -1, out, 8), 3);
    EXPECT_EQ(std::u16string(out), u"あa");
}

}  // namespace

namespace {

// A lead byte without its trail (at the end or before a 0 byte) gives the
// default character and leaves the 0 in the text, as the system does.
TEST(ShiftJisToUnicode, LeadByteWithoutTrailGivesDefaultCharacter) {
    EXPECT_EQ(Decode({'a', 0x82}), u"a\u30FB");
    EXPECT_EQ(Decode({0x82, 0x00, 'b'}), std::u16string(u"\u30FB\0b", 3));
}

// What a source check takes for Shift-JIS: characters of the code page's
// own, the katakana middle dot among them; not the bytes it decodes as the
// default character, to private code points or to a control code.
TEST(ShiftJisSequenceAt, TakesOnlyTheCodePagesOwnCharacters) {
    struct Case {
        std::vector<uint8_t> bytes;
        size_t length;
    };
    const Case cases[] = {
        {{'A'}, 1},          {{0xB1}, 1},          // ASCII, half-width katakana
        {{0x82, 0xA0}, 2},   {{0x81, 0x45}, 2},    // あ, ・ (itself the default character)
        {{0xFA, 0x40}, 2},                         // an IBM extension: ⅰ
        {{0x85, 0x40}, 0},   {{0x82, 0x20}, 0},    // undefined pairs
        {{0xF0, 0x40}, 0},                         // the user-defined area (private code points)
        {{0x80}, 0},         {{0xA0}, 0},   {{0xFD}, 0},
        {{0x82}, 0},                               // a lead byte at the end
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShiftJisSequenceAt(c.bytes, 0), c.length) << std::hex << int(c.bytes[0]);
}

}  // namespace
