// Example-sentence articles from real message triples: the English, Russian
// and Japanese messages of installed Debian gettext catalogs, laid out by
// import/tests/gettext_sentence_layouts.py as Examples pairs, Tatoeba runs and
// three-language book groups, imported by the real importers, stored and
// parsed back, then formatted: each article holds its sentences in order in
// their classes, each index text keeps its fields, each book column its
// language. Default: the coreutils catalogs; OSTREL_FULL_SWEEPS: every
// domain with both a Japanese and a Russian catalog. Native only (python3).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "article/article_context.h"
#include "article/book_format.h"
#include "article/display_attributes.h"
#include "article/element_text.h"
#include "article/formatter_family.h"
#include "article/list_cell.h"
#include "article/tests/parsed_record_fixture.h"
#include "article/tests/with_source_parsers/imported_articles.h"
#include "article/tests/with_source_parsers/stored_record.h"
#include "common/tests/test_files.h"
#include "common/tests/test_paths.h"
#include "common/ui_text/ui_text.h"
#include "common/text/utf8.h"
#include "dictionary/format_detection.h"
#include "dictionary/import_services.h"
#include "import/examples_import.h"
#include "import/import_registration.h"
#include "import/parallel_text_import.h"
#include "import/tatoeba_source_loader.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

namespace {

const std::string kScript = SourcePath("/import/tests/gettext_sentence_layouts.py");

using Fields = std::vector<std::u16string>;

Fields Split(std::u16string_view text, char16_t separator) {
    Fields parts;
    size_t at = 0;
    for (size_t end; (end = text.find(separator, at)) != text.npos; at = end + 1)
        parts.emplace_back(text.substr(at, end - at));
    parts.emplace_back(text.substr(at));
    return parts;
}

// The rows of one of the script's expected_*.tsv files, as written (a
// message may hold a backslash and "n" of its own).
std::vector<Fields> ExpectedRows(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<Fields> rows;
    for (std::string line; std::getline(in, line);) rows.push_back(Split(Utf8ToUtf16(line), u'\t'));
    return rows;
}

// Units with their field bits, blanks folded as the index preparers fold
// them: none first, none twice, none last.
struct IndexText {
    std::u16string text;
    std::vector<uint16_t> bits;

    void Add(char16_t c, uint16_t fieldBits) {
        if (c == u' ' && (text.empty() || text.back() == u' ')) return;
        text += c;
        bits.push_back(fieldBits);
    }
    void Add(std::u16string_view part, uint16_t fieldBits) {
        for (char16_t c : part) Add(c, fieldBits);
    }
    void Trim() {
        if (!text.empty() && text.back() < 33) text.pop_back(), bits.pop_back();
    }
};

IndexText PreparedIndex(uint32_t formatType, std::u16string_view record) {
    const int32_t length = static_cast<int32_t>(record.size());
    std::vector<char16_t> out(record.size() + 1);
    std::vector<uint16_t> bits(record.size() + 1, 0);
    std::vector<uint16_t> in(record.size(), 0);
    std::copy(in.begin(), in.end(), bits.begin());
    const int32_t written = PrepareIndexText(formatType, out.data(), length, record.data(), length, bits.data());
    return {std::u16string(out.data(), static_cast<size_t>(written)),
            std::vector<uint16_t>(bits.begin(), bits.begin() + written)};
}

// Each unit's colour class, text and classes side by side.
std::u16string ClassedText(const StyledResult& styled) {
    std::u16string out;
    for (size_t i = 0; i < styled.text.size(); ++i)
        out += std::u16string{styled.text[i], char16_t(u'0' + ((styled.attributes[i] & kAttrColourMask) >> 4))};
    return out;
}

std::u16string Classed(std::u16string_view text, uint32_t colourClass) {
    std::u16string out;
    for (char16_t c : text) out += std::u16string{c, char16_t(u'0' + (colourClass >> 4))};
    return out;
}

// Element text (no "<" in these messages) as it shows: "\\{", "\\}" and "\\\\"
// as the character escaped, and no ">" (a tag's end): the messages
// "Invalid content of \\{\\}" and "... %s -> %s" show as "... {}" and "... %s - %s".
std::u16string ShownAsElementText(std::u16string_view text) {
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size() && std::u16string_view(u"{}\\").find(text[i + 1]) != text.npos) ++i;
        else if (text[i] == u'>') continue;
        out += text[i];
    }
    return out;
}

