#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/segmentation/tests/segmentation_test_tables.h"
#include "common/segmentation/text_segmentation.h"

namespace {

using Pieces = std::vector<std::u16string>;

Pieces Sentences(std::u16string_view text) {
    Pieces sentences;
    int32_t start = 0, end = 0;
    while (Segmenter().NextSentence(text.data(), Len(text), &start, &end)) {
        EXPECT_GT(end, start);
        sentences.emplace_back(text.substr(start, end - start));
        start = end;
    }
    return sentences;
}

struct SentenceCase {
    const char16_t* text;
    Pieces sentences;
};

class NextSentenceSplits : public testing::TestWithParam<SentenceCase> {};

TEST_P(NextSentenceSplits, IntoTheExpectedSentences) {
    EXPECT_EQ(Sentences(GetParam().text), GetParam().sentences);
}

INSTANTIATE_TEST_SUITE_P(
    PinnedCases, NextSentenceSplits,
    testing::Values(
        // Upper ATerm Upper, then ATerm Sp Lower: one sentence.
        SentenceCase{u"U.S. army", {u"U.S. army"}},
        // A lower-case letter before the full stop does not protect it.
        SentenceCase{u"Dr. Smith", {u"Dr. ", u"Smith"}},
        SentenceCase{u"これは本。」次の文。", {u"これは本。」", u"次の文。"}},
        // 」 directly before と ends a sentence before と.
        SentenceCase{u"「行く」と言った。", {u"「行く」", u"と言った。"}},
        SentenceCase{u"行く。」と言った", {u"行く。」", u"と言った"}},
        SentenceCase{u"Pi is 3.14 exactly.", {u"Pi is 3.14 exactly."}},
        SentenceCase{u"Wait... What?! Yes.", {u"Wait... ", u"What?! ", u"Yes."}},
        SentenceCase{u"He said \"Go.\" Then left.", {u"He said \"Go.\" ", u"Then left."}},
        // The ellipsis is a full stop; colon and semicolon end sentences.
        SentenceCase{u"So\u2026 Then", {u"So\u2026 ", u"Then"}},
        SentenceCase{u"Note: this", {u"Note: ", u"this"}},
        // Separators end a sentence; CR LF counts as one.
        SentenceCase{u"one\r\ntwo\nthree\u2029four\rfive", {u"one\r\n", u"two\n", u"three\u2029", u"four\r", u"five"}},
        SentenceCase{u"End.\r\nNext", {u"End.\r\n", u"Next"}},
        // Marks attach to the terminator before them.
        SentenceCase{u"Ok.\u0301 Go", {u"Ok.\u0301 ", u"Go"}},
        SentenceCase{u"No terminator", {u"No terminator"}},
        SentenceCase{u"", {}}));

TEST(NextSentence, AnswersZeroOutsideTheText) {
    std::u16string text = u"ab.";
    int32_t start = 3, end = -2;
    EXPECT_EQ(Segmenter().NextSentence(text.data(), 3, &start, &end), 0);
    start = -1;
    EXPECT_EQ(Segmenter().NextSentence(text.data(), 3, &start, &end), 0);
    EXPECT_EQ(end, -2);
}

int32_t LastBreak(std::u16string_view text) { return Segmenter().FindLastLineBreak(text.data(), Len(text)); }

struct LineCase {
    const char16_t* text;
    int32_t expected;
};

class FindLastLineBreakAnswers : public testing::TestWithParam<LineCase> {};

TEST_P(FindLastLineBreakAnswers, TheLastOpportunity) { EXPECT_EQ(LastBreak(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    PinnedCases, FindLastLineBreakAnswers,
    testing::Values(
        LineCase{u"漢", -1}, LineCase{u"", -1}, LineCase{u"漢字", 0},
        // After the last space; never inside a word.
        LineCase{u"hello world", 5}, LineCase{u"hello", -1}, LineCase{u"hello  world", 6},
        // No break before a closing mark or after an opening one.
        LineCase{u"漢字。", 0}, LineCase{u"(漢字", 1}, LineCase{u"漢(字", 0},
        // A hard break: the break falls after the line feed and nothing after it counts.
        LineCase{u"ab\ncd ef", 2}, LineCase{u"ab\r\ncd", 3}, LineCase{u"ab\rcd", 2},
        // A space before a combining mark becomes its base: the break moves before it.
        LineCase{u"ab \u0301cd", 1}, LineCase{u"ab  \u0301cd", 2},
        // SA runs take no breaks; the unit after the run reads against its own class.
        LineCase{u"a\u0E01\u0E02b", -1}, LineCase{u"漢\u0E01\u0E02漢", 2},
        LineCase{u"ab-cd", 2}, LineCase{u"1,000", -1}));

TEST(FindLastLineBreak, ReadsSurrogateHalvesAsAlphabetic) {
    // An ideograph of plane 2 between kanji: both halves read as AL.
    EXPECT_EQ(LastBreak(u"漢\U00020000字"), 2);
    EXPECT_EQ(LastBreak(u"\U00020000"), -1);
    EXPECT_EQ(LastBreak(u"ab\xD800"), -1);
}

TEST(FindLastLineBreak, ReadsUnlistedCodePointsAsAlphabetic) {
    // Unassigned U+0378 defaults to XX (AL): AL before ID is a direct break,
    // where OP would have prohibited it.
    EXPECT_EQ(LastBreak(u"\u0378漢"), 0);
}

TEST(FindLastLineBreak, ClassifiesOnlyTheFirst256UnitsAndNeverReportsTheCut) {
    std::u16string kanji(300, u'漢');
    EXPECT_EQ(LastBreak(kanji), 254);
    std::u16string words = u"ab " + std::u16string(400, u'x');
    EXPECT_EQ(LastBreak(words), 2);
    std::u16string letters(257, u'x');
    EXPECT_EQ(LastBreak(letters), -1);
}

TEST(FindLastLineBreak, CombiningMarkAfterALeadingSpaceStaysInside) {
    EXPECT_EQ(LastBreak(u" \u0301ab"), -1);
    EXPECT_EQ(LastBreak(u" \u0301"), -1);
}

TEST(FindLastLineBreak, StopsAnSaRunAtTheEnd) {
    EXPECT_EQ(LastBreak(u"a\u0E01"), -1);
    EXPECT_EQ(LastBreak(u"\u0E01\u0E02\u0E03"), -1);
}

}  // namespace
