// The shared window side of the conversion and optimisation dialogs.
#include "ui/compile_dialog.h"

#include <commctrl.h>

#include "import/converter.h"
#include "ui/application.h"
#include "ui/dialog_texts.h"

namespace {
constexpr int kStopSlot = 524, kStopCaptionSlot = 525;
constexpr int kHelpButton = 1016;
}  // namespace

std::unique_ptr<CompileEnv> MakeCompileEnv() {
    wchar_t value[8] = {};
    if (GetEnvironmentVariableW(L"OSTREL_DETERMINISTIC_COMPILE", value, 8) && value[0] == L'1')
        return std::make_unique<FixedCompileEnv>();
    return std::make_unique<WinCompileEnv>();
}

void CompileDialogRun::Attach(HWND dialog, int labelId, int progressId) {
    dialog_ = dialog;
    HWND bar = GetDlgItem(dialog, progressId);
    SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 1000));
    SendMessageW(bar, PBM_SETSTEP, 1, 0);
    SendMessageW(bar, PBM_SETPOS, 0, 0);
    ui_ = std::make_unique<WinCompileUi>(dialog, GetDlgItem(dialog, labelId), bar);
}

CompileDialogRun::Running::Running(CompileDialogRun& run) : run(run) {
    run.running_ = true;
    EnableWindow(GetDlgItem(run.dialog_, IDOK), FALSE);
}

CompileDialogRun::Running::~Running() {
    run.running_ = false;
    run.converter_ = nullptr;
    EnableWindow(GetDlgItem(run.dialog_, IDOK), TRUE);
    EnableWindow(GetDlgItem(run.dialog_, IDCANCEL), TRUE);
    SendDlgItemMessageW(run.dialog_, IDCANCEL, BM_SETSTATE, FALSE, 0);
}

void CompileDialogRun::OnCancel() {
    if (!running_) {
        EndDialog(dialog_, 0);
        return;
    }
    if (converter_ && converter_->Cancelled()) return;
    if (ShowSlotBox(dialog_, kStopSlot, kStopCaptionSlot, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    if (converter_) converter_->Cancel();
    // Pressed and disabled while the compile winds down.
    SendDlgItemMessageW(dialog_, IDCANCEL, BM_SETSTATE, TRUE, 0);
    EnableWindow(GetDlgItem(dialog_, IDCANCEL), FALSE);
}

bool CompileDialogRun::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    const bool help = message == WM_HELP || (message == WM_COMMAND && LOWORD(wParam) == kHelpButton);
    if (help) {
        if (g_application) g_application->ShowHelpTopic(dialog_, kCompileHelpTopic);
        return true;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}
