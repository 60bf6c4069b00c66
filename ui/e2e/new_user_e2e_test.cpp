// The window as a new user meets it, through the real program: typing
// survives another program holding the clipboard, kana typed into the input
// box are drawn in a Japanese face, the input box's look-ups fill their
// lists, a long paste does not freeze the window and is cut where the input
// line stops reading, toolbar 3's buttons stay
// reachable at every width, the personal working dictionary stays editable
// over starts, and a dictionary given on the command line is opened.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/tests/test_paths.h"
#include "common/ui_text/ui_text.h"
#include "ui/e2e/edict_slice.h"
#include "ui/e2e/program_session.h"
#include "ui/e2e/machine_pace.h"

namespace {

constexpr int kInputBoxId = 202;

bool WaitFor(const auto& condition, int tries = 100, DWORD pauseMs = 50) {
    for (int i = 0, n = machine_pace::ScaledTries(tries); i < n; ++i) {
        if (condition()) return true;
        Sleep(pauseMs);
    }
    return condition();
}

std::wstring WindowText(HWND window) {
    LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT got = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

std::wstring BinaryDir() {
    std::string binary = BinaryPath();
    std::wstring wide(binary.begin(), binary.end());
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    return wide;
}

// The Linux path of a file on Wine's drive Z:.
std::wstring UnixPath(std::wstring path) {
    if (path.size() > 2 && (path[0] == L'Z' || path[0] == L'z') && path[1] == L':') path.erase(0, 2);
    std::replace(path.begin(), path.end(), L'\\', L'/');
    return path;
}

class NewUser : public testing::Test {
protected:
    void SetUp() override {
        SetProcessDPIAware();
        CloseLeftoverFrames();
    }
    // Starts the program (clipboard monitor off, as other tests use the
    // display's clipboard): its frame, and its input box in `*input`.
    HWND Start(ProgramRun& run, HWND* input) {
        HWND frame = run.WaitForFrameWithoutClipboardMonitor();
        *input = frame ? FindChild(frame, L"RichEdit20W", kInputBoxId) : nullptr;
        return frame;
    }
    // Folders with the EDICT slice in the Dictionaries folder, listed in the
    // settings unless `listed` is false; its path in `*dictionary`.
    TestFolders Prepare(const std::wstring& name, bool listed = true, std::wstring* dictionary = nullptr,
                        const std::wstring& settings = L"[Window]\r\nx=20\r\ny=20\r\ncx=700\r\ncy=560\r\ncy2=300\r\n") {
        TestFolders folders = PrepareTest(name);
        CreateDirectoryW((folders.documents + L"\\OstrelPro").c_str(), nullptr);
        CreateDirectoryW(folders.DictionariesFolder().c_str(), nullptr);
        std::wstring target = (listed ? folders.DictionariesFolder() : folders.root) + L"\\edict-slice.qdx";
        EXPECT_TRUE(CopyFileW((BinaryDir() + L"\\ui\\e2e-data\\edict-slice.qdx").c_str(), target.c_str(), FALSE));
        if (dictionary) *dictionary = target;
        WriteSettings(folders, settings + (listed ? L"[Dictionaries]\r\nFile1=" + target + L",0\r\n" : L""));
        return folders;
    }
};

// An X client of its own owns the clipboard (xclip started as a Unix
// program): Wine then announces the unchanged clipboard again and again.
TEST_F(NewUser, AnotherProgramsClipboardNeverWipesTyping) {
    TestFolders folders = Prepare(L"NewUser.Clipboard");
    std::wstring source = folders.root + L"\\clip.txt";
    FILE* file = _wfopen(source.c_str(), L"wb");
    ASSERT_NE(file, nullptr);
    std::fputs("\xE3\x81\xAD\xE3\x81\x93", file);  // ねこ in UTF-8
    std::fclose(file);
    // In the foreground (-quiet) until another client takes the clipboard.
    std::wstring command = L"/usr/bin/xclip -selection clipboard -quiet \"" + UnixPath(source) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION owner{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &owner))
        << "xclip could not be started";
    // The clipboard the program meets at its start is held by xclip.
    auto clipboardHolds = [](const std::wstring& text) {
        std::wstring held;
        if (!OpenClipboard(nullptr)) return false;
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            held = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
        return held == text;
    };
    ASSERT_TRUE(WaitFor([&] { return clipboardHolds(L"\u306D\u3053"); }));

    ProgramRun run;
    HWND frame = run.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    HWND input = FindChild(frame, L"RichEdit20W", kInputBoxId);
    ASSERT_NE(input, nullptr);
    for (wchar_t c : std::wstring(L"abc")) PostMessageW(input, WM_CHAR, c, 1);
    ASSERT_TRUE(WaitFor([&] { return WindowText(input) == L"abc"; }));
    // Ten seconds of the clipboard held elsewhere: the typed text stays.
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(WindowText(input), L"abc") << "after " << i * 100 << " ms";
        Sleep(100);
    }
    // A real change of the clipboard is still searched.
    ASSERT_TRUE(PutClipboardText(L"\u3044\u306C"));
    EXPECT_TRUE(WaitFor([&] { return WindowText(input) == L"\u3044\u306C"; })) << Narrow(WindowText(input));
    EXPECT_EQ(run.Exit(frame), 0);
    CloseHandle(owner.hProcess);
    CloseHandle(owner.hThread);
}

