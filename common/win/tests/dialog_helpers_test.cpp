#include "common/win/dialog_helpers.h"

#include <gtest/gtest.h>

namespace {

// A plain top-level window with real child controls, destroyed with the test.
class TestWindow {
public:
    TestWindow() {
        window_ = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~TestWindow() { DestroyWindow(window_); }
    HWND Child(const wchar_t* className, int id, DWORD style = 0) {
        return CreateWindowExW(0, className, L"", WS_CHILD | style, 0, 0, 200, 100, window_,
                               reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleW(nullptr), nullptr);
    }
    HWND handle() const { return window_; }

private:
    HWND window_;
};

}  // namespace

TEST(ComboSelectByData, SelectsTheFirstMatchOrClearsTheSelection) {
    TestWindow host;
    HWND combo = host.Child(L"COMBOBOX", 10, CBS_DROPDOWNLIST);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(ComboSelectByData(combo, 5), 0);  // empty box
    const LPARAM data[] = {40, 7, 7, 2};
    for (LPARAM d : data) {
        const int i = int(SendMessageW(combo, CB_ADDSTRING, 0, LPARAM(L"item")));
        SendMessageW(combo, CB_SETITEMDATA, WPARAM(i), d);
    }
    EXPECT_EQ(ComboSelectByData(combo, 7), 1);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(ComboSelectByData(combo, 2), 3);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(ComboSelectByData(combo, 99), 4);  // the count
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
}

TEST(SetControlsFont, SetsTheFontOnListedControlsThatExist) {
    TestWindow host;
    HWND first = host.Child(L"EDIT", 101);
    HWND second = host.Child(L"BUTTON", 102);
    HWND unlisted = host.Child(L"BUTTON", 103);
    HFONT font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0, L"MS UI Gothic");
    ASSERT_NE(font, nullptr);
    const int ids[] = {101, 999, 102, 0, 103};  // 999 does not exist; 103 lies past the end
    EXPECT_EQ(SetControlsFont(host.handle(), font, ids), 0);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(first, WM_GETFONT, 0, 0)), font);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(second, WM_GETFONT, 0, 0)), font);
    EXPECT_NE(reinterpret_cast<HFONT>(SendMessageW(unlisted, WM_GETFONT, 0, 0)), font);
    EXPECT_EQ(SetControlsFont(host.handle(), nullptr, ids), 0);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(first, WM_GETFONT, 0, 0)), font);
    DeleteObject(font);
}

TEST(ClampToWorkArea, UsesTheRealWorkArea) {
    RECT area{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0));
    int32_t x = area.right - 10, y = area.bottom - 10;
    ClampToWorkArea(x, y, 200, 100);
    EXPECT_EQ(x, area.right - 200);
    EXPECT_EQ(y, area.bottom - 100);
    x = 5;
    y = 6;
    ClampToWorkArea(x, y, 50, 50);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 6);
}
