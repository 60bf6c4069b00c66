#include "common/unicode/char_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/tests/unicode_data_oracle.h"

namespace {

uint32_t Word(const InflatedData& d, size_t offset) {
    uint32_t v;
    std::memcpy(&v, d.Bytes().data() + offset, 4);
    return v;
}

const char* const kCategoryNames[] = {
    "Cn", "Lu", "Ll", "Lt", "Lm", "Lo", "Mn", "Mc", "Me", "Nd", "Nl", "No", "Pc", "Pd", "Ps",
    "Pe", "Pi", "Pf", "Po", "Sm", "Sc", "Sk", "So", "Zs", "Zl", "Zp", "Cc", "Cf", "Cs", "Co"};

struct TwoStageFigures {
    const char* name;
    size_t bytes;
    uint32_t blocks;
    uint32_t poolWords;
};

class TwoStageTableFigures : public testing::TestWithParam<TwoStageFigures> {};

TEST_P(TwoStageTableFigures, HeaderAndSizesAsGenerated) {
    const TwoStageFigures& f = GetParam();
    InflatedData d;
    ASSERT_TRUE(InflateDataResource(f.name, d));
    EXPECT_EQ(d.size, f.bytes);
    EXPECT_EQ(Word(d, 0), 0x636F6C74u);
    EXPECT_EQ(Word(d, 4), 1u);
    EXPECT_EQ(Word(d, 8), 1u);
    EXPECT_EQ(Word(d, 16), 0x2000u);
    EXPECT_EQ(Word(d, 20), 48u);
    EXPECT_EQ(Word(d, 28), f.blocks);
    EXPECT_EQ(Word(d, 32), 48u + 0x8000u);
    EXPECT_EQ(Word(d, 40), f.poolWords);
    EXPECT_EQ(Word(d, 44), 48u + 0x8000u + f.blocks * 1024u);
    for (int i = 12; i < 48; i += 12) EXPECT_EQ(Word(d, i), 0u) << "pointer word " << i;
}

INSTANTIATE_TEST_SUITE_P(
    BuiltIn, TwoStageTableFigures,
    testing::Values(TwoStageFigures{"CHAR_GENERAL_CATEGORY", 164912, 129, 0},
                    TwoStageFigures{"CHAR_LOWER_CASE", 49200, 16, 0},
                    TwoStageFigures{"CHAR_UPPER_CASE", 50224, 17, 0},
                    // 48 + 0x8000 + 52 blocks + the reserved word and 13,820 record words.
                    TwoStageFigures{"CHAR_DECOMPOSITION", 141348, 52, 13821}),
    [](const auto& info) { return std::string(info.param.name); });

struct RangeFigures {
    const char* name;
    size_t records;
};

class RangeTableFigures : public testing::TestWithParam<RangeFigures> {};

TEST_P(RangeTableFigures, OneRecordPerNonZeroLine) {
    InflatedData d;
    ASSERT_TRUE(InflateDataResource(GetParam().name, d));
    EXPECT_EQ(d.size, GetParam().records * 12);
    for (size_t r = 0; r < d.size / 12; ++r) {
        ASSERT_LE(Word(d, r * 12), Word(d, r * 12 + 4));
        ASSERT_LE(Word(d, r * 12 + 4), 0x10FFFFu);
        ASSERT_NE(Word(d, r * 12 + 8), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(BuiltIn, RangeTableFigures,
                         testing::Values(RangeFigures{"WORD_BREAK_PROPERTIES", 820},
                                         RangeFigures{"SENTENCE_BREAK_PROPERTIES", 2183},
                                         RangeFigures{"LINE_BREAK_PROPERTIES", 22543},
                                         RangeFigures{"DERIVED_BIDI_CLASS", 1595}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CollationTableFigures, DescriptorsAtTheirOffsets) {
    InflatedData d;
    ASSERT_TRUE(InflateDataResource("DUCET_5_0_0_0_1", d));
    EXPECT_EQ(d.size, 518864u);
    EXPECT_EQ(Word(d, 0), 0x636F6C74u);
    EXPECT_EQ(Word(d, 48), 0x0F98u);
    EXPECT_EQ(Word(d, 52), 3u);
    const uint32_t descriptors[4][3] = {
        {0, 0x2000, 0x70}, {0, 0x5A, 0x8070}, {0, 23595, 0x1E870}, {0, 1019, 0x7AB20}};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(Word(d, 60 + i * 12 + j * 4), descriptors[i][j]) << i << "," << j;
    EXPECT_EQ(0x7AB20u + 1019u * 16u, d.size);
}

// Every BMP unit against UnicodeData.txt, with First/Last ranges only at their ends.
TEST(CharTables, CategoryAndCaseOfEveryUnitMatchUnicodeData) {
    const auto& oracle = Unicode52();
    ASSERT_GT(oracle.size(), 20000u);
    for (uint32_t u = 0; u <= 0xFFFF; ++u) {
        auto found = oracle.find(u);
        int32_t category = 0;
        uint32_t lower = u, upper = u;
        if (found != oracle.end()) {
            for (int i = 0; i < 30; ++i)
                if (found->second.category == kCategoryNames[i]) category = i;
            if (found->second.lower) lower = found->second.lower;
            if (found->second.upper) upper = found->second.upper;
        }
        if ((u >= 0x2630 && u <= 0x2637) || (u >= 0x4DC0 && u <= 0x4DFF)) category = 0;
        ASSERT_EQ(GetCharCategory(char16_t(u)), category) << std::hex << u;
        ASSERT_EQ(ToLowerChar(char16_t(u)), lower) << std::hex << u;
        ASSERT_EQ(ToUpperChar(char16_t(u)), upper) << std::hex << u;
    }
}

struct CategoryCase {
    char16_t unit;
    int32_t category;
};

class RangeEndPoints : public testing::TestWithParam<CategoryCase> {};

TEST_P(RangeEndPoints, OnlyEndPointsCarryTheCategory) {
    EXPECT_EQ(GetCharCategory(GetParam().unit), GetParam().category);
}

INSTANTIATE_TEST_SUITE_P(
    Unicode52, RangeEndPoints,
    testing::Values(CategoryCase{0x3400, 5}, CategoryCase{0x3401, 0}, CategoryCase{0x4DB5, 5},
                    CategoryCase{0x4E00, 5}, CategoryCase{0x4E01, 0}, CategoryCase{0x9FCA, 0},
                    CategoryCase{0x9FCB, 5}, CategoryCase{0x9FCC, 0}, CategoryCase{0xAC00, 5},
                    CategoryCase{0xAC01, 0}, CategoryCase{0xD7A3, 5}, CategoryCase{0xD800, 28},
                    CategoryCase{0xD801, 0}, CategoryCase{0xDB7F, 28}, CategoryCase{0xDB80, 28},
                    CategoryCase{0xDBFF, 28}, CategoryCase{0xDC00, 28}, CategoryCase{0xDFFF, 28},
                    CategoryCase{0xE000, 29}, CategoryCase{0xE001, 0}, CategoryCase{0xF8FF, 29},
                    CategoryCase{0x2630, 0}, CategoryCase{0x2637, 0}, CategoryCase{0x2638, 22},
                    CategoryCase{0x4DC0, 0}, CategoryCase{0x0041, 1}, CategoryCase{0x005F, 12},
                    CategoryCase{0x0526, 0}));

TEST(CharTables, DecompositionTableKeepsVoicedKanaAndShortI) {
    const CharTableBlob* t = DecompositionTable();
    ASSERT_NE(t, nullptr);
    for (char16_t u : {u'が', u'ぱ', u'ヴ', u'ゞ', u'ヾ', u'゛', u'゜', u'Й', u'й'}) EXPECT_EQ(t->Entry(u), 0u);
    for (char16_t u : {u'Ё', u'ё', u'ｶ', u'ﾞ', u'ゟ', u'ヿ', u'ѐ'}) EXPECT_NE(t->Entry(u), 0u);
    EXPECT_EQ(t->Entry(0x00A0), 0u);
    EXPECT_EQ(t->Entry(0xAC00), 0u);
}

}  // namespace
