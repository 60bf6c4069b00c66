// DSL and WARODAI dictionaries get their full-text index from their own
// cleaners, YARXI ones from a preparer that adds kana to romaji readings:
// words of the translations and readings are found, markup tags are not
// words, and a word of one card finds that card only.
#include "import/tests/compile_fixture.h"
#include "import/tests/full_text_files.h"

#include "dictionary/full_text_query_search.h"

#include <set>

namespace {

class CleanedFormatSearch : public CompileFixture {
protected:
    // Compiles `text` as `name` and answers the articles a query finds, by
    // the first line of their text.
    void CompileSource(const std::string& name, std::u16string_view text) {
        const std::u16string source = Path(name), target = Path(name + ".qdx");
        WriteUtf16File(source, text);
        std::u16string error;
        ASSERT_EQ(Compile(source, target, {}, nullptr, &error), 1) << Utf16ToUtf8(error);
        ASSERT_EQ(engine_.OpenFile(target, 2, DictionarySchemaText, &file_), DmsStatus::Success);
        for (const ArticleText& a : ReadArticles(engine_, file_))
            heads_[a.position] = a.text.substr(0, a.text.find_first_of(u"\r\n"));
    }
    void TearDown() override {
        if (file_) engine_.CloseFile(file_);
        CompileFixture::TearDown();
    }
    std::set<std::u16string> Find(std::u16string_view text) {
        FullTextQuery query;
        const int32_t groups = query.Parse(text);
        std::set<std::u16string> found;
        for (const ScoredArticle& a : SearchDictionary(query, groups, engine_, file_)) found.insert(heads_[a.position]);
        return found;
    }

    int32_t file_ = 0;
    std::map<uint32_t, std::u16string> heads_;
};

TEST_F(CleanedFormatSearch, DslTranslationsAreIndexedWithoutTheirTags) {
    CompileSource("cards.dsl", u"#NAME \"Cards\"\n#INDEX_LANGUAGE \"Japanese\"\n#CONTENTS_LANGUAGE \"Russian\"\n"
                               u"猫\n [m1][p]сущ.[/p] [trn]кошка, кот[/trn][/m]\n"
                               u"犬\n [m1][trn]собака[/trn][/m]\n [m1][ex]犬が好き — любить собак[/ex][/m]\n");
    EXPECT_EQ(Find(u"кот"), (std::set<std::u16string>{u"猫"}));
    EXPECT_EQ(Find(u"собака"), (std::set<std::u16string>{u"犬"}));
    EXPECT_EQ(Find(u"\"кошка\""), (std::set<std::u16string>{u"猫"}));
    EXPECT_TRUE(Find(u"trn").empty());
    EXPECT_TRUE(Find(u"m1").empty());
}

TEST_F(CleanedFormatSearch, WarodaiSenseLinesAreIndexedWithoutTheirMarkup) {
    CompileSource("cards.txt", u"ねこ【猫】(нэко)〔1〕\n1) <i>зоол.</i> кошка;\n2) гейша\n\n"
                               u"いぬ【犬】(ину)〔2〕\n1) собака;\n2) шпион\n\n");
    EXPECT_EQ(Find(u"гейша"), (std::set<std::u16string>{u"ねこ【猫】(нэко)〔1〕"}));
    EXPECT_EQ(Find(u"шпион"), (std::set<std::u16string>{u"いぬ【犬】(ину)〔2〕"}));
    EXPECT_EQ(Find(u"зоол"), (std::set<std::u16string>{u"ねこ【猫】(нэко)〔1〕"}));
    EXPECT_TRUE(Find(u"i").empty());
}

TEST_F(CleanedFormatSearch, YarxiReadingsAreFoundByTheirKanaToTheEndOfALongArticle) {
    // The kana the preparer adds make its text longer than the article's:
    // the last readings must still reach the index.
    std::u16string readings;
    for (int i = 0; i < 60; ++i) readings += u"[TAKAI] ";
    CompileSource("kanji.yarxi", u"{\\yarxi {\\a 0006{\\j 高}{\\on [KOU]}{\\r " + readings +
                                     u"[SAGARU]}{\\s  high}}{\\a 0007{\\j 上}{\\on [JOU]}{\\s  up}}}");
    ASSERT_EQ(heads_.size(), 2u);
    EXPECT_EQ(Find(u"こう").size(), 1u);
    EXPECT_EQ(Find(u"じょう").size(), 1u);
    EXPECT_EQ(Find(u"さがる").size(), 1u);
    EXPECT_EQ(Find(u"high").size(), 1u);
}

}  // namespace
