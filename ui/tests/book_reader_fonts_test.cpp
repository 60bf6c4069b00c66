// The book reader drawn with the program's own book fonts (the font sets made
// as at start-up): in a Latin, a Cyrillic, a kana and a kanji column, two
// different characters of each script come out as glyphs of their own, not as
// the box of a face that lacks them. Run also under LANG=C.UTF-8, where
// Wine's default faces have no kana or kanji. The reader is kept as a
// screenshot under the build tree.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "book/win/book_reader.h"
#include "book/win/tests/message_pump.h"
#include "common/tests/fake_app_context.h"
#include "common/tests/test_files.h"
#include "common/tests/test_paths.h"
#include "common/win/tests/screen_ink.h"
#include "ui/font_sets.h"
#include "ui/frame_books.h"

namespace {

// A reader site with the program's book fonts, as the main window gives them.
class ProgramFontsSite : public IBookReaderSite {
public:
    explicit ProgramFontsSite(const CFonts& fonts) : fonts_(fonts) {}
    HFONT BookFont(int32_t slot) override { return BookReaderFont(fonts_.Set(kBookFontSet), slot); }
    int32_t BookFontPoints() override { return fonts_.Set(kBookFontSet).PointSize(); }

private:
    const CFonts& fonts_;
};

constexpr char kBook[] =
    "<Latn>English\r\n<Cyrl>Russian\r\n<Hrkt>Kana\r\n<Hani>Kanji\r\n\r\n"
    "The word\r\n\xD0\xA1\xD0\xBB\xD0\xBE\xD0\xB2\xD0\xBE\r\n\xE3\x81\x93\xE3\x81\xA8\xE3\x81\xB0\r\n"
    "\xE8\xA8\x80\xE8\x91\x89\r\n";

TEST(BookReaderFonts, EveryColumnDrawsRealGlyphsOfEveryScript) {
    FakeAppContext app;
    IAppContext* previous = SetAppContext(&app);
    CFonts fonts;
    fonts.CreateFonts(nullptr);
    ProgramFontsSite site(fonts);
    ScratchFolder folder("book-reader-fonts");
    std::ofstream(folder / "scripts.txt", std::ios::binary) << kBook;
    CParaViewerDlg* reader = CParaViewerDlg::Open(site, nullptr, 0, (folder / "scripts.txt").u16string());
    ASSERT_NE(reader, nullptr);
    SetWindowPos(reader->Window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    Pump(200);
    for (int k = reader->Host().VisibleCount(); k < 4; ++k) SendMessageW(reader->Window(), WM_COMMAND, book_ids::kAdd, 0);
    ASSERT_EQ(reader->Host().VisibleCount(), 4);
    // Every column on the screen.
    const int width = std::min(1000, GetSystemMetrics(SM_CXSCREEN));
    SetWindowPos(reader->Window(), HWND_TOPMOST, 0, 0, width, 360, SWP_SHOWWINDOW);
    // No caret blinks in a column while its ink is read.
    SetFocus(GetDlgItem(reader->Window(), book_ids::kBooks));
    Pump(200);
    const std::string shots = BinaryPath("/ui/book-reader-fonts");
    std::filesystem::create_directories(shots);
    const char* locale = std::getenv("LANG");
    const std::string suffix = locale && *locale ? std::string(locale).substr(0, std::string(locale).find('.')) : "default";
    screen_ink::SaveScreenshot(std::filesystem::path(shots + "/reader_" + suffix + ".png").wstring());

    for (int32_t slot = 0; slot < 4; ++slot) {
        const int32_t column = reader->Host().Visible()[static_cast<size_t>(slot)];
        HWND view = reader->ColumnWindow(slot);
        auto draw = [&](const std::wstring& text) {
            // The book's one phrase (the header is no paragraph).
            XParagraph& p = reader->Host().model.Column(column).At(0);
            p.SetText(std::u16string(text.begin(), text.end()));
            p.segments = {{0, 0, static_cast<int32_t>(text.size())}};
            RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            Pump(30);
            return screen_ink::InkOf(view);
        };
        EXPECT_TRUE(screen_ink::DrawsRealGlyphs(draw)) << "column " << slot;
    }
    DestroyWindow(reader->Window());
    Pump(50);
    SetAppContext(previous);
}

}  // namespace
