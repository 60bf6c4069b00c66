// ImportDsl and ParseDslArticle on a dictionary object: article cutting,
// directives, headword kinds, Chinese mode, character records, includes, the
// two cleaners, and stored articles parsed back into the import-time elements.
#include "import/dsl_import.h"
#include "import/dsl_source_loader.h"
#include "import/dsl_text_cleaners.h"
#include "import/dsl_unihan_order.h"

#include "common/tests/test_files.h"
#include "dictionary/dictionary.h"
#include "import/article_keys.h"
#include "import/article_record.h"
#include "import/import_registration.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

std::u16string Describe(const DictionaryElement& e) {
    return std::u16string{char16_t(u'0' + e.kind / 10), char16_t(u'0' + e.kind % 10), u':'} +
           std::u16string(e.text ? std::u16string_view(e.text, e.length) : u"") + u"|";
}

std::u16string Elements(const CDictionary& d, int32_t first = 0, int32_t end = INT32_MAX) {
    std::u16string out;
    for (int32_t i = first; i < std::min(end, d.ElementCount()); ++i) out += Describe(d.Elements()[i]);
    return out;
}

struct Calls {
    std::u16string seen;
    std::u16string articleElements;  // of each article, at its callback
    CDictionary* reader = nullptr;
    std::u16string mismatch;
};

int32_t OnRecord(void* context, CDictionary& dictionary, int32_t element) {
    auto* calls = static_cast<Calls*>(context);
    const DictionaryElement& article = dictionary.Elements()[element];
    calls->seen += Describe(article);
    if (article.kind == 2) calls->articleElements += Elements(dictionary, element);
    if (calls->reader == nullptr || article.kind != 2) return 1;
    const std::vector<uint8_t> record =
        BuildArticleRecord(1, 9, {article.begin, size_t(article.end - article.begin) + 1});
    calls->reader->ParseRecord(record.data(), static_cast<uint32_t>(record.size()));
    if (calls->mismatch.empty() && Elements(*calls->reader) != Elements(dictionary, element))
        calls->mismatch = (Elements(dictionary, element) + u"\n" + Elements(*calls->reader)).substr(0, 200);
    return 1;
}

class DslImport : public testing::Test {
protected:
    void SetUp() override { RegisterImportParsers(); }
    int32_t Import(std::u16string_view text) {
        ImportCallbacks callbacks;
        callbacks.onRecord = OnRecord;
        callbacks.context = &calls_;
        return ImportDsl(dictionary_, text.data(), static_cast<uint32_t>(text.size() * 2), 0, callbacks);
    }

    CDMS engine_{SystemStorageIO()};
    CDictionary dictionary_{0, engine_};
    CDictionary reader_{0, engine_};
    Calls calls_;
};

TEST_F(DslImport, HeadwordLinesShareTheirBodyAndTakeTheKindOfTheirScript) {
    ASSERT_EQ(Import(u"\uFEFF#NAME \"Test\"\r\n\r\n漢字\r\nかな\r\n\t[m1]body {{x}}text\r\ndog\n [trn]пёс[/trn]"), 1);
    EXPECT_EQ(Elements(dictionary_), u"01:|15:Test|02:漢字\r\nかな\r\n\t[m1]body {{x}}text\r\n|04:漢字|03:かな|"
                                     u"05:\t[m1]body {{x}}text|02:dog\n [trn]пёс[/trn]|08:dog|05: [trn]пёс[/trn]|");
    EXPECT_EQ(calls_.seen, u"15:Test|02:漢字\r\nかな\r\n\t[m1]body {{x}}text\r\n|02:dog\n [trn]пёс[/trn]|");
}

TEST_F(DslImport, DirectivesCloseOrDropArticlesAndNameTheDictionary) {
    // Headword lines without a body before a directive are dropped unparsed.
    ASSERT_EQ(Import(u"#NAME Test\nab\ncd\n#INDEX_LANGUAGE \"Russian\"\nef\n gh\n"), 1);
    EXPECT_EQ(calls_.seen, u"15:Test|02:ef\n gh\n|");
    calls_.seen.clear();
    dictionary_.ClearParsedArticle();
    ASSERT_EQ(Import(u"#NAME Test\r\n#NAME \"Second\"\r\nef\r\n gh"), 1);
    EXPECT_EQ(calls_.seen, u"15:Test|02:ef\r\n gh|");
    calls_.seen.clear();
    dictionary_.ClearParsedArticle();
    // An include the loader could not resolve stops the import.
    EXPECT_EQ(Import(u"#NAME \"Test\"\nab\n cd\n#INCLUDE \"missing.dsl\"\n"), 0);
}

