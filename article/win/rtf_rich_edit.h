// Streams a finished RTF document into a rich edit control (RichEdit 2.0 or
// later): the control is emptied and made writable, the document goes in as
// RTF, and the selection is removed.
#pragma once

#include <windows.h>

class CRtfDocumentBuilder;

// 1 when the control took the stream, 0 when it reported an error.
int StreamToRichEdit(CRtfDocumentBuilder& document, HWND control);
