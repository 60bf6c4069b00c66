// The hidden control behind the printer and clipboard outputs.
#include "article/win/hidden_rich_edit.h"

#include <richedit.h>

#include "article/win/rtf_rich_edit.h"

HiddenRichEdit::HiddenRichEdit(HWND parent) {
    // Loaded once and kept: the control's copy leaves a data object of the
    // library's own on the clipboard, which must outlive the control.
    static const HMODULE library = LoadLibraryW(L"Riched20.dll");
    if (library == nullptr) return;
    const DWORD style = ES_MULTILINE | ES_READONLY | (parent != nullptr ? WS_CHILD : WS_POPUP);
    control_ = CreateWindowExW(0, L"RichEdit20W", L"", style, 0, 0, 200, 200, parent, nullptr, nullptr, nullptr);
}

HiddenRichEdit::~HiddenRichEdit() {
    if (control_ != nullptr) DestroyWindow(control_);
}

int32_t HiddenRichEdit::Load(CRtfDocumentBuilder& document) {
    return control_ != nullptr && StreamToRichEdit(document, control_) == 1 ? 1 : 0;
}

int32_t HiddenRichEdit::CopyAll() {
    if (control_ == nullptr) return 0;
    SendMessageW(control_, EM_SETSEL, 0, -1);
    // Another program may hold the clipboard open for a moment: try again
    // for about a second before giving up.
    for (int attempt = 0; attempt < 50; ++attempt) {
        const DWORD before = GetClipboardSequenceNumber();
        SendMessageW(control_, WM_COPY, 0, 0);
        if (GetClipboardSequenceNumber() != before && IsClipboardFormatAvailable(CF_UNICODETEXT)) return 1;
        Sleep(20);
    }
    return 0;
}
