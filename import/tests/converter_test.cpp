// The dictionary compiler end to end on own markup written here and made
// from Debian's EDICT: the files it writes pass the engine's structure
// verifier and read back through the dictionary object; compiles are
// reproducible; bulk loading and direct insertion give the same indexes; and
// a failed, cancelled or refused compile leaves every existing file as it was.
#include "import/tests/compile_fixture.h"

#include "common/tests/edict_files.h"
#include "common/tests/fake_app_context.h"
#include "common/ui_text/ui_text.h"
#include "dictionary/dictionary_properties.h"
#include "dictionary/engine_cursor.h"
#include "import/article_edit_sweep.h"
#include "import/article_record.h"
#include "import/article_save.h"
#include "import/compile_space.h"
#include "import/import_registration.h"
#include "import/own_markup_import.h"
#include "import/source_loaders.h"

#include <algorithm>
#include <cstdlib>

namespace {

const std::u16string kSmallDictionary =
    u"{\\rdf1 {\\name Cats}{\\copyright nobody}\r\n"
    u"{\\a {\\k 猫}{\\r ねこ}{\\s {\\rus cat, house cat}}}\r\n"
    u"{\\a\\n {\\k 噯}{\\k 噫}{\\k 嗚呼}{\\r ああ}{\\r あゝ}{\\s {\\rus Ah!}}}\r\n"
    u"{\\a {\\r すし}{\\s {\\rus sushi}}}\r\n"
    u"}";

TEST_F(CompileFixture, OwnMarkupCompilesIntoASoundDictionaryThatReadsBack) {
    const std::u16string source = Path("small.rdf"), target = Path("small.qdx");
    WriteUtf16File(source, kSmallDictionary);
    std::u16string error;
    ASSERT_EQ(Compile(source, target, {}, nullptr, &error), 1) << Utf16ToUtf8(error);
    EXPECT_FALSE(Exists(target + u".tmp~"));
    EXPECT_TRUE(Verify(target).empty());

    CDictionary dictionary(kFormatStoreDatabase, engine_);
    dictionary.File().SetPath(target.c_str());
    ASSERT_EQ(dictionary.Open(2), 0u);
    EXPECT_EQ(dictionary.HeaderText(kPropertyName).value_or(u""), u"Cats");
    EXPECT_EQ(dictionary.HeaderText(kPropertyCopyright).value_or(u""), u"nobody");
    EXPECT_EQ(dictionary.HeaderText(kPropertyVersion).value_or(u""), u"11.11.0.1  I");
    EXPECT_EQ(dictionary.HeaderText(kPropertyInstallationId).value_or(u""), env_.installationId);
    EXPECT_EQ(dictionary.HeaderText(kPropertyIdentity).value_or(u""), env_.guid);
    EXPECT_EQ(dictionary.HeaderText(kPropertyCreationTime).value_or(u""), u"2000-01-01 00:00:00");
    EXPECT_EQ(dictionary.readingCount, 1 + 6 + 1);
    EXPECT_EQ(dictionary.wordCount, 1 + 6);
    EXPECT_EQ(dictionary.translationWordCount, 2 + 1 + 1);  // "cat" and "house cat" are two runs

    std::u16string markup;
    ASSERT_EQ(CConverter::ReadDictionaryAsMarkup(engine_, dictionary.fileId, markup), DmsStatus::Success);
    EXPECT_EQ(markup, u"{\\rdf1 {\\a {\\k 猫}{\\r ねこ}{\\s {\\rus cat, house cat}}}"
                      u"{\\a\\n {\\k 噯}{\\k 噫}{\\k 嗚呼}{\\r ああ}{\\r あゝ}{\\s {\\rus Ah!}}}"
                      u"{\\a {\\r すし}{\\s {\\rus sushi}}}}");
    dictionary.Close();

    const std::string dump = DumpAll(target, {101});
    EXPECT_NE(dump.find("ねこ\t猫\t-> #0 00000101"), std::string::npos) << dump;
    EXPECT_NE(dump.find("すし\t\t-> #2 00000101"), std::string::npos) << dump;
}

TEST_F(CompileFixture, KanjiMarkupGetsKanjiKeys) {
    const std::u16string source = Path("kanji.rdf"), target = Path("kanji.qdx");
    WriteUtf16File(source, u"{\\rdf2 {\\a {\\j 新}{\\o シン}{\\k あたら.しい}{\\ss new}}}");
    ASSERT_EQ(Compile(source, target, {}), 1);
    const std::string dump = DumpAll(target, {101, 102, 106});
    EXPECT_NE(dump.find("あたらしい\t新しい\t-> #0 00000e02"), std::string::npos) << dump;
    EXPECT_NE(dump.find("シン\t新\t-> #0 00000b02"), std::string::npos) << dump;
    EXPECT_NE(dump.find("新\t\t-> #0 00000502"), std::string::npos) << dump;
    EXPECT_NE(dump.find("new\t1\t-> #0 00000102"), std::string::npos) << dump;
}

TEST_F(CompileFixture, TheSameCompileGivesTheSameBytes) {
    const std::u16string source = Path("small.rdf");
    WriteUtf16File(source, kSmallDictionary);
    ASSERT_EQ(Compile(source, Path("a.qdx"), {}), 1);
    ASSERT_EQ(Compile(source, Path("b.qdx"), {}), 1);
    EXPECT_EQ(ReadText(Path("a.qdx")), ReadText(Path("b.qdx")));
}

// EDICT lines as own markup, compiled with and without bulk loading, and
// compiled again from the first dictionary read back as markup: the indexes
// agree. OSTREL_FULL_EDICT=1 takes the whole file.
TEST_F(CompileFixture, EdictMarkupRoundTripAndBulkLoadAgree) {
    const size_t lines = std::getenv("OSTREL_FULL_EDICT") ? 1000000 : 3000;
    const std::u16string markup = EdictAsOwnMarkup(lines);
    if (markup.empty()) GTEST_SKIP() << "Debian's edict is not installed";
    const std::u16string source = Path("edict.rdf");
    WriteUtf16File(source, markup);
    ASSERT_EQ(Compile(source, Path("bulk.qdx"), {}), 1);
    ASSERT_EQ(Compile(source, Path("direct.qdx"), {.compact = false, .bulk = false}), 1);
    EXPECT_TRUE(Verify(Path("bulk.qdx")).empty());
    EXPECT_TRUE(Verify(Path("direct.qdx")).empty());
    const std::string bulk = DumpAll(Path("bulk.qdx"));
    EXPECT_GT(bulk.size(), lines * 20);
    EXPECT_EQ(bulk, DumpAll(Path("direct.qdx")));

    CDictionary first(kFormatStoreDatabase, engine_);
    first.File().SetPath(Path("bulk.qdx").c_str());
    ASSERT_EQ(first.Open(2), 0u);
    ASSERT_EQ(Compile(u"", Path("again.qdx"), {.sourceDictionary = &first}), 1);
    first.Close();
    EXPECT_EQ(DumpAll(Path("again.qdx")), bulk);
}

// A personal dictionary whose articles were all deleted rebuilds (as the
// optimisation does) into a sound dictionary with no articles that keeps
// its texts; a source that does not parse says so in the interface language.
TEST_F(CompileFixture, ADictionaryWithEveryArticleDeletedRebuildsEmpty) {
    const std::u16string source = Path("small.rdf"), target = Path("small.qdx"), rebuilt = Path("rebuilt.qdx");
    WriteUtf16File(source, kSmallDictionary);
    ASSERT_EQ(Compile(source, target, {}), 1);
    RDFDictionary emptied(kFormatStoreDatabase, engine_);
    emptied.File().SetPath(target.c_str());
    ASSERT_EQ(emptied.Open(0), 0u);
    const auto articles = LiveArticles(engine_, emptied.fileId);
    ASSERT_EQ(articles.size(), 3u);
    for (const auto& [id, text] : articles) EXPECT_EQ(RemoveArticleById(emptied, id), u"") << Utf16ToUtf8(text);
    ASSERT_TRUE(LiveArticles(engine_, emptied.fileId).empty());
    std::u16string error;
    ASSERT_EQ(Compile(u"", rebuilt, {.sourceDictionary = &emptied}, nullptr, &error), 1) << Utf16ToUtf8(error);
    emptied.Close();
    EXPECT_TRUE(Verify(rebuilt).empty());
    CDictionary result(kFormatStoreDatabase, engine_);
    result.File().SetPath(rebuilt.c_str());
    ASSERT_EQ(result.Open(2), 0u);
    EXPECT_EQ(result.HeaderText(kPropertyName).value_or(u""), u"Cats");
    EXPECT_EQ(result.readingCount + result.wordCount + result.translationWordCount, 0);
    EXPECT_TRUE(LiveArticles(engine_, result.fileId).empty());
    result.Close();
    const std::string dump = DumpAll(rebuilt, {0, 101, 102, 106, 110, 111});
    EXPECT_EQ(dump, "index 0\nindex 101\nindex 102\nindex 106\nindex 110\nindex 111\n");

    FakeAppContext russian;
    russian.language = UILanguage::Russian;
    ScopedAppContext scope(russian);
    WriteUtf16File(Path("bad.rdf"), u"{\\rdf1 {\\a {\\k 猫}}}} {\\a}}");
    EXPECT_EQ(Compile(Path("bad.rdf"), Path("bad.qdx"), {}, nullptr, &error), 0);
    EXPECT_EQ(error, u"Исходный текст не удалось прочитать как словарь.");
}

TEST_F(CompileFixture, TargetThatIsTheSourceIsRefusedUntouched) {
    const std::u16string source = Path("same.rdf");
    WriteUtf16File(source, kSmallDictionary);
    const std::string before = ReadText(source);
    std::u16string error;
    EXPECT_EQ(Compile(source, source, {}, nullptr, &error), 0);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Compile(source, Path("./same.rdf"), {}), 0);
    EXPECT_EQ(ReadText(source), before);
    EXPECT_FALSE(Exists(source + u".tmp~"));
}

