// The article editor under a user's hands, in the real program: text typed one
// key at a time is on screen as it is typed (no select-all to repaint it), in
// real glyphs of every script, and a copy puts exactly the selected text on
// the clipboard (a screenshot of the editor is kept in the test's folder);
// the editor speaks the interface language and asks to save only what the
// user changed; a working dictionary that cannot be written is said so at
// open, and a save into it gives the engine's reason.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "common/tests/edict_files.h"
#include "common/tests/test_files.h"
#include "common/tests/test_paths.h"
#include "common/ui_text/ui_text.h"
#include "common/win/tests/key_typing.h"
#include "common/win/tests/screen_ink.h"
#include "ui/e2e/edict_slice_session.h"
#include "ui/e2e/editor_windows.h"
#include "ui/e2e/program_session.h"
#include "ui/e2e/x_clipboard.h"

namespace {

using namespace editor_windows;

constexpr UINT kNewArticle = 40067;

// Opens a new article (40067) and waits for its editor; null when none came.
HWND OpenNewArticle(HWND frame) {
    PostMessageW(frame, WM_COMMAND, kNewArticle, 0);
    HWND editor = nullptr;
    WaitFor([&] { return (editor = FindEditorWindow()) != nullptr; });
    return editor;
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

// Answers the program's message box captioned `caption` with `button` (IDYES,
// IDNO, IDCANCEL); false when no such box came.
bool AnswerBox(const std::wstring& caption, int button, int tries = 40) {
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = FindWindowW(L"#32770", caption.c_str())) != nullptr; }, tries)) return false;
    PostMessageW(box, WM_COMMAND, button, 0);
    return WaitFor([&] { return !IsWindow(box); });
}


