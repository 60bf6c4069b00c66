// The styled article of YARXI kanji records (formats 14 and 15): the group
// tree of the parsed record written group by group, each kind with its
// prefix or label, readings and the kanji in their colour classes; radical,
// strokes, usage, JLPT level, frequency and dictionary references follow the
// tree, and the record's own note closes the article in grey.
#pragma once

#include <cstdint>
#include <span>

#include "article/formatted_text.h"
#include "dictionary/dictionary_element.h"

class CDictionary;

// Writes `element` and, recursively, the groups nested in it at their
// places into text[position ..] and attributes[position ..] (null for
// none), never at or past `capacity` (the last unit below it is kept for the
// terminator). `previous` is the element written before it at its level (-1
// none), `entry` the record's article element. Answers the new position;
// `position` unchanged when it is at or past capacity.
int32_t ParseYarxiMarkup(std::span<const DictionaryElement> elements, int32_t element, int32_t previous,
                         int32_t entry, char16_t* text, uint32_t* attributes, int32_t position, int32_t capacity);

// The article of the parsed record whose article element is `index`.
// Empty when there is no such element.
FormattedText FormatArticleF14(const CDictionary& dictionary, uint32_t index);
