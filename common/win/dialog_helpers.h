// Helpers for dialogs: interface texts and fonts on lists of controls, combo
// boxes selected by item data, and windows kept inside the desktop work area. A control list is
// an array of ids ended by 0, of which at most 100 are read.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

constexpr int kMaxControlList = 100;

// A dialog control and the slot of the interface text it shows.
struct ControlText {
    int id;
    int slot;
};
// Sets each listed control's text from its slot of UIStringTable.
void SetControlTexts(HWND dialog, std::span<const ControlText> controls);

// Sends WM_SETFONT (no redraw) to each listed control that exists; nothing for a null font.
int SetControlsFont(HWND dialog, HFONT font, const int* controlIds);
// Selects the first item whose data equals `value` and returns its index; with
// no match the selection is cleared and the item count returned (0 for an empty box).
int ComboSelectByData(HWND combo, LPARAM value);
// Moves (x, y) so the rectangle stays inside the work area (SPI_GETWORKAREA).
void ClampToWorkArea(int32_t& x, int32_t& y, int32_t width, int32_t height);
