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
