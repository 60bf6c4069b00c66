// Book readers in real windows under Wine, driven through their messages:
// three columns of the coreutils text book (English, Russian, Japanese)
// painted and kept on the same phrase (the current-phrase colour at the same
// height in every column after one column scrolled), a Hebrew column drawn
// right to left, the answer to WM_APP+0x46 over text and over empty space,
// typing and Ctrl+S written to the file, and Cancel on the save question
// keeping the reader with its changes.
#include <windows.h>
#include <oleauto.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "book/tests/book_texts.h"
#include "book/text_book.h"
#include "book/win/book_reader.h"
#include "book/win/tests/message_pump.h"
#include "book/win/tests/window_capture.h"
#include "common/tests/fake_app_context.h"
#include "common/tests/test_files.h"
#include "common/text/utf8.h"

#include <gtest/gtest.h>

namespace {

class AnsweringSite : public IBookReaderSite {
public:
    int32_t Ask(HWND, const std::u16string& text, const std::u16string& caption, UINT) override {
        questions.push_back(caption + u": " + text);
        return answer;
    }
    int32_t answer = IDOK;
    std::vector<std::u16string> questions;
};

void Pump(DWORD milliseconds = 50) { ::Pump(milliseconds); }

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void PressWithControl(HWND window, WPARAM key) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(window, WM_KEYDOWN, key, 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

class BookReaderWindows : public testing::Test {
protected:
    void SetUp() override {
        previous_ = SetAppContext(&app_);
        const std::filesystem::path source = std::filesystem::path(BookTextsPath("coreutils.txt"));
        if (!std::filesystem::exists(source)) GTEST_SKIP() << "the native tree's gettext books are missing";
        book_ = folder_ / "coreutils.txt";
        std::filesystem::copy_file(source, book_);
    }
    void TearDown() override {
        for (CParaViewerDlg* reader : std::vector<CParaViewerDlg*>(CParaViewerDlg::Readers()))
            DestroyWindow(reader->Window());
        Pump();
        SetAppContext(previous_);
    }
    CParaViewerDlg* OpenBook(const std::filesystem::path& path) {
        CParaViewerDlg* reader = CParaViewerDlg::Open(site_, nullptr, 0, path.u16string());
        EXPECT_NE(reader, nullptr);
        Pump(200);
        return reader;
    }

    FakeAppContext app_;
    IAppContext* previous_ = nullptr;
    AnsweringSite site_;
    ScratchFolder folder_{"book-reader-windows"};
    std::filesystem::path book_;
};

TEST_F(BookReaderWindows, ThreeColumnsStayOnTheCurrentPhrase) {
    CParaViewerDlg* reader = OpenBook(book_);
    ASSERT_NE(reader, nullptr);
    ASSERT_EQ(reader->Host().VisibleCount(), 2);
    SendMessageW(reader->Window(), WM_COMMAND, book_ids::kAdd, 0);
    Pump();
    ASSERT_EQ(reader->Host().VisibleCount(), 3);
    // Scroll the first column by the wheel and a page, then click a phrase in it.
    HWND first = reader->ColumnWindow(0);
    SendMessageW(first, WM_MOUSEWHEEL, MAKEWPARAM(0, -60), 0);  // half a notch: kept
    SendMessageW(first, WM_MOUSEWHEEL, MAKEWPARAM(0, -60), 0);  // now one line
    EXPECT_GT(reader->Host().View(0).TopParagraph() + -reader->Host().View(0).TopY(), 0);
    SendMessageW(first, WM_KEYDOWN, VK_NEXT, 0);
    // The phrase at the top becomes current: the columns hold its paragraph
    // at one height, so its colour starts on the same row in each.
    SendMessageW(first, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 2));
    SendMessageW(first, WM_LBUTTONUP, 0, MAKELPARAM(20, 2));
    Pump();
    const int32_t phrase = reader->Host().CurrentPhrase();
    EXPECT_GT(phrase, 10);
    int32_t row = -2;
    for (int32_t slot = 0; slot < 3; ++slot) {
        const Capture c = CaptureWindow(reader->ColumnWindow(slot), folder_ / ("column" + std::to_string(slot) + ".bmp"));
        EXPECT_GT(c.Colours(), 2) << "column " << slot << " is blank";
        const int32_t y = c.FirstRowWith(0xBFFFFF);
        EXPECT_GE(y, 0) << "column " << slot;
        if (row == -2) row = y;
        EXPECT_EQ(y, row) << "column " << slot;
    }
    RecordProperty("current_phrase", phrase);
    RecordProperty("current_row", row);
}

TEST_F(BookReaderWindows, TextUnderTheCursorOverTextAndEmptySpace) {
    CParaViewerDlg* reader = OpenBook(book_);
    ASSERT_NE(reader, nullptr);
    HWND view = reader->ColumnWindow(1);
    RECT r{};
    GetClientRect(view, &r);
    // The first line is the first phrase's (the header is not shown): its third character.
    const XParagraph& first = reader->Host().View(1).Lay(0);
    ASSERT_GT(first.text.size(), 3u);
    ASSERT_NE(first.text[0], u'<');
    const int32_t x = 1 + (first.extents[1] + first.extents[2]) / 2;
    POINT over{x, 4};
    ClientToScreen(view, &over);
    ASSERT_TRUE(SetCursorPos(over.x, over.y));
    int32_t offset = 99;
    BSTR text = reinterpret_cast<BSTR>(1);
    EXPECT_EQ(SendMessageW(view, WM_APP + 0x46, reinterpret_cast<WPARAM>(&offset), reinterpret_cast<LPARAM>(&text)), 1);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text)), first.text);
    EXPECT_EQ(offset, 2);
    SysFreeString(text);
    POINT empty{r.right - 3, 4};
    ClientToScreen(view, &empty);
    ASSERT_TRUE(SetCursorPos(empty.x, empty.y));
    EXPECT_EQ(SendMessageW(view, WM_APP + 0x46, reinterpret_cast<WPARAM>(&offset), reinterpret_cast<LPARAM>(&text)), 0);
    EXPECT_EQ(offset, -1);
    EXPECT_EQ(text, nullptr);
    // Null addresses are refused.
    EXPECT_EQ(SendMessageW(view, WM_APP + 0x46, 0, 0), 0);
}

