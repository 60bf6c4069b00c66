// The book loader's work: two parallel texts loaded into an existing book
// dictionary become its second and third books and the dictionary is marked
// finished, never written in place while a text compiles; a text that fails
// (a group of the wrong size) keeps the books before it and says so, a first
// text that fails or a cancelled load leaves the file byte for byte as it
// was, no temporary stays, and each failure reaches the user once.
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "book/book_loader.h"
#include "book/stored_book.h"
#include "dictionary/dictionary_properties.h"
#include "dictionary/shelf.h"
#include "import/import_registration.h"
#include "import/tests/compile_fixture.h"

namespace {

class BookLoading : public CompileFixture {
protected:
    void SetUp() override {
        CompileFixture::SetUp();
        RegisterImportParsers();
        WriteText("first.txt", "<Latn>English\n<Cyrl>Русский\n\n<P>One.\n<P>Один.\n");
        ASSERT_EQ(Compile(Path("first.txt"), Path("books.qdx"), {}, nullptr, nullptr, kFormatBook | kFormatUtf8), 1);
    }
    void WriteText(const std::string& name, const std::string& text) {
        std::ofstream(std::filesystem::path(Path(name)), std::ios::binary) << text;
    }
    std::string Bytes(const std::string& name) {
        std::ifstream in(std::filesystem::path(Path(name)), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    int32_t BookCount() {
        RDFDictionary dictionary(kDictionaryStoreDatabase | kDictionaryBook, engine_);
        const std::u16string path = Path("books.qdx");
        dictionary.File().SetPath(path.c_str());
        if (dictionary.Open(2) != 0) return -1;
        return static_cast<int32_t>(StoredBook(dictionary).Books(0).size());
    }
    void SetVersion(const std::u16string& version) {
        int32_t file = 0;
        uint32_t cursor = 0;
        ASSERT_EQ(engine_.OpenFile(Path("books.qdx"), 0, DictionarySchemaText, &file), DmsStatus::Success);
        ASSERT_EQ(engine_.OpenCursor(file, &cursor), DmsStatus::Success);
        DeleteDictionaryProperty(engine_, cursor, 4);
        ASSERT_EQ(PutDictionaryProperty(engine_, cursor, 4, version), DmsStatus::Success);
        engine_.CloseCursor(cursor);
        ASSERT_EQ(engine_.CloseFile(file), DmsStatus::Success);
    }
    std::optional<std::u16string> Version() {
        int32_t file = 0;
        uint32_t cursor = 0;
        std::optional<std::u16string> version;
        EXPECT_EQ(engine_.OpenFile(Path("books.qdx"), 2, DictionarySchemaText, &file), DmsStatus::Success);
        EXPECT_EQ(engine_.OpenCursor(file, &cursor), DmsStatus::Success);
        EXPECT_EQ(GetDictionaryProperty(engine_, cursor, 4, version), DmsStatus::Success);
        engine_.CloseCursor(cursor);
        engine_.CloseFile(file);
        return version;
    }
    // The folder's file names (a temporary or journal left shows here).
    std::set<std::string> FolderNames() {
        std::set<std::string> names;
        const std::filesystem::path folder = std::filesystem::path(Path("books.qdx")).parent_path();
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    }
    SilentCompileUi ui_;
};

TEST_F(BookLoading, TextsBecomeBooksAndTheDictionaryIsFinished) {
    SetVersion(u"1.0P");
    WriteText("second.txt", "<Latn>English\n<Cyrl>Русский\n\n<H1>Two\n<H1>Два\n\nText.\nТекст.\n");
    WriteText("third.txt", "<Latn>English\n<Cyrl>Русский\n\n<P>Three.\n<P>Три.\n");
    BookLoader loader(engine_, ui_, env_);
    ASSERT_EQ(loader.Load(Path("books.qdx"), {Path("second.txt"), Path("third.txt")}), 1) << Utf16ToUtf8(loader.error);
    EXPECT_EQ(loader.loaded, 2);
    EXPECT_EQ(BookCount(), 3);
    // The finished mark is on the file that took the dictionary's place.
    EXPECT_EQ(Version(), u"1.0I");
    EXPECT_TRUE(Verify(Path("books.qdx")).empty());
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"books.qdx", "first.txt", "second.txt", "third.txt"}));
}

