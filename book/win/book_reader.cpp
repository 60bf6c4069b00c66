// The reader dialog: its template, the book choice, the columns' slots and
// layout, the scroll bars, settings, opening and closing.
#include "book/win/book_reader.h"

#include <commctrl.h>

#include <algorithm>

#include "book/stored_book.h"
#include "book/text_book.h"
#include "book/text_book_writer.h"
#include "book/win/dialog_template.h"
#include "common/settings/settings_file.h"
#include "common/win/dialog_helpers.h"
#include "common/win/file_dialogs.h"
#include "dictionary/dictionary.h"
#include "dictionary/shelf.h"

namespace {

using namespace book_ids;

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
const wchar_t* W(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }

std::vector<CParaViewerDlg*>& Chain() {
    static std::vector<CParaViewerDlg*> readers;
    return readers;
}

constexpr char16_t kFrameClass[] = u"OstrelBookFrame";
constexpr char16_t kViewClass[] = u"OstrelBookView";

LRESULT CALLBACK BookViewWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* reader = reinterpret_cast<CParaViewerDlg*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (reader == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    const auto slot = static_cast<int32_t>(GetWindowLongPtrW(window, GWLP_ID));
    return reader->ColumnMessage(slot, window, message, wParam, lParam);
}

// The main window registers both classes; a reader made without it (the
// tests) registers them here. Either way each view is subclassed.
void EnsureClasses() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW existing{};
    if (!GetClassInfoW(instance, W(kFrameClass), &existing)) {
        WNDCLASSW frame{};
        frame.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        frame.lpfnWndProc = DefWindowProcW;
        frame.hInstance = instance;
        frame.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        frame.lpszClassName = W(kFrameClass);
        RegisterClassW(&frame);
    }
    if (!GetClassInfoW(instance, W(kViewClass), &existing)) {
        WNDCLASSW view{};
        view.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        view.lpfnWndProc = DefWindowProcW;
        view.hInstance = instance;
        view.lpszClassName = W(kViewClass);
        RegisterClassW(&view);
    }
}

DialogTemplate ReaderTemplate() {
    using namespace dialog_class;
    DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                         WS_CLIPCHILDREN | DS_3DLOOK,
                     u"Book Viewer for Parallel Text", 480, 380);
    const DWORD combo = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
    t.Add(kComboBox, kBooks, u"", combo | WS_VISIBLE, 6, 1, 200, 200);
    for (int k = 0; k < 4; ++k) {
        const DWORD shown = k == 0 ? WS_VISIBLE : 0;
        t.Add(kComboBox, static_cast<WORD>(kBookLists[k]), u"", combo | shown, 6, 15, 100, 200);
        t.Add(kComboBox, static_cast<WORD>(kLanguages[k]), u"", combo | shown, 6, 30, 80, 200);
        t.Add(kButton, static_cast<WORD>(kRemove[k]), u"-", BS_PUSHBUTTON | WS_TABSTOP | shown, 90, 29, 12, 13);
    }
    t.Add(kButton, kTableOfContents, u"TOC", BS_AUTOCHECKBOX | BS_PUSHLIKE | WS_TABSTOP | WS_VISIBLE, 400, 14, 40, 12);
    t.Add(kButton, kAdd, u"+", BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 400, 29, 40, 13);
    t.Add(kScrollBar, kSmoothBar, u"", SBS_VERT | WS_VISIBLE, 400, 45, 15, 200);
    t.Add(kScrollBar, kPhraseBar, u"", SBS_VERT | WS_VISIBLE, 420, 45, 15, 200);
    return t;
}

RECT ChildRect(HWND dialog, int id) {
    RECT r{};
    HWND child = GetDlgItem(dialog, id);
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void MoveChild(HWND dialog, int id, int x, int y, int width, int height, bool show) {
    HWND child = GetDlgItem(dialog, id);
    MoveWindow(child, x, y, std::max(1, width), std::max(1, height), TRUE);
    ShowWindow(child, show ? SW_SHOW : SW_HIDE);
}

std::u16string DictionaryTitle(RDFDictionary* dictionary) {
    return BookTitleFromPath(dictionary->File().path);
}

}  // namespace

CParaViewerDlg::CParaViewerDlg(IBookReaderSite& site) : site_(site) {}

CParaViewerDlg::~CParaViewerDlg() {
    auto& chain = Chain();
    chain.erase(std::remove(chain.begin(), chain.end(), this), chain.end());
}

const std::vector<CParaViewerDlg*>& CParaViewerDlg::Readers() { return Chain(); }

