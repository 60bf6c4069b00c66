// The dictionaries, properties, conversion and settings dialogs and the hover
// hint in the running program, driven through posted messages: list views
// read across processes, message boxes answered by their buttons, the
// settings file read back, and screenshots checked to be more than blank.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/tests/test_paths.h"
#include "common/ui_text/hint_texts.h"
#include "common/win/tests/key_typing.h"
#include "common/win/tests/screen_ink.h"
#include "ui/e2e/edict_slice.h"
#include "ui/e2e/program_session.h"
#include "ui/e2e/remote_list_view.h"
#include "ui/e2e/machine_pace.h"

namespace {

// The optimisation's dated copies of `dictionary` (Personal.qdx →
// Personal_<date>_<hour>-<minute>[_n].qdx). A copy is named by the minute the
// optimisation starts in, which may be the one after the name the dialog
// showed, so a test counts the copies instead of looking for that name.
size_t DatedCopies(const std::wstring& dictionary) {
    const size_t dot = dictionary.rfind(L'.');
    const std::wstring pattern = dictionary.substr(0, dot) + L"_*" + dictionary.substr(dot);
    size_t count = 0;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) ++count;
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    return count;
}

constexpr UINT kDictionariesCommand = 40070;
constexpr UINT kSettingsCommand = 40645;
constexpr UINT kFontSettingsCommand = 40119;
constexpr int kInstalledList = 1294;

std::wstring BinaryDir() {
    const std::string binary = BinaryPath();
    return std::wstring(binary.begin(), binary.end());
}

bool WaitFor(const auto& condition, int tries = 200) {
    for (int i = 0, n = machine_pace::ScaledTries(tries); i < n; ++i) {
        if (condition()) return true;
        Sleep(25);
    }
    return false;
}

// A shown top-level dialog with the title (its WM_INITDIALOG has ended).
HWND WaitForWindowShown(const wchar_t* title, int tries = 400) {
    for (int i = 0; i < tries; ++i) {
        HWND window = FindWindowW(L"#32770", title);
        if (window && IsWindowVisible(window)) return window;
        Sleep(25);
    }
    return nullptr;
}

// The dictionaries dialog opened from the main window, once shown.
HWND OpenDictionariesDialog(HWND frame) {
    PostMessageW(frame, WM_COMMAND, kDictionariesCommand, 0);
    return WaitForWindowShown(L"Installed Dictionaries and Books");
}

// Answers a message box with one of its buttons; false when no box came
// within `tries` steps of 25 ms.
bool Answer(const wchar_t* caption, int button, int tries = 400) {
    HWND box = WaitForWindowShown(caption, tries);
    if (!box) return false;
    PostMessageW(box, WM_COMMAND, button, 0);
    return WaitFor([&] { return !IsWindow(box); });
}

std::wstring Text(HWND dialog, int id) {
    wchar_t text[1024] = {};
    GetDlgItemTextW(dialog, id, text, 1024);
    return text;
}

// A change that may open a message box returns after `waitMs` without
// waiting for the box (the list has read the item by then).
// The item then stays in the program's memory until the test ends: the list
// may read it again after the box.
void SetState(HWND list, int row, UINT mask, UINT state, UINT waitMs = 0) {
    static std::vector<std::unique_ptr<RemoteMemory>> kept;
    auto memory = std::make_unique<RemoteMemory>(list, sizeof(LVITEMW));
    LVITEMW item{};
    item.stateMask = mask;
    item.state = state;
    memory->Write(0, &item, sizeof(item));
    if (waitMs == 0) {
        SendMessageW(list, LVM_SETITEMSTATE, row, memory->At(0));
        return;
    }
    SendMessageTimeoutW(list, LVM_SETITEMSTATE, row, memory->At(0), SMTO_NORMAL, waitMs, nullptr);
    kept.push_back(std::move(memory));
}

void Select(HWND list, int row) { SetState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED); }
void SetCheck(HWND list, int row, bool on) { SetState(list, row, LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(on ? 2 : 1)); }
bool Checked(HWND list, int row) {
    return (SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) >> 12) == 2;
}

// The [Dictionaries] entry of a file: "path,state", empty when none.
std::wstring DictionaryEntry(const TestFolders& folders, const std::wstring& name) {
    for (int slot = 1; slot < 20; ++slot) {
        const std::wstring entry = ReadIniString(folders, L"Dictionaries", (L"File" + std::to_wstring(slot)).c_str());
        if (entry.find(L"\\" + name + L",") != std::wstring::npos) return entry;
    }
    return L"";
}

// The number of colours in the window's pixels: a blank window has one or two.
size_t ColourCount(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    std::set<COLORREF> colours;
    for (int y = 0; y < height; y += 2)
        for (int x = 0; x < width; x += 2) colours.insert(GetPixel(memory, x, y));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return colours.size();
}

// A small window (a hint: background, frame, text) shows fewer colours than a dialog.
void Shoot(HWND window, const TestFolders& folders, const std::wstring& name, size_t blankColours = 8) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_TRUE(WaitFor([&] { return ColourCount(window) > blankColours; }, 120))
        << "blank: " << std::string(name.begin(), name.end());
    SaveScreenshot(folders.root + L"\\" + name + L".png");
}

class DictionaryDialogs : public testing::Test {
protected:
    void SetUp() override {
        SetProcessDPIAware();
        CloseLeftoverFrames();
    }
    // English interface; the compiled slices in the Dictionaries folder and on the list.
    TestFolders Prepare(const std::wstring& name, const std::wstring& flags = L"49152",
                        const std::wstring& more = L"") {
        TestFolders folders = PrepareTest(name);
        CreateDirectoryW((folders.documents + L"\\OstrelPro").c_str(), nullptr);
        CreateDirectoryW(folders.DictionariesFolder().c_str(), nullptr);
        std::wstring slots = L"[Dictionaries]\r\n";
        int slot = 1;
        for (const wchar_t* slice : {L"edict-slice", L"kanjidic-slice"}) {
            const std::wstring path = folders.DictionariesFolder() + L"\\" + slice + L".qdx";
            EXPECT_TRUE(CopyFileW((BinaryDir() + L"\\ui\\e2e-data\\" + slice + L".qdx").c_str(), path.c_str(), FALSE));
            slots += L"File" + std::to_wstring(slot++) + L"=" + path + L",0\r\n";
        }
        WriteSettings(folders, L"[Application]\r\nVersion=11.11.0\r\nFlags=" + flags +
                                   L"\r\n[Window]\r\nx=20\r\ny=20\r\ncx=700\r\ncy=560\r\ncy2=300\r\n" + more + slots);
        return folders;
    }
};

