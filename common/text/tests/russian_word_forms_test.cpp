#include "common/text/russian_word_forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Answer {
    int32_t result;
    std::u16string form;
};

Answer Inflect(int32_t kind, int32_t variant, const char16_t* word, int32_t size = 64) {
    std::vector<char16_t> out(static_cast<size_t>(size > 0 ? size : 1), u'#');
    uint32_t length = 999;
    int32_t r = InflectRussianWord(kind, variant, word, out.data(), &length, size);
    if (r == 0) return {0, u""};
    EXPECT_EQ(out[length], 0);
    return {r, std::u16string(out.data(), length)};
}

// Every variant of a form, as the callers walk them: 0, 1, ... while the answer is 2.
std::vector<std::u16string> AllVariants(int32_t kind, const char16_t* word) {
    std::vector<std::u16string> forms;
    for (int32_t n = 0; n < 20; ++n) {
        Answer a = Inflect(kind, n, word);
        if (a.result == 0) break;
        forms.push_back(a.form);
        if (a.result != kRussianMoreVariants) break;
    }
    return forms;
}

using Forms = std::vector<std::u16string>;

TEST(InflectRussianWord, GenitiveOfRybaIsRyby) {
    Answer a = Inflect(kRussianGenitiveSingular, 0, u"рыба");
    EXPECT_EQ(a.result, kRussianLastVariant);
    EXPECT_EQ(a.form, u"рыбы");
}

TEST(InflectRussianWord, ShortFormOfSiniyHasTwoVariants) {
    Answer first = Inflect(kRussianShortAdjective, 0, u"синий");
    EXPECT_EQ(first.result, kRussianMoreVariants);
    EXPECT_EQ(first.form, u"сино");
    Answer second = Inflect(kRussianShortAdjective, 1, u"синий");
    EXPECT_EQ(second.result, kRussianLastVariant);
    EXPECT_EQ(second.form, u"сине");
    EXPECT_EQ(Inflect(kRussianShortAdjective, 2, u"синий").result, 0);
}

struct Paradigm {
    const char16_t* word;
    std::vector<Forms> forms;   // kinds 1..11
};

class InflectRussianNoun : public testing::TestWithParam<Paradigm> {};

TEST_P(InflectRussianNoun, GivesEveryCaseForm) {
    const Paradigm& p = GetParam();
    for (int32_t kind = 1; kind <= 11; ++kind)
        EXPECT_EQ(AllVariants(kind, p.word), p.forms[static_cast<size_t>(kind - 1)]) << "kind " << kind;
}

INSTANTIATE_TEST_SUITE_P(
    TableRows, InflectRussianNoun,
    testing::Values(
        Paradigm{u"рыба",
                 {{u"рыбы"}, {u"рыб"}, {u"рыбы"}, {u"рыбой"}, {u"рыбами"}, {u"рыбе"}, {u"рыбам"},
                  {u"рыбу"}, {u"рыб"}, {u"рыбе"}, {u"рыбах"}}},
        Paradigm{u"здание",
                 {{u"здания"}, {u"зданий"}, {u"здания"}, {u"зданием"}, {u"зданиями"}, {u"зданию"},
                  {u"зданиям"}, {}, {u"здания"}, {u"здании"}, {u"зданиях"}}},
        Paradigm{u"голубь",
                 {{u"голуби", u"голубя"},
                  {u"голуби", u"голубей"},
                  {u"голуби"},
                  {u"голубем", u"голубью"},
                  {u"голубями", u"голубинами"},
                  {u"голуби", u"голубю"},
                  {u"голубям"},
                  {u"голубя"},
                  {u"голуби", u"голубей"},
                  {u"голуби", u"голубе"},
                  {}}},
        Paradigm{u"стол",
                 {{u"стола"}, {u"столов"}, {u"столы"}, {u"столом"}, {u"столами"}, {u"столу"},
                  {u"столам"}, {u"стола"}, {u"столов", u"столы"}, {u"столе"}, {u"столах"}}},
        Paradigm{u"ночь",
                 {{u"ночи"}, {u"ночей"}, {u"ночи"}, {u"ночью"}, {u"ночами"}, {u"ночи"}, {u"ночам"},
                  {}, {u"ночи"}, {u"ночи"}, {u"ночах"}}},
        Paradigm{u"время",
                 {{u"времени"}, {u"времен"}, {u"времена"}, {u"временем"}, {u"временами"},
                  {u"времени"}, {u"временам"}, {}, {u"времена"}, {u"времени"}, {u"временах"}}}));

