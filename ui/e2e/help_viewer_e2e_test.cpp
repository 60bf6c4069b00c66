// The help the program opens: F1 pressed in a dialog (a real key event) and
// Help > Contents open the help viewer over the help file the build puts
// beside the program, in the interface language, and never the "Help file
// not found" box. The viewer's window belongs to the program; it is closed
// before the next case. (Wine draws the pages through its HTML engine, which
// the test prefix does without: the viewer opens, its pages stay blank.)
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>

#include "common/win/tests/key_typing.h"
#include "common/win/tests/screen_ink.h"
#include "ui/command_ids.h"
#include "ui/e2e/edict_slice_session.h"
#include "ui/e2e/editor_windows.h"
#include "ui/e2e/program_session.h"

namespace {

using editor_windows::WaitFor;

struct ViewerSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK ConsiderViewer(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<ViewerSearch*>(data);
    wchar_t name[64] = {};
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window) || !GetClassNameW(window, name, 64) ||
        std::wstring(name) != L"HH Parent")
        return TRUE;
    search->found = window;
    return FALSE;
}

// The help viewer's top window of the program's process, null when none is shown.
HWND HelpViewerOf(HWND frame) {
    ViewerSearch search{0, nullptr};
    GetWindowThreadProcessId(frame, &search.process);
    EnumWindows(&ConsiderViewer, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring TitleOf(HWND window) {
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    return title;
}

// Waits for the viewer titled `title`, checks that no "not found" box came
// instead, and closes it.
void ExpectViewerAndClose(HWND frame, const char* route, const std::wstring& title = L"Ostrel Pro Help") {
    HWND viewer = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (viewer = HelpViewerOf(frame)) != nullptr; }, 300))
        << route << ": no help viewer";
    EXPECT_EQ(FindWindowW(L"#32770", L"Help file not found"), nullptr) << route;
    if (viewer == nullptr) return;
    EXPECT_EQ(TitleOf(viewer), title) << route;
    PostMessageW(viewer, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return HelpViewerOf(frame) == nullptr; })) << route << ": the viewer stays";
}

TEST(HelpViewer, F1InADialogAndContentsOpenTheHelpFile) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    TestFolders folders = PrepareTest(L"HelpViewer.F1");
    ProgramRun run;
    HWND frame = StartWithSlice(run, folders);
    ASSERT_NE(frame, nullptr);

    PostMessageW(frame, WM_COMMAND, cmd::kPrint, 0);
    HWND dialog = WaitForShownDialog(L"Print articles");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(key_typing::PressKey(GetDlgItem(dialog, IDCANCEL), VK_F1));
    ExpectViewerAndClose(frame, "F1 in the print dialog");
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));

    PostMessageW(frame, WM_COMMAND, cmd::kHelpContents, 0);
    ExpectViewerAndClose(frame, "Help > Contents");
    EXPECT_EQ(run.Exit(frame), 0);
}

// The Russian and Japanese interfaces open their own files. (The viewer reads
// a file's title in the system's code page, whatever the file's language: the
// three files share one title in ASCII, and the contents name the pages.)
TEST(HelpViewer, EachInterfaceLanguageOpensItsOwnFile) {
    for (const auto& [flags, name] : {std::pair{L"32768", L"ru"}, std::pair{L"34816", L"ja"}}) {
        CloseLeftoverFrames();
        TestFolders folders = PrepareTest(std::wstring(L"HelpViewer.") + name);
        ProgramRun run;
        HWND frame = StartWithDictionaries(run, folders, {L"edict-slice.qdx"},
                                           std::wstring(L"[Application]\r\nVersion=11.11.0\r\nFlags=") + flags +
                                               L"\r\n[Window]\r\nx=20\r\ny=20\r\ncx=700\r\ncy=560\r\ncy2=300\r\n");
        ASSERT_NE(frame, nullptr);
        PostMessageW(frame, WM_COMMAND, cmd::kHelpContents, 0);
        HWND viewer = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (viewer = HelpViewerOf(frame)) != nullptr; }, 300));
        EXPECT_TRUE(WaitUntilDrawn(viewer)) << "the help viewer is not drawn";
        screen_ink::SaveScreenshot(folders.root + L"\\help_contents.png");
        ExpectViewerAndClose(frame, "Help > Contents");
        EXPECT_EQ(run.Exit(frame), 0);
    }
}

}  // namespace
