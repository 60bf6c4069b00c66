// The print and export engine, its dialog and the copy and drag entries.
#include "ui/print_dialog.h"

#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <memory>
#include <string>

#include "article/export_records.h"
#include "article/rtf_text.h"
#include "article/win/article_drag.h"
#include "article/win/clipboard_render.h"
#include "article/win/hidden_rich_edit.h"
#include "article/win/print_rich_edit.h"
#include "common/ui_text/ui_text.h"
#include "common/win/dialog_helpers.h"
#include "common/win/wide_text.h"
#include "resources/program/resource_ids.h"
#include "ui/application.h"
#include "ui/frame.h"
#include "ui/dialog_texts.h"
#include "ui/list_view.h"
#include "ui/test_hook_protocol.h"

namespace {

constexpr int32_t kHelpTopic = 145;
constexpr int32_t kPathUnits = 1024;
constexpr DWORD kProgressMs = 100;
constexpr int kCannotReadCaptionSlot = 529;
constexpr int kNothingToDoSlot = 602;
constexpr int kAskPrintSlot = 609;
constexpr int kTooManyCaptionSlot = 610;
constexpr int kPrintingPageSlot = 634;

constexpr ControlText kControlTexts[] = {
    {IDC_PRINT_LABEL, 614},         {IDC_PRINT_ALL, 615},          {IDC_PRINT_SELECTED, 616},
    {IDC_PRINT_TO_PRINTER, 618},    {IDC_PRINT_TO_FILE, 619},      {IDC_PRINT_TO_CLIPBOARD, 620},
    {IDC_PRINT_FILE_GROUP, 621},    {IDC_PRINT_OPEN_AFTER, 622},   {IDC_PRINT_FORMAT_GROUP, 623},
    {IDC_PRINT_EXPANDED, 624},      {IDC_PRINT_COMPACT, 625},      {IDC_PRINT_BLANK_LABEL, 626},
    {IDC_PRINT_SIZE_LABEL, 627},    {IDC_PRINT_COLORED, 628},      {IDC_PRINT_COLUMNS_LABEL, 629},
    {IDC_PRINT_JAPANESE_GROUP, 630}, {IDC_PRINT_KANJI_FIRST, 631}, {IDC_PRINT_TRANSLIT, 632},
    {IDC_PRINT_PROGRESS_LABEL, 636}, {IDOK, 637},                  {IDCANCEL, 638},
    {IDC_PRINT_HELP, 269},
};
constexpr int kDestinationRadios[] = {IDC_PRINT_TO_PRINTER, IDC_PRINT_TO_FILE, IDC_PRINT_TO_CLIPBOARD};
constexpr int kPathControls[] = {IDC_PRINT_FILE_GROUP, IDC_PRINT_PATH, IDC_PRINT_CHOOSE_FILE, IDC_PRINT_OPEN_AFTER};

std::wstring Text(int slot) { return WideString(UIStringTable[slot]); }

HWND MainWindow() { return g_frame != nullptr ? g_frame->Window() : nullptr; }

// Running out of memory in the middle of an export is what a small limit on
// the document makes happen at once: with the test hook on, the end-to-end
// tests set one (in bytes) through OSTREL_EXPORT_MEMORY_LIMIT.
size_t ExportMemoryLimit() {
    if (!TestHookRequested()) return SIZE_MAX;
    wchar_t value[24] = {};
    const DWORD units = GetEnvironmentVariableW(L"OSTREL_EXPORT_MEMORY_LIMIT", value, 24);
    if (units == 0 || units >= 24) return SIZE_MAX;
    const unsigned long long limit = std::wcstoull(value, nullptr, 10);
    return limit == 0 || limit > SIZE_MAX ? SIZE_MAX : static_cast<size_t>(limit);
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

bool FileExists(const std::u16string& path) {
    return GetFileAttributesW(WideString(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::u16string DocumentsFolder() {
    return g_application != nullptr ? g_application->documentsFolder : std::u16string();
}

// Marks the program busy with output (as a modal dialog does) while it lives.
class BusyWithOutput {
public:
    BusyWithOutput() : kept_(g_application != nullptr ? g_application->flags & app_flag::kModalDialog : 0) {
        if (g_application != nullptr) g_application->flags |= app_flag::kModalDialog;
    }
    ~BusyWithOutput() {
        if (g_application != nullptr) g_application->flags = (g_application->flags & ~app_flag::kModalDialog) | kept_;
    }
    BusyWithOutput(const BusyWithOutput&) = delete;
    BusyWithOutput& operator=(const BusyWithOutput&) = delete;

private:
    uint32_t kept_;
};

// Busy with output while the drag's data is rendered. A drop target may keep
// the data object after the drag, so the mark lives here, not with the drag.
void MarkRendering(bool rendering) {
    static std::unique_ptr<BusyWithOutput> busy;
    if (rendering) busy = std::make_unique<BusyWithOutput>();
    else busy.reset();
}

// Shows the dialog busy with a long export walk: Cancel has the focus and
// the progress label and count are shown. The other controls are not greyed:
// disabling and repainting each of them, and again when the walk ends, cost
// a tenth of a second of an export of 20,000 articles; instead the walk's
// message pump keeps their input from them (RunDialogMessages).
void ShowBusy(HWND dialog) {
    SetFocus(GetDlgItem(dialog, IDCANCEL));
    for (int id : {IDC_PRINT_PROGRESS_LABEL, IDC_PRINT_PROGRESS}) {
        ShowWindow(GetDlgItem(dialog, id), SW_SHOW);
        UpdateWindow(GetDlgItem(dialog, id));
    }
}

// Input the dialog takes while a walk runs: Escape, Enter and Space
// (Cancel has the focus, so each cancels), Alt+F4, and the mouse on Cancel
// or outside the controls (the title bar, the close box).
bool TakesInputWhileBusy(HWND dialog, const MSG& message) {
    const HWND cancel = GetDlgItem(dialog, IDCANCEL);
    if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) {
        if (message.message == WM_SYSKEYDOWN || message.message == WM_SYSKEYUP) return message.wParam == VK_F4;
        return message.wParam == VK_ESCAPE || message.wParam == VK_RETURN ||
               (message.wParam == VK_SPACE && message.hwnd == cancel);
    }
    if (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST)
        return message.hwnd == dialog || message.hwnd == cancel;
    return true;
}

// Runs what is waiting for the dialog and its controls (painting, a click
// on Cancel, Escape), and nothing of other windows: the list being output
// must not change under the walk.
void RunDialogMessages(HWND dialog) {
    MSG message;
    while (IsWindow(dialog) && PeekMessageW(&message, dialog, 0, 0, PM_REMOVE)) {
        if (!TakesInputWhileBusy(dialog, message)) continue;
        if (IsDialogMessageW(dialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The large-output question names what will be done with the articles.
std::u16string AskManyText(int32_t destination, int32_t entries) {
    const char16_t* text = destination == kExportToFile        ? UIExtra(UIExtraText::kAskSaveArticles)
                           : destination == kExportToClipboard ? UIExtra(UIExtraText::kAskCopyArticles)
                                                               : UIStringTable[kAskPrintSlot];
    return FormatInterfaceText(text, {entries});
}

// Tells, in one box, what a build of `entries` entries left out (memory ran
// out, articles could not be read) and, when its document would hold no
// text, that nothing goes to `destination`: no empty file, no blank page, and
// the clipboard keeps what the user had there. A document memory cut short
// is not copied either: a part of what was asked for would replace what the
// user had on the clipboard. True when the document is to be output.
bool TellBuilt(HWND owner, ArticleExportBuilder& builder, int32_t entries, int32_t destination) {
    CRtfDocumentBuilder* document = builder.Document();
    if (document == nullptr) return false;
    std::u16string text;
    const char16_t* caption = nullptr;
    auto add = [&](std::u16string line, const char16_t* lineCaption) {
        if (!text.empty()) text += u"\n";
        text += line;
        if (caption == nullptr) caption = lineCaption;
    };
    // The entry the memory ran out on is not in the document.
    if (document->Cut())
        add(FormatInterfaceText(UIExtra(UIExtraText::kExportCut), {std::max(builder.Processed() - 1, 0), entries}),
            UIStringTable[kNotEnoughMemorySlot]);
    if (builder.Skipped() > 0)
        add(FormatInterfaceText(UIExtra(UIExtraText::kExportSkipped), {builder.Skipped(), entries}),
            UIStringTable[kCannotReadCaptionSlot]);
    const bool holdsText = DocumentHoldsText(*document);
    const bool cutCopy = document->Cut() && destination == kExportToClipboard;
    if (cutCopy && holdsText) add(UIExtra(UIExtraText::kCutNotCopied), UIStringTable[kNotEnoughMemorySlot]);
    if (!holdsText)
        add(UIExtra(destination == kExportToFile        ? UIExtraText::kNoTextSaved
                    : destination == kExportToClipboard ? UIExtraText::kNoTextCopied
                                                        : UIExtraText::kNoTextPrinted),
            UIStringTable[kNothingToDoSlot]);
    if (!text.empty()) ShowBox(owner, text, caption, MB_OK | MB_ICONEXCLAMATION);
    return holdsText && !cutCopy;
}

// Options read from the settings file (clamped), defaults without one.
ExportOptions StoredOptions() {
    return g_application != nullptr && g_application->ini ? LoadExportOptions(*g_application->ini) : ExportOptions();
}

void FillList(HWND dialog, int id, std::initializer_list<int32_t> items, int32_t selected) {
    HWND list = GetDlgItem(dialog, id);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (int32_t item : items) SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_wstring(item).c_str()));
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int32_t ListChoice(HWND dialog, int id) {
    return static_cast<int32_t>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

}  // namespace

CPrintDlg::CPrintDlg() = default;
CPrintDlg::~CPrintDlg() = default;

CPrintDlg& PrintEngine() {
    static CPrintDlg engine;
    // Every route's document (dialog, Copy text) is held to the same limit.
    static const bool limited = (engine.builder.memoryLimit = ExportMemoryLimit(), true);
    (void)limited;
    return engine;
}

int32_t CPrintDlg::CountEntries() {
    const int32_t count = view == nullptr ? 0 : wholeList ? view->GetRowCount() : view->selection.Count();
    if (dialog != nullptr)
        SetDlgItemTextW(dialog, IDC_PRINT_COUNT, (Text(617) + L"  " + std::to_wstring(count)).c_str());
    return count;
}

CRtfDocumentBuilder* CPrintDlg::BuildRtf() {
    if (view == nullptr || view->model == nullptr) return nullptr;
    WordListExportRecords records(*view->model, wholeList ? nullptr : &view->selection);
    // Once the walk has run for a tenth of a second, the dialog shows it is
    // busy and the running count, at most ten times a second and at the end;
    // its own messages run meanwhile, so it is drawn and its Cancel stops the
    // walk at once. A shorter walk leaves the dialog as it is.
    const DWORD started = GetTickCount();
    DWORD shown = 0;
    bool busy = false;
    builder.progress = [&, total = records.Count()](int32_t number) {
        if (dialog == nullptr || !building_) return true;
        const DWORD now = GetTickCount();
        if (busy ? number != total && now - shown < kProgressMs : now - started < kProgressMs) return true;
        if (!busy) ShowBusy(dialog);
        busy = true;
        shown = now;
        HWND count = GetDlgItem(dialog, IDC_PRINT_PROGRESS);
        SetWindowTextW(count, std::to_wstring(number).c_str());
        UpdateWindow(count);
        RunDialogMessages(dialog);
        return !cancelled_;
    };
    CRtfDocumentBuilder* document = builder.BuildRtf(records, options);
    builder.progress = nullptr;
    return document;
}

int32_t CPrintDlg::Output(int32_t destination) {
    CRtfDocumentBuilder* document = builder.Document();
    if (document == nullptr) return 0;
    if (destination == kExportToFile) {
        if (document->SaveToFile(path.c_str()) != 1) return 0;
        if (openAfter) {
            const auto opened = reinterpret_cast<INT_PTR>(
                ShellExecuteW(MainWindow(), L"open", WideString(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
            if (opened > 32) return 1;
        }
        ShowSlotBox(dialog != nullptr ? dialog : MainWindow(), 607, 608, MB_OK | MB_ICONINFORMATION);
        return 1;
    }
    if (destination == kExportToClipboard)
        return TellClipboardCopy(dialog != nullptr ? dialog : MainWindow(),
                                 PutDocumentOnClipboard(MainWindow(), *document)) ? 1 : 0;
    if (!printer_) {
        printer_ = std::make_unique<ChosenPrinter>();
        if (!printer_->Choose(dialog != nullptr ? dialog : MainWindow())) {
            printer_.reset();
            return 0;
        }
    }
    // Page by page, each page's articles streamed in as it comes: the label
    // names the page, and Cancel stops the job before the next one.
    HiddenRichEdit hidden(MainWindow());
    building_ = dialog != nullptr;
    const int32_t printed = PrintDocument(hidden.Window(), printer_->Dc(), *document, options.columns, [&](int32_t page) {
        if (dialog == nullptr) return true;
        ShowBusy(dialog);
        SetDlgItemTextW(dialog, IDC_PRINT_PROGRESS_LABEL,
                        WideString(FormatInterfaceText(UIStringTable[kPrintingPageSlot], {page})).c_str());
        ShowWindow(GetDlgItem(dialog, IDC_PRINT_PROGRESS), SW_HIDE);
        UpdateWindow(GetDlgItem(dialog, IDC_PRINT_PROGRESS_LABEL));
        RunDialogMessages(dialog);
        return !cancelled_;
    });
    building_ = false;
    printer_.reset();
    return printed;
}

void CPrintDlg::Reset() {
    builder.Reset();
    printer_.reset();
    dialog = nullptr;
    view = nullptr;
}

void CPrintDlg::InitDialog(HWND window) {
    dialog = window;
    SetWindowTextW(window, Text(639).c_str());
    SetControlTexts(window, kControlTexts);
    path = DefaultExportFileName(path, DocumentsFolder(), FileExists);
    SetDlgItemTextW(window, IDC_PRINT_PATH, WideString(path).c_str());
    SendDlgItemMessageW(window, IDC_PRINT_PATH, EM_LIMITTEXT, kPathUnits - 1, 0);
    CheckRadioButton(window, IDC_PRINT_ALL, IDC_PRINT_SELECTED, wholeList ? IDC_PRINT_ALL : IDC_PRINT_SELECTED);
    CheckDlgButton(window, kDestinationRadios[options.destination], BST_CHECKED);
    CheckDlgButton(window, IDC_PRINT_OPEN_AFTER, openAfter ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window, options.formatCompressed ? IDC_PRINT_COMPACT : IDC_PRINT_EXPANDED, BST_CHECKED);
    CheckDlgButton(window, IDC_PRINT_COLORED, options.formatColored ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window, IDC_PRINT_KANJI_FIRST, options.startKanji ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window, IDC_PRINT_TRANSLIT, options.translit ? BST_CHECKED : BST_UNCHECKED);
    FillList(window, IDC_PRINT_BLANK_LINES, {0, 1, 2, 3, 4}, options.addBlankLines);
    const auto size = std::find(kExportFontSizes.begin(), kExportFontSizes.end(), options.fontSize);
    FillList(window, IDC_PRINT_FONT_SIZE, {8, 9, 10, 11, 12, 14, 16, 18, 20, 24},
             size != kExportFontSizes.end() ? static_cast<int32_t>(size - kExportFontSizes.begin()) : 2);
    FillList(window, IDC_PRINT_COLUMNS, {1, 2, 3}, options.columns - 1);
    ShowWindow(GetDlgItem(window, IDC_PRINT_PROGRESS_LABEL), SW_HIDE);
    ShowWindow(GetDlgItem(window, IDC_PRINT_PROGRESS), SW_HIDE);
    EnablePath();
    CountEntries();
}

void CPrintDlg::EnablePath() {
    for (int id : kPathControls) EnableWindow(GetDlgItem(dialog, id), options.destination == kExportToFile);
}

void CPrintDlg::ReadDialog() {
    wholeList = Checked(dialog, IDC_PRINT_ALL) ? 1 : 0;
    for (int32_t d = 0; d < 3; ++d)
        if (Checked(dialog, kDestinationRadios[d])) options.destination = d;
    wchar_t text[kPathUnits] = {};
    GetDlgItemTextW(dialog, IDC_PRINT_PATH, text, kPathUnits);
    path = std::u16string(Char16View(text));
    openAfter = Checked(dialog, IDC_PRINT_OPEN_AFTER) ? 1 : 0;
    options.formatScreen = Checked(dialog, IDC_PRINT_EXPANDED) ? 1 : 0;
    options.formatCompressed = Checked(dialog, IDC_PRINT_COMPACT) ? 1 : 0;
    options.formatColored = Checked(dialog, IDC_PRINT_COLORED) ? 1 : 0;
    options.startKanji = Checked(dialog, IDC_PRINT_KANJI_FIRST) ? 1 : 0;
    options.translit = Checked(dialog, IDC_PRINT_TRANSLIT) ? 1 : 0;
    const int32_t blank = ListChoice(dialog, IDC_PRINT_BLANK_LINES);
    if (blank >= 0) options.addBlankLines = blank;
    const int32_t size = ListChoice(dialog, IDC_PRINT_FONT_SIZE);
    options.fontSize = size >= 0 && size < static_cast<int32_t>(kExportFontSizes.size())
                           ? kExportFontSizes[static_cast<size_t>(size)]
                           : 10;
    const int32_t columns = ListChoice(dialog, IDC_PRINT_COLUMNS);
    options.columns = columns >= 0 ? columns + 1 : 2;
    options = ClampExportOptions(options);
}

void CPrintDlg::OnOk() {
    ReadDialog();
    const int32_t entries = CountEntries();
    if (entries <= 0) {
        ShowSlotBox(MainWindow(), 601, 602, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (AsksBeforeOutput(entries, options.destination) &&
        ShowBox(dialog, AskManyText(options.destination, entries), UIStringTable[kTooManyCaptionSlot],
                MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (options.destination == kExportToFile && FileExists(path) &&
        ShowSlotBox(dialog, 611, 612, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
        SetFocus(GetDlgItem(dialog, IDC_PRINT_PATH));
        return;
    }
    // The printer is asked for before anything is prepared for it: a user
    // without one, or who cancels its dialog, waits for nothing.
    printer_.reset();
    if (options.destination == kExportToPrinter) {
        printer_ = std::make_unique<ChosenPrinter>();
        if (!printer_->Choose(dialog)) {
            printer_.reset();
            return;
        }
    }
    cancelled_ = false;
    CRtfDocumentBuilder* document = BuildInDialog();
    if (cancelled_) {
        printer_.reset();
        EndDialog(dialog, -1);
        return;
    }
    if (document == nullptr || !TellBuilt(dialog, builder, entries, options.destination)) {
        printer_.reset();
        return;
    }
    if (Output(options.destination) == 1 || cancelled_) EndDialog(dialog, cancelled_ ? -1 : 1);
}

CRtfDocumentBuilder* CPrintDlg::BuildInDialog() {
    building_ = true;
    cancelled_ = false;
    CRtfDocumentBuilder* document = BuildRtf();
    building_ = false;
    return document;
}

void CPrintDlg::ChooseFile() {
    wchar_t file[260] = {};
    std::wstring folder;
    if (path.empty()) {
        folder = WideString(DocumentsFolder());
    } else {
        const size_t cut = path.find_last_of(u"\\/:");
        folder = WideString(cut == std::u16string::npos ? std::u16string() : path.substr(0, cut + 1));
        const std::wstring name = WideString(cut == std::u16string::npos ? path : path.substr(cut + 1));
        name.copy(file, std::min<size_t>(name.size(), 259));
    }
    OPENFILENAMEW chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = dialog;
    // The text holds the filter's two zero-separated parts.
    const std::u16string_view title(UIStringTable[640]);
    const std::u16string_view pattern(UIStringTable[640] + title.size() + 1);
    std::wstring filter = WideString(title);
    filter += L'\0';
    filter += WideString(pattern);
    filter += L'\0';
    chooser.lpstrFilter = filter.c_str();
    chooser.lpstrFile = file;
    chooser.nMaxFile = 260;
    chooser.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    const std::wstring caption = Text(156);
    chooser.lpstrTitle = caption.c_str();
    chooser.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_SHAREAWARE;
    if (!GetSaveFileNameW(&chooser)) return;
    path = std::u16string(Char16View(file));
    SetDlgItemTextW(dialog, IDC_PRINT_PATH, file);
}

INT_PTR CALLBACK CPrintDlg::PrintDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<CPrintDlg*>(lParam)->InitDialog(window);
        return TRUE;
    }
    auto* self = reinterpret_cast<CPrintDlg*>(GetWindowLongPtrW(window, DWLP_USER));
    if (self == nullptr) return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (self->building_) {
            // An export is running: Cancel (the button, Escape, the close
            // box) stops it; nothing else acts until it ends.
            if (LOWORD(wParam) == IDCANCEL) self->cancelled_ = true;
            return TRUE;
        }
        switch (LOWORD(wParam)) {
        case IDC_PRINT_TO_PRINTER:
        case IDC_PRINT_TO_FILE:
        case IDC_PRINT_TO_CLIPBOARD:
            for (int32_t d = 0; d < 3; ++d)
                if (LOWORD(wParam) == kDestinationRadios[d]) self->options.destination = d;
            self->EnablePath();
            return TRUE;
        case IDC_PRINT_ALL:
        case IDC_PRINT_SELECTED:
            self->wholeList = LOWORD(wParam) == IDC_PRINT_ALL ? 1 : 0;
            self->CountEntries();
            return TRUE;
        case IDC_PRINT_CHOOSE_FILE:
            self->ChooseFile();
            return TRUE;
        case IDOK:
            self->OnOk();
            return TRUE;
        case IDCANCEL:
            EndDialog(window, -1);
            return TRUE;
        case IDC_PRINT_HELP:
            if (g_application != nullptr) g_application->ShowHelpTopic(window, kHelpTopic);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_HELP:
        if (g_application != nullptr) g_application->ShowHelpTopic(window, kHelpTopic);
        return TRUE;
    case WM_DESTROY:
        self->dialog = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR RunPrintDialog(ListView& view) {
    CPrintDlg& engine = PrintEngine();
    engine.options = StoredOptions();
    engine.view = &view;
    INT_PTR result = 0;
    {
        BusyWithOutput busy;
        result = DialogBoxParamW(GetModuleHandleW(nullptr), L"PRINT", MainWindow(), &CPrintDlg::PrintDialogProc,
                                 reinterpret_cast<LPARAM>(&engine));
    }
    if (g_application != nullptr && g_application->ini) SaveExportOptions(*g_application->ini, engine.options);
    engine.Reset();
    return result;
}

int32_t CopyListSelectionAsRtf(ListView& view) {
    BusyWithOutput busy;
    CPrintDlg& engine = PrintEngine();
    const int32_t wholeList = engine.wholeList;
    engine.wholeList = 0;
    engine.view = &view;
    engine.options = StoredOptions();
    int32_t copied = 0;
    const int32_t entries = engine.CountEntries();
    if (entries > 0 && engine.BuildRtf() != nullptr &&
        TellBuilt(MainWindow(), engine.builder, entries, kExportToClipboard))
        copied = TellClipboardCopy(MainWindow(), PutDocumentOnClipboard(MainWindow(), *engine.builder.Document())) ? 1 : 0;
    engine.wholeList = wholeList;
    engine.Reset();
    return copied;
}

void StartListDrag(ListView& view) {
    if (view.model == nullptr) return;
    DWORD effect = DROPEFFECT_NONE;
    StartArticleDrag(*view.model, view.selection, StoredOptions(), &effect, &MarkRendering);
}
