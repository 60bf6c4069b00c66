// The hover hint's window, hit-testing and timers.
#include "ui/big_hint.h"

#include <commctrl.h>
#include <richedit.h>

#include <cwchar>
#include <string>

#include "common/ui_text/hint_texts.h"
#include "ui/application.h"
#include "ui/dictionaries_dialog.h"
#include "ui/frame.h"

namespace {

CBigHint* g_hint = nullptr;  // the one hint the thread timers serve

POINT BottomCentre(HWND window, RECT rect) {
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return {(rect.left + rect.right) / 2, rect.bottom};
}

bool HasClass(HWND window, const wchar_t* name) {
    wchar_t found[64] = {};
    GetClassNameW(window, found, 64);
    return _wcsicmp(found, name) == 0;
}

// The button under `screen` of a toolbar: its command id, anchor and top.
bool ToolbarItem(HWND toolbar, POINT screen, HintItem& item, POINT& anchor, int32_t& top) {
    POINT client = screen;
    ScreenToClient(toolbar, &client);
    const int index = static_cast<int>(SendMessageW(toolbar, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&client)));
    if (index < 0) return false;
    TBBUTTON button{};
    if (!SendMessageW(toolbar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)) || button.idCommand <= 0)
        return false;
    RECT rect{};
    SendMessageW(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    anchor = BottomCentre(toolbar, rect);
    top = anchor.y - (rect.bottom - rect.top);
    item.id = button.idCommand;
    return true;
}

// A control of a dialog: a toolbar's button or the control's id.
bool ControlItem(HWND control, POINT screen, int32_t kind, HintItem& item, POINT& anchor, int32_t& top) {
    item.kind = kind;
    if (HasClass(control, TOOLBARCLASSNAMEW)) return ToolbarItem(control, screen, item, anchor, top);
    item.id = GetDlgCtrlID(control);
    RECT rect{};
    GetWindowRect(control, &rect);
    anchor = {(rect.left + rect.right) / 2, rect.bottom};
    top = rect.top;
    // A large control: the hint goes by the pointer.
    if (rect.bottom - rect.top > 40) {
        anchor = {screen.x, screen.y + 2};
        top = screen.y - 2;
    }
    return item.id > 0;
}

}  // namespace

std::unique_ptr<CBigHint> CBigHint::Create(CFrame& frame) {
    std::unique_ptr<CBigHint> hint(new CBigHint(frame));
    if (!hint->CreateWindowObject()) return nullptr;
    hint->autoHideSeconds = kHintMainWindowAutoHideSeconds;
    g_hint = hint.get();
    return hint;
}

CBigHint::~CBigHint() {
    if (showTimer_) KillTimer(nullptr, showTimer_);
    if (hideTimer_) KillTimer(nullptr, hideTimer_);
    if (window_) DestroyWindow(window_);
    if (g_hint == this) g_hint = nullptr;
}

bool CBigHint::CreateWindowObject() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    if (!GetClassInfoExW(instance, kHintClassName, &windowClass)) {
        windowClass.style = CS_DROPSHADOW;
        windowClass.lpfnWndProc = &CBigHint::WindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1);
        windowClass.lpszClassName = kHintClassName;
        if (!RegisterClassExW(&windowClass)) return false;
    }
    window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kHintClassName, L"",
                              WS_POPUP | WS_CLIPCHILDREN, 0, 0, kHintWidth, kHintInitialHeight, nullptr, nullptr,
                              instance, this);
    if (!window_) return false;
    edit_ = CreateWindowExW(0, L"RichEdit20W", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | ES_MULTILINE | ES_READONLY,
                            6, kHintPointerHeight + 6, kHintWidth - 12, kHintInitialHeight - kHintPointerHeight - 12,
                            window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kHintEditId)), instance, nullptr);
    if (!edit_) return true;  // a hint without its text shows nothing
    SendMessageW(edit_, EM_SETTARGETDEVICE, 0, 0);
    SendMessageW(edit_, EM_SETBKGNDCOLOR, 0, GetSysColor(COLOR_INFOBK));
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_SIZE | CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED | CFM_LINK;
    format.dwEffects = CFE_AUTOCOLOR;
    format.yHeight = 200;
    SendMessageW(edit_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageW(edit_, EM_SETEVENTMASK, 0, SendMessageW(edit_, EM_GETEVENTMASK, 0, 0) | ENM_REQUESTRESIZE);
    return true;
}

