// One compile of an EDICT-format or KANJIDIC source, measured: wall and CPU
// time, the wall time of each step (from one step label to the next), the
// temporary file's size and the process's peak memory at each step's start,
// the final size, the entry count of every index, and the peak memory of the
// process. Then, in the same run, the peers: SQLite loads the same article
// lines into a table and builds indexes on (reading, word) and (word,
// reading) with the same comparator as indexes 101 and 102, in one
// transaction; the same source compiled without its full-text steps (the
// work that peer does), and compiled so again without compaction, that file
// then compacted alone beside SQLite's VACUUM of that database (the same
// content on both sides) and beside zlib's deflate alone of the same pages,
// which the compaction does and VACUUM does not.
// Both read the source file and decode it from EUC-JP on their clocks (the
// peer through iconv); the peer then parses only the headwords and readings
// of each line, through SQLite's C API, and stores the line itself as the
// article, where the compile parses whole entries (senses, glosses, tags)
// into its records. Prints CSV rows (see run.sh, which repeats runs and keeps
// medians). With OSTREL_BENCH_SLICE=N both sides read every Nth line of the
// source (the short bench pass, bench/pass.py).
//   edict_compile_bench SOURCE WORK_FOLDER
#include "bench/sqlite_engine_order.h"
#include "bench/bench_support.h"
#include "bench/compiled_dictionaries.h"

#include "common/collation/collator.h"
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/format_detection.h"
#include "import/compile_environment.h"
#include "import/converter.h"
#include "import/index_dump.h"
#include "storage/dms.h"
#include "storage/page_deflater.h"
#include "storage/page_frame.h"
#include "storage/storage_io.h"

#include <sqlite3.h>
#include <sys/resource.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

uint64_t FileBytes(const std::filesystem::path& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The memory the process holds now (VmRSS), 0 when unknown.
long ResidentKiB() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return 0;
    char line[256];
    long kib = 0;
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmRSS: %ld", &kib) == 1) break;
    std::fclose(status);
    return kib;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Step labels with the time they came and the temporary file's size then.
class TimingCompileUi : public CompileUi {
public:
    explicit TimingCompileUi(std::filesystem::path temporary) : temporary_(std::move(temporary)) {}
    void SetStepLabel(std::u16string_view text) override {
        steps.push_back({Utf16ToUtf8(text), Clock::now(), FileBytes(temporary_), PeakKiB(), ResidentKiB()});
    }
    void EnableCancel() override {}
    bool HasProgressBar() const override { return false; }
    void SetProgress(int32_t) override {}
    void PumpMessages() override {}
    void ShowMessage(std::u16string_view text, std::u16string_view) override {
        std::fprintf(stderr, "%s\n", Utf16ToUtf8(text).c_str());
    }

    struct Step {
        std::string label;
        Clock::time_point start;
        uint64_t bytesAtStart;
        long peakKiBAtStart;
        long residentKiBAtStart;
    };
    std::vector<Step> steps;

private:
    std::filesystem::path temporary_;
};

// The headwords and readings of an EDICT line, as the reference takes them:
// before "[" the words, inside the readings, or the whole head as readings;
// pieces cut at ";", notes "(...)" and trailing blanks dropped.
void Headwords(std::u16string_view line, std::vector<std::u16string>& words, std::vector<std::u16string>& readings) {
    words.clear();
    readings.clear();
    const std::u16string_view head = line.substr(0, line.find(u'/'));
    auto split = [](std::u16string_view list, std::vector<std::u16string>& out) {
        for (size_t at = 0; at <= list.size();) {
            const size_t end = std::min(list.find(u';', at), list.size());
            std::u16string_view piece = list.substr(at, end - at);
            piece = piece.substr(0, piece.find(u'('));
            while (!piece.empty() && (piece.back() <= u' ' || piece.back() == 0x3000)) piece.remove_suffix(1);
            if (!piece.empty()) out.emplace_back(piece);
            at = end + 1;
        }
    };
    const size_t open = head.find_first_of(u"[\u3010"), close = head.find_first_of(u"]\u3011");
    if (open == head.npos || close == head.npos || close < open) return split(head, readings);
    split(head.substr(0, open), words);
    split(head.substr(open + 1, close - open - 1), readings);
}

// The peer's load of `source`: read, each line decoded by iconv and stored
// as an article with its headword and reading keys, the key indexes built.
double SqliteReference(const std::string& source, const std::filesystem::path& folder) {
    const std::string path = (folder / "reference.sqlite").string();
    std::filesystem::remove(path);
    const Clock::time_point start = Clock::now();
    // The whole file decoded in one call (iconv's cost per call would
    // otherwise outweigh its cost per byte), then cut into lines.
    std::u16string text;
    Iconv iconv("UTF-16LE", "EUC-JP");
    if (!iconv.ToUtf16(ReadBytes(source), text)) return -1;
    std::vector<std::u16string_view> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find(u'\n', at), text.size());
        if (end > at) lines.push_back(std::u16string_view(text).substr(at, end - at));
        at = end + 1;
    }
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA page_size=4096", nullptr, nullptr,
                 nullptr);
    sqlite3_create_collation_v2(db, "X", SQLITE_UTF16LE, nullptr, CollateInEngineOrder, nullptr);
    sqlite3_exec(db,
                 "CREATE TABLE article(id INTEGER PRIMARY KEY, text TEXT);"
                 "CREATE TABLE reading_key(k TEXT COLLATE X, w TEXT COLLATE X, article INTEGER);"
                 "CREATE TABLE word_key(k TEXT COLLATE X, r TEXT COLLATE X, article INTEGER); BEGIN",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt *article = nullptr, *reading = nullptr, *word = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO article VALUES(?1, ?2)", -1, &article, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO reading_key VALUES(?1, ?2, ?3)", -1, &reading, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO word_key VALUES(?1, ?2, ?3)", -1, &word, nullptr);
    auto insert = [](sqlite3_stmt* s, std::u16string_view a, std::u16string_view b, int64_t id) {
        sqlite3_bind_text16(s, 1, a.data(), static_cast<int>(a.size() * 2), SQLITE_STATIC);
        sqlite3_bind_text16(s, 2, b.data(), static_cast<int>(b.size() * 2), SQLITE_STATIC);
        sqlite3_bind_int64(s, 3, id);
        sqlite3_step(s);
        sqlite3_reset(s);
    };
    std::vector<std::u16string> words, readings;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::u16string_view line = lines[i];
        const int64_t id = static_cast<int64_t>(i);
        sqlite3_bind_int64(article, 1, id);
        sqlite3_bind_text16(article, 2, line.data(), static_cast<int>(line.size() * 2), SQLITE_STATIC);
        sqlite3_step(article);
        sqlite3_reset(article);
        Headwords(line, words, readings);
        for (const std::u16string& r : readings) {
            if (words.empty()) insert(reading, r, u"", id);
            for (const std::u16string& w : words) insert(reading, r, w, id);
        }
        for (const std::u16string& w : words) {
            if (readings.empty()) insert(word, w, u"", id);
            for (const std::u16string& r : readings) insert(word, w, r, id);
        }
    }
    sqlite3_finalize(article);
    sqlite3_finalize(reading);
    sqlite3_finalize(word);
    sqlite3_exec(db,
                 "CREATE INDEX i101 ON reading_key(k, w, article);"
                 "CREATE INDEX i102 ON word_key(k, r, article); COMMIT",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return Seconds(start, Clock::now());
}

