// Wine's X11 clipboard bridge holds the clipboard open for a moment after
// each change; the tests wait for it as any program would.
#pragma once

#include <windows.h>
#include <ole2.h>

inline bool OpenClipboardPatiently() {
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (OpenClipboard(nullptr)) return true;
        Sleep(20);
    }
    return false;
}

// Calls `call` until it answers something other than CLIPBRD_E_CANT_OPEN.
template <class Call> HRESULT Patiently(Call call) {
    HRESULT result = E_FAIL;
    for (int attempt = 0; attempt < 100; ++attempt) {
        if ((result = call()) != CLIPBRD_E_CANT_OPEN) return result;
        Sleep(20);
    }
    return result;
}

// Closes the clipboard an OpenClipboardPatiently opened, however the test ends.
struct ClipboardClosed {
    ~ClipboardClosed() { CloseClipboard(); }
};
