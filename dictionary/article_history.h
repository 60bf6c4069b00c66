// CHistory: every article the user views, in the order viewed, with Back and
// Forward through them; stepping shows the article again in the list it came
// from. The shelf owns it; the history list (view kind 16) shows the same
// records latest first. The list views and the shelf are reached through the
// small interfaces below, which ListView and CShelf implement.
#pragma once

#include <cstdint>
#include <vector>

#include "dictionary/word_list.h"

class CCursor;
class RDFDictionary;

// List view kinds (the views' own numbers) the history tells apart.
inline constexpr int32_t kViewTranslatedWords = 1;
inline constexpr int32_t kViewReverse = 4;
inline constexpr int32_t kViewWritings = 5;
inline constexpr int32_t kViewSelected = 13;
inline constexpr int32_t kViewSearchResults = 14;
inline constexpr int32_t kViewLexicon = 15;
inline constexpr int32_t kViewHistory = 16;
inline constexpr int32_t kViewBookList = 17;

// The command whose state follows the current view of `viewKind`.
int32_t CommandOfViewKind(int32_t viewKind);

// A list view as the history uses it.
class IHistoryListView {
public:
    virtual int32_t ViewKind() const = 0;
    virtual WordList* Model() const = 0;
    // Makes the record current, `pageOffset` rows below the top row of the
    // page, which shows its article (and records it again unless busy).
    virtual void SelectRecord(const ListRecordRef& record, int32_t pageOffset) = 0;
    virtual void ShowFirstRow() = 0;

protected:
    ~IHistoryListView() = default;
};

// The shelf as the history uses it.
class IHistoryShelf {
public:
    // The dictionary is on the shelf and open.
    virtual bool IsOpenOnShelf(const RDFDictionary* dictionary) const = 0;
    virtual IHistoryListView* FindListByKind(int32_t viewKind) const = 0;
    virtual IHistoryListView* CurrentListView() const = 0;
    virtual void SetCurrentListView(IHistoryListView* view) = 0;
    virtual void UpdateCommandState(int32_t command) = 0;
    virtual void RedrawLists() = 0;

protected:
    ~IHistoryShelf() = default;
};

class CHistory {
public:
    static constexpr int32_t kCapacity = 10000;
    static constexpr int32_t kKeptWhenFull = 5000;  // the newer half

    struct Entry {
        IHistoryListView* view;   // where the article was shown
        RDFDictionary* dictionary;  // null once the dictionary is gone
        int32_t ordinal;          // of the record in the cursor's index
        uint32_t recordId;        // data position of the record
        int32_t pageOffset;       // rows below the page's top row
    };

    explicit CHistory(IHistoryShelf& shelf);
    virtual ~CHistory() = default;

    // Records the article under `cursor` shown in `view`; -1 when refused, else 0.
    int32_t Add(IHistoryListView* view, const CCursor* cursor, int32_t pageOffset);
    // Step to the previous (next) entry whose dictionary is open on the
    // shelf and show it; -1 (the position unchanged) when there is none.
    int32_t Back();
    int32_t Forward();
    int32_t ShowCurrent();
    // Drops every reference to a dictionary about to be destroyed, so a
    // later one at the same address is never taken for it.
    void ForgetDictionary(const RDFDictionary* dictionary);

    int32_t Position() const { return position_; }
    int32_t Newest() const { return newest_; }
    bool Busy() const { return busy_; }
    const Entry& EntryAt(int32_t index) const { return entries_[static_cast<size_t>(index)]; }

private:
    bool Live(const Entry& entry) const;

    IHistoryShelf& shelf_;
    std::vector<Entry> entries_;  // kCapacity, allocated once
    int32_t position_ = -1;       // the entry shown now
    int32_t newest_ = -1;
    bool busy_ = false;           // while an entry is shown, so showing it does not record it
};
