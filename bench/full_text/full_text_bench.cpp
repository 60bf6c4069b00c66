// Full-text query latency on EDICT as the program opens it (compiled by qdxc
// with its defaults: compressed pages, full-text index), beside SQLite FTS5
// over the same article texts, by query class, warm and cold.
//
// Ours is the search the search-results list runs for one dictionary: parse,
// look-ups in indexes 110 and 111, intersection, scores, the best 2000. FTS5
// answers the same query as plain matches and as its best 2000 by rank.
// Warm: each side asks each query once untimed right before the timed ask
// (one pass over all queries would not do: the kana lists alone outgrow the
// engine's page cache and image store). Cold: before each query our file is
// closed and opened again (its pages leave the page cache and the image
// store) and FTS5 gets a fresh connection (its page cache empty); opening is
// not timed. The operating system's file cache is warm for both sides.
//
// Japanese words are asked twice: FTS5 over the texts as its default word
// breaker cuts them (a run of kana and kanji is one token, so it finds the
// run only as a whole word), and FTS5 over the same texts with every kana
// and kanji set apart, the terms our index keeps (the same articles found).
// A last class pairs a common word with one that no article holds.
// After the cold table: what one page costs read cold, and zlib's inflate
// alone on it, by key and data pages: with the pages a query reads, the
// floor of a cold query in this format.
//   full_text_bench [ROUNDS] [--hits FILE] [--only CLASS] [--warm | --cold]
// ROUNDS (5) asks of every query per state. --hits writes every query's
// articles (the count found, position and score of the best 2000), to compare
// two builds; --only keeps one class and --warm or --cold one state (profiles).
#include "bench/compiled_dictionaries.h"
#include "common/tests/test_paths.h"

#include "common/text/utf8.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/full_text_query_search.h"
#include "dictionary/word_list.h"
#include "import/tests/full_text_files.h"
#include "storage/dms.h"
#include "storage/page_deflater.h"
#include "storage/page_frame.h"
#include "storage/storage_io.h"

#include <sqlite3.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numeric>
#include <set>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
double Micros(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::micro>(b - a).count(); }

constexpr const char* kTokenizer = "tokenize=\"unicode61 tokenchars '''.,:;_'\"";

bool IsAsciiAlnum(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }
bool IsJoiner(char c) { return c == '\'' || c == '.' || c == ',' || c == ':' || c == ';' || c == '_'; }

// The article as FTS5 takes it. Its word breaker keeps these punctuation
// marks as token characters (kTokenizer), and the text keeps them only between
// two ASCII letters or digits, where our word breaker joins a word across
// them. With `splitKana`, every character from U+3000 up stands alone, as our
// word breaker leaves kana and kanji.
std::string FtsText(const std::u16string& article, bool splitKana) {
    std::u16string spaced;
    for (char16_t c : article) {
        const bool alone = splitKana && c >= 0x3000 && !(c >= 0xD800 && c < 0xE000);
        if (alone) spaced += u' ';
        spaced += c;
        if (alone) spaced += u' ';
    }
    std::string text = Utf16ToUtf8(spaced);
    for (size_t i = 0; i < text.size(); ++i)
        if (IsJoiner(text[i]) && !(i > 0 && i + 1 < text.size() && IsAsciiAlnum(text[i - 1]) && IsAsciiAlnum(text[i + 1])))
            text[i] = ' ';
    return text;
}

std::string SplitKanaQuery(const std::string& word) {
    std::string out;
    for (char16_t c : Utf8ToUtf16(word)) out += (out.empty() ? "" : " ") + Utf16ToUtf8(std::u16string(1, c));
    return out;
}

struct Query {
    int kind;
    std::string ours;
    std::string fts;  // FTS5's MATCH text
    bool split;       // against the table of split kana and kanji
};

const char* const kKinds[] = {"common word", "rare word", "two words", "phrase", "Japanese word",
                              "Japanese, same terms", "word + unknown word"};
constexpr int kKindCount = 7;

struct Sample {
    double ours, fts, ranked;
    double pages;      // pages our side read from the file (and inflated)
    double floor = 0;  // cold: zlib's inflate alone on those pages (PageCosts)
};

