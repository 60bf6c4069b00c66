// The KANJIDIC line format: one kanji per line, its codes, readings and
// meanings as blank-separated tokens; "{...}" tokens may hold blanks.
//
//   亜 3021 U4e9c B1 C7 G8 S7 ... ア つ.ぐ T1 や つぎ {Asia} {come after}
//
// Pure functions: one line in, the parts of its article and its parameter
// text ("j=3021 u=4e9c r=1 g=8 s=7") out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/edict_parser.h"

enum KanjidicElementKind : uint32_t {
    kKanjidicArticle = 2,
    kKanjidicKanji = 4,
    kKanjidicMeaning = 5,
    kKanjidicOnReading = 11,
    kKanjidicKunReading = 12,
    kKanjidicFirstMeaning = 13,
    kKanjidicParameters = 14,
};

// Reading flags: written with a leading "-" (a suffix) or a trailing "-" (a prefix).
inline constexpr uint32_t kReadingAfterDash = 0x400;
inline constexpr uint32_t kReadingBeforeDash = 0x200;

// The parameter text holds at most this many units; a field that does not
// fit whole is left out, and a field's value is cut to kMaxParameterValueUnits.
inline constexpr size_t kMaxParameterUnits = 250;
inline constexpr size_t kMaxParameterValueUnits = 32;

struct KanjidicLine {
    std::vector<SourcePart> parts;  // the article (kind 2, the whole line) first, when there is one
    std::u16string parameters;      // the text of the kind-14 element
};

// Parses one line (without its LF). False, with no parts, when its first
// token is not one character at or above U+3000 (a comment, a header).
// Every kana token is a reading, those after "T1" (name readings) and "T2"
// (radical names) too: only the "T1" and "T2" tokens themselves are left out.
bool ParseKanjidicLine(std::u16string_view line, KanjidicLine& out);

// A line that is meant to be no kanji: blank, or a comment ("#").
bool IsKanjidicCommentOrBlank(std::u16string_view line);

// The name (kind 15) and copyright (16) parts of a header line; none for a
// line of 10 units or fewer.
void ParseKanjidicHeaderLine(std::u16string_view line, std::vector<SourcePart>& parts);
