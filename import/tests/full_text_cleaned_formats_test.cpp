// DSL and WARODAI dictionaries get their full-text index from their own
// cleaners, YARXI ones from a preparer that adds kana to romaji readings:
// words of the translations and readings are found, markup tags are not
// words, and a word of one card finds that card only.
#include "import/tests/compile_fixture.h"
#include "import/tests/full_text_files.h"

#include "common/tests/peer_program.h"
#include "common/tests/test_paths.h"
#include "dictionary/full_text_query_search.h"

#include <cctype>
#include <map>
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

// Debian's KANJIDIC as YARXI articles (import/tests/kanjidic_yarxi_source.py,
// readings romanised by kakasi), each meaning a "\\s" group of its own, the
// groups written back to back: every word of every meaning finds its article.
TEST_F(CleanedFormatSearch, EveryMeaningWordOfGroupsWrittenBackToBackIsFound) {
    const std::string generated = Utf16ToUtf8(Path("kanjidic.yarxi.utf16"));
    if (!RunPeerProgram("kakasi", "python3 " + SourcePath("/import/tests/kanjidic_yarxi_source.py '") + generated +
                                      "' >/dev/null 2>&1; echo done", {}))
        GTEST_SKIP() << "kakasi or python3 is missing";
    std::u16string text = Utf16File(generated);
    if (text.size() < 1000) GTEST_SKIP() << "kanjidic or kanjidic-xml is missing";
    // "{\\s a; b}" becomes "{\\s a}{\\s b}".
    for (size_t at = 0; (at = text.find(u"; ", at)) != std::u16string::npos;) text.replace(at, 2, u"}{\\s ");
    CompileSource("kanji.yarxi", text.substr(text.front() == 0xFEFF ? 1 : 0));
    std::map<std::u16string, std::set<std::u16string>> found;  // word -> the articles it finds
    size_t articles = 0, findable = 0;
    std::u16string firstMissing;
    for (const auto& [position, head] : heads_) {
        ++articles;
        bool all = true;
        for (size_t open = head.find(u"{\\s "); open != std::u16string::npos; open = head.find(u"{\\s ", open + 1)) {
            const size_t close = head.find(u'}', open);
            const std::u16string meaning = head.substr(open + 4, close - open - 4);
            // The meaning's runs of ASCII letters and digits are its words.
            for (size_t w = 0; w < meaning.size();) {
                size_t end = w;
                while (end < meaning.size() && meaning[end] < 0x80 && std::isalnum(static_cast<int>(meaning[end]))) ++end;
                if (end > w) {
                    const std::u16string word = meaning.substr(w, end - w);
                    auto it = found.find(word);
                    if (it == found.end()) it = found.emplace(word, Find(word)).first;
                    if (!it->second.contains(head)) {
                        if (all && firstMissing.empty()) firstMissing = word + u" in " + head;
                        all = false;
                    }
                }
                w = end + 1;
            }
        }
        findable += all;
    }
    EXPECT_GT(articles, 6000u);
    EXPECT_EQ(findable, articles) << Utf16ToUtf8(firstMissing);
}

}  // namespace