// A compile that fails at any point, or is cancelled at any step, leaves the
// file that was there before byte for byte and no temporary file.
TEST_F(CompileFixture, FailedOrCancelledCompileLeavesTheOldTarget) {
    const std::u16string good = Path("good.rdf"), bad = Path("bad.rdf"), target = Path("old.qdx");
    WriteUtf16File(good, kSmallDictionary);
    WriteUtf16File(bad, u"{\\rdf1 {\\a {\\k 猫}}}} {\\a}}");  // a stray "}" after the first article
    ASSERT_EQ(Compile(good, target, {}), 1);
    const std::string before = ReadText(target);

    EXPECT_EQ(Compile(bad, target, {}), 0);
    EXPECT_EQ(ReadText(target), before);
    EXPECT_FALSE(Exists(target + u".tmp~"));

    class CancelAtStep : public SilentCompileUi {
    public:
        explicit CancelAtStep(size_t step) : step_(step) {}
        void SetStepLabel(std::u16string_view text) override {
            SilentCompileUi::SetStepLabel(text);
            if (labels.size() == step_) converter->Cancel();
        }
        CConverter* converter = nullptr;

    private:
        size_t step_;
    };
    for (size_t step = 1; step <= 5; ++step) {
        CDictionary dictionary(kFormatStoreDatabase, engine_);
        CancelAtStep ui(step);
        CConverter converter(dictionary, CConverter::kNewFile, ui, env_);
        ui.converter = &converter;
        EXPECT_EQ(converter.Convert(DetectDictionaryFileFormat(good.c_str()), good, target), 0) << step;
        EXPECT_EQ(ui.labels.size(), step);
        EXPECT_EQ(ReadText(target), before) << step;
        EXPECT_FALSE(Exists(target + u".tmp~"));
    }
}

