#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "common/base/number_format.h"
#include "common/base/version.h"
#include "common/base/work_area.h"

struct PackedVersionCase {
    const char16_t* text;
    int result;
    uint32_t packed;
};

class PackedVersion : public testing::TestWithParam<PackedVersionCase> {};

TEST_P(PackedVersion, PacksOneNumberPerByte) {
    uint32_t packed = 0xDEADBEEF;
    EXPECT_EQ(ParseVersionPackedW(&packed, GetParam().text), GetParam().result);
    EXPECT_EQ(packed, GetParam().packed);
}

INSTANTIATE_TEST_SUITE_P(Examples, PackedVersion, testing::Values(
    PackedVersionCase{u"11.11.0", 1, 0x0B0B0000},
    PackedVersionCase{u"1.101", 0, 0},
    PackedVersionCase{u"2", 1, 0x02000000},
    PackedVersionCase{u"1.2", 1, 0x01020000},
    PackedVersionCase{u"11.11.0.5 I", 1, 0x0B0B0005},
    PackedVersionCase{u"100.100.100.100", 1, 0x64646464},
    PackedVersionCase{u"1.2.3.4.5", 1, 0x01020304},
    PackedVersionCase{u"6.x.1", 1, 0x06000000},
    PackedVersionCase{u"", 1, 0},
    PackedVersionCase{u"99999999999999999999999", 0, 0},
    PackedVersionCase{u"1.000000000000000000000000042", 1, 0x012A0000},
    PackedVersionCase{nullptr, 0, 0}));

TEST(ParseVersion, AnsiTextGivesFourNumbers) {
    uint32_t parts[4] = {9, 9, 9, 9};
    EXPECT_EQ(ParseVersionA(parts, "11.11.0.123"), 0);  // 123 is above 100
    EXPECT_EQ(ParseVersionA(parts, "11.11.0.12"), 1);
    EXPECT_EQ(parts[0], 11u);
    EXPECT_EQ(parts[3], 12u);
    EXPECT_EQ(ParseVersionA(parts, "3"), 1);
    EXPECT_EQ(parts[1], 0u);
    EXPECT_EQ(ParseVersionA(parts, nullptr), 0);
    // Packed versions order like the versions they stand for.
    uint32_t older = 0, newer = 0;
    ParseVersionPackedW(&older, u"5.99");
    ParseVersionPackedW(&newer, u"6.0.1");
    EXPECT_LT(older, newer);
}

struct ThousandsCase {
    int32_t number;
    UILanguage language;
    const char16_t* text;
};

class Thousands : public testing::TestWithParam<ThousandsCase> {};

TEST_P(Thousands, GroupsDigitsByThree) {
    char16_t out[kThousandsCapacity];
    EXPECT_EQ(FormatThousands(out, kThousandsCapacity, GetParam().number, GetParam().language), 0);
    EXPECT_EQ(std::u16string(out), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Examples, Thousands, testing::Values(
    ThousandsCase{1234567, UILanguage::English, u"1,234,567"},
    ThousandsCase{1234567, UILanguage::Japanese, u"1,234,567"},
    ThousandsCase{1234567, UILanguage::Russian, u"1 234 567"},
    ThousandsCase{999, UILanguage::English, u"999"},
    ThousandsCase{1000, UILanguage::English, u"1,000"},
    ThousandsCase{0, UILanguage::Russian, u"0"},
    ThousandsCase{-1234, UILanguage::English, u"-1,234"},
    ThousandsCase{-123, UILanguage::English, u"-123"},
    ThousandsCase{INT32_MIN, UILanguage::Russian, u"-2 147 483 648"},
    ThousandsCase{INT32_MAX, UILanguage::English, u"2,147,483,647"}));

TEST(Thousands, RefusesASmallBufferAndLeavesItEmpty) {
    char16_t out[6] = {u'x', u'x', u'x', u'x', u'x', u'x'};
    EXPECT_EQ(FormatThousands(out, 6, 12345, UILanguage::English), 1);  // "12,345" needs 7
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(FormatThousands(out, 6, 1234, UILanguage::English), 0);
    EXPECT_EQ(std::u16string(out), u"1,234");
}

TEST(WorkAreaClamp, MovesBackInsideAndNeverNegative) {
    const WorkArea area{0, 0, 1280, 994};
    struct Case { int32_t x, y, w, h, ex, ey; };
    for (auto c : {Case{100, 100, 400, 300, 100, 100}, Case{1000, 800, 400, 300, 880, 694},
                   Case{1000, 10, 2000, 300, 0, 10}, Case{-50, -20, 100, 100, 0, 0},
                   Case{INT32_MAX, INT32_MAX, 100, 100, 1180, 894}}) {
        int32_t x = c.x, y = c.y;
        ClampToArea(x, y, c.w, c.h, area);
        EXPECT_EQ(x, c.ex);
        EXPECT_EQ(y, c.ey);
    }
}
