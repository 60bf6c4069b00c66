// Full-text query latency on EDICT as the program opens it (compiled by qdxc
// with its defaults: compressed pages, full-text index), beside SQLite FTS5
// over the same articles split into the same words, by query class, warm
// and cold.
//
// Ours is the search the search-results list runs for one dictionary: parse,
// look-ups in indexes 110 and 111, intersection, scores, the best 2000. FTS5
// answers the same query as plain matches and as its best 2000 by rank.
// FTS5 is given each article as our compiler split it: the words of index
// 110 at the word numbers of their hits (index 111), each written as a token
// of its word id, and a filler token where a number holds no word, so that
// FTS5's phrases see the neighbours ours see. Each query goes to FTS5 as our
// parser reads it: its words' ids, alternatives joined by OR, the words of a
// phrase (quoted, or kana and kanji written together) as one FTS5 phrase.
// Before any timing every query's articles are compared: the bench stops
// when the two sides find different ones.
// Warm: each side asks each query once untimed right before the timed ask
// (one pass over all queries would not do: the kana lists alone outgrow the
// engine's page cache and image store). Cold: before each query our file is
// closed and opened again (its pages leave the page cache and the image
// store) and FTS5 gets a fresh connection (its page cache empty); opening is
// not timed. The operating system's file cache is warm for both sides.
//
// A last class pairs a common word with one that no article holds.
// After the cold table: what one page costs read cold, and zlib's inflate
// alone on it, by key and data pages: with the pages a query reads, the
// floor of a cold query in this format.
//   full_text_bench [ROUNDS] [--hits FILE] [--only CLASS] [--warm | --cold]
// ROUNDS (5) asks of every query per state. --hits writes every query's
// articles (the count found, position and score of the best 2000), to compare
// two builds; --only keeps one class and --warm or --cold one state (profiles).
#include "bench/compiled_dictionaries.h"
#include "bench/work_counts.h"
#include "common/tests/test_paths.h"

#include "common/text/utf8.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/engine_cursor.h"
#include "dictionary/full_text_query.h"
#include "dictionary/full_text_query_hits.h"
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
#include <map>
#include <numeric>
#include <set>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
double Micros(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::micro>(b - a).count(); }

bool IsAsciiWord(const std::u16string& w) {
    return w.size() > 1 && std::all_of(w.begin(), w.end(), [](char16_t c) { return c >= u'a' && c <= u'z'; });
}
bool IsKanaOrKanji(char16_t c) {
    return (c >= 0x3041 && c <= 0x30FF) || (c >= 0x3400 && c <= 0x9FFF) || c == 0x3005;
}

// Index 110: every word's search key and id.
std::map<std::u16string, uint32_t> ReadWordIds(CDMS& engine, int32_t fileId) {
    std::map<std::u16string, uint32_t> out;
    EngineCursor words(engine, fileId);
    if (Failed(words.SelectIndex(kIndexFullTextWords))) return out;
    char16_t text[130] = {};
    KeySegmentValue value{text, 256};
    EntryPosition at;
    for (DmsStatus s = engine.First(words.handle(), &value, &at); !Failed(s);
         s = engine.Next(words.handle(), &value, &at)) {
        out[std::u16string(text, static_cast<size_t>(value.length / 2))] = at.ref.first;
        value = {text, 256};
    }
    return out;
}

std::string Token(uint32_t id) { return "t" + std::to_string(id); }
constexpr const char* kFiller = "f";  // a word number that holds no word: no query asks for it

// Every article as our compiler split it, by article position: the word ids
// at their word numbers, fillers between.
std::map<uint32_t, std::string> ArticlesAsSplit(CDMS& engine, int32_t fileId) {
    std::map<uint32_t, std::map<uint16_t, uint32_t>> numbered;
    for (const auto& [word, indexed] : ReadFullTextIndex(engine, fileId)) {
        HitRecordView record;
        for (size_t at = 0; ReadHitRecord(indexed.hits, at, record); at += HitRecordBytes(record))
            for (size_t i = 0; i < record.Count(); ++i)
                numbered[record.position][static_cast<uint16_t>(record.Hit(i) & kHitWordNumberMask)] = indexed.id;
    }
    std::map<uint32_t, std::string> out;
    for (const auto& [position, words] : numbered) {
        std::string text;
        uint16_t next = 0;
        for (const auto& [number, id] : words) {
            for (; next < number; ++next) text += std::string(kFiller) + ' ';
            text += Token(id) + ' ';
            next = static_cast<uint16_t>(number + 1);
        }
        out[position] = text;
    }
    return out;
}