TEST_F(DictionaryDialogs, ChangesGoToTheShelfAndTheSettingsAtOnce) {
    TestFolders folders = Prepare(L"DictionaryDialogs.Installed");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    HWND dialog = OpenDictionariesDialog(frame);
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, kInstalledList);
    const std::vector<std::wstring> names = Names(list);
    ASSERT_GE(RowOf(list, L"edict-slice.qdx"), 0);
    ASSERT_GE(RowOf(list, L"kanjidic-slice.qdx"), 0);
    const int edict = RowOf(list, L"edict-slice.qdx");
    EXPECT_TRUE(Checked(list, edict));
    // Articles in groups of three, the folder without its final backslash.
    const std::wstring articles = Cell(list, edict, 1);
    EXPECT_NE(articles.find(L' '), std::wstring::npos) << std::string(articles.begin(), articles.end());
    EXPECT_EQ(Cell(list, edict, 4), folders.DictionariesFolder());
    Shoot(dialog, folders, L"dictionaries");

    // Unchecking closes at once; checking opens again.
    SetCheck(list, edict, false);
    EXPECT_TRUE(WaitFor([&] { return DictionaryEntry(folders, L"edict-slice.qdx").ends_with(L",2"); }));
    EXPECT_FALSE(Checked(list, edict));
    SetCheck(list, edict, true);
    EXPECT_TRUE(WaitFor([&] { return DictionaryEntry(folders, L"edict-slice.qdx").ends_with(L",0"); }));

    // Move up past its neighbour.
    const int kanji = RowOf(list, L"kanjidic-slice.qdx");
    ASSERT_GT(kanji, 0);
    Select(list, kanji);
    PostMessageW(dialog, WM_COMMAND, 1285, 0);
    EXPECT_TRUE(WaitFor([&] { return RowOf(list, L"kanjidic-slice.qdx") == kanji - 1; }));

    // Remove from the list (the file stays), then add it again: one row.
    Select(list, RowOf(list, L"edict-slice.qdx"));
    PostMessageW(dialog, WM_COMMAND, 1004, 0);
    EXPECT_TRUE(WaitFor([&] { return RowOf(list, L"edict-slice.qdx") < 0; }));
    EXPECT_NE(GetFileAttributesW((folders.DictionariesFolder() + L"\\edict-slice.qdx").c_str()), INVALID_FILE_ATTRIBUTES);
    PostMessageW(dialog, WM_COMMAND, 1003, 0);
    if (HWND files = WaitForWindowShown(L"Add new dictionary")) {
        const std::wstring path = folders.DictionariesFolder() + L"\\edict-slice.qdx";
        HWND name = FindChild(files, L"Edit", 0);
        if (!name) name = GetDlgItem(files, 0x480);
        SendMessageW(name ? name : GetDlgItem(files, 0x47c), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        PostMessageW(files, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitFor([&] { return RowOf(list, L"edict-slice.qdx") >= 0; }));
        const std::vector<std::wstring> after = Names(list);
        EXPECT_EQ(std::count(after.begin(), after.end(), L"edict-slice.qdx"), 1);
    } else {
        ADD_FAILURE() << "no file dialog";
    }

    // A new personal dictionary becomes the working one. Save is pressed
    // twice in a row (a double click): the second press comes while the
    // first one creates the file, and is ignored.
    PostMessageW(dialog, WM_COMMAND, 40147, 0);
    HWND create = WaitForWindowShown(L"Create New Dictionary");
    ASSERT_NE(create, nullptr);
    Shoot(create, folders, L"new_dictionary");
    SetDlgItemTextW(create, 1186, L"Mine");
    SetDlgItemTextW(create, 1233, L"My words");
    SetDlgItemTextW(create, 1234, L"Me");
    const std::wstring offeredVersion = Text(create, 1364);
    PostMessageW(create, WM_COMMAND, IDOK, 0);
    PostMessageW(create, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(Answer(L"File exists", IDOK, 40)) << "the second Save ran inside the first";
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(create); }));
    const std::wstring mine = folders.DictionariesFolder() + L"\\Mine.qdx";
    EXPECT_NE(GetFileAttributesW(mine.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(WaitFor([&] { return ReadIniString(folders, L"Dictionaries", L"Working") == mine; }));
    // The same name again: refused, the dialog stays.
    PostMessageW(dialog, WM_COMMAND, 40147, 0);
    create = WaitForWindowShown(L"Create New Dictionary");
    ASSERT_NE(create, nullptr);
    SetDlgItemTextW(create, 1186, L"Mine.qdx");
    PostMessageW(create, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(Answer(L"File exists", IDOK));
    EXPECT_TRUE(IsWindow(create));
    // A folder that does not exist: the engine's error, and the dialog stays.
    SetDlgItemTextW(create, 1186, L"Other");
    SetDlgItemTextW(create, 1284, (folders.root + L"\\missing\\folder").c_str());
    PostMessageW(create, WM_COMMAND, IDOK, 0);
    HWND error = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        for (HWND w = FindWindowW(L"#32770", nullptr); w; w = FindWindowExW(nullptr, w, L"#32770", nullptr))
            if (w != create && w != dialog && IsWindowVisible(w)) error = w;
        return error != nullptr;
    }));
    if (error) PostMessageW(error, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !error || !IsWindow(error); }));
    EXPECT_TRUE(IsWindow(create));
    EXPECT_LT(RowOf(list, L"Other.qdx"), 0);
    PostMessageW(create, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(create); }));

    // Choosing the working dictionary again clears it.
    Select(list, RowOf(list, L"Mine.qdx"));
    PostMessageW(dialog, WM_COMMAND, 40152, 0);
    EXPECT_TRUE(WaitFor([&] { return ReadIniString(folders, L"Dictionaries", L"Working").empty(); }));
    PostMessageW(dialog, WM_COMMAND, 40152, 0);
    EXPECT_TRUE(WaitFor([&] { return ReadIniString(folders, L"Dictionaries", L"Working") == mine; }));

    // Properties of the EDICT dictionary.
    Select(list, RowOf(list, L"edict-slice.qdx"));
    PostMessageW(dialog, WM_COMMAND, 40072, 0);
    HWND properties = WaitForWindowShown(L"Dictionary Properties");
    ASSERT_NE(properties, nullptr);
    EXPECT_EQ(Text(properties, 1186), L"edict-slice.qdx");
    EXPECT_EQ(Text(properties, 1284), folders.DictionariesFolder());
    EXPECT_TRUE(Text(properties, 1190).ends_with(L" bytes"));
    Shoot(properties, folders, L"properties");
    PostMessageW(properties, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(properties); }));
    // The new dictionary holds the texts it was created with.
    Select(list, RowOf(list, L"Mine.qdx"));
    PostMessageW(dialog, WM_COMMAND, 40072, 0);
    properties = WaitForWindowShown(L"Dictionary Properties");
    ASSERT_NE(properties, nullptr);
    EXPECT_EQ(Text(properties, 1233), L"My words");
    EXPECT_EQ(Text(properties, 1234), L"Me");
    EXPECT_EQ(Text(properties, 1364), offeredVersion);
    EXPECT_TRUE(offeredVersion.ends_with(L"P")) << std::string(offeredVersion.begin(), offeredVersion.end());
    PostMessageW(properties, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(properties); }));

    // The optimisation dialog of the new (empty) personal dictionary offers
    // a backup beside it and the next build of its version text.
    Select(list, RowOf(list, L"Mine.qdx"));
    PostMessageW(dialog, WM_COMMAND, 40157, 0);
    HWND optimize = WaitForWindowShown(L"Dictionary Optimization");
    ASSERT_NE(optimize, nullptr);
    EXPECT_TRUE(Text(optimize, 1279).starts_with(folders.DictionariesFolder() + L"\\Mine_"));
    EXPECT_EQ(Text(optimize, 1364), L"11.11.0.2P");
    EXPECT_EQ(IsDlgButtonChecked(optimize, 1304), BST_CHECKED);
    Shoot(optimize, folders, L"optimize");
    PostMessageW(optimize, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(optimize); }));

    // Closing with every dictionary off asks; No keeps the dialog.
    const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) SetCheck(list, row, false);
    for (int row = 0; row < rows; ++row)
        EXPECT_FALSE(Checked(list, row)) << std::string(Names(list)[row].begin(), Names(list)[row].end());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(Answer(L"Are you sure?", IDNO));
    EXPECT_TRUE(IsWindow(dialog));
    SetCheck(list, RowOf(list, L"edict-slice.qdx"), true);

    // A box turned off reaches the settings before the dialog closes.
    SetCheck(list, RowOf(list, L"kanjidic-slice.qdx"), true);
    EXPECT_TRUE(WaitFor([&] { return DictionaryEntry(folders, L"kanjidic-slice.qdx").ends_with(L",0"); }, 400));
    SetCheck(list, RowOf(list, L"kanjidic-slice.qdx"), false);
    EXPECT_TRUE(WaitFor([&] { return DictionaryEntry(folders, L"kanjidic-slice.qdx").ends_with(L",2"); }, 400));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(run.Exit(frame), 0);
    EXPECT_TRUE(DictionaryEntry(folders, L"edict-slice.qdx").ends_with(L",0"));
    EXPECT_TRUE(DictionaryEntry(folders, L"kanjidic-slice.qdx").ends_with(L",2"));
}