TEST_F(CompileFixture, UnreadableSourceShowsTheReadBox) {
    SilentCompileUi ui;
    const std::u16string missing = Path("missing.rdf");
    CDictionary dictionary(kFormatStoreDatabase, engine_);
    CConverter converter(dictionary, CConverter::kNewFile, ui, env_);
    EXPECT_EQ(converter.Convert(kFormatOwnText | kFormatWords, missing, Path("x.qdx")), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].starts_with(u"Cannot read file: " + missing));
    EXPECT_EQ(ui.captions[0], u"Cannot Read a File");
    EXPECT_FALSE(Exists(Path("x.qdx")));
}

TEST_F(CompileFixture, StepLabelsAndProgressHalves) {
    const std::u16string source = Path("small.rdf");
    WriteUtf16File(source, kSmallDictionary);
    SilentCompileUi ui;
    ui.progressBar = true;
    ASSERT_EQ(Compile(source, Path("p.qdx"), {}, &ui), 1);
    ASSERT_EQ(ui.labels.size(), 9u);  // every step but the Latin stems
    EXPECT_EQ(ui.labels[0], u"Performing step 1 from 9: writing dictionary articles");
    EXPECT_EQ(ui.labels[1], u"Performing step 2 from 9: writing article pointers");
    EXPECT_EQ(ui.labels[4], u"Performing step 5 from 9: building alphabetic index");
    EXPECT_EQ(ui.labels[8], u"Performing step 9 from 9: building the index of word hit records");
    EXPECT_EQ(ui.cancelEnables, 9);
    ASSERT_FALSE(ui.progress.empty());
    for (int32_t v : ui.progress) {
        EXPECT_GE(v, 0);
        EXPECT_LE(v, 1000);
    }

    FakeAppContext japanese;
    japanese.language = UILanguage::Japanese;
    ScopedAppContext scope(japanese);
    SilentCompileUi swapped;
    ASSERT_EQ(Compile(source, Path("q.qdx"), {}, &swapped), 1);
    EXPECT_TRUE(swapped.labels[1].starts_with(u"Performing step 9 from 2")) << Utf16ToUtf8(swapped.labels[1]);
    // The Japanese wording names the total first, so the swapped numbers read
    // right: step 1 of 9 is "9 steps in all, the 1st".
    SetUILanguage(2);
    SilentCompileUi japaneseLabels;
    const int32_t compiled = Compile(source, Path("r.qdx"), {}, &japaneseLabels);
    SetUILanguage(1);
    ASSERT_EQ(compiled, 1);
    EXPECT_TRUE(japaneseLabels.labels[0].starts_with(u"\u5168 9 \u30B9\u30C6\u30C3\u30D7\u4E2D 1 \u756A\u76EE"))
        << Utf16ToUtf8(japaneseLabels.labels[0]);  // 全 9 ステップ中 1 番目
}

