// Keystroke-to-page latency: EDICT, ENAMDICT and KANJIDIC as the program
// opens them (compiled by qdxc with its defaults) open at once in the
// by-reading list; each keystroke is one search as you type plus the page of
// 20 rows centred on the current row, as the list shows it. Beside it, SQLite
// answers the same keystrokes with the same centred page (10 rows before the
// key, 10 from it) over one table of the same reading keys of all three,
// ordered by the same comparator; a reading typed whole is centred, on both
// sides, on its preferred spelling (dictionary/spelling_preference.h: the
// rows of exactly that reading walked, the same choice made of them). Median, 99th percentile and worst
// keystroke are reported as counters, and the median of each stage: for the
// list the search (stage 1) and the page's rows read (stage 2), for SQLite
// the rows before the key (1) and from it (2).
// Before any timing both sides must show the same rows for every keystroke
// (the bench stops otherwise), and the work of one pass over the keystrokes
// is counted on each side and printed for the bench pass (work_counts.h):
// pages asked of the cache and read, key compares, heap allocations.
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
#include "bench/work_counts.h"
#include "common/collation/collator.h"
#include "common/tests/test_paths.h"
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/engine_cursor.h"
#include "dictionary/input_line.h"
#include "dictionary/shelf.h"
#include "dictionary/spelling_preference.h"
#include "dictionary/word_list.h"
#include "japanese/everyday_spellings.h"
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
    sqlite3_stmt* page = nullptr;    // the rows from it, read as far as needed
    uint64_t sqliteCompares = 0;     // by the collation SQLite is given
    size_t onLaterSpelling = 0;      // SQLite's pages centred past the key's first row
    Stages stages;                   // of the keystrokes timed last
};
Fixture* g = nullptr;