TEST_F(DslImport, CommentsSpanLinesAndTheLastArticleKeepsItsLastUnit) {
    ASSERT_EQ(Import(u"#NAME \"Test\"\n{{a comment\nover lines}}ab\n cd\n{{x\ny}}\nef\n gh"), 1);
    EXPECT_EQ(calls_.seen, u"15:Test|02:{{a comment\nover lines}}ab\n cd\n{{x\ny}}\n|02:ef\n gh|");
}

TEST_F(DslImport, ChineseModeCutsThePinyinLineIntoReadings) {
    std::copy_n(u"cmn", 4, dictionary_.languages[0]);
    ASSERT_EQ(Import(u"#NAME \"Test\"\n中国\n [p]zhōng guó[/p]\n [m1]1) China\n"), 1);
    EXPECT_EQ(Elements(dictionary_, 3), u"04:中国|03:zhōng|03:guó|05: [m1]1) China|");
}

TEST_F(DslImport, CharacterRecordsGiveTheirReadings) {
    ASSERT_EQ(Import(u"#NAME \"Unihan Database\"\n日\n [m1][b]Mandarin(P):[/b] [c]rì[/c]\n"
                     u" [m1][b]Japanese(On):[/b] [c]NICHI, JITSU[/c]\n [m1]Unicode: U+65E5\n"),
              1);
    EXPECT_EQ(dictionary_.Elements()[2].flags & 0x40000, 0x40000u);
    EXPECT_EQ(Elements(dictionary_, 3), u"04:日|03:rì|05: [m1][b]Mandarin(P):[/b] [c]rì[/c]\n [m1][b]Japanese(On):[/b] "
                                        u"[c]NICHI, JITSU[/c]\n [m1]Unicode: U+65E5|03:NICHI|03:JITSU|");
}

TEST_F(DslImport, ArticlesOfThousandsOfLinesAndStoredRecordsParseAsImported) {
    std::u16string text = u"#NAME \"Test\"\n漢字\nかんじ\n";
    for (int i = 0; i < 3000; ++i) text += u" [m1]line " + std::u16string(1, char16_t(u'a' + i % 26)) + u"\n";
    text += u"dog\n [trn]пёс[/trn]\n";
    calls_.reader = &reader_;
    ASSERT_EQ(Import(text), 1);
    EXPECT_EQ(calls_.mismatch, u"");
    EXPECT_EQ(dictionary_.Elements()[dictionary_.ElementCount() - 1].length, 15);
}

TEST_F(DslImport, UnihanModeReordersEachArticleBeforeParsing) {
    ASSERT_EQ(Import(u"#NAME \"Unihan Database\"\r\n日\r\n [m1][b]Japanese(Kun):[/b] [c]hi[/c]\r\n"
                     u" [m1][b]Japanese(On):[/b] [c]にち[/c]\r\n [m1][b] Definition:[/b] [u] sun[/u]\r\n"
                     u" [m1][b]-----------[/b]\r\n [m1][b]Unicode:[/b] U+65E5\r\n plain\r\n"
                     u"#CONTENTS_LANGUAGE \"English\"\r\n月\r\n [m1][b]Unicode:[/b] U+6708\r\n"),
              1);
    // The directive after an article is read where the reordered copies left the buffer.
    EXPECT_EQ(calls_.seen.substr(calls_.seen.rfind(u"|02:")), u"|02:月\n [m1][b]Unicode:[/b] U+6708\n|");
    EXPECT_EQ(Elements(dictionary_, 1, 2), u"15:Unihan Database|");
    // The reordered copy an article's elements point into lasts for its callback.
    EXPECT_EQ(calls_.articleElements.substr(calls_.articleElements.find(u"|04:")), u"|04:日|03:hi|05: [m1][b]Japanese(Kun):[/b] [c]hi[/c]\n [m1][b] Definition:[/b] sun\n"
                                        u" [m1][b]-----------[/b]\n [m1][b]Japanese(On):[/b] [c]ニチ[/c]\n"
                                        u" [m1][b]Unicode:[/b] U+65E5\n plain|03:ニチ|02:月\n [m1][b]Unicode:[/b] U+6708\n|04:月|"
                                        u"05: [m1][b]Unicode:[/b] U+6708|");
}