TEST_F(CompileFixture, TextExportWritesEachArticleOnItsLineAndTruncates) {
    const std::u16string source = Path("small.rdf"), target = Path("out.TXT");
    WriteUtf16File(source, kSmallDictionary);
    {
        std::ofstream stale(std::filesystem::path(target), std::ios::binary);
        stale << std::string(4096, 'x');
    }
    ASSERT_EQ(Compile(source, target, {}), 1);
    const std::string bytes = ReadText(target);
    std::u16string text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        text += static_cast<char16_t>(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(text, u"{\\name Cats}\r\n{\\copyright nobody}\r\n"
                    u"{\\a {\\k 猫}{\\r ねこ}{\\s {\\rus cat, house cat}}}\r\n"
                    u"{\\a\\n {\\k 噯}{\\k 噫}{\\k 嗚呼}{\\r ああ}{\\r あゝ}{\\s {\\rus Ah!}}}\r\n"
                    u"{\\a {\\r すし}{\\s {\\rus sushi}}}\r\n");
}

// The export replaces its target only when complete: a source that cannot
// be read leaves the earlier export byte for byte, and nothing beside it.
TEST_F(CompileFixture, TextExportOfAnUnreadableSourceKeepsTheEarlierExport) {
    const std::u16string target = Path("earlier.txt");
    const std::string earlier = "\xFF\xFE" + std::string(4000, 'x');
    {
        std::ofstream file(std::filesystem::path(target), std::ios::binary);
        file << earlier;
    }
    SilentCompileUi ui;
    EXPECT_EQ(Compile(Path("missing.rdf"), target, {}, &ui, nullptr, kFormatOwnText | kFormatWords), 0);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ReadText(target), earlier);
    EXPECT_FALSE(Exists(target + u".tmp~"));
}

// Every record pass over the same text makes the same callbacks: the
// (kind, offset) sequence of two passes through one dictionary object agree.
TEST_F(CompileFixture, TwoPassesMakeTheSameCallbacks) {
    RegisterImportParsers();
    const std::u16string markup = EdictAsOwnMarkup(500) + kSmallDictionary;
    CDictionary dictionary(kFormatStoreDatabase, engine_);
    using Calls = std::vector<std::pair<uint32_t, ptrdiff_t>>;
    auto pass = [&] {
        Calls calls;
        dictionary.ClearParsedArticle();
        ImportCallbacks callbacks;
        callbacks.context = &calls;
        callbacks.onRecord = [](void* c, CDictionary& d, int32_t e) {
            static_cast<Calls*>(c)->push_back({d.Elements()[e].kind, d.Elements()[e].begin - d.Text()});
            return int32_t{1};
        };
        EXPECT_EQ(dictionary.ImportRecords(1, markup.data(), static_cast<uint32_t>(markup.size() * 2), 0, callbacks),
                  1);
        return calls;
    };
    const Calls first = pass();
    EXPECT_GT(first.size(), 3u);
    EXPECT_EQ(pass(), first);
}

