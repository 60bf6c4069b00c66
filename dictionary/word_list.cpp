// WordList: construction, the cursors of each dictionary and the merged
// form (sorting the cursors, synchronising them, stepping, bisection).
// The merge invariant: with direction +1 the current cursor is the first
// positioned one in merge order and every other stands on its first entry
// after the current entry (or at end); with -1 the current is the last
// positioned one and every other stands on its last entry before it (or at
// begin). The current row is then the sum of the ordinals.
#include "dictionary/word_list.h"

#include <algorithm>
#include <cstdlib>

#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/word_list_shelf.h"

namespace {

bool StoredKind(int32_t kind) {
    return kind == kListTranslatedWords || kind == kListSelected || kind == kListSearchResults ||
           kind == kListHistory;
}

}  // namespace

WordList::WordList(IWordListShelf* shelf, int32_t kind)
    : shelf_(shelf), kind_(kind), stored_(StoredKind(kind)), pool_(new char16_t[kPoolUnits]) {
    cursors_.reserve(kMaxCursors);
    if (stored_) {
        entries_.reserve(kMaxEntries);
        rowIndex_.reserve(kMaxEntries);
    }
}

WordList::~WordList() = default;

std::vector<uint32_t> WordList::IndexIds() const {
    switch (kind_) {
    case kListTranslatedWords: return {kIndexReadingWord, kIndexWordReading};
    case kListReadings: return {kIndexReadingWord};
    case kListReverse: return {kIndexTranslationWords};
    case kListWritings: return {kIndexWordReading};
    case kListLexicon: return {kIndexFullTextWords};
    case kListSelected:
    case kListSearchResults:
    case kListHistory: return {kCursorWithoutIndex};
    default: return {};
    }
}

CCursor* WordList::CurrentCursor() const {
    return current_ >= 0 && current_ < CursorCount() ? CursorAt(current_) : nullptr;
}

int32_t WordList::ShelfPosition(const RDFDictionary* dictionary) const {
    if (shelf_ != nullptr) return shelf_->PositionOf(dictionary);
    return dictionary != nullptr ? dictionary->position : -1;
}

CCursor* WordList::DictionaryCursor(const RDFDictionary* dictionary) const {
    for (const auto& cursor : cursors_)
        if (cursor->dictionary == dictionary) return cursor.get();
    return nullptr;
}

CCursor* WordList::AddCursor(RDFDictionary* dictionary, uint32_t indexId) {
    if (CursorCount() >= kMaxCursors || dictionary == nullptr) return nullptr;
    auto cursor = std::make_unique<CCursor>(dictionary, indexId);
    if (cursor->handle == 0) return nullptr;
    cursor->ordinal = -1;
    cursor->count = 0;
    if (indexId != kCursorWithoutIndex) {
        if (Failed(cursor->SelectIndex())) return nullptr;
        if (!Failed(cursor->MoveLast())) cursor->count = cursor->ordinal + 1;
        cursor->MoveFirst();
    }
    cursors_.push_back(std::move(cursor));
    return cursors_.back().get();
}

void WordList::RemoveCursorAt(int32_t index) {
    cursors_.erase(cursors_.begin() + index);
    if (index < current_) --current_;
}

void WordList::AddDictionary(RDFDictionary* dictionary) {
    for (int32_t i = CursorCount() - 1; i >= 0; --i)
        if (CursorAt(i)->dictionary == dictionary) {
            if (i == current_) current_ = -1;
            RemoveCursorAt(i);
        }
    for (uint32_t indexId : IndexIds()) AddCursor(dictionary, indexId);
    if (stored_) return;
    int32_t hadRows = rowCount_;
    RecountRows();
    if (rowCount_ == 0) {
        current_ = -1;
        currentRow_ = -1;
        return;
    }
    if (hadRows == 0 || current_ < 0) {
        // The first cursor with entries; when the list was empty that is the new one.
        current_ = -1;
        for (int32_t i = 0; i < CursorCount() && current_ < 0; ++i)
            if (CursorAt(i)->HasEntries() && CursorAt(i)->OnEntry()) current_ = i;
        if (current_ < 0) return;
    }
    Sync(current_);
    ComputeMergedRow();
}