// The query as our parser reads it, in FTS5's language (empty when a word is
// in no article: FTS5 is then asked for a token no article holds).
std::string FtsQuery(const FullTextQuery& query, const std::map<std::u16string, uint32_t>& ids) {
    const auto token = [&](const std::u16string& word) {
        const auto it = ids.find(word);
        return it == ids.end() ? std::string("none") : Token(it->second);
    };
    const std::vector<int32_t> groups = query.Groups();
    std::string out;
    bool inPhrase = false;
    for (size_t g = 0; g < groups.size(); ++g) {
        const FullTextQueryRecord& group = query.Record(groups[g]);
        // As the search links them: both words in a phrase, whichever.
        const bool linked = g > 0 && group.phrase != 0 && query.Record(groups[g - 1]).phrase != 0;
        if (inPhrase && !linked) out += '"', inPhrase = false;
        if (!out.empty()) out += ' ';
        if (group.phrase != 0) {
            if (!inPhrase) out += '"', inPhrase = true;
            out += token(group.word);
            continue;
        }
        const std::vector<int32_t> alternatives = query.Alternatives(groups[g]);
        std::string any;
        for (int32_t r : alternatives) any += (any.empty() ? "" : " OR ") + token(query.Record(r).word);
        out += alternatives.size() > 1 ? "(" + any + ")" : any;
    }
    if (inPhrase) out += '"';
    return out;
}

struct Query {
    int kind;
    std::string ours;
    std::string fts;  // FTS5's MATCH text
};

const char* const kKinds[] = {"common word", "rare word", "two words", "phrase", "Japanese word",
                              "word + unknown word"};
constexpr int kKindCount = 6;

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
        sqlite3_prepare_v2(db_, "SELECT rowid FROM t WHERE t MATCH ?", -1, &match_, nullptr);
        sqlite3_prepare_v2(db_, "SELECT rowid FROM t WHERE t MATCH ? ORDER BY rank LIMIT 2000", -1, &ranked_,
                           nullptr);
    }
    void Close() {
        sqlite3_finalize(match_);
        sqlite3_finalize(ranked_);
        match_ = ranked_ = nullptr;
        if (db_) sqlite3_close(db_);
        db_ = nullptr;
    }
    // Rows of the query, all of them or the best 2000 by rank; with `rows`, their rowids.
    size_t Run(const Query& q, bool best, std::vector<uint32_t>* rows = nullptr) {
        sqlite3_stmt* s = best ? ranked_ : match_;
        sqlite3_bind_text(s, 1, q.fts.c_str(), -1, SQLITE_TRANSIENT);
        size_t n = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            if (rows) rows->push_back(static_cast<uint32_t>(sqlite3_column_int64(s, 0)));
            ++n;
        }
        sqlite3_reset(s);
        return n;
    }
    sqlite3* db() { return db_; }

private:
    std::string path_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* match_ = nullptr;
    sqlite3_stmt* ranked_ = nullptr;
};