bool CBigHint::FindHintItemUnderCursor(HintItem& item, POINT& anchor, int32_t& itemTop) const {
    POINT cursor{};
    if (!GetCursorPos(&cursor)) return false;
    HWND window = WindowFromPoint(cursor);
    if (!window) return false;
    item = {};
    // While a menu is open only its items have hints: the hint of the button
    // that opened it would stand over the menu's first item.
    if (frame_.InMenuLoop() && !HasClass(window, L"#32768")) return false;
    for (int i = 0; i < 3; ++i)
        if (window == frame_.toolbars[i]) {
            item.kind = 2 + i;
            return ToolbarItem(window, cursor, item, anchor, itemTop);
        }
    if (window == frame_.tabControl) {
        TCHITTESTINFO hit{};
        hit.pt = cursor;
        ScreenToClient(window, &hit.pt);
        const int index = TabCtrl_HitTest(window, &hit);
        if (index < 0) return false;
        TCITEMW tab{};
        tab.mask = TCIF_PARAM;
        TabCtrl_GetItem(window, index, &tab);
        RECT rect{};
        if (TabCtrl_GetItemRect(window, index, &rect)) {
            anchor = BottomCentre(window, rect);
            itemTop = anchor.y - (rect.bottom - rect.top);
        } else {
            anchor = {cursor.x, cursor.y + 2};
            itemTop = cursor.y;
        }
        item = {0, static_cast<int32_t>(tab.lParam)};
        return item.id > 0;
    }
    if (window == frame_.StatusBar()) {
        POINT client = cursor;
        ScreenToClient(window, &client);
        for (int part = 0; part < 2; ++part) {
            RECT rect{};
            if (!SendMessageW(window, SB_GETRECT, part, reinterpret_cast<LPARAM>(&rect)) || !PtInRect(&rect, client))
                continue;
            anchor = BottomCentre(window, rect);
            itemTop = anchor.y - (rect.bottom - rect.top);
            item = {6, part + 1};
            return true;
        }
        return false;
    }
    if (HasClass(window, WC_HEADERW) && frame_.lists && GetParent(window) == frame_.lists->CurrentListWindow()) {
        HDHITTESTINFO hit{};
        hit.pt = cursor;
        ScreenToClient(window, &hit.pt);
        const int index = static_cast<int>(SendMessageW(window, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        RECT rect{};
        if (index < 0 || !Header_GetItemRect(window, index, &rect)) return false;
        anchor = BottomCentre(window, rect);
        itemTop = anchor.y - (rect.bottom - rect.top);
        item = {5, index};
        return index > 0;
    }
    if (HasClass(window, L"#32768")) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process != GetCurrentProcessId()) return false;
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
        const int index = menu ? MenuItemFromPoint(nullptr, menu, cursor) : -1;
        if (index < 0) return false;
        RECT rect{};
        GetMenuItemRect(nullptr, menu, index, &rect);
        anchor = {(rect.left + rect.right) / 2, rect.bottom};
        itemTop = rect.top;
        item = {1, static_cast<int32_t>(GetMenuItemID(menu, index))};
        return item.id > 0 && item.id != -1;
    }
    // An editor's kind margin: the kind of the line beside the cursor.
    if (frame_.lists && frame_.lists->IsEditorWindow(window)) {
        item = {8, frame_.lists->EditorLineAt(window, cursor, anchor, itemTop)};
        return item.id > 0;
    }
    HWND parent = GetParent(window);
    if (g_dictionariesDialog && parent == g_dictionariesDialog)
        return ControlItem(window, cursor, 7, item, anchor, itemTop);
    if (parent && frame_.lists && frame_.lists->IsEditorWindow(parent))
        return ControlItem(window, cursor, 8, item, anchor, itemTop);
    if (Application::IsBookReaderDialog(parent)) return ControlItem(window, cursor, 12, item, anchor, itemTop);
    return false;
}

void CBigHint::Track() {
    HintItem item;
    POINT anchor{};
    int32_t top = 0;
    const bool hintsOn = frame_.HintsOn();
    if (hintsOn && !FindHintItemUnderCursor(item, anchor, top)) item = {};
    Apply(tracker_.Track(hintsOn, item));
    ++looks_;
}

