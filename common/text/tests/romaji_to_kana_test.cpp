#include "common/text/kana_transcription.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::u16string Convert(std::u16string_view text, uint8_t flags = 0) {
    char16_t out[256];
    int32_t n = RomajiToKana(text.data(), out, static_cast<int32_t>(text.size()), 256, flags, nullptr);
    EXPECT_EQ(out[n], 0);
    return std::u16string(out, static_cast<size_t>(n));
}

struct Example {
    std::u16string_view typed;
    std::u16string_view kana;
};

class RomajiToKanaExample : public testing::TestWithParam<Example> {};

TEST_P(RomajiToKanaExample, ConvertsToHiragana) { EXPECT_EQ(Convert(GetParam().typed), GetParam().kana); }

INSTANTIATE_TEST_SUITE_P(
    Typed, RomajiToKanaExample,
    testing::Values(Example{u"kyouto", u"きょうと"}, Example{u"shimbun", u"しんぶん"},
                    Example{u"shinbun", u"しんぶん"}, Example{u"kon'ya", u"こんや"},
                    Example{u"gakkou", u"がっこう"}, Example{u"sa-bisu", u"さーびす"},
                    Example{u"to:kyo:", u"とうきょう"}, Example{u"nn", u"んん"},
                    Example{u"nna", u"んな"}, Example{u"токио", u"ときお"},
                    Example{u"Москва", u"もскわ"}, Example{u"се", u"せ"}, Example{u"те", u"て"},
                    Example{u"KYOUTO", u"きょうと"}, Example{u"ka:", u"かあ"},
                    Example{u"ki:", u"きい"}, Example{u"kx:", u"kx:"}, Example{u":a", u":あ"},
                    Example{u"日本go", u"日本ご"}, Example{u"kanji", u"かんじ"},
                    Example{u"son\u2019i", u"そんい"}, Example{u"синъити", u"しんいち"},
                    Example{u"matcha", u"まっちゃ"}, Example{u"vo", u"ヴォ"},
                    Example{u"симбун", u"しんぶん"}, Example{u"ti", u"てぃ"}, Example{u"x", u"x"},
                    Example{u"ИТТЁ", u"いっちょ"}, Example{u"иттё", u"いっちょ"}, Example{u"ДжО", u"じょ"}));

TEST(RomajiToKana, ColonFlagAlwaysGivesProlongedSound) {
    EXPECT_EQ(Convert(u"to:kyo:", kColonIsProlongedSound), u"とーきょー");
    EXPECT_EQ(Convert(u"kx:", kColonIsProlongedSound), u"kxー");
}

TEST(RomajiToKana, KatakanaFlagMovesHiraganaOnly) {
    EXPECT_EQ(Convert(u"ka-do", kRomajiToKatakana), u"カード");
    EXPECT_EQ(Convert(u"gakkou", kRomajiToKatakana), u"ガッコウ");
    EXPECT_EQ(Convert(u"x", kRomajiToKatakana), u"x");
}

TEST(RomajiToKana, KanaPassThroughUnchanged) {
    EXPECT_EQ(Convert(u"ひらがなカタカナ"), u"ひらがなカタカナ");
}

TEST(RomajiToKana, PositionMapPointsEachInputUnitAtItsKana) {
    std::u16string_view text = u"kyouto";
    std::vector<int32_t> map(text.size(), -7);
    char16_t out[16];
    ASSERT_EQ(RomajiToKana(text.data(), out, 6, 16, 0, map.data()), 4);
    EXPECT_EQ(map, (std::vector<int32_t>{0, 0, 0, 2, 3, 3}));

    std::u16string_view with = u"kon'ya";
    std::vector<int32_t> map2(with.size(), -7);
    ASSERT_EQ(RomajiToKana(with.data(), out, 6, 16, 0, map2.data()), 3);
    EXPECT_EQ(map2, (std::vector<int32_t>{0, 0, 1, 1, 2, 2}));
}

TEST(RomajiToKana, MapBeyondAnEarlyZeroTakesTheEndPosition) {
    const char16_t text[] = {u'k', u'a', 0, u'x'};
    std::vector<int32_t> map(4, -7);
    char16_t out[8];
    ASSERT_EQ(RomajiToKana(text, out, 4, 8, 0, map.data()), 1);
    EXPECT_EQ(map, (std::vector<int32_t>{0, 0, 1, 1}));
}

// The output capacity is honoured: a kana that does not fit is not written,
// and the text written so far is terminated.
TEST(RomajiToKana, StopsAtCapacityAndTerminates) {
    char16_t out[4] = {9, 9, 9, 9};
    EXPECT_EQ(RomajiToKana(u"kyouto", out, 6, 4, 0, nullptr), 3);
    EXPECT_EQ(std::u16string(out), u"きょう");
    char16_t small[3] = {9, 9, 9};
    EXPECT_EQ(RomajiToKana(u"akya", small, 4, 3, 0, nullptr), 1);   // きゃ needs 2
    EXPECT_EQ(std::u16string(small), u"あ");
    EXPECT_EQ(RomajiToKana(u"a", small, 1, 0, 0, nullptr), 0);
    EXPECT_EQ(small[0], u'あ');
}

// No pattern is shorter than its kana, so length + 1 units always suffice.
TEST(RomajiToKana, NeverLongerThanTheInput) {
    for (std::u16string_view t : {u"tcha", u"ti", u"di", u"fa", u"je", u"nn", u"va", u"qi"}) {
        EXPECT_LE(Convert(t).size(), t.size());
    }
}

}  // namespace
