// The window procedure of class "Ostrel List View": keys, scroll bars, the
// wheel, clicks and double clicks, the context menus, the header's tracking
// and clicks, letters typed into the list, and the start of a drag.
#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "common/settings/settings_keys.h"
#include "dictionary/dictionary.h"
#include "dictionary/word_list.h"
#include "ui/application.h"
#include "ui/command_ids.h"
#include "ui/frame.h"
#include "ui/list_view.h"

void (*ListView::startDrag)(ListView& view) = nullptr;

namespace {

constexpr UINT kFindMessage = WM_APP + 0x47;
constexpr uint32_t kQuickSearch = 40207;
constexpr uint32_t kEditArticle = 40064;
constexpr uint32_t kOpenBook = 40068;
constexpr uint32_t kDeleteCommand = 40029;
constexpr uint32_t kSelectAll = 40192;
constexpr uint32_t kDragFlag = 0x20000000;   // the application's "a drag runs" bit
constexpr uint32_t kBookFlag = 0x4000;
constexpr int32_t kWebSearchSlot = 78;

bool Shift() { return GetKeyState(VK_SHIFT) < 0; }
bool Ctrl() { return GetKeyState(VK_CONTROL) < 0; }

// Shared by every list window: a double click's button-up selects nothing,
// and a thumb move that re-seeks the model is not entered twice.
bool g_doubleClicked = false;
bool g_thumbTracking = false;

}  // namespace

class ListWindowMessages {
public:
    explicit ListWindowMessages(ListView& view) : v_(view) {}

    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    int32_t HitRow(LPARAM lParam, int32_t* column, int32_t* box) {
        RECT client{};
        GetClientRect(v_.window_, &client);
        return v_.HitTestRow(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), client.bottom, v_.Columns(), column, box);
    }
    void OnKey(WPARAM key);
    void OnVerticalScroll(int32_t request);
    void OnHorizontalScroll(int32_t request);
    LRESULT OnWheel(HWND window, WPARAM wParam, LPARAM lParam);
    void OnLeftDown(LPARAM lParam);
    void OnMouseMove(WPARAM wParam, LPARAM lParam);
    void OnLeftUp(LPARAM lParam);
    void OnDoubleClick();
    void OnRightDown(LPARAM lParam);
    void OnRightUp(LPARAM lParam);
    LRESULT OnHeaderNotify(NMHDR* header);
    void EndDrag();

    ListView& v_;
};

bool ListView::RegisterWindowClass() {
    WNDCLASSW list{};
    list.style = CS_DBLCLKS;
    list.lpfnWndProc = &ListView::WindowProc;
    list.hInstance = GetModuleHandleW(nullptr);
    list.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    list.lpszClassName = reinterpret_cast<const wchar_t*>(kListViewClassName);
    return RegisterClassW(&list) != 0;
}

LRESULT CALLBACK ListView::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* view = static_cast<ListView*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
        if (view) view->window_ = window;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    auto* view = reinterpret_cast<ListView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!view) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        view->window_ = nullptr;
        view->header_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return ListWindowMessages(*view).Handle(window, message, wParam, lParam);
}

