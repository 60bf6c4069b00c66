// OstrelPro.exe over the EDICT slice, driven with real keys and an X
// program's clipboard: a paste gives the input box exactly the pasted text
// in every script, with the clipboard monitor on and off, and a text longer
// than the input line says where it was cut; Return translates a pasted
// Japanese paragraph where the caret is, also beyond its 255th character,
// and goes back to the first row once another row was picked; a click just
// behind a Latin word looks that word up.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cwchar>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "common/tests/test_files.h"
#include "common/ui_text/ui_text.h"
#include "common/win/tests/key_typing.h"
#include "ui/command_ids.h"
#include "ui/e2e/edict_slice_session.h"
#include "ui/e2e/editor_windows.h"
#include "ui/e2e/program_session.h"
#include "ui/e2e/x_clipboard.h"

namespace {

using State = std::map<std::wstring, std::wstring>;
using editor_windows::Utf8;
using editor_windows::WaitFor;
using editor_windows::WindowText;
constexpr int kInputBoxId = 202;

long Number(State& state, const wchar_t* name) {
    const std::wstring& text = state[name];
    return text.empty() ? -2 : std::stol(text);
}

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// An interface text with its two numbers, as the program formats it.
std::wstring Formatted(UIExtraText which, int first, int second) {
    wchar_t text[512] = {};
    swprintf(text, 512, reinterpret_cast<const wchar_t*>(UIExtra(which)), first, second);
    return text;
}

// Characters as the user counts them: a CR LF ending a line is one.
int UserCharacters(const std::wstring& text) {
    int count = 0;
    for (size_t i = 0; i < text.size(); ++i, ++count)
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    return count;
}

// Whether one of the rows shown has a cell holding `text`.
bool RowShows(State& state, const std::wstring& text) {
    for (int row = 0; row < 12; ++row)
        for (int cell = 0; cell < 4; ++cell)
            if (state[L"cell." + std::to_wstring(row) + L"." + std::to_wstring(cell)].find(text) != std::wstring::npos)
                return true;
    return false;
}

// A click at a point of `window`'s client area.
void ClickAt(HWND window, POINT point) {
    ClientToScreen(window, &point);
    ClickAtScreen(window, point);
}

class InputLine : public testing::Test {
protected:
    void SetUp() override {
        SetProcessDPIAware();
        CloseLeftoverFrames();
    }
    // Starts the program over `dictionaries`, the input box in `input`, the
    // interface texts of the test in the program's language.
    HWND Start(ProgramRun& run, const wchar_t* name, std::initializer_list<const wchar_t*> dictionaries) {
        folders = PrepareTest(name);
        HWND frame = StartWithDictionaries(run, folders, dictionaries);
        input = frame ? FindChild(frame, L"RichEdit20W", kInputBoxId) : nullptr;
        if (input) SetUILanguage(static_cast<uint32_t>(std::stoi(run.QueryState(frame)[L"language"])));
        return input ? frame : nullptr;
    }
    // Ctrl+V in the input box; the box's text once the program is done with it.
    std::wstring PasteWithKeys(ProgramRun& run, HWND frame) {
        EXPECT_TRUE(key_typing::PressKey(input, 'V', true));
        WaitFor([&] { return !WindowText(input).empty(); }, 60);
        run.SettledState(frame);
        return WindowText(input);
    }
    // The main window active again with the keyboard in the input box, as a
    // user's next key needs it: nothing here gives it the focus.
    bool KeyboardBackOnLine(HWND frame) const {
        return WaitFor([&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof(info);
            return GetForegroundWindow() == frame &&
                   GetGUIThreadInfo(GetWindowThreadProcessId(frame, nullptr), &info) && info.hwndFocus == input;
        });
    }

