// List cells over a hand-built word entry: the column table for every list
// kind, the "from " prefix and transcription within the cell's room, the
// bracketed column, own-text rows and the lexicon's hint texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "article/list_cells.h"
#include "article/tests/parsed_record_fixture.h"
#include "common/text/kana_transcription.h"
#include "dictionary/full_text_query.h"
#include "dictionary/word_list.h"
#include "dictionary/word_list_entry.h"

namespace {

// The cell as the list shows it: the formatters end each line with a line feed.
std::u16string Text(const ListCell& cell) {
    std::u16string text(cell.text, static_cast<size_t>(cell.length));
    if (!text.empty() && text.back() == u'\n') text.pop_back();
    return text;
}

class ListCellsTest : public ParsedRecordTest {
protected:
    ListCellsTest() {
        Add(3, u"ねこ");
        Add(4, u"猫");
        Add(5, u"cat");
        Add(8, u"кошка");
        Add(11, u"ビョウ（みょう）");
        row.dictionary = &dictionary;
        row.recordLoaded = true;
        row.firstField = u"first";
        row.secondField = u"second";
        row.recordId = 4242;
        std::memset(&entry, 0, sizeof entry);
        entry.indexId = 102;
    }
    ListCell Cell(int32_t column) {
        ListCell cell;
        cell.columnKind = column;
        BuildCell(row, cell);
        EXPECT_LE(cell.length, kCellTextLimit);
        EXPECT_EQ(cell.text[cell.length], 0);
        return cell;
    }

