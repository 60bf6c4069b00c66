// FrameShelf: the shelf's list views in the main window (IFrameLists), the
// shelf's window side (IShelfHost), the input box as the search reads it
// (IInputBox) and what the list views need of the program (IListViewSite).
#include "ui/frame_shelf.h"

#include <objbase.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>

#include "article/formatted_text.h"
#include "article/list_cells.h"
#include "article/list_entry_texts.h"
#include "article/list_window_rules.h"
#include "article/win/article_view.h"
#include "article/win/rich_edit_stream.h"
#include "common/settings/registry_values.h"
#include "common/settings/win/registry_store.h"
#include "common/win/wide_text.h"
#include "dictionary/dictionary.h"
#include "dictionary/full_text_query_search.h"
#include "dictionary/win/mouse_move_probe.h"
#include "dictionary/word_list.h"
#include "dictionary/word_list_entry.h"
#include "storage/global_engine.h"
#include "ui/application.h"
#include "ui/command_rules.h"
#include "ui/deinflection_note.h"
#include "ui/frame.h"
#include "ui/font_sets.h"
#include "ui/print_dialog.h"

namespace {

constexpr int32_t kMaxShelfSteps = 100;
constexpr int32_t kHintMargin = 4;

}  // namespace

FrameShelf::FrameShelf(CFrame& frame) : frame_(frame) {
    if (g_application && g_application->ini) ProgramListLayouts().LoadViewOptions(*g_application->ini);
    if (g_application) listFiles_.SetSettings(g_application->ini.get());
    InstallListCellTexts(&query_);
    ListView::startDrag = &StartListDrag;
    shelf_ = std::make_unique<CShelf>(*GlobalEngine(), this, input_, [this](int32_t viewKind, WordList* model) {
        model->entryTextReader = &ReadEntryColumnTexts;
        if (!model->IsStored()) model->mouseMovePending = &MouseMovePending;
        return std::make_unique<ListView>(viewKind, model, *this);
    });
    SetEditorFactory([]() -> std::unique_ptr<CEditor> { return std::make_unique<ArticleEditor>(); });
    SetEditorHost(this);
}

FrameShelf::~FrameShelf() {
    CloseAllEditors();
    SetEditorHost(nullptr);
    shelf_.reset();
    article_.reset();
}

ListView* FrameShelf::CurrentView() const { return static_cast<ListView*>(shelf_->CurrentView()); }

ListView* FrameShelf::ViewOfKind(int32_t kind) { return static_cast<ListView*>(shelf_->FindView(kind)); }

// ---- IFrameLists --------------------------------------------------------

void FrameShelf::CreateListWindows(HWND parent) {
    if (!article_) {
        article_ = std::make_unique<CArticleView>(parent, 0, 0, 100, 100);
        frame_.articleView = article_->Window();
        frame_.articleEdit = article_->RichEditWindow();
    }
    for (int32_t i = 0; i < shelf_->ViewCount(); ++i) {
        auto* view = static_cast<ListView*>(shelf_->ViewAt(i));
        if (!view->Window()) view->Create(parent, 0, 0, 100, 100);
    }
}

HWND FrameShelf::CurrentListWindow() { return CurrentView() ? CurrentView()->Window() : nullptr; }

int32_t FrameShelf::CurrentKind() { return CurrentView() ? CurrentView()->viewKind : 0; }

int32_t FrameShelf::SetCurrentListByKind(int32_t kind) { return shelf_->SetCurrentListByKind(kind); }

void FrameShelf::RedrawLists() {
    ListView* current = CurrentView();
    for (int32_t i = 0; i < shelf_->ViewCount(); ++i) {
        auto* view = static_cast<ListView*>(shelf_->ViewAt(i));
        if (view != current && view->Window()) ShowWindow(view->Window(), SW_HIDE);
    }
    if (current && current->Window()) {
        current->Show(SW_SHOW);
        current->UpdateView();
    }
    frame_.UpdateStatusBar();
}

