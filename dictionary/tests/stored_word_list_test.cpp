// Stored word lists: the limits (2000 entries, the text pool, 1999 history
// rows), deleting and purging with the row index kept sound, rebuilding
// against the shelf, record-id remapping, sorting by reading or word, and
// forgetting a dictionary before it is destroyed.
#include "common/collation/collator.h"
#include "dictionary/tests/word_list_fixture.h"

namespace {

class StoredWordListTest : public WordListTest {
protected:
    // A dictionary whose 101 index holds "r<i>"/"w<i>" for i < count, refs 1..count.
    RDFDictionary* Numbered(const std::u16string& path, int32_t count) {
        std::vector<KeyPair> keys;
        for (int32_t i = 0; i < count; ++i) {
            std::string n = std::to_string(100000 + i);
            std::u16string digits(n.begin(), n.end());
            keys.push_back({u"r" + digits, u"w" + digits});
        }
        return AddSynthetic(path, keys);
    }
    // Every row names a listed, undeleted entry below the entry count.
    static void ExpectSoundRows(const WordList& list) {
        for (int32_t row = 0; row < list.RowCount(); ++row) {
            int32_t entry = list.EntryOfRow(row);
            ASSERT_GE(entry, 0);
            ASSERT_LT(entry, list.EntryCount());
            ASSERT_EQ(list.EntryAt(entry).flags & (kEntryListed | kEntryDeleted), kEntryListed);
        }
    }
    static std::vector<uint32_t> RowRecords(WordList& list) {
        std::vector<uint32_t> records;
        for (int32_t row = 0; row < list.RowCount(); ++row) records.push_back(list.RowEntry(row)->recordId);
        return records;
    }
};

TEST_F(StoredWordListTest, TheEntryAndPoolLimitsRefuseWithoutDamage) {
    RDFDictionary* d = Numbered(u"C:\\D\\n.qdx", 3);
    WordList list(&shelf, kListSearchResults);
    list.AddDictionary(d);
    CCursor cursor(d, kIndexReadingWord);
    for (int32_t i = 0; i < WordList::kMaxEntries; ++i) ASSERT_NE(list.AddCursorEntry(cursor), nullptr);
    EXPECT_EQ(list.AddCursorEntry(cursor), nullptr);
    EXPECT_EQ(list.AddEntry(nullptr, 0, 0, nullptr), nullptr);
    EXPECT_EQ(list.RowCount(), 2000);
    ExpectSoundRows(list);

    std::u16string text(999, u't');
    int32_t added = 0;
    while (list.AddText(text) >= 0) ++added;
    EXPECT_EQ(added, 99);  // 99 x 1000 units; one more would reach 100000
    EXPECT_EQ(list.PoolText(static_cast<uint32_t>(98 * 1000), 999), text);
}

TEST_F(StoredWordListTest, MoveToTopKeepsFewerThan1999RowsAndNeverFreezes) {
    RDFDictionary* open = Numbered(u"C:\\D\\open.qdx", 2100);
    RDFDictionary* closing = Numbered(u"C:\\D\\closing.qdx", 1600);
    auto history = ListOfShelf(kListHistory);
    CCursor a(open, kIndexReadingWord), b(closing, kIndexReadingWord);
    auto top = [&](CCursor& cursor, int32_t from, int32_t to) {
        for (int32_t i = from; i < to; ++i) {
            cursor.MoveToOrdinal(i);
            ASSERT_NE(history->MoveToTop(cursor), nullptr);
            ASSERT_EQ(history->RowEntry(0)->recordId, static_cast<uint32_t>(i + 1));
        }
    };
    top(a, 0, 2000);
    EXPECT_EQ(history->RowCount(), 1999);  // the 2000th dropped the oldest row first
    EXPECT_EQ(history->RowEntry(1998)->recordId, 2u);
    EXPECT_EQ(std::u16string(history->RowEntry(0)->word), u"w101999");
    top(a, 5, 6);  // recorded before: moves up instead of doubling
    EXPECT_EQ(history->RowCount(), 1999);
    ExpectSoundRows(*history);

    // Entries of a closed dictionary hold no rows but count towards 2000.
    history->Clear();
    top(b, 0, 1500);
    top(a, 0, 499);
    closing->Close();
    history->Rebuild();
    ASSERT_EQ(history->EntryCount(), 1999);
    ASSERT_EQ(history->RowCount(), 499);
    top(a, 2000, 2003);
    EXPECT_EQ(history->EntryCount(), 2000);
    EXPECT_EQ(history->RowCount(), 502);
    ExpectSoundRows(*history);
}

TEST_F(StoredWordListTest, DeletingRowsKeepsTheCurrentRowAndTheRowIndexSound) {
    RDFDictionary* d = Numbered(u"C:\\D\\n.qdx", 10);
    auto list = ListOfShelf(kListSelected);
    for (int32_t i = 0; i < 10; ++i) AddRecord(*list, d, i);
    list->SetCurrentRow(9);
    list->DeleteRow(9);  // the current last row: the new last row is current
    EXPECT_EQ(list->CurrentRow(), 8);
    list->DeleteRow(2);
    EXPECT_EQ(list->CurrentRow(), 7);
    EXPECT_EQ(RowRecords(*list), (std::vector<uint32_t>{1, 2, 4, 5, 6, 7, 8, 9}));

    list->EntryAt(0).flags |= kEntryDeleted;
    list->EntryAt(3).flags |= kEntryDeleted;
    EXPECT_EQ(list->PurgeDeleted(3), 0);
    EXPECT_EQ(list->PurgeDeleted(2), 2);
    ExpectSoundRows(*list);  // at once, before any rebuild
    EXPECT_EQ(RowRecords(*list), (std::vector<uint32_t>{2, 4, 6, 7, 8, 9}));

    uint32_t oldIds[] = {2, 6, 9}, newIds[] = {20, 60, 90};
    list->RemapRecordIds(d, oldIds, newIds, 3);
    EXPECT_EQ(RowRecords(*list), (std::vector<uint32_t>{20, 60, 90}));
}

TEST_F(StoredWordListTest, RebuildFollowsTheShelfAndAForgottenDictionaryLeavesNoTrace) {
    RDFDictionary* kept = Numbered(u"C:\\D\\kept.qdx", 3);
    RDFDictionary* hidden = Numbered(u"C:\\D\\hidden.qdx", 3);
    RDFDictionary* gone = Numbered(u"C:\\D\\gone.qdx", 3);
    auto list = ListOfShelf(kListHistory);
    for (RDFDictionary* d : {kept, hidden, gone}) AddRecord(*list, d, 0);
    hidden->flags |= kDictionaryHidden;
    shelf.dictionaries.pop_back();
    EXPECT_EQ(list->Rebuild(), 1);
    EXPECT_EQ(list->EntryCount(), 2);
    hidden->flags &= ~kDictionaryHidden;
    EXPECT_EQ(list->Rebuild(), 2);

    list->ForgetDictionary(hidden);
    EXPECT_EQ(list->EntryCount(), 1);
    EXPECT_EQ(list->CursorCount(), 2);
    EXPECT_EQ(list->RowEntry(0)->dictionary, kept);
    CCursor at(hidden, kIndexReadingWord);
    EXPECT_EQ(list->MoveToTop(at), nullptr);  // a dictionary the list no longer holds
}

TEST_F(StoredWordListTest, RowDictionaryAndFlagsComeFromTheRowsEntry) {
    RDFDictionary* first = Numbered(u"C:\\D\\first.qdx", 3);
    RDFDictionary* second = Numbered(u"C:\\D\\second.qdx", 3);
    auto translated = ListOfShelf(kListTranslatedWords);
    auto history = ListOfShelf(kListHistory);
    for (WordList* list : {translated.get(), history.get()}) {
        AddRecord(*list, first, 0);
        AddRecord(*list, second, 1);
        list->EntryAt(1).flags |= 0x10;
    }
    EXPECT_EQ(translated->GetRowDictionary(0), first);
    EXPECT_EQ(translated->GetRowDictionary(1), second);
    EXPECT_EQ(translated->GetRowDictionary(2), nullptr);
    EXPECT_EQ(translated->GetRowDictionary(-1), nullptr);
    EXPECT_EQ(translated->GetRowFlags(1), translated->EntryAt(1).flags);
    EXPECT_NE(translated->GetRowFlags(1) & 0x10, 0u);
    EXPECT_EQ(translated->GetRowFlags(2), 0u);
    EXPECT_EQ(translated->GetRowFlags(-1), 0u);
    EXPECT_EQ(history->GetRowFlags(1), 0u);  // only the translated-words list answers flags
    EXPECT_EQ(history->GetRowDictionary(1), second);
}

TEST_F(StoredWordListTest, SortOrdersByReadingOrWordAndNeverCallsAClosedDictionarysCollator) {
    RDFDictionary* first = AddSynthetic(u"C:\\D\\a.qdx", {{u"b", u"z"}, {u"a", u"y"}});
    RDFDictionary* second = AddSynthetic(u"C:\\D\\b.qdx", {{u"a", u"y"}, {u"c", u"x"}}, kIndexReadingWord, 10);
    auto list = ListOfShelf(kListSelected);
    for (RDFDictionary* d : {second, first})
        for (int32_t i = 0; i < 2; ++i) AddRecord(*list, d, i);
    // Rows: b's (a y)=10 (c x)=11, a's (a y)=2 (b z)=1.
    list->SetCurrentRow(1);
    list->sortMode = 2;
    EXPECT_EQ(list->Sort(), 3);
    EXPECT_EQ(RowRecords(*list), (std::vector<uint32_t>{2, 10, 1, 11}));  // equal texts by shelf position
    list->sortMode = 3;
    list->Sort();
    EXPECT_EQ(RowRecords(*list), (std::vector<uint32_t>{11, 2, 10, 1}));

    // The first row's dictionary closes: the shelf's collator is used, and with none the order stays.
    second->Close();
    list->sortMode = 2;
    list->Sort();
    EXPECT_EQ(RowRecords(*list), (std::vector<uint32_t>{11, 2, 10, 1}));
    ICollator* collator = nullptr;
    ASSERT_EQ(GetUcaCollator(&collator), 0);
    shelf.collator = collator;
    list->Sort();
    EXPECT_EQ(RowRecords(*list), (std::vector<uint32_t>{2, 10, 1, 11}));
    collator->Release();
    list->sortMode = 0;
    list->Sort();
    EXPECT_EQ(RowRecords(*list), (std::vector<uint32_t>{10, 11, 2, 1}));
}

// Rows without texts (a loaded list) take them from their records to be sorted.
bool TextsByRecord(CCursor& cursor, std::u16string& reading, std::u16string& word) {
    reading = u"r";
    word = cursor.RecordId() == 7 ? u"a" : cursor.RecordId() == 3 ? u"b" : u"c";
    return true;
}

TEST_F(StoredWordListTest, RowsWithoutTextsReadThemFromTheirRecordsBeforeSorting) {
    RDFDictionary* d = Numbered(u"C:\\D\\n.qdx", 2);
    auto list = ListOfShelf(kListSelected);
    for (uint32_t id : {5u, 3u, 7u}) {
        WordListEntry entry{};
        entry.flags = kEntryListed;
        entry.dictionary = d;
        entry.recordId = id;
        list->AppendRaw(entry);
    }
    list->entryTextReader = TextsByRecord;
    list->sortMode = 3;
    list->Sort();
    EXPECT_EQ(RowRecords(*list), (std::vector<uint32_t>{7, 3, 5}));
    EXPECT_EQ(std::u16string(list->RowEntry(0)->word), u"a");
}

}  // namespace
