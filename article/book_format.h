// Formatters of sentence records: parallel-text book groups (format 12, one
// element per language column) and Tatoeba records (format 13, lines of
// identifier, tab, language, tab, sentence).
#pragma once

#include <cstdint>

#include "article/formatted_text.h"
#include "article/list_cell.h"

class CDictionary;

// Interface text slot of the hint under a book group's article.
inline constexpr int kBookHintSlot = 664;

// Columns 3/27, 4/28 and 29: the first, second and third language of the
// group (the last one it has when it has fewer); other kinds add nothing.
int32_t GetColumnTextF12(const CDictionary& dictionary, uint32_t index, ListCell& cell, int32_t columnKind);
// Each language on a line (the first in class 0x30), then the grey hint.
FormattedText FormatArticleF12(const CDictionary& dictionary, uint32_t index);
// The sentence of each line from the raw record, the first in class 0x30.
FormattedText FormatArticleF13(const CDictionary& dictionary, uint32_t index);
// Index text of a Tatoeba record with its own field classes by line and
// field; the input bits are not read.
int32_t PrepareIndexTextF13(char16_t* out, int32_t capacity, const char16_t* text, int32_t length, uint16_t* bits);
