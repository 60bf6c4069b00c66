// Reading a real rich edit back in tests: the text without CR LF
// conversion and the character format of one unit; RTF put on the clipboard.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <cstring>
#include <string>

// The control's text as it holds it (a paragraph end is one CR).
inline std::u16string ControlText(HWND control) {
    GETTEXTLENGTHEX lengthQuery = {GTL_NUMCHARS, 1200};
    const LRESULT length = SendMessageW(control, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthQuery), 0);
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    GETTEXTEX query = {};
    query.cb = static_cast<DWORD>(text.size() * 2);
    query.flags = GT_DEFAULT;
    query.codepage = 1200;
    const LRESULT got = SendMessageW(control, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&query),
                                     reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got));
    return text;
}

// The format of the unit at `position` (the selection is moved there).
inline CHARFORMAT2W UnitFormat(HWND control, LONG position) {
    CHARRANGE one = {position, position + 1};
    SendMessageW(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&one));
    CHARFORMAT2W format = {};
    format.cbSize = sizeof format;
    SendMessageW(control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

// Runs the thread's queue until it is empty.
inline void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Puts `rtf` (terminated) on the clipboard as its only format; false when the
// clipboard could not be opened.
inline bool PutRtfOnClipboard(HWND owner, const char* rtf) {
    const UINT rtfFormat = RegisterClipboardFormatW(L"Rich Text Format");
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    const size_t size = strlen(rtf) + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    memcpy(GlobalLock(block), rtf, size);
    GlobalUnlock(block);
    SetClipboardData(rtfFormat, block);
    CloseClipboard();
    return true;
}
