// A YARXI source compiled whole: reading-list articles ("T" fifth) are stored
// as format 15, the others as 14, and their keys come from the standard
// elements each article derives.
#include "import/tests/compile_fixture.h"
#include "import/tests/full_text_files.h"

namespace {

TEST_F(CompileFixture, YarxiArticlesAreStoredAsFourteenOrFifteenWithTheirKeys) {
    const std::u16string source = Path("kanji.yarxi"), target = Path("kanji.qdx");
    WriteUtf16File(source, u"{\\yarxi \r\n{\\a 0001 {\\j 日}{\\n 72}{\\on [NICHI]}{\\kun хи}}\r\n"
                           u"{\\a T{\\j 上}{\\on [JOU]}{\\k 上る}{\\r [agaru]}{\\s подниматься}}\r\n}");
    EXPECT_EQ(FormatTypeFromFlags(DetectDictionaryFileFormat(source.c_str())), 14u);
    std::u16string error;
    ASSERT_EQ(Compile(source, target, {}, nullptr, &error), 1) << Utf16ToUtf8(error);
    // The low byte of a reference is the record's format type: 0e for 14, 0f for 15.
    EXPECT_EQ(DumpAll(target, {101, 102, 106}),
              "index 101\n"
              "あがる\t上\t-> #1 0000010f\nあがる\t上る\t-> #1 0000010f\nニチ\t日\t-> #0 00000b0e\n"
              "index 102\n"
              "上\tあがる\t-> #1 0000010f\n上る\tあがる\t-> #1 0000010f\n日\t\t-> #0 0000050e\n"
              "index 106\n"
              "72\t1\t-> #0 0000010e\n");
    int32_t id = 0;
    ASSERT_EQ(engine_.OpenFile(target, 2, DictionarySchemaText, &id), DmsStatus::Success);
    const std::vector<ArticleText> articles = ReadArticles(engine_, id);
    engine_.CloseFile(id);
    ASSERT_EQ(articles.size(), 2u);
    EXPECT_EQ(articles[1].text, u"{\\a T{\\j 上}{\\on [JOU]}{\\k 上る}{\\r [agaru]}{\\s подниматься}}");
    EXPECT_TRUE(Verify(target).empty());
}

// A kanji article holding compounds and names (articles nested in it) is
// keyed by its kanji and on reading like one without, and the words of its
// compounds and names become kanji keys of the article too.
TEST_F(CompileFixture, YarxiArticleWithCompoundsAndNamesIsKeyed) {
    const std::u16string source = Path("kanji.yarxi"), target = Path("kanji.qdx");
    WriteUtf16File(source, u"{\\yarxi \r\n{\\a 0001 {\\j 月}{\\on [GETSU]}"
                           u"{\\cmps {\\cmpg {\\cmp {\\a {\\j 月曜}}}}}{\\names {\\name {\\a {\\j 月子}}}}}\r\n}");
    std::u16string error;
    ASSERT_EQ(Compile(source, target, {}, nullptr, &error), 1) << Utf16ToUtf8(error);
    EXPECT_EQ(DumpAll(target, {101, 102}),
              "index 101\n"
              "ゲツ\t月\t-> #0 00000b0e\n"
              "index 102\n"
              "月\t\t-> #0 0000050e\n月子\t\t-> #0 0000050e\n月曜\t\t-> #0 0000050e\n");
}

}  // namespace
