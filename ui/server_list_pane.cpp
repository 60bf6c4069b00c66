#include "ui/server_list_pane.h"

#include <algorithm>
#include <ctime>
#include <optional>

#include "common/ui_text/ui_text.h"
#include "common/win/system_error_text.h"
#include "common/win/wide_text.h"
#include "dictionary/dictionary.h"
#include "dictionary/format_detection.h"
#include "dictionary/shelf.h"
#include "dictionary/word_list.h"
#include "resources/program/resource_ids.h"
#include "ui/application.h"
#include "ui/dialog_texts.h"
#include "ui/frame.h"
#include "web/download_name.h"
#include "web/transfer_failure.h"

namespace {

constexpr int kServerList = 1295;
constexpr int kLabel = 1287;
constexpr int kProgress = 1275;
constexpr int kInstall = 1316;
constexpr int kCancel = 1317;

constexpr int kTitleSlot = 563, kArticlesSlot = 266, kDateSlot = 267, kBytesSlot = 268, kDescriptionSlot = 564;
constexpr int kInstallSlot = 274, kCancelSlot = 638;
constexpr int kListFailedSlot = 552, kListReceivingSlot = 553;
constexpr int kEditableSlot = 554, kNotInstalledCaptionSlot = 555, kWillUpdateSlot = 556, kWillReplaceSlot = 557;
constexpr int kInstallingSlot = 558, kFailedSlot = 559, kInstalledSlot = 560, kUpdatedSlot = 561;
constexpr int kCannotOpenSlot = 542;
constexpr int kInstallItemSlot = 115;
// The server list's pop-up in the main window's context menus ("17 - List Dictionaries Web").
constexpr int kServerMenuPosition = 17;

// Captions the interface texts do not hold, in the interface language.
std::wstring ReplaceCaption() {
    return WideString(LanguageText(u"Заменить существующий словарь?", u"Replace Existing Dictionary?",
                                   u"既存の辞書を置き換えますか？"));
}
std::wstring InstalledCaption() {
    return WideString(LanguageText(u"Словарь установлен", u"Dictionary Is Installed", u"辞書をインストールしました"));
}
std::wstring FailedCaption() {
    return WideString(
        LanguageText(u"Словарь не установлен", u"Dictionary Is Not Installed", u"辞書はインストールされていません"));
}

constexpr uint32_t kEditableOrWorking = kFormatEditable | kDictionaryWorking;
constexpr COLORREF kImageMask = RGB(0xC0, 0xC0, 0xC0);

std::wstring Text(int slot) { return WideString(UIStringTable[slot]); }

// The interface text of `slot` with its "%s" replaced by `first`, then `second`.
std::wstring Format(int slot, std::u16string_view first, std::u16string_view second = {}) {
    std::u16string text(UIStringTable[slot]);
    for (std::u16string_view value : {first, second}) {
        size_t at = text.find(u"%s");
        if (at == std::u16string::npos) break;
        text.replace(at, 2, value);
    }
    return WideString(text);
}

std::u16string FullPath(const std::u16string& path) {
    wchar_t full[1024];
    DWORD units = GetFullPathNameW(WideString(path).c_str(), 1024, full, nullptr);
    if (units == 0 || units >= 1024) return {};
    return std::u16string(Char16View(std::wstring_view(full, units)));
}

std::optional<uint32_t> FileSizeLow(const std::u16string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(WideString(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return data.nFileSizeLow;
}

// A file that is a dictionary database and opens read-only; its flags in `flags`.
bool OpensAsDatabase(const std::u16string& path, uint32_t* flags = nullptr) {
    uint32_t format = DetectDictionaryFileFormat(path.c_str());
    if ((format & kFormatStoreDatabase) == 0) return false;
    RDFDictionary probe(format);
    if (!probe.File().SetPath(path.c_str()) || probe.Open(2) != 0) return false;
    if (flags) *flags = probe.flags;
    probe.Close();
    return true;
}

// The dictionaries dialog's installed list (1294), whose rows hold their
// dictionaries as item data.
class InstalledListHost : public IServerPaneHost {
public:
    explicit InstalledListHost(HWND dialog) : dialog_(dialog) {}
    void SelectInstalledRow(RDFDictionary* dictionary) override {
        HWND list = GetDlgItem(dialog_, kInstalledList);
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            LVITEMW item{};
            item.mask = LVIF_PARAM;
            item.iItem = row;
            const bool same = ListView_GetItem(list, &item) && dictionary &&
                              reinterpret_cast<RDFDictionary*>(item.lParam) == dictionary;
            ListView_SetItemState(list, row, same ? LVIS_SELECTED : 0, LVIS_SELECTED);
            if (same) ListView_EnsureVisible(list, row, FALSE);
        }
    }
    void RefillInstalled(RDFDictionary* select) override {
        SendMessageW(dialog_, kRefillInstalledMessage, 0, reinterpret_cast<LPARAM>(select));
    }

private:
    static constexpr int kInstalledList = 1294;
    HWND dialog_;
};

}  // namespace

ServerListPane::ServerListPane(CWebDictionaries& list, CHomeLines& lines, std::function<void()> startUpdateCheck)
    : list_(list), lines_(lines), startUpdateCheck_(std::move(startUpdateCheck)) {}

ServerListPane::~ServerListPane() { Detach(); }

void ServerListPane::Attach(HWND dialog, CShelf& shelf) {
    dialogHost_ = std::make_unique<InstalledListHost>(dialog);
    Attach(dialog, shelf, g_application ? g_application->dictionariesFolder : std::u16string(), dialogHost_.get());
}

void ServerListPane::Attach(HWND dialog, CShelf& shelf, std::u16string dictionariesFolder, IServerPaneHost* host) {
    dialog_ = dialog;
    view_ = GetDlgItem(dialog, kServerList);
    shelf_ = &shelf;
    folder_ = std::move(dictionariesFolder);
    host_ = host;
    if (view_) {
        ListView_SetExtendedListViewStyle(view_, LVS_EX_FULLROWSELECT);
        const int dpi = g_application ? g_application->dpi : 96;
        auto scale = [dpi](int width) { return dpi < 100 ? width * 8 / 10 : width * dpi / 96; };
        const struct {
            int slot, width, format;
        } columns[] = {{kTitleSlot, 110, LVCFMT_LEFT},   {kArticlesSlot, 70, LVCFMT_RIGHT}, {kDateSlot, 90, LVCFMT_CENTER},
                       {kBytesSlot, 90, LVCFMT_RIGHT},   {kDescriptionSlot, 360, LVCFMT_LEFT}};
        for (int i = 0; i < 5; ++i) {
            std::wstring title = Text(columns[i].slot);
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            column.fmt = columns[i].format;
            column.cx = scale(columns[i].width);
            column.pszText = title.data();
            ListView_InsertColumn(view_, i, &column);
        }
        images_ = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 14, 0);
        if (HBITMAP strip = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_BOOK_IMAGES),
                                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))) {
            ImageList_AddMasked(images_, strip, kImageMask);
            DeleteObject(strip);
        }
        ListView_SetImageList(view_, images_, LVSIL_SMALL);
    }
    SetDlgItemTextW(dialog_, kInstall, Text(kInstallSlot).c_str());
    // A list neither received nor on its way is asked for at once.
    if ((list_.status == 0 || list_.status == -1) && startUpdateCheck_) startUpdateCheck_();
    lastStatus_ = 0x7FFFFFFF;
    OnTimer();
}

