// Window captions as Wine draws them in the program's prefix (no window
// manager runs on the test display, so Wine draws the title bars itself, in
// the bold caption face of the prefix's window metrics): caption texts of the
// three interface languages are drawn as real glyphs (two different
// characters of each script, told from the box of a missing glyph), and
// Cyrillic is set as closely as Latin. Run also under the Japanese and
// Russian locales, whose interface faces Wine chooses differently.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/tests/test_paths.h"
#include "common/win/tests/screen_ink.h"

namespace {

using screen_ink::Ink;

// A top-level window with a title bar only, at the top of the screen.
class CaptionCapture {
public:
    CaptionCapture() {
        WNDCLASSW type{};
        type.lpfnWndProc = DefWindowProcW;
        type.hInstance = GetModuleHandleW(nullptr);
        type.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        type.lpszClassName = L"OstrelCaptionGlyphs";
        RegisterClassW(&type);
        window_ = CreateWindowExW(WS_EX_TOPMOST, type.lpszClassName, L"", WS_POPUP | WS_CAPTION | WS_VISIBLE, 60, 60,
                                  420, 120, nullptr, nullptr, type.hInstance, nullptr);
        SetForegroundWindow(window_);
        Pump();
    }
    ~CaptionCapture() {
        DestroyWindow(window_);
        UnregisterClassW(L"OstrelCaptionGlyphs", GetModuleHandleW(nullptr));
    }

    // The ink of the start of the title bar with `text` as the caption: the
    // pixels that differ from the bar without a caption (Wine shades the bar
    // from one colour to another, so no one colour is its background).
    Ink Draw(const std::wstring& text) {
        if (blank_.empty()) blank_ = BarPixels(L"");
        const std::vector<uint32_t> pixels = BarPixels(text);
        Ink ink;
        if (pixels.size() != blank_.size()) return ink;
        ink.width = bar_.right - bar_.left;
        ink.height = bar_.bottom - bar_.top;
        for (size_t i = 0; i < pixels.size(); ++i)
            ink.marked.push_back(screen_ink::detail::ColourDistance(pixels[i], blank_[i]) > 96);
        return ink;
    }
    HWND Window() const { return window_; }

private:
    std::vector<uint32_t> BarPixels(const std::wstring& text) {
        SetWindowTextW(window_, text.c_str());
        RedrawWindow(window_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        Pump();
        RECT frame{};
        GetWindowRect(window_, &frame);
        POINT client{0, 0};
        ClientToScreen(window_, &client);
        bar_ = {frame.left + 1, frame.top + 1, frame.left + 160, client.y - 1};
        return screen_ink::detail::ScreenPixels(bar_);
    }
    static void Pump() {
        for (int i = 0; i < 5; ++i) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            Sleep(20);
        }
    }

    HWND window_ = nullptr;
    RECT bar_{};
    std::vector<uint32_t> blank_;
};

TEST(CaptionGlyphs, CaptionTextsOfEveryScriptAreRealGlyphs) {
    CaptionCapture caption;
    ASSERT_NE(caption.Window(), nullptr);
    EXPECT_TRUE(screen_ink::DrawsRealGlyphs([&](const std::wstring& text) { return caption.Draw(text); }));
    // A caption as the Japanese interface's dialogs have them, for people to look at.
    caption.Draw(L"\u8F9E\u66F8\u306E\u30D7\u30ED\u30D1\u30C6\u30A3 \u0421\u043B\u043E\u0432\u0430\u0440\u0438 Slovari");
    const std::string shots = BinaryPath("/ui/caption-glyphs");
    std::filesystem::create_directories(shots);
    const char* locale = std::getenv("LANG");
    const std::string suffix = locale && *locale ? std::string(locale).substr(0, std::string(locale).find('.')) : "default";
    screen_ink::SaveScreenshot(std::filesystem::path(shots + "/caption_" + suffix + ".png").wstring());
}

TEST(CaptionGlyphs, CyrillicCaptionsAreSetAsCloselyAsLatinOnes) {
    // The same word in both alphabets, letter for letter: a full-width cell
    // for each Cyrillic letter makes it twice as wide.
    CaptionCapture caption;
    const int cyrillic = screen_ink::InkWidth(caption.Draw(L"\u0421\u043B\u043E\u0432\u0430\u0440\u0438"));  // Словари
    const int latin = screen_ink::InkWidth(caption.Draw(L"Slovari"));
    ASSERT_GT(latin, 0);
    EXPECT_LT(cyrillic, latin * 3 / 2) << "Cyrillic " << cyrillic << " px, Latin " << latin << " px";
}

}  // namespace
