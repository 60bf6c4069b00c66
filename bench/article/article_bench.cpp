// Speed of the formatters over real data: every EDICT entry stored, parsed
// by the EDICT parser and formatted as an article, the same parse alone as
// the peer (their difference is the formatting), the index text of every
// EDICT line, and the article of every KANJIDIC line. The closing line gives
// articles formatted per second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "article/formatter_family.h"
#include "article/kanjidic_article.h"
#include "article/tests/with_source_parsers/stored_record.h"
#include "bench/bench_support.h"
#include "storage/dms.h"
#include "storage/simulated_disk.h"

namespace {

std::vector<std::u16string> g_edict;
std::vector<std::u16string> g_kanjidic;

std::vector<std::u16string> ReadLines(const char* name) {
    return ReadEdictField([](const std::string& line) { return line; }, name);
}

class Dictionary {
public:
    Dictionary() : engine_(disk_), dictionary(0x40000, engine_) {}

private:
    SimulatedDisk disk_;
    CDMS engine_;

public:
    CDictionary dictionary;
};

void BM_ParseEdictRecords(benchmark::State& state) {
    Dictionary d;
    for (auto _ : state)
        for (const std::u16string& line : g_edict) benchmark::DoNotOptimize(ParseStoredRecord(d.dictionary, 3, line));
    state.SetItemsProcessed(state.iterations() * int64_t(g_edict.size()));
}
BENCHMARK(BM_ParseEdictRecords)->Unit(benchmark::kMillisecond);

void BM_ParseAndFormatEdictArticles(benchmark::State& state) {
    Dictionary d;
    for (auto _ : state)
        for (const std::u16string& line : g_edict) {
            if (ParseStoredRecord(d.dictionary, 3, line))
                benchmark::DoNotOptimize(FormatArticle(d.dictionary).Length());
        }
    state.SetItemsProcessed(state.iterations() * int64_t(g_edict.size()));
}
BENCHMARK(BM_ParseAndFormatEdictArticles)->Unit(benchmark::kMillisecond);

void BM_EdictIndexText(benchmark::State& state) {
    std::vector<char16_t> out(4096);
    std::vector<uint16_t> bits(4096);
    for (auto _ : state)
        for (const std::u16string& line : g_edict) {
            int32_t n = static_cast<int32_t>(line.size() < out.size() ? line.size() : out.size());
            benchmark::DoNotOptimize(PrepareIndexText(3, out.data(), n, line.data(), n, bits.data()));
        }
    state.SetItemsProcessed(state.iterations() * int64_t(g_edict.size()));
}
BENCHMARK(BM_EdictIndexText)->Unit(benchmark::kMillisecond);

void BM_KanjidicArticles(benchmark::State& state) {
    for (auto _ : state)
        for (const std::u16string& line : g_kanjidic) {
            StyledText text(KanjidicArticleCapacity(static_cast<int32_t>(line.size())));
            StyledWriter out = text.Writer();
            benchmark::DoNotOptimize(FormatKanjidicLine(line, out));
        }
    state.SetItemsProcessed(state.iterations() * int64_t(g_kanjidic.size()));
}
BENCHMARK(BM_KanjidicArticles)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    g_edict = ReadLines("edict");
    g_kanjidic = ReadLines("kanjidic");
    if (!g_edict.empty()) g_edict.erase(g_edict.begin());   // the header line
    std::printf("%zu EDICT entries\n", g_edict.size());
    if (g_edict.empty()) return 1;
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double parse = reporter.times["BM_ParseEdictRecords"], both = reporter.times["BM_ParseAndFormatEdictArticles"];
    if (both > parse && parse > 0)
        std::printf("EDICT articles formatted per second (parse subtracted): %.0f\n",
                    double(g_edict.size()) / ((both - parse) / 1e3));
    benchmark::Shutdown();
    return 0;
}
