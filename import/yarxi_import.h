// The YARXI kanji markup (format types 14 and 15): UTF-16 text of nested
// "{\keyword ...}" groups opened by "{\yarxi". The importer reads a whole
// source for the compiler or one stored article, and reports every group as
// an element of a tree (parent, level, next sibling); each finished article
// gets the standard elements (kanji, readings, senses) the indexes read.
// All parse state lives in the call.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dictionary/import_services.h"

class CDictionary;

// YARXI element kinds made by the parser from the group keywords.
enum YarxiKind : uint32_t {
    kYarxiDictionary = 1,
    kYarxiArticle = 2,
    kYarxiKanji = 39,        // "j": the kanji, "{\j 日}"
    kYarxiNumber = 40,       // "n"
    kYarxiNameReadings = 41, // "jn"
    kYarxiOn = 42,           // "on": bracketed romaji on readings
    kYarxiKun = 43,
    kYarxiAn = 44,
    kYarxiRadical = 45,
    kYarxiStrokes = 46,
    kYarxiUsage = 47,
    kYarxiCompounds = 48,
    kYarxiCompoundGroup = 49,
    kYarxiCompound = 50,
    kYarxiWord = 51,         // "k"
    kYarxiReading = 52,      // "r"
    kYarxiReadingVariant = 53,
    kYarxiSense = 54,        // "s"
    kYarxiReference = 55,
    kYarxiNames = 56,
    kYarxiName = 57,
    kYarxiSenseGroup = 58,   // "ss"
    kYarxiReadingGroup = 59, // "rs"
    kYarxiDic = 60,
    kYarxiCompoundNote = 61, // "cmpn"
    kYarxiJlpt = 62,
    kYarxiPinyin = 63,
    kYarxiFrequency = 64,
};

// One entry of a control-word table (exposed so tests can pin the tables).
struct YarxiControlWord {
    std::u16string_view name;
    uint32_t kind;
    int32_t next;  // the table in force after the word, -1 to keep the current one
};
enum YarxiTableId : int32_t {
    kYarxiRootTable,          // whole text: "yarxi"
    kYarxiArticleTable,       // "a" (also the root of a one-article parse)
    kYarxiKanjiVocabulary,
    kYarxiCompoundGroupTable, // after "cmps": "cmpg"
    kYarxiCompoundTable,      // after "cmpg": "cmp"
    kYarxiNameTable,          // after "names": "name"
    kYarxiNestedArticleTable, // after "cmp" and "name": "a", "cmpn"
};
// The entry of `word` in a table (exact match), null when it holds none.
const YarxiControlWord* FindYarxiControlWord(int32_t table, std::u16string_view word);

// Deepest nesting a source may have; one more "{" ends the parse with 0.
inline constexpr int32_t kYarxiMaxLevels = 19;

// Appends the text to the dictionary's text buffer and parses it there. Mode
// 0 a whole "{\yarxi" text (at least 14 bytes; sets the kanji dictionary
// flag), progress before every character and the callback at every closed
// article (kind 2 at level 0 or 1) or kind 15-17 group; any other mode one
// stored "{\a" article. 1 or 0 (wrong start, too deep, unmatched "}", a zero
// callback answer); a null text gives 1.
int32_t ImportYarxi(CDictionary& dictionary, const void* text, uint32_t sizeInBytes, int32_t mode,
                    const ImportCallbacks& callbacks);

// Derives the standard elements of the article at element `article` from the
// YARXI groups after it: 4 the kanji ("j", and "k" with an ideograph in "T"
// articles), 13 the number, 11 on readings in katakana, 3 readings, 5
// senses. Their texts are appended to the text buffer; element pointers
// follow the buffer when it grows.
void FinishYarxiArticle(CDictionary& dictionary, int32_t article);

// The compiler's loader of the YARXI rule: the file's bytes unchanged, when
// the sniffer's flags hold 0x400000 and 0x4 and the file is longer than 14 bytes.
bool LoadYarxiSource(std::u16string_view path, uint32_t formatFlags, std::u16string& text,
                     std::u16string& message);
