// The book reader's window tests run its messages for a while after each
// step, as the program's loop would: posted messages and paints happen there.
#pragma once

#include <windows.h>

inline void Pump(DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    MSG msg;
    do {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);  // safe across the tick count's wrap
}