class GettextSentenceArticles : public testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "the script that makes the sources runs in the native tree";
#endif
        RegisterImportParsers();
        previous_ = SetArticleContext(&context_);
    }
    void TearDown() override { SetArticleContext(previous_); }

    // The domains whose catalogs the test reads: a fixed set from packages
    // every Debian machine has, so the sweep reads the same text everywhere
    // (the locale folder also holds whatever else a machine installed).
    std::vector<std::string> Domains() const {
        if (std::getenv("OSTREL_FULL_SWEEPS") == nullptr) return {"coreutils"};
        return {"apt", "bash", "coreutils", "diffutils", "dpkg", "findutils", "grep", "sed", "tar"};
    }

    // Lays the domain's messages out in a folder of their own, once for the
    // three tests; false when it has none.
    bool Layout(const std::string& domain) {
        static ScratchFolder folders{"gettext-sentence-articles"};
        folder_ = folders / domain;
        if (!std::filesystem::exists(folder_ / "counts.txt") &&
            std::system(("python3 " + std::string(kScript) + " '" + folder_.string() + "' '" + domain + "' 2>/dev/null")
                            .c_str()) != 0)
            return false;
        return !ExpectedRows(folder_ / "expected_examples.tsv").empty();
    }

    std::vector<std::u16string> Records(uint16_t formatType, const std::u16string& text) {
        return ImportedArticleSpans(formatType, engine_, text);
    }

    std::filesystem::path folder_;
    CDMS engine_{SystemStorageIO()};
    FakeArticleContext context_;
    IArticleContext* previous_ = nullptr;
    size_t checked_ = 0;
};

TEST_F(GettextSentenceArticles, ExamplesArticlesAndIndexTexts) {
    for (const std::string& domain : Domains()) {
        if (!Layout(domain)) continue;
        const std::u16string source = Utf8ToUtf16((folder_ / "examples.txt").string());
        std::u16string text, message;
        ASSERT_TRUE(LoadExamplesSource(source, DetectDictionaryFileFormat(source.c_str()), text, message)) << domain;
        const std::vector<Fields> expected = ExpectedRows(folder_ / "expected_examples.tsv");
        const std::vector<std::u16string> records = Records(11, text);
        ASSERT_EQ(records.size(), expected.size()) << domain;
        for (size_t i = 0; i < records.size(); ++i) {
            const std::u16string& ja = expected[i][0];
            const std::u16string& en = expected[i][1];
            // "#ID=n\\nB: ru\\n", the line ends written as a backslash and "n".
            const std::u16string& rest = expected[i][2];
            const size_t from = rest.find(u"\\nB: ") + 5;
            const std::u16string ru = rest.substr(from, rest.size() - 2 - from);
            const std::u16string bLine = ru + u"\n";
            CDictionary card(0, engine_);
            ASSERT_TRUE(ParseStoredRecord(card, 11, records[i])) << domain << " " << i;
            // Sentence, translation, a blank line, then the "B:" line grey.
            EXPECT_EQ(ClassedText(Show(FormatArticle(card))),
                      Classed(ja + u"\n", kClassHeadword) + Classed(en + u"\n\n", kClassPlain) +
                          Classed(bLine, kClassGrey))
                << domain << " " << Utf16ToUtf8(ja);
            // The tab kept, "#ID=n" dropped, the "A: " and "B: " leads skipped.
            IndexText want;
            want.Add(ja + u"\t" + en + u" " + ru, 0);
            want.Trim();
            const IndexText index = PreparedIndex(11, records[i]);
            EXPECT_EQ(Utf16ToUtf8(index.text), Utf16ToUtf8(want.text)) << domain;
            for (size_t u = 0; u < index.text.size(); ++u) {
                EXPECT_EQ((index.bits[u] & kFieldComma) != 0, index.text[u] == u',') << domain << " " << u;
                EXPECT_EQ((index.bits[u] & kFieldSemicolon) != 0, index.text[u] == u';') << domain << " " << u;
            }
            if (HasFailure()) return;
            ++checked_;
        }
    }
    std::printf("%zu articles checked\n", checked_);
    EXPECT_GT(checked_, 1000u);
}