void WordList::RemoveDictionary(RDFDictionary* dictionary) {
    for (auto& slot : saved_)
        if (slot && slot->dictionary == dictionary) slot.reset();
    // The others are placed beside the current entry first, unless it is the
    // leaving dictionary's: its cursor may stand nowhere (a refused move).
    if (!stored_ && current_ >= 0 && CursorAt(current_)->dictionary != dictionary) Sync(current_);
    int32_t gap = -1;
    for (int32_t i = CursorCount() - 1; i >= 0; --i) {
        if (CursorAt(i)->dictionary != dictionary) continue;
        if (i == current_) {
            gap = i;
            current_ = -1;
        } else if (gap > i) {
            --gap;
        }
        RemoveCursorAt(i);
    }
    if (gap >= 0) {
        // The nearest cursor with entries on the side the list was moving to, else the other side.
        auto nearest = [&](int32_t from, int32_t step) {
            for (int32_t i = from; i >= 0 && i < CursorCount(); i += step)
                if (CursorAt(i)->HasEntries()) return i;
            return -1;
        };
        current_ = direction_ > 0 ? nearest(gap, 1) : nearest(gap - 1, -1);
        if (current_ < 0) current_ = direction_ > 0 ? nearest(gap - 1, -1) : nearest(gap, 1);
    }
    if (stored_) return;
    RecountRows();
    if (rowCount_ == 0 || current_ < 0) {
        current_ = -1;
        currentRow_ = -1;
        return;
    }
    Sync(current_);
    ComputeMergedRow();
}

void WordList::ForgetDictionary(RDFDictionary* dictionary) {
    RemoveDictionary(dictionary);
    if (stored_) RemoveDictionaryEntries(dictionary);
}

void WordList::RecountRows() {
    int64_t rows = 0;
    for (const auto& cursor : cursors_) rows += cursor->count;
    rowCount_ = static_cast<int32_t>(std::min<int64_t>(rows, INT32_MAX));
}

// ---- merging ------------------------------------------------------------

bool WordList::Later(const CCursor& a, const CCursor& b) const {
    return ShelfPosition(a.dictionary) > ShelfPosition(b.dictionary);
}

int32_t WordList::CompareFields(const CCursor& a, const CCursor& b) const {
    int32_t result = 0;
    a.Engine().CompareKeys(a.handle, a.fields, b.fields, &result);
    return result;
}

bool WordList::SwapInMergeOrder(const CCursor& a, const CCursor& b) const {
    bool aIdle = !a.HasEntries() || a.WithoutPosition();
    bool bIdle = !b.HasEntries() || b.WithoutPosition();
    if (aIdle) return !bIdle && direction_ > 0;
    if (bIdle) return direction_ < 0;
    if (a.AtBegin()) return b.AtBegin() && Later(a, b);
    if (b.AtBegin()) return true;
    if (a.AtEnd()) return !b.AtEnd() || Later(a, b);
    if (b.AtEnd()) return false;
    int32_t order = CompareFields(a, b);
    return order > 0 || (order == 0 && Later(a, b));
}

void WordList::SortCursors() {
    for (int32_t pass = 0; pass < kMaxSortPasses; ++pass) {
        bool swapped = false;
        for (int32_t i = 0; i + 1 < CursorCount(); ++i) {
            if (!SwapInMergeOrder(*CursorAt(i), *CursorAt(i + 1))) continue;
            std::swap(cursors_[static_cast<size_t>(i)], cursors_[static_cast<size_t>(i + 1)]);
            if (current_ == i)
                current_ = i + 1;
            else if (current_ == i + 1)
                current_ = i;
            swapped = true;
        }
        if (!swapped) break;
    }
}

void WordList::ReorderMoved(int32_t moved) {
    // The others keep their order: the moved cursor only travels past its
    // neighbours, as far as the merge order wants it.
    const auto swap = [&](int32_t a, int32_t b) {
        std::swap(cursors_[static_cast<size_t>(a)], cursors_[static_cast<size_t>(b)]);
        if (current_ == a)
            current_ = b;
        else if (current_ == b)
            current_ = a;
    };
    int32_t at = moved;
    while (at + 1 < CursorCount() && SwapInMergeOrder(*CursorAt(at), *CursorAt(at + 1))) swap(at, at + 1), ++at;
    while (at == moved && at > 0 && SwapInMergeOrder(*CursorAt(at - 1), *CursorAt(at))) swap(at - 1, at), --at, --moved;
}

