// The dictionaries dialog: the installed list (control 1294) with its
// toolbar, check boxes, context menu and custom-drawn selection, and the
// commands that change the shelf. Each change is applied at once.
#include "ui/dictionaries_dialog.h"

#include <commctrl.h>

#include <cwchar>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

#include "common/base/number_format.h"
#include "common/settings/settings_keys.h"
#include "common/ui_text/ui_text.h"
#include "common/win/dialog_helpers.h"
#include "common/win/file_dialogs.h"
#include "dictionary/article_editors.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_list_rules.h"
#include "dictionary/format_detection.h"
#include "dictionary/shelf.h"
#include "resources/program/dialog_ids.h"
#include "resources/program/resource_ids.h"
#include "ui/application.h"
#include "ui/command_ids.h"
#include "ui/convert_dialog.h"
#include "ui/dialog_procedure.h"
#include "ui/dialog_texts.h"
#include "ui/dictionaries_server_panel.h"
#include "ui/dictionary_properties_dialog.h"
#include "ui/frame.h"
#include "ui/optimize_dialog.h"

HWND g_dictionariesDialog = nullptr;

bool DictionaryHasOpenEditors(const CDictionary& dictionary) { return HasOpenEditors(dictionary); }

bool CloseDictionaryEditors(CDictionary& dictionary) { return CloseAllEditors(dictionary, true) != 2; }

namespace {

constexpr int kMaxRows = 100;
constexpr int kHelpTopic = 123;
constexpr UINT_PTR kTimerId = 1;
constexpr COLORREF kSelectedBackground = 0x7F0000;
constexpr int kContextMenuPosition = 16;
// Check box changes came while another change was being applied (the
// shelf's refresh lets messages in): they are made once it has ended.
constexpr UINT kDeferredToggle = WM_APP + 0x60;
constexpr uint32_t kOpenCommand = 40684, kCloseCommand = 40685, kLoadBookCommand = 40686;
constexpr uint32_t kCreateCommand = 40147, kWorkingCommand = 40152, kOptimizeCommand = 40157,
                   kPropertiesCommand = 40072;

// Interface text slots.
enum Slot : int {
    kTitleSlot = 158, kServerLabelSlot = 159, kOkSlot = 275, kHelpSlot = 269, kInstallSlot = 274,
    kCancelDownloadSlot = 571,
    kFileSlot = 265, kArticlesSlot = 266, kDateSlot = 267, kBytesSlot = 268, kFolderSlot = 273,
    kAddTitleSlot = 120, kNotDictionarySlot = 198, kNotOstrelSlot = 178, kAllOffSlot = 276, kSureSlot = 277,
    kEmptyListSlot = 278, kNoActiveSlot = 279, kNoActiveCaptionSlot = 280, kIncompatibleSlot = 281,
    kCannotOpenSlot = 542, kCannotCloseSlot = 546, kCannotCloseCaptionSlot = 547, kInReaderSlot = 548,
    kInReaderCaptionSlot = 549, kCannotChangeWorkingSlot = 550, kCannotChangeWorkingCaptionSlot = 551,
};

struct ToolbarButton {
    int image;
    int command;  // 0: a separator
    int slot;     // its tool tip
};
constexpr ToolbarButton kToolbar[] = {
    {6, IDC_DICT_MOVE_UP, 282},  {7, IDC_DICT_MOVE_DOWN, 283}, {4, IDC_DICT_REMOVE, 108}, {0, 0, 0},
    {21, IDC_DICT_ADD, 109},     {0, 0, 0},                    {15, kCreateCommand, 110}, {16, kWorkingCommand, 111},
    {20, kOptimizeCommand, 112}, {0, 0, 0},                    {2, kPropertiesCommand, 114},
};

struct Column {
    int slot, width, format;
};
constexpr Column kColumns[] = {{kFileSlot, 130, LVCFMT_LEFT},   {kArticlesSlot, 70, LVCFMT_RIGHT},
                               {kDateSlot, 90, LVCFMT_CENTER}, {kBytesSlot, 90, LVCFMT_RIGHT},
                               {kFolderSlot, 400, LVCFMT_LEFT}};

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
std::u16string Narrow16(const wchar_t* text) { return std::u16string(reinterpret_cast<const char16_t*>(text)); }

std::u16string PathOf(const CDictionary& d) { return d.File().path; }

// Size and local modification date of a file; false when it cannot be read.
bool FileFacts(const std::u16string& path, uint64_t& size, SYSTEMTIME& date) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Wide(path), GetFileExInfoStandard, &data)) return false;
    size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    FILETIME local{};
    FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    FileTimeToSystemTime(&local, &date);
    return true;
}

