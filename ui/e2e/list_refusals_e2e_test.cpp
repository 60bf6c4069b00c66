// OstrelPro.exe over the whole of EDICT and KANJIDIC as ./run.sh compiles
// them (compacted, compressed), beside copies of KANJIDIC damaged as a bad
// disk damages a file: 32 bytes of one index leaf overwritten, so that the
// leaf no longer inflates. Driven with real keys, wheel turns and a drag of
// the scroll box: a damaged leaf met while scrolling is told at once, once,
// naming the file, and the page stays where the user was among the rows of
// the other dictionaries; a full-text search that meets a damaged leaf of
// the word index tells it once and lists the other dictionaries' articles.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "common/tests/test_paths.h"
#include "common/ui_text/ui_text.h"
#include "common/win/tests/key_typing.h"
#include "common/win/tests/screen_ink.h"
#include "ui/command_ids.h"
#include "ui/e2e/edict_slice_session.h"
#include "ui/e2e/editor_windows.h"
#include "ui/e2e/program_session.h"

namespace {

using State = std::map<std::wstring, std::wstring>;
using editor_windows::BoxText;
using editor_windows::CloseBox;
using editor_windows::Utf8;
using editor_windows::WaitFor;
using editor_windows::WindowText;

constexpr int kInputBoxId = 202;
constexpr int kCannotReadFileCaption = 529;
// A window of the English interface whose list holds about 30 lines (the
// test hook reports 40 rows from the top and reads only those on the page).
constexpr wchar_t kSettings[] =
    L"[Application]\r\nVersion=11.11.0\r\nFlags=49152\r\n[Window]\r\nx=0\r\ny=0\r\ncx=900\r\ncy=900\r\ncy2=640\r\n";

long Number(State& state, const wchar_t* name) {
    const std::wstring& text = state[name];
    return text.empty() ? -2 : std::stol(text);
}

// The reading and the word of page line `line`.
std::wstring Line(State& state, long line) {
    return state[L"cell." + std::to_wstring(line) + L".0"] + L"|" + state[L"cell." + std::to_wstring(line) + L".1"];
}

HWND VisibleList(HWND frame) {
    for (HWND child = FindWindowExW(frame, nullptr, L"Ostrel List View", nullptr); child;
         child = FindWindowExW(frame, child, L"Ostrel List View", nullptr))
        if (IsWindowVisible(child)) return child;
    return nullptr;
}

// A shown message box of the program ("Cannot Read a File" in its language).
HWND ShownRefusal(State& state) {
    SetUILanguage(static_cast<uint32_t>(Number(state, L"language")));
    HWND box = FindWindowW(L"#32770", reinterpret_cast<const wchar_t*>(UIStringTable[kCannotReadFileCaption]));
    return box && IsWindowVisible(box) ? box : nullptr;
}

class ListRefusals : public testing::Test {
protected:
    void SetUp() override {
        SetProcessDPIAware();
        CloseLeftoverFrames();
    }

    // Starts over `dictionaries` (files of ui/e2e-data), in this order.
    HWND Start(const wchar_t* name, std::initializer_list<const wchar_t*> dictionaries) {
        folders_ = PrepareTest(name);
        HWND frame = StartWithDictionaries(run_, folders_, dictionaries, kSettings);
        if (frame) input_ = FindChild(frame, L"RichEdit20W", kInputBoxId);
        return frame;
    }

    // Starts over EDICT and the two damaged copies of KANJIDIC and types
    // "hire" (ひれ); the list window and the state then (null when it failed).
    HWND StartAtHire(const wchar_t* name, HWND& frame, State& state) {
        frame = Start(name, {L"edict.qdx", L"kanjidic-hiroi.qdx", L"kanjidic-fuki.qdx"});
        if (!input_) return nullptr;
        state = TypedInto(frame, L"hire", L"\u3072\u308C");
        EXPECT_EQ(ShownRefusal(state), nullptr);
        return VisibleList(frame);
    }

    // The state once the current row's reading is `reading` (after typing it).
    State TypedInto(HWND frame, const std::wstring& typed, const std::wstring& reading) {
        EXPECT_TRUE(key_typing::TypeKeys(input_, typed));
        State state;
        const bool found = WaitFor([&] {
            state = run_.QueryState(frame);
            return state[L"cell." + std::to_wstring(Number(state, L"current") - Number(state, L"top")) + L".0"] ==
                   reading;
        }, 200);
        if (!found) SaveScreenshot(folders_.root + L"\\typed.png");
        EXPECT_TRUE(found) << Utf8(typed) << " typed; the box holds " << Utf8(WindowText(input_)) << ", the current row "
                 << Utf8(Line(state, Number(state, L"current") - Number(state, L"top"))) << PageOf(state);
        return state;
    }