// A one-record-a-line source read in parts of a line or two gives the file
// and the text export of one whole read, byte for byte: only the first
// line can be the header (its copy in the middle stays an article), and
// KANJIDIC's first line stays its header.
TEST_F(CompileFixture, SourceReadInPartsGivesTheFilesOfOneRead) {
    for (const char* name : {"edict", "kanjidic"}) {
        const std::vector<uint8_t> bytes = ReadEdictFile(name);
        if (bytes.empty()) GTEST_SKIP() << EdictFilePath(name) << " is not installed";
        const auto lines = SplitLines(bytes);
        std::string sample;
        for (size_t i = 0; i < lines.size(); i += i == 0 ? 1 : 40) {
            sample.append(lines[i].begin(), lines[i].end()) += '\n';
            if (i == 40 * 50) sample.append(lines[0].begin(), lines[0].end()) += '\n';
        }
        const std::u16string source = Path(name);
        std::ofstream(std::filesystem::path(source), std::ios::binary) << sample;
        for (const char* extension : {".qdx", ".txt"}) {
            const std::u16string whole = Path(std::string("whole") + extension);
            const std::u16string parts = Path(std::string("parts") + extension);
            ASSERT_EQ(Compile(source, whole, {.sourcePartUnits = SIZE_MAX}), 1) << name;
            ASSERT_EQ(Compile(source, parts, {.sourcePartUnits = 64}), 1) << name;
            const std::string wholeBytes = ReadText(std::filesystem::path(whole));
            EXPECT_GT(wholeBytes.size(), sample.size()) << name << extension;
            EXPECT_TRUE(wholeBytes == ReadText(std::filesystem::path(parts))) << name << extension;
        }
    }
}

}  // namespace

namespace {

// Compiling into an existing closed file (mode 2): a failure puts the file
// back as it was; a dictionary whose file is open is refused at once.
TEST_F(CompileFixture, ExistingFileIsRestoredAfterAFailedCompile) {
    const std::u16string good = Path("good.rdf"), more = Path("more.rdf"), bad = Path("bad.rdf"),
                         target = Path("book.qdx");
    WriteUtf16File(good, kSmallDictionary);
    WriteUtf16File(more, u"{\\rdf1 {\\a {\\k 犬}{\\r いぬ}{\\s {\\rus dog}}}}");
    WriteUtf16File(bad, u"{\\rdf1 {\\a {\\k 猫}}}} {\\a}}");
    ASSERT_EQ(Compile(good, target, {}), 1);
    const std::string before = ReadText(target);

    SilentCompileUi ui;
    CDictionary dictionary(kFormatStoreDatabase, engine_);
    dictionary.File().SetPath(target.c_str());
    {
        CConverter converter(dictionary, CConverter::kExistingFile, ui, env_);
        EXPECT_EQ(converter.Convert(DetectDictionaryFileFormat(bad.c_str()), bad, target), 0);
        EXPECT_EQ(ReadText(target), before);
        EXPECT_FALSE(Exists(target + u".tmp~"));
    }
    {
        ASSERT_EQ(dictionary.Open(2), 0u);
        CConverter converter(dictionary, CConverter::kExistingFile, ui, env_);
        EXPECT_EQ(converter.Convert(DetectDictionaryFileFormat(more.c_str()), more, target), 0);
        EXPECT_NE(dictionary.flags & kDictionaryOpen, 0u);  // left open and untouched
        dictionary.Close();
        EXPECT_EQ(ReadText(target), before);
    }
    CConverter converter(dictionary, CConverter::kExistingFile, ui, env_);
    ASSERT_EQ(converter.Convert(DetectDictionaryFileFormat(more.c_str()), more, target), 1);
    EXPECT_TRUE(Verify(target).empty());
    EXPECT_NE(DumpAll(target, {101}).find("いぬ\t犬"), std::string::npos);
}

}  // namespace

namespace {

// When the per-article positions cannot grow the compile fails with the
// out-of-memory text; it never reports success with articles missing.
TEST_F(CompileFixture, ArticlesThatCannotBeRecordedFailTheCompile) {
    const std::u16string source = Path("small.rdf"), target = Path("full.qdx");
    WriteUtf16File(source, kSmallDictionary);
    SilentCompileUi ui;
    CDictionary dictionary(kFormatStoreDatabase, engine_);
    CConverter converter(dictionary, CConverter::kNewFile, ui, env_);
    converter.articleLimit = 3;  // two header groups and one article
    EXPECT_EQ(converter.Convert(DetectDictionaryFileFormat(source.c_str()), source, target), 0);
    EXPECT_EQ(converter.errorText, u"Not enough memory");
    EXPECT_FALSE(Exists(target));
    EXPECT_FALSE(Exists(target + u".tmp~"));
}

}  // namespace