// SQLite rewriting the reference database without free space.
double SqliteVacuum(const std::filesystem::path& folder) {
    const std::string path = (folder / "reference.sqlite").string();
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_create_collation_v2(db, "X", SQLITE_UTF16LE, nullptr, CollateInEngineOrder, nullptr);
    sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
    const Clock::time_point start = Clock::now();
    sqlite3_exec(db, "VACUUM", nullptr, nullptr, nullptr);
    const double seconds = Seconds(start, Clock::now());
    sqlite3_close(db);
    return seconds;
}

// Compiles `source` into `target`; null with the error on stderr when it fails.
// Without `fullText` the dictionary is kept out of full-text search: no
// lexicon and no word hit records, the work the SQLite peer does not do.
bool Compile(const std::u16string& source, const std::filesystem::path& target, bool compact, TimingCompileUi& ui,
             bool fullText = true) {
    std::filesystem::remove(target);
    const uint32_t flags = DetectDictionaryFileFormat(source.c_str());
    CDMS engine(SystemStorageIO());
    CDictionary dictionary(kFormatStoreDatabase, engine);
    if (!fullText) dictionary.flags |= kDictionaryNoFullTextSearch;
    FixedCompileEnv env;
    CConverter converter(dictionary, CConverter::kNewFile, ui, env);
    converter.compactionEnabled = compact;
    if (converter.Convert(flags, source, target.u16string())) return true;
    std::fprintf(stderr, "compile failed: %s\n", Utf16ToUtf8(converter.errorText).c_str());
    return false;
}

// The engine's compaction of a file compiled without it.
double CompactAlone(const std::filesystem::path& path) {
    CDMS engine(SystemStorageIO());
    int32_t id = 0;
    if (Failed(engine.OpenFile(path.u16string(), 1, DictionarySchemaText, &id))) return -1;
    const Clock::time_point start = Clock::now();
    uint32_t cursor = 0;
    DmsStatus st = engine.OpenCursor(id, &cursor);
    if (!Failed(st)) st = engine.Compact(cursor, 1);
    engine.CloseCursor(cursor);
    st = Failed(st) ? st : engine.CloseFile(id);
    const double seconds = Seconds(start, Clock::now());
    return Failed(st) ? -1 : seconds;
}

