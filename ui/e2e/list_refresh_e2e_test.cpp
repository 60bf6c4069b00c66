// OstrelPro.exe over the EDICT slice, driven with real key and mouse events:
// each Find refreshes the list once (a key typed, a paste and Return behind
// it); Ctrl+V pastes what an X program copied a moment before; a start with
// a saved list shows its tab; the Selected list's sort arrow and
// its rows agree; a book loaded into a new dictionary leaves the user's
// working dictionary, and one killed midway leaves it whole; a window stored off every screen starts on the work area.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/tests/test_files.h"
#include "common/tests/test_paths.h"
#include "common/win/tests/key_typing.h"
#include "ui/command_ids.h"
#include "ui/e2e/edict_slice.h"
#include "ui/e2e/edict_slice_session.h"
#include "ui/e2e/editor_windows.h"
#include "ui/e2e/program_session.h"
#include "ui/e2e/machine_pace.h"
#include "ui/e2e/x_clipboard.h"

namespace {

using State = std::map<std::wstring, std::wstring>;
constexpr int kInputBoxId = 202;

template <typename Condition>
bool WaitFor(Condition condition, int tries = 200) {
    for (int i = 0, n = machine_pace::ScaledTries(tries); i < n; ++i, Sleep(50))
        if (condition()) return true;
    return condition();
}

long Number(State& state, const wchar_t* name) {
    const std::wstring& text = state[name];
    return text.empty() ? -2 : std::stol(text);
}

using editor_windows::Utf8;
using editor_windows::WindowText;

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// The first cells (readings, in the Selected list) of the rows shown.
std::vector<std::wstring> Readings(State& state) {
    std::vector<std::wstring> readings;
    for (long row = 0; row < Number(state, L"rows"); ++row) readings.push_back(state[L"cell." + std::to_wstring(row) + L".0"]);
    return readings;
}

// Whether header item `item` of the current list shows the sort arrow; its
// centre on the screen in `*centre`.
bool HeaderArrow(State& state, int item, POINT* centre = nullptr) {
    const std::wstring& value = state[L"header." + std::to_wstring(item)];
    long left = 0, top = 0, right = 0, bottom = 0;
    if (centre && swscanf(value.c_str(), L"%*d|%ld,%ld,%ld,%ld", &left, &top, &right, &bottom) == 4)
        *centre = POINT{(left + right) / 2, (top + bottom) / 2};
    return !value.empty() && value[0] == L'1';
}

class ListRefresh : public testing::Test {
protected:
    void SetUp() override {
        SetProcessDPIAware();
        CloseLeftoverFrames();
    }
};

// Typing into the reading list and the translated-words list: one refresh
// of the list (and at most one article loaded) for each key. A paste with
// Return pressed right behind it translates and refreshes once.
TEST_F(ListRefresh, OneRefreshForEachKeyAndOneForAPasteAndReturn) {
    TestFolders folders = PrepareTest(L"ListRefresh.PerFind");
    ProgramRun run;
    HWND frame = StartWithSlice(run, folders);
    HWND input = frame ? FindChild(frame, L"RichEdit20W", kInputBoxId) : nullptr;
    ASSERT_NE(input, nullptr);
    const std::wstring reading = Wide(SliceReading());
    ASSERT_FALSE(reading.empty());

    for (UINT list : {cmd::kListReading, cmd::kListTranslation}) {
        SendMessageW(frame, WM_COMMAND, list, 1);  // as a click on the tab
        SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        State before = run.SettledState(frame);
        for (wchar_t key : reading) {
            ASSERT_TRUE(key_typing::TypeKeys(input, std::wstring(1, key), 0));
            State after = run.SettledState(frame);
            EXPECT_EQ(Number(after, L"refreshes") - Number(before, L"refreshes"), 1)
                << "list " << list << ", key " << Utf8(std::wstring(1, key));
            EXPECT_LE(Number(after, L"articles") - Number(before, L"articles"), 1) << "list " << list;
            before = after;
        }
        EXPECT_EQ(WindowText(input), reading);
        EXPECT_GT(Number(before, L"rows"), 0) << "list " << list;
    }

    const std::wstring phrase = reading + L"\u3068" + reading;
    ASSERT_TRUE(PutClipboardText(phrase));
    SendMessageW(input, EM_SETSEL, 0, -1);
    State before = run.SettledState(frame);
    ASSERT_TRUE(key_typing::PressKey(input, 'V', true));
    // Return once the text is in: a second key given to the focus while the
    // first is still queued would change the Ctrl state it is read with.
    ASSERT_TRUE(WaitFor([&] { return WindowText(input) == phrase; })) << Utf8(WindowText(input));
    ASSERT_TRUE(key_typing::PressKey(input, VK_RETURN));
    State after = run.SettledState(frame);
    EXPECT_EQ(Number(after, L"kind"), 1);
    EXPECT_EQ(Number(after, L"refreshes") - Number(before, L"refreshes"), 1) << "a paste and Return";
    EXPECT_LE(Number(after, L"articles") - Number(before, L"articles"), 1);
    SaveScreenshot(folders.root + L"\\paste-and-return.png");
    EXPECT_EQ(run.Exit(frame), 0);
}

// Text an X program copies is what Ctrl+V pastes 100 ms later, also right
// after the paste of its last copy: Wine follows the X clipboard as it
// changes, where without the X fixes extension it would look again only two
// seconds after its last look.
TEST_F(ListRefresh, CtrlVPastesWhatAnXProgramCopiedAMomentBefore) {
    TestFolders folders = PrepareTest(L"ListRefresh.XClipboard");
    ProgramRun run;
    HWND frame = StartWithSlice(run, folders);
    HWND input = frame ? FindChild(frame, L"RichEdit20W", kInputBoxId) : nullptr;
    ASSERT_NE(input, nullptr);
    const std::wstring reading = Wide(SliceReading());
    auto paste = [&](const std::wstring& expected) {
        SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        if (!key_typing::PressKey(input, 'V', true)) return false;
        WaitFor([&] { return !WindowText(input).empty(); }, 40);
        return WindowText(input) == expected;
    };
    // Each round's paste follows the last by well under two seconds.
    for (int round = 0; round < 4; ++round) {
        const std::wstring copied = reading + std::to_wstring(round);
        ASSERT_TRUE(CopyInXProgram(copied, folders.root)) << "the X clipboard never held the copied text";
        Sleep(100);
        EXPECT_TRUE(paste(copied)) << "round " << round << ": " << Utf8(WindowText(input));
    }
    ASSERT_TRUE(PutClipboardText(L""));  // the last xclip lets go and ends
    EXPECT_EQ(run.Exit(frame), 0);
}

// Three words added to the Selected list in falling order of reading. The
// arrow of the Reading header and the rows agree: after a sort, after Close
// and Open Saved List, after a click on the Meaning header (not sortable),
// and after the second Reading click that unsorts them.
TEST_F(ListRefresh, TheSortArrowAndTheSelectedRowsAgree) {
    TestFolders folders = PrepareTest(L"ListRefresh.Sort");
    ProgramRun run;
    HWND frame = StartWithSlice(run, folders);
    HWND input = frame ? FindChild(frame, L"RichEdit20W", kInputBoxId) : nullptr;
    ASSERT_NE(input, nullptr);
    // Readings whose first letters lie far apart, so any collation orders them alike.
    std::vector<std::wstring> added;
    for (const SliceEntry& entry : ReadSlice()) {
        const wchar_t first = static_cast<wchar_t>(entry.reading[0]);
        if (first >= L'\u308F' && added.empty()) added.push_back(Wide(entry.reading));
        if (first >= L'\u306A' && first <= L'\u306E' && added.size() == 1) added.push_back(Wide(entry.reading));
        if (first >= L'\u3042' && first <= L'\u304A' && added.size() == 2) added.push_back(Wide(entry.reading));
    }
    ASSERT_EQ(added.size(), 3u);
    for (const std::wstring& reading : added) {
        SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(reading.c_str()));
        State state;
        ASSERT_TRUE(WaitFor([&] {
            state = run.QueryState(frame);
            return state[L"cell." + std::to_wstring(Number(state, L"current") - Number(state, L"top")) + L".0"] ==
                   reading;
        })) << Utf8(reading);
        SendMessageW(frame, WM_COMMAND, cmd::kAddToSelected, 0);
    }
    SendMessageW(frame, WM_COMMAND, cmd::kListSelected, 1);
    State state = run.SettledState(frame);
    ASSERT_EQ(Readings(state), added);
    std::vector<std::wstring> sorted(added.rbegin(), added.rend());

