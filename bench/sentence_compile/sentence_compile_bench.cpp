// One compile of a source laid out by import/tests/gettext_sentence_layouts.py,
// measured: wall time, peak memory, final file size and article count; then,
// in the same run, SQLite loads the same (headword, article) pairs into an
// indexed table in one transaction. The "loader" kind runs only the Tatoeba
// loader, for its peak memory (see run.sh: small ids against huge ones).
// Prints CSV rows "kind,measure,value".
//   sentence_compile_bench examples|tatoeba|book|loader LAYOUT_FOLDER WORK_FOLDER
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/format_detection.h"
#include "dictionary/import_services.h"
#include "import/compile_environment.h"
#include "import/converter.h"
#include "import/import_registration.h"
#include "import/source_loaders.h"
#include "import/tatoeba_source_loader.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <sqlite3.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

const TatoebaLanguages kLanguages = {u"jpn", u"eng", u"rus", u""};

struct Pairs {
    std::vector<std::u16string> headwords, articles;
};

// The articles of the source as the importer cuts them: the first element
// after each article is its headword (the sentence, or a book row's first line).
int32_t CollectPair(void* context, CDictionary& dictionary, int32_t element) {
    auto* pairs = static_cast<Pairs*>(context);
    const DictionaryElement* e = dictionary.Elements();
    if (e[element].kind != kElementEntryStart || element + 1 >= dictionary.ElementCount()) return 1;
    pairs->articles.emplace_back(e[element].begin, static_cast<size_t>(e[element].end - e[element].begin) + 1);
    pairs->headwords.emplace_back(e[element + 1].text, static_cast<size_t>(e[element + 1].length));
    return 1;
}

double SqliteReference(const Pairs& pairs, const std::filesystem::path& folder) {
    const std::string path = (folder / "reference.sqlite").string();
    std::filesystem::remove(path);
    const Clock::time_point start = Clock::now();
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db,
                 "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA page_size=4096;"
                 "CREATE TABLE article(id INTEGER PRIMARY KEY, headword TEXT, text TEXT);"
                 "CREATE INDEX by_headword ON article(headword); BEGIN",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO article VALUES(?1, ?2, ?3)", -1, &insert, nullptr);
    for (size_t i = 0; i < pairs.articles.size(); ++i) {
        sqlite3_bind_int64(insert, 1, static_cast<int64_t>(i + 1));
        sqlite3_bind_text16(insert, 2, pairs.headwords[i].data(), static_cast<int>(pairs.headwords[i].size() * 2),
                            SQLITE_STATIC);
        sqlite3_bind_text16(insert, 3, pairs.articles[i].data(), static_cast<int>(pairs.articles[i].size() * 2),
                            SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return Seconds(start, Clock::now());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: sentence_compile_bench examples|tatoeba|book|loader LAYOUT_FOLDER WORK_FOLDER\n");
        return 2;
    }
    const std::string kind = argv[1];
    const std::filesystem::path layouts = argv[2], work = argv[3];
    if (kind == "loader") {
        std::u16string prepared, message;
        const Clock::time_point start = Clock::now();
        if (!LoadTatoebaSource(kLanguages, (layouts / "tatoeba/sentences.csv").u16string(), prepared, message)) return 1;
        std::printf("loader,seconds,%.3f\nloader,peak_KiB,%ld\nloader,prepared_bytes,%zu\n",
                    Seconds(start, Clock::now()), PeakKiB(), prepared.size() * 2);
        return 0;
    }
    const std::filesystem::path source = layouts / (kind == "examples" ? "examples.txt"
                                                    : kind == "tatoeba" ? "tatoeba/sentences.csv"
                                                                        : "book.txt");
    const uint32_t flags = kind == "book" ? kFormatBook | kFormatUtf8 : DetectDictionaryFileFormat(source.u16string().c_str());
    const std::filesystem::path target = work / (kind + ".qdx");
    std::filesystem::remove(target);
    CDMS engine(SystemStorageIO());
    CDictionary dictionary(kFormatStoreDatabase, engine);
    for (size_t i = 0; i < 4; ++i) std::copy(kLanguages[i].begin(), kLanguages[i].end(), dictionary.languages[i]);
    SilentCompileUi ui;
    FixedCompileEnv env;
    CConverter converter(dictionary, CConverter::kNewFile, ui, env);
    const Clock::time_point start = Clock::now();
    if (!converter.Convert(flags, source.u16string(), target.u16string())) {
        std::fprintf(stderr, "compile failed: %s\n", Utf16ToUtf8(converter.errorText).c_str());
        return 1;
    }
    const double seconds = Seconds(start, Clock::now());
    std::printf("%s,total_seconds,%.3f\n%s,peak_KiB,%ld\n", kind.c_str(), seconds, kind.c_str(), PeakKiB());
    std::printf("%s,articles,%u\n%s,final_bytes,%llu\n", kind.c_str(), converter.ArticleCount(), kind.c_str(),
                static_cast<unsigned long long>(std::filesystem::file_size(target)));

    std::u16string text, message;
    Pairs pairs;
    ImportCallbacks callbacks;
    callbacks.onRecord = CollectPair;
    callbacks.context = &pairs;
    CDictionary parser(0, engine);
    if (LoadSourceText(source.u16string(), flags, SourceChoices{kLanguages}, text, message))
        GetFormatParsers(FormatTypeFromFlags(flags)).import(parser, text.data(), uint32_t(text.size() * 2), 0, callbacks);
    std::printf("%s,sqlite_pairs,%zu\n%s,sqlite_reference_seconds,%.3f\n", kind.c_str(), pairs.articles.size(),
                kind.c_str(), SqliteReference(pairs, work));
    std::printf("%s,sqlite_bytes,%llu\n", kind.c_str(),
                static_cast<unsigned long long>(std::filesystem::file_size(work / "reference.sqlite")));
    return 0;
}
