#include "common/win/dialog_helpers.h"

#include "common/base/work_area.h"
#include "common/ui_text/ui_text.h"
#include "common/win/wide_text.h"

void SetControlTexts(HWND dialog, std::span<const ControlText> controls) {
    for (const ControlText& control : controls)
        SetDlgItemTextW(dialog, control.id, WideString(UIStringTable[control.slot]).c_str());
}

int SetControlsFont(HWND dialog, HFONT font, const int* controlIds) {
    if (!font || !controlIds) return 0;
    for (int i = 0; i < kMaxControlList && controlIds[i] != 0; ++i) {
        if (HWND control = GetDlgItem(dialog, controlIds[i]))
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    return 0;
}

int ComboSelectByData(HWND combo, LPARAM value) {
    const int count = int(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    int index = 0;
    while (index < count && SendMessageW(combo, CB_GETITEMDATA, WPARAM(index), 0) != value) ++index;
    // No match clears the selection explicitly: not every system clears it
    // for an out-of-range index.
    SendMessageW(combo, CB_SETCURSEL, index < count ? WPARAM(index) : WPARAM(-1), 0);
    return index;
}

void ClampToWorkArea(int32_t& x, int32_t& y, int32_t width, int32_t height) {
    RECT rect{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &rect, 0)) return;
    ClampToArea(x, y, width, height, WorkArea{rect.left, rect.top, rect.right, rect.bottom});
}
