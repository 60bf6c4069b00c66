// The main window's furniture on the frame: the three toolbars, the tab strip
// of the word lists, the layout of every child, the draggable size bar
// between list and article, and the status line (dictionary name, line count).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cwchar>

#include "common/ui_text/ui_text.h"
#include "common/win/wide_text.h"
#include "resources/program/resource_ids.h"
#include "ui/application.h"
#include "ui/bar_tables.h"
#include "ui/font_sets.h"
#include "ui/command_rules.h"
#include "ui/frame.h"
#include "ui/frame_layout.h"

namespace {

constexpr DWORD kToolbarStyle = 0x40000905;         // child, flat, tooltips, no resize, top
constexpr DWORD kInputToolbarStyle = 0x40000945;    // the same without the divider
constexpr DWORD kTabControlStyle = 0x54004000;      // child, visible, clip siblings, tooltips
constexpr DWORD kDragLineStyle = 0x56000000;        // child, visible, clip siblings and children
constexpr COLORREF kToolbarMask = 0xC0C0C0;
constexpr COLORREF kTabMask = 0xFFFFFF;
constexpr int kTabPaddingX = 5, kTabPaddingY = 4;
constexpr int kTabStripMargin = 4;                  // the strip's edges around its tabs
constexpr int kTitleSlot = 116;                     // "Ostrel Pro"
const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

constexpr int32_t kWidestCount = 99999999;

// "Line n from m" in the interface language.
std::wstring LineCountText(int32_t line, int32_t total) {
    wchar_t text[96] = {};
    swprintf(text, 96, Wide(UIExtra(UIExtraText::kLineCount)), line, total);
    return text;
}


HIMAGELIST LoadImageStrip(HINSTANCE instance, int bitmapId, int width, int height, int count, COLORREF mask) {
    HIMAGELIST list = ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, count, 0);
    if (!list) return nullptr;
    HBITMAP strip = static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION | LR_DEFAULTSIZE));
    if (strip) {
        ImageList_AddMasked(list, strip, mask);
        DeleteObject(strip);
    }
    return list;
}

// Pixel width of a text in the default GUI font, -1 when it cannot be measured.
class GuiFontMeasure {
public:
    explicit GuiFontMeasure(HWND window) : window_(window), dc_(GetDC(window)) {
        if (dc_) old_ = SelectObject(dc_, GetStockObject(DEFAULT_GUI_FONT));
    }
    ~GuiFontMeasure() {
        if (!dc_) return;
        SelectObject(dc_, old_);
        ReleaseDC(window_, dc_);
    }
    GuiFontMeasure(const GuiFontMeasure&) = delete;
    GuiFontMeasure& operator=(const GuiFontMeasure&) = delete;

    int32_t operator()(std::u16string_view text) const {
        SIZE size{};
        if (!dc_ || !GetTextExtentPoint32W(dc_, Wide(text.data()), static_cast<int>(text.size()), &size)) return -1;
        return size.cx;
    }

private:
    HWND window_;
    HDC dc_;
    HGDIOBJ old_ = nullptr;
};

// The tab control as the list-tab rule sees it.
class TabControlStrip final : public IListTabStrip {
public:
    explicit TabControlStrip(HWND tabs) : tabs_(tabs) {}
    int32_t Count() override { return static_cast<int32_t>(SendMessageW(tabs_, TCM_GETITEMCOUNT, 0, 0)); }
    uint32_t CommandAt(int32_t index) override {
        TCITEMW item{};
        item.mask = TCIF_PARAM;
        if (!SendMessageW(tabs_, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item))) return 0;
        return static_cast<uint32_t>(item.lParam);
    }
    void Remove(int32_t index) override { SendMessageW(tabs_, TCM_DELETEITEM, index, 0); }
    int32_t Insert(int32_t position, uint32_t command, int32_t image) override {
        TCITEMW item{};
        item.mask = TCIF_IMAGE | TCIF_PARAM;
        item.iImage = image;
        item.lParam = static_cast<LPARAM>(command);
        return static_cast<int32_t>(SendMessageW(tabs_, TCM_INSERTITEMW, position, reinterpret_cast<LPARAM>(&item)));
    }

