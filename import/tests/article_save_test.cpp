// Saving edited articles into a personal dictionary made from Debian's
// EDICT: random replacements, removals and additions against a fresh compile
// and SQLite's FTS5, one id edited twice, deleting from a list, the refusal
// while a compile runs, the markup round trip, and I/O faults at every step
// of a save leaving the file as it was.
#include "import/tests/compile_fixture.h"

#include "article/editor_lines.h"
#include "common/tests/fake_app_context.h"
#include "dictionary/cursor.h"
#include "dictionary/engine_cursor.h"
#include "import/article_record.h"
#include "import/article_edit_sweep.h"
#include "import/article_save.h"
#include "import/tests/fts5_oracle.h"
#include "storage/simulated_disk.h"

#include <algorithm>
#include <set>

namespace {

class ArticleSaveTest : public CompileFixture {
protected:
    // A personal dictionary of `lines` EDICT lines as own markup, open for writing.
    std::unique_ptr<RDFDictionary> MakePersonal(size_t lines, const std::string& name = "personal") {
        const std::u16string markup = EdictAsOwnMarkup(lines);
        if (markup.empty()) return nullptr;
        WriteUtf16File(Path(name + ".txt"), markup);
        std::u16string error;
        EXPECT_EQ(Compile(Path(name + ".txt"), Path(name + ".qdx"), {}, nullptr, &error), 1) << Utf16ToUtf8(error);
        auto dictionary = std::make_unique<RDFDictionary>(kFormatStoreDatabase, engine_);
        dictionary->File().SetPath(Path(name + ".qdx").c_str());
        EXPECT_EQ(dictionary->Open(0), 0u);
        return dictionary;
    }
    // Every index and the live articles, as text (positions named by article text).
    std::string State(CDictionary& dictionary) {
        std::string state;
        for (int32_t index : {0, 101, 102, 106})
            DumpIndex(dictionary.Engine(), dictionary.fileId, index, state, true);
        DumpFullTextByText(dictionary.Engine(), dictionary.fileId, state);
        return state;
    }
    FakeAppContext app_;
    ScopedAppContext scope_{app_};
};

std::u16string Article(std::u16string_view kanji, std::u16string_view reading, std::u16string_view sense) {
    return u"{\\a \n{\\k " + std::u16string(kanji) + u"}\n{\\r " + std::u16string(reading) + u"}\n{\\s " +
           std::u16string(sense) + u"}\n}\n";
}

// Entries of index 101 under `reading`.
size_t ReadingEntries(CDictionary& dictionary, std::u16string reading) {
    std::string dump;
    DumpIndex(dictionary.Engine(), dictionary.fileId, 101, dump, true);
    const std::string key = Utf16ToUtf8(reading) + "\t";
    size_t n = 0;
    for (size_t at = 0; (at = dump.find(key, at)) != std::string::npos; at += key.size())
        n += at == 0 || dump[at - 1] == '\n';
    return n;
}

// A damaged record of its head alone (or less) is never taken for an article.
TEST_F(ArticleSaveTest, ARecordNoLongerThanItsHeadIsRefused) {
    auto dictionary = MakePersonal(10);
    if (!dictionary) GTEST_SKIP() << "edict is not installed";
    uint32_t shortRecord = 0;
    {
        EngineCursor cursor(engine_, dictionary->fileId);
        ASSERT_EQ(cursor.SelectIndex(kIndexArticles), DmsStatus::Success);
        const uint8_t head[kArticleRecordHeadBytes] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 0};
        ASSERT_EQ(engine_.SelectRecordType(cursor.handle(), kArticleRecordType), DmsStatus::Success);
        ASSERT_EQ(engine_.WriteData(cursor.handle(), head, sizeof head, &shortRecord), DmsStatus::Success);
        KeySegmentValue key{&shortRecord, 4};
        ASSERT_EQ(engine_.InsertKey(cursor.handle(), &key, {shortRecord, 0}), DmsStatus::Success);
    }
    const std::string before = State(*dictionary);
    const ArticleSave save = SaveEditedArticle(*dictionary, shortRecord, kEditorSameDictionary, Article(u"a", u"b", u"c"));
    EXPECT_FALSE(save.saved);
    EXPECT_EQ(State(*dictionary), before);
    const uint8_t head[kArticleRecordHeadBytes] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 0};
    EXPECT_TRUE(StoredArticleLines(*dictionary, head, sizeof head).empty());
}

