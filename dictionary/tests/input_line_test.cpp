// The search box model: change counting, romaji to kana with the final-s
// rule, the Greek letter variants (worked examples and the 32-bit mask
// bound) and the word map.
#include <gtest/gtest.h>

#include "common/tests/fake_app_context.h"
#include "dictionary/input_line.h"

namespace {

struct GreekCase {
    const char16_t* text;
    uint64_t mask;
    const char16_t* greek;
    int32_t ambiguous;
};

class GreekVariant : public ::testing::TestWithParam<GreekCase> {};

TEST_P(GreekVariant, FollowsTheLetterTableAndThePairRules) {
    CInput input;
    input.SetText(GetParam().text);
    EXPECT_EQ(input.ToGreekVariant(GetParam().mask), GetParam().ambiguous);
    EXPECT_EQ(input.greek, GetParam().greek);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, GreekVariant,
    ::testing::Values(GreekCase{u"theos", 0, u"\u03B8\u03B5\u03BF\u03C2", 2},
                      GreekCase{u"theos", 2, u"\u03B8\u03B5\u03C9\u03C2", 2},
                      GreekCase{u"theos", 1, u"\u03C4\u03C7\u03B5\u03BF\u03C2", 2},
                      GreekCase{u"o2", 0, u"\u03C9", 0}, GreekCase{u"O1", 1, u"\u03BF", 0},
                      GreekCase{u"psyxh", 0, u"\u03C8\u03C8\u03C7\u03C7", 1},
                      GreekCase{u"psyxh", 1, u"\u03C0\u03C3\u03C8\u03C7\u03C7", 1},
                      GreekCase{u"\u043B\u043E\u0433\u043E\u0441", 0, u"\u03BB\u03BF\u03B3\u03BF\u03C2", 2}));

TEST(InputLine, MaskBitsFromThe32ndAmbiguousLetterOnReadAsClear) {
    CInput input;
    input.SetText(std::u16string(40, u'o'));
    EXPECT_EQ(input.ToGreekVariant(~uint64_t{0}), 32);
    EXPECT_EQ(input.greek, std::u16string(32, u'\u03C9') + std::u16string(8, u'\u03BF'));
}

TEST(InputLine, RomajiEndingInMasOrDesConvertsWhole) {
    FakeAppContext app;
    ScopedAppContext scope(app);
    CInput input;
    input.SetText(u"tabemas");
    EXPECT_EQ(input.ConvertToKana(), 0);
    EXPECT_EQ(input.converted, u"たべます");
    input.SetText(u"DES");
    EXPECT_EQ(input.ConvertToKana(), 0);
    EXPECT_EQ(input.converted, u"です");
    input.SetText(u"nek");
    EXPECT_EQ(input.ConvertToKana(), 1);
    input.SetText(u"neko");
    EXPECT_EQ(input.ConvertToKana(), 0);
    EXPECT_EQ(input.converted, u"ねこ");
    EXPECT_EQ(input.positionMap, (std::u16string{0, 2}));
}

TEST(InputLine, OnlyARealChangeCountsAndClearsTheDerivedTexts) {
    CInput input;
    int32_t first = input.SetText(u"neko");
    input.ConvertToKana();
    EXPECT_EQ(input.SetText(u"neko"), first);
    EXPECT_EQ(input.converted, u"ねこ");
    EXPECT_EQ(input.SetText(u"nekos"), first + 1);
    EXPECT_TRUE(input.converted.empty());
    EXPECT_EQ(input.SetText(std::u16string(2000, u'a')), first + 2);
    EXPECT_EQ(input.text.size(), size_t{CInput::kMaxText});
    input.Reset();
    EXPECT_EQ(input.changeCounter, first + 3);
    input.Reset();
    EXPECT_EQ(input.changeCounter, first + 3);
}

TEST(InputLine, WordsAreRunsOfLettersAndNumbers) {
    CInput input;
    input.SetText(u"cat, 2 dogs!");
    EXPECT_EQ(input.SplitWords(), 3);
    std::u16string word;
    EXPECT_EQ(input.GetWordText(2, &word), 4);
    EXPECT_EQ(word, u"dogs");
    EXPECT_EQ(input.WordAtPosition(3), 0);   // the comma after "cat"
    EXPECT_EQ(input.WordAtPosition(99), 2);  // past the end: the last character's word
    input.SetText(u"!?;");
    EXPECT_EQ(input.SplitWords(), 0);
    EXPECT_EQ(input.WordAtPosition(0), -1);
}

// A paste joins its lines with one blank each and is cut where the line's
// room ends, never inside a surrogate pair; it says how far it read in the
// user's characters: a CR LF is one, and so is a pair.
TEST(InputLine, APasteIsJoinedIntoOneLineAndCutAtTheRoomLeft) {
    const std::u16string paragraphs = u"\r\nПервый абзац.\r\n\r\nSecond\tline\n第三の段落\r\n";
    InputPaste paste = FitPasteIntoInput(paragraphs, CInput::kMaxText);
    EXPECT_EQ(paste.text, u"Первый абзац. Second line 第三の段落");
    EXPECT_FALSE(paste.cut);
    EXPECT_EQ(paste.length, static_cast<int32_t>(paragraphs.size()) - 4);
    EXPECT_EQ(paste.readUpTo, paste.length);

    const std::u16string latin(2000, u'a');
    paste = FitPasteIntoInput(latin, CInput::kMaxText);
    EXPECT_EQ(paste.text, latin.substr(0, CInput::kMaxText));
    EXPECT_TRUE(paste.cut);
    EXPECT_EQ(paste.readUpTo, CInput::kMaxText);
    EXPECT_EQ(paste.length, 2000);

    // 2,000 characters in 40 lines of 50, each line ended by CR LF but the
    // last: the box's 1,023 units are the first 1,023 characters.
    std::u16string lines;
    for (int line = 0; line < 40; ++line) lines += (line > 0 ? u"\r\n" : u"") + std::u16string(49, u'語');
    paste = FitPasteIntoInput(lines, CInput::kMaxText);
    EXPECT_EQ(paste.text.size(), static_cast<size_t>(CInput::kMaxText));
    EXPECT_EQ(std::make_pair(paste.readUpTo, paste.length), std::make_pair(CInput::kMaxText, 1999));

    // Room for one unit of a pair: the pair stays out.
    paste = FitPasteIntoInput(u"\u732B\U00020B9F", 2);
    EXPECT_EQ(paste.text, u"\u732B");
    EXPECT_EQ(paste.readUpTo, 1);
    EXPECT_EQ(paste.length, 2);
    // 600 characters outside the first plane fill 1,022 units: 511 of them.
    std::u16string far;
    for (int i = 0; i < 600; ++i) far += u"\U00020B9F";
    paste = FitPasteIntoInput(far, CInput::kMaxText);
    EXPECT_EQ(std::make_pair(paste.readUpTo, paste.length), std::make_pair(511, 600));
    // A line end at the edge of the room is where the reading stopped.
    paste = FitPasteIntoInput(u"ab\r\ncd", 2);
    EXPECT_EQ(paste.text, u"ab");
    EXPECT_TRUE(paste.cut);
    EXPECT_EQ(paste.readUpTo, 2);
    EXPECT_EQ(paste.length, 5);
    EXPECT_EQ(FitPasteIntoInput(u"ab", -5).text, u"");
}

// Characters as the user counts them: a lone CR or LF is one too, and a
// lone surrogate unit is a character of its own.
TEST(InputLine, UserCharactersCountALineEndAndAPairOnce) {
    EXPECT_EQ(UserCharacterCount(u""), 0);
    EXPECT_EQ(UserCharacterCount(u"a\r\nb\rc\nd\n\r"), 9);
    EXPECT_EQ(UserCharacterCount(u"\U00020B9F\u732B"), 2);
    EXPECT_EQ(UserCharacterCount(std::u16string(1, u'\xD842') + u"x"), 2);
}

}  // namespace