bool CParaViewerDlg::IsReaderDialog(HWND window) {
    for (CParaViewerDlg* reader : Chain())
        if (reader->dialog_ == window) return true;
    return false;
}

bool CParaViewerDlg::IsColumnWindow(HWND window) {
    if (!window) return false;
    for (CParaViewerDlg* reader : Chain())
        for (HWND view : reader->views_)
            if (view == window) return true;
    return false;
}

void CParaViewerDlg::RefreshAllBookReaders() {
    for (CParaViewerDlg* reader : Chain()) {
        reader->fonts_ = std::make_unique<BookFonts>(
            reader->site_.BookFontPoints(),
            [](int32_t slot, void* context) { return static_cast<IBookReaderSite*>(context)->BookFont(slot); },
            &reader->site_);
        reader->host_->InvalidateLayout();
        reader->LayOut();
    }
}

void CParaViewerDlg::RefreshAllBookLists() {
    for (CParaViewerDlg* reader : Chain()) reader->RefreshBookList();
}

CParaViewerDlg* CParaViewerDlg::Open(IBookReaderSite& site, RDFDictionary* dictionary, uint32_t bookId,
                                     const std::u16string& textBook) {
    EnsureClasses();
    // A text book the reader cannot hold whole opens nothing: the reason is
    // shown, and no empty reader is left behind it.
    std::shared_ptr<TextBook> text;
    if (!textBook.empty()) {
        text = std::make_shared<TextBook>();
        if (!text->Load(textBook)) {
            site.Ask(site.MainWindow(), InterfaceText(u"Cannot open file: %s", textBook) + u"\n" + text->Problem(),
                     site.Text(u"Cannot Open a File"), MB_OK | MB_ICONERROR);
            return nullptr;
        }
    }
    auto* reader = new CParaViewerDlg(site);
    reader->dictionary_ = dictionary;
    reader->bookId_ = bookId;
    if (text) {
        reader->textBook_ = true;
        reader->textBookPath_ = textBook;
        reader->loadedTextBook_ = std::move(text);
        reader->bookId_ = 1;
    }
    Chain().push_back(reader);
    const DialogTemplate t = ReaderTemplate();
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), site.MainWindow(), DialogProc,
                                             reinterpret_cast<LPARAM>(reader));
    if (dialog == nullptr) {
        delete reader;
        return nullptr;
    }
    site.DialogCreated(dialog);
    ShowWindow(dialog, SW_SHOW);
    return reader;
}

INT_PTR CALLBACK CParaViewerDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* reader = reinterpret_cast<CParaViewerDlg*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        reader->dialog_ = dialog;
        reader->OnInit();
        // FALSE: the dialog's first box does not take the keys over.
        return reader->FocusCurrentColumn() ? FALSE : TRUE;
    }
    auto* reader = reinterpret_cast<CParaViewerDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (reader == nullptr) return FALSE;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        delete reader;
        return FALSE;
    }
    return reader->OnMessage(message, wParam, lParam);
}

bool CParaViewerDlg::FocusCurrentColumn() {
    if (!host_ || host_->VisibleCount() == 0) return false;
    SetFocus(views_[std::min(host_->CurrentSlot(), host_->VisibleCount() - 1)]);
    return true;
}

