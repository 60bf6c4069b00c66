// The coded output lines: golden files over the project's data (written line
// by line from the line formats and checked by hand), and the cases the line
// formats single out.
#include "analysis_fixture.h"
#include "common/tests/test_paths.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "common/tests/test_files.h"
#include "latin/coded_output.h"
#include "latin/latin_options.h"

namespace {

std::string GoldenPath(const char* name) { return SourcePath() + "/latin/tests/golden/" + name; }

class CodedLines : public LatinAnalysisTest {
protected:
    std::string Lines(const char* line) {
        CStringBuilder text;
        CodedLineWriter out(text);
        Translate(out, line);
        std::string bytes;
        for (char16_t unit : text.View()) bytes += static_cast<char>(unit);
        return bytes;
    }

    // "# words" lines name the input of the section that follows.
    void CheckGolden(const char* name) {
        ASSERT_TRUE(std::filesystem::exists(GoldenPath(name))) << GoldenPath(name);
        const std::string expected = ReadText(GoldenPath(name));
        std::string actual;
        std::istringstream in(expected);
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("# ", 0) != 0) continue;
            actual += line + "\n" + Lines(line.c_str() + 2);
        }
        if (std::getenv("OSTREL_WRITE_GOLDEN") != nullptr) std::ofstream(GoldenPath(name), std::ios::binary) << actual;
        EXPECT_EQ(actual, expected);
    }
};

TEST_F(CodedLines, GoldenDefaultOptions) { CheckGolden("coded_lines.txt"); }

TEST_F(CodedLines, GoldenWithExamplesAndWithoutCodes) {
    g_wordOptions.Set(DO_EXAMPLES, 1);
    CheckGolden("coded_lines_examples.txt");
    g_wordOptions.Set(DO_EXAMPLES, 0);
    g_developerOptions.Set(DO_TARVEL_CODES, 0);
    CheckGolden("coded_lines_no_codes.txt");
}

// Words made to cost (chains of enclitics, tackons, packons and prefixes,
// letters every spelling retry tries), whose analyses must not move when the
// search is made faster.
TEST_F(CodedLines, GoldenCraftedWords) { CheckGolden("coded_lines_crafted.txt"); }

TEST_F(CodedLines, UnknownWordAndCapitalsTakenAsName) {
    EXPECT_EQ(Lines("xyzzy"), "04 xyzzy    ========   UNKNOWN    \n\n\n");
    EXPECT_EQ(Lines("FOO"),
              "10 4 0\n01 FOO - n. 0.0 -, - -\n"
              "03 Assume this is capitalized proper name/abbr, under MODE IGNORE_UNKNOWN_CAPS\n\n\n");
    g_wordOptions.Set(IGNORE_UNKNOWN_NAMES, 1);
    EXPECT_EQ(Lines("Foo").substr(0, 33), "10 4 0\n01 Foo - n. 0.0 -, - -\n03 ");
}

TEST_F(CodedLines, EqualDictionaryFormsArePrintedOnce) {
    // optime is both a form of bonus and the adverb optime; bonus's groups
    // (adjective, then its adverb reading) share one form line.
    const std::string text = Lines("optime");
    EXPECT_EQ(text.find("02 bonus"), text.rfind("02 bonus"));
}

TEST_F(CodedLines, DroppedResultsEndWithAStar) {
    // The trim drops the uncommon readings when common ones exist.
    ResultList results;
    const uint32_t id = IdOf("ros", "N      1 1 F");
    ParseRecord common = MakeTagRecord("ros", POS_N, RESULT_ENTRY, id);
    common.inflection = MakeInflection(POS_N, 1, 1, "a");
    common.inflection.fields[F_CASE] = CASE_NOM;
    common.inflection.fields[F_NUMBER] = NUMBER_S;
    common.inflection.fields[F_GENDER] = GENDER_F;
    ParseRecord rare = common;
    rare.inflection.fields[F_CASE] = CASE_ABL;
    rare.inflection.age = 1;   // archaic
    results.Append(common);
    results.Append(rare);
    CStringBuilder text;
    g_developerOptions.Set(OMIT_ARCHAIC, 1);
    ListStems(text, "rosa", results);
    std::string bytes;
    for (char16_t unit : text.View()) bytes += static_cast<char>(unit);
    EXPECT_EQ(bytes.substr(bytes.size() - 3), "\n*\n");
    EXPECT_EQ(bytes.find("abl."), std::string::npos);
}