// The first message box shown over the program other than `except`, its caption in `caption`.
HWND ShownBox(std::wstring* caption, std::initializer_list<HWND> except) {
    for (HWND w = FindWindowW(L"#32770", nullptr); w; w = FindWindowExW(nullptr, w, L"#32770", nullptr)) {
        if (!IsWindowVisible(w) || std::find(except.begin(), except.end(), w) != except.end()) continue;
        wchar_t title[256] = {};
        GetWindowTextW(w, title, 256);
        if (caption) *caption = title;
        return w;
    }
    return nullptr;
}

// The personal dictionary made at the first start, still without articles,
// is optimised; given a version text below 6 it is an old dictionary, and
// closing the dictionaries dialog warns of it until "Don't remind me again"
// is ticked. The warning's list button opens the dictionaries dialog; at
// the next start the warning comes before anything else.
TEST_F(DictionaryDialogs, AnEmptyDictionaryOptimisesAndAnOldOneIsWarnedOf) {
    TestFolders folders = Prepare(L"DictionaryDialogs.OldWarning");
    std::wstring personal;
    {
        ProgramRun run;
        HWND frame = run.WaitForFrameWithoutClipboardMonitor();
        ASSERT_NE(frame, nullptr);
        HWND dialog = OpenDictionariesDialog(frame);
        ASSERT_NE(dialog, nullptr);
        HWND list = GetDlgItem(dialog, kInstalledList);
        ASSERT_GE(RowOf(list, L"Personal.qdx"), 0);
        personal = Cell(list, RowOf(list, L"Personal.qdx"), 4) + L"\\Personal.qdx";
        Select(list, RowOf(list, L"Personal.qdx"));
        PostMessageW(dialog, WM_COMMAND, 40157, 0);
        HWND optimize = WaitForWindowShown(L"Dictionary Optimization");
        ASSERT_NE(optimize, nullptr);
        const size_t copies = DatedCopies(personal);
        SetDlgItemTextW(optimize, 1364, L"5.0.0.1");
        PostMessageW(optimize, WM_COMMAND, IDOK, 0);
        std::wstring caption;
        HWND box = nullptr;
        ASSERT_TRUE(WaitFor(
            [&] { return !IsWindow(optimize) || (box = ShownBox(&caption, {dialog, optimize})) != nullptr; }, 2400));
        if (box) {
            ADD_FAILURE() << "the optimisation said: " << std::string(caption.begin(), caption.end());
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            PostMessageW(optimize, WM_COMMAND, IDCANCEL, 0);
        }
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(optimize); }));
        EXPECT_EQ(DatedCopies(personal), copies + 1) << "no backup";
        EXPECT_TRUE(Checked(list, RowOf(list, L"Personal.qdx")));

        // Closing the dialog: the warning, whose list button opens the dialog again.
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        HWND warning = WaitForWindowShown(L"Old Dictionaries");
        ASSERT_NE(warning, nullptr);
        EXPECT_TRUE(Text(warning, 1148).starts_with(L"Some of the opened dictionaries were made for older versions"));
        EXPECT_EQ(Text(warning, 1004), L"List of Dictionaries");
        EXPECT_EQ(Text(warning, 1087), L"Don't remind me again");
        EXPECT_EQ(Text(warning, 1003), L"http://127.0.0.1:9/");
        Shoot(warning, folders, L"old_dictionaries");
        HWND message = GetDlgItem(warning, 1148);
        const std::wstring told = Text(warning, 1148);
        EXPECT_TRUE(screen_ink::DrawsRealGlyphs([&](const std::wstring& text) {
            SendMessageW(message, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            RedrawWindow(message, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            Sleep(100);
            return screen_ink::InkOf(message);
        }));
        SendMessageW(message, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(told.c_str()));
        PostMessageW(warning, WM_COMMAND, 1004, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(warning); }));
        dialog = WaitForWindowShown(L"Installed Dictionaries and Books");
        ASSERT_NE(dialog, nullptr);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        warning = WaitForWindowShown(L"Old Dictionaries");
        ASSERT_NE(warning, nullptr);
        SendDlgItemMessageW(warning, 1087, BM_CLICK, 0, 0);
        PostMessageW(warning, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(warning); }));
        DWORD type = 0;
        const auto skip = ReadProgramValue(L"SkipPre6Warning", &type);
        ASSERT_TRUE(skip.has_value());
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ((*skip)[0], 1);
        // Not again.
        dialog = OpenDictionariesDialog(frame);
        ASSERT_NE(dialog, nullptr);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
        EXPECT_EQ(WaitForWindowShown(L"Old Dictionaries", 40), nullptr);
        EXPECT_EQ(run.Exit(frame), 0);
    }
    // The next start, with the answer forgotten: the warning comes first.
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Quellarbin\\OstrelPro", L"SkipPre6Warning");
    ProgramRun again;
    HWND warning = WaitForWindowShown(L"Old Dictionaries");
    ASSERT_NE(warning, nullptr);
    PostMessageW(warning, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(warning); }));
    HWND frame = again.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(ReadProgramValue(L"SkipPre6Warning").has_value());
    EXPECT_EQ(again.Exit(frame), 0);
}

