// The page's fake objects: their vtables, faces and answers. None lets an
// exception out: the caller is the capture's COM code.
#include "fake_html.h"

#include <exdisp.h>
#include <servprov.h>

#include <algorithm>
#include <cwchar>

#include "capture_test_support.h"
#include "html_slots.h"
#include "vtable_trap.h"

namespace ostrel::japanese::testing {

namespace {

constexpr size_t kMostSlots = 256;

FakeObject& Owner(FakeHead* self) { return *self->owner; }
HtmlScene& Scene(FakeHead* self) { return *self->owner->scene; }

// Hands out `object` (one more reference) through `out`.
HRESULT Give(FakeObject& object, void** out) {
    ++object.references;
    *out = &object.head;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeQueryInterface(FakeHead* self, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    FakeObject& object = Owner(self);
    if (iid == IID_IUnknown) return Give(object, out);
    auto face = object.faces.find(iid);
    if (face == object.faces.end()) return E_NOINTERFACE;
    return Give(*face->second, out);
}
ULONG STDMETHODCALLTYPE FakeAddRef(FakeHead* self) { return static_cast<ULONG>(++Owner(self).references); }
ULONG STDMETHODCALLTYPE FakeRelease(FakeHead* self) { return static_cast<ULONG>(--Owner(self).references); }
// IDispatch's own four: marshalers and tools may ask, the capture does not.
HRESULT STDMETHODCALLTYPE FakeTypeInfoCount(FakeHead*, UINT* count) {
    *count = 0;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE FakeTypeInfo(FakeHead*, UINT, LCID, ITypeInfo** info) {
    *info = nullptr;
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeIdsOfNames(FakeHead*, REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return DISP_E_UNKNOWNNAME;
}
HRESULT STDMETHODCALLTYPE FakeInvoke(FakeHead*, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) {
    return DISP_E_MEMBERNOTFOUND;
}

// ---- The document and its windows ----
HRESULT STDMETHODCALLTYPE DocumentScript(FakeHead* self, void** script) {
    return Give(Scene(self).scriptWindow, script);
}
HRESULT STDMETHODCALLTYPE WindowDocument(FakeHead* self, void** document) {
    HtmlScene& scene = Scene(self);
    if (Owner(self).tag == 0) return Give(scene.document2, document);
    ++scene.frameDocumentsAsked;
    *document = nullptr;
    if (&Owner(self) == &scene.frameWindows[0]) return E_ACCESSDENIED;  // a frame of another origin
    return Give(scene.frameDocument, document);
}
HRESULT STDMETHODCALLTYPE DocumentBody(FakeHead* self, void** body) {
    HtmlScene& scene = Scene(self);
    if (&Owner(self) == &scene.frameDocument) return Give(scene.frameBodyElement, body);
    return Give(scene.withBody ? scene.bodyElement : scene.frameset, body);
}
HRESULT STDMETHODCALLTYPE DocumentFrames(FakeHead* self, void** frames) { return Give(Scene(self).frames, frames); }
HRESULT STDMETHODCALLTYPE DocumentParentWindow(FakeHead* self, void** window) {
    return Give(Scene(self).scriptWindow, window);
}
HRESULT STDMETHODCALLTYPE ElementFromPoint(FakeHead* self, long x, long y, void** element) {
    HtmlScene& scene = Scene(self);
    *element = nullptr;
    RecordCall(scene.elementFromPoint, POINT{x, y});
    // The frameset document itself has no elements under the point.
    if (!scene.withBody && &Owner(self) == &scene.document2) return S_OK;
    switch (scene.element) {
    case HtmlScene::Element::kPlain:
        return Give(scene.plain, element);
    case HtmlScene::Element::kTextInput:
        return Give(scene.input, element);
    case HtmlScene::Element::kTextArea:
        return Give(scene.area, element);
    case HtmlScene::Element::kNone:
        return S_OK;
    }
    return S_OK;
}

// ---- Ranges ----
HRESULT GiveRange(HtmlScene& scene, const std::u16string& text, void** range) {
    scene.rangeStates[0] = {&text, 0, static_cast<long>(text.size())};
    return Give(scene.ranges[0], range);
}
HRESULT STDMETHODCALLTYPE BodyRange(FakeHead* self, void** range) { return GiveRange(Scene(self), Scene(self).page, range); }
HRESULT STDMETHODCALLTYPE FieldRange(FakeHead* self, void** range) {
    return GiveRange(Scene(self), Scene(self).field, range);
}
FakeRangeState& RangeOf(FakeHead* self) { return Scene(self).rangeStates[Owner(self).tag]; }
HRESULT STDMETHODCALLTYPE RangeMoveToPoint(FakeHead* self, long x, long y) {
    HtmlScene& scene = Scene(self);
    RecordCall(scene.moveToPoint, POINT{x, y});
    RangeOf(self).start = RangeOf(self).end = scene.pointAt;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE RangeDuplicate(FakeHead* self, void** copy) {
    HtmlScene& scene = Scene(self);
    scene.rangeStates[1] = RangeOf(self);
    return Give(scene.ranges[1], copy);
}
bool IsCharacterUnit(BSTR unit) { return unit && SysStringLen(unit) == 9 && wmemcmp(unit, L"character", 9) == 0; }
HRESULT STDMETHODCALLTYPE RangeMoveStart(FakeHead* self, BSTR unit, long count, long* moved) {
    if (!IsCharacterUnit(unit)) return E_INVALIDARG;
    FakeRangeState& range = RangeOf(self);
    long start = std::max(0L, range.start + count);
    *moved = start - range.start;
    range.start = start;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE RangeMoveEnd(FakeHead* self, BSTR unit, long count, long* moved) {
    if (!IsCharacterUnit(unit)) return E_INVALIDARG;
    FakeRangeState& range = RangeOf(self);
    long end = std::min(static_cast<long>(range.text->size()), range.end + count);
    *moved = end - range.end;
    range.end = end;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE RangeText(FakeHead* self, BSTR* text) {
    FakeRangeState& range = RangeOf(self);
    *text = SysAllocStringLen(reinterpret_cast<const wchar_t*>(range.text->data()) + range.start,
                              static_cast<UINT>(range.end - range.start));
    return S_OK;
}
HRESULT STDMETHODCALLTYPE RangeBoundingLeft(FakeHead* self, long* left) {
    HtmlScene& scene = Scene(self);
    *left = Owner(self).tag == 0 ? scene.leftBefore : scene.leftAfter;
    return S_OK;
}

// ---- Frames ----
HRESULT STDMETHODCALLTYPE FramesLength(FakeHead*, long* length) {
    *length = 2;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE FramesItem(FakeHead* self, VARIANT* index, VARIANT* result) {
    if (!index || index->vt != VT_I4 || index->lVal < 0 || index->lVal > 1) return E_INVALIDARG;
    VariantInit(result);
    result->vt = VT_DISPATCH;
    return Give(Scene(self).frameWindows[index->lVal], reinterpret_cast<void**>(&result->pdispVal));
}
constexpr DISPID kScreenLeft = 1;
constexpr DISPID kScreenTop = 2;
HRESULT STDMETHODCALLTYPE Window3Ids(FakeHead*, REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (count != 1) return E_INVALIDARG;
    if (wcscmp(names[0], L"screenLeft") == 0) *ids = kScreenLeft;
    else if (wcscmp(names[0], L"screenTop") == 0) *ids = kScreenTop;
    else return DISP_E_UNKNOWNNAME;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE Window3Invoke(FakeHead* self, DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*,
                                        VARIANT* result, EXCEPINFO*, UINT*) {
    if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
    HtmlScene& scene = Scene(self);
    // Frame 0 sits at the screen origin; frame 1 where the test puts it.
    POINT at = Owner(self).tag == 1 ? POINT{0, 0} : scene.frameScreen;
    result->vt = VT_I4;
    result->lVal = id == kScreenLeft ? at.x : at.y;
    return S_OK;
}

// ---- Services, browsers, shell windows ----
HRESULT STDMETHODCALLTYPE ServicesQuery(FakeHead* self, REFGUID service, REFIID iid, void** out) {
    *out = nullptr;
    if (service != IID_IWebBrowserApp || iid != IID_IWebBrowser2) return E_NOINTERFACE;
    return Give(Scene(self).browsers[1], out);
}
HRESULT STDMETHODCALLTYPE BrowserWindow(FakeHead* self, SHANDLE_PTR* window) {
    HtmlScene& scene = Scene(self);
    HWND top = scene.browserWindows[Owner(self).tag];
    if (Owner(self).tag == 1 && !scene.frameWindow) top = nullptr;
    *window = reinterpret_cast<SHANDLE_PTR>(top);
    return S_OK;
}
HRESULT STDMETHODCALLTYPE BrowserLeft(FakeHead* self, long* left) {
    *left = Scene(self).browserLeft;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE BrowserTop(FakeHead* self, long* top) {
    *top = Scene(self).browserTop;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE BrowserClientToWindow(FakeHead* self, int* width, int* height) {
    if (*width != 0 || *height != 0) return E_INVALIDARG;
    *width = Scene(self).frameWidth;
    *height = Scene(self).frameHeight;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE BrowserDocument(FakeHead* self, void** document) {
    return Give(Scene(self).document2, document);
}
HRESULT STDMETHODCALLTYPE BrowserExecWB(FakeHead* self, OLECMDID command, OLECMDEXECOPT option, VARIANT* in,
                                        VARIANT* out) {
    HtmlScene& scene = Scene(self);
    if (command != OLECMDID_OPTICAL_ZOOM || option != OLECMDEXECOPT_DONTPROMPTUSER || in || !out) return E_INVALIDARG;
    if (out->vt != VT_I4 || out->lVal != 100) return E_INVALIDARG;  // the caller presets {VT_I4 100}
    if (scene.zoom == 0) return OLECMDERR_E_NOTSUPPORTED;
    out->lVal = scene.zoom;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE ShellCount(FakeHead*, long* count) {
    *count = 2;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE ShellItem(FakeHead* self, VARIANT index, void** item) {
    *item = nullptr;
    if (index.vt != VT_I4 || index.lVal < 0 || index.lVal > 1) return E_INVALIDARG;
    return Give(Scene(self).browsers[index.lVal], item);
}

void* const* Traps() {
    static void* traps[kMostSlots];
    static const bool filled = (FillWithTraps(traps), true);
    (void)filled;
    return traps;
}

// Makes `object` an object of the scene with a table of `size` slots and the
// methods at their slots; every other slot traps.
void Build(HtmlScene& scene, FakeObject& object, size_t size, std::initializer_list<std::pair<size_t, void*>> methods,
           int tag = 0) {
    void* const* traps = Traps();
    object.scene = &scene;
    object.tag = tag;
    object.table.assign(traps, traps + std::min(size, kMostSlots));
    object.table[0] = reinterpret_cast<void*>(&FakeQueryInterface);
    object.table[1] = reinterpret_cast<void*>(&FakeAddRef);
    object.table[2] = reinterpret_cast<void*>(&FakeRelease);
    for (auto [slot, method] : methods) object.table.at(slot) = method;
    object.head = {object.table.data(), &object};
}

// IDispatch's four slots, for the interfaces built on it.
void WithDispatch(FakeObject& object) {
    object.table[3] = reinterpret_cast<void*>(&FakeTypeInfoCount);
    object.table[4] = reinterpret_cast<void*>(&FakeTypeInfo);
    if (object.table[5] == Traps()[5]) object.table[5] = reinterpret_cast<void*>(&FakeIdsOfNames);
    if (object.table[6] == Traps()[6]) object.table[6] = reinterpret_cast<void*>(&FakeInvoke);
}

template <typename F>
void* Slot(F* function) {
    return reinterpret_cast<void*>(function);
}

}  // namespace

HtmlScene::HtmlScene() {
    const HtmlSlots& s = Slots();
    Build(*this, document, s.document, {{s.documentScript, Slot(&DocumentScript)}});
    Build(*this, scriptWindow, s.window2, {{s.windowDocument, Slot(&WindowDocument)}});
    Build(*this, services, s.services, {{s.queryService, Slot(&ServicesQuery)}});
    for (FakeObject* doc : {&document2, &frameDocument})
        Build(*this, *doc, s.document2,
              {{s.bodyOfDocument, Slot(&DocumentBody)}, {s.framesOfDocument, Slot(&DocumentFrames)},
               {s.elementFromPoint, Slot(&ElementFromPoint)}, {s.parentWindow, Slot(&DocumentParentWindow)}});
    for (FakeObject* element : {&bodyElement, &frameset, &plain, &input, &area, &frameBodyElement})
        Build(*this, *element, s.element, {});
    for (FakeObject* bodyFace : {&body, &frameBody}) Build(*this, *bodyFace, s.body, {{s.bodyRange, Slot(&BodyRange)}});
    Build(*this, inputText, s.inputText, {{s.inputRange, Slot(&FieldRange)}});
    Build(*this, areaText, s.textArea, {{s.areaRange, Slot(&BodyRange)}});
    for (int i = 0; i < 2; ++i) {
        Build(*this, ranges[i], s.range,
              {{s.moveToPoint, Slot(&RangeMoveToPoint)}, {s.duplicate, Slot(&RangeDuplicate)},
               {s.moveStart, Slot(&RangeMoveStart)}, {s.moveEnd, Slot(&RangeMoveEnd)}, {s.rangeText, Slot(&RangeText)}},
              i);
        Build(*this, metrics[i], s.metrics, {{s.boundingLeft, Slot(&RangeBoundingLeft)}}, i);
        ranges[i].faces[__uuidof(IHTMLTextRangeMetrics)] = &metrics[i];
        Build(*this, frameWindows[i], s.window2, {{s.windowDocument, Slot(&WindowDocument)}}, i + 1);
        Build(*this, frameWindows3[i], s.window3, {{s.idsOfNames, Slot(&Window3Ids)}, {s.invoke, Slot(&Window3Invoke)}},
              i + 1);
        frameWindows[i].faces[IID_IDispatch] = &frameWindows[i];
        frameWindows[i].faces[__uuidof(IHTMLWindow2)] = &frameWindows[i];
        frameWindows[i].faces[__uuidof(IHTMLWindow3)] = &frameWindows3[i];
        Build(*this, browsers[i], s.browser,
              {{s.browserWindow, Slot(&BrowserWindow)}, {s.browserLeft, Slot(&BrowserLeft)},
               {s.browserTop, Slot(&BrowserTop)}, {s.clientToWindow, Slot(&BrowserClientToWindow)},
               {s.browserDocument, Slot(&BrowserDocument)}, {s.execWB, Slot(&BrowserExecWB)}},
              i);
        browsers[i].faces[IID_IDispatch] = &browsers[i];
        browsers[i].faces[__uuidof(IWebBrowser2)] = &browsers[i];
    }
    Build(*this, frames, s.frames, {{s.framesLength, Slot(&FramesLength)}, {s.framesItem, Slot(&FramesItem)}});
    Build(*this, shellWindows, s.shellWindows, {{s.shellCount, Slot(&ShellCount)}, {s.shellItem, Slot(&ShellItem)}});
    shellWindows.faces[__uuidof(IShellWindows)] = &shellWindows;
    shellWindows.faces[IID_IDispatch] = &shellWindows;
    for (FakeObject* object : {&document, &scriptWindow, &document2, &frameDocument, &bodyElement, &frameset, &plain,
                               &input, &area, &frameBodyElement, &body, &frameBody, &inputText, &areaText, &ranges[0],
                               &ranges[1], &metrics[0], &metrics[1], &frames, &frameWindows[0], &frameWindows[1],
                               &frameWindows3[0], &frameWindows3[1], &browsers[0], &browsers[1], &shellWindows})
        WithDispatch(*object);

    document.faces[__uuidof(IHTMLDocument)] = &document;
    document.faces[IID_IDispatch] = &document;
    scriptWindow.faces[IID_IDispatch] = &scriptWindow;
    scriptWindow.faces[__uuidof(IHTMLWindow2)] = &scriptWindow;
    scriptWindow.faces[IID_IServiceProvider] = &services;
    document2.faces[__uuidof(IHTMLDocument2)] = &document2;
    frameDocument.faces[__uuidof(IHTMLDocument2)] = &frameDocument;
    bodyElement.faces[__uuidof(IHTMLBodyElement)] = &body;
    frameBodyElement.faces[__uuidof(IHTMLBodyElement)] = &frameBody;
    input.faces[__uuidof(IHTMLInputTextElement)] = &inputText;
    area.faces[__uuidof(IHTMLTextAreaElement)] = &areaText;
}

LONG HtmlScene::HeldReferences() const {
    LONG held = 0;
    for (const FakeObject* object : {&document, &scriptWindow, &services, &document2, &bodyElement, &frameset, &body,
                                     &plain, &input, &inputText, &area, &areaText, &ranges[0], &ranges[1],
                                     &metrics[0], &metrics[1], &frames, &frameWindows[0], &frameWindows[1],
                                     &frameWindows3[0], &frameWindows3[1], &frameDocument, &frameBodyElement,
                                     &frameBody, &browsers[0], &browsers[1], &shellWindows})
        held += object->references;
    return held;
}

}  // namespace ostrel::japanese::testing