    TestFolders folders;
    HWND input = nullptr;
};

// Keys typed the moment the window shows, while the start still opens the
// dictionaries (held here until the keys are in), go into the input box,
// and what the box holds when the start ends is looked up: the keys are
// real ones, typed into whatever the program focused, with no focus given.
TEST_F(InputLine, KeysTypedWhileTheStartRunsGoIntoTheBoxAndAreLookedUp) {
    folders = PrepareTest(L"InputLine.TypedAtStart");
    PrepareDictionaries(folders, {L"edict-slice.qdx"},
                        L"[Application]\r\nVersion=11.11.0\r\nFlags=49152\r\n"  // shown, English, no monitor
                        L"[Window]\r\nx=20\r\ny=20\r\ncx=700\r\ncy=560\r\ncy2=300\r\n");
    const std::wstring holdName = L"OstrelE2EStartHold-" + std::to_wstring(GetCurrentProcessId());
    HANDLE hold = CreateEventW(nullptr, TRUE, FALSE, holdName.c_str());
    ASSERT_NE(hold, nullptr);
    ProgramRun run(L"", {{L"OSTREL_TEST_START_HOLD", holdName}});
    HWND frame = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (frame = FindFrame()) != nullptr && GetForegroundWindow() == frame; }, 300))
        << "the window never came to the front";
    input = FindChild(frame, L"RichEdit20W", kInputBoxId);
    ASSERT_NE(input, nullptr);
    const std::wstring reading = Wide(SliceReading());
    for (wchar_t c : reading) {
        std::vector<INPUT> keys = key_typing::detail::KeysOf(c);
        ASSERT_EQ(SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)), keys.size());
        Sleep(80);
    }
    EXPECT_TRUE(WaitFor([&] { return WindowText(input) == reading; })) << "the box holds " << Utf8(WindowText(input));
    State state = run.QueryState(frame);
    EXPECT_EQ(Number(state, L"flags") & 0x40000000, 0) << "the start ended before the keys were in";
    SetEvent(hold);
    ASSERT_TRUE(WaitFor([&] { return Number(state = run.QueryState(frame), L"flags") & 0x40000000; }, 300));
    state = run.SettledState(frame);
    EXPECT_EQ(WindowText(input), reading);
    EXPECT_EQ(state[L"cell." + std::to_wstring(Number(state, L"current") - Number(state, L"top")) + L".0"], reading)
        << "what the box held at the end of the start was not looked up";
    SaveScreenshot(folders.root + L"\\typed-at-start.png");
    // A key that reaches the main window itself, as it holds the keyboard for
    // a moment when shown before the box takes it, goes into the box.
    ASSERT_TRUE(key_typing::TypeKeys(frame, L"x"));
    EXPECT_TRUE(WaitFor([&] { return WindowText(input) == reading + L"x"; }))
        << "a key typed while the main window held the keyboard was lost: " << Utf8(WindowText(input));
    CloseHandle(hold);
    EXPECT_EQ(run.Exit(frame), 0);
}

