// Steps of the word translator that work on plain arrays: the boundary flags
// of the analysed text, the merge of one pass's hits into those collected and
// the hiding of hits found twice.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "dictionary/word_list_entry.h"

namespace ostrel::japanese {

// Boundary flags, one word per character.
enum BoundaryFlag : uint16_t {
    kWordMayStart = 1,
    kWordMayEnd = 2,
    kPunctuation = 4,
};

// The most hits a translation keeps.
constexpr int32_t kMaxHits = 2000;

// Clears `flags` and marks the text: 1 on the first character, 2 on the last
// and on those before trailing blanks, 4 on the ten punctuation characters
// with 2 on the character before and 1 on the one behind, inside the text only.
void ComputeBoundaryFlags(std::u16string_view text, std::span<uint16_t> flags);

// The hits are kept as entry numbers into a pool of the passes' entries.
// Merges the pool's entries from `first` on (one pass's, ordered by start)
// into `order` (entry numbers ordered by start): a stable merge, the hits
// held before first among equal starts, cut to `limit`. The new entries the
// cut leaves out go from the pool's end. Answers the start of the first hit
// the cut left out, -1 when none was.
int32_t MergeHits(std::vector<int32_t>& order, std::vector<WordListEntry>& pool, size_t first,
                  size_t limit = kMaxHits);

// Of two visible hits with the same start, length, dictionary and record
// reference, hides (0x1) the one of lower priority, the later at equal
// priority. Answers the number hidden.
int32_t DropDuplicateHits(std::span<WordListEntry> hits);
// The same over the hits `order` names in `pool`, in that order.
int32_t DropDuplicateHits(std::span<WordListEntry> pool, std::span<const int32_t> order);

}  // namespace ostrel::japanese
