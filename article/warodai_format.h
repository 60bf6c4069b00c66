// Formatters of WARODAI articles (format 10): the article as an RTF document
// through the WARODAI renderer, and the senses columns chosen by the row's
// sub-entry (the whole article, or one tilde phrase with its senses).
#pragma once

#include <cstdint>

#include "article/formatted_text.h"
#include "article/list_cell.h"

class CDictionary;

// Lines of an article the senses column looks at; later lines are not shown there.
inline constexpr int32_t kWarodaiLineLimit = 500;

// The article: a one-article RTF document through the WARODAI renderer.
FormattedText FormatArticleRtfF10(const CDictionary& dictionary, uint32_t index);

// Appends the text of `columnKind` for the entry at `index`; senses columns
// (kinds 4 and 9) for sub-entry 0 show the article's own numbered senses, for
// sub-entry n the phrase that covers n with its senses. Returns the new cell
// length, 0 with the cell unchanged when it is full.
int32_t GetColumnTextF10(const CDictionary& dictionary, uint32_t index, ListCell& cell, int32_t columnKind,
                         uint16_t subEntry);
