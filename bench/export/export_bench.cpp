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
#include "storage/dms.h"
#include "storage/simulated_disk.h"

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
    for (const char* name : {"BM_RtfToMemory", "BM_RtfToFile", "BM_RtfAndTextForClipboard", "BM_Text"})
        if (parse > 0 && reporter.times.count(name))
            std::printf("%s: %.0f ms for %zu articles, %.2f x the parse alone\n", name, reporter.times[name],
                        g_lines.size(), reporter.times[name] / parse);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory: %ld MB\n", usage.ru_maxrss / 1024);
    benchmark::Shutdown();
    return 0;
}