// The first line where two dumps part, for a short failure message.
std::string FirstDifference(const std::string& a, const std::string& b) {
    size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    const size_t line = a.rfind('\n', at) == std::string::npos ? 0 : a.rfind('\n', at) + 1;
    return a.substr(line, a.find('\n', at) - line) + " | " + b.substr(line, b.find('\n', at) - line);
}

TEST_F(ArticleSaveTest, RandomSavesGiveWhatAFreshCompileGives) {
    auto dictionary = MakePersonal(3000);
    if (!dictionary) GTEST_SKIP() << "edict is not installed";
    const EditSweep sweep = RunRandomEdits(*dictionary, 500, 20261207);
    EXPECT_TRUE(sweep.failures.empty()) << sweep.failures.front();
    EXPECT_EQ(sweep.replacements + sweep.removals + sweep.additions, 500u);
    EXPECT_GT(sweep.editsOfEditedIds, 50u);
    EXPECT_EQ(CheckIdsLeadToLatestTexts(*dictionary, sweep), std::vector<std::string>{});
    EXPECT_EQ(CompareWithFreshCompile(*dictionary, Path("fresh")), std::vector<std::string>{});

#ifdef OSTREL_WITH_SQLITE
    // Full-text AND queries find the articles FTS5 finds over the final texts.
    const auto articles = LiveArticles(engine_, dictionary->fileId);
    Fts5Oracle oracle;
    for (const auto& [position, text] : articles) oracle.Add(position, MarkupPlainText(text));
    const std::vector<std::pair<std::string, std::string>> queries = oracle.AndQueries(150);
    ASSERT_GT(queries.size(), 100u);
    size_t mismatches = 0, found = 0;
    for (const auto& [ours, theirs] : queries) {
        const std::set<int64_t> expected = oracle.Match(theirs);
        const std::set<int64_t> actual = SearchPositions(ours, engine_, dictionary->fileId);
        found += actual.size();
        if (expected != actual && ++mismatches <= 10)
            ADD_FAILURE() << ours << ": FTS5 " << expected.size() << " articles, ours " << actual.size();
    }
    EXPECT_EQ(mismatches, 0u);
    EXPECT_GT(found, 300u);
#endif
    dictionary->Close();
    EXPECT_EQ(Verify(Path("personal.qdx")), std::vector<std::string>{});
}

