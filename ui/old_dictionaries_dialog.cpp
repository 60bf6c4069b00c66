// The old-dictionaries warning: texts from the interface texts, the home
// site's address on its button, the answer kept in the registry.
#include "ui/old_dictionaries_dialog.h"

#include "common/settings/registry_values.h"
#include "common/settings/win/registry_store.h"
#include "common/ui_text/ui_text.h"
#include "common/win/dialog_helpers.h"
#include "common/win/wide_text.h"
#include "resources/program/dialog_ids.h"
#include "ui/application.h"
#include "ui/dialog_procedure.h"

namespace {

constexpr int kTitleSlot = 656, kHelpTopic = 123;
constexpr UINT kDictionariesCommand = 40070, kHomePageCommand = 40134;
constexpr ControlText kTexts[] = {{IDC_OLD_MESSAGE, 657}, {IDC_OLD_LIST, 658}, {IDC_OLD_NO_REMIND, 659},
                                  {IDOK, 637},            {IDCANCEL, 638},    {IDC_OLD_HELP, 269}};

class OldDictionariesWarning {
public:
    explicit OldDictionariesWarning(HWND frame) : frame_(frame) {}

    INT_PTR OnInitDialog(HWND dialog) {
        dialog_ = dialog;
        static const int kFontControls[] = {IDOK, IDC_OLD_MESSAGE, IDC_OLD_NO_REMIND, IDC_OLD_HOME_SITE, IDC_OLD_LIST, 0};
        if (g_application) g_application->ApplyDialogFont(dialog_, kFontControls);
        SetWindowTextW(dialog_, WideString(UIStringTable[kTitleSlot]).c_str());
        SetControlTexts(dialog_, kTexts);
        const std::u16string site = g_application ? g_application->homeSite : std::u16string();
        SetDlgItemTextW(dialog_, IDC_OLD_HOME_SITE, WideString(site).c_str());
        SetFocus(GetDlgItem(dialog_, IDOK));
        return FALSE;  // the focus was set
    }

    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM) {
        if (message == WM_HELP) {
            ShowHelp();
            return TRUE;
        }
        if (message != WM_COMMAND) return FALSE;
        switch (LOWORD(wParam)) {
        case IDOK:
            if (IsDlgButtonChecked(dialog_, IDC_OLD_NO_REMIND) == BST_CHECKED) RegSetDword(kSkipPre6WarningValue, 1);
            EndDialog(dialog_, IDOK);
            return TRUE;
        case IDCANCEL: EndDialog(dialog_, IDCANCEL); return TRUE;
        case IDC_OLD_LIST: PostAndClose(kDictionariesCommand); return TRUE;
        case IDC_OLD_HOME_SITE: PostAndClose(kHomePageCommand); return TRUE;
        case IDC_OLD_HELP: ShowHelp(); return TRUE;
        default: return FALSE;
        }
    }

private:
    void PostAndClose(UINT command) {
        if (frame_) PostMessageW(frame_, WM_COMMAND, command, 0);
        EndDialog(dialog_, IDCANCEL);
    }
    void ShowHelp() {
        if (g_application) g_application->ShowHelpTopic(dialog_, kHelpTopic);
    }

    HWND frame_;
    HWND dialog_ = nullptr;
};

}  // namespace

void ShowOldDictionariesWarning(HWND owner, HWND frame) {
    uint32_t skip = 0;
    if (RegGetDword(kSkipPre6WarningValue, skip) == 1 && skip != 0) return;
    OldDictionariesWarning warning(frame);
    DialogBoxParamW(GetModuleHandleW(nullptr), L"OLD_DIC_WARNING", owner, &DialogProcedure<OldDictionariesWarning>,
                    reinterpret_cast<LPARAM>(&warning));
}