// Check boxes changed at the same moment from several threads (as a click
// lands while the shelf reopens dictionaries for the one before): the
// changes that arrive while another is applied wait for it, and every one
// of them reaches the shelf and the settings; the list shows what the shelf
// holds, and closing with every box off asks.
TEST_F(DictionaryDialogs, CheckBoxChangesThatComeTogetherAreAllApplied) {
    TestFolders folders = Prepare(L"DictionaryDialogs.Together");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    HWND dialog = OpenDictionariesDialog(frame);
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, kInstalledList);
    const std::vector<std::wstring> names = Names(list);
    ASSERT_EQ(names.size(), 3u);
    auto settled = [&](bool on) {
        for (const std::wstring& name : names) {
            const int row = RowOf(list, name);
            if (row < 0 || Checked(list, row) != on) return false;
            if (!DictionaryEntry(folders, name).ends_with(on ? L",0" : L",2")) return false;
        }
        return true;
    };
    for (int round = 0; round < 7; ++round) {  // ends with every box off
        const bool on = round % 2 == 1;
        std::vector<std::thread> clicks;
        for (int row = 0; row < static_cast<int>(names.size()); ++row)
            clicks.emplace_back([&, row] { SetCheck(list, row, on); });
        for (std::thread& click : clicks) click.join();
        std::string state;
        if (!WaitFor([&] { return settled(on); }, 400)) {
            for (const std::wstring& name : names) {
                const std::wstring entry = DictionaryEntry(folders, name);
                const int row = RowOf(list, name);
                state += std::string(name.begin(), name.end()) + " row " + std::to_string(row) + " box " +
                         std::to_string(row >= 0 && Checked(list, row)) + " settings " +
                         std::string(entry.end() - std::min<size_t>(entry.size(), 2), entry.end()) + "\n";
            }
        }
        ASSERT_TRUE(state.empty()) << "round " << round << " lost a change:\n" << state;
    }
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(Answer(L"Are you sure?", IDYES));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(run.Exit(frame), 0);
}

// With an article editor open on the working dictionary, unchecking it,
// removing it and choosing another working dictionary are refused; the
// shelf and the settings stay as they were.
TEST_F(DictionaryDialogs, AnOpenEditorKeepsTheWorkingDictionary) {
    TestFolders folders = Prepare(L"DictionaryDialogs.Editor");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    PostMessageW(frame, WM_COMMAND, 40067, 0);  // a new article in the working dictionary
    HWND editor = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (HWND w = FindWindowW(L"#32770", nullptr); w; w = FindWindowExW(nullptr, w, L"#32770", nullptr)) {
            wchar_t title[128] = {};
            GetWindowTextW(w, title, 128);
            if (IsWindowVisible(w) && std::wstring(title).starts_with(L"New Article")) editor = w;
        }
        return editor != nullptr;
    })) << "no editor";
    HWND dialog = OpenDictionariesDialog(frame);
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, kInstalledList);
    const int personal = RowOf(list, L"Personal.qdx");
    ASSERT_GE(personal, 0);
    SetState(list, personal, LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1), 500);
    EXPECT_TRUE(Answer(L"Cannot Close the Dictionary", IDOK));
    EXPECT_TRUE(WaitFor([&] { return Checked(list, personal); }));
    Select(list, personal);
    PostMessageW(dialog, WM_COMMAND, 1004, 0);
    EXPECT_TRUE(Answer(L"Cannot Close the Dictionary", IDOK));
    EXPECT_EQ(RowOf(list, L"Personal.qdx"), personal);
    Select(list, RowOf(list, L"edict-slice.qdx"));
    PostMessageW(dialog, WM_COMMAND, 40152, 0);
    EXPECT_TRUE(Answer(L"Cannot Change Working Dictionary", IDOK));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    EXPECT_TRUE(DictionaryEntry(folders, L"Personal.qdx").ends_with(L",0"));
    EXPECT_TRUE(ReadIniString(folders, L"Dictionaries", L"Working").ends_with(L"\\Personal.qdx"));
    PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);  // closing it; "save?" is answered No
    EXPECT_TRUE(WaitFor([&] {
        for (HWND w = FindWindowW(L"#32770", nullptr); w; w = FindWindowExW(nullptr, w, L"#32770", nullptr))
            if (w != editor && IsWindowVisible(w) && GetWindow(w, GW_OWNER) == editor) PostMessageW(w, WM_COMMAND, IDNO, 0);
        return !IsWindow(editor);
    }));
    EXPECT_EQ(run.Exit(frame), 0);
}

