// The article editor opened with long texts in the real program: a line of
// 30,000 characters of mixed Latin, kana, Cyrillic and kanji opens from the
// clipboard and through New Window and a large change is undone, each in a
// bounded time, the program answering afterwards; 40,000 characters, more
// than the editor saves, are refused on the clipboard. A stored article of
// 400 lines at the limit (32,767 units, a line end counted once) opens for
// editing; one unit more is shown read-only and refused as a selection's new
// article and by New Window, each time with "The article is too long.".
// The longest article of the shape users write (400 paragraphs of EDICT lines
// and Russian words, 32,767 units with a paragraph end counted once) opens,
// is copied, saved, opened again and typed into as fast as a short one, and
// pastes whole; one unit more is refused on the clipboard and paste routes.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "common/win/tests/key_typing.h"
#include "common/win/tests/screen_ink.h"
#include "ui/e2e/article_paragraphs.h"
#include "ui/e2e/edict_slice_session.h"
#include "ui/e2e/editor_windows.h"
#include "ui/e2e/program_session.h"

namespace {

using namespace editor_windows;

constexpr UINT kFromClipboard = 40083, kFromSelection = 40500, kCopyToWorking = 40400, kNewArticle = 40067,
               kEditCurrent = 40064;
constexpr UINT kSave = 1362, kNewWindow = 1017, kUndo = 40622;
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

TEST(ArticleEditorLongText, LongTextsOpenOnEveryRouteAndLongerOnesThanTheLimitAreRefused) {
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
    EXPECT_TRUE(WaitUntilDrawn(editor));
    screen_ink::SaveScreenshot(folders.root + L"\\long_editor.png");

    // New Window copies the whole text into a new editor.
    start = GetTickCount();
    PostMessageW(editor, WM_COMMAND, kNewWindow, 0);
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

    // Stored articles of 400 lines at the limit: 32,767 units open for
    // editing; one unit more opens for reading only, saying why, and is
    // refused as a new article's text and by New Window.
    struct Edge {
        const wchar_t* reading;
        LRESULT units;  // as the editor counts them
        bool fits;
    };
    for (const Edge& edge : {Edge{L"\u304D\u3087\u3046\u304B\u3044", 32767, true},
                             Edge{L"\u3055\u304B\u3044\u3081", 32768, false}}) {
        const std::string what = std::to_string(edge.units) + " units";
        const LRESULT shown = edge.units + 399;  // WM_GETTEXTLENGTH counts a line end as CR LF
        ASSERT_TRUE(MakeReadingCurrent(run, frame, edge.reading)) << what;
        start = GetTickCount();
        PostMessageW(frame, WM_COMMAND, kCopyToWorking, 0);
        editor = WaitForEditorWith(shown, start, ("stored article of " + what).c_str());
        ASSERT_NE(editor, nullptr) << what;
        text = GetDlgItem(editor, kTextId);
        HWND box = WaitForBox(Slot(UILanguage::English, kTooLongCaption), edge.fits ? 10 : 100);
        EXPECT_EQ(box != nullptr, !edge.fits) << what << ": the word about the length";
        if (box) {
            EXPECT_EQ(BoxText(box), Slot(UILanguage::English, kTooLongText));
            CloseBox(box, IDOK);
        }
        EXPECT_EQ((GetWindowLongW(text, GWL_STYLE) & ES_READONLY) != 0, !edge.fits) << what << ": read-only";
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(editor, kSave)) != FALSE, edge.fits) << what << ": Save";
        ExpectAnswers(editor, what.c_str());
        // One unit more is refused as a new article's text and as a copy (the
        // routes that take 32,767 are held to it in the case of paragraphs below).
        if (!edge.fits) {
            SendMessageW(text, EM_SETSEL, 0, -1);
            // 40500 names the window whose selection it takes, as the article view's menu does.
            PostMessageW(frame, WM_COMMAND, kFromSelection, reinterpret_cast<LPARAM>(text));
            ExpectRefused("selection", editor);
            PostMessageW(editor, WM_COMMAND, kNewWindow, 0);
            ExpectRefused("New Window", editor);
        }
        CloseUnchanged(editor);
    }
    ExpectAnswers(frame, "the main window");
    EXPECT_EQ(run.Exit(frame), 0);
}