// Japanese, Russian and English sentences and a text of 1,000 characters in
// paragraphs, copied in an X program: with the clipboard monitor on, Ctrl+V
// over what the monitor put in the box gives exactly the pasted text (the
// paragraphs joined by blanks); so it does with the monitor off. The monitor
// says in the status line where it stopped reading the long text; a paste
// longer than the input line is cut there and says so in a message.
TEST_F(InputLine, APasteGivesTheBoxExactlyThePastedText) {
    ProgramRun run;
    HWND frame = Start(run, L"InputLine.Paste", {L"edict-slice.qdx"});
    ASSERT_NE(frame, nullptr);
    const std::wstring reading = Wide(SliceReading());
    std::wstring paragraphs, joined;
    for (int i = 0;; ++i) {
        const std::wstring paragraph = L"Paragraph " + std::to_wstring(i) +
                                       L" of a pasted text, written in the Latin letters the monitor searches.";
        if (joined.size() + 1 + paragraph.size() > 1000) break;
        paragraphs += (i ? L"\n\n" : L"") + paragraph;
        joined += (i ? L" " : L"") + paragraph;
    }
    struct Case {
        const wchar_t* name;
        std::wstring copied, pasted;
    };
    const Case cases[] = {
        {L"Japanese", reading + L"\u3068" + reading + L"\u3002", reading + L"\u3068" + reading + L"\u3002"},
        {L"Russian", L"\u0421\u044A\u0435\u0448\u044C \u0436\u0435 \u0435\u0449\u0451 \u044D\u0442\u0438\u0445 "
                     L"\u043C\u044F\u0433\u043A\u0438\u0445 \u0431\u0443\u043B\u043E\u043A.",
         L""},
        {L"English", L"The quick brown fox jumps over the lazy dog.", L""},
        {L"long", paragraphs, joined},
    };
    ASSERT_TRUE(PutClipboardText(L"-"));  // the monitor takes what it starts with as seen
    SendMessageW(frame, WM_COMMAND, cmd::kClipboardMonitorOn, 0);
    for (const Case& c : cases) {
        const std::wstring pasted = c.pasted.empty() ? c.copied : c.pasted;
        SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        run.SettledState(frame);
        ASSERT_TRUE(CopyInXProgram(c.copied, folders.root)) << Utf8(c.name);
        ASSERT_TRUE(WaitFor([&] { return !WindowText(input).empty(); }, 300)) << Utf8(c.name) << ": the monitor put nothing";
        State state = run.SettledState(frame);
        // Counted as the user counts: each line end of the copy (CR LF) one character.
        const std::wstring block = ClipboardBlock(), copied = block.substr(0, block.find(L'\0'));
        const std::wstring note = Formatted(UIExtraText::kClipboardReadUpTo, UserCharacters(copied.substr(0, 255)),
                                            UserCharacters(copied));
        if (pasted.size() > 255) {
            EXPECT_EQ(state[L"status.0"], note) << "the monitor's cut is not said";
        }
        EXPECT_EQ(PasteWithKeys(run, frame), pasted) << Utf8(c.name) << ", monitor on";
        if (pasted.size() > 255) {
            EXPECT_NE(run.QueryState(frame)[L"status.0"], note) << "the word on the monitor's text outlived it";
            SaveScreenshot(folders.root + L"\\long-paste-monitor.png");
        }
    }
    SendMessageW(frame, WM_COMMAND, cmd::kClipboardMonitorOff, 0);
    for (const Case& c : cases) {
        ASSERT_TRUE(CopyInXProgram(c.copied, folders.root)) << Utf8(c.name);
        SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        EXPECT_EQ(PasteWithKeys(run, frame), c.pasted.empty() ? c.copied : c.pasted) << Utf8(c.name) << ", monitor off";
    }

    // 2,000 characters over the whole text selected: the box takes the
    // 1,023 the input line reads and says once where the pasted text was cut.
    const std::wstring overlong(2000, L'x');
    ASSERT_TRUE(CopyInXProgram(overlong, folders.root));
    SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"abc"));
    SendMessageW(input, EM_SETSEL, 0, -1);
    ASSERT_TRUE(key_typing::PressKey(input, 'V', true));
    HWND box = WaitForDialogOf(frame);
    ASSERT_NE(box, nullptr) << "the cut paste said nothing";
    EXPECT_EQ(editor_windows::BoxText(box), Formatted(UIExtraText::kPasteReadUpTo, 1023, 2000));
    SaveScreenshot(folders.root + L"\\overlong-paste.png");
    // The list behind the message already shows the pasted text's rows.
    State behind = run.QueryState(frame);
    EXPECT_TRUE(editor_windows::CloseBox(box, IDOK));
    EXPECT_TRUE(KeyboardBackOnLine(frame)) << "the closed box left the main window without the keyboard";
    EXPECT_EQ(WindowText(input), overlong.substr(0, 1023));
    State after = run.SettledState(frame);
    for (const wchar_t* key : {L"current", L"top", L"cell.0.1", L"cell.0.2"})
        EXPECT_EQ(behind[key], after[key]) << Utf8(key) << " behind the cut paste's message";
    // Typed behind it, a key is refused: the box holds what is read.
    ASSERT_TRUE(key_typing::TypeKeys(input, L"y"));
    State state = run.SettledState(frame);
    EXPECT_EQ(WindowText(input), overlong.substr(0, 1023));
    EXPECT_EQ(state[L"popup"], L"") << "a second message";
    ASSERT_TRUE(PutClipboardText(L""));  // the last xclip lets go and ends
    EXPECT_EQ(run.Exit(frame), 0);
}