// Optimise asked while an editor holds an unsaved new article: "Save
// changes?" answered Yes saves it, and the same press then optimises (the
// backup is made, the dialog closes, and the saved article is in the rebuilt
// file), with no second press and no box but the question.
TEST_F(DictionaryDialogs, OptimiseAfterSavingAnOpenEditorRunsAtOnce) {
    TestFolders folders = Prepare(L"DictionaryDialogs.OptimiseAfterSave");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    auto openEditor = [&](UINT command, const wchar_t* title) {
        PostMessageW(frame, WM_COMMAND, command, 0);
        HWND found = nullptr;
        WaitFor([&] {
            for (HWND w = FindWindowW(L"#32770", nullptr); w; w = FindWindowExW(nullptr, w, L"#32770", nullptr)) {
                wchar_t caption[128] = {};
                GetWindowTextW(w, caption, 128);
                if (IsWindowVisible(w) && std::wstring(caption).starts_with(title)) found = w;
            }
            return found != nullptr;
        });
        return found;
    };
    auto textOf = [](HWND control) {
        wchar_t now[256] = {};
        SendMessageW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(now));
        return std::wstring(now);
    };
    // A new article (40067) typed key by key and saved: a reading, a word, a translation.
    HWND editor = openEditor(40067, L"New Article");
    ASSERT_NE(editor, nullptr);
    HWND text = GetDlgItem(editor, 201);
    ASSERT_TRUE(key_typing::TypeKeys(text, L"\u3042\u3044", 60));
    key_typing::PressKey(text, VK_RETURN);
    ASSERT_TRUE(key_typing::TypeKeys(text, L"\u611B", 60));
    key_typing::PressKey(text, VK_RETURN);
    ASSERT_TRUE(key_typing::TypeKeys(text, L"\u3042\u3044\u3059\u308B", 60));  // kana after a word: a translation
    ASSERT_TRUE(WaitFor([&] { return textOf(text).ends_with(L"\u3042\u3044\u3059\u308B"); }));
    PostMessageW(editor, WM_COMMAND, 1362, 0);  // Save
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(editor); }));
    // Its row made current, then opened again (40064) and changed without saving.
    HWND input = FindChild(frame, L"RichEdit20W", 202);
    ASSERT_NE(input, nullptr);
    ASSERT_TRUE(key_typing::TypeKeys(input, L"\u3042\u3044", 80));
    std::map<std::wstring, std::wstring> state;
    auto currentCell = [&](int column) {
        state = run.QueryState(frame);
        const int current = std::stoi(state[L"current"]), top = std::stoi(state[L"top"]);
        return state[L"cell." + std::to_wstring(current - top) + L"." + std::to_wstring(column)];
    };
    ASSERT_TRUE(WaitFor([&] { return currentCell(0) == L"\u3042\u3044"; }));
    editor = openEditor(40064, L"Edit Article");
    ASSERT_NE(editor, nullptr);
    text = GetDlgItem(editor, 201);
    ASSERT_TRUE(WaitFor([&] { return textOf(text).ends_with(L"\u3042\u3044\u3059\u308B"); }));
    SendMessageW(text, EM_SETSEL, -1, -1);
    key_typing::PressKey(text, VK_RETURN);
    ASSERT_TRUE(key_typing::TypeKeys(text, L"\u3042\u3044\u3057\u3066\u308B", 60));
    ASSERT_TRUE(WaitFor([&] { return textOf(text).ends_with(L"\u3042\u3044\u3057\u3066\u308B"); }));

    HWND dialog = OpenDictionariesDialog(frame);
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, kInstalledList);
    const int personal = RowOf(list, L"Personal.qdx");
    ASSERT_GE(personal, 0);
    const std::wstring path = Cell(list, personal, 4) + L"\\Personal.qdx";
    Select(list, personal);
    PostMessageW(dialog, WM_COMMAND, 40157, 0);
    HWND optimize = WaitForWindowShown(L"Dictionary Optimization");
    ASSERT_NE(optimize, nullptr);
    const size_t copies = DatedCopies(path);
    // The Optimize button pressed, then Yes, with keys as a user presses them.
    ASSERT_TRUE(key_typing::PressKey(GetDlgItem(optimize, IDOK), VK_SPACE));
    HWND question = WaitForWindowShown(L"Save changes?");
    ASSERT_NE(question, nullptr);
    // Return goes to the box once its button has the keyboard.
    EXPECT_TRUE(WaitFor([&] {
        GUITHREADINFO gui{};
        gui.cbSize = sizeof(gui);
        return GetGUIThreadInfo(GetWindowThreadProcessId(question, nullptr), &gui) && gui.hwndFocus &&
               (gui.hwndFocus == question || IsChild(question, gui.hwndFocus));
    })) << "the question never took the keyboard";
    key_typing::PressKey(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(question); }));
    std::wstring caption;
    HWND box = nullptr;
    WaitFor([&] { return !IsWindow(optimize) || (box = ShownBox(&caption, {dialog, optimize, editor})) != nullptr; },
            800);
    if (box) {
        ADD_FAILURE() << "the optimisation said: " << std::string(caption.begin(), caption.end());
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    if (IsWindow(optimize)) {
        Shoot(optimize, folders, L"optimise_after_save");
        ADD_FAILURE() << "the optimisation did not run after the save";
        PostMessageW(optimize, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(optimize); }));
    }
    EXPECT_FALSE(IsWindow(editor)) << "the saved editor closed";
    EXPECT_EQ(DatedCopies(path), copies + 1) << "no backup";
    Shoot(dialog, folders, L"dictionaries_after_optimise");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    // The saved article is listed from the rebuilt file.
    key_typing::PressKey(input, VK_BACK);
    ASSERT_TRUE(key_typing::TypeKeys(input, L"\u3044", 80));
    EXPECT_TRUE(WaitFor([&] { return currentCell(0) == L"\u3042\u3044"; })) << "the saved reading is listed";
    EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(run.Exit(frame), 0);
}

// A source given at start is converted by the dialog; in the deterministic
// mode the file equals the command-line compiler's byte for byte.
TEST_F(DictionaryDialogs, ConversionMakesTheCompilersFile) {
    for (const wchar_t* slice : {L"kanjidic-slice", L"edict-slice"}) {
        TestFolders folders = Prepare(std::wstring(L"DictionaryDialogs.Convert.") + slice);
        const std::wstring source = folders.root + L"\\" + slice;
        ASSERT_TRUE(CopyFileW((BinaryDir() + L"\\ui\\e2e-data\\" + slice).c_str(), source.c_str(), FALSE));
        const std::wstring target = folders.DictionariesFolder() + L"\\" + slice + L".qdx";
        DeleteFileW(target.c_str());
        ProgramRun run(L"\"" + source + L"\"", {{L"OSTREL_DETERMINISTIC_COMPILE", L"1"}});
        HWND dialog = WaitForWindowShown(L"Convert Dictionary to Ostrel Pro Format");
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(Text(dialog, 1277), target);
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, 1092)));  // no DSL box
        Shoot(dialog, folders, L"convert");
        // The source as the target is refused before anything is deleted.
        SetDlgItemTextW(dialog, 1277, source.c_str());
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(Answer(L"Conversion failed", IDOK));
        EXPECT_NE(GetFileAttributesW(source.c_str()), INVALID_FILE_ATTRIBUTES);
        SetDlgItemTextW(dialog, 1277, target.c_str());
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(Answer(L"Conversion completed", IDOK, 4800));  // a compile: up to 2 minutes on a loaded machine
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
        std::ifstream made(std::filesystem::path(target), std::ios::binary);
        std::ifstream expected(std::filesystem::path(BinaryDir() + L"\\ui\\e2e-data\\" + slice + L".qdx"),
                               std::ios::binary);
        const std::string a((std::istreambuf_iterator<char>(made)), {}), b((std::istreambuf_iterator<char>(expected)), {});
        EXPECT_GT(a.size(), 10000u);
        EXPECT_TRUE(a == b) << "the dialog's file differs from qdxc's";
        HWND frame = run.WaitForFrame();
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(run.Exit(frame), 0);
    }
}