TEST_F(GettextSentenceArticles, TatoebaArticlesAndIndexTexts) {
    const TatoebaLanguages languages = {u"jpn", u"eng", u"rus", u""};
    for (const std::string& domain : Domains()) {
        if (!Layout(domain)) continue;
        std::u16string prepared, message;
        ASSERT_TRUE(LoadTatoebaSource(languages, Utf8ToUtf16((folder_ / "tatoeba/sentences.csv").string()), prepared,
                                      message))
            << domain << Utf16ToUtf8(message);
        const std::vector<Fields> expected = ExpectedRows(folder_ / "expected_tatoeba.tsv");
        const std::vector<std::u16string> records = Records(13, prepared);
        ASSERT_EQ(records.size(), expected.size()) << domain;
        for (size_t i = 0; i < records.size(); ++i) {
            CDictionary card(0, engine_);
            ASSERT_TRUE(ParseStoredRecord(card, 13, records[i])) << domain << " " << i;
            EXPECT_EQ(ClassedText(Show(FormatArticle(card))),
                      Classed(expected[i][0] + u"\n", kClassHeadword) +
                          Classed(expected[i][1] + u"\n" + expected[i][2] + u"\n", kClassPlain))
                << domain << " " << Utf16ToUtf8(expected[i][0]);
            // Identifier, language and sentence of each line in the classes of
            // the first or a later line; separators in their line's sentence class.
            constexpr uint16_t kClasses[2][3] = {{0x202, 0x082, 0x002}, {0x218, 0x098, 0x018}};
            IndexText want;
            const Fields lines = Split(records[i], u'\n');
            for (size_t l = 0; l < lines.size(); ++l) {
                if (lines[l].empty()) continue;
                const Fields fields = Split(lines[l], u'\t');
                ASSERT_EQ(fields.size(), 3u) << domain;
                EXPECT_EQ(fields[2], expected[i][l]) << domain;
                for (size_t f = 0; f < 3; ++f) {
                    want.Add(fields[f], kClasses[l > 0][f]);
                    want.Add(u' ', kClasses[l > 0][2]);
                }
            }
            want.Trim();
            const IndexText index = PreparedIndex(13, records[i]);
            EXPECT_EQ(Utf16ToUtf8(index.text), Utf16ToUtf8(want.text)) << domain;
            EXPECT_EQ(index.bits, want.bits) << domain << " " << Utf16ToUtf8(want.text);
            if (HasFailure()) return;
            ++checked_;
        }
    }
    std::printf("%zu articles checked\n", checked_);
    EXPECT_GT(checked_, 1000u);
}

TEST_F(GettextSentenceArticles, BookGroupsArticlesAndLanguageColumns) {
    for (const std::string& domain : Domains()) {
        if (!Layout(domain)) continue;
        std::u16string text, message;
        ASSERT_TRUE(LoadParallelTextSource(Utf8ToUtf16((folder_ / "book.txt").string()), kFormatBook | kFormatUtf8,
                                           text, message))
            << domain;
        const std::vector<Fields> expected = ExpectedRows(folder_ / "expected_book.tsv");
        const std::vector<std::u16string> records = Records(12, text);
        ASSERT_EQ(records.size(), expected.size()) << domain;
        for (size_t i = 0; i < records.size(); ++i) {
            CDictionary card(kBookDictionary, engine_);  // "_" is text in books
            ASSERT_TRUE(ParseStoredRecord(card, 12, records[i])) << domain << " " << i;
            // The row's lines without their lead tag ("<H1>", "<P>", "<+>", "<Latn>", ...).
            Fields lines;
            for (const std::u16string& field : expected[i])
                lines.push_back(ShownAsElementText(field.substr(field.find(u'>') + 1)));
            ASSERT_EQ(lines.size(), 3u) << domain;
            const std::u16string hint = UIStringTable[kBookHintSlot];
            EXPECT_EQ(ClassedText(Show(FormatArticle(card))),
                      Classed(lines[0] + u"\n", kClassHeadword) +
                          Classed(lines[1] + u"\n" + lines[2] + u"\n", kClassPlain) + Classed(hint, kClassGrey))
                << domain << " " << Utf16ToUtf8(lines[0]);
            // English, Russian, Japanese: the columns of the first, second and third language.
            const std::pair<int32_t, size_t> columns[] = {{3, 0}, {27, 0}, {4, 1}, {28, 1}, {29, 2}};
            for (const auto& [column, line] : columns) {
                ListCell cell;
                GetColumnText(card, cell, column, 0);
                EXPECT_EQ(ClassedText(StyledResult{std::u16string(cell.text, static_cast<size_t>(cell.length)),
                                                   {cell.attributes, cell.attributes + cell.length}}),
                          Classed(lines[line].substr(0, kCellTextLimit), line == 0 ? kClassHeadword : kClassPlain))
                    << domain << " column " << column;
            }
            if (HasFailure()) return;
            ++checked_;
        }
    }
    std::printf("%zu articles checked\n", checked_);
    EXPECT_GT(checked_, 1000u);
}

}  // namespace