// The input box's menu: the three look-ups grey without a selection, and
// with one each fills its own list with the selected word.
TEST_F(NewUser, InputMenuLookUpsFillTheirLists) {
    Prepare(L"NewUser.InputLookUps");
    ProgramRun run;
    HWND input = nullptr;
    HWND frame = Start(run, &input);
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(input, nullptr);
    // The menu as the program would show it now.
    auto lookUpStates = [&] {
        auto state = run.QueryState(frame);
        return state[L"inputMenu.40167"] + state[L"inputMenu.40169"] + state[L"inputMenu.40171"];
    };
    EXPECT_EQ(lookUpStates(), L"000") << "greyed without a selection";

    std::vector<SliceEntry> slice = ReadSlice();
    ASSERT_GT(slice.size(), 100u) << "the EDICT slice was not made";
    const std::wstring word(slice[slice.size() / 2].reading.begin(), slice[slice.size() / 2].reading.end());
    std::wstring english;  // the first word of a meaning, for the full-text search
    for (const std::u16string& gloss : slice[slice.size() / 2].glosses)
        if (english.empty()) english.assign(gloss.begin(), std::find(gloss.begin(), gloss.end(), u' '));
    for (wchar_t c : word) PostMessageW(input, WM_CHAR, c, 1);
    // Typed, and searched for: the search would move the selection made before it.
    ASSERT_TRUE(WaitFor([&] {
        auto state = run.QueryState(frame);
        int current = std::stoi(state[L"current"]), top = std::stoi(state[L"top"]);
        return state[L"cell." + std::to_wstring(current - top) + L".0"] == word;
    }));
    SendMessageW(input, EM_SETSEL, 0, -1);
    EXPECT_EQ(lookUpStates(), L"111");

    struct LookUp {
        UINT command;
        const wchar_t* kind;
    };
    for (LookUp lookUp : {LookUp{40171, L"1"}, LookUp{40167, L"2"}}) {
        SendMessageW(frame, WM_COMMAND, 40004, 0);
        SendMessageW(input, EM_SETSEL, 0, -1);
        PostMessageW(frame, WM_COMMAND, lookUp.command, reinterpret_cast<LPARAM>(input));
        std::map<std::wstring, std::wstring> state;
        EXPECT_TRUE(WaitFor([&] {
            state = run.QueryState(frame);
            return state[L"kind"] == lookUp.kind && state[L"rows"] != L"0";
        })) << lookUp.command << " kind " << Narrow(state[L"kind"]) << " rows " << Narrow(state[L"rows"]);
    }
    // Full-text search: the first word of the entry's meaning.
    // The new text posts its search-as-you-type, which moves the caret: the
    // selection is posted behind it, as a user's would come after it.
    SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(english.c_str()));
    PostMessageW(input, EM_SETSEL, 0, -1);
    PostMessageW(frame, WM_COMMAND, 40169, reinterpret_cast<LPARAM>(input));
    std::map<std::wstring, std::wstring> state;
    EXPECT_TRUE(WaitFor([&] {
        state = run.QueryState(frame);
        return state[L"kind"] == L"14" && state[L"rows"] != L"0";
    })) << Narrow(english) << ": kind " << Narrow(state[L"kind"]) << " rows " << Narrow(state[L"rows"]);
    EXPECT_EQ(run.Exit(frame), 0);
}

