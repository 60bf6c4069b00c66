// EM_STREAMIN of a CRtfDocumentBuilder through its stream reader.
#include "article/win/rtf_rich_edit.h"

#include <richedit.h>

#include "article/rtf_document.h"

namespace {

// Hands the control as much of the rest of the document as it asks for;
// 0 bytes once the closing brace is out.
DWORD CALLBACK StreamInCallback(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* document = reinterpret_cast<CRtfDocumentBuilder*>(cookie);
    *given = document->ReadStream(reinterpret_cast<char*>(buffer), wanted < 0 ? 0 : wanted);
    return 0;
}

}  // namespace

int StreamToRichEdit(CRtfDocumentBuilder& document, HWND control) {
    SendMessageW(control, EM_SETREADONLY, FALSE, 0);
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    document.RewindStream();
    EDITSTREAM stream = {};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&document);
    stream.pfnCallback = StreamInCallback;
    SendMessageW(control, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    SendMessageW(control, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    return stream.dwError == 0 ? 1 : 0;
}