namespace {

// Damaged records read back as markup: one shorter than its head is left
// out, one of an odd size loses its last byte; the others come back whole.
TEST_F(CompileFixture, DamagedRecordsReadBackAsMarkupWithoutTheDamage) {
    const std::u16string path = Path("damaged.qdx");
    ASSERT_EQ(engine_.CreateFile(path, DictionarySchemaText), DmsStatus::Success);
    int32_t file = 0;
    uint32_t cursor = 0;
    ASSERT_EQ(engine_.OpenFile(path, 1, DictionarySchemaText, &file), DmsStatus::Success);
    ASSERT_EQ(engine_.OpenCursor(file, &cursor), DmsStatus::Success);
    ASSERT_EQ(engine_.SelectIndex(cursor, 0), DmsStatus::Success);
    std::vector<uint8_t> odd = BuildArticleRecord(2, 1, u"{\\a {\\k 三}}");
    odd.push_back(0x41);
    const std::vector<std::vector<uint8_t>> records = {
        BuildArticleRecord(0, 1, u"{\\a {\\k 一}}"), {1, 0, 0, 0, 1, 0}, odd};
    for (const auto& record : records) {
        uint32_t position = 0;
        ASSERT_EQ(engine_.WriteData(cursor, record.data(), static_cast<uint32_t>(record.size()), &position),
                  DmsStatus::Success);
        KeySegmentValue key{&position, 4};
        ASSERT_EQ(engine_.InsertKey(cursor, &key, {position, 0}), DmsStatus::Success);
    }
    std::u16string markup;
    EXPECT_EQ(CConverter::ReadDictionaryAsMarkup(engine_, file, markup), DmsStatus::Success);
    EXPECT_EQ(markup, u"{\\rdf1 {\\a {\\k 一}}{\\a {\\k 三}}}");
    engine_.CloseCursor(cursor);
    EXPECT_EQ(engine_.CloseFile(file), DmsStatus::Success);
}

}  // namespace

namespace {

// An EIJIRO source makes the file four times the source's size before the
// steps run: 2,000 Shift-JIS lines "■wordN : 猫N" (■ is 81 A1, 猫 94 4C).
TEST_F(CompileFixture, EijiroSourceExtendsTheFileToFourTimesItsSize) {
    const std::u16string source = Path("eijiro.txt.src"), target = Path("eijiro.qdx");
    {
        std::ofstream out(std::filesystem::path(source), std::ios::binary);
        for (int i = 0; i < 2000; ++i) out << "\x81\xA1word" << i << " : \x94L" << i << "\r\n";
    }
    std::u16string error;
    ASSERT_EQ(Compile(source, target, {.compact = false}, nullptr, &error), 1) << Utf16ToUtf8(error);
    EXPECT_GE(std::filesystem::file_size(std::filesystem::path(target)),
              4 * std::filesystem::file_size(std::filesystem::path(source)));
    EXPECT_TRUE(Verify(target).empty());
    EXPECT_EQ(IndexEntries(target, 0), 2000u);
}

}  // namespace

