// The article text of a KANJIDIC record, made from its raw line rather than
// its elements: the kanji, on, kun and name readings, numbered meanings, and
// the dictionary codes on four labelled lines plus a line of cross-references.
#pragma once

#include <cstdint>
#include <string_view>

#include "article/formatted_text.h"

// Units of styled text that FormatKanjidicLine may write for a line of
// `lineLength` units, terminator included.
int32_t KanjidicArticleCapacity(int32_t lineLength);

// Writes the article of one KANJIDIC line (up to its first 0 unit) into
// `out`; returns the units written.
int32_t FormatKanjidicLine(std::u16string_view line, StyledWriter& out);

// The label shown before a KANJIDIC field code ("S" gives "Strokes:");
// empty for a code that has no labelled field.
std::u16string_view KanjidicFieldLabel(std::u16string_view code);