// The rectangles of a toolbar's buttons or a tab strip's tabs in its client
// coordinates, asked with the control's count and rectangle messages.
std::vector<RECT> ItemRects(HWND control, UINT countMessage, UINT rectMessage) {
    std::vector<RECT> rects;
    RemoteMemory memory(control, sizeof(RECT));
    LRESULT count = SendMessageW(control, countMessage, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        RECT rect{};
        if (SendMessageW(control, rectMessage, i, memory.At(0))) memory.Read(0, &rect, sizeof(rect));
        rects.push_back(rect);
    }
    return rects;
}

// Toolbar 3's two buttons lie inside the toolbar and right of the input box
// at every width, and a click on Clear input clears it.
TEST_F(NewUser, InputToolbarButtonsStayVisibleAndClickable) {
    TestFolders folders = Prepare(L"NewUser.Toolbar3");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    HWND toolbar = FindChild(frame, TOOLBARCLASSNAMEW, 3);
    HWND input = FindChild(frame, L"RichEdit20W", kInputBoxId);
    ASSERT_NE(toolbar, nullptr);
    ASSERT_NE(input, nullptr);
    for (int width : {400, 800, 1200}) {
        SetWindowPos(frame, nullptr, 10, 10, width, 560, SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(run.WaitForPostedMessages(frame)) << width;  // laid out for the width
        RECT client{}, box{};
        GetClientRect(toolbar, &client);
        GetWindowRect(input, &box);
        MapWindowPoints(nullptr, toolbar, reinterpret_cast<POINT*>(&box), 2);
        std::vector<RECT> buttons = ItemRects(toolbar, TB_BUTTONCOUNT, TB_GETITEMRECT);
        ASSERT_EQ(buttons.size(), 2u);
        for (const RECT& button : buttons) {
            EXPECT_GE(button.left, box.right) << width << ": a button under the input box";
            EXPECT_LE(button.right, client.right) << width << ": a button past the toolbar's end";
            EXPECT_GT(button.right - button.left, 10) << width;
        }
        SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"abc"));
        // A click on the middle of Clear input, where the user would click.
        POINT at{(buttons[0].left + buttons[0].right) / 2, (buttons[0].top + buttons[0].bottom) / 2};
        EXPECT_EQ(ChildWindowFromPoint(toolbar, at), toolbar) << width << ": the input box covers the button";
        PostMessageW(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        PostMessageW(toolbar, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        EXPECT_TRUE(WaitFor([&] { return WindowText(input).empty(); })) << width;
        EXPECT_TRUE(WaitUntilDrawn(frame)) << width;
        SaveScreenshot(folders.root + L"\\toolbar3_" + std::to_wstring(width) + L".png");
    }
    EXPECT_EQ(run.Exit(frame), 0);
}

// The personal dictionary made at the first start is still the editable
// working dictionary at the third.
TEST_F(NewUser, WorkingDictionaryStaysEditableOverStarts) {
    TestFolders folders = Prepare(L"NewUser.Working");
    std::wstring personal = folders.DictionariesFolder() + L"\\Personal.qdx";
    for (int start = 1; start <= 3; ++start) {
        ProgramRun run;
        HWND frame = run.WaitForFrameWithoutClipboardMonitor();
        ASSERT_NE(frame, nullptr) << "start " << start;
        HWND toolbar = FindChild(frame, TOOLBARCLASSNAMEW, 1);
        ASSERT_NE(toolbar, nullptr);
        EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONENABLED, 40067, 0)) << "new article, start " << start;
        EXPECT_EQ(run.Exit(frame), 0);
        EXPECT_EQ(ReadIniString(folders, L"Dictionaries", L"Working"), personal) << "start " << start;
    }
}