class CDictionariesDlg2 {
public:
    CDictionariesDlg2(CShelf& shelf, const DictionariesDialogSite& site) : shelf_(shelf), site_(site) {}
    ~CDictionariesDlg2() {
        if (toolbarImages_) ImageList_Destroy(toolbarImages_);
    }

    INT_PTR OnInitDialog(HWND dialog);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void CreateToolbar();
    void SetUpList();
    void FitColumns();
    void Fill(const RDFDictionary* select);
    void SetRow(int row, RDFDictionary* d, bool insert);
    RDFDictionary* RowDictionary(int row) const;
    int SelectedRow() const;
    RDFDictionary* Selected() const { return RowDictionary(SelectedRow()); }
    void SelectRow(int row);
    void UpdateToolbar();
    void ApplyChanges();
    void OnCommand(int id, int code);
    INT_PTR OnNotify(NMHDR* header);
    void Move(bool up);
    void Remove();
    void Add();
    // Makes `path` a shown, open dictionary of the shelf; the dictionary or null.
    RDFDictionary* AddFile(std::u16string path);
    void Create();
    void ShowProperties();
    void ChangeWorking();
    void Optimize();
    void LoadBook();
    void Toggle(int row);
    // A check box change or double click on `row`: made at once, or kept for
    // the end of the change being applied.
    void RequestToggle(int row, int wanted);
    void MakePendingToggles();
    int RowOfDictionary(const RDFDictionary* d) const;
    bool TryClose(RDFDictionary& d);
    bool TryOpen(RDFDictionary& d);
    void ContextMenu();
    void OnClose();
    void StartWarning();
    int Ask(int textSlot, int captionSlot, UINT type) const { return ShowSlotBox(dialog_, textSlot, captionSlot, type); }
    int32_t ActiveCount() const;

    CShelf& shelf_;
    DictionariesDialogSite site_;
    HWND dialog_ = nullptr;
    HWND list_ = nullptr;
    HWND toolbar_ = nullptr;
    HIMAGELIST toolbarImages_ = nullptr;
    HIMAGELIST rowImages_ = nullptr;  // owned by the list (no LVS_SHAREIMAGELISTS)
    bool inUpdate_ = false;           // notifications of the list are ignored
    bool applying_ = false;           // a change is being applied to the shelf
    // A check box change that came while a change was applied: the
    // dictionary and what the user asked, 1 open, 0 close, -1 the other.
    struct PendingCheck {
        RDFDictionary* dictionary;
        int wanted;
    };
    std::vector<PendingCheck> pendingChecks_;
    // WM_COMMANDs and download completions that came while applying.
    struct DeferredMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<DeferredMessage> deferredMessages_;
};

INT_PTR CDictionariesDlg2::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        // Opening dictionaries lets queued messages in: a command that comes
        // while a change is applied waits for its end, or it would change the
        // list and the shelf in the middle of the shelf's refresh.
        if (applying_) {
            deferredMessages_.push_back({message, wParam, lParam});
            return TRUE;
        }
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        const INT_PTR result = OnNotify(reinterpret_cast<NMHDR*>(lParam));
        SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, result);
        return TRUE;
    }
    case WM_TIMER:
        if (wParam == kTimerId && site_.panel) site_.panel->OnTimer();
        return TRUE;
    case WM_HELP:
        if (g_application) g_application->ShowHelpTopic(dialog_, kHelpTopic);
        return TRUE;
    case WM_DESTROY:
        KillTimer(dialog_, kTimerId);
        if (site_.panel) site_.panel->Detach();
        if (g_application) g_application->flags &= ~app_flag::kModalDialog;
        g_dictionariesDialog = nullptr;
        return FALSE;
    default:
        if (message == kDeferredToggle) {
            MakePendingToggles();
            return TRUE;
        }
        if (message == kRefillInstalledMessage) {
            // The server list installed a dictionary: it gets its row at once.
            Fill(reinterpret_cast<RDFDictionary*>(lParam));
            ApplyChanges();
            return TRUE;
        }
        if (message == msg::kDownloadDone && site_.panel) {
            // Installing refreshes the shelf: not inside the refresh running.
            if (applying_) {
                deferredMessages_.push_back({message, wParam, lParam});
                return TRUE;
            }
            site_.panel->OnDownloadFinished(wParam, lParam);
            return TRUE;
        }
        return FALSE;
    }
}

