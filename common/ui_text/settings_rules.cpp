// The window-free rules of the settings dialog.
#include "common/ui_text/settings_rules.h"

int32_t StartPageButton(int32_t startPage) {
    switch (startPage) {
    case 2: return settings_page::kFonts;
    case 3: return settings_page::kTransliteration;
    case 4: return settings_page::kEditor;
    case 5: return settings_page::kMiscellaneous;
    default: return settings_page::kLists;
    }
}

bool IsSettingsPageButton(int32_t id) {
    return id == settings_page::kFonts || id == settings_page::kTransliteration || id == settings_page::kLists ||
           id == settings_page::kEditor || id == settings_page::kMiscellaneous;
}

TranslitChoice TranslitChoiceFromFlags(uint32_t flags) {
    using namespace translit_flag;
    TranslitChoice choice;
    choice.latin = !(flags & kRussianLetters) && (flags & (kLatinLetters | kEnglishInterface));
    choice.inLists = flags & kInLists;
    choice.replaceKana = flags & kReplaceKana;
    choice.besideKana = !choice.replaceKana && (flags & kBesideKana);
    return choice;
}

uint32_t ApplyTranslitChoice(uint32_t flags, const TranslitChoice& choice) {
    using namespace translit_flag;
    flags &= ~kSavedMask;
    flags |= choice.latin ? kLatinLetters : kRussianLetters;
    if (choice.inLists) flags |= kInLists;
    if (choice.replaceKana) flags |= kReplaceKana;
    else if (choice.besideKana) flags |= kBesideKana;
    return flags;
}

bool TranslitReshowsArticle(uint32_t before, uint32_t after) {
    using namespace translit_flag;
    const bool articleChoiceChanged = (before ^ after) & (kReplaceKana | kBesideKana);
    if (!articleChoiceChanged) return false;
    // The lists are redrawn in these cases, and with them the article.
    const bool listUseSwitchedOff = (before & kInLists) && !(after & kInLists);
    const bool radioChanged = (before ^ after) & (kRussianLetters | kLatinLetters);
    const bool listUseRedraws = (after & kInLists) && (!(before & kInLists) || radioChanged);
    return !listUseSwitchedOff && !listUseRedraws;
}

uint32_t DefaultTranslitFlags(uint32_t flags) {
    using namespace translit_flag;
    flags &= ~(kInLists | kReplaceKana | kBesideKana | kRussianLetters | kLatinLetters);
    return flags | ((flags & (kEnglishInterface | kJapaneseInterface)) ? kLatinLetters : kRussianLetters);
}

int32_t ExpandFromListItem(int32_t item) { return item == 1 ? 1 : item == 2 ? 0 : 2; }

int32_t ListItemFromExpand(int32_t expand) { return expand == 1 ? 1 : expand == 0 ? 2 : 0; }

std::u16string NormalizeHomeSite(std::u16string_view text) {
    size_t end = text.size();
    while (end > 0 && text[end - 1] <= 0x20) --end;
    std::u16string site(text.substr(0, end));
    if (!site.empty() && site.back() != u'/') site += u'/';
    return site;
}