// Japanese, Cyrillic and Latin typed one key at a time and selected with the
// keys: each copy (Ctrl+C, Ctrl+Insert, the box's menu) puts exactly the
// selection on the clipboard, read back by a Windows program and by an X
// program with nothing behind it, and the clipboard monitor does not search
// the program's own copy. The box's own copy left a NUL and a stray unit
// behind the text now and then, so the copy is repeated over selections of
// every length. A copy of no selection leaves the clipboard as it was; a cut
// (Ctrl+X, Shift+Delete) takes the selection out, the list follows as after
// typing, and Ctrl+Z brings it back.
TEST_F(InputLine, CopyAndCutPutExactlyTheSelectionOnTheClipboard) {
    ProgramRun run;
    HWND frame = Start(run, L"InputLine.Copy", {L"edict-slice.qdx"});
    ASSERT_NE(frame, nullptr);
    const std::wstring reading = Wide(SliceReading());
    const std::wstring tail = L" \u043A\u043E\u0448\u043A\u0430 felis";
    const std::wstring typed = reading + tail;
    ASSERT_TRUE(PutClipboardText(L"-"));  // the monitor takes what it starts with as seen
    SendMessageW(frame, WM_COMMAND, cmd::kClipboardMonitorOn, 0);
    ASSERT_TRUE(WaitFor([&] {
        State shown = run.QueryState(frame);
        return Number(shown, L"kind") == 1;  // the monitor makes the Translation list current
    }));
    SendMessageW(frame, WM_COMMAND, cmd::kListReading, 1);
    ASSERT_TRUE(key_typing::TypeKeys(input, typed));
    ASSERT_TRUE(WaitFor([&] { return WindowText(input) == typed; })) << Utf8(WindowText(input));
    run.SettledState(frame);
    SaveScreenshot(folders.root + L"\\typed.png");

    // The keys, then the clipboard once it changed: its whole block, and the
    // text an X program pastes once Wine serves the new copy to X.
    struct Copy {
        std::wstring block;
        std::string x;
    };
    auto copy = [&](auto keys, const std::wstring& expected) {
        const DWORD before = GetClipboardSequenceNumber();
        keys();
        Copy got;
        if (!WaitFor([&] { return GetClipboardSequenceNumber() != before; })) return got;
        // Under Wine a read just after the number moved finds no text now and
        // then (about 1 copy in 400), where the same copy reads whole a moment
        // later, in Windows and in X: the block read is the first that holds
        // a text. A copy that never puts its text there still reads empty.
        WaitFor([&] { return (got.block = ClipboardBlock()).find_first_not_of(L'\0') != std::wstring::npos; });
        // Wine hands the new copy to X on its own time, now and then seconds after.
        WaitFor([&] { return (got.x = PastedInXProgram(folders.root)) == Utf8(expected); });
        return got;
    };
    auto expectExact = [&](const Copy& got, const std::wstring& expected, const std::string& how) {
        const std::wstring text = got.block.substr(0, got.block.find(L'\0'));
        const bool behind = got.block.find_first_not_of(L'\0', text.size()) != std::wstring::npos;
        EXPECT_EQ(text, expected) << how;
        EXPECT_FALSE(behind) << how << ": " << got.block.size() << " units for " << expected.size() << " characters";
        EXPECT_EQ(got.x, Utf8(expected)) << how << " (X)";
        return text == expected && !behind && got.x == Utf8(expected);
    };
    // The selection as the box holds it, "first-last".
    auto selection = [&] {
        const DWORD range = static_cast<DWORD>(SendMessageW(input, EM_GETSEL, 0, 0));
        return std::to_string(LOWORD(range)) + "-" + std::to_string(HIWORD(range));
    };
    // Selects with Shift and an arrow from Home or End; true once the box shows it.
    auto select = [&](WORD from, size_t count) {
        const size_t first = from == VK_HOME ? 0 : typed.size() - count, last = first + count;
        const std::string start = from == VK_HOME ? "0-0" : std::to_string(last) + "-" + std::to_string(last);
        if (!key_typing::PressKey(input, from) || !WaitFor([&] { return selection() == start; })) return false;
        if (!key_typing::PressShiftedKey(input, from == VK_HOME ? VK_RIGHT : VK_LEFT, count)) return false;
        const std::string wanted = std::to_string(first) + "-" + std::to_string(last);
        const bool shown = WaitFor([&] { return selection() == wanted; });
        EXPECT_TRUE(shown) << "selected " << selection() << " instead of " << wanted;
        return shown;
    };

    // The whole text with the box's closing paragraph mark (Ctrl+A), at every
    // length, a character taken off at the end after each copy: the box's own
    // copy sized its block for the mark and left the unit behind the
    // terminator as the memory held it.
    for (size_t length = typed.size(); length > 0; --length) {
        const std::wstring whole = typed.substr(0, length);
        ASSERT_TRUE(key_typing::PressKey(input, 'A', true));
        ASSERT_TRUE(WaitFor([&] {
            const std::string shown = selection();
            return shown == "0-" + std::to_string(length) || shown == "0-" + std::to_string(length + 1);
        })) << selection();
        const bool insert = length % 2 == 1;
        const Copy got = copy([&] { key_typing::PressKey(input, insert ? VK_INSERT : 'C', true); }, whole);
        if (!expectExact(got, whole, (insert ? "Ctrl+A, Ctrl+Insert over " : "Ctrl+A, Ctrl+C over ") + Utf8(whole)))
            break;
        ASSERT_TRUE(key_typing::PressKey(input, VK_END));
        ASSERT_TRUE(key_typing::PressKey(input, VK_BACK));
        ASSERT_TRUE(WaitFor([&] { return WindowText(input) == typed.substr(0, length - 1); }));
    }
    SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));  // empty unless a copy above failed
    ASSERT_TRUE(key_typing::TypeKeys(input, typed));
    ASSERT_TRUE(WaitFor([&] { return WindowText(input) == typed; })) << Utf8(WindowText(input));
    // Selections from the end of every length, the scripts one by one.
    for (size_t count = 1; count < typed.size(); ++count) {
        const std::wstring part = typed.substr(typed.size() - count);
        ASSERT_TRUE(select(VK_END, count));
        const bool insert = count % 2 == 0;
        const Copy got = copy([&] { key_typing::PressKey(input, insert ? VK_INSERT : 'C', true); }, part);
        if (!expectExact(got, part, (insert ? "Ctrl+Insert over " : "Ctrl+C over ") + Utf8(part))) break;
    }
    State state = run.SettledState(frame);
    EXPECT_EQ(WindowText(input), typed) << "the monitor took the program's own copy";
    EXPECT_EQ(Number(state, L"kind"), 2) << "the monitor took the program's own copy";

    // The menu's Copy over the Japanese word.
    ASSERT_TRUE(select(VK_HOME, reading.size()));
    EXPECT_TRUE(expectExact(copy([&] { PostMessageW(frame, WM_COMMAND, cmd::kInputCopy, reinterpret_cast<LPARAM>(input)); },
                                 reading),
                            reading, "the menu's Copy"));

    // No selection: the clipboard keeps the last copy. Shift+Home after it
    // shows that the program has taken the copy key.
    const DWORD before = GetClipboardSequenceNumber();
    ASSERT_TRUE(key_typing::PressKey(input, VK_END));
    ASSERT_TRUE(key_typing::PressKey(input, 'C', true));
    ASSERT_TRUE(key_typing::PressShiftedKey(input, VK_HOME));
    ASSERT_TRUE(WaitFor([&] { return selection() == "0-" + std::to_string(typed.size()); }))
        << selection() << " over " << Utf8(WindowText(input));
    EXPECT_EQ(GetClipboardSequenceNumber(), before) << "a copy of nothing changed the clipboard";
    Copy kept{ClipboardBlock(), {}};
    WaitFor([&] { return (kept.x = PastedInXProgram(folders.root)) == Utf8(reading); });
    expectExact(kept, reading, "a copy of nothing");

    // Ctrl+X over the Cyrillic and Latin words: the reading's row is current
    // as when only the reading is typed; Ctrl+Z brings the words back.
    ASSERT_TRUE(select(VK_END, tail.size()));
    const int64_t finds = std::stoll(run.QueryState(frame)[L"stage.find"]);
    EXPECT_TRUE(expectExact(copy([&] { key_typing::PressKey(input, 'X', true); }, tail), tail, "Ctrl+X"));
    EXPECT_TRUE(WaitFor([&] { return WindowText(input) == reading; })) << Utf8(WindowText(input));
    state = run.SettledState(frame);
    EXPECT_GT(std::stoll(state[L"stage.find"]), finds) << "no search followed the cut";
    EXPECT_EQ(state[L"cell." + std::to_wstring(Number(state, L"current") - Number(state, L"top")) + L".0"], reading);
    EXPECT_EQ(Number(state, L"kind"), 2) << "the monitor took the program's own cut";
    ASSERT_TRUE(key_typing::PressKey(input, 'Z', true));
    EXPECT_TRUE(WaitFor([&] { return WindowText(input) == typed; })) << "Ctrl+Z left " << Utf8(WindowText(input));

    // Shift+Delete over the reading leaves the other two scripts.
    ASSERT_TRUE(select(VK_HOME, reading.size()));
    EXPECT_TRUE(expectExact(copy([&] { key_typing::PressShiftedKey(input, VK_DELETE); }, reading), reading, "Shift+Delete"));
    EXPECT_TRUE(WaitFor([&] { return WindowText(input) == tail; })) << Utf8(WindowText(input));
    SaveScreenshot(folders.root + L"\\after-cut.png");
    EXPECT_EQ(run.Exit(frame), 0);
}

