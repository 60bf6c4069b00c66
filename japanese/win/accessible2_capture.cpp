// The IAccessible2 capture: object at the point, its text, the window
// around the offset.
#include "japanese/win/accessible2_capture.h"

#include <oleacc.h>
#include <servprov.h>

#include <string>

#include "japanese/capture_rules.h"

namespace ostrel::japanese {

ComPtr<IAccessibleText> GetAccessibleTextAtPoint(int32_t x, int32_t y) {
    ComPtr<IAccessibleText> text;
    ComPtr<IAccessible> object;
    VariantHolder child;
    if (FAILED(AccessibleObjectFromPoint(POINT{x, y}, object.Out(), child.Get())) || !object) return text;
    auto services = object.As<IServiceProvider>(IID_IServiceProvider);
    if (!services) return text;
    ComPtr<IUnknown> accessible2;
    if (FAILED(services->QueryService(kIidAccessible2, kIidAccessible2, accessible2.OutVoid())) || !accessible2)
        return text;
    return accessible2.As<IAccessibleText>(kIidAccessibleText);
}

void Accessible2Capture::GetWordFromChromium(HWND window, const CaptureTranslate& translate) {
    POINT point{};
    if (!GetCursorPos(&point)) return;
    if (HWND parent = GetParent(window); parent && parent != lastPrimedParent_) {
        WINDOWINFO info{};
        info.cbSize = sizeof info;
        if (GetWindowInfo(parent, &info))
            GetAccessibleTextAtPoint(info.rcClient.left + 1, info.rcClient.top + 1);  // only to build the tree
        lastPrimedParent_ = parent;
    }
    ComPtr<IAccessibleText> text = GetAccessibleTextAtPoint(point.x, point.y);
    if (!text) return;
    long count = 0;
    if (FAILED(text->CharacterCount(&count)) || count <= 0) return;
    long offset = -1;
    if (FAILED(text->OffsetAtPoint(point.x, point.y, &offset)) || offset < 0) {
        // Some browsers lay the text out only when asked for an extent.
        long x = 0, y = 0, width = 0, height = 0;
        if (FAILED(text->CharacterExtents(0, &x, &y, &width, &height))) return;
        if (FAILED(text->OffsetAtPoint(point.x, point.y, &offset)) || offset < 0) return;
    }
    auto around = AccessibleWindowAround(offset, count);
    if (!around) return;
    BstrHolder read;
    if (FAILED(text->Text(around->start, around->end, read.Out())) || read.Length() == 0) return;
    text.Reset();
    translate(read.Text(), around->caret);
}

}  // namespace ostrel::japanese
