// Keystroke-to-page latency: EDICT, ENAMDICT and KANJIDIC as the program
// opens them (compiled by qdxc with its defaults) open at once in the
// by-reading list; each keystroke is one search as you type plus the page of
// 20 rows centred on the current row, as the list shows it. Beside it, SQLite
// answers the same keystrokes with the same centred page (10 rows before the
// key, 10 from it) over one table of the same reading keys of all three,
// ordered by the same comparator. Median, 99th percentile and worst
// keystroke are reported as counters, and the median of each stage: for the
// list the search (stage 1) and the page's rows read (stage 2), for SQLite
// the rows before the key (1) and from it (2).
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "bench/sqlite_engine_order.h"
#include "bench/bench_support.h"
#include "bench/compiled_dictionaries.h"
#include "common/collation/collator.h"
#include "common/tests/test_paths.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/engine_cursor.h"
#include "dictionary/input_line.h"
#include "dictionary/shelf.h"
#include "dictionary/word_list.h"
#include "storage/dms.h"
#include "storage/index_keys.h"

namespace {

constexpr int32_t kPageRows = 20;

// The two stages of a keystroke, each keystroke's times in microseconds:
// the list's search (and the page laid out) and its page's rows read;
// SQLite's 10 rows before the key and the 10 from it.
struct Stages {
    std::vector<double> first, second;
    void Clear() {
        first.clear();
        second.clear();
    }
    void Add(std::chrono::steady_clock::time_point start, std::chrono::steady_clock::time_point middle,
             std::chrono::steady_clock::time_point end) {
        first.push_back(std::chrono::duration<double, std::micro>(middle - start).count());
        second.push_back(std::chrono::duration<double, std::micro>(end - middle).count());
    }
};

double Median(std::vector<double> times) {
    if (times.empty()) return 0;
    std::nth_element(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2), times.end());
    return times[times.size() / 2];
}

struct Fixture {
    CDMS engine{SystemStorageIO()};
    CInput input;
    std::unique_ptr<CShelf> shelf;
    std::vector<std::u16string> keystrokes;  // prefixes of real readings, as typed
    sqlite3* db = nullptr;
    sqlite3_stmt* before = nullptr;  // the 10 rows before the key
    sqlite3_stmt* page = nullptr;    // the 10 rows from it
    Stages stages;                   // of the keystrokes timed last
};
Fixture* g = nullptr;

