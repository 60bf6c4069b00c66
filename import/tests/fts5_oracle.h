// SQLite's FTS5 as the outside oracle of the full-text search: article texts
// go in as FTS5 sees ASCII words, AND queries of words that both word
// breakers cut alike come out, and our search answers the same queries.
// The oracle is native only (SQLite is linked there); the plain text and
// our search serve both trees.
#pragma once

#include "common/text/utf8.h"
#include "dictionary/full_text_query_search.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

// Own markup without its control words, braces and tags: the text a reader sees.
inline std::u16string MarkupPlainText(std::u16string_view markup) {
    std::u16string out;
    for (size_t i = 0; i < markup.size(); ++i) {
        const char16_t c = markup[i];
        if (c == u'\\' && i + 1 < markup.size() && (markup[i + 1] == u'{' || markup[i + 1] == u'}' || markup[i + 1] == u'\\')) {
            out += markup[++i];
        } else if (c == u'\\') {
            while (i + 1 < markup.size() && markup[i + 1] >= u'a' && markup[i + 1] <= u'z') ++i;
            out += u' ';
        } else if (c == u'<' && (markup.substr(i, 3) == u"<i>" || markup.substr(i, 3) == u"<b>")) {
            i += 2;
        } else if (c == u'<' && (markup.substr(i, 4) == u"</i>" || markup.substr(i, 4) == u"</b>")) {
            i += 3;
        } else {
            out += c == u'{' || c == u'}' ? u' ' : c;
        }
    }
    return out;
}

// The article positions our full-text search finds for `query`.
inline std::set<int64_t> SearchPositions(const std::string& query, CDMS& engine, int32_t fileId) {
    FullTextQuery parsed;
    const int32_t groups = parsed.Parse(Utf8ToUtf16(query));
    std::set<int64_t> out;
    for (const ScoredArticle& a : SearchDictionary(parsed, groups, engine, fileId)) out.insert(a.position);
    return out;
}
#ifdef OSTREL_WITH_SQLITE
#include <sqlite3.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

inline bool IsAsciiAlnum(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }
inline bool IsJoiner(char c) { return c == '\'' || c == '.' || c == ',' || c == ':' || c == ';' || c == '_'; }

// Punctuation that may join a word keeps its place between two ASCII letters
// or digits (FTS5 takes it as a token character), else becomes a blank.
inline std::string FtsText(const std::u16string& article) {
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
    sqlite3* handle() { return db_; }

private:
    sqlite3* db_ = nullptr;
};

inline const char* kFts5Table = "CREATE VIRTUAL TABLE t USING fts5(x, tokenize=\"unicode61 tokenchars '''.,:;_'\")";

// Plain lower-case ASCII terms of two letters or more that never stand inside
// a longer token with punctuation or non-ASCII letters, most frequent first.
inline std::vector<std::string> SafeFts5Words(Sqlite& db) {
    db.Exec("CREATE VIRTUAL TABLE IF NOT EXISTS v USING fts5vocab(t, 'row')");
    std::set<std::string> risky;
    const std::vector<std::pair<std::string, int64_t>> terms = db.Rows("SELECT term, doc FROM v");
    auto plain = [](const std::string& term) {
        return std::all_of(term.begin(), term.end(), [](char c) { return c >= 'a' && c <= 'z'; });
    };
    for (const auto& [term, doc] : terms) {
        if (plain(term)) continue;
        std::string run;
        for (char c : term + ' ') {
            if (IsAsciiAlnum(c)) run += c;
            else if (!run.empty()) risky.insert(run), run.clear();
        }
    }
    std::vector<std::pair<int64_t, std::string>> words;
    for (const auto& [term, doc] : terms)
        if (term.size() >= 2 && !risky.contains(term) && plain(term)) words.push_back({-doc, term});
    std::sort(words.begin(), words.end());
    std::vector<std::string> out;
    for (const auto& w : words) out.push_back(w.second);
    return out;
}

// Articles by position in an FTS5 table, and AND queries over its safe words.
class Fts5Oracle {
public:
    Fts5Oracle() {
        db_.Exec(kFts5Table);
        db_.Exec("BEGIN");
    }
    void Add(int64_t position, const std::u16string& text) { db_.Insert(position, FtsText(text)); }
    // Single words, pairs and triples: (our query, FTS5's).
    std::vector<std::pair<std::string, std::string>> AndQueries(size_t count) {
        db_.Exec("COMMIT");
        const std::vector<std::string> words = SafeFts5Words(db_);
        std::vector<std::pair<std::string, std::string>> queries;
        if (words.size() < 20) return queries;
        for (size_t i = 0; queries.size() < count; ++i) {
            const std::string& a = words[i * 7 % words.size()];
            const std::string& b = words[(i * 13 + 3) % std::min<size_t>(words.size(), 200)];
            const std::string& c = words[(i * 5 + 1) % std::min<size_t>(words.size(), 60)];
            if (i % 3 == 0) queries.push_back({a, "\"" + a + "\""});
            else if (i % 3 == 1) queries.push_back({a + " " + b, "\"" + a + "\" \"" + b + "\""});
            else queries.push_back({a + " " + b + " " + c, "\"" + a + "\" \"" + b + "\" \"" + c + "\""});
        }
        return queries;
    }
    std::set<int64_t> Match(const std::string& query) {
        std::set<int64_t> out;
        for (const auto& row : db_.Rows("SELECT '', rowid FROM t WHERE t MATCH ?", query)) out.insert(row.second);
        return out;
    }

private:
    Sqlite db_;
};

#endif
