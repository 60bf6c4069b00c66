// OstrelPro.exe over the EDICT slice: a word added to the Selected Words list
// is shown there after a restart, after "Open Saved List..." in the file
// dialog (of a list whose dictionary the shelf adds, refreshing the lists),
// and as the start list when its file is the command line's argument. Over
// the whole EDICT as the build compiles it (compacted, compressed): a
// damaged list is told once and still shown as the start list; a Selected
// list whose folder went away says so at Add to Selected and at Exit.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>

#include "ui/command_ids.h"
#include "ui/e2e/edict_slice_session.h"
#include "ui/e2e/program_session.h"
#include "ui/e2e/machine_pace.h"

namespace {

using State = std::map<std::wstring, std::wstring>;

template <typename Condition>
bool WaitFor(Condition condition, int tries = 300) {
    for (int i = 0, n = machine_pace::ScaledTries(tries); i < n; ++i, Sleep(50))
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

// The box the frame shows (owned by it), or null.
HWND ShownBoxOf(HWND frame) {
    for (HWND w = FindWindowW(L"#32770", nullptr); w; w = FindWindowExW(nullptr, w, L"#32770", nullptr))
        if (GetWindow(w, GW_OWNER) == frame && IsWindowVisible(w)) return w;
    return nullptr;
}

std::wstring BoxText(HWND box) {
    wchar_t text[4096] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 4096);
    return text;
}

// Started (flag 0x40000000) and showing the Selected list's one row.
bool StartedOnTheOneRow(ProgramRun& run, HWND frame, const std::wstring& reading) {
    return ShowsTheOneRow(run, frame, reading) && WaitFor([&] {
        State state = run.QueryState(frame);
        return (std::stoul(state[L"flags"].empty() ? L"0" : state[L"flags"]) & 0x40000000) != 0;
    });
}

// Adds the typed word's row to the Selected list.
bool AddTypedWord(ProgramRun& run, HWND frame, const std::wstring& typed) {
    HWND input = FindChild(frame, L"RichEdit20W", 202);
    if (!input) return false;
    for (wchar_t c : typed) PostMessageW(input, WM_CHAR, c, 1);
    if (!WaitFor([&] {
            State state = run.QueryState(frame);
            return CurrentCell(state) == typed;
        }))
        return false;
    PostMessageW(frame, WM_COMMAND, cmd::kAddToSelected, 0);
    return true;
}

TEST(SavedListsEndToEnd, ADamagedListIsToldOnceAndShownAsTheStartList) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    const std::u16string reading = SliceReading();
    const std::wstring typed(reading.begin(), reading.end());
    TestFolders folders = PrepareTest(L"DamagedList");
    const std::wstring stored = folders.DictionariesFolder() + L"\\Selected.oxm";
    {
        ProgramRun run;
        HWND frame = StartWithDictionaries(run, folders, {L"edict.qdx"});
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(AddTypedWord(run, frame, typed));
        EXPECT_TRUE(WaitFor([&] { return GetFileAttributesW(stored.c_str()) != INVALID_FILE_ATTRIBUTES; }));
        EXPECT_EQ(run.Exit(frame), 0);
    }
    wchar_t entry[64] = {};
    GetPrivateProfileStringW(L"Entries", L"Entry1", L"", entry, 64, stored.c_str());
    const std::wstring good = entry;
    ASSERT_EQ(good.rfind(L"1,", 0), 0u);
    const unsigned long id = std::stoul(good.substr(2));
    // Past the end, in the middle of the good article's record, past the
    // file, longer than an id, and three numbers.
    const std::wstring damaged = folders.root + L"\\damaged.oxm";
    const std::wstring values[] = {L"1,4294967295", good, L"1," + std::to_wstring(id + 2), L"1,2000000000",
                                   L"1,99999999999", L"1," + std::to_wstring(id) + L",7", L"1,1037"};
    WritePrivateProfileStringW(L"Dictionaries", L"File1", (folders.DictionariesFolder() + L"\\edict.qdx").c_str(),
                               damaged.c_str());
    for (size_t i = 0; i < std::size(values); ++i)
        WritePrivateProfileStringW(L"Entries", (L"Entry" + std::to_wstring(i + 1)).c_str(), values[i].c_str(),
                                   damaged.c_str());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, damaged.c_str());

    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start == 0 ? "first start" : "second start, the same file");
        ProgramRun run(L"\"" + damaged + L"\"");
        HWND frame = run.WaitForFrame();
        ASSERT_NE(frame, nullptr);
        if (start == 0) {
            HWND box = WaitForDialogOf(frame);
            ASSERT_NE(box, nullptr) << "the damage is told";
            const std::wstring text = BoxText(box);
            for (const wchar_t* named : {L"damaged.oxm", L"Entry1=1,4294967295", L"Entry4=1,2000000000",
                                         L"Entry5=1,99999999999", L"Entry7=1,1037"})
                EXPECT_NE(text.find(named), std::wstring::npos) << named;
            EXPECT_NE(text.find(L"Entry3=1," + std::to_wstring(id + 2)), std::wstring::npos);
            EXPECT_NE(text.find(L"Entry6=" + good + L",7"), std::wstring::npos);
            EXPECT_EQ(text.find(L"Entry2="), std::wstring::npos);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        // The intact entry is the start list's row, its article shown, and
        // nothing is said against the dictionary.
        EXPECT_TRUE(StartedOnTheOneRow(run, frame, typed));
        State state = run.QueryState(frame);
        EXPECT_EQ(state[L"tab"], std::to_wstring(cmd::kListSelected));
        EXPECT_EQ(ShownBoxOf(frame), nullptr) << (ShownBoxOf(frame) ? BoxText(ShownBoxOf(frame)) : L"");
        if (start == 0) SaveScreenshot(folders.root + L"\\damaged_list.png");
        EXPECT_EQ(run.Exit(frame), 0);
    }
}

