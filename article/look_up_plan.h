// What looking up a selected text does, decided before any window is touched:
// the text cleaned, the list it is searched in with that list's command, and,
// for a clicked link "reading【word】", the two texts the list searches.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The commands that start a look-up from an article or an edit box.
inline constexpr uint32_t kLookUpInList = 40167;
inline constexpr uint32_t kLookUpLink = 40168;      // a clicked link or the selection itself
inline constexpr uint32_t kLookUpInFullText = 40169;
inline constexpr uint32_t kLookUpTranslated = 40171;

// The script class of a text: 4 when it has a Han ideograph, else 3 when it
// has kana, else 8 when it has a unit below U+2000, else 0.
int32_t CountHanInText(std::u16string_view text);

struct LookUpPlan {
    bool run = false;          // false: nothing to look up
    int32_t kind = 0;          // the list kind searched
    uint32_t listCommand = 0;  // that list's command (its tab and menu item)
    std::u16string text;       // the text searched
    std::u16string second;     // for kLookUpLink: the word in 【】, else empty
};

// Units below 33 become spaces and trailing spaces and U+3000 go; an empty
// result runs nothing. `listHasWords(kind)` answers whether the list of that
// kind exists and holds a word list (asked for kinds 4 and 5 only).
// For kLookUpLink the first 100 units are searched for the last "【" and the
// last "】": the part before "【" (less one space right before it) is the
// text and the part after it up to "】" the second text; without "【", or
// with "】" before it, the whole text is searched.
LookUpPlan PlanLookUp(std::u16string_view text, uint32_t command,
                      const std::function<bool(int32_t kind)>& listHasWords);
