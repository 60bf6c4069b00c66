// FrameShelf: the shelf joined to the main window. It owns the input model,
// the full-text query, the shelf with its list views and the article view,
// and it answers the frame's slots: the lists the frame drives
// (IFrameLists), the opening of dictionaries at start (IStartShelf,
// start_shelf.cpp), the shelf's window side (IShelfHost), the input box as
// the search reads it (IInputBox) and the list views' site (IListViewSite).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "dictionary/full_text_query.h"
#include "dictionary/input_line.h"
#include "dictionary/shelf.h"
#include "dictionary/win/profile_list_files.h"
#include "ui/frame_slots.h"
#include "ui/list_view.h"
#include "ui/article_editor.h"
#include "ui/open_dictionaries.h"

class CArticleView;
class CFrame;

class FrameShelf final : public IFrameLists,
                         public IStartShelf,
                         public IShelfHost,
                         public IInputBox,
                         public IListViewSite,
                         public IEditorHost {
public:
    explicit FrameShelf(CFrame& frame);
    ~FrameShelf() override;
    FrameShelf(const FrameShelf&) = delete;
    FrameShelf& operator=(const FrameShelf&) = delete;

    CShelf& Shelf() { return *shelf_; }
    CInput& Input() { return input_; }
    ListView* CurrentView() const;

    // IFrameLists.
    void CreateListWindows(HWND parent) override;
    HWND CurrentListWindow() override;
    int32_t CurrentKind() override;
    int32_t SetCurrentListByKind(int32_t kind) override;
    void RedrawLists() override;
    void MoveListWindows(int32_t x, int32_t y, int32_t width, int32_t height) override;
    std::u16string CurrentDictionaryPath() override;
    int32_t SelectStartList(int32_t fallback) override;
    uint32_t UpdateInput() override;
    uint32_t SearchedInputCounter() override;
    bool TranslationShowsInput() override;
    bool InputSelectionIsOwnHighlight() override;
    void SearchAsYouType() override;
    void OnListCommand(uint32_t id) override;
    void RepaintPage() override;
    int32_t RowCount() override;
    int32_t CurrentRow() override;
    int32_t SelectedCount() override;
    uint32_t CurrentRowDictionaryFlags() override;
    bool CurrentRowDictionaryIsWorking() override;
    bool CurrentRecordDeleted() override;
    std::u16string WorkingDictionaryPath() override;
    int32_t ConversionMode() override;
    bool ConversionModeAllowed() override;
    void SetConversionMode(int32_t mode) override;
    bool CanGoBack() override;
    bool CanGoForward() override;
    void HistoryBack() override;
    void HistoryForward() override;
    void DeleteAllDictionaries() override;
    int32_t DictionaryCount() override;
    std::u16string VisibleCellText(int32_t row, int32_t cell) override;
    bool LoadSelectedList(const std::u16string& path) override;
    void SaveSelectedListIfChanged() override;
    bool SaveSelectedListBeforeExit() override;
    std::u16string SelectedListPath() override;
    void ClearTranslationList() override;
    void SelectArticleId(int32_t recordId) override;
    int32_t TopRow() override;
    void ApplyFontsToViews() override;
    void RefreshListHeaders() override { shelf_->RefreshListHeaders(); }
    void ShowCurrentArticleAgain() override;
    void SaveViewOptions() override;
    // Article editors (frame_editors.cpp).
    bool HasOpenEditors() override;
    bool IsEditorWindow(HWND window) override;
    bool IsEditorPaneWindow(HWND window) override;
    int32_t EditorLineAt(HWND dialog, POINT screen, POINT& anchor, int32_t& top) override;
    bool FilterEditorKey(const MSG& message) override;
    void CloseAllEditors() override;
    void ApplyFontsToEditors(int32_t points) override;
    void NewArticleFromSelection(HWND window) override;
    bool AutoLocateOff() override { return autoLocateOff_; }
    void SetAutoLocateOff(bool off) override { autoLocateOff_ = off; }

    // The row the last translation of the input left the translated-words
    // list on (TranslationShowsInput compares it).
    void RecordTranslationRow(int32_t row) { translationRow_ = row; }

    // IStartShelf (start_shelf.cpp).
    ShelfEntry FindByPath(std::u16string_view path) override;
    ShelfEntry AddDictionary(uint32_t flags, std::u16string_view path, bool atHead) override;
    bool OpenDictionary(ShelfEntry dictionary) override;
    bool IsOpen(ShelfEntry dictionary) override;
    bool AnyOpen() override;
    bool HasEditable() override;
    std::u16string MakePersonalDictionaryName(std::u16string_view folder) override;
    void CreatePersonalDictionary(std::u16string_view path) override;
    void SelectWorkingDictionaryByPath(std::u16string_view path) override;
    std::u16string ConvertSourceFile(std::u16string_view source) override;
    void SaveDictionaryList() override;
    void Refresh() override;
    void ResetListViews() override;
    void WarnOldDictionaries() override;

    // IShelfHost.
    bool FileExists(std::u16string_view path) override;
    int32_t EnsureTab(int32_t command) override;
    void RemoveTab(int32_t command) override;
    int32_t SelectedTabCommand() override;
    void PostCommand(int32_t command) override;
    void UpdateCommandState(int32_t command) override;
    std::u16string InstallationId() override;
    std::u16string NewGuidText() override;
    std::u16string LocalTimeText() override;
    void WarnOfOldDictionaries(int32_t count) override;

    // IInputBox.
    std::u16string Text() const override;
    void Selection(int32_t& start, int32_t& end) const override;
    void HighlightInputRange(int32_t first, int32_t last) override;

    // IListViewSite.
    bool IsCurrentView(const ListViewModel* view) override;
    RDFDictionary* WorkingDictionary() override;
    int32_t OpenDictionariesFrom(const RDFDictionary* dictionary) override;
    void ShowArticle(const FormattedText* article) override;
    void AddToHistory(ListViewModel& view, const CCursor& cursor, int32_t pageOffset) override;
    CArticleView* ArticleView() override { return article_.get(); }
    const FullTextQuery* Query() override { return &query_; }
    void RunQueryAgain(ListView& view) override;
    void ScrollInputToRange(int32_t start, int32_t end) override;
    ListView* ViewOfKind(int32_t kind) override;
    IListFileStore& ListFiles() override { return listFiles_; }

    // IEditorHost (frame_editors.cpp).
    HWND MainWindow() override;
    bool ShelfBusy() override;
    void ArticleSaved(CDictionary& dictionary, uint32_t position, bool addToSelected) override;

private:
    // The commands that open an article editor; false for the other ids.
    bool OpenEditorFor(uint32_t id);
    void ShowLexiconHint(std::u16string_view text);

    CFrame& frame_;
    CInput input_;
    FullTextQuery query_;
    std::u16string queryText_;  // the input the search-results list last searched
    ProfileListFiles listFiles_;
    std::unique_ptr<CArticleView> article_;
    std::unique_ptr<CShelf> shelf_;
    bool autoLocateOff_ = false;  // typing in the input box searches nothing (command 40059)
    bool showingAgain_ = false;   // the current article is shown again: no history, no input scroll
    // The matched part the list last selected in the input box, and the text
    // it was selected in: a selection the user did not make.
    int32_t highlightStart_ = -1, highlightEnd_ = -1;
    std::u16string highlightedText_;
    int32_t translationRow_ = -1;  // see RecordTranslationRow
    bool inputHighlighted_ = false;  // a part of the input box is coloured by HighlightInputRange
};