INT_PTR CDictionariesDlg2::OnInitDialog(HWND dialog) {
    dialog_ = dialog;
    if (g_application) g_application->flags |= app_flag::kModalDialog;
    g_dictionariesDialog = dialog_;
    static const int kFontControls[] = {IDC_DICT_INSTALLED_LIST, IDC_DICT_SERVER_LIST, IDC_DICT_SERVER_LABEL,
                                        IDC_DICT_STATUS, IDOK, IDC_DICT_HELP, IDC_DICT_INSTALL,
                                        IDC_DICT_CANCEL_DOWNLOAD, 0};
    if (g_application) g_application->ApplyDialogFont(dialog_, kFontControls);
    SetWindowTextW(dialog_, Wide(UIStringTable[kTitleSlot]));
    static const ControlText kTexts[] = {{IDC_DICT_SERVER_LABEL, kServerLabelSlot}, {IDOK, kOkSlot},
                                         {IDC_DICT_HELP, kHelpSlot},                 {IDC_DICT_INSTALL, kInstallSlot},
                                         {IDC_DICT_CANCEL_DOWNLOAD, kCancelDownloadSlot}};
    SetControlTexts(dialog_, kTexts);
    SetDlgItemTextW(dialog_, IDC_DICT_STATUS, L"");
    list_ = GetDlgItem(dialog_, IDC_DICT_INSTALLED_LIST);
    SetUpList();
    CreateToolbar();
    shelf_.ProbeClosedDictionaries();
    if (RDFDictionary* working = shelf_.GetWorkingDictionary()) {
        working->CountRecords();
        working->File().GetSize();
    }
    Fill(nullptr);
    SelectRow(0);
    HWND progress = GetDlgItem(dialog_, IDC_DICT_PROGRESS);
    SendMessageW(progress, PBM_SETRANGE, 0, MAKELPARAM(0, 1000));
    SendMessageW(progress, PBM_SETSTEP, 1, 0);
    SendMessageW(progress, PBM_SETPOS, 0, 0);
    EnableWindow(GetDlgItem(dialog_, IDOK), TRUE);
    EnableWindow(GetDlgItem(dialog_, IDC_DICT_INSTALL), FALSE);
    if (site_.panel) {
        site_.panel->Attach(dialog_, shelf_);
    } else {
        // Without the web services the right half has nothing to show.
        for (int id : {IDC_DICT_SERVER_LIST, IDC_DICT_INSTALL, IDC_DICT_CANCEL_DOWNLOAD})
            EnableWindow(GetDlgItem(dialog_, id), FALSE);
    }
    SetTimer(dialog_, kTimerId, 100, nullptr);
    if (site_.startWarning) PostMessageW(dialog_, WM_COMMAND, IDC_DICT_START_WARNING, 0);
    return TRUE;
}

void CDictionariesDlg2::SetUpList() {
    ListView_SetExtendedListViewStyle(list_, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    const int32_t dpi = g_application ? g_application->dpi : 96;
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = kColumns[i].format;
        column.cx = ScaleColumnWidth(kColumns[i].width, dpi);
        column.pszText = const_cast<wchar_t*>(Wide(UIStringTable[kColumns[i].slot]));
        ListView_InsertColumn(list_, i, &column);
    }
    rowImages_ = ImageList_LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_BOOK_IMAGES), 16, 0,
                                      RGB(0xC0, 0xC0, 0xC0), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (rowImages_) ListView_SetImageList(list_, rowImages_, LVSIL_SMALL);
    // Below the toolbar: 24 pixels from the top.
    RECT rect{};
    GetWindowRect(list_, &rect);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&rect), 2);
    MoveWindow(list_, rect.left, 24, rect.right - rect.left, rect.bottom - 24, FALSE);
}

void CDictionariesDlg2::CreateToolbar() {
    toolbar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NODIVIDER |
                                   CCS_NOPARENTALIGN,
                               0, -2, 264, 24, dialog_, reinterpret_cast<HMENU>(IDC_DICT_TOOLBAR),
                               GetModuleHandleW(nullptr), nullptr);
    SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    toolbarImages_ = ImageList_LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_DICTIONARIES_TOOLBAR), 16,
                                          0, RGB(0xC0, 0xC0, 0xC0), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (toolbarImages_) SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolbarImages_));
    std::vector<TBBUTTON> buttons;
    for (const ToolbarButton& b : kToolbar) {
        TBBUTTON button{};
        button.iBitmap = b.command ? b.image : 0;
        button.idCommand = b.command;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = b.command ? (b.command == static_cast<int>(kWorkingCommand) ? BTNS_CHECK : BTNS_BUTTON)
                                   : BTNS_SEP;
        buttons.push_back(button);
    }
    SendMessageW(toolbar_, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
}

RDFDictionary* CDictionariesDlg2::RowDictionary(int row) const {
    if (row < 0) return nullptr;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!ListView_GetItem(list_, &item)) return nullptr;
    return reinterpret_cast<RDFDictionary*>(item.lParam);
}

int CDictionariesDlg2::SelectedRow() const { return ListView_GetNextItem(list_, -1, LVNI_SELECTED); }