TEST(InflectRussianWord, LongestEndingWins) {
    EXPECT_EQ(AllVariants(kRussianGenitiveSingular, u"отец"), (Forms{u"отца"}));           // -тец over -ец
    EXPECT_EQ(AllVariants(kRussianGenitivePlural, u"ручка"), (Forms{u"ручек"}));          // -чка over -ка
    EXPECT_EQ(AllVariants(kRussianGenitivePlural, u"рука"), (Forms{u"рук", u"руок"}));   // -ка: the fleeting о fits доска
    EXPECT_EQ(AllVariants(kRussianGenitiveSingular, u"японец"), (Forms{u"японца"}));
}

TEST(InflectRussianWord, WritesYoAsYe) {
    EXPECT_EQ(AllVariants(kRussianGenitivePlural, u"котёнок"), (Forms{u"котенков", u"котят"}));
    EXPECT_EQ(AllVariants(kRussianInstrumentalSingular, u"копьё"), (Forms{u"копьем"}));
}

TEST(InflectRussianWord, AdjectiveForms) {
    EXPECT_EQ(AllVariants(kRussianFeminineAdjective, u"синий"), (Forms{u"синяя"}));
    EXPECT_EQ(AllVariants(kRussianNeuterAdjective, u"синий"), (Forms{u"синее"}));
    EXPECT_EQ(AllVariants(kRussianFeminineAdjective, u"большой"), (Forms{u"большая"}));
    EXPECT_EQ(AllVariants(kRussianNeuterAdjective, u"красный"), (Forms{u"красное"}));
    EXPECT_EQ(AllVariants(kRussianShortAdjective, u"красный"), (Forms{u"красно"}));
    EXPECT_EQ(AllVariants(kRussianFeminineAdjective, u"стол"), Forms{});
    // Hard and hushing stems keep their letters: no "русскяя" or "хорошяя".
    EXPECT_EQ(AllVariants(kRussianFeminineAdjective, u"русский"), (Forms{u"русская"}));
    EXPECT_EQ(AllVariants(kRussianNeuterAdjective, u"хороший"), (Forms{u"хорошее"}));
    EXPECT_EQ(AllVariants(kRussianShortAdjective, u"хороший"), (Forms{u"хорошо", u"хороше"}));
}

struct AspectCase {
    int32_t kind;
    const char16_t* word;
    Forms partners;
};

class InflectRussianVerb : public testing::TestWithParam<AspectCase> {};

TEST_P(InflectRussianVerb, GivesTheAspectPartner) {
    EXPECT_EQ(AllVariants(GetParam().kind, GetParam().word), GetParam().partners);
}

