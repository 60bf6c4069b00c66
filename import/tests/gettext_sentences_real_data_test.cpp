// Example-sentence sources made at test time from Debian's coreutils message
// catalogs (Russian, Japanese and English messages as Python's gettext reads
// the .mo files): every Examples article, Tatoeba article (links shuffled,
// translations in language order) and parallel-text row equals its messages,
// every stored article parses back as imported, and each source compiles
// into as many articles. Native only: the sources are made by a python3 script.
#include "common/tests/test_paths.h"
#include "import/examples_import.h"
#include "import/import_registration.h"
#include "import/parallel_text_import.h"
#include "import/tatoeba_import.h"
#include "import/tests/compile_fixture.h"
#include "import/tests/eijiro_entry_sink.h"

#include <cstdlib>
#include <fstream>

namespace {

const char* const kCatalog = "/usr/share/locale/ja/LC_MESSAGES/coreutils.mo";
const std::string kScript = SourcePath("/import/tests/gettext_sentence_layouts.py");

// The expected articles: one a line, its element texts TAB-separated, "\n"
// written as a backslash and "n".
std::vector<std::u16string> ExpectedArticles(const std::filesystem::path& file, std::u16string_view kinds,
                                             std::u16string_view lineEnd) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::u16string> articles;
    for (std::string line; std::getline(in, line);) {
        std::u16string fields = Utf8ToUtf16(line), described;
        for (size_t at = 0; (at = fields.find(u"\\n", at)) != fields.npos;) fields.replace(at, 2, u"\n");
        size_t field = 0, begin = 0;
        for (size_t end; begin <= fields.size(); begin = end + 1, ++field) {
            end = fields.find(u'\t', begin);
            if (end == fields.npos) end = fields.size();
            const char16_t kind = field < kinds.size() ? kinds[field] : kinds.back();
            described += std::u16string{kind, u':'} + fields.substr(begin, end - begin) + std::u16string(lineEnd) + u"|";
        }
        articles.push_back(described);
    }
    return articles;
}

size_t Mismatches(const std::vector<std::u16string>& expected, const std::vector<std::u16string>& seen,
                  std::string& first) {
    size_t mismatches = expected.size() > seen.size() ? expected.size() - seen.size() : seen.size() - expected.size();
    for (size_t i = 0; i < expected.size() && i < seen.size(); ++i)
        if (expected[i] != seen[i] && mismatches++ == 0) first = Utf16ToUtf8(expected[i] + u"\n" + seen[i]);
    return mismatches;
}

class GettextSentences : public CompileFixture {
protected:
    void SetUp() override {
        CompileFixture::SetUp();
        RegisterImportParsers();
#ifdef _WIN32
        GTEST_SKIP() << "the script that makes the sources runs in the native tree";
#else
        if (!std::filesystem::exists(kCatalog)) GTEST_SKIP() << kCatalog << " is not installed (coreutils)";
        ASSERT_EQ(std::system(("python3 " + std::string(kScript) + " '" + Utf16ToUtf8(Path("")) + "'").c_str()), 0);
#endif
    }

    // Imports `text` (format 11, 12 or 13) with every article stored and parsed again.
    std::vector<std::u16string> Import(uint16_t formatType, const std::u16string& text) {
        CDictionary dictionary(0, engine_), reader(0, engine_);
        EntrySink sink;
        sink.reader = &reader;
        sink.formatType = formatType;
        const SourceImporter import = GetFormatParsers(formatType).import;
        EXPECT_EQ(import(dictionary, text.data(), static_cast<uint32_t>(text.size() * 2), 0, sink.Callbacks()), 1);
        EXPECT_EQ(sink.mismatch, u"");
        return sink.entries;
    }
    // Compiles with the languages chosen; the articles stored.
    uint32_t CompiledArticles(const std::u16string& source, uint32_t flags, const TatoebaLanguages& languages = {}) {
        CDictionary dictionary(kFormatStoreDatabase, engine_);
        for (size_t i = 0; i < 4; ++i) std::copy(languages[i].begin(), languages[i].end(), dictionary.languages[i]);
        SilentCompileUi ui;
        CConverter converter(dictionary, CConverter::kNewFile, ui, env_);
        EXPECT_EQ(converter.Convert(flags, source, Path("compiled.qdx")), 1) << Utf16ToUtf8(converter.errorText);
        return converter.ArticleCount();
    }
};

TEST_F(GettextSentences, ExamplesArticlesEqualTheirMessages) {
    const std::u16string source = Path("examples.txt");
    const uint32_t flags = DetectDictionaryFileFormat(source.c_str());
    ASSERT_EQ(FormatTypeFromFlags(flags), 11u);
    std::u16string text, message;
    ASSERT_TRUE(LoadExamplesSource(source, flags, text, message));
    const auto expected = ExpectedArticles(Path("expected_examples.tsv"), u"485", u"");
    ASSERT_GT(expected.size(), 1000u);
    std::string first;
    EXPECT_EQ(Mismatches(expected, Import(11, text), first), 0u) << first;
    EXPECT_EQ(CompiledArticles(source, flags), expected.size());
}

TEST_F(GettextSentences, TatoebaArticlesEqualTheirMessagesInLanguageOrder) {
    const std::u16string source = Path("tatoeba/sentences.csv");
    const uint32_t flags = DetectDictionaryFileFormat(source.c_str());
    ASSERT_EQ(FormatTypeFromFlags(flags), 13u);
    const TatoebaLanguages languages = {u"jpn", u"eng", u"rus", u""};
    std::u16string prepared, message;
    ASSERT_TRUE(LoadTatoebaSource(languages, source, prepared, message)) << Utf16ToUtf8(message);
    const auto expected = ExpectedArticles(Path("expected_tatoeba.tsv"), u"455", u"\n");
    ASSERT_GT(expected.size(), 1000u);
    std::string first;
    EXPECT_EQ(Mismatches(expected, Import(13, prepared), first), 0u) << first;
    // The loader read in small pieces prepares the same buffer.
    for (size_t piece : {1u, 7u, 17u}) {
        std::u16string again;
        ASSERT_TRUE(LoadTatoebaSource(languages, source, again, message, piece));
        EXPECT_TRUE(again == prepared) << piece;
    }
    EXPECT_EQ(CompiledArticles(source, flags, languages), expected.size());
}

TEST_F(GettextSentences, ParallelTextRowsEqualTheirMessages) {
    const std::u16string source = Path("book.txt");
    std::u16string text, message;
    ASSERT_TRUE(LoadParallelTextSource(source, kFormatBook | kFormatUtf8, text, message));
    const auto expected = ExpectedArticles(Path("expected_book.tsv"), u"5", u"");
    ASSERT_GT(expected.size(), 1000u);
    std::string first;
    EXPECT_EQ(Mismatches(expected, Import(12, text), first), 0u) << first;
    EXPECT_EQ(CompiledArticles(source, kFormatBook | kFormatUtf8), expected.size());
}

}  // namespace
