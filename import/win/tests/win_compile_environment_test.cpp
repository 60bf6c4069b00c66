// The Win32 compile seams in real windows: the label shows the step text,
// the progress bar takes the value, Cancel is enabled again; the GUID and
// the local time come from the system.
#include "import/win/win_compile_environment.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

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
