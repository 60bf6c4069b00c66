// The web browser control capture: the document, its frames and zoom, the
// element and text ranges at the point.
#include "japanese/win/browser_control_capture.h"

#include <exdisp.h>
#include <oleacc.h>
#include <servprov.h>

#include <string>

#include "japanese/capture_rules.h"
#include "japanese/win/dispatch_by_name.h"

namespace ostrel::japanese {

namespace {

constexpr UINT kDocumentRequestMs = 100;
constexpr int kClassUnits = 255;

// The document's point for the capture and the document to read from.
struct PlacedDocument {
    ComPtr<IHTMLDocument2> document;
    POINT relative{};
};

VARIANT IndexVariant(long index) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = index;
    return value;
}

// Step one: the window's own answer to the document message.
bool DocumentFromWindow(HWND window, POINT point, const std::function<ComPtr<IHTMLDocument>(HWND)>& request,
                        PlacedDocument& placed) {
    ComPtr<IHTMLDocument> first = request ? request(window) : ComPtr<IHTMLDocument>();
    if (!first) return false;
    ComPtr<IDispatch> script;
    if (FAILED(first->get_Script(script.Out())) || !script) return false;
    auto scriptWindow = script.As<IHTMLWindow2>(__uuidof(IHTMLWindow2));
    if (!scriptWindow) return false;
    if (FAILED(scriptWindow->get_document(placed.document.Out())) || !placed.document) return false;
    RECT rect{};
    if (!GetWindowRect(window, &rect)) return false;
    placed.relative = {point.x - rect.left, point.y - rect.top};
    return true;
}

// The class name of a window, empty when it cannot be read.
std::wstring ClassOf(HWND window) {
    wchar_t name[kClassUnits + 1] = {};
    int length = GetClassNameW(window, name, kClassUnits);
    return length > 0 ? std::wstring(name, static_cast<size_t>(length)) : std::wstring();
}

// Walks from the window at the point up to `top`; false when it is never met.
// `shell` gets the last window on the way whose class begins with "Shell".
bool WalkToBrowser(POINT point, HWND top, HWND& shell) {
    shell = nullptr;
    for (HWND window = WindowFromPoint(point); window; window = GetParent(window)) {
        if (window == top) return true;
        if (ClassOf(window).starts_with(L"Shell")) shell = window;
    }
    return false;
}

// Step two: the shell's browser window that holds the point.
bool DocumentFromShell(POINT point, PlacedDocument& placed) {
    ComPtr<IShellWindows> shellWindows;
    if (FAILED(CoCreateInstance(__uuidof(ShellWindows), nullptr, CLSCTX_ALL, __uuidof(IShellWindows),
                                shellWindows.OutVoid())) ||
        !shellWindows)
        return false;
    long count = 0;
    if (FAILED(shellWindows->get_Count(&count))) return false;
    ComPtr<IWebBrowser2> browser;
    HWND shell = nullptr;
    for (long index = 0; index < count && !browser; ++index) {
        ComPtr<IDispatch> item;
        if (FAILED(shellWindows->Item(IndexVariant(index), item.Out())) || !item) continue;
        auto candidate = item.As<IWebBrowser2>(__uuidof(IWebBrowser2));
        SHANDLE_PTR top = 0;
        if (!candidate || FAILED(candidate->get_HWND(&top)) || !top) continue;
        if (WalkToBrowser(point, reinterpret_cast<HWND>(top), shell)) browser = std::move(candidate);
    }
    shellWindows.Reset();
    if (!browser) return false;
    if (shell) {
        RECT rect{};
        if (!GetWindowRect(shell, &rect)) return false;
        placed.relative = {point.x - rect.left, point.y - rect.top};
    } else {
        long left = 0, top = 0;
        int frameWidth = 0, frameHeight = 0;
        if (FAILED(browser->get_Left(&left)) || FAILED(browser->get_Top(&top)) ||
            FAILED(browser->ClientToWindow(&frameWidth, &frameHeight)))
            return false;
        RelativePoint relative = BrowserDocumentPoint(point.x, point.y, left, top, frameWidth, frameHeight);
        placed.relative = {relative.x, relative.y};
    }
    ComPtr<IDispatch> document;
    if (FAILED(browser->get_Document(document.Out())) || !document) return false;
    placed.document = document.As<IHTMLDocument2>(__uuidof(IHTMLDocument2));
    return static_cast<bool>(placed.document);
}

ComPtr<IHTMLBodyElement> BodyOf(IHTMLDocument2* document) {
    ComPtr<IHTMLElement> element;
    if (FAILED(document->get_body(element.Out())) || !element) return {};
    return element.As<IHTMLBodyElement>(__uuidof(IHTMLBodyElement));
}

// A frameset page: the frame whose document has an element at the point in
// its own coordinates becomes the document, with its body.
bool EnterFrameAtPoint(POINT point, PlacedDocument& placed, ComPtr<IHTMLBodyElement>& body) {
    ComPtr<IHTMLFramesCollection2> frames;
    long length = 0;
    if (FAILED(placed.document->get_frames(frames.Out())) || !frames || FAILED(frames->get_length(&length)))
        return false;
    for (long index = 0; index < length; ++index) {
        VARIANT position = IndexVariant(index);
        VariantHolder item;
        if (FAILED(frames->item(&position, item.Get()))) continue;
        ComPtr<IDispatch> frameObject = DispatchOf(item);
        auto frameWindow = frameObject.As<IHTMLWindow2>(__uuidof(IHTMLWindow2));
        auto frameWindow3 = frameObject.As<IHTMLWindow3>(__uuidof(IHTMLWindow3));
        if (!frameWindow || !frameWindow3) continue;
        int32_t left = 0, top = 0;
        if (!DispGetInt(frameWindow3.Get(), "screenLeft", &left) || !DispGetInt(frameWindow3.Get(), "screenTop", &top))
            continue;
        POINT relative{point.x - left, point.y - top};
        ComPtr<IHTMLDocument2> frameDocument;
        // A frame of another origin refuses its document: the next one is tried.
        if (FAILED(frameWindow->get_document(frameDocument.Out())) || !frameDocument) continue;
        ComPtr<IHTMLElement> element;
        if (FAILED(frameDocument->elementFromPoint(relative.x, relative.y, element.Out())) || !element) continue;
        body = BodyOf(frameDocument.Get());
        if (!body) return false;
        placed.document = std::move(frameDocument);
        placed.relative = relative;
        return true;
    }
    return false;
}

// The optical zoom the document's browser reports (0 when none); whether
// the browser has a frame window of its own.
int32_t BrowserZoom(IHTMLDocument2* document, int32_t logPixels) {
    ComPtr<IHTMLWindow2> parent;
    if (FAILED(document->get_parentWindow(parent.Out())) || !parent) return 0;
    auto services = parent.As<IServiceProvider>(IID_IServiceProvider);
    ComPtr<IWebBrowser2> browser;
    if (!services ||
        FAILED(services->QueryService(IID_IWebBrowserApp, __uuidof(IWebBrowser2), browser.OutVoid())) || !browser)
        return 0;
    SHANDLE_PTR frame = 0;
    bool hasFrameWindow = SUCCEEDED(browser->get_HWND(&frame)) && frame != 0;
    VariantHolder zoom;
    zoom.Get()->vt = VT_I4;
    zoom.Get()->lVal = 100;
    int32_t optical = 0;
    if (SUCCEEDED(browser->ExecWB(OLECMDID_OPTICAL_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, nullptr, zoom.Get())) &&
        SUCCEEDED(VariantChangeType(zoom.Get(), zoom.Get(), 0, VT_I4)))
        optical = zoom.Get()->lVal;
    return ZoomFromBrowser(optical, hasFrameWindow, logPixels);
}

int32_t StoredZoom(int32_t logPixels) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\Zoom", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return 0;
    DWORD type = 0, value = 0, size = sizeof value;
    LONG read = RegQueryValueExW(key, L"ZoomFactor", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return 0;
    return ZoomFromFactor(value, logPixels);
}

// The text range at the element under the point; `wholeControl` for an
// input button or a text input, whose whole text is taken.
ComPtr<IHTMLTxtRange> RangeAt(IHTMLDocument2* document, IHTMLBodyElement* body, POINT relative, bool& wholeControl) {
    ComPtr<IHTMLTxtRange> range;
    wholeControl = false;
    ComPtr<IHTMLElement> element;
    if (SUCCEEDED(document->elementFromPoint(relative.x, relative.y, element.Out())) && element) {
        if (auto button = element.As<IHTMLInputButtonElement>(__uuidof(IHTMLInputButtonElement));
            button && SUCCEEDED(button->createTextRange(range.Out())) && range) {
            wholeControl = true;
            return range;
        }
        if (auto input = element.As<IHTMLInputTextElement>(__uuidof(IHTMLInputTextElement));
            input && SUCCEEDED(input->createTextRange(range.Out())) && range) {
            wholeControl = true;
            return range;
        }
        if (auto area = element.As<IHTMLTextAreaElement>(__uuidof(IHTMLTextAreaElement));
            area && SUCCEEDED(area->createTextRange(range.Out())) && range)
            return range;
    }
    if (FAILED(body->createTextRange(range.Out()))) range.Reset();
    return range;
}

// The left edge of a range, -1 when the range cannot tell.
int32_t BoundingLeft(const ComPtr<IHTMLTxtRange>& range) {
    auto metrics = range.As<IHTMLTextRangeMetrics>(__uuidof(IHTMLTextRangeMetrics));
    long left = -1;
    if (!metrics || FAILED(metrics->get_boundingLeft(&left))) return -1;
    return left;
}

}  // namespace