TEST(ArticleEditorTyping, TypedTextIsDrawnInRealGlyphsAndCopiedExactly) {
    TestFolders folders = PrepareTest(L"ArticleEditorTyping.Glyphs");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    HWND editor = OpenNewArticle(frame);
    ASSERT_NE(editor, nullptr);
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
    EXPECT_EQ(WindowText(text), L"puella");

    // Typed characters of every script are glyphs, not boxes.
    auto draw = [&](const std::wstring& sample) {
        for (int keys = 0; keys < 20 && !WindowText(text).empty(); ++keys) {
            key_typing::PressKey(text, VK_BACK);
            Sleep(30);
        }
        key_typing::TypeKeys(text, sample, 100);
        WaitFor([&] { return WindowText(text) == sample; }, 40);
        Sleep(250);
        return LineInk(text);
    };
    EXPECT_TRUE(screen_ink::DrawsRealGlyphs(draw));

    // A copy holds the selected text and nothing after it.
    draw(L"");
    const std::wstring typed = L"\u732B\u3068\r\npuella";
    ASSERT_TRUE(key_typing::TypeKeys(text, L"\u732B\u3068", 60));
    key_typing::PressKey(text, VK_RETURN);
    ASSERT_TRUE(key_typing::TypeKeys(text, L"puella", 60));
    ASSERT_TRUE(WaitFor([&] { return WindowText(text) == typed; })) << WindowText(text).size();
    screen_ink::SaveScreenshot(folders.root + L"\\editor_typed.png");
    key_typing::PressKey(text, 'A', true);
    Sleep(200);
    // Ctrl+C three times (stray bytes after the text came now and then), then the toolbar's Copy.
    for (int copy = 0; copy < 4; ++copy) {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        if (copy < 3) key_typing::PressKey(text, 'C', true);
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

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// The slice's EDICT line whose reading is `reading`.
std::wstring SliceLine(const std::wstring& reading) {
    std::vector<uint8_t> bytes = ReadBytes(BinaryPath() + "/ui/e2e-data/edict-slice");
    for (std::span<const uint8_t> line : SplitLines(bytes)) {
        const std::u16string text = DecodeEucJpLine(line);
        const std::wstring wide(text.begin(), text.end());
        if (wide.find(L" [" + reading + L"] /") != std::wstring::npos) return wide;
    }
    return {};
}

// Characters as WM_CHAR; a CR as the Enter key, which breaks the paragraph.
void Type(HWND control, const std::wstring& text) {
    for (wchar_t c : text) {
        if (c == L'\r') PostMessageW(control, WM_KEYDOWN, VK_RETURN, 1);
        else PostMessageW(control, WM_CHAR, c, 1);
    }
}

TEST(ArticleEditorTyping, SpeaksTheInterfaceLanguageAndAsksOnlyAboutChanges) {
    struct Language {
        UILanguage set;
        const wchar_t* flags;
        const wchar_t* name;
    };
    for (Language language : {Language{UILanguage::Russian, L"32768", L"ru"}, Language{UILanguage::Japanese, L"34816", L"ja"}}) {
        TestFolders folders = PrepareTest(std::wstring(L"ArticleEditorTyping.Language.") + language.name);
        WriteSettings(folders, std::wstring(L"[Application]\r\nVersion=11.11.0\r\nFlags=") + language.flags +
                                   L"\r\n[Window]\r\nx=20\r\ny=20\r\ncx=600\r\ncy=500\r\ncy2=250\r\n");
        ProgramRun run;
        HWND frame = run.WaitForFrameWithoutClipboardMonitor();
        ASSERT_NE(frame, nullptr);
        HWND editor = OpenNewArticle(frame);
        ASSERT_NE(editor, nullptr) << language.name;
        const std::wstring newCaption = Slot(language.set, 193);
        EXPECT_EQ(WindowText(editor).substr(0, newCaption.find(L'%')), newCaption.substr(0, newCaption.find(L'%')));
        EXPECT_EQ(WindowText(GetDlgItem(editor, 1016)), Slot(language.set, 269));
        EXPECT_EQ(WindowText(GetDlgItem(editor, 1017)), Slot(language.set, 201));
        EXPECT_EQ(WindowText(GetDlgItem(editor, 1362)), Slot(language.set, 443));
        EXPECT_EQ(WindowText(GetDlgItem(editor, 1363)), Slot(language.set, 638));
        EXPECT_EQ(WindowText(GetDlgItem(editor, 1300)), Slot(language.set, 187) + Slot(language.set, 188) + Slot(language.set, 191));
        const std::wstring question = Slot(language.set, 169);

        // Untouched, a new article closes without a question.
        PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);
        EXPECT_FALSE(AnswerBox(question, IDNO, 20)) << "an untouched new article asks " << language.name;
        EXPECT_TRUE(WaitFor([] { return FindEditorWindow() == nullptr; }));

        // A typed article copied by New Window: the copy holds text it was not
        // opened with, so closing it asks.
        editor = OpenNewArticle(frame);
        ASSERT_NE(editor, nullptr);
        HWND text = GetDlgItem(editor, kTextId);
        Type(text, L"\u3042\u3044\r\u611B\rlove");
        ASSERT_TRUE(WaitFor([&] { return WindowText(text).find(L"love") != std::wstring::npos; }));
        PostMessageW(editor, WM_COMMAND, 1017, 0);
        HWND copy = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (copy = FindEditorWindow(editor)) != nullptr; }));
        HWND copyText = GetDlgItem(copy, kTextId);
        EXPECT_TRUE(WaitFor([&] { return WindowText(copyText) == WindowText(text); }));
        PostMessageW(copy, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(AnswerBox(question, IDCANCEL)) << "the copy closed without asking " << language.name;
        EXPECT_TRUE(IsWindow(copy)) << "Cancel keeps the copy open";
        PostMessageW(copy, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(AnswerBox(question, IDNO));
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(copy); }));
        PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(AnswerBox(question, IDNO)) << "typed text closes without asking";
        EXPECT_TRUE(WaitFor([] { return FindEditorWindow() == nullptr; }));
        EXPECT_EQ(run.Exit(frame), 0);
    }
}

