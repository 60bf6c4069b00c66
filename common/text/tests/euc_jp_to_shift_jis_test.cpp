#include "common/text/japanese_code_pages.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Convert(Bytes in) {
    Bytes out(in.size() + 4, 0xEE);   // guard bytes behind the input's size
    int32_t n = EucJpToShiftJis(in.data(), out.data(), static_cast<int32_t>(in.size()));
    EXPECT_LE(n, static_cast<int32_t>(in.size()));
    for (size_t i = in.size(); i < out.size(); ++i) EXPECT_EQ(out[i], 0xEE);
    out.resize(static_cast<size_t>(n));
    return out;
}

struct Case {
    const char* name;
    Bytes euc;
    Bytes sjis;
};

class EucJpToShiftJisCase : public testing::TestWithParam<Case> {};

TEST_P(EucJpToShiftJisCase, Converts) {
    EXPECT_EQ(Convert(GetParam().euc), GetParam().sjis);
    // The same bytes converted in place.
    Bytes buffer = GetParam().euc;
    int32_t n = EucJpToShiftJis(buffer.data(), buffer.data(), static_cast<int32_t>(buffer.size()));
    buffer.resize(static_cast<size_t>(n));
    EXPECT_EQ(buffer, GetParam().sjis);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, EucJpToShiftJisCase,
    testing::Values(
        Case{"Ascii", {'a', 'b', '1'}, {'a', 'b', '1'}},
        Case{"Hiragana", {0xA4, 0xA2, 0xA4, 0xF3}, {0x82, 0xA0, 0x82, 0xF1}},   // あん
        Case{"EvenJisRow", {0xB0, 0xA1}, {0x88, 0x9F}},                          // 亜
        Case{"EvenJisRowLateCell", {0xB0, 0xDF}, {0x88, 0xDD}},
        Case{"OddJisRow", {0xB1, 0xA1}, {0x89, 0x40}},                           // 院
        Case{"OddJisRowSkipsTrail0x7F", {0xB1, 0xE0}, {0x89, 0x80}},
        Case{"RowsFrom0x5F", {0xE0, 0xA1, 0xF4, 0xA6}, {0xE0, 0x9F, 0xEA, 0xA4}},   // 逸 and the last kanji
        Case{"HalfWidthKatakana", {0x8E, 0xB1}, {0xB1}},
        // A lead byte without its trail is one middle dot (0xA5); the byte
        // after it stays itself, so no Shift-JIS lead can swallow a line end.
        Case{"SingleShiftWithOtherByte", {0x8E, 0x41}, {0xA5, 0x41}},
        Case{"LeadWithBadTrail", {0xA4, 0x41}, {0xA5, 0x41}},
        Case{"LeadBeforeLineEnd", {0xF0, '\n', 0xB8, 0xA4}, {0xA5, '\n', 0x8C, 0xA2}},
        Case{"SingleShiftBeforeLineEnd", {0x8E, '\r', '\n'}, {0xA5, '\r', '\n'}},
        Case{"LeadBeforeJisX0212", {0xA4, 0x8F, 0xB0, 0xA1}, {0xA5, 0x81, 0xAC}},
        // A lead byte at the very end: nothing past it is read.
        Case{"TrailingLeadByte", {'a', 0xA4}, {'a', 0xA5}},
        Case{"TrailingSingleShift", {0x8E}, {0xA5}},
        // JIS X 0212 has no Shift-JIS form: the three bytes become 〓.
        Case{"JisX0212BecomesGeta", {0x8F, 0xB0, 0xA1, 'x'}, {0x81, 0xAC, 'x'}},
        Case{"CutJisX0212BecomesGeta", {0x8F, 0xB0}, {0x81, 0xAC}},
        Case{"BrokenJisX0212BecomesGeta", {0x8F, 0xB0, 'a'}, {0x81, 0xAC, 'a'}},
        Case{"StraySingleShift3Copied", {0x8F, 'a'}, {0x8F, 'a'}}),
    [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

// A trailing lead byte used to pull in the byte behind the buffer: with that
// byte a valid trail, the output would hold a kanji that was never there.
TEST(EucJpToShiftJis, NeverReadsBehindTheLength) {
    uint8_t buffer[3] = {'a', 0xA4, 0xA2};   // the length below stops before 0xA2
    uint8_t out[3] = {};
    ASSERT_EQ(EucJpToShiftJis(buffer, out, 2), 2);
    EXPECT_EQ(out[1], 0xA5);
}

TEST(EucJpToShiftJis, NullOrEmptyGivesZero) {
    uint8_t b[1] = {'a'};
    EXPECT_EQ(EucJpToShiftJis(nullptr, b, 1), 0);
    EXPECT_EQ(EucJpToShiftJis(b, nullptr, 1), 0);
    EXPECT_EQ(EucJpToShiftJis(b, b, 0), 0);
}

}  // namespace
