#include "ui/update_notice_dialog.h"

#include <shellapi.h>

#include "common/settings/registry_values.h"
#include "common/settings/win/registry_store.h"
#include "common/ui_text/ui_text.h"
#include "common/win/dialog_helpers.h"
#include "common/win/wide_text.h"
#include "resources/program/resource_ids.h"
#include "ui/application.h"
#include "web/news_items.h"

namespace {

constexpr int kCaptionSlot = 646;
constexpr int kRemindSlot = 647;
constexpr int kMessageSlot = 648;
constexpr int kCancelSlot = 638;
constexpr int kJapaneseFontControls[] = {IDC_UPDATE_MESSAGE, IDC_UPDATE_REMIND, IDOK, IDCANCEL, 0};

std::u16string NoRemindName(int32_t item) { return NoRemindValueName(item - 1); }

}  // namespace

INT_PTR CDownloadUpdateDlg::Show(HWND owner, std::string_view reply) {
    auto items = ParseNewsItems(reply);
    uint32_t noRemind = 0;
    RegGetDword(NoRemindName(kUpdateNewsItem), noRemind);
    const NewsItem& item = items[kUpdateNewsItem - 1];
    if (!AnnouncedNewerVersion(item, noRemind, version_)) return 0;
    serial_ = item.serial;
    return DialogBoxParamW(GetModuleHandleW(nullptr), L"DOWNLOAD_UPDATE", owner, &UpdateNoticeDlgProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CDownloadUpdateDlg::UpdateNoticeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto* self = reinterpret_cast<CDownloadUpdateDlg*>(lParam);
        self->dialog_ = dialog;
        self->InitTexts();
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;   // the focus is set
    }
    auto* self = reinterpret_cast<CDownloadUpdateDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self || message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK: {
        self->SaveNoRemind();
        std::u16string page = self->homeSite_ + DownloadPage(self->language_);
        ShellExecuteW(nullptr, L"open", WideString(page).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return self->End(1);
    }
    case IDCANCEL:   // Cancel and Escape alike
        self->SaveNoRemind();
        return self->End(-1);
    default:
        return FALSE;
    }
}

INT_PTR CDownloadUpdateDlg::End(INT_PTR result) {
    EndDialog(dialog_, result);
    return TRUE;
}

void CDownloadUpdateDlg::InitTexts() {
    if (g_application) g_application->ApplyDialogFont(dialog_, kJapaneseFontControls);
    SetWindowTextW(dialog_, WideString(UIStringTable[kCaptionSlot]).c_str());
    SetDlgItemTextW(dialog_, IDC_UPDATE_REMIND, WideString(UIStringTable[kRemindSlot]).c_str());
    CheckDlgButton(dialog_, IDC_UPDATE_REMIND, BST_CHECKED);
    SetDlgItemTextW(dialog_, IDCANCEL, WideString(UIStringTable[kCancelSlot]).c_str());
    SetDlgItemTextW(dialog_, IDOK, WideString(homeSite_).c_str());
    std::u16string text(UIStringTable[kMessageSlot]);
    size_t at = text.find(u"%s");
    if (at != std::u16string::npos) text.replace(at, 2, EditionName(version_));
    SetDlgItemTextW(dialog_, IDC_UPDATE_MESSAGE, WideString(text).c_str());
}

void CDownloadUpdateDlg::SaveNoRemind() {
    if (IsDlgButtonChecked(dialog_, IDC_UPDATE_REMIND) != BST_CHECKED)
        RegSetDword(NoRemindName(kUpdateNewsItem), serial_);
}

void ShowUpdateNotice(HWND owner, std::string_view reply) {
    Application* app = g_application;
    CDownloadUpdateDlg notice(app ? app->homeSite : std::u16string(), app ? app->language : 1);
    notice.Show(owner, reply);
}
