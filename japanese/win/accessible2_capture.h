// The capture through IAccessible2 for browser windows (classes "Chrome…"
// and "Mozilla…"): Active Accessibility gives the object at the point, its
// IAccessible2 service gives IAccessibleText, and the text 20 characters
// either side of the offset at the point is translated.
#pragma once

#include <windows.h>

#include <cstdint>

#include "japanese/win/capture_sink.h"
#include "japanese/win/accessible2.h"
#include "japanese/win/com_holders.h"

namespace ostrel::japanese {

// The accessible text at a screen point, empty when the object there has no
// IAccessible2 service or no text interface.
ComPtr<IAccessibleText> GetAccessibleTextAtPoint(int32_t x, int32_t y);

class Accessible2Capture {
public:
    void GetWordFromChromium(HWND window, const CaptureTranslate& translate);

private:
    // The parent window last asked once at its client corner: a browser
    // builds its accessibility tree on the first request, which that one
    // absorbs.
    HWND lastPrimedParent_ = nullptr;
};

}  // namespace ostrel::japanese
