// MouseMovePending over PeekMessageW; see mouse_move_probe.h.
#include "dictionary/win/mouse_move_probe.h"

#include <windows.h>

bool MouseMovePending() {
    MSG message;
    return PeekMessageW(&message, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE) != 0;
}
