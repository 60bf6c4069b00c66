#include "common/text/kana_transcription.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string Transcribe(std::u16string_view kana, uint32_t flags) {
    char16_t out[256];
    int32_t n = KanaToRomaji(out, kana.data(), static_cast<int32_t>(kana.size()), 256, flags);
    EXPECT_LT(n, 256);
    EXPECT_EQ(out[n], 0);
    return std::u16string(out, static_cast<size_t>(n));
}

struct Example {
    std::u16string_view kana;
    std::u16string_view latin;
    std::u16string_view cyrillic;   // empty: not checked
};

class KanaToRomajiExample : public testing::TestWithParam<Example> {};

TEST_P(KanaToRomajiExample, TranscribesInLatinAndCyrillic) {
    const Example& e = GetParam();
    EXPECT_EQ(Transcribe(e.kana, kTranscribeLatin), e.latin);
    if (!e.cyrillic.empty()) {
        EXPECT_EQ(Transcribe(e.kana, kTranscribeCyrillic), e.cyrillic);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Readings, KanaToRomajiExample,
    testing::Values(Example{u"きょうと", u"kyouto", u"кёуто"}, Example{u"しんぶん", u"shinbun", u"симбун"},
                    Example{u"がっこう", u"gakkou", u"гаккоу"}, Example{u"ちゃ", u"cha", u"тя"},
                    Example{u"じゅ", u"ju", u"дзю"}, Example{u"ティー", u"tii", u"тии"},
                    Example{u"ファ", u"fa", u"фа"}, Example{u"ほんや", u"hon'ya", u"хонъя"},
                    Example{u"カード", u"kaado", u"каадо"}, Example{u"ちょっと", u"chotto", u"тётто"},
                    Example{u"しゃしん", u"shashin", u"сясин"}, Example{u"さんぽ", u"sanpo", u"сампо"},
                    Example{u"ふぃるむ", u"firumu", u"фируму"}, Example{u"ウェ", u"ue", u"уе"},
                    Example{u"ヴァ", u"wa", u"ва"}, Example{u"ヶ", u"ke", u"кэ"},
                    Example{u"ン", u"n", u"н"}, Example{u"ッ", u"'", u"'"},
                    Example{u"ーあ", u"ーa", u"ーа"}, Example{u"ラーメン", u"raamen", u"раамэн"},
                    Example{u"ゆー", u"yuu", u"юу"}, Example{u"みんな", u"minna", u"минна"},
                    Example{u"きんえん", u"kinen", u"кинэн"}, Example{u"ほんい", u"hon'i", u"хонъи"},
                    Example{u"かっぱ", u"kappa", u"каппа"}, Example{u"まっちゃ", u"maccha", u"маття"},
                    Example{u"ぢゅ", u"ju", u"дзю"}, Example{u"A-あ", u"A-a", u"A-а"},
                    Example{u"ゔ", u"ゔ", u"ゔ"}, Example{u"あんー", u"ann", u"анн"},
                    Example{u"あんっか", u"ankka", u"анкка"}));

TEST(KanaToRomaji, WithoutScriptFlagsReturnsZeroAndLeavesOutAlone) {
    char16_t out[8] = {u'x', u'y', 0};
    EXPECT_EQ(KanaToRomaji(out, u"かな", 2, 8, 0), 0);
    EXPECT_EQ(out[0], u'x');
    EXPECT_EQ(out[1], u'y');
}

TEST(KanaToRomaji, BothScriptFlagsWriteCyrillic) {
    EXPECT_EQ(Transcribe(u"かな", kTranscribeLatin | kTranscribeCyrillic), u"кана");
}

TEST(KanaToRomaji, StopsAtZeroUnitAndReadsUpToZeroForNegativeLength) {
    const char16_t kana[] = u"かな\0さ";
    char16_t out[16];
    EXPECT_EQ(KanaToRomaji(out, kana, 5, 16, kTranscribeLatin), 4);
    EXPECT_EQ(std::u16string(out), u"kana");
    EXPECT_EQ(KanaToRomaji(out, u"さくら", -1, 16, kTranscribeLatin), 6);
    EXPECT_EQ(std::u16string(out), u"sakura");
}

// The whole length is returned while out always holds a terminated prefix,
// also when the transcription is longer than the buffer by any amount.
TEST(KanaToRomaji, TruncatesWithTerminatorAndReturnsWholeLength) {
    char16_t out[5] = {1, 1, 1, 1, 1};
    EXPECT_EQ(KanaToRomaji(out, u"しんぶん", 4, 5, kTranscribeLatin), 7);
    EXPECT_EQ(std::u16string(out), u"shin");
    char16_t one[1] = {1};
    EXPECT_EQ(KanaToRomaji(one, u"か", 1, 1, kTranscribeLatin), 2);
    EXPECT_EQ(one[0], 0);
    EXPECT_EQ(KanaToRomaji(nullptr, u"か", 1, 0, kTranscribeLatin), 2);
}

TEST(KanaToRomaji, LongInputStaysWithinBufferAndCountsEverything) {
    std::u16string kana(50000, u'ち');
    for (size_t i = 1; i < kana.size(); i += 2) kana[i] = u'ょ';
    std::u16string out(100, u'\x1');
    int32_t n = KanaToRomaji(out.data(), kana.data(), static_cast<int32_t>(kana.size()), 64,
                             kTranscribeLatin);
    EXPECT_EQ(n, 25000 * 3);
    EXPECT_EQ(out[63], 0);
    EXPECT_EQ(out[64], u'\x1');
    EXPECT_EQ(out.substr(0, 6), u"chocho");
}

// Where the dropped vowel lies beyond the buffer, the prefix is still right.
TEST(KanaToRomaji, TruncationAtTheSmallKanaKeepsThePrefixConsistent) {
    char16_t out[4];
    EXPECT_EQ(KanaToRomaji(out, u"あきょ", 3, 4, kTranscribeLatin), 4);
    EXPECT_EQ(std::u16string(out), u"aky");
}

TEST(ResolveTranscriptionScript, KeepsChosenScriptElseFollowsInterfaceLanguage) {
    EXPECT_EQ(ResolveTranscriptionScript(kTranscribeLatin | 0x100), kTranscribeLatin | 0x100);
    EXPECT_EQ(ResolveTranscriptionScript(kTranscribeCyrillic), kTranscribeCyrillic);
    EXPECT_EQ(ResolveTranscriptionScript(kEnglishInterfaceFlag),
              kEnglishInterfaceFlag | kTranscribeLatin);
    EXPECT_EQ(ResolveTranscriptionScript(0x800), 0x800 | kTranscribeCyrillic);
    EXPECT_EQ(ResolveTranscriptionScript(0), kTranscribeCyrillic);
    char16_t out[8];
    EXPECT_GT(KanaToRomaji(out, u"か", 1, 8, ResolveTranscriptionScript(0)), 0);
}

}  // namespace
