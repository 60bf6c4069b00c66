// Where a book's phrases and texts come from: a text book (a UTF-8 file of
// line groups) or a stored book (a book dictionary read through index 3).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/app_context.h"

// Phrase types in the low byte of a phrase's type word; the type's number
// is in the high 16 bits.
inline constexpr uint32_t kPhraseParagraph = 0;
inline constexpr uint32_t kPhraseHeading = 1;
inline constexpr uint32_t kPhraseOther = 3;
inline constexpr uint32_t kPhraseLanguage = 4;

inline constexpr int32_t kMaxBookLanguages = 10;
inline constexpr int32_t kMaxLanguageNameUnits = 79;
inline constexpr size_t kPhraseGrowth = 10000;  // the phrase table grows by this many entries

struct BookLanguage {
    std::u16string code;       // at most 4 units, as "Latn", "Hani"
    std::u16string names[3];   // Russian, Japanese and English interface names
};

// The name a language is shown under in the interface language `shown`; a
// header that gives none for it falls back to the English name, then to any
// name, then the code.
inline const std::u16string& BookLanguageName(const BookLanguage& language, UILanguage shown) {
    const int own = shown == UILanguage::Russian ? 0 : shown == UILanguage::Japanese ? 1 : 2;
    for (int n : {own, 2, 0, 1})
        if (!language.names[n].empty()) return language.names[n];
    return language.code;
}

// An entry's text with one display word per unit.
struct EntryText {
    std::u16string text;
    std::vector<uint32_t> attributes;
    // A text book line's leading line tag ("<P>", "<H2>"): not shown, as a
    // stored book shows none, and written back before the text.
    std::u16string tag;
};

class BookSource {
public:
    virtual ~BookSource() = default;
    // The language table (at most kMaxBookLanguages entries).
    virtual std::vector<BookLanguage> Languages() = 0;
    // Columns: one per language of a stored book, one per line of a text
    // book's groups; a book without a language header still has one.
    virtual int32_t ColumnCount() = 0;
    // The language-table index of a column, -1 when its header line names
    // no language ("Zxxx", or no header).
    virtual int32_t ColumnLanguage(int32_t column) = 0;
    // Appends the book's phrases: record id (0 for a text book) and type word.
    virtual void ReadPhrases(std::vector<uint32_t>& recordIds, std::vector<uint32_t>& typeValues) = 0;
    // The text of entry `entry` (its record id given) in column `column`.
    virtual EntryText Text(int32_t entry, uint32_t recordId, int32_t column) = 0;
    // Whether every entry is a paragraph whatever its type (text books).
    virtual bool ShowsAllLines() const = 0;
};

// The type word of a line from its tag code (type in bits 24 to 31, value in
// the low 16 bits) as the phrase table keeps it.
inline constexpr uint32_t PhraseTypeFromTag(uint32_t tag) { return (tag >> 24) | ((tag & 0xFFFF) << 16); }

// Parses a language header, one line per language: "<" code ">" then up to
// three names separated by "/"; blanks before a name skipped, blanks (up to
// U+0020 and U+3000) after it cut; the code keeps 4 units, a name 79. A line
// whose code is "Zxxx" or without a first name adds nothing; at most
// kMaxBookLanguages are kept (further lines are ignored).
std::vector<BookLanguage> ParseLanguageHeader(const std::vector<std::u16string>& lines);
// One header line; false when it adds no language.
bool ParseLanguageLine(std::u16string_view line, BookLanguage& language);