TEST_F(ArticleSaveTest, AnIdEditedTwiceListsOneVersionAndLeadsToTheLatest) {
    auto dictionary = MakePersonal(40);
    if (!dictionary) GTEST_SKIP() << "edict is not installed";
    const auto before = LiveArticles(engine_, dictionary->fileId);
    const uint32_t id = before[5].first;
    const std::u16string first = Article(u"\u7DE8", u"\u3078\u3093\u3057\u3085\u3046", u"zyzzyva {one}");
    const std::u16string second = Article(u"\u7DE8", u"\u3078\u3093\u3057\u3085\u3046", u"zyzzyva \\\\two");
    ASSERT_TRUE(SaveEditedArticle(*dictionary, id, kEditorSameDictionary, first).saved);
    const ArticleSave again = SaveEditedArticle(*dictionary, id, kEditorSameDictionary, second);
    ASSERT_TRUE(again.saved) << Utf16ToUtf8(again.error);
    EXPECT_EQ(ReadingEntries(*dictionary, u"\u3078\u3093\u3057\u3085\u3046"), 1u);
    EXPECT_EQ(LiveArticles(engine_, dictionary->fileId).size(), before.size());
    EXPECT_EQ(CurrentArticlePosition(engine_, dictionary->fileId, id), again.position);
    // The saved markup reads back with its escapes undone.
    std::vector<uint8_t> record(512);
    uint32_t size = static_cast<uint32_t>(record.size());
    ASSERT_EQ(engine_.ReadData(EngineCursor(engine_, dictionary->fileId).handle(), again.position, record.data(), &size),
              DmsStatus::Success);
    EXPECT_EQ(ArticleRecordText(record.data(), size) + u"\n", second);  // the article group is stored
    ASSERT_EQ(dictionary->ParseRecord(record.data(), size), 1u);
    std::vector<uint32_t> kinds;
    for (int32_t i = 0; i < dictionary->ElementCount(); ++i) kinds.push_back(dictionary->Elements()[i].kind);
    EXPECT_EQ(kinds, (std::vector<uint32_t>{2, 4, 3, 5}));
    const std::vector<EditorLine> lines = ReadArticleLines(ArticleRecordText(record.data(), size));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2].text, u"zyzzyva \\two");
    // A word of this article alone leaves the full-text index with it.
    EXPECT_EQ(SearchPositions("zyzzyva", engine_, dictionary->fileId), std::set<int64_t>{again.position});
    EXPECT_EQ(RemoveArticleById(*dictionary, id), u"");
    EXPECT_EQ(SearchPositions("zyzzyva", engine_, dictionary->fileId), std::set<int64_t>{});
    EXPECT_EQ(State(*dictionary).find("zyzzyva"), std::string::npos);
    EXPECT_EQ(CurrentArticlePosition(engine_, dictionary->fileId, id), 0u);
    EXPECT_EQ(CompareWithFreshCompile(*dictionary, Path("fresh")), std::vector<std::string>{});
}

// The text of the article stored at `position`.
std::u16string StoredText(CDMS& engine, int32_t fileId, uint32_t position) {
    EngineCursor cursor(engine, fileId);
    uint32_t size = 0;
    if (Failed(engine.ReadData(cursor.handle(), position, nullptr, &size))) return u"(unreadable)";
    std::vector<uint8_t> record(size);
    if (Failed(engine.ReadData(cursor.handle(), position, record.data(), &size))) return u"(unreadable)";
    return ArticleRecordText(record.data(), size) + u"\n";
}

// A list opened between two edits holds the position the first edit made; an
// editor opened from that list saves under it. Every id and position taken
// along the way leads to the latest text, and the article is listed once.
TEST_F(ArticleSaveTest, PositionsOfEarlierEditsLeadToTheLatestText) {
    auto dictionary = MakePersonal(40);
    if (!dictionary) GTEST_SKIP() << "edict is not installed";
    const auto before = LiveArticles(engine_, dictionary->fileId);
    const uint32_t id = before[9].first;
    const std::u16string reading = u"\u3078\u3093\u3057\u3085\u3046";
    const std::u16string texts[3] = {Article(u"\u7DE8", reading, u"first zyzzyva"),
                                     Article(u"\u7DE8", reading, u"second zyzzyva"),
                                     Article(u"\u7DE8", reading, u"third zyzzyva")};
    const ArticleSave first = SaveEditedArticle(*dictionary, id, kEditorSameDictionary, texts[0]);
    ASSERT_TRUE(first.saved) << Utf16ToUtf8(first.error);
    // The second edit through the id, the third through the list's position of the first.
    const ArticleSave second = SaveEditedArticle(*dictionary, id, kEditorSameDictionary, texts[1]);
    ASSERT_TRUE(second.saved) << Utf16ToUtf8(second.error);
    for (uint32_t held : {id, first.position, second.position})
        EXPECT_EQ(StoredText(engine_, dictionary->fileId, CurrentArticlePosition(engine_, dictionary->fileId, held)),
                  texts[1]) << held;
    const ArticleSave third = SaveEditedArticle(*dictionary, first.position, kEditorSameDictionary, texts[2]);
    ASSERT_TRUE(third.saved) << Utf16ToUtf8(third.error);
    for (uint32_t held : {id, first.position, second.position, third.position})
        EXPECT_EQ(CurrentArticlePosition(engine_, dictionary->fileId, held), third.position) << held;
    EXPECT_EQ(StoredText(engine_, dictionary->fileId, third.position), texts[2]);
    EXPECT_EQ(ReadingEntries(*dictionary, reading), 1u);
    EXPECT_EQ(LiveArticles(engine_, dictionary->fileId).size(), before.size());
    EXPECT_EQ(SearchPositions("zyzzyva", engine_, dictionary->fileId), std::set<int64_t>{third.position});
    EXPECT_EQ(CompareWithFreshCompile(*dictionary, Path("fresh")), std::vector<std::string>{});
}

