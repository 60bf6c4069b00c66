// Speed of MakeSearchKey over every EDICT headword, and of ICU's NFKD
// followed by lower-casing of the same strings, run in the same process; the
// closing line gives the ratio (below 1: faster than the peer).
#include <benchmark/benchmark.h>
#include <iconv.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "common/unicode/search_key.h"

namespace {

std::vector<std::u16string> g_headwords;

void ReadHeadwords() {
    g_headwords = ReadEdictField([](const std::string& line) { return line.substr(0, line.find(' ')); });
}

void BM_MakeSearchKey(benchmark::State& state) {
    std::vector<char16_t> key(1024);
    for (auto _ : state)
        for (const std::u16string& word : g_headwords) {
            benchmark::DoNotOptimize(MakeSearchKey(word, key));
            benchmark::ClobberMemory();
        }
    state.SetItemsProcessed(state.iterations() * int64_t(g_headwords.size()));
}
BENCHMARK(BM_MakeSearchKey)->Unit(benchmark::kMillisecond);

void BM_IcuNfkdLowerCase(benchmark::State& state) {
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfkd = unorm2_getNFKDInstance(&status);
    std::vector<UChar> decomposed(1024), lower(1024);
    for (auto _ : state)
        for (const std::u16string& word : g_headwords) {
            UErrorCode s = U_ZERO_ERROR;
            int32_t n = unorm2_normalize(nfkd, word.data(), int32_t(word.size()), decomposed.data(),
                                         int32_t(decomposed.size()), &s);
            benchmark::DoNotOptimize(u_strToLower(lower.data(), int32_t(lower.size()),
                                                  decomposed.data(), n, "", &s));
            benchmark::ClobberMemory();
        }
    state.SetItemsProcessed(state.iterations() * int64_t(g_headwords.size()));
}
BENCHMARK(BM_IcuNfkdLowerCase)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    ReadHeadwords();
    std::printf("%zu EDICT headwords\n", g_headwords.size());
    std::vector<char16_t> probe(8);
    if (g_headwords.empty() || MakeSearchKey(u"Caf\u00E9", probe) != 4) return 1;  // tables linked in
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double ours = reporter.times["BM_MakeSearchKey"], peer = reporter.times["BM_IcuNfkdLowerCase"];
    if (ours > 0 && peer > 0)
        std::printf("MakeSearchKey / ICU NFKD + lower case: %.2f\n", ours / peer);
    benchmark::Shutdown();
    return 0;
}