    // The list's counts and its page's readings, for a failure's message:
    // which list shows, how many key presses the program took (extra ones
    // would have moved the list) and the box in front, if any.
    static std::string PageOf(State& state) {
        std::string page = "\nlist kind " + Utf8(state[L"kind"]) + " keys taken " + Utf8(state[L"keys"]) +
                           " in front \"" + Utf8(state[L"popup"]) + "\"\nrows " + Utf8(state[L"rows"]) + " top " +
                           Utf8(state[L"top"]) + " current " + Utf8(state[L"current"]) + " stages";
        for (const wchar_t* stage : {L"key", L"input", L"posted", L"find", L"searched", L"list", L"end"})
            page += " " + Utf8(stage) + "=" + Utf8(state[std::wstring(L"stage.") + stage]);
        for (long line = 0; line < 40 && state.count(L"cell." + std::to_wstring(line) + L".0"); ++line)
            page += "\n  " + std::to_string(line) + " " + Utf8(Line(state, line));
        return page;
    }

    // The state once `changed` holds of it after an input, and the box the
    // refusal brought with the input when the list lost rows (null when it
    // lost none and brought no box).
    State After(HWND frame, const auto& changed, long rowsBefore, HWND* box) {
        State state;
        EXPECT_TRUE(WaitFor([&] {
            state = run_.QueryState(frame);
            return changed(state);
        }, 200));
        *box = Number(state, L"rows") < rowsBefore ? WaitForRefusal(state) : ShownRefusal(state);
        return state;
    }

    HWND WaitForRefusal(State& state) {
        HWND box = nullptr;
        WaitFor([&] { return (box = ShownRefusal(state)) != nullptr; }, 200);
        return box;
    }

    // The box names the damaged file and gives the engine's reason.
    void ExpectRefusalOf(HWND box, const wchar_t* file) {
        ASSERT_NE(box, nullptr) << "no message when the list lost the damaged dictionary's rows";
        const std::wstring text = BoxText(box);
        EXPECT_NE(text.find(folders_.DictionariesFolder() + L"\\" + file), std::wstring::npos) << Utf8(text);
        EXPECT_EQ(text.substr(text.rfind(L'\n') + 1), L"Unknown error (255)") << Utf8(text);
        SaveScreenshot(folders_.root + L"\\" + file + L".png");
        EXPECT_TRUE(CloseBox(box, IDOK));
    }

    // Waits until what the program had queued has run: the key presses the
    // program's loop had taken reach `keys` (the keys come through the input
    // queue, which a thread reads after its posted messages), then what
    // they posted has run. A box is posted behind the refresh that met the
    // damage, so it is up by then; its own loop takes the keys after it.
    State Drained(HWND frame, long keys) {
        State state;
        EXPECT_TRUE(WaitFor([&] {
            state = run_.QueryState(frame);
            return Number(state, L"keys") >= keys;
        }, 200)) << "the program took " << Number(state, L"keys") << " keys of " << keys;
        EXPECT_TRUE(run_.WaitForPostedMessages(frame));
        return run_.QueryState(frame);
    }

    // More scrolling tells nothing more.
    void ExpectNoMoreRefusals(HWND frame, HWND list) {
        State before = run_.QueryState(frame);
        const long keys = Number(before, L"keys");
        for (WORD key : {VK_NEXT, VK_PRIOR, VK_UP, VK_DOWN}) ASSERT_TRUE(key_typing::PressKey(list, key));
        State state = Drained(frame, keys + 4);
        EXPECT_EQ(ShownRefusal(state), nullptr) << "told twice";
    }

    // One mouse event at a screen point, queued as a real device's would be.
    static void SendMouse(int x, int y, DWORD flags) {
        INPUT event{};
        event.type = INPUT_MOUSE;
        event.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        event.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        event.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &event, sizeof(INPUT));
    }

    static void Wheel(HWND list, int notches) {
        key_typing::FocusWindow(list);
        RECT box{};
        GetWindowRect(list, &box);
        SetCursorPos((box.left + box.right) / 2, (box.top + box.bottom) / 2);
        INPUT turn{};
        turn.type = INPUT_MOUSE;
        turn.mi.dwFlags = MOUSEEVENTF_WHEEL;
        turn.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA * notches);
        SendInput(1, &turn, sizeof(INPUT));
    }

    ProgramRun run_;
    TestFolders folders_;
    HWND input_ = nullptr;
};

