// The look-up of one Western word in the translated-words list: the hits of
// the reverse-translation indexes of the list's dictionaries and the Latin
// analyser's readings, ordered so that a Latin word's first row is its first
// reading. The Translation tab's input line and `latintool rows` both go
// through it.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

class LatinBridge;
class RDFDictionary;
class WordList;

// The Latin analyser as the Western look-up calls it: 1 when the first word
// was known, kReadByTrickOnly when it was read only by changing its spelling,
// 0 when unknown; its analyses appended to the list.
using LatinAnalyser = std::function<int32_t(std::u16string_view text, RDFDictionary* dictionary, WordList& list)>;
inline constexpr int32_t kReadByTrickOnly = 2;

// The analyser as LatinAnalyser gives it: `bridge` analyses the text (no
// bridge: unknown) and tells whether it read the word only by a trick.
int32_t AnalyseThroughBridge(LatinBridge* bridge, std::u16string_view text, RDFDictionary* dictionary,
                             WordList& list);

// Adds to `list` the hits of `word` (by key prefix) in the reverse-translation
// index (106) of each open dictionary of the list, and the Latin analyses of
// dictionaries with Latin stems (121); the new entries get the word's span
// in the input, and a record found twice is one row, the first, whose note
// holds the lines of every reading found. A word the analyser reads only by
// changing its spelling (The as te) gives no Latin rows where an open
// dictionary without Latin stems holds it among its full-text words (the
// Lexicon's): an English word is not hidden behind a Latin guess.
// The number of entries added.
int32_t LookUpWesternWord(WordList& list, std::u16string_view word, int32_t start, int32_t length,
                          const LatinAnalyser& analyse);

// One row per record among the list's entries from `first` on: a later
// entry of a record already listed goes, its note joining the first's.
void FoldRowsOfOneRecord(WordList& list, int32_t first);