class Fts5 {
public:
    explicit Fts5(std::string path) : path_(std::move(path)) {}
    ~Fts5() { Close(); }
    void Open() {
        Close();
        sqlite3_open(path_.c_str(), &db_);
        sqlite3_exec(db_, "PRAGMA cache_size=1000", nullptr, nullptr, nullptr);
        for (int table = 0; table < 2; ++table) {
            const std::string name = table ? "s" : "t";
            sqlite3_prepare_v2(db_, ("SELECT rowid FROM " + name + " WHERE " + name + " MATCH ?").c_str(), -1,
                               &match_[table], nullptr);
            sqlite3_prepare_v2(db_,
                               ("SELECT rowid FROM " + name + " WHERE " + name + " MATCH ? ORDER BY rank LIMIT 2000").c_str(),
                               -1, &ranked_[table], nullptr);
        }
    }
    void Close() {
        for (sqlite3_stmt*& s : match_) sqlite3_finalize(s), s = nullptr;
        for (sqlite3_stmt*& s : ranked_) sqlite3_finalize(s), s = nullptr;
        if (db_) sqlite3_close(db_);
        db_ = nullptr;
    }
    // Rows of the query, all of them or the best 2000 by rank.
    size_t Run(const Query& q, bool best) {
        sqlite3_stmt* s = (best ? ranked_ : match_)[q.split ? 1 : 0];
        sqlite3_bind_text(s, 1, q.fts.c_str(), -1, SQLITE_TRANSIENT);
        size_t rows = 0;
        while (sqlite3_step(s) == SQLITE_ROW) ++rows;
        sqlite3_reset(s);
        return rows;
    }
    sqlite3* db() { return db_; }

private:
    std::string path_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* match_[2] = {};
    sqlite3_stmt* ranked_[2] = {};
};

void BuildFts5(const std::string& path, const std::vector<ArticleText>& articles) {
    std::filesystem::remove(path);
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, ("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; CREATE VIRTUAL TABLE t USING fts5(x, " +
                      std::string(kTokenizer) + "); CREATE VIRTUAL TABLE s USING fts5(x, " + kTokenizer + "); BEGIN")
                         .c_str(),
                 nullptr, nullptr, nullptr);
    for (int table = 0; table < 2; ++table) {
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, table ? "INSERT INTO s(rowid, x) VALUES(?, ?)" : "INSERT INTO t(rowid, x) VALUES(?, ?)",
                           -1, &insert, nullptr);
        for (const ArticleText& article : articles) {
            const std::string text = FtsText(article.text, table == 1);
            sqlite3_bind_int64(insert, 1, article.position);
            sqlite3_bind_text(insert, 2, text.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
    }
    sqlite3_exec(db, "COMMIT; INSERT INTO t(t) VALUES('optimize'); INSERT INTO s(s) VALUES('optimize')", nullptr,
                 nullptr, nullptr);
    sqlite3_close(db);
}

std::vector<std::string> Column(sqlite3* db, const char* sql) {
    std::vector<std::string> out;
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
    while (sqlite3_step(s) == SQLITE_ROW) out.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
    sqlite3_finalize(s);
    return out;
}