// A source of the wrong kind (an EDICT header over KANJIDIC lines) is
// refused with the reason and the old target file kept; a source with lines
// that are no article of its format compiles and the "done" box says how
// many were skipped.
TEST_F(DictionaryDialogs, ConversionSaysWhatTheSourceHeldThatItCouldNotRead) {
    TestFolders folders = Prepare(L"DictionaryDialogs.ConvertRefusals");
    const std::wstring wrong = folders.root + L"\\wrong-kind", skips = folders.root + L"\\skips";
    const std::wstring oldTarget = folders.DictionariesFolder() + L"\\wrong-kind.qdx";
    const std::string oldBytes = "the user's old dictionary";
    size_t kanjiLines = 0;
    {
        std::ifstream kanjidic(std::filesystem::path(BinaryDir() + L"\\ui\\e2e-data\\kanjidic-slice"), std::ios::binary);
        std::ofstream out(std::filesystem::path(wrong), std::ios::binary);
        out << "\xA1\xA1\xA1\xA9\xA1\xA9\xA1\xA9 /EDICT header over kanji lines/\n";
        std::string line;
        for (std::getline(kanjidic, line); std::getline(kanjidic, line);)
            if (line.find('/') == std::string::npos && !line.empty()) {
                out << line << "\n";
                ++kanjiLines;
            }
        std::ifstream edict(std::filesystem::path(BinaryDir() + L"\\ui\\e2e-data\\edict-slice"), std::ios::binary);
        std::ofstream(std::filesystem::path(skips), std::ios::binary)
            << edict.rdbuf() << "a line without a slash\nnor this one\n";
        std::ofstream(std::filesystem::path(oldTarget), std::ios::binary) << oldBytes;
    }
    ASSERT_GT(kanjiLines, 200u);
    ProgramRun run(L"\"" + wrong + L"\"");
    HWND dialog = WaitForWindowShown(L"Convert Dictionary to Ostrel Pro Format");
    ASSERT_NE(dialog, nullptr);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(Answer(L"Replace this file?", IDYES));
    HWND failed = WaitForWindowShown(L"Conversion failed", 2400);
    ASSERT_NE(failed, nullptr);
    EXPECT_EQ(Text(failed, 0xFFFF),
              L"Cannot convert a dictionary\n The source holds no article this format can read: nothing was stored, "
              L"and the old dictionary file is kept.\nLines skipped (not articles of this format): " +
                  std::to_wstring(kanjiLines));
    PostMessageW(failed, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(failed); }));
    {
        std::ifstream kept(std::filesystem::path(oldTarget), std::ios::binary);
        EXPECT_EQ(std::string((std::istreambuf_iterator<char>(kept)), {}), oldBytes);
    }
    SetDlgItemTextW(dialog, 1276, skips.c_str());
    SetDlgItemTextW(dialog, 1277, (folders.DictionariesFolder() + L"\\skips.qdx").c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    HWND done = WaitForWindowShown(L"Conversion completed", 4800);  // a compile: up to 2 minutes on a loaded machine
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(Text(done, 0xFFFF), L"Conversion completed\n\nLines skipped (not articles of this format): 2");
    Shoot(done, folders, L"convert_skipped", 2);
    PostMessageW(done, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    EXPECT_NE(GetFileAttributesW((folders.DictionariesFolder() + L"\\skips.qdx").c_str()), INVALID_FILE_ATTRIBUTES);
    HWND frame = run.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(run.Exit(frame), 0);
}

// An own markup source of the slice's words cut in the middle of an article,
// converted with Enter on Convert: the "done" box says the source could not
// be read to its end, how many articles were stored and where the cut group
// begins, and the new dictionary holds those articles.
TEST_F(DictionaryDialogs, ConversionOfACutSourceSaysWhatWasStored) {
    TestFolders folders = Prepare(L"DictionaryDialogs.ConvertCut");
    const std::wstring cut = folders.root + L"\\cut-words.rdf";
    std::u16string markup = u"{\\rdf1 {\\name Slice words}\r\n";
    const auto escaped = [](const std::u16string& text) {
        std::u16string out;
        for (char16_t c : text) out += c == u'{' || c == u'}' || c == u'\\' ? std::u16string{u'\\', c} : std::u16string{c};
        return out;
    };
    for (const SliceEntry& entry : ReadSlice()) {
        markup += u"{\\a {\\r " + escaped(entry.reading) + u"}";
        for (const std::u16string& gloss : entry.glosses) markup += u"{\\s {\\rus " + escaped(gloss) + u"}}";
        markup += u"}\r\n";
    }
    markup.resize(markup.size() / 2);
    ASSERT_NE(markup.back(), u'\n');
    const size_t lines = static_cast<size_t>(std::count(markup.begin(), markup.end(), u'\n'));
    ASSERT_GT(lines, 100u);
    {
        std::ofstream out(std::filesystem::path(cut), std::ios::binary);
        out.put(static_cast<char>(0xFF)).put(static_cast<char>(0xFE));
        out.write(reinterpret_cast<const char*>(markup.data()), static_cast<std::streamsize>(markup.size() * 2));
    }
    ProgramRun run(L"\"" + cut + L"\"");
    HWND dialog = WaitForWindowShown(L"Convert Dictionary to Ostrel Pro Format");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(key_typing::PressKey(GetDlgItem(dialog, IDOK), VK_RETURN));
    HWND done = WaitForWindowShown(L"Conversion completed", 4800);  // a compile: up to 2 minutes on a loaded machine
    ASSERT_NE(done, nullptr);
    // The header line and one line for each article closed before the cut.
    const size_t stored = lines - 1;
    EXPECT_EQ(Text(done, 0xFFFF), L"Conversion completed\n\nThe source could not be read to its end; articles stored "
                                  L"from the part that was read: " + std::to_wstring(stored) +
                                      L"\nThe text ends inside a group opened at line " + std::to_wstring(lines + 1) +
                                      L" that is never closed.");
    Shoot(done, folders, L"convert_cut", 2);
    PostMessageW(done, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    HWND frame = run.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(run.Exit(frame), 0);
    EXPECT_NE(GetFileAttributesW((folders.DictionariesFolder() + L"\\cut-words.qdx").c_str()), INVALID_FILE_ATTRIBUTES);
}

// The disk check before a conversion asks for the room the compile needs
// at its peak: a KANJIDIC source (a sparse file: its head real, the rest
// holes) of a quarter of the drive's free space would fill the drive, and
// is refused before anything is written.
TEST_F(DictionaryDialogs, TheDiskCheckAsksForTheRoomTheCompileNeeds) {
    TestFolders folders = Prepare(L"DictionaryDialogs.DiskSpace");
    const std::wstring source = folders.root + L"\\huge-kanjidic";
    ULARGE_INTEGER free{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(folders.DictionariesFolder().c_str(), &free, nullptr, nullptr));
    {
        std::ifstream head(std::filesystem::path(BinaryDir() + L"\\ui\\e2e-data\\kanjidic-slice"), std::ios::binary);
        std::string bytes(4096, '\0');
        head.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        HANDLE file = CreateFileW(source.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(head.gcount()), &written, nullptr);
        LARGE_INTEGER end{};
        end.QuadPart = static_cast<LONGLONG>(free.QuadPart / 4);
        ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file));
        CloseHandle(file);
    }
    ProgramRun run(L"\"" + source + L"\"");
    HWND dialog = WaitForWindowShown(L"Convert Dictionary to Ostrel Pro Format");
    ASSERT_NE(dialog, nullptr);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    HWND box = WaitForWindowShown(L"Not enough disk space", 200);
    EXPECT_NE(box, nullptr) << "a compile that fills the drive was started";
    if (box) {
        const std::wstring text = Text(box, 0xFFFF);
        EXPECT_NE(text.find(L"Required space: "), std::wstring::npos) << std::string(text.begin(), text.end());
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    }
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_EQ(GetFileAttributesW((folders.DictionariesFolder() + L"\\huge-kanjidic.qdx").c_str()), INVALID_FILE_ATTRIBUTES);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    // A dialog left running (the old check let the compile start) is ended with the program.
    if (!WaitFor([&] { return !IsWindow(dialog); })) {
        if (HWND stop = WaitForWindowShown(L"Do you want to stop?", 40)) PostMessageW(stop, WM_COMMAND, IDYES, 0);
    }
    HWND frame = run.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(run.Exit(frame), 0);
    DeleteFileW(source.c_str());
}