void CParaViewerDlg::OnInit() {
    icon_ = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(165));
    if (icon_) SendMessageW(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SetDlgItemTextW(dialog_, kTableOfContents, W(site_.Text(u"TOC")));
    if (CIni* ini = site_.Settings()) settings_.Load(*ini, textBook_);
    fonts_ = std::make_unique<BookFonts>(
        site_.BookFontPoints(),
        [](int32_t slot, void* context) { return static_cast<IBookReaderSite*>(context)->BookFont(slot); }, &site_);
    host_ = std::make_unique<CParaViewHost>(*fonts_);
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, book_scroll::kSmoothBarRange,
                    book_scroll::kSmoothBarPage, book_scroll::kSmoothBarRest, 0};
    SetScrollInfo(GetDlgItem(dialog_, kSmoothBar), SB_CTL, &info, TRUE);
    info = {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, book_scroll::kPhraseBarRange, book_scroll::kPhraseBarPage,
            0, 0};
    SetScrollInfo(GetDlgItem(dialog_, kPhraseBar), SB_CTL, &info, TRUE);
    for (int32_t slot = 0; slot < 4; ++slot) {
        frames_[slot] = CreateWindowExW(WS_EX_CLIENTEDGE, W(kFrameClass), L"", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 10, 10,
                                        dialog_, nullptr, GetModuleHandleW(nullptr), nullptr);
        views_[slot] = CreateWindowExW(0, W(kViewClass), L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 10, 10,
                                       frames_[slot], reinterpret_cast<HMENU>(static_cast<INT_PTR>(slot)),
                                       GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(views_[slot], GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowLongPtrW(views_[slot], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BookViewWndProc));
    }
    columnWidth_ = settings_.width > 0 && settings_.columns > 0
                       ? std::max(100, (settings_.width - reader_layout::kGap * settings_.columns -
                                        reader_layout::kRightStrip) / settings_.columns)
                       : 100;
    bool opened = false;
    if (textBook_) {
        OpenTextBook(std::move(loadedTextBook_));
        opened = true;
        FillBookList();
    } else {
        FillBookList();
        if (bookCount_ > 0 && dictionary_ && bookId_ != 0)
            opened = OpenStoredBook(dictionary_, bookId_, -1);
        else if (bookCount_ > 0) {
            RestorePosition();
            opened = HasBook();
        }
    }
    if (!opened) {
        SetWindowTextW(dialog_, W(site_.Text(u"Book Viewer for Parallel Text")));
        EnableWindow(GetDlgItem(dialog_, kTableOfContents), FALSE);
    }
    PlaceNewReader();
    PostMessageW(dialog_, kNoBooksMessage, 0, 0);
}

void CParaViewerDlg::OpenTextBook(std::shared_ptr<TextBook> book) {
    stored_.reset();
    host_->model.Build(book, true, true);
    host_->AttachViews();
    host_->ShowDefaultColumns();
    SetWindowTextW(dialog_, W(BookTitleFromPath(textBookPath_)));
    EnableWindow(GetDlgItem(dialog_, kTableOfContents), host_->model.HeadingCount() > 0);
    ApplyColumns(false);
    // The text book the reader was last closed on reopens where it was left.
    if (!settings_.file.empty() && settings_.file == textBookPath_) {
        RestorePlace();
        return;
    }
    host_->GoToPhrase(0, GoToMode::Top, true);
    AfterChange(true);
}

bool CParaViewerDlg::OpenStoredBook(RDFDictionary* dictionary, uint32_t bookId, int32_t phrase) {
    if (dictionary == nullptr) return false;
    auto stored = std::make_shared<StoredBook>(*dictionary);
    if (!stored->Ok()) return false;
    const uint32_t start = stored->FindStartRecord(bookId);
    EnableWindow(GetDlgItem(dialog_, kTableOfContents), FALSE);
    dictionary_ = dictionary;
    bookId_ = start;
    stored->SetStartRecord(start);
    stored_ = stored;
    damageShown_ = false;
    host_->model.Build(stored, (dictionary->flags & kDictionaryStoreDatabase) == 0, false);
    host_->AttachViews();
    host_->ShowDefaultColumns();
    SetWindowTextW(dialog_, W(DictionaryTitle(dictionary)));
    EnableWindow(GetDlgItem(dialog_, kTableOfContents), host_->model.HeadingCount() > 0);
    CheckDlgButton(dialog_, kTableOfContents, BST_UNCHECKED);
    ComboSelectByData(GetDlgItem(dialog_, kBooks), reinterpret_cast<LPARAM>(dictionary));
    ApplyColumns(false);
    // A record id given as the book goes to that record's phrase.
    int32_t target = phrase;
    if (target < 0)
        for (int32_t e = 0; e < host_->model.PhraseCount(); ++e)
            if (host_->model.RecordId(e) == bookId) target = e;
    host_->GoToPhrase(std::max(0, target), GoToMode::Top, true);
    AfterChange(true);
    return true;
}

void CParaViewerDlg::DropBook() {
    stored_.reset();
    dictionary_ = nullptr;
    bookId_ = 0;
    host_->model.Clear();
    host_->AttachViews();
    host_->ShowDefaultColumns();
    EnableWindow(GetDlgItem(dialog_, kTableOfContents), FALSE);
    SetWindowTextW(dialog_, W(site_.Text(u"Book Viewer for Parallel Text")));
    ApplyColumns(false);
    RepaintColumns();
}

void CParaViewerDlg::FillBookList() {
    HWND combo = GetDlgItem(dialog_, kBooks);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    bookCount_ = 0;
    if (textBook_) {
        const LRESULT item = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(BookTitleFromPath(textBookPath_))));
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        bookCount_ = 1;
        return;
    }
    for (RDFDictionary* dictionary : site_.BookDictionaries()) {
        const LRESULT item =
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(DictionaryTitle(dictionary))));
        SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(dictionary));
        ++bookCount_;
    }
    if (dictionary_) ComboSelectByData(combo, reinterpret_cast<LPARAM>(dictionary_));
}

