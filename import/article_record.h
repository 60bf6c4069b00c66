// The stored form of one compiled article and the reference every key of the
// article carries. An article record is a data block of record type 1:
//
//   offset  size  field
//   0       4     article number (u32 LE): 0, 1, 2, ... in the order of the pass
//   4       4     the same number again (u32 LE)
//   8       2     format type (u16 LE), 1..16
//   10      2n    the article text, n UTF-16 units (LE), no terminator
//
// A key's record reference is 8 bytes: u32 data position of the article,
// u8 format type, u8 key flag, u16 variant (the ordinal of the derived entry
// a key leads to, 0 for the article itself).
#pragma once

#include "dictionary/word_list_entry.h"
#include "storage/index_values.h"

#include <cstdint>
#include <string_view>
#include <vector>

inline constexpr int32_t kArticleRecordType = 1;
inline constexpr uint32_t kArticleRecordHeadBytes = 10;

// Key flags of a reference.
enum KeyFlag : uint8_t {
    kOrdinaryKey = 1,
    kCommonWordKey = kCommonWordKeyFlag,  // an ordinary key of a spelling its dictionary marks common
    kUsuallyKanaKey = kUsuallyKanaKeyFlag,              // of a word usually written in kana
    kCommonUsuallyKanaKey = kCommonUsuallyKanaKeyFlag,  // both
    kWrittenInKanjiKey = kWrittenInKanjiKeyFlag,        // of a word whose grammar groups say no "(uk)"
    kCommonWrittenInKanjiKey = kCommonWrittenInKanjiKeyFlag,
    kKanjiOwnEntryKey = 5,       // a kanji's own entry (index 102 of kanji dictionaries)
    kOnReadingKey = 11,          // index 101 of kanji dictionaries from here on
    kKunReadingKey = 12,         // no okurigana, or three and more
    kKunOneOkuriganaKey = 13,
    kKunTwoOkuriganaKey = 14,
};

std::vector<uint8_t> BuildArticleRecord(uint32_t articleNumber, uint16_t formatType, std::u16string_view text);

// The text of a record's bytes: empty for a block shorter than its head; an
// odd byte count loses its last byte.
std::u16string ArticleRecordText(const uint8_t* bytes, uint32_t size);

inline RecordRef MakeKeyReference(uint32_t position, uint8_t formatType, uint8_t flag, uint16_t variant) {
    return {position, uint32_t{formatType} | uint32_t{flag} << 8 | uint32_t{variant} << 16};
}
inline uint8_t KeyReferenceFormat(RecordRef ref) { return static_cast<uint8_t>(ref.second); }
inline uint8_t KeyReferenceFlag(RecordRef ref) { return static_cast<uint8_t>(ref.second >> 8); }
inline uint16_t KeyReferenceVariant(RecordRef ref) { return static_cast<uint16_t>(ref.second >> 16); }
