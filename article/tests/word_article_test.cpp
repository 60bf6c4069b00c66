// Article and column text of word articles, on entries built as the EDICT
// and own-markup parsers leave them.
#include <gtest/gtest.h>

#include "article/display_attributes.h"
#include "article/element_text.h"
#include "article/tests/parsed_record_fixture.h"
#include "article/word_article.h"
#include "common/text/kana_transcription.h"

namespace {

class WordArticle : public ParsedRecordTest {
protected:
    // 猫 [ねこ] /(n) cat/(P)/EntL1467640X/ as the EDICT parser leaves it.
    void AddCatEntry() {
        for (auto [kind, text] : {std::pair<uint32_t, std::u16string_view>{3, u"ねこ"}, {4, u"猫"},
                                  {37, u"(n) "}, {5, u"cat"}, {37, u"(P)"}, {38, u"EntL1467640X"}})
            Add(kind, text);
    }
    StyledResult Article() { return Show(FormatArticleDefault(dictionary, 0)); }
    std::u16string Column(int32_t kind) {
        ListCell cell;
        GetColumnTextDefault(dictionary, 0, cell, kind);
        return std::u16string(cell.text, static_cast<size_t>(cell.length));
    }
    void Restart() {
        dictionary.ClearParsedArticle();
        Add(2);
    }
};

TEST_F(WordArticle, HeadLinesFollowWhatTheEntryHas) {
    AddCatEntry();
    StyledResult a = Article();
    EXPECT_EQ(a.text, u"ねこ\n猫\n(n) \ncat\n(P)\n");
    EXPECT_EQ(a.ClassOf(u"ねこ"), kClassReading);
    EXPECT_EQ(a.ClassOf(u"猫"), kClassHeadword);
    EXPECT_EQ(a.ClassOf(u"cat"), kClassPlain);
    // A later entry of the record adds its senses, not its source line.
    Add(2, u"犬 [いぬ] /dog/");
    Add(5, u"dog");
    EXPECT_EQ(Article().text, u"ねこ\n猫\n(n) \n1. cat\n(P)\n2. dog\n");

    Restart();   // no reading: the article begins with a line feed
    Add(4, u"猫");
    Add(36, u"(ateji) ");
    Add(5, u"cat");
    a = Article();
    EXPECT_EQ(a.text, u"\n猫 (ateji)\ncat\n");
    EXPECT_EQ(a.ClassOf(u"(ateji)"), kClassGrey);

    Restart();   // translations show, in purple, only without senses
    Add(3, u"ねこ");
    Add(35, u"(ok)");
    Add(8, u"кошка ");
    Add(8, u"кот");
    a = Article();
    EXPECT_EQ(a.text, u"ねこ (ok)\nкошка\nкот\n");
    EXPECT_EQ(a.ClassOf(u"кошка"), kClassTranslation);
    EXPECT_EQ(a.ClassOf(u"(ok)"), kClassGrey);
    Add(5, u"cat");
    EXPECT_EQ(Article().text, u"ねこ (ok)\ncat\n");
}

TEST_F(WordArticle, TwoOrMoreSensesAreNumberedUnlessAlreadyNumbered) {
    for (int i = 1; i <= 20; ++i) Add(5, u"s");
    StyledResult a = Article();
    EXPECT_EQ(a.text.substr(0, 10), u"\n1. s\n2. s");
    EXPECT_NE(a.text.find(u"\n10. s\n"), std::u16string::npos);
    EXPECT_NE(a.text.find(u"\n20. s\n"), std::u16string::npos);
    EXPECT_EQ(a.attributes[3], kClassPlain | kAttrSenseNumberBlank);

    Restart();
    Add(5, u"(1) to go");
    Add(5, u"(2) to leave");
    EXPECT_EQ(Article().text, u"\n(1) to go\n(2) to leave\n");
    Restart();
    Add(5, u"only");
    EXPECT_EQ(Article().text, u"\nonly\n");
}

TEST_F(WordArticle, ReadingLineWithTransliteration) {
    Add(3, u"ねこ");
    Add(3, u"ネコ");
    Add(5, u"cat");
    context.flags = kTransliterateBesideKana | kTranscribeLatin;
    EXPECT_EQ(Article().text, u"ねこ\u3000[neko] ・ ネコ\u3000[neko]\ncat\n");
    context.flags = kTransliterateInsteadOfKana | kTranscribeLatin;
    EXPECT_EQ(Article().text, u"neko ・ neko\ncat\n");
    // Without a script bit the interface language chooses: Russian gives Cyrillic.
    context.flags = kTransliterateInsteadOfKana;
    EXPECT_EQ(Article().text, u"нэко ・ нэко\ncat\n");

    // Ten readings whose transliteration is about three times the kana (じ: дзи).
    Restart();
    std::u16string reading(30, u'じ');
    char16_t letters[200];
    int32_t length = KanaToRomaji(letters, reading.data(), 30, 200, kTranscribeCyrillic);
    std::u16string one = reading + u"\u3000[" + std::u16string(letters, static_cast<size_t>(length)) + u"]", line = one;
    for (int i = 0; i < 10; ++i) Add(3, reading);
    for (int i = 1; i < 10; ++i) line += u" ・ " + one;
    context.flags = kTransliterateBesideKana;
    EXPECT_EQ(Article().text, line + u"\n");
}

TEST_F(WordArticle, MarkupInSensesBecomesStyle) {
    Add(5, u"<i>adv</i> quickly");
    Add(5, u"_n_ \\{x\\} a\\\\b <b>B</b> <g>g</g> <z>gone");
    Add(5, u"a < b");
    StyledResult a = Article();
    EXPECT_EQ(a.text, u"\n1. adv quickly\n2. n {x} a\\b B g gone\n3. a < b\n");
    size_t adv = a.text.find(u"adv");
    EXPECT_EQ(a.attributes[adv], kClassPlain | kAttrItalic);
    EXPECT_EQ(a.attributes[adv + 4], kClassPlain);
    EXPECT_EQ(a.attributes[a.text.find(u"n {")], kClassPlain | kAttrItalic);
    EXPECT_EQ(a.attributes[a.text.find(u"B")], kClassPlain | kAttrBold);
    EXPECT_EQ(a.ClassOf(u"g gone"), kClassGrey);

    Restart();   // in a book "_" is a character
    dictionary.flags |= kBookDictionary;
    Add(5, u"snake_case");
    a = Article();
    EXPECT_EQ(a.text, u"\nsnake_case\n");
    EXPECT_EQ(a.attributes[1] & kAttrItalic, 0u);
}

TEST_F(WordArticle, ExamplesAndIdiomsColourTheirJapanesePart) {
    Add(7, u"猫が好き I like cats");
    Add(10, u"◇猫の手 a helping hand");
    StyledResult a = Article();
    EXPECT_EQ(a.text, u"\n\u3000\u3000猫が好き I like cats\n◇猫の手 a helping hand\n");
    EXPECT_EQ(a.ClassOf(u"猫が"), kClassExample);
    EXPECT_EQ(a.ClassOf(u"I like"), kClassPlain);
    EXPECT_EQ(a.ClassOf(u"猫の"), kClassExample);
    EXPECT_EQ(a.ClassOf(u"a helping"), kClassPlain);
}

TEST_F(WordArticle, ColumnsTakeTheirElementKind) {
    for (auto [kind, text] : {std::pair<uint32_t, std::u16string_view>{3, u"いく"}, {3, u"ゆく"}, {4, u"行く"},
                              {4, u"逝く"}, {5, u"to go"}, {5, u"to die"}, {11, u"コウ"}})
        Add(kind, text);
    Add(12, u"い（く）", kDotsAfterReading);
    EXPECT_EQ(Column(3), u"行く\n・逝く\n");
    EXPECT_EQ(Column(2), u"いく\n・ゆく\n");
    EXPECT_EQ(Column(4), u"1. to go\n2. to die\n");
    EXPECT_EQ(Column(14), u"コウ");
    EXPECT_EQ(Column(8), u"いく...\n");
    EXPECT_EQ(Column(5), u"");
    ListCell cell;
    GetColumnTextDefault(dictionary, 0, cell, 8);
    EXPECT_EQ(cell.attributes[0] & kAttrColourMask, kClassReading);
    EXPECT_EQ(cell.attributes[1] & kAttrColourMask, kClassGrey);   // the okurigana stays grey
    // KANJIDIC's first meaning, kept apart as kind 13 too, is neither shown nor counted in the meanings.
    Restart();
    for (auto [kind, text] : {std::pair<uint32_t, std::u16string_view>{13, u"Asia"}, {5, u"Asia"}, {5, u"rank next"}})
        Add(kind, text);
    EXPECT_EQ(Column(4), u"1. Asia\n2. rank next\n");
}

TEST_F(WordArticle, EmptyRecordsElementsAndRoomGiveNothing) {
    dictionary.ClearParsedArticle();
    ListCell cell;
    EXPECT_EQ(FormatArticleDefault(dictionary, 0).Length(), 0);
    EXPECT_EQ(GetColumnTextDefault(dictionary, 0, cell, 3), 0);
    Add(2);
    Add(5, u"long enough \u3000 ");
    Add(5);
    EXPECT_EQ(FormatArticleDefault(dictionary, 3).Length(), 0);
    char16_t out[5];
    EXPECT_EQ(GetElementTextTrimmed(dictionary, 1, std::span(out, 5)), 4);
    EXPECT_EQ(std::u16string_view(out, 4), u"long");
    EXPECT_EQ(GetElementTextTrimmed(dictionary, 2, std::span(out, 5)), 0);   // an empty element
    uint32_t attributes[1];
    StyledWriter terminatorOnly(std::span(out, 1), std::span(attributes, 1));
    EXPECT_EQ(FormatNumberedField(dictionary, 1, terminatorOnly), 0);
    cell.length = kCellTextLimit;
    EXPECT_EQ(GetColumnTextDefault(dictionary, 0, cell, 4), 0);
    EXPECT_EQ(cell.length, kCellTextLimit);
}

TEST_F(WordArticle, WordRunsOfATranslation) {
    Add(8, u" cat, tom cat ;kitty");
    int32_t position = -5;
    std::u16string runs;
    for (int32_t length; (length = FindNextWordRun(dictionary, 1, position)) > 0; position += length)
        runs += std::u16string(ElementText(dictionary.Elements()[1]).substr(position, length)) + u"|";
    EXPECT_EQ(runs, u"cat|tom cat |kitty|");
}

}  // namespace
