// MeasureControlFit: see control_fit.h.
#include "ui/control_fit.h"

#include <cwctype>

namespace {

constexpr int kCheckBoxRoom = 16;   // the box and its gap
constexpr int kPushButtonRoom = 6;  // the edges and the focus frame
constexpr int kGroupBoxRoom = 12;

std::wstring ClassOf(HWND control) {
    wchar_t name[64] = {};
    GetClassNameW(control, name, 64);
    for (wchar_t* c = name; *c; ++c) *c = static_cast<wchar_t>(std::towlower(*c));
    return name;
}

}  // namespace

ControlFit MeasureControlFit(HWND control) {
    ControlFit fit;
    const std::wstring type = ClassOf(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const bool isStatic = type == L"static", isButton = type == L"button";
    if (!isStatic && !isButton) return fit;
    if (isStatic) {
        const LONG kind = style & SS_TYPEMASK;
        if (kind != SS_LEFT && kind != SS_CENTER && kind != SS_RIGHT && kind != SS_LEFTNOWORDWRAP && kind != SS_SIMPLE)
            return fit;
        if (style & (SS_ENDELLIPSIS | SS_PATHELLIPSIS | SS_WORDELLIPSIS)) return fit;
    }
    const LONG buttonKind = style & BS_TYPEMASK;
    if (isButton && buttonKind == BS_OWNERDRAW) return fit;
    wchar_t text[1024] = {};
    GetWindowTextW(control, text, 1024);
    if (!text[0]) return fit;
    RECT client{};
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    const bool checkLike = isButton && !(style & BS_PUSHLIKE) && (buttonKind == BS_CHECKBOX || buttonKind == BS_AUTOCHECKBOX ||
                                        buttonKind == BS_RADIOBUTTON || buttonKind == BS_AUTORADIOBUTTON ||
                                        buttonKind == BS_3STATE || buttonKind == BS_AUTO3STATE);
    const bool groupBox = isButton && buttonKind == BS_GROUPBOX;
    int room = client.right - client.left;
    if (checkLike) room -= kCheckBoxRoom;
    else if (groupBox) room -= kGroupBoxRoom;
    else if (isButton) room -= kPushButtonRoom;
    const bool wraps = (isStatic && (style & SS_TYPEMASK) != SS_LEFTNOWORDWRAP && (style & SS_TYPEMASK) != SS_SIMPLE) ||
                       (isButton && (style & BS_MULTILINE));
    RECT needed{0, 0, room, 0};
    UINT format = DT_CALCRECT | DT_EXPANDTABS | (wraps ? DT_WORDBREAK : DT_SINGLELINE);
    DrawTextW(dc, text, -1, &needed, format);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    fit.measured = true;
    if (wraps && !groupBox) {
        // A wrapped text needs its lines' height, and no word wider than the line.
        fit.needed = needed.bottom - needed.top;
        fit.room = client.bottom - client.top;
        fit.fits = fit.needed <= fit.room && needed.right - needed.left <= room;
    } else {
        fit.needed = needed.right - needed.left;
        fit.room = room;
        fit.fits = fit.needed <= fit.room;
    }
    return fit;
}
