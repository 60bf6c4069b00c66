// Cutting the work text for each mode and the Japanese/Western decision.
#include <gtest/gtest.h>

#include "japanese/work_text.h"

namespace ostrel::japanese {
namespace {

TEST(CutWorkText, UnderCursorTakesTheRunAboutTheCaretWithinItsWindow) {
    const std::u16string text = u"man ページを参照してください。 ls";
    auto work = CutWorkText(text, 6, 2, 3, TranslateMode::kUnderCursor);  // caret on ジ
    ASSERT_TRUE(work);
    EXPECT_EQ(work->text, u"ページを参照");  // 2 before, 3 behind the caret
    EXPECT_EQ(work->text[work->caret], u'ジ');
    EXPECT_FALSE(CutWorkText(text, 3, 12, 12, TranslateMode::kUnderCursor));  // on the blank
    auto whole = CutWorkText(text, 6, 12, 12, TranslateMode::kUnderCursor);
    EXPECT_EQ(whole->text, u"ページを参照してください。");
}

TEST(CutWorkText, WholeTextSkipsLeadingBlanksAndTurnsControlsIntoBlanks) {
    std::u16string text = u" \t\n日本\n語";
    text += std::u16string(300, u'あ');
    auto work = CutWorkText(text, 5, 0, 0, TranslateMode::kWholeText);
    ASSERT_TRUE(work);
    EXPECT_EQ(work->text.size(), 255u);
    EXPECT_EQ(work->text.substr(0, 4), u"日本 語");
    EXPECT_EQ(work->caret, 0);
}

TEST(CutWorkText, InputLineKeepsTheCaretInsideTheCut) {
    std::u16string text(1000, u'か');
    auto work = CutWorkText(text, 900, 0, 0, TranslateMode::kInputLine);
    ASSERT_TRUE(work);
    EXPECT_EQ(work->text.size(), 255u);
    EXPECT_EQ(work->caret, 254);
    EXPECT_EQ(CutWorkText(u"かな", 7, 0, 0, TranslateMode::kInputLine)->caret, 0);  // outside: 0
    EXPECT_FALSE(CutWorkText(u"", 0, 0, 0, TranslateMode::kInputLine));
}

TEST(JapaneseChars, CoverKanaKanjiRepeatMarkAndLengthMark) {
    EXPECT_EQ(CountScripts(u"々ー漢かナ\U00020B9F").japanese, 6);
    EXPECT_EQ(CountScripts(u"ABC・、").japanese, 1);  // ・ U+30FB lies in the kana range
}

TEST(DecideTextKind, FollowsTheHitAtTheCaretThenTheCharacter) {
    WorkText japanese{u"食べます", 1};
    EXPECT_EQ(DecideTextKind(japanese, HitSpan{0, 4}), TextKind::kJapanese);
    WorkText latin{u"use grep now", 5};
    EXPECT_EQ(DecideTextKind(latin, std::nullopt), TextKind::kWestern);
    // A hit of Latin letters that holds the whole word at the caret: Japanese.
    WorkText fullwidth{u"ＡＢＣです", 1};
    EXPECT_EQ(DecideTextKind(fullwidth, HitSpan{0, 3}), TextKind::kJapanese);
    // The hit covers only part of the word at the caret: Western.
    EXPECT_EQ(DecideTextKind(latin, HitSpan{4, 2}), TextKind::kWestern);
}

}  // namespace
}  // namespace ostrel::japanese
