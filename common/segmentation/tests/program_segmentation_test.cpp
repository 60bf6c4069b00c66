// The segmenters over the program's own tables: the pinned cases again, and
// the expanded line-break classes checked against LineBreak.txt itself.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/tests/test_paths.h"
#include "common/unicode/char_tables.h"
#include "common/segmentation/text_segmentation.h"

namespace {

int32_t Len(std::u16string_view t) { return static_cast<int32_t>(t.size()); }

std::vector<std::u16string> Words(std::u16string_view text) {
    std::vector<std::u16string> words;
    char16_t buffer[64];
    int32_t position = 0, end = 0;
    for (int32_t n; (n = NextWord(text.data(), Len(text), &position, &end, buffer, 63)) >= 0; position = end)
        words.emplace_back(buffer, n);
    return words;
}

std::vector<std::u16string> Sentences(std::u16string_view text) {
    std::vector<std::u16string> sentences;
    int32_t start = 0, end = 0;
    for (; NextSentence(text.data(), Len(text), &start, &end); start = end)
        sentences.emplace_back(text.substr(start, end - start));
    return sentences;
}

using Texts = std::vector<std::u16string>;

TEST(ProgramSegmentation, PinnedWordCases) {
    EXPECT_EQ(Words(u"Hello, world."), (Texts{u"Hello", u"world"}));
    EXPECT_EQ(Words(u"東京タワー"), (Texts{u"東", u"京", u"タ", u"ワ", u"ー"}));
    EXPECT_EQ(Words(u"０１２"), (Texts{u"０１２"}));
    EXPECT_EQ(Words(u"3.14"), (Texts{u"3", u"14"}));
    EXPECT_EQ(Words(u"Москва — столица"), (Texts{u"Москва", u"столица"}));
    EXPECT_EQ(Words(u"«ёлка»"), (Texts{u"ёлка"}));
    EXPECT_EQ(Words(u"佐々木さん"), (Texts{u"佐", u"々", u"木", u"さ", u"ん"}));
}

TEST(ProgramSegmentation, PinnedSentenceCases) {
    EXPECT_EQ(Sentences(u"U.S. army"), (Texts{u"U.S. army"}));
    EXPECT_EQ(Sentences(u"Dr. Smith"), (Texts{u"Dr. ", u"Smith"}));
    EXPECT_EQ(Sentences(u"本だ。」次だ。"), (Texts{u"本だ。」", u"次だ。"}));
    EXPECT_EQ(Sentences(u"「行く」と言った。"), (Texts{u"「行く」", u"と言った。"}));
    EXPECT_EQ(Sentences(u"Да. Нет!"), (Texts{u"Да. ", u"Нет!"}));
}

TEST(ProgramSegmentation, PinnedLineCases) {
    EXPECT_EQ(FindLastLineBreak(u"漢", 1), -1);
    EXPECT_EQ(FindLastLineBreak(u"漢字", 2), 0);
    EXPECT_EQ(FindLastLineBreak(u"hello world", 11), 5);
    EXPECT_EQ(FindLastLineBreak(u"「東京」", 4), 1);
    // Supplementary ideographs: both halves read as AL, never past the table.
    std::u16string ext = u"漢\U00020B9F\U00020B9F字";
    EXPECT_EQ(FindLastLineBreak(ext.data(), Len(ext)), 4);
}

// Every code point of U+0000..U+1FFFF: the class LineBreak.txt gives it, XX
// for unlisted ones; OP comes back although the stored records leave it out.
TEST(ProgramSegmentation, LineClassesFollowLineBreakTxt) {
    const BreakProperties& tables = ProgramBreakProperties();
    ASSERT_NE(tables.line, nullptr);
    std::ifstream in(SourcePath() + "/resources/unicode/ucd-5.2.0/LineBreak.txt");
    ASSERT_TRUE(in);
    const std::map<std::string, int> numbers = {
        {"OP", 0}, {"CL", 1}, {"CP", 2}, {"QU", 3}, {"GL", 4}, {"NS", 5}, {"EX", 6}, {"SY", 7},
        {"IS", 8}, {"PR", 9}, {"PO", 10}, {"NU", 11}, {"AL", 12}, {"ID", 13}, {"IN", 14}, {"HY", 15},
        {"BA", 16}, {"BB", 17}, {"B2", 18}, {"ZW", 19}, {"CM", 20}, {"WJ", 21}, {"H2", 22}, {"H3", 23},
        {"JL", 24}, {"JV", 25}, {"JT", 26}, {"SA", 27}, {"SP", 28}, {"BK", 30}, {"CR", 31}, {"LF", 32},
        {"NL", 33}, {"CB", 34}, {"SG", 35}, {"AI", 36}, {"XX", 37}};
    std::vector<int> expected(kBreakTableCodePoints, 37);
    for (std::string line; std::getline(in, line);) {
        line = line.substr(0, line.find('#'));
        size_t semi = line.find(';');
        if (semi == std::string::npos) continue;
        std::string range = line.substr(0, semi), value = line.substr(semi + 1);
        value.erase(value.find_last_not_of(" \t\r") + 1);
        size_t dots = range.find("..");
        uint32_t first = std::stoul(range, nullptr, 16);
        uint32_t last = dots == std::string::npos ? first : std::stoul(range.substr(dots + 2), nullptr, 16);
        for (uint32_t cp = first; cp <= last && cp < kBreakTableCodePoints; ++cp) expected[cp] = numbers.at(value);
    }
    int differences = 0;
    for (char32_t cp = 0; cp < kBreakTableCodePoints; ++cp)
        if ((*tables.line)[cp] != expected[cp] && ++differences < 10)
            ADD_FAILURE() << std::hex << static_cast<uint32_t>(cp) << ": " << int((*tables.line)[cp]) << " vs "
                          << expected[cp];
    EXPECT_EQ(differences, 0);
}

TEST(ProgramSegmentation, OverridesAreApplied) {
    EXPECT_EQ(GetWordBreakProperty(U':'), kWordOther);
    EXPECT_EQ(GetWordBreakProperty(0x00B7), kWordOther);
    EXPECT_EQ(GetWordBreakProperty(U';'), kWordOther);
    EXPECT_EQ(GetWordBreakProperty(U'<'), kWordOther);
    EXPECT_EQ(GetWordBreakProperty(0x3005), kWordOther);
    EXPECT_EQ(GetWordBreakProperty(0xFF10), kWordNumeric);
    EXPECT_EQ(GetWordBreakProperty(U'a'), kWordALetter);
    EXPECT_EQ(GetWordBreakProperty(0x30AB), kWordKatakana);
    const BreakProperties& tables = ProgramBreakProperties();
    ASSERT_NE(tables.sentence, nullptr);
    EXPECT_EQ((*tables.sentence)[0x2026], kSentenceATerm);
    EXPECT_EQ((*tables.sentence)[U':'], kSentenceSTerm);
    EXPECT_EQ((*tables.sentence)[U';'], kSentenceSTerm);
    for (char32_t cp : {0x300C, 0x300E, 0xFF08, 0x3014, 0xFF3B, 0xFF5B, 0x3008, 0x300A, 0x3010})
        EXPECT_EQ((*tables.sentence)[cp], kSentenceOther) << std::hex << static_cast<uint32_t>(cp);
    EXPECT_EQ((*tables.sentence)[0x300D], kSentenceClose);
    ASSERT_NE(tables.bidi, nullptr);
    EXPECT_EQ((*tables.bidi)[0x0301], 13);   // NSM
    EXPECT_EQ((*tables.bidi)[0x05D0], 2);    // R
    EXPECT_EQ((*tables.bidi)[U'a'], 1);      // L
}

TEST(BreakPropertyExpansion, ClampsRecordsAtTheArrayEndAndIgnoresReversedOnes) {
    auto array = std::make_unique<BreakClassArray>();
    std::vector<uint8_t> bytes;
    auto put = [&](uint32_t v) {
        for (int s = 0; s < 32; s += 8) bytes.push_back(static_cast<uint8_t>(v >> s));
    };
    for (uint32_t v : {0x1FFF0u, 0x2FFFFu, 5u, 0x30000u, 0x3FFFFu, 6u, 0x20u, 0x10u, 7u, 0x41u, 0x41u, 3u}) put(v);
    bytes.push_back(0xAA);   // a trailing partial record
    ExpandRangeRecords(bytes, 0, *array);
    EXPECT_EQ((*array)[0x1FFEF], 0);
    EXPECT_EQ((*array)[0x1FFF0], 5);
    EXPECT_EQ((*array)[0x1FFFF], 5);
    EXPECT_EQ((*array)[0x10], 0);
    EXPECT_EQ((*array)[0x20], 0);
    EXPECT_EQ((*array)[0x41], 3);
}

}  // namespace
