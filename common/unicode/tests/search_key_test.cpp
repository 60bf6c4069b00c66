#include "common/unicode/search_key.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::u16string Key(std::u16string_view text, size_t capacity = 1024) {
    std::vector<char16_t> out(capacity, u'#');
    int32_t n = MakeSearchKey(text, out);
    return std::u16string(out.data(), n < 0 ? 0 : size_t(n));
}

std::u16string Decomposed(std::u16string_view text, size_t capacity = 1100) {
    std::vector<char16_t> out(capacity);
    int32_t n = DecomposeString(text, out);
    return n < 0 ? u"<none>" : std::u16string(out.data(), size_t(n));
}

struct KeyCase {
    const char* label;
    std::u16string text;
    std::u16string key;
};

class WorkedExamples : public testing::TestWithParam<KeyCase> {};

TEST_P(WorkedExamples, KeyAsStoredIndexesExpect) { EXPECT_EQ(Key(GetParam().text), GetParam().key); }

INSTANTIATE_TEST_SUITE_P(
    SearchKey, WorkedExamples,
    testing::Values(
        KeyCase{"YolkaDropsDiaeresis", u"Ёлка", u"елка"},
        KeyCase{"YodKeepsShortI", u"йод", u"йод"},
        KeyCase{"ShortICapitalLowered", u"Й", u"й"},
        KeyCase{"CafeDropsAccentAndBang", u"Café!", u"cafe"},
        KeyCase{"HalfWidthVoicedKatakana", u"ｶﾞ", u"カ"},
        KeyCase{"VoicedHiraganaStaysWhole", u"がっこう", u"がっこう"},
        KeyCase{"DecomposedVoicingDropped", u"か\u3099", u"か"},
        KeyCase{"VuStaysWhole", u"ヴ", u"ヴ"},
        KeyCase{"SquareApaato", u"㌀", u"アパート"},
        KeyCase{"VulgarFractionHalf", u"½", u"12"},
        KeyCase{"ConnectorKept", u"A_B", u"a_b"},
        KeyCase{"AbbreviationDots", u"U.S.A.", u"usa"},
        KeyCase{"TrigramKept", u"☰", u"☰"},
        KeyCase{"KanjiKept", u"漢字", u"漢字"},
        KeyCase{"RangeStartKanjiKept", u"\u4E00\u4E01", u"\u4E00\u4E01"},
        KeyCase{"AcuteAfterSpaceTakesPrevious", u"x \u00B4", u""},
        KeyCase{"CombiningAfterSpace", u"a \u0301", u""},
        KeyCase{"OnlyPunctuation", u"!? -- ,.", u""},
        KeyCase{"Empty", u"", u""},
        KeyCase{"TwoUnderscores", u"__", u"__"},
        KeyCase{"LoneSurrogateDropped", u"a\xD800" u"b", u"ab"},
        KeyCase{"SupplementaryKanjiKept", u"\U00020000", u"\U00020000"},
        KeyCase{"KangxiRadicalKept", u"\u2F00", u"\u4E00"},
        KeyCase{"NoBreakSpaceDropped", u"a\u00A0b", u"ab"},
        KeyCase{"HangulKept", u"한국", u"한국"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(SearchKey, SingleUnderscoreOrModifierGivesZeroTerminatedEmptyKey) {
    for (char16_t unit : {u'_', char16_t(0x02C7), char16_t(0x02B0), char16_t(0x02FF)}) {
        std::vector<char16_t> out(8, u'#');
        EXPECT_EQ(MakeSearchKey(std::u16string_view(&unit, 1), out), 0) << int(unit);
        EXPECT_EQ(out[0], 0);
    }
}

}  // namespace

namespace {

TEST(DecomposeString, PairStraddlingTheLimitIsWrittenWhole) {
    std::u16string text(999, u'a');
    text += u"\U00020000b";
    EXPECT_EQ(Decomposed(text).size(), 1001u);
    EXPECT_EQ(Decomposed(text).substr(999), u"\U00020000");
    std::u16string longer(1200, u'x');
    EXPECT_EQ(Decomposed(longer).size(), 1000u);
}

TEST(DecomposeString, StopsAtCapacityWithoutCuttingAPair) {
    EXPECT_EQ(Decomposed(u"½", 2), u"1\u2044");  // 1, U+2044, 2: the first two fit
    EXPECT_EQ(Decomposed(u"½", 3), u"1\u20442");
    EXPECT_EQ(Decomposed(u"a\U00020000", 2), u"a");
    EXPECT_EQ(Decomposed(u"abc", 0), u"");
}

TEST(DecomposeString, LoneSurrogatesBecomeReplacementCharacters) {
    EXPECT_EQ(Decomposed(u"\xDC00" u"a\xD800"), u"\xFFFD" u"a\xFFFD");
    EXPECT_EQ(Decomposed(u"\xD800\xD800\xDC00"), u"\xFFFD\U00010000");
}

TEST(SearchKey, NeverMoreThanOneThousandUnits) {
    std::u16string text(999, u'a');
    text += u"\U00020000";
    std::u16string key = Key(text, 1100);
    EXPECT_EQ(key.size(), 999u);  // the pair would end past 1000 units
    EXPECT_EQ(Key(std::u16string(1500, u'A'), 1100), std::u16string(1000, u'a'));
}

TEST(SearchKey, CutAtTheCallersCapacity) {
    // U+FDFA expands to 18 units, 15 of them kept: 20 of them overflow 256.
    std::u16string text(20, u'\uFDFA');
    std::u16string full = Key(text);
    ASSERT_GT(full.size(), 256u);
    std::vector<char16_t> field(256, u'#');
    int32_t n = MakeSearchKey(text, field);
    ASSERT_EQ(n, 256);
    EXPECT_EQ(std::u16string(field.data(), 256), full.substr(0, 256));
    // A pair that does not fit is left out whole.
    std::vector<char16_t> two(2, u'#');
    EXPECT_EQ(MakeSearchKey(u"a\U00020000", two), 1);
    EXPECT_EQ(two[1], u'#');
    EXPECT_EQ(MakeSearchKey(u"abc", std::span<char16_t>()), 0);
}

// Rule 3 must see the unit that was in the input, not what the output left there.
TEST(StripByCategory, InPlaceGivesTheSameResultAsACopy) {
    const char16_t alphabet[] = {u'a', u' ', 0x0301, 0x00B4, u'!', 0x3099, u'か', u'_', u'B', 0x3000};
    uint32_t seed = 12345;
    for (int round = 0; round < 20000; ++round) {
        std::u16string text;
        size_t length = (seed >> 8) % 12;
        for (size_t i = 0; i < length; ++i) {
            seed = seed * 1103515245 + 12345;
            text += alphabet[(seed >> 16) % std::size(alphabet)];
        }
        std::u16string copy(text.size(), u'#');
        int32_t n = StripByCategory(text, copy.data());
        std::u16string inPlace = text;
        ASSERT_EQ(StripByCategory(inPlace, inPlace.data()), n);
        ASSERT_EQ(inPlace.substr(0, n), copy.substr(0, n));
    }
    std::u16string text = u"!x \u0301y";
    EXPECT_EQ(StripByCategory(text, text.data()), 1);
    EXPECT_EQ(text[0], u'y');
}

TEST(StripByCategory, RadicalsCountAsLetters) {
    std::u16string text = u"\u2E80\u2FD5\u2FD6";  // U+2FD6 is unassigned in 5.2: kept as Cn
    EXPECT_EQ(StripByCategory(text, text.data()), 3);
}

struct TrimCase {
    std::u16string text;
    std::u16string trimmed;
};

class TrimRightCases : public testing::TestWithParam<TrimCase> {};

TEST_P(TrimRightCases, CutsUnitsBelowExclamationMark) {
    std::u16string buffer = GetParam().text;
    buffer.push_back(0);
    buffer.push_back(u'#');
    int32_t n = TrimRight(buffer.data());
    EXPECT_EQ(std::u16string(buffer.data(), size_t(n)), GetParam().trimmed);
    EXPECT_EQ(buffer[size_t(n)], 0);
}

INSTANTIATE_TEST_SUITE_P(SearchKey, TrimRightCases,
                         testing::Values(TrimCase{u"abc  \t\r\n", u"abc"}, TrimCase{u"   ", u""},
                                         TrimCase{u"", u""}, TrimCase{u" a b ", u" a b"},
                                         TrimCase{u"a\u00A0", u"a\u00A0"},
                                         TrimCase{u"a\x01\x1F", u"a"}));

TEST(TrimRight, NullIsEmpty) { EXPECT_EQ(TrimRight(nullptr), 0); }

}  // namespace
