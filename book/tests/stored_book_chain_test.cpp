// Each way a stored book's chain of records can break is met on purpose and
// named exactly: a next id that points back into the chain, a next id no
// record has, and an index page the disk refuses to read mid-walk. The
// phrases before the break read exactly as in the intact book.
// coreutils' messages (English, Russian, Japanese) compiled as a book.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "book/book_model.h"
#include "book/stored_book.h"
#include "book/tests/book_texts.h"
#include "import/import_registration.h"
#include "import/tests/compile_fixture.h"
#include "storage/simulated_disk.h"

#ifdef OSTREL_BOOK_TEXTS
namespace {

struct ReadBook {
    std::vector<std::u16string> texts;  // phrase by phrase, column by column
    std::u16string damage;
};

// What runs around the walk of the chain: before it, once the start record
// is known, and after it, before the phrases' texts are read.
struct AroundWalk {
    std::function<void()> before, after;
};

// The first book of the book dictionary at `path` on `engine`, read as the
// reader reads it (opened read-only, mode 2, unless told otherwise).
ReadBook ReadFirstBook(CDMS& engine, const std::u16string& path, const AroundWalk& around = {}, int32_t mode = 2) {
    ReadBook read;
    RDFDictionary dictionary(kFormatStoreDatabase | kFormatBook, engine);
    dictionary.File().SetPath(path.c_str());
    if (dictionary.Open(mode) != 0) return read;
    {
        auto stored = std::make_shared<StoredBook>(dictionary);
        const auto books = stored->Books(0);
        if (!books.empty()) {
            stored->SetStartRecord(books[0].firstRecord);
            if (around.before) around.before();
            BookModel model;
            model.Build(stored, false, false);
            if (around.after) around.after();
            for (int32_t e = 0; e < model.PhraseCount(); ++e)
                for (int32_t c = 0; c < 3; ++c) read.texts.push_back(stored->Text(e, model.RecordId(e), c).text);
        }
        read.damage = stored->Damage();
    }
    dictionary.Close();
    return read;
}

class StoredBookChain : public CompileFixture {
protected:
    void SetUp() override {
        CompileFixture::SetUp();
        RegisterImportParsers();
        const std::string source = BookTextsPath("coreutils.txt");
        std::ifstream in(source, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::u16string sourcePath = Path("coreutils.txt");
        path_ = Path("coreutils.qdx");
        std::ofstream(std::filesystem::path(sourcePath), std::ios::binary) << text;
        ASSERT_EQ(Compile(sourcePath, path_, {}, nullptr, nullptr, kFormatBook | kFormatUtf8), 1);
        original_ = ReadFirstBook(engine_, path_);
        ASSERT_TRUE(original_.damage.empty());
        ASSERT_GE(original_.texts.size(), 3000u);
    }

    // The chain's records in walk order: id, previous, next.
    struct Link {
        uint32_t id, previous, next;
    };
    std::vector<Link> Chain() {
        std::vector<Link> links;
        int32_t file = 0;
        uint32_t cursor = 0;
        EXPECT_EQ(engine_.OpenFile(path_, 2, DictionarySchemaText, &file), DmsStatus::Success);
        engine_.OpenCursor(file, &cursor);
        engine_.SelectIndex(cursor, kIndexBookRecords);
        uint32_t v[3] = {};
        KeySegmentValue out[3] = {{&v[0], 4}, {&v[1], 4}, {&v[2], 4}};
        for (DmsStatus s = engine_.First(cursor, out, nullptr); s == DmsStatus::Success;
             s = engine_.Next(cursor, out, nullptr))
            if (v[0] > 1000) links.push_back({v[0], v[1], v[2]});  // the entries of at most 1000 name books
        engine_.CloseCursor(cursor);
        engine_.CloseFile(file);
        return links;
    }

    // Rewrites the next id of record `id` in the chain's index.
    void SetNext(uint32_t id, uint32_t next) {
        int32_t file = 0;
        uint32_t cursor = 0;
        ASSERT_EQ(engine_.OpenFile(path_, 1, DictionarySchemaText, &file), DmsStatus::Success);
        ASSERT_EQ(engine_.OpenCursor(file, &cursor), DmsStatus::Success);
        ASSERT_EQ(engine_.SelectIndex(cursor, kIndexBookRecords), DmsStatus::Success);
        uint32_t key[3] = {id, 0, 0};
        KeySegmentValue keys[3] = {{&key[0], 4}, {&key[1], 0}, {&key[2], 0}};
        uint32_t v[3] = {};
        KeySegmentValue out[3] = {{&v[0], 4}, {&v[1], 4}, {&v[2], 4}};
        EntryPosition at;
        ASSERT_EQ(engine_.SeekGreaterOrEqual(cursor, keys, out, &at), DmsStatus::Success);
        ASSERT_EQ(v[0], id);
        ASSERT_EQ(engine_.DeleteCurrent(cursor), DmsStatus::Success);
        v[2] = next;
        KeySegmentValue changed[3] = {{&v[0], 4}, {&v[1], 4}, {&v[2], 4}};
        ASSERT_EQ(engine_.InsertKey(cursor, changed, at.ref), DmsStatus::Success);
        engine_.CloseCursor(cursor);
        ASSERT_EQ(engine_.CloseFile(file), DmsStatus::Success);
    }

    // The phrases up to `phrases` read as in the intact book.
    void ExpectPhrasesKept(const ReadBook& read, size_t phrases) {
        ASSERT_EQ(read.texts.size(), phrases * 3);
        EXPECT_TRUE(std::equal(read.texts.begin(), read.texts.end(), original_.texts.begin()));
    }

    std::u16string path_;
    ReadBook original_;
};

TEST_F(StoredBookChain, ANextIdPointingBackIsNamedAsALoop) {
    const auto links = Chain();
    // The walk starts at the language header, then phrase k is link k.
    SetNext(links[41].id, links[20].id);
    const ReadBook read = ReadFirstBook(engine_, path_);
    EXPECT_EQ(read.damage, u"The book's chain of records loops back after phrase 41.");
    ExpectPhrasesKept(read, 41);
}

TEST_F(StoredBookChain, ANextIdNoRecordHasIsNamedAsMissing) {
    const auto links = Chain();
    SetNext(links[101].id, 0x7FFFFFF0);
    const ReadBook read = ReadFirstBook(engine_, path_);
    EXPECT_EQ(read.damage, u"The book's next record is missing after phrase 101.");
    ExpectPhrasesKept(read, 101);
}

TEST_F(StoredBookChain, AReadTheDiskRefusesMidWalkIsNamedWithTheEnginesReason) {
    std::ifstream file{std::filesystem::path(path_), std::ios::binary};
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    SimulatedDisk disk;
    disk.SetContents(u"book.qdx", std::move(bytes));
    // A cache of a few pages and a file opened for writing (whose pages are
    // never kept behind the cache), so the walk reads the index as it goes.
    CDMS engine(disk, 2);
    constexpr int32_t kWritable = 1;
    const ReadBook whole = ReadFirstBook(engine, u"book.qdx", {}, kWritable);
    ASSERT_EQ(whole.texts, original_.texts);
    ASSERT_TRUE(whole.damage.empty());

    // From the walk's third read on, the disk refuses every read (a step
    // that fails is tried again as a seek, so one refusal alone is read past);
    // the phrases' texts are read again once the walk has stopped.
    const AroundWalk refusing{[&] {
                                  for (uint64_t n = 3; n < 3 + 200; ++n)
                                      disk.InjectFault(SimulatedDisk::Operation::Read, n, IoError::Failed);
                              },
                              [&] { disk.ClearFaults(); }};
    const ReadBook read = ReadFirstBook(engine, u"book.qdx", refusing, kWritable);
    EXPECT_EQ(read.damage, u"The book's records cannot be read after phrase 91 (File input/output error).");
    ExpectPhrasesKept(read, 91);
}

}  // namespace
#endif
