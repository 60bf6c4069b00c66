// The wait cursor the portable core shows through the program's context
// (a dictionary opening its file): the real cursor of the thread, put back
// afterwards, over a real window under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include "ui/program_context.h"

namespace {

TEST(WaitCursor, ShownOverTheWindowAndPutBack) {
    HWND window = CreateWindowExW(0, L"STATIC", L"wait cursor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    SetCursor(arrow);
    ProgramContext context;
    IAppContext* previousContext = SetAppContext(&context);
    {
        WaitCursorScope wait;
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    }
    EXPECT_EQ(GetCursor(), arrow);
    SetAppContext(previousContext);
    DestroyWindow(window);
}

}  // namespace