// The Selected list's folder goes away while the program runs (a removed
// drive): Add to Selected says the list could not be saved, naming the file
// and the system's reason; Exit asks, Cancel stays, and Yes saves the list
// to a file chosen in the save dialog, which the next start opens.
TEST(SavedListsEndToEnd, ASelectedListThatCannotBeSavedIsToldAndSavedElsewhereAtExit) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    const std::u16string reading = SliceReading();
    const std::wstring typed(reading.begin(), reading.end());
    TestFolders folders = PrepareTest(L"UnsavedList");
    const std::wstring removable = folders.root + L"\\Removable";
    const std::wstring lost = removable + L"\\Selected.oxm", kept = folders.root + L"\\kept.oxm";
    CreateDirectoryW(removable.c_str(), nullptr);
    HWND frame = nullptr;
    {
        ProgramRun run;
        frame = StartWithSlice(run, folders);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(run.Exit(frame), 0);
    }
    WritePrivateProfileStringW(L"Memo", L"File1", lost.c_str(), folders.SettingsFile().c_str());

    ProgramRun second;
    frame = second.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitFor([&] {
        State state = second.QueryState(frame);
        return (std::stoul(state[L"flags"].empty() ? L"0" : state[L"flags"]) & 0x40000000) != 0;
    }));
    ASSERT_TRUE(RemoveDirectoryW(removable.c_str()));
    ASSERT_TRUE(AddTypedWord(second, frame, typed));
    HWND box = WaitForDialogOf(frame);
    ASSERT_NE(box, nullptr) << "the failed save is told";
    std::wstring text = BoxText(box);
    EXPECT_EQ(text.rfind(L"The list could not be saved to the file " + lost + L":\n", 0), 0u) << text;
    EXPECT_GT(text.size(), (L"The list could not be saved to the file " + lost + L":\n").size()) << "with a reason";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return ShownBoxOf(frame) == nullptr; }));

    // Exit asks; Cancel goes back to the program.
    PostMessageW(frame, WM_COMMAND, cmd::kExit, 0);
    box = WaitForDialogOf(frame);
    ASSERT_NE(box, nullptr) << "Exit asks";
    text = BoxText(box);
    EXPECT_NE(text.find(lost), std::wstring::npos);
    EXPECT_NE(text.find(L"Save the list to another file?"), std::wstring::npos) << text;
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return ShownBoxOf(frame) == nullptr; }));
    EXPECT_EQ(FindFrame(), frame);

    // Yes: the save dialog, another file.
    PostMessageW(frame, WM_COMMAND, cmd::kExit, 0);
    box = WaitForDialogOf(frame);
    ASSERT_NE(box, nullptr);
    PostMessageW(box, WM_COMMAND, IDYES, 0);
    HWND files = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        files = ShownBoxOf(frame);
        return files != nullptr && files != box;
    })) << "no save dialog";
    HWND name = FindChild(files, L"Edit", 0);
    if (!name) name = GetDlgItem(files, 0x480);
    SendMessageW(name ? name : GetDlgItem(files, 0x47c), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kept.c_str()));
    PostMessageW(files, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(second.WaitForExit(), 0);
    wchar_t entry[64] = {};
    GetPrivateProfileStringW(L"Entries", L"Entry1", L"", entry, 64, kept.c_str());
    EXPECT_EQ(std::wstring(entry).rfind(L"1,", 0), 0u);
    EXPECT_EQ(ReadIniString(folders, L"Memo", L"File1"), kept);
}

// Every row of the whole EDICT's Reading list chosen (Select All) and added
// to the Selected list, which holds 2,000: the list takes its 2,000 and the
// user is told how many of the rows chosen went in; a second Add finds the
// list full and says that none did.
TEST(SavedListsEndToEnd, AddingMoreRowsThanTheSelectedListHoldsSaysHowManyWentIn) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    TestFolders folders = PrepareTest(L"FullSelectedList");
    ProgramRun run;
    HWND frame = StartWithDictionaries(run, folders, {L"edict.qdx"});
    ASSERT_NE(frame, nullptr);
    SendMessageW(frame, WM_COMMAND, cmd::kListReading, 1);
    State state = run.SettledState(frame);
    const int rows = Number(state, L"rows");
    ASSERT_GT(rows, 100000);
    PostMessageW(frame, WM_COMMAND, cmd::kSelectAll, 0);
    ASSERT_TRUE(WaitFor([&] { return Number(state = run.QueryState(frame), L"selected") == rows; }));
    for (int added : {2000, 0}) {
        PostMessageW(frame, WM_COMMAND, cmd::kAddToSelected, 0);
        HWND box = WaitForDialogOf(frame);
        ASSERT_NE(box, nullptr) << "the rows left out are not told";
        EXPECT_EQ(BoxText(box), L"The list of selected articles holds at most 2000 articles: " +
                                    std::to_wstring(added) + L" of the " + std::to_wstring(rows) +
                                    L" rows chosen were added.");
        if (added > 0) SaveScreenshot(folders.root + L"\\selected-list-full.png");
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitFor([&] { return ShownBoxOf(frame) == nullptr; }));
    }
    SendMessageW(frame, WM_COMMAND, cmd::kListSelected, 1);
    state = run.SettledState(frame);
    EXPECT_EQ(Number(state, L"rows"), 2000);
    EXPECT_EQ(ShownBoxOf(frame), nullptr) << "a box more";
    EXPECT_EQ(run.Exit(frame), 0);
}

}  // namespace
