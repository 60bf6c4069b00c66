// ListView: the window side of one word list. It derives the portable half
// (ListViewModel: search as you type, the page, moves and selection) and adds
// the list window of class "Ostrel List View" with its header, the fonts and
// column layout it paints with, the article of the current row
// (list_view_article.cpp) and the list commands (list_view_commands.cpp). The
// window procedure and painting are list_window.cpp and list_row_painter.cpp;
// what the view needs of the program is IListViewSite.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "article/list_window_rules.h"
#include "dictionary/list_view_model.h"

class CArticleView;
class IListFileStore;
class ListView;
class CCursor;
class FormattedText;
class FullTextQuery;
class RDFDictionary;
struct WordListEntry;

// The program around the list views: the shelf, the article view and the input box.
class IListViewSite {
public:
    virtual bool IsCurrentView(const ListViewModel* view) = 0;
    virtual RDFDictionary* WorkingDictionary() = 0;
    // Open dictionaries on the shelf from `dictionary` to the end (at most 100).
    virtual int32_t OpenDictionariesFrom(const RDFDictionary* dictionary) = 0;
    // Shows an article in the article view; null clears it.
    virtual void ShowArticle(const FormattedText* article) = 0;
    // The article view the article went to (null without one), for the notes
    // and highlights drawn over it.
    virtual CArticleView* ArticleView() = 0;
    // The full-text query of the search-results list.
    virtual const FullTextQuery* Query() = 0;
    // Runs the search-results list's query again over the dictionaries now
    // open and puts `view`'s current row back on its article.
    virtual void RunQueryAgain(ListView&) {}
    // Selects and shows [start, end) of the searched input in the input box,
    // mapped back to the typed text when a converted form was searched.
    virtual void ScrollInputToRange(int32_t start, int32_t end) = 0;
    virtual void AddToHistory(ListViewModel& view, const CCursor& cursor, int32_t pageOffset) = 0;
    // Another list view of the shelf, null when none.
    virtual ListView* ViewOfKind(int32_t viewKind) = 0;
    // The files of saved lists.
    virtual IListFileStore& ListFiles() = 0;

protected:
    ~IListViewSite() = default;
};

// While one is held, the list views' refreshes wait, and each view that
// asked refreshes once when the last hold is let go: one Find moves a list
// several times (search, list switch, hit at the caret), and each refresh
// repaints the list, sets its scroll bar and loads the article.
class ListRefreshHold {
public:
    ListRefreshHold();
    ~ListRefreshHold();
    ListRefreshHold(const ListRefreshHold&) = delete;
    ListRefreshHold& operator=(const ListRefreshHold&) = delete;

    // The refreshes asked for so far happen now, while the holds stay: a
    // message box in the middle of a Find comes after the list shows what
    // the search found.
    static void RefreshWaitingNow();
};

class ListView : public ListViewModel {
public:
    static constexpr int32_t kListWindowId = 100;
    static constexpr int32_t kHeaderId = 112;
    // Posted to the list window when a read the engine refused was met while
    // the page was painted or a dictionary left the list under its reads
    // (RowsDropped): the refresh and the refusal's message, after the paint.
    static constexpr UINT kTellRefusalsMessage = WM_APP + 0x48;

    ListView(int32_t viewKind, WordList* model, IListViewSite& site);
    ~ListView() override;
    ListView(const ListView&) = delete;
    ListView& operator=(const ListView&) = delete;

    // The list window (hidden) with its header inside `parent`.
    bool Create(HWND parent, int32_t x, int32_t y, int32_t cx, int32_t cy);
    void ApplyFonts();
    void SetupHeaderColumns();
    void Show(int32_t showCommand);
    void Move(int32_t x, int32_t y, int32_t cx, int32_t cy);
    void LayoutHeader();
    void RepaintPage();
    // The current row's article in the article view (list_view_article.cpp).
    void ShowCurrentArticle();
    // Refreshes of the current view (list repainted, scroll bar set) and
    // articles loaded into the article view since the start, for the test hook.
    static uint32_t RefreshCount();
    static uint32_t ArticleLoadCount();
    // The list commands (list_view_commands.cpp).
    void OnCommand(uint32_t id);
    // Tells the refusals the dictionaries met once the message now handled is
    // over and the lists show what they have (posts kTellRefusalsMessage,
    // unless it waits already).
    void PostTellRefusals();
    // The text of the column kinds shown as cells to the test hook; rows of a
    // merged list off the page are not read (empty).
    std::u16string CellTextForHook(int32_t row, int32_t cell);

    HWND Window() const { return window_; }
    HWND Header() const { return header_; }
    // The shared column layout of the model's kind; header tracking writes its widths.
    ListLayout& Columns() { return ListLayoutForModelKind(ModelKind()); }
    int32_t TotalColumnWidth();

    // The window procedure (list_window.cpp).
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Registers the window class "Ostrel List View" of this module; false
    // when it could not be registered (it may exist already).
    static bool RegisterWindowClass();
    // Starts dragging the selected rows to other programs (the data object's
    // part sets it); no drag while it is null.
    static void (*startDrag)(ListView& view);

private:
    friend class ListWindowMessages;
    friend class ListRefreshHold;
    friend class ListRowPainter;

    // What the portable half calls: painting and the main window's state.
    class WindowHost final : public IListViewHost {
    public:
        explicit WindowHost(ListView& view) : view_(view) {}
        void FillPage() override {}
        void UpdateView() override { view_.OnViewChanged(); }
        void UpdateCommandState(int32_t command) override;
        bool PostHeadword(int32_t command, std::u16string_view text) override;
        void TranslateText(int32_t mode) override;
        void RunQueryAgain() override { view_.site_.RunQueryAgain(view_); }
        void RetitleColumns() override { view_.SetupHeaderColumns(); }
        void RowsDropped() override { view_.PostTellRefusals(); }

    private:
        ListView& view_;
    };

    int32_t ModelKind() const;
    int32_t ClientHeight() const;
    int32_t ClientWidth() const;
    // After every change of the page or the current row; waits while a
    // ListRefreshHold is held.
    void OnViewChanged();
    // The scroll bar, and for the current view the page, the status line, the
    // article and the command states. `sameRecordKept`: an article already
    // showing the current record stays (the refresh that ends a Find).
    void Refresh(bool sameRecordKept);
    // The article of the current row, unless `sameRecordKept` finds that
    // article showing already.
    void LoadCurrentArticle(bool sameRecordKept);
    void SetVerticalScroll();
    // The page, scroll bar, status line and article again (a dictionary may
    // have left the list), then each refusal's message once (kTellRefusalsMessage).
    void TellRefusals();
    void Paint();
    bool IsWorkingRow(int32_t row);
    void ShowListNote(const WordListEntry* entry);
    void HighlightQueryWords(const WordListEntry& entry);
    void DeleteRows();
    void AddSelectionToSelectedList();
    void QuickSearchFromLexicon();

    IListViewSite& site_;
    WindowHost windowHost_;
    HWND window_ = nullptr;
    HWND header_ = nullptr;
    HFONT fonts_[20] = {};  // the list font set, not owned; read again by ApplyFonts
    WheelAccumulator wheel_;
    POINT press_{};
    bool pressKept_ = false;
    bool dragging_ = false;
    bool selectedOnPress_ = false;
    int32_t trackStartX_ = 0;      // header tracking: cursor x and width at the start
    int32_t trackStartWidth_ = 0;
    bool refreshPending_ = false;  // asked for a refresh while a ListRefreshHold was held
    bool tellPosted_ = false;      // kTellRefusalsMessage waits in the queue
};
