// The three built-in sets of interface texts, the current table and the
// command-title and word-list-title tables that point into it. The texts
// themselves live in ui_texts/<language>.inc, one line per slot, so that a
// translator can review a language in one file.
#include "common/ui_text/ui_text.h"

#include <array>

namespace {

// One line of a texts file. The literal's length is kept so that the inner
// zeros of a filter slot can be checked.
struct SlotText {
    int slot;
    const char16_t* text;
    size_t units;
    template <size_t N>
    constexpr SlotText(int s, const char16_t (&t)[N]) : slot(s), text(t), units(N - 1) {}
};

#define UI_TEXT(slot, text) SlotText{slot, text},
#define UI_EXTRA(number, text)
constexpr SlotText kEnglishLines[] = {
#include "common/ui_text/ui_texts/english.inc"
};
constexpr SlotText kRussianLines[] = {
#include "common/ui_text/ui_texts/russian.inc"
};
constexpr SlotText kJapaneseLines[] = {
#include "common/ui_text/ui_texts/japanese.inc"
};
#undef UI_TEXT
#undef UI_EXTRA

#define UI_TEXT(slot, text)
#define UI_EXTRA(number, text) SlotText{number, text},
constexpr SlotText kEnglishExtras[] = {
#include "common/ui_text/ui_texts/english.inc"
};
constexpr SlotText kRussianExtras[] = {
#include "common/ui_text/ui_texts/russian.inc"
};
constexpr SlotText kJapaneseExtras[] = {
#include "common/ui_text/ui_texts/japanese.inc"
};
#undef UI_TEXT
#undef UI_EXTRA

// Every texts file lists slots 0..675 (and its extra texts 0..), each once
// and in order; a missing or repeated line stops the build instead of
// shifting every later text.
template <size_t N>
constexpr bool ListsInOrder(const SlotText (&lines)[N], size_t count) {
    if (N != count) return false;
    for (size_t i = 0; i < N; ++i)
        if (lines[i].slot != static_cast<int>(i)) return false;
    return true;
}
template <size_t N>
constexpr bool ListsEverySlotInOrder(const SlotText (&lines)[N]) {
    return ListsInOrder(lines, kUIStringCount);
}
static_assert(ListsEverySlotInOrder(kEnglishLines), "english.inc must list slots 0-675 in order");
static_assert(ListsEverySlotInOrder(kRussianLines), "russian.inc must list slots 0-675 in order");
static_assert(ListsEverySlotInOrder(kJapaneseLines), "japanese.inc must list slots 0-675 in order");
static_assert(ListsInOrder(kEnglishExtras, kUIExtraTextCount) && ListsInOrder(kRussianExtras, kUIExtraTextCount) &&
                  ListsInOrder(kJapaneseExtras, kUIExtraTextCount),
              "every texts file must list the extra texts 0.. in order");

template <size_t Count, size_t N>
constexpr std::array<UITextEntry, Count> MakeSet(const SlotText (&lines)[N]) {
    std::array<UITextEntry, Count> set{};
    for (size_t i = 0; i < N && i < Count; ++i) set[i] = UITextEntry{lines[i].text, lines[i].units};
    return set;
}

using TextSet = std::array<UITextEntry, kUIStringCount>;
constexpr TextSet kEnglish = MakeSet<kUIStringCount>(kEnglishLines);
constexpr TextSet kRussian = MakeSet<kUIStringCount>(kRussianLines);
constexpr TextSet kJapanese = MakeSet<kUIStringCount>(kJapaneseLines);

using ExtraSet = std::array<UITextEntry, kUIExtraTextCount>;
constexpr ExtraSet kEnglishExtraSet = MakeSet<kUIExtraTextCount>(kEnglishExtras);
constexpr ExtraSet kRussianExtraSet = MakeSet<kUIExtraTextCount>(kRussianExtras);
constexpr ExtraSet kJapaneseExtraSet = MakeSet<kUIExtraTextCount>(kJapaneseExtras);

}  // namespace

// Constant-initialised to English: nothing reads the table before the
// application chooses a language, but an early reader gets text, not null.
#define UI_TEXT(slot, text) text,
#define UI_EXTRA(number, text)
const char16_t* UIStringTable[kUIStringCount] = {
#include "common/ui_text/ui_texts/english.inc"
};
#undef UI_TEXT
#undef UI_EXTRA

namespace {
const SlotText* g_extras = kEnglishExtras;
}  // namespace

const char16_t* UIExtra(UIExtraText which) {
    const int n = static_cast<int>(which);
    return n >= 0 && n < kUIExtraTextCount ? g_extras[n].text : u"";
}

std::span<const UITextEntry> UITextSet(UILanguage language) {
    switch (language) {
    case UILanguage::Russian: return kRussian;
    case UILanguage::Japanese: return kJapanese;
    default: return kEnglish;
    }
}

std::span<const UITextEntry> UIExtraTextSet(UILanguage language) {
    switch (language) {
    case UILanguage::Russian: return kRussianExtraSet;
    case UILanguage::Japanese: return kJapaneseExtraSet;
    default: return kEnglishExtraSet;
    }
}

