#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/segmentation/tests/segmentation_test_tables.h"
#include "common/segmentation/text_segmentation.h"

namespace {

std::vector<std::u16string> Words(std::u16string_view text, int32_t maximum = 64) {
    std::vector<std::u16string> words;
    std::vector<char16_t> buffer(maximum + 1);
    int32_t position = 0, end = 0;
    for (int32_t n; (n = Segmenter().NextWord(text.data(), Len(text), &position, &end, buffer.data(), maximum)) >= 0;) {
        EXPECT_EQ(buffer[n], 0);
        words.emplace_back(buffer.data(), n);
        position = end;
    }
    return words;
}

std::vector<std::u16string> Segments(std::u16string_view text) {
    std::vector<std::u16string> segments;
    int32_t start = 0, end = 0;
    while (Segmenter().NextWordBoundary(text.data(), Len(text), &start, &end)) {
        segments.emplace_back(text.substr(start, end - start));
        start = end;
    }
    return segments;
}

using WordList = std::vector<std::u16string>;

struct WordCase {
    const char16_t* text;
    WordList words;
};

class NextWordSplits : public testing::TestWithParam<WordCase> {};

TEST_P(NextWordSplits, IntoTheExpectedWords) { EXPECT_EQ(Words(GetParam().text), GetParam().words); }

INSTANTIATE_TEST_SUITE_P(
    PinnedCases, NextWordSplits,
    testing::Values(
        // The comma, the space and the final full stop yield nothing.
        WordCase{u"Hello, world.", {u"Hello", u"world"}},
        // Kanji and katakana are a segment each: katakana does not join katakana.
        WordCase{u"東京タワー", {u"東", u"京", u"タ", u"ワ", u"ー"}},
        WordCase{u"０１２", {u"０１２"}},
        // MidNum and MidNumLet never join.
        WordCase{u"3.14", {u"3", u"14"}},
        WordCase{u"1,000", {u"1", u"000"}},
        WordCase{u"don't", {u"don", u"t"}},
        // The overridden colon and middle dot no longer join letters.
        WordCase{u"a:b", {u"a", u"b"}},
        WordCase{u"l·l", {u"l", u"l"}},
        WordCase{u"佐々木", {u"佐", u"々", u"木"}},
        // Letters, digits and connectors join; marks attach.
        WordCase{u"abc123_x", {u"abc123_x"}},
        WordCase{u"__", {u"__"}},
        WordCase{u"cafe\u0301 noir", {u"cafe\u0301", u"noir"}},
        WordCase{u"ab\u0900c", {u"ab\u0900c"}},
        WordCase{u"a\u200Bb", {u"a\u200Bb"}},
        // A supplementary letter is one code point.
        WordCase{u"x\U00010400y", {u"x\U00010400y"}},
        WordCase{u"", {}},
        WordCase{u" . , ", {}}));

TEST(NextWord, CutsAtTheMaximumAndKeepsTheSegmentEnd) {
    std::u16string text = u"abcdef gh";
    char16_t word[4];
    int32_t position = 0, end = 0;
    EXPECT_EQ(Segmenter().NextWord(text.data(), Len(text), &position, &end, word, 3), 3);
    EXPECT_EQ(std::u16string(word), u"abc");
    EXPECT_EQ(position, 0);
    EXPECT_EQ(end, 6);
}

TEST(NextWord, ReportsTheStartOfTheSegmentThatYieldedTheWord) {
    std::u16string text = u", hello";
    char16_t word[16];
    int32_t position = 0, end = 0;
    EXPECT_EQ(Segmenter().NextWord(text.data(), Len(text), &position, &end, word, 15), 5);
    EXPECT_EQ(position, 2);
    EXPECT_EQ(end, 7);
}

TEST(NextWordBoundary, KeepsCrLfTogether) {
    EXPECT_EQ(Segments(u"a\r\nb"), (WordList{u"a", u"\r\n", u"b"}));
    EXPECT_EQ(Segments(u"\n\r"), (WordList{u"\n", u"\r"}));
}

TEST(NextWordBoundary, JoinsLettersAcrossOneMidLetterOnly) {
    EXPECT_EQ(Segments(u"ab\u2027cd"), (WordList{u"ab\u2027cd"}));
    EXPECT_EQ(Segments(u"ab\u2027"), (WordList{u"ab", u"\u2027"}));
    EXPECT_EQ(Segments(u"a\u2027\u2027b"), (WordList{u"a", u"\u2027", u"\u2027", u"b"}));
    EXPECT_EQ(Segments(u"1\u2027b"), (WordList{u"1", u"\u2027", u"b"}));
    EXPECT_EQ(Segments(u"\u2027b"), (WordList{u"\u2027", u"b"}));
}

TEST(NextWordBoundary, AnswersZeroOutsideTheText) {
    std::u16string text = u"ab";
    int32_t start = 2, end = -7;
    EXPECT_EQ(Segmenter().NextWordBoundary(text.data(), 2, &start, &end), 0);
    start = -1;
    EXPECT_EQ(Segmenter().NextWordBoundary(text.data(), 2, &start, &end), 0);
    EXPECT_EQ(end, -7);
}

TEST(WordBreakProperty, FollowsThePlaneRules) {
    TextSegmenter s = Segmenter();
    EXPECT_EQ(s.GetWordBreakProperty(U'a'), kWordALetter);
    EXPECT_EQ(s.GetWordBreakProperty(U':'), kWordOther);
    EXPECT_EQ(s.GetWordBreakProperty(0xFF15), kWordNumeric);
    EXPECT_EQ(s.GetWordBreakProperty(0x3005), kWordOther);
    EXPECT_EQ(s.GetWordBreakProperty(0x20000), kWordOther);
    EXPECT_EQ(s.GetWordBreakProperty(0xE0001), kWordFormat);
    EXPECT_EQ(s.GetWordBreakProperty(0xE007F), kWordFormat);
    EXPECT_EQ(s.GetWordBreakProperty(0xE0100), kWordExtend);
    EXPECT_EQ(s.GetWordBreakProperty(0xE01EF), kWordExtend);
    EXPECT_EQ(s.GetWordBreakProperty(0xE01F0), kWordOther);
    BreakProperties none;
    EXPECT_EQ(TextSegmenter(none).GetWordBreakProperty(U'a'), kWordOther);
}

struct PrevCase {
    const char16_t* text;
    int32_t position;
    int32_t start;
    int32_t end;
};

class PrevWordBoundaryFinds : public testing::TestWithParam<PrevCase> {};

TEST_P(PrevWordBoundaryFinds, TheSegmentEndingAtThePosition) {
    const PrevCase& c = GetParam();
    std::u16string text = c.text;
    int32_t start = -5, position = c.position;
    ASSERT_EQ(Segmenter().PrevWordBoundary(text.data(), Len(text), &start, &position), 1);
    EXPECT_EQ(start, c.start);
    EXPECT_EQ(position, c.end);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrevWordBoundaryFinds,
    testing::Values(PrevCase{u"Hello, world", 11, 7, 12}, PrevCase{u"Hello, world", 3, 0, 4},
                    PrevCase{u"Hello, world", 5, 5, 6}, PrevCase{u"東京タワー", 3, 3, 4},
                    // Katakana joins a connector in this direction only.
                    PrevCase{u"タ_ワ", 2, 0, 3}, PrevCase{u"ab:c", 3, 3, 4},
                    PrevCase{u"cafe\u0301", 4, 0, 5}, PrevCase{u"a\r\n", 2, 1, 3},
                    PrevCase{u"x\U00010400", 1, 0, 3}, PrevCase{u"x\U00010400", 2, 0, 3},
                    // A position past the text starts from its last unit.
                    PrevCase{u"ab cd", 9, 3, 5}));

TEST(PrevWordBoundary, AnswersZeroOnEmptyTextOrNegativePosition) {
    std::u16string text = u"ab";
    int32_t start = -9, position = 0;
    EXPECT_EQ(Segmenter().PrevWordBoundary(text.data(), 0, &start, &position), 0);
    position = -1;
    EXPECT_EQ(Segmenter().PrevWordBoundary(text.data(), 2, &start, &position), 0);
    EXPECT_EQ(start, -9);
}

TEST(WordAt, JoinsTheBackwardAndForwardSegments) {
    std::u16string text = u"Hello, world";
    int32_t start = 0, end = 0;
    ASSERT_EQ(Segmenter().WordAt(text.data(), Len(text), 9, &start, &end), 1);
    EXPECT_EQ(text.substr(start, end - start), u"world");
    ASSERT_EQ(Segmenter().WordAt(text.data(), Len(text), 0, &start, &end), 1);
    EXPECT_EQ(text.substr(start, end - start), u"Hello");
    // Past the end only the backward segment exists.
    ASSERT_EQ(Segmenter().WordAt(text.data(), Len(text), 12, &start, &end), 1);
    EXPECT_EQ(text.substr(start, end - start), u"world");
}

TEST(WordAt, AnswersZeroOnEmptyTextOrNegativePosition) {
    std::u16string text = u"ab";
    int32_t start = -9, end = -9;
    EXPECT_EQ(Segmenter().WordAt(text.data(), 0, 0, &start, &end), 0);
    EXPECT_EQ(Segmenter().WordAt(text.data(), 2, -1, &start, &end), 0);
    EXPECT_EQ(start, -9);
    EXPECT_EQ(end, -9);
}

TEST(Segmenters, ReportNothingWithoutTables) {
    BreakProperties none;
    TextSegmenter s(none);
    std::u16string text = u"ab. cd";
    int32_t start = 0, end = 0;
    char16_t word[8];
    EXPECT_EQ(s.NextWordBoundary(text.data(), Len(text), &start, &end), 0);
    EXPECT_EQ(s.PrevWordBoundary(text.data(), Len(text), &start, &end), 0);
    EXPECT_EQ(s.NextWord(text.data(), Len(text), &start, &end, word, 7), -1);
    EXPECT_EQ(s.NextSentence(text.data(), Len(text), &start, &end), 0);
    EXPECT_EQ(s.FindLastLineBreak(text.data(), Len(text)), -1);
}

}  // namespace
