// The Latin analyser's time per word (it runs on the interface thread: the
// aim is every word under 5 ms, crafted ones too). Over the project's word
// list and the one converted from collatinus, each in memory: the median and
// the worst of real words (collatinus's lemmas and sample text, freedict's
// Latin headwords) and of crafted non-words, the slowest named; then the
// median word beside one indexed SQLite seek per word over the project
// list's stems as a yardstick.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/latin/latin_word_timing.h"
#include "common/tests/test_files.h"
#include "latin/analysis_driver.h"
#include "latin/memory_host.h"

namespace {

struct Discard : LatinWordOutput {
    void ListStems(const char*, ResultList& results) override { count += results.Count(); }
    long count = 0;
};

MemoryLatinHost g_host;
std::vector<std::string> g_words;

void BM_AnalyseWord(benchmark::State& state) {
    Discard out;
    size_t i = 0;
    for (auto _ : state) {
        Translate(out, g_words[i++ % g_words.size()].c_str());
    }
    benchmark::DoNotOptimize(out.count);
}
BENCHMARK(BM_AnalyseWord);

struct Sqlite {
    sqlite3* db = nullptr;
    sqlite3_stmt* seek = nullptr;
    ~Sqlite() {
        sqlite3_finalize(seek);
        sqlite3_close(db);
    }
};

void BM_SqliteStemSeek(benchmark::State& state) {
    Sqlite s;
    sqlite3_open(":memory:", &s.db);
    sqlite3_exec(s.db, "CREATE TABLE stems(stem TEXT, line TEXT, PRIMARY KEY(stem, line)) WITHOUT ROWID", nullptr,
                 nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(s.db, "INSERT OR IGNORE INTO stems VALUES(?, ?)", -1, &insert, nullptr);
    for (const auto& stem : g_host.StemIndex()) {
        sqlite3_bind_text(insert, 1, stem.stem.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, stem.line.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_prepare_v2(s.db, "SELECT line FROM stems WHERE stem >= ? ORDER BY stem LIMIT 1", -1, &s.seek, nullptr);
    size_t i = 0, found = 0;
    for (auto _ : state) {
        const std::string& word = g_words[i++ % g_words.size()];
        sqlite3_bind_text(s.seek, 1, word.c_str(), -1, SQLITE_STATIC);
        found += sqlite3_step(s.seek) == SQLITE_ROW;
        sqlite3_reset(s.seek);
    }
    benchmark::DoNotOptimize(found);
}
BENCHMARK(BM_SqliteStemSeek);

// Real and crafted words timed over the word list in `folder`; the median
// real word into `median`.
bool TimeWordList(const std::string& folder, const char* name, double* median = nullptr) {
    MemoryLatinHost host;
    std::string error;
    if (!host.LoadFolder(folder, &error)) {
        std::fprintf(stderr, "latin_bench: %s\n", error.c_str());
        return false;
    }
    host.Install();
    LoadLatinData();
    Discard out;
    auto analyse = [&out](const std::string& word) { Translate(out, word.c_str()); };
    const WordTimes real = TimeWords(g_words, analyse);
    real.Print((std::string(name) + ", real words").c_str());
    if (median != nullptr) *median = real.Median();
    TimeWords(CraftedWords(), analyse, 5).Print((std::string(name) + ", crafted words").c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    g_words = ReadWords(CollatinusFile("lemmes.la"), '|');
    for (const std::string& w : ReadWords(CollatinusFile("lucretia.txt"), ' ')) g_words.push_back(w);
    for (const std::string& w : ReadWords(std::string(OSTREL_HOST_ROOT) + "/usr/share/dictd/freedict-lat-eng.index", '\t'))
        g_words.push_back(w);
    if (g_words.empty()) {
        std::fprintf(stderr, "latin_bench: collatinus and dict-freedict-lat-eng give no words\n");
        return 1;
    }
    double median = 0;
    if (!TimeWordList(kLatinData, "the project's word list", &median)) return 1;
    {
        ScratchFolder folder("latin-bench-converted");
        if (LayOutConvertedWordList(folder.path()))
            TimeWordList(folder.path().string(), "the word list converted from collatinus");
    }

    std::string error;
    if (!g_host.LoadFolder(kLatinData, &error)) {
        std::fprintf(stderr, "latin_bench: %s\n", error.c_str());
        return 1;
    }
    g_host.Install();
    LoadLatinData();

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double medianNs = median * 1000, seek = reporter.times["BM_SqliteStemSeek"];
    if (seek > 0) std::printf("median word analysis / one SQLite stem seek: %.0f\n", medianNs / seek);
    return 0;
}
