// The input box of the running program draws real glyphs in every script a
// user types (two different characters of each, told from the box of a
// missing glyph), in each interface language; run under LANG=C.UTF-8 too.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/win/tests/screen_ink.h"
#include "ui/e2e/program_session.h"

namespace {

TEST(InputGlyphs, TheInputBoxDrawsEveryScriptInEveryInterfaceLanguage) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    for (const wchar_t* flags : {L"32768", L"49152", L"34816"}) {  // Russian, English, Japanese
        TestFolders folders = PrepareTest(std::wstring(L"InputGlyphs.") + flags);
        WriteSettings(folders, std::wstring(L"[Application]\r\nVersion=11.11.0\r\nFlags=") + flags +
                                   L"\r\n[Window]\r\nx=20\r\ny=20\r\ncx=600\r\ncy=500\r\ncy2=250\r\n");
        ProgramRun run;
        HWND frame = run.WaitForFrameWithoutClipboardMonitor();
        ASSERT_NE(frame, nullptr);
        SetForegroundWindow(frame);
        HWND input = FindChild(frame, L"RichEdit20W", 202);
        ASSERT_NE(input, nullptr);
        RECT client{};
        GetClientRect(input, &client);
        const RECT firstLetters{2, 1, 40, client.bottom - 1};
        auto draw = [&](const std::wstring& text) {
            SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            Sleep(150);  // the program gives the text its script's face and repaints
            RedrawWindow(input, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            Sleep(50);
            return screen_ink::InkOf(input, &firstLetters);
        };
        EXPECT_TRUE(screen_ink::DrawsRealGlyphs(draw)) << "Flags " << std::string(flags, flags + 5);
        EXPECT_EQ(run.Exit(frame), 0);
    }
}

}  // namespace