void ServerListPane::Detach() {
    if (line_) {
        // The dialog cannot close during a download; should it go anyway, the
        // line stops its worker and frees the request.
        lines_.RemoveLine(line_);
        line_ = nullptr;
        request_ = nullptr;
    }
    state_ = DownloadState::Idle;
    if (images_) ImageList_Destroy(images_);
    images_ = nullptr;
    dialog_ = view_ = nullptr;
    host_ = nullptr;
    dialogHost_.reset();
}

void ServerListPane::OnTimer() {
    if (!dialog_) return;
    if (state_ == DownloadState::Cancelling && request_ && request_->State() != 3 &&
        GetTickCount() - cancelTick_ >= kCancelGraceMs) {
        LetCancelledDownloadGo();
        return;
    }
    if (state_ != DownloadState::Idle && request_) {
        if (request_->State() >= 2) {
            int64_t total = request_->ContentLength() > 0 ? request_->ContentLength() : download_.size;
            SendDlgItemMessageW(dialog_, kProgress, PBM_SETPOS, ProgressPerMille(request_->Received(), total), 0);
        }
        return;
    }
    const bool newList = list_.status == 3 && list_.Generation() != filledGeneration_;
    if (list_.status == lastStatus_ && !newList) return;
    lastStatus_ = list_.status;
    HWND progress = GetDlgItem(dialog_, kProgress);
    if (list_.status == 3) {
        SetDlgItemTextW(dialog_, kLabel, L"");
        SetWindowLongPtrW(progress, GWL_STYLE, GetWindowLongPtrW(progress, GWL_STYLE) & ~PBS_MARQUEE);
        SendMessageW(progress, PBM_SETRANGE32, 0, 1000);
        SendMessageW(progress, PBM_SETPOS, 0, 0);
        EnableWindow(GetDlgItem(dialog_, kInstall), TRUE);
        MatchShelf();
    } else {
        if (view_) ListView_DeleteAllItems(view_);
        filledGeneration_ = list_.Generation();
        ShowStatusText(list_.status == -1 ? kListFailedSlot : kListReceivingSlot, list_.status != -1);
        if (list_.status == -1 && !list_.failure.empty())
            SetDlgItemTextW(dialog_, kLabel, (Text(kListFailedSlot) + L": " + WideString(list_.failure)).c_str());
    }
}

