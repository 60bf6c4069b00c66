// Russian word forms in full-text queries, over a dictionary compiled from a
// small own-markup source whose glosses hold the words only in inflected
// forms: a query word in its dictionary form reaches them, a quoted one does
// not, and a word the articles lack finds nothing.
#include "import/tests/compile_fixture.h"
#include "import/tests/full_text_files.h"

#include "dictionary/full_text_query_search.h"

#include <set>

namespace {

TEST_F(CompileFixture, RussianFormsOfQueryWordsReachInflectedWordsOfTheArticles) {
    const std::u16string source = Path("forms.rdf"), target = Path("forms.qdx");
    WriteUtf16File(source,
                   u"{\\rdf1 {\\name Forms}"
                   u"{\\a {\\k 猫}{\\s {\\rus видеть кошку во дворе}}}"
                   u"{\\a {\\k 本}{\\s {\\rus нет интересной книги}}}"
                   u"{\\a {\\k 家}{\\s {\\rus жить в большом доме}}}"
                   u"{\\a {\\k 水}{\\s {\\rus вода}}}}");
    std::u16string error;
    ASSERT_EQ(Compile(source, target, {}, nullptr, &error), 1) << Utf16ToUtf8(error);
    int32_t file = 0;
    ASSERT_EQ(engine_.OpenFile(target, 2, DictionarySchemaText, &file), DmsStatus::Success);
    const std::vector<ArticleText> articles = ReadArticles(engine_, file);
    ASSERT_EQ(articles.size(), 4u);
    auto articleOf = [&](std::u16string_view word) {
        for (const ArticleText& a : articles)
            if (a.text.find(word) != std::u16string::npos) return a.position;
        return uint32_t(0);
    };
    auto search = [&](std::u16string_view text) {
        FullTextQuery query;
        const int32_t groups = query.Parse(text);
        std::set<uint32_t> found;
        for (const ScoredArticle& a : SearchDictionary(query, groups, engine_, file)) found.insert(a.position);
        return found;
    };

    EXPECT_EQ(search(u"кошка"), std::set<uint32_t>{articleOf(u"кошку")});
    EXPECT_EQ(search(u"книга"), std::set<uint32_t>{articleOf(u"книги")});
    EXPECT_EQ(search(u"дом"), std::set<uint32_t>{articleOf(u"доме")});
    EXPECT_EQ(search(u"кошка книга"), std::set<uint32_t>{});  // no article holds both
    EXPECT_EQ(search(u"вода"), std::set<uint32_t>{articleOf(u"вода")});
    // A quoted word is taken as typed: no forms.
    EXPECT_EQ(search(u"\"кошка\""), std::set<uint32_t>{});
    EXPECT_EQ(search(u"собака"), std::set<uint32_t>{});
    engine_.CloseFile(file);
}

}  // namespace