void CParaViewerDlg::RefreshBookList() {
    if (textBook_) return;
    const int32_t before = bookCount_;
    FillBookList();
    // The shelf closed or replaced the reader's dictionary: drop its book.
    if (dictionary_) {
        const auto books = site_.BookDictionaries();
        if (std::find(books.begin(), books.end(), dictionary_) == books.end()) DropBook();
    }
    if (before == 0 && bookCount_ > 0) RestorePosition();
}

void CParaViewerDlg::RestorePosition() {
    const auto books = site_.BookDictionaries();
    if (books.empty()) {
        EnableWindow(GetDlgItem(dialog_, kTableOfContents), FALSE);
        return;
    }
    RDFDictionary* chosen = books.front();
    bool matched = false;
    for (RDFDictionary* dictionary : books)
        if (!settings_.file.empty() && std::u16string(dictionary->File().path) == settings_.file) {
            chosen = dictionary;
            matched = true;
            break;
        }
    if (matched && settings_.bookIndex != 0) {
        StoredBook probe(*chosen);
        if (probe.FindStartRecord(static_cast<uint32_t>(settings_.bookIndex)) != 0) {
            OpenStoredBook(chosen, static_cast<uint32_t>(settings_.bookIndex), 0);
            RestorePlace();
            return;
        }
    }
    StoredBook probe(*chosen);
    const auto inside = probe.Books(0);
    if (inside.empty()) {
        EnableWindow(GetDlgItem(dialog_, kTableOfContents), FALSE);
        return;
    }
    OpenStoredBook(chosen, inside.front().firstRecord, 0);
}

void CParaViewerDlg::RestorePlace() {
    ShowColumnsFromSettings();
    // The column whose top was kept leads again; the others follow it.
    host_->SetCurrentSlot(settings_.curColumn);
    // Saved positions may name phrases a changed book no longer has.
    const int32_t phrases = host_->model.PhraseCount();
    const int32_t top = ClampPhrase(settings_.topPhrase, phrases);
    if (CParaView* view = host_->CurrentView()) {
        const int32_t paragraph = host_->model.ParagraphOfPhrase(top);
        if (paragraph >= 0) {
            const int32_t length = static_cast<int32_t>(view->Lay(paragraph).text.size());
            view->SetTopAtOffset(paragraph, std::clamp(settings_.topOffset, 0, length));
        }
    }
    host_->Synchronise();
    // The current phrase is marked where it is: the reader opens on the
    // place it was left, whether or not that phrase is in sight.
    host_->PlaceCarets(ClampPhrase(settings_.curPhrase, phrases));
    AfterChange(true);
}

void CParaViewerDlg::ShowColumnsFromSettings() {
    host_->ShowColumns(settings_.languages, settings_.columns);
    ApplyColumns(false);
}

void CParaViewerDlg::FillLanguageCombos() {
    const auto& languages = host_->model.Languages();
    for (int32_t slot = 0; slot < 4; ++slot) {
        HWND combo = GetDlgItem(dialog_, kLanguages[slot]);
        SendMessageW(combo, CB_RESETCONTENT, 0, 0);
        for (int32_t c = 0; c < host_->model.ColumnCount(); ++c) {
            const int32_t language = host_->model.Column(c).language;
            std::u16string name = u"#" + std::u16string(1, static_cast<char16_t>(u'1' + c));
            if (language >= 0) name = BookLanguageName(languages[static_cast<size_t>(language)], App().InterfaceLanguage());
            const LRESULT item = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(name)));
            SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(item), c);
        }
        if (slot < host_->VisibleCount()) ComboSelectByData(combo, host_->Visible()[static_cast<size_t>(slot)]);
    }
}

void CParaViewerDlg::FillColumnBookLists() {
    for (int32_t slot = 0; slot < 4; ++slot) {
        HWND combo = GetDlgItem(dialog_, kBookLists[slot]);
        SendMessageW(combo, CB_RESETCONTENT, 0, 0);
        if (!stored_ || slot >= host_->VisibleCount()) continue;
        const int32_t column = host_->Visible()[static_cast<size_t>(slot)];
        for (const StoredBookEntry& book : stored_->Books(column)) {
            const LRESULT item = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(book.title)));
            SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(item), static_cast<LPARAM>(book.firstRecord));
        }
        ComboSelectByData(combo, static_cast<LPARAM>(bookId_));
    }
}

