// List cells of DSL (format 9) and WARODAI (format 10) records: those made
// from Debian's EDICT entries, and those the real importers cut from the DSL
// and WARODAI files import/tests/freedict_card_layouts.py makes of
// dict-freedict-jpn-rus and dict-freedict-eng-rus, each row stored and parsed
// as a cursor has it. A list page paints 40 rows of a few columns, which must
// stay far inside 16 ms: the closing lines give a page's median and worst time.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "article/formatter_family.h"
#include "article/tests/with_source_parsers/imported_articles.h"
#include "article/tests/with_source_parsers/stored_record.h"
#include "bench/bench_support.h"
#include "common/tests/test_files.h"
#include "common/tests/test_paths.h"
#include "dictionary/dictionary.h"
#include "import/article_keys.h"
#include "storage/dms.h"
#include "storage/simulated_disk.h"
#include "storage/storage_io.h"

namespace {

// The text columns of the word list layouts: reading, word, senses, Russian.
constexpr int32_t kWordColumns[] = {2, 3, 4, 5};
// A page of the reading list: reading, word and senses.
constexpr int32_t kPageColumns[] = {2, 3, 4};
constexpr size_t kPageRows = 40;

struct Card {
    std::u16string dsl, warodai;
};
std::vector<Card> g_cards;

// "KANJI [KANA] /gloss/gloss/" as a DSL card and a WARODAI article.
Card MakeCard(const std::u16string& line) {
    const size_t slash = line.find(u" /");
    const std::u16string head = line.substr(0, slash == std::u16string::npos ? line.size() : slash);
    Card card{head + u"\n\t[b]" + head + u"[/b] = ", head + u"\n"};
    int number = 1;
    for (size_t at = slash == std::u16string::npos ? line.size() : slash + 2; at < line.size();) {
        const size_t next = line.find(u'/', at);
        if (next == std::u16string::npos) break;
        const std::u16string gloss = line.substr(at, next - at);
        card.dsl += gloss + u"; ";
        card.warodai += (number < 10 ? std::u16string(1, u'0' + number) : u"9") + u") " + gloss + u"\n";
        if (number == 2) card.warodai += u"\uFF5E\u3059\u308B " + gloss + u"\n1) " + gloss + u"\n";
        ++number;
        at = next + 1;
    }
    card.dsl += u"\n\t[m1]" + head + u"\n";
    return card;
}

void Load(CDictionary& dictionary, uint32_t format, const std::u16string& text) {
    dictionary.ClearParsedArticle();
    dictionary.parsedFormatType = format;
    const int32_t offset = dictionary.AppendText(static_cast<int32_t>(text.size()), text.data());
    DictionaryElement* entry = dictionary.AddElement(2);
    entry->text = entry->begin = dictionary.Text() + offset;
    entry->length = static_cast<int32_t>(text.size());
    entry->end = entry->begin + text.size() - 1;
}

void Cells(benchmark::State& state, uint32_t format) {
    SimulatedDisk disk;
    CDMS engine(disk);
    CDictionary dictionary(0x40000, engine);
    dictionary.latinStemCount = 1;
    int64_t cells = 0;
    for (auto _ : state) {
        for (const Card& card : g_cards) {
            Load(dictionary, format, format == 9 ? card.dsl : card.warodai);
            for (int32_t kind : {2, 3, 4}) {
                ListCell cell;
                benchmark::DoNotOptimize(GetColumnText(dictionary, cell, kind, kind == 4 ? 1 : 0));
                ++cells;
            }
        }
    }
    state.counters["cells/s"] = benchmark::Counter(static_cast<double>(cells), benchmark::Counter::kIsRate);
}

void BM_DslCells(benchmark::State& state) { Cells(state, 9); }
void BM_WarodaiCells(benchmark::State& state) { Cells(state, 10); }
BENCHMARK(BM_DslCells)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WarodaiCells)->Unit(benchmark::kMillisecond);

// One list row of an imported article: the article's text and the row's
// sub-entry (WARODAI articles have a row for each derived entry too).
struct Row {
    const std::u16string* article;
    uint16_t subEntry;
};
struct ImportedRows {
    std::vector<std::u16string> articles;
    std::vector<Row> rows;
};
ImportedRows g_imported[2];  // formats 9 and 10
ImportedRows& RowsOf(uint16_t format) { return g_imported[format == 9 ? 0 : 1]; }

void AddArticles(uint16_t format, CDMS& engine, const std::u16string& text) {
    ImportedRows& into = RowsOf(format);
    for (std::u16string& article : ImportedArticleSpans(format, engine, text)) into.articles.push_back(std::move(article));
}

// The rows once every file is cut (the article vector no longer moves).
void MakeRows(uint16_t format, CDMS& engine) {
    ImportedRows& imported = RowsOf(format);
    CDictionary dictionary(0, engine);
    for (const std::u16string& article : imported.articles) {
        if (!ParseStoredRecord(dictionary, format, article)) continue;
        uint16_t derived = 0;
        if (format == 10)
            for (int32_t e = 0; e < dictionary.ElementCount(); ++e) derived += dictionary.Elements()[e].kind == kKeyDerived;
        for (uint16_t sub = 0; sub <= derived; ++sub) imported.rows.push_back({&article, sub});
    }
}

