// WordListEntry: one row of a stored word list (translated words, selected
// articles, search results, history), a plain record copied whole. Nothing
// stores it on disk: only the 32-bit build has the offsets given here.
//
//   offset  size   field
//   0       4      flags (kEntry... below)
//   4       4      start of the matched part in the analysed or typed text, in characters
//   8       4      length of the matched part
//   12      4      dictionary
//   16      4      index id the entry was found in
//   20      4      record id (first word of the record reference)
//   24      2      sub-entry (upper 16 bits of the reference's second word)
//   28      4      offset of the entry's own text in the text pool
//   32      4      length of that text
//   36      8      note offset and length; zero when the list makes the entry
//   44      16     grammar tag codes of a translated word (0 ends them)
//   60      4      priority of a translated word; 127 when the list makes the entry
//   64      256    reading text (128 units)
//   320     256    word text (128 units)
//   576     4      reading length
//   580     4      word length
#pragma once

#include <cstdint>

class RDFDictionary;

inline constexpr uint32_t kEntryDeleted = 0x1;
inline constexpr uint32_t kEntryListed = 0x2;          // has a row
inline constexpr uint32_t kEntryPlaced = 0x4;          // work bit of the orderings
inline constexpr uint32_t kEntryGroupStart = 0x8;
inline constexpr uint32_t kEntryGroupEnd = 0x10;
inline constexpr uint32_t kEntryCommonWord = 0x20;     // its dictionary marks the spelling common
inline constexpr uint32_t kEntryUsuallyKana = 0x40;    // its dictionary says the word is usually written in kana
inline constexpr uint32_t kEntryWrittenInKanji = 0x80; // its dictionary gives no such mark, and could have
inline constexpr uint32_t kEntryGroupExpanded = 0x100;
inline constexpr uint32_t kEntryGroupCollapsed = 0x200;
inline constexpr uint32_t kEntrySearchHighlight = 0x100000;
inline constexpr uint32_t kEntrySearchHighlightOther = 0x200000;
inline constexpr uint32_t kEntryTextsFilled = 0x4000000;
inline constexpr uint32_t kEntryNote = 0x8000000;
inline constexpr uint32_t kEntryOwnText = 0x10000000;

// The key flags (bits 8-15 of a record reference's second word) of a key
// whose article its dictionary marks common (EDICT's "(P)"), and of one
// whose article carries EDICT's grammar groups, where "(uk)" says whether
// the word is usually written in kana. Dictionaries compiled before the
// kana mark was read carry the flags 1 and 2 alone: of their words nothing
// is known either way.
inline constexpr uint8_t kCommonWordKeyFlag = 2;
inline constexpr uint8_t kUsuallyKanaKeyFlag = 3;
inline constexpr uint8_t kCommonUsuallyKanaKeyFlag = 4;
inline constexpr uint8_t kWrittenInKanjiKeyFlag = 6;
inline constexpr uint8_t kCommonWrittenInKanjiKeyFlag = 7;
inline uint8_t ReferenceKeyFlag(uint32_t referenceSecond) { return static_cast<uint8_t>(referenceSecond >> 8); }
inline bool IsCommonWordReference(uint32_t referenceSecond) {
    const uint8_t flag = ReferenceKeyFlag(referenceSecond);
    return flag == kCommonWordKeyFlag || flag == kCommonUsuallyKanaKeyFlag || flag == kCommonWrittenInKanjiKeyFlag;
}
inline bool IsUsuallyKanaReference(uint32_t referenceSecond) {
    const uint8_t flag = ReferenceKeyFlag(referenceSecond);
    return flag == kUsuallyKanaKeyFlag || flag == kCommonUsuallyKanaKeyFlag;
}
inline bool IsWrittenInKanjiReference(uint32_t referenceSecond) {
    const uint8_t flag = ReferenceKeyFlag(referenceSecond);
    return flag == kWrittenInKanjiKeyFlag || flag == kCommonWrittenInKanjiKeyFlag;
}
// The entry flags a key's reference gives.
inline uint32_t EntryFlagsOfReference(uint32_t referenceSecond) {
    return (IsCommonWordReference(referenceSecond) ? kEntryCommonWord : 0u) |
           (IsUsuallyKanaReference(referenceSecond) ? kEntryUsuallyKana : 0u) |
           (IsWrittenInKanjiReference(referenceSecond) ? kEntryWrittenInKanji : 0u);
}

inline constexpr int32_t kEntryTextUnits = 127;  // reading and word, each
inline constexpr int32_t kDefaultEntryPriority = 127;

struct WordListEntry {
    uint32_t flags;
    int32_t matchStart;
    int32_t matchLength;
    RDFDictionary* dictionary;
    uint32_t indexId;
    uint32_t recordId;
    uint16_t subEntry;
    uint32_t textOffset;
    uint32_t textLength;
    uint32_t noteOffset;
    uint32_t noteLength;
    uint8_t tags[16];
    int32_t priority;
    char16_t reading[kEntryTextUnits + 1];
    char16_t word[kEntryTextUnits + 1];
    int32_t readingLength;
    int32_t wordLength;
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(WordListEntry) == 584, "the 32-bit layout tabled above");
#endif
