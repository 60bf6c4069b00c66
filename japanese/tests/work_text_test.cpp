// Cutting the work text for each mode and the Japanese/Western decision.
#include <gtest/gtest.h>

#include <iterator>

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
    EXPECT_EQ(work->end, 3 + 255);  // where the reading stopped in the given text
    // The 255th unit would part a surrogate pair: the pair stays out whole.
    work = CutWorkText(std::u16string(254, u'あ') + u"\U00020B9F", 0, 0, 0, TranslateMode::kWholeText);
    EXPECT_EQ(work->text.size(), 254u);
}

TEST(CutWorkText, InputLineIsTakenWholeWithTheCaretWhereItStands) {
    std::u16string text(1000, u'か');
    auto work = CutWorkText(text, 900, 0, 0, TranslateMode::kInputLine);
    ASSERT_TRUE(work);
    EXPECT_EQ(work->text.size(), text.size());
    EXPECT_EQ(work->caret, 900);
    EXPECT_EQ(CutWorkText(u"かな", 7, 0, 0, TranslateMode::kInputLine)->caret, 0);  // outside: 0
    EXPECT_FALSE(CutWorkText(u"", 0, 0, 0, TranslateMode::kInputLine));
    // Longer than the line holds: cut at its end, a surrogate pair kept whole.
    text = std::u16string(kInputLineUnits - 1, u'か') + u"\U00020B9F" + u"x";
    work = CutWorkText(text, 0, 0, 0, TranslateMode::kInputLine);
    EXPECT_EQ(work->text.size(), size_t{kInputLineUnits - 1});
    EXPECT_EQ(work->end, kInputLineUnits - 1);
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

// Without a caret on the text (a whole text, or the input line with the
// caret behind its end after a paste or typing) the text's own script
// decides, not its first character; a caret on a word beyond the 255th
// character decides by that word. A text of more Western letters is still
// Japanese where the word the Western look-up would read (the first, or the
// one the caret stands behind) is Japanese: that word has no Western reading.
TEST(DecideTextKind, WithoutACaretOnTheTextItsScriptDecides) {
    struct Case {
        std::u16string text;
        int32_t caret;
        TranslateMode mode;
        TextKind kind;
    };
    const std::u16string paragraph = u"apt-getは、パッケージを操作するコマンドラインツールです。";
    const std::u16string longLine = std::u16string(300, u'a') + u" 猫です";
    const Case cases[] = {
        {paragraph, static_cast<int32_t>(paragraph.size()), TranslateMode::kInputLine, TextKind::kJapanese},
        {paragraph, 0, TranslateMode::kWholeText, TextKind::kJapanese},
        {u"Arma virumque cano, Troiae qui primus ab oris", 45, TranslateMode::kInputLine, TextKind::kWestern},
        {u"Arma virumque cano", 0, TranslateMode::kWholeText, TextKind::kWestern},
        {u"Я люблю суши", 12, TranslateMode::kInputLine, TextKind::kWestern},
        {u"ＡＢＣです", 5, TranslateMode::kInputLine, TextKind::kJapanese},  // full-width letters count as Japanese
        {u"!? …", 4, TranslateMode::kInputLine, TextKind::kWestern},        // no letter at all
        {longLine, 301, TranslateMode::kInputLine, TextKind::kJapanese},    // the caret on 猫, behind the 255th
        {u"ねこ 猫 кошка cat felis", 0, TranslateMode::kWholeText, TextKind::kJapanese},
        {u"ねこ 猫 кошка cat felis", 20, TranslateMode::kInputLine, TextKind::kWestern},  // felis just typed
        {u"a cat is ねこ", 11, TranslateMode::kInputLine, TextKind::kJapanese},         // ねこ just typed
        {u"・cat dog ねこ", 0, TranslateMode::kWholeText, TextKind::kWestern},          // the stop is no word
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto work = CutWorkText(cases[i].text, cases[i].caret, 0, 0, cases[i].mode);
        ASSERT_TRUE(work) << "case " << i;
        // No hit covers the caret here.
        EXPECT_EQ(DecideTextKind(*work, std::nullopt), cases[i].kind) << "case " << i;
    }
}

// The edges of the input line's judgement: a caret on its first character
// stands on the text; one just behind it stands on the last word typed
// (behind a blank or a stop, on the word before them; a supplementary
// kanji whole) while the script of the whole line decides its kind; one
// behind a line longer than is read counts as 0.
TEST(CutWorkText, CaretAtTheEdgesOfTheInputLine) {
    auto first = CutWorkText(u"猫 is a cat", 0, 0, 0, TranslateMode::kInputLine);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->caretOnText);
    EXPECT_EQ(DecideTextKind(*first, std::nullopt), TextKind::kJapanese);  // by the character at the caret
    struct Case {
        std::u16string text;
        int32_t caret;  // where the caret counts
        TextKind kind;
    };
    const Case behind[] = {
        {u"Arma virumque cano", 17, TextKind::kWestern},
        {u"Arma virumque cano ", 17, TextKind::kWestern},
        {u"ほんをよみます。", 6, TextKind::kJapanese},
        {u"猫は𠮟", 2, TextKind::kJapanese},
        {u"猫 is a cat", 9, TextKind::kWestern},
        {u"!?", 1, TextKind::kWestern},
    };
    for (const Case& c : behind) {
        const auto work = CutWorkText(c.text, static_cast<int32_t>(c.text.size()), 0, 0, TranslateMode::kInputLine);
        ASSERT_TRUE(work);
        EXPECT_FALSE(work->caretOnText) << work->caret;
        EXPECT_EQ(work->caret, c.caret) << work->caret;
        EXPECT_EQ(DecideTextKind(*work, std::nullopt), c.kind) << work->caret;
    }
    const std::u16string longLine = std::u16string(kInputLineUnits + 5, u'a');
    for (int32_t caret : {kInputLineUnits, kInputLineUnits + 5, kInputLineUnits + 6}) {
        const auto work = CutWorkText(longLine, caret, 0, 0, TranslateMode::kInputLine);
        ASSERT_TRUE(work);
        EXPECT_EQ(work->caret, 0) << caret;
        EXPECT_FALSE(work->caretOnText) << caret;
    }
}

