// Speed and memory of export: the first 20,000 EDICT entries (the count at
// which the print dialog starts asking) parsed and built into one RTF
// document, written to a file, and exported as text; the parse alone is the
// peer, so the differences are the building; the clipboard's document and
// text are measured beside the file. The closing lines give the
// ratios and the peak resident memory of the run.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "article/article_export.h"
#include "article/export_records.h"
#include "article/rtf_text.h"
#include "article/tests/with_source_parsers/stored_record.h"
#include "bench/bench_support.h"
#include "bench/compiled_dictionaries.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/input_line.h"
#include "dictionary/list_view_model.h"
#include "dictionary/selection.h"
#include "dictionary/shelf.h"
#include "storage/dms.h"
#include "storage/simulated_disk.h"
#include "storage/storage_io.h"

namespace {

constexpr size_t kArticles = 20000;
std::vector<std::u16string> g_lines;

// The EDICT lines, each parsed into one dictionary when asked for.
class EdictLines final : public IExportRecords {
public:
    EdictLines() : engine_(disk_), dictionary_(0, engine_) { dictionary_.wordCount = 1; }
    int32_t Count() const override { return static_cast<int32_t>(g_lines.size()); }
    CDictionary* Load(int32_t index) override {
        return ParseStoredRecord(dictionary_, 3, g_lines[static_cast<size_t>(index)]) ? &dictionary_ : nullptr;
    }

private:
    SimulatedDisk disk_;
    CDMS engine_;
    CDictionary dictionary_;
};

void BM_ParseOnly(benchmark::State& state) {
    EdictLines records;
    for (auto _ : state)
        for (int32_t i = 0; i < records.Count(); ++i) benchmark::DoNotOptimize(records.Load(i));
    state.SetItemsProcessed(state.iterations() * int64_t(g_lines.size()));
}
BENCHMARK(BM_ParseOnly)->Unit(benchmark::kMillisecond);

void BM_RtfToMemory(benchmark::State& state) {
    EdictLines records;
    ArticleExportBuilder builder;
    ExportOptions options;
    options.formatColored = 1;
    int64_t bytes = 0;
    for (auto _ : state) {
        std::unique_ptr<char[]> block;
        bytes = builder.BuildRtf(records, options)->ToMemory(block);
        benchmark::DoNotOptimize(block.get());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(g_lines.size()));
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_RtfToMemory)->Unit(benchmark::kMillisecond);

void BM_RtfToFile(benchmark::State& state) {
    EdictLines records;
    ArticleExportBuilder builder;
    const std::u16string path = (std::filesystem::temp_directory_path() / "ostrel-export-bench.rtf").u16string();
    for (auto _ : state) benchmark::DoNotOptimize(builder.BuildRtf(records, {})->SaveToFile(path.c_str()));
    std::filesystem::remove(std::filesystem::path(path));
    state.SetItemsProcessed(state.iterations() * int64_t(g_lines.size()));
}
BENCHMARK(BM_RtfToFile)->Unit(benchmark::kMillisecond);

// What the clipboard output makes of a document: its bytes in one block and
// the text a reader sees in it (the Windows build puts the two on the
// clipboard); beside the file's time, the aim it is held to.
void BM_RtfAndTextForClipboard(benchmark::State& state) {
    EdictLines records;
    ArticleExportBuilder builder;
    for (auto _ : state) {
        CRtfDocumentBuilder* document = builder.BuildRtf(records, {});
        std::unique_ptr<char[]> block;
        benchmark::DoNotOptimize(document->ToMemory(block));
        RtfTextReader reader;
        document->WriteParts([&](std::string_view part) {
            reader.Read(part);
            return true;
        });
        benchmark::DoNotOptimize(reader.Text().size());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(g_lines.size()));
}
BENCHMARK(BM_RtfAndTextForClipboard)->Unit(benchmark::kMillisecond);

// The program's print path over compiled files: EDICT and KANJIDIC as qdxc
// makes them (compressed pages) open on one shelf, the first 20,000 rows of
// their merged reading list selected and built into one document, the way
// the print dialog walks a list; beside it qdxexport's walk of the same
// number of EDICT records in the reading index's order.
struct Shelved {
    CDMS engine{SystemStorageIO()};
    CInput input;
    std::unique_ptr<CShelf> shelf;
    RDFDictionary* edict = nullptr;
};
Shelved* g_shelved = nullptr;

Shelved& ShelvedDictionaries() {
    if (g_shelved != nullptr) return *g_shelved;
    g_shelved = new Shelved;
    g_shelved->shelf = std::make_unique<CShelf>(g_shelved->engine, nullptr, g_shelved->input);
    for (const char* name : {"edict", "kanjidic"}) {
        const std::u16string file = CompiledDebianDictionary(name);
        if (file.empty()) {
            std::fprintf(stderr, "%s could not be compiled\n", name);
            std::exit(1);
        }
        RDFDictionary* dictionary = g_shelved->shelf->AddDictionary(kDictionaryStoreDatabase, file);
        dictionary->Open(2);
        if (g_shelved->edict == nullptr) g_shelved->edict = dictionary;
    }
    g_shelved->shelf->Refresh();
    return *g_shelved;
}

void BM_ListRowsToRtf(benchmark::State& state) {
    ListViewModel& view = *ShelvedDictionaries().shelf->FindView(2);
    CSelection rows;
    rows.Add(0, false, false);
    rows.Add(static_cast<int32_t>(kArticles) - 1, true, false);
    ArticleExportBuilder builder;
    for (auto _ : state) {
        WordListExportRecords records(*view.model, &rows);
        benchmark::DoNotOptimize(builder.BuildRtf(records, {})->Size());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kArticles));
}
BENCHMARK(BM_ListRowsToRtf)->Unit(benchmark::kMillisecond);