INSTANTIATE_TEST_SUITE_P(
    TableRows, InflectRussianVerb,
    testing::Values(
        // A dotted ending replaces the end after a prefix; others are whole words.
        AspectCase{kRussianPerfectivePartner, u"выгребать", {u"выгрести"}},
        AspectCase{kRussianPerfectivePartner, u"погибать", {u"погибнуть"}},
        AspectCase{kRussianPerfectivePartner, u"сгибать", {u"сгнуть", u"согнуть"}},
        AspectCase{kRussianPerfectivePartner, u"делать", {u"сделать"}},
        AspectCase{kRussianPerfectivePartner, u"переписывать", {u"переписать"}},
        AspectCase{kRussianPerfectivePartner, u"рассказывать", {u"рассказать"}},
        AspectCase{kRussianPerfectivePartner, u"спрашивать", {u"спросить"}},
        AspectCase{kRussianPerfectivePartner, u"останавливать", {u"остановить"}},
        AspectCase{kRussianPerfectivePartner, u"начинать", {u"начать"}},
        AspectCase{kRussianPerfectivePartner, u"приходить", {u"прийти"}},
        AspectCase{kRussianImperfectivePartner, u"везти", {u"возить"}},
        AspectCase{kRussianImperfectivePartner, u"прийти", {u"приходить"}},
        AspectCase{kRussianImperfectivePartner, u"выйти", {u"выходить"}},
        AspectCase{kRussianImperfectivePartner, u"войти", {u"входить"}},
        AspectCase{kRussianImperfectivePartner, u"запрячь", {u"запрягать"}},
        AspectCase{kRussianImperfectivePartner, u"переписать", {u"переписывать"}},
        AspectCase{kRussianImperfectivePartner, u"выполнить", {u"выполнять"}},
        AspectCase{kRussianImperfectivePartner, u"представить", {u"представлять"}},
        AspectCase{kRussianImperfectivePartner, u"понять", {u"понимать"}},
        AspectCase{kRussianImperfectivePartner, u"отдохнуть", {u"отдыхать"}},
        AspectCase{kRussianImperfectivePartner, u"взять", {u"брать"}},
        // Reflexive verbs keep ся, or сь after ти.
        AspectCase{kRussianImperfectivePartner, u"вернуться", {u"возвращаться"}},
        AspectCase{kRussianImperfectivePartner, u"унестись", {u"уноситься"}},
        AspectCase{kRussianPerfectivePartner, u"уноситься", {u"унестись"}},
        AspectCase{kRussianPerfectivePartner, u"просыпаться", {u"проснуться"}},
        // "погибать" is a whole-word row: it does not match inside a longer word.
        AspectCase{kRussianImperfectivePartner, u"ть", {}}));

TEST(InflectRussianWord, RefusesWhatItCannotInflect) {
    EXPECT_EQ(Inflect(0, 0, u"рыба").result, 0);
    EXPECT_EQ(Inflect(17, 0, u"рыба").result, 0);
    EXPECT_EQ(Inflect(-1, 0, u"рыба").result, 0);
    EXPECT_EQ(Inflect(1, 0, u"да").result, 0);
    EXPECT_EQ(Inflect(1, 0, u"fish").result, 0);
    EXPECT_EQ(Inflect(1, 0, u"кенгуру").result, 0);   // у and ю have no rows
    EXPECT_EQ(Inflect(1, 0, u"каноэ").result, 0);
    EXPECT_EQ(Inflect(1, 0, u"рыбаі").result, 0);     // Cyrillic, but not Russian
    EXPECT_EQ(Inflect(1, 5, u"рыба").result, 0);      // no sixth variant
    uint32_t length = 0;
    char16_t out[16];
    EXPECT_EQ(InflectRussianWord(1, 0, nullptr, out, &length, 16), 0);
    EXPECT_EQ(InflectRussianWord(1, 0, u"рыба", nullptr, &length, 16), 0);
}

// The word's length + 8 must stay below the size; a form that would not fit
// with its terminator is refused rather than cut.
TEST(InflectRussianWord, SizeBoundsTheWordAndTheForm) {
    EXPECT_EQ(Inflect(1, 0, u"рыба", 13).result, 1);
    EXPECT_EQ(Inflect(1, 0, u"рыба", 12).result, 0);
    std::vector<char16_t> out(13, u'#');
    uint32_t length = 0;
    // "голубь" (6) + 8 < 15, and the longest form "голубинами" (10) fits in 15.
    EXPECT_EQ(InflectRussianWord(5, 1, u"голубь", out.data(), &length, 15), 1);
}

TEST(InflectRussianWord, LongWordsEndTheSearchQuickly) {
    std::u16string word(300, u'а');
    word += u"рыба";
    Answer a = Inflect(kRussianGenitiveSingular, 0, word.c_str(), 400);
    EXPECT_EQ(a.result, 1);
    EXPECT_EQ(a.form.size(), word.size());
}

TEST(LookupRussianIrregularForm, GivesOtherSpellingsOfLoanwords) {
    const std::pair<const char16_t*, const char16_t*> pairs[] = {
        {u"суши", u"суси"}, {u"суси", u"суши"}, {u"сашими", u"сасими"}, {u"мицубиши", u"мицубиси"}};
    for (auto [word, expected] : pairs) {
        char16_t out[32];
        uint32_t length = 0;
        EXPECT_GE(LookupRussianIrregularForm(0, word, out, &length, 32), 1);
        EXPECT_EQ(std::u16string(out, length), expected);
    }
}