void CDictionariesDlg2::SelectRow(int row) {
    const int count = ListView_GetItemCount(list_);
    if (count == 0) {
        UpdateToolbar();
        return;
    }
    if (row < 0) row = 0;
    if (row >= count) row = count - 1;
    ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list_, row, FALSE);
    UpdateToolbar();
}

void CDictionariesDlg2::SetRow(int row, RDFDictionary* d, bool insert) {
    const uint32_t flags = d->flags;
    const std::u16string path = PathOf(*d);
    const SplitPathParts parts = SplitDictionaryPath(path);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(Wide(parts.name));
    item.iImage = DictionaryRowImage(flags);
    item.lParam = reinterpret_cast<LPARAM>(d);
    if (insert) ListView_InsertItem(list_, &item);
    else ListView_SetItem(list_, &item);
    // A book dictionary counts its articles too (a phrase each, and each
    // book's language header), not its books.
    const std::u16string articles = GroupArticleCount(static_cast<uint32_t>(d->articleCount));
    ListView_SetItemText(list_, row, 1, const_cast<wchar_t*>(Wide(articles)));
    uint64_t size = 0;
    SYSTEMTIME date{};
    const bool facts = FileFacts(path, size, date);
    std::u16string dateText;
    if (const auto& stored = d->HeaderText(kPropertyCreationTime); stored && !(flags & kDictionaryWorking))
        dateText = CutDateText(*stored);
    if (dateText.empty() && facts) dateText = FileDateText(date.wYear, date.wMonth, date.wDay);
    ListView_SetItemText(list_, row, 2, const_cast<wchar_t*>(Wide(dateText)));
    char16_t bytes[kThousandsCapacity] = {};
    if (facts) {
        const int32_t shown = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int32_t>(size);
        FormatThousands(bytes, kThousandsCapacity, shown,
                        UILanguageFromValue(g_application ? g_application->language : 1));
    }
    ListView_SetItemText(list_, row, 3, const_cast<wchar_t*>(Wide(bytes)));
    ListView_SetItemText(list_, row, 4, const_cast<wchar_t*>(Wide(parts.folder)));
    const bool wasUpdating = inUpdate_;
    inUpdate_ = true;
    ListView_SetCheckState(list_, row, IsActiveDictionary(flags));
    inUpdate_ = wasUpdating;
}

void CDictionariesDlg2::Fill(const RDFDictionary* select) {
    inUpdate_ = true;
    ListView_DeleteAllItems(list_);
    int row = 0, selectRow = -1;
    for (int32_t i = 0; i < shelf_.DictionaryCount() && i < kMaxRows; ++i) {
        RDFDictionary* d = shelf_.GetDictionary(i);
        if (!d || (d->flags & kDictionaryHidden)) continue;
        if (d == select) selectRow = row;
        SetRow(row++, d, true);
    }
    FitColumns();
    inUpdate_ = false;
    if (select) SelectRow(selectRow < 0 ? 0 : selectRow);
}

// The File column widens to the longest name shown (check box and picture
// included): Personal1.qdx and Personal2.qdx must not both read "Personal...";
// the count, date and size columns widen to their longest entry, so a face
// with wider digits never cuts 41,865,216 to "41,865,2...". None narrows
// below its own width.
void CDictionariesDlg2::FitColumns() {
    const int32_t dpi = g_application ? g_application->dpi : 96;
    for (int column = 0; column < static_cast<int>(std::size(kColumns)) - 1; ++column) {
        const int minimum = ScaleColumnWidth(kColumns[column].width, dpi);
        ListView_SetColumnWidth(list_, column, LVSCW_AUTOSIZE);
        if (ListView_GetColumnWidth(list_, column) < minimum) ListView_SetColumnWidth(list_, column, minimum);
    }
}

void CDictionariesDlg2::UpdateToolbar() {
    const RDFDictionary* d = Selected();
    const uint32_t flags = d ? d->flags : 0;
    const bool editable = (flags & kDictionaryEditable) && !(flags & kDictionaryBook);
    SendMessageW(toolbar_, TB_ENABLEBUTTON, kWorkingCommand, MAKELONG(editable, 0));
    SendMessageW(toolbar_, TB_CHECKBUTTON, kWorkingCommand, MAKELONG((flags & kDictionaryWorking) != 0, 0));
    SendMessageW(toolbar_, TB_ENABLEBUTTON, kOptimizeCommand,
                 MAKELONG(editable && (flags & kDictionaryOpen) != 0, 0));
    if (site_.panel) site_.panel->SelectInstalled(const_cast<RDFDictionary*>(d));
}