// ひれ typed, then PageDown one page at a time until the page reaches the
// leaf of ひろい in the first KANJIDIC copy: the box comes with that
// PageDown and names the copy; that copy's rows leave the list and the page
// starts with the row that ended the page before (its twin in the other
// copy when it was the damaged one's). End then passes the damaged stretch
// of the other copy on its way: told at once, and the page is the list's last.
TEST_F(ListRefusals, PageDownAndEndOntoDamagedLeavesAreToldOnceWhereTheUserWas) {
    HWND frame = nullptr;
    State state;
    HWND list = StartAtHire(L"ListRefusals.PageDownAndEnd", frame, state);
    ASSERT_NE(list, nullptr);
    const long allRows = Number(state, L"rows");

    long step = 0;  // the rows a PageDown moves the page by: the page's lines less one
    HWND box = nullptr;
    State before;
    // However many lines the window shows, up to 40: ひろい lies 161 rows on.
    for (int page = 0; page < 200 && !box; ++page) {
        before = state;
        ASSERT_TRUE(key_typing::PressKey(list, VK_NEXT));
        state = After(frame, [&](State& now) { return Number(now, L"top") != Number(before, L"top"); }, allRows, &box);
        ASSERT_FALSE(HasFailure()) << "page " << page;
        if (!box) {
            ASSERT_EQ(Number(state, L"rows"), allRows) << "page " << page;
            step = Number(state, L"top") - Number(before, L"top");
        }
    }
    ASSERT_GT(step, 0) << "a page moved before the one that met the damage";
    ASSERT_LT(step, 40);
    ExpectRefusalOf(box, L"kanjidic-hiroi.qdx");
    state = run_.QueryState(frame);
    const long rows = Number(state, L"rows");
    EXPECT_LT(rows, allRows);
    EXPECT_EQ(Line(state, 0), Line(before, step)) << "the page goes on from where it stood";
    EXPECT_GE(Number(state, L"current"), Number(state, L"top"));
    EXPECT_LT(Number(state, L"current"), Number(state, L"top") + step);
    // Every line of the page is drawn, in glyphs: rows of different readings
    // leave different ink in the reading column.
    {
        HWND header = FindWindowExW(list, nullptr, L"SysHeader32", nullptr);
        RECT client{}, head{};
        GetClientRect(list, &client);
        GetWindowRect(header, &head);
        const int top = head.bottom - head.top, height = (client.bottom - top) / (step + 1);
        std::map<std::wstring, screen_ink::Ink> inkOf;
        for (long line = 0; line < step; ++line) {
            RECT reading{20, top + line * height, 110, top + (line + 1) * height};
            const screen_ink::Ink ink = screen_ink::InkOf(list, &reading);
            EXPECT_GT(ink.Count(), 10u) << "line " << line << " is drawn";
            const std::wstring text = state[L"cell." + std::to_wstring(line) + L".0"];
            if (!inkOf.count(text)) inkOf[text] = ink;
        }
        for (auto a = inkOf.begin(); a != inkOf.end(); ++a)
            for (auto b = std::next(a); b != inkOf.end(); ++b)
                EXPECT_TRUE(a->second != b->second) << "the same ink for " << Utf8(a->first) << " and " << Utf8(b->first);
    }
    ExpectNoMoreRefusals(frame, list);

    ASSERT_TRUE(key_typing::PressKey(list, VK_END));
    state = After(frame, [&](State& now) { return Number(now, L"rows") < rows || ShownRefusal(now); }, rows, &box);
    ExpectRefusalOf(box, L"kanjidic-fuki.qdx");
    state = run_.QueryState(frame);
    EXPECT_EQ(allRows - rows, rows - Number(state, L"rows")) << "each copy of KANJIDIC left whole";
    EXPECT_EQ(Number(state, L"current"), Number(state, L"rows") - 1);
    EXPECT_EQ(Number(state, L"top"), Number(state, L"rows") - step - 1) << "the last page";
    EXPECT_FALSE(state[L"cell.0.0"].empty());
    ExpectNoMoreRefusals(frame, list);
    EXPECT_EQ(run_.Exit(frame), 0);
}

