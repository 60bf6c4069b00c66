// The book reader in the running program, with the English interface: a
// stored book of Latin, Cyrillic, kana and kanji columns shown (left as a
// screenshot), the hover hint over a reader control, a word selected by a
// double click and added to the working dictionary through the column's own
// menu, chosen with the menu's keys; 40500 from the article view's menu;
// and auto-locate (40059) switched off and on around typing in the input box.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/tests/test_paths.h"
#include "ui/e2e/edict_slice.h"
#include "ui/e2e/program_session.h"
#include "ui/e2e/machine_pace.h"

namespace {

constexpr UINT kBookReaderCommand = 40062;
constexpr UINT kAutoLocateCommand = 40059;
constexpr int kAddColumn = 1006;

std::wstring BinaryDir() {
    const std::string binary = BinaryPath();
    std::wstring wide(binary.begin(), binary.end());
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    return wide;
}

bool WaitFor(const auto& condition, int tries = 200) {
    for (int i = 0, n = machine_pace::ScaledTries(tries); i < n; ++i) {
        if (condition()) return true;
        Sleep(25);
    }
    return false;
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

std::wstring Text(HWND window) {
    wchar_t text[1024] = {};
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

// A shown top window of the class (and title), other than `other`.
HWND ShownWindow(const wchar_t* className, const wchar_t* title, HWND other = nullptr) {
    for (HWND window = FindWindowW(className, title); window; window = FindWindowExW(nullptr, window, className, title))
        if (window != other && IsWindowVisible(window)) return window;
    return nullptr;
}

// The selection of a book column, asked as a rich edit's (the program's way).
std::wstring ColumnSelection(HWND column) {
    constexpr size_t kUnits = 256;
    RemoteMemory memory(column, sizeof(GETTEXTEX) + kUnits * sizeof(wchar_t));
    GETTEXTEX query{};
    query.cb = kUnits * sizeof(wchar_t);
    query.flags = GT_SELECTION;
    query.codepage = 1200;
    memory.Write(0, &query, sizeof(query));
    const LRESULT count = SendMessageW(column, EM_GETTEXTEX, memory.At(0), memory.At(sizeof(GETTEXTEX)));
    std::wstring text(static_cast<size_t>(std::max<LRESULT>(count, 0)), L'\0');
    memory.Read(sizeof(GETTEXTEX), text.data(), text.size() * sizeof(wchar_t));
    return text;
}

// The rows of a window's client area that hold text, as [first, last] bands.
std::vector<std::pair<int, int>> TextBands(HWND window) {
    RECT box{};
    GetClientRect(window, &box);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&box), 2);
    HDC screen = GetDC(nullptr);
    std::vector<std::pair<int, int>> bands;
    bool in = false;
    for (LONG y = box.top; y < box.bottom; ++y) {
        bool dark = false;
        for (LONG x = box.left; x < box.left + 60 && x < box.right && !dark; ++x) {
            const COLORREF c = GetPixel(screen, x, y);
            dark = GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128;
        }
        const int row = static_cast<int>(y - box.top);
        if (dark && !in) bands.push_back({row, row});
        if (dark) bands.back().second = row;
        in = dark;
    }
    ReleaseDC(nullptr, screen);
    return bands;
}

struct EditorSearch {
    HWND found = nullptr;
};

BOOL CALLBACK MatchEditor(HWND window, LPARAM context) {
    wchar_t caption[256] = {};
    GetWindowTextW(window, caption, 256);
    if (IsWindowVisible(window) && std::wstring(caption).rfind(L"New Article of \"", 0) == 0) {
        reinterpret_cast<EditorSearch*>(context)->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindNewArticleEditor() {
    EditorSearch search;
    EnumWindows(MatchEditor, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Closes an editor unsaved, answering No to a question about saving.
void CloseWithoutSaving(HWND editor, HWND keep) {
    PostMessageW(editor, WM_CLOSE, 0, 0);
    WaitFor([&] {
        if (HWND box = ShownWindow(L"#32770", nullptr); box && box != keep) PostMessageW(box, WM_COMMAND, IDNO, 0);
        return FindNewArticleEditor() == nullptr;
    });
}

class BookReader : public testing::Test {
protected:
    void SetUp() override {
        SetProcessDPIAware();
        CloseLeftoverFrames();
    }
    // English interface, hints on; `names` compiled in the Dictionaries folder and listed.
    TestFolders Prepare(const std::wstring& name, std::initializer_list<const wchar_t*> names) {
        TestFolders folders = PrepareTest(name);
        CreateDirectoryW((folders.documents + L"\\OstrelPro").c_str(), nullptr);
        CreateDirectoryW(folders.DictionariesFolder().c_str(), nullptr);
        std::wstring slots = L"[Dictionaries]\r\n";
        int slot = 1;
        for (const wchar_t* file : names) {
            const std::wstring path = folders.DictionariesFolder() + L"\\" + file + L".qdx";
            EXPECT_TRUE(CopyFileW((BinaryDir() + L"\\ui\\e2e-data\\" + file + L".qdx").c_str(), path.c_str(), FALSE));
            slots += L"File" + std::to_wstring(slot++) + L"=" + path + L",0\r\n";
        }
        WriteSettings(folders, L"[Application]\r\nVersion=11.11.0\r\nFlags=49152\r\n[View]\r\nBigHints=1\r\n"
                               L"[Window]\r\nx=20\r\ny=20\r\ncx=700\r\ncy=560\r\ncy2=300\r\n" + slots);
        return folders;
    }
};

TEST_F(BookReader, ColumnsHintsAndTheColumnMenuAddAWord) {
    TestFolders folders = Prepare(L"BookReader.Columns", {L"scripts-book"});
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    PostMessageW(frame, WM_COMMAND, kBookReaderCommand, 0);
    HWND reader = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (reader = ShownWindow(L"#32770", L"scripts-book")) != nullptr; }))
        << "no reader on the book";
    SendMessageW(reader, WM_COMMAND, kAddColumn, 0);
    SetWindowPos(reader, HWND_TOP, 0, 0, 960, 420, SWP_SHOWWINDOW);
    SetForegroundWindow(reader);

    // The hover hint over the add-column button, in the interface language:
    // the pointer comes from off the window, once no other hint is shown.
    // (With the fourth column shown the button is off and hints nothing.)
    SetCursorPos(0, 0);
    WaitFor([&] { return ShownWindow(L"Ostrel ToolTip Class", nullptr) == nullptr; }, 40);
    RECT add{};
    GetWindowRect(GetDlgItem(reader, kAddColumn), &add);
    SetCursorPos((add.left + add.right) / 2, (add.top + add.bottom) / 2);
    std::wstring hinted;
    EXPECT_TRUE(WaitFor([&] {
        HWND hint = ShownWindow(L"Ostrel ToolTip Class", nullptr);
        if (hint) hinted = Text(FindWindowExW(hint, nullptr, nullptr, nullptr));
        return hinted == L"Add a column with another language";
    }, 120)) << "the hint over the reader's button: " << testing::PrintToString(hinted);
    // The hint gone first: over the columns it would read as a line of text.
    SetCursorPos(0, 0);
    ASSERT_TRUE(WaitFor([&] { return ShownWindow(L"Ostrel ToolTip Class", nullptr) == nullptr; }, 400))
        << "the hint stayed with the pointer away";
    SendMessageW(reader, WM_COMMAND, kAddColumn, 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(reader, kAddColumn))) << "every language of the book is shown";
    HWND columns[4] = {};
    for (int slot = 0; slot < 4; ++slot) {
        columns[slot] = FindChild(reader, L"OstrelBookView", slot);
        ASSERT_NE(columns[slot], nullptr) << slot;
    }
    RedrawWindow(reader, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // The heading and the two paragraphs, drawn in every column.
    size_t drawn[4] = {};
    EXPECT_TRUE(WaitFor([&] {
        for (int slot = 0; slot < 4; ++slot) drawn[slot] = TextBands(columns[slot]).size();
        return std::all_of(std::begin(drawn), std::end(drawn), [](size_t bands) { return bands >= 3; });
    }, 40)) << "lines drawn in the columns: " << drawn[0] << " " << drawn[1] << " " << drawn[2] << " " << drawn[3];
    SaveScreenshot(folders.root + L"\\book_reader.png");

    // A double click selects the first word of the first paragraph.
    const std::vector<std::pair<int, int>> bands = TextBands(columns[0]);
    ASSERT_GE(bands.size(), 2u);
    const LPARAM word = MAKELPARAM(4, (bands[1].first + bands[1].second) / 2);
    PostMessageW(columns[0], WM_LBUTTONDOWN, MK_LBUTTON, word);
    PostMessageW(columns[0], WM_LBUTTONUP, 0, word);
    PostMessageW(columns[0], WM_LBUTTONDBLCLK, MK_LBUTTON, word);
    PostMessageW(columns[0], WM_LBUTTONUP, 0, word);
    EXPECT_TRUE(WaitFor([&] { return ColumnSelection(columns[0]) == L"The"; })) << Narrow(ColumnSelection(columns[0]));

    // The right click keeps the selection; the menu's last item is the Edit
    // sub-menu, whose first item adds the selection to the working dictionary.
    PostMessageW(columns[0], WM_RBUTTONDOWN, MK_RBUTTON, word);
    PostMessageW(columns[0], WM_RBUTTONUP, 0, word);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (menu = ShownWindow(L"#32768", nullptr)) != nullptr; })) << "no column menu";
    EXPECT_TRUE(WaitUntilDrawn(menu)) << "the column menu is not drawn";
    SaveScreenshot(folders.root + L"\\column_menu.png");
    // Up to the last item, the Edit sub-menu, and into it: the sub-menu shows.
    for (WPARAM key : {VK_UP, VK_RIGHT}) PostMessageW(menu, WM_KEYDOWN, key, 0);
    HWND edit = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (edit = ShownWindow(L"#32768", nullptr, menu)) != nullptr; }))
        << "the Edit sub-menu did not open";
    EXPECT_TRUE(WaitUntilDrawn(edit)) << "the Edit sub-menu is not drawn";
    SaveScreenshot(folders.root + L"\\column_menu_edit.png");
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    HWND editor = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (editor = FindNewArticleEditor()) != nullptr; })) << "40500 opened no editor";
    HWND text = GetDlgItem(editor, 201);
    EXPECT_TRUE(WaitFor([&] { return Text(text).find(L"The") != std::wstring::npos; })) << Narrow(Text(text));
    SaveScreenshot(folders.root + L"\\new_article.png");
    CloseWithoutSaving(editor, reader);
    // The same menu in the Japanese interface, for people to look at.
    PostMessageW(frame, WM_COMMAND, 40141, 0);
    PostMessageW(columns[0], WM_RBUTTONDOWN, MK_RBUTTON, word);
    PostMessageW(columns[0], WM_RBUTTONUP, 0, word);
    if (WaitFor([&] { return (menu = ShownWindow(L"#32768", nullptr)) != nullptr; }) && WaitUntilDrawn(menu)) {
        SaveScreenshot(folders.root + L"\\column_menu_ja.png");
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    EXPECT_EQ(run.Exit(frame), 0);
}

