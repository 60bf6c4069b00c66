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

// NextWord is the segments of NextWordBoundary with leading units that lead
// no word dropped (its shortcut past single blanks and punctuation must not
// change that): word, position and end agree on random texts mixing blanks,
// punctuation, marks and formats that attach to them, CR LF, letters,
// connectors, a surrogate pair, a lone surrogate and NUL, over the sample
// tables and the program's own.
TEST(NextWord, GivesTheWordsOfTheSegmentsWithLeadingNonWordUnitsDropped) {
    const std::vector<std::u16string> pieces = {u" ", u".", u"(", u"\t", u"\r", u"\n", u"a", u"b", u"1", u"_",
                                                u"'", u"\u0301", u"\u200B", u"\u00AD", u"\u0900", u"\u30A2",
                                                u"\u3001", u"\U00010400", std::u16string(1, char16_t{0xD800}),
                                                std::u16string(1, char16_t{0})};
    for (const BreakProperties* tables : {&Sample().Tables(), &ProgramBreakProperties()}) {
        const TextSegmenter segmenter(*tables);
        uint32_t seed = 12345;
        for (int round = 0; round < 3000; ++round) {
            std::u16string text;
            for (int i = round % 13; i >= 0; --i) {
                seed = seed * 1103515245u + 12345u;
                text += pieces[(seed >> 16) % pieces.size()];
            }
            std::u16string wanted, got;
            int32_t from = 0;
            for (;;) {
                // The reference: segment by segment, leading non-word units dropped, at most 4 units.
                int32_t position = -1, end = -1, start = from, stop = 0;
                wanted.clear();
                while (segmenter.NextWordBoundary(text.data(), Len(text), &start, &stop)) {
                    for (int32_t i = start; i < stop && wanted.size() < 4; ++i) {
                        const int32_t category = tables->category(text[i]);
                        if (wanted.empty() && (text[i] == 0 || category == 8 || (category >= 13 && category <= 26)))
                            continue;
                        wanted += text[i];
                    }
                    if (!wanted.empty()) {
                        position = start;
                        end = stop;
                        break;
                    }
                    start = stop;
                }
                char16_t word[5] = {};
                int32_t gotPosition = from, gotEnd = -1;
                const int32_t n = segmenter.NextWord(text.data(), Len(text), &gotPosition, &gotEnd, word, 4);
                if (wanted.empty()) {
                    ASSERT_EQ(n, -1) << round;
                    break;
                }
                ASSERT_EQ(std::u16string(word, std::max(n, 0)), wanted) << round;
                ASSERT_EQ(gotPosition, position) << round;
                ASSERT_EQ(gotEnd, end) << round;
                from = end;
            }
        }
    }
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
