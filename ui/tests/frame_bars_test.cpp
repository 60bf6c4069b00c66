// The main window's bars and furniture in real windows under Wine: the
// toolbars, tab strip and input box placed by the layout, the size bar
// dragged past its limits, the status line, the tray icon's double click and
// menu (posted as the shell would), the About box and the language items.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <commctrl.h>

#include <string>

#include "common/settings/win/private_profile_store.h"
#include "common/ui_text/ui_text.h"
#include "common/win/wide_text.h"
#include "ui/application.h"
#include "ui/command_ids.h"
#include "ui/frame.h"
#include "ui/frame_furniture.h"
#include "ui/tests/frame_window_classes.h"

namespace {

class DictionaryShelf final : public IFrameLists {
public:
    std::u16string CurrentDictionaryPath() override { return path; }
    int32_t RowCount() override { return 120; }
    int32_t CurrentRow() override { return 6; }
    std::u16string path = u"C:\\Dictionaries\\edict.qdx";
};

class FrameBars : public testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"ostrel_bars_test_" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder_.c_str(), nullptr);
        app_ = std::make_unique<Application>(GetModuleHandleW(nullptr));
        g_application = app_.get();
        app_->ini = OpenSettingsFile(Char16View(folder_));
        app_->richEdit = LoadLibraryW(L"Riched20.dll");
        app_->flags = app_flag::kWindowShown | app_flag::kEnglishInterface;
        app_->language = 1;
        app_->window.listHeight = 200;
        SetUILanguage(1);
        frame_ = std::make_unique<CFrame>(GetModuleHandleW(nullptr), 0, std::vector<std::u16string>{}, SW_SHOW);
        g_frame = frame_.get();
        frame_->lists = &lists_;
        furniture_ = std::make_unique<FrameFurniture>(*frame_);
        frame_->furniture = furniture_.get();
        ASSERT_EQ(frame_->Create(20, 20, 400, 520), 1);
    }

    void TearDown() override {
        frame_.reset();
        furniture_.reset();
        g_frame = nullptr;
        app_.reset();
        g_application = nullptr;
        UnregisterFrameClassesAndDrainMessages();
        DeleteFileW((folder_ + L"\\OstrelPro.ini").c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    RECT ChildRect(HWND child) {
        RECT rect{};
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, frame_->Window(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    std::wstring StatusText(int part) {
        wchar_t text[260] = {};
        SendMessageW(frame_->StatusBar(), SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
        return text;
    }

    std::wstring folder_;
    DictionaryShelf lists_;
    std::unique_ptr<Application> app_;
    std::unique_ptr<CFrame> frame_;
    std::unique_ptr<FrameFurniture> furniture_;
};

TEST_F(FrameBars, ToolbarsTabsAndInputBoxArePlacedByTheLayout) {
    const int counts[] = {16, 11, 2};
    const LONG tops[] = {0, 26, 51};
    for (int i = 0; i < 3; ++i) {
        HWND toolbar = frame_->toolbars[i];
        ASSERT_NE(toolbar, nullptr);
        EXPECT_EQ(GetDlgCtrlID(toolbar), i + 1);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(toolbar, GWL_STYLE)) & 0xFFFF, i == 2 ? 0x945u : 0x905u);
        EXPECT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), counts[i]);
        EXPECT_EQ(ChildRect(toolbar).top, tops[i]);
        EXPECT_TRUE(IsWindowVisible(toolbar));
    }
    TBBUTTON search{};
    SendMessageW(frame_->toolbars[1], TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&search));
    EXPECT_EQ(search.idCommand, 40010);
    EXPECT_EQ(search.iBitmap, 53);
    auto* images = reinterpret_cast<HIMAGELIST>(SendMessageW(frame_->toolbars[1], TB_GETIMAGELIST, 0, 0));
    EXPECT_GE(ImageList_GetImageCount(images), 54);

    EXPECT_EQ(GetParent(frame_->InputBox()), frame_->toolbars[2]);
    RECT client{}, input = {};
    GetClientRect(frame_->Window(), &client);
    GetWindowRect(frame_->InputBox(), &input);
    // The input box ends where toolbar 3's buttons begin, and they end inside it.
    RECT first{}, last{};
    SendMessageW(frame_->toolbars[2], TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    SendMessageW(frame_->toolbars[2], TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&last));
    MapWindowPoints(nullptr, frame_->toolbars[2], reinterpret_cast<POINT*>(&input), 2);
    EXPECT_EQ(input.right - input.left, std::min<LONG>(client.right - 53, first.left - 2));
    EXPECT_LE(input.right, first.left);
    EXPECT_LE(last.right, client.right);
    EXPECT_EQ(input.bottom - input.top, 32);  // 2 x 12 + 8
    EXPECT_EQ(ChildRect(frame_->tabControl).top, 51 + 35);
    EXPECT_EQ(SendMessageW(frame_->tabControl, TCM_GETITEMCOUNT, 0, 0), 8);
    EXPECT_EQ(frame_->FindOrInsertListTab(0, 40145, true), 0);
    EXPECT_EQ(frame_->FindOrInsertListTab(3, 40004, true), 2);
    EXPECT_EQ(frame_->FindOrInsertListTab(3, 40145, false), 0);
    EXPECT_EQ(SendMessageW(frame_->tabControl, TCM_GETITEMCOUNT, 0, 0), 8);
    EXPECT_EQ(ChildRect(frame_->SizeBar()).top, frame_->Split());
    EXPECT_EQ(frame_->Split(), 200);
}