// In the Translation list: a Japanese paragraph that begins with a Latin
// word, pasted, and Return give its words (the caret stands behind the
// text); the caret on a Japanese word behind the 255th character gives that
// word.
TEST_F(InputLine, ReturnTranslatesWhereTheCaretIs) {
    ProgramRun run;
    HWND frame = Start(run, L"InputLine.Caret", {L"edict-slice.qdx"});
    ASSERT_NE(frame, nullptr);
    const std::wstring reading = Wide(SliceReading());
    SendMessageW(frame, WM_COMMAND, cmd::kListTranslation, 1);  // as a click on the tab

    const std::wstring paragraph = L"apt-get\u306F\u3001" + reading + L"\u3092\u4F7F\u3046\u30C4\u30FC\u30EB\u3067\u3059\u3002";
    ASSERT_TRUE(PutClipboardText(paragraph));
    ASSERT_EQ(PasteWithKeys(run, frame), paragraph);
    ASSERT_TRUE(key_typing::PressKey(input, VK_RETURN));
    State state = run.SettledState(frame);
    EXPECT_EQ(Number(state, L"kind"), 1) << "a paragraph beginning with a Latin word went to another list";
    EXPECT_TRUE(RowShows(state, reading)) << "no row of " << Utf8(reading);
    SaveScreenshot(folders.root + L"\\latin-first-paragraph.png");

    // 300 characters of English, then the word: the caret on its last letter.
    std::wstring english;
    while (english.size() < 300) english += L"the quick brown fox jumps over the lazy dog ";
    const std::wstring behind = english + reading;
    ASSERT_TRUE(PutClipboardText(behind));
    SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    ASSERT_EQ(PasteWithKeys(run, frame), behind);
    ASSERT_TRUE(key_typing::PressKey(input, VK_END));
    ASSERT_TRUE(key_typing::PressKey(input, VK_LEFT));
    ASSERT_TRUE(key_typing::PressKey(input, VK_RETURN));
    state = run.SettledState(frame);
    EXPECT_EQ(Number(state, L"kind"), 1);
    const std::wstring current = L"cell." + std::to_wstring(Number(state, L"current") - Number(state, L"top")) + L".";
    std::wstring cells;
    for (int cell = 0; cell < 4; ++cell) cells += state[current + std::to_wstring(cell)] + L" | ";
    EXPECT_NE(cells.find(reading), std::wstring::npos) << "the row at the caret: " << Utf8(cells);

    EXPECT_EQ(run.Exit(frame), 0);
}

