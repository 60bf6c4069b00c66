// The full-text search against SQLite's FTS5 over the same EDICT articles:
// for AND queries and quoted phrases of ASCII words, both find the same set
// of articles (ranking is not compared). Words that the two word breakers
// could cut differently (parts of tokens holding punctuation or non-ASCII
// letters) are not queried. Every 50th line by default; OSTREL_WHOLE_EDICT=1
// takes the whole file. Native only (SQLite is linked there).
#include "import/tests/compile_fixture.h"
#include "import/tests/full_text_files.h"

#include "dictionary/full_text_query_search.h"

#ifdef OSTREL_WITH_SQLITE
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <set>

namespace {

bool IsAsciiAlnum(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }
bool IsJoiner(char c) { return c == '\'' || c == '.' || c == ',' || c == ':' || c == ';' || c == '_'; }

// Punctuation that may join a word keeps its place between two ASCII letters
// or digits (FTS5 takes it as a token character), else becomes a blank.
std::string FtsText(const std::u16string& article) {
    std::string text = Utf16ToUtf8(article);
    for (size_t i = 0; i < text.size(); ++i)
        if (IsJoiner(text[i]) && !(i > 0 && i + 1 < text.size() && IsAsciiAlnum(text[i - 1]) && IsAsciiAlnum(text[i + 1])))
            text[i] = ' ';
    return text;
}

class Sqlite {
public:
    Sqlite() { sqlite3_open(":memory:", &db_); }
    ~Sqlite() { sqlite3_close(db_); }
    void Exec(const std::string& sql) { ASSERT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db_); }
    // Rows of the first column as text and the second as an integer.
    std::vector<std::pair<std::string, int64_t>> Rows(const std::string& sql, const std::string& bind = {}) {
        std::vector<std::pair<std::string, int64_t>> out;
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &s, nullptr) != SQLITE_OK) return out;
        if (!bind.empty()) sqlite3_bind_text(s, 1, bind.c_str(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(s) == SQLITE_ROW) {
            const unsigned char* t = sqlite3_column_text(s, 0);
            out.push_back({t ? reinterpret_cast<const char*>(t) : "", sqlite3_column_int64(s, 1)});
        }
        sqlite3_finalize(s);
        return out;
    }
    void Insert(int64_t rowid, const std::string& text) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db_, "INSERT INTO t(rowid, x) VALUES(?, ?)", -1, &s, nullptr);
        sqlite3_bind_int64(s, 1, rowid);
        sqlite3_bind_text(s, 2, text.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(s);
        sqlite3_finalize(s);
    }

private:
    sqlite3* db_ = nullptr;
};

TEST_F(CompileFixture, FullTextSearchFindsTheArticlesFts5Finds) {
    const bool whole = std::getenv("OSTREL_WHOLE_EDICT") != nullptr;
    if (!WriteEdictSample(Path("sample.edict"), whole ? 1 : 50, {})) GTEST_SKIP() << "edict is not installed";
    const std::u16string target = Path("sample.qdx");
    std::u16string error;
    ASSERT_EQ(Compile(Path("sample.edict"), target, {}, nullptr, &error), 1) << Utf16ToUtf8(error);
    int32_t file = 0;
    ASSERT_EQ(engine_.OpenFile(target, 2, DictionarySchemaText, &file), DmsStatus::Success);
    const std::vector<ArticleText> articles = ReadArticles(engine_, file);
    ASSERT_GT(articles.size(), 1000u);

    Sqlite db;
    db.Exec("CREATE VIRTUAL TABLE t USING fts5(x, tokenize=\"unicode61 tokenchars '''.,:;_'\")");
    db.Exec("BEGIN");
    std::vector<std::string> texts;
    for (const ArticleText& a : articles) {
        texts.push_back(FtsText(a.text));
        db.Insert(a.position, texts.back());
    }
    db.Exec("COMMIT");
    db.Exec("CREATE VIRTUAL TABLE v USING fts5vocab(t, 'row')");

    // Query words: plain ASCII terms of two letters or more that never stand
    // inside a longer token with punctuation or non-ASCII letters.
    std::set<std::string> risky;
    std::vector<std::pair<std::string, int64_t>> terms = db.Rows("SELECT term, doc FROM v");
    for (const auto& [term, doc] : terms) {
        if (std::all_of(term.begin(), term.end(), [](char c) { return c >= 'a' && c <= 'z'; })) continue;
        std::string run;
        for (char c : term + ' ') {
            if (IsAsciiAlnum(c)) run += c;
            else if (!run.empty()) risky.insert(run), run.clear();
        }
    }
    std::vector<std::pair<int64_t, std::string>> words;
    for (const auto& [term, doc] : terms)
        if (term.size() >= 2 && !risky.contains(term) &&
            std::all_of(term.begin(), term.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
            words.push_back({-doc, term});
    std::sort(words.begin(), words.end());
    ASSERT_GT(words.size(), 200u);

    std::vector<std::pair<std::string, std::string>> queries;  // (ours, FTS5's)
    for (size_t i = 0; i < 60; ++i) {
        const std::string& w = words[i * (words.size() - 1) / 59].second;
        queries.push_back({w, "\"" + w + "\""});
    }
    for (size_t i = 0; i < 60; ++i) {
        const std::string& a = words[i].second;
        const std::string& b = words[(i * 7 + 3) % 300].second;
        const std::string& c = words[(i * 13 + 5) % 120].second;
        queries.push_back({a + " " + b, "\"" + a + "\" \"" + b + "\""});
        queries.push_back({a + " " + b + " " + c, "\"" + a + "\" \"" + b + "\" \"" + c + "\""});
    }
    const std::set<std::string> plain = [&] {
        std::set<std::string> s;
        for (const auto& w : words) s.insert(w.second);
        return s;
    }();
    // Phrases of two and three words as they stand in the articles.
    for (size_t n = 0; n < texts.size() && queries.size() < 400; n += 37) {
        std::vector<std::string> tokens;
        std::string token;
        for (char c : texts[n] + ' ') {
            if (IsAsciiAlnum(c) || static_cast<unsigned char>(c) >= 0x80 || IsJoiner(c)) {
                token += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
            } else if (!token.empty()) {
                tokens.push_back(token);
                token.clear();
            }
        }
        for (size_t i = 0; i + 2 < tokens.size(); ++i) {
            if (!plain.contains(tokens[i]) || !plain.contains(tokens[i + 1])) continue;
            const std::string two = tokens[i] + " " + tokens[i + 1];
            queries.push_back({"\"" + two + "\"", "\"" + two + "\""});
            if (plain.contains(tokens[i + 2])) {
                const std::string three = two + " " + tokens[i + 2];
                queries.push_back({"\"" + three + "\"", "\"" + three + "\""});
            }
            break;
        }
    }

    size_t found = 0, mismatches = 0;
    FullTextQuery query;
    for (const auto& [ours, theirs] : queries) {
        std::set<int64_t> expected, actual;
        for (const auto& row : db.Rows("SELECT '', rowid FROM t WHERE t MATCH ?", theirs)) expected.insert(row.second);
        const int32_t groups = query.Parse(Utf8ToUtf16(ours));
        for (const ScoredArticle& a : SearchDictionary(query, groups, engine_, file)) actual.insert(a.position);
        found += actual.size();
        if (expected != actual && ++mismatches <= 10)
            ADD_FAILURE() << ours << ": FTS5 " << expected.size() << " articles, ours " << actual.size();
    }
    EXPECT_EQ(mismatches, 0u) << "of " << queries.size() << " queries";
    EXPECT_GT(found, 1000u);
    engine_.CloseFile(file);
}

}  // namespace
#endif
