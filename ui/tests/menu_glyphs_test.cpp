// The menus as Wine draws them in the program's prefix: the menu texts of the
// three interface languages are drawn as real glyphs (two different characters
// of each script, told from the box of a missing glyph), and Cyrillic is set
// as closely as Latin, not a full-width cell per letter.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/win/tests/screen_ink.h"

namespace {

using screen_ink::Ink;

constexpr UINT_PTR kCaptureTimer = 7;

// The ink of the first item of a pop-up menu whose only item is `text`, as
// the menu shows it on the screen.
class MenuCapture {
public:
    MenuCapture() {
        WNDCLASSW type{};
        type.lpfnWndProc = DefWindowProcW;
        type.hInstance = GetModuleHandleW(nullptr);
        type.lpszClassName = L"OstrelMenuGlyphsOwner";
        RegisterClassW(&type);
        owner_ = CreateWindowExW(WS_EX_TOPMOST, type.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr,
                                 nullptr, type.hInstance, nullptr);
    }
    ~MenuCapture() { DestroyWindow(owner_); }

    Ink Draw(const std::wstring& text) {
        HMENU menu = CreatePopupMenu();
        AppendMenuW(menu, MF_STRING, 1, text.c_str());
        current_ = this;
        ink_ = Ink{};
        SetForegroundWindow(owner_);
        SetTimer(owner_, kCaptureTimer, 400, &MenuCapture::Capture);
        TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_NONOTIFY, 200, 200, owner_, nullptr);
        KillTimer(owner_, kCaptureTimer);
        DestroyMenu(menu);
        current_ = nullptr;
        return ink_;
    }

private:
    static void CALLBACK Capture(HWND window, UINT, UINT_PTR id, DWORD) {
        KillTimer(window, id);
        if (HWND shown = FindWindowW(L"#32768", nullptr); shown && current_) {
            RECT client{};
            GetClientRect(shown, &client);
            client.left += 2, client.top += 2, client.right -= 2, client.bottom -= 2;  // inside the frame
            current_->ink_ = screen_ink::InkOf(shown, &client);
        }
        EndMenu();
    }

    static inline MenuCapture* current_ = nullptr;
    HWND owner_ = nullptr;
    Ink ink_;
};

TEST(MenuGlyphs, MenuTextsOfEveryScriptAreRealGlyphs) {
    MenuCapture menu;
    EXPECT_TRUE(screen_ink::DrawsRealGlyphs([&](const std::wstring& text) { return menu.Draw(text); }));
}

TEST(MenuGlyphs, CyrillicMenuItemsAreSetAsCloselyAsLatinOnes) {
    // The same word in both alphabets, letter for letter: a full-width cell
    // for each Cyrillic letter makes it twice as wide.
    MenuCapture menu;
    const int cyrillic = screen_ink::InkWidth(menu.Draw(L"\u0421\u043B\u043E\u0432\u0430\u0440\u0438"));  // Словари
    const int latin = screen_ink::InkWidth(menu.Draw(L"Slovari"));
    ASSERT_GT(latin, 0);
    EXPECT_LT(cyrillic, latin * 3 / 2) << "Cyrillic " << cyrillic << " px, Latin " << latin << " px";
    // The Japanese menu's words keep their glyphs beside the Latin face.
    EXPECT_GT(screen_ink::InkWidth(menu.Draw(L"\u8F9E\u66F8...")), 0);
}

}  // namespace
