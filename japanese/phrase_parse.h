// The phrase split of a typed key: the translator collects the key's hits
// into the translated-words list and the splitter leaves its chosen words
// there as the rows; search as you type reaches it through PhraseSearchSplitter.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "dictionary/phrase_split_hook.h"

class WordList;

namespace ostrel::japanese {

class CTranslate;
class CTransOptions;

// Whether one of the list's dictionaries (with entries, translated) is a file
// "ostrel.qdx", "warodai.qdx" or "edict.qdx", in any case: only then are
// one-character particles scanned.
bool PhraseParticlesAllowed(const WordList& list);

// Orders the list's hits (by position, with `expandOption`, and by end),
// marks and suppresses them, chooses the words and makes the chosen words
// (and their companions) the list's rows. Answers the number of words chosen.
int32_t SplitListedHits(WordList& list, std::u16string_view text, std::span<const uint16_t> boundary,
                        int32_t expandOption);

// Splits `text` (at most 1023 units) into the words of `list`'s
// dictionaries; `hitFlags` are added to every hit. Answers 1 after a split,
// also when no word was found, 0 for an empty text.
uint32_t ParsePhrase(CTranslate& translator, WordList& list, std::u16string_view text, uint32_t hitFlags);

// The splitter search as you type calls: UnderCursor 0, MinKanaLength 2 and
// the names dictionary left out for the call, the options restored after it.
class PhraseSearchSplitter : public IPhraseSplitter {
public:
    PhraseSearchSplitter(CTranslate& translator, CTransOptions& options, WordList& translatedWords)
        : translator_(translator), options_(options), translatedWords_(translatedWords) {}
    bool SplitKey(std::u16string_view key, WordListEntry& first) override;

    // Called with the key before the split: the input line's text takes it.
    void (*keyToInput)(void* context, std::u16string_view key) = nullptr;
    void* keyToInputContext = nullptr;

private:
    CTranslate& translator_;
    CTransOptions& options_;
    WordList& translatedWords_;
};

}  // namespace ostrel::japanese
