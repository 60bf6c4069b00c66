// WordList, stored form: up to 2000 copied entries, the row index over the
// listed ones (a row always names a listed, undeleted entry below the entry
// count), the text pool, and the orderings of the rows.
#include <algorithm>
#include <cstring>

#include "common/collation/collator.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/word_list.h"
#include "dictionary/word_list_shelf.h"

namespace {

bool DictionaryShown(const RDFDictionary* dictionary) {
    return (dictionary->flags & kDictionaryHidden) == 0 && (dictionary->flags & kDictionaryOpen) != 0;
}

int32_t CopyText(char16_t* to, std::u16string_view text) {
    size_t units = std::min<size_t>(text.size(), kEntryTextUnits);
    std::copy_n(text.begin(), units, to);
    to[units] = 0;
    return static_cast<int32_t>(units);
}

}  // namespace

void WordList::Clear() {
    if (!stored_) return;
    entries_.clear();
    rowIndex_.clear();
    rowCount_ = 0;
    poolUsed_ = 0;
    unresolved_.clear();
    unresolvedPaths_.clear();
}

void WordList::SetEntryLimit(int32_t limit) {
    entryLimit_ = std::max(limit, int32_t{0});
    if (!stored_) return;
    entries_.reserve(static_cast<size_t>(entryLimit_));
    rowIndex_.reserve(static_cast<size_t>(entryLimit_));
}

WordListEntry* WordList::RowEntry(int32_t row) {
    if (!stored_ || row < 0 || row >= rowCount_) return nullptr;
    return &entries_[static_cast<size_t>(rowIndex_[static_cast<size_t>(row)])];
}

std::u16string_view WordList::PoolText(uint32_t offset, uint32_t length) const {
    if (offset > static_cast<uint32_t>(poolUsed_) || length > static_cast<uint32_t>(poolUsed_) - offset) return {};
    return {pool_.get() + offset, length};
}

int32_t WordList::AddText(std::u16string_view text) {
    if (static_cast<int64_t>(poolUsed_) + 1 + static_cast<int64_t>(text.size()) >= kPoolUnits) return -1;
    int32_t offset = poolUsed_;
    std::copy(text.begin(), text.end(), pool_.get() + offset);
    pool_[static_cast<size_t>(offset) + text.size()] = 0;
    poolUsed_ += static_cast<int32_t>(text.size()) + 1;
    return offset;
}

WordListEntry* WordList::NewEntry(const WordListEntry* from) {
    if (!stored_ || EntryCount() >= entryLimit_) return nullptr;
    WordListEntry& entry = entries_.emplace_back();
    if (from != nullptr) {
        entry = *from;
    } else {
        std::memset(&entry, 0, sizeof entry);
        entry.priority = kDefaultEntryPriority;
    }
    flags |= kListModified;
    return &entry;
}

void WordList::ListEntry(int32_t entryNumber) {
    entries_[static_cast<size_t>(entryNumber)].flags |= kEntryListed;
    rowIndex_.push_back(entryNumber);
    rowCount_ = static_cast<int32_t>(rowIndex_.size());
}

WordListEntry* WordList::AddEntry(const CCursor* cursor, int32_t start, int32_t length, const uint8_t* tags) {
    WordListEntry* entry = NewEntry();
    if (entry == nullptr) return nullptr;
    if (tags != nullptr) std::memcpy(entry->tags, tags, sizeof entry->tags);
    if (cursor != nullptr) {
        entry->dictionary = cursor->dictionary;
        entry->indexId = cursor->indexId;
        entry->recordId = cursor->position.ref.first;
        entry->subEntry = static_cast<uint16_t>(cursor->position.ref.second >> 16);
        entry->flags |= EntryFlagsOfReference(cursor->position.ref.second);
    }
    entry->matchStart = start;
    entry->matchLength = length;
    ListEntry(EntryCount() - 1);
    if (cursor != nullptr) FillTexts(*entry, *cursor);
    return entry;
}

WordListEntry* WordList::AddEntry(const CCursor& cursor, const CursorEntryCopy& copied, int32_t start,
                                  int32_t length, const uint8_t* tags) {
    WordListEntry* entry = AddEntry(nullptr, start, length, tags);
    if (entry == nullptr) return nullptr;
    entry->dictionary = cursor.dictionary;
    entry->indexId = cursor.indexId;
    entry->recordId = copied.ref.first;
    entry->subEntry = static_cast<uint16_t>(copied.ref.second >> 16);
    entry->flags |= EntryFlagsOfReference(copied.ref.second);
    FillTexts(*entry, cursor.indexId, copied.fieldsWritten, copied.first, copied.second);
    return entry;
}

WordListEntry* WordList::AddCursorEntry(const CCursor& cursor) {
    if (DictionaryCursor(cursor.dictionary) == nullptr) return nullptr;
    return AddEntry(&cursor, 0, 0, nullptr);
}

WordListEntry* WordList::AppendRaw(const WordListEntry& from) {
    WordListEntry* entry = NewEntry(&from);
    if (entry == nullptr) return nullptr;
    entry->flags &= ~kEntryListed;
    if ((from.flags & (kEntryListed | kEntryDeleted)) == kEntryListed) ListEntry(EntryCount() - 1);
    return entry;
}

