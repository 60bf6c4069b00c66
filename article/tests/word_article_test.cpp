// Article and column text of word articles, on entries built as the EDICT
// and own-markup parsers leave them.
#include <gtest/gtest.h>

#include "article/display_attributes.h"
#include "article/element_text.h"
#include "article/formatter_family.h"
#include "article/tests/parsed_record_fixture.h"
#include "article/word_article.h"
#include "common/kana_transcription.h"

namespace {

class WordArticle : public ParsedRecordTest {
protected:
    // 猫 [ねこ] /(n) cat/(P)/EntL1467640X/ as the EDICT parser leaves it.
    void AddCatEntry() {
        Add(2);
        Add(3, u"ねこ");
        Add(4, u"猫");
        Add(37, u"(n) ");
        Add(5, u"cat");
        Add(37, u"(P)");
        Add(38, u"EntL1467640X");
    }
    Shown Article() { return Show(FormatArticleDefault(dictionary, 0)); }
    std::u16string Column(int32_t kind) {
        ListCell cell;
        GetColumnTextDefault(dictionary, 0, cell, kind);
        return std::u16string(cell.text, static_cast<size_t>(cell.length));
    }
};

TEST_F(WordArticle, EdictEntryShowsReadingHeadwordAndSenses) {
    AddCatEntry();
    Shown a = Article();
    EXPECT_EQ(a.text, u"ねこ\n猫\n(n) \ncat\n(P)\n");
    EXPECT_EQ(a.ClassOf(u"ねこ"), kClassReading);
    EXPECT_EQ(a.ClassOf(u"猫"), kClassHeadword);
    EXPECT_EQ(a.ClassOf(u"cat"), kClassPlain);
    EXPECT_EQ(a.text.find(u'\r'), std::u16string::npos);
    EXPECT_EQ(a.attributes.size(), a.text.size());
}

TEST_F(WordArticle, TwoOrMoreSensesAreNumberedUnlessAlreadyNumbered) {
    Add(2);
    Add(3, u"いく");
    for (int i = 1; i <= 20; ++i) Add(5, u"s");
    Shown a = Article();
    EXPECT_EQ(a.text.substr(0, 12), u"いく\n1. s\n2. s");
    EXPECT_NE(a.text.find(u"\n10. s\n"), std::u16string::npos);
    EXPECT_NE(a.text.find(u"\n20. s\n"), std::u16string::npos);
    size_t blank = a.text.find(u"1. ") + 2;
    EXPECT_EQ(a.attributes[blank], kClassPlain | kAttrSenseNumberBlank);

    dictionary.ClearParsedArticle();
    Add(2);
    Add(5, u"(1) to go");
    Add(5, u"(2) to leave");
    EXPECT_EQ(Article().text, u"\n(1) to go\n(2) to leave\n");

    dictionary.ClearParsedArticle();
    Add(2);
    Add(5, u"only");
    EXPECT_EQ(Article().text, u"\nonly\n");
}

TEST_F(WordArticle, EntryWithoutReadingsBeginsWithALineFeed) {
    Add(2);
    Add(4, u"猫");
    Add(36, u"(ateji) ");
    Add(5, u"cat");
    Shown a = Article();
    EXPECT_EQ(a.text, u"\n猫 (ateji)\ncat\n");
    EXPECT_EQ(a.ClassOf(u"(ateji)"), kClassGrey);
}

TEST_F(WordArticle, LaterEntriesOfARecordShowTheirSensesNotTheirSourceLine) {
    AddCatEntry();
    Add(2, u"犬 [いぬ] /dog/");
    Add(3, u"いぬ");
    Add(5, u"dog");
    EXPECT_EQ(Article().text, u"ねこ\n猫\n(n) \n1. cat\n(P)\n2. dog\n");
}

TEST_F(WordArticle, TranslationsShowInPurpleOnlyWithoutSenses) {
    Add(2);
    Add(3, u"ねこ");
    Add(35, u"(ok)");
    Add(8, u"кошка ");
    Add(8, u"кот");
    Shown a = Article();
    EXPECT_EQ(a.text, u"ねこ (ok)\nкошка\nкот\n");
    EXPECT_EQ(a.ClassOf(u"кошка"), kClassTranslation);
    EXPECT_EQ(a.ClassOf(u"(ok)"), kClassGrey);

    Add(5, u"cat");
    EXPECT_EQ(Article().text, u"ねこ (ok)\ncat\n");
}

TEST_F(WordArticle, ReadingLineWithTransliteration) {
    Add(2);
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
}

TEST_F(WordArticle, LongTransliteratedReadingsAreNeverCut) {
    // Readings whose transliteration is about three times the kana.
    Add(2);
    std::u16string reading(30, u'じ');
    for (int i = 0; i < 10; ++i) Add(3, reading);
    context.flags = kTransliterateBesideKana;   // Cyrillic: じ is дзи
    char16_t letters[200];
    int32_t lettersLength = KanaToRomaji(letters, reading.data(), 30, 200, kTranscribeCyrillic);
    ASSERT_GE(lettersLength, 80);
    std::u16string one = reading + u"\u3000[" + std::u16string(letters, static_cast<size_t>(lettersLength)) + u"]";
    std::u16string line = one;
    for (int i = 1; i < 10; ++i) line += u" ・ " + one;
    Shown a = Article();
    EXPECT_EQ(a.text, line + u"\n");
    EXPECT_EQ(a.attributes.size(), a.text.size());
}

TEST_F(WordArticle, MarkupInSensesBecomesStyle) {
    Add(2);
    Add(5, u"<i>adv</i> quickly");
    Add(5, u"_n_ \\{x\\} a\\\\b <b>B</b> <g>g</g> <z>gone");
    Add(5, u"a < b");
    Shown a = Article();
    EXPECT_EQ(a.text, u"\n1. adv quickly\n2. n {x} a\\b B g gone\n3. a < b\n");
    size_t adv = a.text.find(u"adv");
    EXPECT_EQ(a.attributes[adv], kClassPlain | kAttrItalic);
    EXPECT_EQ(a.attributes[adv + 4], kClassPlain);
    EXPECT_EQ(a.attributes[a.text.find(u"n {")], kClassPlain | kAttrItalic);
    EXPECT_EQ(a.attributes[a.text.find(u"B")], kClassPlain | kAttrBold);
    EXPECT_EQ(a.ClassOf(u"g gone"), kClassGrey);
}

TEST_F(WordArticle, UnderscoreIsTextInABook) {
    dictionary.flags |= kBookDictionary;
    Add(2);
    Add(5, u"snake_case");
    Shown a = Article();
    EXPECT_EQ(a.text, u"\nsnake_case\n");
    EXPECT_EQ(a.attributes[1] & kAttrItalic, 0u);
}

TEST_F(WordArticle, ExamplesAndIdiomsColourTheirJapanesePart) {
    Add(2);
    Add(7, u"猫が好き I like cats");
    Add(10, u"◇猫の手 a helping hand");
    Shown a = Article();
    EXPECT_EQ(a.text, u"\n\u3000\u3000猫が好き I like cats\n◇猫の手 a helping hand\n");
    EXPECT_EQ(a.ClassOf(u"猫が"), kClassExample);
    EXPECT_EQ(a.ClassOf(u"I like"), kClassPlain);
    EXPECT_EQ(a.ClassOf(u"猫の"), kClassExample);
    EXPECT_EQ(a.ClassOf(u"a helping"), kClassPlain);
}

TEST_F(WordArticle, ColumnsTakeTheirElementKind) {
    Add(2);
    Add(3, u"いく");
    Add(3, u"ゆく");
    Add(4, u"行く");
    Add(4, u"逝く");
    Add(5, u"to go");
    Add(5, u"to die");
    Add(11, u"コウ");
    Add(12, u"い（く）", kDotsAfterReading);
    EXPECT_EQ(Column(3), u"行く\n・逝く\n");
    EXPECT_EQ(Column(2), u"いく\n・ゆく\n");
    EXPECT_EQ(Column(4), u"1. to go\n2. to die\n");
    EXPECT_EQ(Column(14), u"コウ");
    EXPECT_EQ(Column(8), u"いく...\n");
    EXPECT_EQ(Column(5), u"");

    ListCell cell;
    GetColumnTextDefault(dictionary, 0, cell, 8);
    EXPECT_EQ(cell.attributes[0] & 0xF0, kClassReading);
    EXPECT_EQ(cell.attributes[1] & 0xF0, kClassGrey);   // the okurigana stays grey
}

TEST_F(WordArticle, ColumnStopsAt254UnitsAndAFullCellIsLeftAlone) {
    Add(2);
    for (int i = 0; i < 40; ++i) Add(5, u"a sense of ten");
    ListCell cell;
    int32_t length = GetColumnTextDefault(dictionary, 0, cell, 4);
    EXPECT_LE(length, kCellTextLimit);
    EXPECT_EQ(cell.text[length], 0);

    ListCell full;
    full.length = kCellTextLimit;
    full.text[0] = u'x';
    EXPECT_EQ(GetColumnTextDefault(dictionary, 0, full, 4), 0);
    EXPECT_EQ(full.length, kCellTextLimit);
    EXPECT_EQ(full.text[0], u'x');
}

TEST_F(WordArticle, NothingParsedGivesEmptyOutput) {
    EXPECT_EQ(FormatArticleDefault(dictionary, 0).Length(), 0);
    ListCell cell;
    EXPECT_EQ(GetColumnTextDefault(dictionary, 0, cell, 3), 0);
    AddCatEntry();
    EXPECT_EQ(FormatArticleDefault(dictionary, 7).Length(), 0);
    char16_t out[8];
    EXPECT_EQ(GetElementTextTrimmed(dictionary, 9, out), 0);
}

TEST_F(WordArticle, ElementCopiesStayInsideTheirRoom) {
    Add(2);
    Add(12, u"", kDotsBeforeReading);
    Add(5, u"long enough \u3000 ");
    char16_t out[5] = {u'#', u'#', u'#', u'#', u'#'};
    EXPECT_EQ(GetElementTextTrimmed(dictionary, 2, std::span(out, 5)), 4);
    EXPECT_EQ(std::u16string_view(out, 4), u"long");
    EXPECT_EQ(GetElementTextTrimmed(dictionary, 2, std::span(out, 1)), 0);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(GetElementTextTrimmed(dictionary, 1, std::span(out, 5)), 0);   // an empty element

    // FormatNumberedField with room for the terminator only writes nothing.
    char16_t text[2];
    uint32_t attributes[2];
    StyledWriter one(std::span(text, 1), std::span(attributes, 1));
    EXPECT_EQ(FormatNumberedField(dictionary, 2, one), 0);
    StyledWriter two(std::span(text, 2), std::span(attributes, 2));
    EXPECT_EQ(FormatNumberedField(dictionary, 2, two), 1);
}

TEST_F(WordArticle, WordRunsOfATranslation) {
    Add(2);
    Add(8, u" cat, tom cat ;kitty");
    int32_t position = -5;
    std::vector<std::u16string> runs;
    for (int32_t length; (length = FindNextWordRun(dictionary, 1, position)) > 0; position += length)
        runs.emplace_back(ElementText(dictionary.Elements()[1]).substr(position, length));
    EXPECT_EQ(runs, (std::vector<std::u16string>{u"cat", u"tom cat ", u"kitty"}));
    EXPECT_EQ(FindNextWordRun(dictionary, 1, position), -1);
}

}  // namespace