TEST(ArticleEditorTyping, AReadOnlyDictionaryIsToldAtOpenAndASaveGivesTheEnginesReason) {
    TestFolders folders = PrepareTest(L"ArticleEditorTyping.ReadOnly");
    {
        ProgramRun first;  // makes the personal working dictionary
        HWND frame = first.WaitForFrameWithoutClipboardMonitor();
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(first.Exit(frame), 0);
    }
    // Locked by another program against writing (a read-only attribute would
    // not stop the test user, who may be the system's superuser).
    const std::wstring personal = folders.DictionariesFolder() + L"\\Personal.qdx";
    HANDLE lock = CreateFileW(personal.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    WriteSettings(folders, L"[Application]\r\nVersion=11.11.0\r\nFlags=49152\r\n[Window]\r\nx=20\r\ny=20\r\ncx=600\r\n"
                           L"cy=500\r\ncy2=250\r\n[Dictionaries]\r\nFile1=" + personal + L",0\r\nWorking=" + personal + L"\r\n");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    HWND editor = OpenNewArticle(frame);
    ASSERT_NE(editor, nullptr);
    HWND note = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (note = FindWindowW(L"#32770", Slot(UILanguage::English, 213).c_str())) != nullptr; }))
        << "nothing said at open";
    if (note) {
        EXPECT_EQ(BoxText(note), Slot(UILanguage::English, 212));
        PostMessageW(note, WM_COMMAND, IDOK, 0);
        WaitFor([&] { return !IsWindow(note); });
    }
    HWND text = GetDlgItem(editor, kTextId);
    Type(text, L"\u3042\u3044\r\u611B\rlove");
    ASSERT_TRUE(WaitFor([&] { return WindowText(text).find(L"love") != std::wstring::npos; }));
    PostMessageW(editor, WM_COMMAND, 1362, 0);
    HWND failed = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (failed = FindWindowW(L"#32770", Slot(UILanguage::English, 179).c_str())) != nullptr; }));
    EXPECT_EQ(BoxText(failed), L"Operation not allowed") << "the engine's reason, not an internal error";
    PostMessageW(failed, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(failed); }));
    EXPECT_TRUE(IsWindow(editor)) << "the editor stays open with its text";
    PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(AnswerBox(L"Save changes?", IDNO));
    EXPECT_TRUE(WaitFor([] { return FindEditorWindow() == nullptr; }));
    EXPECT_EQ(run.Exit(frame), 0);
    CloseHandle(lock);
}

// A line of 100,000 characters pasted into an article is refused with a
// word, the editor answering at once; the longest line it takes (30,000
// characters of mixed scripts) keeps typing going and saves in seconds.
TEST(ArticleEditorTyping, AHundredThousandCharacterPasteIsRefusedAndTheEditorStaysResponsive) {
    TestFolders folders = PrepareTest(L"ArticleEditorTyping.LongLine");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    HWND editor = OpenNewArticle(frame);
    ASSERT_NE(editor, nullptr);
    HWND text = GetDlgItem(editor, kTextId);
    Type(text, L"\u3042\u3044\r\u611B\r");
    // The line break after the last character too: the keys are posted, and
    // one still on its way would be counted as the paste's.
    ASSERT_TRUE(WaitFor([&] { return WindowText(text).find(L"\u611B\r") != std::wstring::npos; }));
    const LRESULT before = SendMessageW(text, WM_GETTEXTLENGTH, 0, 0);
    auto line = [](size_t length) {
        std::wstring made;
        while (made.size() < length) made += L"lorem ipsum dolor \u732B\u3068 sit amet ";
        made.resize(length);
        return made;
    };
    ASSERT_TRUE(PutClipboardText(line(100000)));
    PostMessageW(editor, WM_COMMAND, 40025, 0);  // Paste
    HWND refusal = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (refusal = FindWindowW(L"#32770", Slot(UILanguage::English, 203).c_str())) != nullptr; }))
        << "the paste was not refused";
    if (refusal) {
        EXPECT_EQ(BoxText(refusal), Slot(UILanguage::English, 202));
        PostMessageW(refusal, WM_COMMAND, IDOK, 0);
        WaitFor([&] { return !IsWindow(refusal); });
    }
    const long refusedAnswer = AnswerTime(editor, 5000);
    EXPECT_TRUE(refusedAnswer >= 0 && refusedAnswer < 2000) << "the editor answered after " << refusedAnswer << " ms";
    EXPECT_EQ(SendMessageW(text, WM_GETTEXTLENGTH, 0, 0), before) << "a refused paste leaves the text as it was";

    ASSERT_TRUE(PutClipboardText(line(30000)));
    const DWORD start = GetTickCount();
    PostMessageW(editor, WM_COMMAND, 40025, 0);
    EXPECT_TRUE(WaitFor([&] { return SendMessageW(text, WM_GETTEXTLENGTH, 0, 0) >= before + 30000; }, 200, 50))
        << "the paste did not arrive in 10 s";
    std::printf("paste shown after %lu ms\n", GetTickCount() - start);
    const long answer = AnswerTime(editor, 5000);
    EXPECT_TRUE(answer >= 0 && answer < 2000) << "the editor answered after " << answer << " ms";
    ASSERT_TRUE(key_typing::TypeKeys(text, L"x", 50));
    EXPECT_TRUE(WaitFor([&] { return SendMessageW(text, WM_GETTEXTLENGTH, 0, 0) >= before + 30001; }, 60, 50))
        << "a key typed after the paste did not arrive in 3 s";
    DWORD process = 0;
    GetWindowThreadProcessId(editor, &process);
    PROCESS_MEMORY_COUNTERS counters{};
    if (HANDLE handle = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process)) {
        GetProcessMemoryInfo(handle, &counters, sizeof counters);
        CloseHandle(handle);
    }
    EXPECT_LT(counters.PagefileUsage, 400u << 20) << "private bytes after the paste";
    const DWORD saving = GetTickCount();
    PostMessageW(editor, WM_COMMAND, 1362, 0);  // Save
    EXPECT_TRUE(WaitFor([] { return FindEditorWindow() == nullptr; }, 300, 50)) << "not saved in 15 s";
    std::printf("saved after %lu ms\n", GetTickCount() - saving);
    EXPECT_EQ(run.Exit(frame), 0);
}

