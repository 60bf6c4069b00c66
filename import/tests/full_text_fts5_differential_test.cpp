// The full-text search against SQLite's FTS5 over the same EDICT articles:
// for AND queries and quoted phrases of ASCII words, both find the same set
// of articles (ranking is not compared). Words that the two word breakers
// could cut differently (parts of tokens holding punctuation or non-ASCII
// letters) are not queried. Every 50th line by default; OSTREL_WHOLE_EDICT=1
// takes the whole file. Native only (SQLite is linked there).
#include "import/tests/compile_fixture.h"
#include "import/tests/full_text_files.h"
#include "import/tests/fts5_oracle.h"

#include "dictionary/full_text_query_search.h"

#ifdef OSTREL_WITH_SQLITE
#include <algorithm>
#include <cstdlib>
#include <set>

namespace {

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
    db.Exec(kFts5Table);
    db.Exec("BEGIN");
    std::vector<std::string> texts;
    for (const ArticleText& a : articles) {
        texts.push_back(FtsText(a.text));
        db.Insert(a.position, texts.back());
    }
    db.Exec("COMMIT");
    const std::vector<std::string> words = SafeFts5Words(db);
    ASSERT_GT(words.size(), 200u);

    std::vector<std::pair<std::string, std::string>> queries;  // (ours, FTS5's)
    for (size_t i = 0; i < 60; ++i) {
        const std::string& w = words[i * (words.size() - 1) / 59];
        queries.push_back({w, "\"" + w + "\""});
    }
    for (size_t i = 0; i < 60; ++i) {
        const std::string& a = words[i];
        const std::string& b = words[(i * 7 + 3) % 300];
        const std::string& c = words[(i * 13 + 5) % 120];
        queries.push_back({a + " " + b, "\"" + a + "\" \"" + b + "\""});
        queries.push_back({a + " " + b + " " + c, "\"" + a + "\" \"" + b + "\" \"" + c + "\""});
    }
    const std::set<std::string> plain = [&] {
        std::set<std::string> s;
        for (const std::string& w : words) s.insert(w);
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
