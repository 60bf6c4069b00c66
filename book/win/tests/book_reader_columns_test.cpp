// The book reader's columns in real windows under Wine: each column's
// language box names the language as the interface language does, a column
// added with "+" to a stored book offers that book's books, "+" keeps the
// reader on the work area, "+" and "-" are live only while they can act,
// and the text-book file dialog speaks the interface language.
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "book/win/book_reader.h"
#include "book/win/tests/message_pump.h"
#include "common/tests/fake_app_context.h"
#include "common/ui_text/ui_text.h"
#include "dictionary/dictionary.h"
#include "dictionary/shelf.h"
#include "import/import_registration.h"
#include "import/tests/compile_fixture.h"

#include <gtest/gtest.h>

namespace {

class BooksSite : public IBookReaderSite {
public:
    std::vector<RDFDictionary*> BookDictionaries() override { return books; }
    int32_t Ask(HWND, const std::u16string& text, const std::u16string& caption, UINT) override {
        questions.push_back(caption + u": " + text);
        return IDOK;
    }
    std::vector<RDFDictionary*> books;
    std::vector<std::u16string> questions;
};

void Pump(DWORD milliseconds = 100) { ::Pump(milliseconds); }

std::u16string ItemText(HWND combo, int item) {
    wchar_t text[256] = {};
    if (SendMessageW(combo, CB_GETLBTEXTLEN, item, 0) < 256) SendMessageW(combo, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text));
    return std::u16string(text, text + wcslen(text));
}

std::u16string WindowText(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return std::u16string(text, text + wcslen(text));
}

// Three languages, each header line naming its language for the Russian,
// Japanese and English interface.
constexpr char kThreeLanguages[] =
    "<Latn>\xD0\x90\xD0\xBD\xD0\xB3\xD0\xBB\xD0\xB8\xD0\xB9\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9/\xE8\x8B\xB1\xE8\xAA\x9E/English\r\n"
    "<Cyrl>\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9/\xE3\x83\xAD\xE3\x82\xB7\xE3\x82\xA2\xE8\xAA\x9E/Russian\r\n"
    "<Hrkt>\xD0\xAF\xD0\xBF\xD0\xBE\xD0\xBD\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9/\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E/Japanese\r\n\r\n"
    "<H1>One\r\n<H1>\xD0\x9E\xD0\xB4\xD0\xB8\xD0\xBD\r\n<H1>\xE4\xB8\x80\r\n\r\n"
    "<P>Text.\r\n<P>\xD0\xA2\xD0\xB5\xD0\xBA\xD1\x81\xD1\x82.\r\n<P>\xE6\x9C\xAC\xE6\x96\x87\xE3\x80\x82\r\n";

class BookReaderColumns : public CompileFixture {
protected:
    void SetUp() override {
        CompileFixture::SetUp();
        RegisterImportParsers();
        previous_ = SetAppContext(&app_);
        std::ofstream(std::filesystem::path(Path("three.txt")), std::ios::binary) << kThreeLanguages;
    }
    void TearDown() override {
        for (CParaViewerDlg* reader : std::vector<CParaViewerDlg*>(CParaViewerDlg::Readers()))
            DestroyWindow(reader->Window());
        Pump();
        dictionary_.reset();
        SetUILanguage(1);
        SetAppContext(previous_);
        CompileFixture::TearDown();
    }
    CParaViewerDlg* OpenText() {
        CParaViewerDlg* reader = CParaViewerDlg::Open(site_, nullptr, 0, Path("three.txt"));
        Pump();
        return reader;
    }

    FakeAppContext app_;
    IAppContext* previous_ = nullptr;
    BooksSite site_;
    std::unique_ptr<RDFDictionary> dictionary_;
};

TEST_F(BookReaderColumns, LanguageBoxesNameTheLanguagesInTheInterfaceLanguage) {
    struct Case {
        UILanguage language;
        std::u16string first, second;
    };
    for (const Case& c : {Case{UILanguage::Russian, u"Английский", u"Русский"},
                          Case{UILanguage::Japanese, u"英語", u"ロシア語"},
                          Case{UILanguage::English, u"English", u"Russian"}}) {
        app_.language = c.language;
        CParaViewerDlg* reader = OpenText();
        ASSERT_NE(reader, nullptr);
        HWND first = GetDlgItem(reader->Window(), book_ids::kLanguages[0]);
        ASSERT_EQ(SendMessageW(first, CB_GETCOUNT, 0, 0), 3);
        EXPECT_EQ(ItemText(first, 0), c.first);
        EXPECT_EQ(ItemText(first, 1), c.second);
        EXPECT_EQ(WindowText(first), c.first) << "the box shows its column's language";
        DestroyWindow(reader->Window());
        Pump();
    }
}