void BuildFts5(const std::string& path, const std::map<uint32_t, std::string>& articles) {
    std::filesystem::remove(path);
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; CREATE VIRTUAL TABLE t USING fts5(x); BEGIN",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO t(rowid, x) VALUES(?, ?)", -1, &insert, nullptr);
    for (const auto& [position, text] : articles) {
        sqlite3_bind_int64(insert, 1, position);
        sqlite3_bind_text(insert, 2, text.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT; INSERT INTO t(t) VALUES('optimize')", nullptr, nullptr, nullptr);
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

// 100 queries of each class: our words by the articles holding them (FTS5's
// vocabulary of the split texts), phrases from the split texts, and runs of
// kana and kanji from the article texts.
std::vector<Query> MakeQueries(sqlite3* db, const std::vector<ArticleText>& articles,
                               const std::map<std::u16string, uint32_t>& ids) {
    std::map<std::string, std::u16string> wordOfToken;
    for (const auto& [word, id] : ids) wordOfToken[Token(id)] = word;
    sqlite3_exec(db, "CREATE VIRTUAL TABLE temp.v USING fts5vocab(main, t, 'row')", nullptr, nullptr, nullptr);
    std::vector<std::string> words;  // plain ASCII words, by document count
    for (const std::string& term : Column(db, "SELECT term FROM v ORDER BY doc DESC, term"))
        if (const auto it = wordOfToken.find(term); it != wordOfToken.end() && IsAsciiWord(it->second))
            words.push_back(Utf16ToUtf8(it->second));
    // Runs of two or more kana and kanji, by the articles holding them.
    std::map<std::u16string, size_t> runs;
    for (const ArticleText& article : articles) {
        std::set<std::u16string> seen;
        for (size_t i = 0; i < article.text.size();) {
            size_t end = i;
            while (end < article.text.size() && IsKanaOrKanji(article.text[end])) ++end;
            if (end - i > 1) seen.insert(article.text.substr(i, end - i));
            i = end + 1;
        }
        for (const std::u16string& run : seen) ++runs[run];
    }
    std::vector<std::pair<size_t, std::u16string>> byCount;
    for (const auto& [run, count] : runs) byCount.push_back({count, run});
    std::sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    std::vector<std::string> japanese;
    for (const auto& [count, run] : byCount) japanese.push_back(Utf16ToUtf8(run));
    std::vector<Query> queries;
    if (words.size() < 400 || japanese.size() < 400) return queries;
    FullTextQuery parsed;
    const auto add = [&](int kind, const std::string& text) {
        parsed.Parse(Utf8ToUtf16(text));
        queries.push_back({kind, text, FtsQuery(parsed, ids)});
    };
    for (size_t i = 0; i < 100; ++i) add(0, words[i]);
    for (size_t i = 0; i < 100; ++i) add(1, words[words.size() - 1 - i * 37 % (words.size() / 2)]);
    for (size_t i = 0; i < 100; ++i) add(2, words[i * 3] + " " + words[(i * 7 + 3) % 400]);
    // Phrases of two words standing together in an article as it was split.
    const std::set<std::string> plain(words.begin(), words.end());
    const std::vector<std::string> texts = Column(db, "SELECT x FROM t ORDER BY rowid");
    for (size_t n = 0; n < texts.size() && queries.size() < 400; n += 97) {
        std::vector<std::string> tokens;
        std::string token;
        for (char c : texts[n] + ' ') {
            if (c != ' ') {
                token += c;
                continue;
            }
            const auto it = wordOfToken.find(token);
            tokens.push_back(it == wordOfToken.end() ? std::string() : Utf16ToUtf8(it->second));
            token.clear();
        }
        for (size_t i = 0; i + 1 < tokens.size(); ++i)
            if (plain.contains(tokens[i]) && plain.contains(tokens[i + 1]) && tokens[i] != tokens[i + 1]) {
                add(3, "\"" + tokens[i] + " " + tokens[i + 1] + "\"");
                break;
            }
    }
    // Kana and kanji words from the most common to the rarest.
    for (size_t i = 0; i < 100; ++i) add(4, japanese[i * (japanese.size() - 1) / 99]);
    // A common word, then one no article holds (a word of the pairs above
    // with a tail no English word has): what a typing slip asks.
    for (size_t i = 0; i < 100; ++i) add(5, words[i * 3] + " " + words[(i * 7 + 3) % 400] + "qx");
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

// Prints one state's table and returns the ratio of the medians over the
// ASCII classes, ours / FTS5. With `floors`, the last columns give the median
// floor of the class's queries (zlib's inflate alone on the pages each read)
// and its ratio to FTS5.
double Report(const char* state, const std::vector<Query>& queries, const std::vector<Sample>& samples, bool floors) {
    std::printf("\n%s (us)            ours median  worst | FTS5 median  worst  ratio | FTS5 best 2000 median  worst  ratio"
                " | our pages read, median%s\n",
                state, floors ? " | floor: inflate of those pages, median  ratio" : "");
    double medianRatio = 0;
    for (int kind = -1; kind < kKindCount; ++kind) {
        std::vector<double> ours, fts, ranked, pages, floor;
        for (size_t i = 0; i < samples.size(); ++i)
            if (kind < 0 ? queries[i % queries.size()].kind < 4 : queries[i % queries.size()].kind == kind)
                ours.push_back(samples[i].ours), fts.push_back(samples[i].fts), ranked.push_back(samples[i].ranked),
                    pages.push_back(samples[i].pages), floor.push_back(samples[i].floor);
        const Summary o = Summarise(ours), f = Summarise(fts), r = Summarise(ranked), least = Summarise(floor);
        if (kind < 0 && f.median > 0) medianRatio = o.median / f.median;
        std::printf("  %-22s %8.1f %8.1f | %8.1f %8.1f %5.2f | %8.1f %8.1f %5.2f | %5.0f",
                    kind < 0 ? "all ASCII (total ratio)" : kKinds[kind], o.median, o.worst, f.median, f.worst,
                    kind < 0 ? o.total / f.total : o.median / f.median, r.median, r.worst,
                    kind < 0 ? o.total / r.total : o.median / r.median, Summarise(pages).median);
        if (floors)
            std::printf(" | %8.1f %5.2f", least.median, kind < 0 ? least.total / f.total : least.median / f.median);
        std::printf("\n");
    }
    return medianRatio;
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
    CountSqliteAllocations();
    const std::u16string path = CompiledDebianDictionary("edict");
    if (path.empty()) return std::fprintf(stderr, "edict could not be compiled\n"), 1;
    CDMS engine(SystemStorageIO());
    int32_t file = 0;
    if (Failed(engine.OpenFile(path, 2, DictionarySchemaText, &file))) return 1;
    const std::vector<ArticleText> articles = ReadArticles(engine, file);
    const std::map<std::u16string, uint32_t> ids = ReadWordIds(engine, file);
    // A file of its own: FTS5 holds the texts as our compiler split them.
    const std::string ftsPath = std::filesystem::path(path).replace_extension(".split.fts5.sqlite").string();
    if (!std::filesystem::exists(ftsPath)) {
        const std::map<uint32_t, std::string> split = ArticlesAsSplit(engine, file);
        std::fprintf(stderr, "filling FTS5 with %zu articles as our compiler split them (once)\n", split.size());
        BuildFts5(ftsPath + ".part", split);
        std::filesystem::rename(ftsPath + ".part", ftsPath);
    }
    Fts5 fts(ftsPath);
    fts.Open();
    std::vector<Query> queries = MakeQueries(fts.db(), articles, ids);
    if (queries.size() != 100 * kKindCount) return std::fprintf(stderr, "too few words for the queries\n"), 1;
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

    // A first pass: both sides must find the same articles for every query
    // before any is timed (and the hit lists for --hits; every page read once).
    std::vector<size_t> found(kKindCount);
    size_t differing = 0;
    std::ofstream hits;
    if (!hitsPath.empty()) hits.open(hitsPath);
    for (const Query& q : queries) {
        std::vector<ScoredArticle> kept;
        size_t count = 0;
        ours(q, &kept, &count);
        std::vector<uint32_t> oursAll;
        {
            const int32_t groups = query.Parse(Utf8ToUtf16(q.ours));
            for (const ScoredArticle& a : SearchDictionary(query, groups, engine, file)) oursAll.push_back(a.position);
        }
        std::vector<uint32_t> rows;
        fts.Run(q, false, &rows);
        peer(q, true, nullptr);
        std::sort(oursAll.begin(), oursAll.end());
        std::sort(rows.begin(), rows.end());
        if (oursAll != rows && ++differing <= 5)
            std::fprintf(stderr, "%s: ours %zu articles, FTS5 %zu (%s)\n", q.ours.c_str(), oursAll.size(), rows.size(),
                         q.fts.c_str());
        found[static_cast<size_t>(q.kind)] += count;
        if (hits.is_open()) {
            hits << q.ours << '\t' << count;
            for (const ScoredArticle& a : kept) hits << ' ' << a.position << ':' << a.score;
            hits << '\n';
        }
    }
    if (differing > 0) return std::fprintf(stderr, "%zu queries found different articles: not timed\n", differing), 1;
    std::printf("EDICT as qdxc compiles it, %zu articles; %zu queries a class, %zu rounds; every query finds the same"
                " articles on both sides\n",
                articles.size(), queries.size() / kKindCount, rounds);
    for (int k = 0; k < kKindCount; ++k)
        std::printf("  %-22s articles found: %zu\n", kKinds[k], found[static_cast<size_t>(k)]);

    std::vector<Sample> warm, cold;
    // The work of each side's timed asks, all classes (FTS5 has no collation:
    // its key compares are not counted). A cold ask's key compares and
    // allocations include the check of each key page it reads, unless the
    // engine kept that check from the file's last opening, which it finds
    // by the file object's address: they vary with the heap's state, where
    // its pages read and inflated do not.
    EngineWork warmWork, coldWork;
    SqliteWork warmPeerWork, coldPeerWork;
    for (size_t round = 0; round < (coldOnly ? 0 : rounds); ++round)
        for (const Query& q : queries) {
            // Each side asks once untimed, then the same again timed.
            Sample s{};
            ours(q, nullptr, nullptr);
            const CCache::Counters before = engine.GetCacheCounters();
            const EngineWork work = EngineWork::Now(engine);
            s.ours = ours(q, nullptr, nullptr);
            warmWork += EngineWork::Now(engine).Since(work);
            s.pages = PagesRead(before, engine.GetCacheCounters());
            peer(q, false, nullptr);
            const SqliteWork peerWork = SqliteWork::Now(fts.db(), 0);
            s.fts = peer(q, false, nullptr);
            warmPeerWork += SqliteWork::Now(fts.db(), 0).Since(peerWork);
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
            const EngineWork work = EngineWork::Now(engine);
            s.ours = ours(q, nullptr, nullptr);
            coldWork += EngineWork::Now(engine).Since(work);
            s.pages = PagesRead(before, engine.GetCacheCounters());
            const auto [keyPages, dataPages] = CachedKeyAndDataPages(engine, file);
            s.floor = keyPages * costs.keyInflate + dataPages * costs.dataInflate;
            fts.Open();
            const SqliteWork peerWork = SqliteWork::Now(fts.db(), 0);
            s.fts = peer(q, false, nullptr);
            coldPeerWork += SqliteWork::Now(fts.db(), 0).Since(peerWork);
            fts.Open();
            s.ranked = peer(q, true, nullptr);
            cold.push_back(s);
        }
    const double warmRatio = Report("warm", queries, warm, false);
    const double coldRatio = Report("cold", queries, cold, true);
    // The figures of the bench pass (bench/pass.py): medians, which a
    // preempted query on a loaded machine moves less than totals.
    if (!coldOnly) std::printf("\nwarm, ASCII queries, median ours / median FTS5: %.2f\n", warmRatio);
    if (!warmOnly) std::printf("cold, ASCII queries, median ours / median FTS5: %.2f\n", coldRatio);
    const double asks = static_cast<double>(queries.size() * rounds);
    if (!coldOnly) warmWork.Print("ours warm", "query", asks), warmPeerWork.Print("FTS5 warm", "query", asks);
    if (!warmOnly) coldWork.Print("ours cold", "query", asks), coldPeerWork.Print("FTS5 cold", "query", asks);
    if (!warmOnly) {
        std::printf("\na page read cold (us, median over %zu key and %zu data pages): key %.1f, data %.1f;"
                    " of that zlib's inflate alone: key %.1f, data %.1f\n",
                    costs.keyPages, costs.dataPages, costs.keyRead, costs.dataRead, costs.keyInflate,
                    costs.dataInflate);
    }
    engine.CloseFile(file);
    return 0;
}