void CParaViewerDlg::ApplyColumns(bool resizeWindow) {
    FillLanguageCombos();
    // Every shown column offers the books of the dictionary in its language,
    // a column just added as well as those shown from the settings.
    FillColumnBookLists();
    if (resizeWindow) {
        RECT client{}, window{}, work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        GetClientRect(dialog_, &client);
        GetWindowRect(dialog_, &window);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const int32_t clientWidth = reader_layout::ClientWidthFor(columnWidth_, host_->VisibleCount());
        // A column more stays on the work area: the window moves left, and
        // where it would still not fit, the columns narrow.
        const int32_t width = std::min<int32_t>((window.right - window.left) - client.right + clientWidth,
                                                work.right - work.left);
        const int32_t height = window.bottom - window.top;
        int32_t x = window.left, y = window.top;
        ClampToWorkArea(x, y, width, height);
        SetWindowPos(dialog_, nullptr, x, y, width, height, SWP_NOZORDER);
    }
    LayOut();
}

void CParaViewerDlg::PlaceNewReader() {
    using namespace reader_layout;
    int32_t x = 0, y = 0, width = kDefaultWidth, height = kDefaultHeight;
    CParaViewerDlg* rightMost = nullptr;
    RECT best{};
    for (CParaViewerDlg* other : Chain()) {
        if (other == this || other->dialog_ == nullptr) continue;
        RECT r{};
        GetWindowRect(other->dialog_, &r);
        if (!rightMost || r.left > best.left) {
            rightMost = other;
            best = r;
        }
    }
    if (rightMost) {
        x = best.left + kNextReaderDx;
        y = best.top + kNextReaderDy;
        width = std::max<int32_t>(100, best.right - best.left);
        height = std::max<int32_t>(100, best.bottom - best.top);
    } else if (settings_.HasSize()) {
        x = settings_.left;
        y = settings_.top;
        width = settings_.width;
        height = settings_.height;
        const int32_t saved = ClampColumns(settings_.columns);
        const int32_t column = ColumnWidth(width, saved);
        width -= (column + kGap) * std::max(0, saved - std::max(1, host_->VisibleCount()));
    } else {
        x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    ClampToWorkArea(x, y, width, height);
    SetWindowPos(dialog_, nullptr, x, y, width, height, SWP_NOZORDER);
    LayOut();
}

void CParaViewerDlg::LayOut() {
    if (!dialog_ || !host_) return;
    using namespace reader_layout;
    RECT client{};
    GetClientRect(dialog_, &client);
    const int32_t visible = ClampColumns(host_->VisibleCount());
    columnWidth_ = ColumnWidth(client.right, visible);
    const RECT books = ChildRect(dialog_, kBooks);
    const RECT list = ChildRect(dialog_, kBookLists[0]);
    const RECT remove = ChildRect(dialog_, kRemove[0]);
    const RECT toc = ChildRect(dialog_, kTableOfContents);
    const RECT add = ChildRect(dialog_, kAdd);
    MoveChild(dialog_, kBooks, kGap, books.top, columnWidth_, books.bottom - books.top, true);
    const int32_t removeWidth = remove.right - remove.left;
    const int32_t framesTop = remove.bottom + kGap;
    const int32_t framesHeight = std::max<int32_t>(1, client.bottom - kGap - framesTop);
    for (int32_t slot = 0; slot < 4; ++slot) {
        const bool shown = slot < host_->VisibleCount();
        const int32_t left = ColumnLeft(slot, columnWidth_);
        MoveChild(dialog_, kBookLists[slot], left, list.top, columnWidth_, list.bottom - list.top, shown && stored_);
        MoveChild(dialog_, kRemove[slot], left + columnWidth_ - removeWidth, remove.top, removeWidth,
                  remove.bottom - remove.top, shown);
        MoveChild(dialog_, kLanguages[slot], left, remove.top + 1, columnWidth_ - removeWidth - 4, 200, shown);
        MoveWindow(frames_[slot], left, framesTop, columnWidth_, framesHeight, TRUE);
        ShowWindow(frames_[slot], shown ? SW_SHOW : SW_HIDE);
        RECT inner{};
        GetClientRect(frames_[slot], &inner);
        MoveWindow(views_[slot], 0, 0, inner.right, inner.bottom, TRUE);
    }
    RECT inner{};
    GetClientRect(views_[0], &inner);
    host_->SetColumnSize(inner.right, inner.bottom);
    const int32_t strip = client.right - kRightStrip;
    // The buttons take the strip but its right margin; the two bars stand centred under them.
    const int32_t buttonWidth = kRightStrip - kGap;
    const int32_t bars = strip + (buttonWidth - 60) / 2;
    MoveChild(dialog_, kSmoothBar, bars, framesTop, 30, framesHeight, true);
    MoveChild(dialog_, kPhraseBar, bars + 30, framesTop, 30, framesHeight, true);
    MoveChild(dialog_, kTableOfContents, strip, list.top - 1, buttonWidth, toc.bottom - toc.top, true);
    MoveChild(dialog_, kAdd, strip, remove.top, buttonWidth, add.bottom - add.top, true);
    // "+" and "-" are live only while they can act: a hidden column to add,
    // two or more shown to remove one of.
    EnableWindow(GetDlgItem(dialog_, kAdd), host_->CanAddColumn());
    for (int32_t slot = 0; slot < 4; ++slot)
        EnableWindow(GetDlgItem(dialog_, kRemove[slot]), host_->VisibleCount() > 1);
    host_->Synchronise();
    RepaintColumns();
}

HWND CParaViewerDlg::ColumnWindow(int32_t slot) const {
    if (slot < 0 || slot >= 4 || !host_ || slot >= host_->VisibleCount()) return nullptr;
    return views_[slot];
}

void CParaViewerDlg::RepaintColumns() {
    for (int32_t slot = 0; slot < 4; ++slot)
        if (views_[slot]) InvalidateRect(views_[slot], nullptr, FALSE);
    UpdateCaret();
}

void CParaViewerDlg::AfterChange(bool moved) {
    if (moved) host_->Synchronise();
    for (int32_t c : host_->Visible()) host_->View(c).RefreshMarks();
    SetScrollPos(GetDlgItem(dialog_, kPhraseBar), SB_CTL, host_->PhraseBarPosition(), TRUE);
    RepaintColumns();
    ReportDamage();
}

void CParaViewerDlg::ReportDamage() {
    if (!stored_ || damageShown_ || dictionary_ == nullptr) return;
    // The shown phrases read their records when they are painted: paint first.
    for (HWND view : views_)
        if (view) UpdateWindow(view);
    if (stored_->Damage().empty()) return;
    damageShown_ = true;
    site_.Ask(dialog_, InterfaceText(u"Cannot read file: %s", dictionary_->File().path) + u"\n" + stored_->Damage(),
              site_.Text(u"Cannot Read a File"), MB_OK | MB_ICONERROR);
}

void CParaViewerDlg::OnScroll(HWND bar, int code) {
    CParaView* view = host_->CurrentView();
    if (!view) return;
    const int id = GetDlgCtrlID(bar);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS | SIF_POS;
    GetScrollInfo(bar, SB_CTL, &info);
    switch (code) {
    case SB_LINEUP: view->ScrollLines(-1); break;
    case SB_LINEDOWN: view->ScrollLines(1); break;
    case SB_PAGEUP: view->ScrollPage(-1); break;
    case SB_PAGEDOWN: view->ScrollPage(1); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        if (id == kPhraseBar) {
            host_->GoToPhraseBar(info.nTrackPos);
        } else {
            const int32_t pixels = book_scroll::SmoothScrollPixels(info.nTrackPos, view->Height());
            view->ScrollPixels(pixels - smoothScrolled_);
            smoothScrolled_ = pixels;
            SetScrollPos(bar, SB_CTL, info.nTrackPos, TRUE);
        }
        break;
    case SB_ENDSCROLL:
        if (id == kSmoothBar) {
            smoothScrolled_ = 0;
            SetScrollPos(bar, SB_CTL, book_scroll::kSmoothBarRest, TRUE);
        }
        break;
    default: return;
    }
    AfterChange(true);
}

INT_PTR CParaViewerDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) {
            RECT window{};
            GetWindowRect(dialog_, &window);
            const int32_t minimum = reader_layout::MinimumWidth(host_->VisibleCount());
            if (window.right - window.left < minimum || window.bottom - window.top < reader_layout::kMinimumHeight) {
                SetWindowPos(dialog_, nullptr, 0, 0, std::max<int32_t>(minimum, window.right - window.left),
                             reader_layout::kResetHeight, SWP_NOMOVE | SWP_NOZORDER);
                return TRUE;
            }
            LayOut();
        }
        return TRUE;
    case WM_SIZING: {
        auto* r = reinterpret_cast<RECT*>(lParam);
        const int32_t minimum = reader_layout::MinimumWidth(host_->VisibleCount());
        if (r->right - r->left < minimum) r->right = r->left + minimum;
        if (r->bottom - r->top < reader_layout::kMinimumHeight) r->bottom = r->top + reader_layout::kMinimumHeight;
        return TRUE;
    }
    case WM_VSCROLL:
        if (lParam) OnScroll(reinterpret_cast<HWND>(lParam), LOWORD(wParam));
        return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_HELP:
        site_.ShowHelp(dialog_, kReaderHelpTopic);
        return TRUE;
    case kNoBooksMessage:
        if (bookCount_ == 0 && !textBook_)
            site_.Ask(dialog_,
                      site_.Text(u"There are no opened book files to show in this window.\nPlease, open book files or "
                                 u"download them from Ostrel web site using file selection dialog from main toolbar."),
                      site_.Text(u"No book files"), MB_OK | MB_ICONINFORMATION);
        return TRUE;
    case WM_ACTIVATE:
        // The keys go to the current column, not to the first box of the
        // dialog: a PageDown there would pick the shown book again.
        return LOWORD(wParam) != WA_INACTIVE && FocusCurrentColumn();
    case WM_DESTROY:
        if (Chain().size() == 1 && Chain().front() == this) SaveSettings();
        site_.DialogDestroyed(dialog_);
        return TRUE;
    default: return FALSE;
    }
}

