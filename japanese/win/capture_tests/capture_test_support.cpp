// Windows, pointer and pumping for the capture tests; COM set up once.
#include "capture_test_support.h"

#include <gtest/gtest.h>

#include <map>

namespace ostrel::japanese::testing {

void RegisterTestClass(const wchar_t* name, WNDPROC procedure) {
    static std::map<std::wstring, WNDPROC> registered;
    auto known = registered.find(name);
    if (known != registered.end()) {
        if (!procedure || known->second == procedure) return;
        // Another test's class of the same name: its windows are gone by now.
        UnregisterClassW(name, GetModuleHandleW(nullptr));
    }
    if (!procedure) procedure = DefWindowProcW;
    registered[name] = procedure;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = name;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    ASSERT_TRUE(RegisterClassW(&windowClass)) << GetLastError();
}

HWND MakeWindow(const wchar_t* className, RECT rect, const wchar_t* caption, HWND parent) {
    RegisterTestClass(className);
    DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_POPUP | WS_VISIBLE;
    if (parent) {
        RECT client{};
        GetClientRect(parent, &client);
        rect = client;
    }
    HWND window = CreateWindowExW(parent ? 0 : WS_EX_TOPMOST, className, caption, style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    EXPECT_TRUE(window) << GetLastError();
    Pump();
    return window;
}

void Pump() {
    for (int round = 0; round < 3; ++round) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
}

POINT CentreOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void RestPointerAt(UnderCursorStep& step, int x, int y) {
    ASSERT_TRUE(SetCursorPos(x, y));
    Pump();
    POINT seen{};
    ASSERT_TRUE(GetCursorPos(&seen));
    ASSERT_EQ(seen.x, x);
    ASSERT_EQ(seen.y, y);
    for (int tick = 0; tick < 4; ++tick) EXPECT_EQ(step.PollTextUnderCursor(), 0);
}

namespace {

// One apartment for the whole run: the captures and the fakes live in it.
class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }
};
const auto* const kCom = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

}  // namespace

}  // namespace ostrel::japanese::testing
