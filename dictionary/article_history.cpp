// CHistory: recording viewed articles and stepping back and forward through
// them; see article_history.h.
#include "dictionary/article_history.h"

#include <algorithm>

#include "dictionary/cursor.h"

int32_t CommandOfViewKind(int32_t viewKind) {
    switch (viewKind) {
    case kViewTranslatedWords: return 40003;
    case kViewReverse: return 40006;
    case kViewWritings: return 40007;
    case kViewSelected: return 40140;
    case kViewSearchResults: return 40139;
    case kViewLexicon: return 40142;
    case kViewHistory: return 40143;
    default: return 40004;
    }
}

CHistory::CHistory(IHistoryShelf& shelf) : shelf_(shelf), entries_(kCapacity, Entry{}) {}

int32_t CHistory::Add(IHistoryListView* view, const CCursor* cursor, int32_t pageOffset) {
    if (busy_ || view == nullptr || cursor == nullptr || cursor->dictionary == nullptr) return -1;
    Entry entry{view, cursor->dictionary, cursor->ordinal, cursor->position.ref.first, pageOffset};
    if (newest_ >= 0) {
        const Entry& last = entries_[static_cast<size_t>(newest_)];
        if (last.recordId == entry.recordId && last.ordinal == entry.ordinal &&
            last.dictionary == entry.dictionary && last.view == entry.view)
            return 0;
    }
    if (newest_ == kCapacity - 1) {
        std::copy(entries_.begin() + kKeptWhenFull, entries_.end(), entries_.begin());
        newest_ -= kKeptWhenFull;
    }
    entries_[static_cast<size_t>(++newest_)] = entry;
    position_ = newest_;
    int32_t kind = view->ViewKind();
    if (kind != kViewLexicon && kind != kViewHistory && kind != kViewBookList) {
        IHistoryListView* history = shelf_.FindListByKind(kViewHistory);
        if (history != nullptr && history->Model() != nullptr) {
            history->Model()->MoveToTop(*cursor);
            history->ShowFirstRow();
        }
    }
    return 0;
}

bool CHistory::Live(const Entry& entry) const {
    return entry.dictionary != nullptr && shelf_.IsOpenOnShelf(entry.dictionary);
}

int32_t CHistory::Back() {
    for (int32_t at = position_ - 1; at >= 0; --at)
        if (Live(entries_[static_cast<size_t>(at)])) {
            position_ = at;
            return ShowCurrent();
        }
    return -1;
}

int32_t CHistory::Forward() {
    for (int32_t at = position_ + 1; at <= newest_ && at < kCapacity - 1; ++at)
        if (Live(entries_[static_cast<size_t>(at)])) {
            position_ = at;
            return ShowCurrent();
        }
    return -1;
}

int32_t CHistory::ShowCurrent() {
    if (position_ < 0 || position_ > newest_) return 0;
    busy_ = true;
    const Entry& entry = entries_[static_cast<size_t>(position_)];
    ListRecordRef record{entry.dictionary, entry.recordId, entry.ordinal};
    IHistoryListView* view = entry.view;
    // A record that has left its list, or whose ordinal now names another
    // article, is shown in the history list instead.
    if (view != nullptr && view->Model() != nullptr && view->Model()->FindRecord(record) < 0)
        view = shelf_.FindListByKind(kViewHistory);
    if (view != nullptr) {
        if (view != shelf_.CurrentListView()) {
            shelf_.SetCurrentListView(view);
            shelf_.UpdateCommandState(CommandOfViewKind(view->ViewKind()));
            shelf_.RedrawLists();
        }
        view->SelectRecord(record, entry.pageOffset);
    }
    busy_ = false;
    return 0;
}

void CHistory::ForgetDictionary(const RDFDictionary* dictionary) {
    for (Entry& entry : entries_)
        if (entry.dictionary == dictionary) entry.dictionary = nullptr;
}
