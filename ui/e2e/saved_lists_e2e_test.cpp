// OstrelPro.exe over the EDICT slice: a word added to the Selected Words list
// is shown there after a restart, after "Open Saved List..." in the file
// dialog (of a list whose dictionary the shelf adds, refreshing the lists),
// and as the start list when its file is the command line's argument.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>

#include "ui/command_ids.h"
#include "ui/e2e/edict_slice_session.h"
#include "ui/e2e/program_session.h"

namespace {

using State = std::map<std::wstring, std::wstring>;

template <typename Condition>
bool WaitFor(Condition condition, int tries = 300) {
    for (int i = 0; i < tries; ++i, Sleep(50))
        if (condition()) return true;
    return condition();
}

int Number(State& state, const wchar_t* name) {
    const std::wstring& text = state[name];
    return text.empty() ? -2 : std::stoi(text);
}

// The current row's first cell, empty without a current row on the page.
std::wstring CurrentCell(State& state) {
    int current = Number(state, L"current"), top = Number(state, L"top");
    if (current < 0) return {};
    return state[L"cell." + std::to_wstring(current - top) + L".0"];
}

// The Selected Words list is current and shows one row, current, whose first
// cell holds `reading`.
::testing::AssertionResult ShowsTheOneRow(ProgramRun& run, HWND frame, const std::wstring& reading) {
    State state;
    bool shown = WaitFor([&] {
        state = run.QueryState(frame);
        return state[L"kind"] == L"13" && Number(state, L"rows") == 1 &&
               CurrentCell(state).find(reading) != std::wstring::npos;
    });
    if (shown) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "kind " << std::string(state[L"kind"].begin(), state[L"kind"].end())
                                         << ", rows " << Number(state, L"rows") << ", current "
                                         << Number(state, L"current");
}

TEST(SavedListsEndToEnd, TheSelectedListIsShownAfterARestartAnOpenAndFromTheCommandLine) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    const std::u16string reading = SliceReading();
    ASSERT_FALSE(reading.empty());
    const std::wstring typed(reading.begin(), reading.end());
    TestFolders folders = PrepareTest(L"SavedLists");
    const std::wstring stored = folders.DictionariesFolder() + L"\\Selected.oxm";
    const std::wstring copy = folders.root + L"\\copy.oxm";

    {
        ProgramRun run;
        HWND frame = StartWithSlice(run, folders);
        ASSERT_NE(frame, nullptr);
        HWND input = FindChild(frame, L"RichEdit20W", 202);
        ASSERT_NE(input, nullptr);
        for (wchar_t c : typed) PostMessageW(input, WM_CHAR, c, 1);
        State state;
        ASSERT_TRUE(WaitFor([&] {
            state = run.QueryState(frame);
            return CurrentCell(state) == typed;
        }));
        PostMessageW(frame, WM_COMMAND, cmd::kAddToSelected, 0);
        EXPECT_TRUE(WaitFor([&] { return GetFileAttributesW(stored.c_str()) != INVALID_FILE_ATTRIBUTES; }));
        EXPECT_EQ(run.Exit(frame), 0);
    }
    // The copy names a second copy of the dictionary, not yet on the shelf:
    // opening the list adds it, and the shelf's refresh keeps the list current.
    const std::wstring second = folders.root + L"\\second.qdx";
    ASSERT_TRUE(CopyFileW(stored.c_str(), copy.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((folders.DictionariesFolder() + L"\\edict-slice.qdx").c_str(), second.c_str(), FALSE));
    ASSERT_TRUE(WritePrivateProfileStringW(L"Dictionaries", L"File1", second.c_str(), copy.c_str()));

    {
        // After a restart the stored list is drawn with its last row current.
        ProgramRun run;
        HWND frame = run.WaitForFrameWithoutClipboardMonitor();
        ASSERT_NE(frame, nullptr);
        SendMessageW(frame, WM_COMMAND, cmd::kListSelected, 0);
        EXPECT_TRUE(ShowsTheOneRow(run, frame, typed)) << "after the restart";

        // Closed, then opened again from the copy through the file dialog.
        PostMessageW(frame, WM_COMMAND, cmd::kCloseList, 0);
        EXPECT_TRUE(WaitFor([&] {
            State state = run.QueryState(frame);
            return Number(state, L"rows") == 0 && Number(state, L"current") == -1;
        })) << "the closed list keeps no current row";
        PostMessageW(frame, WM_COMMAND, cmd::kOpenList, 0);
        HWND files = WaitForDialogOf(frame);
        ASSERT_NE(files, nullptr) << "no file dialog";
        HWND name = FindChild(files, L"Edit", 0);
        if (!name) name = GetDlgItem(files, 0x480);
        SendMessageW(name ? name : GetDlgItem(files, 0x47c), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str()));
        PostMessageW(files, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(ShowsTheOneRow(run, frame, typed)) << "after Open Saved List";
        EXPECT_EQ(run.Exit(frame), 0);
    }

    {
        // The command line's list is the start list.
        ProgramRun run(L"\"" + copy + L"\"");
        HWND frame = run.WaitForFrameWithoutClipboardMonitor();
        ASSERT_NE(frame, nullptr);
        EXPECT_TRUE(ShowsTheOneRow(run, frame, typed)) << "from the command line";
        EXPECT_EQ(run.Exit(frame), 0);
    }
}

}  // namespace
