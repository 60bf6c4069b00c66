// CParaViewerDlg: one book reader, a modeless dialog with a book choice,
// up to four language columns (each an OstrelBookView window inside an
// OstrelBookFrame) kept on the same phrase, the table-of-contents switch and
// two scroll bars. Several readers can be open; they form a chain. A text
// book opened for editing is aligned and saved here too.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "book/book_editing.h"
#include "book/book_host.h"
#include "book/reader_settings.h"
#include "book/win/book_fonts.h"
#include "book/win/book_reader_site.h"

class RDFDictionary;
class StoredBook;
class TextBook;

namespace book_ids {
inline constexpr int kBooks = 1330;
inline constexpr int kLanguages[4] = {1331, 1332, 1334, 1335};
inline constexpr int kBookLists[4] = {1333, 1339, 1340, 1341};
inline constexpr int kRemove[4] = {1004, 1009, 1010, 1011};
inline constexpr int kAdd = 1006;
inline constexpr int kTableOfContents = 1003;
inline constexpr int kSmoothBar = 1324;
inline constexpr int kPhraseBar = 1325;
inline constexpr int kHelp = 1016;
inline constexpr int kReaderHelpTopic = 152;
inline constexpr int kOpenFileHelpTopic = 153;
inline constexpr int kOpenFilePath = 1186;
inline constexpr int kOpenFileBrowse = 1354;
inline constexpr UINT kNoBooksMessage = WM_APP + 8;
inline constexpr UINT kTextUnderCursor = WM_APP + 0x46;
// Editing commands of a column.
inline constexpr uint32_t kSplit = 40657, kSplitToo = 40658, kJoin = 40661, kJoinToo = 40662, kPaste = 40665,
                          kSave = 40669;
inline constexpr uint32_t kCopy = 40033, kLookUpList = 40167, kLookUpOther = 40168, kLookUpFullText = 40169,
                          kLookUpTranslate = 40171, kAddToDictionary = 40500, kFontCommand = 40119;
}  // namespace book_ids

class CParaViewerDlg {
public:
    // Opens a reader: on `dictionary`'s book `bookId` (any record id of it),
    // on a text book when `textBook` is given, else on the saved or first
    // book. Null when the dialog could not be made, and when the text book
    // was refused (the reason is shown and no window opens).
    static CParaViewerDlg* Open(IBookReaderSite& site, RDFDictionary* dictionary, uint32_t bookId,
                                const std::u16string& textBook = {});
    // The text book file dialog ("BOOK_OPEN_FILE"); false when cancelled.
    static bool ChooseTextBook(IBookReaderSite& site, HWND owner, std::u16string& path);
    // Every open reader, first opened first.
    static const std::vector<CParaViewerDlg*>& Readers();
    static bool IsReaderDialog(HWND window);
    // Whether the window is a column of an open reader.
    static bool IsColumnWindow(HWND window);
    // Every reader lays out again (a font change) / refills its book list
    // (the shelf changed: a reader whose dictionary left drops its book).
    static void RefreshAllBookReaders();
    static void RefreshAllBookLists();

    HWND Window() const { return dialog_; }
    CParaViewHost& Host() { return *host_; }
    bool HasBook() const { return host_ && host_->model.Source() != nullptr; }
    bool IsTextBook() const { return textBook_; }
    bool ShowsDictionary(const RDFDictionary* dictionary) const { return dictionary && dictionary == dictionary_; }
    const std::u16string& TextBookPath() const { return textBookPath_; }
    // The column window of a slot (0 to 3), null when hidden.
    HWND ColumnWindow(int32_t slot) const;
    // Closes as IDCANCEL does: asks about a changed text book; false when kept open.
    bool Close();
    // Saves a text book; shows the failure and answers false.
    bool Save();
    void FillBookList();
    void RefreshBookList();
    // Opens book `bookId` of `dictionary` (any of its record ids) at phrase `phrase`.
    bool OpenStoredBook(RDFDictionary* dictionary, uint32_t bookId, int32_t phrase);
    // After a scroll, caret move or edit in the current column.
    void AfterChange(bool moved);
    // A stored book that met damage (a walk that stopped early, a phrase that
    // cannot be read) says so once per opening.
    void ReportDamage();

    // Column windows route here (book_column_window.cpp).
    LRESULT ColumnMessage(int32_t slot, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    CParaViewerDlg(IBookReaderSite& site);
    ~CParaViewerDlg();
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInit();
    // Gives the keys to the current column; false when no column is shown.
    bool FocusCurrentColumn();
    void OnCommand(int id, int code, HWND control);
    void OnScroll(HWND bar, int code);
    void LayOut();
    void ShowColumnsFromSettings();
    void ApplyColumns(bool resizeWindow);
    void PlaceNewReader();
    void RestorePosition();
    // The saved columns, top and current phrase in the book just opened.
    void RestorePlace();
    void SaveSettings();
    void FillLanguageCombos();
    void FillColumnBookLists();
    void RepaintColumns();
    void UpdateCaret();
    void OpenTextBook(std::shared_ptr<TextBook> book);
    void DropBook();
    std::u16string SelectedText();
    std::u16string SelectedTextOf(int32_t slot);

    // Column input.
    void OnKey(int32_t slot, WPARAM key);
    void OnChar(int32_t slot, wchar_t c);
    void OnEditCommand(int32_t slot, uint32_t command);
    void OnMouse(int32_t slot, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnContextMenu(int32_t slot, HWND window, POINT screen);
    void Paint(int32_t slot, HWND window);
    LRESULT GetTextAtCursor(int32_t slot, HWND window, WPARAM wParam, LPARAM lParam);
    void CopySelection();
    void Paste();
    bool Edit(bool (*operation)(BookModel&, int32_t, EditCursor&));

    IBookReaderSite& site_;
    HWND dialog_ = nullptr;
    HICON icon_ = nullptr;
    std::unique_ptr<BookFonts> fonts_;
    std::unique_ptr<CParaViewHost> host_;
    std::shared_ptr<StoredBook> stored_;
    bool damageShown_ = false;  // the stored book's damage was shown
    RDFDictionary* dictionary_ = nullptr;
    uint32_t bookId_ = 0;
    int32_t bookCount_ = 0;
    bool textBook_ = false;
    std::u16string textBookPath_;
    std::shared_ptr<TextBook> loadedTextBook_;  // read before the window is made; shown at its start
    HWND frames_[4] = {};
    HWND views_[4] = {};
    int32_t columnWidth_ = 100;
    int32_t requestedPhrase_ = -1;
    // The drag of the smooth scroll bar: pixels scrolled since it began.
    int32_t smoothScrolled_ = 0;
    // Mouse: selection drag, double and triple clicks, the wheel's remainder.
    bool dragging_ = false;
    DWORD doubleClickTime_ = 0;
    int32_t wheelRemainder_ = 0;
    bool hasCaret_ = false;
    ReaderSettings settings_;
};
