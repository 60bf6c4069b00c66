// The stems of a Latin dictionary line, as the compiler keys them in the
// stem index and the host hands them to the analyser, and the [ls] sections
// of article sources laid out as fixed-column code lines.
//
// Stem record (LatinLineStems, up to four per line), 46 characters:
//   0   the stem (at most 18; empty for the built-in "to be"'s second key)
//   19  the code field of the line (columns 76-98, 23 characters)
//   45  the stem number "0".."4" (which inflections join the stem)
// Stem-index key: segment 1 the stem, segment 2 the record from column 19.
// DictionaryLine (LayOutCodeLine): comma-separated fields at columns 0, 19,
// 38, 57, 76 and 100; 255 characters, blank-filled, then a terminator.
#pragma once

#include <cstdint>
#include <string_view>

inline constexpr int kStemRecordWidth = 46;
inline constexpr int kStemNumberColumn = 45;
inline constexpr int kStemCodesColumn = 19;
inline constexpr int kCodeFieldColumn = 76;
inline constexpr int kCodeFieldWidth = 23;
inline constexpr int kCodeLineWidth = 255;
inline constexpr int kMaxKeyStem = 18;
inline constexpr int kMaxKeyCodes = 29;

struct StemRecords {
    char16_t records[4][kStemRecordWidth + 1];   // blank-filled, terminated
    int count = 0;                               // records filled, in order
};

// Fills the stem records of one fixed-column line by the first rule that
// applies (the built-in "to be", shared stems of nouns, adjectives and
// verbs, comparison and numeral-sort stems, else each stem by its place).
void LatinLineStems(std::u16string_view line, StemRecords& out);

// Segment 1 (the stem, up to the first character below U+0021, at most 18)
// and segment 2 (column 19 to the end, at most 29) of a stem record.
std::u16string_view StemKeyStem(const char16_t* record);
std::u16string_view StemKeyCodes(const char16_t* record);

// The stem-index line the analyser reads through callbacks 1 and 2: the
// stem padded to column 19, the codes segment padded to column 47, then the
// record id in decimal; units above 255 become "?". out holds 81 bytes.
void FormatStemIndexLine(char* out, std::u16string_view stem, std::u16string_view codes, uint32_t recordId);

// Finds the text between [ls] and [/ls] in [begin, end); returns the
// position after [/ls], or end (length 0) when no section closes.
const char16_t* FindLsSection(const char16_t* begin, const char16_t* end, const char16_t** start, int32_t* length);

// Lays comma-separated fields out as a DictionaryLine into line (256 units);
// text that would pass column 254 is dropped. Returns the units of text read.
int32_t LayOutCodeLine(const char16_t* text, int32_t length, char16_t* line);

// The [ls] section of a source laid out as a DictionaryLine (out: 256 units,
// terminated at the end of the laid-out text); returns its length.
int32_t LsSectionToCodeLine(char16_t* out, const char16_t* text, int32_t length);
