// The Win32 side of a compilation: the dialog's step label, progress bar and
// Cancel button, the message pump and message boxes (CompileUi), and the
// installation id from the registry, a new GUID and the local time (CompileEnv).
#pragma once

#include "import/compile_environment.h"

#include <windows.h>

class WinCompileUi : public CompileUi {
public:
    // Any window may be null: its part is then left out.
    WinCompileUi(HWND owner, HWND label, HWND progressBar) : owner_(owner), label_(label), bar_(progressBar) {}

    // With the end-to-end test hook on and OSTREL_TEST_STEP_HOLD naming an
    // event, the step then waits until the event is set (common/win/test_hold.h).
    void SetStepLabel(std::u16string_view text) override;
    void EnableCancel() override;
    bool HasProgressBar() const override { return bar_ != nullptr; }
    void SetProgress(int32_t perMille) override;
    void PumpMessages() override;
    void ShowMessage(std::u16string_view text, std::u16string_view caption) override;

private:
    HWND owner_;
    HWND label_;
    HWND bar_;
};

class WinCompileEnv : public CompileEnv {
public:
    std::u16string InstallationId() override;
    std::u16string NewGuidText() override;
    CompileTime LocalTime() override;
};
