// The full-text index over Debian's EDICT: compile time with and without
// the full-text steps, the file sizes, and query latency (median and worst
// over a few hundred queries of common and rare words, AND queries and
// phrases) beside SQLite FTS5 over the same article texts in the same run,
// both as plain matches and as the best 2000 by rank (what our search does).
//   full_text_bench [WORK_FOLDER] [EVERY_NTH_LINE] [ROUNDS]
// More rounds repeat the queries, so that a profile of the run shows them.
#include "bench/bench_support.h"

#include "common/tests/edict_files.h"
#include "import/tests/full_text_files.h"
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/engine_cursor.h"
#include "dictionary/format_detection.h"
#include "dictionary/full_text_query_search.h"
#include "dictionary/word_list.h"
#include "import/article_record.h"
#include "import/compile_environment.h"
#include "import/converter.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

double Compile(CDMS& engine, const std::filesystem::path& source, const std::filesystem::path& target, bool fullText) {
    CDictionary dictionary(kFormatStoreDatabase | (fullText ? 0 : kDictionaryNoFullTextSearch), engine);
    SilentCompileUi ui;
    FixedCompileEnv env;
    CConverter converter(dictionary, CConverter::kNewFile, ui, env);
    const auto start = Clock::now();
    const int32_t ok = converter.Convert(DetectDictionaryFileFormat(source.u16string().c_str()), source.u16string(),
                                         target.u16string());
    const double seconds = Seconds(start, Clock::now());
    if (!ok) std::fprintf(stderr, "compile failed: %s\n", Utf16ToUtf8(converter.errorText).c_str());
    return seconds;
}

