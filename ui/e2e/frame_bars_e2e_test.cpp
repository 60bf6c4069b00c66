// The main window's bars end to end: each interface language retitles the
// toolbar buttons (read across processes) and leaves a screenshot for people
// to look at; the tray icon's double click, posted as the shell would post
// it, hides the window and shows it again; hidden to the tray and shown, the
// window comes back as it was.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "common/ui_text/ui_text.h"
#include "ui/e2e/program_session.h"
#include "ui/e2e/machine_pace.h"

namespace {

constexpr UINT kTrayNotify = WM_APP + 7;
constexpr UINT kSearchCommand = 40010;

std::wstring ButtonText(HWND toolbar, UINT command) {
    RemoteMemory memory(toolbar, 512);
    if (!memory.Valid()) return L"?";
    LRESULT length = SendMessageW(toolbar, TB_GETBUTTONTEXTW, command, memory.At(0));
    if (length <= 0 || length >= 255) return L"";
    std::wstring text(static_cast<size_t>(length), L'\0');
    memory.Read(0, text.data(), text.size() * sizeof(wchar_t));
    return text;
}

bool WaitFor(const auto& condition) {
    for (int i = 0, n = machine_pace::ScaledTries(100); i < n; ++i) {
        if (condition()) return true;
        Sleep(20);
    }
    return false;
}

TEST(FrameBarsEndToEnd, LanguagesRetitleTheToolbarsAndTheTrayHidesAndShows) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    TestFolders folders = PrepareTest(L"FrameBars.Languages");
    WriteSettings(folders, L"[Application]\r\nVersion=11.11.0\r\nFlags=49152\r\n"
                           L"[Window]\r\nx=40\r\ny=30\r\ncx=560\r\ncy=480\r\ncy2=220\r\n");
    ProgramRun run;
    HWND frame = run.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    HWND toolbar = FindChild(frame, TOOLBARCLASSNAMEW, 2);
    ASSERT_NE(toolbar, nullptr);
    struct Language {
        UINT command;
        uint32_t set;
        const wchar_t* name;
    };
    for (Language language : {Language{40144, 0, L"ru"}, Language{40141, 2, L"ja"}, Language{40037, 1, L"en"}}) {
        SetUILanguage(language.set);
        std::wstring expected(reinterpret_cast<const wchar_t*>(FindMenuCommandTitle(kSearchCommand)));
        PostMessageW(frame, WM_COMMAND, language.command, 0);
        EXPECT_TRUE(WaitFor([&] { return ButtonText(toolbar, kSearchCommand) == expected; })) << language.name;
        RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(100);
        SaveScreenshot(folders.root + L"\\main_window_" + language.name + L".png");
    }

    PostMessageW(frame, kTrayNotify, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(frame); }));
    PostMessageW(frame, kTrayNotify, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(frame) != FALSE; }));
    EXPECT_EQ(run.Exit(frame), 0);
}

// Where the frame and its bars stand: the window, its client area, and the
// status bar in the client area, maximised or not.
struct FrameShape {
    RECT window{}, client{}, status{};
    bool zoomed = false;
    bool operator==(const FrameShape& o) const {
        return EqualRect(&window, &o.window) && EqualRect(&client, &o.client) && EqualRect(&status, &o.status) &&
               zoomed == o.zoomed;
    }
};
FrameShape ShapeOf(HWND frame) {
    FrameShape shape;
    GetWindowRect(frame, &shape.window);
    GetClientRect(frame, &shape.client);
    if (HWND status = FindChild(frame, STATUSCLASSNAMEW, 200)) {
        GetWindowRect(status, &shape.status);
        MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&shape.status), 2);
    }
    shape.zoomed = IsZoomed(frame) != FALSE;
    return shape;
}
std::string Describe(const FrameShape& s) {
    auto rect = [](const RECT& r) {
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
               std::to_string(r.bottom);
    };
    return "window " + rect(s.window) + " client " + rect(s.client) + " status " + rect(s.status) +
           (s.zoomed ? " maximised" : "");
}

// The main window hidden to the tray (Tray Icon) and shown again (Show)
// comes back as it was, at its size, maximised or not, its status bar at
// the foot of its client area, where it came back restored from maximised.
TEST(FrameBarsEndToEnd, TheWindowHiddenToTheTrayComesBackAsItWas) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    TestFolders folders = PrepareTest(L"FrameBars.Tray");
    WriteSettings(folders, L"[Application]\r\nVersion=11.11.0\r\nFlags=49152\r\n"
                           L"[Window]\r\nx=40\r\ny=30\r\ncx=700\r\ncy=560\r\ncy2=300\r\n");
    ProgramRun run;
    HWND frame = run.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    constexpr UINT kTrayIcon = 40137, kShowWindow = 40051;
    for (int show : {SW_SHOWNORMAL, SW_MAXIMIZE}) {
        SCOPED_TRACE(show == SW_MAXIMIZE ? "maximised" : "normal");
        ShowWindowAsync(frame, show);
        ASSERT_TRUE(WaitFor([&] { return (IsZoomed(frame) != FALSE) == (show == SW_MAXIMIZE); }));
        run.SettledState(frame);
        const FrameShape before = ShapeOf(frame);
        ASSERT_GT(before.client.bottom, 300) << Describe(before);
        ASSERT_EQ(before.status.bottom, before.client.bottom) << Describe(before);
        PostMessageW(frame, WM_COMMAND, kTrayIcon, 0);
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(frame); })) << "not hidden to the tray";
        PostMessageW(frame, WM_COMMAND, kShowWindow, 0);
        ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(frame) != FALSE; })) << "not shown again";
        run.SettledState(frame);
        const FrameShape after = ShapeOf(frame);
        EXPECT_TRUE(after == before) << "before: " << Describe(before) << "\nafter: " << Describe(after);
        SaveScreenshot(folders.root + L"\\shown_again_" + std::to_wstring(show) + L".png");
        // The tray icon off again, the window stays.
        PostMessageW(frame, WM_COMMAND, kTrayIcon, 0);
        run.SettledState(frame);
        ASSERT_TRUE(IsWindowVisible(frame));
    }
    EXPECT_EQ(run.Exit(frame), 0);
}

}  // namespace