void FrameShelf::MoveListWindows(int32_t x, int32_t y, int32_t width, int32_t height) {
    for (int32_t i = 0; i < shelf_->ViewCount(); ++i) static_cast<ListView*>(shelf_->ViewAt(i))->Move(x, y, width, height);
}

std::u16string FrameShelf::CurrentDictionaryPath() {
    ListView* view = CurrentView();
    RDFDictionary* dictionary = view ? view->GetCurrentDictionary() : nullptr;
    return dictionary ? std::u16string(dictionary->File().path) : std::u16string();
}

int32_t FrameShelf::SelectStartList(int32_t fallback) { return shelf_->SelectStartList(fallback); }

uint32_t FrameShelf::UpdateInput() { return static_cast<uint32_t>(input_.Update(*this)); }

uint32_t FrameShelf::SearchedInputCounter() {
    return CurrentView() ? static_cast<uint32_t>(CurrentView()->inputCounter) : 0;
}

bool FrameShelf::TranslationShowsInput() {
    ListView* view = CurrentView();
    if (!view || view->viewKind != kViewTranslatedWords || !view->model) return false;
    input_.Update(*this);
    // A row the user picked since is no longer what a translation shows.
    return view->inputCounter == input_.changeCounter && view->inputSelectionStart == input_.selectionStart &&
           view->currentRow == translationRow_;
}

void FrameShelf::SearchAsYouType() {
    ListView* view = CurrentView();
    if (!view) return;
    if (view->viewKind == kViewSearchResults && view->model) {
        input_.Update(*this);
        view->model->Clear();
        queryText_ = input_.text;
        FillFromQuery(*view->model, query_, queryText_);
        view->inputCounter = input_.changeCounter;
        view->GoToFirst();
        // A dictionary whose full-text index the engine refused gave nothing:
        // said once, when the list it switched to shows.
        view->PostTellRefusals();
        return;
    }
    view->SearchAsYouType(input_, *this);
}

void FrameShelf::RunQueryAgain(ListView& view) {
    // Nothing searched yet (the shelf's first refresh runs while it is made).
    if (!view.model || !shelf_ || queryText_.empty()) return;
    view.SetCurrent(RefillFromFullTextQuery(*view.model, query_, queryText_, view.currentRow));
    view.PostTellRefusals();
}

void FrameShelf::OnListCommand(uint32_t id) {
    if (OpenEditorFor(id)) return;
    if (ListView* view = CurrentView()) view->OnCommand(id);
}

void FrameShelf::RepaintPage() {
    if (ListView* view = CurrentView()) view->RepaintPage();
}

int32_t FrameShelf::RowCount() { return CurrentView() ? CurrentView()->GetRowCount() : 0; }

int32_t FrameShelf::CurrentRow() { return CurrentView() ? CurrentView()->currentRow : -1; }

int32_t FrameShelf::SelectedCount() { return CurrentView() ? CurrentView()->selection.Count() : 0; }

uint32_t FrameShelf::CurrentRowDictionaryFlags() {
    RDFDictionary* dictionary = CurrentView() ? CurrentView()->GetCurrentDictionary() : nullptr;
    return dictionary ? dictionary->flags : 0;
}

bool FrameShelf::CurrentRowDictionaryIsWorking() {
    RDFDictionary* dictionary = CurrentView() ? CurrentView()->GetCurrentDictionary() : nullptr;
    return dictionary && dictionary == shelf_->GetWorkingDictionary();
}

bool FrameShelf::CurrentRecordDeleted() {
    RDFDictionary* dictionary = CurrentView() ? CurrentView()->GetCurrentDictionary() : nullptr;
    return dictionary && dictionary->deletedRecord != 0;
}

std::u16string FrameShelf::WorkingDictionaryPath() {
    RDFDictionary* working = shelf_->GetWorkingDictionary();
    return working ? std::u16string(working->File().path) : std::u16string();
}