void CParaViewerDlg::OnCommand(int id, int code, HWND control) {
    if (id == IDOK || id == IDCANCEL) {
        Close();
        return;
    }
    if (id == kHelp) {
        site_.ShowHelp(dialog_, kReaderHelpTopic);
        return;
    }
    if (id == kAdd) {
        if (host_->AddColumn()) {
            columnWidth_ = std::max(columnWidth_, 1);
            ApplyColumns(true);
            AfterChange(true);
        }
        return;
    }
    for (int32_t slot = 0; slot < 4; ++slot) {
        if (id == kRemove[slot]) {
            if (host_->RemoveColumn(slot)) {
                ApplyColumns(true);
                AfterChange(true);
            }
            return;
        }
        if (id == kLanguages[slot] && code == CBN_SELCHANGE) {
            HWND combo = control;
            const LRESULT item = SendMessageW(combo, CB_GETCURSEL, 0, 0);
            if (item != CB_ERR) host_->SetSlotColumn(slot, static_cast<int32_t>(SendMessageW(combo, CB_GETITEMDATA, item, 0)));
            FillLanguageCombos();
            FillColumnBookLists();
            AfterChange(true);
            return;
        }
        if (id == kBookLists[slot] && code == CBN_SELCHANGE && dictionary_) {
            const LRESULT item = SendMessageW(control, CB_GETCURSEL, 0, 0);
            if (item == CB_ERR) return;
            // The book already shown stays where the reader is.
            const auto book = static_cast<uint32_t>(SendMessageW(control, CB_GETITEMDATA, item, 0));
            if (book != bookId_ || !HasBook()) OpenStoredBook(dictionary_, book, 0);
            return;
        }
    }
    if (id == kBooks && code == CBN_SELCHANGE && !textBook_) {
        const LRESULT item = SendMessageW(control, CB_GETCURSEL, 0, 0);
        if (item == CB_ERR) return;
        auto* dictionary = reinterpret_cast<RDFDictionary*>(SendMessageW(control, CB_GETITEMDATA, item, 0));
        if (dictionary == dictionary_ && HasBook()) return;  // the one shown stays where the reader is
        StoredBook probe(*dictionary);
        const auto inside = probe.Books(0);
        if (!inside.empty()) OpenStoredBook(dictionary, inside.front().firstRecord, 0);
        return;
    }
    if (id == kTableOfContents) {
        host_->SetTableOfContents(IsDlgButtonChecked(dialog_, kTableOfContents) == BST_CHECKED);
        CheckDlgButton(dialog_, kTableOfContents, host_->TableOfContents() ? BST_CHECKED : BST_UNCHECKED);
        AfterChange(true);
    }
}

