// The grammatical enumerations by value, the readers of their text forms and
// of a dictionary code line, and the code folds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "latin/dictionary_entry.h"
#include "latin/grammar_codes.h"

namespace {

struct TableCase {
    const CodeTable& table;
    std::vector<std::string> names;
    std::vector<std::string> abbreviations;   // empty: none
    int width;
};

TEST(GrammarCodes, EveryNameAndAbbreviationByValue) {
    const TableCase cases[] = {
        {kPartOfSpeechCodes, {"X", "N", "PRON", "PACK", "ADJ", "NUM", "ADV", "V", "VPAR", "SUPINE", "PREP",
                              "CONJ", "INTERJ", "TACKON", "PREFIX", "SUFFIX"},
         {"-", "n.", "pron.", "pack.", "adj.", "num.", "adv.", "v.", "vpar.", "supine", "prep.", "conj.",
          "interj.", "tackon", "pref", "suf"}, 6},
        {kGenderCodes, {"X", "M", "F", "N", "C"}, {"-", "m.", "f.", "n.", "c."}, 1},
        {kCaseCodes, {"X", "NOM", "VOC", "GEN", "LOC", "DAT", "ABL", "ACC"},
         {"-", "nom.", "voc.", "gen.", "loc.", "dat.", "abl.", "acc."}, 3},
        {kNumberCodes, {"X", "S", "P"}, {"-", "sg.", "pl."}, 1},
        {kComparisonCodes, {"X", "POS", "COMP", "SUPER"}, {"-", "pos.", "comp.", "super."}, 5},
        {kNumeralSortCodes, {"X", "CARD", "ORD", "DIST", "ADVERB"}, {"-", "card.", "ord.", "dist.", "adverb."}, 6},
        {kTenseCodes, {"X", "PRES", "IMPF", "FUT", "PERF", "PLUP", "FUTP"},
         {"-", "praes.", "impf.", "fut.", "pf.", "ppf.", "fpf."}, 4},
        {kVoiceCodes, {"X", "ACTIVE", "PASSIVE"}, {"-", "act.", "pass."}, 7},
        {kMoodCodes, {"X", "IND", "SUB", "IMP", "INF", "PPL"}, {"-", "ind.", "conjct.", "imper.", "inf.", "ppl."}, 3},
        {kNounKindCodes, {"X", "S", "M", "A", "G", "N", "P", "T", "L", "W"}, {}, 1},
        {kPronounKindCodes, {"X", "PERS", "REL", "REFLEX", "DEMONS", "INTERR", "INDEF", "ADJECT"}, {}, 6},
        {kVerbKindCodes, {"X", "TO_BE", "TO_BEING", "GEN", "DAT", "ABL", "TRANS", "INTRANS", "IMPERS", "DEP",
                          "SEMIDEP", "PERFDEF"}, {}, 8},
        {kAgeCodes, {"X", "A", "B", "C", "D", "E", "F", "G", "H"}, {}, 1},
        {kAreaCodes, {"X", "A", "B", "D", "E", "G", "L", "P", "S", "T", "W", "Y"}, {}, 1},
        {kGeographyCodes, {"X", "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "N", "P", "Q", "R",
                           "S", "U"}, {}, 1},
        {kFrequencyCodes, {"X", "A", "B", "C", "D", "E", "F", "I", "M", "N"}, {}, 1},
        {kSourceCodes, {"X", "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O", "P",
                        "Q", "R", "S", "T", "U", "V", "W", "Y", "Z"}, {}, 1},
    };
    for (const TableCase& c : cases) {
        ASSERT_EQ(c.table.count, static_cast<int>(c.names.size())) << c.names[1];
        EXPECT_EQ(c.table.names[c.table.count], nullptr);
        EXPECT_EQ(c.table.width, c.width) << c.names[1];
        EXPECT_EQ(MaxNameLength(c.table.names), c.width);
        for (int v = 0; v < c.table.count; ++v) {
            EXPECT_EQ(EnumName(c.table, v), c.names[v]);
            const char* end = nullptr;
            EXPECT_EQ(ParseEnumName(c.names[v].c_str(), c.table, &end), v) << c.names[v];
            if (!c.abbreviations.empty()) {
                EXPECT_EQ(EnumAbbreviation(c.table, v), c.abbreviations[v]);
            }
        }
        // Out of range takes the name at 0.
        EXPECT_STREQ(EnumName(c.table, c.table.count), "X");
        EXPECT_STREQ(EnumName(c.table, -1), "X");
    }
    EXPECT_EQ(kPartEntryWidth, 23);
    EXPECT_EQ(kCodeLettersWidth, 9);
    EXPECT_EQ(kDictionaryLineWidth, 190);
    const int fieldWidths[][2] = {{POS_N, 7}, {POS_PRON, 10}, {POS_PACK, 10}, {POS_ADJ, 9}, {POS_NUM, 16},
                                  {POS_V, 12}, {POS_ADV, 5}};
    for (const auto& w : fieldWidths) EXPECT_EQ(PartEntryFieldsWidth(w[0]), w[1]);
}

TEST(GrammarCodes, NamesMatchWholeTokensOnly) {
    const char* end = nullptr;
    // Lower case reads as upper case; the token ends at the first blank.
    EXPECT_EQ(ParseEnumName("acc rest", kCaseCodes, &end), CASE_ACC);
    EXPECT_STREQ(end, " rest");
    // A name that only begins the token, or a token that only begins a name, is no match.
    EXPECT_EQ(ParseEnumName("ACCUS", kCaseCodes, &end), 0);
    EXPECT_EQ(ParseEnumName("AC", kCaseCodes, &end), 0);
    EXPECT_EQ(ParseEnumName("TO_BE", kVerbKindCodes, &end), VERB_TO_BE);
    EXPECT_EQ(ParseEnumName("TO_BEING", kVerbKindCodes, &end), VERB_TO_BEING);
    EXPECT_EQ(ParseEnumName("", kCaseCodes, &end), 0);
    std::string longToken(70, 'A');
    EXPECT_EQ(ParseEnumName(longToken.c_str(), kAgeCodes, &end), 0);
    EXPECT_EQ(end, longToken.c_str() + 70);
}

TEST(GrammarCodes, NumbersAndDeclensions) {
    const char* end = nullptr;
    EXPECT_EQ(ReadNumber("  42x", &end), 42);
    EXPECT_STREQ(end, "x");
    EXPECT_EQ(ReadNumber("abc", &end), 0);
    EXPECT_EQ(ReadNumber("999999999999999", &end), 2147483647);  // 12 digits at most, saturated
    int32_t first = 0, variant = 0;
    ReadDeclension("3 4 TRANS", &first, &variant, &end);
    EXPECT_EQ(first, 3);
    EXPECT_EQ(variant, 4);
    char out[80];
    PutNumber(out, 12345, 3);
    EXPECT_STREQ(out, "123");
    PutEnumName(out, 99, kGenderCodes);
    EXPECT_STREQ(out, "X");
    char padded[8];
    EXPECT_EQ(CopyPadded(padded, "abc", 5, '.'), 5);
    EXPECT_STREQ(padded, "abc..");
    CopyPadded(padded, "abcdefg", 4, ' ');
    EXPECT_STREQ(padded, "abcd");
}

TEST(GrammarCodes, PartEntryReadsItsFieldsAndEndsAtTheFixedColumn) {
    struct Case { const char* text; PartEntry expected; };
    const Case cases[] = {
        {"N      3 1 C X          ", {POS_N, 3, 1, GENDER_C, 0}},
        {"PRON   4 1 DEMONS       ", {POS_PRON, 4, 1, 4, 0}},
        {"PACK   1 0 INDEF        ", {POS_PACK, 1, 0, 6, 0}},
        {"ADJ    1 1 POS          ", {POS_ADJ, 1, 1, COMP_POS, 0}},
        {"NUM    2 0 CARD   1000  ", {POS_NUM, 2, 0, 1, 1000}},
        {"ADV    SUPER            ", {POS_ADV, COMP_SUPER, 0, 0, 0}},
        {"V      3 4 DEP          ", {POS_V, 3, 4, VERB_DEP, 0}},
        {"PREP   ABL              ", {POS_PREP, CASE_ABL, 0, 0, 0}},
        {"CONJ                    ", {POS_CONJ, 0, 0, 0, 0}},
        {"NOUN   1 1 F            ", {POS_X, 0, 0, 0, 0}},
        {"v 1 1 trans             ", {POS_V, 1, 1, VERB_TRANS, 0}},
    };
    for (const Case& c : cases) {
        PartEntry entry;
        const char* end = nullptr;
        ParsePartEntry(c.text, &entry, &end);
        EXPECT_EQ(entry.partOfSpeech, c.expected.partOfSpeech) << c.text;
        EXPECT_EQ(entry.first, c.expected.first) << c.text;
        EXPECT_EQ(entry.variant, c.expected.variant) << c.text;
        EXPECT_EQ(entry.third, c.expected.third) << c.text;
        EXPECT_EQ(entry.fourth, c.expected.fourth) << c.text;
        EXPECT_EQ(end, c.text + 24) << c.text;
    }
    // A text that ends early ends the position at its terminator.
    const char* shortText = "N 1 1 F";
    PartEntry entry;
    const char* end = nullptr;
    ParsePartEntry(shortText, &entry, &end);
    EXPECT_EQ(end, shortText + 7);
}

std::string Line(const char* s1, const char* s2, const char* s3, const char* s4, const char* codes,
                 const char* letters, const std::string& meaning) {
    char line[600];
    snprintf(line, sizeof line, "%-18s %-18s %-18s %-18s %-23s %-9s %s", s1, s2, s3, s4, codes, letters,
             meaning.c_str());
    return line;
}

TEST(DictionaryLine, ReadsStemsCodesAndMeaning) {
    DictionaryEntry entry;
    std::string line = Line("am", "am", "amav", "amat", "V      1 1 TRANS", "B X G C L", "love, like");
    const char* end = nullptr;
    ParseDictionaryLine(line.c_str(), &entry, &end);
    EXPECT_STREQ(entry.stems[0], "am");
    EXPECT_STREQ(entry.stems[2], "amav");
    EXPECT_STREQ(entry.stems[3], "amat");
    EXPECT_EQ(entry.part.partOfSpeech, POS_V);
    EXPECT_EQ(entry.part.third, VERB_TRANS);
    EXPECT_EQ(entry.age, 2);
    EXPECT_EQ(entry.area, 0);
    EXPECT_EQ(entry.geography, 7);
    EXPECT_EQ(entry.frequency, 3);
    EXPECT_EQ(entry.source, 12);
    EXPECT_EQ(end, line.c_str() + 109);
    EXPECT_EQ(std::string(entry.meaning), std::string("love, like") + std::string(70, ' '));

    // Lower-case codes, a hyphen inside a stem and a meaning longer than 80.
    line = Line("ab-ire", "x", "", "", "n      2 1 m x", "x x x b x", std::string(100, 'm'));
    ParseDictionaryLine(line.c_str(), &entry, nullptr);
    EXPECT_STREQ(entry.stems[0], "ab");
    EXPECT_EQ(entry.part.partOfSpeech, POS_N);
    EXPECT_EQ(entry.part.third, GENDER_M);
    EXPECT_EQ(entry.frequency, 2);
    EXPECT_EQ(std::string(entry.meaning), std::string(80, 'm'));

    // A line that ends before its codes reads as empty fields.
    ParseDictionaryLine("ros", &entry, nullptr);
    EXPECT_STREQ(entry.stems[0], "ros");
    EXPECT_EQ(entry.part.partOfSpeech, 0);
    EXPECT_EQ(std::string(entry.meaning), std::string(80, ' '));
}

TEST(GrammarCodes, Folds) {
    const int a[] = {1, 1, 1, 2, 3, 0, 0};
    const int b[] = {0, 1, 2, 3, 0, 0, 0};
    const int c[] = {0, 1, 2, 3, 4, 0, 0};
    for (int code = 0; code < 7; ++code) {
        EXPECT_EQ(FoldCodeA(code), a[code]);
        EXPECT_EQ(FoldCodeB(code), b[code]);
        EXPECT_EQ(FoldCodeC(code), c[code]);
    }
    EXPECT_EQ(FoldCodeA(-1), 0);
    EXPECT_EQ(FoldVerbParts(POS_VPAR), POS_V);
    EXPECT_EQ(FoldVerbParts(POS_SUPINE), POS_V);
    EXPECT_EQ(FoldVerbParts(POS_ADJ), POS_ADJ);
}

}  // namespace
