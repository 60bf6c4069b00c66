// The capture from the web browser control's window ("Internet
// Explorer_Server"): the HTML document comes from the window's document
// message, else from the shell's browser windows; the pointer is mapped into
// the document (frames, page zoom) and the text 20 characters either side of
// it is read through text ranges, cleaned and joined.
#pragma once

#include <windows.h>
#include <mshtml.h>

#include <cstdint>
#include <functional>

#include "japanese/win/capture_sink.h"
#include "japanese/win/com_holders.h"

namespace ostrel::japanese {

// The document a window answers to the registered message
// "WM_HTML_GETOBJECT" (100 ms, abort if hung), empty when it gives none.
ComPtr<IHTMLDocument> RequestHtmlDocument(HWND window);

// The display's logical pixels per inch for a window (0 when unreadable).
int32_t DisplayLogPixels(HWND window);

class BrowserControlCapture {
public:
    // Always 1; translates at most once.
    int32_t GetWordFromInternetExplorer(HWND window, const CaptureTranslate& translate);

    // Seams: the document request, the display's pixels per inch.
    std::function<ComPtr<IHTMLDocument>(HWND)> documentFromWindow = RequestHtmlDocument;
    std::function<int32_t(HWND)> displayLogPixels = DisplayLogPixels;
};

}  // namespace ostrel::japanese