int32_t FrameShelf::ConversionMode() { return CurrentView() ? CurrentView()->conversionMode : 0; }

bool FrameShelf::ConversionModeAllowed() { return CurrentView() && CurrentView()->conversionAvailable; }

void FrameShelf::SetConversionMode(int32_t mode) {
    if (ListView* view = CurrentView()) view->conversionMode = mode;
}

// Whether the history holds an entry on an open dictionary before (or after) the current one.
bool FrameShelf::CanGoBack() {
    CHistory& history = shelf_->History();
    for (int32_t at = history.Position() - 1; at >= 0; --at)
        if (shelf_->IsOpenOnShelf(history.EntryAt(at).dictionary)) return true;
    return false;
}

bool FrameShelf::CanGoForward() {
    CHistory& history = shelf_->History();
    if (history.Position() < 0) return false;
    for (int32_t at = history.Position() + 1; at <= history.Newest() && at < CHistory::kCapacity - 1; ++at)
        if (shelf_->IsOpenOnShelf(history.EntryAt(at).dictionary)) return true;
    return false;
}

void FrameShelf::HistoryBack() { shelf_->History().Back(); }

void FrameShelf::HistoryForward() { shelf_->History().Forward(); }

void FrameShelf::DeleteAllDictionaries() {
    while (shelf_->DictionaryCount() > 0) shelf_->DeleteDictionary(shelf_->GetDictionary(shelf_->DictionaryCount() - 1));
}

int32_t FrameShelf::DictionaryCount() { return shelf_->DictionaryCount(); }

std::u16string FrameShelf::VisibleCellText(int32_t row, int32_t cell) {
    return CurrentView() ? CurrentView()->CellTextForHook(row, cell) : std::u16string();
}

bool FrameShelf::LoadSelectedList(const std::u16string& path) {
    ListView* view = ViewOfKind(kViewSelected);
    if (!view || !view->model) return false;
    // The loader answers 0 after a load; a missing file loads as an empty list.
    view->model->LoadFile(listFiles_, path);
    view->GoToLast();
    return true;
}

void FrameShelf::SaveSelectedListIfChanged() {
    ListView* view = ViewOfKind(kViewSelected);
    if (view && view->model && (view->model->flags & kListModified) && !view->model->fileName.empty())
        view->model->SaveFile(listFiles_, view->model->fileName);
}

bool FrameShelf::SaveSelectedListBeforeExit() {
    ListView* view = ViewOfKind(kViewSelected);
    return !view || !view->model || view->model->SaveBeforeExit(listFiles_) != kListCloseCancelled;
}

std::u16string FrameShelf::SelectedListPath() {
    ListView* view = ViewOfKind(kViewSelected);
    return view && view->model ? view->model->fileName : std::u16string();
}

void FrameShelf::ClearTranslationList() {
    ListView* view = ViewOfKind(kViewTranslatedWords);
    if (!view) return;
    view->Clear();
    view->GoToFirst();
}

void FrameShelf::SelectArticleId(int32_t recordId) {
    ListView* view = ViewOfKind(kViewTranslatedWords);
    if (!view || !view->model) return;
    for (int32_t row = 0; row < view->GetRowCount(); ++row) {
        const WordListEntry* entry = view->model->RowEntry(row);
        if (entry && entry->recordId == static_cast<uint32_t>(recordId)) {
            view->SetCurrent(row);
            return;
        }
    }
}

int32_t FrameShelf::TopRow() { return CurrentView() ? std::max(CurrentView()->topRow, 0) : 0; }

void FrameShelf::ApplyFontsToViews() {
    for (int32_t i = 0; i < shelf_->ViewCount(); ++i) static_cast<ListView*>(shelf_->ViewAt(i))->ApplyFonts();
}