LRESULT ListWindowMessages::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE: {
        int32_t lines = v_.PageLineCount(HIWORD(lParam));
        if (lines != v_.rowsPerPage) {
            v_.rowsPerPage = lines;
            v_.FillPage();
        }
        v_.LayoutHeader();
        v_.RepaintPage();
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        v_.Paint();
        return 0;
    case WM_COMMAND: {
        uint32_t id = LOWORD(wParam);
        v_.OnCommand(id);
        if (id != 40064 && id != 40067 && id != 40083 && id != 40068 && IsWindow(window)) SetFocus(window);
        return 0;
    }
    case WM_HELP:
        PostMessageW(window, WM_COMMAND, 1016, 0);
        return 1;
    case WM_KEYDOWN:
        OnKey(wParam);
        return 0;
    case WM_CHAR:
        // The message loop sends the keys a list hands on (letters, 1 to 9,
        // the quote, Right, Backspace) to the input box before they become
        // characters; what reaches the list as a character (0, Space,
        // punctuation) does nothing here, so a stray key never changes the search.
        return 0;
    case WM_VSCROLL:
        OnVerticalScroll(LOWORD(wParam));
        return 0;
    case WM_HSCROLL:
        OnHorizontalScroll(LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        return OnWheel(window, wParam, lParam);
    case WM_LBUTTONDOWN:
        OnLeftDown(lParam);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(wParam, lParam);
        return 0;
    case WM_LBUTTONUP:
        OnLeftUp(lParam);
        return 0;
    case WM_LBUTTONDBLCLK:
        OnDoubleClick();
        return 0;
    case WM_RBUTTONDOWN:
        OnRightDown(lParam);
        return 0;
    case WM_RBUTTONUP:
        OnRightUp(lParam);
        return 0;
    case WM_NOTIFY:
        return OnHeaderNotify(reinterpret_cast<NMHDR*>(lParam));
    case kFindMessage:
        if (v_.model && g_frame) g_frame->OnCommand(cmd::kFind, 0);
        return 0;
    case ListView::kTellRefusalsMessage:
        v_.TellRefusals();
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void ListWindowMessages::OnKey(WPARAM key) {
    HWND window = v_.window_;
    switch (key) {
    case VK_RETURN:
    case VK_SPACE:
        if (v_.viewKind == kViewLexicon) PostMessageW(window, WM_COMMAND, kQuickSearch, 0);
        break;
    case VK_PRIOR: v_.PageUp(Shift(), Ctrl()); break;
    case VK_NEXT: v_.PageDown(Shift(), Ctrl()); break;
    case VK_END: v_.GoToLast(); break;
    case VK_HOME: v_.GoToFirst(); break;
    case VK_UP: v_.LineUp(Shift(), Ctrl()); break;
    case VK_DOWN: v_.LineDown(Shift(), Ctrl()); break;
    case VK_DELETE: PostMessageW(window, WM_COMMAND, kDeleteCommand, 0); break;
    case 'A':
        if (Ctrl()) PostMessageW(window, WM_COMMAND, kSelectAll, 0);
        break;
    default: break;
    }
}

void ListWindowMessages::OnVerticalScroll(int32_t request) {
    HWND window = v_.window_;
    int32_t rows = v_.GetRowCount();
    if (rows <= 0) return;
    int32_t step = VerticalPageStep(v_.rowsPerPage);
    int32_t top = std::max(v_.topRow, 0);
    switch (request) {
    case SB_LINEUP:
    case SB_LINEDOWN:
        if (v_.IsCurrentOnPage()) {
            if (request == SB_LINEUP) v_.LineUp(false, false);
            else v_.LineDown(false, false);
            return;
        }
        top = v_.ClampRow(top, request == SB_LINEUP ? -1 : 1);
        break;
    case SB_PAGEUP: top = v_.ClampRow(top, -step); break;
    case SB_PAGEDOWN: top = v_.ClampRow(top, step); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        if (g_thumbTracking) return;
        SCROLLINFO info{sizeof(info), SIF_TRACKPOS, 0, 0, 0, 0, 0};
        GetScrollInfo(window, SB_VERT, &info);
        int32_t target = info.nTrackPos;
        if (std::abs(target - top) <= step || v_.model->IsStored()) {
            top = target;
        } else {
            g_thumbTracking = true;
            RECT client{};
            GetClientRect(window, &client);
            top = v_.model->PrepareJump(target, client.bottom);
            g_thumbTracking = false;
            if (top < 0) top = target;
        }
        break;
    }
    case SB_TOP: top = 0; break;
    case SB_BOTTOM: top = rows - 1; break;
    default: return;
    }
    v_.topRow = std::clamp(top, 0, rows - 1);
    v_.FillPage();
    SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_POS, 0, 0, 0, 0, 0};
    info.nMax = v_.GetRowCount() - 1;
    info.nPos = v_.topRow;
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    v_.RepaintPage();
}

