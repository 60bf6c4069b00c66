// ListViewModel: the portable half of a list view. It holds what search as
// you type reads and writes (view kind, model, top and current row, page
// size, selection, conversion mode, the flags of the last search, saved
// positions) and runs the search and the position keeping across dictionary
// changes. The window class derives from it and implements IListViewHost.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dictionary/article_history.h"
#include "dictionary/list_layouts.h"
#include "dictionary/selection.h"
#include "dictionary/word_list_entry.h"

class CCursor;
class CInput;
class IInputBox;
class RDFDictionary;
class WordList;

// Conversion modes of a list's input.
inline constexpr int32_t kConvertNone = 0;
inline constexpr int32_t kConvertRomaji = 1;  // by-reading list: romaji to kana
inline constexpr int32_t kConvertGreek = 2;   // reverse list: Latin or Cyrillic to Greek

// What the model needs of the window: painting and the main window's state.
class IListViewHost {
public:
    virtual void FillPage() = 0;
    virtual void UpdateView() = 0;
    virtual void UpdateCommandState(int32_t command) = 0;
    // Posts the headword to the main window as WM_COMMAND `command`; false
    // when it could not be posted (the text is then freed here).
    virtual bool PostHeadword(int32_t command, std::u16string_view text) = 0;
    // The word translator over the whole input (view kind 1); absent until it exists.
    virtual void TranslateText(int32_t mode) = 0;
    // The search-results list's query again, over the dictionaries now open,
    // keeping the current article where it still is (view kind 14).
    virtual void RunQueryAgain() {}
    // The header's column titles again, in the interface language now set.
    virtual void RetitleColumns() {}
    // A dictionary left the list while its rows were read and the page was
    // put back where the user was (FollowDroppedRows): the window shows the
    // page, its scroll bar and status again and tells the refusal, once,
    // after the message that met it.
    virtual void RowsDropped() {}

protected:
    ~IListViewHost() = default;
};

// One line of the visible page: the model rows it stands for.
struct PageLine {
    int32_t firstRow = -1;  // -1 none
    int32_t rowCount = 0;   // 1, or the key group's size in the lexicon list
    int32_t groupSize = 0;  // what the lexicon's count column shows
};

// The columns a header click sorts by.
inline constexpr int32_t kColumnReading = 2;
inline constexpr int32_t kColumnWord = 3;
// The expander box of a line: at x 2 of its column, 9 by 9, centred in the line.
inline constexpr int32_t kExpanderBoxX = 2;
inline constexpr int32_t kExpanderBoxSize = 9;

class ListViewModel : public IHistoryListView {
public:
    // Ambiguous Greek letters tried in every combination; later ones keep
    // their first reading, so typing stays responsive for long input.
    static constexpr int32_t kMaxGreekVariantBits = 8;
    static constexpr int32_t kMaxSearchedText = 255;
    static constexpr int32_t kMaxConvertedKey = 98;

    ListViewModel(int32_t viewKind, WordList* model, IListViewHost* host);
    virtual ~ListViewModel() = default;

    // IHistoryListView.
    int32_t ViewKind() const override { return viewKind; }
    WordList* Model() const override { return model; }
    void SelectRecord(const ListRecordRef& record, int32_t pageOffset) override;
    void ShowFirstRow() override { SetCurrent(0); }

    // Reads the input box through `input` and finds its text in the list.
    int32_t SearchAsYouType(CInput& input, const IInputBox& box);
    // Searches a given text (and reading) in the list.
    int32_t SearchText(std::u16string_view text, const std::u16string_view* reading);
    int32_t ClampRow(int32_t row, int32_t delta);
    int32_t MoveCurrent(int32_t delta);
    // Makes `row` current with the page centred on it and the selection on it alone.
    void SetCurrent(int32_t row);
    int32_t GetCurrentRow() const { return currentRow < 0 ? 0 : currentRow; }
    int32_t GetRowCount() const;
    RDFDictionary* GetCurrentDictionary() const;

    // The current row's key and its place on the page, kept across a close
    // and reopen of the dictionaries; restoring finds the key again.
    void SavePosition();
    void RestorePosition();
    // Makes the row of `dictionary`'s article at data position `position`
    // current, at the saved row's place on the page: of its rows, the one
    // under the key the list was on, else the first. False, and the list as
    // it was, when the list does not hold it. A saved article is shown so,
    // where the list's key would find the first dictionary's row of that
    // headword.
    bool SelectArticle(RDFDictionary& dictionary, uint32_t position);
    // Posts the current row's headword (the first non-empty of the view's
    // two column kinds, a leading ellipsis dropped) to the main window as
    // WM_COMMAND `command`; 1 when posted.
    int32_t PostCurrentHeadword(int32_t command);
    // The cell text of `row` in column kind `columnKind`; the article layer,
    // which owns the column texts, installs it. Null gives no text.
    static std::u16string (*cellText)(WordList& list, int32_t row, int32_t columnKind);
    // Drops the shelf's dictionaries from the model before they close.
    int32_t OnDictionariesClosed(CInput& input, RDFDictionary* firstDictionary, bool isCurrentView);
    // Adds the open dictionaries again and returns to the position.
    int32_t OnDictionarySetChanged(RDFDictionary* firstDictionary, bool isCurrentView);
    int32_t OnDictionaryAdded(RDFDictionary* dictionary, RDFDictionary* firstDictionary, bool isCurrentView);

