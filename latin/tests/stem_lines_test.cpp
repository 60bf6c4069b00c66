// Stem records of fixed-column lines, the stem-index key segments and the
// [ls] section layout, with the compiler's and the host's edge cases.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "latin/stem_lines.h"

namespace {

// A line with stems at 0/19/38/57, codes at 76, letters at 100, meaning at 110.
std::u16string Line(const char* s1, const char* s2, const char* s3, const char* s4, const char* codes) {
    std::string line(110, ' ');
    const char* stems[] = {s1, s2, s3, s4};
    const int columns[] = {0, 19, 38, 57};
    for (int i = 0; i < 4; ++i) line.replace(columns[i], std::string(stems[i]).size(), stems[i]);
    line.replace(76, std::string(codes).size(), codes);
    line.replace(100, 9, "X X X A X");
    line += "meaning";
    return std::u16string(line.begin(), line.end());
}

// "stem/number" of each record.
std::vector<std::string> Keys(const std::u16string& line) {
    StemRecords stems;
    LatinLineStems(line, stems);
    std::vector<std::string> keys;
    for (int r = 0; r < stems.count; ++r) {
        const std::u16string_view stem = StemKeyStem(stems.records[r]);
        keys.push_back(std::string(stem.begin(), stem.end()) + "/" +
                       static_cast<char>(stems.records[r][kStemNumberColumn]));
    }
    return keys;
}

using K = std::vector<std::string>;

TEST(LatinLineStems, RulesByPartOfSpeech) {
    EXPECT_EQ(Keys(Line("aqu", "aqu", "", "", "N      1 1 F T")), K({"aqu/0"}));
    EXPECT_EQ(Keys(Line("aqu", "aquar", "", "", "N      1 1 F T")), K({"aqu/1", "aquar/2"}));
    EXPECT_EQ(Keys(Line("am", "am", "amav", "zzz", "V      1 1 TRANS")), K({"am/0", "amav/3"}));
    EXPECT_EQ(Keys(Line("bon", "bon", "mel", "opt", "ADJ    1 1 POS")), K({"bon/0", "mel/3", "opt/4"}));
    EXPECT_EQ(Keys(Line("meli", "", "", "", "ADJ    0 0 COMP")), K({"meli/3"}));
    EXPECT_EQ(Keys(Line("optim", "", "", "", "ADJ    0 0 SUPER")), K({"optim/4"}));
    EXPECT_EQ(Keys(Line("melius", "", "", "", "ADV    COMP")), K({"melius/2"}));
    EXPECT_EQ(Keys(Line("terti", "", "", "", "NUM    1 3 ORD      3")), K({"terti/2"}));
    EXPECT_EQ(Keys(Line("zzz", "zzz", "tul", "lat", "V      3 2 TRANS")), K({"tul/3", "lat/4"}));
    EXPECT_EQ(Keys(Line("", "", "", "", "CONJ")), K());
}

TEST(LatinLineStems, BuiltInToBeGivesFourKeysOneOfThemEmpty) {
    const std::u16string line = Line("s", "", "fu", "fut", "V      5 1 TO_BE");
    EXPECT_EQ(Keys(line), K({"s/1", "/2", "fu/3", "fut/4"}));
    StemRecords stems;
    LatinLineStems(line, stems);
    // Segment 2: the code field from column 19, then the stem number.
    EXPECT_EQ(StemKeyCodes(stems.records[1]), u"V      5 1 TO_BE          2");
    char index[81];
    FormatStemIndexLine(index, StemKeyStem(stems.records[2]), StemKeyCodes(stems.records[2]), 490);
    EXPECT_STREQ(index, "fu                 V      5 1 TO_BE          3 490");
}

TEST(LatinLineStems, LongStemIsCutAtTheKey) {
    const std::u16string line = Line("abcdefghijklmnopqr", "", "", "", "CONJ");
    EXPECT_EQ(Keys(line), K({"abcdefghijklmnopqr/1"}));
    char index[81];
    FormatStemIndexLine(index, u"\u0101bcdefghijklmnopqrstuvwxyz", u"CONJ", 7);
    EXPECT_EQ(std::string(index).substr(0, 20), "?bcdefghijklmnopqrsC");
}

TEST(LsSection, FoundAndLaidOut) {
    const std::u16string source = u"amo\n[m1][ls]am, am, amav, amat, V 1 1 TRANS, X X X A X[/ls] love[/m]";
    const char16_t* start = nullptr;
    int32_t length = 0;
    const char16_t* after = FindLsSection(source.data(), source.data() + source.size(), &start, &length);
    EXPECT_EQ(std::u16string(start, length), u"am, am, amav, amat, V 1 1 TRANS, X X X A X");
    EXPECT_EQ(std::u16string(after), u" love[/m]");
    char16_t line[kCodeLineWidth + 1];
    EXPECT_EQ(LsSectionToCodeLine(line, source.data(), static_cast<int32_t>(source.size())), 109);
    const std::u16string laid(line);
    EXPECT_EQ(laid.substr(0, 3), u"am ");
    EXPECT_EQ(laid.substr(19, 3), u"am ");
    EXPECT_EQ(laid.substr(38, 5), u"amav ");
    EXPECT_EQ(laid.substr(57, 5), u"amat ");
    EXPECT_EQ(laid.substr(76, 11), u"V 1 1 TRANS");
    EXPECT_EQ(laid.substr(100), u"X X X A X");

    // No closing tag: nothing found, the whole text passed.
    const std::u16string open = u"[ls]am, am";
    after = FindLsSection(open.data(), open.data() + open.size(), &start, &length);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(after, open.data() + open.size());
}

TEST(LsSection, OverlongFieldsStayInTheLine) {
    std::u16string text(600, u'a');
    text += u",,,,,,,";
    text += std::u16string(400, u'b');
    char16_t line[kCodeLineWidth + 1];
    EXPECT_EQ(LayOutCodeLine(text.data(), static_cast<int32_t>(text.size()), line), 1007);
    EXPECT_EQ(std::u16string(line).size(), 254u);
    EXPECT_EQ(line[253], u'b');
}

}  // namespace
