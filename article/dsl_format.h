// Formatters of DSL cards (format 9): the article as an RTF document through
// the DSL renderer, the card unchanged as export text (shared with formats
// 10, 14 and 15), and list columns cleaned of the card's markup, cut from its
// indented lines for dictionaries that have Latin stem (index 121) entries.
#pragma once

#include <cstdint>
#include <string_view>

#include "article/formatted_text.h"
#include "article/list_cell.h"

class CDictionary;

// Style word of the cleaning: one u16 per unit, in step with the text.
inline constexpr uint16_t kStyleDrop = 0x1;
// Entry flag of Unihan-like cards: label removal and capitalisation, readings for on readings.
inline constexpr uint32_t kDslCapitaliseEntry = 0x40000;

// Cleans DSL markup in place over text[0, length) and its style words: drops
// comments "{{...}}", tags (setting bold 0x2 and italic 0x4 for [b] [i] [p]),
// backslashes and empty leading lines; with `capitalise` also dash runs,
// "<<" ">>" and the "Definition:" labels, upper-casing what follows a label;
// then line feeds after lines of blanks. Returns the new length.
int32_t ParseArticleLineStyles(char16_t* text, uint16_t* styles, int32_t length, bool capitalise);

// The article: a one-article RTF document of the card through the DSL renderer.
FormattedText FormatArticleRtfF9(const CDictionary& dictionary, uint32_t index);
// The export text of formats 9, 10, 14 and 15: the card unchanged, class 0x40.
FormattedText GetPlainArticleText(const CDictionary& dictionary, uint32_t index);

// Appends the cleaned text of `columnKind` for the entry at `index`.
// Returns the new cell length, 0 with the cell unchanged when it is full.
int32_t GetColumnTextF9(const CDictionary& dictionary, uint32_t index, ListCell& cell, int32_t columnKind);
// The columns of a card cut from its first line and first indented line.
int32_t GetColumnTextF9Kinds(const CDictionary& dictionary, uint32_t index, ListCell& cell, int32_t columnKind);
// Summarises the second and later indented lines of `card` into the cell;
// 0 and the cell unchanged when the card has fewer than two indented lines.
int32_t BuildDslCellSummary(ListCell& cell, std::u16string_view card);
