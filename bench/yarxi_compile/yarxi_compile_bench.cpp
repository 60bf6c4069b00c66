// One compile of a YARXI source, measured: wall time, peak memory of the
// process, source and dictionary sizes and the entry counts of the key
// indexes. Then, in the same run, SQLite loads the same articles with their
// kanji into a table with an index on the kanji, in one transaction.
//   yarxi_compile_bench SOURCE WORK_FOLDER
// SOURCE: e.g. what import/tests/kanjidic_yarxi_source.py writes (one
// "{\a ...}" article a line). Prints "what,value" CSV rows.
#include "common/tests/test_files.h"
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/format_detection.h"
#include "import/compile_environment.h"
#include "import/converter.h"
#include "import/index_dump.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <sqlite3.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// The articles of the source, one a line, and the kanji of their "{\j " group.
double SqliteReference(const std::filesystem::path& source, const std::filesystem::path& folder) {
    const std::u16string text = Utf16File(source);
    const std::string path = (folder / "reference.sqlite").string();
    std::filesystem::remove(path);
    const Clock::time_point start = Clock::now();
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA page_size=4096;"
                     "CREATE TABLE article(id INTEGER PRIMARY KEY, kanji TEXT, text TEXT); BEGIN",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO article VALUES(?1, ?2, ?3)", -1, &insert, nullptr);
    int64_t id = 0;
    for (size_t at = text.find(u"{\\a "); at != std::u16string::npos; at = text.find(u"{\\a ", at + 1)) {
        const size_t end = std::min(text.find(u'\n', at), text.size());
        const std::u16string_view article(text.data() + at, end - at);
        const size_t kanji = article.find(u"{\\j ");
        const std::u16string_view word =
            kanji == article.npos ? std::u16string_view() : article.substr(kanji + 4, article.find(u'}', kanji) - kanji - 4);
        sqlite3_bind_int64(insert, 1, ++id);
        sqlite3_bind_text16(insert, 2, word.data(), static_cast<int>(word.size() * 2), SQLITE_STATIC);
        sqlite3_bind_text16(insert, 3, article.data(), static_cast<int>(article.size() * 2), SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "CREATE INDEX kanji ON article(kanji); COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return Seconds(start, Clock::now());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: yarxi_compile_bench SOURCE WORK_FOLDER\n");
        return 2;
    }
    const std::filesystem::path source = argv[1], folder = argv[2];
    const std::filesystem::path target = folder / "yarxi.qdx";
    std::filesystem::remove(target);
    CDMS engine(SystemStorageIO());
    CDictionary dictionary(kFormatStoreDatabase, engine);
    SilentCompileUi ui;
    FixedCompileEnv env;
    CConverter converter(dictionary, CConverter::kNewFile, ui, env);
    const Clock::time_point start = Clock::now();
    if (!converter.Convert(DetectDictionaryFileFormat(source.u16string().c_str()), source.u16string(),
                           target.u16string())) {
        std::fprintf(stderr, "compile failed: %s\n", Utf16ToUtf8(converter.errorText).c_str());
        return 1;
    }
    const double seconds = Seconds(start, Clock::now());
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("total_seconds,%.3f\npeak_KiB,%ld\n", seconds, usage.ru_maxrss);
    std::printf("source_bytes,%llu\nfinal_bytes,%llu\n", static_cast<unsigned long long>(std::filesystem::file_size(source)),
                static_cast<unsigned long long>(std::filesystem::file_size(target)));
    int32_t id = 0;
    if (!Failed(engine.OpenFile(target.u16string(), 2, DictionarySchemaText, &id))) {
        for (int32_t index : {0, 101, 102, 106, 110}) {
            uint32_t count = 0;
            if (!Failed(CountIndexEntries(engine, id, index, count))) std::printf("index %d entries,%u\n", index, count);
        }
        engine.CloseFile(id);
    }
    std::printf("sqlite_reference_seconds,%.3f\n", SqliteReference(source, folder));
    return 0;
}
