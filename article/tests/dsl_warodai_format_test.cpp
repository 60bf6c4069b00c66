// DSL and WARODAI formatters: markup cleaning, the headword-repeat rule, the
// columns cut from indented lines and their summary, the WARODAI sub-entry
// choice, the RTF articles (the last character of a card kept) and the
// export text, through the dispatch table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "article/dsl_format.h"
#include "article/formatter_family.h"
#include "article/rtf_dispatch.h"
#include "article/tests/parsed_record_fixture.h"
#include "article/warodai_format.h"

namespace {

struct Cleaned {
    std::u16string text;
    std::vector<uint16_t> styles;
};

Cleaned Clean(std::u16string_view markup, bool capitalise) {
    std::u16string text(markup);
    std::vector<uint16_t> styles(text.size(), kClassPlain);
    const int32_t length = ParseArticleLineStyles(text.data(), styles.data(), static_cast<int32_t>(text.size()),
                                                  capitalise);
    return {text.substr(0, static_cast<size_t>(length)), {styles.begin(), styles.begin() + length}};
}

TEST(DslCleaning, CommentsTagsEscapesAndEmptyLines) {
    const struct {
        const char16_t* markup;
        const char16_t* text;
    } cases[] = {
        {u"{{note}}text", u"text"},
        {u"a{b}", u"a{b}"},
        {u"x\\[y\\]", u"x[y]"},
        {u"[[x]]", u"[x]]"},
        {u"a\r\nb", u"a\nb"},
        {u"head\n   [m1]  [m1] \n  [m1]body", u"head\nbody"},
        {u"[c red]colour[/c] [ref]link[/ref]", u"colour link"},
        {u"{{unclosed", u""},
        {u"x[b", u"x"},
    };
    for (const auto& c : cases) EXPECT_EQ(Clean(c.markup, false).text, c.text) << std::u16string(c.markup).size();

    const Cleaned styled = Clean(u"[b]bold[/b] [i]it[/i] [p]n[/p]", false);
    ASSERT_EQ(styled.text, u"bold it n");
    EXPECT_EQ(styled.styles[0], kClassPlain | kAttrBold);
    EXPECT_EQ(styled.styles[4], kClassPlain);
    EXPECT_EQ(styled.styles[5], kClassPlain | kAttrItalic);
    EXPECT_EQ(styled.styles[8], kClassPlain | kAttrItalic);
}

TEST(DslCleaning, LabelsGoAndTheNextWordIsCapitalisedWhenAsked) {
    EXPECT_EQ(Clean(u"Definition: something", true).text, u"Something");
    EXPECT_EQ(Clean(u"Definition: something", false).text, u"Definition: something");
    EXPECT_EQ(Clean(u"Japanese(On): kou\nJapanese(Kun): kuchi", true).text, u"On:Kou\nKun:Kuchi");
    EXPECT_EQ(Clean(u"a --- b <<c>> -- d", true).text, u"a  b c -- d");
    EXPECT_EQ(Clean(u"Definition:", true).text, u"Definition:");   // shorter than 12 units
}

class DslColumns : public ParsedRecordTest {
protected:
    // The entry element spans `card`; its elements follow.
    void Entry(std::u16string_view card, uint32_t flags = 0) {
        const int32_t offset = dictionary.AppendText(static_cast<int32_t>(card.size()), card.data());
        DictionaryElement& entry = dictionary.Elements()[0];
        entry.flags = flags;
        entry.begin = dictionary.Text() + offset;
        entry.end = entry.begin + card.size() - 1;
    }
    std::u16string Column(int32_t kind, uint16_t subEntry = 0) {
        ListCell cell;
        GetColumnText(dictionary, cell, kind, subEntry);
        last = cell;
        return {cell.text, static_cast<size_t>(cell.length)};
    }
    void StoreAs(uint32_t formatType) { dictionary.parsedFormatType = formatType; }
    ListCell last;
};

TEST_F(DslColumns, SensesDropAFirstLineRepeatingTheHeadword) {
    StoreAs(9);
    Entry(u"apple\n\tred fruit");
    Add(5, u"apple\nred fruit");
    EXPECT_EQ(Column(4), u"red fruit");
    EXPECT_EQ(last.formatType, 9);
}

TEST_F(DslColumns, ARepeatAloneStaysAndDecomposedOrBracketedHeadwordsMatch) {
    StoreAs(9);
    Entry(u"apple");
    Add(5, u"apple");
    EXPECT_EQ(Column(4), u"apple");

    dictionary.ClearParsedArticle();
    AddElement(dictionary, 2);
    Entry(u"cafe\n ...");
    Add(5, u"-caf\u00E9, a place\nserves coffee");
    EXPECT_EQ(Column(4), u"serves coffee");
}

TEST_F(DslColumns, ChosenElementsJoinWithTheMiddleDotAndKeepTheirStyles) {
    StoreAs(9);
    Entry(u"x");
    Add(3, u"\u30AB\u30A6");
    Add(3, u"[b]kau[/b]");
    EXPECT_EQ(Column(2), u"\u30AB\u30A6 \u30FB kau");
    EXPECT_EQ(last.attributes[6], kClassPlain | kAttrBold);
}

TEST_F(DslColumns, LabelledEntriesTakeReadingsForOnAndOnlyKatakanaForKind7) {
    StoreAs(9);
    Entry(u"\u53E3", kDslCapitaliseEntry);
    Add(3, u"\u30B3\u30A6");
    Add(3, u"\u304F\u3061");
    Add(11, u"kou");
    EXPECT_EQ(Column(7), u"\u30B3\u30A6");
    EXPECT_EQ(Column(2), u"\u30B3\u30A6 \u30FB \u304F\u3061");
}

TEST_F(DslColumns, Index121CardsAreCutFromTheirFirstIndentedLine) {
    StoreAs(9);
    dictionary.latinStemCount = 1;
    Entry(u"abeo {ab-eo}\n\tII abeo, ii, itum [p]v.[/p] = уходить\n");
    EXPECT_EQ(Column(2), u"abeo ");
    EXPECT_EQ(Column(3), u"abeo, ii, itum ");
    EXPECT_EQ(Column(4), u"= уходить");
    EXPECT_EQ(last.attributes[0] & kAttrColourMask, kClassPlain);
}

TEST_F(DslColumns, SeeAlsoAndToTakeTheLabelBeforeThem) {
    StoreAs(9);
    dictionary.latinStemCount = 1;
    Entry(u"abi\n\tabi [p]imp.[/p], см. abeo");
    EXPECT_EQ(Column(4), u"imp., см. abeo");
    dictionary.ClearParsedArticle();
    AddElement(dictionary, 2);
    Entry(u"ab\n\tab [lat.] к abeo");
    EXPECT_EQ(Column(4), u"к abeo");
    dictionary.ClearParsedArticle();
    AddElement(dictionary, 2);
    Entry(u"ab\n\tab only a head");
    EXPECT_EQ(Column(4), u"");
}

TEST(DslSummary, SecondAndLaterIndentedLinesAreSummarised) {
    ListCell cell;
    EXPECT_EQ(BuildDslCellSummary(cell, u"head\n\tfirst line only"), 0);
    EXPECT_EQ(cell.length, 0);

    const int32_t length = BuildDslCellSummary(
        cell, u"head\n\tfirst\n\t[i]one[/i], \\[two\\]\n\t[m1][*]example\n  [p]n. Noun[/p] three.\n\t[ls]x\n\tlast");
    const std::u16string text(cell.text, static_cast<size_t>(length));
    EXPECT_EQ(text, u"one, [two] n.  three");
    EXPECT_EQ(cell.attributes[0], kAttrItalic);
    EXPECT_EQ(cell.attributes[4], 0u);
}

TEST(DslSummary, CommentsAreNotShown) {
    ListCell cell;
    BuildDslCellSummary(cell, u"head\n\tfirst\n\t{{a whole line}}\n\t[m1]two{{aside}} words{{open");
    EXPECT_EQ(std::u16string(cell.text, static_cast<size_t>(cell.length)), u"two words");
}

TEST_F(DslColumns, TextInsideATagCutsNoColumn) {
    // The "=" and "(" of a tag's attribute are no marks; the " — " after it is.
    StoreAs(9);
    dictionary.latinStemCount = 1;
    Entry(u"language\n\t[m1][lang name=\"English\" (x)]language \u2014 [trn]\u044F\u0437\u044B\u043A[/trn]");
    EXPECT_EQ(Column(3), u"language");
    EXPECT_EQ(Column(4), u"");
}

TEST_F(DslColumns, WarodaiSubEntryZeroShowsTheArticlesOwnSenses) {
    StoreAs(10);
    Entry(u"\u3042\u3044\n1) a\n2) b");
    EXPECT_EQ(Column(4), u"1) a 2) b");
}

TEST_F(DslColumns, WarodaiPhraseSubEntryShowsThePhraseSenses) {
    StoreAs(10);
    Entry(u"\u3042\u3044\n1) love;\n\uFF5E\u3059\u308B \u0434\u0435\u043B\u0430\u0442\u044C\n1) x\n2) <i>y</i>:");
    EXPECT_EQ(Column(4, 0), u"1) love");
    EXPECT_EQ(Column(4, 1), u"\u0434\u0435\u043B\u0430\u0442\u044C 1) x 2) y...");
    EXPECT_EQ(last.attributes[last.length - 4], kClassPlain | kAttrItalic);
    EXPECT_EQ(Column(4, 2), u"");
}

TEST_F(DslColumns, WarodaiTwoDigitNumbersAndTildeCountsCoverSubEntries) {
    StoreAs(10);
    std::u16string article = u"h\n";
    for (int n = 1; n <= 10; ++n) article += std::u16string(1, u'0' + n % 10) + u") s\n";
    article[article.size() - 5] = u'1';
    article.insert(article.size() - 4, u"0");   // the tenth line reads "10) s"
    article += u"\uFF5E\u3068\uFF5E, p\n1) q";
    Entry(article);
    EXPECT_EQ(Column(4, 0).substr(0, 9), u"1) s 2) s");
    EXPECT_NE(Column(4, 0).find(u"10) s"), std::u16string::npos);
    EXPECT_EQ(Column(4, 1), u", p 1) q");   // from the comma after the first tilde
    EXPECT_EQ(Column(4, 2), u", p 1) q");
}

TEST_F(DslColumns, WarodaiPhraseOfSeveralFormsLeavesThemAllOut) {
    StoreAs(10);
    Entry(u"\u3042\u3044\n1) love\n\uFF5E\u3059\u308B, \uFF5E\u3057\u305F \u043B\u044E\u0431\u0438\u0442\u044C");
    EXPECT_EQ(Column(4, 1), u"\u043B\u044E\u0431\u0438\u0442\u044C");
    EXPECT_EQ(Column(4, 2), u"\u043B\u044E\u0431\u0438\u0442\u044C");
    // A tilde in the translation stays.
    dictionary.ClearParsedArticle();
    AddElement(dictionary, 2);
    Entry(u"\u3042\u3044\n1) love\n\uFF5E\u3059\u308B x, \uFF5E\u306A");
    EXPECT_EQ(Column(4, 1), u"x, \uFF5E\u306A");
}

TEST_F(DslColumns, WarodaiLinesEndingInCrLfShowNoCr) {
    StoreAs(10);
    Entry(u"\u3042\u3044\r\n1) love;\r\n2) liking.\r\n\uFF5E\u3059\u308B\r\n1) to love:\r\n");
    EXPECT_EQ(Column(4, 0), u"1) love; 2) liking");
    EXPECT_EQ(Column(4, 1), u"1) to love...");
}

TEST_F(DslColumns, WarodaiLinesPastTheTableAreNotRead) {
    StoreAs(10);
    std::u16string article = u"h";
    for (int n = 0; n < 700; ++n) article += u"\n\uFF5E x";
    Entry(article);
    EXPECT_EQ(Column(4, 499), u"x");
    EXPECT_EQ(Column(4, 500), u"");
    EXPECT_EQ(Column(4, 650), u"");
}

TEST_F(DslColumns, WarodaiOtherColumnsAreTheDefaultOnes) {
    StoreAs(10);
    Entry(u"h\n1) a");
    Add(3, u"\u3042\u3044");
    EXPECT_EQ(Column(2), u"\u3042\u3044\n");
}

TEST_F(DslColumns, ArticlesAreRtfOfTheWholeCardAndExportIsTheCard) {
    for (uint32_t format : {9u, 10u}) {
        dictionary.ClearParsedArticle();
        AddElement(dictionary, 2);
        StoreAs(format);
        Entry(u"head\n\tbody ends in Z");
        const FormattedText article = FormatArticle(dictionary);
        ASSERT_EQ(article.Kind(), FormattedTextKind::Rtf);
        EXPECT_NE(article.RtfDocument().find("\\u90\\par"), std::string_view::npos) << format;
        const FormattedText exported = FormatExportText(dictionary);
        EXPECT_EQ(exported.Text(), u"head\n\tbody ends in Z");
        EXPECT_EQ(exported.Attributes()[0], kClassPlain);
    }
}

TEST_F(DslColumns, RtfOptionsFollowTheDictionaryCounts) {
    StoreAs(9);
    Entry(u"w\n\t[c]x[/c]");
    const std::string plain(FormatArticleRtfF9(dictionary, 0).RtfDocument());
    dictionary.wordCount = 5;
    dictionary.latinStemCount = 2;
    const std::string both(FormatArticleRtfF9(dictionary, 0).RtfDocument());
    EXPECT_EQ(plain, std::string(SingleArticleRtf(9, u"w\n\t[c]x[/c]", 10, 10).RtfDocument()));
    EXPECT_EQ(both, std::string(SingleArticleRtf(9, u"w\n\t[c]x[/c]", 10, 138 + 1024).RtfDocument()));
    EXPECT_NE(plain, both);
}

}  // namespace