// A dictionary named on the command line opens at the head of the shelf and
// is kept in the dictionary list.
TEST_F(NewUser, ADictionaryArgumentIsOpened) {
    std::wstring dictionary;
    TestFolders folders = Prepare(L"NewUser.Argument", false, &dictionary);
    {
        ProgramRun run(L"\"" + dictionary + L"\"");
        HWND frame = run.WaitForFrameWithoutClipboardMonitor();
        ASSERT_NE(frame, nullptr);
        auto state = run.QueryState(frame);
        EXPECT_EQ(state[L"dictionaries"], L"2") << "the argument and the personal dictionary";
        EXPECT_EQ(state[L"kind"], L"2");
        EXPECT_GT(std::stoi(state[L"rows"]), 1000);
        EXPECT_EQ(run.Exit(frame), 0);
    }
    std::wstring slots = ReadIniString(folders, L"Dictionaries", L"File1") + L"|" +
                         ReadIniString(folders, L"Dictionaries", L"File2");
    EXPECT_NE(slots.find(dictionary), std::wstring::npos) << Narrow(slots);
}

// The dark pixels of a window's client area as a bit string, left to right.
std::vector<bool> Ink(HWND window) {
    RECT box{};
    GetClientRect(window, &box);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&box), 2);
    HDC screen = GetDC(nullptr);
    std::vector<bool> ink;
    for (LONG y = box.top; y < box.bottom; ++y)
        for (LONG x = box.left; x < box.left + 40 && x < box.right; ++x) {
            COLORREF c = GetPixel(screen, x, y);
            ink.push_back(GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128);
        }
    ReleaseDC(nullptr, screen);
    return ink;
}

// Kana typed into the input box (run also under LANG=C.UTF-8, where Wine's
// default faces have no kana) take the Japanese face and are drawn as
// themselves: two different kana ink differently, where empty boxes would
// ink alike. The Japanese menus are left as a screenshot.
TEST_F(NewUser, KanaTypedAreDrawnInAJapaneseFace) {
    TestFolders folders = Prepare(L"NewUser.KanaTyped");
    ProgramRun run;
    HWND input = nullptr;
    HWND frame = Start(run, &input);
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(input, nullptr);
    std::vector<std::vector<bool>> drawn;
    for (wchar_t kana : {L'\u3042', L'\u306D'}) {  // あ, ね
        SendMessageW(frame, WM_COMMAND, 40034, 0);  // delete all
        PostMessageW(input, WM_CHAR, kana, 1);
        ASSERT_TRUE(WaitFor([&] { return WindowText(input) == std::wstring(1, kana); }));
        ASSERT_TRUE(run.WaitForPostedMessages(frame));  // the search the kana posted has run
        CHARFORMAT2W format = RemoteCharFormat(input, {0, 1});
        EXPECT_EQ(format.bCharSet, SHIFTJIS_CHARSET) << "the typed kana's character set";
        EXPECT_NE(std::wstring(format.szFaceName), L"Arial") << "the typed kana's face";
        SendMessageW(input, EM_SETSEL, 1, 1);
        RedrawWindow(input, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Sleep(200);
        drawn.push_back(Ink(input));
        SaveScreenshot(folders.root + L"\\typed_kana_" + std::to_wstring(drawn.size()) + L".png");
    }
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_GT(std::count(drawn[0].begin(), drawn[0].end(), true), 10) << "no ink";
    EXPECT_NE(drawn[0], drawn[1]) << "two kana drawn alike: empty boxes";

    // The Japanese interface, then the application menu (posted in that order).
    PostMessageW(frame, WM_COMMAND, 40141, 0);
    PostMessageW(frame, WM_COMMAND, 40671, 0);
    HWND menu = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (menu = FindWindowW(L"#32768", nullptr)) != nullptr && IsWindowVisible(menu); }) &&
                WaitUntilDrawn(menu))
        << "the application menu is not drawn";
    SaveScreenshot(folders.root + L"\\japanese_menu.png");
    if (menu) PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(run.Exit(frame), 0);
}

