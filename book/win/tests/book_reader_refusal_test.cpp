// What a book reader says about a text book it cannot hold whole, in real
// windows under Wine: a file in Windows-1251 is refused at open with the
// line and the reason, and no book is shown.
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "book/win/book_reader.h"
#include "common/tests/fake_app_context.h"
#include "import/import_registration.h"
#include "import/tests/compile_fixture.h"

#include <gtest/gtest.h>

namespace {

class RecordingSite : public IBookReaderSite {
public:
    int32_t Ask(HWND, const std::u16string& text, const std::u16string& caption, UINT) override {
        questions.push_back(caption + u": " + text);
        return IDOK;
    }
    std::vector<std::u16string> questions;
};

void Pump(DWORD milliseconds = 100) {
    const DWORD end = GetTickCount() + milliseconds;
    MSG msg;
    do {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    } while (GetTickCount() < end);
}

std::u16string WindowTitle(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return std::u16string(text, text + wcslen(text));
}

class BookReaderRefusals : public CompileFixture {
protected:
    void SetUp() override {
        CompileFixture::SetUp();
        RegisterImportParsers();
        previous_ = SetAppContext(&app_);
    }
    void TearDown() override {
        for (CParaViewerDlg* reader : std::vector<CParaViewerDlg*>(CParaViewerDlg::Readers()))
            DestroyWindow(reader->Window());
        Pump();
        SetAppContext(previous_);
        CompileFixture::TearDown();
    }

    FakeAppContext app_;
    IAppContext* previous_ = nullptr;
    RecordingSite site_;
};

TEST_F(BookReaderRefusals, AWindows1251TextBookIsRefusedNamingTheLine) {
    const std::u16string path = Path("russian.txt");
    // "<Cyrl>Russian", a blank line, "Lines:" and "Строки:" in Windows-1251.
    std::ofstream(std::filesystem::path(path), std::ios::binary) << "<Latn>English\r\n<Cyrl>Russian\r\n\r\nLines:\r\n\xD1\xF2\xF0\xEE\xEA\xE8:\r\n";
    CParaViewerDlg* reader = CParaViewerDlg::Open(site_, nullptr, 0, path);
    ASSERT_NE(reader, nullptr);
    Pump();
    ASSERT_EQ(site_.questions.size(), 1u);
    EXPECT_EQ(site_.questions[0],
              u"Cannot Open a File: Cannot open file: " + path + u"\nLine: 5\nError: The text is not UTF-8.");
    EXPECT_EQ(WindowTitle(reader->Window()), u"Book Viewer for Parallel Text") << "no book shown";
}


}  // namespace