// "arma virumque cano" typed into the Translation list over the Latin
// dictionary a user gets; a click just behind "arma" looks up arma and
// stays in the list, not in the word index under "armavirumquecano".
// "virum" typed, another row picked and Return: the first row again.
TEST_F(InputLine, AClickJustBehindALatinWordLooksThatWordUp) {
    ProgramRun run;
    HWND frame = Start(run, L"InputLine.Click", {L"edict-slice.qdx", L"collatinus.qdx"});
    ASSERT_NE(frame, nullptr);
    SendMessageW(frame, WM_COMMAND, cmd::kListTranslation, 1);
    ASSERT_TRUE(key_typing::TypeKeys(input, L"arma virumque cano"));
    State state = run.SettledState(frame);
    ASSERT_EQ(Number(state, L"kind"), 1);
    // Just behind "arma": the left edge of the blank that follows it.
    RemoteMemory point(input, sizeof(POINTL));
    ASSERT_TRUE(point.Valid());
    SendMessageW(input, EM_POSFROMCHAR, static_cast<WPARAM>(point.At(0)), 4);
    POINTL at{};
    ASSERT_TRUE(point.Read(0, &at, sizeof(at)));
    ClickAt(input, POINT{at.x + 1, at.y + 4});
    state = run.SettledState(frame);
    EXPECT_EQ(Number(state, L"kind"), 1) << "the click left the Translation list";
    EXPECT_TRUE(RowShows(state, L"arm")) << Utf8(state[L"cell.0.0"]) << " | " << Utf8(state[L"cell.0.1"]);
    SaveScreenshot(folders.root + L"\\click-behind-arma.png");

    // "virum" typed, the next row picked in the list, a click behind the
    // text and Return: the first row again.
    SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    ASSERT_TRUE(key_typing::TypeKeys(input, L"virum"));
    state = run.SettledState(frame);
    ASSERT_EQ(Number(state, L"kind"), 1);
    ASSERT_GE(Number(state, L"rows"), 2) << "too few rows to pick another";
    ASSERT_EQ(Number(state, L"current"), 0);
    ASSERT_TRUE(key_typing::PressKey(input, VK_TAB));
    ASSERT_TRUE(key_typing::PressKey(VK_DOWN));
    ASSERT_TRUE(WaitFor([&] { return Number(state = run.QueryState(frame), L"current") == 1; }, 200));
    RECT box{};
    GetClientRect(input, &box);
    ClickAt(input, POINT{box.right - 8, (box.top + box.bottom) / 2});
    run.SettledState(frame);
    ASSERT_TRUE(key_typing::PressKey(input, VK_RETURN));
    state = run.SettledState(frame);
    EXPECT_EQ(Number(state, L"current"), 0) << "Return left the list on another row";
    EXPECT_EQ(run.Exit(frame), 0);
}

