// Latin word-list records: column texts, the article with its bold principal
// parts and grey remark, and the index text's fields.
#include <gtest/gtest.h>

#include <string>

#include "article/display_attributes.h"
#include "article/latin_article.h"
#include "dictionary/dictionary.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

namespace {

// A source line padded to column 110, then the meaning.
std::u16string Line(const std::u16string& meaning) {
    std::u16string line = u"am                 am                 amav               amat               V      1 1 TRANS";
    line.resize(100, u' ');
    line += u"X X X A X ";
    return line + meaning;
}

class LatinArticle : public ::testing::Test {
protected:
    // The dictionary's element 0 covers `text`.
    void Parse(const std::u16string& text) {
        stored_ = text;
        dictionary_.ClearParsedArticle();
        DictionaryElement* e = dictionary_.AddElement(kElementEntryStart);
        e->text = e->begin = stored_.data();
        e->length = static_cast<int32_t>(stored_.size());
        e->end = stored_.data() + stored_.size() - 1;
    }
    std::u16string Column(int32_t kind) {
        ListCell cell;
        GetColumnTextF16(dictionary_, 0, cell, kind);
        return std::u16string(cell.text, cell.length);
    }
    CDMS engine_{SystemStorageIO()};
    CDictionary dictionary_{0, engine_};
    std::u16string stored_;
};

TEST_F(LatinArticle, ColumnsTakeTheMeaningOrTheFirstWordOfTheForm) {
    Parse(Line(u"love, like;") + u"\namo, amare, amavi, amatus  V (1st)");
    EXPECT_EQ(Column(3), u"amo");
    EXPECT_EQ(Column(4), u"love, like");
    ListCell cell;
    GetColumnTextF16(dictionary_, 0, cell, 3);
    EXPECT_EQ(cell.attributes[0] & kAttrColourMask, kClassHeadword);
    // A first line shorter than the meaning's column: no meaning, no word.
    Parse(u"am am V\namo, amare");
    EXPECT_EQ(Column(4), u"");
    EXPECT_EQ(Column(3), u"");
}

// The two rows of "in" (it takes the accusative and the ablative) say
// which case each is for; other words' rows show their meaning alone.
TEST_F(LatinArticle, APrepositionsMeaningColumnNamesItsCase) {
    Parse(Line(u"in, into, on;") + u"\nin  PREP  ACC   [XXXAX]");
    EXPECT_EQ(Column(4), u"(+ acc.) in, into, on");
    Parse(Line(u"in, into, on;") + u"\nin  PREP  ABL");
    EXPECT_EQ(Column(4), u"(+ abl.) in, into, on");
    EXPECT_EQ(Column(3), u"in");
    Parse(Line(u"when;") + u"\ncum  CONJ");
    EXPECT_EQ(Column(4), u"when");
}

TEST_F(LatinArticle, PrincipalPartsBoldUpToThePartOfSpeech) {
    Parse(Line(u"love;") + u"\namo, amare, amavi, amatus  V (1st) [rare]");
    const FormattedText article = FormatArticleF16(dictionary_, 0);
    // "(gen.)"-free form: bold through the two blanks, up to "V".
    const std::u16string_view text = article.Text();
    EXPECT_EQ(text, u"amo, amare, amavi, amatus  V (1st) \nlove\n[rare]");
    const size_t v = text.find(u"V (1st)");
    for (size_t i = 0; i < v; ++i) EXPECT_TRUE(article.Attributes()[i] & kAttrBold) << i;
    EXPECT_FALSE(article.Attributes()[v] & kAttrBold);
    EXPECT_EQ(article.Attributes()[text.find(u"[rare]")] & kAttrColourMask, kClassGrey);

    // A short first line: an empty meaning line, never a negative length.
    Parse(u"short line\nrosa, rosae  N (1st) F");
    EXPECT_EQ(FormatArticleF16(dictionary_, 0).Text(), u"rosa, rosae  N (1st) F\n");
}

TEST(PrepareIndexTextF16, MeaningAndFormLinesAreMarked) {
    std::u16string text = Line(u"love (dear)") + u"\r\namo  V";
    std::vector<uint16_t> bits(text.size(), 0);
    const int32_t n = PrepareIndexTextF16(text.data(), static_cast<int32_t>(text.size()), text.data(),
                                          static_cast<int32_t>(text.size()), bits.data());
    const std::u16string out = text.substr(0, n);
    const size_t love = out.find(u"love");
    EXPECT_EQ(bits[love], 0x8 | 0x4000);
    EXPECT_EQ(bits[love + 1], 0x8);
    EXPECT_EQ(bits[out.find(u"dear")], 0x8 | 0x200);
    const size_t amo = out.find(u"amo");
    EXPECT_EQ(out.substr(amo - 1), u" amo V");
    // The line feed's blank is dropped after the carriage return's, so the
    // form's first letter starts the line.
    EXPECT_EQ(bits[amo], 0x4 | 0x4000);
    EXPECT_EQ(bits[amo + 1], 0x4);
    EXPECT_EQ(out.find(u"  "), std::u16string::npos);
}

}  // namespace
