// The hidden control behind the printer output.
#include "article/win/hidden_rich_edit.h"

#include <richedit.h>

HiddenRichEdit::HiddenRichEdit(HWND parent) {
    // Loaded once and kept for the run.
    static const HMODULE library = LoadLibraryW(L"Riched20.dll");
    if (library == nullptr) return;
    const DWORD style = ES_MULTILINE | ES_READONLY | (parent != nullptr ? WS_CHILD : WS_POPUP);
    control_ = CreateWindowExW(0, L"RichEdit20W", L"", style, 0, 0, 200, 200, parent, nullptr, nullptr, nullptr);
}

HiddenRichEdit::~HiddenRichEdit() {
    if (control_ != nullptr) DestroyWindow(control_);
}