    POINT readingHeader{}, meaningHeader{};
    HeaderArrow(state, 1, &readingHeader);
    HeaderArrow(state, 3, &meaningHeader);
    ClickAtScreen(frame, readingHeader);
    ASSERT_TRUE(WaitFor([&] {
        state = run.QueryState(frame);
        return HeaderArrow(state, 1);
    }));
    EXPECT_EQ(Readings(state), sorted) << "after the Reading click";

    // Closed and opened again: the rows come back in the order the arrow shows.
    const std::wstring stored = folders.DictionariesFolder() + L"\\Selected.oxm";
    SendMessageW(frame, WM_COMMAND, cmd::kCloseList, 0);
    PostMessageW(frame, WM_COMMAND, cmd::kOpenList, 0);
    HWND files = WaitForDialogOf(frame);
    ASSERT_NE(files, nullptr) << "no file dialog";
    HWND name = FindChild(files, L"Edit", 0);
    if (!name) name = GetDlgItem(files, 0x480);
    SendMessageW(name ? name : GetDlgItem(files, 0x47c), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(stored.c_str()));
    PostMessageW(files, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] {
        state = run.QueryState(frame);
        return Number(state, L"rows") == 3;
    }));
    state = run.SettledState(frame);
    EXPECT_TRUE(HeaderArrow(state, 1));
    EXPECT_EQ(Readings(state), sorted) << "after Close and Open Saved List";

    ClickAtScreen(frame, meaningHeader);
    Sleep(500);
    state = run.SettledState(frame);
    EXPECT_TRUE(HeaderArrow(state, 1)) << "the Meaning click hid the arrow";
    EXPECT_FALSE(HeaderArrow(state, 3));
    EXPECT_EQ(Readings(state), sorted) << "after the Meaning click";

    ClickAtScreen(frame, readingHeader);
    ASSERT_TRUE(WaitFor([&] {
        state = run.QueryState(frame);
        return !HeaderArrow(state, 1);
    }));
    EXPECT_EQ(Readings(state), added) << "after the second Reading click";
    run.SettledState(frame);
    SaveScreenshot(folders.root + L"\\unsorted.png");
    EXPECT_EQ(run.Exit(frame), 0);
}

