// The lexicon step of the full-text index for one article: its text marked
// with the field class of every character, cleaned by the format's index-text
// preparer, broken into words whose search keys get ids and postings, and the
// phrase pass that turns each posting's phrase and class into a hit weight.
#pragma once

#include "import/search_engine.h"

#include <cstdint>
#include <span>
#include <string_view>

class CDictionary;

// Adds the postings of the article at element `element` of the dictionary's
// parsed record and writes them to the engine's stream under `position`.
// `bookHeadword`: a book line counted as a headword line (the +2 of books).
// 0, or -1 when the engine failed (its status says why).
int32_t AddLexiconWords(CSearchEngine& engine, const CDictionary& dictionary, int32_t element, uint32_t formatType,
                        uint32_t position, bool bookHeadword);

// The phrase pass over one article's tuples in text order: `text` and `bits`
// are the cleaned text and its field marks. Replaces each phrase code by the
// hit weight 0..15 and sets the class of sense words.
void AssignHitWeights(std::span<PostingTuple> tuples, std::u16string_view text, std::span<const uint16_t> bits,
                      uint32_t formatType, bool bookHeadword);

// Of a book line and up to four lines before it (never before line 0), the
// first whose value's top byte is not 3 decides: a headword line when it is 1.
bool IsBookHeadwordLine(std::span<const uint32_t> bookValues, size_t line);