// An EDICT article copied to the working dictionary (40400) opens as its
// renderer shows it in an editor: the reading in its colour, the lines of
// the kinds the renderer gave them (nothing missing that blocks saving), and
// it saves into the personal dictionary.
TEST(ArticleEditorTyping, AnArticleOfAnotherFormatOpensRendered) {
    TestFolders folders = PrepareTest(L"ArticleEditorTyping.Rendered");
    ProgramRun run;
    HWND frame = StartWithSlice(run, folders);
    ASSERT_NE(frame, nullptr);
    const std::u16string reading16 = SliceReading();
    ASSERT_FALSE(reading16.empty());
    const std::wstring reading(reading16.begin(), reading16.end());
    HWND input = FindChild(frame, L"RichEdit20W", 202);
    ASSERT_NE(input, nullptr);
    Type(input, reading);
    auto currentReading = [&] {
        std::map<std::wstring, std::wstring> state = run.QueryState(frame);
        const int current = std::stoi(state[L"current"]), top = std::stoi(state[L"top"]);
        return state[L"cell." + std::to_wstring(current - top) + L".0"];
    };
    ASSERT_TRUE(WaitFor([&] { return currentReading() == reading; }));
    PostMessageW(frame, WM_COMMAND, 40400, 0);
    HWND editor = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (editor = FindEditorWindow()) != nullptr; }));
    HWND text = GetDlgItem(editor, kTextId);
    std::wstring shown;
    ASSERT_TRUE(WaitFor([&] { return (shown = WindowText(text)).find(reading) != std::wstring::npos; })) << Narrow(shown);
    // The renderer writes the entry's grammar codes as a line of their own,
    // and the common-word mark too (taking elements alone dropped both).
    const std::wstring entry = SliceLine(reading);
    const size_t firstGloss = entry.find(L" /") + 2;
    ASSERT_EQ(entry[firstGloss], L'(') << Narrow(entry);
    const std::wstring codes = entry.substr(firstGloss, entry.find(L')', firstGloss) + 1 - firstGloss);
    std::vector<std::wstring> lines;
    for (size_t start = 0;;) {
        const size_t end = shown.find(L'\r', start);
        lines.push_back(shown.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos) break;
        start = end + (end + 1 < shown.size() && shown[end + 1] == L'\n' ? 2 : 1);
    }
    EXPECT_NE(std::find(lines.begin(), lines.end(), codes), lines.end()) << Narrow(codes) << " in " << Narrow(shown);
    if (entry.find(L"/(P)/") != std::wstring::npos) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), L"(P)"), lines.end()) << Narrow(shown);
    }
    const std::wstring problems = WindowText(GetDlgItem(editor, 1300));
    EXPECT_EQ(problems.find(L"Head word missed"), std::wstring::npos) << Narrow(problems);
    EXPECT_EQ(problems.find(L"Translation missed"), std::wstring::npos) << Narrow(problems);
    screen_ink::SaveScreenshot(folders.root + L"\\rendered.png");
    PostMessageW(editor, WM_COMMAND, 1362, 0);
    EXPECT_TRUE(WaitFor([] { return FindEditorWindow() == nullptr; })) << "the article saves";
    EXPECT_EQ(run.Exit(frame), 0);
}

