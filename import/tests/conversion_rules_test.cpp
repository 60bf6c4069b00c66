// The conversion and optimisation dialogs' rules, and an optimisation of real
// dictionaries with edited, removed and multi-article records: every id a
// saved list may hold leads to the same article text afterwards.
#include "import/conversion_rules.h"

#include <map>
#include <set>

#include "dictionary/format_detection.h"
#include "dictionary/language_names.h"
#include "import/article_ids.h"
#include "import/article_record.h"
#include "import/compile_space.h"
#include "import/tests/compile_fixture.h"

namespace {

TEST(ConversionRules, FormatListAndDefaults) {
    EXPECT_EQ(ConversionFormatItem(3), 0);
    EXPECT_EQ(ConversionFormatItem(16), 13);
    EXPECT_EQ(ConversionFormatItem(5), -1);
    // DSL alone shows the [trn] box and enables the unknown languages.
    for (const ConversionFormat& format : kConversionFormats) {
        const FormatDefaults d = DefaultsForFormat(format.formatType, 0, LanguagesForFormat(format.formatType));
        EXPECT_EQ(d.dslBoxShown, format.formatType == 9) << format.formatType;
    }
    const FormatDefaults dsl = DefaultsForFormat(9, kFormatDsl, {u"jpn", u"", u"", u""});
    EXPECT_EQ(dsl.languageEnabled, (std::array<bool, 4>{false, true, false, false}));
    EXPECT_EQ(dsl.readingItem, 1);
    EXPECT_EQ(DefaultsForFormat(9, kFormatDsl, {u"cmn", u"eng", u"", u""}).readingItem, 2);
    EXPECT_EQ(DefaultsForFormat(13, kFormatTatoeba, LanguagesForFormat(13)).languageEnabled,
              (std::array<bool, 4>{true, true, true, true}));
    EXPECT_EQ(LanguagesForFormat(13), (std::array<std::u16string, 4>{u"jpn", u"rus", u"eng", u""}));
    EXPECT_EQ(LanguagesForFormat(16)[0], u"lat");
    // An own-markup container starts uncompressed.
    EXPECT_FALSE(DefaultsForFormat(1, kFormatOwnContainer, {}).compress);
    EXPECT_TRUE(DefaultsForFormat(3, kFormatEdictFamily, {}).compress);
    // Row 0 is no language: an empty code, never three blanks.
    EXPECT_EQ(LanguageRowCode(0), u"");
    EXPECT_EQ(LanguageRowCode(1), u"abk");
    EXPECT_EQ(LanguageRowCode(kLanguageNameRows - 1), u"chu");
    EXPECT_EQ(LanguageRowOfCode(u"jpn"), LanguageRowOfCode(std::u16string(LanguageRowCode(LanguageRowOfCode(u"jpn")))));
    EXPECT_EQ(LanguageRowOfCode(u""), 0);
}

TEST(ConversionRules, DiskSpaceAndNames) {
    // The conversion dialog asks for the room the compile needs at its peak
    // (measured against real compiles by the converter's tests), never less
    // than the multiples it once asked for: a 10 MB EDICT file needs 40 MB.
    EXPECT_GE(CompileSpaceNeeded(kFormatEdictFamily | kFormatWords, 10'000'000), 40'000'000u);
    EXPECT_GE(CompileSpaceNeeded(kFormatKanjidic | kFormatKanji, 10), 20u);
    EXPECT_GE(CompileSpaceNeeded(kFormatOwnContainer, 10), 50u);
    EXPECT_GE(CompileSpaceNeeded(kFormatPdic, 10), 40u);
    EXPECT_GE(CompileSpaceNeeded(kFormatDsl, 10), 30u);
    EXPECT_GE(CompileSpaceNeeded(kFormatDsl, 3'000'000'000ull), 9'000'000'000ull);  // past 32 bits
    EXPECT_EQ(ConversionTargetPath(u"C:\\Dicts", u"Z:\\usr\\share\\edict\\edict"), u"C:\\Dicts\\edict.qdx");
    EXPECT_EQ(ConversionTargetPath(u"C:\\Dicts\\", u"D:\\src\\words.dsl"), u"C:\\Dicts\\words.qdx");
    const CompileTime time{2026, 3, 7, 9, 5, 59};
    EXPECT_EQ(BackupPath(u"C:\\D\\Personal.qdx", time, 1), u"C:\\D\\Personal_2026-03-07_09-05.qdx");
    EXPECT_EQ(BackupPath(u"C:\\D\\Personal.qdx", time, 2), u"C:\\D\\Personal_2026-03-07_09-05_2.qdx");
    // Two optimisations within one minute keep both backups.
    std::set<std::u16string> taken;
    for (int i = 0; i < 3; ++i)
        taken.insert(FreeBackupPath(u"C:\\D\\Personal.qdx", time, [&](const std::u16string& p) { return taken.count(p) > 0; }));
    EXPECT_EQ(taken.size(), 3u);
}

TEST(ConversionRules, OptimisationFlagsAndVersionTexts) {
    const uint32_t open = 0x20000000, store = 0x10000000, editable = 0x2000;
    EXPECT_TRUE(CanOptimize(open | store | editable));
    EXPECT_FALSE(CanOptimize(store | editable));
    EXPECT_FALSE(CanOptimize(open | editable));
    EXPECT_FALSE(CanOptimize(open | store));
    EXPECT_EQ(OptimizedFormatFlags(open | store | editable | 0x20000, true), 0x10062000u);
    EXPECT_EQ(OptimizedFormatFlags(open | store | editable, true), 0x10042000u);
    EXPECT_EQ(OptimizedFormatFlags(open | store | editable | 0x20000, false), 0x10040000u);
    EXPECT_EQ(OptimizedFormatFlags(open | store | editable | 0x4000, true), 0x10004000u);
    // A kanji dictionary stays one: kanji bit, own text, record type 2.
    const uint32_t kanji = OptimizedFormatFlags(open | store | editable | kFormatKanji, true);
    EXPECT_EQ(kanji & (kFormatKanji | kFormatWords), kFormatKanji);
    EXPECT_EQ(OfferedVersionText(u"11.11.0.3P"), u"11.11.0.4P");
    EXPECT_EQ(OfferedVersionText(u"11.11.0.3  P"), u"11.11.0.4P");
    EXPECT_EQ(OfferedVersionText(u"1.0"), u"11.11.0.1");
    EXPECT_EQ(FinalVersionText(u"11.11.0.4", true), u"11.11.0.4P");
    EXPECT_EQ(FinalVersionText(u"11.11.0.4P  ", true), u"11.11.0.4P");
    EXPECT_EQ(FinalVersionText(u"11.11.0.4 P", false), u"11.11.0.4");
    EXPECT_EQ(FinalVersionText(u"   ", true), u"11.11.0.1P");
}

// Reads one record's article text.
std::u16string TextAt(CDMS& engine, int32_t file, uint32_t position) {
    uint32_t cursor = 0;
    if (Failed(engine.OpenCursor(file, &cursor))) return {};
    uint32_t size = 0;
    std::vector<uint8_t> record;
    if (!Failed(engine.ReadData(cursor, position, nullptr, &size))) {
        record.resize(size);
        engine.ReadData(cursor, position, record.data(), &size);
    }
    engine.CloseCursor(cursor);
    return size >= kArticleRecordHeadBytes ? ArticleRecordText(record.data(), size) : std::u16string();
}

class OptimisationFixture : public CompileFixture {
protected:
    // Stores `text` as a new record, gives it an id of its own and points `id` at it (0: none).
    void StoreEdit(int32_t file, uint32_t id, std::u16string_view text) {
        uint32_t cursor = 0;
        ASSERT_EQ(engine_.OpenCursor(file, &cursor), DmsStatus::Success);
        ASSERT_EQ(engine_.SelectIndex(cursor, 0), DmsStatus::Success);
        const std::vector<uint8_t> record = BuildArticleRecord(0, 1, text);
        uint32_t position = 0;
        ASSERT_EQ(engine_.WriteData(cursor, record.data(), static_cast<uint32_t>(record.size()), &position),
                  DmsStatus::Success);
        KeySegmentValue key{&position, 4};
        ASSERT_EQ(engine_.InsertKey(cursor, &key, {position, 0}), DmsStatus::Success);
        if (id != 0) Repoint(cursor, id, position);
        engine_.CloseCursor(cursor);
    }
    void Repoint(uint32_t cursor, uint32_t id, uint32_t position) {
        uint32_t found = 0;
        KeySegmentValue key{&id, 4}, out{&found, 4};
        EntryPosition at;
        ASSERT_EQ(engine_.Seek(cursor, &key, &out, &at), DmsStatus::Success);
        ASSERT_EQ(engine_.UpdateCurrentKeyReference(cursor, {position, 0}), DmsStatus::Success);
    }
    void Remove(int32_t file, uint32_t id) {
        uint32_t cursor = 0;
        ASSERT_EQ(engine_.OpenCursor(file, &cursor), DmsStatus::Success);
        ASSERT_EQ(engine_.SelectIndex(cursor, 0), DmsStatus::Success);
        Repoint(cursor, id, 0);
        engine_.CloseCursor(cursor);
    }

    struct Outcome {
        size_t checked = 0, dropped = 0;
    };
    // Optimises `path` into `rebuilt` and checks every id with a live
    // reference against the rebuilt file; ids in `unmappable` must be dropped.
    Outcome OptimiseAndCheck(const std::u16string& path, const std::u16string& rebuilt, uint32_t flags,
                             const std::vector<uint32_t>& unmappable) {
        Outcome outcome;
        CDictionary old(kFormatStoreDatabase, engine_);
        old.File().SetPath(path.c_str());
        EXPECT_EQ(old.Open(2), 0u);
        std::vector<ArticleIdEntry> ids;
        std::vector<ArticleAtPosition> oldArticles, newArticles;
        EXPECT_EQ(ReadArticleIds(engine_, old.fileId, ids), DmsStatus::Success);
        EXPECT_EQ(ReadLiveArticles(engine_, old.fileId, oldArticles), DmsStatus::Success);
        std::u16string error;
        EXPECT_EQ(Compile(u"", rebuilt, {.sourceDictionary = &old}, nullptr, &error, flags), 1) << Utf16ToUtf8(error);
        int32_t file = 0;
        EXPECT_EQ(engine_.OpenFile(rebuilt, 2, DictionarySchemaText, &file), DmsStatus::Success);
        EXPECT_EQ(ReadLiveArticles(engine_, file, newArticles), DmsStatus::Success);
        const RecordIdMap map = MapOptimizedIds(ids, oldArticles, newArticles);
        std::map<uint32_t, uint32_t> mapped;
        for (size_t i = 0; i < map.oldIds.size(); ++i) mapped[map.oldIds[i]] = map.newIds[i];
        for (const ArticleIdEntry& entry : ids) {
            const auto found = mapped.find(entry.id);
            if (entry.reference == 0 || std::count(unmappable.begin(), unmappable.end(), entry.id)) {
                EXPECT_EQ(found, mapped.end()) << entry.id;
                ++outcome.dropped;
                continue;
            }
            if (found == mapped.end()) {
                ADD_FAILURE() << "id " << entry.id << " lost";
                continue;
            }
            EXPECT_EQ(TextAt(engine_, file, found->second), TextAt(engine_, old.fileId, entry.reference)) << entry.id;
            ++outcome.checked;
        }
        engine_.CloseFile(file);
        old.Close();
        return outcome;
    }
};

// 2,000 EDICT articles, every 7th edited, every 11th removed, and one record
// early on that holds two articles: pairing by ordinal would shift every
// later id onto its neighbour's article.
TEST_F(OptimisationFixture, SavedIdsFollowEditedAndRemovedArticles) {
    const std::u16string markup = EdictAsOwnMarkup(2000);
    if (markup.empty()) GTEST_SKIP() << "Debian's edict is not installed";
    const std::u16string source = Path("personal.rdf"), path = Path("personal.qdx");
    WriteUtf16File(source, markup);
    ASSERT_EQ(Compile(source, path, {}), 1);
    int32_t file = 0;
    ASSERT_EQ(engine_.OpenFile(path, 1, DictionarySchemaText, &file), DmsStatus::Success);
    std::vector<ArticleIdEntry> ids;
    ASSERT_EQ(ReadArticleIds(engine_, file, ids), DmsStatus::Success);
    ASSERT_EQ(ids.size(), 2000u);
    std::vector<uint32_t> unmappable;
    for (size_t i = 0; i < ids.size(); ++i) {
        if (i == 5) {
            const std::u16string twice = TextAt(engine_, file, ids[i].id) + TextAt(engine_, file, ids[i + 1].id);
            StoreEdit(file, ids[i].id, twice);
            unmappable.push_back(ids[i].id);
        } else if (i % 11 == 0) {
            Remove(file, ids[i].id);
        } else if (i % 7 == 0) {
            StoreEdit(file, ids[i].id, u"{\\a {\\k 編集}{\\r へんしゅう}{\\s {\\rus edited " +
                                           std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) + u"}}}");
        }
    }
    ASSERT_EQ(engine_.CloseFile(file), DmsStatus::Success);
    // The record of two articles also has an id of its own.
    {
        CDictionary probe(kFormatStoreDatabase, engine_);
        probe.File().SetPath(path.c_str());
        ASSERT_EQ(probe.Open(2), 0u);
        ASSERT_EQ(ReadArticleIds(engine_, probe.fileId, ids), DmsStatus::Success);
        for (const ArticleIdEntry& entry : ids)
            if (entry.id == entry.reference && TextAt(engine_, probe.fileId, entry.id).find(u"}{\\a") != std::u16string::npos)
                unmappable.push_back(entry.id);
        probe.Close();
    }
    const Outcome outcome = OptimiseAndCheck(path, Path("rebuilt.qdx"), OptimizedFormatFlags(0x30042000, true), unmappable);
    EXPECT_EQ(outcome.checked, 2000u - 182u - 1u + 260u);  // live originals but the re-pointed one, and the edits
    EXPECT_EQ(outcome.dropped, 182u + 2u);
}

// An editable kanji dictionary keeps its kanji keys and record type.
TEST_F(OptimisationFixture, KanjiDictionaryKeepsItsKeys) {
    const std::u16string markup = KanjidicAsOwnMarkup(600);
    if (markup.empty()) GTEST_SKIP() << "Debian's kanjidic is not installed";
    const std::u16string source = Path("kanji.rdf"), path = Path("kanji.qdx"), rebuilt = Path("rebuilt.qdx");
    WriteUtf16File(source, markup);
    ASSERT_EQ(Compile(source, path, {}), 1);
    const Outcome outcome =
        OptimiseAndCheck(path, rebuilt, OptimizedFormatFlags(0x30002000 | kFormatKanji, true), {});
    EXPECT_EQ(outcome.checked, 600u);
    const std::string before = DumpAll(path, {101, 102, 106}), after = DumpAll(rebuilt, {101, 102, 106});
    EXPECT_GT(before.size(), 600u * 20);
    EXPECT_EQ(before, after);
    int32_t file = 0;
    ASSERT_EQ(engine_.OpenFile(rebuilt, 2, DictionarySchemaText, &file), DmsStatus::Success);
    std::vector<ArticleAtPosition> articles;
    ASSERT_EQ(ReadLiveArticles(engine_, file, articles), DmsStatus::Success);
    uint32_t cursor = 0, size = 0;
    ASSERT_EQ(engine_.OpenCursor(file, &cursor), DmsStatus::Success);
    ASSERT_EQ(engine_.ReadData(cursor, articles.front().position, nullptr, &size), DmsStatus::Success);
    std::vector<uint8_t> record(size);
    ASSERT_EQ(engine_.ReadData(cursor, articles.front().position, record.data(), &size), DmsStatus::Success);
    ASSERT_GE(size, kArticleRecordHeadBytes);
    EXPECT_EQ(record[8], 2);  // record type 2: own kanji markup
    engine_.CloseCursor(cursor);
    engine_.CloseFile(file);
}

}  // namespace