TEST(LookupRussianIrregularForm, WalksVariantsAndRefusesUnknownWords) {
    char16_t out[32];
    uint32_t length = 0;
    std::vector<std::u16string> spellings;
    int32_t r = 2;
    for (int32_t n = 0; r == 2; ++n) {
        r = LookupRussianIrregularForm(n, u"сэнсэй", out, &length, 32);
        ASSERT_NE(r, 0);
        spellings.emplace_back(out, length);
    }
    EXPECT_NE(std::find(spellings.begin(), spellings.end(), u"сенсей"), spellings.end());
    EXPECT_EQ(LookupRussianIrregularForm(0, u"стол", out, &length, 32), 0);
    EXPECT_EQ(LookupRussianIrregularForm(9, u"суши", out, &length, 32), 0);
    EXPECT_EQ(LookupRussianIrregularForm(0, u"суши", out, &length, 4), 0);   // no room for 4 + 0
    EXPECT_EQ(LookupRussianIrregularForm(0, nullptr, out, &length, 32), 0);
}

struct ClassCase {
    const char16_t* word;
    int32_t wordClass;
};

class ClassifyRussianWordCase : public testing::TestWithParam<ClassCase> {};

TEST_P(ClassifyRussianWordCase, Classifies) {
    EXPECT_EQ(ClassifyRussianWord(GetParam().word), GetParam().wordClass);
}

// One word for each row of the table, in its order, and the ся rules.
INSTANTIATE_TEST_SUITE_P(
    EveryRow, ClassifyRussianWordCase,
    testing::Values(ClassCase{u"печь", 3}, ClassCase{u"испечь", 1}, ClassCase{u"речь", 0},
                    ClassCase{u"изречь", 1}, ClassCase{u"дичь", 0}, ClassCase{u"мелочь", 0},
                    ClassCase{u"сволочь", 0}, ClassCase{u"помочь", 1}, ClassCase{u"кровать", 0},
                    ClassCase{u"гать", 0}, ClassCase{u"мать", 0}, ClassCase{u"рать", 0},
                    ClassCase{u"печать", 0}, ClassCase{u"коготь", 0}, ClassCase{u"плоть", 0},
                    ClassCase{u"лапоть", 0}, ClassCase{u"копоть", 0}, ClassCase{u"смерть", 0},
                    ClassCase{u"жуть", 0}, ClassCase{u"путь", 0}, ClassCase{u"суть", 0},
                    ClassCase{u"память", 0}, ClassCase{u"пять", 0}, ClassCase{u"ять", 0},
                    ClassCase{u"зять", 0}, ClassCase{u"попасть", 1}, ClassCase{u"напасть", 3},
                    ClassCase{u"есть", 1}, ClassCase{u"сесть", 1}, ClassCase{u"предпочесть", 1},
                    ClassCase{u"надоесть", 1}, ClassCase{u"съесть", 1}, ClassCase{u"честь", 3},
                    ClassCase{u"украсть", 3}, ClassCase{u"прясть", 1}, ClassCase{u"кость", 0},
                    ClassCase{u"делать", 1}, ClassCase{u"идти", 1}, ClassCase{u"ползти", 1},
                    ClassCase{u"зайти", 1}, ClassCase{u"грести", 1}, ClassCase{u"нести", 3},
                    ClassCase{u"нестись", 1}, ClassCase{u"стол", 0},
                    // ся: a verb becomes reflexive; two ся or a short word is no verb.
                    ClassCase{u"учиться", 2}, ClassCase{u"печься", 3}, ClassCase{u"мыться", 2},
                    ClassCase{u"ассяся", 0}, ClassCase{u"ть", 0}, ClassCase{u"путься", 0}));

TEST(ClassifyRussianWord, NullIsNoVerb) { EXPECT_EQ(ClassifyRussianWord(nullptr), 0); }

}  // namespace