// A 10,000-character paste and keystrokes with 1,000 characters in the box:
// each takes what the window spends on it, the search aside (it is posted).
// The box keeps the 1,023 characters the input line reads and says so.
TEST_F(NewUser, ALongPasteAndTypingAfterItStayQuick) {
    Prepare(L"NewUser.LongPaste");
    ProgramRun run;
    HWND input = nullptr;
    HWND frame = Start(run, &input);
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(input, nullptr);
    std::wstring text;
    for (int i = 0; text.size() < 10000; ++i) text += i % 3 ? L"\u306D\u3053\u732B " : L"cat dog ";
    text.resize(10000);
    ASSERT_TRUE(PutClipboardText(text));
    using Clock = std::chrono::steady_clock;
    auto started = Clock::now();
    PostMessageW(frame, WM_COMMAND, 40025, 0);
    HWND box = WaitForDialogOf(frame);
    ASSERT_NE(box, nullptr) << "the cut paste said nothing";
    double pastedMs = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    started = Clock::now();
    RedrawWindow(input, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    double paintMs = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
    std::printf("pasted (cut at 1,023) in %.1f ms, repainted in %.1f ms\n", pastedMs, paintMs);
    EXPECT_EQ(SendMessageW(input, WM_GETTEXTLENGTH, 0, 0), 1023);
    // Its kana in the Japanese face, its Latin letters not.
    EXPECT_EQ(RemoteCharFormat(input, {8, 9}).bCharSet, SHIFTJIS_CHARSET);
    EXPECT_NE(RemoteCharFormat(input, {0, 1}).bCharSet, SHIFTJIS_CHARSET);
    EXPECT_LT(pastedMs + paintMs, machine_pace::ScaledMs(3000));  // seconds before; the bound grows with the load

    SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.substr(0, 1000).c_str()));
    std::vector<double> keys;
    for (int i = 0; i < 21; ++i) {
        SendMessageW(input, EM_SETSEL, 1000, 1000);
        started = Clock::now();
        SendMessageW(input, WM_CHAR, L'a' + i % 26, 1);
        keys.push_back(std::chrono::duration<double, std::milli>(Clock::now() - started).count());
    }
    std::sort(keys.begin(), keys.end());
    std::printf("keystroke with 1,000 characters in the box: median %.1f ms, slowest %.1f ms\n", keys[10], keys.back());
    EXPECT_LT(keys[10], machine_pace::ScaledMs(300));
    EXPECT_EQ(SendMessageW(input, WM_GETTEXTLENGTH, 0, 0), 1021);
    EXPECT_EQ(run.Exit(frame), 0);
}

// Contents (and F1) without a help file next to the program says so: the
// program is run from a folder of its own, as the build puts its help files
// beside it.
TEST_F(NewUser, HelpWithoutAHelpFileSaysSo) {
    TestFolders folders = Prepare(L"NewUser.Help");
    const std::wstring program = folders.root + L"\\OstrelPro.exe";
    ASSERT_TRUE(CopyFileW((BinaryDir() + L"\\OstrelPro.exe").c_str(), program.c_str(), FALSE));
    ProgramRun run(L"", {}, program);
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    SetUILanguage(static_cast<uint32_t>(std::stoi(run.QueryState(frame)[L"language"])));
    const wchar_t* caption = reinterpret_cast<const wchar_t*>(UIStringTable[167]);
    PostMessageW(frame, WM_COMMAND, 40117, 0);
    HWND box = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (box = FindWindowW(L"#32770", caption)) != nullptr; })) << "no message";
    if (box) PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return FindWindowW(L"#32770", caption) == nullptr; }));
    EXPECT_EQ(run.Exit(frame), 0);
}

// The shown tooltip's text, empty when none is shown.
std::wstring ShownTooltip() {
    std::wstring shown;
    for (HWND tip = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); tip && shown.empty();
         tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr))
        if (IsWindowVisible(tip)) shown = WindowText(tip) + L"|";
    return shown;
}