TEST_F(CodedLines, GroupsStopAtTheirLimits) {
    // 250 noun records of one entry fill one group's 250 lines; 150 entries
    // of their own open 100 groups at most.
    auto results = NewResultList();
    const uint32_t id = IdOf("ros", "N      1 1 F");
    for (int i = 0; i < kMaxResults; ++i) {
        ParseRecord r = MakeTagRecord("ros", POS_N, RESULT_ENTRY, id);
        r.inflection = MakeInflection(POS_N, 1, 1, "a");
        results->Append(r);
    }
    auto g = std::make_unique<Grouping>();
    GroupRecords(*results, *g);
    EXPECT_EQ(g->groupCount, 1);
    EXPECT_EQ(g->lineCount, kMaxGroupLines);
    EXPECT_EQ(g->groups[0].lineCount, kMaxGroupLines);

    results->last = -1;
    for (int i = 0; i < 150; ++i) results->Append(MakeTagRecord("cum", POS_CONJ, RESULT_ADDON, i));
    g = std::make_unique<Grouping>();
    GroupRecords(*results, *g);
    EXPECT_EQ(g->groupCount, kMaxGroups);
    EXPECT_EQ(g->groups[kMaxGroups - 1].id, static_cast<uint32_t>(kMaxGroups - 1));
}

struct CodesCase {
    InflectionRecord record;
    bool deponent;
    const char* text;
};

InflectionRecord With(InflectionRecord r, std::initializer_list<int32_t> fields) {
    int i = 0;
    for (int32_t f : fields) r.fields[i++] = f;
    return r;
}

TEST(InflectionCodes, OnePatternPerPartOfSpeech) {
    const CodesCase cases[] = {
        {With(MakeInflection(POS_N, 2, 1, "i"), {CASE_GEN, NUMBER_S, GENDER_M}), false, "n. 2.1 m., gen. sg."},
        {With(MakeInflection(POS_PACK, 1, 0, ""), {CASE_NOM, NUMBER_P, GENDER_C}), false, "pack. 1.0 nom. pl. c."},
        {With(MakeInflection(POS_ADJ, 3, 2, "is"), {CASE_DAT, NUMBER_P, GENDER_N, COMP_COMP}), false,
         "adj. 3.2 n., dat. pl., comp."},
        {With(MakeInflection(POS_NUM, 2, 0, ""), {CASE_X, NUMBER_X, GENDER_X, NUMERAL_ADVERB}), false,
         "num. 2.0 adverb."},
        {With(MakeInflection(POS_V, 1, 1, "at"), {TENSE_PRES, VOICE_ACTIVE, MOOD_IND, 3, NUMBER_S}), false,
         "v. 1.1, praes. ind. act., 3 sg."},
        {With(MakeInflection(POS_V, 1, 1, "ari"), {TENSE_PRES, VOICE_PASSIVE, MOOD_INF}), true,
         "v. 1.1, praes. inf. -"},
        {With(MakeInflection(POS_VPAR, 1, 1, "ans"), {CASE_NOM, NUMBER_S, GENDER_C, TENSE_PRES, VOICE_ACTIVE, MOOD_PPL}),
         false, "vpar. 1.1 nom. sg. c. praes. ppl. act."},
        {MakeInflection(POS_CONJ, 0, 0, ""), false, "conj. "},
        {MakeInflection(POS_ADV, COMP_SUPER, 0, ""), false, "adv. super."},
    };
    for (const CodesCase& c : cases) {
        char out[128];
        PutInflectionCodes(out, c.record, c.deponent);
        EXPECT_STREQ(out, c.text);
    }
}

}  // namespace

