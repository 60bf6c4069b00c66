// The end-to-end test hook: with OSTREL_TEST_HOOK=1 in the environment the
// frame answers a WM_COPYDATA query with its state as text, sent back to the
// asking window with WM_COPYDATA. Without the variable the frame ignores
// WM_COPYDATA and behaves as it always does. OSTREL_TEST_START_HOLD holds
// the start (test_hook_protocol.h).
//
// Query: dwData = kTestQueryState, no data. Answer: dwData = kTestAnswerState,
// UTF-16 lines "name=value\n" (no terminator):
// | name        | value                                                  |
// |-------------|--------------------------------------------------------|
// | flags       | the application flags word, decimal                    |
// | language    | 0 Russian, 1 English, 2 Japanese                        |
// | dpi         | the screen DPI the program uses                        |
// | kind        | current list kind (0 none)                              |
// | rows, top, current, selected | of the current list                   |
// | cell.R.C    | the text of cell C of visible row R (top + R); empty off a merged list's page |
// | dictionaries| dictionaries on the shelf                              |
// | dataFolder, dictionariesFolder | the program's folders                |
// | homeSite    | the home site the web services use                      |
// | inputMenu.N | 1 when command N of the input box's menu is enabled, 0 greyed (N = 40167, 40169, 40171) |
// | popup       | the caption of the window in front of the frame (a dialog, or a dialog it opened), when one is shown |
// | control.N   | "id|fits|needed|room|text" of its N-th shown label or button (fits 1 or 0, pixels) |
// | status.P    | the text of part P (0, 1) of the status bar                |
// | refreshes   | refreshes of the current list since the start (page, scroll bar, article) |
// | articles    | articles loaded into the article view since the start      |
// | marks       | queue marks (kTestQueueMark) handled since the start        |
// | keys        | key presses the message loop took since the start (a box's own loop takes its keys) |
// | hint        | "looks|pending": the hover hint's looks at the pointer so far, 1 when a show waits for its delay |
// | stage.NAME  | QueryPerformanceCounter's count when the last Find reached stage NAME (find_stages.h), 0 never |
// | tab         | the command of the tab shown selected                      |
// | button.N    | 1 when toolbar button N is enabled, 0 greyed (N = 40194)   |
// | header.N    | "arrow|left,top,right,bottom|title" of the current list's header item N (arrow 1 with the sort arrow; screen pixels) |
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "common/win/wide_text.h"
#include "ui/application.h"
#include "ui/control_fit.h"
#include "ui/find_stages.h"
#include "ui/frame.h"
#include "ui/list_view.h"
#include "ui/test_hook_protocol.h"

