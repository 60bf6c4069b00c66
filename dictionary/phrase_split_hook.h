// The phrase splitter as search as you type sees it. The splitter lives in a
// layer above the word lists; that layer installs an object of this interface
// on the by-reading list, and without one a key not found whole stays as it is.
#pragma once

#include <string_view>

#include "dictionary/word_list_entry.h"

class IPhraseSplitter {
public:
    virtual ~IPhraseSplitter() = default;
    // Splits `key` (at most 1023 units) into the translated-words list, with
    // the options the search needs for the call. Answers whether that list
    // has a first row, copied to `first`.
    virtual bool SplitKey(std::u16string_view key, WordListEntry& first) = 0;
};
