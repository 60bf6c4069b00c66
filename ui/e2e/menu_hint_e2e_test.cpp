// OstrelPro.exe: the hover hint of the Menu button shows while the pointer
// rests on it; a click on the button before its hint shows opens the
// application menu, and the button's hint does not come up over the menu's
// first item while the menu is open.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "common/win/tests/key_typing.h"
#include "ui/e2e/editor_windows.h"
#include "ui/e2e/machine_pace.h"
#include "ui/e2e/program_session.h"

namespace {

using editor_windows::WaitFor;

// The program's hover hint window, when shown.
bool HintShown() {
    HWND hint = FindWindowW(L"Ostrel ToolTip Class", nullptr);
    return hint && IsWindowVisible(hint);
}

bool MenuShown() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu);
}

void Click(DWORD down, DWORD up) {
    INPUT press[2] = {};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = down;
    press[1].mi.dwFlags = up;
    SendInput(2, press, sizeof(INPUT));
}

TEST(MenuHint, TheMenuButtonsHintGoesWhenTheMenuOpens) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    TestFolders folders = PrepareTest(L"MenuHint");
    WriteSettings(folders, L"[Window]\r\nx=20\r\ny=20\r\ncx=700\r\ncy=560\r\ncy2=300\r\n");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(key_typing::FocusWindow(frame));
    HWND toolbar = FindWindowExW(frame, nullptr, TOOLBARCLASSNAMEW, nullptr);
    ASSERT_NE(toolbar, nullptr);
    RemoteMemory memory(toolbar, sizeof(RECT));
    ASSERT_TRUE(SendMessageW(toolbar, TB_GETITEMRECT, 0, memory.At(0)));
    RECT button{};
    memory.Read(0, &button, sizeof(button));
    POINT centre{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    ClientToScreen(toolbar, &centre);
    SetCursorPos(centre.x, centre.y);
    bool shown = false;
    for (int i = 0, n = machine_pace::ScaledTries(100); i < n && !(shown = HintShown()); ++i) Sleep(50);
    ASSERT_TRUE(shown) << "the Menu button's hint did not show";
    RECT frameBox{};
    GetWindowRect(frame, &frameBox);
    SetCursorPos((frameBox.left + frameBox.right) / 2, frameBox.bottom - 60);  // over the article view
    for (int i = 0, n = machine_pace::ScaledTries(100); i < n && HintShown(); ++i) Sleep(50);
    ASSERT_FALSE(HintShown());

    // Back on the button, clicked within the hint's show delay: once the
    // hint has seen the pointer there, before it shows.
    SetCursorPos(centre.x, centre.y);
    ASSERT_TRUE(WaitFor([&] { return run.QueryState(frame)[L"hint"].ends_with(L"|1") || HintShown(); }))
        << "no hint waits to show over the button";
    Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    bool opened = false;
    for (int i = 0, n = machine_pace::ScaledTries(100); i < n && !(opened = MenuShown()); ++i) Sleep(50);
    ASSERT_TRUE(opened) << "the application menu did not open";
    // The hint has looked at the pointer twice with the menu open: it shows
    // nothing, and no show waits for its delay.
    auto hint = [&] { return run.QueryState(frame)[L"hint"]; };
    const long long looks = _wtoi64(hint().c_str());
    std::wstring now;
    EXPECT_TRUE(WaitFor([&] { return _wtoi64((now = hint()).c_str()) >= looks + 2; }))
        << "the hint no longer looks at the pointer";
    EXPECT_TRUE(MenuShown());
    EXPECT_FALSE(HintShown()) << "the hint stays over the open menu";
    EXPECT_TRUE(now.ends_with(L"|0")) << "a hint waits to show over the open menu: " << testing::PrintToString(now);
    SaveScreenshot(folders.root + L"\\menu.png");
    key_typing::PressKey(VK_ESCAPE);
    for (int i = 0, n = machine_pace::ScaledTries(100); i < n && MenuShown(); ++i) Sleep(50);
    EXPECT_EQ(run.Exit(frame), 0);
}

}  // namespace
