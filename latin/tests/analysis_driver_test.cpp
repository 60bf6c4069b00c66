// The driver: words cut from a line, their context, the order of tries and
// the options around them.
#include "analysis_fixture.h"

#include "latin/latin_options.h"

namespace {

using LatinDriver = LatinAnalysisTest;

TEST_F(LatinDriver, DoubleHyphenEndsTheLine) {
    auto words = Analyse("amo--amas");
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(words[0].text, "amo");
}

TEST_F(LatinDriver, HyphenSeparatesWhileAnEncliticJoins) {
    auto words = Analyse("rosa-que");
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[1].text, "que");
    auto joined = Records("rosaque");
    ASSERT_FALSE(joined.empty());
    EXPECT_EQ(joined[0].inflection.partOfSpeech, POS_TACKON);
    EXPECT_STREQ(joined[0].stem, "que");
    EXPECT_TRUE(Has(joined, IdOf("ros", "N      1 1 F"), POS_N));
}

TEST_F(LatinDriver, CapitalQVReadsAsQU) {
    auto words = Analyse("QVID qvid");
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].text, "QUID");
    EXPECT_EQ(words[1].text, "qvid");
    EXPECT_TRUE(Has(words[0].records, IdOf("qu", "PRON   1 2 INTERR"), POS_PRON));
}

TEST_F(LatinDriver, OnlyTheInitialWordWhenAsked) {
    g_developerOptions.Set(DO_ONLY_INITIAL_WORD, 1);
    auto words = Analyse("amo te");
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(words[0].text, "amo");
}

TEST_F(LatinDriver, WordContextFollowsCapitalsAndPeriods) {
    struct Seen : LatinWordOutput {
        void ListStems(const char*, ResultList&) override { contexts.push_back(g_word); }
        std::vector<WordContext> contexts;
    } seen;
    Translate(seen, "Roma. SPQR est");
    ASSERT_EQ(seen.contexts.size(), 3u);
    EXPECT_TRUE(seen.contexts[0].capitalised);
    EXPECT_TRUE(seen.contexts[0].endsAtPeriod);
    EXPECT_TRUE(seen.contexts[1].followsPeriod);
    EXPECT_TRUE(seen.contexts[1].allCapitals);
    EXPECT_FALSE(seen.contexts[1].capitalised);
    EXPECT_EQ(seen.contexts[2].wordNumber, 3);
}

TEST_F(LatinDriver, UnknownNamesGetNoTricksWhenAsked) {
    // "Ecus" is the trick ecus -> equus; a capitalised unknown word is left
    // alone under IGNORE_UNKNOWN_NAMES.
    EXPECT_FALSE(Records("Ecus").empty());
    g_wordOptions.Set(IGNORE_UNKNOWN_NAMES, 1);
    EXPECT_TRUE(Records("Ecus").empty());
    EXPECT_FALSE(Records("ecus").empty());
}

TEST_F(LatinDriver, FormsOfEsseAreNotTriedWithSyncope) {
    auto records = Records("est");
    ASSERT_FALSE(records.empty());
    for (const ParseRecord& r : records) EXPECT_NE(r.kind, RESULT_SYNCOPE);
    EXPECT_EQ(records[0].inflection.first, 5);
}

TEST_F(LatinDriver, FoundWordsNeverRunThePassWithFixes) {
    // "compono" is not in the word list; "pono" is: only the second pass finds it.
    auto prefixed = Records("compono");
    ASSERT_FALSE(prefixed.empty());
    EXPECT_EQ(prefixed[0].inflection.partOfSpeech, POS_PREFIX);
    auto plain = Records("pono");
    for (const ParseRecord& r : plain) EXPECT_NE(r.inflection.partOfSpeech, POS_PREFIX);
}

TEST_F(LatinDriver, OptionsAreTheSameAfterTranslate) {
    int32_t word[XParameters::kValueCount], developer[XParameters::kValueCount];
    g_wordOptions.SaveValues(word);
    g_developerOptions.SaveValues(developer);
    Analyse("amavisti rosaque Ecus compono xyzzy MCMXC quidam");
    for (int i = 0; i < XParameters::kValueCount; ++i) {
        EXPECT_EQ(g_wordOptions.GetValue(i), word[i]) << kWordOptionNames[i < kWordOptionCount ? i : 0];
        EXPECT_EQ(g_developerOptions.GetValue(i), developer[i]);
    }
}

TEST_F(LatinDriver, LineWithoutLettersWritesNothing) {
    EXPECT_TRUE(Analyse("  123 ,;  ").empty());
    EXPECT_TRUE(Analyse("").empty());
}

// Irregular forms the word list and the inflection table must both reach,
// each with the entry of its own lemma.
TEST_F(LatinDriver, IrregularFormsFindTheirLemmas) {
    struct Case { const char* form; const char* stem; const char* codes; int pos; };
    const Case cases[] = {
        {"vult", "vol", "V      6 2", POS_V},         // through the vul/vol respelling of volt
        {"vultis", "vol", "V      6 2", POS_V},
        {"vestrum", "v", "PRON   5 3", POS_PRON},
        {"vestri", "v", "PRON   5 3", POS_PRON},
        {"plus", "plus", "N      3 2", POS_N},
        {"plura", "plus", "N      3 2", POS_N},
        {"plures", "plur", "ADJ    3 2", POS_ADJ},
        {"ducenties", "ducent", "NUM    1 4", POS_NUM},
        {"quartus", "quattuor", "NUM    2 0", POS_NUM},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(Has(Records(c.form), IdOf(c.stem, c.codes), c.pos)) << c.form;
    }
    // quicquam: the neuter of quisquam, the pronoun stem before its packon.
    bool quisquam = false;
    for (const ParseRecord& r : Records("quicquam"))
        quisquam = quisquam || (r.kind == RESULT_ENTRY && r.id > 0 && r.id <= host.entries.size() &&
                                host.entries[r.id - 1].find("(w/-quam)") != std::string::npos);
    EXPECT_TRUE(quisquam);
}

}  // namespace