TEST_F(FrameBars, TheSizeBarStopsAtItsLimits) {
    HWND bar = frame_->SizeBar();
    RECT client{};
    GetClientRect(frame_->Window(), &client);
    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 2));
    SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3, static_cast<WORD>(-1000)));
    SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(3, static_cast<WORD>(-1000)));
    EXPECT_EQ(frame_->Split(), 86 + 84);  // the layout keeps a list 60 high
    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 2));
    SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(3, 2000));
    RECT status{};
    GetWindowRect(frame_->StatusBar(), &status);
    EXPECT_EQ(frame_->Split(), client.bottom - (status.bottom - status.top) - 40);
    EXPECT_EQ(ChildRect(bar).top, frame_->Split());
}

TEST_F(FrameBars, StatusLineShowsTheLineCountAndAShortenedName) {
    frame_->UpdateStatusBar();
    EXPECT_EQ(StatusText(1), L"Line 7 from 120");
    EXPECT_EQ(StatusText(0), L"C:\\Dictionaries\\edict.qdx");
    frame_->SetStatusLineCount(0, 5);
    EXPECT_EQ(StatusText(1), L"");
    lists_.path = u"C:\\" + std::u16string(300, u'x') + u"\\kanjidic.qdx";
    frame_->SetStatusDictionaryName(lists_.path);
    std::wstring shown = StatusText(0);
    EXPECT_EQ(shown.substr(0, 6), L"C:\\...");
    EXPECT_EQ(shown.substr(shown.size() - 12), L"kanjidic.qdx");
    EXPECT_LT(shown.size(), lists_.path.size());
}

TEST_F(FrameBars, TrayDoubleClickHidesAndShowsButWaitsForAModalDialog) {
    HWND window = frame_->Window();
    SendMessageW(window, msg::kTrayNotify, 1, WM_LBUTTONDBLCLK);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_FALSE(app_->flags & app_flag::kWindowShown);
    EXPECT_TRUE(furniture_->TrayShown());
    SendMessageW(window, msg::kTrayNotify, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(window));
    app_->flags |= app_flag::kModalDialog;
    SendMessageW(window, msg::kTrayNotify, 1, WM_LBUTTONDBLCLK);
    SendMessageW(window, msg::kTrayNotify, 1, WM_RBUTTONUP);  // would open the menu with Exit
    EXPECT_TRUE(IsWindowVisible(window));
    app_->flags = (app_->flags & ~app_flag::kModalDialog) | app_flag::kDragging;
    SendMessageW(window, msg::kTrayNotify, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(window));
}