void CDictionariesDlg2::ApplyChanges() {
    const bool nested = applying_;
    applying_ = true;
    shelf_.Refresh();
    applying_ = nested;
    if (g_application && g_application->ini) shelf_.SaveDictionaryList(*g_application->ini);
    if (site_.panel) site_.panel->MatchShelf();
    if (site_.furniture) site_.furniture->RefillBookReaders();
    if (nested) return;
    // Check box changes first: a close that waited behind them sees their result.
    if (!pendingChecks_.empty()) PostMessageW(dialog_, kDeferredToggle, 0, 0);
    for (const DeferredMessage& m : std::exchange(deferredMessages_, {}))
        PostMessageW(dialog_, m.message, m.wParam, m.lParam);
}

int32_t CDictionariesDlg2::ActiveCount() const {
    int32_t active = 0;
    for (int32_t i = 0; i < shelf_.DictionaryCount(); ++i) {
        const RDFDictionary* d = shelf_.GetDictionary(i);
        if (d && !(d->flags & kDictionaryHidden) && IsActiveDictionary(d->flags)) ++active;
    }
    return active;
}

void CDictionariesDlg2::OnCommand(int id, int code) {
    if (site_.panel && site_.panel->OnCommand(id, code)) return;
    switch (id) {
    case IDOK:
    case IDCANCEL: OnClose(); return;
    case IDC_DICT_MOVE_UP: Move(true); return;
    case IDC_DICT_MOVE_DOWN: Move(false); return;
    case IDC_DICT_REMOVE: Remove(); return;
    case IDC_DICT_ADD: Add(); return;
    case IDC_DICT_TOGGLE: Toggle(SelectedRow()); return;
    case IDC_DICT_HELP:
        if (g_application) g_application->ShowHelpTopic(dialog_, kHelpTopic);
        return;
    case IDC_DICT_START_WARNING: StartWarning(); return;
    default: break;
    }
    if (id == static_cast<int>(kCreateCommand)) Create();
    else if (id == static_cast<int>(kPropertiesCommand)) ShowProperties();
    else if (id == static_cast<int>(kWorkingCommand)) ChangeWorking();
    else if (id == static_cast<int>(kOptimizeCommand)) Optimize();
    else if (id == static_cast<int>(kLoadBookCommand)) LoadBook();
}

INT_PTR CDictionariesDlg2::OnNotify(NMHDR* header) {
    if (site_.panel) {
        LRESULT result = 0;
        if (site_.panel->OnNotify(header, &result)) return result;
    }
    if (header->code == TTN_GETDISPINFOW) {  // the toolbar's tool tips
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        for (const ToolbarButton& b : kToolbar)
            if (b.command && static_cast<UINT_PTR>(b.command) == header->idFrom)
                info->lpszText = const_cast<wchar_t*>(Wide(UIStringTable[b.slot]));
        return 0;
    }
    if (header->hwndFrom != list_) return 0;
    switch (header->code) {
    case LVN_ITEMCHANGED: {
        if (inUpdate_) return 0;
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if (!(change->uChanged & LVIF_STATE)) return 0;
        const UINT oldCheck = change->uOldState & LVIS_STATEIMAGEMASK;
        const UINT newCheck = change->uNewState & LVIS_STATEIMAGEMASK;
        if (oldCheck && newCheck && oldCheck != newCheck) {
            RequestToggle(change->iItem, newCheck == INDEXTOSTATEIMAGEMASK(2) ? 1 : 0);
            return 0;
        }
        if ((change->uNewState ^ change->uOldState) & LVIS_SELECTED) UpdateToolbar();
        return 0;
    }
    case NM_DBLCLK: {
        auto* activate = reinterpret_cast<NMITEMACTIVATE*>(header);
        if (activate->iItem >= 0) RequestToggle(activate->iItem, -1);
        return 0;
    }
    case NM_RCLICK: ContextMenu(); return 0;
    case NM_CUSTOMDRAW: {
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
        if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT &&
            ListView_GetItemState(list_, static_cast<int>(draw->nmcd.dwItemSpec), LVIS_SELECTED)) {
            // White on dark blue with or without the focus.
            draw->nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
            draw->clrText = RGB(255, 255, 255);
            draw->clrTextBk = kSelectedBackground;
            return CDRF_NEWFONT;
        }
        return CDRF_DODEFAULT;
    }
    default: return 0;
    }
}

void CDictionariesDlg2::Move(bool up) {
    RDFDictionary* d = Selected();
    if (!d) return;
    // Past every hidden neighbour and one shown dictionary.
    for (;;) {
        const int32_t before = shelf_.IndexOfDictionary(d);
        if (up) shelf_.MoveDictionaryUp(d);
        else shelf_.MoveDictionaryDown(d);
        const int32_t after = shelf_.IndexOfDictionary(d);
        if (after == before) break;
        const RDFDictionary* passed = shelf_.GetDictionary(up ? after + 1 : after - 1);
        if (passed && !(passed->flags & kDictionaryHidden)) break;
    }
    Fill(d);
    ApplyChanges();
}

