// Tear-down shared by the tests that build a real frame: the frame's window
// classes are unregistered and the messages left behind are dropped, so the
// next test registers and creates everything afresh.
#pragma once

#include <windows.h>

#include "ui/frame.h"

inline void UnregisterFrameClassesAndDrainMessages() {
    for (const char16_t* name :
         {kFrameClassName, kSizeBarClassName, kListViewClassName, kBookFrameClassName, kBookViewClassName})
        UnregisterClassW(reinterpret_cast<const wchar_t*>(name), GetModuleHandleW(nullptr));
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}