void Setup() {
    if (g != nullptr) return;
    g = new Fixture;
    g->shelf = std::make_unique<CShelf>(g->engine, nullptr, g->input);
    std::string dir = BinaryPath();
    CountSqliteAllocations();
    sqlite3_open((dir + "/sayt.sqlite").c_str(), &g->db);
    sqlite3_exec(g->db, "PRAGMA page_size=4096; PRAGMA cache_size=1000; PRAGMA encoding='UTF-16le';"
                        "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; DROP TABLE IF EXISTS k;",
                 nullptr, nullptr, nullptr);
    sqlite3_create_collation_v2(g->db, "X", SQLITE_UTF16LE, &g->sqliteCompares, CollateInEngineOrder, nullptr);
    // c: the dictionary marks the spelling common (its key's reference flag).
    sqlite3_exec(g->db, "CREATE TABLE k(r TEXT COLLATE X, w TEXT COLLATE X, d INTEGER, ref INTEGER, c INTEGER, "
                        "PRIMARY KEY(r, w, d, ref)) WITHOUT ROWID; BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(g->db, "INSERT INTO k VALUES(?1, ?2, ?3, ?4, ?5)", -1, &insert, nullptr);
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
        CCursor cursor(dictionary, kIndexReadingWord);
        int64_t number = 0;
        for (DmsStatus s = cursor.MoveFirst(); s == DmsStatus::Success; s = cursor.Next()) {
            const std::u16string reading(cursor.FieldText(0)), word(cursor.FieldText(1));
            sqlite3_bind_text16(insert, 1, reading.data(), static_cast<int>(reading.size() * 2), SQLITE_TRANSIENT);
            sqlite3_bind_text16(insert, 2, word.data(), static_cast<int>(word.size() * 2), SQLITE_TRANSIENT);
            sqlite3_bind_int64(insert, 3, static_cast<int64_t>(d));
            sqlite3_bind_int64(insert, 4, ++number);
            sqlite3_bind_int(insert, 5, IsCommonWordReference(cursor.position.ref.second) ? 1 : 0);
            sqlite3_step(insert);
            sqlite3_reset(insert);
            if (d == 0) edictReadings.emplace_back(reading, word);
        }
    }
    sqlite3_finalize(insert);
    sqlite3_exec(g->db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_prepare_v2(g->db, "SELECT r, w FROM k WHERE (r, w) < (?1, '') ORDER BY r DESC, w DESC, d DESC, "
                       "ref DESC LIMIT 10", -1, &g->before, nullptr);
    sqlite3_prepare_v2(g->db, "SELECT r, w, c FROM k WHERE (r, w) >= (?1, '') ORDER BY r, w, d, ref", -1, &g->page,
                       nullptr);
    g->shelf->Refresh();
    g->shelf->FindView(2)->model->spellingPreference = &ostrel::japanese::EverydaySpellings();
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

// The rows each side shows for `key`, (reading, word) from the page's top.
using PageRows = std::vector<std::pair<std::u16string, std::u16string>>;

std::u16string ColumnText(sqlite3_stmt* query, int column) {
    return std::u16string(static_cast<const char16_t*>(sqlite3_column_text16(query, column)),
                          static_cast<size_t>(sqlite3_column_bytes16(query, column)) / 2);
}

// SQLite's centred page for `key`: the 10 rows before the key, read
// backwards, and the rows from it. A reading typed whole is walked as the
// list walks it; the page is then the 10 rows before the spelling chosen
// and the 10 from it. `before` is how many rows lie before that row.
PageRows SqliteCentredPage(const std::u16string& key, size_t& before) {
    const auto start = std::chrono::steady_clock::now();
    PageRows rows;
    sqlite3_reset(g->before);
    sqlite3_bind_text16(g->before, 1, key.data(), static_cast<int>(key.size() * 2), SQLITE_STATIC);
    while (sqlite3_step(g->before) == SQLITE_ROW) rows.emplace_back(ColumnText(g->before, 0), ColumnText(g->before, 1));
    std::reverse(rows.begin(), rows.end());
    const size_t fromKey = rows.size();
    const auto middle = std::chrono::steady_clock::now();
    sqlite3_reset(g->page);
    sqlite3_bind_text16(g->page, 1, key.data(), static_cast<int>(key.size() * 2), SQLITE_STATIC);
    SpellingWalk walk(g->shelf->FindView(2)->model->spellingPreference, key);
    bool walking = SpellingWalk::Walks(key);
    size_t chosen = 0;  // counted from the key
    while ((walking || rows.size() < fromKey + chosen + 10) && sqlite3_step(g->page) == SQLITE_ROW) {
        rows.emplace_back(ColumnText(g->page, 0), ColumnText(g->page, 1));
        if (!walking) continue;
        walking = rows.back().first == key && walk.Take(rows.back().second, sqlite3_column_int(g->page, 2) != 0);
        chosen = static_cast<size_t>(walk.Chosen());
    }
    if (chosen > 0) ++g->onLaterSpelling;
    before = std::min<size_t>(fromKey + chosen, 10);
    rows.erase(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(fromKey + chosen - before));
    rows.resize(std::min<size_t>(rows.size(), before + 10));
    g->stages.Add(start, middle, std::chrono::steady_clock::now());
    return rows;
}

size_t SqlitePage(const std::u16string& key) {
    size_t before = 0, units = 0;
    for (const auto& [reading, word] : SqliteCentredPage(key, before)) units += reading.size() + word.size();
    return units;
}

PageRows ListRows(const std::u16string& key) {
    ListViewModel& view = *g->shelf->FindView(2);
    view.SearchText(key, nullptr);
    PageRows rows;
    for (int32_t line = 0; line < std::min(view.filledLines, kPageRows); ++line) {
        CCursor* cursor = view.ReadRow(view.lines[line].firstRow);
        if (cursor == nullptr) break;
        rows.emplace_back(cursor->FieldText(0), cursor->FieldText(1));
    }
    view.FollowDroppedRows();
    return rows;
}

// How the list's page lies on SQLite's rows, when it does: the rows both
// show are the same, with the list's current row at SQLite's first row from
// the key (`step` 0) or at the row before it (-1: the list's closer
// neighbour rule, which prefers the row before when it shares as long a
// beginning with the key, as ちり 智利 does with チリ). Near the first row the
// list's page runs from its top, where SQLite's has fewer rows before the key.
bool PagesAgree(const PageRows& list, size_t current, const PageRows& sqlite, size_t before, int step) {
    size_t shared = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        const std::ptrdiff_t j = static_cast<std::ptrdiff_t>(i + before) - static_cast<std::ptrdiff_t>(current) + step;
        if (j < 0 || j >= static_cast<std::ptrdiff_t>(sqlite.size())) continue;
        if (list[i] != sqlite[static_cast<size_t>(j)]) return false;
        ++shared;
    }
    return shared > 0 && shared + 1 >= std::min(list.size(), sqlite.size());
}

// Before any timing: both sides show the same rows for every keystroke,
// the keys whose current row the closer neighbour rule moves counted apart.
// Then the work of one pass over the keystrokes on each side, counted.
// False when a page differs.
bool CheckPagesAndCountWork() {
    size_t differing = 0, neighbour = 0;
    ListViewModel& view = *g->shelf->FindView(2);
    g->onLaterSpelling = 0;
    for (const std::u16string& key : g->keystrokes) {
        size_t before = 0;
        const PageRows list = ListRows(key), sqlite = SqliteCentredPage(key, before);
        const size_t current = static_cast<size_t>(std::max(0, view.currentRow - view.lines[0].firstRow));
        if (PagesAgree(list, current, sqlite, before, 0)) continue;
        if (PagesAgree(list, current, sqlite, before, -1)) {
            ++neighbour;
            continue;
        }
        if (++differing <= 5) {
            std::fprintf(stderr, "keystroke %s: the list's current row is %s %s, SQLite's %s %s\n", Utf16ToUtf8(key).c_str(),
                         current < list.size() ? Utf16ToUtf8(list[current].first).c_str() : "-",
                         current < list.size() ? Utf16ToUtf8(list[current].second).c_str() : "-",
                         before < sqlite.size() ? Utf16ToUtf8(sqlite[before].first).c_str() : "-",
                         before < sqlite.size() ? Utf16ToUtf8(sqlite[before].second).c_str() : "-");
        }
    }
    if (differing > 0) {
        std::fprintf(stderr, "%zu of %zu keystrokes show different pages: not timed\n", differing, g->keystrokes.size());
        return false;
    }
    std::printf("every one of %zu keystrokes shows the same rows on both sides; on %zu the list's current row is the "
                "row before SQLite's (its closer neighbour rule); on %zu a reading typed whole stands past its "
                "first row, on its preferred spelling\n", g->keystrokes.size(), neighbour, g->onLaterSpelling);
    const double keys = static_cast<double>(g->keystrokes.size());
    const EngineWork ours = EngineWork::Now(g->engine);
    for (const std::u16string& key : g->keystrokes) benchmark::DoNotOptimize(ListPage(key));
    EngineWork::Now(g->engine).Since(ours).Print("list", "keystroke", keys);
    const SqliteWork peer = SqliteWork::Now(g->db, g->sqliteCompares);
    for (const std::u16string& key : g->keystrokes) benchmark::DoNotOptimize(SqlitePage(key));
    SqliteWork::Now(g->db, g->sqliteCompares).Since(peer).Print("SQLite", "keystroke", keys);
    std::fflush(stdout);
    return true;
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
    Setup();
    if (!CheckPagesAndCountWork()) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double list = reporter.times["KeystrokeToPage/List"], sqlite = reporter.times["KeystrokeToPage/SQLite"];
    if (list > 0 && sqlite > 0) std::printf("list / SQLite time per keystroke: %.2f\n", list / sqlite);
    return 0;
}
