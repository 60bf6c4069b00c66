// Article text of kanji articles: the own kanji markup (a head line with the
// kanji, its meaning and codes, then one line per on or kun reading, some with
// the word the reading forms) and KANJIDIC records (made from the raw line).
#pragma once

#include <cstdint>

#include "article/formatted_text.h"

class CDictionary;

// The article of the own-markup kanji entry at element `index`.
FormattedText FormatArticleF2(const CDictionary& dictionary, uint32_t index);

// The article of the KANJIDIC record in the dictionary's record buffer;
// empty when no element `index` was parsed from it.
FormattedText FormatArticleF6(const CDictionary& dictionary, uint32_t index);

// Appends the one-line meaning of the word that reading element `reading`
// forms with its kanji, looked up in the shelf's first dictionary: its senses
// on one line, at most 60 units, "?" when there is no such word. Returns the
// units added.
int32_t FormatReadingExample(const CDictionary& dictionary, uint32_t reading, StyledWriter& out,
                             uint32_t attribute);
