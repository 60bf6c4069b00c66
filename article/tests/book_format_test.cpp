// Parallel-text book groups and Tatoeba records: the language columns with
// their fallback, the article with the hint text, Tatoeba sentences (a line
// with fewer than two tabs gives an empty line) and the field-class table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "article/book_format.h"
#include "article/formatter_family.h"
#include "article/tests/parsed_record_fixture.h"
#include "common/ui_text/ui_text.h"

namespace {

class SentenceRecords : public ParsedRecordTest {
protected:
    std::u16string Column(int32_t kind, ListCell& cell) {
        cell = {};
        GetColumnText(dictionary, cell, kind, 0);
        return {cell.text, static_cast<size_t>(cell.length)};
    }
};

TEST_F(SentenceRecords, BookColumnsPickTheirLanguageAndFallBackToTheLast) {
    dictionary.parsedFormatType = 12;
    Add(5, u"\u732B\u3060\u3002");
    Add(5, u"It is a cat.");
    ListCell cell;
    EXPECT_EQ(Column(3, cell), u"\u732B\u3060\u3002");
    EXPECT_EQ(cell.attributes[0], kClassHeadword);
    EXPECT_EQ(Column(28, cell), u"It is a cat.");
    EXPECT_EQ(cell.attributes[0], kClassPlain);   // no column-kind bits
    EXPECT_EQ(Column(29, cell), u"It is a cat.");
    EXPECT_EQ(cell.attributes[0], kClassPlain);
    EXPECT_EQ(Column(2, cell), u"");
}

TEST_F(SentenceRecords, BookArticleHasALineEachAndTheHint) {
    dictionary.parsedFormatType = 12;
    Add(3, u"\u306D\u3053\u3060");
    Add(5, u"It is a cat.");
    Add(5, u"\u042D\u0442\u043E \u043A\u043E\u0442.");
    const StyledResult article = Show(FormatArticle(dictionary));
    const std::u16string hint = UIStringTable[kBookHintSlot];
    EXPECT_EQ(hint, u"\nDouble click list line to open a text of a book with this phrase.\n");
    EXPECT_EQ(article.text, u"\u306D\u3053\u3060\nIt is a cat.\n\u042D\u0442\u043E \u043A\u043E\u0442.\n" + hint);
    EXPECT_TRUE(article.AllOf(u"\u306D\u3053\u3060", kClassHeadword));
    EXPECT_TRUE(article.AllOf(u"It is a cat.", kClassPlain));
    EXPECT_TRUE(article.AllOf(u"Double click", kClassGrey));
}

TEST_F(SentenceRecords, TatoebaSentencesOneALine) {
    StoreRawRecord(dictionary, 13, u"1\tjpn\t\u732B\u3060\u3002\n2\teng\tIt is a cat.\n3\tbroken line\n4\trus\t\u041A\u043E\u0442.");
    const StyledResult article = Show(FormatArticle(dictionary));
    EXPECT_EQ(article.text, u"\u732B\u3060\u3002\nIt is a cat.\n\n\u041A\u043E\u0442.\n");
    EXPECT_TRUE(article.AllOf(u"\u732B\u3060\u3002", kClassHeadword));
    EXPECT_TRUE(article.AllOf(u"It is a cat.", kClassPlain));
    EXPECT_EQ(Show(FormatExportText(dictionary)).text, article.text);
}

TEST(TatoebaIndexText, FieldClassesByLineAndField) {
    std::u16string text = u"1\tjpn\t\u732B\n22\teng\tcat\t\n";
    std::vector<uint16_t> bits(text.size(), 0xFFFF);   // input bits are not read
    const int32_t length = PrepareIndexText(13, text.data(), static_cast<int32_t>(text.size()), text.data(),
                                            static_cast<int32_t>(text.size()), bits.data());
    EXPECT_EQ(text.substr(0, static_cast<size_t>(length)), u"1 jpn \u732B 22 eng cat");
    const std::vector<uint16_t> expected = {0x202, 0x002, 0x082, 0x082, 0x082, 0x002, 0x002, 0x002,
                                            0x218, 0x218, 0x018, 0x098, 0x098, 0x098, 0x018, 0x018,
                                            0x018, 0x018};
    EXPECT_EQ(std::vector<uint16_t>(bits.begin(), bits.begin() + length), expected);
}

}  // namespace