    int32_t viewKind;
    WordList* model;          // owned by the shelf
    IListViewHost* host;      // null runs without a window
    int32_t topRow = 0;
    int32_t currentRow = -1;
    int32_t rowsPerPage = 20;
    CSelection selection;
    int32_t conversionMode = kConvertNone;
    bool conversionAvailable = false;
    int32_t inputCounter = -1;        // the input's change counter at the last search
    int32_t inputSelectionStart = 0;
    bool notWhole = false;            // the last key was not found whole
    bool phrase = false;              // the phrase splitter supplied the key
    WordListEntry phraseEntry{};      // its first word, when it did
    uint32_t savedBits = 0;           // 1 top row saved, 2 current row saved
    std::u16string savedKey;          // key fields of the saved current row
    std::u16string savedSecond;
    int32_t savedPageOffset = 0;      // saved current row minus the saved top row

    // Paging (list_view_paging.cpp). The page holds lines from the top row;
    // `rowsPerPage` is the page line count (1 to kMaxPageLines).
    static constexpr int32_t kMaxPageLines = 200;
    // Fills up to rowsPerPage + 1 lines from the top row; the number filled.
    // The rows are read where they are shown (ReadRow), not here.
    int32_t FillPage();
    // A row of the page read to be shown: its cursor, null when none.
    // Whoever shows the page (the painter, the tools) reads it through here,
    // so the keys of the top and the current row are at hand should a
    // dictionary leave the list later.
    CCursor* ReadRow(int32_t row);
    // When a dictionary left the merged list since its rows were numbered for
    // the page (the engine refused a read of its index, met by whoever read
    // a row), puts the page back where the user was among the rows left:
    // after keys and the wheel from the top line's key, after a jump at the
    // same share of the list, the first and the last page staying first and
    // last; the current row at its key when it was read, else at its place
    // on the page. Tells the host (RowsDropped) and answers true; else false.
    bool FollowDroppedRows();
    // The rows are numbered from here on as the model numbers them now (a
    // search found its row among the dictionaries left).
    void MarkRowsNumbered();
    void GoToFirst();
    void GoToLast();
    void LineDown(bool shift, bool ctrl) { MoveByKey(1, false, shift, ctrl); }
    void LineUp(bool shift, bool ctrl) { MoveByKey(-1, false, shift, ctrl); }
    void PageDown(bool shift, bool ctrl) { MoveByKey(rowsPerPage - 1, true, shift, ctrl); }
    void PageUp(bool shift, bool ctrl) { MoveByKey(-(rowsPerPage - 1), true, shift, ctrl); }
    void ClickSelect(int32_t row, bool shift, bool ctrl);
    // -2 centres the page on the current row; otherwise the page moves only
    // as far as it takes to show it.
    void ScrollToCurrent(int32_t mode);
    bool IsCurrentOnPage() const;
    // Keeps the page around the current row and lets the window repaint.
    void UpdateView();
    // Empties a stored list with rows: no selection, top 0, no current row.
    void Clear();
    // The line height for the pixel heights of font slots 0 and 12.
    static int32_t LineHeightFor(int32_t slot0Height, int32_t slot12Height);
    // Lines of a client area `clientHeight` high, below the header; 1 to 200.
    int32_t PageLineCount(int32_t clientHeight) const;
    // The row at client point (x, y), -1 when none. `x` is in client
    // coordinates: the horizontal scroll offset is added here. `column` gets
    // the index of the column under the point (-1 past the last) and `box`
    // the expander box under it (-1 none).
    int32_t HitTestRow(int32_t x, int32_t y, int32_t clientHeight, const ListLayout& layout, int32_t* column,
                       int32_t* box) const;
    // Opens or closes the current row's group for a press on box 0 of the
    // expander column; the current row.
    int32_t ToggleGroupAtBox(int32_t columnKind, int32_t box);
    // A header click on item `item` of the selected-articles or search-results
    // list: sorts by a reading or word column, a second click on the sorted
    // column returns to the list's own order. False when it does nothing.
    bool SortByColumn(ListLayout& layout, int32_t item);
    // Translated-words list: makes current the first row whose matched part
    // of the input ends after the input position `position` (mapped back to
    // the typed text when a converted form was searched). The current row.
    int32_t SelectHitAtCaret(const CInput& input, int32_t position);
    // Deletes the selected rows of a stored list from the bottom up; the
    // current row follows its entry. False for merged lists.
    bool DeleteSelectedStoredRows();

    PageLine lines[kMaxPageLines + 1];
    int32_t filledLines = 0;
    bool approximate = false;    // the current row is only the nearest key
    int32_t headerHeight = 18;   // pixels
    int32_t lineHeight = 16;     // pixels
    int32_t horizontalOffset = 0;  // pixels scrolled to the right

private:
    void ShowCurrentCentred();
    void MoveByKey(int32_t delta, bool movePage, bool shift, bool ctrl);
    void Refill();
    // The lines of the page from the top row, without reading their rows
    // (but for the lexicon's key groups).
    void LayOutPage();
    // The top and current rows of the page among the rows a refusal left.
    void PutPageAmongRowsLeft();

    // What the page's row numbers count, should a dictionary leave the list:
    // the model's drops and rows then, and the keys of the top line and of
    // the current row as last read in that numbering (row -1: none read).
    struct RowKey {
        int32_t row = -1;
        std::u16string first, second;  // the entry's key fields
    };
    // The row of `key` among the rows left (the first at or after it).
    int32_t FindAmongRowsLeft(const RowKey& key);
    int32_t numberedDrops_ = 0;
    int32_t numberedRows_ = 0;
    RowKey topKey_, currentKey_;
    std::u16string ChooseGreekVariant(CInput& input);
};
