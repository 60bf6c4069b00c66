// A PDIC file on the disk is found by the format detection and compiled
// whole: one article per word, each parsed back to its headword and sense.
#include "import/tests/compile_fixture.h"
#include "import/tests/full_text_files.h"
#include "import/tests/pdic_test_writer.h"

#include "dictionary/format_detection.h"

#include <iterator>

namespace {

TEST_F(CompileFixture, PdicFileIsDetectedAndCompiledWordByWord) {
    std::vector<PdicTestWord> words = {{"apple", 0, "\x97\xd1\x8c\xe7", {}},  // 林檎
                                       {"bank", 0, "\x8b\xe2\x8d\x73", {}}};  // 銀行
    for (int i = 0; i < 40; ++i) words.push_back({"word" + std::to_string(100 + i), 0, "x", {}});
    const std::u16string source = Path("sample.dic"), target = Path("sample.qdx");
    const std::vector<uint8_t> file = WritePdicFile(words);
    {
        std::ofstream out(std::filesystem::path(source), std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    }
    EXPECT_EQ(FormatTypeFromFlags(DetectDictionaryFileFormat(source.c_str())), 7);

    std::u16string error;
    ASSERT_EQ(Compile(source, target, {}, nullptr, &error), 1) << Utf16ToUtf8(error);
    int32_t id = 0;
    ASSERT_EQ(engine_.OpenFile(target, 2, DictionarySchemaText, &id), DmsStatus::Success);
    const std::vector<ArticleText> articles = ReadArticles(engine_, id);
    engine_.CloseFile(id);
    ASSERT_EQ(articles.size(), words.size());
    bool apple = false, bank = false;
    for (const ArticleText& a : articles) {
        apple |= a.text.find(u"apple") != std::u16string::npos && a.text.find(u"林檎") != std::u16string::npos;
        bank |= a.text.find(u"bank") != std::u16string::npos && a.text.find(u"銀行") != std::u16string::npos;
    }
    EXPECT_TRUE(apple && bank);
    EXPECT_TRUE(Verify(target).empty());
}

// A PDIC file cut after its index (its data blocks gone) yields no article: the
// compile is refused with the reason, the header's count beside the none
// read, and the old target file stays as it was.
TEST_F(CompileFixture, CutPdicFileIsRefusedKeepingTheOldTarget) {
    std::vector<PdicTestWord> words;
    for (int i = 0; i < 40; ++i) words.push_back({"word" + std::to_string(100 + i), 0, "x", {}});
    std::vector<uint8_t> file = WritePdicFile(words);
    file.resize(2 * 256);  // the header and index blocks whole, no data block
    const std::u16string source = Path("cut.dic"), target = Path("cut.qdx");
    std::ofstream(std::filesystem::path(source), std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    std::ofstream(std::filesystem::path(target), std::ios::binary) << "old dictionary";
    std::u16string error;
    EXPECT_EQ(Compile(source, target, {}, nullptr, &error), 0);
    EXPECT_EQ(error, u"The source holds no article this format can read: nothing was stored, and the old dictionary "
                     u"file is kept.\nThe source could not be read to its end; articles stored from the part that "
                     u"was read: 0\nWords counted by the header: 40; words in the file: 0");
    std::ifstream kept(std::filesystem::path(target), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "old dictionary");
}

}  // namespace
