// Index seeks and ordered scans over Debian's EDICT (reading, headword) keys:
// the engine's counted B-tree beside SQLite on the same keys in a WITHOUT
// ROWID table with the same page size and cache size and the same comparator
// registered as its collation, SQLite's reads inside one read transaction.
// Seeks run at 10k, 100k, all of EDICT and 1M keys (EDICT then ENAMDICT);
// the closing lines give engine / SQLite per size (run with
// --benchmark_repetitions=5 for medians). Before timing, every probe's answer
// is compared between the two; the counters give comparisons per seek.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/sqlite_engine_order.h"
#include "common/collation/collator.h"
#include "common/tests/test_paths.h"
#include "storage/dms.h"
#include "storage/index_keys.h"
#include "storage/tests/edict_keys.h"

namespace {

const char kSchema[] = "{File PageSize=4096 {Index Id=101 {Segment Type=UString Sort=WK} {Segment Type=UString}}}";

struct Fixture {
    std::vector<ReadingAndWord> pairs;
    std::vector<ReadingAndWord> probes;  // 80 % present keys, 20 % one unit changed
    std::u16string enginePath;
    std::string sqlitePath;
    CDMS* engine = nullptr;
    int32_t fileId = 0;
    uint32_t cursor = 0;
    sqlite3* db = nullptr;
    sqlite3_stmt* seek = nullptr;
    uint64_t sqliteComparisons = 0;
    size_t mismatches = 0;
};

constexpr int64_t kEdictKeys = 267380;
const int64_t kSizes[] = {10000, 100000, kEdictKeys, 1000000};

Fixture* g = nullptr;   // the fixture of the benchmark running

uint32_t EngineSeek(const ReadingAndWord& key) {
    std::u16string empty;
    KeySegmentValue values[2] = {{const_cast<char16_t*>(key.first.data()), static_cast<int32_t>(key.first.size() * 2)},
                                 {empty.data(), 0}};
    EntryPosition pos;
    if (g->engine->SeekGreaterOrEqual(g->cursor, values, nullptr, &pos) != DmsStatus::Success) return 0;
    return pos.ref.first;
}

uint32_t SqliteSeek(const ReadingAndWord& key) {
    sqlite3_reset(g->seek);
    sqlite3_bind_text16(g->seek, 1, key.first.data(), static_cast<int>(key.first.size() * 2), SQLITE_STATIC);
    if (sqlite3_step(g->seek) != SQLITE_ROW) return 0;
    return static_cast<uint32_t>(sqlite3_column_int64(g->seek, 2));
}

// Makes (once per size) the engine file and the SQLite database of the
// first `count` keys and makes it the one the benchmark uses.
void Setup(int64_t count) {
    static std::map<int64_t, Fixture*>* const fixtures = new std::map<int64_t, Fixture*>;
    Fixture*& slot = (*fixtures)[count];
    if (slot != nullptr) {
        g = slot;
        return;
    }
    g = slot = new Fixture;
    g->pairs = LoadEdictAndEnamdictKeys(static_cast<size_t>(count));
    std::mt19937 random(2024);
    for (int i = 0; i < 100000 && !g->pairs.empty(); ++i) {
        ReadingAndWord p = g->pairs[random() % g->pairs.size()];
        if (random() % 5 == 0 && !p.first.empty()) p.first[random() % p.first.size()] += 1;
        g->probes.push_back(p);
    }
    std::string stem = BinaryPath("/index_bench_") + std::to_string(count);
    g->enginePath = std::u16string(stem.begin(), stem.end()) + u".qdx";
    g->sqlitePath = stem + ".sqlite";
    SystemStorageIO().Delete(g->enginePath);
    std::remove(g->sqlitePath.c_str());

    g->engine = new CDMS(SystemStorageIO());
    g->engine->CreateFile(g->enginePath, kSchema);
    g->engine->OpenFile(g->enginePath, 1, kSchema, &g->fileId);
    g->engine->OpenCursor(g->fileId, &g->cursor);
    g->engine->SelectIndex(g->cursor, 101);
    for (size_t i = 0; i < g->pairs.size(); ++i) {
        const ReadingAndWord& p = g->pairs[i];
        KeySegmentValue values[2] = {{const_cast<char16_t*>(p.first.data()), static_cast<int32_t>(p.first.size() * 2)},
                                     {const_cast<char16_t*>(p.second.data()), static_cast<int32_t>(p.second.size() * 2)}};
        g->engine->InsertKey(g->cursor, values, {static_cast<uint32_t>(i + 1), 0});
    }
    g->engine->CloseFile(g->fileId);
    g->engine->OpenFile(g->enginePath, 2, kSchema, &g->fileId);
    g->engine->OpenCursor(g->fileId, &g->cursor);
    g->engine->SelectIndex(g->cursor, 101);

    sqlite3_open(g->sqlitePath.c_str(), &g->db);
    sqlite3_exec(g->db, "PRAGMA page_size=4096; PRAGMA cache_size=1000; PRAGMA encoding='UTF-16le';"
                        "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;", nullptr, nullptr, nullptr);
    sqlite3_create_collation_v2(g->db, "X", SQLITE_UTF16LE, &g->sqliteComparisons, CollateInEngineOrder, nullptr);
    sqlite3_exec(g->db, "CREATE TABLE k(r TEXT COLLATE X, w TEXT COLLATE X, ref INTEGER, PRIMARY KEY(r, w, ref))"
                        " WITHOUT ROWID; BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(g->db, "INSERT INTO k VALUES(?1, ?2, ?3)", -1, &insert, nullptr);
    for (size_t i = 0; i < g->pairs.size(); ++i) {
        const ReadingAndWord& p = g->pairs[i];
        sqlite3_bind_text16(insert, 1, p.first.data(), static_cast<int>(p.first.size() * 2), SQLITE_STATIC);
        sqlite3_bind_text16(insert, 2, p.second.data(), static_cast<int>(p.second.size() * 2), SQLITE_STATIC);
        sqlite3_bind_int64(insert, 3, static_cast<int64_t>(i + 1));
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(g->db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_prepare_v2(g->db, "SELECT r, w, ref FROM k WHERE (r, w) >= (?1, '') ORDER BY r, w LIMIT 1", -1,
                       &g->seek, nullptr);
    // Every probe's answer, compared: the benchmark doubles as a differential test.
    for (const ReadingAndWord& p : g->probes) {
        if (EngineSeek(p) != SqliteSeek(p)) ++g->mismatches;
    }
    std::fprintf(stderr, "%zu keys, %zu probes, %zu answers differ\n", g->pairs.size(), g->probes.size(),
                 g->mismatches);
}

void BM_EngineSeek(benchmark::State& state) {
    Setup(state.range(0));
    uint64_t before = IndexKeyFormat::Comparisons();
    const uint32_t loadsBefore = g->engine->GetCacheCounters().loads;
    for (auto _ : state) {
        for (const ReadingAndWord& p : g->probes) benchmark::DoNotOptimize(EngineSeek(p));
    }
    double seeks = static_cast<double>(state.iterations()) * static_cast<double>(g->probes.size());
    state.counters["cmp/seek"] = static_cast<double>(IndexKeyFormat::Comparisons() - before) / seeks;
    state.counters["reads/seek"] = static_cast<double>(g->engine->GetCacheCounters().loads - loadsBefore) / seeks;
    state.counters["mismatches"] = static_cast<double>(g->mismatches);
    state.SetItemsProcessed(static_cast<int64_t>(seeks));
}

void BM_SqliteSeek(benchmark::State& state) {
    Setup(state.range(0));
    uint64_t before = g->sqliteComparisons;
    // One read transaction over all seeks, as a reader of a dictionary would
    // hold it: without it every statement takes and drops the file's lock.
    sqlite3_exec(g->db, "BEGIN", nullptr, nullptr, nullptr);
    int missesBefore = 0, unused = 0;
    sqlite3_db_status(g->db, SQLITE_DBSTATUS_CACHE_MISS, &missesBefore, &unused, 0);
    for (auto _ : state) {
        for (const ReadingAndWord& p : g->probes) benchmark::DoNotOptimize(SqliteSeek(p));
    }
    int missesAfter = 0;
    sqlite3_db_status(g->db, SQLITE_DBSTATUS_CACHE_MISS, &missesAfter, &unused, 0);
    sqlite3_exec(g->db, "COMMIT", nullptr, nullptr, nullptr);
    double seeks = static_cast<double>(state.iterations()) * static_cast<double>(g->probes.size());
    state.counters["cmp/seek"] = static_cast<double>(g->sqliteComparisons - before) / seeks;
    state.counters["reads/seek"] = static_cast<double>(missesAfter - missesBefore) / seeks;
    state.SetItemsProcessed(static_cast<int64_t>(seeks));
}

void BM_EngineScan(benchmark::State& state) {
    Setup(kEdictKeys);
    int64_t rows = 0;
    for (auto _ : state) {
        EntryPosition pos;
        for (DmsStatus st = g->engine->First(g->cursor, nullptr, &pos); st == DmsStatus::Success;
             st = g->engine->Next(g->cursor, nullptr, &pos))
            ++rows;
    }
    state.SetItemsProcessed(rows);
}

void BM_SqliteScan(benchmark::State& state) {
    Setup(kEdictKeys);
    sqlite3_exec(g->db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* scan = nullptr;
    sqlite3_prepare_v2(g->db, "SELECT r, w, ref FROM k ORDER BY r, w, ref", -1, &scan, nullptr);
    int64_t rows = 0;
    for (auto _ : state) {
        sqlite3_reset(scan);
        while (sqlite3_step(scan) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_int64(scan, 2));
            ++rows;
        }
    }
    sqlite3_finalize(scan);
    sqlite3_exec(g->db, "COMMIT", nullptr, nullptr, nullptr);
    state.SetItemsProcessed(rows);
}

// Engine only: the counted tree moves to an ordinal in O(log n).
void BM_EngineMoveToOrdinal(benchmark::State& state) {
    Setup(kEdictKeys);
    std::mt19937 random(5);
    uint32_t n = static_cast<uint32_t>(g->pairs.size());
    for (auto _ : state) {
        EntryPosition pos;
        benchmark::DoNotOptimize(g->engine->MoveToOrdinal(g->cursor, random() % n, nullptr, &pos));
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_EngineScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqliteScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineMoveToOrdinal);

}  // namespace

int main(int argc, char** argv) {
    // The two peers of one size run one after the other, so both meet the same machine load.
    for (int64_t size : kSizes) {
        benchmark::RegisterBenchmark("BM_EngineSeek", BM_EngineSeek)->Arg(size)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_SqliteSeek", BM_SqliteSeek)->Arg(size)->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (int64_t size : kSizes) {
        const std::string arg = "/" + std::to_string(size);
        double engine = reporter.times["BM_EngineSeek" + arg], sqlite = reporter.times["BM_SqliteSeek" + arg];
        double engineCpu = reporter.cpuTimes["BM_EngineSeek" + arg], sqliteCpu = reporter.cpuTimes["BM_SqliteSeek" + arg];
        if (engine > 0 && sqlite > 0)
            std::printf("seek, %lld keys: engine / SQLite %.2f (CPU time %.2f)\n", static_cast<long long>(size),
                        engine / sqlite, engineCpu / sqliteCpu);
    }
    benchmark::Shutdown();
    return 0;
}
