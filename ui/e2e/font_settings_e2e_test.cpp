// The font settings page in the running program: Font... (40119) opens the
// settings dialog at it with the stored sizes selected, OK writes the chosen size to section
// "Fonts" and Cancel leaves the file as it was, a restart shows the saved
// sizes; the program starts with no
// missing-font warning because the kanji check finds Debian's IPA fonts.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ui/e2e/program_session.h"
#include "ui/e2e/machine_pace.h"

namespace {

constexpr UINT kFontSettingsCommand = 40119;
constexpr int kListSize = 1241;
constexpr int kArticleSize = 1242;
constexpr int kInputSize = 1240;

HWND WaitForDialog(const wchar_t* title) {
    for (int i = 0; i < 200; ++i) {
        // Shown: the pages are made while it is still hidden.
        if (HWND dialog = FindWindowW(L"#32770", title); dialog && IsWindowVisible(dialog)) return dialog;
        Sleep(25);
    }
    return nullptr;
}

// The font page inside the settings dialog (the child dialog that holds the size lists).
HWND FontPage(HWND settings) {
    HWND combo = settings ? FindChild(settings, L"ComboBox", kListSize) : nullptr;
    return combo ? GetParent(combo) : nullptr;
}

bool WaitForGone(HWND window) {
    for (int i = 0, n = machine_pace::ScaledTries(200); i < n && IsWindow(window); ++i) Sleep(25);
    return !IsWindow(window);
}

std::wstring Shown(HWND dialog, int id) {
    wchar_t text[32] = {};
    GetDlgItemTextW(dialog, id, text, 32);
    return text;
}

void Choose(HWND dialog, int id, const wchar_t* size) {
    HWND combo = GetDlgItem(dialog, id);
    LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(size));
    ASSERT_NE(index, CB_ERR) << size;
    SendMessageW(combo, CB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

TEST(FontSettingsEndToEnd, OkSavesTheChosenSizesAndCancelKeepsTheFile) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    TestFolders folders = PrepareTest(L"FontSettings.Page");
    WriteSettings(folders, L"[Application]\r\nVersion=11.11.0\r\nFlags=49152\r\n"
                           L"[Window]\r\nx=40\r\ny=30\r\ncx=560\r\ncy=480\r\ncy2=220\r\n"
                           L"[Fonts]\r\nInputPoints=15\r\nArticlePoints=12\r\n");
    {
        ProgramRun run;
        HWND frame = run.WaitForFrame();
        ASSERT_NE(frame, nullptr);
        PostMessageW(frame, WM_COMMAND, kFontSettingsCommand, 0);
        HWND dialog = WaitForDialog(L"Settings");
        HWND page = FontPage(dialog);
        ASSERT_NE(page, nullptr);
        EXPECT_TRUE(IsWindowVisible(page));
        EXPECT_EQ(Shown(page, kInputSize), L"14");  // 15 is not offered: the last size below it
        Choose(page, kListSize, L"18");
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(300);
        SaveScreenshot(folders.root + L"\\font_settings.png");
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitForGone(dialog));

        PostMessageW(frame, WM_COMMAND, kFontSettingsCommand, 0);
        dialog = WaitForDialog(L"Settings");
        page = FontPage(dialog);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(Shown(page, kListSize), L"18");
        Choose(page, kArticleSize, L"26");
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(WaitForGone(dialog));
        EXPECT_EQ(run.Exit(frame), 0);
    }
    EXPECT_EQ(ReadIniString(folders, L"Fonts", L"ListPoints"), L"18");
    EXPECT_EQ(ReadIniString(folders, L"Fonts", L"ArticlePoints"), L"12");
    EXPECT_EQ(ReadIniString(folders, L"Fonts", L"RusName"), L"Arial");
    EXPECT_EQ(ReadIniString(folders, L"Fonts", L"KanjiName"), L"MS UI Gothic");

    ProgramRun restarted;  // the sizes survive a restart
    HWND frame = restarted.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    PostMessageW(frame, WM_COMMAND, kFontSettingsCommand, 0);
    HWND dialog = WaitForDialog(L"Settings");
    HWND page = FontPage(dialog);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Shown(page, kListSize), L"18");
    EXPECT_EQ(Shown(page, kArticleSize), L"12");
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitForGone(dialog));
    EXPECT_EQ(restarted.Exit(frame), 0);
}

}  // namespace
