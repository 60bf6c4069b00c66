// CCursor over dictionaries built with the engine: the state bits after
// failed moves, keys cut at 127 units, full-length keys read as written,
// the prefix walk's limit and article loading (cached, freed, unparsable).
#include "dictionary/cursor.h"

#include <functional>

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
    auto seek = [&](const char16_t* key, DmsStatus (CCursor::*move)()) {
        cursor.SetKeyText(0, key);
        return (cursor.*move)();
    };
    std::pair<std::function<DmsStatus()>, uint32_t> steps[] = {
        {[&] { return cursor.Prev(); }, kCursorAtBegin},
        {[&] { return cursor.MoveLast(); }, 0},
        {[&] { return cursor.Next(); }, kCursorAtEnd},
        {[&] { return seek(u"d", &CCursor::SeekGreaterOrEqual); }, kCursorAtEnd},
        {[&] { return seek(u"0", &CCursor::SeekLessOrEqual); }, kCursorAtBegin},
        {[&] { return cursor.MoveToOrdinal(3); }, kCursorAtEnd},
        {[&] { return cursor.MoveToOrdinal(1); }, 0}};
    for (auto& [move, state] : steps) {
        EXPECT_EQ(move() == DmsStatus::Success, state == 0);
        EXPECT_EQ(cursor.state, state);
    }
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
