// A damaged data record, not an index page: one article of real EDICT lines
// whose first chunk claims one byte more than its chain holds. Reading it through the
// cursor (as the article view does) is refused with the engine's reason and
// reported once, naming the file; every other article reads exactly as in
// the intact copy. Closed, mended and opened again, the dictionary reads the
// article and says nothing: no message of its damaged past is left over.
#include <algorithm>
#include <iterator>

#include "common/tests/fake_app_context.h"
#include "dictionary/cursor.h"
#include "dictionary/dictionary_schema.h"
#include "import/tests/compile_fixture.h"
#include "storage/byte_order.h"
#include "storage/data_blocks.h"
#include "storage/simulated_disk.h"

namespace {

// The article's bytes as the record buffer holds them after a read; empty
// when the read was refused.
std::vector<uint8_t> ArticleAt(CCursor& cursor) {
    if (cursor.LoadArticle() == 0) return {};
    const CDictionary& d = *cursor.dictionary;
    return std::vector<uint8_t>(d.RecordData(), d.RecordData() + d.RecordSize());
}

class RefusedArticle : public CompileFixture {
protected:
    // Every article of the reading index in order, with its record position.
    struct Read {
        std::vector<uint32_t> positions;
        std::vector<std::vector<uint8_t>> articles;
    };
    static Read ReadAll(RDFDictionary& dictionary) {
        Read read;
        CCursor cursor(&dictionary, kIndexReadingWord);
        DmsStatus s = cursor.MoveFirst();
        for (; s == DmsStatus::Success; s = cursor.Next()) {
            read.positions.push_back(cursor.position.ref.first);
            read.articles.push_back(ArticleAt(cursor));
        }
        EXPECT_EQ(s, DmsStatus::EndOfFile) << "the walk reaches the index's end";
        return read;
    }
};

TEST_F(RefusedArticle, ADamagedRecordIsRefusedOnceAndForgottenWhenMended) {
    const std::u16string markup = EdictAsOwnMarkup(300);
    if (markup.empty()) GTEST_SKIP() << "Debian's edict is not installed";
    const std::u16string source = Path("edict.rdf"), target = Path("edict.qdx");
    WriteUtf16File(source, markup);
    // Without compaction the pages are stored plain: page n at n x PageSize,
    // so a data position is the file offset of its chunk.
    ASSERT_EQ(Compile(source, target, {.compact = false}), 1);
    std::ifstream in(std::filesystem::path(target), std::ios::binary);
    const std::vector<uint8_t> intact((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const uint32_t pat = storage::LoadU32(intact.data() + 20);
    ASSERT_TRUE(pat == 0 || pat == 0xFFFFFFFF) << "a plain file";

    FakeAppContext app;
    ScopedAppContext scoped(app);
    SimulatedDisk disk;
    disk.SetContents(u"C:\\D\\edict.qdx", intact);
    CDMS engine(disk);
    RDFDictionary dictionary(kFormatStoreDatabase, engine);
    dictionary.File().SetPath(u"C:\\D\\edict.qdx");
    ASSERT_EQ(dictionary.Open(2), 0u);
    const Read whole = ReadAll(dictionary);
    ASSERT_GE(whole.articles.size(), 300u);
    ASSERT_TRUE(std::none_of(whole.articles.begin(), whole.articles.end(), [](const auto& a) { return a.empty(); }));
    dictionary.Close();

    const size_t damagedEntry = whole.positions.size() / 2;
    const uint32_t position = whole.positions[damagedEntry];
    std::vector<uint8_t> damaged = intact;
    ASSERT_LT(position + chunk::kHeadSize, damaged.size());
    ASSERT_NE(damaged[position + chunk::kFlags] & chunk::kFlagFirst, 0);
    const uint32_t total = storage::LoadU32(damaged.data() + position + chunk::kTotal);
    storage::StoreU32(damaged.data() + position + chunk::kTotal, total + 1);
    disk.SetContents(u"C:\\D\\edict.qdx", damaged);

    ASSERT_EQ(dictionary.Open(2), 0u);
    const Read read = ReadAll(dictionary);
    ASSERT_EQ(read.positions.size(), whole.positions.size());
    ASSERT_EQ(read.positions, whole.positions);
    for (size_t i = 0; i < read.articles.size(); ++i)
        if (read.positions[i] == position) EXPECT_TRUE(read.articles[i].empty()) << "entry " << i;
        else EXPECT_EQ(read.articles[i], whole.articles[i]) << "entry " << i;
    EXPECT_EQ(dictionary.ReadRefusal(), DmsStatus::IntegrityBroken);
    // Reported once, however often the article is read again.
    EXPECT_TRUE(dictionary.ReportReadRefusal());
    ReadAll(dictionary);
    EXPECT_FALSE(dictionary.ReportReadRefusal());
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(app.messages[0].text, u"Cannot read file: C:\\D\\edict.qdx\nData integrity broken");
    EXPECT_EQ(app.messages[0].caption, u"Cannot Read a File");
    dictionary.Close();

    // Mended and opened again: no refusal is left over.
    disk.SetContents(u"C:\\D\\edict.qdx", intact);
    ASSERT_EQ(dictionary.Open(2), 0u);
    EXPECT_EQ(ReadAll(dictionary).articles, whole.articles);
    EXPECT_EQ(dictionary.ReadRefusal(), DmsStatus::Success);
    EXPECT_FALSE(dictionary.ReportReadRefusal());
    EXPECT_EQ(app.messages.size(), 1u);
    dictionary.Close();
}

}  // namespace