int32_t WordList::FirstPositioned() const {
    for (int32_t i = 0; i < CursorCount(); ++i)
        if (CursorAt(i)->HasEntries() && CursorAt(i)->OnEntry()) return i;
    return -1;
}

int32_t WordList::LastPositioned() const {
    for (int32_t i = CursorCount() - 1; i >= 0; --i)
        if (CursorAt(i)->HasEntries() && CursorAt(i)->OnEntry()) return i;
    return -1;
}

// Puts `other` on its first entry after the entry `from` stands on
// (forward) or its last entry before it; from no entry, on its last
// (forward) or first entry. Equal keys of a dictionary earlier on the shelf
// sort before `from`'s entry, those of a later one after it.
DmsStatus WordList::PlaceBeside(const CCursor& from, CCursor& other, bool forward) const {
    if (!from.OnEntry()) return forward ? other.MoveLast() : other.MoveFirst();
    other.KeyFromFields(from);
    bool earlier = Later(from, other);
    if (forward) return earlier ? other.SeekGreater() : other.SeekGreaterOrEqual();
    if (earlier) return other.SeekLessOrEqual();
    // A refused seek stays the answer: its last entry is no place beside.
    const DmsStatus after = other.SeekGreaterOrEqual();
    if (IsReadRefusal(after)) return after;
    return Failed(after) ? other.MoveLast() : other.Prev();
}

int32_t WordList::SyncAround(int32_t c, bool forward) {
    if (rowCount_ > 0 && c >= 0 && CursorAt(c)->HasEntries()) {
        for (int32_t i = 0; i < CursorCount(); ++i) {
            CCursor& other = *CursorAt(i);
            if (i == c || !other.HasEntries()) continue;
            if (Failed(PlaceBeside(*CursorAt(c), other, forward))) other.ordinal = forward ? other.count - 1 : -1;
        }
    }
    SortCursors();
    current_ = forward ? FirstPositioned() : LastPositioned();
    return current_;
}

int32_t WordList::SyncForward(int32_t c) { return SyncAround(c, true); }

int32_t WordList::SyncBackward(int32_t c) { return SyncAround(c, false); }

int32_t WordList::Sync(int32_t c) { return direction_ > 0 ? SyncForward(c) : SyncBackward(c); }

void WordList::ComputeMergedRow() {
    int64_t sum = 0;
    for (int32_t i = 0; i < CursorCount(); ++i) {
        const CCursor& cursor = *CursorAt(i);
        if (cursor.AtBegin()) continue;
        if (cursor.AtEnd())
            sum += cursor.count;
        else
            sum += cursor.ordinal + (current_ >= 0 && i < current_ ? 1 : 0);
    }
    const CCursor* current = CurrentCursor();
    if (current != nullptr && sum >= 1 && (!current->HasEntries() || current->AtBegin())) --sum;
    currentRow_ = static_cast<int32_t>(sum);
}

void WordList::SetDirection(int32_t delta) {
    int32_t sign = delta < 0 ? -1 : 1;
    if (rowCount_ == 0 || sign == direction_) return;
    direction_ = sign;
    Sync(current_);
    ComputeMergedRow();
}

bool WordList::AnotherOnEntry(const CCursor* except) const {
    for (const auto& cursor : cursors_)
        if (cursor.get() != except && cursor->HasEntries() && cursor->OnEntry()) return true;
    return false;
}

bool WordList::StepForward() {
    CCursor* mover = CurrentCursor();
    if (mover == nullptr) return false;
    int32_t target = mover->ordinal + 1;
    if (target >= mover->count) {
        if (mover->AtEnd()) return false;
        // Step over to the next dictionary only when one still has an entry.
        if (!AnotherOnEntry(mover)) return false;
        mover->state |= kCursorAtEnd;
        SortCursors();
        current_ = FirstPositioned();
        mover = CurrentCursor();
        if (mover == nullptr) return false;
        target = mover->ordinal;
        if (target >= mover->count) return false;
    }
    if (IsReadRefusal(mover->MoveToOrdinal(target))) return false;
    ReorderMoved(current_);
    current_ = FirstPositioned();
    ComputeMergedRow();
    return true;
}

