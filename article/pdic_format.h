// Formatters of one-line entries of formats 7 (PDIC) and 8 (EIJIRO): the
// article (headword by its script, part of speech in lenticular brackets,
// senses numbered at U+25CF) read straight from the entry's source line, and
// the senses column of format 8.
#pragma once

#include <cstdint>
#include <string_view>

#include "article/formatted_text.h"
#include "article/list_cell.h"

class CDictionary;

// A translation whose senses are marked with U+25CF may begin with the mark
// of its first sense: that mark is dropped (with the blanks before it), so
// the article, the export text and the printed RTF all start at sense 1 and
// none shows an empty sense.
std::u16string_view WithoutFirstSenseMark(std::u16string_view translation);

// The article of a PDIC entry ("word NUL attribute translation ...").
FormattedText FormatArticleF7(const CDictionary& dictionary, uint32_t index);
// The article of an EIJIRO line ("■word {part of speech} : translation");
// also the export text of formats 8, 16 and unknown formats.
FormattedText FormatArticleF8(const CDictionary& dictionary, uint32_t index);
// Senses columns (kinds 4 and 9): the bracketed or after-semicolon head part,
// then the translation; other kinds as the default columns.
int32_t GetColumnTextF8(const CDictionary& dictionary, uint32_t index, ListCell& cell, int32_t columnKind);
