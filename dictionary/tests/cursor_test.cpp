// CCursor over dictionaries built with the engine: the state bits after
// failed moves, keys cut at 127 units, full-length keys read as written,
// the prefix walk's limit and article loading (cached, freed, unparsable).
#include "dictionary/cursor.h"

#include "dictionary/tests/word_list_fixture.h"

namespace {

class CursorTest : public WordListTest {};

TEST_F(CursorTest, EmptyIndexHasNoPositionAndFailedMovesSetTheirBits) {
    RDFDictionary* empty = AddSynthetic(u"C:\\D\\empty.qdx", {});
    CCursor none(empty, kIndexReadingWord);
    EXPECT_EQ(none.count, 0);
    EXPECT_EQ(none.state, kCursorNoPosition);
    EXPECT_NE(none.MoveToOrdinal(0), DmsStatus::Success);
    EXPECT_EQ(none.state, kCursorNoPosition);

    RDFDictionary* three = AddSynthetic(u"C:\\D\\three.qdx", {{u"a", u""}, {u"b", u""}, {u"c", u""}});
    CCursor cursor(three, kIndexReadingWord);
    EXPECT_EQ(cursor.count, 3);
    EXPECT_EQ(cursor.state, 0u);
    EXPECT_EQ(cursor.ordinal, 0);
    EXPECT_NE(cursor.Prev(), DmsStatus::Success);
    EXPECT_EQ(cursor.state, kCursorAtBegin);
    ASSERT_EQ(cursor.MoveLast(), DmsStatus::Success);
    EXPECT_EQ(cursor.ordinal, 2);
    EXPECT_NE(cursor.Next(), DmsStatus::Success);
    EXPECT_EQ(cursor.state, kCursorAtEnd);
    cursor.ClearKeys();
    cursor.SetKeyText(0, u"d");
    EXPECT_NE(cursor.SeekGreaterOrEqual(), DmsStatus::Success);
    EXPECT_EQ(cursor.state, kCursorAtEnd);
    cursor.SetKeyText(0, u"0");
    EXPECT_NE(cursor.SeekLessOrEqual(), DmsStatus::Success);
    EXPECT_EQ(cursor.state, kCursorAtBegin);
    EXPECT_NE(cursor.MoveToOrdinal(3), DmsStatus::Success);
    EXPECT_EQ(cursor.state, kCursorAtEnd);
    ASSERT_EQ(cursor.MoveToOrdinal(1), DmsStatus::Success);
    EXPECT_EQ(cursor.state, 0u);
    EXPECT_EQ(cursor.FieldText(0), u"b");
}

TEST_F(CursorTest, LongTextsAreCutAt127UnitsAndFullLengthKeysReadAsWritten) {
    std::u16string longest(128, u'x');  // 256 bytes: the largest key segment
    std::u16string cut(127, u'y');
    RDFDictionary* d = AddSynthetic(u"C:\\D\\long.qdx", {{longest, u"w"}, {cut, u"w"}});
    CCursor cursor(d, kIndexReadingWord);
    ASSERT_TRUE(cursor.FieldWritten(0));
    EXPECT_EQ(cursor.FieldText(0), longest);
    EXPECT_TRUE(cursor.FieldWritten(1));
    EXPECT_FALSE(cursor.FieldWritten(2));  // the index has two segments

    EXPECT_EQ(cursor.SeekByText(std::u16string(200, u'y'), u"w"), 1);
    EXPECT_EQ(cursor.key[0].length, 254);
    EXPECT_EQ(cursor.FieldText(0), cut);
    EXPECT_EQ(cursor.SeekByText(u"", u""), 0);

    // A stored list takes the texts of a full-length key (cut to its 127 units).
    WordList list(&shelf, kListSelected);
    list.AddDictionary(d);
    cursor.MoveFirst();
    WordListEntry* entry = list.AddCursorEntry(cursor);
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->flags & kEntryTextsFilled);
    EXPECT_EQ(std::u16string(entry->reading, static_cast<size_t>(entry->readingLength)), std::u16string(127, u'x'));
}

TEST_F(CursorTest, SeekPrefixStopsAfterAThousandEntries) {
    std::vector<KeyPair> keys(1200, {u"かな", u""});
    keys.push_back({u"かなa", u""});
    RDFDictionary* d = AddSynthetic(u"C:\\D\\many.qdx", keys);
    WordList list(&shelf, kListSearchResults);
    list.AddDictionary(d);
    CCursor cursor(d, kIndexReadingWord);
    EXPECT_EQ(cursor.SeekPrefix(u"かな", list), 1000);
    EXPECT_EQ(list.RowCount(), 1000);
    EXPECT_EQ(list.EntryAt(0).matchLength, 2);

    WordList few(&shelf, kListSearchResults);
    few.AddDictionary(d);
    EXPECT_EQ(cursor.SeekPrefix(u"かなa", few), 1);
}

int32_t parses = 0;
int32_t CountingParser(CDictionary&, const char16_t*, int32_t) {
    ++parses;
    return 1;
}

TEST_F(CursorTest, LoadArticleReadsOnceAcceptsFreedRecordsAndFailsOnUnparsableOnes) {
    FormatParsers previous = SetFormatParsers(9, {nullptr, CountingParser});
    CreateDictionaryFile(u"C:\\D\\articles.qdx");
    uint32_t first = WriteArticle(9, u"first article");
    uint32_t second = WriteArticle(9, u"second article");
    uint32_t untyped = WriteArticle(0, u"no format");
    InsertKey(kIndexReadingWord, u"a", u"", first);
    InsertKey(kIndexReadingWord, u"b", u"", second);
    InsertKey(kIndexReadingWord, u"c", u"", untyped);
    ASSERT_EQ(engine->FreeData(cursor, second), DmsStatus::Success);
    FinishFile();
    RDFDictionary* d = OpenOnShelf(u"C:\\D\\articles.qdx");

    CCursor reader(d, kIndexReadingWord);
    parses = 0;
    ASSERT_EQ(reader.LoadArticle(), 1);
    EXPECT_EQ(parses, 1);
    EXPECT_EQ(d->deletedRecord, 0u);
    d->RecordData()[10] = 'Z';  // a re-read would put the 'f' back
    ASSERT_EQ(reader.LoadArticle(), 1);
    EXPECT_EQ(d->RecordData()[10], 'Z');
    EXPECT_EQ(parses, 1);

    reader.Next();
    ASSERT_EQ(reader.LoadArticle(), 1);
    EXPECT_EQ(d->deletedRecord, 1u);
    EXPECT_EQ(parses, 2);

    ASSERT_EQ(reader.Next(), DmsStatus::Success);
    EXPECT_EQ(reader.position.ref.first, untyped);
    EXPECT_EQ(reader.LoadArticle(), 0);
    EXPECT_EQ(d->parsedPosition, 0u);
    SetFormatParsers(9, previous);
}

}  // namespace