bool CParaViewerDlg::Save() {
    if (!textBook_) return true;
    if (SaveTextBook(host_->model, textBookPath_) == SaveResult::Saved) return true;
    site_.Ask(dialog_, site_.Text(u"Cannot save the file:\n") + textBookPath_, site_.Text(u"Save failed"),
              MB_OK | MB_ICONERROR);
    return false;
}

bool CParaViewerDlg::Close() {
    if (textBook_ && host_->model.Changed()) {
        const int32_t answer =
            site_.Ask(dialog_, site_.Text(u"Save the changes to the file?"), site_.Text(u"Save changes?"),
                      MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL) return false;
        // A failed save keeps the reader open with its changes.
        if (answer == IDYES && !Save()) return false;
    }
    DestroyWindow(dialog_);
    return true;
}

void CParaViewerDlg::SaveSettings() {
    CIni* ini = site_.Settings();
    if (!ini) return;
    RECT r{};
    GetWindowRect(dialog_, &r);
    settings_.left = r.left;
    settings_.top = r.top;
    settings_.width = r.right - r.left;
    settings_.height = r.bottom - r.top;
    settings_.columns = host_->VisibleCount();
    settings_.file.clear();
    if (HasBook() && (textBook_ || dictionary_)) {
        settings_.file = textBook_ ? textBookPath_ : std::u16string(dictionary_->File().path);
        settings_.bookIndex = static_cast<int32_t>(bookId_);
        CParaView* view = host_->CurrentView();
        settings_.topPhrase = host_->TopPhrase();
        settings_.topOffset = view ? view->TopOffset() : 0;
        settings_.curPhrase = host_->CurrentPhrase();
        settings_.curColumn = host_->CurrentSlot();
        for (int32_t slot = 0; slot < host_->VisibleCount(); ++slot)
            settings_.languages[slot] = host_->model.Column(host_->Visible()[static_cast<size_t>(slot)]).language;
    }
    settings_.Save(*ini, textBook_);
}

