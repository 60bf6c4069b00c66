// The window tests' own checks, on windows of this process: keys typed one at
// a time arrive as a user's keys, and the glyph check tells real glyphs from
// the boxes of a face that lacks a script.
#include "common/win/tests/key_typing.h"
#include "common/win/tests/screen_ink.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Delivers what is queued for this thread's windows.
void Pump(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

class ShownControl {
public:
    ShownControl(const wchar_t* className, DWORD style) {
        top_ = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"screen checks", WS_POPUP | WS_VISIBLE | WS_BORDER, 40, 40,
                               240, 80, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        control_ = CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | style, 4, 4, 220, 60, top_, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        Pump(100);
    }
    ~ShownControl() {
        DestroyWindow(top_);
        if (font_) DeleteObject(font_);
    }
    HWND control() const { return control_; }
    void UseFace(const wchar_t* face, BYTE charset) {
        font_ = CreateFontW(-32, 0, 0, 0, FW_NORMAL, 0, 0, 0, charset, 0, 0, ANTIALIASED_QUALITY, 0, face);
        SendMessageW(control_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    }
    screen_ink::Ink Show(const std::wstring& text) {
        SetWindowTextW(control_, text.c_str());
        RedrawWindow(control_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        Pump(30);
        return screen_ink::InkOf(control_);
    }

private:
    HWND top_ = nullptr;
    HWND control_ = nullptr;
    HFONT font_ = nullptr;
};

}  // namespace

TEST(KeyTyping, EveryKeyTypedOneAtATimeReachesTheFocusedEdit) {
    ShownControl edit(L"EDIT", ES_AUTOHSCROLL);
    const std::wstring typed = L"Puella, \u306D\u3053 \u0434\u0430!";  // Latin with Shift, kana, Cyrillic
    ASSERT_TRUE(key_typing::FocusWindow(edit.control()));
    for (wchar_t c : typed) {
        ASSERT_TRUE(key_typing::TypeKeys(edit.control(), std::wstring(1, c), 0));
        Pump(20);
    }
    wchar_t text[64] = {};
    GetWindowTextW(edit.control(), text, 64);
    EXPECT_EQ(std::wstring(text), typed);
}

// A face with every script passes; a face with no kana or kanji draws them all
// as one box and fails on exactly those scripts, as does a surface that draws
// nothing but boxes.
TEST(DrawsRealGlyphs, PassesRealGlyphsAndCatchesBoxes) {
    ShownControl label(L"STATIC", SS_LEFT);
    auto show = [&](const std::wstring& text) { return label.Show(text); };

    label.UseFace(L"IPAGothic", SHIFTJIS_CHARSET);
    EXPECT_TRUE(screen_ink::DrawsRealGlyphs(show));

    ::testing::AssertionResult boxes = screen_ink::DrawsRealGlyphs(
        [&](const std::wstring&) { return label.Show(screen_ink::kNoGlyph); });
    EXPECT_FALSE(boxes);
    EXPECT_NE(std::string(boxes.message()).find("kanji"), std::string::npos) << boxes.message();

    label.UseFace(L"DejaVu Sans", DEFAULT_CHARSET);
    ::testing::AssertionResult latinOnly = screen_ink::DrawsRealGlyphs(show);
    EXPECT_FALSE(latinOnly) << "DejaVu Sans drew kana and kanji";
    std::string faults = latinOnly.message();
    EXPECT_EQ(faults.find("Latin"), std::string::npos) << faults;
    EXPECT_EQ(faults.find("Cyrillic"), std::string::npos) << faults;
    EXPECT_NE(faults.find("kana"), std::string::npos) << faults;
}
