// Bulk load and compaction beside SQLite, on Debian's EDICT (reading,
// headword) keys with the same page size, cache size and comparator:
//  - engine mode 1 bulk load (and direct inserts) vs SQLite with journal and
//    sync off in one transaction, as inserts into the indexed table and as a
//    heap followed by CREATE INDEX; keys in file order and shuffled;
//  - compaction vs VACUUM, with the file sizes before and after;
//  - durable single inserts: engine mode 0 vs SQLite rollback journal and WAL,
//    both with full sync, one key and one article per operation.
// Loads run at 10k, 100k, all of EDICT and 1M keys (EDICT then ENAMDICT); the
// closing lines give engine / SQLite per size and order (bulk load against
// heap + CREATE INDEX, direct inserts against the indexed table).
// Each benchmark iteration is one whole run (create, load, close, fsync);
// run with --benchmark_repetitions for medians. Before timing, the full
// bulk-versus-direct differential runs over every EDICT and ENAMDICT key.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "bench/bench_support.h"
#include "bench/sqlite_engine_order.h"
#include "common/collation/collator.h"
#include "common/tests/test_paths.h"
#include "storage/dms.h"
#include "storage/index_keys.h"
#include "storage/tests/edict_keys.h"

namespace {

const char kSchema[] =
    "{File PageSize=4096 {Record Id=0} {Index Id=101 {Segment Type=UString Sort=WK} {Segment Type=UString}}}";

struct Data {
    std::vector<ReadingAndWord> inFileOrder;
    std::vector<ReadingAndWord> shuffled;
    std::string dir = BinaryPath();
    std::u16string enginePath;
    std::string enginePath8;
    std::string sqlitePath;
};

Data& G() {
    static Data* d = [] {
        auto* data = new Data;
        data->inFileOrder = LoadEdictKeys(SIZE_MAX);
        data->shuffled = data->inFileOrder;
        std::shuffle(data->shuffled.begin(), data->shuffled.end(), std::mt19937(2024));
        data->enginePath8 = data->dir + "/bulk_load_bench.qdx";
        data->enginePath = std::u16string(data->enginePath8.begin(), data->enginePath8.end());
        data->sqlitePath = data->dir + "/bulk_load_bench.sqlite";
        return data;
    }();
    return *d;
}

uint64_t FileBytes(const std::string& path) {
    struct stat s{};
    return stat(path.c_str(), &s) == 0 ? static_cast<uint64_t>(s.st_size) : 0;
}

void SyncFile(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

KeySegmentValue Segment(const std::u16string& s) {
    return {const_cast<char16_t*>(s.data()), static_cast<int32_t>(s.size() * 2)};
}

// ---- engine ----

DmsStatus EngineLoad(CDMS& engine, const std::vector<ReadingAndWord>& keys, bool bulk) {
    SystemStorageIO().Delete(G().enginePath);
    DmsStatus st = engine.CreateFile(G().enginePath, kSchema);
    int32_t id = 0;
    uint32_t cursor = 0;
    if (!Failed(st)) st = engine.OpenFile(G().enginePath, 1, kSchema, &id);
    if (!Failed(st)) st = engine.OpenCursor(id, &cursor);
    if (!Failed(st)) st = engine.SelectIndex(cursor, 101);
    if (!Failed(st) && bulk) st = engine.BeginBulkLoad(cursor);
    for (size_t i = 0; i < keys.size() && !Failed(st); ++i) {
        KeySegmentValue values[2] = {Segment(keys[i].first), Segment(keys[i].second)};
        st = engine.InsertKey(cursor, values, {static_cast<uint32_t>(i + 1), 0});
    }
    if (!Failed(st) && bulk) st = engine.EndBulkLoad(cursor);
    DmsStatus closed = id != 0 ? engine.CloseFile(id) : DmsStatus::Success;
    return Failed(st) ? st : closed;
}

DmsStatus EngineCompact(CDMS& engine) {
    int32_t id = 0;
    uint32_t cursor = 0;
    DmsStatus st = engine.OpenFile(G().enginePath, 1, kSchema, &id);
    if (!Failed(st)) st = engine.OpenCursor(id, &cursor);
    if (!Failed(st)) st = engine.Compact(cursor);
    DmsStatus closed = id != 0 ? engine.CloseFile(id) : DmsStatus::Success;
    return Failed(st) ? st : closed;
}

constexpr int64_t kEdictKeys = 267380;
const int64_t kSizes[] = {10000, 100000, kEdictKeys, 1000000};

// The keys of a load: range(0) 0 file order, 1 shuffled; range(2) how many.
const std::vector<ReadingAndWord>& Keys(const benchmark::State& state) {
    static std::map<std::pair<int64_t, int64_t>, std::vector<ReadingAndWord>>* const sets =
        new std::map<std::pair<int64_t, int64_t>, std::vector<ReadingAndWord>>;
    std::vector<ReadingAndWord>& keys = (*sets)[{state.range(0), state.range(2)}];
    if (keys.empty()) {
        keys = LoadEdictAndEnamdictKeys(static_cast<size_t>(state.range(2)));
        if (state.range(0) != 0) std::shuffle(keys.begin(), keys.end(), std::mt19937(2024));
    }
    return keys;
}

void BM_EngineLoad(benchmark::State& state) {
    bool bulk = state.range(1) != 0;
    CDMS engine(SystemStorageIO());
    const std::vector<ReadingAndWord>& keys = Keys(state);  // decoded before the timing starts
    for (auto _ : state) {
        if (Failed(EngineLoad(engine, keys, bulk))) state.SkipWithError("engine load failed");
    }
    state.counters["file_KiB"] = static_cast<double>(FileBytes(G().enginePath8)) / 1024;
    state.counters["keys"] = static_cast<double>(Keys(state).size());
}

void BM_EngineCompact(benchmark::State& state) {
    CDMS engine(SystemStorageIO());
    uint64_t before = 0;
    for (auto _ : state) {
        state.PauseTiming();
        EngineLoad(engine, G().inFileOrder, true);
        before = FileBytes(G().enginePath8);
        state.ResumeTiming();
        if (Failed(EngineCompact(engine))) state.SkipWithError("compaction failed");
    }
    state.counters["before_KiB"] = static_cast<double>(before) / 1024;
    state.counters["after_KiB"] = static_cast<double>(FileBytes(G().enginePath8)) / 1024;
}

// ---- SQLite ----

sqlite3* SqliteOpen(const char* pragmas) {
    std::remove(G().sqlitePath.c_str());
    std::remove((G().sqlitePath + "-journal").c_str());
    std::remove((G().sqlitePath + "-wal").c_str());
    sqlite3* db = nullptr;
    sqlite3_open(G().sqlitePath.c_str(), &db);
    sqlite3_exec(db, "PRAGMA page_size=4096; PRAGMA cache_size=1000; PRAGMA encoding='UTF-16le';", nullptr, nullptr,
                 nullptr);
    sqlite3_exec(db, pragmas, nullptr, nullptr, nullptr);
    sqlite3_create_collation_v2(db, "X", SQLITE_UTF16LE, nullptr, CollateInEngineOrder, nullptr);
    return db;
}

void SqliteInsertAll(sqlite3* db, const char* sql, const std::vector<ReadingAndWord>& keys) {
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &insert, nullptr);
    for (size_t i = 0; i < keys.size(); ++i) {
        sqlite3_bind_text16(insert, 1, keys[i].first.data(), static_cast<int>(keys[i].first.size() * 2), SQLITE_STATIC);
        sqlite3_bind_text16(insert, 2, keys[i].second.data(), static_cast<int>(keys[i].second.size() * 2),
                            SQLITE_STATIC);
        sqlite3_bind_int64(insert, 3, static_cast<int64_t>(i + 1));
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
}

const char kBulkPragmas[] = "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;";
const char kIndexedTable[] =
    "CREATE TABLE k(r TEXT COLLATE X, w TEXT COLLATE X, ref INTEGER, PRIMARY KEY(r, w, ref)) WITHOUT ROWID";

// Variant 0: inserts into the indexed table; 1: a heap, then CREATE INDEX.
void SqliteLoad(const std::vector<ReadingAndWord>& keys, int variant) {
    sqlite3* db = SqliteOpen(kBulkPragmas);
    sqlite3_exec(db, variant == 0 ? kIndexedTable : "CREATE TABLE h(r TEXT, w TEXT, ref INTEGER)", nullptr, nullptr,
                 nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    SqliteInsertAll(db, variant == 0 ? "INSERT INTO k VALUES(?1, ?2, ?3)" : "INSERT INTO h VALUES(?1, ?2, ?3)", keys);
    if (variant == 1) sqlite3_exec(db, "CREATE INDEX hk ON h(r COLLATE X, w COLLATE X, ref)", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    SyncFile(G().sqlitePath);
}

void BM_SqliteLoad(benchmark::State& state) {
    const std::vector<ReadingAndWord>& keys = Keys(state);  // decoded before the timing starts
    for (auto _ : state) SqliteLoad(keys, static_cast<int>(state.range(1)));
    state.counters["file_KiB"] = static_cast<double>(FileBytes(G().sqlitePath)) / 1024;
}

void BM_SqliteVacuum(benchmark::State& state) {
    uint64_t before = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SqliteLoad(G().inFileOrder, 0);
        before = FileBytes(G().sqlitePath);
        state.ResumeTiming();
        sqlite3* db = nullptr;
        sqlite3_open(G().sqlitePath.c_str(), &db);
        sqlite3_create_collation_v2(db, "X", SQLITE_UTF16LE, nullptr, CollateInEngineOrder, nullptr);
        sqlite3_exec(db, kBulkPragmas, nullptr, nullptr, nullptr);
        sqlite3_exec(db, "VACUUM", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        SyncFile(G().sqlitePath);
    }
    state.counters["before_KiB"] = static_cast<double>(before) / 1024;
    state.counters["after_KiB"] = static_cast<double>(FileBytes(G().sqlitePath)) / 1024;
}

// ---- durable single operations: one key and its article each ----

constexpr size_t kDurableOps = 2000;

std::string Article(const ReadingAndWord& k) {
    std::u16string line = k.second + u" [" + k.first + u"] /an article of about this length for the entry/";
    return std::string(reinterpret_cast<const char*>(line.data()), line.size() * 2);
}

void BM_EngineDurableInserts(benchmark::State& state) {
    CDMS engine(SystemStorageIO());
    const auto& keys = G().shuffled;
    for (auto _ : state) {
        SystemStorageIO().Delete(G().enginePath);
        engine.CreateFile(G().enginePath, kSchema);
        int32_t id = 0;
        uint32_t cursor = 0;
        engine.OpenFile(G().enginePath, 0, kSchema, &id);
        engine.OpenCursor(id, &cursor);
        engine.SelectIndex(cursor, 101);
        engine.SelectRecordType(cursor, 0);
        for (size_t i = 0; i < kDurableOps; ++i) {
            std::string article = Article(keys[i]);
            uint32_t position = 0;
            engine.WriteData(cursor, article.data(), static_cast<uint32_t>(article.size()), &position);
            KeySegmentValue values[2] = {Segment(keys[i].first), Segment(keys[i].second)};
            if (Failed(engine.InsertKey(cursor, values, {position, 0}))) state.SkipWithError("insert failed");
        }
        engine.CloseFile(id);
    }
    state.counters["ops"] = static_cast<double>(kDurableOps);
}

// Variant 0: rollback journal (DELETE), 1: WAL; both synchronous=FULL.
void BM_SqliteDurableInserts(benchmark::State& state) {
    const auto& keys = G().shuffled;
    for (auto _ : state) {
        sqlite3* db = SqliteOpen(state.range(0) == 0 ? "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;"
                                                     : "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;");
        sqlite3_exec(db, kIndexedTable, nullptr, nullptr, nullptr);
        sqlite3_exec(db, "CREATE TABLE a(text BLOB)", nullptr, nullptr, nullptr);
        sqlite3_stmt* article = nullptr;
        sqlite3_stmt* key = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO a VALUES(?1)", -1, &article, nullptr);
        sqlite3_prepare_v2(db, "INSERT INTO k VALUES(?1, ?2, ?3)", -1, &key, nullptr);
        for (size_t i = 0; i < kDurableOps; ++i) {
            std::string text = Article(keys[i]);
            sqlite3_bind_blob(article, 1, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
            sqlite3_step(article);
            sqlite3_reset(article);
            sqlite3_bind_text16(key, 1, keys[i].first.data(), static_cast<int>(keys[i].first.size() * 2),
                                SQLITE_STATIC);
            sqlite3_bind_text16(key, 2, keys[i].second.data(), static_cast<int>(keys[i].second.size() * 2),
                                SQLITE_STATIC);
            sqlite3_bind_int64(key, 3, sqlite3_last_insert_rowid(db));
            sqlite3_step(key);
            sqlite3_reset(key);
        }
        sqlite3_finalize(article);
        sqlite3_finalize(key);
        sqlite3_close(db);
        SyncFile(G().sqlitePath);
    }
    state.counters["ops"] = static_cast<double>(kDurableOps);
}

// ---- the differential: every key of EDICT and ENAMDICT, bulk vs direct ----

using Walked = std::vector<std::tuple<std::u16string, std::u16string, uint32_t>>;

Walked Walk(CDMS& engine) {
    Walked out;
    int32_t id = 0;
    uint32_t cursor = 0;
    engine.OpenFile(G().enginePath, 2, kSchema, &id);
    engine.OpenCursor(id, &cursor);
    engine.SelectIndex(cursor, 101);
    char16_t a[300], b[300];
    KeySegmentValue values[2];
    EntryPosition at;
    auto reset = [&] { values[0] = {a, sizeof a}, values[1] = {b, sizeof b}; };
    reset();
    for (DmsStatus st = engine.First(cursor, values, &at); st == DmsStatus::Success;
         reset(), st = engine.Next(cursor, values, &at)) {
        out.emplace_back(std::u16string(a, static_cast<size_t>(values[0].length / 2)),
                         std::u16string(b, static_cast<size_t>(values[1].length / 2)), at.ref.first);
    }
    engine.CloseFile(id);
    return out;
}

void BM_Differential(benchmark::State& state) {
    const char* name = state.range(0) == 0 ? "edict" : "enamdict";
    std::string path = std::string("/usr/share/edict/") + name;
    std::vector<ReadingAndWord> keys = LoadEdictKeys(SIZE_MAX, path.c_str());
    CDMS engine(SystemStorageIO());
    size_t differing = 0;
    for (auto _ : state) {
        EngineLoad(engine, keys, false);
        Walked direct = Walk(engine);
        EngineLoad(engine, keys, true);
        Walked bulk = Walk(engine);
        for (size_t i = 0; i < std::max(direct.size(), bulk.size()); ++i)
            differing += i >= direct.size() || i >= bulk.size() || direct[i] != bulk[i];
        std::fprintf(stderr, "%s: %zu keys, %zu direct, %zu bulk, %zu entries differ\n", name, keys.size(),
                     direct.size(), bulk.size(), differing);
    }
    state.counters["keys"] = static_cast<double>(keys.size());
    state.counters["differing"] = static_cast<double>(differing);
}

BENCHMARK(BM_Differential)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);

BENCHMARK(BM_EngineCompact)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqliteVacuum)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineDurableInserts)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqliteDurableInserts)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Loads: {0 file order | 1 shuffled, 0 direct or indexed table | 1 bulk or heap + CREATE INDEX,
    // keys}; the engine and SQLite of one case one after the other, so both meet the same machine load.
    for (int64_t size : kSizes)
        for (int64_t order : {0, 1})
            for (int64_t way : {1, 0}) {
                benchmark::RegisterBenchmark("BM_EngineLoad", BM_EngineLoad)->Args({order, way, size})->Iterations(1)
                    ->Unit(benchmark::kMillisecond);
                benchmark::RegisterBenchmark("BM_SqliteLoad", BM_SqliteLoad)->Args({order, way, size})->Iterations(1)
                    ->Unit(benchmark::kMillisecond);
            }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (int64_t size : kSizes)
        for (int64_t order : {0, 1})
            for (int64_t way : {1, 0}) {
                const std::string args = "/" + std::to_string(order) + "/" + std::to_string(way) + "/" +
                                         std::to_string(size) + "/iterations:1";
                double engine = reporter.times["BM_EngineLoad" + args], sqlite = reporter.times["BM_SqliteLoad" + args];
                double engineCpu = reporter.cpuTimes["BM_EngineLoad" + args];
                double sqliteCpu = reporter.cpuTimes["BM_SqliteLoad" + args];
                if (engine > 0 && sqlite > 0)
                    std::printf("%s, %lld keys, %s: engine / SQLite %.2f (CPU time %.2f)\n",
                                way ? "bulk load" : "direct inserts", static_cast<long long>(size),
                                order ? "shuffled" : "file order", engine / sqlite, engineCpu / sqliteCpu);
            }
    double compact = reporter.times["BM_EngineCompact/iterations:1"], vacuum = reporter.times["BM_SqliteVacuum/iterations:1"];
    if (compact > 0 && vacuum > 0) std::printf("compaction / VACUUM %.2f\n", compact / vacuum);
    benchmark::Shutdown();
    return 0;
}
