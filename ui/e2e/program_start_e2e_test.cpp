// OstrelPro.exe end to end under Wine: first-run size by DPI, the interface
// language from the system locale, the second start, Exit's saved settings and registry
// values, "/uninstall", Exit under a running modal dialog and web-search
// commands with foreign lParams. Each case starts the program afresh in
// folders of its own.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ui/e2e/machine_pace.h"
#include "ui/e2e/program_session.h"

namespace {

std::wstring TestName() {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    std::wstring wide;
    for (char c : name) wide += (c == '/' ? L'_' : static_cast<wchar_t>(c));
    return wide;
}

class ProgramStart : public testing::Test {
protected:
    void SetUp() override {
        SetProcessDPIAware();
        CloseLeftoverFrames();
    }
};

struct DpiCase {
    int dpi, width, height;
};

class FirstRunSize : public ProgramStart, public testing::WithParamInterface<DpiCase> {
protected:
    // The prefix outlives the run: a test process started later (the next
    // run's first case) takes the screen DPI it finds there at its start.
    void TearDown() override {
        DWORD pixels = 96;
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &pixels, sizeof(pixels));
    }
};

TEST_P(FirstRunSize, FollowsTheScreenDpi) {
    const DpiCase& c = GetParam();
    TestFolders folders = PrepareTest(TestName(), c.dpi);
    ProgramRun run;
    HWND frame = run.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    auto state = run.QueryState(frame);
    EXPECT_EQ(state[L"dpi"], std::to_wstring(c.dpi));
    EXPECT_EQ(state[L"homeSite"], L"http://127.0.0.1:9/");
    EXPECT_EQ(state[L"dataFolder"], folders.DataFolder());
    RECT rect{};
    GetWindowRect(frame, &rect);
    EXPECT_EQ(rect.right - rect.left, c.width);
    EXPECT_EQ(rect.bottom - rect.top, c.height);
    EXPECT_EQ(rect.top, 16);
    EXPECT_TRUE(IsWindowVisible(frame));
    // Colour at a known place: the input box along the top is window-white.
    HWND input = FindChild(frame, L"RichEdit20W", 202);
    ASSERT_NE(input, nullptr);
    RedrawWindow(input, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT box{};
    GetWindowRect(input, &box);
    HDC screen = GetDC(nullptr);
    COLORREF inside = GetPixel(screen, box.right - 8, (box.top + box.bottom) / 2);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(inside, GetSysColor(COLOR_WINDOW));
    SaveScreenshot(folders.root + L"\\first_run.png");
    EXPECT_EQ(run.Exit(frame), 0);
    EXPECT_EQ(ReadIniString(folders, L"Window", L"cy2"), std::to_wstring(c.height - c.dpi * 200 / 96));
}

INSTANTIATE_TEST_SUITE_P(Dpi, FirstRunSize, testing::Values(DpiCase{96, 400, 520}, DpiCase{120, 430, 650}),
                         [](const testing::TestParamInfo<DpiCase>& info) { return std::to_string(info.param.dpi); });

// The system language comes from the Unix locale Wine starts with, which a
// child process does not take from its Windows environment: ctest runs this
// case once per locale (ui_e2e_tests_ru, _ja, _en) with the expected
// interface language in OSTREL_E2E_LANGUAGE.
TEST_F(ProgramStart, FirstRunLanguageComesFromTheSystemLanguage) {
    char expected[8] = {};
    if (!GetEnvironmentVariableA("OSTREL_E2E_LANGUAGE", expected, sizeof(expected)))
        GTEST_SKIP() << "run by the per-locale ctest entries";
    int language = expected[0] - '0';
    unsigned languageFlag = language == 2 ? 0x800u : language == 1 ? 0x4000u : 0u;
    TestFolders folders = PrepareTest(TestName());
    ProgramRun run;
    HWND frame = run.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(run.QueryState(frame)[L"language"], std::to_wstring(language));
    ASSERT_EQ(run.Exit(frame), 0);
    unsigned flags = static_cast<unsigned>(std::stoul(ReadIniString(folders, L"Application", L"Flags")));
    EXPECT_EQ(flags & 0x4800u, languageFlag);
    EXPECT_EQ(flags & 0x29000u, 0x29000u);  // first run: shown, clipboard monitor, under cursor
}

// A saved state whose Flags lack "shown": the window starts hidden (in the tray).
constexpr wchar_t kHiddenSettings[] =
    L"[Application]\r\nVersion=11.11.0\r\nFlags=16384\r\n[Window]\r\nx=40\r\ny=30\r\ncx=420\r\ncy=500\r\ncy2=300\r\n";

TEST_F(ProgramStart, SecondStartShowsTheHiddenWindowAndExitsWithZero) {
    TestFolders folders = PrepareTest(TestName());
    WriteSettings(folders, kHiddenSettings);
    ProgramRun first;
    HWND frame = first.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(IsWindowVisible(frame));
    ProgramRun second;
    EXPECT_EQ(second.WaitForExit(), 0);
    for (int i = 0, n = machine_pace::ScaledTries(50); i < n && !IsWindowVisible(frame); ++i) Sleep(100);
    EXPECT_TRUE(IsWindowVisible(frame));
    EXPECT_EQ(FindFrame(), frame);  // still the one window
    RECT rect{};
    GetWindowRect(frame, &rect);
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.right - rect.left, 420);
    EXPECT_EQ(first.Exit(frame), 0);
}

