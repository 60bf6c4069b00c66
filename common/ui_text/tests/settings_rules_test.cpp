// The settings dialog's window-free rules.
#include "common/ui_text/settings_rules.h"

#include <gtest/gtest.h>

namespace {

using namespace translit_flag;

TEST(SettingsRules, StartPagesAndPageButtons) {
    EXPECT_EQ(StartPageButton(2), settings_page::kFonts);
    EXPECT_EQ(StartPageButton(3), settings_page::kTransliteration);
    EXPECT_EQ(StartPageButton(4), settings_page::kEditor);
    EXPECT_EQ(StartPageButton(5), settings_page::kMiscellaneous);
    for (int32_t page : {0, 1, 6, 7, -1}) EXPECT_EQ(StartPageButton(page), settings_page::kLists) << page;
    EXPECT_TRUE(IsSettingsPageButton(1093));
    EXPECT_FALSE(IsSettingsPageButton(1054));
}

TEST(SettingsRules, TransliterationBits) {
    // The radio: Latin when Russian letters are off and Latin letters or the English interface on.
    EXPECT_TRUE(TranslitChoiceFromFlags(kLatinLetters).latin);
    EXPECT_TRUE(TranslitChoiceFromFlags(kEnglishInterface).latin);
    EXPECT_FALSE(TranslitChoiceFromFlags(kRussianLetters | kLatinLetters).latin);
    EXPECT_FALSE(TranslitChoiceFromFlags(0).latin);
    // 0x200 and 0x400 exclude each other; saving replaces exactly 0x600700.
    EXPECT_FALSE(TranslitChoiceFromFlags(kReplaceKana | kBesideKana).besideKana);
    const uint32_t other = 0x8000 | 0x1000 | 0x800;
    EXPECT_EQ(ApplyTranslitChoice(other | 0x600700, {.latin = true, .inLists = true, .besideKana = true}),
              other | kLatinLetters | kInLists | kBesideKana);
    EXPECT_EQ(ApplyTranslitChoice(other, {}), other | kRussianLetters);
    EXPECT_EQ(DefaultTranslitFlags(0x600700 | kEnglishInterface), kEnglishInterface | kLatinLetters);
    EXPECT_EQ(DefaultTranslitFlags(0x600700 | kJapaneseInterface), kJapaneseInterface | kLatinLetters);
    EXPECT_EQ(DefaultTranslitFlags(0x600700), kRussianLetters);
}

TEST(SettingsRules, ArticleShownAgainOnlyWhenTheListsDoNotRedraw) {
    EXPECT_TRUE(TranslitReshowsArticle(kRussianLetters, kRussianLetters | kReplaceKana));
    EXPECT_FALSE(TranslitReshowsArticle(kRussianLetters, kRussianLetters));
    // The list use switched off, or newly on, or on with another alphabet: the lists redraw.
    EXPECT_FALSE(TranslitReshowsArticle(kInLists | kRussianLetters, kRussianLetters | kBesideKana));
    EXPECT_FALSE(TranslitReshowsArticle(kRussianLetters, kInLists | kRussianLetters | kBesideKana));
    EXPECT_FALSE(TranslitReshowsArticle(kInLists | kRussianLetters, kInLists | kLatinLetters | kBesideKana));
    EXPECT_TRUE(TranslitReshowsArticle(kInLists | kRussianLetters, kInLists | kRussianLetters | kBesideKana));
}

TEST(SettingsRules, ExpandListAndHomeSite) {
    for (int32_t item = 0; item < 3; ++item) EXPECT_EQ(ListItemFromExpand(ExpandFromListItem(item)), item);
    EXPECT_EQ(ExpandFromListItem(0), 2);
    EXPECT_EQ(ExpandFromListItem(2), 0);
    EXPECT_EQ(NormalizeHomeSite(u"http://example.org \t\r\n"), u"http://example.org/");
    EXPECT_EQ(NormalizeHomeSite(u"http://example.org/"), u"http://example.org/");
    EXPECT_EQ(NormalizeHomeSite(u"   "), u"");
}

}  // namespace