TEST_F(DictionaryDialogs, SettingsOkWritesTheKeysAndCancelRestores) {
    TestFolders folders =
        Prepare(L"DictionaryDialogs.Settings", L"49152",
                L"[View]\r\nSearchOnListSwitch=0\r\n[Translation]\r\nExpand=0\r\nMinKanaLength=1\r\nUnderCursor=0\r\n"
                L"AutoSwitchTranslationList=0\r\n");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    auto open = [&](UINT command) {
        PostMessageW(frame, WM_COMMAND, command, 0);
        return WaitForWindowShown(L"Settings");
    };
    auto page = [&](HWND dialog, const wchar_t* className, int control) {
        HWND child = FindChild(dialog, className, control);
        return child ? GetParent(child) : nullptr;
    };
    auto checked = [](HWND window, int id) { return IsDlgButtonChecked(window, id) == BST_CHECKED; };

    // The start page's own button is the pressed one.
    HWND dialog = open(kFontSettingsCommand);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(checked(dialog, 1050));
    EXPECT_FALSE(checked(dialog, 1052));
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));

    // Defaults on the list page, then Cancel: memory and file as they were.
    dialog = open(kSettingsCommand);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(checked(dialog, 1052));
    HWND lists = page(dialog, L"ComboBox", 1309);
    ASSERT_NE(lists, nullptr);
    EXPECT_TRUE(IsWindowVisible(lists));
    EXPECT_EQ(SendDlgItemMessageW(lists, 1309, CB_GETCURSEL, 0, 0), 2);  // Expand 0
    EXPECT_FALSE(checked(lists, 1096));
    Shoot(dialog, folders, L"settings_lists");
    PostMessageW(dialog, WM_COMMAND, 1003, 0);
    EXPECT_TRUE(WaitFor([&] { return SendDlgItemMessageW(lists, 1309, CB_GETCURSEL, 0, 0) == 0; }));
    EXPECT_TRUE(checked(lists, 1096));
    PostMessageW(dialog, WM_COMMAND, 1054, 0);  // no page: nothing changes
    ASSERT_TRUE(run.WaitForPostedMessages(frame));
    EXPECT_TRUE(IsWindowVisible(lists));
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    dialog = open(kSettingsCommand);
    ASSERT_NE(dialog, nullptr);
    lists = page(dialog, L"ComboBox", 1309);
    EXPECT_EQ(SendDlgItemMessageW(lists, 1309, CB_GETCURSEL, 0, 0), 2);
    EXPECT_FALSE(checked(lists, 1096));
    EXPECT_EQ(ReadIniString(folders, L"Translation", L"Expand"), L"0");

    // OK writes the page's keys; the miscellaneous page's site gets its "/".
    SendDlgItemMessageW(lists, 1309, CB_SETCURSEL, 1, 0);
    CheckDlgButton(lists, 1096, BST_CHECKED);
    CheckDlgButton(lists, 1310, BST_CHECKED);
    PostMessageW(dialog, WM_COMMAND, 1093, 0);
    HWND misc = page(dialog, L"Edit", 1367);
    ASSERT_NE(misc, nullptr);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(misc) && !IsWindowVisible(lists); }));
    EXPECT_TRUE(checked(dialog, 1093));
    SetDlgItemTextW(misc, 1367, L"http://127.0.0.1:9/site  ");
    for (int button : {1051, 1053}) {
        PostMessageW(dialog, WM_COMMAND, button, 0);
        ASSERT_TRUE(run.WaitForPostedMessages(frame));  // the page is switched
        Shoot(dialog, folders, L"settings_page_" + std::to_wstring(button));
    }
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(ReadIniString(folders, L"Translation", L"Expand"), L"1");
    EXPECT_EQ(ReadIniString(folders, L"Translation", L"MinKanaLength"), L"2");
    EXPECT_EQ(ReadIniString(folders, L"Translation", L"UnderCursor"), L"0");
    EXPECT_EQ(ReadIniString(folders, L"Translation", L"AutoSwitchTranslationList"), L"0");
    EXPECT_EQ(ReadIniString(folders, L"View", L"SearchOnListSwitch"), L"1");
    EXPECT_EQ(ReadIniString(folders, L"Application", L"HomeSite"), L"http://127.0.0.1:9/site/");
    EXPECT_EQ(run.Exit(frame), 0);
}

