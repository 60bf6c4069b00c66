// WordList: the model behind one list view. A merged list shows one index of
// every dictionary as one sorted sequence without copies: one CCursor per
// dictionary, merged on the fly, with long jumps bridged by ordinal
// bisection. A stored list holds copies of up to 2000 chosen entries
// (translated words, selected articles, search results, the history) with a
// row index over the listed ones and a pool for own texts.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dictionary/cursor.h"
#include "dictionary/word_list_entry.h"

class IWordListShelf;
class IListFileStore;
class RDFDictionary;
class IPhraseSplitter;
class ISpellingPreference;

// Model kinds.
inline constexpr int32_t kListTranslatedWords = 1;
inline constexpr int32_t kListReadings = 2;
inline constexpr int32_t kListReverse = 4;
inline constexpr int32_t kListWritings = 5;
inline constexpr int32_t kListSelected = 18;
inline constexpr int32_t kListSearchResults = 19;
inline constexpr int32_t kListLexicon = 20;
inline constexpr int32_t kListHistory = 21;

// WordList flag bits.
inline constexpr uint32_t kListModified = 0x1;
inline constexpr uint32_t kListDictionaryMissing = 0x2;  // a load found dictionaries missing

// What a record of a list is known by: its dictionary, record id and
// ordinal in the list's index.
struct ListRecordRef {
    RDFDictionary* dictionary = nullptr;
    uint32_t recordId = 0;
    int32_t ordinal = -1;
};

class WordList {
public:
    static constexpr int32_t kMaxCursors = 100;
    static constexpr int32_t kMaxEntries = 2000;
    static constexpr int32_t kPoolUnits = 100000;
    static constexpr int32_t kHistoryRows = 1999;      // MoveToTop keeps fewer rows than this
    static constexpr int32_t kStepWindow = 50;         // farther rows are reached by bisection
    static constexpr int32_t kGetEntryPasses = 30;
    static constexpr int32_t kJumpPasses = 26;
    static constexpr int32_t kMaxPasses = 27;
    static constexpr int32_t kMaxSortPasses = 1000;

    WordList(IWordListShelf* shelf, int32_t kind);
    virtual ~WordList();
    WordList(const WordList&) = delete;
    WordList& operator=(const WordList&) = delete;

    // Both forms.
    bool IsStored() const { return stored_; }
    int32_t Kind() const { return kind_; }
    int32_t RowCount() const { return rowCount_; }
    int32_t CurrentRow() const { return currentRow_; }
    int32_t Direction() const { return direction_; }
    int32_t CursorCount() const { return static_cast<int32_t>(cursors_.size()); }
    CCursor* CursorAt(int32_t index) const { return cursors_[static_cast<size_t>(index)].get(); }
    CCursor* CurrentCursor() const;
    // The index ids this kind reads, one cursor each per dictionary
    // (kCursorWithoutIndex for the lists that only hold records).
    std::vector<uint32_t> IndexIds() const;

    // Makes a cursor of the dictionary on `indexId`, counts and positions
    // it and appends it; null when the index cannot be selected or 100
    // cursors exist.
    CCursor* AddCursor(RDFDictionary* dictionary, uint32_t indexId);
    void AddDictionary(RDFDictionary* dictionary);
    void RemoveDictionary(RDFDictionary* dictionary);
    // Drops every trace of a dictionary about to be destroyed: its cursors,
    // its stored entries and saved positions on it. After this no later
    // dictionary at the same address can inherit its rows.
    void ForgetDictionary(RDFDictionary* dictionary);
    // The cursor on the row (merged), or the cursor of the row's entry's
    // dictionary set to the entry's record (stored); null outside the rows,
    // and when a dictionary the engine refused left the list on the way (the
    // rows are numbered anew: RefusedDictionaryDrops).
    CCursor* GetEntry(int32_t row);
    // The dictionary of the row's record, null outside the rows. A stored
    // list reads it from the entry; a merged list moves to the row.
    RDFDictionary* GetRowDictionary(int32_t row);
    // The flags of a translated-words list's entry; 0 in every other list
    // and outside the entries.
    uint32_t GetRowFlags(int32_t entryNumber) const;
    // The row of the record, or -1. A merged list moves to the ordinal and
    // answers -1 when another record stands there now (articles were added
    // or deleted since the reference was taken).
    int32_t FindRecord(const ListRecordRef& record);
    int32_t FindRecordStub(uint32_t) const { return -1; }

