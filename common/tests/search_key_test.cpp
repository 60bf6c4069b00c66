#include "common/search_key.h"

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