// Cells of a row as the list has them: the record stored and parsed, then
// each column asked of the formatter.
template <size_t N>
void PaintRow(CDictionary& dictionary, uint16_t format, const Row& row, const int32_t (&columns)[N]) {
    ParseStoredRecord(dictionary, format, *row.article);
    for (int32_t kind : columns) {
        ListCell cell;
        cell.columnKind = kind;
        benchmark::DoNotOptimize(GetColumnText(dictionary, cell, kind, row.subEntry));
    }
}

void ImportedCells(benchmark::State& state, uint16_t format) {
    CDMS engine(SystemStorageIO());
    CDictionary dictionary(0, engine);
    const std::vector<Row>& rows = RowsOf(format).rows;
    int64_t cells = 0;
    for (auto _ : state) {
        for (const Row& row : rows) PaintRow(dictionary, format, row, kWordColumns);
        cells += static_cast<int64_t>(rows.size() * std::size(kWordColumns));
    }
    state.counters["rows"] = static_cast<double>(rows.size());
    state.counters["cells/s"] = benchmark::Counter(static_cast<double>(cells), benchmark::Counter::kIsRate);
}

void BM_FreedictDslCells(benchmark::State& state) { ImportedCells(state, 9); }
void BM_FreedictWarodaiCells(benchmark::State& state) { ImportedCells(state, 10); }
BENCHMARK(BM_FreedictDslCells)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreedictWarodaiCells)->Unit(benchmark::kMillisecond);

// How many rows fill each column, so the figures say what they measured.
void PrintFilledCells(uint16_t format) {
    CDMS engine(SystemStorageIO());
    CDictionary dictionary(0, engine);
    std::printf("format %u, rows with text in column", format);
    for (int32_t kind : kWordColumns) {
        size_t filled = 0;
        for (const Row& row : RowsOf(format).rows) {
            ParseStoredRecord(dictionary, format, *row.article);
            ListCell cell;
            cell.columnKind = kind;
            filled += GetColumnText(dictionary, cell, kind, row.subEntry) > 0;
        }
        std::printf(" %d: %zu", kind, filled);
    }
    std::printf("\n");
}

// Every page of 40 consecutive rows, three columns each, timed five times
// over; prints the median and the worst page.
void PrintPageTimes(uint16_t format) {
    CDMS engine(SystemStorageIO());
    CDictionary dictionary(0, engine);
    const std::vector<Row>& rows = RowsOf(format).rows;
    std::vector<double> micros;
    for (int pass = 0; pass < 5; ++pass)
        for (size_t first = 0; first + kPageRows <= rows.size(); first += kPageRows) {
            const auto start = std::chrono::steady_clock::now();
            for (size_t r = first; r < first + kPageRows; ++r) PaintRow(dictionary, format, rows[r], kPageColumns);
            micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        }
    if (micros.empty()) return;
    std::sort(micros.begin(), micros.end());
    std::printf("format %u: %zu pages of %zu rows x 3 columns: median %.1f us, worst %.1f us (aim 16000 us)\n", format,
                micros.size(), kPageRows, micros[micros.size() / 2], micros.back());
}

// Makes the freedict sources in `folder` and cuts them with the importers;
// false when the script or the Debian packages are missing.
bool LoadFreedictArticles(const ScratchFolder& folder, CDMS& engine) {
    const std::string script = std::string("python3 ") + SourcePath("/import/tests/freedict_card_layouts.py ");
    const std::string out = "'" + folder.path().string() + "'";
    if (std::system((script + out + " 2>/dev/null").c_str()) != 0 ||
        std::system((script + "phrases " + out + " 2>/dev/null").c_str()) != 0 ||
        std::system((script + "english '" + (folder / "eng-rus.dsl").string() + "' 2>/dev/null").c_str()) != 0)
        return false;
    // The one-file DSL copy: the main file's #INCLUDE needs a source folder.
    AddArticles(9, engine, Utf16File(folder / "jpn-rus-peer.dsl"));
    AddArticles(9, engine, Utf16File(folder / "eng-rus.dsl"));
    AddArticles(10, engine, Utf16File(folder / "jpn-rus.warodai"));
    AddArticles(10, engine, Utf16File(folder / "jpn-rus-phrases.warodai"));
    MakeRows(9, engine);
    MakeRows(10, engine);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::u16string> lines = ReadEdictField([](const std::string& line) { return line; });
    for (size_t i = 1; i < lines.size() && g_cards.size() < 50000; ++i) g_cards.push_back(MakeCard(lines[i]));
    std::printf("%zu cards from EDICT\n", g_cards.size());
    if (g_cards.empty()) return 1;

    ScratchFolder folder("card-columns-bench");
    CDMS engine(SystemStorageIO());
    if (!LoadFreedictArticles(folder, engine)) {
        std::printf("dict-freedict-jpn-rus or dict-freedict-eng-rus is not installed\n");
        return 1;
    }
    for (uint16_t format : {9, 10}) {
        std::printf("format %u: %zu imported articles, %zu list rows\n", format, RowsOf(format).articles.size(),
                    RowsOf(format).rows.size());
        PrintFilledCells(format);
    }

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintPageTimes(9);
    PrintPageTimes(10);
    return 0;
}