namespace {

// Books: index 3 gets a header entry with the book's number and one (line,
// previous, next) entry per line, each with its line's tag code; a second
// book takes the next number; a 1001st is refused and leaves the file as it was.
TEST_F(CompileFixture, BookPointersNumberEachBookUpToTheLast) {
    const std::u16string source = Path("book.txt"), target = Path("book.qdx");
    std::ofstream(std::filesystem::path(source), std::ios::binary) << "<P>one\n\n<H2>two\n\n<P3>three\n";
    SilentCompileUi ui;
    CDictionary dictionary(kFormatStoreDatabase, engine_);
    auto compile = [&](int32_t mode) {
        CConverter converter(dictionary, mode, ui, env_);
        return converter.Convert(kFormatBook | kFormatUtf8, source, target);
    };
    ASSERT_EQ(compile(CConverter::kNewFile), 1);
    ASSERT_EQ(compile(CConverter::kExistingFile), 1);
    std::string dump = DumpAll(target, {3});
    EXPECT_NE(dump.find("1\t0\t0\t-> #0 0000000c"), std::string::npos) << dump;
    EXPECT_NE(dump.find("2\t0\t0\t-> #0 0000000c"), std::string::npos) << dump;
    EXPECT_EQ(std::count(dump.begin(), dump.end(), '\n'), 1 + 2 * (1 + 3));
    // "<H2>" is a heading of value 2, "<P3>" a paragraph of value 3.
    EXPECT_NE(dump.find("-> #1 0002010c\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("-> #2 0003000c\n"), std::string::npos) << dump;
    EXPECT_TRUE(Verify(target).empty());

    int32_t file = 0;
    uint32_t cursor = 0;
    ASSERT_EQ(engine_.OpenFile(target, 1, DictionarySchemaText, &file), DmsStatus::Success);
    ASSERT_EQ(engine_.OpenCursor(file, &cursor), DmsStatus::Success);
    ASSERT_EQ(engine_.SelectIndex(cursor, 3), DmsStatus::Success);
    uint32_t last[3] = {1000, 0, 0};
    KeySegmentValue key[3] = {{&last[0], 4}, {&last[1], 4}, {&last[2], 4}};
    ASSERT_EQ(engine_.InsertKey(cursor, key, {1, 0}), DmsStatus::Success);
    engine_.CloseCursor(cursor);
    ASSERT_EQ(engine_.CloseFile(file), DmsStatus::Success);
    const std::string before = ReadText(target);
    CConverter converter(dictionary, CConverter::kExistingFile, ui, env_);
    EXPECT_EQ(converter.Convert(kFormatBook | kFormatUtf8, source, target), 0);
    EXPECT_FALSE(converter.errorText.empty());
    EXPECT_EQ(ReadText(target), before);
}

}  // namespace

namespace {

// A stored own-markup article parses back into its elements through the
// dictionary object's record parser.
TEST_F(CompileFixture, StoredArticleParsesBackIntoElements) {
    const std::u16string source = Path("small.rdf"), target = Path("small.qdx");
    WriteUtf16File(source, kSmallDictionary);
    ASSERT_EQ(Compile(source, target, {}), 1);
    CDictionary dictionary(kFormatStoreDatabase, engine_);
    dictionary.File().SetPath(target.c_str());
    ASSERT_EQ(dictionary.Open(2), 0u);
    std::vector<uint16_t> record;  // 2-byte aligned, as the parser wants
    uint32_t size = 0;
    {
        EngineCursor cursor(engine_, dictionary.fileId);
        ASSERT_EQ(cursor.SelectIndex(0), DmsStatus::Success);
        uint32_t key = 0;
        KeySegmentValue out{&key, 4};
        EntryPosition at;
        ASSERT_EQ(engine_.First(cursor.handle(), &out, &at), DmsStatus::Success);
        ASSERT_EQ(engine_.ReadData(cursor.handle(), at.ref.first, nullptr, &size), DmsStatus::Success);
        record.resize((size + 1) / 2);
        ASSERT_EQ(engine_.ReadData(cursor.handle(), at.ref.first, record.data(), &size), DmsStatus::Success);
    }
    ASSERT_EQ(dictionary.ParseRecord(record.data(), size), 1u);
    std::vector<uint32_t> kinds;
    for (int32_t i = 0; i < dictionary.ElementCount(); ++i) kinds.push_back(dictionary.Elements()[i].kind);
    EXPECT_EQ(kinds, (std::vector<uint32_t>{2, 4, 3, 5, 8}));
    const DictionaryElement& translation = dictionary.Elements()[4];
    EXPECT_EQ(std::u16string_view(translation.text, translation.length), u"cat, house cat");
    dictionary.Close();
}

}  // namespace

namespace {

// The system's drive as the engine sees it, with room for files of at most
// `limit` bytes and no free space beyond them (writes past the limit fail as
// on a full disk); it keeps the largest size a file reached.
class MeteredDrive final : public IStorageIO {
public:
    explicit MeteredDrive(uint64_t limit = UINT64_MAX) : limit_(limit) {}
    uint64_t Peak() const { return peak_; }

    IoError Open(std::u16string_view path, OpenAccess access, std::unique_ptr<IStorageFile>& file) override {
        return Wrap(base_.Open(path, access, file), file);
    }
    IoError CreateNew(std::u16string_view path, std::unique_ptr<IStorageFile>& file) override {
        return Wrap(base_.CreateNew(path, file), file);
    }
    IoError CreateAlways(std::u16string_view path, std::unique_ptr<IStorageFile>& file) override {
        return Wrap(base_.CreateAlways(path, file), file);
    }
    IoError Delete(std::u16string_view path) override { return base_.Delete(path); }
    bool Exists(std::u16string_view path) override { return base_.Exists(path); }
    IoError FlushFolder(std::u16string_view path) override { return base_.FlushFolder(path); }
    std::u16string FullPath(std::u16string_view path) override { return base_.FullPath(path); }
    IoError FreeSpace(std::u16string_view path, DriveSpace& space) override {
        if (limit_ != UINT64_MAX) {
            space = {};
            return IoError::Ok;
        }
        return base_.FreeSpace(path, space);
    }

private:
    class File final : public IStorageFile {
    public:
        File(std::unique_ptr<IStorageFile> inner, MeteredDrive& drive) : inner_(std::move(inner)), drive_(drive) {}
        IoError ReadAt(uint64_t offset, std::span<uint8_t> out, size_t& done) override {
            return inner_->ReadAt(offset, out, done);
        }
        IoError WriteAt(uint64_t offset, std::span<const uint8_t> bytes) override {
            return drive_.Reach(offset + bytes.size()) ? inner_->WriteAt(offset, bytes) : IoError::NoSpace;
        }
        IoError Size(uint64_t& size) override { return inner_->Size(size); }
        IoError SetSize(uint64_t size) override { return drive_.Reach(size) ? inner_->SetSize(size) : IoError::NoSpace; }
        IoError Flush() override { return inner_->Flush(); }

    private:
        std::unique_ptr<IStorageFile> inner_;
        MeteredDrive& drive_;
    };
    bool Reach(uint64_t end) {
        if (end > limit_) return false;
        peak_ = std::max(peak_, end);
        return true;
    }
    IoError Wrap(IoError status, std::unique_ptr<IStorageFile>& file) {
        if (status == IoError::Ok) file = std::make_unique<File>(std::move(file), *this);
        return status;
    }
    IStorageIO& base_ = SystemStorageIO();
    uint64_t limit_;
    uint64_t peak_ = 0;
};

// A compile that runs out of disk space stops with "No disk space" and
// leaves the dictionary it was to replace as it was, with nothing beside it.
TEST_F(CompileFixture, ACompileOnAFullDriveStopsAndKeepsTheEarlierDictionary) {
    const std::u16string small = Path("small.rdf"), large = Path("large.rdf"), target = Path("kept.qdx");
    WriteUtf16File(small, kSmallDictionary);
    WriteUtf16File(large, EdictAsOwnMarkup(3000));
    ASSERT_EQ(Compile(small, target, {}), 1);
    const std::string before = ReadText(target);
    ASSERT_LT(before.size(), 200000u);

    MeteredDrive drive(200000);
    CDMS engine(drive);
    SilentCompileUi ui;
    CDictionary dictionary(kFormatStoreDatabase, engine);
    CConverter converter(dictionary, CConverter::kNewFile, ui, env_);
    EXPECT_EQ(converter.Convert(DetectDictionaryFileFormat(large.c_str()), large, target), 0);
    EXPECT_EQ(converter.errorText, u"No disk space");
    EXPECT_EQ(ReadText(target), before);
    EXPECT_FALSE(Exists(target + u".tmp~"));
}

// The room asked before a compile covers its peak (the largest size the new
// file reaches, compactions between the steps included), for Debian's
// KANJIDIC and a slice of its ENAMDICT.
TEST_F(CompileFixture, TheRoomAskedCoversTheCompilesPeak) {
    struct Source {
        const char* path;
        size_t lines;  // 0: the whole file
    };
    for (const Source& s : {Source{"/usr/share/edict/kanjidic", 0}, Source{"/usr/share/edict/enamdict", 20000}}) {
        SCOPED_TRACE(s.path);
        std::string bytes = ReadText(s.path);
        if (s.lines != 0) {
            size_t at = 0;
            for (size_t n = 0; n < s.lines && at != std::string::npos; ++n) at = bytes.find('\n', at + 1);
            bytes.resize(at + 1);
        }
        const std::u16string source = Path(std::filesystem::path(s.path).filename().string());
        std::ofstream(std::filesystem::path(source), std::ios::binary | std::ios::trunc) << bytes;
        const uint32_t flags = DetectDictionaryFileFormat(source.c_str());
        ASSERT_NE(flags, 0u);
        MeteredDrive drive;
        CDMS engine(drive);
        SilentCompileUi ui;
        CDictionary dictionary(kFormatStoreDatabase, engine);
        CConverter converter(dictionary, CConverter::kNewFile, ui, env_);
        ASSERT_EQ(converter.Convert(flags, source, Path("peak.qdx")), 1);
        EXPECT_LE(drive.Peak(), CompileSpaceNeeded(flags, bytes.size()))
            << "peak " << drive.Peak() << " for " << bytes.size() << " source bytes";
    }
}

}  // namespace
