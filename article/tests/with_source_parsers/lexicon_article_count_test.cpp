// The lexicon's article count over a small own-markup dictionary compiled
// here: each word is counted once per article that holds it, however often,
// so hit records of several hits must be stepped over whole.
#include "article/list_cells.h"
#include "import/tests/compile_fixture.h"

namespace {

TEST_F(CompileFixture, LexiconCountsEachArticleHoldingTheWordOnce) {
    const std::u16string source = Path("count.rdf"), target = Path("count.qdx");
    WriteUtf16File(source,
                   u"{\\rdf1 {\\name Count}"
                   u"{\\a {\\k 水}{\\s {\\rus вода вода вода}}}"
                   u"{\\a {\\k 湯}{\\s {\\rus горячая вода}}}"
                   u"{\\a {\\k 火}{\\s {\\rus огонь}}}"
                   u"{\\a {\\k 炎}{\\s {\\rus огонь и вода, огонь}}}}");
    std::u16string error;
    ASSERT_EQ(Compile(source, target, {}, nullptr, &error), 1) << Utf16ToUtf8(error);
    int32_t file = 0;
    ASSERT_EQ(engine_.OpenFile(target, 2, DictionarySchemaText, &file), DmsStatus::Success);
    const std::pair<std::u16string, int32_t> counts[] = {
        {u"вода", 3}, {u"огонь", 2}, {u"горячая", 1}, {u"и", 1}, {u"земля", 0}, {u"", 0},
    };
    for (const auto& [word, articles] : counts)
        EXPECT_EQ(CountArticlesOfWord(engine_, file, word), articles) << Utf16ToUtf8(word);
    engine_.CloseFile(file);
}

}  // namespace
