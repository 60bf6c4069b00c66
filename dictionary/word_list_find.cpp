// WordList::Find: the seek behind search as you type. Every dictionary's
// cursor seeks the first entry not below the key, the merge picks the first
// of them, and the closer neighbour rule then prefers the row before it when
// that row shares at least as long a beginning with the key. A reading not
// found whole may be a phrase or an inflected form: the phrase splitter's
// first word, when it covers the whole key, gives the reading sought instead.
// A dictionary whose index the engine refuses to read (a damaged page) is
// not taken to hold nothing there: it leaves the list, the search runs again
// over the others, and the refusal waits to be shown once to the user. A
// reading found whole in the by-reading list goes on to its preferred
// spelling (spelling_preference.h).
#include <string>

#include "common/collation/collator.h"
#include "common/unicode/search_key.h"
#include "dictionary/dictionary.h"
#include "dictionary/phrase_split_hook.h"
#include "dictionary/spelling_preference.h"
#include "dictionary/word_list.h"
#include "dictionary/word_list_shelf.h"

namespace {

std::u16string_view Cut(std::u16string_view text, size_t units) { return text.substr(0, std::min(text.size(), units)); }

constexpr size_t kMaxPhraseUnits = 1023;

}  // namespace

int32_t WordList::CompareCurrent(std::u16string_view key, const std::u16string_view* reading, int32_t mode) {
    const CCursor* cursor = CurrentCursor();
    if (cursor == nullptr || !cursor->OnEntry()) return 1;
    ICollator* collator = cursor->dictionary->Collator();
    if (collator == nullptr) return 1;
    std::u16string_view found = cursor->FieldText(0);
    int32_t order = collator->Compare(found.data(), static_cast<uint32_t>(found.size()), key.data(),
                                      static_cast<uint32_t>(key.size()), mode, 0);
    if (order != 0 || reading == nullptr) return order;
    std::u16string_view second = cursor->FieldText(1);
    return collator->Compare(second.data(), static_cast<uint32_t>(second.size()), reading->data(),
                             static_cast<uint32_t>(reading->size()), mode, 0);
}

bool WordList::RefusalPending() const {
    for (const auto& cursor : cursors_)
        if (IsReadRefusal(cursor->status)) return true;
    return false;
}

bool WordList::DropRefusedDictionaries() {
    bool dropped = false;
    for (;;) {
        RDFDictionary* refused = nullptr;
        for (const auto& cursor : cursors_)
            if (IsReadRefusal(cursor->status)) refused = cursor->dictionary;
        if (refused == nullptr) return dropped;
        RemoveDictionary(refused);
        ++refusedDrops_;
        dropped = true;
    }
}

void WordList::ReportReadRefusals() {
    if (shelf_ == nullptr) return;
    for (int32_t position = 0;; ++position) {
        RDFDictionary* dictionary = shelf_->DictionaryAt(position);
        if (dictionary == nullptr) return;
        dictionary->ReportReadRefusal();
    }
}

bool WordList::ReadRefusalsUntold() const {
    if (shelf_ == nullptr) return false;
    for (int32_t position = 0;; ++position) {
        const RDFDictionary* dictionary = shelf_->DictionaryAt(position);
        if (dictionary == nullptr) return false;
        if (dictionary->ReadRefusalUntold()) return true;
    }
}

int32_t WordList::StandOnPreferredSpelling(std::u16string_view reading) {
    const int32_t first = currentRow_;
    SpellingWalk walk(spellingPreference, reading);
    for (int32_t row = first;; ++row) {
        const CCursor* cursor = row == first ? CurrentCursor() : GetEntry(row);
        if (cursor == nullptr || !cursor->OnEntry() || cursor->FieldText(0) != reading) break;
        if (!walk.Take(cursor->FieldText(1), IsCommonWordReference(cursor->position.ref.second))) break;
    }
    GetEntry(first + walk.Chosen());
    return currentRow_;
}

