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
#include "dictionary/selection.h"

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

protected:
    ~IListViewHost() = default;
};

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
    void SetCurrent(int32_t row);
    int32_t GetCurrentRow() const { return currentRow < 0 ? 0 : currentRow; }
    int32_t GetRowCount() const;
    RDFDictionary* GetCurrentDictionary() const;

    // The current row's key and its place on the page, kept across a close
    // and reopen of the dictionaries; restoring finds the key again.
    void SavePosition();
    void RestorePosition();
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
    uint32_t savedBits = 0;           // 1 top row saved, 2 current row saved
    std::u16string savedKey;          // key fields of the saved current row
    std::u16string savedSecond;
    int32_t savedPageOffset = 0;      // saved current row minus the saved top row

private:
    void ShowCurrentCentred();
    std::u16string ChooseGreekVariant(CInput& input);
};