    CellRow row;
    WordListEntry entry;
};

// The column table: what each list kind shows in each column for the same
// record and key fields ("first", "second").
TEST_F(ListCellsTest, EveryListKindShowsTheColumnsOfItsTable) {
    const std::u16string formatter2 = u"ねこ", formatter3 = u"猫", formatter4 = u"cat";
    for (int32_t kind : {kListTranslatedWords, kListReadings, kListReverse, kListWritings, kListSelected,
                         kListSearchResults, kListLexicon, kListHistory}) {
        row.listKind = kind;
        row.entry = kind == kListTranslatedWords || kind >= kListSelected ? &entry : nullptr;
        for (int32_t column = 1; column <= 30; ++column) {
            std::u16string expected;
            switch (column) {
            case 1: break;  // the entry matched no input
            case 2: expected = kind == kListReadings ? u"first" : kind == kListWritings ? u"second" : formatter2; break;
            case 3: expected = kind == kListWritings ? u"first" : kind == kListReadings ? u"second" : formatter3; break;
            case 4: case 9: expected = formatter4; break;
            case 5: expected = kind == kListReverse ? u"first" : u""; break;
            case 6: expected = formatter3; break;
            case 7: case 14: expected = u"ビョウみょう"; break;
            case 11: expected = u"ビョウみょう"; break;
            case 8: case 10: break;  // elements this record lacks
            case 27: case 28: case 29: expected = formatter2; break;  // the default formatter's reading
            case 12: case 13: break;                             // no raw field given
            case 25: expected = kind == kListLexicon ? u"0" : u""; break;  // no dictionary holds "first"
            case 30: expected = u"4242"; break;
            default: expected = u"first"; break;
            }
            ListCell cell = Cell(column);
            EXPECT_EQ(Text(cell), expected) << "list kind " << kind << ", column " << column;
        }
    }
    EXPECT_EQ(Cell(3).attributes[0], kCellHeadword);  // list kind 21: the formatter's headword
}

TEST_F(ListCellsTest, InflectedTranslatedWordShowsFromBeforeItsReading) {
    row.listKind = kListTranslatedWords;
    row.entry = &entry;
    const uint8_t plain[] = {3, 22, 71};
    std::memcpy(entry.tags, plain, sizeof plain);
    row.applicationFlags = kEnglishInterfaceFlag;
    EXPECT_EQ(Text(Cell(2)), u"ねこ");
    entry.tags[3] = 5;  // a code of an inflected form
    ListCell english = Cell(2);
    EXPECT_EQ(Text(english), u"from ねこ");
    for (int32_t i = 0; i < english.length; ++i) EXPECT_EQ(english.attributes[i], kCellReading);
    row.applicationFlags = 0;
    EXPECT_EQ(Text(Cell(2)), u"от ねこ");
    row.applicationFlags = kEnglishInterfaceFlag | kTransliterateInLists | kTranscribeLatin;
    EXPECT_EQ(Text(Cell(2)), u"from neko");
    // Found through the readings index: the headword stands in its place.
    entry.indexId = 101;
    EXPECT_EQ(Text(Cell(2)), u"from 猫");
}

// The fault mended: the prefix and a long transcription stay within 254 units.
TEST_F(ListCellsTest, PrefixAndTranscriptionAreCutToTheCellsRoom) {
    std::u16string longReading(300, u'ね');
    dictionary.Elements()[1].kind = 99;  // only the long reading is left
    Add(3, longReading);
    row.listKind = kListTranslatedWords;
    row.entry = &entry;
    entry.tags[0] = 9;
    row.applicationFlags = kEnglishInterfaceFlag;
    ListCell kana = Cell(2);
    EXPECT_EQ(kana.length, kCellTextLimit);
    EXPECT_EQ(Text(kana), u"from " + longReading.substr(0, kCellTextLimit - 5));

    row.applicationFlags |= kTransliterateInLists | kTranscribeLatin;
    ListCell letters = Cell(2);
    EXPECT_EQ(letters.length, kCellTextLimit);
    std::u16string expected = u"from ";
    while (expected.size() < static_cast<size_t>(kCellTextLimit)) expected += u"ne";
    EXPECT_EQ(Text(letters), expected.substr(0, kCellTextLimit));
    EXPECT_EQ(letters.attributes[kCellTextLimit - 1], kCellReading);
}

TEST_F(ListCellsTest, BracketedPartOfColumn14IsColouredWithoutItsParentheses) {
    ListCell cell = Cell(11);
    ASSERT_EQ(Text(cell), u"ビョウみょう");
    for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(cell.attributes[i], kCellReading);
    for (int32_t i = 3; i < 6; ++i) EXPECT_EQ(cell.attributes[i], kCellBracketed);
}

TEST_F(ListCellsTest, OwnTextRowsShowTheInputAndTheirTwoLines) {
    row.listKind = kListTranslatedWords;
    row.entry = &entry;
    entry.flags = kEntryOwnText;
    entry.matchStart = 4;
    entry.matchLength = 50;  // runs past the input: cut at its end
    row.input = u"the quick fox";
    row.ownText = u"line one\nline two";
    EXPECT_EQ(Text(Cell(1)), u"quick fox");
    EXPECT_EQ(Text(Cell(3)), u"line one");
    EXPECT_EQ(Text(Cell(4)), u"line two");
    EXPECT_EQ(Text(Cell(10)), u"line two");
    entry.matchStart = 40;
    EXPECT_EQ(Text(Cell(1)), u"");
    std::u16string longLine(300, u'x');
    row.ownText = longLine;
    EXPECT_EQ(Cell(3).length, kCellTextLimit);
}

// The query words a search-results cell shows are coloured: '^' marks the
// units that took (a & ~0x90) | 0x60, starting from colour class 2 or 9.
std::string Highlighted(std::u16string_view query, uint32_t entryFlags, std::u16string_view text) {
    FullTextQuery q;
    q.Parse(query);
    ListCell cell;
    for (size_t i = 0; i < text.size(); ++i) {
        cell.text[i] = text[i];
        cell.attributes[i] = i % 2 ? kCellReading : kCellReverseWord;
    }
    cell.length = static_cast<int32_t>(text.size());
    HighlightQueryWords(q, entryFlags, cell);
    std::string marks;
    for (int32_t i = 0; i < cell.length; ++i) {
        const uint32_t before = i % 2 ? kCellReading : kCellReverseWord;
        marks += cell.attributes[i] == 0x60 ? '^' : cell.attributes[i] == before ? '.' : '?';
    }
    return marks;
}

TEST(QueryWordHighlight, PhraseChainsByTheRowsSearchKind) {
    struct Case {
        std::u16string query;
        uint32_t flags;
        std::u16string text;
        std::string marks;
    };
    const Case cases[] = {
        // Plain search: a phrase is coloured whole, a lone word alone.
        {u"\"big red\" cat", kEntrySearchHighlight, u"a big red dog, a cat", "..^^^^^^^........^^^"},
        // A phrase broken by another word is dropped; its later words never start.
        {u"\"big red\" cat", kEntrySearchHighlight, u"big dog red", "..........."},
        {u"big red", kEntrySearchHighlight, u"red big", "^^^.^^^"},
        // Grouped search: the same starts.
        {u"\"big red\" cat", kEntrySearchHighlightOther, u"cat big red", "^^^.^^^^^^^"},
        // Neither: only the whole query in sequence, from its first word.
        {u"big red cat", 0, u"big red cat", "^^^^^^^^^^^"},
        {u"big red cat", 0, u"red cat big", "..........."},
        {u"big red cat", 0, u"big red dog cat", "..............."},
        // Ideographic words written together are one phrase, matched word by word.
        {u"猫犬", kEntrySearchHighlight, u"猫 犬 猫犬", "^^^.^^"},
        {u"猫犬", kEntrySearchHighlight, u"犬 猫", "..."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Highlighted(c.query, c.flags, c.text), c.marks) << std::string(c.text.begin(), c.text.end());
}

TEST(ArticleCountHint, SingularAndPluralInEachLanguage) {
    EXPECT_EQ(ArticleCountHintText(UILanguage::English, u"word", 1, 1),
              u"word\nContained in 1 article of 1 dictionary. \nDouble-click on the line to see the list of articles.");
    EXPECT_EQ(ArticleCountHintText(UILanguage::English, u"word", 7, 2),
              u"word\nContained in 7 articles of 2 dictionaries. \nDouble-click on the line to see the list of articles.");
    EXPECT_EQ(ArticleCountHintText(UILanguage::Russian, u"слово", 1, 3),
              u"слово\nВстречается в 1 статье 3 словарей. \nДважды щелкните на строке списка чтобы увидеть все статьи.");
    EXPECT_EQ(ArticleCountHintText(UILanguage::Japanese, u"語", 5, 2),
              u"語\n2の辞書の、5の項目に含まれています。\n項目全文を見るには、リストの行を、ダブル・クリックしてください。");
}

}  // namespace