namespace {
void AddLine(std::u16string& out, std::u16string_view name, std::u16string_view value) {
    out += name;
    out += u'=';
    out += value;
    out += u'\n';
}

std::u16string Number(long long value) {
    std::string text = std::to_string(value);
    return std::u16string(text.begin(), text.end());
}
struct PopupControls {
    std::u16string* out;
    int count = 0;
};

BOOL CALLBACK AddPopupControl(HWND control, LPARAM data) {
    auto* popup = reinterpret_cast<PopupControls*>(data);
    if (!IsWindowVisible(control)) return TRUE;
    const ControlFit fit = MeasureControlFit(control);
    if (!fit.measured) return TRUE;
    wchar_t text[1024] = {};
    GetWindowTextW(control, text, 1024);
    std::u16string line = Number(GetDlgCtrlID(control)) + u"|" + (fit.fits ? u"1" : u"0") + u"|" + Number(fit.needed) +
                          u"|" + Number(fit.room) + u"|";
    for (const wchar_t* c = text; *c; ++c) line += *c == L'\n' ? u' ' : *c == L'\r' ? u' ' : static_cast<char16_t>(*c);
    AddLine(*popup->out, u"control." + Number(popup->count++), line);
    return TRUE;
}

// The window in front of the frame: of the program's shown and enabled
// captioned windows that the frame owns, directly or through another (a dialog opened
// from a dialog), the one deepest in that chain; the topmost of those.
struct FrontWindow {
    HWND frame;
    HWND found = nullptr;
    int depth = 0;
};

BOOL CALLBACK ConsiderFrontWindow(HWND window, LPARAM data) {
    auto* front = reinterpret_cast<FrontWindow*>(data);
    if (window == front->frame || !IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
    // Dialogs and boxes have a caption; tool tips and hints do not.
    if ((GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) != WS_CAPTION) return TRUE;
    int depth = 0;
    for (HWND owner = GetWindow(window, GW_OWNER); owner && depth < 16; owner = GetWindow(owner, GW_OWNER)) {
        ++depth;
        if (owner == front->frame) {
            if (depth > front->depth) {
                front->found = window;
                front->depth = depth;
            }
            break;
        }
    }
    return TRUE;
}

HWND WindowInFrontOf(HWND frame) {
    FrontWindow front{frame};
    EnumThreadWindows(GetCurrentThreadId(), &ConsiderFrontWindow, reinterpret_cast<LPARAM>(&front));
    return front.found;
}

}  // namespace

void HoldStartForTest() { HoldForTest(L"OSTREL_TEST_START_HOLD"); }

LRESULT CFrame::OnTestQuery(HWND sender, const COPYDATASTRUCT* query) {
    if (!query || query->dwData != kTestQueryState || !sender || !IsWindow(sender)) return 0;
    Application& app = *g_application;
    std::u16string text;
    AddLine(text, u"flags", Number(app.flags));
    AddLine(text, u"language", Number(app.language));
    AddLine(text, u"dpi", Number(app.dpi));
    AddLine(text, u"kind", Number(lists ? lists->CurrentKind() : 0));
    int32_t rows = lists ? lists->RowCount() : 0;
    int32_t top = lists ? lists->TopRow() : 0;
    AddLine(text, u"rows", Number(rows));
    AddLine(text, u"top", Number(top));
    AddLine(text, u"current", Number(lists ? lists->CurrentRow() : -1));
    AddLine(text, u"selected", Number(lists ? lists->SelectedCount() : 0));
    for (int32_t row = 0; lists && row < kTestPageRows && top + row < rows; ++row)
        for (int32_t cell = 0; cell < kTestPageCells; ++cell)
            AddLine(text, u"cell." + Number(row) + u"." + Number(cell), lists->VisibleCellText(top + row, cell));
    AddLine(text, u"dictionaries", Number(lists ? lists->DictionaryCount() : 0));
    AddLine(text, u"refreshes", Number(ListView::RefreshCount()));
    AddLine(text, u"articles", Number(ListView::ArticleLoadCount()));
    AddLine(text, u"marks", Number(testQueueMarks_));
    AddLine(text, u"keys", Number(keysTaken_));
    if (furniture && furniture->HintExists())
        AddLine(text, u"hint", Number(furniture->HintLooks()) + (furniture->HintShowPending() ? u"|1" : u"|0"));
    for (int32_t stage = 0; stage < static_cast<int32_t>(FindStage::Count); ++stage)
        AddLine(text, std::u16string(u"stage.") + kFindStageNames[stage],
                Number(FindStageMark(static_cast<FindStage>(stage))));
    if (tabControl) {
        TCITEMW tab{};
        tab.mask = TCIF_PARAM;
        const LRESULT selected = SendMessageW(tabControl, TCM_GETCURSEL, 0, 0);
        if (selected >= 0 && SendMessageW(tabControl, TCM_GETITEMW, selected, reinterpret_cast<LPARAM>(&tab)))
            AddLine(text, u"tab", Number(tab.lParam));
    }
    for (uint32_t command : {40194u})
        if (HWND toolbar = FindToolbarForCommand(command))
            AddLine(text, u"button." + Number(command), SendMessageW(toolbar, TB_ISBUTTONENABLED, command, 0) ? u"1" : u"0");
    if (HWND header = lists ? GetDlgItem(lists->CurrentListWindow(), ListView::kHeaderId) : nullptr) {
        const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t title[128] = {};
            HDITEMW item{};
            item.mask = HDI_FORMAT | HDI_TEXT;
            item.pszText = title;
            item.cchTextMax = 128;
            RECT box{};
            SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
            SendMessageW(header, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&box));
            MapWindowPoints(header, nullptr, reinterpret_cast<POINT*>(&box), 2);
            AddLine(text, u"header." + Number(i),
                    std::u16string(item.fmt & HDF_SORTDOWN ? u"1|" : u"0|") + Number(box.left) + u"," +
                        Number(box.top) + u"," + Number(box.right) + u"," + Number(box.bottom) + u"|" +
                        std::u16string(Char16View(title)));
        }
    }
    AddLine(text, u"dataFolder", app.dataFolder);
    AddLine(text, u"dictionariesFolder", app.dictionariesFolder);
    AddLine(text, u"homeSite", app.homeSite);
    if (HMENU inputMenu = PrepareInputMenu())
        for (uint32_t command : {40167u, 40169u, 40171u})
            AddLine(text, u"inputMenu." + Number(command),
                    GetMenuState(inputMenu, command, MF_BYCOMMAND) & MF_GRAYED ? u"0" : u"1");
    // The article editors' right-button menu as it was last shown.
    if (HMENU editorMenu = contextMenus_ ? GetSubMenu(contextMenus_, 11) : nullptr) {
        wchar_t title[256] = {};
        GetMenuStringW(editorMenu, 40500, title, 256, MF_BYCOMMAND);
        AddLine(text, u"editorMenu.40500", reinterpret_cast<const char16_t*>(title));
        GetMenuStringW(editorMenu, 9, title, 256, MF_BYPOSITION);
        AddLine(text, u"editorMenu.web", reinterpret_cast<const char16_t*>(title));
    }
    // The window in front of the frame (a dialog, or one opened from it): its
    // caption and the fit of every label and button shown in it.
    HWND popup = WindowInFrontOf(frame_);
    if (popup) {
        wchar_t caption[256] = {};
        GetWindowTextW(popup, caption, 256);
        AddLine(text, u"popup", std::u16string(Char16View(caption)));
        PopupControls controls{&text};
        EnumChildWindows(popup, &AddPopupControl, reinterpret_cast<LPARAM>(&controls));
    }
    for (int part = 0; part < 2 && statusBar_; ++part) {
        wchar_t status[256] = {};
        if (LOWORD(SendMessageW(statusBar_, SB_GETTEXTLENGTHW, part, 0)) < 256)
            SendMessageW(statusBar_, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(status));
        AddLine(text, u"status." + Number(part), std::u16string(Char16View(status)));
    }
    COPYDATASTRUCT answer{kTestAnswerState, static_cast<DWORD>(text.size() * sizeof(char16_t)), text.data()};
    SendMessageW(sender, WM_COPYDATA, reinterpret_cast<WPARAM>(frame_), reinterpret_cast<LPARAM>(&answer));
    return 1;
}