namespace {

struct OpenFileState {
    IBookReaderSite* site;
    std::u16string* path;
};

INT_PTR CALLBACK OpenFileProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<OpenFileState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        state = reinterpret_cast<OpenFileState*>(lParam);
        SetDlgItemTextW(dialog, kOpenFilePath, W(*state->path));
        SetWindowTextW(dialog, W(state->site->Text(u"Book")));
        SetDlgItemTextW(dialog, IDOK, W(state->site->Text(u"OK")));
        SetDlgItemTextW(dialog, IDCANCEL, W(state->site->Text(u"Cancel")));
        SetDlgItemTextW(dialog, kHelp, W(state->site->Text(u"Help")));
        return TRUE;
    case WM_HELP:
        state->site->ShowHelp(dialog, kOpenFileHelpTopic);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kOpenFileBrowse: {
            wchar_t path[MAX_PATH] = {};
            GetDlgItemTextW(dialog, kOpenFilePath, path, MAX_PATH);
            if (FileNameDialog(W(state->site->Text(u"Select Input File")), path, false, 2, dialog))
                SetDlgItemTextW(dialog, kOpenFilePath, path);
            return TRUE;
        }
        case IDOK: {
            wchar_t path[MAX_PATH] = {};
            GetDlgItemTextW(dialog, kOpenFilePath, path, MAX_PATH);
            const DWORD attributes = GetFileAttributesW(path);
            if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                state->site->Ask(dialog, state->site->Text(u"The file was not found"),
                                 state->site->Text(u"File not found"), MB_OK | MB_ICONWARNING);
                return TRUE;
            }
            *state->path = reinterpret_cast<const char16_t*>(path);
            EndDialog(dialog, 1);
            return TRUE;
        }
        case IDCANCEL: EndDialog(dialog, 0); return TRUE;
        case kHelp: state->site->ShowHelp(dialog, kOpenFileHelpTopic); return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

}  // namespace

bool CParaViewerDlg::ChooseTextBook(IBookReaderSite& site, HWND owner, std::u16string& path) {
    using namespace dialog_class;
    DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK, u"Book", 260, 52);
    t.Add(kEdit, kOpenFilePath, u"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | WS_VISIBLE, 6, 8, 222, 13);
    t.Add(kButton, kOpenFileBrowse, u"...", BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 232, 8, 22, 13);
    t.Add(kButton, IDOK, u"OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 92, 30, 50, 14);
    t.Add(kButton, IDCANCEL, u"Cancel", BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 148, 30, 50, 14);
    t.Add(kButton, kHelp, u"Help", BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 204, 30, 50, 14);
    ReaderSettings settings;
    if (CIni* ini = site.Settings()) settings.Load(*ini);
    std::u16string chosen = settings.textFile;
    OpenFileState state{&site, &chosen};
    if (DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Get(), owner, OpenFileProc,
                                reinterpret_cast<LPARAM>(&state)) != 1)
        return false;
    if (CIni* ini = site.Settings()) ini->WriteString(kReaderSection, u"TextFile", chosen.substr(0, 259));
    path = chosen;
    return true;
}
