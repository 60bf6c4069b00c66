// Kanji articles of the own markup (head line, reading lines, the words the
// readings form) and KANJIDIC records reached through the dictionary.
#include <gtest/gtest.h>

#include <cstring>

#include "article/display_attributes.h"
#include "article/element_text.h"
#include "article/formatter_family.h"
#include "article/kanji_article.h"
#include "article/tests/parsed_record_fixture.h"

namespace {

class KanjiArticle : public ParsedRecordTest {
protected:
    KanjiArticle() : words(0x40000, engine) {}

    // 亜 with an on reading, a kun reading that shows its word, and one with dots before.
    void AddKanjiEntry(std::u16string_view kun = u"つ（ぐ）", std::u16string_view fields = u"j=3021 r=1 s=7") {
        Add(4, u"亜");
        Add(13, u"Asia");
        Add(5, u"Asia");
        Add(5, u"come after");
        Add(11, u"ア");
        Add(12, kun, kReadingWithExample);
        Add(12, u"か", kDotsBeforeReading);
        Add(14, fields);
    }
    // The word the shelf's first dictionary knows.
    void KnowWord(std::u16string key, std::u16string reading, std::initializer_list<std::u16string_view> senses) {
        AddElement(words, 2);
        AddElement(words, 3, reading);
        AddElement(words, 4, key);
        for (std::u16string_view sense : senses) AddElement(words, 5, sense);
        context.firstDictionary = &words;
        context.wordKey = key;
        context.wordReading = reading;
    }
    StyledResult Article() { return Show(FormatArticleF2(dictionary, 0)); }

    CDictionary words;
};

TEST_F(KanjiArticle, HeadLineAndReadingLines) {
    AddKanjiEntry();
    StyledResult a = Article();
    EXPECT_EQ(a.text, u"亜\u3000\u3000Asia\u3000\u3000\u3000\u30001 - 7\nア\nつぐ\u3000- ?\n...か\n");
    EXPECT_EQ(a.ClassOf(u"亜"), kClassHeadword);
    EXPECT_EQ(a.ClassOf(u"Asia"), kClassPlain);
    EXPECT_EQ(a.ClassOf(u"ア"), kClassReading);
    EXPECT_EQ(a.ClassOf(u"つ"), kClassReading);
    EXPECT_EQ(a.ClassOf(u"ぐ"), kClassGrey);     // the okurigana: grey, as in KANJIDIC articles
    EXPECT_EQ(a.ClassOf(u"..."), kClassGrey);
    EXPECT_EQ(a.ClassOf(u"- ?"), kClassPlain);

    dictionary.ClearParsedArticle();   // the radical of "fk" wins over "r"
    Add(2);
    AddKanjiEntry(u"つ", u"r=1 fk=7 s=9");
    EXPECT_TRUE(Article().text.starts_with(u"亜\u3000\u3000Asia\u3000\u3000\u3000\u30007 - 9\n"));
}

TEST_F(KanjiArticle, ReadingShowsTheSensesOfItsWord) {
    AddKanjiEntry(u"ツ（グ）");   // katakana is looked up as hiragana
    KnowWord(u"亜ぐ", u"つぐ", {u"to follow", u"to succeed"});
    StyledResult a = Article();
    EXPECT_EQ(context.askedKey, u"亜ぐ");
    EXPECT_EQ(context.askedReading, u"つぐ");
    EXPECT_NE(a.text.find(u"\nツグ\u3000- 1. to follow 2. to succeed \n"), std::u16string::npos);

    // Long senses are cut at the last blank before 57, or hard there.
    std::u16string sense;
    while (sense.size() < 80) sense += u"word ";
    words.ClearParsedArticle();
    KnowWord(u"亜ぐ", u"つぐ", {sense});
    EXPECT_NE(Article().text.find(u"- " + sense.substr(0, 54) + u" ...\n"), std::u16string::npos);
    words.ClearParsedArticle();
    KnowWord(u"亜ぐ", u"つぐ", {std::u16string(70, u'x')});
    EXPECT_NE(Article().text.find(u"- " + std::u16string(56, u'x') + u" ...\n"), std::u16string::npos);
}

TEST_F(KanjiArticle, KanjidicRecordGoesThroughItsRawLine) {
    std::u16string line = u"亜 3021 U4e9c B1 G8 S7 ア つ.ぐ {Asia}\n";
    uint32_t size = static_cast<uint32_t>(10 + line.size() * 2 + 2);
    uint8_t* record = dictionary.ReserveRecordBuffer(size);
    ASSERT_NE(record, nullptr);
    std::memset(record, 0, size);
    record[8] = 6;   // the format type comes from the record's header
    std::memcpy(record + 10, line.data(), line.size() * 2);
    dictionary.SetRecordSize(size);
    Add(4, u"亜");
    Add(13, u"Asia");
    Add(11, u"ア");
    Add(12, u"つ.ぐ");
    Add(14, u"j=3021 u=4e9c r=1 g=8 s=7");

    EXPECT_EQ(Show(FormatArticle(dictionary)).text,
              u"亜\nア\nつぐ\nAsia\n\nBushu:1 Strokes:7\nUnicode:4e9c\nGrade:8\n\n");
    // Its export text is that article: the elements hold only the first
    // meaning and no name readings.
    EXPECT_EQ(Show(FormatExportText(dictionary)).text, Show(FormatArticle(dictionary)).text);

    // Nothing parsed: the stale record is not shown.
    dictionary.ClearParsedArticle();
    EXPECT_EQ(FormatArticle(dictionary).Length(), 0);
    EXPECT_EQ(FormatExportText(dictionary).Length(), 0);
}

}  // namespace