// Auto-locate off: typing searches nothing; on again: the typed word is found.
TEST_F(BookReader, AutoLocateOffKeepsTheListStillUntilItIsOnAgain) {
    Prepare(L"BookReader.AutoLocate", {L"edict-slice"});
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    HWND input = FindChild(frame, L"RichEdit20W", 202);
    ASSERT_NE(input, nullptr);
    auto currentCell = [&] {
        auto state = run.QueryState(frame);
        const int current = std::stoi(state[L"current"]), top = std::stoi(state[L"top"]);
        return state[L"cell." + std::to_wstring(current - top) + L".0"];
    };
    const std::vector<SliceEntry> slice = ReadSlice();
    ASSERT_GT(slice.size(), 100u) << "the EDICT slice was not made";
    const std::wstring word(slice[slice.size() / 2].reading.begin(), slice[slice.size() / 2].reading.end());
    const std::wstring before = currentCell();
    ASSERT_NE(before, word);
    PostMessageW(frame, WM_COMMAND, kAutoLocateCommand, 0);
    for (wchar_t c : word) PostMessageW(input, WM_CHAR, c, 1);
    ASSERT_TRUE(WaitFor([&] { return Text(input) == word; }));
    // A search the last character's change posted would have run by now.
    ASSERT_TRUE(run.WaitForPostedMessages(frame));
    EXPECT_EQ(currentCell(), before) << "a search ran with auto-locate off";
    PostMessageW(frame, WM_COMMAND, kAutoLocateCommand, 0);
    EXPECT_TRUE(WaitFor([&] { return currentCell() == word; })) << Narrow(currentCell());
    EXPECT_EQ(run.Exit(frame), 0);
}

// 40500 from the article view's menu names the article's text window: the
// new article takes that window's selection, not the input box's.
TEST_F(BookReader, NewArticleTakesTheSelectionOfTheNamedWindow) {
    Prepare(L"BookReader.NewArticle", {L"edict-slice"});
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    HWND view = FindChild(frame, L"Ostrel Article View", 0);
    ASSERT_NE(view, nullptr);
    HWND article = FindWindowExW(view, nullptr, L"RichEdit20W", nullptr);
    ASSERT_NE(article, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Text(article).size() > 8; })) << "no article shown";
    const std::wstring selected = Text(article).substr(0, 4);
    SendMessageW(article, EM_SETSEL, 0, 4);
    PostMessageW(frame, WM_COMMAND, 40500, reinterpret_cast<LPARAM>(article));
    HWND editor = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (editor = FindNewArticleEditor()) != nullptr; })) << "40500 opened no editor";
    HWND text = GetDlgItem(editor, 201);
    EXPECT_TRUE(WaitFor([&] { return Text(text).find(selected) != std::wstring::npos; })) << Narrow(Text(text));
    CloseWithoutSaving(editor, nullptr);
    EXPECT_EQ(run.Exit(frame), 0);
}

}  // namespace