void ListWindowMessages::OnHorizontalScroll(int32_t request) {
    HWND window = v_.window_;
    RECT client{};
    GetClientRect(window, &client);
    SCROLLINFO track{sizeof(track), SIF_TRACKPOS, 0, 0, 0, 0, 0};
    GetScrollInfo(window, SB_HORZ, &track);
    int32_t total = v_.TotalColumnWidth();
    v_.horizontalOffset = HorizontalScrollOffset(request, v_.horizontalOffset, track.nTrackPos, client.right, total);
    SCROLLINFO info{sizeof(info), SIF_POS, 0, 0, 0, 0, 0};
    info.nPos = v_.horizontalOffset;
    SetScrollInfo(window, SB_HORZ, &info, TRUE);
    if (v_.header_)
        SetWindowPos(v_.header_, nullptr, -v_.horizontalOffset, 0, std::max<int32_t>(client.right, total),
                     v_.headerHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    v_.RepaintPage();
}

LRESULT ListWindowMessages::OnWheel(HWND window, WPARAM wParam, LPARAM lParam) {
    if (v_.filledLines <= 0) return 1;
    if (GET_KEYSTATE_WPARAM(wParam) & (MK_SHIFT | MK_CONTROL)) return DefWindowProcW(window, WM_MOUSEWHEEL, wParam, lParam);
    int32_t notches = v_.wheel_.Add(GET_WHEEL_DELTA_WPARAM(wParam));
    for (; notches > 0; --notches) v_.LineUp(false, false);
    for (; notches < 0; ++notches) v_.LineDown(false, false);
    return 0;
}

void ListWindowMessages::OnLeftDown(LPARAM lParam) {
    g_doubleClicked = false;
    v_.selectedOnPress_ = false;
    SetFocus(v_.window_);
    v_.press_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    v_.pressKept_ = true;
    int32_t column = -1, box = -1;
    int32_t row = HitRow(lParam, &column, &box);
    if (row < 0) return;
    if (v_.selection.Contains(row) < 0) {
        bool lexicon = v_.viewKind == kViewLexicon;
        v_.ClickSelect(row, !lexicon && Shift(), !lexicon && Ctrl());
        v_.selectedOnPress_ = true;
    } else {
        v_.currentRow = row;
        v_.approximate = false;
    }
    if (column >= 0 && box >= 0) v_.ToggleGroupAtBox(v_.Columns().columns[column].kind, box);
    v_.UpdateView();
}

void ListWindowMessages::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    if (!(wParam & MK_LBUTTON) || !v_.pressKept_ || v_.dragging_) return;
    if (!DragThresholdPassed(GET_X_LPARAM(lParam) - v_.press_.x, GET_Y_LPARAM(lParam) - v_.press_.y)) return;
    if (v_.selection.Count() <= 0 || !ListView::startDrag) return;
    v_.dragging_ = true;
    if (g_application) g_application->flags |= kDragFlag;
    SetCapture(v_.window_);
    ListView::startDrag(v_);
    EndDrag();
}

void ListWindowMessages::EndDrag() {
    if (GetCapture() == v_.window_) ReleaseCapture();
    if (g_application) g_application->flags &= ~kDragFlag;
    v_.dragging_ = false;
    v_.selectedOnPress_ = false;
    v_.pressKept_ = false;
}

void ListWindowMessages::OnLeftUp(LPARAM lParam) {
    if (g_doubleClicked) {
        g_doubleClicked = false;
        return;
    }
    if (v_.dragging_) EndDrag();
    v_.pressKept_ = false;
    if (!v_.selectedOnPress_) {
        int32_t row = HitRow(lParam, nullptr, nullptr);
        bool lexicon = v_.viewKind == kViewLexicon;
        v_.ClickSelect(row, !lexicon && Shift(), !lexicon && Ctrl());
    }
    v_.selectedOnPress_ = false;
    v_.UpdateView();
}

void ListWindowMessages::OnDoubleClick() {
    HWND window = v_.window_;
    g_doubleClicked = true;
    if (v_.viewKind == kViewLexicon) {
        PostMessageW(window, WM_COMMAND, kQuickSearch, 0);
        return;
    }
    if (v_.selection.Count() != 1 || !v_.model) return;
    RDFDictionary* dictionary = v_.GetCurrentDictionary();
    if (!dictionary) return;
    if (dictionary == v_.site_.WorkingDictionary()) PostMessageW(window, WM_COMMAND, kEditArticle, 0);
    else if (dictionary->flags & kBookFlag) PostMessageW(window, WM_COMMAND, kOpenBook, 0);
}