// Each text compiles beside the dictionary, which holds what it held until
// the load's last step: a load killed at any report leaves it whole.
TEST_F(BookLoading, TheDictionaryIsUntouchedWhileTextsCompile) {
    struct WatchingUi : SilentCompileUi {
        std::function<void()> watch;
        void PumpMessages() override {
            SilentCompileUi::PumpMessages();
            watch();
        }
        void SetStepLabel(std::u16string_view text) override {
            SilentCompileUi::SetStepLabel(text);
            watch();
        }
    } ui;
    ui.progressBar = true;
    const std::string before = Bytes("books.qdx");
    int reports = 0, changedAt = 0;
    ui.watch = [&] {
        ++reports;
        if (changedAt == 0 && Bytes("books.qdx") != before) changedAt = reports;
    };
    std::string text = "<Latn>English\n<Cyrl>Русский\n";
    for (int i = 0; i < 300; ++i) text += "\n<P>Phrase " + std::to_string(i) + ".\n<P>Фраза " + std::to_string(i) + ".\n";
    WriteText("second.txt", text);
    BookLoader loader(engine_, ui, env_);
    ASSERT_EQ(loader.Load(Path("books.qdx"), {Path("second.txt"), Path("second.txt")}), 1);
    EXPECT_GT(reports, 100);
    EXPECT_EQ(changedAt, 0) << "written in place at report " << changedAt << " of " << reports;
    EXPECT_EQ(BookCount(), 3);
}

// A text that fails after others: the books before it stay, marked
// finished, and the one message says so beside the reason. A first text
// that fails, or nothing to load, touches nothing.
TEST_F(BookLoading, AFailedTextKeepsTheBooksBeforeItAndSaysSo) {
    const std::string before = Bytes("books.qdx");
    WriteText("good.txt", "<Latn>English\n<Cyrl>Русский\n\n<P>Good.\n<P>Хорошо.\n");
    WriteText("bad.txt", "<Latn>English\n<Cyrl>Русский\n\n<P>Only one line in this group.\n");
    BookLoader loader(engine_, ui_, env_);
    EXPECT_EQ(loader.Load(Path("books.qdx"), {Path("bad.txt"), Path("good.txt")}), 0);
    EXPECT_EQ(loader.loaded, 0);
    EXPECT_EQ(loader.error, u"Cannot convert a dictionary\n The source text could not be read as a dictionary.");
    EXPECT_TRUE(Bytes("books.qdx") == before);
    EXPECT_EQ(loader.Load(Path("books.qdx"), {}), 0);
    EXPECT_TRUE(Bytes("books.qdx") == before);

    EXPECT_EQ(loader.Load(Path("books.qdx"), {Path("good.txt"), Path("good.txt"), Path("bad.txt"), Path("good.txt")}),
              0);
    EXPECT_EQ(loader.loaded, 2);
    EXPECT_EQ(loader.error,
              u"Cannot convert a dictionary\n The source text could not be read as a dictionary.\n"
              u"Books loaded before the failure, and kept in the dictionary: 2 of 4.");
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_EQ(BookCount(), 3);
    EXPECT_TRUE(Verify(Path("books.qdx")).empty());
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"bad.txt", "books.qdx", "first.txt", "good.txt"}));
}

// A source the compile cannot read is said once, by the compile, naming the
// file: the loader adds no second box. A text the compile refuses without a
// box of its own gets the loader's one message.
TEST_F(BookLoading, EachFailureReachesTheUserOnce) {
    BookLoader loader(engine_, ui_, env_);
    EXPECT_EQ(loader.Load(Path("books.qdx"), {Path("missing.txt")}), 0);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_NE(ui_.messages[0].find(Path("missing.txt")), std::u16string::npos);
    EXPECT_EQ(loader.error, u"");
    EXPECT_FALSE(loader.Cancelled());
    WriteText("bad.txt", "<Latn>English\n<Cyrl>Русский\n\n<P>Only one line in this group.\n");
    EXPECT_EQ(loader.Load(Path("books.qdx"), {Path("bad.txt")}), 0);
    EXPECT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(loader.error, u"Cannot convert a dictionary\n The source text could not be read as a dictionary.");
    EXPECT_EQ(BookCount(), 1);
}

// The user's Cancel, answered at the compile's next progress step: the
// load says it was cancelled (not that the text failed), and the file is
// as it was.
TEST_F(BookLoading, ACancelledLoadSaysSoAndLeavesTheFileAsItWas) {
    struct CancellingUi : SilentCompileUi {
        BookLoader* loader = nullptr;
        void PumpMessages() override {
            SilentCompileUi::PumpMessages();
            if (loader) loader->Cancel();
        }
    } ui;
    ui.progressBar = true;
    const std::string before = Bytes("books.qdx");
    WriteText("second.txt", "<Latn>English\n<Cyrl>Русский\n\n<P>Two.\n<P>Два.\n");
    BookLoader loader(engine_, ui, env_);
    ui.loader = &loader;
    EXPECT_EQ(loader.Load(Path("books.qdx"), {Path("second.txt")}), 0);
    EXPECT_GT(ui.pumps, 0);
    EXPECT_TRUE(loader.Cancelled());
    EXPECT_EQ(loader.error, u"Book loading cancelled.");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(Bytes("books.qdx") == before);
}

TEST_F(BookLoading, TheVersionLosesItsPInOneTransaction) {
    SetVersion(u"1.0P");
    ASSERT_EQ(MarkBookFinished(engine_, Path("books.qdx")), DmsStatus::Success);
    EXPECT_EQ(Version(), u"1.0I");
}

}  // namespace
