// A book dictionary in real windows under Wine: the "Book Load" dialog driven
// through its controls (a parallel text typed into the source field and
// "Download" pressed loads it as the second book and answers 1; a list file
// whose text fails answers 0, says "Conversion failed" and leaves the file as
// it was), and a reader on its book that drops the book when the dictionary
// leaves the shelf.
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "book/stored_book.h"
#include "book/win/book_reader.h"
#include "book/win/book_loader_dialog.h"
#include "common/global_objects.h"
#include "common/tests/fake_app_context.h"
#include "common/tests/test_files.h"
#include "common/text/utf8.h"
#include "common/ui_text/ui_text.h"
#include "dictionary/dictionary.h"
#include "dictionary/shelf.h"
#include "import/converter.h"
#include "import/import_registration.h"
#include "import/win/win_compile_environment.h"
#include "storage/global_engine.h"

#include <gtest/gtest.h>

namespace {

class RecordingHost : public IBookLoaderHost {
public:
    int32_t Ask(HWND, const std::u16string& text, const std::u16string& caption, UINT) override {
        messages.push_back(caption + u": " + text);
        return IDOK;
    }
    bool CloseForLoad(RDFDictionary& dictionary) override {
        dictionary.Close();
        ++closed;
        return true;
    }
    void ReopenAfterLoad(RDFDictionary& dictionary, bool finished) override {
        dictionary.Open(2);
        reopenedFinished = finished;
    }
    std::vector<std::u16string> messages;
    int closed = 0;
    bool reopenedFinished = false;
};

// Types into the dialog once it shows and presses a button.
struct Script {
    bool list = false;
    std::wstring path;
    std::wstring loadButton;  // the text the load button showed
};
Script g_script;

void CALLBACK Drive(HWND, UINT, UINT_PTR id, DWORD) {
    // The dialog bears the title of the interface language.
    HWND dialog = FindWindowW(nullptr, reinterpret_cast<const wchar_t*>(UIStringTable[665]));
    if (!dialog) return;
    KillTimer(nullptr, id);
    wchar_t button[64] = {};
    GetDlgItemTextW(dialog, IDOK, button, 64);
    g_script.loadButton = button;
    if (g_script.list) SendMessageW(dialog, WM_COMMAND, book_loader_ids::kListOfFiles, 0);
    SetDlgItemTextW(dialog, g_script.list ? book_loader_ids::kList : book_loader_ids::kSource, g_script.path.c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

class StoredBookWindows : public testing::Test {
protected:
    void SetUp() override {
        previous_ = SetAppContext(&app_);
        RegisterImportParsers();
        Write("first.txt", "<Latn>English\r\n<Cyrl>Russian\r\n\r\n<P>One.\r\n<P>Один.\r\n");
        CDictionary compiled(kDictionaryStoreDatabase, *GlobalEngine());
        WinCompileUi ui(nullptr, nullptr, nullptr);
        WinCompileEnv env;
        CConverter converter(compiled, CConverter::kNewFile, ui, env);
        ASSERT_EQ(converter.Convert(kFormatBookFlags, (folder_ / "first.txt").u16string(), Path()), 1);
        dictionary_ = std::make_unique<RDFDictionary>(kDictionaryStoreDatabase | kDictionaryBook);
        const std::u16string path = Path();
        dictionary_->File().SetPath(path.c_str());
        ASSERT_EQ(dictionary_->Open(2), 0u);
    }
    void TearDown() override {
        dictionary_.reset();
        SetAppContext(previous_);
    }
    void Write(const std::string& name, const std::string& text) { std::ofstream(folder_ / name, std::ios::binary) << text; }
    std::u16string Path() const { return (folder_ / "books.qdx").u16string(); }
    int32_t Run(bool list, const std::filesystem::path& path) {
        g_script = {list, path.wstring(), {}};
        SetTimer(nullptr, 0, 50, Drive);
        return RunBookLoaderDialog(host_, dictionary_.get(), nullptr);
    }
    std::string Bytes() {
        std::ifstream in(folder_ / "books.qdx", std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    static constexpr uint32_t kFormatBookFlags = 0x4008;
    ProgramGlobals globals_{StorageEngineHooks()};
    FakeAppContext app_;
    IAppContext* previous_ = nullptr;
    ScratchFolder folder_{"book-loader-dialog"};
    std::unique_ptr<RDFDictionary> dictionary_;
    RecordingHost host_;
};

TEST_F(StoredBookWindows, OneFileLoadsAsTheNextBook) {
    Write("second.txt", "<Latn>English\r\n<Cyrl>Russian\r\n\r\n<H1>Two\r\n<H1>Два\r\n");
    EXPECT_EQ(Run(false, folder_ / "second.txt"), 1);
    EXPECT_EQ(host_.closed, 1);
    EXPECT_TRUE(host_.reopenedFinished);
    ASSERT_FALSE(host_.messages.empty());
    EXPECT_EQ(host_.messages.back(), u"Books Loaded: Books loaded successfully.");
    EXPECT_EQ(StoredBook(*dictionary_).Books(0).size(), 2u);
}

// The Japanese loader's button says "load" (its own slot), not the update
// notice's "download" that has the same English wording; the caption of the
// message after the load is in Japanese too.
TEST_F(StoredBookWindows, TheJapaneseLoaderTakesItsOwnTexts) {
    Write("second.txt", "<Latn>English\r\n<Cyrl>Russian\r\n\r\n<H1>Two\r\n<H1>Два\r\n");
    SetUILanguage(2);
    const int32_t loaded = Run(false, folder_ / "second.txt");
    const std::u16string loadText = UIStringTable[671], loadedText = UIStringTable[673];
    const std::u16string caption = UIExtra(UIExtraText::kBooksLoaded);
    SetUILanguage(1);
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(std::u16string(g_script.loadButton.begin(), g_script.loadButton.end()), loadText);
    EXPECT_EQ(loadText, u"\u8AAD\u307F\u8FBC\u307F");  // 読み込み
    ASSERT_FALSE(host_.messages.empty());
    EXPECT_EQ(host_.messages.back(), caption + u": " + loadedText);
    EXPECT_NE(caption, u"Books Loaded");
}

// A list whose second text fails: the first text's book stays, the
// dictionary is finished, and the one box says so beside the reason.
TEST_F(StoredBookWindows, AFailingListKeepsTheBooksBeforeTheFailureAndSaysSo) {
    Write("bad.txt", "<Latn>English\r\n<Cyrl>Russian\r\n\r\nOnly one line here.\r\n");
    Write("books.lst", "; one good, one bad\r\nfirst.txt\r\nbad.txt\r\n");
    EXPECT_EQ(Run(true, folder_ / "books.lst"), 0);
    EXPECT_TRUE(host_.reopenedFinished);
    ASSERT_EQ(host_.messages.size(), 1u);
    const std::u16string& message = host_.messages.back();
    EXPECT_EQ(message.rfind(u"Conversion failed: Cannot convert a dictionary\n ", 0), 0u) << Utf16ToUtf8(message);
    const std::u16string kept = u"\nBooks loaded before the failure, and kept in the dictionary: 1 of 2.";
    EXPECT_TRUE(message.ends_with(kept)) << Utf16ToUtf8(message);
    EXPECT_EQ(StoredBook(*dictionary_).Books(0).size(), 2u);
}

class ShelfSite : public IBookReaderSite {
public:
    std::vector<RDFDictionary*> BookDictionaries() override { return books; }
    int32_t Ask(HWND, const std::u16string&, const std::u16string&, UINT) override { return IDOK; }
    std::vector<RDFDictionary*> books;
};

TEST_F(StoredBookWindows, AReaderDropsTheBookOfADictionaryThatLeftTheShelf) {
    ShelfSite site;
    site.books = {dictionary_.get()};
    CParaViewerDlg* reader = CParaViewerDlg::Open(site, nullptr, 0);
    ASSERT_NE(reader, nullptr);
    ASSERT_TRUE(reader->HasBook());
    EXPECT_EQ(reader->Host().model.PhraseCount(), 1);
    EXPECT_TRUE(reader->ShowsDictionary(dictionary_.get()));
    site.books.clear();
    CParaViewerDlg::RefreshAllBookLists();
    EXPECT_FALSE(reader->HasBook());
    EXPECT_FALSE(reader->ShowsDictionary(dictionary_.get()));
    DestroyWindow(reader->Window());
}

}  // namespace
