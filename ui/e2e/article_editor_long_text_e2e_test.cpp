// The article editor opened with long texts in the real program: 30,000
// characters of mixed Latin, kana, Cyrillic and kanji open on every route
// that fills it (the clipboard, a selection, a stored article, New Window)
// and a large change is undone, each in a bounded time, the program
// answering afterwards; 40,000 characters, more than the editor saves, are
// refused on the clipboard, selection and New Window routes and a stored
// article of that length is shown read-only, each with "The article is too long.".
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <map>
#include <string>

#include "common/win/tests/key_typing.h"
#include "common/win/tests/screen_ink.h"
#include "ui/e2e/edict_slice_session.h"
#include "ui/e2e/editor_windows.h"
#include "ui/e2e/program_session.h"

namespace {

using namespace editor_windows;

constexpr UINT kFromClipboard = 40083, kFromSelection = 40500, kCopyToWorking = 40400;
constexpr int kTooLongText = 202, kTooLongCaption = 203;
// Generous: the program's own time is measured by bench/editor_load.
constexpr DWORD kOpenLimitMs = 15000;

// The long articles' text (ui/e2e/long_articles.py makes the same).
std::wstring Mixed(size_t length) {
    const std::wstring piece = L"lorem ipsum \u732B\u3068 \u043A\u043E\u0448\u043A\u0430 \u306D\u3053 dolor \u8A9E\u5B66 sit amet ";
    std::wstring made;
    while (made.size() < length) made += piece;
    made.resize(length);
    return made;
}

LRESULT Length(HWND control) { return SendMessageW(control, WM_GETTEXTLENGTH, 0, 0); }

// Waits for an editor other than `skip` holding at least `units`; prints how
// long it took from `start`. Null when none came within the limit.
HWND WaitForEditorWith(LRESULT units, DWORD start, const char* route, HWND skip = nullptr) {
    HWND editor = nullptr;
    WaitFor([&] { return (editor = FindEditorWindow(skip)) != nullptr && Length(GetDlgItem(editor, kTextId)) >= units; },
            static_cast<int>(kOpenLimitMs / 50));
    const long shown = editor ? static_cast<long>(Length(GetDlgItem(editor, kTextId))) : -1;
    std::printf("%s: editor with %ld units after %lu ms\n", route, shown, GetTickCount() - start);
    return shown >= units ? editor : nullptr;
}

// The refusal "The article is too long." came, was closed, and no editor
// (other than `open`) opened.
void ExpectRefused(const char* route, HWND open = nullptr) {
    HWND box = WaitForBox(Slot(UILanguage::English, kTooLongCaption), static_cast<int>(kOpenLimitMs / 50));
    ASSERT_NE(box, nullptr) << route << ": not refused";
    EXPECT_EQ(BoxText(box), Slot(UILanguage::English, kTooLongText)) << route;
    EXPECT_TRUE(CloseBox(box, IDOK));
    EXPECT_EQ(FindEditorWindow(open), nullptr) << route << ": an editor opened";
}

void ExpectAnswers(HWND window, const char* what) {
    const long answer = AnswerTime(window, 5000);
    EXPECT_TRUE(answer >= 0 && answer < 2000) << what << " answered after " << answer << " ms";
}

void CloseUnchanged(HWND editor) {
    PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);
    if (HWND question = WaitForBox(Slot(UILanguage::English, 169), 10)) CloseBox(question, IDNO);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(editor); }));
}

// The current row's reading once it is `reading`.
bool ShowReading(ProgramRun& run, HWND frame, const std::wstring& reading) {
    HWND input = FindChild(frame, L"RichEdit20W", 202);
    SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(reading.c_str()));
    return WaitFor([&] {
        std::map<std::wstring, std::wstring> state = run.QueryState(frame);
        if (state[L"current"].empty() || state[L"top"].empty()) return false;
        const int row = std::stoi(state[L"current"]) - std::stoi(state[L"top"]);
        return state[L"cell." + std::to_wstring(row) + L".0"] == reading;
    });
}