// The point of character `index` (client coordinates of `text`).
POINT CharPoint(HWND text, LONG index) {
    RemoteMemory point(text, sizeof(POINTL));
    POINTL at{};
    if (point.Valid()) {
        SendMessageW(text, EM_POSFROMCHAR, static_cast<WPARAM>(point.At(0)), index);
        point.Read(0, &at, sizeof at);
    }
    return {at.x, at.y};
}

// Resting the pointer on the kind margin beside a line shows that line's kind
// in the hover hint; the right button's menu names the working dictionary
// and the web-search sub-menu in the interface language.
TEST(ArticleEditorTyping, TheMarginHintsEachLinesKindAndTheMenuIsRetitled) {
    TestFolders folders = PrepareTest(L"ArticleEditorTyping.Hint");
    ProgramRun run;
    HWND frame = run.WaitForFrameWithoutClipboardMonitor();
    ASSERT_NE(frame, nullptr);
    HWND editor = OpenNewArticle(frame);
    ASSERT_NE(editor, nullptr);
    HWND text = GetDlgItem(editor, kTextId);
    Type(text, L"\u3042\u3044\r\u611B\rlove");
    ASSERT_TRUE(WaitFor([&] { return WindowText(GetDlgItem(editor, 1300)).empty(); })) << "reading, kanji, translation";
    SetForegroundWindow(editor);
    auto hintText = [] {
        HWND window = FindWindowW(L"Ostrel ToolTip Class", nullptr);
        wchar_t shown[256] = {};
        if (window && IsWindowVisible(window))
            SendMessageW(FindWindowExW(window, nullptr, nullptr, nullptr), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(shown));
        return std::wstring(shown);
    };
    RECT box{};
    GetWindowRect(text, &box);
    POINT margin{0, 0};
    ClientToScreen(editor, &margin);
    const struct {
        LONG start;
        const wchar_t* hint;
    } lines[] = {{0, L"The line contains word reading"}, {3, L"The line contains the word in kanji"},
                 {5, L"The line contains a translation"}};
    for (const auto& line : lines) {
        const POINT at = CharPoint(text, line.start);
        SetCursorPos(margin.x + 20, box.top + at.y + 6);
        std::wstring shown;
        EXPECT_TRUE(WaitFor([&] { return (shown = hintText()) == line.hint; }, 60)) << Narrow(shown);
    }
    SetCursorPos(margin.x + 400, box.bottom + 200);

    SendMessageW(text, EM_SETSEL, 0, -1);
    const POINT word = CharPoint(text, 6);
    PostMessageW(text, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(word.x + 2, word.y + 4));
    PostMessageW(text, WM_RBUTTONUP, 0, MAKELPARAM(word.x + 2, word.y + 4));
    HWND menuWindow = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (menuWindow = FindWindowW(L"#32768", nullptr)) && IsWindowVisible(menuWindow); }))
        << "no menu";
    EXPECT_TRUE(WaitUntilDrawn(menuWindow));
    screen_ink::SaveScreenshot(folders.root + L"\\editor_menu.png");
    PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(menuWindow); }));
    // The menu's texts as the program holds them (menus are not read across processes).
    std::map<std::wstring, std::wstring> state = run.QueryState(frame);
    EXPECT_EQ(state[L"editorMenu.40500"], L"Add Selected Text to \"Personal\" Dictionary");
    EXPECT_EQ(state[L"editorMenu.web"], Slot(UILanguage::English, 78));
    PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(AnswerBox(L"Save changes?", IDNO));
    EXPECT_EQ(run.Exit(frame), 0);
}

}  // namespace