void BM_IndexRecordsToRtf(benchmark::State& state) {
    Shelved& shelved = ShelvedDictionaries();
    ArticleExportBuilder builder;
    for (auto _ : state) {
        DictionaryExportRecords records(*shelved.edict, kIndexReadingWord);
        records.KeepFirst(static_cast<int32_t>(kArticles));
        benchmark::DoNotOptimize(builder.BuildRtf(records, {})->Size());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kArticles));
}
BENCHMARK(BM_IndexRecordsToRtf)->Unit(benchmark::kMillisecond);

// The clipboard's plain text read from a finished document (its bytes as
// the clipboard output hands them over, in parts).
void BM_TextReadFromRtf(benchmark::State& state) {
    EdictLines records;
    ArticleExportBuilder builder;
    CRtfDocumentBuilder* document = builder.BuildRtf(records, {});
    for (auto _ : state) {
        RtfTextReader reader;
        document->WriteParts([&](std::string_view part) {
            reader.Read(part);
            return true;
        });
        benchmark::DoNotOptimize(reader.Text().size());
    }
    state.SetBytesProcessed(state.iterations() * int64_t(document->Size()));
}
BENCHMARK(BM_TextReadFromRtf)->Unit(benchmark::kMillisecond);

void BM_Text(benchmark::State& state) {
    EdictLines records;
    ArticleExportBuilder builder;
    for (auto _ : state) benchmark::DoNotOptimize(builder.BuildText(records, TextLineEnds::CrLf).size());
    state.SetItemsProcessed(state.iterations() * int64_t(g_lines.size()));
}
BENCHMARK(BM_Text)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    g_lines = ReadEdictField([](const std::string& line) { return line; });
    if (g_lines.size() > kArticles + 1) g_lines.assign(g_lines.begin() + 1, g_lines.begin() + kArticles + 1);
    if (g_lines.empty()) {
        std::fprintf(stderr, "EDICT is not installed\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double parse = reporter.times["BM_ParseOnly"];
    for (const char* name : {"BM_RtfToMemory", "BM_RtfToFile", "BM_RtfAndTextForClipboard", "BM_TextReadFromRtf",
                             "BM_ListRowsToRtf", "BM_IndexRecordsToRtf", "BM_Text"})
        if (parse > 0 && reporter.times.count(name))
            std::printf("%s: %.0f ms for %zu articles, %.2f x the parse alone\n", name, reporter.times[name],
                        g_lines.size(), reporter.times[name] / parse);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory: %ld MB\n", usage.ru_maxrss / 1024);
    benchmark::Shutdown();
    return 0;
}
