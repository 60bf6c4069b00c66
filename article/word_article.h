// The default members of the formatter family: list-cell text and article
// text of word articles (own word markup and the EDICT family), which every
// format without a member of its own also uses.
#pragma once

#include <cstdint>

#include "article/formatted_text.h"
#include "article/list_cell.h"

class CDictionary;

// The element kind a list column shows and the colour class it gets.
struct ColumnChoice {
    uint32_t elementKind;
    uint32_t colourClass;
};
ColumnChoice ChooseColumn(int32_t columnKind);

// Appends the text of `columnKind` for the entry at element `index` to the
// cell (headwords, senses, translations, on or kun readings, sub-senses, or
// readings for any other kind). Returns the new length; 0 with the cell
// unchanged when it is already full.
int32_t GetColumnTextDefault(const CDictionary& dictionary, uint32_t index, ListCell& cell, int32_t columnKind);

// The article of the entry at element `index`: the reading line (with the
// transliteration the application's flags ask for), the headword line,
// translation lines where the entry has no senses, then the other elements
// one per line with numbered senses.
FormattedText FormatArticleDefault(const CDictionary& dictionary, uint32_t index);