// At the first-run width every tab shows, the Translation tab first; with
// hints near buttons off, a toolbar button shows its tooltip.
TEST_F(NewUser, AllTabsShowAndAButtonHasItsTooltip) {
    // Both slices: all eight tabs, at the width of a first run.
    TestFolders folders = PrepareTest(L"NewUser.Tooltips");
    CreateDirectoryW((folders.documents + L"\\OstrelPro").c_str(), nullptr);
    CreateDirectoryW(folders.DictionariesFolder().c_str(), nullptr);
    std::wstring slots = L"[View]\r\nBigHints=0\r\n[Dictionaries]\r\n";
    int slot = 0;
    for (const wchar_t* name : {L"edict-slice.qdx", L"kanjidic-slice.qdx"}) {
        std::wstring target = folders.DictionariesFolder() + L"\\" + name;
        ASSERT_TRUE(CopyFileW((BinaryDir() + L"\\ui\\e2e-data\\" + name).c_str(), target.c_str(), FALSE));
        slots += L"File" + std::to_wstring(++slot) + L"=" + target + L",0\r\n";
    }
    WriteSettings(folders, slots);
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    HWND tabs = FindChild(frame, WC_TABCONTROLW, 0);
    if (!tabs) tabs = FindWindowExW(frame, nullptr, WC_TABCONTROLW, nullptr);
    ASSERT_NE(tabs, nullptr);
    RECT strip{};
    GetClientRect(tabs, &strip);
    std::vector<RECT> rects = ItemRects(tabs, TCM_GETITEMCOUNT, TCM_GETITEMRECT);
    ASSERT_EQ(rects.size(), 8u);
    for (size_t i = 0; i < rects.size(); ++i) {
        EXPECT_GE(rects[i].left, 0) << "tab " << i;
        EXPECT_LE(rects[i].right, strip.right) << "tab " << i;
    }
    HWND scroller = FindWindowExW(tabs, nullptr, UPDOWN_CLASSW, nullptr);
    EXPECT_FALSE(scroller && IsWindowVisible(scroller)) << "the strip scrolls";
    SaveScreenshot(folders.root + L"\\first_run_tabs.png");

    HWND toolbar = FindChild(frame, TOOLBARCLASSNAMEW, 2);
    ASSERT_NE(toolbar, nullptr);
    RECT button = ItemRects(toolbar, TB_BUTTONCOUNT, TB_GETITEMRECT).at(0);  // Search
    POINT at{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    ClientToScreen(toolbar, &at);
    SetCursorPos(at.x - 2, at.y);
    Sleep(50);
    SetCursorPos(at.x, at.y);
    std::wstring tip;
    SetUILanguage(static_cast<uint32_t>(std::stoi(run.QueryState(frame)[L"language"])));
    const std::wstring search = reinterpret_cast<const wchar_t*>(FindMenuCommandTitle(40010));
    EXPECT_TRUE(WaitFor([&] { return (tip = ShownTooltip()) == search + L"|"; })) << "toolbar tooltip " << Narrow(tip);
    SaveScreenshot(folders.root + L"\\toolbar_tooltip.png");
    EXPECT_EQ(run.Exit(frame), 0);
}

// A damaged dictionary given on the command line (its file cut in half) is
// refused with the engine's message and stays closed.
TEST_F(NewUser, ADamagedDictionaryArgumentIsRefusedWithTheEnginesMessage) {
    std::wstring dictionary;
    TestFolders folders = Prepare(L"NewUser.Damaged", false, &dictionary);
    HANDLE file = CreateFileW(dictionary.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    size.QuadPart /= 2;
    SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
    ProgramRun run(L"\"" + dictionary + L"\"");
    HWND box = nullptr;
    const bool refused = WaitFor([&] {
        for (HWND w = FindWindowW(L"#32770", nullptr); w && !box; w = FindWindowExW(nullptr, w, L"#32770", nullptr))
            if (IsWindowVisible(w)) box = w;
        return box != nullptr;
    }, 200);
    ASSERT_TRUE(refused) << "no message";
    // "Cannot open dictionary" in whichever language the first run chose.
    std::set<std::wstring> captions;
    for (uint32_t language : {0u, 1u, 2u}) {
        SetUILanguage(language);
        captions.insert(reinterpret_cast<const wchar_t*>(UIStringTable[542]));
    }
    EXPECT_EQ(captions.count(WindowText(box)), 1u) << Narrow(WindowText(box));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    // On the shelf, closed: no list of blank rows.
    auto state = run.QueryState(frame);
    EXPECT_EQ(state[L"dictionaries"], L"2") << "the damaged one and the personal dictionary";
    EXPECT_EQ(state[L"rows"], L"0");
    EXPECT_EQ(run.Exit(frame), 0);
}

}  // namespace