    // Merged lists.
    int32_t Reseek(int32_t target, int32_t passLimit, int32_t window, bool watchInput);
    int32_t PrepareJump(int32_t row, int32_t clientHeight);
    void SetDirection(int32_t delta);
    int32_t CloneCursorAt(int32_t row, int32_t slot);
    int32_t RestorePosition(int32_t slot);
    // Answers whether a mouse-move message waits in the UI thread's queue;
    // the Windows shell installs the real probe, null never interrupts.
    bool (*mouseMovePending)() = nullptr;

    // Stored lists.
    void Clear();
    // The most entries the list takes: kMaxEntries unless raised for the
    // translation of a long text. The room is reserved, so that entries
    // never move while the list fills.
    void SetEntryLimit(int32_t limit);
    int32_t EntryLimit() const { return entryLimit_; }
    int32_t AddText(std::u16string_view text);
    WordListEntry* AddEntry(const CCursor* cursor, int32_t start, int32_t length, const uint8_t* tags);
    // The same for an entry of `cursor`'s index copied earlier.
    WordListEntry* AddEntry(const CCursor& cursor, const CursorEntryCopy& copied, int32_t start, int32_t length,
                            const uint8_t* tags);
    WordListEntry* AddCursorEntry(const CCursor& cursor);
    WordListEntry* AppendRaw(const WordListEntry& entry);
    WordListEntry* MoveToTop(const CCursor& cursor);
    void DeleteRow(int32_t row);
    void DeleteAt(int32_t entryNumber);
    int32_t RemoveDictionaryEntries(RDFDictionary* dictionary);
    void RemapRecordIds(RDFDictionary* dictionary, const uint32_t* oldIds, const uint32_t* newIds, int32_t count);
    int32_t PurgeDeleted(int32_t minimum);
    int32_t Rebuild();
    int32_t RebuildVisibleIndex();
    // Orders the rows by the sort mode; the current row follows its entry.
    // Answers the new current row (-1 when none).
    int32_t Sort();
    void FillTexts(WordListEntry& entry, const CCursor& cursor) const;
    // The reading and word of an entry of index `indexId` from its two key
    // fields (when both were written).
    static void FillTexts(WordListEntry& entry, uint32_t indexId, bool fieldsWritten, std::u16string_view first,
                          std::u16string_view second);
    // Reads the list column texts (reading and word, the cell texts of
    // column kinds 2 and 3) of the record under `cursor`, for sorting rows
    // that have none. The article layer installs it; null leaves them empty.
    bool (*entryTextReader)(CCursor& cursor, std::u16string& reading, std::u16string& word) = nullptr;

    // Ordering and groups of the translated-words list (word_list_order.cpp).
    // They read `analysedText` up to its terminating 0, never further.
    // PreferHit is no strict weak ordering: the orderings below are selection
    // sorts on purpose; never hand it to std::sort.
    int32_t PreferHit(const WordListEntry& a, const WordListEntry& b) const;
    // By start, then longer, then preferred; marks group ends (0x10) and heads
    // (0x8; with `expandOption` 2 the last of identical hits). Answers 1.
    int32_t SortByTextPosition(int32_t expandOption);
    // `index` (EntryCount() places, at most kMaxEntries) gets the entry numbers
    // by end, then length, then preference; -1 for a deleted entry. Answers 0.
    int32_t SortIndex(int32_t* index);
    // Show a group as its head alone, or all of it; answer the row that shows
    // `entryNumber` (the last row of an entry at or before it) and that row + 1.
    std::pair<int32_t, int32_t> CollapseGroup(int32_t entryNumber);
    std::pair<int32_t, int32_t> ExpandGroup(int32_t entryNumber);
    // Every group shown as ExpandGroup (or CollapseGroup) on each visible
    // head in turn would show it, with the rows rebuilt once.
    void ShowEveryGroup(bool expand);
    int32_t FindPrevFlagged(int32_t entryNumber, uint32_t mask) const;
    int32_t OffsetInGroup(int32_t row) const;

