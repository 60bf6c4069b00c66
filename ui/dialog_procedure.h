// One dialog procedure for the dialogs whose object is their creation
// parameter: WM_INITDIALOG keeps the object in DWLP_USER and calls its
// OnInitDialog (the procedure's answer); every later message goes to its
// OnMessage (FALSE for messages before WM_INITDIALOG).
#pragma once

#include <windows.h>

template <class Dialog>
INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return reinterpret_cast<Dialog*>(lParam)->OnInitDialog(dialog);
    }
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return self ? self->OnMessage(message, wParam, lParam) : FALSE;
}
