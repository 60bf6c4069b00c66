// What the conversion and optimisation dialogs share: the compile's window
// side (step label, progress bar, Cancel), the identity the compile writes
// (fixed in the test build's deterministic mode), and Cancel while a compile
// runs, which asks before it stops the compile.
#pragma once

#include <windows.h>

#include <memory>

#include "import/compile_environment.h"
#include "import/win/win_compile_environment.h"

class CConverter;

inline constexpr int kCompileHelpTopic = 142;

// The identity of a new file: fixed when OSTREL_DETERMINISTIC_COMPILE=1
// (the test build compares files with the command-line compiler's).
std::unique_ptr<CompileEnv> MakeCompileEnv();

class CompileDialogRun {
public:
    // Sets the progress bar's range, its step and position 0.
    void Attach(HWND dialog, int labelId, int progressId);
    WinCompileUi& Ui() { return *ui_; }
    // Marks the compile running (Convert disabled) until the returned guard goes.
    struct Running {
        explicit Running(CompileDialogRun& run);
        ~Running();
        CompileDialogRun& run;
    };
    void SetConverter(CConverter* converter) { converter_ = converter; }
    bool IsRunning() const { return running_; }
    // Cancel or Escape: ends the dialog with 0 when idle; while running asks
    // and cancels the compile on Yes.
    void OnCancel();
    // Cancel, Help (1016) and WM_HELP (topic 142); true when taken.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    HWND dialog_ = nullptr;
    std::unique_ptr<WinCompileUi> ui_;
    CConverter* converter_ = nullptr;
    bool running_ = false;
};
