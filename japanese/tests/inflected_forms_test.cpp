// The inflected forms the matchers must trace, each with the end of the form
// and the tag chain it went through, and the forms they must refuse.
#include <gtest/gtest.h>

#include <random>

#include "japanese/inflection_tables.h"
#include "japanese/tests/deinflection_test_support.h"

namespace ostrel::japanese {
namespace {

using testing::Deinflect;

struct FormCase {
    const char* name;
    std::u16string_view text;
    std::u16string_view word;  // the dictionary word the translator found
    bool kanjiIndex;
    std::u16string_view reading;
    uint32_t classBit;
    int32_t end;
    std::vector<int> codes;
};

class InflectedForms : public ::testing::TestWithParam<FormCase> {};

// A refused form (end -1) leaves the chain as it was: {3}.
TEST_P(InflectedForms, ReachTheirEndWithTheirCodes) {
    const FormCase& c = GetParam();
    auto result = Deinflect(c.text, c.word, c.kanjiIndex, c.reading, c.kanjiIndex ? c.word : u"",
                            c.classBit);
    ASSERT_EQ(result.matched, c.end >= 0);
    if (result.matched) {
        EXPECT_EQ(result.end, c.end);
    }
    EXPECT_EQ(result.codes, c.codes);
}

INSTANTIATE_TEST_SUITE_P(
    Deinflection, InflectedForms,
    ::testing::Values(
        // ている differs at its last character: progressive, then ます behind it.
        FormCase{"ProgressiveMasu", u"食べています", u"食べる", true, u"たべる", kIchidan, 6, {3, 8, 33}},
        // かない continues into the adjective endings; かなかった (52) is shadowed.
        FormCase{"NegativePast", u"書かなかった", u"書く", true, u"かく", kGodanKu, 6, {3, 11, 136}},
        FormCase{"AdjectiveNegativePast", u"高くなかった", u"高い", true, u"たかい", kAdjectiveI, 6, {3, 137, 136}},
        FormCase{"AdjectivePast", u"高かった", u"高い", true, u"たかい", kAdjectiveI, 4, {3, 136}},
        FormCase{"AdjectiveNoun", u"高さ", u"高い", true, u"たかい", kAdjectiveI, 2, {3, 130}},
        // The reading くる with an empty stem: the rows are matched from 来.
        FormCase{"KuruPast", u"来た", u"くる", false, u"くる", kKuru, 2, {3, 6}},
        FormCase{"BareIchidanStemAtTextEnd", u"食べ", u"食べる", true, u"たべる", kIchidan, 2, {3, 2}},
        FormCase{"PastMasu", u"食べました", u"食べる", true, u"たべる", kIchidan, 5, {3, 35}},
        // た 6 matches first; たい reaches further and replaces it.
        FormCase{"DesiderativeReplacesPast", u"食べたい", u"食べる", true, u"たべる", kIchidan, 4, {3, 38}},
        // The causative row: the causative code and the whole form, not the stem alone.
        FormCase{"Causative", u"食べさせる", u"食べる", true, u"たべる", kIchidan, 5, {3, 12}},
        // A godan verb in す: して is the て-form (7), not the past した (6).
        FormCase{"GodanSuTeForm", u"話して", u"話す", true, u"はなす", kGodanSu, 3, {3, 7}},
        // In す the past した stands before the stem し: the auxiliary behind
        // the stem reaches further and replaces it.
        FormCase{"GodanSuDesiderative", u"話したい", u"話す", true, u"はなす", kGodanSu, 4, {3, 38}},
        FormCase{"GodanSuDesiderativeDasu", u"出したい", u"出す", true, u"だす", kGodanSu, 4, {3, 38}},
        FormCase{"GodanSuDesiderativeKasu", u"貸したい", u"貸す", true, u"かす", kGodanSu, 4, {3, 38}},
        FormCase{"GodanSuNegativeDesiderative", u"押したくない", u"押す", true, u"おす", kGodanSu, 6, {3, 38, 137}},
        FormCase{"GodanSuPastStaysPast", u"話した", u"話す", true, u"はなす", kGodanSu, 3, {3, 6}},
        FormCase{"NegativeMasu", u"書きません", u"書く", true, u"かく", kGodanKu, 5, {3, 34}},
        FormCase{"SuruCompoundNegativeMasu", u"勉強しません", u"勉強する", true, u"べんきょうする", kSuru, 6, {3, 34}},
        FormCase{"SuruConditional", u"すれば", u"する", false, u"する", kSuru, 3, {3, 14}},
        FormCase{"IkuPast", u"行った", u"行く", true, u"いく", kIku, 3, {3, 6}},
        FormCase{"GodanRuPotential", u"帰れる", u"帰る", true, u"かえる", kGodanRu, 3, {3, 13}},
        FormCase{"HonorificAruConjunctive", u"ください", u"くださる", false, u"くださる", kHonorificAru, 4, {3, 2}},
        FormCase{"KatakanaFoldsToTheDictionaryForm", u"タベル", u"たべる", false, u"たべる", kIchidan, 3, {3}},
        FormCase{"FormEndsAtABlank", u"高い 本", u"高い", true, u"たかい", kAdjectiveI, 2, {3}},
        FormCase{"VolitionalGodan", u"書こう", u"書く", true, u"かく", kGodanKu, 3, {3, 5}},
        FormCase{"ImperativeBeforePunctuation", u"食べろ。", u"食べる", true, u"たべる", kIchidan, 3, {3, 25}},
        // An imperative followed by kana is no imperative: the stem alone.
        FormCase{"ImperativeBeforeKanaIsRefused", u"食べろよ", u"食べる", true, u"たべる", kIchidan, 2, {3, 2}},
        // The potential stem continues as an ichidan verb.
        FormCase{"PotentialContinuesAsIchidan", u"書けない", u"書く", true, u"かく", kGodanKu, 4, {3, 13, 11}},
        FormCase{"NegativeDesiderative", u"食べたくない", u"食べる", true, u"たべる", kIchidan, 6, {3, 38, 137}},
        // いれる is no potential form of a godan verb read いる.
        FormCase{"IreruIsNoPotentialOfIru", u"いれる", u"いる", false, u"いる", kGodanRu, -1, {3}},
        // 問う and 請う keep their う before た and て (問うた): とって is 取る's.
        FormCase{"TouHasNoPastInTte", u"とって", u"とう", false, u"とう", kGodanU, -1, {3}},
        FormCase{"KouOfKowuHasNoPastInTta", u"請った", u"請う", true, u"こう", kGodanU, -1, {3}},
        FormCase{"GodanUPastInTta", u"買った", u"買う", true, u"かう", kGodanU, 3, {3, 6}},
        FormCase{"OneCharacterReading", u"るた", u"る", false, u"る", kIchidan, -1, {3}},
        FormCase{"AdjectiveWithoutI", u"高くて", u"高し", true, u"たかし", kAdjectiveI, -1, {3}},
        FormCase{"ClassWithoutTable", u"書かない", u"書く", true, u"かく", 0x8000, -1, {3}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IrregularRows, CountARowWhoseFinalRuDiffers) {
    // させた reads as させる (12) and takes the differing character.
    MatchContext context{u"させた", u"する", u""};
    TagChain tags{};
    EXPECT_EQ(MatchSuruForms(context, 0, tags), 3);
    EXPECT_EQ(tags[0], 12);
    TagChain kuru{};
    MatchContext came{u"来ました", u"くる", u"来る"};
    EXPECT_EQ(MatchKuruForms(came, 0, kuru), 1);  // 来 2: the stem alone
    EXPECT_EQ(kuru[0], 2);
}

TEST(IrregularRows, NeverReachBehindTheTextEnd) {
    // させ at the end: the differing る would lie behind the text.
    MatchContext context{u"させ", u"する", u""};
    TagChain tags{};
    int32_t end = MatchSuruForms(context, 0, tags);
    EXPECT_LE(end, 2);
}

TEST(Continuations, StopAtTheDepthLimitAndKeepTheChainConsistent) {
    // Each ている differs at its last character and continues once more.
    std::u16string text = u"見";
    for (int i = 0; i < 400; ++i) text += u"てい";
    text += u"る";
    auto result = Deinflect(text, u"見る", true, u"みる", u"見る", kIchidan);
    ASSERT_TRUE(result.matched);
    EXPECT_LE(result.codes.size(), 16u);
    EXPECT_LE(result.end, 1 + kMaxContinuationDepth * 2 + 3);
}

TEST(Matchers, SurviveRandomKanaKanjiAndPunctuation) {
    const bool longRun = std::getenv("OSTREL_LONG_FUZZ") != nullptr;
    const std::u16string alphabet = u"いうえおかきくけこさしすせたちってとなにのまみめもやよらりるれろわんたべ食書来高行。、 ーアイカッ";
    std::mt19937 random(25);
    const uint32_t classes[] = {kAdjectiveI, kGodanKu, kKuru, kSuru, kIchidan, kGodanRu, kIku,
                                kHonorificAru, kGodanTsu};
    const std::u16string_view words[] = {u"食べる", u"書く", u"くる", u"する", u"高い", u"行く", u"いる"};
    for (int round = 0; round < (longRun ? 2000000 : 20000); ++round) {
        std::u16string text(random() % 12, u' ');
        for (char16_t& c : text) c = alphabet[random() % alphabet.size()];
        std::u16string_view word = words[random() % std::size(words)];
        auto result = Deinflect(text, word, random() % 2 == 0, word, u"", classes[random() % std::size(classes)]);
        if (result.matched) {
            ASSERT_GE(result.end, 0);
            ASSERT_LE(result.end, static_cast<int32_t>(text.size()));
        }
        ASSERT_LE(result.codes.size(), 16u);
    }
}

}  // namespace
}  // namespace ostrel::japanese
