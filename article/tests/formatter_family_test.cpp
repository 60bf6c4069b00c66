// The dispatch table of the formatter family, row by row, and records
// reaching the members of their row.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "article/formatter_family.h"

namespace {

struct Row {
    uint32_t formatType;
    std::u16string_view column, article, exportText, index;
};

// The table as the formats are documented; 0 and 17 stand for "other".
constexpr Row kExpected[] = {
    {0, u"GetColumnTextDefault", u"FormatArticleDefault", u"FormatArticleF8", u"PrepareIndexTextDefault"},
    {1, u"GetColumnTextDefault", u"FormatArticleDefault", u"FormatArticleDefault", u"PrepareIndexTextWords"},
    {2, u"GetColumnTextDefault", u"FormatArticleF2", u"FormatArticleF2", u"PrepareIndexTextWords"},
    {3, u"GetColumnTextDefault", u"FormatArticleDefault", u"FormatArticleDefault", u"PrepareIndexTextDefault"},
    {4, u"GetColumnTextDefault", u"FormatArticleDefault", u"FormatArticleDefault", u"PrepareIndexTextDefault"},
    {5, u"GetColumnTextDefault", u"FormatArticleDefault", u"FormatArticleDefault", u"PrepareIndexTextDefault"},
    {6, u"GetColumnTextDefault", u"FormatArticleF6", u"FormatArticleF6", u"PrepareIndexTextDefault"},
    {7, u"GetColumnTextDefault", u"FormatArticleF7", u"FormatArticleF7", u"PrepareIndexTextDefault"},
    {8, u"GetColumnTextF8", u"FormatArticleF8", u"FormatArticleF8", u"PrepareIndexTextDefault"},
    {9, u"GetColumnTextF9", u"FormatArticleRtfF9", u"GetPlainArticleTextF9", u"SplitArticleText"},
    {10, u"GetColumnTextF10", u"FormatArticleRtfF10", u"GetPlainArticleTextF10", u"CleanArticleMarkup"},
    {11, u"GetColumnTextF11", u"FormatArticleF11", u"FormatArticleF11", u"PrepareIndexTextF11"},
    {12, u"GetColumnTextF12", u"FormatArticleF12", u"FormatArticleDefault", u"PrepareIndexTextWords"},
    {13, u"GetColumnTextF13", u"FormatArticleF13", u"FormatArticleF13", u"PrepareIndexTextF13"},
    {14, u"GetColumnTextF14", u"FormatArticleF14", u"GetPlainArticleTextF10", u"PrepareIndexTextF14"},
    {15, u"GetColumnTextF14", u"FormatArticleF14", u"GetPlainArticleTextF10", u"PrepareIndexTextF14"},
    {16, u"GetColumnTextF16", u"FormatArticleF16", u"FormatArticleF8", u"PrepareIndexTextF16"},
    {17, u"GetColumnTextDefault", u"FormatArticleDefault", u"FormatArticleF8", u"PrepareIndexTextDefault"},
    {0xFFFFFFFF, u"GetColumnTextDefault", u"FormatArticleDefault", u"FormatArticleF8", u"PrepareIndexTextDefault"},
};

class FormatterTable : public testing::TestWithParam<Row> {};

TEST_P(FormatterTable, RowNamesTheMembersOfItsFormat) {
    const Row& expected = GetParam();
    FormatterRow row = FormatterRowFor(expected.formatType);
    EXPECT_EQ(ColumnMemberName(row.column), expected.column);
    EXPECT_EQ(ArticleMemberName(row.article), expected.article);
    EXPECT_EQ(ArticleMemberName(row.exportText), expected.exportText);
    EXPECT_EQ(IndexPreparerName(row.index), expected.index);
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, FormatterTable, testing::ValuesIn(kExpected));

}  // namespace

#include "article/tests/parsed_record_fixture.h"

namespace {

class FormatterDispatch : public ParsedRecordTest {
protected:
    void Parse(uint32_t formatType) {
        dictionary.ClearParsedArticle();
        dictionary.parsedFormatType = formatType;
        Add(2);
        Add(3, u"ねこ");
        Add(4, u"猫");
        Add(5, u"cat");
    }
};

TEST(FormattedText, RtfComesAsBytesWithoutAttributes) {
    std::unique_ptr<char[]> bytes(new char[9]);
    std::memcpy(bytes.get(), "{\\rtf1 x}", 9);
    FormattedText rtf = FormattedText::Rtf(std::move(bytes), 9);
    EXPECT_EQ(rtf.Kind(), FormattedTextKind::Rtf);
    EXPECT_EQ(rtf.RtfDocument(), "{\\rtf1 x}");
    EXPECT_TRUE(rtf.Attributes().empty() && rtf.Text().empty());
}

TEST_F(FormatterDispatch, RecordsReachTheMembersOfTheirRow) {
    for (uint32_t type : {1u, 3u, 4u, 5u, 0u, 17u}) {
        Parse(type);
        FormattedText article = FormatArticle(dictionary);
        EXPECT_EQ(article.Kind(), FormattedTextKind::Styled);
        EXPECT_EQ(article.Text(), u"ねこ\n猫\ncat\n") << type;
        ListCell cell;
        EXPECT_EQ(GetColumnText(dictionary, cell, 3, 0), 2);
        EXPECT_EQ(cell.formatType, static_cast<int32_t>(type));
    }
    Parse(12);   // a book's export text is the default article
    EXPECT_EQ(FormatExportText(dictionary).Text(), u"ねこ\n猫\ncat\n");
}

}  // namespace
