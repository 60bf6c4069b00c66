// The Latin analyser's time per word (it runs on the interface thread, so
// the aim is every word under 10 ms): the distribution over real words with
// the slowest named, then the median word beside one indexed SQLite seek per
// word over the word list's stems as a yardstick.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "latin/analysis_driver.h"
#include "latin/memory_host.h"
#include "latin/tests/collatinus_text.h"

namespace {

struct Discard : LatinWordOutput {
    void ListStems(const char*, ResultList& results) override { count += results.Count(); }
    long count = 0;
};

std::vector<std::string> ReadWords(const std::string& path, char separator) {
    std::vector<std::string> words;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '!') continue;
        for (const std::string& field : Split(line, separator)) {
            if (field.empty()) continue;
            std::string word;
            for (char c : Normal(Split(field, '=')[0])) {
                if (c >= 'a' && c <= 'z') word += c;
            }
            if (word.size() > 1) words.push_back(word);
            if (separator != ' ') break;
        }
    }
    return words;
}

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

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    if (!g_host.LoadFolder(std::string(OSTREL_BINARY_DIR) + "/latin/data", &error)) {
        std::fprintf(stderr, "latin_bench: %s\n", error.c_str());
        return 1;
    }
    g_host.Install();
    LoadLatinData();
    g_words = ReadWords(CollatinusFile("lemmes.la"), '|');
    for (const std::string& w : ReadWords(CollatinusFile("lucretia.txt"), ' ')) g_words.push_back(w);
    for (const std::string& w : ReadWords(std::string(OSTREL_HOST_ROOT) + "/usr/share/dictd/freedict-lat-eng.index", '\t'))
        g_words.push_back(w);
    if (g_words.empty()) {
        std::fprintf(stderr, "latin_bench: collatinus and dict-freedict-lat-eng give no words\n");
        return 1;
    }

    // Every word once, timed alone.
    std::vector<std::pair<double, std::string>> times;
    Discard out;
    for (const std::string& word : g_words) {
        const auto start = std::chrono::steady_clock::now();
        Translate(out, word.c_str());
        times.push_back({std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count(),
                         word});
    }
    std::sort(times.begin(), times.end());
    std::printf("words %zu median %.0f us p99 %.0f us worst %.0f us (%s)\nslowest:", times.size(),
                times[times.size() / 2].first, times[times.size() * 99 / 100].first, times.back().first,
                times.back().second.c_str());
    for (size_t i = times.size(); i-- > 0 && i + 8 >= times.size();)
        std::printf(" %s %.0f us;", times[i].second.c_str(), times[i].first);
    std::printf("\n");

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double medianNs = times[times.size() / 2].first * 1000, seek = reporter.times["BM_SqliteStemSeek"];
    if (seek > 0) std::printf("median word analysis / one SQLite stem seek: %.0f\n", medianNs / seek);
    return 0;
}