void ServerListPane::ShowStatusText(int slot, bool marquee) {
    SetDlgItemTextW(dialog_, kLabel, Text(slot).c_str());
    HWND progress = GetDlgItem(dialog_, kProgress);
    LONG_PTR style = GetWindowLongPtrW(progress, GWL_STYLE);
    SetWindowLongPtrW(progress, GWL_STYLE, marquee ? style | PBS_MARQUEE : style & ~PBS_MARQUEE);
    SendMessageW(progress, PBM_SETMARQUEE, marquee ? TRUE : FALSE, 50);
}

int32_t ServerListPane::Language() const { return g_application ? g_application->language : 1; }

std::u16string ServerListPane::ShortName(const CWebDictionary& item) const {
    WebField field = Language() == 1 ? WebField::ShortNameE : Language() == 2 ? WebField::ShortNameJ : WebField::ShortNameR;
    return std::u16string(item.Field(field).text);
}

std::u16string ServerListPane::LongName(const CWebDictionary& item) const {
    WebField field = Language() == 1 ? WebField::LongNameE : Language() == 2 ? WebField::LongNameJ : WebField::LongNameR;
    return std::u16string(item.Field(field).text);
}

void ServerListPane::MatchShelf() {
    if (!shelf_) return;
    for (CWebDictionary& item : list_.Items()) {
        if (item.validity != web_item::kUsable) continue;
        std::u16string path = DownloadTargetPath(folder_, item.Field(WebField::Filename).text);
        if (path.empty()) {
            item.localStatus = local_status::kNotInstalled;
            continue;
        }
        InstalledFacts facts;
        const RDFDictionary* installed = shelf_->FindByPath(path);
        if (installed) {
            if (const auto& version = installed->HeaderText(4)) facts.versionText = *version;
            if (const auto& date = installed->HeaderText(7)) facts.dateText = *date;
        }
        item.localStatus = MatchLocalStatus(item, installed ? &facts : nullptr, FileSizeLow(path));
    }
    Fill();
}

void ServerListPane::Fill() {
    filledGeneration_ = list_.Generation();
    if (!view_) return;
    ListView_DeleteAllItems(view_);
    const bool english = Language() == 1;
    const auto& items = list_.Items();
    int row = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        const CWebDictionary& item = items[i];
        if (item.validity != web_item::kUsable) continue;
        std::wstring title = WideString(ShortName(item));
        LVITEMW entry{};
        entry.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
        entry.iItem = row;
        entry.pszText = title.data();
        entry.lParam = static_cast<LPARAM>(i);
        entry.iImage = ServerItemImage(item);
        int at = ListView_InsertItem(view_, &entry);
        std::wstring cells[] = {WideString(item.Field(WebField::Articles).CopyGrouped(english)),
                                WideString(item.Field(WebField::DataDate).text),
                                WideString(item.Field(WebField::Size).CopyGrouped(english)), WideString(LongName(item))};
        for (int c = 0; c < 4; ++c) ListView_SetItemText(view_, at, c + 1, cells[c].data());
        ++row;
    }
}