// The same with the wheel, one notch at a time: the page that meets the
// damaged leaf starts with the row that was its second line. Then the scroll
// box dragged from the top to seven eighths of its track lands in the other
// copy's damaged stretch: told at once, and the page stands at the same
// share of the shorter list.
TEST_F(ListRefusals, WheelAndScrollBoxOntoDamagedLeavesAreToldOnceWhereTheUserWas) {
    HWND frame = nullptr;
    State state;
    HWND list = StartAtHire(L"ListRefusals.WheelAndScrollBox", frame, state);
    ASSERT_NE(list, nullptr);
    const long allRows = Number(state, L"rows");

    HWND box = nullptr;
    State before;
    for (int notch = 0; notch < 400 && !box; ++notch) {
        before = state;
        Wheel(list, 1);
        state = After(frame, [&](State& now) { return Number(now, L"current") != Number(before, L"current"); }, allRows,
                      &box);
        ASSERT_FALSE(HasFailure()) << "notch " << notch;
        if (!box) {
            ASSERT_EQ(Number(state, L"current"), Number(before, L"current") + 1) << "notch " << notch;
        }
    }
    ExpectRefusalOf(box, L"kanjidic-hiroi.qdx");
    state = run_.QueryState(frame);
    const long rows = Number(state, L"rows");
    EXPECT_LT(rows, allRows);
    EXPECT_EQ(Line(state, 0), Line(before, 1)) << "the page goes on from where it stood";
    ExpectNoMoreRefusals(frame, list);

    // The scroll box at the top of its track, pressed and dragged in one move
    // to seven eighths of it.
    ASSERT_TRUE(key_typing::PressKey(list, VK_HOME));
    ASSERT_TRUE(WaitFor([&] {
        state = run_.QueryState(frame);
        return Number(state, L"top") == 0;
    }));
    RECT client{};
    GetClientRect(list, &client);
    POINT corner{client.right, client.top};
    ClientToScreen(list, &corner);
    const int arrow = GetSystemMetrics(SM_CYVSCROLL), thumb = GetSystemMetrics(SM_CYVTHUMB);
    const int x = corner.x + GetSystemMetrics(SM_CXVSCROLL) / 2, from = corner.y + arrow + thumb / 2;
    const double share = 7.0 / 8;
    const int to = from + static_cast<int>(share * (client.bottom - 2 * arrow - thumb));
    key_typing::FocusWindow(list);
    // Press, move and release go through the input queue in that order (a
    // cursor set directly could move before a busy program took the press,
    // which then fell on the track); the move waits until the press has
    // started the drag, which captures the mouse.
    SendMouse(x, from, MOUSEEVENTF_MOVE);
    SendMouse(x, from, MOUSEEVENTF_LEFTDOWN);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    const DWORD listThread = GetWindowThreadProcessId(list, nullptr);
    EXPECT_TRUE(WaitFor([&] { return GetGUIThreadInfo(listThread, &gui) && gui.hwndCapture != nullptr; }))
        << "the press on the scroll box starts a drag";
    SendMouse(x, to, MOUSEEVENTF_MOVE);
    SendMouse(x, to, MOUSEEVENTF_LEFTUP);
    state = After(frame, [&](State& now) { return Number(now, L"rows") < rows || ShownRefusal(now); }, rows, &box);
    ExpectRefusalOf(box, L"kanjidic-fuki.qdx");
    state = run_.QueryState(frame);
    EXPECT_EQ(allRows - rows, rows - Number(state, L"rows")) << "each copy of KANJIDIC left whole";
    EXPECT_NEAR(static_cast<double>(Number(state, L"top")) / Number(state, L"rows"), share, 0.03)
        << "the same share of the list";
    EXPECT_FALSE(state[L"cell.0.0"].empty());
    ExpectNoMoreRefusals(frame, list);
    EXPECT_EQ(run_.Exit(frame), 0);
}

// "generous" typed and looked up in the full text (the input's command
// 40169) over EDICT and the KANJIDIC whose word-index leaf of "generous" no
// longer inflates: told once, naming the copy, and the search-results list
// holds exactly the articles EDICT alone gives; the same search again tells
// nothing more.
TEST_F(ListRefusals, AFullTextSearchMeetingADamagedLeafIsToldOnceAndListsTheOtherArticles) {
    std::ifstream expected(BinaryPath() + "/ui/e2e-data/generous-in-edict.txt");
    long edictRows = -1;
    std::string word;
    ASSERT_TRUE(expected >> word >> edictRows && word == "rows") << "the build's count of EDICT's articles";
    ASSERT_GT(edictRows, 10);
    HWND frame = Start(L"ListRefusals.FullText", {L"edict.qdx", L"kanjidic-generous.qdx"});
    ASSERT_NE(input_, nullptr);
    ASSERT_TRUE(key_typing::TypeKeys(input_, L"generous"));
    ASSERT_TRUE(WaitFor([&] { return WindowText(input_) == L"generous"; }));
    State state;
    for (int search = 0; search < 2; ++search) {
        SendMessageW(input_, EM_SETSEL, 0, -1);
        PostMessageW(frame, WM_COMMAND, cmd::kLookUpFullText, 0);
        HWND box = nullptr;
        WaitFor([&] {
            state = run_.QueryState(frame);
            box = ShownRefusal(state);
            return box != nullptr || (search > 0 && Number(state, L"rows") == edictRows);
        }, 200);
        if (search == 0) {
            ExpectRefusalOf(box, L"kanjidic-generous.qdx");
            state = run_.QueryState(frame);
        } else {
            // A tell the search posted has run behind it.
            ASSERT_TRUE(run_.WaitForPostedMessages(frame));
            state = run_.QueryState(frame);
            EXPECT_EQ(ShownRefusal(state), nullptr) << "told twice";
        }
        EXPECT_EQ(Number(state, L"rows"), edictRows) << "search " << search;
    }
    EXPECT_EQ(run_.Exit(frame), 0);
}

}  // namespace