TEST_F(BookReaderWindows, HebrewColumnDrawnRightToLeft) {
    const auto path = folder_ / "hebrew.txt";
    std::ofstream(path, std::ios::binary) << "<Latn>English\r\n<Hebr>Hebrew\r\n\r\nPeace\r\n\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D\r\n";
    CParaViewerDlg* reader = OpenBook(path);
    ASSERT_NE(reader, nullptr);
    const XParagraph& p = reader->Host().View(1).Lay(0);
    ASSERT_EQ(p.text, u"\u05E9\u05DC\u05D5\u05DD");
    EXPECT_TRUE(p.attributes[0] & book_attr::kRightToLeft);
    EXPECT_EQ((p.attributes[0] & book_attr::kFontMask) >> book_attr::kFontShift, 15u);
    const Capture c = CaptureWindow(reader->ColumnWindow(1), folder_ / "hebrew.bmp");
    EXPECT_GT(c.Colours(), 2);
}

TEST_F(BookReaderWindows, TypingAndControlSSaveTheFileAndCancelKeepsTheReader) {
    CParaViewerDlg* reader = OpenBook(book_);
    ASSERT_NE(reader, nullptr);
    const std::string before = FileBytes(book_);
    HWND view = reader->ColumnWindow(0);
    SetFocus(view);
    // The caret at the start of the first phrase, then "Q" typed and saved
    // there, behind the header, which the reader does not show.
    SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 4));
    SendMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(0, 4));
    SendMessageW(view, WM_CHAR, 'Q', 0);
    EXPECT_TRUE(reader->Host().model.Changed());
    PressWithControl(view, 'S');
    EXPECT_FALSE(reader->Host().model.Changed());
    const size_t header = before.find("\r\n\r\n") + 4;
    const std::string typed = before.substr(0, header) + "Q" + before.substr(header);
    EXPECT_EQ(FileBytes(book_), typed);
    // Another change; Cancel on the question keeps the reader and the change.
    SendMessageW(view, WM_CHAR, 'R', 0);
    site_.answer = IDCANCEL;
    SendMessageW(reader->Window(), WM_COMMAND, IDCANCEL, 0);
    Pump();
    ASSERT_EQ(CParaViewerDlg::Readers().size(), 1u);
    EXPECT_TRUE(reader->Host().model.Changed());
    EXPECT_EQ(site_.questions.back(), u"Save changes?: Save the changes to the file?");  // the interface is English
    // No closes it and leaves the file as saved.
    site_.answer = IDNO;
    SendMessageW(reader->Window(), WM_COMMAND, IDCANCEL, 0);
    Pump();
    EXPECT_TRUE(CParaViewerDlg::Readers().empty());
    EXPECT_EQ(FileBytes(book_), typed);
}

}  // namespace
