// Examples pairs and the Tatoeba export: the cutting rule and element kinds,
// the language table and links (translations in language order, the largest
// id, ids that are not 1 to 9 digits), the window of line ordinals, the
// messages, reading in pieces of 1 to 17 bytes, and prepared buffers that do
// not hold together; the loader's progress through the compiler.
#include "import/compile_environment.h"
#include "import/converter.h"
#include "import/examples_import.h"
#include "import/import_registration.h"
#include "import/tatoeba_import.h"
#include "import/tests/eijiro_entry_sink.h"

#include <cstring>
#include <fstream>

#include "common/tests/test_files.h"
#include "common/text/utf8.h"
#include "dictionary/format_detection.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <gtest/gtest.h>

namespace {

class ExampleSentences : public testing::Test {
protected:
    void SetUp() override { RegisterImportParsers(); }

    // Each article of a whole import as its elements; the stored form of
    // every article must parse back to the same elements.
    std::vector<std::u16string> Import(uint16_t formatType, std::u16string_view text, int32_t* result = nullptr) {
        EntrySink sink;
        sink.reader = &reader_;
        sink.formatType = formatType;
        const auto import = formatType == 11 ? ImportExamples : ImportTatoeba;
        const int32_t r = import(dictionary_, text.data(), static_cast<uint32_t>(text.size() * 2), 0, sink.Callbacks());
        if (result) *result = r;
        EXPECT_EQ(sink.mismatch, u"");
        return sink.entries;
    }
    std::filesystem::path Write(const std::string& name, const std::string& bytes) {
        const std::filesystem::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    bool Load(const TatoebaLanguages& languages, std::u16string& prepared, std::u16string& message,
              size_t pieceBytes = kTatoebaPieceBytes) {
        return LoadTatoebaSource(languages, (folder_ / "sentences.csv").u16string(), prepared, message, pieceBytes);
    }
    std::vector<std::u16string> LoadAndImport(const TatoebaLanguages& languages) {
        std::u16string prepared, message;
        EXPECT_TRUE(Load(languages, prepared, message)) << Utf16ToUtf8(message);
        return Import(13, prepared);
    }

    CDMS engine_{SystemStorageIO()};
    CDictionary dictionary_{0, engine_};
    CDictionary reader_{0, engine_};
    ScratchFolder folder_{"example-sentences"};
};

using Articles = std::vector<std::u16string>;
const TatoebaLanguages kJapaneseRussianEnglish = {u"jpn", u"rus", u"eng", u""};

TEST_F(ExampleSentences, ExamplesArticlesRunFromOneALineToTheNext) {
    const std::u16string text =
        u"# a line before the first article is no article\n"
        u"A: 猫が好きです。\tI like cats.#ID=1_2\nB: 猫{ねこ} 好き\n"
        u"A: 一つだけ#ID=3\nB: 一つ\nC: more\n"
        u"A: 訳だけ\ttranslation only\n"
        u"A:no blank after the colon\n"
        u"A: 最後\tlast";
    EXPECT_EQ(Import(11, text), (Articles{u"4:猫が好きです。|8:I like cats.|5:#ID=1_2\nB: 猫{ねこ} 好き\n|",
                                          u"4:一つだけ|5:#ID=3\nB: 一つ\nC: more\n|",
                                          u"4:訳だけ|8:translation only|5:\n|", u"4:最後|8:last|"}));
    EXPECT_EQ(dictionary_.flags & kFormatWords, kFormatWords);
    int32_t result = 1;
    EXPECT_TRUE(Import(11, u"A: 短い", &result).empty());
    EXPECT_EQ(result, 0);  // fewer than 14 bytes
}

TEST_F(ExampleSentences, ExamplesLoaderNeedsItsFlagsAndConvertsUtf8) {
    const std::u16string path = Write("examples.txt", "A: 犬\tdog#ID=1\nB: 犬\n").u16string();
    std::u16string text, message;
    const uint32_t flags = SniffDictionaryFormat(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>("A: x"), 4));
    ASSERT_EQ(flags & (kFormatExamples | kFormatForeign | kFormatUtf8), kFormatExamples | kFormatForeign | kFormatUtf8);
    EXPECT_TRUE(LoadExamplesSource(path, flags, text, message));
    EXPECT_EQ(text, u"A: 犬\tdog#ID=1\nB: 犬\n");
    EXPECT_TRUE(LoadExamplesSource(path, flags & ~kFormatUtf8, text, message));
    EXPECT_EQ(text, u"");
    EXPECT_FALSE(LoadExamplesSource(path, flags & ~kFormatForeign, text, message));
    EXPECT_FALSE(LoadExamplesSource(Write("tiny.txt", "A: x").u16string(), flags, text, message));
}

TEST_F(ExampleSentences, TatoebaJoinsSentencesThroughLinksInLanguageOrder) {
    Write("sentences.csv",
          "1\tcmn\t你好\n"
          "2\tjpn\t猫が好きです。\n"
          "3\teng\tI like cats.\n"
          "4\trus\tЯ люблю кошек.\n"
          "5\tjpn\t犬\n"
          "x6\teng\tnot an id\n"
          "1234567890\trus\tten digits\n"
          "7\tengl\tcompared on three letters\n"
          "9\tdeu\tnot chosen\n"
          "12\tjpn\tthe largest id\n");
    Write("links.csv",
          "2\t3\n2\t9\n2\t4\n"      // English (language 3) before Russian (2) in the file
          "3\t2\n"                  // from a translation language: not used
          "5\t0000000007\n5\t7x\n"  // ten digits, a non-digit: skipped like sentence ids
          "5\t7\n"
          "12\t4\n"
          "12\t99999999\n");        // beyond the largest sentence id
    EXPECT_EQ(LoadAndImport(kJapaneseRussianEnglish),
              (Articles{u"4:猫が好きです。\n|5:Я люблю кошек.\n|5:I like cats.\n|", u"4:犬\n|5:compared on three letters\n|",
                        u"4:the largest id\n|5:Я люблю кошек.\n|"}));
    // Languages 4 and 2: the language-2 translation first.
    EXPECT_EQ(LoadAndImport({u"jpn", u"eng", u"", u"rus"}),
              (Articles{u"4:猫が好きです。\n|5:I like cats.\n|5:Я люблю кошек.\n|", u"4:犬\n|5:compared on three letters\n|",
                        u"4:the largest id\n|5:Я люблю кошек.\n|"}));
}

TEST_F(ExampleSentences, TatoebaReadInPiecesOfOneTo17BytesGivesTheSameBuffer) {
    std::string sentences, links;
    for (int id = 1; id <= 60; ++id) {
        sentences += std::to_string(id) + "\t" + (id % 3 == 0 ? "jpn" : id % 3 == 1 ? "eng" : "rus") + "\tsentence " +
                     std::string(static_cast<size_t>(id % 7), 'x') + "\r\n";
        if (id % 3 == 0) links += std::to_string(id) + "\t" + std::to_string(id - 1) + "\n" + std::to_string(id) + "\t" +
                                  std::to_string(id - 2) + "\n";
    }
    Write("sentences.csv", sentences.substr(0, sentences.size() - 2));  // the last line without its line break
    Write("links.csv", links);
    std::u16string whole, message;
    ASSERT_TRUE(Load(kJapaneseRussianEnglish, whole, message));
    for (size_t piece = 1; piece <= 17; ++piece) {
        std::u16string prepared;
        ASSERT_TRUE(Load(kJapaneseRussianEnglish, prepared, message, piece));
        EXPECT_EQ(prepared, whole) << piece;
    }
    EXPECT_EQ(Import(13, whole).size(), 20u);
}

TEST_F(ExampleSentences, TatoebaLineOrdinalsFollowTheWindowAcrossMillions) {
    Write("sentences.csv", "1\tcmn\tx\n3\tjpn\tthree\n999999\teng\tnine\n1000000\tjpn\tmillion\n2500001\trus\tfar\n");
    Write("links.csv", "3\t999999\n3\t2500001\n1000000\t999999\n");
    EXPECT_EQ(LoadAndImport(kJapaneseRussianEnglish),
              (Articles{u"4:three\n|5:far\n|5:nine\n|", u"4:million\n|5:nine\n|"}));
}

TEST_F(ExampleSentences, TatoebaFailuresSayWhy) {
    std::u16string prepared, message;
    Write("sentences.csv", "1\tcmn\tx\n2\tjpn\ty\n3\teng\tz\n");
    EXPECT_FALSE(Load(kJapaneseRussianEnglish, prepared, message));
    EXPECT_EQ(message, u"Required file not found: " + (folder_ / "links.csv").u16string());
    Write("links.csv", "3\t2\n");
    EXPECT_FALSE(Load(kJapaneseRussianEnglish, prepared, message));
    EXPECT_EQ(message, u"Не найдено ни одной пары предложений для заданного сочетания языков");
    Write("sentences.csv", "1\tcmn\tx\n2000002\tjpn\ty\n3\teng\tz\n");
    Write("links.csv", "2000002\t3\n");
    EXPECT_FALSE(Load(kJapaneseRussianEnglish, prepared, message));
    EXPECT_EQ(message, u"The sentences file is not sorted by id: 3 comes after 2000002.");
    EXPECT_TRUE(prepared.empty());
    EXPECT_EQ(TatoebaLinksPath(u"/a.b/sentences"), u"/a.b/links");
    EXPECT_EQ(TatoebaLinksPath(u"C:\\data\\sentences.tsv"), u"C:\\data\\links.tsv");
}

TEST_F(ExampleSentences, TatoebaLoadingReportsItsProgressThroughTheCompiler) {
    Write("sentences.csv", "1\tcmn\tx\n2\tjpn\ty\n3\teng\tz\n");
    Write("links.csv", "2\t3\n");
    CDictionary target(kFormatStoreDatabase, engine_);
    std::copy_n(u"jpn", 3, target.languages[0]);
    std::copy_n(u"eng", 3, target.languages[1]);
    SilentCompileUi ui;
    ui.progressBar = true;
    FixedCompileEnv env;
    CConverter converter(target, CConverter::kNewFile, ui, env);
    const std::u16string source = (folder_ / "sentences.csv").u16string();
    ASSERT_EQ(converter.Convert(DetectDictionaryFileFormat(source.c_str()), source, (folder_ / "t.qdx").u16string()), 1)
        << Utf16ToUtf8(converter.errorText);
    EXPECT_EQ(converter.ArticleCount(), 1u);
    ASSERT_GE(ui.progress.size(), 10u);
    EXPECT_EQ(std::vector<int32_t>(ui.progress.begin(), ui.progress.begin() + 10),
              (std::vector<int32_t>{10, 200, 300, 400, 500, 600, 700, 800, 900, 1000}));
}

TEST_F(ExampleSentences, TatoebaBuffersThatDoNotHoldTogetherImportNothing) {
    Write("sentences.csv", "1\tcmn\tx\n2\tjpn\ty\n3\teng\tz\n");
    Write("links.csv", "2\t3\n");
    std::u16string good, message;
    ASSERT_TRUE(Load(kJapaneseRussianEnglish, good, message));
    ASSERT_EQ(Import(13, good), (Articles{u"4:y\n|5:z\n|"}));
    const auto withWord = [&](size_t word, uint32_t value) {
        std::u16string damaged = good;
        std::memcpy(damaged.data() + 2 * word, &value, 4);
        return damaged;
    };
    const uint32_t textUnits = static_cast<uint32_t>(good.size() - 6);
    for (const std::u16string& damaged : {withWord(0, 0), withWord(0, 8), withWord(0, 0xFFFFFFF4u),
                                          withWord(0, static_cast<uint32_t>(good.size() * 2 + 4)),
                                          withWord(1, textUnits), withWord(2, 0xFFFFFFFFu)}) {
        int32_t result = 1;
        EXPECT_TRUE(Import(13, damaged, &result).empty());
        EXPECT_EQ(result, 0);
    }
    // No pairs at all: nothing to import, and no failure.
    int32_t result = 0;
    EXPECT_TRUE(Import(13, withWord(0, 4).substr(0, 2) + u"1\tjpn\tx\n", &result).empty());
    EXPECT_EQ(result, 1);
}

}  // namespace
