// OstrelPro.exe: after a switch of the interface language the column titles
// of the list on screen are those the program shows when it starts in that
// language.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/command_ids.h"
#include "ui/e2e/program_session.h"

namespace {

HWND VisibleList(HWND frame) {
    for (HWND child = FindWindowExW(frame, nullptr, L"Ostrel List View", nullptr); child;
         child = FindWindowExW(frame, child, L"Ostrel List View", nullptr))
        if (IsWindowVisible(child)) return child;
    return nullptr;
}

// The titles of the visible list's header, read through memory in the program.
std::vector<std::wstring> HeaderTitles(HWND frame) {
    std::vector<std::wstring> titles;
    HWND list = VisibleList(frame);
    HWND header = list ? FindWindowExW(list, nullptr, WC_HEADERW, nullptr) : nullptr;
    if (!header) return titles;
    constexpr int kUnits = 64;
    RemoteMemory memory(header, sizeof(HDITEMW) + kUnits * sizeof(wchar_t));
    const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        HDITEMW item{};
        item.mask = HDI_TEXT;
        item.pszText = reinterpret_cast<wchar_t*>(memory.At(sizeof(HDITEMW)));
        item.cchTextMax = kUnits;
        wchar_t title[kUnits] = {};
        if (!memory.Write(0, &item, sizeof(item)) || !memory.Write(sizeof(HDITEMW), title, sizeof(title))) break;
        SendMessageW(header, HDM_GETITEMW, i, memory.At(0));
        memory.Read(sizeof(HDITEMW), title, sizeof(title) - sizeof(wchar_t));
        titles.emplace_back(title);
    }
    return titles;
}

TEST(ListTitles, AfterALanguageSwitchTheyAreThoseOfAStartInThatLanguage) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    TestFolders folders = PrepareTest(L"ListTitles");
    std::vector<std::wstring> before, switched, started;
    std::wstring target;  // the language switched to: Russian, or English from Russian
    {
        ProgramRun run;
        HWND frame = run.WaitForFrameWithoutClipboardMonitor();
        ASSERT_NE(frame, nullptr);
        const bool russian = run.QueryState(frame)[L"language"] == L"0";
        target = russian ? L"1" : L"0";
        before = HeaderTitles(frame);
        SendMessageW(frame, WM_COMMAND, russian ? cmd::kEnglishInterface : cmd::kRussianInterface, 0);
        switched = HeaderTitles(frame);
        EXPECT_EQ(run.Exit(frame), 0);
    }
    {
        ProgramRun run;  // starts in the language the first run left
        HWND frame = run.WaitForFrameWithoutClipboardMonitor();
        ASSERT_NE(frame, nullptr);
        ASSERT_EQ(run.QueryState(frame)[L"language"], target);
        started = HeaderTitles(frame);
        EXPECT_EQ(run.Exit(frame), 0);
    }
    ASSERT_GE(started.size(), 2u);
    EXPECT_NE(started, before) << "the titles of the two languages differ";
    EXPECT_EQ(switched, started);
}

}  // namespace