// A clipboard viewer, on a thread of its own, joined to the chain after the
// program: a closing frame leaves the chain at the start of its save and so
// sends it WM_CHANGECBCHAIN, which is held until Release. The program stays
// in its save meanwhile, its frame hidden but not yet gone.
class ChainHolder {
public:
    ChainHolder()
        : ready_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), held_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          release_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = CreateThread(nullptr, 0, &ChainHolder::Run, this, 0, &threadId_);
        WaitForSingleObject(ready_, 5000);
    }
    ~ChainHolder() {
        Release();
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        WaitForSingleObject(thread_, 5000);
        for (HANDLE handle : {thread_, ready_, held_, release_}) CloseHandle(handle);
    }
    bool WaitUntilHeld(DWORD timeoutMs) { return WaitForSingleObject(held_, timeoutMs) == WAIT_OBJECT_0; }
    void Release() { SetEvent(release_); }

private:
    static DWORD WINAPI Run(void* context) {
        auto* self = static_cast<ChainHolder*>(context);
        WNDCLASSW type{};
        type.lpfnWndProc = &ChainHolder::Proc;
        type.hInstance = GetModuleHandleW(nullptr);
        type.lpszClassName = L"OstrelE2EChainHolder";
        RegisterClassW(&type);
        HWND window = CreateWindowExW(0, type.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                      type.hInstance, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->next_ = SetClipboardViewer(window);
        SetEvent(self->ready_);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
        ChangeClipboardChain(window, self->next_);
        DestroyWindow(window);
        return 0;
    }
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<ChainHolder*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message != WM_CHANGECBCHAIN || !self) return DefWindowProcW(window, message, wParam, lParam);
        SetEvent(self->held_);
        WaitForSingleObject(self->release_, 30000);
        if (reinterpret_cast<HWND>(wParam) == self->next_) self->next_ = reinterpret_cast<HWND>(lParam);
        else if (self->next_) SendMessageW(self->next_, message, wParam, lParam);
        return 0;
    }

    HANDLE ready_, held_, release_, thread_ = nullptr;
    DWORD threadId_ = 0;
    HWND next_ = nullptr;
};

// Started while the running program is closing (its frame still there,
// hidden, saving), the program waits for that one to end and then starts on
// its own: it neither hands over to the dying window nor runs beside it.
TEST_F(ProgramStart, StartDuringAnotherInstancesCloseWaitsForItsEnd) {
    TestFolders folders = PrepareTest(TestName());
    ProgramRun first;
    HWND closing = first.WaitForFrame();  // a first run: the clipboard monitor is on
    ASSERT_NE(closing, nullptr);
    ChainHolder holder;
    PostMessageW(closing, WM_COMMAND, 40001, 0);
    ASSERT_TRUE(holder.WaitUntilHeld(15000)) << "the closing program never left the clipboard chain";
    EXPECT_TRUE(IsWindow(closing));
    ProgramRun second;
    EXPECT_EQ(second.WaitForExit(2000), -1) << "the second start handed over to the closing frame";
    holder.Release();
    EXPECT_EQ(first.WaitForExit(), 0);
    HWND frame = second.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_NE(frame, closing);
    EXPECT_EQ(second.Exit(frame), 0);
}