bool WordList::StepBack() {
    CCursor* mover = CurrentCursor();
    if (mover == nullptr) return false;
    int32_t target = mover->ordinal - 1;
    if (target < 0) {
        if (mover->AtBegin() || !AnotherOnEntry(mover)) return false;
        mover->state |= kCursorAtBegin;
        mover->ordinal = -1;
        SortCursors();
        current_ = LastPositioned();
        mover = CurrentCursor();
        if (mover == nullptr) return false;
        target = mover->ordinal;
        if (target < 0) return false;
    }
    if (IsReadRefusal(mover->MoveToOrdinal(target))) return false;
    ReorderMoved(current_);
    current_ = LastPositioned();
    ComputeMergedRow();
    return true;
}

RDFDictionary* WordList::GetRowDictionary(int32_t row) {
    if (stored_) {
        const WordListEntry* entry = RowEntry(row);
        return entry ? entry->dictionary : nullptr;
    }
    CCursor* cursor = GetEntry(row);
    return cursor ? cursor->dictionary : nullptr;
}

uint32_t WordList::GetRowFlags(int32_t entryNumber) const {
    if (kind_ != kListTranslatedWords || entryNumber < 0 || entryNumber >= EntryCount()) return 0;
    return entries_[static_cast<size_t>(entryNumber)].flags;
}

CCursor* WordList::GetEntry(int32_t row) {
    if (row < 0 || row >= rowCount_) return nullptr;
    if (stored_) {
        WordListEntry* entry = RowEntry(row);
        if (entry == nullptr) return nullptr;
        // The dictionary's cursor on the entry's index, else its first one.
        int32_t chosen = -1;
        for (int32_t i = CursorCount() - 1; i >= 0; --i) {
            const CCursor& cursor = *CursorAt(i);
            if (cursor.dictionary == entry->dictionary && (chosen < 0 || cursor.indexId == entry->indexId)) chosen = i;
        }
        if (chosen < 0) return nullptr;
        CCursor& cursor = *CursorAt(chosen);
        cursor.position.ref.first = entry->recordId;
        cursor.position.ref.second = static_cast<uint32_t>(entry->subEntry) << 16;
        current_ = chosen;
        return &cursor;
    }
    // A refusal an earlier move left on a cursor (a seek, a jump's
    // bisection, a neighbour placed) is settled before any row is read. A
    // dictionary that leaves renumbers the rows: the row asked for is no
    // longer there (the caller numbers its rows anew, and a seek to the old
    // number would run far through the others).
    if (DropRefusedDictionaries()) return nullptr;
    if (CurrentCursor() == nullptr) {
        // Lost its place (every cursor at an end): start again from the front.
        direction_ = 1;
        for (int32_t i = 0; i < CursorCount(); ++i)
            if (CursorAt(i)->HasEntries() && !Failed(CursorAt(i)->MoveFirst())) {
                SyncForward(i);
                break;
            }
        ComputeMergedRow();
        if (DropRefusedDictionaries() || CurrentCursor() == nullptr) return nullptr;
    }
    if (row == currentRow_) return CurrentCursor();
    // A move the engine refused (a damaged index page) leaves that
    // dictionary's cursor off its place and the merge wrong from there: the
    // dictionary leaves the list, as above.
    bool refused = false;
    if (std::abs(row - currentRow_) > kStepWindow) {
        Reseek(row, kGetEntryPasses, kStepWindow, false);
        refused = DropRefusedDictionaries();
    }
    if (!refused) {
        SetDirection(row - currentRow_);
        while (currentRow_ != row) {
            bool stepped = row > currentRow_ ? StepForward() : StepBack();
            if (!stepped) break;
        }
        refused = DropRefusedDictionaries();
    }
    if (refused) return nullptr;
    return currentRow_ == row ? CurrentCursor() : nullptr;
}

