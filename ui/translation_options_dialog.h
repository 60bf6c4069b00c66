// The word translation options dialog TRANSLATION_OPTIONS (CTranslationOptionsDlg):
// shows Expand, the one-kana rule and UnderCursor as check boxes; OK stores
// Expand and MinKanaLength in section "Translation", Cancel and Esc change
// nothing. The names and full-search boxes are shown but neither set nor read.
#pragma once

#include <windows.h>

#include <cstdint>

class CIni;

namespace ostrel::japanese {
class CTransOptions;
}

class CTranslationOptionsDlg {
public:
    // `ini` may be null (nothing is written then).
    CTranslationOptionsDlg(ostrel::japanese::CTransOptions& options, CIni* ini) : options_(options), ini_(ini) {}

    // Modal over `owner` with the application's modal flag set for the
    // duration; 1 after OK, 0 after Cancel.
    INT_PTR Run(HWND owner);
    // The same dialog modeless (the tests drive it).
    HWND Create(HWND owner);

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInit(HWND dialog);
    // True when the command closed the dialog.
    void OnCommand(WORD id);
    void Close(INT_PTR result);

    ostrel::japanese::CTransOptions& options_;
    CIni* ini_;
    HWND dialog_ = nullptr;
    bool modal_ = false;
};
