// Keeps a window's rectangle inside the desktop work area: the arithmetic,
// shared by the Windows helper that asks the system for the area.
#pragma once

#include <cstdint>

struct WorkArea {
    int32_t left, top, right, bottom;
};

// When x + width reaches past the right edge, x becomes right - width (likewise
// y with the bottom edge); negative results become 0.
void ClampToArea(int32_t& x, int32_t& y, int32_t width, int32_t height, const WorkArea& area);