// Started with a saved list: the Selected list, its tab and the toolbar
// agree; Add to Selected is greyed and, sent anyway, leaves the list and its
// file as they were.
TEST_F(ListRefresh, AStartWithASavedListShowsItsTab) {
    TestFolders folders = PrepareTest(L"ListRefresh.StartList");
    const std::wstring list = folders.root + L"\\start.oxm";
    {
        ProgramRun run;
        HWND frame = StartWithSlice(run, folders);
        ASSERT_NE(frame, nullptr);
        HWND input = FindChild(frame, L"RichEdit20W", kInputBoxId);
        const std::wstring reading = Wide(SliceReading());
        SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(reading.c_str()));
        ASSERT_TRUE(WaitFor([&] {
            State state = run.QueryState(frame);
            return state[L"cell." + std::to_wstring(Number(state, L"current") - Number(state, L"top")) + L".0"] ==
                   reading;
        }));
        SendMessageW(frame, WM_COMMAND, cmd::kAddToSelected, 0);
        EXPECT_EQ(run.Exit(frame), 0);
    }
    ASSERT_TRUE(CopyFileW((folders.DictionariesFolder() + L"\\Selected.oxm").c_str(), list.c_str(), FALSE));
    auto fileBytes = [&] { return ReadText(std::filesystem::path(list)); };
    const std::string before = fileBytes();

    ProgramRun run(L"\"" + list + L"\"");
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    State state;
    ASSERT_TRUE(WaitFor([&] {
        state = run.QueryState(frame);
        return Number(state, L"kind") == 13 && Number(state, L"rows") == 1;
    }));
    EXPECT_EQ(Number(state, L"tab"), static_cast<long>(cmd::kListSelected));
    EXPECT_EQ(state[L"button.40194"], L"0") << "Add to Selected enabled in the Selected list";
    SendMessageW(frame, WM_COMMAND, cmd::kAddToSelected, 0);
    state = run.SettledState(frame);
    EXPECT_EQ(Number(state, L"rows"), 1);
    EXPECT_EQ(fileBytes(), before);
    SaveScreenshot(folders.root + L"\\start-list.png");
    EXPECT_EQ(run.Exit(frame), 0);
}