TEST(DslUnihanOrder, LinesBeyondTheTableFollowUnchanged) {
    const std::u16string article = u"X\n [m1][b]Japanese(Kun):[/b] a\n [m1][b]Mandarin(P):[/b] b\n"
                                   u" [m1][b]Japanese(On):[/b] い\n plain\n [m1][b]Radical:[/b] c\n";
    EXPECT_EQ(SortUnihanArticle(article), (std::vector<int32_t>{1, 8, 3, 7}));
    EXPECT_EQ(WriteSortedUnihanArticle(article),
              u"X\n [m1][b]Japanese(Kun):[/b] a\n [m1][b]Japanese(On):[/b] イ\n [m1][b]Mandarin(P):[/b] b\n"
              u" plain\n [m1][b]Radical:[/b] c\n");
}

TEST(DslCleaners, SplitArticleTextDropsMarkupAndMarksFields) {
    const std::u16string text = u"[m1]1) [i]n[/i] {{note}}dog";
    std::vector<uint16_t> bits(text.size(), 0);
    char16_t out[64];
    const int32_t n = SplitArticleText(out, 64, text.data(), int32_t(text.size()), bits.data());
    ASSERT_EQ(std::u16string_view(out, n), u"1) n dog");
    EXPECT_EQ(bits[0] & 0x4100, 0x4100);  // the sense number: a line start, italic
    EXPECT_EQ(bits[1] & 0x100, 0);
    EXPECT_EQ(bits[3], 0x100);            // "n" in [i]
    EXPECT_EQ(bits[5], 0);
    const std::u16string other = u"a  b\\[c\\] <<x>>;(d, e)[lh]hidden[/lh]";
    bits.assign(other.size(), 0);
    const int32_t m = SplitArticleText(out, 64, other.data(), int32_t(other.size()), bits.data());
    ASSERT_EQ(std::u16string_view(out, m), u"a b[c] x;(d, e)");
    EXPECT_EQ(bits[8], 0x2000);
    EXPECT_EQ(bits[9], 0x200);
    EXPECT_EQ(bits[11], 0x1200);
    EXPECT_EQ(SplitArticleText(out, 3, other.data(), int32_t(other.size()), nullptr), 3);
}

TEST(DslCleaners, TranslationWordsComeOnlyFromTrnSpans) {
    // Text hidden with [!trs] stays out, inside a [trn] span too.
    const std::u16string text =
        u" [m1]1) [trn]a [i]big[/i] dog[/trn] [p]n[/p]\n [trn]{{x}}[p]p[/p] cat\n [!trs]no[/!trs]x\n"
        u" [trn]so [!trs]not[/!trs]y[/trn]";
    DslTextCursor cursor{text.data(), int32_t(text.size())};
    char16_t out[64];
    const int32_t n = CollectDslTranslationWords(out, 64, cursor);
    EXPECT_EQ(std::u16string_view(out, n), std::u16string_view(u"a\0big\0dog\0cat\0so\0y", 18));
    EXPECT_EQ(cursor.length, 0);
    DslTextCursor none{u" [m1]no translation", 19};
    EXPECT_EQ(CollectDslTranslationWords(out, 64, none), 0);
}

// The katakana middle dot and the CJK brackets are punctuation: the words
// beside them are keys of their own, without the marks.
TEST(DslCleaners, TranslationWordsStandApartFromTheMiddleDotAndCjkBrackets) {
    const std::u16string sense =
        u"[trn]x\u30fb1 y[/trn]\n [trn]\u300cabc\u300d \uff08def\uff09 12\u30fb34 {\u4f55\u308c\u30fb1}[/trn]\n"
        u" [trn]gh\u6f22\u5b57[/trn]";
    const KeyElement article[] = {{kKeyArticle, 0, 0, sense}, {kKeySense, 0, 0, sense}};
    std::vector<DictionaryKey> keys;
    BuildAlphabeticKeys(article, 9, AlphabeticKeyOptions{false, true}, keys);
    std::vector<std::u16string> words;
    for (const DictionaryKey& key : keys) words.push_back(key.first);
    EXPECT_EQ(words, (std::vector<std::u16string>{u"x", u"1", u"y", u"abc", u"def", u"12", u"34", u"1", u"gh"}));
}