// 100 queries of each class, from the FTS5 vocabulary and the article texts.
std::vector<Query> MakeQueries(sqlite3* db, const std::vector<ArticleText>& articles) {
    sqlite3_exec(db, "CREATE VIRTUAL TABLE temp.v USING fts5vocab(main, t, 'row')", nullptr, nullptr, nullptr);
    // Plain ASCII words by document count, and whole tokens of kana and kanji.
    const std::vector<std::string> words =
        Column(db, "SELECT term FROM v WHERE length(term) > 1 AND term NOT GLOB '*[^a-z]*' ORDER BY doc DESC, term");
    const std::vector<std::string> japanese =
        Column(db, "SELECT term FROM v WHERE unicode(term) >= 12288 AND length(term) > 1 ORDER BY doc DESC, term");
    std::vector<Query> queries;
    if (words.size() < 400 || japanese.size() < 400) return queries;
    const auto quoted = [](const std::string& w) { return "\"" + w + "\""; };
    for (size_t i = 0; i < 100; ++i) queries.push_back({0, words[i], quoted(words[i]), false});
    for (size_t i = 0; i < 100; ++i) {
        const std::string& w = words[words.size() - 1 - i * 37 % (words.size() / 2)];
        queries.push_back({1, w, quoted(w), false});
    }
    for (size_t i = 0; i < 100; ++i) {
        const std::string& a = words[i * 3];
        const std::string& b = words[(i * 7 + 3) % 400];
        queries.push_back({2, a + " " + b, quoted(a) + " " + quoted(b), false});
    }
    // Phrases of two words standing together in an article.
    const std::set<std::string> plain(words.begin(), words.end());
    for (size_t n = 0; n < articles.size() && queries.size() < 400; n += 97) {
        std::vector<std::string> tokens;
        std::string token;
        for (char c : FtsText(articles[n].text, false) + ' ') {
            if (IsAsciiAlnum(c)) token += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
            else if (!token.empty()) tokens.push_back(token), token.clear();
        }
        for (size_t i = 0; i + 1 < tokens.size(); ++i)
            if (plain.contains(tokens[i]) && plain.contains(tokens[i + 1]) && tokens[i] != tokens[i + 1]) {
                const std::string two = tokens[i] + " " + tokens[i + 1];
                queries.push_back({3, quoted(two), quoted(two), false});
                break;
            }
    }
    // Kana and kanji words from the most common to the rarest.
    for (size_t i = 0; i < 100; ++i) {
        const std::string& w = japanese[i * (japanese.size() - 1) / 99];
        queries.push_back({4, w, quoted(w), false});
    }
    for (size_t i = 0; i < 100; ++i) {
        const std::string& w = japanese[i * (japanese.size() - 1) / 99];
        queries.push_back({5, w, quoted(SplitKanaQuery(w)), true});
    }
    // A common word, then one no article holds (a word of the pairs above
    // with a tail no English word has): what a typing slip asks.
    for (size_t i = 0; i < 100; ++i) {
        const std::string& a = words[i * 3];
        const std::string b = words[(i * 7 + 3) % 400] + "qx";
        queries.push_back({6, a + " " + b, quoted(a) + " " + quoted(b), false});
    }
    return queries;
}

struct Summary {
    double median = 0, worst = 0, total = 0;
};
Summary Summarise(std::vector<double> v) {
    if (v.empty()) return {};
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.back(), std::accumulate(v.begin(), v.end(), 0.0)};
}

double PagesRead(const CCache::Counters& before, const CCache::Counters& after) {
    return (after.loads - before.loads) - (after.storedImages - before.storedImages);
}

// With `floors`, the last columns give the median floor of the class's
// queries (zlib's inflate alone on the pages each read) and its ratio to FTS5.
void Report(const char* state, const std::vector<Query>& queries, const std::vector<Sample>& samples, bool floors) {
    std::printf("\n%s (us)            ours median  worst | FTS5 median  worst  ratio | FTS5 best 2000 median  worst  ratio"
                " | our pages read, median%s\n",
                state, floors ? " | floor: inflate of those pages, median  ratio" : "");
    for (int kind = -1; kind < kKindCount; ++kind) {
        std::vector<double> ours, fts, ranked, pages, floor;
        for (size_t i = 0; i < samples.size(); ++i)
            if (kind < 0 ? queries[i % queries.size()].kind < 4 : queries[i % queries.size()].kind == kind)
                ours.push_back(samples[i].ours), fts.push_back(samples[i].fts), ranked.push_back(samples[i].ranked),
                    pages.push_back(samples[i].pages), floor.push_back(samples[i].floor);
        const Summary o = Summarise(ours), f = Summarise(fts), r = Summarise(ranked), least = Summarise(floor);
        std::printf("  %-22s %8.1f %8.1f | %8.1f %8.1f %5.2f | %8.1f %8.1f %5.2f | %5.0f",
                    kind < 0 ? "all ASCII (total ratio)" : kKinds[kind], o.median, o.worst, f.median, f.worst,
                    kind < 0 ? o.total / f.total : o.median / f.median, r.median, r.worst,
                    kind < 0 ? o.total / r.total : o.median / r.median, Summarise(pages).median);
        if (floors)
            std::printf(" | %8.1f %5.2f", least.median, kind < 0 ? least.total / f.total : least.median / f.median);
        std::printf("\n");
    }
}

// What a page costs read cold, by kind: as storage reads it (file read,
// inflate, cache slot), and zlib's inflate alone on the page deflated as
// storage stores it (its bytes after the frame, at the files' level; one
// stream reset between pages, hot buffers). A cold query costs at least its
// pages times these.
struct PageCosts {
    double keyRead = 0, dataRead = 0, keyInflate = 0, dataInflate = 0;
    size_t keyPages = 0, dataPages = 0;
};

