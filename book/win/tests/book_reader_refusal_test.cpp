// What a book reader says about a text book it cannot hold whole, in real
// windows under Wine: a file in Windows-1251 is refused at open with the
// line and the reason, in the interface language, and no reader opens.
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "book/win/book_reader.h"
#include "book/win/tests/message_pump.h"
#include "common/tests/fake_app_context.h"
#include "common/ui_text/ui_text.h"
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

void Pump(DWORD milliseconds = 100) { ::Pump(milliseconds); }

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
    EXPECT_EQ(CParaViewerDlg::Open(site_, nullptr, 0, path), nullptr);
    Pump();
    ASSERT_EQ(site_.questions.size(), 1u);
    EXPECT_EQ(site_.questions[0],
              u"Cannot Open a File: Cannot open file: " + path + u"\nLine: 5\nError: The text is not UTF-8.");
    EXPECT_TRUE(CParaViewerDlg::Readers().empty()) << "a refused book opens no reader";
    EXPECT_EQ(FindWindowW(L"#32770", L"Book Viewer for Parallel Text"), nullptr);
    // In Russian the reason is Russian too.
    SetUILanguage(0);
    EXPECT_EQ(CParaViewerDlg::Open(site_, nullptr, 0, path), nullptr);
    SetUILanguage(1);
    ASSERT_EQ(site_.questions.size(), 2u);
    EXPECT_EQ(site_.questions[1], u"Файл невозможно открыть: Невозможно открыть файл: " + path +
                                      u"\nСтрока: 5\nОшибка: Текст не в кодировке UTF-8.");
}


}  // namespace
