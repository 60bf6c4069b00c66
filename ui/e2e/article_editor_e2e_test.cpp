// The article editor in the running program: a new article (40067) typed
// line by line into its rich text through WM_CHAR, a kind set with F5,
// the problems box read with WM_GETTEXT, the margin's kind colours sampled,
// Save, and the saved headword found again in the reading list; edited twice
// from the list, still one article under the reading; the last
// editor to close writes its rectangle to [Editor].
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>

#include "ui/e2e/editor_windows.h"
#include "ui/e2e/program_session.h"

namespace {

struct EditorSearch {
    std::wstring start;
    HWND found = nullptr;
};

BOOL CALLBACK MatchEditor(HWND window, LPARAM context) {
    auto* s = reinterpret_cast<EditorSearch*>(context);
    wchar_t caption[256] = {};
    GetWindowTextW(window, caption, 256);
    if (IsWindowVisible(window) && std::wstring(caption).rfind(s->start, 0) == 0) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

// The program's top-level editor window (its caption starts so), null when none.
HWND FindEditor(const std::wstring& captionStart) {
    EditorSearch search{captionStart};
    EnumWindows(MatchEditor, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForEditor(const std::wstring& captionStart, bool present) {
    HWND editor = nullptr;
    for (int i = 0; i < 200; ++i) {
        editor = FindEditor(captionStart);
        if ((editor != nullptr) == present) break;
        Sleep(50);
    }
    return editor;
}

std::wstring Text(HWND window) {
    wchar_t text[1024] = {};
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

// Characters as WM_CHAR; a CR as the Enter key, which breaks the paragraph.
void Type(HWND control, const std::wstring& text) {
    for (wchar_t c : text) {
        if (c == L'\r') PostMessageW(control, WM_KEYDOWN, VK_RETURN, 1);
        else PostMessageW(control, WM_CHAR, c, 1);
    }
}

// Waits until the problems box reads `expected`.
std::wstring WaitForProblems(HWND problems, const std::wstring& expected) {
    std::wstring text;
    for (int i = 0; i < 100 && (text = Text(problems)) != expected; ++i) Sleep(50);
    return text;
}

// Pixels of the screen column at `x` (client coordinates of `window`) in `colour`.
int PixelsInColumn(HWND window, int x, COLORREF colour) {
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    HDC screen = GetDC(nullptr);
    int count = 0;
    for (int y = 0; y < client.bottom; ++y)
        if (GetPixel(screen, origin.x + x, origin.y + y) == colour) ++count;
    ReleaseDC(nullptr, screen);
    return count;
}

TEST(ArticleEditor, ANewArticleTypedAndSavedIsListed) {
    TestFolders folders = PrepareTest(L"ArticleEditor.NewArticle");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    PostMessageW(frame, WM_COMMAND, 40067, 0);
    HWND editor = WaitForEditor(L"New Article of \"", true);
    ASSERT_NE(editor, nullptr) << "40067 opens an editor on the personal dictionary";
    HWND text = GetDlgItem(editor, 201);
    HWND problems = GetDlgItem(editor, 1300);
    ASSERT_NE(text, nullptr);
    ASSERT_NE(problems, nullptr);

    // A reading, a word in kanji, then a line set to a translation with F5.
    Type(text, L"\x3042\x3044\r\x611B\r");
    EXPECT_EQ(WaitForProblems(problems, L"Translation missed\r\n"), L"Translation missed\r\n");
    Type(text, L"\x3042\x3044\x3059\x308B");  // kana after a word: classified as a translation
    EXPECT_EQ(WaitForProblems(problems, L""), L"");
    Type(text, L"\rtest of the editor");
    PostMessageW(text, WM_KEYDOWN, VK_F5, 1);
    EXPECT_EQ(WaitForProblems(problems, L""), L"");

    // The margin shows the reading and the word in their colours.
    RedrawWindow(editor, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(300);
    EXPECT_GT(PixelsInColumn(editor, 15, RGB(0xFF, 0xA3, 0xA7)), 5) << "the reading's ellipse (0xA7A3FF)";
    EXPECT_GT(PixelsInColumn(editor, 15, RGB(0x99, 0xD9, 0xEA)), 5) << "the word's ellipse (0xEAD999)";
    SaveScreenshot(folders.root + L"\\editor.png");

    PostMessageW(editor, WM_COMMAND, 1362, 0);  // Save
    EXPECT_EQ(WaitForEditor(L"New Article of \"", false), nullptr) << "a saved article closes its editor";

    // The saved article's reading is listed.
    HWND input = FindChild(frame, L"RichEdit20W", 202);
    ASSERT_NE(input, nullptr);
    Type(input, L"\x3042\x3044");
    std::map<std::wstring, std::wstring> state;
    auto currentReading = [&] {
        state = run.QueryState(frame);
        const int current = std::stoi(state[L"current"]), top = std::stoi(state[L"top"]);
        return state[L"cell." + std::to_wstring(current - top) + L".0"];
    };
    for (int i = 0; i < 100 && currentReading() != L"\x3042\x3044"; ++i) Sleep(50);
    EXPECT_EQ(currentReading(), L"\x3042\x3044");

    // Edited twice from the list (40064): the dictionary still lists one article under the reading.
    for (const wchar_t* added : {L"\rsecond version", L"\rthird version"}) {
        PostMessageW(frame, WM_COMMAND, 40064, 0);
        HWND edit = WaitForEditor(L"Edit Article of \"", true);
        ASSERT_NE(edit, nullptr) << "40064 opens the current row's article";
        HWND editText = GetDlgItem(edit, 201);
        for (int i = 0; i < 100 && Text(editText).empty(); ++i) Sleep(50);
        EXPECT_NE(Text(editText).find(L"test of the editor"), std::wstring::npos) << "the stored lines are loaded";
        SendMessageW(editText, EM_SETSEL, -1, -1);
        Type(editText, added);
        for (int i = 0; i < 100 && Text(editText).find(added + 1) == std::wstring::npos; ++i) Sleep(50);
        EXPECT_NE(Text(editText).find(added + 1), std::wstring::npos) << "typed: " << Text(editText).size();
        PostMessageW(edit, WM_COMMAND, 1362, 0);
        EXPECT_EQ(WaitForEditor(L"Edit Article of \"", false), nullptr);
    }
    state = run.QueryState(frame);
    EXPECT_EQ(state[L"rows"], L"1") << "one version of the article";

    // Opened again: closing asks to save when bold, italic or a line kind is
    // the only change, and asks nothing when nothing changed.
    struct OnlyChange {
        UINT command;  // 0: none
        const wchar_t* what;
    };
    for (OnlyChange change : {OnlyChange{0, L"nothing"}, OnlyChange{40625, L"bold"}, OnlyChange{40624, L"italic"},
                              OnlyChange{40619, L"the last line made an example"}}) {
        PostMessageW(frame, WM_COMMAND, 40064, 0);
        HWND edit = WaitForEditor(L"Edit Article of \"", true);
        ASSERT_NE(edit, nullptr);
        HWND editText = GetDlgItem(edit, 201);
        for (int i = 0; i < 100 && Text(editText).find(L"third version") == std::wstring::npos; ++i) Sleep(50);
        if (change.command == 40619) SendMessageW(editText, EM_SETSEL, -1, -1);  // the caret on the last line
        else SendMessageW(editText, EM_SETSEL, 0, -1);
        if (change.command) SendMessageW(edit, WM_COMMAND, change.command, 0);
        PostMessageW(edit, WM_COMMAND, IDCANCEL, 0);
        HWND question = editor_windows::WaitForBox(L"Save changes?", change.command ? 100 : 20);
        EXPECT_EQ(question != nullptr, change.command != 0) << change.what;
        if (question) editor_windows::CloseBox(question, IDNO);
        EXPECT_EQ(WaitForEditor(L"Edit Article of \"", false), nullptr) << change.what;
    }

    // Exit with a changed article open: a click on the main window under the
    // question leaves the question over its editor and the editor over the
    // main window, where the user can still answer.
    PostMessageW(frame, WM_COMMAND, 40064, 0);
    HWND edit = WaitForEditor(L"Edit Article of \"", true);
    ASSERT_NE(edit, nullptr);
    HWND editText = GetDlgItem(edit, 201);
    for (int i = 0; i < 100 && Text(editText).find(L"third version") == std::wstring::npos; ++i) Sleep(50);
    SendMessageW(editText, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_COMMAND, 40625, 0);  // bold
    PostMessageW(frame, WM_COMMAND, 40001, 0);  // Exit
    HWND question = editor_windows::WaitForBox(L"Save changes?");
    ASSERT_NE(question, nullptr) << "Exit did not ask about the changed article";
    EXPECT_EQ(GetWindow(question, GW_OWNER), edit);
    RECT frameRect{}, editRect{}, questionRect{};
    GetWindowRect(frame, &frameRect);
    GetWindowRect(edit, &editRect);
    GetWindowRect(question, &questionRect);
    POINT bare{-1, -1};  // a point of the main window neither covers
    for (LONG y = frameRect.top + 40; y < frameRect.bottom && bare.x < 0; y += 20)
        for (LONG x = frameRect.left + 10; x < frameRect.right && bare.x < 0; x += 20)
            if (!PtInRect(&editRect, POINT{x, y}) && !PtInRect(&questionRect, POINT{x, y})) bare = POINT{x, y};
    ASSERT_GE(bare.x, 0) << "the editor covers the whole main window";
    // A plain click, as a user's: nothing brings the main window forward first.
    SetCursorPos(bare.x, bare.y);
    INPUT click[2]{};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, click, sizeof(INPUT));
    Sleep(500);  // what the click would raise, it raises at once
    auto onTop = [](HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        return GetAncestor(WindowFromPoint(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}), GA_ROOT) == window;
    };
    EXPECT_TRUE(onTop(question)) << "the question went behind";
    EXPECT_NE(GetForegroundWindow(), frame) << "the main window came in front of the question";
    SaveScreenshot(folders.root + L"\\exit-question-after-click.png");
    EXPECT_TRUE(editor_windows::CloseBox(question, IDNO));
    EXPECT_EQ(run.WaitForExit(), 0);
    EXPECT_NE(ReadIniString(folders, L"Editor", L"Width"), L"") << "the last editor remembers its rectangle";
    EXPECT_NE(ReadIniString(folders, L"Editor", L"Right"), L"");
}

}  // namespace