// Wide text of a UTF-8 file, empty when it cannot be read.
std::wstring Utf8File(const std::wstring& path) {
    const std::string bytes = ReadText(std::filesystem::path(path));
    std::wstring text(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                              nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), static_cast<int>(text.size()));
    return text;
}

// What a Linux command writes, through `file`: it is written under another
// name and renamed once whole, as the command may end after Wine's process.
std::wstring UnixOutput(const std::wstring& command, const std::wstring& file) {
    const std::wstring unix = UnixPath(file);
    RunUnix(L"/bin/sh -c \"" + command + L" > '" + unix + L".part' && mv '" + unix + L".part' '" + unix + L"'\"");
    WaitFor([&] { return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES; });
    return Utf8File(file);
}

// The prose of a Japanese manual page (cpio(1) of Debian's manpages-ja)
// without its markup, read in kana by MeCab as a learner writes it: its
// first 2,000 characters, line ends counted as the user sees them (about 30
// lines); empty when the page gives less. Kana words are many at each character: the
// translation of the line's 1,023 holds more of them than its list.
std::wstring JapaneseKanaText(const std::wstring& folder) {
    const std::wstring page = folder + L"\\cpio.1", prose = folder + L"\\prose.txt", kana = folder + L"\\kana.txt";
    const std::wstring all = UnixOutput(L"zcat /usr/share/man/ja/man1/cpio.1.gz", page);
    std::wstring text;
    int lines = 0;
    for (size_t at = 0, end; lines < 39 && (end = all.find(L'\n', at)) != std::wstring::npos; at = end + 1) {
        std::wstring line;
        for (size_t i = at; i < end; ++i) {
            if (all[i] != L'\\' || i + 1 == end) line += all[i];
            else if (all[++i] == L'f') ++i;           // \fB, \fR, \fI: a face
            else if (all[i] == L'-') line += L'-';    // \-: a hyphen
        }
        const bool japanese = std::any_of(line.begin(), line.end(), [](wchar_t c) { return c >= 0x3040; });
        if (line.empty() || line[0] == L'.' || !japanese) continue;
        text += (lines++ ? L"\n" : L"") + line;
    }
    if (lines < 39 || !WriteUtf8(prose, text + L"\n")) return L"";
    std::wstring read = UnixOutput(L"mecab -Oyomi < '" + UnixPath(prose) + L"'", kana);
    for (wchar_t& c : read)
        if (c >= 0x30A1 && c <= 0x30F6) c = static_cast<wchar_t>(c - 0x60);  // katakana into hiragana
    if (read.size() < 2000 || std::count(read.begin(), read.begin() + 2000, L'\n') < 20) return L"";
    return read.substr(0, 2000);
}

