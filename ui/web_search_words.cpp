// Ownership of the words carried by posted web-search commands.
#include "ui/web_search_words.h"

#include <algorithm>

WebSearchWords::~WebSearchWords() {
    for (BSTR word : words_) SysFreeString(word);
}

LPARAM WebSearchWords::HandOut(BSTR word) {
    if (word) words_.push_back(word);
    return reinterpret_cast<LPARAM>(word);
}

BSTR WebSearchWords::TakeBack(LPARAM value) {
    auto found = std::find(words_.begin(), words_.end(), reinterpret_cast<BSTR>(value));
    if (value == 0 || found == words_.end()) return nullptr;
    BSTR word = *found;
    words_.erase(found);
    return word;
}
