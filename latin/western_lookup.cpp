// The Western look-up: index hits and the analyser's rows, ordered and folded.
#include "latin/western_lookup.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "common/unicode/search_key.h"
#include "dictionary/cursor.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/word_list.h"
#include "latin/latin_bridge.h"

namespace {

bool HasEntries(RDFDictionary* dictionary, uint32_t indexId) {
    CCursor cursor(dictionary, indexId);
    return cursor.HasEntries();
}

// Whether an open dictionary of the list without Latin stems holds the key
// among the words of its full-text index (the Lexicon's words).
bool LexiconHoldsWord(const WordList& list, std::u16string_view key) {
    for (int32_t i = 0; i < list.CursorCount(); ++i) {
        RDFDictionary* dictionary = list.CursorAt(i)->dictionary;
        if (dictionary == nullptr || (dictionary->flags & kDictionaryOpen) == 0) continue;
        if (HasEntries(dictionary, kIndexLatinStems)) continue;
        CCursor words(dictionary, kIndexFullTextWords);
        if (words.HoldsKey(key)) return true;
    }
    return false;
}

enum class Found : char { kByIndex, kAsItStands, kByTrick };

// The new entries from `before` on: the analyser's readings of the word as
// it stands lead, in the analyser's order, before what the indexes found
// (in: its two cases before KANJIDIC's 中 "in"), so that a Latin word's first
// row is its first reading; readings only by a changed spelling go when
// `dropTricks`.
void OrderWesternRows(WordList& list, int32_t before, const std::vector<Found>& found, bool dropTricks) {
    std::vector<WordListEntry> lead, rest;
    for (size_t k = 0; k < found.size(); ++k) {
        if (found[k] == Found::kByTrick && dropTricks) continue;
        (found[k] == Found::kAsItStands ? lead : rest).push_back(list.EntryAt(before + static_cast<int32_t>(k)));
    }
    if (lead.empty() && rest.size() == found.size()) return;
    while (list.EntryCount() > before) list.DeleteAt(list.EntryCount() - 1);
    for (const std::vector<WordListEntry>* part : {&lead, &rest})
        for (const WordListEntry& entry : *part) list.AppendRaw(entry);
}

}  // namespace

// An index hit of a record the analyser also read goes: the analyser's row
// stands where its reading ranks (domo: domus before domo "to tame", which
// the reverse index also holds). Of the analyser's rows of one record the
// first keeps its place and its article every reading: the lines of a later
// reading (laudare's perfect beside its infinitive) join its note.
void FoldRowsOfOneRecord(WordList& list, int32_t first) {
    auto sameRecord = [&list](int32_t i, int32_t j) {
        return list.EntryAt(i).dictionary == list.EntryAt(j).dictionary &&
               list.EntryAt(i).recordId == list.EntryAt(j).recordId;
    };
    auto noted = [&list](int32_t i) { return (list.EntryAt(i).flags & kEntryNote) != 0; };
    for (int32_t i = first; i < list.EntryCount();) {
        bool readToo = false;
        for (int32_t j = first; j < list.EntryCount() && !readToo; ++j)
            readToo = j != i && noted(j) && sameRecord(i, j);
        if (list.EntryAt(i).dictionary != nullptr && !noted(i) && readToo) list.DeleteAt(i);
        else ++i;
    }
    auto note = [&list](const WordListEntry& e) {
        return (e.flags & kEntryNote) != 0 ? std::u16string(list.PoolText(e.noteOffset, e.noteLength))
                                           : std::u16string();
    };
    for (int32_t i = first; i < list.EntryCount(); ++i) {
        if (list.EntryAt(i).dictionary == nullptr) continue;
        std::u16string joined = note(list.EntryAt(i));
        const size_t alone = joined.size();
        for (int32_t j = i + 1; j < list.EntryCount();) {
            if (!sameRecord(i, j)) {
                ++j;
                continue;
            }
            joined += note(list.EntryAt(j));
            list.DeleteAt(j);
        }
        if (joined.size() == alone) continue;
        const int32_t offset = list.AddText(joined);
        if (offset < 0) continue;   // the pool is full: the first reading's note stays
        WordListEntry& kept = list.EntryAt(i);
        kept.flags |= kEntryNote;
        kept.noteOffset = static_cast<uint32_t>(offset);
        kept.noteLength = static_cast<uint32_t>(joined.size());
    }
}

int32_t AnalyseThroughBridge(LatinBridge* bridge, std::u16string_view text, RDFDictionary* dictionary,
                             WordList& list) {
    const int32_t known = bridge != nullptr ? bridge->Analyse(text, dictionary, list) : 0;
    return known == 1 && bridge->ReadOnlyByTrick() ? kReadByTrickOnly : known;
}

int32_t LookUpWesternWord(WordList& list, std::u16string_view word, int32_t start, int32_t length,
                          const LatinAnalyser& analyse) {
    std::array<char16_t, 256> keyUnits{};
    const int32_t keyLength = MakeSearchKey(word.substr(0, 255), keyUnits);
    if (keyLength <= 0) return 0;
    const std::u16string_view key(keyUnits.data(), static_cast<size_t>(keyLength));
    const int32_t before = list.EntryCount();
    std::vector<RDFDictionary*> seen;
    std::vector<Found> found;  // how each new entry was found
    for (int32_t i = 0; i < list.CursorCount(); ++i) {
        RDFDictionary* dictionary = list.CursorAt(i)->dictionary;
        if (dictionary == nullptr || std::find(seen.begin(), seen.end(), dictionary) != seen.end()) continue;
        seen.push_back(dictionary);
        if ((dictionary->flags & kDictionaryOpen) == 0) continue;
        const bool reverse = HasEntries(dictionary, kIndexTranslationWords);
        const bool latin = HasEntries(dictionary, kIndexLatinStems);
        if (reverse) {
            CCursor cursor(dictionary, kIndexTranslationWords);
            cursor.SeekPrefix(key, list);
        }
        found.resize(static_cast<size_t>(list.EntryCount() - before), Found::kByIndex);
        if (!latin || !analyse) continue;
        const int32_t known = analyse(word, dictionary, list);
        found.resize(static_cast<size_t>(list.EntryCount() - before),
                     known == kReadByTrickOnly ? Found::kByTrick : Found::kAsItStands);
    }
    // An English word the analyser reads only by changing it (The as te) is
    // left to the Lexicon, which holds it as it stands.
    const bool dropTricks =
        std::find(found.begin(), found.end(), Found::kByTrick) != found.end() && LexiconHoldsWord(list, key);
    OrderWesternRows(list, before, found, dropTricks);
    for (int32_t i = before; i < list.EntryCount(); ++i) {
        list.EntryAt(i).matchStart = start;
        list.EntryAt(i).matchLength = length;
    }
    FoldRowsOfOneRecord(list, before);
    return list.EntryCount() - before;
}
