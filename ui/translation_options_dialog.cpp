// The word translation options dialog: texts from the interface texts, the
// three check marks from the options, OK through the options model.
#include "ui/translation_options_dialog.h"

#include "common/ui_text/ui_text.h"
#include "common/win/dialog_helpers.h"
#include "common/win/wide_text.h"
#include "japanese/trans_options.h"
#include "resources/program/resource_ids.h"
#include "ui/application.h"
#include "ui/frame.h"

namespace {

constexpr int kTitleSlot = 579;
constexpr int kOkSlot = 637;
constexpr int kCancelSlot = 638;
constexpr int kHelpSlot = 269;

constexpr ControlText kControlTexts[] = {
    {IDC_TRANSLATION_GENERAL_GROUP, 580}, {IDC_TRANSLATION_EXPAND, 581},       {IDC_TRANSLATION_ONE_KANA, 582},
    {IDC_TRANSLATION_DICTIONARIES, 583},  {IDC_TRANSLATION_NAMES, 584},        {IDC_TRANSLATION_ON_THE_FLY_GROUP, 585},
    {IDC_TRANSLATION_FULL_SEARCH, 586},   {IDC_TRANSLATION_UNDER_CURSOR, 587}, {IDOK, kOkSlot},
    {IDCANCEL, kCancelSlot},              {IDC_TRANSLATION_HELP, kHelpSlot},
};
// The controls that take the Japanese dialog font in the Japanese interface.
constexpr int kJapaneseFontControls[] = {
    IDC_TRANSLATION_GENERAL_GROUP, IDC_TRANSLATION_EXPAND, IDC_TRANSLATION_ONE_KANA, IDC_TRANSLATION_DICTIONARIES,
    IDC_TRANSLATION_NAMES, IDC_TRANSLATION_ON_THE_FLY_GROUP, IDC_TRANSLATION_FULL_SEARCH,
    IDC_TRANSLATION_UNDER_CURSOR, IDOK, IDCANCEL, IDC_TRANSLATION_HELP, 0};

std::wstring Text(int slot) { return WideString(UIStringTable[slot]); }

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

}  // namespace

INT_PTR CTranslationOptionsDlg::Run(HWND owner) {
    uint32_t modal = g_application ? (g_application->flags & app_flag::kModalDialog) : 0;
    if (g_application) g_application->flags |= app_flag::kModalDialog;
    modal_ = true;
    INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), L"TRANSLATION_OPTIONS", owner, &DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    modal_ = false;
    if (g_application) g_application->flags = (g_application->flags & ~app_flag::kModalDialog) | modal;
    return result < 0 ? 0 : result;
}

HWND CTranslationOptionsDlg::Create(HWND owner) {
    return CreateDialogParamW(GetModuleHandleW(nullptr), L"TRANSLATION_OPTIONS", owner, &DialogProc,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CTranslationOptionsDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        reinterpret_cast<CTranslationOptionsDlg*>(lParam)->OnInit(dialog);
        return TRUE;
    }
    auto* self = reinterpret_cast<CTranslationOptionsDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self) return FALSE;
    switch (message) {
    case WM_COMMAND:
        self->OnCommand(LOWORD(wParam));
        return TRUE;
    case WM_HELP:
        // The help command has no handler: the dialog only sends it.
        SendMessageW(dialog, WM_COMMAND, IDC_TRANSLATION_HELP_COMMAND, 0);
        return TRUE;
    case WM_NCDESTROY:
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        self->dialog_ = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

void CTranslationOptionsDlg::OnInit(HWND dialog) {
    dialog_ = dialog;
    SetWindowTextW(dialog, Text(kTitleSlot).c_str());
    SetControlTexts(dialog, kControlTexts);
    if (g_application) g_application->ApplyDialogFont(dialog, kJapaneseFontControls);
    CheckDlgButton(dialog, IDC_TRANSLATION_EXPAND, options_.expand != 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_TRANSLATION_ONE_KANA, options_.minKanaLength >= 2 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_TRANSLATION_UNDER_CURSOR, options_.underCursor != 0 ? BST_CHECKED : BST_UNCHECKED);
}

void CTranslationOptionsDlg::OnCommand(WORD id) {
    switch (id) {
    case IDOK:
        if (ini_ != nullptr) {
            options_.ApplyDialogChoice(*ini_, Checked(dialog_, IDC_TRANSLATION_EXPAND),
                                       Checked(dialog_, IDC_TRANSLATION_ONE_KANA));
        }
        Close(1);
        break;
    case IDCANCEL:
        Close(0);
        break;
    case IDC_TRANSLATION_DICTIONARIES:
        if (g_frame && g_frame->furniture) g_frame->furniture->ShowDictionaries(dialog_);
        break;
    default:
        break;
    }
}

void CTranslationOptionsDlg::Close(INT_PTR result) {
    if (modal_) EndDialog(dialog_, result);
    else DestroyWindow(dialog_);
}