    int32_t EntryCount() const { return static_cast<int32_t>(entries_.size()); }
    WordListEntry& EntryAt(int32_t entryNumber) { return entries_[static_cast<size_t>(entryNumber)]; }
    const WordListEntry& EntryAt(int32_t entryNumber) const { return entries_[static_cast<size_t>(entryNumber)]; }
    int32_t EntryOfRow(int32_t row) const { return rowIndex_[static_cast<size_t>(row)]; }
    WordListEntry* RowEntry(int32_t row);
    std::u16string_view PoolText(uint32_t offset, uint32_t length) const;
    int32_t PoolUsed() const { return poolUsed_; }
    void SetCurrentRow(int32_t row) { currentRow_ = row; }

    // Search as you type (word_list_find.cpp): makes the row of the best
    // match for `key` (and `reading`, when given) current and answers it; -1
    // for an empty list, 0 for a stored one. `mode` is the collator mode.
    // In the by-reading list a key of 2 or more units not found whole goes to
    // `phraseSplitter` once; when its first word covers the whole key, that
    // entry goes to `phraseEntry`, `phrase` is set and its reading is sought.
    // A key found whole there stands on its preferred spelling
    // (spelling_preference.h).
    // A dictionary whose index the engine refuses to read leaves the list
    // (the search goes on over the others); ReportReadRefusals then shows
    // each refusal once, at the top of the user's action.
    int32_t Find(std::u16string_view key, const std::u16string_view* reading, int32_t mode, bool* notWhole,
                 bool* phrase, WordListEntry* phraseEntry = nullptr);
    // Shows, once per dictionary, every refused read the shelf's dictionaries
    // have met (CDictionary::ReportReadRefusal).
    void ReportReadRefusals();
    // Whether one of them waits to be shown.
    bool ReadRefusalsUntold() const;
    // How many dictionaries left the list because the engine refused a read
    // (a damaged index page) met by a search or by stepping to a row; a
    // page that sees it grow was filled over a list that changed under it.
    int32_t RefusedDictionaryDrops() const { return refusedDrops_; }

    // Key groups (equal first key fields, byte for byte) of merged lists.
    int32_t NextGroup(int32_t row, int32_t n);
    int32_t PrevGroup(int32_t row, int32_t n);
    int32_t MatchLength(std::u16string_view text, int32_t* matched, int32_t* keyLength);
    int32_t HasGreekKeys();

    // Saved lists (saved_word_list.cpp). Loading never rewrites the file;
    // entries of dictionaries missing for now are kept for the next save.
    int32_t LoadFile(IListFileStore& files, std::u16string_view path);
    // kListSaved when the list went to the file; 0 when the user cancelled
    // the file dialog or the save failed, which is told with the file and
    // the system's reason (the list stays changed).
    int32_t SaveFile(IListFileStore& files, std::u16string_view path);
    int32_t ConfirmClose(IListFileStore& files);
    // The save of a changed list when the program ends: a failure is told
    // and the user chooses another file, ends without the changes, or stays
    // (kListCloseCancelled).
    int32_t SaveBeforeExit(IListFileStore& files);