void ListWindowMessages::OnRightDown(LPARAM lParam) {
    SetFocus(v_.window_);
    v_.press_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (Ctrl()) return;
    int32_t row = HitRow(lParam, nullptr, nullptr);
    if (row < 0) return;
    if (v_.selection.Contains(row) < 0) {
        v_.ClickSelect(row, Shift(), false);
    } else {
        v_.currentRow = row;
        v_.approximate = false;
    }
    v_.UpdateView();
}

void ListWindowMessages::OnRightUp(LPARAM lParam) {
    if (!g_frame || !g_frame->ContextMenus()) return;
    int32_t selected = v_.selection.Count();
    int popup = 2;
    if (v_.viewKind == kViewSelected) popup = 9;
    else if (v_.viewKind == kViewLexicon) popup = 10;
    else if (v_.viewKind == kViewBookList) popup = 14;
    else if (selected > 1) popup = 1;
    else if (selected == 1) {
        RDFDictionary* dictionary = v_.GetCurrentDictionary();
        if (!dictionary) return;
        popup = dictionary == v_.site_.WorkingDictionary() ? 0 : 2;
    }
    HMENU menu = GetSubMenu(g_frame->ContextMenus(), popup);
    if (!menu) return;
    auto enable = [menu](uint32_t id, bool on) { EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
    if (popup == 9) {
        EnableMenuItem(menu, 0, MF_BYPOSITION | (selected == 1 ? MF_ENABLED : MF_GRAYED));
        enable(40198, true);
        enable(40200, true);
        enable(40197, v_.GetRowCount() > 0);
        enable(40196, v_.GetRowCount() > 0);
        enable(kDeleteCommand, selected > 0);
    } else if (popup == 10) {
        enable(kQuickSearch, selected > 0);
    }
    g_frame->UpdateListMenu(menu, 0);
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(v_.window_, &at);
    UINT chosen = TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, v_.window_, nullptr);
    if (chosen) PostMessageW(v_.window_, WM_COMMAND, chosen, 0);
}

LRESULT ListWindowMessages::OnHeaderNotify(NMHDR* header) {
    if (!header || header->hwndFrom != v_.header_) return 0;
    auto* item = reinterpret_cast<NMHEADERW*>(header);
    ListLayout& layout = v_.Columns();
    ListColumn* columns = layout.columns;
    bool known = item->iItem >= 0 && item->iItem < layout.Count();
    switch (header->code) {
    case HDN_BEGINTRACKW:
    case HDN_BEGINTRACKA: {
        if (!known) return 0;
        POINT cursor{};
        GetCursorPos(&cursor);
        v_.trackStartX_ = cursor.x;
        v_.trackStartWidth_ = columns[item->iItem].width;
        return 0;
    }
    case HDN_TRACKW:
    case HDN_TRACKA: {
        if (!known) return 0;
        POINT cursor{};
        GetCursorPos(&cursor);
        int32_t width = std::clamp(v_.trackStartWidth_ + static_cast<int32_t>(cursor.x) - v_.trackStartX_, 0, kMaxColumnWidth);
        columns[item->iItem].width = width;
        HDITEMW changed{};
        changed.mask = HDI_WIDTH;
        changed.cxy = width;
        SendMessageW(v_.header_, HDM_SETITEMW, item->iItem, reinterpret_cast<LPARAM>(&changed));
        v_.LayoutHeader();
        v_.RepaintPage();
        return 0;
    }
    case HDN_ENDTRACKW:
    case HDN_ENDTRACKA: {
        if (!known) return 0;
        HDITEMW read{};
        read.mask = HDI_WIDTH;
        if (SendMessageW(v_.header_, HDM_GETITEMW, item->iItem, reinterpret_cast<LPARAM>(&read)))
            columns[item->iItem].width = std::clamp<int32_t>(read.cxy, 0, kMaxColumnWidth);
        v_.LayoutHeader();
        v_.RepaintPage();
        return 0;
    }
    case HDN_ITEMCLICKW:
    case HDN_ITEMCLICKA:
        // Every click, sorting or not, leaves the arrows as the layout's
        // sorted flags say: the rows are in that order.
        v_.SortByColumn(layout, item->iItem);
        v_.SetupHeaderColumns();
        return 0;
    default:
        return 0;
    }
}
