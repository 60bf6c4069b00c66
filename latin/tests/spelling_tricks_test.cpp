// The retries of unknown words: Roman numerals (against python3-roman's
// numerals), letter variants, syncope, tricks and two-word splits.
#include "analysis_fixture.h"

#include <fstream>

#include "latin/latin_options.h"
#include "latin/spelling_tricks.h"

namespace {

using SpellingTricks = LatinAnalysisTest;

TEST(RomanNumerals, EveryNumeralOfAnIndependentWriterReadsBack) {
    std::ifstream in(LatinDataFolder() + "/roman_numerals.txt");
    int value = 0, count = 0;
    std::string numeral;
    while (in >> value >> numeral) {
        ASSERT_EQ(ParseRomanNumeral(numeral.c_str()), value) << numeral;
        ++count;
    }
    EXPECT_EQ(count, 3999);
}

TEST(RomanNumerals, FormsTheReaderAcceptsOrRefuses) {
    EXPECT_EQ(ParseRomanNumeral("IX"), 9);
    EXPECT_EQ(ParseRomanNumeral("ix"), 9);
    EXPECT_EQ(ParseRomanNumeral("MCMXC"), 1990);
    // Four in a row are accepted here, though the library above writes IV.
    EXPECT_EQ(ParseRomanNumeral("IIII"), 4);
    EXPECT_EQ(ParseRomanNumeral("XXXX"), 40);
    for (const char* bad : {"IIIII", "XXXXX", "IIX", "VIV", "IC", "VV", "MCMC", "XM", ""})
        EXPECT_EQ(ParseRomanNumeral(bad), 0) << bad;
    EXPECT_TRUE(IsRomanLetters("mild"));
    EXPECT_FALSE(IsRomanLetters("milo"));
}

TEST_F(SpellingTricks, NumeralsAndIllFormedNumerals) {
    auto ix = Records("IX");
    ASSERT_EQ(ix.size(), 1u);
    EXPECT_EQ(ix[0].kind, RESULT_ROMAN);
    EXPECT_EQ(ix[0].inflection.fields[F_NUMERAL_SORT], NUMERAL_CARD);
    EXPECT_STREQ(g_word.notes[RESULT_ROMAN], "9  as a ROMAN NUMERAL;");
    auto five = Records("IIIII");
    ASSERT_EQ(five.size(), 1u);
    EXPECT_EQ(five[0].kind, RESULT_ROMAN);
    EXPECT_STREQ(g_word.notes[RESULT_ROMAN], "5  as ill-formed ROMAN NUMERAL?;");
    Records("XXXXX");
    EXPECT_STREQ(g_word.notes[RESULT_ROMAN], "50  as ill-formed ROMAN NUMERAL?;");
    // Kept as specified: an unknown word of Roman letters ends as a numeral.
    auto mild = Records("mild");
    ASSERT_EQ(mild.size(), 1u);
    EXPECT_EQ(mild[0].kind, RESULT_ROMAN);
}

TEST_F(SpellingTricks, InternalSwapsAnywhereInTheWord) {
    auto ecus = Records("ecus");
    ASSERT_GE(ecus.size(), 2u);
    EXPECT_EQ(ecus[0].kind, RESULT_TRICK);
    EXPECT_STREQ(ecus[0].stem, "Word mod cu/quu");
    EXPECT_TRUE(Has(ecus, IdOf("equ", "N      2 1"), POS_N));
    EXPECT_STREQ(g_word.notes[RESULT_TRICK], "An internal 'cu' might be rendered by 'quu'");
}

TEST_F(SpellingTricks, MedievalSpellingsOfOeAndH) {
    // pena is poena's e for oe, which comes before the doubled consonant
    // that once made it penna; michi is mihi's ch for h.
    auto pena = Records("pena");
    ASSERT_GE(pena.size(), 2u);
    EXPECT_STREQ(pena[0].stem, "Word mod e/oe");
    EXPECT_TRUE(Has(pena, IdOf("poen", "N      1 1"), POS_N));
    EXPECT_STREQ(g_word.notes[RESULT_TRICK], "An internal 'e' might be rendered by 'oe'");
    auto michi = Records("michi");
    ASSERT_GE(michi.size(), 2u);
    EXPECT_STREQ(michi[0].stem, "Word mod ch/h");
    EXPECT_TRUE(Has(michi, IdOf("eg", "PRON"), POS_PRON));
}

TEST_F(SpellingTricks, AssimilatedPrefixBothWays) {
    const uint32_t illustris = IdOf("illustr", "ADJ");
    auto inl = Records("inlustris");
    ASSERT_FALSE(inl.empty());
    EXPECT_STREQ(inl[0].stem, "Slur in/i~");
    EXPECT_TRUE(Has(inl, illustris, POS_ADJ));
    // Spelled with in- in the dictionary, illustris finds it the other way.
    host.entries[illustris - 1].replace(0, 7, "inlustr").replace(19, 7, "inlustr");   // same lengths
    host.BuildStemIndex();
    auto ill = Records("illustris");
    ASSERT_FALSE(ill.empty());
    EXPECT_STREQ(ill[0].stem, "Slur i/in~");
    EXPECT_TRUE(Has(ill, illustris, POS_ADJ));
}

TEST_F(SpellingTricks, SyncopeRestoresPerfectsOnly) {
    auto amasti = Records("amasti");
    ASSERT_GE(amasti.size(), 2u);
    EXPECT_EQ(amasti[0].kind, RESULT_SYNCOPE);
    EXPECT_STREQ(amasti[0].stem, "Syncope   s => vis");
    EXPECT_EQ(amasti.back().inflection.stemKey, 3);
    EXPECT_TRUE(Has(Records("audierunt"), IdOf("audi", "V      3 4"), POS_V));
    // A syncope retry that finds no perfect leaves nothing behind.
    auto results = NewResultList();
    g_budget = WordBudget{};
    TrySyncope("rosis", *results);
    EXPECT_EQ(results->Count(), 0);
}

TEST_F(SpellingTricks, TwoWordsSplitFromTheSecondLetter) {
    // "etnon": five letters, so only "et" + "non" is tried.
    auto split = Records("etnon");
    ASSERT_GE(split.size(), 3u);
    EXPECT_STREQ(split[0].stem, "2 words");
    EXPECT_STREQ(g_word.notes[RESULT_TRICK], "May be 2 words combined (et+non). If not obvious, probably incorrect");
    // Two numerals make a compound number, and only NUM readings stay.
    auto number = Records("decemtres");
    ASSERT_FALSE(number.empty());
    EXPECT_STREQ(g_word.notes[RESULT_TRICK], "It is very likely a compound number    decem + tres");
    for (const ParseRecord& r : number) {
        if (r.kind == RESULT_ENTRY) {
            EXPECT_EQ(r.inflection.partOfSpeech, POS_NUM);
        }
    }
}

TEST_F(SpellingTricks, LetterVariantsOfPrefixes) {
    // An entry spelled imb-: the text's inb- is tried as imb- before any prefix.
    const std::string codes = host.entries[IdOf("bib", "V      3 1") - 1].substr(76);
    char line[300];
    snprintf(line, sizeof line, "%-18s %-18s %-18s %-18s %s", "imbib", "imbib", "imbib", "imbibit", codes.c_str());
    host.entries.push_back(line);
    host.BuildStemIndex();
    auto variant = Records("inbibit");
    ASSERT_FALSE(variant.empty());
    EXPECT_EQ(variant[0].kind, RESULT_TRICK);
    EXPECT_STREQ(variant[0].stem, "Word mod inb/imb");
    EXPECT_TRUE(Has(variant, static_cast<uint32_t>(host.entries.size()), POS_V));
}

// One word for each rule kind, retried into a word of the list: the tag in
// front of the results and the entry found.
TEST_F(SpellingTricks, EachRuleFindsItsWord) {
    struct Case {
        const char* word;
        const char* tag;
        const char* stem;
        const char* codes;
        int partOfSpeech;
    };
    const Case cases[] = {
        {"kaput", "Word mod k/c", "caput", "N      3 1", POS_N},            // an initial letter, one way
        {"hamor", "Word mod ham/am", "amor", "N      3 1", POS_N},          // an initial syllable, one way
        {"luber", "Word mod lub/lib", "liber", "N      2 3", POS_N},        // either way, first direction
        {"audii", "Syncope  ii => ivi", "audi", "V      3 4", POS_V},        // syncope rule 1
        {"amarunt", "Syncope   r => v.r", "am", "V      1 1", POS_V},        // syncope rule 3
        {"dixti", "Syncope s/x => +is", "dic", "V      3 1", POS_V},        // syncope rule 5
        {"mitit", "Word mod t -> tt", "mitt", "V      3 1", POS_V},         // a doubled consonant
    };
    for (const Case& c : cases) {
        const auto records = Records(c.word);
        ASSERT_FALSE(records.empty()) << c.word;
        EXPECT_STREQ(records[0].stem, c.tag) << c.word;
        const uint32_t id = IdOf(c.stem, c.codes);
        ASSERT_NE(id, 0u) << c.stem;
        EXPECT_TRUE(Has(records, id, c.partOfSpeech)) << c.word;
    }
}

TEST_F(SpellingTricks, HostileWordsStayWithinTheBudget) {
    for (std::string word : {std::string(20, 'i'), std::string(255, 'a'), std::string(60, 'x') + "que",
                             std::string("iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiis")}) {
        auto words = Analyse(word.c_str());
        ASSERT_EQ(words.size(), 1u);
        EXPECT_LE(g_budget.steps, kWordStepBudget);
    }
}

}  // namespace