private:
    HWND tabs_;
};

// A bar's tooltip is a topmost pop-up of its own. Left owned by the frame,
// some window systems (Wine) then no longer make the frame itself topmost;
// its notifications still go to the bar that made it.
void ReleaseFromFrame(LRESULT tooltip) {
    if (tooltip) SetWindowLongPtrW(reinterpret_cast<HWND>(tooltip), GWLP_HWNDPARENT, 0);
}

// Some toolbars (Wine's) place their buttons again after a new indent or
// padding only when asked: setting the text rows, 0 already, does it.
void LayOutButtonsAgain(HWND toolbar) { SendMessageW(toolbar, TB_SETMAXTEXTROWS, 0, 0); }

// The width the first `count` tabs would take side by side: tabs scrolled
// out of sight have empty rectangles, so each counts as the widest.
int32_t TabsWidth(HWND tabs, int count) {
    int32_t widest = 0;
    for (int i = 0; i < count; ++i) {
        RECT rect{};
        if (SendMessageW(tabs, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect)))
            widest = std::max<int32_t>(widest, rect.right - rect.left);
    }
    return widest * count;
}

// The width a toolbar's buttons take side by side, 0 without a toolbar.
int32_t ButtonsWidth(HWND toolbar) {
    if (!toolbar) return 0;
    int32_t width = 0;
    int count = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        RECT rect{};
        if (SendMessageW(toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect))) width += rect.right - rect.left;
    }
    return width;
}

void Place(HWND window, const PaneRect& rect, UINT flags) {
    if (window) SetWindowPos(window, nullptr, rect.x, rect.y, rect.width, rect.height, flags);
}

}  // namespace

HWND CFrame::CreateToolbar(HWND parent, int32_t number) {
    std::span<const ToolbarButton> table = ToolbarButtons(number);
    if (table.empty()) return nullptr;
    HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, number == 3 ? kInputToolbarStyle : kToolbarStyle,
                                   0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(number)),
                                   instance_, nullptr);
    if (!toolbar) return nullptr;
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(24, 24));
    SendMessageW(toolbar, TB_SETMAXTEXTROWS, 0, 0);
    SendMessageW(toolbar, TB_SETINDENT, 2, 0);
    // The strip holds more pictures than the highest index in the tables (53).
    toolbarImages_[number - 1] = LoadImageStrip(instance_, IDB_TOOLBAR_IMAGES, 16, 16, 54, kToolbarMask);
    SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolbarImages_[number - 1]));
    std::vector<TBBUTTON> buttons;
    for (const ToolbarButton& entry : table) {
        TBBUTTON button{};
        button.iBitmap = entry.command ? entry.image : 0;
        button.idCommand = static_cast<int>(entry.command);
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = entry.command ? BTNS_BUTTON : BTNS_SEP;
        buttons.push_back(button);
    }
    SendMessageW(toolbar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(24, 24));
    SendMessageW(toolbar, TB_SETPADDING, 0, MAKELONG(8, 8));
    LayOutButtonsAgain(toolbar);
    ReleaseFromFrame(SendMessageW(toolbar, TB_GETTOOLTIPS, 0, 0));
    return toolbar;
}