// The dictionaries dialog opened from the frame, a new dictionary named
// `name` made there with Create, and the book loader opened on it; null
// where a window did not come (`dictionaries` holds the dialog's window).
HWND BookLoaderOfANewDictionary(HWND frame, const wchar_t* name, HWND& dictionaries) {
    PostMessageW(frame, WM_COMMAND, cmd::kDictionaries, 0);
    dictionaries = WaitForDialogOf(frame);
    if (!dictionaries) return nullptr;
    PostMessageW(dictionaries, WM_COMMAND, 40147, 0);  // Create
    HWND create = WaitForDialogOf(dictionaries);
    if (!create) return nullptr;
    SetDlgItemTextW(create, 1186, name);
    PostMessageW(create, WM_COMMAND, IDOK, 0);
    if (!WaitFor([&] { return !IsWindow(create); })) return nullptr;
    PostMessageW(dictionaries, WM_COMMAND, 40686, 0);  // load a book into the new (selected) dictionary
    return WaitForDialogOf(dictionaries);
}

// A new dictionary made in the dictionaries dialog takes the working role
// from the personal one; a book loaded into it leaves it read-only, and the
// personal dictionary is the one edited again, as the settings say at exit.
TEST_F(ListRefresh, ABookLoadedIntoANewDictionaryLeavesTheUsersWorkingDictionary) {
    TestFolders folders = PrepareTest(L"ListRefresh.BookLoad");
    ProgramRun run;
    HWND frame = StartWithSlice(run, folders);
    ASSERT_NE(frame, nullptr);
    HWND dictionaries = nullptr;
    HWND loader = BookLoaderOfANewDictionary(frame, L"Mine", dictionaries);
    ASSERT_NE(loader, nullptr);
    // The book the end-to-end tests compile, in the source tree beside the build tree.
    std::string binary = BinaryPath();
    std::wstring book(binary.begin(), binary.end());
    std::replace(book.begin(), book.end(), L'/', L'\\');
    book = book.substr(0, book.rfind(L"\\build\\")) + L"\\ui\\e2e\\scripts_book.txt";
    SetDlgItemTextW(loader, 1351, book.c_str());
    PostMessageW(loader, WM_COMMAND, IDOK, 0);
    HWND loaded = WaitForDialogOf(loader);
    ASSERT_NE(loaded, nullptr) << "no word of the load";
    SaveScreenshot(folders.root + L"\\loaded.png");
    PostMessageW(loaded, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(loaded); }));
    PostMessageW(loader, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(loader); }));
    PostMessageW(dictionaries, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dictionaries); }));
    EXPECT_EQ(run.Exit(frame), 0);
    const std::wstring working = ReadIniString(folders, L"Dictionaries", L"Working");
    EXPECT_FALSE(working.empty()) << "no working dictionary";
    EXPECT_EQ(working.find(L"Mine"), std::wstring::npos) << Utf8(working);
}

