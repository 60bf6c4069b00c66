// Opening a long stored book: EDICT as a book of 2 languages (the gloss with
// a paragraph tag, the headword), compiled once into the work folder.
//
// The open a user waits for: the dictionary file opened, its books listed,
// the phrase table walked over index 3, the columns laid out and the first
// page drawn, then the file closed (its pages leave the engine's caches).
// Warm, the operating system's file cache holds the file; cold, it is
// dropped from that cache before each open (untimed). The peer does the
// same in both states: SQLite opens a file in the same folder, scans as
// many (id, previous, next) keys in order and closes it.
//
// Beside them, with the file already open and its pages cached: the book
// rebuilt and its first page drawn, the index-3 walk alone, going to the
// last phrase, and SQLite's ordered scan over an open connection.
//   book_open_bench [WORK_FOLDER] [benchmark flags]
#include "bench/bench_support.h"
#include "bench/compiled_dictionaries.h"

#include "book/book_host.h"
#include "book/stored_book.h"
#include "common/global_objects.h"
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/format_detection.h"
#include "dictionary/shelf.h"
#include "import/compile_environment.h"
#include "import/converter.h"
#include "import/import_registration.h"
#include "storage/global_engine.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

std::filesystem::path g_folder = std::filesystem::temp_directory_path() / "ostrel-book-open-bench";

class FixedMeasurer : public TextMeasurer {
public:
    void Measure(const char16_t*, int32_t length, uint32_t, int32_t* edges) override {
        for (int32_t i = 0; i < length; ++i) edges[i] = (i + 1) * 8;
    }
    int32_t LineHeight() override { return 16; }
    int32_t AverageCharWidth() override { return 8; }
};

class QuietUi : public CompileUi {
public:
    void SetStepLabel(std::u16string_view) override {}
    void EnableCancel() override {}
    bool HasProgressBar() const override { return false; }
    void SetProgress(int32_t) override {}
    void PumpMessages() override {}
    void ShowMessage(std::u16string_view text, std::u16string_view) override {
        std::fprintf(stderr, "%s\n", Utf16ToUtf8(text).c_str());
    }
};