HWND CFrame::CreateTabControl(HWND parent) {
    HWND tabs = CreateWindowExW(0, WC_TABCONTROLW, L"", kTabControlStyle, 0, 0, 0, 0, parent, nullptr, instance_,
                                nullptr);
    if (!tabs) return nullptr;
    // The Russian font of font set 1; the default GUI font while there are no font sets.
    CFonts* fonts = ProgramFonts();
    HFONT font = fonts ? fonts->Set(kBaseFontSet).Font(kLatinSlot) : nullptr;
    SendMessageW(tabs, WM_SETFONT, reinterpret_cast<WPARAM>(font ? font : GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    tabImages_ = LoadImageStrip(instance_, IDB_TAB_IMAGES, 24, 18, 9, kTabMask);
    SendMessageW(tabs, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(tabImages_));
    SendMessageW(tabs, TCM_SETMINTABWIDTH, 0, 40);
    SendMessageW(tabs, TCM_SETPADDING, 0, MAKELPARAM(kTabPaddingX, kTabPaddingY));
    ReleaseFromFrame(SendMessageW(tabs, TCM_GETTOOLTIPS, 0, 0));
    TabControlStrip strip(tabs);
    for (int32_t i = 0; i < 8; ++i) strip.Insert(i, kTabCommands[i], TabImageOfCommand(kTabCommands[i]));
    return tabs;
}

uint32_t CFrame::SelectedTabCommand() const {
    if (!tabControl) return 0;
    int32_t index = static_cast<int32_t>(SendMessageW(tabControl, TCM_GETCURSEL, 0, 0));
    return index >= 0 ? TabControlStrip(tabControl).CommandAt(index) : 0;
}

int32_t CFrame::FindOrInsertListTab(int32_t position, uint32_t command, bool insert) {
    if (!tabControl) return -1;
    TabControlStrip strip(tabControl);
    int32_t index = ::FindOrInsertListTab(strip, position, command, insert);
    FitTabs();
    return index;
}

void CFrame::FitTabs() {
    if (!tabControl) return;
    RECT strip{};
    GetClientRect(tabControl, &strip);
    int count = static_cast<int>(SendMessageW(tabControl, TCM_GETITEMCOUNT, 0, 0));
    // Tabs narrower by their padding until all fit: a scrolled strip hides
    // tabs, the Translation tab first, at the first-run width.
    for (int padding = kTabPaddingX; padding >= 0; --padding) {
        SendMessageW(tabControl, TCM_SETPADDING, 0, MAKELPARAM(padding, kTabPaddingY));
        // Some tab controls (Wine's) size their tabs anew only with a font.
        SendMessageW(tabControl, WM_SETFONT, SendMessageW(tabControl, WM_GETFONT, 0, 0), TRUE);
        if (TabsWidth(tabControl, count) <= strip.right - kTabStripMargin) break;
    }
    // Back to the first tab: a strip that scrolled keeps its offset.
    for (int i = 0; i < count; ++i) SendMessageW(tabControl, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
}

HWND CFrame::FindToolbarForCommand(uint32_t command) const {
    int32_t number = ToolbarOfCommand(command);
    return number ? toolbars[number - 1] : nullptr;
}

void CFrame::RecalcLayout() {
    RECT client{}, status{};
    GetClientRect(frame_, &client);
    if (statusBar_) GetWindowRect(statusBar_, &status);
    LayoutInput in;
    in.clientWidth = client.right;
    in.clientHeight = client.bottom;
    in.statusHeight = status.bottom - status.top;
    in.inputFontSize = inputFontPoints_;
    in.split = listHeight_;
    in.inputButtonsWidth = ButtonsWidth(toolbars[2]);
    FrameLayout layout = ComputeFrameLayout(in);
    listHeight_ = layout.split;

    constexpr UINT kShow = SWP_NOZORDER | SWP_SHOWWINDOW;
    for (int i = 0; i < 3; ++i) Place(toolbars[i], layout.toolbars[i], kShow);
    if (toolbars[2]) {
        SendMessageW(toolbars[2], TB_SETINDENT, layout.toolbar3Indent, 0);
        LayOutButtonsAgain(toolbars[2]);
    }
    Place(inputBox_, layout.input, kShow);
    Place(tabControl, layout.tabs, SWP_NOZORDER | SWP_NOACTIVATE);
    FitTabs();
    if (lists) lists->MoveListWindows(layout.list.x, layout.list.y, layout.list.width, layout.list.height);
    Place(sizeBar_, layout.sizeBar, kShow);
    Place(articleView, layout.article, kShow);
    Place(statusBar_, layout.status, kShow);

    if (statusBar_) {
        // The widest count in the interface language, and two wide letters more.
        const std::wstring widest = LineCountText(kWidestCount, kWidestCount) + L"\u0416\u0416";
        int32_t measured = GuiFontMeasure(statusBar_)(std::u16string_view(Char16View(widest)));
        int parts[2] = {StatusNamePartEnd(layout.status.width, measured), -1};
        SendMessageW(statusBar_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    }
    SetStatusDictionaryName(lists ? lists->CurrentDictionaryPath() : std::u16string());
}

void CFrame::UpdateStatusBar() {
    SetStatusDictionaryName(lists ? lists->CurrentDictionaryPath() : std::u16string());
    SetStatusLineCount(lists ? lists->CurrentRow() + 1 : 0, lists ? lists->RowCount() : 0);
}

void CFrame::SetStatusDictionaryName(const std::u16string& path) {
    if (!statusBar_) return;
    // The clipboard monitor's word on where it stopped reading stands in the
    // name's place as long as the input box holds the text it is about.
    if (!monitorNote_.empty() && !InputHoldsMonitorFill()) monitorNote_.clear();
    RECT part{};
    SendMessageW(statusBar_, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part));
    GuiFontMeasure measure(statusBar_);
    std::u16string text = ShortenStatusText(monitorNote_.empty() ? path : monitorNote_, part.right - part.left - 8,
                                            [&measure](std::u16string_view t) { return measure(t); });
    SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(WideString(text).c_str()));
}

void CFrame::SetStatusLineCount(int32_t line, int32_t total) {
    if (!statusBar_) return;
    const std::wstring text = line > 0 && total > 0 ? LineCountText(line, total) : std::wstring();
    SendMessageW(statusBar_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(text.c_str()));
}

void CFrame::ResetCaption() { SetWindowTextW(frame_, Wide(UIStringTable[kTitleSlot])); }

LRESULT CALLBACK CFrame::SizeBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CFrame* frame = g_frame;
    if (!frame || !frame->frame_) return DefWindowProcW(window, message, wParam, lParam);
    return frame->OnSizeBarMessage(window, message, wParam, lParam);
}

LRESULT CFrame::OnSizeBarMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto dragTarget = [this, lParam] {
        RECT client{};
        GetClientRect(frame_, &client);
        return ClampSizeBarPosition(listHeight_ + static_cast<short>(HIWORD(lParam)), client.bottom - client.top);
    };
    switch (message) {
    case WM_LBUTTONDOWN: {
        if (window != sizeBar_ || dragLine_) return 0;
        SetCapture(window);
        RECT bar{};
        GetWindowRect(sizeBar_, &bar);
        MapWindowPoints(nullptr, frame_, reinterpret_cast<POINT*>(&bar), 2);
        dragLine_ = CreateWindowExW(0, Wide(kSizeBarClassName), L"", kDragLineStyle, bar.left, bar.top,
                                    bar.right - bar.left, bar.bottom - bar.top, frame_, nullptr, instance_, nullptr);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (window == sizeBar_ && dragLine_) {
            RECT client{};
            GetClientRect(frame_, &client);
            SetWindowPos(dragLine_, HWND_TOP, 0, dragTarget(), client.right, kSizeBarHeight, SWP_SHOWWINDOW);
        }
        return 0;
    case WM_LBUTTONUP:
        if (window == sizeBar_ && dragLine_) {
            DestroyWindow(dragLine_);
            dragLine_ = nullptr;
            ReleaseCapture();
            listHeight_ = dragTarget();
            RecalcLayout();
            InvalidateRect(frame_, nullptr, TRUE);
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (window == dragLine_) FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
        EndPaint(window, &paint);
        return 0;
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