// What a timer saw of a modal loop before it closed it.
struct Seen {
    std::wstring title, text;
    UINT firstId = 0;
};
Seen g_seen;

void ReadTrayItem() {
    HMENU tray = GetSubMenu(g_frame->ContextMenus(), 7);
    g_seen.firstId = GetMenuItemID(tray, 0);
    wchar_t text[80] = {};
    GetMenuStringW(tray, 0, text, 80, MF_BYPOSITION);
    g_seen.text = text;
}

void CALLBACK ReadTrayMenu(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    ReadTrayItem();
    EndMenu();
}

void CALLBACK ReadAboutBox(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND dialog = GetLastActivePopup(g_frame->Window());
    wchar_t text[512] = {};
    GetWindowTextW(dialog, text, 512);
    g_seen.title = text;
    GetDlgItemTextW(dialog, 1000, text, 512);
    g_seen.text = text;
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(FrameBars, TrayMenuOffersHideWhileTheWindowIsShown) {
    HMENU popup = GetSubMenu(frame_->ContextMenus(), 7);
    g_seen = {};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &ReadTrayMenu);
    SendMessageW(frame_->Window(), msg::kTrayNotify, 1, WM_RBUTTONUP);
    if (g_seen.firstId == 0) {
        // Another test's window on the shared display can keep the menu from
        // tracking at all; the items it was given are read all the same.
        KillTimer(nullptr, timer);
        ReadTrayItem();
    }
    EXPECT_EQ(g_seen.firstId, cmd::kHideWindow);
    EXPECT_EQ(g_seen.text, L"Hide Main Window");
    EXPECT_TRUE(IsWindowVisible(frame_->Window()));
    EXPECT_NE(popup, nullptr);
}

TEST_F(FrameBars, AboutBoxShowsTheVersion) {
    g_seen = {};
    SetTimer(nullptr, 0, 50, &ReadAboutBox);
    SendMessageW(frame_->Window(), WM_COMMAND, cmd::kAbout, 0);
    EXPECT_EQ(g_seen.title, L"About Ostrel Pro");
    EXPECT_NE(g_seen.text.find(L"Ver. 11.11"), std::wstring::npos);
}

TEST_F(FrameBars, LanguageItemsAreMeasuredAndDrawnWithTheTickOfTheCurrentLanguage) {
    app_->language = 2;
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemID = cmd::kJapaneseInterface;
    EXPECT_EQ(SendMessageW(frame_->Window(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)), 1);
    EXPECT_GT(measure.itemWidth, 0u);
    EXPECT_GT(measure.itemHeight, 4u);

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 30);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    auto draw = [&](UINT id) {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_MENU;
        item.itemID = id;
        item.hDC = dc;
        item.rcItem = {0, 0, 200, 30};
        return SendMessageW(frame_->Window(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
    };
    COLORREF black = RGB(0, 0, 0);
    EXPECT_EQ(draw(cmd::kJapaneseInterface), 1);
    EXPECT_EQ(GetPixel(dc, 4, 2 + 5 + 1), black);   // the tick's first column
    EXPECT_EQ(GetPixel(dc, 7, 2 + 6 + 1), black);   // its lowest
    // The text is drawn right of the tick. How many pixels a glyph inks, and
    // in which shades, depends on the fonts and their smoothing: any pixel
    // there that is not the item's background counts.
    const COLORREF background = GetPixel(dc, 199, 29);
    bool inked = false;
    for (int x = 4 + GetSystemMetrics(SM_CXMENUCHECK); x < 200 && !inked; ++x)
        for (int y = 0; y < 30 && !inked; ++y) inked = GetPixel(dc, x, y) != background;
    EXPECT_TRUE(inked);                             // the Japanese text is drawn
    EXPECT_EQ(draw(cmd::kRussianInterface), 1);
    EXPECT_NE(GetPixel(dc, 4, 2 + 5 + 1), black);   // no tick: Russian is not current
    EXPECT_EQ(draw(cmd::kEnglishInterface), 0);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

}  // namespace