int32_t WordList::Find(std::u16string_view key, const std::u16string_view* reading, int32_t mode, bool* notWhole,
                       bool* phrase, WordListEntry* phraseEntry) {
    if (phrase != nullptr) *phrase = false;
    if (rowCount_ == 0) return -1;
    if (stored_) return 0;
    std::u16string phraseReading;  // the key sought after a split
    bool split = false;
    for (;;) {
        std::u16string searchKey;
        if (kind_ == kListLexicon) {
            char16_t made[1024];
            int32_t length = MakeSearchKey(Cut(key, 255), made);
            searchKey.assign(made, static_cast<size_t>(std::max(length, 0)));
        } else {
            searchKey.assign(Cut(key, CCursor::kMaxKeyUnits));
        }
        std::u16string_view wanted = searchKey;
        std::u16string readingKey;
        std::u16string_view readingView;
        if (reading != nullptr) {
            readingKey.assign(Cut(*reading, CCursor::kMaxKeyUnits));
            readingView = readingKey;
        }
        const std::u16string_view* wantedReading = reading != nullptr ? &readingView : nullptr;

        if (direction_ < 0) {
            direction_ = 1;
            SyncForward(current_);
        }
        bool found = false;
        for (const auto& cursor : cursors_) {
            if (!cursor->HasEntries()) continue;
            cursor->ClearKeys();
            if (wanted.empty()) {
                found = !Failed(cursor->MoveFirst()) || found;
                continue;
            }
            cursor->SetKeyText(0, wanted);
            if (wantedReading != nullptr) cursor->SetKeyText(1, *wantedReading);
            found = !Failed(cursor->SeekGreaterOrEqual()) || found;
        }
        if (DropRefusedDictionaries()) {
            if (rowCount_ == 0) return -1;
            continue;
        }
        // Only "nothing there" from every cursor means the key sorts after
        // every entry: the last row, not whole.
        bool afterEverything = !found;
        if (afterEverything) {
            for (const auto& cursor : cursors_)
                if (cursor->HasEntries()) cursor->MoveLast();
        }
        SortCursors();
        current_ = afterEverything ? LastPositioned() : FirstPositioned();
        SyncForward(current_);
        if (afterEverything) current_ = LastPositioned();
        if (DropRefusedDictionaries()) {
            if (rowCount_ == 0) return -1;
            continue;
        }
        ComputeMergedRow();

        int32_t order = CompareCurrent(wanted, wantedReading, mode);
        if (order == 0 && (kind_ != kListReadings || wantedReading != nullptr || !SpellingWalk::Walks(wanted)))
            return currentRow_;
        if (order == 0) {
            const int32_t drops = refusedDrops_;
            const int32_t row = StandOnPreferredSpelling(wanted);
            if (refusedDrops_ == drops) return row;
            // A dictionary left the list on the way: the search again over the others.
            if (rowCount_ == 0) return -1;
            continue;
        }
        if (notWhole != nullptr) *notWhole = true;

        if (!split && kind_ == kListReadings && !afterEverything && key.size() >= 2 && reading == nullptr &&
            phraseSplitter != nullptr) {
            split = true;
            const std::u16string_view phraseKey = Cut(key, kMaxPhraseUnits);
            WordListEntry first{};
            if (phraseSplitter->SplitKey(phraseKey, first) && first.matchLength > 0 &&
                first.matchLength == static_cast<int32_t>(phraseKey.size()) && first.readingLength > 0) {
                if (phraseEntry != nullptr) *phraseEntry = first;
                if (phrase != nullptr) *phrase = true;
                phraseReading.assign(first.reading, static_cast<size_t>(std::min(first.readingLength, kEntryTextUnits)));
                key = phraseReading;
                continue;
            }
        }

        // Closer neighbour: the row before shares a longer or equal beginning.
        if (order > 0 && currentRow_ > 0) {
            int32_t row = currentRow_;
            int32_t previous = kind_ == kListLexicon ? PrevGroup(row, 1) : row - 1;
            if (previous >= 0 && GetEntry(previous) != nullptr) {
                int32_t before = CompareCurrent(wanted, wantedReading, mode);
                if (before < 0 && ~before < order - 1) GetEntry(row);
            }
        }
        return currentRow_;
    }
}
