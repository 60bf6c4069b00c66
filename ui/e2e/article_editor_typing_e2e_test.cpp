// The article editor under a user's keys, in the real program: text typed one
// key at a time is on screen as it is typed (no select-all to repaint it), in
// real glyphs of every script, and a copy puts exactly the selected text on
// the clipboard. A screenshot of the editor is kept in the test's folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "common/win/tests/key_typing.h"
#include "common/win/tests/screen_ink.h"
#include "ui/e2e/program_session.h"

namespace {

constexpr int kTextId = 201;
constexpr UINT kNewArticle = 40067;

bool WaitFor(const auto& condition, int tries = 100, DWORD pauseMs = 50) {
    for (int i = 0; i < tries; ++i) {
        if (condition()) return true;
        Sleep(pauseMs);
    }
    return condition();
}

struct EditorSearch {
    DWORD process = 0;
    HWND found = nullptr;
};

BOOL CALLBACK MatchEditor(HWND window, LPARAM context) {
    auto* s = reinterpret_cast<EditorSearch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (IsWindowVisible(window) && GetDlgItem(window, kTextId) && GetDlgItem(window, 1300)) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

// The program's editor window (its text control and problems box), null when none.
HWND FindEditorWindow() {
    EditorSearch search;
    EnumWindows(MatchEditor, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring Text(HWND window) {
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

// The first line of the text control, where typing starts.
RECT FirstLine(HWND text) {
    RECT client{};
    GetClientRect(text, &client);
    return {0, 0, std::min<LONG>(client.right, 200), std::min<LONG>(client.bottom, 24)};
}

// The x of the caret after the last character (client coordinates of `text`).
int CaretX(HWND text) {
    RemoteMemory point(text, sizeof(POINTL));
    const LRESULT length = SendMessageW(text, WM_GETTEXTLENGTH, 0, 0);
    POINTL at{};
    if (!point.Valid()) return 0;
    SendMessageW(text, EM_POSFROMCHAR, static_cast<WPARAM>(point.At(0)), length);
    point.Read(0, &at, sizeof at);
    return at.x;
}

// The ink of the first line without the blinking caret's columns.
screen_ink::Ink LineInk(HWND text) {
    const RECT line = FirstLine(text);
    screen_ink::Ink ink = screen_ink::InkOf(text, &line);
    const int caret = CaretX(text);
    for (int y = 0; y < ink.height; ++y)
        for (int x = std::max(0, caret - 3); x < std::min(ink.width, caret + 4); ++x) ink.marked[y * ink.width + x] = false;
    return ink;
}

// The whole CF_UNICODETEXT block of the clipboard, every unit of it.
std::wstring ClipboardBlock() {
    std::wstring block;
    if (!WaitFor([] { return OpenClipboard(nullptr) != FALSE; }, 100, 20)) return L"(no clipboard)";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        const auto* units = static_cast<const wchar_t*>(GlobalLock(data));
        const size_t size = GlobalSize(data) / sizeof(wchar_t);
        if (units) block.assign(units, size);
        GlobalUnlock(data);
    }
    CloseClipboard();
    return block;
}

// Answers the program's message box captioned `caption` with `button` (IDYES,
// IDNO, IDCANCEL); false when no such box came.
bool AnswerBox(const std::wstring& caption, int button, int tries = 40) {
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = FindWindowW(L"#32770", caption.c_str())) != nullptr; }, tries)) return false;
    PostMessageW(box, WM_COMMAND, button, 0);
    return WaitFor([&] { return !IsWindow(box); });
}

void PressWithControl(WORD key) {
    INPUT keys[4] = {};
    for (INPUT& k : keys) k.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = VK_CONTROL;
    keys[1].ki.wVk = key;
    keys[2].ki.wVk = key;
    keys[2].ki.dwFlags = KEYEVENTF_KEYUP;
    keys[3].ki.wVk = VK_CONTROL;
    keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, keys, sizeof(INPUT));
}

TEST(ArticleEditorTyping, TypedTextIsDrawnInRealGlyphsAndCopiedExactly) {
    TestFolders folders = PrepareTest(L"ArticleEditorTyping.Glyphs");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    PostMessageW(frame, WM_COMMAND, kNewArticle, 0);
    HWND editor = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (editor = FindEditorWindow()) != nullptr; }));
    HWND text = GetDlgItem(editor, kTextId);
    Sleep(300);
    ASSERT_EQ(LineInk(text).Count(), 0u) << "a new article starts empty";

    // Each key shows at once, where it is typed.
    screen_ink::Ink before = LineInk(text);
    for (wchar_t c : std::wstring(L"puella")) {
        ASSERT_TRUE(key_typing::TypeKeys(text, std::wstring(1, c), 150));
        screen_ink::Ink after;
        EXPECT_TRUE(WaitFor([&] { return (after = LineInk(text)).Count() > before.Count(); }, 20))
            << "typed '" << char(c) << "' is not on screen";
        before = after;
    }
    EXPECT_EQ(Text(text), L"puella");

    // Typed characters of every script are glyphs, not boxes.
    auto draw = [&](const std::wstring& sample) {
        while (!Text(text).empty()) {
            key_typing::PressKey(VK_BACK);
            Sleep(30);
        }
        key_typing::TypeKeys(text, sample, 100);
        WaitFor([&] { return Text(text) == sample; }, 40);
        Sleep(250);
        return LineInk(text);
    };
    EXPECT_TRUE(screen_ink::DrawsRealGlyphs(draw));

    // A copy holds the selected text and nothing after it.
    draw(L"");
    const std::wstring typed = L"\u732B\u3068\r\npuella";
    ASSERT_TRUE(key_typing::TypeKeys(text, L"\u732B\u3068", 60));
    key_typing::PressKey(VK_RETURN);
    ASSERT_TRUE(key_typing::TypeKeys(text, L"puella", 60));
    ASSERT_TRUE(WaitFor([&] { return Text(text) == typed; })) << Text(text).size();
    screen_ink::SaveScreenshot(folders.root + L"\\editor_typed.png");
    PressWithControl('A');
    Sleep(200);
    // Ctrl+C, then the toolbar's Copy.
    for (int copy = 0; copy < 2; ++copy) {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        if (copy == 0) PressWithControl('C');
        else PostMessageW(editor, WM_COMMAND, 40033, 0);
        Sleep(300);  // the clipboard is the program's while it copies
        std::wstring copied;
        EXPECT_TRUE(WaitFor([&] { return (copied = ClipboardBlock()).rfind(typed, 0) == 0; })) << copy;
        EXPECT_EQ(copied.substr(0, copied.find(L'\0')), typed) << copy;
        EXPECT_EQ(copied.find_first_not_of(L'\0', typed.size()), std::wstring::npos)
            << "only the terminator follows the text: " << copied.size() << " units; copy " << copy;
    }

    PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);
    AnswerBox(L"Save changes?", IDNO);
    EXPECT_TRUE(WaitFor([] { return FindEditorWindow() == nullptr; }));
    EXPECT_EQ(run.Exit(frame), 0);
}

}  // namespace