bool CDictionariesDlg2::TryClose(RDFDictionary& d) {
    const bool inReader = site_.furniture && site_.furniture->IsShownInBookReader(&d);
    switch (RefuseClosing(d.flags, DictionaryHasOpenEditors(d), inReader)) {
    case CloseRefusal::kWorkingHasEditor: Ask(kCannotCloseSlot, kCannotCloseCaptionSlot, MB_OK | MB_ICONSTOP); return false;
    case CloseRefusal::kShownInBookReader: Ask(kInReaderSlot, kInReaderCaptionSlot, MB_OK | MB_ICONSTOP); return false;
    case CloseRefusal::kNone: break;
    }
    d.flags |= kDictionaryToClose;
    return true;
}

void CDictionariesDlg2::Remove() {
    const int row = SelectedRow();
    RDFDictionary* d = RowDictionary(row);
    if (!d || !TryClose(*d)) return;
    d->flags |= kDictionaryToClose | kDictionaryHidden;
    inUpdate_ = true;
    ListView_DeleteItem(list_, row);
    inUpdate_ = false;
    SelectRow(row);
    ApplyChanges();
}

void CDictionariesDlg2::Add() {
    std::u16string folder;
    if (g_application && g_application->ini)
        folder = g_application->ini->GetString(settings_section::kDictionaries, u"Folder", u"");
    if (!PathFits(folder)) {
        const std::u16string text = FormatInterfaceText(
            LanguageText(u"Имя папки словарей в настройках слишком длинное:\n%s",
                         u"The dictionaries folder of the settings is too long:\n%s",
                         u"設定の辞書フォルダー名が長すぎます：\n%s"),
            {folder});
        ShowBox(dialog_, text, UIStringTable[kAddTitleSlot], MB_OK | MB_ICONEXCLAMATION);
        folder.clear();
    }
    if (folder.empty() && g_application) folder = g_application->dictionariesFolder;
    wchar_t path[MAX_PATH] = {};
    std::u16string start = JoinDictionaryPath(folder, u"");
    if (PathFits(start)) wcsncpy(path, Wide(start), MAX_PATH - 1);
    if (!FileNameDialog(Wide(UIStringTable[kAddTitleSlot]), path, false, 2, dialog_)) return;
    const std::u16string chosen = Narrow16(path);
    if (g_application && g_application->ini)
        g_application->ini->WriteString(settings_section::kDictionaries, u"Folder", SplitDictionaryPath(chosen).folder);
    if (RDFDictionary* d = AddFile(chosen)) {
        Fill(d);
        ApplyChanges();
    }
}

RDFDictionary* CDictionariesDlg2::AddFile(std::u16string path) {
    uint32_t format = DetectDictionaryFileFormat(path.c_str());
    RDFDictionary* d = shelf_.FindByPath(path);
    if (!d) {
        if ((format & (kFormatWords | kFormatKanji)) == 0) {
            const std::u16string text = FormatInterfaceText(UIStringTable[kNotDictionarySlot], {path});
            ShowBox(dialog_, text, UIStringTable[kNotOstrelSlot], MB_OK | MB_ICONEXCLAMATION);
            return nullptr;
        }
        if (!(format & kFormatStoreDatabase)) {
            // A source: compiled into a dictionary first.
            std::u16string target;
            if (RunOpenConvertDialog(dialog_, path, target) < 1) return nullptr;
            path = target;
            format = DetectDictionaryFileFormat(path.c_str());
            d = shelf_.FindByPath(path);
        }
        if (!d) d = shelf_.InsertDictionary(format, path);
        if (!d) return nullptr;
    }
    d->flags &= ~(kDictionaryHidden | kDictionaryToClose);
    if (!(d->flags & kDictionaryOpen)) {
        if (const uint32_t code = d->Open(2); code != 0) {
            d->ShowError(dialog_, UIStringTable[kCannotOpenSlot], UIStringTable[kCannotOpenSlot], code);
        }
    }
    return d;
}

void CDictionariesDlg2::Create() {
    RDFDictionary* working = shelf_.FindWorkingDictionary();
    CProperty property(1);
    const std::u16string folder = g_application ? g_application->dictionariesFolder : u"";
    property.SetPath(shelf_.MakePersonalDictionaryName(folder));
    FormatVersionString(property.texts.version, 1, false, true);
    RDFDictionary* made = nullptr;
    property.create = [&](const std::u16string& path, const CProperty& p) {
        made = shelf_.CreatePersonalDictionary(path, p.texts.title, p.texts.author, p.texts.notes, p.texts.version);
        return made != nullptr;
    };
    if (property.DoModal(nullptr, dialog_) != 1 || !made) return;
    if ((!working || !DictionaryHasOpenEditors(*working)) && (made->flags & kDictionaryEditable))
        shelf_.SetWorkingDictionary(made);
    Fill(made);
    ApplyChanges();
}

