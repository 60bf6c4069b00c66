// The settings dialog's rules that need no window: which page a start page
// number opens, the transliteration bits of the flags word, the "Expand
// results" list against the stored value, and the home-site address as stored.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Page buttons of the settings dialog.
namespace settings_page {
inline constexpr int32_t kFonts = 1050;
inline constexpr int32_t kTransliteration = 1051;
inline constexpr int32_t kLists = 1052;
inline constexpr int32_t kEditor = 1053;
inline constexpr int32_t kMiscellaneous = 1093;
}  // namespace settings_page

// The button of a start page: 2 fonts, 3 transliteration, 4 editor, 5
// miscellaneous, anything else the lists.
int32_t StartPageButton(int32_t startPage);
// Whether a command id is one of the five page buttons (1054 is none).
bool IsSettingsPageButton(int32_t id);

// Transliteration bits of the application's flags word.
namespace translit_flag {
inline constexpr uint32_t kInLists = 0x100;
inline constexpr uint32_t kReplaceKana = 0x200;
inline constexpr uint32_t kBesideKana = 0x400;
inline constexpr uint32_t kJapaneseInterface = 0x800;
inline constexpr uint32_t kEnglishInterface = 0x4000;
inline constexpr uint32_t kRussianLetters = 0x200000;
inline constexpr uint32_t kLatinLetters = 0x400000;
inline constexpr uint32_t kSavedMask = 0x600700;
}  // namespace translit_flag

// The page's controls as the flags show them.
struct TranslitChoice {
    bool latin = false;        // radio 1091, else 1090
    bool inLists = false;      // 1087
    bool replaceKana = false;  // 1088
    bool besideKana = false;   // 1092 (excludes 1088)
};
TranslitChoice TranslitChoiceFromFlags(uint32_t flags);
// The flags with the saved bits replaced by the choice.
uint32_t ApplyTranslitChoice(uint32_t flags, const TranslitChoice& choice);
// Whether the current article is shown again after a save changed `before` to `after`.
bool TranslitReshowsArticle(uint32_t before, uint32_t after);
// The page's defaults: no transliteration, Latin letters in the English and
// Japanese interfaces, else Russian.
uint32_t DefaultTranslitFlags(uint32_t flags);

// "Expand results": list item 0 is the stored 2, 1 is 1, 2 is 0.
int32_t ExpandFromListItem(int32_t item);
int32_t ListItemFromExpand(int32_t expand);

// A home-site address as stored: trailing units of code 32 and below cut,
// a "/" appended when it has none (an empty address stays empty).
std::u16string NormalizeHomeSite(std::u16string_view text);
