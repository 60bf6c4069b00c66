// A hidden rich edit control through which the printer output lays out its
// pages. The control is destroyed with the object.
#pragma once

#include <windows.h>

#include <cstdint>

class HiddenRichEdit {
public:
    // A 200 x 200 hidden child of `parent` (a hidden pop-up without one).
    explicit HiddenRichEdit(HWND parent);
    ~HiddenRichEdit();
    HiddenRichEdit(const HiddenRichEdit&) = delete;
    HiddenRichEdit& operator=(const HiddenRichEdit&) = delete;

    HWND Window() const { return control_; }

private:
    HWND control_ = nullptr;
};
