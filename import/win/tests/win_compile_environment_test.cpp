// The Win32 compile seams in real windows: the label shows the step text,
// the progress bar takes the value, Cancel is enabled again; the GUID and
// the local time come from the system; a step an end-to-end test holds
// waits for it.
#include "import/win/win_compile_environment.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "common/win/test_hold.h"

namespace {

struct Windows {
    Windows() {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        owner = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                                nullptr);
        label = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 200, 20, owner, nullptr, nullptr, nullptr);
        bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD, 0, 30, 200, 20, owner, nullptr, nullptr, nullptr);
        SendMessageW(bar, PBM_SETRANGE32, 0, 1000);
        cancel = CreateWindowExW(0, L"BUTTON", L"Cancel", WS_CHILD | WS_DISABLED, 0, 60, 80, 20, owner,
                                 reinterpret_cast<HMENU>(IDCANCEL), nullptr, nullptr);
    }
    ~Windows() { DestroyWindow(owner); }
    HWND owner, label, bar, cancel;
};

TEST(WinCompileUi, LabelProgressAndCancelReachTheirControls) {
    Windows w;
    ASSERT_NE(w.owner, nullptr);
    WinCompileUi ui(w.owner, w.label, w.bar);
    ui.SetStepLabel(u"Performing step 2 from 9: writing article pointers");
    wchar_t text[128] = {};
    GetWindowTextW(w.label, text, 128);
    EXPECT_EQ(std::wstring(text), L"Performing step 2 from 9: writing article pointers");
    ASSERT_TRUE(ui.HasProgressBar());
    ui.SetProgress(725);
    EXPECT_EQ(SendMessageW(w.bar, PBM_GETPOS, 0, 0), 725);
    EXPECT_FALSE(IsWindowEnabled(w.cancel));
    ui.EnableCancel();
    EXPECT_TRUE(IsWindowEnabled(w.cancel));
    ui.PumpMessages();
    EXPECT_FALSE(WinCompileUi(nullptr, nullptr, nullptr).HasProgressBar());
}

// With the test hook on and OSTREL_TEST_STEP_HOLD naming an event, a step
// waits, its label shown and messages running (another thread reads the
// label through them), until the event is set; without the hook it never
// waits.
TEST(WinCompileUi, AStepWaitsForTheTestThatHoldsIt) {
    Windows w;
    WinCompileUi ui(w.owner, w.label, w.bar);
    const wchar_t* name = L"OstrelStepHoldUnitTest";
    HANDLE hold = CreateEventW(nullptr, FALSE, FALSE, name);
    ASSERT_NE(hold, nullptr);
    SetEnvironmentVariableW(L"OSTREL_TEST_STEP_HOLD", name);
    const DWORD before = GetTickCount();
    ui.SetStepLabel(u"Performing step 4 from 7");
    EXPECT_LT(GetTickCount() - before, kTestHoldMs / 2) << "a step waited with the hook off";
    SetEnvironmentVariableW(L"OSTREL_TEST_HOOK", L"1");
    std::wstring seen;
    std::thread test([&] {
        for (int i = 0; i < 300 && seen.empty(); ++i) {
            wchar_t text[64] = {};
            DWORD_PTR length = 0;
            if (SendMessageTimeoutW(w.label, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 100,
                                    &length) &&
                std::wstring(text).find(L"step 5") != std::wstring::npos)
                seen = text;
        }
        SetEvent(hold);
    });
    ui.SetStepLabel(u"Performing step 5 from 7");
    test.join();
    EXPECT_EQ(seen, L"Performing step 5 from 7");
    EXPECT_EQ(WaitForSingleObject(hold, 0), WAIT_TIMEOUT) << "the step went on before its event was set";
    SetEnvironmentVariableW(L"OSTREL_TEST_HOOK", nullptr);
    SetEnvironmentVariableW(L"OSTREL_TEST_STEP_HOLD", nullptr);
    CloseHandle(hold);
}

TEST(WinCompileEnv, GuidAndTimeFromTheSystem) {
    WinCompileEnv env;
    const std::u16string a = env.NewGuidText(), b = env.NewGuidText();
    ASSERT_EQ(a.size(), 38u);
    EXPECT_EQ(a.front(), u'{');
    EXPECT_EQ(a.back(), u'}');
    EXPECT_NE(a, b);
    const CompileTime t = env.LocalTime();
    EXPECT_GE(t.year, 2020);
    EXPECT_GE(t.month, 1);
    EXPECT_LE(t.month, 12);
}

}  // namespace
