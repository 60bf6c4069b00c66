// A hidden rich edit control that holds one export document for as long as
// an output needs it: the printer path prints it, the clipboard path selects
// all and copies. The control is destroyed with the object, and the copy is
// sent (done before the call returns), never posted to a control about to go.
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
    // Selects everything and copies it to the clipboard (as the control
    // renders it: RTF and text). 1 when the clipboard holds it.
    int32_t CopyAll();

private:
    HWND control_ = nullptr;
};