// An editor open on an article that is deleted meanwhile (from a list) saves
// it as the one article of its text; no other article is touched.
TEST_F(ArticleSaveTest, SavingOverAnArticleRemovedMeanwhileStoresItOnce) {
    auto dictionary = MakePersonal(40);
    if (!dictionary) GTEST_SKIP() << "edict is not installed";
    const auto before = LiveArticles(engine_, dictionary->fileId);
    const uint32_t id = before[11].first;
    ASSERT_EQ(RemoveArticleById(*dictionary, id), u"");
    const std::u16string reading = u"\u3078\u3093\u3057\u3085\u3046";
    const std::u16string text = Article(u"\u7DE8", reading, u"revived zyzzyva");
    const ArticleSave saved = SaveEditedArticle(*dictionary, id, kEditorSameDictionary, text);
    ASSERT_TRUE(saved.saved) << Utf16ToUtf8(saved.error);
    EXPECT_EQ(StoredText(engine_, dictionary->fileId, CurrentArticlePosition(engine_, dictionary->fileId, id)), text);
    // The others as they were, the removed text gone, the saved one once.
    auto after = LiveArticles(engine_, dictionary->fileId);
    std::erase_if(after, [&](const auto& a) { return a.first == saved.position; });
    auto untouched = before;
    std::erase_if(untouched, [&](const auto& a) { return a.first == id; });
    EXPECT_EQ(after, untouched);
    EXPECT_EQ(ReadingEntries(*dictionary, reading), 1u);
    EXPECT_EQ(SearchPositions("zyzzyva", engine_, dictionary->fileId), std::set<int64_t>{saved.position});
    EXPECT_EQ(CompareWithFreshCompile(*dictionary, Path("fresh")), std::vector<std::string>{});
}

TEST_F(ArticleSaveTest, DeletingFromAListRemovesKeysAndHits) {
    auto dictionary = MakePersonal(40);
    if (!dictionary) GTEST_SKIP() << "edict is not installed";
    const size_t articles = LiveArticles(engine_, dictionary->fileId).size();
    CCursor cursor(dictionary.get(), kIndexReadingWord);
    ASSERT_EQ(cursor.MoveFirst(), DmsStatus::Success);
    app_.messageAnswer = 6;  // Yes
    EXPECT_EQ(dictionary->DeleteArticle(&cursor), 1);
    EXPECT_EQ(LiveArticles(engine_, dictionary->fileId).size(), articles - 1);
    EXPECT_EQ(CompareWithFreshCompile(*dictionary, Path("fresh")), std::vector<std::string>{});
}

TEST_F(ArticleSaveTest, RefusedWhileACompileRunsAndForTextsWithoutArticles) {
    auto dictionary = MakePersonal(10);
    if (!dictionary) GTEST_SKIP() << "edict is not installed";
    const std::string before = State(*dictionary);
    const uint32_t id = LiveArticles(engine_, dictionary->fileId)[0].first;
    dictionary->conversionState = 2;
    EXPECT_FALSE(SaveEditedArticle(*dictionary, id, kEditorSameDictionary, Article(u"a", u"b", u"c")).saved);
    dictionary->conversionState = 0;
    const ArticleSave nothing = SaveEditedArticle(*dictionary, id, kEditorSameDictionary, u"no article here");
    EXPECT_FALSE(nothing.saved);
    EXPECT_FALSE(nothing.error.empty());
    EXPECT_EQ(State(*dictionary), before);
}

