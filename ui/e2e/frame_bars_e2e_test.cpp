// The main window's bars end to end: each interface language retitles the
// toolbar buttons (read across processes) and leaves a screenshot for people
// to look at; the tray icon's double click, posted as the shell would post
// it, hides the window and shows it again.
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

}  // namespace