// "+" on a reader at the right edge of the work area: the reader moves
// left to keep the new column on screen.
TEST_F(BookReaderColumns, AddingAColumnKeepsTheReaderOnTheWorkArea) {
    CParaViewerDlg* reader = OpenText();
    ASSERT_NE(reader, nullptr);
    RECT work{}, window{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    GetWindowRect(reader->Window(), &window);
    const int width = window.right - window.left;
    SetWindowPos(reader->Window(), nullptr, work.right - width, work.top + 10, width, window.bottom - window.top,
                 SWP_NOZORDER);
    Pump();
    SendMessageW(reader->Window(), WM_COMMAND, book_ids::kAdd, 0);
    Pump();
    ASSERT_EQ(reader->Host().VisibleCount(), 3);
    GetWindowRect(reader->Window(), &window);
    EXPECT_GT(window.right - window.left, width) << "the reader widened for its column";
    EXPECT_LE(window.right, work.right);
    EXPECT_GE(window.left, work.left);
}

// A stored book of three languages shows two columns; the third, added
// with "+", offers the dictionary's books as the first two do.
TEST_F(BookReaderColumns, AColumnAddedToAStoredBookOffersItsBooks) {
    CDictionary compiled(kDictionaryStoreDatabase, engine_);
    SilentCompileUi ui;
    CConverter converter(compiled, CConverter::kNewFile, ui, env_);
    ASSERT_EQ(converter.Convert(0x4008, Path("three.txt"), Path("books.qdx")), 1) << Utf16ToUtf8(converter.errorText);
    dictionary_ = std::make_unique<RDFDictionary>(kDictionaryStoreDatabase | kDictionaryBook, engine_);
    const std::u16string path = Path("books.qdx");
    dictionary_->File().SetPath(path.c_str());
    ASSERT_EQ(dictionary_->Open(2), 0u);
    site_.books = {dictionary_.get()};
    CParaViewerDlg* reader = CParaViewerDlg::Open(site_, nullptr, 0);
    ASSERT_NE(reader, nullptr);
    Pump();
    ASSERT_TRUE(reader->HasBook());
    ASSERT_EQ(reader->Host().VisibleCount(), 2);
    SendMessageW(reader->Window(), WM_COMMAND, book_ids::kAdd, 0);
    Pump();
    ASSERT_EQ(reader->Host().VisibleCount(), 3);
    for (int slot = 0; slot < 3; ++slot) {
        HWND books = GetDlgItem(reader->Window(), book_ids::kBookLists[slot]);
        EXPECT_TRUE(IsWindowVisible(books)) << slot;
        ASSERT_EQ(SendMessageW(books, CB_GETCOUNT, 0, 0), 1) << "column " << slot;
        EXPECT_NE(WindowText(books), u"") << "the book shown is chosen in column " << slot;
    }
    EXPECT_EQ(WindowText(GetDlgItem(reader->Window(), book_ids::kBookLists[2])), u"\u4E00");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(reader->Window(), book_ids::kAdd))) << "every language is shown";
}

// "+" is live only while a column can be added (fewer than four shown and
// one hidden), "-" only while two or more are shown: a book of five
// languages taken from two columns down to one and up to four.
TEST_F(BookReaderColumns, PlusAndMinusAreLiveOnlyWhileTheyCanAct) {
    std::ofstream(std::filesystem::path(Path("five.txt")), std::ios::binary)
        << "<Latn>English\r\n<Cyrl>Russian\r\n<Hrkt>Japanese\r\n<Grek>Greek\r\n<Hebr>Hebrew\r\n\r\n"
           "<P>One.\r\n<P>Odin.\r\n<P>Ichi.\r\n<P>Ena.\r\n<P>Echad.\r\n";
    CParaViewerDlg* reader = CParaViewerDlg::Open(site_, nullptr, 0, Path("five.txt"));
    ASSERT_NE(reader, nullptr);
    Pump();
    HWND dialog = reader->Window();
    auto state = [&] {
        std::string live = std::to_string(reader->Host().VisibleCount()) + ":";
        live += IsWindowEnabled(GetDlgItem(dialog, book_ids::kAdd)) ? "+" : "_";
        for (int slot = 0; slot < reader->Host().VisibleCount(); ++slot)
            live += IsWindowEnabled(GetDlgItem(dialog, book_ids::kRemove[slot])) ? "-" : "_";
        return live;
    };
    EXPECT_EQ(state(), "2:+--");
    SendMessageW(dialog, WM_COMMAND, book_ids::kRemove[1], 0);
    Pump();
    EXPECT_EQ(state(), "1:+_");
    for (int added = 0; added < 3; ++added) {
        SendMessageW(dialog, WM_COMMAND, book_ids::kAdd, 0);
        Pump();
    }
    EXPECT_EQ(state(), "4:_----");
}

// The file dialog that Ctrl+click on the book button opens: caption and
// buttons in the interface language.
struct FileDialogTexts {
    std::u16string caption, cancel, help;
};
FileDialogTexts g_seen;

void CALLBACK ReadAndCancel(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = FindWindowW(L"#32770", nullptr);  // the only dialog of the test
    if (!dialog || !IsWindowVisible(dialog)) return;
    KillTimer(nullptr, id);
    g_seen = {WindowText(dialog), WindowText(GetDlgItem(dialog, IDCANCEL)), WindowText(GetDlgItem(dialog, book_ids::kHelp))};
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(BookReaderColumns, TheTextBookFileDialogSpeaksTheInterfaceLanguage) {
    for (uint32_t language : {0u, 2u}) {
        SetUILanguage(language);
        g_seen = {};
        SetTimer(nullptr, 0, 50, ReadAndCancel);
        std::u16string path;
        EXPECT_FALSE(CParaViewerDlg::ChooseTextBook(site_, nullptr, path));
        EXPECT_EQ(g_seen.caption, std::u16string(UIStringTable[289])) << language;
        EXPECT_EQ(g_seen.cancel, std::u16string(UIStringTable[638])) << language;
        EXPECT_EQ(g_seen.help, std::u16string(UIStringTable[269])) << language;
        EXPECT_NE(g_seen.cancel, u"Cancel");
    }
}

}  // namespace
