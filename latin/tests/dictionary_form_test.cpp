// The dictionary form of every class of entry: a golden table written from
// the declension and conjugation tables (stems pa, pb, pc, pd show which
// stem each part takes), the worked examples, and the text form with codes.
#include <gtest/gtest.h>

#include <string>

#include "latin/dictionary_form.h"

namespace {

struct FormCase {
    const char* stems;     // up to four, blank-separated ("-" for empty)
    PartEntry part;
    const char* expected;
};

DictionaryEntry Entry(const char* stems, const PartEntry& part) {
    DictionaryEntry entry;
    std::string text = stems;
    for (int i = 0, at = 0; i < 4 && at < static_cast<int>(text.size()); ++i) {
        size_t end = text.find(' ', at);
        if (end == std::string::npos) end = text.size();
        std::string stem = text.substr(at, end - at);
        if (stem != "-") snprintf(entry.stems[i], sizeof entry.stems[i], "%s", stem.c_str());
        at = static_cast<int>(end) + 1;
    }
    entry.part = part;
    return entry;
}

std::string Form(const char* stems, const PartEntry& part) {
    char out[kDictionaryFormSize];
    MakeDictionaryForm(out, Entry(stems, part));
    return out;
}

constexpr const char* kTwo = "pa pb";
constexpr const char* kFour = "pa pb pc pd";

const FormCase kNouns[] = {
    {kTwo, {POS_N, 1, 1, GENDER_F}, "paa, pbae  N   (1st) F"},
    {kTwo, {POS_N, 1, 6, GENDER_F}, "pae, pbes  N   F"},
    {kTwo, {POS_N, 1, 7, GENDER_M}, "paes, pbae  N   M"},
    {kTwo, {POS_N, 1, 8, GENDER_M}, "paas, pbae  N   M"},
    {kTwo, {POS_N, 1, 2, GENDER_F}, "N   (1st) F"},
    {kTwo, {POS_N, 2, 1, GENDER_M}, "paus, pbi  N   (2nd) M"},
    {kTwo, {POS_N, 2, 9, GENDER_M}, "paus, pbi  N   M"},
    {"d zzz", {POS_N, 2, 9, GENDER_M}, "deus, dei  N   M"},  // deus's plural on d- (di, dis)
    {kTwo, {POS_N, 2, 2, GENDER_N}, "paum, pbi  N   (2nd) N"},
    {kTwo, {POS_N, 2, 3, GENDER_M}, "pa, pbi  N   (2nd) M"},
    {kTwo, {POS_N, 2, 4, GENDER_M}, "paus, pb(i)  N   (2nd) M"},
    {kTwo, {POS_N, 2, 4, GENDER_N}, "paum, pb(i)  N   (2nd) N"},
    {kTwo, {POS_N, 2, 5, GENDER_M}, "paus, pb  N   (2nd) M"},
    {kTwo, {POS_N, 2, 6, GENDER_M}, "paos, pbi  N   M"},
    {kTwo, {POS_N, 2, 7, GENDER_M}, "paos, pbi  N   M"},
    {kTwo, {POS_N, 2, 8, GENDER_N}, "paon, pbi  N   N"},
    {kTwo, {POS_N, 3, 1, GENDER_C}, "pa, pbis  N   (3rd) C"},
    {kTwo, {POS_N, 3, 3, GENDER_F}, "pa, pbis  N   (3rd) F"},
    {kTwo, {POS_N, 3, 7, GENDER_M}, "pa, pbos/is  N   M"},
    {kTwo, {POS_N, 3, 9, GENDER_M}, "pa, pbos/is  N   M"},
    {kTwo, {POS_N, 4, 1, GENDER_M}, "paus, pbus  N   (4th) M"},
    {kTwo, {POS_N, 4, 2, GENDER_N}, "pau, pbus  N   (4th) N"},
    {kTwo, {POS_N, 4, 3, GENDER_F}, "paus, pbu  N   (4th) F"},
    {kTwo, {POS_N, 5, 1, GENDER_F}, "paes, pbei  N   (5th) F"},
    {kTwo, {POS_N, 5, 7, GENDER_M}, "paes, pbei  N   M"},
    {"pa", {POS_N, 9, 8, GENDER_M}, "pa., abb.  N   M"},
    {"pa", {POS_N, 9, 9, GENDER_N}, "pa, undeclined  N   N"},
    {kTwo, {POS_N, 6, 1, GENDER_F}, "N   F"},
};

const FormCase kPronounsAndAdjectives[] = {
    // The relative and the interrogative by their own names (qui, quae, quod;
    // quis, quid), the personal pronouns by nominative and genitive, the
    // reflexive by se, sui, uterque by its three genders with -que behind
    // the ending; a declension without a table has no form.
    {kTwo, {POS_PRON, 1, 1, PRONOUN_REL}, "pai, paae, paod  PRON"},
    {kTwo, {POS_PRON, 1, 2, PRONOUN_INTERR}, "pais, paid  PRON"},
    {kTwo, {POS_PRON, 1, 2, PRONOUN_INDEF}, "pais, paid  PRON"},
    {kTwo, {POS_PRON, 5, 1, PRONOUN_PERS}, "pao, pbei  PRON"},
    {kTwo, {POS_PRON, 5, 2, PRONOUN_PERS}, "pau, paui  PRON"},
    {kTwo, {POS_PRON, 5, 3, PRONOUN_PERS}, "paos  PRON"},
    {kTwo, {POS_PRON, 5, 4, PRONOUN_REFLEX}, "pae, paui  PRON"},
    {kTwo, {POS_PRON, 2, 1, PRONOUN_X}, ""},
    {kTwo, {POS_PRON, 3, 1, 4}, "paic, paaec, paoc  PRON"},
    {kTwo, {POS_PRON, 3, 2, 4}, "paic, paaec, pauc  PRON"},
    {kTwo, {POS_PRON, 4, 1, 4}, "pas, pba, pad  PRON"},
    {kTwo, {POS_PRON, 4, 2, 4}, "padem, pbadem, padem  PRON"},
    {kTwo, {POS_PRON, 4, 3, PRONOUN_ADJECT}, "paque, pbaque, pbumque  PRON"},
    {kTwo, {POS_PRON, 4, 4, 4}, ""},
    {kTwo, {POS_PRON, 6, 1, 4}, "pae, paa, paud  PRON"},
    {kTwo, {POS_PRON, 6, 2, 4}, "pae, paa, paum  PRON"},
    {kTwo, {POS_PRON, 9, 9, 0}, "pa, undeclined  PRON"},
    {"pa", {POS_ADJ, 0, 0, COMP_COMP}, "paor, paor, paus  ADJ"},
    {"pa", {POS_ADJ, 0, 0, COMP_SUPER}, "pamus, pama, pamum  ADJ"},
    {kFour, {POS_ADJ, 1, 1, COMP_X}, "paus, pba -um, pcor -or -us, pdmus -a -um  ADJ"},
    {kFour, {POS_ADJ, 1, 2, COMP_X}, "pa, pba -um, pcor -or -us, pdmus -a -um  ADJ"},
    {kFour, {POS_ADJ, 3, 1, COMP_X}, "pa, pbis (gen.), pcor -or -us, pdmus -a -um  ADJ"},
    {kFour, {POS_ADJ, 3, 2, COMP_X}, "pais, pbe, pcor -or -us, pdmus -a -um  ADJ"},
    {kFour, {POS_ADJ, 3, 3, COMP_X}, "pa, pbis -e, pcor -or -us, pdmus -a -um  ADJ"},
    {kFour, {POS_ADJ, 9, 9, COMP_X}, "pa, undeclined, pcor -or -us, pdmus -a -um  ADJ"},
    {kFour, {POS_ADJ, 2, 1, COMP_X}, ""},
    {kTwo, {POS_ADJ, 1, 1, COMP_POS}, "paus, pba, pbum  ADJ"},
    {kTwo, {POS_ADJ, 1, 2, COMP_POS}, "pa, pba, pbum  ADJ"},
    {kTwo, {POS_ADJ, 1, 3, COMP_POS}, "paus, pba, pbum (gen -ius)  ADJ"},
    {kTwo, {POS_ADJ, 1, 4, COMP_POS}, "pa, pba, pbum  ADJ"},
    {kTwo, {POS_ADJ, 1, 5, COMP_POS}, "paus, pba, pbud  ADJ"},
    {kTwo, {POS_ADJ, 4, 1, COMP_POS}, "paique, pbaeque, pbaque  ADJ"},  // plerique
    {kTwo, {POS_ADJ, 1, 6, COMP_POS}, ""},
    {kTwo, {POS_ADJ, 2, 1, COMP_POS}, "-, pae, -  ADJ"},
    {kTwo, {POS_ADJ, 2, 2, COMP_POS}, "-, a, -  ADJ"},
    {kTwo, {POS_ADJ, 2, 3, COMP_POS}, "paes, paes, paes  ADJ"},
    {kTwo, {POS_ADJ, 2, 6, COMP_POS}, "paos, paos, -  ADJ"},
    {kTwo, {POS_ADJ, 2, 7, COMP_POS}, "paos, -, -  ADJ"},
    {kTwo, {POS_ADJ, 2, 8, COMP_POS}, "-, -, pbon  ADJ"},
    {kTwo, {POS_ADJ, 2, 4, COMP_POS}, ""},
    {kTwo, {POS_ADJ, 3, 1, COMP_POS}, "pa, pbis (gen.)  ADJ"},
    {kTwo, {POS_ADJ, 3, 2, COMP_POS}, "pais, pbis, pbe  ADJ"},
    {kTwo, {POS_ADJ, 3, 3, COMP_POS}, "pa, pbis, pbe  ADJ"},
    {kTwo, {POS_ADJ, 3, 6, COMP_POS}, "pa, pbos (gen.)  ADJ"},
    {kTwo, {POS_ADJ, 3, 4, COMP_POS}, ""},
    {kTwo, {POS_ADJ, 9, 9, COMP_POS}, "pa, undeclined  ADJ"},
    {kTwo, {POS_ADJ, 4, 2, COMP_POS}, ""},
    {kTwo, {POS_ADJ, 1, 1, 5}, ""},
};

const FormCase kNumeralsAndOthers[] = {
    {kFour, {POS_NUM, 1, 1, NUMERAL_X, 1}, "paus -a -um, pbus -a -um, pci -ae -a, pd  NUM"},
    {kFour, {POS_NUM, 1, 2, NUMERAL_X, 2}, "pao -ae o, pbus -a -um, pci -ae -a, pd  NUM"},
    {kFour, {POS_NUM, 1, 3, NUMERAL_X, 3}, "paes -es -ia, pbus -a -um, pci -ae -a, pd  NUM"},
    {kFour, {POS_NUM, 1, 4, NUMERAL_X, 200}, "pai -ae -a, pbus -a -um, pci -ae -a, pdie(n)s  NUM"},
    {kFour, {POS_NUM, 2, 0, NUMERAL_X, 5}, "pa, pbus -a -um, pci -ae -a, pdie(n)s  NUM"},
    {kTwo, {POS_NUM, 1, 1, NUMERAL_CARD, 1}, "paus, paa, paum  NUM"},
    {kTwo, {POS_NUM, 1, 2, NUMERAL_CARD, 2}, "pao, paae, pao  NUM"},
    {kTwo, {POS_NUM, 1, 3, NUMERAL_CARD, 3}, "paes, paes, paia  NUM"},
    {kTwo, {POS_NUM, 1, 4, NUMERAL_CARD, 200}, "pai, paae, paa  NUM"},
    {kTwo, {POS_NUM, 2, 0, NUMERAL_CARD, 4}, "pa  NUM"},
    {kTwo, {POS_NUM, 0, 0, NUMERAL_ORD, 4}, "paus, paa, paum  NUM"},
    {kTwo, {POS_NUM, 0, 0, NUMERAL_DIST, 4}, "pai, paae, paa  NUM"},
    {kTwo, {POS_NUM, 0, 0, NUMERAL_ADVERB, 4}, "pa  NUM"},
    {"pa", {POS_NUM, 2, 0, NUMERAL_CARD, 4}, "pa  NUM"},
    {"pa pb pc", {POS_ADV, 0}, "pa, pb, pc  ADV"},
    {kTwo, {POS_ADV, COMP_POS}, "pa  ADV"},
    {"pa", {POS_CONJ}, "pa  CONJ"},
    {kTwo, {POS_INTERJ}, "pa  INTERJ"},
    {"pa", {POS_PREP, CASE_ABL}, "pa  PREP  ABL"},
    {"pa", {POS_PREP, CASE_ACC}, "pa  PREP  ACC"},
};

const FormCase kVerbs[] = {
    {kFour, {POS_V, 1, 1, VERB_X}, "pao, pbare, pci, pdus  V   (1st)"},
    {kFour, {POS_V, 2, 1, VERB_TRANS}, "paeo, pbere, pci, pdus  V   (2nd) TRANS"},
    {kFour, {POS_V, 3, 1, VERB_INTRANS}, "pao, pbere, pci, pdus  V   (3rd) INTRANS"},
    {kFour, {POS_V, 3, 2, VERB_X}, "pao, pbre, pci, pdus  V"},
    {kFour, {POS_V, 3, 3, VERB_X}, "pao, pberi, pci, pdus  V"},
    {kFour, {POS_V, 3, 4, VERB_X}, "pao, pbire, pci, pdus  V   (3rd)"},
    {kFour, {POS_V, 5, 1, VERB_TO_BE}, "paum, pbesse, pci, pdurus  V"},
    {kFour, {POS_V, 5, 2, VERB_X}, "paum, pae, pci, pdus  V"},
    {kFour, {POS_V, 6, 1, VERB_X}, "pao, pbre, pci (ii), pdus  V"},
    {kFour, {POS_V, 6, 2, VERB_X}, "pao, pble, pci, pdus  V"},
    // The present of volo and malo on a stem of its own (vis, mavult).
    {"v zzz zzz zzz", {POS_V, 6, 3, VERB_X}, "volo, velle, volui, -   V"},
    {"mav zzz zzz zzz", {POS_V, 6, 3, VERB_X}, "malo, malle, malui, -   V"},
    {kFour, {POS_V, 7, 2, VERB_X}, "paam, pci, pdus  V"},
    {kFour, {POS_V, 7, 3, VERB_X}, "pao, pbse, pci, pdus  V"},
    {kFour, {POS_V, 4, 1, VERB_X}, "pao, pci, pdus  V"},
    {kFour, {POS_V, 8, 1, VERB_X}, "pao, pbare, additional, forms  V"},
    {kFour, {POS_V, 8, 2, VERB_X}, "pao, pbere, additional, forms  V"},
    {kFour, {POS_V, 8, 4, VERB_X}, "pao, pbire, additional, forms  V"},
    {kFour, {POS_V, 8, 5, VERB_X}, "pao, pbere, additional, forms  V"},
    {"pa", {POS_V, 9, 8, VERB_X}, "pa., abb.  V"},
    {"pa", {POS_V, 9, 9, VERB_X}, "pa, undeclined  V"},
    {kFour, {POS_V, 1, 1, VERB_DEP}, "paor, pbari, pdus sum  V   (1st) DEP"},
    {kFour, {POS_V, 2, 1, VERB_DEP}, "paeor, pberi, pdus sum  V   (2nd) DEP"},
    {kFour, {POS_V, 3, 1, VERB_DEP}, "paor, pbi, pdus sum  V   (3rd) DEP"},
    {kFour, {POS_V, 3, 4, VERB_DEP}, "paor, pbiri, pdus sum  V   (3rd) DEP"},
    {kFour, {POS_V, 5, 1, VERB_DEP}, ""},
    {kFour, {POS_V, 3, 1, VERB_PERFDEF}, "pci, pcisse, pdus  V   (3rd) PERFDEF"},
    {"zzz zzz pc pd", {POS_V, 1, 1, VERB_IMPERS}, "pcit, pcisse, pdus est  V   (1st) IMPERS"},
    {kFour, {POS_V, 1, 1, VERB_IMPERS}, "paat, pbare, pcit, pdus est  V   (1st) IMPERS"},
    {kFour, {POS_V, 2, 1, VERB_IMPERS}, "paet, pbere, pcit, pdus est  V   (2nd) IMPERS"},
    {kFour, {POS_V, 3, 1, VERB_IMPERS}, "pait, pbere, pcit, pdus est  V   (3rd) IMPERS"},
    {"pi pb pc pd", {POS_V, 3, 1, VERB_IMPERS}, "pit, pbere, pcit, pdus est  V   (3rd) IMPERS"},
    {kFour, {POS_V, 3, 2, VERB_IMPERS}, "pat, pbre, pcit, pdus est  V   IMPERS"},
    {kFour, {POS_V, 5, 1, VERB_IMPERS}, "paest, pbesse, pcit, pdus est  V   IMPERS"},
    {kFour, {POS_V, 7, 1, VERB_IMPERS}, "pat, pcit, pdus est  V   IMPERS"},
    {kFour, {POS_V, 4, 1, VERB_IMPERS}, "pcit, pdus est  V   IMPERS"},
    {"pa pb - pd", {POS_V, 2, 1, VERB_SEMIDEP}, "paeo, pbere, pdus sum  V   (2nd) SEMIDEP"},
    {kFour, {POS_V, 1, 1, VERB_GEN}, "pao, pbare, pci, pdus  V   (1st) GEN"},
    {kFour, {POS_V, 1, 1, VERB_DAT}, "pao, pbare, pci, pdus  V   (1st) DAT"},
    {kFour, {POS_V, 1, 1, VERB_ABL}, "pao, pbare, pci, pdus  V   (1st) ABL"},
    {kFour, {POS_V, 1, 1, VERB_TO_BEING}, "pao, pbare, pci, pdus  V   (1st)"},
    {"pa zzz pc pd", {POS_V, 1, 1, VERB_X}, "pao, - , pci, pdus  V   (1st)"},
    {"zzz pb pc zzz", {POS_V, 1, 1, VERB_X}, "- , pbare, pci, -   V   (1st)"},
};

void ExpectForms(const FormCase* cases, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        EXPECT_EQ(Form(cases[i].stems, cases[i].part), cases[i].expected)
            << "case " << i << ": " << EnumName(kPartOfSpeechCodes, cases[i].part.partOfSpeech) << " "
            << cases[i].part.first << " " << cases[i].part.variant << " " << cases[i].part.third;
    }
}