ComPtr<IHTMLDocument> RequestHtmlDocument(HWND window) {
    ComPtr<IHTMLDocument> document;
    UINT message = RegisterWindowMessageW(L"WM_HTML_GETOBJECT");
    DWORD_PTR answer = 0;
    // Without an answer in time the result is undefined: it is not used.
    if (!message || !SendMessageTimeoutW(window, message, 0, 0, SMTO_ABORTIFHUNG, kDocumentRequestMs, &answer) ||
        !answer)
        return document;
    if (FAILED(ObjectFromLresult(static_cast<LRESULT>(answer), __uuidof(IHTMLDocument), 0, document.OutVoid())))
        document.Reset();
    return document;
}

int32_t DisplayLogPixels(HWND window) {
    MONITORINFOEXW monitor{};
    monitor.cbSize = sizeof monitor;
    HMONITOR handle = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    if (!handle || !GetMonitorInfoW(handle, &monitor)) return 0;
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsW(monitor.szDevice, ENUM_CURRENT_SETTINGS, &mode)) return 0;
    return mode.dmLogPixels;
}

int32_t BrowserControlCapture::GetWordFromInternetExplorer(HWND window, const CaptureTranslate& translate) {
    POINT point{};
    if (!GetCursorPos(&point)) return 1;
    PlacedDocument placed;
    if (!(window && DocumentFromWindow(window, point, documentFromWindow, placed))) {
        placed = {};
        if (!DocumentFromShell(point, placed)) return 1;
    }
    ComPtr<IHTMLBodyElement> body = BodyOf(placed.document.Get());
    if (!body && !EnterFrameAtPoint(point, placed, body)) return 1;

    int32_t screenPixels = 0;
    if (HDC screen = GetDC(nullptr)) {
        screenPixels = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
    }
    int32_t logPixels = UsableLogPixels(displayLogPixels ? displayLogPixels(window) : 0, screenPixels);
    int32_t zoom = BrowserZoom(placed.document.Get(), logPixels);
    if (zoom <= 0) zoom = StoredZoom(logPixels);
    if (zoom <= 0) zoom = 100;
    POINT relative{ScaleForZoom(placed.relative.x, zoom), ScaleForZoom(placed.relative.y, zoom)};

    bool wholeControl = false;
    ComPtr<IHTMLTxtRange> range = RangeAt(placed.document.Get(), body.Get(), relative, wholeControl);
    if (!range) return 1;
    std::u16string result;
    int32_t caret = 0;
    if (wholeControl) {
        BstrHolder text;
        if (FAILED(range->get_text(text.Out())) || !text.Get()) return 1;
        CleanTextBeforePoint(text.Text(), result);
    } else {
        BstrHolder unit(L"character");
        ComPtr<IHTMLTxtRange> after;
        long moved = 0;
        if (FAILED(range->moveToPoint(relative.x, relative.y)) || FAILED(range->duplicate(after.Out())) || !after ||
            FAILED(range->moveStart(unit.Get(), -kCaptureReach, &moved)))
            return 1;
        BstrHolder before;
        if (FAILED(range->get_text(before.Out())) || !before.Get()) return 1;
        caret = static_cast<int32_t>(CleanTextBeforePoint(before.Text(), result));
        if (FAILED(after->moveEnd(unit.Get(), kCaptureReach, &moved))) return 1;
        BstrHolder behind;
        std::u16string afterText;  // stays empty when the range cannot give it
        if (SUCCEEDED(after->get_text(behind.Out()))) afterText = behind.Text();
        bool newLine = StartsNewLine(BoundingLeft(range), BoundingLeft(after));
        result += CleanTextAfterPoint(afterText, newLine);
    }
    range.Reset();
    body.Reset();
    placed = {};
    translate(result, caret);
    return 1;
}

}  // namespace ostrel::japanese