void Setup() {
    if (g != nullptr) return;
    g = new Fixture;
    g->shelf = std::make_unique<CShelf>(g->engine, nullptr, g->input);
    std::string dir = BinaryPath();
    sqlite3_open((dir + "/sayt.sqlite").c_str(), &g->db);
    sqlite3_exec(g->db, "PRAGMA page_size=4096; PRAGMA cache_size=1000; PRAGMA encoding='UTF-16le';"
                        "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; DROP TABLE IF EXISTS k;",
                 nullptr, nullptr, nullptr);
    sqlite3_create_collation_v2(g->db, "X", SQLITE_UTF16LE, nullptr, CollateInEngineOrder, nullptr);
    sqlite3_exec(g->db, "CREATE TABLE k(r TEXT COLLATE X, w TEXT COLLATE X, d INTEGER, ref INTEGER, "
                        "PRIMARY KEY(r, w, d, ref)) WITHOUT ROWID; BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(g->db, "INSERT INTO k VALUES(?1, ?2, ?3, ?4)", -1, &insert, nullptr);
    std::vector<std::pair<std::u16string, std::u16string>> edictReadings;
    const char* names[] = {"edict", "enamdict", "kanjidic"};
    for (size_t d = 0; d < 3; ++d) {
        const std::u16string file = CompiledDebianDictionary(names[d]);
        if (file.empty()) {
            std::fprintf(stderr, "%s could not be compiled\n", names[d]);
            std::exit(1);
        }
        RDFDictionary* dictionary = g->shelf->AddDictionary(kDictionaryStoreDatabase, file);
        dictionary->Open(2);
        const auto keys = IndexKeys(dictionary, kIndexReadingWord);
        for (size_t i = 0; i < keys.size(); ++i) {
            const auto& [reading, word] = keys[i];
            sqlite3_bind_text16(insert, 1, reading.data(), static_cast<int>(reading.size() * 2), SQLITE_STATIC);
            sqlite3_bind_text16(insert, 2, word.data(), static_cast<int>(word.size() * 2), SQLITE_STATIC);
            sqlite3_bind_int64(insert, 3, static_cast<int64_t>(d));
            sqlite3_bind_int64(insert, 4, static_cast<int64_t>(i + 1));
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        if (d == 0) edictReadings = keys;
    }
    sqlite3_finalize(insert);
    sqlite3_exec(g->db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_prepare_v2(g->db, "SELECT r, w FROM k WHERE (r, w) < (?1, '') ORDER BY r DESC, w DESC, d DESC, "
                       "ref DESC LIMIT 10", -1, &g->before, nullptr);
    sqlite3_prepare_v2(g->db, "SELECT r, w FROM k WHERE (r, w) >= (?1, '') ORDER BY r, w, d, ref LIMIT 10", -1,
                       &g->page, nullptr);
    g->shelf->Refresh();
    std::mt19937 random(17);
    while (g->keystrokes.size() < 3000) {
        const std::u16string& reading = edictReadings[random() % edictReadings.size()].first;
        for (size_t n = 1; n <= reading.size() && g->keystrokes.size() < 3000; ++n)
            g->keystrokes.push_back(reading.substr(0, n));
    }
    std::fprintf(stderr, "%d rows in the merged list, %zu keystrokes\n", g->shelf->FindView(2)->GetRowCount(),
                 g->keystrokes.size());
}

// The page as the list shows it: the current row in the middle, its lines
// read as the painter reads them.
size_t ListPage(const std::u16string& key) {
    ListViewModel& view = *g->shelf->FindView(2);
    const auto start = std::chrono::steady_clock::now();
    view.SearchText(key, nullptr);
    const auto searched = std::chrono::steady_clock::now();
    size_t units = 0;
    for (int32_t line = 0; line < std::min(view.filledLines, kPageRows); ++line) {
        CCursor* cursor = view.ReadRow(view.lines[line].firstRow);
        if (cursor == nullptr) break;
        units += cursor->FieldText(0).size() + cursor->FieldText(1).size();
    }
    view.FollowDroppedRows();
    g->stages.Add(start, searched, std::chrono::steady_clock::now());
    return units;
}

size_t SqliteRows(sqlite3_stmt* query, const std::u16string& key) {
    sqlite3_reset(query);
    sqlite3_bind_text16(query, 1, key.data(), static_cast<int>(key.size() * 2), SQLITE_STATIC);
    size_t units = 0;
    while (sqlite3_step(query) == SQLITE_ROW)
        units += static_cast<size_t>(sqlite3_column_bytes16(query, 0) + sqlite3_column_bytes16(query, 1)) / 2;
    return units;
}

size_t SqlitePage(const std::u16string& key) {
    const auto start = std::chrono::steady_clock::now();
    size_t units = SqliteRows(g->before, key);
    const auto before = std::chrono::steady_clock::now();
    units += SqliteRows(g->page, key);
    g->stages.Add(start, before, std::chrono::steady_clock::now());
    return units;
}

template <size_t (*Keystroke)(const std::u16string&)>
void Latency(benchmark::State& state) {
    Setup();
    std::vector<double> times;
    for (auto _ : state) {
        times.clear();
        g->stages.Clear();
        for (const std::u16string& key : g->keystrokes) {
            auto start = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(Keystroke(key));
            times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        }
    }
    std::sort(times.begin(), times.end());
    state.counters["median_us"] = times[times.size() / 2];
    state.counters["p99_us"] = times[times.size() * 99 / 100];
    state.counters["worst_us"] = times.back();
    state.counters["stage1_median_us"] = Median(g->stages.first);
    state.counters["stage2_median_us"] = Median(g->stages.second);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * g->keystrokes.size()));
}

BENCHMARK_TEMPLATE(Latency, ListPage)->Name("KeystrokeToPage/List")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(Latency, SqlitePage)->Name("KeystrokeToPage/SQLite")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double list = reporter.times["KeystrokeToPage/List"], sqlite = reporter.times["KeystrokeToPage/SQLite"];
    if (list > 0 && sqlite > 0) std::printf("list / SQLite time per keystroke: %.2f\n", list / sqlite);
    return 0;
}
