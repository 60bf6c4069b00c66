// One save of an edited article (the old keys and hits removed, the new
// record stored, the id re-pointed, the transaction committed) on the
// dictionary compiled from all of Debian's EDICT, beside SQLite replacing one
// row and its FTS5 entry in one transaction (rollback journal, full sync, as
// the engine flushes at each commit) over the same article texts. Prints the
// median and the worst time of each and the ratio of the medians.
// usage: article_save_bench [SAVES] (200 by default)
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/format_detection.h"
#include "import/article_edit_sweep.h"
#include "import/article_save.h"
#include "import/compile_environment.h"
#include "import/converter.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace {

constexpr uint32_t kTransactionCachePages = 32768;  // 128 MiB of 4 KiB pages

void Report(const char* what, std::vector<double> seconds) {
    std::sort(seconds.begin(), seconds.end());
    std::printf("%-46s %5zu saves: median %8.3f ms, worst %8.3f ms\n", what, seconds.size(),
                1000 * seconds[seconds.size() / 2], 1000 * seconds.back());
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const uint32_t saves = argc > 1 ? static_cast<uint32_t>(std::atoi(argv[1])) : 200;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "article_save_bench";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::u16string source = u"/usr/share/edict/edict", target = (folder / "edict.qdx").u16string();

    // A save rewrites the whole hit list of every word of the article; in the
    // whole of EDICT the commonest words' lists span hundreds of pages, and a
    // transaction keeps every page it changed in the cache until it commits.
    CDMS engine(SystemStorageIO(), kTransactionCachePages);
    {
        CDictionary fresh(kFormatStoreDatabase, engine);
        SilentCompileUi ui;
        FixedCompileEnv env;
        CConverter converter(fresh, CConverter::kNewFile, ui, env);
        const auto start = std::chrono::steady_clock::now();
        if (converter.Convert(DetectDictionaryFileFormat(source.c_str()), source, target) != 1) {
            std::fprintf(stderr, "cannot compile EDICT: %s\n", Utf16ToUtf8(converter.errorText).c_str());
            return 1;
        }
        std::printf("EDICT compiled in %.1f s\n",
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    CDictionary dictionary(kFormatStoreDatabase, engine);
    dictionary.File().SetPath(target.c_str());
    if (dictionary.Open(0) != 0) return 1;
    const std::vector<std::pair<uint32_t, std::u16string>> articles = LiveArticles(engine, dictionary.fileId);
    std::printf("%zu articles\n", articles.size());

    // Ours: replacements of random articles by the text of others (as the editor writes them).
    EditSweep sweep = RunRandomEdits(dictionary, saves, 20261207);
    dictionary.Close();
    if (!sweep.failures.empty()) std::printf("failed: %s\n", sweep.failures.front().c_str());
    Report("this engine: a change (replace, remove or add)", sweep.saveSeconds);
    Report("this engine: a replacement", sweep.replaceSeconds);

    // SQLite: the same texts in an FTS5 table on disk, one row replaced per transaction.
    const std::string dbPath = (folder / "edict.sqlite").string();
    sqlite3* db = nullptr;
    sqlite3_open(dbPath.c_str(), &db);
    sqlite3_exec(db, "PRAGMA synchronous=FULL; CREATE VIRTUAL TABLE t USING fts5(x); BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO t(rowid, x) VALUES(?, ?)", -1, &insert, nullptr);
    for (size_t i = 0; i < articles.size(); ++i) {
        const std::string text = Utf16ToUtf8(articles[i].second);
        sqlite3_bind_int64(insert, 1, static_cast<sqlite3_int64>(i + 1));
        sqlite3_bind_text(insert, 2, text.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_stmt* remove = nullptr;
    sqlite3_prepare_v2(db, "DELETE FROM t WHERE rowid = ?", -1, &remove, nullptr);
    std::mt19937 random(20261207);
    std::uniform_int_distribution<size_t> pick(0, articles.size() - 1);
    std::vector<double> sqliteSeconds;
    for (uint32_t n = 0; n < saves; ++n) {
        const size_t row = pick(random);
        const std::string text = Utf16ToUtf8(articles[pick(random)].second);
        const auto start = std::chrono::steady_clock::now();
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_bind_int64(remove, 1, static_cast<sqlite3_int64>(row + 1));
        sqlite3_step(remove);
        sqlite3_reset(remove);
        sqlite3_bind_int64(insert, 1, static_cast<sqlite3_int64>(row + 1));
        sqlite3_bind_text(insert, 2, text.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqliteSeconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    sqlite3_finalize(insert);
    sqlite3_finalize(remove);
    sqlite3_close(db);
    Report("SQLite FTS5: one row replaced", sqliteSeconds);
    std::printf("ratio of the medians (replacement / SQLite): %.2f\n", Median(sweep.replaceSeconds) / Median(sqliteSeconds));
    std::filesystem::remove_all(folder);
    return 0;
}