void CBigHint::Apply(const HintActions& actions) {
    if (actions.killShowTimer && showTimer_) {
        KillTimer(nullptr, showTimer_);
        showTimer_ = 0;
    }
    if (actions.hide) {
        ShowWindow(window_, SW_HIDE);
        if (hideTimer_) KillTimer(nullptr, hideTimer_);
        hideTimer_ = 0;
    }
    if (actions.startShowTimer) showTimer_ = SetTimer(nullptr, 0, kHintShowDelayMs, &CBigHint::TimerProc);
    if (actions.show) ShowText();
}

void CALLBACK CBigHint::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    CBigHint* self = g_hint;
    if (!self) return;
    if (id == self->showTimer_) {
        self->Apply(self->tracker_.OnShowTimer());
    } else if (id == self->hideTimer_) {
        KillTimer(nullptr, id);
        self->hideTimer_ = 0;
        self->Apply(self->tracker_.OnHide());
    }
}

void CBigHint::Hide() {
    // The item stays kept, so the hint comes back only over another item: a
    // show still pending for this one is dropped with it (a click or a menu
    // opened within the show delay would otherwise bring it back over the menu).
    if (showTimer_) {
        KillTimer(nullptr, showTimer_);
        showTimer_ = 0;
    }
    Apply(tracker_.OnHide());
}

void CBigHint::ShowText() {
    HintItem item;
    POINT anchor{};
    int32_t top = 0;
    const int32_t language = g_application ? g_application->language : 1;
    const char16_t* text = FindHintItemUnderCursor(item, anchor, top) ? GetHintText(item.id, item.kind, language) : nullptr;
    if (!text || !edit_) {
        ShowWindow(window_, SW_HIDE);
        tracker_.SetShown(false);
        return;
    }
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_SIZE | CFM_FACE | CFM_CHARSET;
    format.yHeight = 8 * 20;
    const bool japanese = language == 2;
    format.bCharSet = japanese ? SHIFTJIS_CHARSET : DEFAULT_CHARSET;
    wcscpy(format.szFaceName, japanese ? L"MS UI Gothic" : L"Arial");
    SETTEXTEX set{ST_DEFAULT, 1200};
    std::u16string shown;
    for (const char16_t* c = text; *c; ++c) shown += *c == u'\n' ? u'\r' : *c;
    SendMessageW(edit_, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set), reinterpret_cast<LPARAM>(shown.c_str()));
    SendMessageW(edit_, EM_SETSEL, 0, -1);
    SendMessageW(edit_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessageW(edit_, EM_SETSEL, 0, 0);
    requestedHeight_ = 0;
    SendMessageW(edit_, EM_REQUESTRESIZE, 0, 0);
    if (requestedHeight_ <= 0) requestedHeight_ = 16;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const HintPlacement place = PlaceHint(anchor.x, anchor.y, top, requestedHeight_, {work.left, work.top, work.right, work.bottom});
    height_ = place.height;
    pointerBelow_ = place.pointerBelow;
    MoveWindow(edit_, 6, (pointerBelow_ ? 0 : kHintPointerHeight) + 6, kHintWidth - 12, requestedHeight_, FALSE);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (const HintSpan& span : HintShapeRows(kHintWidth, height_, place.pointerOffset, pointerBelow_)) {
        HRGN row = CreateRectRgn(span.left, span.y, span.right, span.y + 1);
        CombineRgn(region, region, row, RGN_OR);
        DeleteObject(row);
    }
    SetWindowRgn(window_, region, FALSE);  // the window owns the region now
    SetWindowPos(window_, HWND_TOPMOST, place.x, place.y, kHintWidth, height_, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(window_, nullptr, TRUE);
    tracker_.SetShown(true);
    if (hideTimer_) KillTimer(nullptr, hideTimer_);
    hideTimer_ = SetTimer(nullptr, 0, static_cast<UINT>(autoHideSeconds) * 1000, &CBigHint::TimerProc);
}

void CBigHint::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(window_, region) != ERROR) FrameRgn(dc, region, GetSysColorBrush(COLOR_WINDOWFRAME), 1, 1);
    DeleteObject(region);
    EndPaint(window_, &paint);
}

LRESULT CALLBACK CBigHint::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<CBigHint*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_PAINT:
        if (self) {
            self->Paint();
            return 0;
        }
        break;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (self && header->code == EN_REQUESTRESIZE) {
            const auto* resize = reinterpret_cast<REQRESIZE*>(lParam);
            self->requestedHeight_ = resize->rc.bottom - resize->rc.top;
        }
        return 0;
    }
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
