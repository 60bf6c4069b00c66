// A hidden rich edit control that holds one export document for as long as
// the printer output needs it. The control is destroyed with the object.
#pragma once

#include <windows.h>

#include <cstdint>

class CRtfDocumentBuilder;

class HiddenRichEdit {
public:
    // A 200 x 200 hidden child of `parent` (a hidden pop-up without one).
    explicit HiddenRichEdit(HWND parent);
    ~HiddenRichEdit();
    HiddenRichEdit(const HiddenRichEdit&) = delete;
    HiddenRichEdit& operator=(const HiddenRichEdit&) = delete;

    HWND Window() const { return control_; }
    // 1 when the control exists and took the document.
    int32_t Load(CRtfDocumentBuilder& document);

private:
    HWND control_ = nullptr;
};