namespace {

// A pronoun made with a packon is named by it, the doubled quisquis and
// quidquid among them; and a packon whose rest is no pronoun (que of
// quicumque, rest quicum) leaves the word to the packons after it.
TEST_F(CodedLines, PronounsMadeWithAPackonAreNamedByTheirPackon) {
    const std::pair<const char*, const char*> expected[] = {
        {"quidam", "quidam, quaedam, quiddam  PACK"}, {"quisquam", "quisquam, quicquam  PACK"},
        {"quicquam", "quisquam, quicquam  PACK"},     {"quemquam", "quisquam, quicquam  PACK"},
        {"quicumque", "quicumque, quaecumque, quodcumque  PACK"},
        {"quaecumque", "quicumque, quaecumque, quodcumque  PACK"},
        {"quisque", "quisque, quaeque, quidque  PACK"}, {"quisquis", "quisquis, quidquid  PACK"},
        {"quidquid", "quisquis, quidquid  PACK"},       {"quicquid", "quisquis, quidquid  PACK"},
    };
    for (const auto& [word, form] : expected) {
        const std::string lines = Lines(word);
        const size_t at = lines.find("\n02 ");
        ASSERT_NE(at, std::string::npos) << word << "\n" << lines;
        EXPECT_EQ(lines.substr(at + 4, std::strlen(form)), form) << word << "\n" << lines;
        EXPECT_EQ(lines.find("2 words"), std::string::npos) << word;
    }
}

// Lines of the word list converted from collatinus's lexicon, as the
// converter writes them (frequency letter in column 107 from the lexicon's
// count: magnus 6056 B, maxime 796 D, Maximus F; caelum 940 D, Caelius 104 E;
// habeo 5460 B, habitus the noun 185 E; volo B, vello F; multus 4547 B, the
// adverb multo 430 D; pars 2826 C, partim 275 E; totus, which the lexicon
// counts 1, no letter (X), the noun totum E; the praenomen Sex and the
// numeral sex both D).
const char* const kLexiconLines[] = {
    "magn               magn               maj                maxi               ADJ    1 1 X            X X X B X - large/great/big/vast/huge; much; power",
    "maxime                                                                      ADV    POS              X X X D X most, especially, very",
    "Maxim              Maxim                                                    N      2 1 M X          X X X F X Maximus",
    "hab                hab                habu               habit              V      2 1 X            X X X B X to have, hold, consider, think, reason; ",
    "habit              habit                                                    N      4 1 M X          X X X E X condition, state; garment/dress/get-u",
    "vol                vel                volu               zzz                V      6 2 X            X X X B X to wish, want, prefer; to be willing, wi",
    "vell               vell               vell               vuls               V      3 1 X            X X X F X to pluck/pull/tear out; to extract; to p",
    "cael               cael                                                     N      2 2 N X          X X X D X - chisel; engraving tool; burin; - heave",
    "Caeli              Caeli                                                    N      2 4 M X          X X X E X an orator, contemporary with Crassus",
    "mult               mult               zzz                pluri              ADJ    1 1 X            X X X B X much, many, great; large, intense, assid",
    "multo                                                                       ADV    POS              X X X D X much, by much, a great deal, very; most;",
    "mult               mult                                                     N      2 2 N X          X X X E X much, greatly, plenty, very; more; most;",
    "pars               part                                                     N      3 3 F X          X X X C X - part, region; share; direction; portio",
    "partim                                                                      ADV    POS              X X X E X partly, for the most part; mostly; [part",
    "tot                tot                                                      N      2 2 N X          X X X E X all, the whole",
    "tot                tot                                                      ADJ    1 3 POS          X X X X X whole, all, entire, total, complete; eve",
    "Sex                                                                         N      9 9 M X          X X X D X Sextus (Roman praenomen)",
    "sex                                                                         NUM    2 0 CARD 0       X X X D X six;",
};

// The order of a word's readings over those lines: each group's entry as
// its first stem and part of speech ("hab V"), in the order written.
class ReadingOrder : public CodedLines {
protected:
    void UseLines(bool reversed) { UseLines(reversed, std::begin(kLexiconLines), std::end(kLexiconLines)); }
    void UseLines(bool reversed, const char* const* begin, const char* const* end) {
        host.entries.assign(begin, end);
        if (reversed) std::reverse(host.entries.begin(), host.entries.end());
        host.BuildStemIndex();
        host.Install();
        ASSERT_EQ(LoadLatinData(), 0);
    }
    std::vector<std::string> Readings(const char* word) {
        std::vector<std::string> readings;
        std::istringstream in(Lines(word));
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("10 7 ", 0) != 0) continue;
            const std::string& entry = host.entries[std::stoul(line.substr(5)) - 1];
            readings.push_back(entry.substr(0, entry.find(' ')) + " " + entry.substr(76, entry.find(' ', 76) - 76));
        }
        return readings;
    }
};

