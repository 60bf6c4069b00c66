// Test rows without a dictionary: own-text entries appended to a stored word
// list, the simplest model a list view can page over.
#pragma once

#include <cstring>
#include <string_view>

#include "dictionary/word_list.h"
#include "dictionary/word_list_entry.h"

// Appends a listed own-text entry holding `text`, with `flags` added.
inline void AppendOwnTextRow(WordList& list, std::u16string_view text, uint32_t flags = 0) {
    WordListEntry entry;
    std::memset(&entry, 0, sizeof entry);
    entry.flags = flags | kEntryOwnText | kEntryListed;
    entry.textOffset = static_cast<uint32_t>(list.AddText(text));
    entry.textLength = static_cast<uint32_t>(text.size());
    list.AppendRaw(entry);
}