void CDictionariesDlg2::ShowProperties() {
    RDFDictionary* d = Selected();
    if (!d) return;
    const bool wasOpen = (d->flags & kDictionaryOpen) != 0;
    if (!wasOpen && d->Open(2) != 0) d->Close();
    CProperty property(0);
    auto text = [&](int32_t id) { return d->fileId ? d->HeaderText(id).value_or(u"") : std::u16string(); };
    property.texts.title = text(kPropertyName);
    property.texts.author = text(kPropertyCopyright);
    property.texts.notes = text(kPropertyComment);
    property.texts.version = text(kPropertyVersion);
    property.texts.date = text(kPropertyCreationTime);
    property.articleCount = static_cast<uint32_t>(d->articleCount);
    if (d->fileId) property.language = d->IndexLanguage();
    if (!wasOpen && d->fileId) d->Close();
    uint64_t size = 0;
    SYSTEMTIME date{};
    FileFacts(PathOf(*d), size, date);
    property.fileSize = size;
    property.SetPath(PathOf(*d));
    property.DoModal(d, dialog_);
}

void CDictionariesDlg2::ChangeWorking() {
    RDFDictionary* d = Selected();
    if (!d) return;
    RDFDictionary* working = shelf_.FindWorkingDictionary();
    if (working && DictionaryHasOpenEditors(*working)) {
        Ask(kCannotChangeWorkingSlot, kCannotChangeWorkingCaptionSlot, MB_OK | MB_ICONSTOP);
        UpdateToolbar();
        return;
    }
    if (!(d->flags & kDictionaryEditable) || (d->flags & kDictionaryBook)) return;
    shelf_.SetWorkingDictionary(d == working ? nullptr : d);
    for (int row = 0; row < ListView_GetItemCount(list_); ++row) {
        RDFDictionary* r = RowDictionary(row);
        if (r == d || r == working) SetRow(row, r, false);
    }
    UpdateToolbar();
    ApplyChanges();
}

void CDictionariesDlg2::Optimize() {
    RDFDictionary* d = Selected();
    if (!d || !(d->flags & kDictionaryEditable) || !(d->flags & kDictionaryOpen) || (d->flags & kDictionaryBook))
        return;
    if (RunOptimizeDialog(*d, shelf_, dialog_) >= 1) {
        Fill(d);
        ApplyChanges();
    }
}

void CDictionariesDlg2::LoadBook() {
    RDFDictionary* d = Selected();
    if (!d || !site_.furniture) return;
    if (DictionaryHasOpenEditors(*d) && !CloseDictionaryEditors(*d)) return;
    site_.furniture->RunBookLoader(dialog_, d);
    Fill(d);
    ApplyChanges();
}