// The book's text and, once, its compiled dictionary. The number of phrases.
size_t PrepareBook() {
    const auto book = g_folder / "edict-book.qdx";
    const auto count = g_folder / "phrases.txt";
    const std::string source = DebianSource("edict");
    if (std::filesystem::exists(book) && std::filesystem::exists(count)) {
        size_t n = 0;
        std::ifstream(count) >> n;
        return n;
    }
    std::filesystem::create_directories(g_folder);
    std::vector<std::u16string> lines;
    Iconv iconv("UTF-16LE", "EUC-JP");
    const std::vector<uint8_t> bytes = ReadBytes(source);
    for (std::span<const uint8_t> raw : SplitLines(bytes))
        if (std::u16string line; iconv.ToUtf16(raw, line)) lines.push_back(std::move(line));
    std::u16string text = u"<Latn>English\n<Hani>Japanese\n\n";
    size_t phrases = 0;
    for (const std::u16string& line : lines) {
        const size_t blank = line.find(u' ');
        const size_t first = line.find(u'/');
        const size_t last = line.rfind(u'/');
        if (blank == line.npos || first == line.npos || last <= first + 1) continue;
        text += u"<P>" + line.substr(first + 1, last - first - 1) + u"\n" + line.substr(0, blank) + u"\n\n";
        ++phrases;
    }
    std::ofstream(g_folder / "edict-book.txt", std::ios::binary) << Utf16ToUtf8(text);
    CDictionary dictionary(kDictionaryStoreDatabase, *GlobalEngine());
    QuietUi ui;
    FixedCompileEnv env;
    CConverter converter(dictionary, CConverter::kNewFile, ui, env);
    if (converter.Convert(kFormatBook | kFormatUtf8, (g_folder / "edict-book.txt").u16string(), book.u16string()) != 1) {
        std::fprintf(stderr, "compile failed: %s\n", Utf16ToUtf8(converter.errorText).c_str());
        return 0;
    }
    std::ofstream(count) << phrases;
    // The peer's table: as many keys, in a file beside the book.
    sqlite3* db = nullptr;
    std::filesystem::remove(g_folder / "keys.sqlite");
    sqlite3_open((g_folder / "keys.sqlite").string().c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE k(id INTEGER, prev INTEGER, next INTEGER, PRIMARY KEY(id, prev, next)) WITHOUT ROWID;"
                     "BEGIN;", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO k VALUES(?, ?, ?)", -1, &insert, nullptr);
    for (size_t i = 0; i < phrases; ++i) {
        sqlite3_bind_int64(insert, 1, static_cast<int64_t>(1000 + i * 64));
        sqlite3_bind_int64(insert, 2, i ? static_cast<int64_t>(1000 + (i - 1) * 64) : 0);
        sqlite3_bind_int64(insert, 3, static_cast<int64_t>(1000 + (i + 1) * 64));
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return phrases;
}

// Drops the file's pages from the operating system's cache: the next read
// comes from the disk, as in a program's first open after a while.
bool DropFromFileCache(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    const bool dropped = ::fdatasync(fd) == 0 && ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    ::close(fd);
    return dropped;
}

struct OpenBook {
    OpenBook() : dictionary(kDictionaryStoreDatabase | kDictionaryBook) {
        const std::u16string path = (g_folder / "edict-book.qdx").u16string();
        dictionary.File().SetPath(path.c_str());
        ok = dictionary.Open(2) == 0;
    }
    RDFDictionary dictionary;
    bool ok = false;
};

// The first page of the book as a user opening it waits for it; the phrases.
int32_t OpenAndPaintFirstPage() {
    OpenBook open;
    if (!open.ok) return -1;
    uint32_t first = 0;
    {
        StoredBook probe(open.dictionary);
        const auto books = probe.Books(0);
        if (books.empty()) return -1;
        first = books.front().firstRecord;
    }
    auto book = std::make_shared<StoredBook>(open.dictionary);
    book->SetStartRecord(book->FindStartRecord(first));
    FixedMeasurer measurer;
    CParaViewHost host(measurer);
    const int32_t phrases = host.model.Build(book, false, false);
    host.AttachViews();
    host.ShowDefaultColumns();
    host.SetColumnSize(300, 600);
    host.GoToPhrase(0, GoToMode::Top, true);
    for (int32_t c : host.Visible()) host.View(c).RefreshMarks();
    return phrases;
}

// SQLite's ordered scan of the keys over an open connection; the rows.
int64_t SqliteScan(sqlite3* db) {
    sqlite3_stmt* scan = nullptr;
    sqlite3_prepare_v2(db, "SELECT id, prev, next FROM k ORDER BY id, prev, next", -1, &scan, nullptr);
    int64_t rows = 0, sum = 0;
    while (sqlite3_step(scan) == SQLITE_ROW) {
        sum += sqlite3_column_int64(scan, 2);
        ++rows;
    }
    benchmark::DoNotOptimize(sum);
    sqlite3_finalize(scan);
    return rows;
}

// SQLite's open of its file, its ordered scan of the keys and its close; the rows.
int64_t SqliteOpenAndScan() {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2((g_folder / "keys.sqlite").string().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return -1;
    }
    const int64_t rows = SqliteScan(db);
    sqlite3_close(db);
    return rows;
}

// The bytes this process has had read from the disk so far (the kernel's
// count, read-ahead included), -1 when the system does not say.
int64_t DiskBytesRead() {
    std::ifstream io("/proc/self/io");
    for (std::string name; io >> name;) {
        int64_t value = 0;
        io >> value;
        if (name == "read_bytes:") return value;
    }
    return -1;
}

// One side's open, with the file's pages left in the operating system's
// cache (warm) or dropped from it before each (cold). The counter disk_KB
// gives what each open had read from the disk: SQLite reads its file in
// order, and the kernel's read-ahead brings it in a few large reads, so its
// cold open costs little more than its warm one; ours reads pages spread
// over its file.
template <typename Open>
void TimeOpen(benchmark::State& state, const std::filesystem::path& file, bool cold, Open open) {
    int64_t count = 0, diskBytes = 0;
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            if (!DropFromFileCache(file)) return state.SkipWithError("the file could not leave the cache");
            state.ResumeTiming();
        }
        const int64_t before = DiskBytesRead();
        count = open();
        diskBytes += DiskBytesRead() - before;
        if (count < 0) return state.SkipWithError("the open failed");
    }
    state.counters["rows"] = static_cast<double>(count);
    state.counters["disk_KB"] = static_cast<double>(diskBytes) / 1024.0 / static_cast<double>(state.iterations());
}

void OpenBookWarm(benchmark::State& state) { TimeOpen(state, g_folder / "edict-book.qdx", false, OpenAndPaintFirstPage); }
void OpenBookCold(benchmark::State& state) { TimeOpen(state, g_folder / "edict-book.qdx", true, OpenAndPaintFirstPage); }
void SqliteOpenWarm(benchmark::State& state) { TimeOpen(state, g_folder / "keys.sqlite", false, SqliteOpenAndScan); }
void SqliteOpenCold(benchmark::State& state) { TimeOpen(state, g_folder / "keys.sqlite", true, SqliteOpenAndScan); }

