// Speed of the two collators' Compare over pairs of EDICT readings, and of
// ICU's ucol_strcoll with the root collation on the same pairs, in the same
// process; the closing lines give the ratios (below 1: faster than ICU).
#include <benchmark/benchmark.h>
#include <iconv.h>
#include <unicode/ucol.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "common/collation/xcollator0.h"
#include "common/collation/xcollator1.h"

namespace {

std::vector<std::u16string> g_readings;

// The reading of every EDICT entry (the headword when it has none).
void ReadReadings() {
    g_readings = ReadEdictField([](const std::string& line) {
        size_t open = line.find('['), close = line.find(']');
        return open != std::string::npos && close > open ? line.substr(open + 1, close - open - 1)
                                                         : line.substr(0, line.find(' '));
    });
    // Neighbours in a fixed shuffle make the pairs: most differ early, as in a
    // B-tree descent, some share long prefixes.
    std::mt19937 random(42);
    std::shuffle(g_readings.begin(), g_readings.end(), random);
}

template <typename Compare>
void ComparePairs(benchmark::State& state, Compare compare) {
    for (auto _ : state) {
        for (size_t i = 1; i < g_readings.size(); ++i) {
            benchmark::DoNotOptimize(compare(g_readings[i - 1], g_readings[i]));
        }
    }
    state.SetItemsProcessed(state.iterations() * int64_t(g_readings.size() - 1));
}

void BM_XCollator1Compare(benchmark::State& state) {
    ComparePairs(state, [](const std::u16string& a, const std::u16string& b) {
        return UcaCollator().Compare(a.data(), uint32_t(a.size()), b.data(), uint32_t(b.size()), 0, 1);
    });
}
BENCHMARK(BM_XCollator1Compare)->Unit(benchmark::kMillisecond);

void BM_XCollator0Compare(benchmark::State& state) {
    ComparePairs(state, [](const std::u16string& a, const std::u16string& b) {
        return DictionaryCollator().Compare(a.data(), uint32_t(a.size()), b.data(), uint32_t(b.size()), 0, 1);
    });
}
BENCHMARK(BM_XCollator0Compare)->Unit(benchmark::kMillisecond);

UCollator* g_icu = nullptr;

void BM_IcuStrcoll(benchmark::State& state) {
    ComparePairs(state, [](const std::u16string& a, const std::u16string& b) {
        return ucol_strcoll(g_icu, a.data(), int32_t(a.size()), b.data(), int32_t(b.size()));
    });
}
BENCHMARK(BM_IcuStrcoll)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    ReadReadings();
    UErrorCode status = U_ZERO_ERROR;
    g_icu = ucol_open("", &status);
    if (g_readings.size() < 2 || U_FAILURE(status) || !UcaCollator().LoadTable()) return 1;
    std::printf("%zu EDICT reading pairs\n", g_readings.size() - 1);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double icu = reporter.times["BM_IcuStrcoll"];
    if (icu > 0) {
        std::printf("XCollator1::Compare / ICU ucol_strcoll: %.2f\n", reporter.times["BM_XCollator1Compare"] / icu);
        std::printf("XCollator0::Compare / ICU ucol_strcoll: %.2f\n", reporter.times["BM_XCollator0Compare"] / icu);
    }
    ucol_close(g_icu);
    benchmark::Shutdown();
    return 0;
}