int32_t WordList::RowOfRecord(const RDFDictionary* dictionary, uint32_t recordId) const {
    for (int32_t row = 0; row < rowCount_; ++row) {
        const WordListEntry& entry = EntryAt(EntryOfRow(row));
        if (entry.dictionary == dictionary && entry.recordId == recordId) return row;
    }
    return -1;
}

WordListEntry* WordList::MoveToTop(const CCursor& cursor) {
    if (!stored_) return nullptr;
    for (int32_t row = RowOfRecord(cursor.dictionary, cursor.position.ref.first); row >= 0;
         row = RowOfRecord(cursor.dictionary, cursor.position.ref.first)) {
        if (row == 0) return RowEntry(0);
        DeleteRow(row);
    }
    if (DictionaryCursor(cursor.dictionary) == nullptr) return nullptr;
    while (rowCount_ >= kHistoryRows) DeleteRow(rowCount_ - 1);
    // Entries of closed dictionaries hold no row but count: drop the oldest
    // of them rather than stop recording.
    for (int32_t i = 0; EntryCount() >= kMaxEntries && i < EntryCount();) {
        if ((EntryAt(i).flags & kEntryListed) == 0)
            DeleteAt(i);
        else
            ++i;
    }
    WordListEntry* entry = NewEntry();
    if (entry == nullptr) return nullptr;
    entry->dictionary = cursor.dictionary;
    entry->indexId = cursor.indexId;
    entry->recordId = cursor.position.ref.first;
    entry->subEntry = static_cast<uint16_t>(cursor.position.ref.second >> 16);
    entry->flags |= kEntryListed;
    rowIndex_.insert(rowIndex_.begin(), EntryCount() - 1);
    rowCount_ = static_cast<int32_t>(rowIndex_.size());
    FillTexts(*entry, cursor);
    return entry;
}

void WordList::DeleteRow(int32_t row) {
    if (row >= 0 && row < rowCount_) DeleteAt(EntryOfRow(row));
}

void WordList::DeleteAt(int32_t entryNumber) {
    if (!stored_ || entryNumber < 0 || entryNumber >= EntryCount()) return;
    int32_t oldRows = rowCount_;
    auto found = std::find(rowIndex_.begin(), rowIndex_.end(), entryNumber);
    int32_t row = found == rowIndex_.end() ? -1 : static_cast<int32_t>(found - rowIndex_.begin());
    if (row >= 0) rowIndex_.erase(found);
    for (int32_t& number : rowIndex_)
        if (number > entryNumber) --number;
    entries_.erase(entries_.begin() + entryNumber);
    rowCount_ = static_cast<int32_t>(rowIndex_.size());
    if (row >= 0) {
        if (currentRow_ > row)
            --currentRow_;
        else if (currentRow_ == row && row == oldRows - 1)
            currentRow_ = rowCount_ - 1;
    }
    flags |= kListModified;
}

int32_t WordList::RemoveDictionaryEntries(RDFDictionary* dictionary) {
    int32_t removed = 0;
    for (int32_t i = EntryCount() - 1; i >= 0; --i)
        if (EntryAt(i).dictionary == dictionary) {
            DeleteAt(i);
            ++removed;
        }
    return removed;
}

void WordList::RemapRecordIds(RDFDictionary* dictionary, const uint32_t* oldIds, const uint32_t* newIds,
                              int32_t count) {
    if (count < 0 || (count > 0 && (oldIds == nullptr || newIds == nullptr))) return;
    for (int32_t i = EntryCount() - 1; i >= 0; --i) {
        WordListEntry& entry = EntryAt(i);
        if (entry.dictionary != dictionary) continue;
        const uint32_t* found = std::lower_bound(oldIds, oldIds + count, entry.recordId);
        if (found != oldIds + count && *found == entry.recordId)
            entry.recordId = newIds[found - oldIds];
        else
            DeleteAt(i);
    }
}

int32_t WordList::PurgeDeleted(int32_t minimum) {
    int32_t deleted = static_cast<int32_t>(
        std::count_if(entries_.begin(), entries_.end(), [](const WordListEntry& e) { return e.flags & kEntryDeleted; }));
    if (deleted == 0 || deleted < minimum) return 0;
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [](const WordListEntry& e) { return (e.flags & kEntryDeleted) != 0; }),
                   entries_.end());
    // The rows named entries that moved or went: rebuild them now, before
    // anything can paint from the old row index.
    RebuildVisibleIndex();
    if (currentRow_ >= rowCount_) currentRow_ = rowCount_ - 1;
    flags |= kListModified;
    return deleted;
}