void SetUILanguage(uint32_t language) {
    const TextSet& set = language == 0 ? kRussian : language == 2 ? kJapanese : kEnglish;
    for (int i = 0; i < kUIStringCount; ++i) UIStringTable[i] = set[i].text;
    g_extras = language == 0 ? kRussianExtras : language == 2 ? kJapaneseExtras : kEnglishExtras;
}

// In the 32-bit program a record is the 16 bytes {id, slot, 0, 0}.
static_assert(sizeof(void*) != 4 || sizeof(MenuCommandTitle) == 16);

#define TITLE(command, slot) {command, &UIStringTable[slot], 0, 0}
const MenuCommandTitle MenuCommandTitleTable[kMenuCommandTitleCount + 1] = {
    TITLE(40671, 0),   TITLE(40070, 1),   TITLE(40147, 2),   TITLE(40105, 3),
    TITLE(40069, 5),   TITLE(40077, 6),   TITLE(40154, 10),  TITLE(40155, 11),
    TITLE(40119, 12),  TITLE(40113, 13),  TITLE(40080, 17),  TITLE(40001, 18),
    TITLE(40010, 19),  TITLE(40167, 20),  TITLE(40169, 21),  TITLE(40207, 21),
    TITLE(40171, 22),  TITLE(40011, 23),  TITLE(40114, 24),  TITLE(40012, 25),
    TITLE(40205, 26),  TITLE(40206, 27),  TITLE(40061, 29),  TITLE(40003, 31),
    TITLE(40004, 32),  TITLE(40006, 33),  TITLE(40007, 34),  TITLE(40140, 37),
    TITLE(40139, 39),  TITLE(40142, 38),  TITLE(40143, 40),  TITLE(40056, 45),
    TITLE(40057, 46),  TITLE(40058, 47),  TITLE(40059, 48),  TITLE(40042, 49),
    TITLE(40045, 50),  TITLE(40013, 51),  TITLE(40137, 52),  TITLE(40050, 53),
    TITLE(40051, 54),  TITLE(40052, 55),  TITLE(40014, 60),  TITLE(40074, 61),
    TITLE(40064, 62),  TITLE(40065, 63),  TITLE(40067, 64),  TITLE(40083, 65),
    TITLE(40066, 66),  TITLE(40400, 76),  TITLE(40032, 67),  TITLE(40034, 68),
    TITLE(40024, 69),  TITLE(40033, 70),  TITLE(40500, 71),  TITLE(40025, 72),
    TITLE(40017, 73),  TITLE(40624, 74),  TITLE(40625, 75),  TITLE(40645, 86),
    TITLE(40041, 87),  TITLE(40144, 88),  TITLE(40037, 89),  TITLE(40045, 90),
    TITLE(40046, 91),  TITLE(40047, 92),  TITLE(40048, 93),  TITLE(40117, 94),
    TITLE(40134, 95),  TITLE(40002, 97),  TITLE(40214, 98),  TITLE(40029, 84),
    TITLE(40198, 79),  TITLE(40197, 81),  TITLE(40196, 80),  TITLE(40200, 82),
    TITLE(40647, 14),  TITLE(40190, 15),  TITLE(40119, 12),  TITLE(40192, 85),
    TITLE(40194, 16),  TITLE(40062, 58),  TITLE(40684, 106), TITLE(40685, 107),
    TITLE(1004, 108),  TITLE(1003, 109),  TITLE(40147, 110), TITLE(40152, 111),
    TITLE(40157, 112), TITLE(40686, 113), TITLE(40072, 114), TITLE(1316, 115),
    {0, nullptr, 0, 0},
};
#undef TITLE

int MenuCommandTitleSlot(const MenuCommandTitle& record) {
    return record.slot ? static_cast<int>(record.slot - UIStringTable) : -1;
}

const char16_t* FindMenuCommandTitle(uint32_t commandId) {
    const char16_t* found = nullptr;
    ForEachMenuCommandTitle([&](uint32_t command, const char16_t* text) {
        if (command == commandId) found = text;
    });
    return found;
}

// The command column is one list off (record i carries list i+1's command);
// nothing reads it.
const WordListTitle WordListTitleTable[kWordListTitleCount] = {
    {&UIStringTable[588], 40004}, {&UIStringTable[589], 40007}, {&UIStringTable[590], 40006},
    {&UIStringTable[591], 40142}, {&UIStringTable[596], 40139}, {&UIStringTable[597], 40140},
    {&UIStringTable[594], 40143}, {&UIStringTable[595], 40145}, {&UIStringTable[589], 0},
};

const char16_t* GetWordListTitle(int32_t listNumber, const char16_t** out) {
    const char16_t* title = nullptr;
    if (listNumber >= 0 && listNumber < kWordListTitleCount)
        title = *WordListTitleTable[listNumber].slot;
    if (out) *out = title;
    return title;
}

uint32_t ChooseStartupLanguage(bool windowStateValid, uint32_t& flags, uint16_t systemLanguageId) {
    if (windowStateValid) {
        if (flags & kFlagEnglishInterface) return 1;
        if (flags & kFlagJapaneseInterface) return 2;
        return 0;
    }
    flags &= ~(kFlagEnglishInterface | kFlagJapaneseInterface);
    if (systemLanguageId == 1041) {
        flags |= kFlagJapaneseInterface;
        return 2;
    }
    if (systemLanguageId == 1049) return 0;
    flags |= kFlagEnglishInterface;
    return 1;
}