TEST(ArticleEditorLongText, ThirtyThousandCharactersOpenOnEveryRouteAndLongerOnesAreRefused) {
    TestFolders folders = PrepareTest(L"ArticleEditorLongText.Routes");
    ProgramRun run;
    HWND frame = StartWithDictionaries(run, folders, {L"long-articles.qdx"});
    ASSERT_NE(frame, nullptr);

    // The clipboard.
    ASSERT_TRUE(PutClipboardText(Mixed(30000)));
    DWORD start = GetTickCount();
    PostMessageW(frame, WM_COMMAND, kFromClipboard, 0);
    HWND editor = WaitForEditorWith(30000, start, "clipboard");
    ASSERT_NE(editor, nullptr) << "no editor with the clipboard's 30,000 characters";
    ExpectAnswers(editor, "the clipboard's editor");
    HWND text = GetDlgItem(editor, kTextId);
    EXPECT_EQ(WindowText(text), Mixed(30000));
    SetForegroundWindow(editor);
    Sleep(300);
    screen_ink::SaveScreenshot(folders.root + L"\\long_editor.png");

    // New Window copies the whole text into a new editor.
    start = GetTickCount();
    PostMessageW(editor, WM_COMMAND, 1017, 0);
    HWND copy = WaitForEditorWith(30000, start, "New Window", editor);
    ASSERT_NE(copy, nullptr) << "New Window did not copy the 30,000 characters";
    ExpectAnswers(copy, "New Window's editor");
    PostMessageW(copy, WM_COMMAND, IDCANCEL, 0);
    if (HWND question = WaitForBox(Slot(UILanguage::English, 169), 40)) CloseBox(question, IDNO);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(copy); }));

    // The whole text deleted, then the deletion undone.
    SendMessageW(text, EM_SETSEL, 0, -1);
    ASSERT_TRUE(key_typing::PressKey(text, VK_DELETE));
    ASSERT_TRUE(WaitFor([&] { return Length(text) == 0; })) << Length(text);
    // Undo takes back the kind the empty line was given, then the deletion.
    start = GetTickCount();
    for (int undo = 0; undo < 3 && Length(text) != 30000; ++undo) {
        PostMessageW(editor, WM_COMMAND, 40622, 0);
        WaitFor([&] { return Length(text) == 30000; }, 20);
    }
    EXPECT_EQ(Length(text), 30000);
    std::printf("undo: %ld units after %lu ms\n", static_cast<long>(Length(text)), GetTickCount() - start);
    ExpectAnswers(editor, "the editor after undo");
    CloseUnchanged(editor);

    ASSERT_TRUE(PutClipboardText(Mixed(40000)));
    PostMessageW(frame, WM_COMMAND, kFromClipboard, 0);
    ExpectRefused("clipboard");
    ExpectAnswers(frame, "the main window after the clipboard's refusal");

    // A stored article of 30,000 characters, copied into the working dictionary.
    ASSERT_TRUE(ShowReading(run, frame, L"\u3061\u3087\u3046\u3076\u3093"));
    start = GetTickCount();
    PostMessageW(frame, WM_COMMAND, kCopyToWorking, 0);
    editor = WaitForEditorWith(30000, start, "stored article");
    ASSERT_NE(editor, nullptr) << "the stored article did not open";
    ExpectAnswers(editor, "the stored article's editor");
    text = GetDlgItem(editor, kTextId);
    EXPECT_NE(WindowText(text).find(Mixed(30000)), std::wstring::npos);

    // Its whole text selected makes a new article (40500 names the window
    // whose selection it takes, as the article view's menu does).
    SendMessageW(text, EM_SETSEL, 0, -1);
    start = GetTickCount();
    PostMessageW(frame, WM_COMMAND, kFromSelection, reinterpret_cast<LPARAM>(text));
    HWND fromSelection = WaitForEditorWith(30000, start, "selection", editor);
    ASSERT_NE(fromSelection, nullptr) << "the selection did not open";
    ExpectAnswers(fromSelection, "the selection's editor");
    CloseUnchanged(fromSelection);
    CloseUnchanged(editor);

    // The stored article of 40,000 opens for reading only, saying why, and
    // its text selected is refused as a new article.
    ASSERT_TRUE(ShowReading(run, frame, L"\u306A\u304C\u3070\u306A\u3057"));
    start = GetTickCount();
    PostMessageW(frame, WM_COMMAND, kCopyToWorking, 0);
    editor = WaitForEditorWith(40000, start, "stored article of 40,000");
    ASSERT_NE(editor, nullptr) << "the long stored article was not shown";
    HWND box = WaitForBox(Slot(UILanguage::English, kTooLongCaption));
    ASSERT_NE(box, nullptr) << "the long stored article opened without a word";
    EXPECT_EQ(BoxText(box), Slot(UILanguage::English, kTooLongText));
    CloseBox(box, IDOK);
    text = GetDlgItem(editor, kTextId);
    EXPECT_TRUE(GetWindowLongW(text, GWL_STYLE) & ES_READONLY) << "the long article can be edited";
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(editor, 1362))) << "the long article can be saved";
    EXPECT_NE(WindowText(text).find(Mixed(40000)), std::wstring::npos) << "the long article is shown whole";
    ExpectAnswers(editor, "the long article's editor");
    SendMessageW(text, EM_SETSEL, 0, -1);
    PostMessageW(frame, WM_COMMAND, kFromSelection, reinterpret_cast<LPARAM>(text));
    ExpectRefused("selection", editor);
    PostMessageW(editor, WM_COMMAND, 1017, 0);  // New Window
    ExpectRefused("New Window", editor);
    CloseUnchanged(editor);
    ExpectAnswers(frame, "the main window");
    EXPECT_EQ(run.Exit(frame), 0);
}

}  // namespace