PageCosts MeasurePageCosts(CDMS& engine, const std::u16string& path, int32_t& file) {
    engine.CloseFile(file);
    if (Failed(engine.OpenFile(path, 2, DictionarySchemaText, &file))) return {};
    DMSFile* f = engine.FindFile(file);
    const uint32_t lastPage = f->HeaderU32(header::kLastPage), pageSize = f->PageSize();
    std::vector<double> reads[2], inflates[2];
    std::vector<uint8_t> packed(compressBound(pageSize)), out(pageSize);
    z_stream z{};
    inflateInit(&z);
    // About 4000 pages spread over the file, each read once: every read is a cold one.
    for (uint32_t page = 1; page <= lastPage; page += std::max<uint32_t>(1, lastPage / 4000)) {
        DmsStatus st;
        const auto start = Clock::now();
        const CachedPage cached = f->GetPage(page, st);
        const double us = Micros(start, Clock::now());
        if (!cached) continue;
        const uint16_t signature =
            static_cast<uint16_t>(cached.data[frame::kSignature] | cached.data[frame::kSignature + 1] << 8);
        const int kind = signature == kDataSignature ? 1 : KeyPageHeight(signature) >= 0 ? 0 : -1;
        if (kind < 0) continue;
        uLongf packedBytes = packed.size();
        if (compress2(packed.data(), &packedBytes, cached.data + frame::kSize, pageSize - frame::kSize,
                      kPageCompressionLevel) != Z_OK) continue;
        const auto inflateStart = Clock::now();
        inflateReset(&z);
        z.next_in = packed.data();
        z.avail_in = static_cast<uInt>(packedBytes);
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        const int done = inflate(&z, Z_FINISH);
        const double inflateUs = Micros(inflateStart, Clock::now());
        if (done != Z_STREAM_END) continue;
        reads[kind].push_back(us);
        inflates[kind].push_back(inflateUs);
    }
    inflateEnd(&z);
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0.0 : v[v.size() / 2];
    };
    return {median(reads[0]), median(reads[1]), median(inflates[0]), median(inflates[1]), reads[0].size(),
            reads[1].size()};
}

// The key and data pages the cache holds of the file: after a query on a
// freshly opened file, the pages that query read.
std::pair<uint32_t, uint32_t> CachedKeyAndDataPages(CDMS& engine, int32_t file) {
    DMSFile* f = engine.FindFile(file);
    uint32_t key = 0, data = 0;
    const uint32_t lastPage = f->HeaderU32(header::kLastPage);
    for (uint32_t page = 1; page <= lastPage; ++page) {
        const CachedPage cached = f->Cache().Lookup(*f, page);
        if (!cached) continue;
        const uint16_t signature =
            static_cast<uint16_t>(cached.data[frame::kSignature] | cached.data[frame::kSignature + 1] << 8);
        if (signature == kDataSignature) ++data;
        else if (KeyPageHeight(signature) >= 0) ++key;
    }
    return {key, data};
}

}  // namespace