// Letters beyond the BMP are words like any other, their surrogate pairs
// kept whole: Gothic, Deseret, a mathematical letter inside a Latin word and
// a mathematical digit. An ideograph of the supplementary planes is no key,
// as a BMP ideograph is not.
TEST(DslCleaners, TranslationWordsKeepLettersBeyondTheBmpWhole) {
    const std::u16string sense =
        u"[trn]\U00010330\U00010331 \U00010400\U00010428 x\U0001D400y \U0001D7CE[/trn]\n"
        u" [trn]\U0002000B \u4E00 z\U0002000B[/trn]";
    const KeyElement article[] = {{kKeyArticle, 0, 0, sense}, {kKeySense, 0, 0, sense}};
    std::vector<DictionaryKey> keys;
    BuildAlphabeticKeys(article, 9, AlphabeticKeyOptions{false, true}, keys);
    std::vector<std::u16string> words;
    for (const DictionaryKey& key : keys) words.push_back(key.first);
    EXPECT_EQ(words, (std::vector<std::u16string>{u"\U00010330\U00010331", u"\U00010400\U00010428",
                                                  u"x\U0001D400y", u"\U0001D7CE", u"z"}));
}

class DslIncludes : public testing::Test {
protected:
    void Write(const char* name, std::u16string_view text, bool oddByte = false) {
        std::ofstream file(folder_ / name, std::ios::binary);
        for (char16_t c : text) file.put(char(c & 0xFF)).put(char(c >> 8));
        if (oddByte) file.put('x');
    }
    std::u16string Path(const char* name) { return (folder_ / name).u16string(); }

    ScratchFolder folder_{"dsl-includes"};
};

TEST_F(DslIncludes, OneLevelIsExpandedAndNothingElseMoves) {
    Write("main.dsl", u"#NAME \"Main\"\n#INCLUDE \"part.dsl\"\nzz\n yy\n#INCLUDE \"\"\n");
    Write("part.dsl", u"ab\n cd\n");
    std::u16string text, message;
    ASSERT_TRUE(ReadSourceWithIncludes(Path("main.dsl"), 0x400, text, message));
    EXPECT_EQ(text, u"#NAME \"Main\"\nab\n cd\nzz\n yy\n#INCLUDE \"\"\n");
    EXPECT_FALSE(ReadSourceWithIncludes(Path("main.dsl"), 0x800, text, message));
    // An include inside an included file stays, and the importer refuses it.
    Write("part.dsl", u"ab\n cd\n#INCLUDE \"other.dsl\"\n");
    Write("other.dsl", u"ef\n gh\n");
    ASSERT_TRUE(ReadSourceWithIncludes(Path("main.dsl"), 0x400, text, message));
    CDMS engine{SystemStorageIO()};
    CDictionary dictionary{0, engine};
    EXPECT_EQ(ImportDsl(dictionary, text.data(), uint32_t(text.size() * 2), 0, ImportCallbacks{}), 0);
}

// An included file cut inside a character, or that cannot be read, refuses
// the source naming it; so does a source itself cut so.
TEST_F(DslIncludes, AFileCutInsideACharacterOrMissingIsNamed) {
    Write("main.dsl", u"#NAME \"Main\"\n#INCLUDE \"part.dsl\"\nzz\n yy\n");
    Write("part.dsl", u"ab\n cd\n", true);
    std::u16string text, message;
    EXPECT_FALSE(ReadSourceWithIncludes(Path("main.dsl"), 0x400, text, message));
    EXPECT_EQ(message, Path("part.dsl") + u": The file has an odd number of bytes (15), so its UTF-16 text ends "
                                          u"inside a character: the file was cut short.");
    std::filesystem::remove(folder_ / "part.dsl");
    EXPECT_FALSE(ReadSourceWithIncludes(Path("main.dsl"), 0x400, text, message));
    EXPECT_EQ(message, Path("part.dsl") + u": the file an #INCLUDE line names cannot be read.");
    Write("main.dsl", u"#NAME \"Main\"\nzz\n yy\n", true);
    const std::u16string cut = u"The file has an odd number of bytes (41), so its UTF-16 text ends inside a "
                               u"character: the file was cut short.";
    EXPECT_FALSE(ReadSourceWithIncludes(Path("main.dsl"), 0x400, text, message));
    EXPECT_EQ(message, cut);
    EXPECT_FALSE(ReadUnicodeTextFile(Path("main.dsl"), 0x800, text, message));
    EXPECT_EQ(message, cut);
}

}  // namespace
