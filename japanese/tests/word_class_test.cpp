// The ending classes a stem can continue into and the class rules over a
// dictionary word (reading and kanji form).
#include <gtest/gtest.h>

#include "japanese/inflection_tables.h"
#include "japanese/word_class.h"

namespace ostrel::japanese {
namespace {

struct EndingClassCase {
    std::u16string_view stem;
    char16_t next;
    uint32_t classes;
};

class EndingClasses : public ::testing::TestWithParam<EndingClassCase> {};

TEST_P(EndingClasses, FollowTheStemAndTheNextKana) {
    EXPECT_EQ(GetEndingClasses(GetParam().stem, GetParam().next), GetParam().classes);
}

INSTANTIATE_TEST_SUITE_P(
    WordClass, EndingClasses,
    ::testing::Values(
        EndingClassCase{u"食", u'べ', 0x480},          // a kanji stem may be ichidan
        EndingClassCase{u"書", u'っ', 0x80 | 0x291B},  // っ without the honorific bit
        EndingClassCase{u"くださ", u'い', 0x400F},     // さ keeps the honorific bit
        EndingClassCase{u"", u'来', 0x10},
        EndingClassCase{u"か", u'ら', 0x880},
        EndingClassCase{u"\U00020B9F", u'る', 0x880},  // a supplementary kanji read as one
        EndingClassCase{u"あ", u'ア', 0}));

// A katakana stem reads as its hiragana, and so does the kana behind it;
// behind a hiragana stem a katakana kana starts another word.
TEST(EndingClasses, KatakanaStemsTakeTheClassesOfTheirHiragana) {
    EXPECT_EQ(GetEndingClasses(u"タベ", u'マ'), GetEndingClasses(u"たべ", u'ま'));
    EXPECT_EQ(GetEndingClasses(u"カ", u'イ'), GetEndingClasses(u"か", u'い'));
    EXPECT_EQ(GetEndingClasses(u"食ベ", u'タ'), GetEndingClasses(u"食べ", u'た'));
    EXPECT_EQ(GetEndingClasses(u"", u'シ'), GetEndingClasses(u"", u'し'));
    EXPECT_NE(GetEndingClasses(u"タベ", u'マ'), 0u);
    EXPECT_EQ(GetEndingClasses(u"と", u'ク'), 0u);
}

TEST(EndingClasses, PinTheTableOfKana) {
    EXPECT_EQ(EndingClassesStartingWith(u'っ'), 0x691Bu);
    EXPECT_EQ(EndingClassesStartingWith(u'ら'), 0x4880u);
    EXPECT_EQ(EndingClassesStartingWith(u'る'), 0x4880u);
    EXPECT_EQ(EndingClassesStartingWith(u'れ'), 0x4880u);
    EXPECT_EQ(EndingClassesStartingWith(u'い'), 0x400Fu);
    EXPECT_EQ(EndingClassesStartingWith(u'ん'), 0x1680u);
    EXPECT_EQ(EndingClassesStartingWith(u'ぁ'), 0u);
    const uint32_t order[] = {0x1, 0x2, 0x4, 0x2000, 0x8, 0x10, 0x20, 0x40, 0x80, 0x100, 0x200, 0x400, 0x800, 0x1000, 0x4000};
    ASSERT_EQ(EndingTable().size(), std::size(order));
    for (size_t i = 0; i < std::size(order); ++i) EXPECT_EQ(EndingTable()[i].classBit, order[i]);
}

struct FitCase {
    const char* name;
    uint32_t classBit;
    std::u16string_view reading;
    std::u16string_view kanji;
    int32_t answer;  // 0 fits, 1 does not
};

class ClassFits : public ::testing::TestWithParam<FitCase> {};

TEST_P(ClassFits, AnswersByTheOrderedRules) {
    const FitCase& c = GetParam();
    EXPECT_EQ(ClassFitsWord(c.classBit, c.reading, c.kanji), c.answer);
}

INSTANTIATE_TEST_SUITE_P(
    WordClass, ClassFits,
    ::testing::Values(
        FitCase{"CountingWord", 0, u"ひとつ", u"一つ", 1},
        FitCase{"KouWithoutKanji", 0, u"こう", u"", 1},
        FitCase{"AruWrittenAsIs", 0, u"ある", u"或る", 1},
        FitCase{"KouWrittenAsIs", 0, u"こう", u"斯う", 1},
        FitCase{"StartsWithN", 0, u"んだ", u"", 1},
        FitCase{"KaeruIsGodan", 0x800, u"かえる", u"帰る", 0},
        FitCase{"KaeruIsNoIchidan", 0x80, u"かえる", u"帰る", 1},
        FitCase{"ShiruIsGodan", 0x800, u"しる", u"知る", 0},
        FitCase{"TaberuIsIchidan", 0x80, u"たべる", u"食べる", 0},
        FitCase{"KudasaruIsHonorific", 0x4000, u"くださる", u"下さる", 0},
        FitCase{"KudasaruIsNoGodanRu", 0x800, u"くださる", u"下さる", 1},
        FitCase{"SuruCompound", 0x40, u"べんきょうする", u"勉強する", 0},
        FitCase{"SuruCompoundIsNoIchidan", 0x80, u"べんきょうする", u"勉強する", 1},
        FitCase{"Iku", 0x2000, u"いく", u"行く", 0},
        FitCase{"KakuIsNoIku", 0x2000, u"かく", u"書く", 1},
        FitCase{"Adjective", 0x1, u"たかい", u"高い", 0},
        FitCase{"KanjiEndDiffers", 0x1, u"たかい", u"高", 1},
        FitCase{"NounEnding", 0, u"やま", u"山", 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IchidanCandidates, ExceptTheListedGodanVerbs) {
    EXPECT_EQ(IsNotIchidanVerb(u"たべる", u"食べる"), 0);
    EXPECT_EQ(IsNotIchidanVerb(u"いる", u"入る"), 1);
    EXPECT_EQ(IsNotIchidanVerb(u"いる", u"居る"), 0);   // the same reading, another verb
    EXPECT_EQ(IsNotIchidanVerb(u"いる", u""), 1);       // kana only: the reading decides
    EXPECT_EQ(IsNotIchidanVerb(u"わかる", u"分かる"), 1);  // -aru is no candidate
    EXPECT_EQ(GodanRuExceptionTable().size(), 34u);
}

}  // namespace
}  // namespace ostrel::japanese