// zlib's deflate alone of the key and data pages of a file compiled without
// compaction, at the pages' level on one stream reset between pages, as the
// compaction compresses them: the part of its time no rewrite can save.
struct DeflateFloor {
    double seconds = -1;
    uint64_t pages = 0;
};
DeflateFloor DeflateAlone(const std::filesystem::path& path) {
    CDMS engine(SystemStorageIO());
    int32_t id = 0;
    if (Failed(engine.OpenFile(path.u16string(), 2, DictionarySchemaText, &id))) return {};
    DMSFile* file = engine.FindFile(id);
    const uint32_t lastPage = file->HeaderU32(header::kLastPage), pageSize = file->PageSize();
    std::vector<uint8_t> out(compressBound(pageSize));
    z_stream z{};
    deflateInit(&z, kPageCompressionLevel);
    DeflateFloor floor{0, 0};
    for (uint32_t page = 1; page <= lastPage; ++page) {
        DmsStatus status;
        const CachedPage cached = file->GetPage(page, status);
        if (!cached) continue;
        const uint16_t signature =
            static_cast<uint16_t>(cached.data[frame::kSignature] | cached.data[frame::kSignature + 1] << 8);
        if (signature != kDataSignature && KeyPageHeight(signature) < 0) continue;
        const Clock::time_point start = Clock::now();
        deflateReset(&z);
        z.next_in = const_cast<uint8_t*>(cached.data + frame::kSize);
        z.avail_in = pageSize - frame::kSize;
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        const bool done = deflate(&z, Z_FINISH) == Z_STREAM_END;
        floor.seconds += Seconds(start, Clock::now());
        if (done) ++floor.pages;
    }
    deflateEnd(&z);
    engine.CloseFile(id);
    return floor;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: edict_compile_bench NAME WORK_FOLDER (NAME: edict, enamdict, kanjidic)\n");
        return 2;
    }
    const std::string name = argv[1];
    const char* n = name.c_str();
    const std::filesystem::path folder = argv[2];
    const std::string sourcePath = DebianSource(name);
    const std::u16string source = Utf8ToUtf16(sourcePath);
    const std::filesystem::path target = folder / (name + ".qdx");
    TimingCompileUi ui(target.string() + ".tmp~");
    const double cpuBefore = CpuSeconds();
    const Clock::time_point start = Clock::now();
    if (!Compile(source, target, true, ui)) return 1;
    const Clock::time_point end = Clock::now();
    const double cpu = CpuSeconds() - cpuBefore;
    const long peak = PeakKiB();

    // name,what,value rows
    const double total = Seconds(start, end);
    std::printf("%s,total_seconds,%.3f\n", n, total);
    std::printf("%s,cpu_seconds,%.3f\n", n, cpu);
    std::printf("%s,peak_KiB,%ld\n", n, peak);
    std::printf("%s,source_bytes,%llu\n", n, static_cast<unsigned long long>(FileBytes(std::filesystem::path(source))));
    for (size_t i = 0; i < ui.steps.size(); ++i) {
        const Clock::time_point stepEnd = i + 1 < ui.steps.size() ? ui.steps[i + 1].start : end;
        const uint64_t bytesAfter = i + 1 < ui.steps.size() ? ui.steps[i + 1].bytesAtStart : FileBytes(target);
        std::printf("%s,step %zu seconds,%.3f\n", n, i + 1, Seconds(ui.steps[i].start, stepEnd));
        std::printf("%s,step %zu bytes after,%llu\n", n, i + 1, static_cast<unsigned long long>(bytesAfter));
        std::printf("%s,step %zu peak_KiB at start,%ld\n", n, i + 1, ui.steps[i].peakKiBAtStart);
        std::printf("%s,step %zu resident_KiB at start,%ld\n", n, i + 1, ui.steps[i].residentKiBAtStart);
    }
    std::printf("%s,final_bytes,%llu\n", n, static_cast<unsigned long long>(FileBytes(target)));
    {
        CDMS engine(SystemStorageIO());
        int32_t id = 0;
        if (!Failed(engine.OpenFile(target.u16string(), 2, DictionarySchemaText, &id))) {
            for (int32_t index : {0, 1, 3, 101, 102, 106, 110, 111, 121}) {
                uint32_t count = 0;
                if (!Failed(CountIndexEntries(engine, id, index, count)))
                    std::printf("%s,index %d entries,%u\n", n, index, count);
            }
            engine.CloseFile(id);
        }
    }
    // The compile without the full-text steps: what the SQLite peer builds.
    const std::filesystem::path keysOnly = folder / (name + ".keys.qdx");
    TimingCompileUi keysOnlyUi(keysOnly.string() + ".tmp~");
    double cpuAt = CpuSeconds();
    const Clock::time_point keysOnlyStart = Clock::now();
    if (!Compile(source, keysOnly, true, keysOnlyUi, false)) return 1;
    const double keysOnlySeconds = Seconds(keysOnlyStart, Clock::now());
    const double keysOnlyCpu = CpuSeconds() - cpuAt;
    std::printf("%s,no_full_text_total_seconds,%.3f\n", n, keysOnlySeconds);
    std::printf("%s,no_full_text_cpu_seconds,%.3f\n", n, keysOnlyCpu);
    std::printf("%s,no_full_text_steps,%zu\n", n, keysOnlyUi.steps.size());
    std::printf("%s,no_full_text_bytes,%llu\n", n, static_cast<unsigned long long>(FileBytes(keysOnly)));
    std::filesystem::remove(keysOnly);
    // The same without compaction, that file's pages deflated alone, then the
    // file compacted alone: the content VACUUM rewrites below.
    const std::filesystem::path loose = folder / (name + ".loose.qdx");
    TimingCompileUi looseUi(loose.string() + ".tmp~");
    cpuAt = CpuSeconds();
    const Clock::time_point looseStart = Clock::now();
    if (!Compile(source, loose, false, looseUi, false)) return 1;
    const double looseCpu = CpuSeconds() - cpuAt;
    std::printf("%s,no_full_text_no_compact_total_seconds,%.3f\n", n, Seconds(looseStart, Clock::now()));
    std::printf("%s,no_full_text_no_compact_cpu_seconds,%.3f\n", n, looseCpu);
    std::printf("%s,no_full_text_no_compact_bytes,%llu\n", n, static_cast<unsigned long long>(FileBytes(loose)));
    const DeflateFloor deflate = DeflateAlone(loose);
    std::printf("%s,deflate_alone_seconds,%.3f\n", n, deflate.seconds);
    std::printf("%s,deflate_alone_pages,%llu\n", n, static_cast<unsigned long long>(deflate.pages));
    cpuAt = CpuSeconds();
    const double compaction = CompactAlone(loose);
    const double compactionCpu = CpuSeconds() - cpuAt;
    std::printf("%s,compaction_alone_seconds,%.3f\n", n, compaction);
    std::printf("%s,compaction_alone_cpu_seconds,%.3f\n", n, compactionCpu);
    std::printf("%s,compaction_alone_bytes_after,%llu\n", n, static_cast<unsigned long long>(FileBytes(loose)));
    std::filesystem::remove(loose);
    if (name == "kanjidic") return 0;
    cpuAt = CpuSeconds();
    const double reference = SqliteReference(sourcePath, folder);
    const double referenceCpu = CpuSeconds() - cpuAt;
    std::printf("%s,sqlite_reference_seconds,%.3f\n", n, reference);
    std::printf("%s,sqlite_reference_cpu_seconds,%.3f\n", n, referenceCpu);
    std::printf("%s,ratio_to_sqlite_reference,%.2f\n", n, total / reference);
    std::printf("%s,cpu_ratio_to_sqlite_reference,%.2f\n", n, cpu / referenceCpu);
    std::printf("%s,no_full_text_ratio_to_sqlite_reference,%.2f\n", n, keysOnlySeconds / reference);
    std::printf("%s,no_full_text_cpu_ratio_to_sqlite_reference,%.2f\n", n, keysOnlyCpu / referenceCpu);
    cpuAt = CpuSeconds();
    const double vacuum = SqliteVacuum(folder);
    const double vacuumCpu = CpuSeconds() - cpuAt;
    std::printf("%s,sqlite_vacuum_seconds,%.3f\n", n, vacuum);
    std::printf("%s,sqlite_vacuum_cpu_seconds,%.3f\n", n, vacuumCpu);
    std::printf("%s,cpu_ratio_compaction_to_vacuum,%.2f\n", n, compactionCpu / vacuumCpu);
    std::printf("%s,sqlite_vacuum_bytes,%llu\n", n,
                static_cast<unsigned long long>(FileBytes(folder / "reference.sqlite")));
    std::printf("%s,ratio_compaction_to_vacuum,%.2f\n", n, compaction / vacuum);
    std::printf("%s,ratio_compaction_to_vacuum_plus_deflate,%.2f\n", n, compaction / (vacuum + deflate.seconds));
    std::filesystem::remove(folder / "reference.sqlite");
    return 0;
}