int32_t WordList::Rebuild() {
    if (!stored_) return rowCount_;
    rowIndex_.clear();
    for (int32_t i = 0; i < EntryCount();) {
        WordListEntry& entry = EntryAt(i);
        if (entry.dictionary != nullptr && ShelfPosition(entry.dictionary) < 0) {
            entries_.erase(entries_.begin() + i);
            flags |= kListModified;
            continue;
        }
        if (entry.dictionary != nullptr && !DictionaryShown(entry.dictionary)) {
            entry.flags &= ~kEntryListed;
        } else if ((entry.flags & kEntryDeleted) == 0) {
            entry.flags |= kEntryListed;
            rowIndex_.push_back(i);
        }
        ++i;
    }
    rowCount_ = static_cast<int32_t>(rowIndex_.size());
    return rowCount_;
}

int32_t WordList::RebuildVisibleIndex() {
    rowIndex_.clear();
    for (int32_t i = 0; i < EntryCount(); ++i)
        if ((EntryAt(i).flags & (kEntryListed | kEntryDeleted)) == kEntryListed) rowIndex_.push_back(i);
    rowCount_ = static_cast<int32_t>(rowIndex_.size());
    return rowCount_;
}

void WordList::FillTexts(WordListEntry& entry, const CCursor& cursor) const {
    FillTexts(entry, cursor.indexId, cursor.FieldWritten(0) && cursor.FieldWritten(1), cursor.FieldText(0),
              cursor.FieldText(1));
}

void WordList::FillTexts(WordListEntry& entry, uint32_t indexId, bool fieldsWritten, std::u16string_view first,
                         std::u16string_view second) {
    if (!fieldsWritten) return;
    std::u16string_view reading, word;
    if (indexId == kIndexReadingWord) {
        reading = first;
        word = second;
    } else if (indexId == kIndexWordReading) {
        word = first;
        reading = second;
    } else {
        entry.readingLength = entry.wordLength = 0;
        entry.reading[0] = entry.word[0] = 0;
        entry.flags &= ~kEntryTextsFilled;
        return;
    }
    entry.readingLength = CopyText(entry.reading, reading);
    entry.wordLength = CopyText(entry.word, word);
    entry.flags |= kEntryTextsFilled;
}

ICollator* WordList::SortCollator() const {
    if (rowCount_ > 0) {
        const RDFDictionary* first = EntryAt(EntryOfRow(0)).dictionary;
        if (first != nullptr && DictionaryShown(first) && first->Collator() != nullptr) return first->Collator();
    }
    return shelf_ != nullptr ? shelf_->Collator() : nullptr;
}

void WordList::FillTextsFromRecord(WordListEntry& entry) {
    if ((entry.flags & kEntryTextsFilled) != 0 || entryTextReader == nullptr || entry.dictionary == nullptr ||
        !DictionaryShown(entry.dictionary))
        return;
    CCursor* cursor = DictionaryCursor(entry.dictionary);
    if (cursor == nullptr) return;
    cursor->position.ref = {entry.recordId, static_cast<uint32_t>(entry.subEntry) << 16};
    std::u16string reading, word;
    if (!entryTextReader(*cursor, reading, word)) return;
    entry.readingLength = CopyText(entry.reading, reading);
    entry.wordLength = CopyText(entry.word, word);
    entry.flags |= kEntryTextsFilled;
}

int32_t WordList::Sort() {
    if (!stored_) return currentRow_;
    const WordListEntry* current = RowEntry(currentRow_);
    RDFDictionary* currentDictionary = current != nullptr ? current->dictionary : nullptr;
    uint32_t currentRecord = current != nullptr ? current->recordId : 0;
    bool hadCurrent = current != nullptr;
    if (sortMode == 0) {
        RebuildVisibleIndex();
    } else if (sortMode == 2 || sortMode == 3) {
        for (int32_t row = 0; row < rowCount_; ++row) FillTextsFromRecord(EntryAt(EntryOfRow(row)));
        // A closed dictionary's collator is gone: never call it; without any, keep the order.
        ICollator* collator = SortCollator();
        if (collator == nullptr) return currentRow_;
        auto compare = [collator](std::u16string_view a, std::u16string_view b) {
            return collator->Compare(a.data(), static_cast<uint32_t>(a.size()), b.data(),
                                     static_cast<uint32_t>(b.size()), 0, 1);
        };
        bool readingFirst = sortMode == 2;
        std::stable_sort(rowIndex_.begin(), rowIndex_.end(), [&](int32_t x, int32_t y) {
            const WordListEntry& a = EntryAt(x);
            const WordListEntry& b = EntryAt(y);
            std::u16string_view aReading(a.reading, static_cast<size_t>(a.readingLength));
            std::u16string_view bReading(b.reading, static_cast<size_t>(b.readingLength));
            std::u16string_view aWord(a.word, static_cast<size_t>(a.wordLength));
            std::u16string_view bWord(b.word, static_cast<size_t>(b.wordLength));
            int32_t order = readingFirst ? compare(aReading, bReading) : compare(aWord, bWord);
            if (order == 0) order = readingFirst ? compare(aWord, bWord) : compare(aReading, bReading);
            if (order != 0) return order < 0;
            return ShelfPosition(a.dictionary) < ShelfPosition(b.dictionary);
        });
    } else {
        return currentRow_;
    }
    if (hadCurrent) currentRow_ = RowOfRecord(currentDictionary, currentRecord);
    return currentRow_;
}