// The pointer rests on a toolbar button: the button's hint shows inside the
// work area, in the interface's language, and goes with the pointer; the
// next button's hint follows it; over the status bar of a maximised window
// the hint stays inside the work area.
TEST_F(DictionaryDialogs, HoverHintShowsTheButtonsTextFollowsAndStaysInside) {
    const struct {
        const wchar_t* flags;
        const wchar_t* name;
        int32_t language;  // of the hint texts: 0 Russian, 1 English, 2 Japanese
    } languages[] = {{L"49152", L"en", 1}, {L"32768", L"ru", 0}, {L"34816", L"ja", 2}};
    for (const auto& language : languages) {
        TestFolders folders = Prepare(std::wstring(L"DictionaryDialogs.Hint.") + language.name, language.flags);
        ProgramRun run;
        HWND frame = run.WaitForFrameWithoutClipboardMonitor();
        ASSERT_NE(frame, nullptr);
        HWND toolbar = FindChild(frame, TOOLBARCLASSNAMEW, 2);
        ASSERT_NE(toolbar, nullptr);
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        auto buttonCentre = [&](int index) {
            RemoteMemory memory(toolbar, sizeof(RECT));
            SendMessageW(toolbar, TB_GETITEMRECT, index, memory.At(0));
            RECT rect{};
            memory.Read(0, &rect, sizeof(rect));
            POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
            ClientToScreen(toolbar, &centre);
            return centre;
        };
        auto buttonAt = [&](int index) {
            RemoteMemory memory(toolbar, sizeof(TBBUTTON));
            SendMessageW(toolbar, TB_GETBUTTON, index, memory.At(0));
            TBBUTTON button{};
            memory.Read(0, &button, sizeof(button));
            return button;
        };
        auto hint = [] {
            HWND window = FindWindowW(L"Ostrel ToolTip Class", nullptr);
            return window && IsWindowVisible(window) ? window : nullptr;
        };
        auto inside = [&](HWND window) {
            RECT rect{};
            GetWindowRect(window, &rect);
            return rect.left >= work.left && rect.top >= work.top && rect.right <= work.right && rect.bottom <= work.bottom;
        };
        // The hint's text with its line breaks dropped. WM_GETTEXT is sent
        // across processes; GetWindowText would read the caption only.
        auto hintText = [](HWND window) {
            wchar_t text[256] = {};
            if (window) SendMessageW(FindWindowExW(window, nullptr, nullptr, nullptr), WM_GETTEXT, 256,
                                     reinterpret_cast<LPARAM>(text));
            std::wstring shown = text;
            std::erase_if(shown, [](wchar_t c) { return c == L'\r' || c == L'\n'; });
            return shown;
        };
        // The text the program's table holds for the command of a button.
        auto textOf = [&](const TBBUTTON& button) {
            const char16_t* text = GetHintText(button.idCommand, kHintAnyKind, language.language);
            std::wstring expected = text ? reinterpret_cast<const wchar_t*>(text) : L"";
            std::erase_if(expected, [](wchar_t c) { return c == L'\r' || c == L'\n'; });
            return expected;
        };
        SetForegroundWindow(frame);
        // The pointer comes from off the window, with no hint shown.
        SetCursorPos(0, 0);
        ASSERT_TRUE(WaitFor([&] { return hint() == nullptr; })) << "a hint stays up with the pointer off the window";
        const std::wstring firstText = textOf(buttonAt(0));
        ASSERT_FALSE(firstText.empty()) << "no hint text for the first button";
        POINT first = buttonCentre(0);
        SetCursorPos(first.x, first.y);
        HWND shown = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (shown = hint()) != nullptr && hintText(shown) == firstText; }, 400))
            << "no hint, or not the first button's: " << testing::PrintToString(hintText(hint()));
        EXPECT_TRUE(inside(shown));
        Shoot(shown, folders, std::wstring(L"hint_") + language.name, 3);
        const int buttons = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
        for (int next = 1; next < buttons; ++next) {
            const TBBUTTON button = buttonAt(next);
            if (button.fsStyle & BTNS_SEP) continue;
            const std::wstring nextText = textOf(button);
            ASSERT_NE(nextText, firstText);
            POINT centre = buttonCentre(next);
            SetCursorPos(centre.x, centre.y);
            EXPECT_TRUE(WaitFor([&] { return hintText(hint()) == nextText; }, 400))
                << "the next button's hint: " << testing::PrintToString(hintText(hint()));
            break;
        }
        // Off the window, the hint goes.
        SetCursorPos(0, 0);
        EXPECT_TRUE(WaitFor([&] { return hint() == nullptr; }, 400)) << "the hint stayed with the pointer away";
        if (std::wstring(language.name) == L"en") {
            // A list tab: its list's text.
            HWND tabs = FindWindowExW(frame, nullptr, WC_TABCONTROLW, nullptr);
            ASSERT_NE(tabs, nullptr);
            RemoteMemory memory(tabs, sizeof(RECT));
            SendMessageW(tabs, TCM_GETITEMRECT, 0, memory.At(0));
            RECT tab{};
            memory.Read(0, &tab, sizeof(tab));
            POINT centre{(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2};
            ClientToScreen(tabs, &centre);
            SetCursorPos(centre.x, centre.y);
            EXPECT_TRUE(WaitFor([&] {
                HWND h = hint();
                return h && hintText(h).starts_with(L"List of");
            }, 400)) << "no hint over the first tab";
            HWND status = FindWindowExW(frame, nullptr, STATUSCLASSNAMEW, nullptr);
            ASSERT_NE(status, nullptr);
            RECT before{}, bar{};
            GetWindowRect(status, &before);
            PostMessageW(frame, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
            // The status bar moved to the maximised window's foot.
            ASSERT_TRUE(WaitFor([&] {
                GetWindowRect(status, &bar);
                return IsZoomed(frame) && !EqualRect(&bar, &before);
            }, 400)) << "the window was not maximised";
            SetCursorPos(bar.left + 20, (bar.top + bar.bottom) / 2);
            EXPECT_TRUE(WaitFor([&] {
                HWND h = hint();
                return h && inside(h);
            }, 400)) << "no hint inside the work area over the status bar";
        }
        SetCursorPos(0, 0);
        EXPECT_EQ(run.Exit(frame), 0);
    }
}

}  // namespace