int32_t WordList::Reseek(int32_t target, int32_t passLimit, int32_t window, bool watchInput) {
    if (stored_ || target == currentRow_ || CurrentCursor() == nullptr) return currentRow_;
    for (const auto& cursor : cursors_) {
        cursor->lowerBound = -1;
        cursor->upperBound = !cursor->HasEntries() || cursor->AtEnd() ? -1 : cursor->count - 1;
    }
    for (int32_t pass = 1;; ++pass) {
        SetDirection(target - currentRow_);
        int32_t chosen = -1;
        int32_t widest = 0;
        bool forward = direction_ > 0;
        for (int32_t i = 0; i < CursorCount(); ++i) {
            CCursor& cursor = *CursorAt(i);
            if (!cursor.HasEntries() || cursor.AtEnd()) continue;
            // The target lies beyond this ordinal on the side the list moves to.
            (forward ? cursor.lowerBound : cursor.upperBound) = cursor.ordinal;
            if (!forward && cursor.AtBegin()) continue;
            int32_t gap = forward ? cursor.upperBound - cursor.ordinal : cursor.ordinal - cursor.lowerBound;
            if (chosen < 0 || gap > widest) {
                chosen = i;
                widest = gap;
            }
        }
        if (chosen < 0) break;
        CCursor& cursor = *CursorAt(chosen);
        int32_t half = std::max(widest, 0) / 2;
        if (IsReadRefusal(cursor.MoveToOrdinal(forward ? cursor.ordinal + half : cursor.ordinal - half))) break;
        current_ = chosen;
        Sync(chosen);
        // A neighbour the engine refused to place counts as at its end: no row to go on from.
        if (RefusalPending()) break;
        ComputeMergedRow();
        if (std::abs(target - currentRow_) < window) break;
        if (passLimit >= 1 && pass >= passLimit) break;
        if (pass >= kMaxPasses) break;
        if (watchInput && mouseMovePending != nullptr && mouseMovePending()) break;
    }
    return currentRow_;
}

int32_t WordList::PrepareJump(int32_t row, int32_t clientHeight) {
    if (rowCount_ == 0 || row < 0) return -1;
    if (row >= rowCount_) return rowCount_ - 1;
    if (row < kStepWindow || row >= rowCount_ - kStepWindow || stored_ ||
        std::abs(row - currentRow_) <= kStepWindow)
        return row;
    int32_t window = std::max(clientHeight > 0 ? rowCount_ / clientHeight : 0, kStepWindow);
    const int32_t reached = Reseek(row, kJumpPasses, window, true);
    // A refusal met on the way leaves the merge off its place: the row asked
    // for stands, and the read of its page takes the dictionary out.
    return RefusalPending() ? row : reached;
}

int32_t WordList::FindRecord(const ListRecordRef& record) {
    if (stored_) return RowOfRecord(record.dictionary, record.recordId);
    for (int32_t i = 0; i < CursorCount(); ++i) {
        CCursor& cursor = *CursorAt(i);
        if (cursor.dictionary != record.dictionary) continue;
        if (Failed(cursor.MoveToOrdinal(record.ordinal))) return -1;
        current_ = i;
        Sync(i);
        ComputeMergedRow();
        // The ordinal may name another record after articles were added or deleted.
        return cursor.position.ref.first == record.recordId ? currentRow_ : -1;
    }
    return -1;
}

int32_t WordList::CloneCursorAt(int32_t row, int32_t slot) {
    if (slot < 0 || slot > 1) return -1;
    saved_[static_cast<size_t>(slot)].reset();
    CCursor* cursor = GetEntry(row);
    if (cursor == nullptr) return -1;
    auto copy = std::make_unique<CCursor>(cursor->dictionary, cursor->indexId);
    copy->KeyFromFields(*cursor);
    copy->ordinal = cursor->ordinal;
    copy->position = cursor->position;
    saved_[static_cast<size_t>(slot)] = std::move(copy);
    return row;
}

int32_t WordList::RestorePosition(int32_t slot) {
    if (slot < 0 || slot > 1 || !saved_[static_cast<size_t>(slot)] || stored_) return -1;
    const CCursor& saved = *saved_[static_cast<size_t>(slot)];
    auto seekAll = [&](bool greater) {
        bool found = false;
        for (const auto& cursor : cursors_) {
            if (!cursor->HasEntries()) continue;
            cursor->KeyFromKey(saved);
            DmsStatus status = greater ? cursor->SeekGreaterOrEqual() : cursor->SeekLessOrEqual();
            found = found || !Failed(status);
        }
        return found;
    };
    if (!seekAll(true) && !seekAll(false)) {
        currentRow_ = -1;
        return -1;
    }
    direction_ = 1;
    SortCursors();
    current_ = FirstPositioned();
    SyncForward(current_);
    ComputeMergedRow();
    return currentRow_;
}
