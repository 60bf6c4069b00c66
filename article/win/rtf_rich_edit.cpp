// EM_STREAMIN of a CRtfDocumentBuilder's finished document.
#include "article/win/rtf_rich_edit.h"

#include <richedit.h>

#include <memory>

#include "article/rtf_document.h"
#include "article/win/rich_edit_stream.h"

int StreamToRichEdit(CRtfDocumentBuilder& document, HWND control) {
    std::unique_ptr<char[]> block;
    const int32_t size = document.ToMemory(block);
    if (!block) return 0;
    SendMessageW(control, EM_SETREADONLY, FALSE, 0);
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    const RichEditStreamResult result = StreamIntoRichEdit(control, SF_RTF, block.get(), size);
    SendMessageW(control, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    return result.ok ? 1 : 0;
}