int32_t ServerListPane::RowCount() const { return view_ ? ListView_GetItemCount(view_) : 0; }

const CWebDictionary* ServerListPane::ItemOfRow(int row) const {
    // Rows made from an older list name nothing.
    if (!view_ || row < 0 || filledGeneration_ != list_.Generation()) return nullptr;
    LVITEMW entry{};
    entry.mask = LVIF_PARAM;
    entry.iItem = row;
    if (!ListView_GetItem(view_, &entry)) return nullptr;
    auto index = static_cast<size_t>(entry.lParam);
    return index < list_.Items().size() ? &list_.Items()[index] : nullptr;
}

int ServerListPane::SelectedRow() const { return view_ ? ListView_GetNextItem(view_, -1, LVNI_SELECTED) : -1; }

bool ServerListPane::OnCommand(int id, int) {
    if (id == kInstall) {
        if (state_ == DownloadState::Idle) DownloadItem();
        else if (state_ == DownloadState::Downloading) Cancel();
        return true;
    }
    if (id == kCancel) {
        if (state_ == DownloadState::Downloading) Cancel();
        return true;
    }
    return false;
}

bool ServerListPane::OnNotify(const NMHDR* header, LRESULT* result) {
    if (!header || !view_ || header->hwndFrom != view_) return false;
    if (result) *result = 0;
    if (header->code == NM_DBLCLK) {
        OnCommand(kInstall, 0);
    } else if (header->code == NM_RCLICK) {
        ContextMenu();
    } else if (header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
        if (selecting_ || state_ != DownloadState::Idle || !(change->uNewState & LVIS_SELECTED)) return true;
        const CWebDictionary* item = ItemOfRow(change->iItem);
        if (!item) return true;
        SetDlgItemTextW(dialog_, kLabel, WideString(ShortName(*item) + u". " + LongName(*item)).c_str());
        std::u16string path = DownloadTargetPath(folder_, item->Field(WebField::Filename).text);
        if (host_ && shelf_ && !path.empty()) {
            selecting_ = true;
            host_->SelectInstalledRow(shelf_->FindByPath(path));
            selecting_ = false;
        }
    }
    return true;
}

void ServerListPane::ContextMenu() {
    HMENU popup = g_frame ? GetSubMenu(g_frame->ContextMenus(), kServerMenuPosition) : nullptr;
    if (!popup) return;
    ModifyMenuW(popup, kInstall, MF_BYCOMMAND | MF_STRING, kInstall, Text(kInstallItemSlot).c_str());
    const bool canInstall = state_ == DownloadState::Idle && ItemOfRow(SelectedRow()) != nullptr;
    EnableMenuItem(popup, kInstall, MF_BYCOMMAND | (canInstall ? MF_ENABLED : MF_GRAYED));
    POINT at{};
    GetCursorPos(&at);
    const UINT chosen = TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, dialog_, nullptr);
    if (chosen == kInstall) OnCommand(kInstall, 0);
}

void ServerListPane::SelectInstalled(RDFDictionary* dictionary) {
    if (selecting_ || !view_ || !dictionary || state_ != DownloadState::Idle) return;
    selecting_ = true;
    const std::u16string path(dictionary->File().path);
    for (int row = 0; row < RowCount(); ++row) {
        const CWebDictionary* item = ItemOfRow(row);
        bool same = item && DownloadTargetPath(folder_, item->Field(WebField::Filename).text) == path;
        ListView_SetItemState(view_, row, same ? LVIS_SELECTED : 0, LVIS_SELECTED);
        if (same) ListView_EnsureVisible(view_, row, FALSE);
    }
    selecting_ = false;
}