// Every read, write, flush and size change of one save failing in turn:
// the file, opened again, holds either the old state or the saved one, and a
// save that reports success always holds the saved one. (A failure of the
// journal's truncation after a complete write-back is reported by the engine
// although the change is durable: counted apart.)
TEST_F(ArticleSaveTest, AnIoFaultAtAnyStepOfASaveLeavesTheFileAsItWas) {
    auto made = MakePersonal(60);
    if (!made) GTEST_SKIP() << "edict is not installed";
    const uint32_t id = LiveArticles(engine_, made->fileId)[7].first;
    const std::u16string text = Article(u"\u7DE8", u"\u3078\u3093", u"faulty zyzzyva");
    const std::string before = State(*made);
    made->Close();
    const std::vector<uint8_t> original = ReadBytes(Path("personal.qdx"));
    ASSERT_FALSE(original.empty());
    const std::u16string file = u"C:\\personal.qdx";

    // One save on the simulated disk: whether it said saved, the I/O calls it made, the state after.
    struct Run {
        bool saved = false;
        uint64_t calls = 0;
        std::string state;
    };
    auto run = [&](std::optional<std::pair<SimulatedDisk::Operation, uint64_t>> fault) {
        Run result;
        SimulatedDisk disk;
        disk.SetContents(file, original);
        {
            CDMS engine(disk);
            CDictionary dictionary(kFormatStoreDatabase, engine);
            dictionary.File().SetPath(file.c_str());
            if (dictionary.Open(0) != 0) return result;
            const uint64_t start = disk.CallCount();
            if (fault) disk.InjectFault(fault->first, fault->second, IoError::Failed);
            result.saved = SaveEditedArticle(dictionary, id, kEditorSameDictionary, text).saved;
            result.calls = disk.CallCount() - start;
            disk.ClearFaults();
            dictionary.Close();
        }
        CDMS engine(disk);
        CDictionary reopened(kFormatStoreDatabase, engine);
        reopened.File().SetPath(file.c_str());
        if (reopened.Open(0) == 0) result.state = State(reopened);
        reopened.Close();
        return result;
    };
    const Run clean = run(std::nullopt);
    ASSERT_TRUE(clean.saved);
    const std::string after = clean.state;
    ASSERT_NE(after, before);

    size_t faults = 0, failedSaves = 0, durableFailures = 0;
    for (SimulatedDisk::Operation op : {SimulatedDisk::Operation::Write, SimulatedDisk::Operation::Flush,
                                        SimulatedDisk::Operation::SetSize, SimulatedDisk::Operation::Read}) {
        for (uint64_t nth = 1; nth <= clean.calls; ++nth) {
            const Run faulty = run(std::make_pair(op, nth));
            ++faults;
            const std::string where = "operation " + std::to_string(static_cast<int>(op)) + ", fault " + std::to_string(nth);
            if (faulty.saved) {
                ASSERT_TRUE(faulty.state == after) << where << ": " << FirstDifference(faulty.state, after);
                continue;
            }
            ++failedSaves;
            if (faulty.state == after) {
                ++durableFailures;
                continue;
            }
            ASSERT_TRUE(faulty.state == before) << "a failed save changed the file (" << where
                                                << "): " << FirstDifference(faulty.state, before);
        }
    }
    EXPECT_GT(failedSaves, 10u);
    EXPECT_LT(durableFailures, 5u);
    std::printf("I/O faults injected: %zu; saves that failed: %zu, of which the file kept the save: %zu\n", faults,
                failedSaves, durableFailures);
}

}  // namespace