int main(int argc, char** argv) {
    size_t rounds = 5;
    std::string hitsPath;
    int only = -1;
    bool warmOnly = false, coldOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--hits" && i + 1 < argc) hitsPath = argv[++i];
        else if (arg == "--only" && i + 1 < argc) only = std::stoi(argv[++i]);
        else if (arg == "--warm") warmOnly = true;
        else if (arg == "--cold") coldOnly = true;
        else rounds = std::max<size_t>(std::stoul(arg), 1);
    }
    const std::u16string path = CompiledDebianDictionary("edict");
    if (path.empty()) return std::fprintf(stderr, "edict could not be compiled\n"), 1;
    CDMS engine(SystemStorageIO());
    int32_t file = 0;
    if (Failed(engine.OpenFile(path, 2, DictionarySchemaText, &file))) return 1;
    const std::vector<ArticleText> articles = ReadArticles(engine, file);
    const std::string ftsPath = BinaryPath() + "/bench-dictionaries/edict.fts5.sqlite";
    if (!std::filesystem::exists(ftsPath)) {
        std::fprintf(stderr, "filling FTS5 with %zu articles (once)\n", articles.size());
        BuildFts5(ftsPath + ".part", articles);
        std::filesystem::rename(ftsPath + ".part", ftsPath);
    }
    Fts5 fts(ftsPath);
    fts.Open();
    std::vector<Query> queries = MakeQueries(fts.db(), articles);
    if (queries.size() != 700) return std::fprintf(stderr, "too few words for the queries\n"), 1;
    // --only KIND keeps one class (for profiles).
    if (only >= 0) std::erase_if(queries, [&](const Query& q) { return q.kind != only; });

    FullTextQuery query;
    const auto ours = [&](const Query& q, std::vector<ScoredArticle>* kept, size_t* found) {
        const auto start = Clock::now();
        const int32_t groups = query.Parse(Utf8ToUtf16(q.ours));
        std::vector<ScoredArticle> hits = SearchDictionary(query, groups, engine, file);
        const size_t count = hits.size();
        KeepBestArticles(hits, WordList::kMaxEntries);
        const double us = Micros(start, Clock::now());
        if (found) *found = count;
        if (kept) *kept = std::move(hits);
        return us;
    };
    const auto peer = [&](const Query& q, bool best, size_t* rows) {
        const auto start = Clock::now();
        const size_t n = fts.Run(q, best);
        const double us = Micros(start, Clock::now());
        if (rows) *rows = n;
        return us;
    };

    // A first pass: counts (and the hit lists for --hits), and every page read once.
    std::vector<size_t> oursFound(kKindCount), ftsFound(kKindCount);
    std::ofstream hits;
    if (!hitsPath.empty()) hits.open(hitsPath);
    for (const Query& q : queries) {
        std::vector<ScoredArticle> kept;
        size_t found = 0, rows = 0;
        ours(q, &kept, &found);
        peer(q, false, &rows);
        peer(q, true, nullptr);
        oursFound[static_cast<size_t>(q.kind)] += found;
        ftsFound[static_cast<size_t>(q.kind)] += rows;
        if (hits.is_open()) {
            hits << q.ours << '\t' << found;
            for (const ScoredArticle& a : kept) hits << ' ' << a.position << ':' << a.score;
            hits << '\n';
        }
    }
    std::printf("EDICT as qdxc compiles it, %zu articles; %zu queries a class, %zu rounds\n", articles.size(),
                queries.size() / kKindCount, rounds);
    for (int k = 0; k < kKindCount; ++k)
        std::printf("  %-22s articles found: ours %zu, FTS5 %zu\n", kKinds[k], oursFound[static_cast<size_t>(k)],
                    ftsFound[static_cast<size_t>(k)]);

    std::vector<Sample> warm, cold;
    for (size_t round = 0; round < (coldOnly ? 0 : rounds); ++round)
        for (const Query& q : queries) {
            // Each side asks once untimed, then the same again timed.
            Sample s{};
            ours(q, nullptr, nullptr);
            const CCache::Counters before = engine.GetCacheCounters();
            s.ours = ours(q, nullptr, nullptr);
            s.pages = PagesRead(before, engine.GetCacheCounters());
            peer(q, false, nullptr);
            s.fts = peer(q, false, nullptr);
            peer(q, true, nullptr);
            s.ranked = peer(q, true, nullptr);
            warm.push_back(s);
        }
    const PageCosts costs = warmOnly ? PageCosts{} : MeasurePageCosts(engine, path, file);
    for (size_t round = 0; round < (warmOnly ? 0 : rounds); ++round)
        for (const Query& q : queries) {
            Sample s{};
            engine.CloseFile(file);
            if (Failed(engine.OpenFile(path, 2, DictionarySchemaText, &file))) return 1;
            const CCache::Counters before = engine.GetCacheCounters();
            s.ours = ours(q, nullptr, nullptr);
            s.pages = PagesRead(before, engine.GetCacheCounters());
            const auto [keyPages, dataPages] = CachedKeyAndDataPages(engine, file);
            s.floor = keyPages * costs.keyInflate + dataPages * costs.dataInflate;
            fts.Open();
            s.fts = peer(q, false, nullptr);
            fts.Open();
            s.ranked = peer(q, true, nullptr);
            cold.push_back(s);
        }
    Report("warm", queries, warm, false);
    Report("cold", queries, cold, true);
    if (!warmOnly) {
        std::printf("\na page read cold (us, median over %zu key and %zu data pages): key %.1f, data %.1f;"
                    " of that zlib's inflate alone: key %.1f, data %.1f\n",
                    costs.keyPages, costs.dataPages, costs.keyRead, costs.dataRead, costs.keyInflate,
                    costs.dataInflate);
    }
    engine.CloseFile(file);
    return 0;
}