TEST(DictionaryForm, NounsByDeclensionAndVariant) { ExpectForms(kNouns, std::size(kNouns)); }
TEST(DictionaryForm, PronounsAndAdjectivesByClass) {
    ExpectForms(kPronounsAndAdjectives, std::size(kPronounsAndAdjectives));
}
TEST(DictionaryForm, NumeralsAdverbsAndParticles) {
    ExpectForms(kNumeralsAndOthers, std::size(kNumeralsAndOthers));
}
TEST(DictionaryForm, VerbsByConjugationVariantAndKind) { ExpectForms(kVerbs, std::size(kVerbs)); }

TEST(DictionaryForm, WorkedExamples) {
    EXPECT_EQ(Form("ros ros", {POS_N, 1, 1, GENDER_F}), "rosa, rosae  N   (1st) F");
    EXPECT_EQ(Form("am am amav amat", {POS_V, 1, 1, VERB_TRANS}), "amo, amare, amavi, amatus  V   (1st) TRANS");
    EXPECT_EQ(Form("ab", {POS_PREP, CASE_ABL}), "ab  PREP  ABL");
    EXPECT_EQ(Form("et", {POS_CONJ}), "et  CONJ");
    // A single stem gives the stem and the part of speech, whatever the tables say.
    EXPECT_EQ(Form("h", {POS_PRON, 3, 1, 4}), "h  PRON");
}