bool CDictionariesDlg2::TryOpen(RDFDictionary& d) {
    if ((d.flags & kDictionaryOpen)) {
        if (const uint32_t code = d.CheckCollatorMatch(); code != 0) {
            d.ShowError(dialog_, UIStringTable[kIncompatibleSlot], UIStringTable[kIncompatibleSlot], code);
            return false;
        }
        d.flags &= ~kDictionaryToClose;
        return true;
    }
    std::u16string path = PathOf(d);
    uint32_t format = DetectDictionaryFileFormat(path.c_str());
    if ((format & (kFormatWords | kFormatKanji)) == 0) {
        const std::u16string text = FormatInterfaceText(UIStringTable[kNotDictionarySlot], {path});
        ShowBox(dialog_, text, UIStringTable[kNotOstrelSlot], MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (!(format & kFormatStoreDatabase)) {
        std::u16string target;
        if (RunOpenConvertDialog(dialog_, path, target) < 1) return false;
        d.File().SetPath(target.c_str());
        d.flags = DetectDictionaryFileFormat(target.c_str()) | (d.flags & kDictionaryHidden);
    }
    d.flags &= ~kDictionaryToClose;
    if (const uint32_t code = d.Open(2); code != 0) {
        const bool collation = code == kOpenCollationOlder || code == kOpenCollationNewer;
        d.ShowError(dialog_, UIStringTable[collation ? kIncompatibleSlot : kCannotOpenSlot],
                    UIStringTable[kCannotOpenSlot], code);
        return false;
    }
    return true;
}

void CDictionariesDlg2::Toggle(int row) {
    RDFDictionary* d = RowDictionary(row);
    if (!d) return;
    if (IsActiveDictionary(d->flags)) TryClose(*d);
    else TryOpen(*d);
    SetRow(row, d, false);
    inUpdate_ = true;
    ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    inUpdate_ = false;
    UpdateToolbar();
    ApplyChanges();
    SetRow(row, d, false);
}

void CDictionariesDlg2::RequestToggle(int row, int wanted) {
    if (!applying_) {
        Toggle(row);
        return;
    }
    // The shelf is in the middle of closing and opening dictionaries: what
    // the row's dictionary is now is no guide, and a change made here would
    // run a refresh inside the refresh.
    if (RDFDictionary* d = RowDictionary(row)) pendingChecks_.push_back({d, wanted});
}

void CDictionariesDlg2::MakePendingToggles() {
    // A change applied meanwhile posts this again at its end.
    if (applying_) return;
    for (const PendingCheck& check : std::exchange(pendingChecks_, {})) {
        const int row = RowOfDictionary(check.dictionary);
        if (row < 0) continue;
        const bool active = IsActiveDictionary(check.dictionary->flags);
        if (check.wanted < 0 || active != (check.wanted == 1)) Toggle(row);
        else SetRow(row, check.dictionary, false);
    }
}

int CDictionariesDlg2::RowOfDictionary(const RDFDictionary* d) const {
    for (int row = 0; row < ListView_GetItemCount(list_); ++row)
        if (RowDictionary(row) == d) return row;
    return -1;
}

void CDictionariesDlg2::ContextMenu() {
    RDFDictionary* d = Selected();
    if (!d || !g_frame) return;
    HMENU popup = GetSubMenu(g_frame->ContextMenus(), kContextMenuPosition);
    if (!popup) return;
    const uint32_t flags = d->flags;
    const bool editable = (flags & kDictionaryEditable) && !(flags & kDictionaryBook);
    const bool active = IsActiveDictionary(flags);
    for (const auto& [command, slot] : {std::pair<uint32_t, int>{kOpenCommand, 106}, {kCloseCommand, 107},
                                        {kWorkingCommand, 111}, {kOptimizeCommand, 112}, {kLoadBookCommand, 113}})
        ModifyMenuW(popup, command, MF_BYCOMMAND | MF_STRING, command, Wide(UIStringTable[slot]));
    EnableMenuItem(popup, kOpenCommand, active ? MF_GRAYED : MF_ENABLED);
    EnableMenuItem(popup, kCloseCommand, active ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(popup, kWorkingCommand, editable ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(popup, kOptimizeCommand, editable && (flags & kDictionaryOpen) ? MF_ENABLED : MF_GRAYED);
    const bool empty = d->readingCount == 0 && d->wordCount == 0 && d->translationWordCount == 0;
    EnableMenuItem(popup, kLoadBookCommand, (flags & kDictionaryEditable) && empty ? MF_ENABLED : MF_GRAYED);
    POINT at{};
    GetCursorPos(&at);
    const UINT chosen = TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, dialog_, nullptr);
    if (chosen == kOpenCommand || chosen == kCloseCommand) PostMessageW(dialog_, WM_COMMAND, IDC_DICT_TOGGLE, 0);
    else if (chosen) PostMessageW(dialog_, WM_COMMAND, chosen, 0);
}

void CDictionariesDlg2::OnClose() {
    if (site_.panel && site_.panel->DownloadRunning()) return;
    // Check box changes still on their way decide what "every box off" means.
    if (applying_ || !pendingChecks_.empty()) {
        PostMessageW(dialog_, WM_COMMAND, IDOK, 0);
        return;
    }
    if (CloseNeedsConfirmation(ActiveCount()) &&
        Ask(kAllOffSlot, kSureSlot, MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION) != IDYES)
        return;
    EndDialog(dialog_, 0);
}

void CDictionariesDlg2::StartWarning() {
    int visible = ListView_GetItemCount(list_);
    if (visible == 0) {
        // The string table has no caption of its own for this box.
        ShowBox(dialog_, UIStringTable[kEmptyListSlot],
                LanguageText(u"Пустой список словарей", u"Empty Dictionary List", u"辞書リストが空です"),
                MB_OK | MB_ICONINFORMATION);
        Add();
    } else {
        Ask(kNoActiveSlot, kNoActiveCaptionSlot, MB_OK | MB_ICONINFORMATION);
    }
}

}  // namespace

int32_t ShowDictionariesDialog(HWND parent, CShelf& shelf, const DictionariesDialogSite& site) {
    auto dialog = std::make_unique<CDictionariesDlg2>(shelf, site);
    shelf.SaveListPositions();
    DialogBoxParamW(GetModuleHandleW(nullptr), L"DIC_FILE_LIST_2", parent, &DialogProcedure<CDictionariesDlg2>,
                    reinterpret_cast<LPARAM>(dialog.get()));
    shelf.WarnOldDictionaries();
    return 0;
}