// As many Japanese as Western letters is Japanese; one Western letter more
// is not, unless a Japanese sentence stands in the text: a paragraph of a
// Japanese README whose links hold three times its Japanese characters.
TEST(IsJapaneseScript, ATieIsJapaneseAndASentenceOutweighsLinks) {
    EXPECT_TRUE(IsJapaneseScript(u"ab 猫犬"));
    EXPECT_FALSE(IsJapaneseScript(u"abc 猫犬"));
    EXPECT_TRUE(IsJapaneseScript(u"ａｂ cd"));  // full-width letters count on the Japanese side
    const std::u16string readme =
        u"インストール後，英語版のガイドは [texmf-dist/doc/texlive/](../texmf-dist/doc/texlive/texlive-en) "
        u"以下に [HTML](../texmf-dist/doc/texlive/texlive-en/texlive-en.html) 形式と "
        u"[PDF](../texmf-dist/doc/texlive/texlive-en/texlive-en.pdf) 形式で配置されます．日本語版の TeX Live ガイド "
        u"([PDF](../texmf-dist/doc/texlive/texlive-ja/texlive-ja.pdf)) もあります．";
    const ScriptCounts counts = CountScripts(readme);
    EXPECT_LT(counts.japanese * 2, counts.other);
    EXPECT_TRUE(IsJapaneseScript(readme));
    // Nine Japanese characters, or ten without a hiragana, make no sentence.
    EXPECT_FALSE(IsJapaneseScript(u"the greeting おはようございます is said in the morning"));
    EXPECT_TRUE(IsJapaneseScript(u"the thanks ありがとうございます。 are said to a stranger too"));
    EXPECT_FALSE(IsJapaneseScript(u"Tokyo 東京都千代田区霞ヶ関一丁目 is an address, written out for a letter"));
}

}  // namespace
}  // namespace ostrel::japanese