// Of two readings, a far commoner lemma goes before a rare homograph that
// wins on its score alone (velle: volo "v" against vello "vell"); a word of
// one form that is the whole word goes before a form of a commoner lemma
// (maxime, multo, partim), and a reading by rare forms only (magnus's
// vocative maxime, habeo's supine habitu) is taken for as rare as it is. A
// lower-case word reads the common noun before the name (caeli). An entry
// without a frequency letter counts as the middle class, not as very rare
// (tota: totus before the rarer noun totum, which matches as far). Of two
// readings equal in score and frequency, the one whose letters match the
// word's case too goes first (Sex the praenomen, sex the numeral). The order
// is the same whatever order the entries were stored in.
TEST_F(ReadingOrder, CommonnessScoreAndCaseOrderTheReadingsOneWay) {
    const std::vector<std::pair<const char*, std::vector<std::string>>> expected = {
        {"velle", {"vol V", "vell V"}},
        {"maxime", {"maxime ADV", "magn ADJ", "Maxim N"}},
        {"multo", {"multo ADV", "mult ADJ", "mult N"}},
        {"partim", {"partim ADV", "pars N"}},
        {"habitu", {"habit N", "hab V"}},
        {"caeli", {"cael N", "Caeli N"}},
        {"tota", {"tot ADJ", "tot N"}},
        {"Sex", {"Sex N", "sex NUM"}},
        {"sex", {"sex NUM", "Sex N"}},
    };
    for (bool reversed : {false, true}) {
        UseLines(reversed);
        for (const auto& [word, readings] : expected)
            EXPECT_EQ(Readings(word), readings) << word << (reversed ? " (entries reversed)" : "");
    }
}

// A participle, a noun's second stem: lines of the word list as the
// converter writes them, the commoner lemma stored first.
const char* const kPrincipalPartLines[] = {
    "vox                voc                                                      N      3 1 F X          X X X B X voice, tone, expression;",
    "voc                voc                vocav              vocat              V      1 1 X            X X X B X to call, summon; to name; to call up",
    "nasc               nasc               zzz                nat                V      3 1 DEP          X X X C X to be born, to be begotten",
    "ver                ver                zzz                verit              V      2 1 DEP          X X X C X to feel awe of, to reverence, revere",
    "nat                nat                                                      N      2 1 M X          X X X C X born, arisen; made; destined; design",
    "veritas            veritat                                                  N      3 1 F X          X X X D X - truth, fact, accuracy; honesty, t",
};

// A reading on a stem its head does not show is scored against the
// principal part that shows it: natum matches nascor's natus as far as the
// noun natus, and vocem vox's vocis as far as voco, so the commoner lemma,
// stored first, leads. A word that is a noun's head goes before a verb that
// reaches the same rank only by such a part (veritas, not vereor's veritas
// "having feared"), whatever the order stored.
TEST_F(ReadingOrder, AFormOnAFurtherStemIsScoredByThePartThatShowsIt) {
    UseLines(false, std::begin(kPrincipalPartLines), std::end(kPrincipalPartLines));
    EXPECT_EQ(Readings("natum"), (std::vector<std::string>{"nasc V", "nat N"}));
    EXPECT_EQ(Readings("vocem"), (std::vector<std::string>{"vox N", "voc V"}));
    for (bool reversed : {false, true}) {
        UseLines(reversed, std::begin(kPrincipalPartLines), std::end(kPrincipalPartLines));
        EXPECT_EQ(Readings("veritas"), (std::vector<std::string>{"veritas N", "ver V"}))
            << (reversed ? " (entries reversed)" : "");
    }
}

TEST(ReadingRanks, ACapitalMatchesTheFormsSmallLetterNotTheOtherWay) {
    EXPECT_EQ(MatchedLength("Quod", "quod"), 4);
    EXPECT_EQ(MatchedLength("caeli", "Caelius"), 0);
    EXPECT_EQ(MatchedLength("Caeli", "Caelius"), 5);
    EXPECT_EQ(MatchedLength("velle", "vello"), 4);
    EXPECT_EQ(MatchedLength("", "vello"), 0);
}

}  // namespace