void ServerListPane::DownloadItem() {
    const CWebDictionary* item = ItemOfRow(SelectedRow());
    if (!item || !shelf_) return;
    Download next;
    next.title = ShortName(*item);
    next.target = DownloadTargetPath(folder_, item->Field(WebField::Filename).text);
    next.size = item->Field(WebField::Size).value;
    if (next.target.empty()) return;
    // The name passed the list's checks; the system's own reading of the
    // whole path must still land directly in the folder.
    if (!LiesDirectlyInFolder(FullPath(next.target), FullPath(folder_))) {
        MessageBoxW(dialog_, Format(kFailedSlot, next.title, folder_).c_str(), FailedCaption().c_str(),
                    MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    RDFDictionary* installed = shelf_->FindByPath(next.target);
    const bool inReader = installed && isShownInReader && isShownInReader(installed);
    uint32_t fileFlags = 0;
    const bool fileThere = !installed && FileSizeLow(next.target) && OpensAsDatabase(next.target, &fileFlags);
    if ((installed && ((installed->flags & kEditableOrWorking) || inReader)) || (fileFlags & kEditableOrWorking)) {
        MessageBoxW(dialog_, Format(kEditableSlot, next.title, folder_).c_str(), Text(kNotInstalledCaptionSlot).c_str(),
                    MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (installed || fileThere) {
        int slot = installed && item->localStatus == local_status::kNewerOnServer ? kWillUpdateSlot : kWillReplaceSlot;
        if (MessageBoxW(dialog_, Format(slot, next.title, folder_).c_str(), ReplaceCaption().c_str(),
                        MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        next.update = true;
    }
    std::u16string url = item->GetDownloadUrl();
    if (url.empty()) return;
    AppendTimestampQuery(url, u'?', static_cast<int64_t>(std::time(nullptr)));
    next.downloadPath = FreeDownloadPath();
    line_ = lines_.AddLine();
    if (!line_) return;
    line_->SetTransferTimeout(transferTimeoutMs);
    // The list's Size is for showing and matching only: a file of another
    // size still installs (the file cap and the announced length still hold).
    request_ = line_->AddRequest(url, u"GET", nullptr, 0, dialog_, kDownloadDoneMessage, next.downloadPath);
    if (!request_) {
        lines_.RemoveLine(line_);
        line_ = nullptr;
        return;
    }
    download_ = std::move(next);
    state_ = DownloadState::Downloading;
    SetDlgItemTextW(dialog_, kLabel, Format(kInstallingSlot, download_.title).c_str());
    SetDlgItemTextW(dialog_, kInstall, Text(kCancelSlot).c_str());
    EnableWindow(GetDlgItem(dialog_, IDOK), FALSE);
    EnableWindow(GetDlgItem(dialog_, IDCANCEL), FALSE);
    HWND progress = GetDlgItem(dialog_, kProgress);
    SetWindowLongPtrW(progress, GWL_STYLE, GetWindowLongPtrW(progress, GWL_STYLE) & ~PBS_MARQUEE);
    SendMessageW(progress, PBM_SETRANGE32, 0, 1000);
    SendMessageW(progress, PBM_SETPOS, 0, 0);
}

void ServerListPane::Cancel() {
    state_ = DownloadState::Cancelling;
    cancelTick_ = GetTickCount();
    SetDlgItemTextW(dialog_, kInstall, Text(kInstallSlot).c_str());
    if (request_) request_->Cancel();   // the completion message still follows
}

// A transfer waiting for the server notices Cancel only when the wait ends:
// the download ends now, and its line is let go without waiting. The line
// gives the transfer up a second later, and the file it wrote goes with its
// last handle; until then that name is not used again (FreeDownloadPath).
void ServerListPane::LetCancelledDownloadGo() {
    line_->SetStopWait(0);
    lines_.RemoveLine(line_);
    line_ = nullptr;
    request_ = nullptr;
    state_ = DownloadState::Idle;
    SendDlgItemMessageW(dialog_, kProgress, PBM_SETPOS, 1000, 0);
    failure_ = UIExtra(UIExtraText::kTransferCancelled);
    FinishDownload(false, nullptr);
}

std::u16string ServerListPane::FreeDownloadPath() const {
    const std::u16string folder = folder_ + (folder_.ends_with(u'\\') ? u"" : u"\\");
    std::u16string path = folder + DownloadFileName(0);
    // A stale download is deleted; one a cancelled transfer still writes
    // cannot be, and the next name is taken.
    for (int n = 1; !DeleteFileW(WideString(path).c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND && n < 100; ++n)
        path = folder + DownloadFileName(n);
    return path;
}

void ServerListPane::OnDownloadFinished(WPARAM wParam, LPARAM) {
    auto* request = reinterpret_cast<CHomeRequest*>(wParam);
    if (!request || request != request_ || !line_ || !line_->Holds(request)) return;
    SendDlgItemMessageW(dialog_, kProgress, PBM_SETPOS, 1000, 0);
    state_ = DownloadState::Idle;
    TransferOutcome outcome{request->Result(), request->StatusCode(), request->Received(), request->SystemError(),
                            transferTimeoutMs, request->RedirectTarget()};
    // The request and its line are done with: no thread is kept per download.
    line_->RemoveRequest(request);
    lines_.RemoveLine(line_);
    line_ = nullptr;
    request_ = nullptr;
    failure_ = TransferFailureReason(outcome, SystemErrorText);
    if (failure_.empty() && !OpensAsDatabase(download_.downloadPath))
        failure_ = UIExtra(UIExtraText::kDownloadNotDictionary);
    RDFDictionary* dictionary = nullptr;
    const bool installed = failure_.empty() && InstallDownloaded(dictionary);
    DeleteFileW(WideString(download_.downloadPath).c_str());
    FinishDownload(installed, dictionary);
}

bool ServerListPane::InstallDownloaded(RDFDictionary*& dictionary) {
    const std::wstring from = WideString(download_.downloadPath), to = WideString(download_.target);
    const DWORD replace = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    dictionary = shelf_->FindByPath(download_.target);
    if (dictionary) {
        // The old copy is closed first; one replacing move keeps either it or
        // the new one, never neither.
        if (WordList* history = shelf_->GetWordList(kListHistory)) history->RemoveDictionaryEntries(dictionary);
        if (WordList* selected = shelf_->GetWordList(kListSelected)) selected->RemoveDictionaryEntries(dictionary);
        const bool wasOpen = (dictionary->flags & kDictionaryOpen) != 0;
        if (wasOpen) {
            dictionary->flags |= kDictionaryToClose;
            shelf_->Refresh();
        }
        if (!MoveFileExW(from.c_str(), to.c_str(), replace)) {
            NoteMoveFailure();
            if (wasOpen) dictionary->Open(2);
            shelf_->Refresh();
            return false;
        }
        dictionary->File().SetPath(download_.target.c_str());   // its size and time again
    } else {
        if (FileSizeLow(download_.target)) download_.update = true;
        if (!MoveFileExW(from.c_str(), to.c_str(), replace)) {
            NoteMoveFailure();
            return false;
        }
        dictionary = shelf_->AddDictionary(DetectDictionaryFileFormat(download_.target.c_str()), download_.target);
        if (!dictionary) return false;
    }
    dictionary->flags &= ~(kDictionaryHidden | kDictionaryToClose);
    if (uint32_t error = dictionary->Open(2))
        dictionary->ShowError(dialog_, UIStringTable[kCannotOpenSlot], download_.target, error);
    shelf_->Refresh();
    return true;
}

void ServerListPane::NoteMoveFailure() {
    failure_ = std::u16string(UIExtra(UIExtraText::kDownloadNotMoved)) + u"\n" + SystemErrorText(GetLastError());
}

void ServerListPane::FinishDownload(bool installed, RDFDictionary* dictionary) {
    if (installed) {
        if (host_) host_->RefillInstalled(dictionary);
        MatchShelf();
        std::wstring text = Format(download_.update ? kUpdatedSlot : kInstalledSlot, download_.title, folder_);
        SetDlgItemTextW(dialog_, kLabel, text.c_str());
        MessageBoxW(dialog_, text.c_str(), InstalledCaption().c_str(), MB_OK | MB_ICONINFORMATION);
    } else {
        // What failed, in the label (one line) and the box alike.
        const std::wstring text = Format(kFailedSlot, download_.title, folder_);
        const std::wstring reason = failure_.empty() ? L"" : WideString(failure_);
        SetDlgItemTextW(dialog_, kLabel, (reason.empty() ? text : text + L" " + reason).c_str());
        MessageBoxW(dialog_, (reason.empty() ? text : text + L"\n" + reason).c_str(), FailedCaption().c_str(),
                    MB_OK | MB_ICONEXCLAMATION);
    }
    SendDlgItemMessageW(dialog_, kProgress, PBM_SETPOS, 0, 0);
    SetDlgItemTextW(dialog_, kInstall, Text(kInstallSlot).c_str());
    EnableWindow(GetDlgItem(dialog_, IDOK), TRUE);
    EnableWindow(GetDlgItem(dialog_, IDCANCEL), TRUE);
}
