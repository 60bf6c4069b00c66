// The EUC-JP reading path (EUC-JP -> Shift-JIS -> UTF-16) over all of EDICT,
// each step beside iconv on the same bytes; compare the bytes_per_second of
// each pair for the ratio.
#include <benchmark/benchmark.h>

#include <vector>

#include "common/tests/edict_files.h"
#include "common/tests/iconv_converter.h"
#include "common/text/japanese_code_pages.h"

namespace {

const std::vector<uint8_t>& Edict() {
    static const std::vector<uint8_t> bytes = ReadEdictFile("edict");
    return bytes;
}

const std::vector<uint8_t>& EdictShiftJis() {
    static const std::vector<uint8_t> bytes = [] {
        std::vector<uint8_t> b = Edict();
        b.resize(static_cast<size_t>(EucJpToShiftJis(b.data(), b.data(), static_cast<int32_t>(b.size()))));
        return b;
    }();
    return bytes;
}

void BM_EucJpToShiftJis(benchmark::State& state) {
    const std::vector<uint8_t>& euc = Edict();
    if (euc.empty()) return state.SkipWithError("edict is not installed");
    std::vector<uint8_t> out(euc.size());
    for (auto _ : state) {
        int32_t n = EucJpToShiftJis(euc.data(), out.data(), static_cast<int32_t>(euc.size()));
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * euc.size()));
}
BENCHMARK(BM_EucJpToShiftJis)->Unit(benchmark::kMillisecond);

// iconv cannot map JIS X 0212 to Shift-JIS; //TRANSLIT lets it go past them.
void BM_IconvEucJpToShiftJis(benchmark::State& state) {
    const std::vector<uint8_t>& euc = Edict();
    if (euc.empty()) return state.SkipWithError("edict is not installed");
    Iconv iconv("SHIFT_JIS//TRANSLIT", "EUC-JP");
    if (!iconv.Ok()) return state.SkipWithError("iconv has no EUC-JP to Shift-JIS converter");
    std::vector<uint8_t> out(euc.size() * 2);
    for (auto _ : state) benchmark::DoNotOptimize(iconv.ConvertInto(euc, out));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * euc.size()));
}
BENCHMARK(BM_IconvEucJpToShiftJis)->Unit(benchmark::kMillisecond);

void BM_DecodeCodePage932(benchmark::State& state) {
    const std::vector<uint8_t>& sjis = EdictShiftJis();
    if (sjis.empty()) return state.SkipWithError("edict is not installed");
    std::vector<char16_t> out(sjis.size());
    for (auto _ : state) {
        int32_t n = DecodeCodePage932(sjis.data(), static_cast<int32_t>(sjis.size()), out.data(),
                                      static_cast<int32_t>(out.size()));
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sjis.size()));
}
BENCHMARK(BM_DecodeCodePage932)->Unit(benchmark::kMillisecond);

void BM_IconvCodePage932ToUtf16(benchmark::State& state) {
    const std::vector<uint8_t>& sjis = EdictShiftJis();
    if (sjis.empty()) return state.SkipWithError("edict is not installed");
    Iconv iconv("UTF-16LE", "CP932");
    if (!iconv.Ok()) return state.SkipWithError("iconv has no CP932 converter");
    std::vector<uint8_t> out(sjis.size() * 2 + 16);
    for (auto _ : state) benchmark::DoNotOptimize(iconv.ConvertInto(sjis, out));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sjis.size()));
}
BENCHMARK(BM_IconvCodePage932ToUtf16)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