void BuildAndPaintFirstPage(benchmark::State& state) {
    OpenBook open;
    if (!open.ok) return state.SkipWithError("the book did not open");
    uint32_t first = 0;
    {
        StoredBook probe(open.dictionary);
        const auto books = probe.Books(0);
        if (books.empty()) return state.SkipWithError("no book");
        first = books.front().firstRecord;
    }
    int32_t phrases = 0;
    for (auto _ : state) {
        auto book = std::make_shared<StoredBook>(open.dictionary);
        book->SetStartRecord(first);
        FixedMeasurer measurer;
        CParaViewHost host(measurer);
        phrases = host.model.Build(book, false, false);
        host.AttachViews();
        host.ShowDefaultColumns();
        host.SetColumnSize(300, 600);
        for (int32_t c : host.Visible()) host.View(c).RefreshMarks();
    }
    state.counters["phrases"] = phrases;
}

// The index-3 walk alone, the part the peer's scan compares with.
void ReadPhraseTable(benchmark::State& state) {
    OpenBook open;
    if (!open.ok) return state.SkipWithError("the book did not open");
    StoredBook book(open.dictionary);
    book.SetStartRecord(book.Books(0).front().firstRecord);
    for (auto _ : state) {
        std::vector<uint32_t> ids, types;
        book.ReadPhrases(ids, types);
        benchmark::DoNotOptimize(ids.data());
    }
}

void GoToLastPhrase(benchmark::State& state) {
    OpenBook open;
    if (!open.ok) return state.SkipWithError("the book did not open");
    auto book = std::make_shared<StoredBook>(open.dictionary);
    book->SetStartRecord(book->Books(0).front().firstRecord);
    FixedMeasurer measurer;
    CParaViewHost host(measurer);
    host.model.Build(book, false, false);
    host.AttachViews();
    host.ShowDefaultColumns();
    host.SetColumnSize(300, 600);
    for (auto _ : state) {
        host.GoToPhrase(host.model.PhraseCount() - 1, GoToMode::Top, true);
        host.GoToPhrase(0, GoToMode::Top, true);
    }
}

void SqliteOrderedScan(benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2((g_folder / "keys.sqlite").string().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    int64_t rows = 0;
    for (auto _ : state) rows = SqliteScan(db);
    sqlite3_close(db);
    state.counters["rows"] = static_cast<double>(rows);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && argv[1][0] != '-') {
        g_folder = argv[1];
        --argc;
        ++argv;
    }
    // A slice's book and keys in a folder of their own.
    if (BenchSlice() > 1) g_folder /= "1in" + std::to_string(BenchSlice());
    ProgramGlobals globals(StorageEngineHooks());
    RegisterImportParsers();
    const size_t phrases = PrepareBook();
    if (phrases == 0) return 1;
    std::printf("book: %zu phrases in %s\n", phrases, g_folder.string().c_str());
    using Run = void (*)(benchmark::State&);
    const std::pair<const char*, Run> opens[] = {{"OpenBookWarm", OpenBookWarm}, {"SqliteOpenWarm", SqliteOpenWarm},
                                                 {"OpenBookCold", OpenBookCold}, {"SqliteOpenCold", SqliteOpenCold}};
    for (const auto& [name, run] : opens) benchmark::RegisterBenchmark(name, run)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BuildAndPaintFirstPage", BuildAndPaintFirstPage)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ReadPhraseTable", ReadPhraseTable)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("GoToLastPhrase", GoToLastPhrase)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("SqliteOrderedScan", SqliteOrderedScan)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char* what, const char* ours, const char* peer) {
        if (reporter.times[peer] > 0)
            std::printf("%s: %.2f (CPU %.2f)\n", what, reporter.times[ours] / reporter.times[peer],
                        reporter.cpuTimes[ours] / reporter.cpuTimes[peer]);
    };
    ratio("open and first page, warm / SQLite open and ordered scan, warm", "OpenBookWarm", "SqliteOpenWarm");
    ratio("open and first page, cold / SQLite open and ordered scan, cold", "OpenBookCold", "SqliteOpenCold");
    ratio("rebuild and first page, file open / SQLite ordered scan, connection open", "BuildAndPaintFirstPage",
          "SqliteOrderedScan");
    ratio("index-3 walk, file open / SQLite ordered scan, connection open", "ReadPhraseTable", "SqliteOrderedScan");
    return 0;
}
