// ADDONS.LAT: the grammar of its entries, where each entry goes, damaged and
// oversized files, and the prefix, suffix and tackon matching rules.
#include <gtest/gtest.h>

#include <string>

#include "latin/addon_tables.h"
#include "latin/latin_options.h"
#include "latin_test_data.h"

namespace {

int Parse(const std::string& text, AddonTables* tables) {
    return ParseAddons(text.data(), static_cast<int>(text.size()), tables);
}

class AddonTablesTest : public ::testing::Test {
protected:
    void SetUp() override { InitLatinAnalyser(LatinHostCallbacks{}); }
    AddonTables tables;
};

TEST_F(AddonTablesTest, EntriesGoToTheirTablesWithOneMeaningCounter) {
    const std::string text =
        "-- a comment line\n"
        "TACKON que\nCONJ\n-que = and\n"
        "\n"
        "TACKON dam   -- a packon\nPACK 1 0 INDEF\nPACKON w/qui => a certain\n"
        "TACKON dam\nPACK 1 0 INDEF\nnot a packon meaning\n"
        "PREFIX ali\nPACK PRON\nali- = some\n"
        "PREFIX com m\nV V\n  com- = with  \n"
        "PREFIX sub -- assimilates\nX X\nsub- = under\n"
        "SUFFIX iter\nADJ 2 ADV POS                 1\n-iter = -ly\n"
        "TACKON -\nX\na single hyphen is text\n";
    ASSERT_EQ(Parse(text, &tables), 0);
    ASSERT_EQ(tables.tackonCount, 3);
    EXPECT_STREQ(tables.tackons[0].text, "que");
    EXPECT_EQ(tables.tackons[0].entry.partOfSpeech, POS_CONJ);
    EXPECT_STREQ(tables.tackons[1].text, "dam");
    EXPECT_EQ(tables.tackons[1].meaningIndex, 2);
    EXPECT_STREQ(tables.tackons[2].text, "-");
    ASSERT_EQ(tables.packonCount, 1);
    EXPECT_EQ(tables.packons[0].entry.partOfSpeech, POS_PACK);
    EXPECT_EQ(tables.packons[0].meaningIndex, 1);
    ASSERT_EQ(tables.pronounPrefixCount, 1);
    EXPECT_EQ(tables.pronounPrefixes[0].resultPartOfSpeech, POS_PRON);
    ASSERT_EQ(tables.prefixCount, 2);
    EXPECT_STREQ(tables.prefixes[0].text, "com");
    EXPECT_EQ(tables.prefixes[0].connect, 'm');
    EXPECT_EQ(tables.prefixes[0].rootPartOfSpeech, POS_V);
    EXPECT_STREQ(tables.meanings[tables.prefixes[0].meaningIndex], "com- = with");
    // A comment behind the text leaves the prefix without a connect character.
    EXPECT_STREQ(tables.prefixes[1].text, "sub");
    EXPECT_EQ(tables.prefixes[1].connect, 0);
    ASSERT_EQ(tables.suffixCount, 1);
    const SuffixRecord& iter = tables.suffixes[0];
    EXPECT_EQ(iter.rootPartOfSpeech, POS_ADJ);
    EXPECT_EQ(iter.rootStemKey, 2);
    EXPECT_EQ(iter.result.partOfSpeech, POS_ADV);
    EXPECT_EQ(iter.result.first, COMP_POS);
    EXPECT_EQ(iter.resultStemKey, 1);
    EXPECT_EQ(tables.meaningCount, 8);
    EXPECT_STREQ(tables.meanings[0], "-que = and");
}

TEST_F(AddonTablesTest, MalformedEntriesStopTheLoadKeepingEarlierOnes) {
    const std::string good = "TACKON que\nCONJ\nand\n";
    EXPECT_EQ(Parse(good + "TACKON ne\nX\n", &tables), 1);          // meaning missing at the end
    EXPECT_EQ(tables.tackonCount, 1);
    EXPECT_EQ(Parse(good + "TACKON ne\n\nX\nmeaning\n", &tables), 1);  // blank line inside an entry
    EXPECT_EQ(tables.tackonCount, 1);
    EXPECT_EQ(Parse(good + "NOUN x\nX\nmeaning\n", &tables), 1);     // not an addon kind
    EXPECT_EQ(Parse(good + "ADJ x\nX\nmeaning\n", &tables), 1);
    EXPECT_EQ(tables.tackonCount, 1);
}

TEST_F(AddonTablesTest, LastLineWithoutLineFeedAndCarriageReturnsAreRead) {
    ASSERT_EQ(Parse("TACKON que\r\nCONJ\r\nand", &tables), 0);
    ASSERT_EQ(tables.tackonCount, 1);
    EXPECT_STREQ(tables.tackons[0].text, "que");
    EXPECT_STREQ(tables.meanings[0], "and");
}

TEST_F(AddonTablesTest, EmptyTextsAreRefusedAndFullTablesTakeNoMore) {
    ASSERT_EQ(Parse("TACKON\nX\nempty\nPREFIX  \nV V\nempty\nTACKON que\nCONJ\nand\n", &tables), 0);
    EXPECT_EQ(tables.tackonCount, 1);
    EXPECT_EQ(tables.prefixCount, 0);
    EXPECT_EQ(tables.skipped, 2);
    EXPECT_EQ(tables.tackons[0].meaningIndex, 0);

    std::string many;
    for (int i = 0; i < kMaxPronounPrefixes + 3; ++i) many += "PREFIX p" + std::to_string(i) + "\nPACK PRON\nm\n";
    many += "TACKON que\nCONJ\nand\n";
    ASSERT_EQ(Parse(many, &tables), 0);
    EXPECT_EQ(tables.pronounPrefixCount, kMaxPronounPrefixes);
    EXPECT_EQ(tables.skipped, 3);
    EXPECT_STREQ(tables.tackons[0].text, "que");
    EXPECT_STREQ(tables.meanings[tables.tackons[0].meaningIndex], "and");
}

TEST_F(AddonTablesTest, LongTextsAreCut) {
    const std::string text = "TACKON " + std::string(30, 't') + "\nX\n" + std::string(120, 'm') + "\n" +
                             "PREFIX " + std::string(30, 'p') + " c\nX X\nmeaning\n";
    ASSERT_EQ(Parse(text, &tables), 0);
    EXPECT_EQ(std::string(tables.tackons[0].text), std::string(18, 't'));
    EXPECT_EQ(std::string(tables.meanings[0]), std::string(80, 'm'));
    EXPECT_EQ(std::string(tables.prefixes[0].text), std::string(18, 'p'));
    EXPECT_EQ(tables.prefixes[0].connect, 'c');
}

TEST_F(AddonTablesTest, WholeRecordIsReadBeyondFortyThousandBytes) {
    MemoryLatinHost host;
    InstallProjectData(host);
    std::string padding;
    while (padding.size() < 45000) padding += "-- padding comment line to push the last entry far out\n";
    host.addons = padding + "TACKON que\nCONJ\nand\n";
    ASSERT_EQ(LoadAddons(), 0);
    ASSERT_EQ(g_addons.tackonCount, 1);
    EXPECT_STREQ(g_addons.tackons[0].text, "que");
    host.addons.clear();
    EXPECT_EQ(LoadAddons(), 1);
}

TEST_F(AddonTablesTest, ProjectAddonsLoadWhole) {
    MemoryLatinHost host;
    InstallProjectData(host);
    ASSERT_EQ(LoadAddons(), 0);
    EXPECT_EQ(g_addons.skipped, 0);
    EXPECT_GE(g_addons.tackonCount, 5);
    const char* enclitics[] = {"que", "ne", "ve", "cum"};
    for (int i = 0; i < 4; ++i) EXPECT_STREQ(g_addons.tackons[i].text, enclitics[i]);
    EXPECT_GT(g_addons.packonCount, 0);
    EXPECT_GT(g_addons.pronounPrefixCount, 0);
    EXPECT_GT(g_addons.prefixCount, 20);
    EXPECT_GT(g_addons.suffixCount, 5);
    EXPECT_EQ(g_addons.meaningCount, g_addons.tackonCount + g_addons.packonCount + g_addons.pronounPrefixCount +
                                         g_addons.prefixCount + g_addons.suffixCount);
}

TEST_F(AddonTablesTest, AReloadGivesTheTablesAsParsedAndFollowsAChangedText) {
    MemoryLatinHost host;
    InstallProjectData(host);
    ASSERT_EQ(LoadAddons(), 0);
    const int tackons = g_addons.tackonCount;
    g_addons.tackonCount = 0;   // as a caller may leave the tables
    ASSERT_EQ(LoadAddons(), 0);
    EXPECT_EQ(g_addons.tackonCount, tackons);
    EXPECT_STREQ(g_addons.tackons[0].text, "que");
    host.addons += "TACKON zz\nX\n-zz = a tackon of this test\n";
    ASSERT_EQ(LoadAddons(), 0);
    ASSERT_EQ(g_addons.tackonCount, tackons + 1);
    EXPECT_STREQ(g_addons.tackons[tackons].text, "zz");
}

std::string Match(int (*match)(char*, const char*, const PrefixRecord&), const char* word, const char* text,
                  char connect) {
    PrefixRecord prefix;
    snprintf(prefix.text, sizeof prefix.text, "%s", text);
    prefix.connect = connect;
    char out[256];
    return match(out, word, prefix) ? out : std::string("no:") + out;
}

TEST_F(AddonTablesTest, PrefixesMatchWithConnectAndUV) {
    EXPECT_EQ(Match(PrefixMatches, "commoveo", "com", 'm'), "moveo");
    EXPECT_EQ(Match(PrefixMatches, "comedo", "com", 'm'), "no:comedo");
    EXPECT_EQ(Match(PrefixMatches, "subvenio", "sub", 0), "venio");
    EXPECT_EQ(Match(PrefixMatches, "subuenio", "sub", ' '), "uenio");
    EXPECT_EQ(Match(PrefixMatches, "svbito", "sub", 0), "ito");      // the prefix's u matches a v
    EXPECT_EQ(Match(PrefixMatches, "advenio", "av", 0), "no:advenio");
    EXPECT_EQ(Match(PrefixMatches, "sub", "sub", 0), "no:sub");       // a word equal to the prefix
    EXPECT_EQ(Match(PrefixMatches, "transeo", "", 0), "no:transeo");
    g_developerOptions.Set(USE_PREFIXES, 0);
    EXPECT_EQ(Match(PrefixMatches, "subvenio", "sub", 0), "no:subvenio");
}

TEST_F(AddonTablesTest, SuffixesAndTackonsMatchAtTheEnd) {
    SuffixRecord suffix;
    snprintf(suffix.text, sizeof suffix.text, "iter");
    char out[256];
    EXPECT_EQ(SuffixMatches(out, "fortiter", suffix), 1);
    EXPECT_STREQ(out, "fort");
    EXPECT_EQ(SuffixMatches(out, "iter", suffix), 0);
    EXPECT_STREQ(out, "iter");
    suffix.connect = 'x';
    EXPECT_EQ(SuffixMatches(out, "fortiter", suffix), 0);
    suffix.text[0] = 0;
    EXPECT_EQ(SuffixMatches(out, "fortiter", suffix), 0);

    TackonRecord tackon;
    snprintf(tackon.text, sizeof tackon.text, "ve");
    EXPECT_EQ(TackonMatches(out, "rosaue", tackon), 1);
    EXPECT_STREQ(out, "rosa");
    EXPECT_EQ(TackonMatches(out, "ve", tackon), 0);
    tackon.text[0] = 0;   // an empty tackon matches nothing
    EXPECT_EQ(TackonMatches(out, "rosa", tackon), 0);
    EXPECT_STREQ(out, "rosa");
    snprintf(tackon.text, sizeof tackon.text, "que");
    g_developerOptions.Set(USE_TACKONS, 0);
    EXPECT_EQ(TackonMatches(out, "rosaque", tackon), 0);
}

}  // namespace
