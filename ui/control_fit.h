// Whether the text of a dialog's label or button fits the control as it is
// drawn: the text measured in the control's own font against its client
// area, with room for a check box or a button's edge. Lists, edits and
// labels that end their text with an ellipsis are not measured.
#pragma once

#include <windows.h>

#include <string>

struct ControlFit {
    bool measured = false;  // a label or button with text
    bool fits = true;
    int needed = 0, room = 0;  // pixels, across (single line) or down (wrapped)
};

ControlFit MeasureControlFit(HWND control);