TEST_F(ProgramStart, ExitWritesTheWindowTheSelectedListAndTheUsageCounters) {
    TestFolders folders = PrepareTest(TestName());
    WriteSettings(folders, kHiddenSettings);
    ProgramRun run;
    HWND frame = run.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    PostMessageW(frame, WM_COMMAND, 40051, 0);
    for (int i = 0, n = machine_pace::ScaledTries(50); i < n && !IsWindowVisible(frame); ++i) Sleep(100);
    SetWindowPos(frame, nullptr, 60, 70, 450, 560, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(run.Exit(frame), 0);

    EXPECT_EQ(ReadIniString(folders, L"Window", L"x"), L"60");
    EXPECT_EQ(ReadIniString(folders, L"Window", L"y"), L"70");
    EXPECT_EQ(ReadIniString(folders, L"Window", L"cx"), L"450");
    EXPECT_EQ(ReadIniString(folders, L"Window", L"cy"), L"560");
    EXPECT_EQ(ReadIniString(folders, L"Window", L"cy2"), L"300");
    EXPECT_EQ(ReadIniString(folders, L"Application", L"Version"), L"11.11.0");
    // The Selected list lives in the Dictionaries folder.
    EXPECT_EQ(ReadIniString(folders, L"Memo", L"File1"), folders.DictionariesFolder() + L"\\Selected.oxm");

    DWORD type = 0;
    auto lastDate = ReadProgramValue(L"LastDate", &type);
    ASSERT_TRUE(lastDate.has_value());
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    ASSERT_EQ(lastDate->size(), 16u);
    SYSTEMTIME today;
    GetLocalTime(&today);
    SYSTEMTIME stored;
    memcpy(&stored, lastDate->data(), sizeof(stored));
    EXPECT_EQ(stored.wYear, today.wYear);
    EXPECT_EQ(stored.wDay, today.wDay);
    auto days = ReadProgramValue(L"WorkingDays", &type);
    ASSERT_TRUE(days.has_value());
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(days->at(0), 1);
    auto statistics = ReadProgramValue(L"Statistics", &type);
    ASSERT_TRUE(statistics.has_value());
    EXPECT_EQ(statistics->size(), 44u);
    auto id = ReadProgramValue(L"CLSID1", &type);
    ASSERT_TRUE(id.has_value());
    EXPECT_EQ(id->size(), 39u * 2);  // 38 units and the terminator

    // A second run on the same day counts no new working day.
    ProgramRun again;
    HWND frame2 = again.WaitForFrame();
    ASSERT_NE(frame2, nullptr);
    ASSERT_EQ(again.Exit(frame2), 0);
    EXPECT_EQ(ReadProgramValue(L"WorkingDays")->at(0), 1);
}

TEST_F(ProgramStart, UninstallCleansUpWithoutAWindowButCapitalsStartNormally) {
    TestFolders folders = PrepareTest(TestName());
    {
        ProgramRun run(L"/uninstall");
        EXPECT_EQ(run.WaitForExit(), 0);
    }
    EXPECT_EQ(FindFrame(), nullptr);
    EXPECT_TRUE(ReadProgramValue(L"CLSID1").has_value());  // set-up ran before the clean-up
    ProgramRun capitals(L"/UNINSTALL");
    HWND frame = capitals.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(capitals.Exit(frame), 0);
}

TEST_F(ProgramStart, ExitUnderAModalDialogKeepsTheFrame) {
    TestFolders folders = PrepareTest(TestName());
    ProgramRun run;
    HWND frame = run.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    // A modal dialog disables its owner; Exit then only brings the dialog forward.
    EnableWindow(frame, FALSE);
    PostMessageW(frame, WM_COMMAND, 40001, 0);
    PostMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(run.WaitForExit(1500), -1);
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_FALSE(run.QueryState(frame).empty());
    EnableWindow(frame, TRUE);
    EXPECT_EQ(run.Exit(frame), 0);
}

TEST_F(ProgramStart, OptionTogglesChangeTheWindowAndAreSavedInFlags) {
    TestFolders folders = PrepareTest(TestName());
    // Shown, English, topmost; clipboard monitor and under-cursor translation off.
    WriteSettings(folders, L"[Application]\r\nVersion=11.11.0\r\nFlags=57344\r\n"
                           L"[Window]\r\nx=40\r\ny=30\r\ncx=420\r\ncy=500\r\ncy2=300\r\n");
    ProgramRun run;
    HWND frame = run.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(GetWindowLongW(frame, GWL_EXSTYLE) & WS_EX_TOPMOST);
    for (WPARAM toggle : {40013, 40012, 40114}) PostMessageW(frame, WM_COMMAND, toggle, 0);
    for (int i = 0, n = machine_pace::ScaledTries(250);
         i < n && (GetWindowLongW(frame, GWL_EXSTYLE) & WS_EX_TOPMOST); ++i)
        Sleep(20);
    EXPECT_FALSE(GetWindowLongW(frame, GWL_EXSTYLE) & WS_EX_TOPMOST);
    auto flags = [&run, frame] { return std::stoul(run.QueryState(frame)[L"flags"]); };
    for (int i = 0, n = machine_pace::ScaledTries(250); i < n && !(flags() & 0x20000); ++i) Sleep(20);
    EXPECT_EQ(flags() & 0x23000, 0x21000u);  // monitor and under cursor on, topmost off
    EXPECT_EQ(run.Exit(frame), 0);
    unsigned saved = static_cast<unsigned>(std::stoul(ReadIniString(folders, L"Application", L"Flags")));
    EXPECT_EQ(saved & 0x23000u, 0x21000u);
    EXPECT_EQ(saved & 0x4000u, 0x4000u);
    EXPECT_EQ(saved & 0xFF000000u, 0u);  // only the low 24 bits are saved (started is 0x40000000)
}

TEST_F(ProgramStart, CharactersTypedIntoTheInputBoxAreItsText) {
    TestFolders folders = PrepareTest(TestName());
    ProgramRun run;
    HWND frame = run.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    HWND input = FindChild(frame, L"RichEdit20W", 202);
    ASSERT_NE(input, nullptr);
    for (wchar_t c : std::wstring(L"\u306D\u3053 cat")) PostMessageW(input, WM_CHAR, c, 1);
    // Posted characters wait behind sent messages: let the program's loop reach them.
    for (int i = 0; i < 100 && SendMessageW(input, WM_GETTEXTLENGTH, 0, 0) < 6; ++i) Sleep(20);
    // EM_GETTEXTEX points at a structure and a buffer: both live in the program.
    struct {
        DWORD cb, flags;
        UINT codepage;
        LPCSTR defaultChar;
        LPBOOL usedDefaultChar;
    } request{64 * sizeof(wchar_t), 0, 1200, nullptr, nullptr};
    RemoteMemory memory(input, sizeof(request) + 64 * sizeof(wchar_t));
    ASSERT_TRUE(memory.Valid());
    ASSERT_TRUE(memory.Write(0, &request, sizeof(request)));
    LRESULT units = SendMessageW(input, WM_USER + 94 /* EM_GETTEXTEX */, memory.At(0), memory.At(sizeof(request)));
    wchar_t text[64] = {};
    ASSERT_TRUE(memory.Read(sizeof(request), text, sizeof(text)));
    EXPECT_EQ(units, 6);
    EXPECT_EQ(std::wstring(text), L"\u306D\u3053 cat");
    EXPECT_EQ(run.Exit(frame), 0);
}

TEST_F(ProgramStart, WebSearchCommandsRefuseWordsTheFrameDidNotHandOut) {
    TestFolders folders = PrepareTest(TestName());
    ProgramRun run;
    HWND frame = run.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    for (LPARAM value : {LPARAM(0), LPARAM(-1), LPARAM(0x12345678)})
        for (WPARAM id : {40183, 40164, 40691}) PostMessageW(frame, WM_COMMAND, id, value);
    EXPECT_FALSE(run.QueryState(frame).empty());  // still answering
    EXPECT_EQ(run.Exit(frame), 0);
}

}  // namespace