    uint32_t flags = 0;       // kListModified, kListDictionaryMissing
    int32_t sortMode = 0;     // 0, 2 or 3
    std::u16string fileName;  // the saved list's file (Selected list)
    const char16_t* analysedText = nullptr;  // set by the word translator; not owned
    IPhraseSplitter* phraseSplitter = nullptr;  // by-reading list only; not owned
    const ISpellingPreference* spellingPreference = nullptr;  // by-reading list only; not owned

private:
    // From the first row of `reading`, found whole, the row of its
    // preferred spelling made current and answered.
    int32_t StandOnPreferredSpelling(std::u16string_view reading);
    // Merging.
    bool Later(const CCursor& a, const CCursor& b) const;
    bool SwapInMergeOrder(const CCursor& a, const CCursor& b) const;
    void SortCursors();
    // The same after only the cursor at `moved` changed its place (a step):
    // it is moved past its neighbours where the merge order wants it.
    void ReorderMoved(int32_t moved);
    DmsStatus PlaceBeside(const CCursor& from, CCursor& other, bool forward) const;
    int32_t SyncAround(int32_t current, bool forward);
    int32_t SyncForward(int32_t current);
    int32_t SyncBackward(int32_t current);
    int32_t Sync(int32_t current);
    int32_t FirstPositioned() const;
    int32_t LastPositioned() const;
    void ComputeMergedRow();
    void RecountRows();
    bool AnotherOnEntry(const CCursor* except) const;
    bool StepForward();
    bool StepBack();
    void RemoveCursorAt(int32_t index);
    int32_t ShelfPosition(const RDFDictionary* dictionary) const;
    CCursor* DictionaryCursor(const RDFDictionary* dictionary) const;
    int32_t CompareFields(const CCursor& a, const CCursor& b) const;
    // Removes the dictionaries of cursors whose last call the engine refused;
    // true when one went.
    bool DropRefusedDictionaries();
    // Whether a cursor's last call was refused (its dictionary not yet removed).
    bool RefusalPending() const;
    // Collator answer of the current entry's key fields against (key, reading).
    int32_t CompareCurrent(std::u16string_view key, const std::u16string_view* reading, int32_t mode);

    // Stored lists.
    // A new entry, a copy of `from` or blank (zeros, default priority); null
    // when the list holds no more.
    WordListEntry* NewEntry(const WordListEntry* from = nullptr);
    void ListEntry(int32_t entryNumber);
    int32_t RowOfRecord(const RDFDictionary* dictionary, uint32_t recordId) const;
    ICollator* SortCollator() const;
    void FillTextsFromRecord(WordListEntry& entry);
    std::pair<int32_t, int32_t> ShowGroup(int32_t entryNumber, bool expand);
    // The shown flags of the group from `head` to the entry before the next
    // group end behind `entryNumber`; the rows are left as they were.
    void MarkGroupShown(int32_t head, int32_t entryNumber, bool expand);

    // Saved lists.
    // Writes the list to `path`; false with the system's reason in `failure`.
    bool SaveTo(IListFileStore& files, std::u16string_view path, std::u16string& failure);
    // The "save the changed list?" question; false when the user cancelled.
    bool SaveIfAsked(IListFileStore& files);
    RDFDictionary* ResolveListFileDictionary(IListFileStore& files, std::u16string_view path);

    IWordListShelf* shelf_;
    int32_t kind_;
    bool stored_;
    int32_t rowCount_ = 0;
    int32_t refusedDrops_ = 0;  // dictionaries dropped for a refused read, ever
    int32_t currentRow_ = -1;
    int32_t direction_ = 1;
    std::vector<std::unique_ptr<CCursor>> cursors_;  // at most kMaxCursors
    int32_t current_ = -1;                           // index of the current cursor
    std::array<std::unique_ptr<CCursor>, 3> saved_;  // slot 0 top row, 1 current row
    std::vector<WordListEntry> entries_;             // stored lists, at most entryLimit_
    int32_t entryLimit_ = kMaxEntries;
    std::vector<int32_t> rowIndex_;                  // row -> entry number
    std::unique_ptr<char16_t[]> pool_;
    int32_t poolUsed_ = 0;
    // Entries of the loaded file whose dictionary is missing or hidden for
    // now: written back by every save, so they come back with the dictionary.
    struct UnresolvedEntry {
        int32_t path;  // into unresolvedPaths_
        uint32_t recordId;
    };
    std::vector<UnresolvedEntry> unresolved_;
    std::vector<std::u16string> unresolvedPaths_;  // at most the file's 256 dictionaries
};