// A long Japanese text pasted into the Translation list, over the whole
// EDICT and KANJIDIC: more words than the list holds, more characters than the line
// holds. One box says both, counted as the user counts (the line ends of
// the copy one character each), after the rows of the text are painted;
// a click into the line, a tab switch or a key typed into the same text
// says nothing more. Typed at the start of the full line, a key is refused.
TEST_F(InputLine, ALongJapaneseTextIsToldOnceInOneBoxOverItsOwnRows) {
    ProgramRun run;
    HWND frame = Start(run, L"InputLine.LongJapanese", {L"edict.qdx", L"kanjidic.qdx"});
    ASSERT_NE(frame, nullptr);
    const std::wstring text = JapaneseKanaText(folders.root);
    ASSERT_EQ(text.size(), 2000u) << "the manual page gave no text of 2,000 characters";
    SendMessageW(frame, WM_COMMAND, cmd::kListTranslation, 1);
    run.SettledState(frame);
    ASSERT_TRUE(CopyInXProgram(text, folders.root));
    ASSERT_TRUE(key_typing::PressKey(input, 'V', true));
    HWND box = WaitForDialogOf(frame);
    ASSERT_NE(box, nullptr) << "the long paste said nothing";
    const std::wstring said = editor_windows::BoxText(box);
    const std::wstring pasteNote = Formatted(UIExtraText::kPasteReadUpTo, 1023, 2000);
    EXPECT_EQ(said.rfind(pasteNote + L"\r\n\r\n", 0), 0u) << Utf8(said);
    const std::wstring listed = Formatted(UIExtraText::kTextListedUpTo, 0, 1023);
    const std::wstring listedHead = listed.substr(0, listed.find(L'0'));
    const size_t at = said.find(listedHead);
    ASSERT_NE(at, std::wstring::npos) << "no word on the words listed in part: " << Utf8(said);
    const int listedTo = std::stoi(said.substr(at + listedHead.size()));
    EXPECT_EQ(said.substr(at), Formatted(UIExtraText::kTextListedUpTo, listedTo, 1023));
    EXPECT_GT(listedTo, 0);
    EXPECT_LT(listedTo, 1023);
    SaveScreenshot(folders.root + L"\\long-japanese-paste.png");
    // Behind the box, the list already shows the pasted text's rows.
    State behind = run.QueryState(frame);
    EXPECT_EQ(Number(behind, L"kind"), 1);
    EXPECT_GT(Number(behind, L"rows"), 100);
    EXPECT_TRUE(editor_windows::CloseBox(box, IDOK));
    EXPECT_TRUE(KeyboardBackOnLine(frame)) << "the closed box left the main window without the keyboard";
    State after = run.SettledState(frame);
    EXPECT_EQ(after[L"popup"], L"") << "a second box";
    for (const wchar_t* key : {L"rows", L"current", L"top", L"cell.0.0", L"cell.0.1"})
        EXPECT_EQ(behind[key], after[key]) << Utf8(key) << " behind the box";
    const std::wstring held = WindowText(input);
    EXPECT_EQ(held.size(), 1023u);

    // The same text again: a click into the line, the Reading tab and back,
    // a key typed at its end.
    RECT line{};
    GetClientRect(input, &line);
    ClickAt(input, POINT{line.right / 3, (line.top + line.bottom) / 2});
    EXPECT_EQ(run.SettledState(frame)[L"popup"], L"") << "told again on a click into the line";
    SendMessageW(frame, WM_COMMAND, cmd::kListReading, 1);
    run.SettledState(frame);
    SendMessageW(frame, WM_COMMAND, cmd::kListTranslation, 1);
    EXPECT_EQ(run.SettledState(frame)[L"popup"], L"") << "told again on a tab switch";
    ASSERT_TRUE(key_typing::PressKey(input, VK_END));
    ASSERT_TRUE(key_typing::PressKey(input, VK_BACK));
    ASSERT_TRUE(WaitFor([&] { return WindowText(input).size() == 1022; }));
    ASSERT_TRUE(key_typing::TypeKeys(input, L"\u3042"));
    const std::wstring edited = held.substr(0, 1022) + L"\u3042";
    EXPECT_TRUE(WaitFor([&] { return WindowText(input) == edited; }));
    EXPECT_EQ(run.SettledState(frame)[L"popup"], L"") << "told again on a key typed into the same text";

    // Home and a key into the full line: the line keeps its 1,023 characters.
    ASSERT_TRUE(key_typing::PressKey(input, VK_HOME));
    ASSERT_TRUE(key_typing::TypeKeys(input, L"y"));
    run.SettledState(frame);
    EXPECT_EQ(WindowText(input), edited) << "a key typed at the start of the full line went in";
    SaveScreenshot(folders.root + L"\\long-japanese-typed-at-start.png");
    EXPECT_EQ(run.Exit(frame), 0);
}

}  // namespace
