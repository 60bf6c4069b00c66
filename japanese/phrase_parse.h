// The phrase split of a translated-words list: the steps that follow the
// collection of a typed phrase's hits, and the whole split.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

class WordList;

namespace ostrel::japanese {

// Orders the list's hits (by position, with `expandOption`, and by end),
// marks and suppresses them, chooses the words and makes the chosen words
// (and their companions) the list's rows. Answers the number of words chosen.
int32_t SplitListedHits(WordList& list, std::u16string_view text, std::span<const uint16_t> boundary,
                        int32_t expandOption);

}  // namespace ostrel::japanese