TEST(DictionaryForm, LongStemsStayWithinTheForm) {
    const char* longest = "abcdefghijklmnopqr abcdefghijklmnopqr abcdefghijklmnopqr abcdefghijklmnopqr";
    std::string form = Form(longest, {POS_NUM, 1, 4, NUMERAL_X, 1});
    EXPECT_LT(form.size(), static_cast<size_t>(kDictionaryFormSize));
    EXPECT_EQ(form.rfind("NUM"), form.size() - 3);
}

std::u16string Widen(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::string CodeLine(const char* s1, const char* s2, const char* codes, const char* letters,
                     const char* meaning) {
    char line[512];
    snprintf(line, sizeof line, "%-18s %-18s %-18s %-18s %-23s %-9s %s", s1, s2, "", "", codes, letters, meaning);
    return line;
}

std::u16string FormText(const std::u16string& line, int capacity = 300) {
    std::u16string out(capacity, u'\xffff');
    int n = MakeDictionaryFormText(out.data(), capacity, line.data(), static_cast<int>(line.size()));
    EXPECT_EQ(out[n], 0);
    return out.substr(0, n);
}

TEST(DictionaryFormText, AddsCodeLettersAgeAndFrequency) {
    std::u16string line = Widen(CodeLine("ros", "ros", "N      1 1 F X", "X X X A X", "rose"));
    EXPECT_EQ(FormText(line), u"rosa, rosae  N   (1st) F   [XXXAX]  ");
    line = Widen(CodeLine("ros", "ros", "N      1 1 F X", "A X X D X", "rose"));
    EXPECT_EQ(FormText(line), u"rosa, rosae  N   (1st) F   [AXXDX]    Archaic   lesser  ");
    line = Widen(CodeLine("ros", "ros", "N      1 1 F X", "X X X C X", "rose"));
    EXPECT_EQ(FormText(line), u"rosa, rosae  N   (1st) F   [XXXCX]  ");
    // Lower-case codes read as upper-case ones.
    line = Widen(CodeLine("ros", "ros", "n      1 1 f x", "x x x a x", "rose"));
    EXPECT_EQ(FormText(line), u"rosa, rosae  N   (1st) F   [XXXAX]  ");
    // The output buffer bounds the text.
    EXPECT_EQ(FormText(Widen(CodeLine("ros", "ros", "N      1 1 F X", "X X X A X", "rose")), 5), u"rosa");
}

TEST(DictionaryFormText, EmptyFormsAndOverlongLinesGiveNothing) {
    EXPECT_EQ(FormText(Widen(CodeLine("qu", "cu", "PRON   2 1 X", "X X X A X", "who"))), u"");
    std::u16string longLine(512, u'a');
    EXPECT_EQ(FormText(longLine), u"");
    // Whatever the system's code page, a unit beyond Latin-1 is a "?" and
    // Latin-1 letters are kept.
    std::u16string line = Widen(CodeLine("ros", "ros", "N      1 1 F X", "X X X A X", "rose"));
    line[1] = u'\x00f3';
    EXPECT_EQ(FormText(line).substr(0, 11), u"r\x00f3sa, rosae");
}

}  // namespace