void FrameShelf::SaveViewOptions() {
    if (g_application && g_application->ini) ProgramListLayouts().SaveViewOptions(*g_application->ini);
}

// ---- IShelfHost ---------------------------------------------------------

bool FrameShelf::FileExists(std::u16string_view path) {
    return GetFileAttributesW(WideString(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

int32_t FrameShelf::EnsureTab(int32_t command) {
    return frame_.FindOrInsertListTab(ListKindOfCommand(static_cast<uint32_t>(command)), static_cast<uint32_t>(command), true);
}

void FrameShelf::RemoveTab(int32_t command) {
    frame_.FindOrInsertListTab(ListKindOfCommand(static_cast<uint32_t>(command)), static_cast<uint32_t>(command), false);
}

int32_t FrameShelf::SelectedTabCommand() { return static_cast<int32_t>(frame_.SelectedTabCommand()); }

void FrameShelf::PostCommand(int32_t command) {
    if (frame_.Window()) PostMessageW(frame_.Window(), WM_COMMAND, static_cast<WPARAM>(command), 0);
}

void FrameShelf::UpdateCommandState(int32_t command) { frame_.UpdateCommandStates(static_cast<uint32_t>(command)); }

std::u16string FrameShelf::InstallationId() {
    std::u16string id;
    RegGetString(kInstallationIdValue, id);
    return id;
}

std::u16string FrameShelf::NewGuidText() {
    GUID guid{};
    wchar_t text[64] = {};
    if (FAILED(CoCreateGuid(&guid)) || !StringFromGUID2(guid, text, 64)) return {};
    return std::u16string(Char16View(text));
}

std::u16string FrameShelf::LocalTimeText() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof(text), "%d-%02d-%02d %02d:%02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

// ---- IInputBox ----------------------------------------------------------

std::u16string FrameShelf::Text() const {
    HWND box = frame_.InputBox();
    if (!box) return {};
    int32_t length = GetWindowTextLengthW(box);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int32_t copied = GetWindowTextW(box, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return std::u16string(Char16View(text));
}

void FrameShelf::Selection(int32_t& start, int32_t& end) const {
    CHARRANGE range{};
    if (frame_.InputBox()) SendMessageW(frame_.InputBox(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    start = range.cpMin;
    end = range.cpMax;
}

void FrameShelf::HighlightInputRange(int32_t first, int32_t last) {
    HWND box = frame_.InputBox();
    // Every search clears the highlight: a box with none is left alone, since
    // each colour change is an edit the box's undo takes back first (and the
    // search that follows the undo colours again), so Ctrl+Z would never
    // reach what the user typed, cut or pasted.
    if (!box || (last <= first && !inputHighlighted_)) return;
    inputHighlighted_ = last > first;
    Application* app = g_application;
    if (app) ++app->inputBusy;
    CHARRANGE kept{};
    SendMessageW(box, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    SendMessageW(box, WM_SETREDRAW, FALSE, 0);
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_COLOR;
    SendMessageW(box, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    if (last > first) {
        CHARRANGE range{first, last};
        SendMessageW(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        format.crTextColor = RGB(255, 0, 0);
        SendMessageW(box, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    }
    SendMessageW(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    SendMessageW(box, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box, nullptr, FALSE);
    if (app) --app->inputBusy;
}

// ---- IListViewSite ------------------------------------------------------

bool FrameShelf::IsCurrentView(const ListViewModel* view) { return view && view == shelf_->CurrentView(); }

RDFDictionary* FrameShelf::WorkingDictionary() { return shelf_->GetWorkingDictionary(); }

int32_t FrameShelf::OpenDictionariesFrom(const RDFDictionary* dictionary) {
    int32_t count = 0, steps = 0;
    for (const RDFDictionary* d = dictionary; d && steps < kMaxShelfSteps; d = d->next, ++steps)
        if (d->flags & kDictionaryOpen) ++count;
    return count;
}

void FrameShelf::ShowArticle(const FormattedText* article) {
    if (!article_) return;
    if (!article || article->Length() <= 0) {
        article_->SetArticle(nullptr, 0, nullptr, true);
        return;
    }
    switch (article->Kind()) {
    case FormattedTextKind::Rtf: {
        std::string_view document = article->RtfDocument();
        StreamIntoRichEdit(article_->RichEditWindow(), SF_RTF, document.data(), static_cast<int32_t>(document.size()));
        break;
    }
    case FormattedTextKind::PlainWithLinks:
        ShowLexiconHint(article->Text());
        break;
    case FormattedTextKind::Styled: {
        std::u16string text(article->Text());
        ArticleNulsToLineBreaks(text);
        article_->SetArticle(text.data(), static_cast<int32_t>(text.size()), article->Attributes().data(), true);
        break;
    }
    }
    // The note of an inflected word of the translated-words list is put
    // above the article by the list view that shows it (ShowListNote).
}

// Plain text with margins 4 and 4; each "<<...>>" becomes a link between
// hidden delimiters.
void FrameShelf::ShowLexiconHint(std::u16string_view text) {
    HWND edit = article_->RichEditWindow();
    article_->SetArticle(text.data(), static_cast<int32_t>(text.size()), nullptr, true);
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(kHintMargin, kHintMargin));
    SendMessageW(edit, EM_SETREADONLY, FALSE, 0);
    auto format = [edit](size_t from, size_t to, DWORD mask, DWORD effects) {
        CHARRANGE range{static_cast<LONG>(from), static_cast<LONG>(to)};
        SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARFORMAT2W f{};
        f.cbSize = sizeof(f);
        f.dwMask = mask;
        f.dwEffects = effects;
        SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
    };
    for (size_t open = text.find(u"<<"); open != std::u16string_view::npos; open = text.find(u"<<", open + 2)) {
        size_t close = text.find(u">>", open + 2);
        if (close == std::u16string_view::npos) break;
        format(open, open + 2, CFM_HIDDEN, CFE_HIDDEN);
        format(open + 2, close, CFM_LINK, CFE_LINK);
        format(close, close + 2, CFM_HIDDEN, CFE_HIDDEN);
        open = close;
    }
    CHARRANGE start{0, 0};
    SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
    SendMessageW(edit, EM_SETEVENTMASK, 0, SendMessageW(edit, EM_GETEVENTMASK, 0, 0) | ENM_LINK);
    SendMessageW(edit, EM_SETREADONLY, TRUE, 0);
    InvalidateRect(edit, nullptr, TRUE);
}

void FrameShelf::AddToHistory(ListViewModel& view, const CCursor& cursor, int32_t pageOffset) {
    if (showingAgain_) return;
    shelf_->History().Add(&view, &cursor, pageOffset);
}

void FrameShelf::ShowCurrentArticleAgain() {
    ListView* view = CurrentView();
    if (view == nullptr) return;
    showingAgain_ = true;
    view->ShowCurrentArticle();
    showingAgain_ = false;
}

void FrameShelf::ScrollInputToRange(int32_t start, int32_t end) {
    HWND box = frame_.InputBox();
    if (!box || frame_.InputSelectionHeld() || showingAgain_) return;
    int32_t first = start, last = end;
    if (input_.GetSelectionWordRange(first, last) == 0) {
        first = start;
        last = end;
    }
    Application* app = g_application;
    if (app) ++app->inputBusy;
    CHARRANGE range{first, last};
    SendMessageW(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SendMessageW(box, EM_SCROLLCARET, 0, 0);
    if (app) --app->inputBusy;
    Selection(highlightStart_, highlightEnd_);
    highlightedText_ = Text();
}

bool FrameShelf::InputSelectionIsOwnHighlight() {
    int32_t start = 0, end = 0;
    Selection(start, end);
    return start != end && start == highlightStart_ && end == highlightEnd_ && Text() == highlightedText_;
}