// A book load killed as its fifth step (the full-text index) begins, as a
// power cut or the task manager ends it: the dictionary is the file it was
// before the load at that moment, and the next start removes what the load
// had written beside it. Each step of the load waits, its label shown, until
// the test lets it begin, so the kill comes at that step however busy the
// machine is.
TEST_F(ListRefresh, ABookLoadKilledMidwayLeavesTheDictionaryWhole) {
    TestFolders folders = PrepareTest(L"ListRefresh.KilledLoad");
    // A text of 30,000 phrases: the steps before the kill write much.
    const std::wstring book = folders.root + L"\\long-book.txt";
    {
        std::string text = "<Latn>English\r\n<Cyrl>Russian\r\n\r\n";
        for (int i = 0; i < 30000; ++i)
            text += "Phrase number " + std::to_string(i) + ".\r\n\xd0\xa4\xd1\x80\xd0\xb0\xd0\xb7\xd0\xb0 " +
                    std::to_string(i) + ".\r\n\r\n";
        FILE* file = _wfopen(book.c_str(), L"wb");
        ASSERT_NE(file, nullptr);
        fwrite(text.data(), 1, text.size(), file);
        fclose(file);
    }
    std::wstring dictionary;
    std::string before;
    auto bytes = [](const std::wstring& path) {
        std::string content;
        if (FILE* file = _wfopen(path.c_str(), L"rb")) {
            char buffer[65536];
            for (size_t n; (n = fread(buffer, 1, sizeof buffer, file)) > 0;) content.append(buffer, n);
            fclose(file);
        }
        return content;
    };
    auto leftovers = [&] {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW((folders.DictionariesFolder() + L"\\*~").c_str(), &found);
        for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
            names.push_back(found.cFileName);
        if (search != INVALID_HANDLE_VALUE) FindClose(search);
        return names;
    };
    {
        const std::wstring holdName = L"OstrelE2EStepHold-" + std::to_wstring(GetCurrentProcessId());
        // Auto-reset: each SetEvent lets one step begin.
        HANDLE hold = CreateEventW(nullptr, FALSE, FALSE, holdName.c_str());
        ASSERT_NE(hold, nullptr);
        ProgramRun run(L"", {{L"OSTREL_TEST_STEP_HOLD", holdName}});
        HWND frame = StartWithSlice(run, folders);
        ASSERT_NE(frame, nullptr);
        HWND dictionaries = nullptr;
        HWND loader = BookLoaderOfANewDictionary(frame, L"Books", dictionaries);
        ASSERT_NE(loader, nullptr);
        dictionary = WindowText(GetDlgItem(loader, 1349));
        before = bytes(dictionary);
        ASSERT_FALSE(before.empty()) << Utf8(dictionary);
        SetDlgItemTextW(loader, 1351, book.c_str());
        PostMessageW(loader, WM_COMMAND, IDOK, 0);
        HWND step = GetDlgItem(loader, 1287);
        for (int number = 1; number <= 5; ++number) {
            const std::wstring label = L"step " + std::to_wstring(number) + L" from 7";
            ASSERT_TRUE(WaitFor([&] { return WindowText(step).find(label) != std::wstring::npos; }, 600))
                << "the load never reached its step " << number << "; the label says " << Utf8(WindowText(step));
            if (number < 5) SetEvent(hold);
        }
        DWORD id = 0;
        GetWindowThreadProcessId(frame, &id);
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        ASSERT_NE(process, nullptr);
        TerminateProcess(process, 9);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
        CloseHandle(hold);
    }
    EXPECT_TRUE(bytes(dictionary) == before) << "the dictionary was written in place";
    EXPECT_FALSE(leftovers().empty());
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(run.Exit(frame), 0);
    EXPECT_TRUE(bytes(dictionary) == before);
    const std::vector<std::wstring> left = leftovers();
    EXPECT_TRUE(left.empty()) << Utf8(left.front());
}

// A damaged settings file places the window off every screen: it starts
// on the work area, and that is the place saved at exit.
TEST_F(ListRefresh, AWindowStoredOffEveryScreenStartsOnTheWorkArea) {
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    for (const wchar_t* place : {L"x=5000\r\ny=-5000", L"x=2147483000\r\ny=2147483000"}) {
        TestFolders folders = PrepareTest(L"ListRefresh.OffScreen");
        WriteSettings(folders, std::wstring(L"[Application]\r\nVersion=11.11.0\r\nFlags=49152\r\n[Window]\r\n") + place +
                                   L"\r\ncx=700\r\ncy=560\r\ncy2=300\r\n");
        ProgramRun run;
        HWND frame = run.WaitForFrameWithoutClipboardMonitor();
        ASSERT_NE(frame, nullptr);
        RECT shown{};
        GetWindowRect(frame, &shown);
        EXPECT_TRUE(shown.left >= work.left && shown.top >= work.top && shown.left < work.right &&
                    shown.top < work.bottom)
            << Utf8(place) << ": " << shown.left << "," << shown.top;
        EXPECT_EQ(run.Exit(frame), 0);
        const long x = std::stol(ReadIniString(folders, L"Window", L"x"));
        const long y = std::stol(ReadIniString(folders, L"Window", L"y"));
        EXPECT_TRUE(x >= work.left && x < work.right && y >= work.top && y < work.bottom)
            << Utf8(place) << ": saved " << x << "," << y;
    }
}

}  // namespace