// Milliseconds from `start`.
double Since(const LARGE_INTEGER& start) {
    LARGE_INTEGER now{}, frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Backspace and a letter by turns, real keys into the focused `text` at
// `at`: the median milliseconds from a key's press until the program has
// taken it in (the text's length changed) and drawn the editor again.
double MedianKeyMs(HWND editor, HWND text, LRESULT at, int pairs) {
    key_typing::FocusWindow(text);
    SendMessageW(text, EM_SETSEL, at, at);
    SendMessageW(text, EM_SCROLLCARET, 0, 0);
    RedrawWindow(editor, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const LRESULT length = Length(text);
    std::vector<double> keys;
    for (int i = 0; i < pairs; ++i)
        for (const auto& [key, expected] : {std::pair<WORD, LRESULT>{VK_BACK, length - 1}, {WORD('A' + i), length}}) {
            LARGE_INTEGER start{};
            QueryPerformanceCounter(&start);
            if (!key_typing::PressKey(key) || !WaitFor([&] { return Length(text) == expected; }, 2000, 1)) return -1;
            RedrawWindow(editor, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            keys.push_back(Since(start));
        }
    std::sort(keys.begin(), keys.end());
    return keys[keys.size() / 2];
}

TEST(ArticleEditorLongText, TheLongestArticleOfParagraphsTypesAsFastAsAShortOneAndPastesWhole) {
    const std::wstring longest = ArticleParagraphs(400, 32767);  // CR LF line ends, as the clipboard holds them
    ASSERT_FALSE(longest.empty()) << "EDICT or the Russian hunspell list is missing";
    const std::wstring reading = longest.substr(0, longest.find(L'\r'));
    TestFolders folders = PrepareTest(L"ArticleEditorLongText.Paragraphs");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);

    // One unit more than the longest article is refused from the clipboard.
    ASSERT_TRUE(PutClipboardText(longest + L"x"));
    PostMessageW(frame, WM_COMMAND, kFromClipboard, 0);
    ExpectRefused("clipboard, 32,768 units");

    // The longest opens whole, and New Window copies it whole.
    ASSERT_TRUE(PutClipboardText(longest));
    DWORD start = GetTickCount();
    PostMessageW(frame, WM_COMMAND, kFromClipboard, 0);
    const auto units = static_cast<LRESULT>(longest.size());  // WM_GETTEXTLENGTH counts CR LF
    HWND editor = WaitForEditorWith(units, start, "clipboard, 32,767 units");
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(editor, kTextId)), longest);
    start = GetTickCount();
    PostMessageW(editor, WM_COMMAND, kNewWindow, 0);
    HWND copy = WaitForEditorWith(units, start, "New Window, 32,767 units", editor);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(copy, kTextId)), longest);
    CloseUnchanged(copy);

    // A short article's keys: the pace the long one is held to.
    PostMessageW(frame, WM_COMMAND, kNewArticle, 0);
    HWND shortEditor = WaitForEditorWith(0, GetTickCount(), "new article", editor);
    ASSERT_NE(shortEditor, nullptr);
    HWND shortText = GetDlgItem(shortEditor, kTextId);
    ASSERT_TRUE(key_typing::TypeKeys(shortText, L"lorem ipsum", 30));
    ASSERT_TRUE(WaitFor([&] { return Length(shortText) == 11; }));
    const double shortKey = MedianKeyMs(shortEditor, shortText, 11, 8);
    CloseUnchanged(shortEditor);

    // Saved, and opened again with Edit: nothing changed yet, so neither
    // Save nor Undo is offered.
    PostMessageW(editor, WM_COMMAND, kSave, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(editor); }, 400)) << "the longest article was not saved";
    ASSERT_TRUE(MakeReadingCurrent(run, frame, reading));
    start = GetTickCount();
    PostMessageW(frame, WM_COMMAND, kEditCurrent, 0);
    editor = WaitForEditorWith(units, start, "Edit, 32,767 units");
    ASSERT_NE(editor, nullptr);
    HWND text = GetDlgItem(editor, kTextId);
    EXPECT_EQ(WindowText(text), longest);
    EXPECT_FALSE(GetWindowLongW(text, GWL_STYLE) & ES_READONLY);
    HWND toolbar = GetDlgItem(editor, 100);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(editor, kSave))) << "Save is offered before any change";
    EXPECT_FALSE(SendMessageW(toolbar, TB_ISBUTTONENABLED, kUndo, 0)) << "Undo is offered before any change";

    // A key in the middle of the long article costs what it costs in a short one.
    const double longKey = MedianKeyMs(editor, text, units / 2, 8);
    std::printf("a key: %.1f ms in 32,767 units of 400 paragraphs, %.1f ms in 11 units\n", longKey, shortKey);
    EXPECT_GT(longKey, 0) << "a key was not taken";
    EXPECT_LT(longKey, 5 * std::max(shortKey, 10.0)) << "a key in the long article is slow";
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(editor, kSave))) << "Save is not offered after a change";

    // Saved with a word typed over the start of paragraph 200, the article
    // shown in the main window is the new one.
    size_t paragraph = 0;
    for (int line = 0; line < 200; ++line) paragraph = longest.find(L"\r\n", paragraph) + 2;
    const LRESULT at = static_cast<LRESULT>(paragraph) - 200;  // a CR LF pair is one position
    SendMessageW(text, EM_SETSEL, at, at + 7);
    ASSERT_TRUE(key_typing::TypeKeys(text, L"zyzzyva", 30));
    ASSERT_TRUE(WaitFor([&] { return WindowText(text).find(L"\r\nzyzzyva") != std::wstring::npos; }));
    start = GetTickCount();
    PostMessageW(editor, WM_COMMAND, kSave, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(editor); }, 400)) << "the edited article was not saved";
    std::printf("save: closed after %lu ms\n", GetTickCount() - start);
    HWND article = FindChild(frame, L"RichEdit20W", 201);
    EXPECT_TRUE(WaitFor([&] { return WindowText(article).find(L"zyzzyva") != std::wstring::npos; }))
        << "the article view shows the article as it was before the save";
    PostMessageW(frame, WM_COMMAND, kEditCurrent, 0);
    editor = WaitForEditorWith(units, GetTickCount(), "Edit again");
    ASSERT_NE(editor, nullptr);
    text = GetDlgItem(editor, kTextId);

    // Emptied, it takes the longest article pasted with Ctrl+V whole (its
    // CR LF pairs counted once, as the clipboard route counts them), and not
    // one unit more.
    key_typing::FocusWindow(text);
    SendMessageW(text, EM_SETSEL, 0, -1);
    ASSERT_TRUE(key_typing::PressKey(VK_DELETE));
    ASSERT_TRUE(WaitFor([&] { return Length(text) == 0; }));
    start = GetTickCount();
    ASSERT_TRUE(key_typing::PressKey(text, 'V', true));
    const bool pasted = WaitFor([&] { return Length(text) == units; }, 400);
    std::printf("paste: %ld units after %lu ms\n", static_cast<long>(Length(text)), GetTickCount() - start);
    if (HWND box = FindWindowW(L"#32770", Slot(UILanguage::English, kTooLongCaption).c_str())) CloseBox(box, IDOK);
    ASSERT_TRUE(pasted) << "the longest article was not pasted";
    EXPECT_EQ(WindowText(text), longest);
    ASSERT_TRUE(PutClipboardText(L"x"));
    SendMessageW(text, EM_SETSEL, -1, -1);
    ASSERT_TRUE(key_typing::PressKey(text, 'V', true));
    HWND box = WaitForBox(Slot(UILanguage::English, kTooLongCaption));
    ASSERT_NE(box, nullptr) << "a paste past the longest article was not refused";
    EXPECT_EQ(BoxText(box), Slot(UILanguage::English, kTooLongText));
    CloseBox(box, IDOK);
    EXPECT_EQ(WindowText(text), longest);
    ExpectAnswers(editor, "the editor of the longest article");
    CloseUnchanged(editor);
    EXPECT_EQ(run.Exit(frame), 0);
}

}  // namespace
