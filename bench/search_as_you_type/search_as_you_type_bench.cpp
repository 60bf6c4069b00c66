// Keystroke-to-page latency: EDICT, ENAMDICT and KANJIDIC (their reading and
// headword keys bulk-loaded into dictionary files) open at once in the
// by-reading list; each keystroke is one Find plus a page of 20 rows read
// from the list. Beside it, SQLite answers the same keystrokes with a prefix
// query for the same page over one table of all three, ordered by the same
// comparator. Median and worst keystroke are reported as counters.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>

#include "bench/sqlite_engine_order.h"
#include "bench/bench_support.h"
#include "bench/dictionary_files.h"
#include "common/collation/collator.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/engine_cursor.h"
#include "dictionary/input_line.h"
#include "dictionary/shelf.h"
#include "dictionary/word_list.h"
#include "storage/dms.h"
#include "storage/index_keys.h"
#include "storage/tests/edict_keys.h"

namespace {

constexpr int32_t kPageRows = 20;

struct Fixture {
    CDMS engine{SystemStorageIO()};
    CInput input;
    std::unique_ptr<CShelf> shelf;
    std::vector<std::u16string> keystrokes;  // prefixes of real readings, as typed
    sqlite3* db = nullptr;
    sqlite3_stmt* page = nullptr;
};
Fixture* g = nullptr;

std::vector<ReadingAndWord> KanjidicKeys() {
    // "K xxxx ... reading ..." -> the first kana reading and the kanji.
    std::vector<std::u16string> lines = ReadEdictField(
        [](const std::string& line) {
            size_t at = line.find(' ');
            while (at != std::string::npos && at + 1 < line.size() &&
                   !(static_cast<uint8_t>(line[at + 1]) == 0xA4 || static_cast<uint8_t>(line[at + 1]) == 0xA5))
                at = line.find(' ', at + 1);
            if (at == std::string::npos || line[0] == '#') return std::string();
            size_t end = line.find(' ', at + 1);
            return line.substr(at + 1, end - at - 1) + " " + line.substr(0, line.find(' '));
        },
        "kanjidic");
    std::vector<ReadingAndWord> keys;
    for (const std::u16string& l : lines) {
        size_t space = l.find(u' ');
        if (space != std::u16string::npos && space > 0) keys.emplace_back(l.substr(0, space), l.substr(space + 1));
    }
    return keys;
}

void Setup() {
    if (g != nullptr) return;
    g = new Fixture;
    g->shelf = std::make_unique<CShelf>(g->engine, nullptr, g->input);
    std::string dir = OSTREL_BINARY_DIR;
    std::u16string folder(dir.begin(), dir.end());
    std::vector<std::vector<ReadingAndWord>> sources = {
        LoadEdictKeys(400000), LoadEdictKeys(800000, OSTREL_HOST_ROOT "/usr/share/edict/enamdict"), KanjidicKeys()};
    const char16_t* names[] = {u"/sayt_edict.qdx", u"/sayt_enamdict.qdx", u"/sayt_kanjidic.qdx"};
    sqlite3_open((dir + "/sayt.sqlite").c_str(), &g->db);
    sqlite3_exec(g->db, "PRAGMA page_size=4096; PRAGMA cache_size=1000; PRAGMA encoding='UTF-16le';"
                        "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; DROP TABLE IF EXISTS k;",
                 nullptr, nullptr, nullptr);
    sqlite3_create_collation_v2(g->db, "X", SQLITE_UTF16LE, nullptr, CollateInEngineOrder, nullptr);
    sqlite3_exec(g->db, "CREATE TABLE k(r TEXT COLLATE X, w TEXT COLLATE X, d INTEGER, ref INTEGER, "
                        "PRIMARY KEY(r, w, d, ref)) WITHOUT ROWID; BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(g->db, "INSERT INTO k VALUES(?1, ?2, ?3, ?4)", -1, &insert, nullptr);
    for (size_t d = 0; d < sources.size(); ++d) {
        MakeKeyDictionary(g->engine, folder + names[d], sources[d]);
        RDFDictionary* dictionary = g->shelf->AddDictionary(kDictionaryStoreDatabase, folder + names[d]);
        dictionary->Open(2);
        for (size_t i = 0; i < sources[d].size(); ++i) {
            const ReadingAndWord& p = sources[d][i];
            sqlite3_bind_text16(insert, 1, p.first.data(), static_cast<int>(p.first.size() * 2), SQLITE_STATIC);
            sqlite3_bind_text16(insert, 2, p.second.data(), static_cast<int>(p.second.size() * 2), SQLITE_STATIC);
            sqlite3_bind_int64(insert, 3, static_cast<int64_t>(d));
            sqlite3_bind_int64(insert, 4, static_cast<int64_t>(i + 1));
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
    }
    sqlite3_finalize(insert);
    sqlite3_exec(g->db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_prepare_v2(g->db, "SELECT r, w FROM k WHERE (r, w) >= (?1, '') ORDER BY r, w, d, ref LIMIT 20", -1,
                       &g->page, nullptr);
    g->shelf->Refresh();
    std::mt19937 random(17);
    const auto& edict = sources[0];
    while (g->keystrokes.size() < 3000) {
        const std::u16string& reading = edict[random() % edict.size()].first;
        for (size_t n = 1; n <= reading.size() && g->keystrokes.size() < 3000; ++n)
            g->keystrokes.push_back(reading.substr(0, n));
    }
    std::fprintf(stderr, "%d rows in the merged list, %zu keystrokes\n", g->shelf->FindView(2)->GetRowCount(),
                 g->keystrokes.size());
}

size_t ListPage(const std::u16string& key) {
    ListViewModel& view = *g->shelf->FindView(2);
    view.SearchText(key, nullptr);
    size_t units = 0;
    for (int32_t row = view.currentRow; row < view.currentRow + kPageRows; ++row) {
        CCursor* cursor = view.model->GetEntry(row);
        if (cursor == nullptr) break;
        units += cursor->FieldText(0).size() + cursor->FieldText(1).size();
    }
    return units;
}

size_t SqlitePage(const std::u16string& key) {
    sqlite3_reset(g->page);
    sqlite3_bind_text16(g->page, 1, key.data(), static_cast<int>(key.size() * 2), SQLITE_STATIC);
    size_t units = 0;
    while (sqlite3_step(g->page) == SQLITE_ROW)
        units += static_cast<size_t>(sqlite3_column_bytes16(g->page, 0) + sqlite3_column_bytes16(g->page, 1)) / 2;
    return units;
}

template <size_t (*Keystroke)(const std::u16string&)>
void Latency(benchmark::State& state) {
    Setup();
    std::vector<double> times;
    for (auto _ : state) {
        times.clear();
        for (const std::u16string& key : g->keystrokes) {
            auto start = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(Keystroke(key));
            times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        }
    }
    std::sort(times.begin(), times.end());
    state.counters["median_us"] = times[times.size() / 2];
    state.counters["worst_us"] = times.back();
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