struct Latency {
    double median = 0, worst = 0;
};
Latency Summarise(std::vector<double> times) {
    if (times.empty()) return {};
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path() / "full_text_bench";
    const size_t every = argc > 2 ? std::stoul(argv[2]) : 1;
    const size_t rounds = argc > 3 ? std::max<size_t>(std::stoul(argv[3]), 1) : 1;
    std::filesystem::create_directories(folder);
    const std::filesystem::path source = folder / "edict.src";
    {
        const std::vector<uint8_t> bytes = ReadEdictFile("edict");
        if (bytes.empty()) return std::fprintf(stderr, "edict is not installed\n"), 1;
        std::ofstream out(source, std::ios::binary);
        size_t n = 0;
        for (std::span<const uint8_t> line : SplitLines(bytes))
            if (n++ % every == 0) out.write(reinterpret_cast<const char*>(line.data()), line.size()).put('\n');
    }
    CDMS engine(SystemStorageIO());
    const double without = Compile(engine, source, folder / "plain.qdx", false);
    const double with = Compile(engine, source, folder / "full.qdx", true);
    const auto plainBytes = std::filesystem::file_size(folder / "plain.qdx");
    const auto fullBytes = std::filesystem::file_size(folder / "full.qdx");
    std::printf("compile without full-text index: %.2f s, %llu bytes\n", without, static_cast<unsigned long long>(plainBytes));
    std::printf("compile with full-text index:    %.2f s, %llu bytes (+%.2f s, +%llu bytes)\n", with,
                static_cast<unsigned long long>(fullBytes), with - without,
                static_cast<unsigned long long>(fullBytes - plainBytes));

    int32_t file = 0;
    if (Failed(engine.OpenFile((folder / "full.qdx").u16string(), 2, DictionarySchemaText, &file))) return 1;
    // The same article texts into FTS5 (a file of its own, for its size).
    const std::string ftsPath = (folder / "fts5.sqlite").string();
    std::filesystem::remove(ftsPath);
    sqlite3* db = nullptr;
    sqlite3_open(ftsPath.c_str(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; CREATE VIRTUAL TABLE t USING fts5(x); BEGIN",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO t(rowid, x) VALUES(?, ?)", -1, &insert, nullptr);
    const auto ftsStart = Clock::now();
    for (const ArticleText& article : ReadArticles(engine, file)) {
        const std::string text = Utf16ToUtf8(article.text);
        sqlite3_bind_int64(insert, 1, article.position);
        sqlite3_bind_text(insert, 2, text.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    std::printf("FTS5 build over the same texts: %.2f s, %llu bytes\n", Seconds(ftsStart, Clock::now()),
                static_cast<unsigned long long>(std::filesystem::file_size(ftsPath)));

    // Words by document count: common ones from the top, rare ones from the tail.
    std::vector<std::string> words;
    sqlite3_exec(db, "CREATE VIRTUAL TABLE v USING fts5vocab(t, 'row')", nullptr, nullptr, nullptr);
    sqlite3_stmt* vocab = nullptr;
    sqlite3_prepare_v2(db, "SELECT term FROM v WHERE term GLOB '[a-z][a-z]*' AND term NOT GLOB '*[^a-z]*' ORDER BY doc DESC",
                       -1, &vocab, nullptr);
    while (sqlite3_step(vocab) == SQLITE_ROW) words.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(vocab, 0)));
    sqlite3_finalize(vocab);
    if (words.size() < 400) return 1;
    std::vector<std::pair<std::string, std::string>> queries;  // ours, FTS5's
    for (size_t i = 0; i < 100; ++i) queries.push_back({words[i], "\"" + words[i] + "\""});
    for (size_t i = 0; i < 100; ++i) {
        const std::string& w = words[words.size() - 1 - i * 37 % (words.size() / 2)];
        queries.push_back({w, "\"" + w + "\""});
    }
    for (size_t i = 0; i < 100; ++i) {
        const std::string a = words[i], b = words[(i * 7 + 3) % 200];
        queries.push_back({a + " " + b, "\"" + a + "\" \"" + b + "\""});
        queries.push_back({"\"" + a + " " + b + "\"", "\"" + a + " " + b + "\""});
    }
    std::vector<double> ours, theirs, theirsRanked;
    size_t oursFound = 0, theirsFound = 0;
    FullTextQuery query;
    sqlite3_stmt* match = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid FROM t WHERE t MATCH ?", -1, &match, nullptr);
    // The same work as ours: the best 2000 by FTS5's own ranking.
    sqlite3_stmt* ranked = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid FROM t WHERE t MATCH ? ORDER BY rank LIMIT 2000", -1, &ranked, nullptr);
    for (size_t round = 0; round < rounds; ++round)
    for (const auto& [mine, fts] : queries) {
        auto start = Clock::now();
        const int32_t groups = query.Parse(Utf8ToUtf16(mine));
        auto hits = SearchDictionary(query, groups, engine, file);
        const size_t found = hits.size();
        // What the search-results list keeps: the best, in score order.
        KeepBestArticles(hits, WordList::kMaxEntries);
        ours.push_back(Seconds(start, Clock::now()));
        oursFound += found;
        start = Clock::now();
        sqlite3_bind_text(match, 1, fts.c_str(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(match) == SQLITE_ROW) ++theirsFound;
        sqlite3_reset(match);
        theirs.push_back(Seconds(start, Clock::now()));
        start = Clock::now();
        sqlite3_bind_text(ranked, 1, fts.c_str(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(ranked) == SQLITE_ROW) {
        }
        sqlite3_reset(ranked);
        theirsRanked.push_back(Seconds(start, Clock::now()));
    }
    sqlite3_finalize(match);
    sqlite3_finalize(ranked);
    sqlite3_close(db);
    engine.CloseFile(file);
    const Latency a = Summarise(ours), b = Summarise(theirs), c = Summarise(theirsRanked);
    std::printf("%zu queries: ours median %.1f us, worst %.1f us (%zu articles); FTS5 median %.1f us, worst %.1f us "
                "(%zu articles); FTS5 best 2000 by rank median %.1f us, worst %.1f us; median ratio ours/FTS5 %.2f, "
                "ours/FTS5 ranked %.2f\n",
                queries.size(), a.median * 1e6, a.worst * 1e6, oursFound, b.median * 1e6, b.worst * 1e6, theirsFound,
                c.median * 1e6, c.worst * 1e6, b.median > 0 ? a.median / b.median : 0.0,
                c.median > 0 ? a.median / c.median : 0.0);
    // By kind: the query list is 100 common words, 100 rare ones, then AND and phrase pairs in turn.
    const char* kinds[] = {"common word", "rare word", "two words", "phrase"};
    for (int kind = 0; kind < 4; ++kind) {
        std::vector<double> mine, fts, ftsRanked;
        for (size_t i = 0; i < ours.size(); ++i) {
            const size_t q = i % queries.size();
            const int k = q < 100 ? 0 : q < 200 ? 1 : 2 + static_cast<int>((q - 200) % 2);
            if (k == kind) mine.push_back(ours[i]), fts.push_back(theirs[i]), ftsRanked.push_back(theirsRanked[i]);
        }
        const Latency m = Summarise(mine), f = Summarise(fts), r = Summarise(ftsRanked);
        std::printf("  %-11s median/worst us: ours %7.1f %8.1f; FTS5 %7.1f %8.1f; FTS5 ranked %7.1f %8.1f\n",
                    kinds[kind], m.median * 1e6, m.worst * 1e6, f.median * 1e6, f.worst * 1e6, r.median * 1e6,
                    r.worst * 1e6);
    }
    return 0;
}
