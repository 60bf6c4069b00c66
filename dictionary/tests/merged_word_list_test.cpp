// Merged word lists checked row by row against a brute-force merge: every
// key of each dictionary exported by an engine walk, merged by the file's
// collation with ties by shelf position (equal keys show the front
// dictionary first, both ways: most rows of EDICT and ENAMDICT are such
// ties). Walks forwards and backwards,
// random jumps (bisection, then steps), record finds and dictionary changes.
// OSTREL_LARGE_WORD_LISTS=1 runs about a million keys instead of 10^5.
#include <cstdlib>
#include <random>

#include "common/tests/edict_files.h"
#include "dictionary/tests/word_list_fixture.h"

namespace {


// Random readings and words over a small alphabet, so that many keys occur
// in several dictionaries and several times in one.
std::vector<KeyPair> RandomKeys(std::mt19937& random, size_t count) {
    static const std::u16string letters = u"akstnあいうかさアイ";
    auto text = [&](size_t longest) {
        std::u16string t;
        for (size_t n = 1 + random() % longest; n > 0; --n) t += letters[random() % letters.size()];
        return t;
    };
    std::vector<KeyPair> keys;
    for (size_t i = 0; i < count; ++i) keys.emplace_back(text(5), random() % 3 == 0 ? std::u16string() : text(2));
    return keys;
}

class MergedWordListTest : public WordListTest {
protected:
    void Build(size_t dictionaries, size_t keysEach, uint32_t seed) {
        std::mt19937 random(seed);
        for (size_t d = 0; d < dictionaries; ++d) {
            std::u16string path = u"C:\\D\\synthetic" + std::u16string(1, static_cast<char16_t>(u'a' + d)) + u".qdx";
            AddSynthetic(path, RandomKeys(random, keysEach), kIndexReadingWord, static_cast<uint32_t>(1 + d * 10000000));
        }
    }
    std::unique_ptr<WordList> MergedList() { return ListOfShelf(kListReadings); }
    void ExpectRow(WordList& list, const std::vector<MergedRow>& oracle, int32_t row) {
        CCursor* cursor = list.GetEntry(row);
        ASSERT_NE(cursor, nullptr) << "row " << row;
        const MergedRow& want = oracle[static_cast<size_t>(row)];
        ASSERT_EQ(shelf.PositionOf(cursor->dictionary), want.shelfPosition) << "row " << row;
        ASSERT_EQ(cursor->ordinal, want.ordinal) << "row " << row;
        ASSERT_EQ(cursor->position.ref.first, want.ref) << "row " << row;
        ASSERT_EQ(list.CurrentRow(), row);
    }
};

// (kanji, first kana reading) of KANJIDIC lines: one-character keys.
std::vector<KeyPair> KanjidicKeys() {
    std::vector<KeyPair> keys;
    for (const std::u16string& text : EdictLines("kanjidic", 1)) {
        size_t reading = text.find_first_of(u" ", 0);
        while (reading != std::u16string::npos && !(text[reading + 1] >= 0x3041 && text[reading + 1] <= 0x30FF))
            reading = text.find(u' ', reading + 1);
        std::u16string kana = reading == std::u16string::npos ? u"" : text.substr(reading + 1);
        keys.emplace_back(text.substr(0, 1), kana.substr(0, kana.find(u' ')));
    }
    return keys;
}

size_t KeysPerDictionary() { return std::getenv("OSTREL_LARGE_WORD_LISTS") ? 340000 : 34000; }

TEST_F(MergedWordListTest, WalksJumpsAndFindsMatchTheBruteForceMerge) {
    Build(3, KeysPerDictionary(), 16);
    std::vector<MergedRow> oracle = BruteForceMerge();
    auto list = MergedList();
    ASSERT_EQ(list->RowCount(), static_cast<int32_t>(oracle.size()));
    int32_t rows = list->RowCount();
    // Bisection alone brings the list within the window of far rows.
    list->GetEntry(0);
    for (int32_t target : {rows / 2, rows / 3, rows - 60, 60})
        EXPECT_LT(std::abs(list->Reseek(target, 0, 50, false) - target), 50) << target;

    for (int32_t row = 0; row < rows; ++row) ExpectRow(*list, oracle, row);
    EXPECT_EQ(list->GetEntry(rows), nullptr);
    for (int32_t row = rows - 1; row >= 0; --row) ExpectRow(*list, oracle, row);

    std::mt19937 random(1616);
    for (int jump = 0; jump < 300; ++jump) ExpectRow(*list, oracle, static_cast<int32_t>(random() % rows));

    // A drag of the scroll box: bisection brings the list within the window, the steps finish.
    for (int jump = 0; jump < 50; ++jump) {
        int32_t target = static_cast<int32_t>(random() % rows);
        int32_t shown = list->PrepareJump(target, 400);
        ASSERT_GE(shown, 0);
        EXPECT_LT(std::abs(shown - target), std::max(rows / 400, 50) + 50);
        ExpectRow(*list, oracle, shown);
    }

    for (int find = 0; find < 200; ++find) {
        int32_t row = static_cast<int32_t>(random() % rows);
        const MergedRow& want = oracle[static_cast<size_t>(row)];
        ListRecordRef record{shelf.dictionaries[static_cast<size_t>(want.shelfPosition)], want.ref, want.ordinal};
        EXPECT_EQ(list->FindRecord(record), row);
        ExpectRow(*list, oracle, row);
        record.recordId += 1;  // another article stands at that ordinal now
        EXPECT_EQ(list->FindRecord(record), -1);
    }
}

// EDICT and ENAMDICT share many readings: the tie rules carry most rows.
TEST_F(MergedWordListTest, EdictAndEnamdictMergeAsTheBruteForceMerge) {
    bool large = std::getenv("OSTREL_LARGE_WORD_LISTS") != nullptr;
    std::vector<KeyPair> edict = EdictKeys("edict", large ? 1 : 6);
    std::vector<KeyPair> enamdict = EdictKeys("enamdict", large ? 1 : 24);
    ASSERT_GT(edict.size(), 20000u);
    AddSynthetic(u"C:\\D\\enamdict.qdx", enamdict, kIndexReadingWord, 1);
    AddSynthetic(u"C:\\D\\edict.qdx", edict, kIndexReadingWord, 10000000);
    std::vector<MergedRow> oracle = BruteForceMerge();
    auto list = MergedList();
    ASSERT_EQ(list->RowCount(), static_cast<int32_t>(oracle.size()));
    int32_t rows = list->RowCount();
    for (int32_t row = rows - 1; row >= 0; --row) ExpectRow(*list, oracle, row);
    for (int32_t row = 0; row < rows; row += 3) ExpectRow(*list, oracle, row);
    std::mt19937 random(2016);
    for (int jump = 0; jump < 200; ++jump) ExpectRow(*list, oracle, static_cast<int32_t>(random() % rows));
}

// The writing list (index 102): KANJIDIC's one-character keys among EDICT's headwords.
TEST_F(MergedWordListTest, KanjidicAndEdictMergeByWritingAsTheBruteForceMerge) {
    std::vector<KeyPair> edict = EdictKeys("edict", 8);
    for (KeyPair& key : edict)
        if (!key.second.empty()) std::swap(key.first, key.second);
    AddSynthetic(u"C:\\D\\kanjidic.qdx", KanjidicKeys(), kIndexWordReading, 1);
    AddSynthetic(u"C:\\D\\edict.qdx", edict, kIndexWordReading, 10000000);
    std::vector<MergedRow> oracle = BruteForceMerge(kIndexWordReading);
    auto list = ListOfShelf(kListWritings);
    ASSERT_EQ(list->RowCount(), static_cast<int32_t>(oracle.size()));
    for (int32_t row = list->RowCount() - 1; row >= 0; --row) ExpectRow(*list, oracle, row);
}

TEST_F(MergedWordListTest, ASavedPositionComesBackAfterTheListMoved) {
    Build(2, 2000, 3);
    std::vector<MergedRow> oracle = BruteForceMerge();
    auto list = MergedList();
    // The first row of a run of equal keys, so that seeking its key finds it.
    int32_t row = 1500;
    while (row > 0 && oracle[static_cast<size_t>(row - 1)].reading == oracle[static_cast<size_t>(row)].reading &&
           oracle[static_cast<size_t>(row - 1)].word == oracle[static_cast<size_t>(row)].word)
        --row;
    EXPECT_EQ(list->CloneCursorAt(row, 1), row);
    ExpectRow(*list, oracle, 10);
    EXPECT_EQ(list->RestorePosition(1), row);
    EXPECT_EQ(list->CurrentRow(), row);
    EXPECT_EQ(list->CurrentCursor()->ordinal, oracle[static_cast<size_t>(row)].ordinal);
    ExpectRow(*list, oracle, row + 1);
    EXPECT_EQ(list->RestorePosition(0), -1);  // nothing saved there
}

TEST_F(MergedWordListTest, AddingAndRemovingDictionariesKeepsTheMerge) {
    Build(3, 3000, 99);
    auto list = MergedList();
    std::mt19937 random(5);
    list->GetEntry(list->RowCount() / 2);
    list->RemoveDictionary(shelf.dictionaries[1]);
    RDFDictionary* removed = shelf.dictionaries[1];
    shelf.dictionaries.erase(shelf.dictionaries.begin() + 1);
    std::vector<MergedRow> oracle = BruteForceMerge();
    ASSERT_EQ(list->RowCount(), static_cast<int32_t>(oracle.size()));
    for (int jump = 0; jump < 100; ++jump) ExpectRow(*list, oracle, static_cast<int32_t>(random() % oracle.size()));

    shelf.dictionaries.push_back(removed);  // back at the end of the shelf
    list->AddDictionary(removed);
    oracle = BruteForceMerge();
    ASSERT_EQ(list->RowCount(), static_cast<int32_t>(oracle.size()));
    for (int32_t row = 0; row < list->RowCount(); ++row) ExpectRow(*list, oracle, row);
}

TEST_F(MergedWordListTest, RemovingTheOnlyNonEmptyDictionaryLeavesNoRows) {
    RDFDictionary* empty = AddSynthetic(u"C:\\D\\empty.qdx", {});
    RDFDictionary* full = AddSynthetic(u"C:\\D\\full.qdx", {{u"a", u""}, {u"b", u""}});
    auto list = MergedList();
    ASSERT_EQ(list->RowCount(), 2);
    const CCursor* idle = list->CursorAt(0)->dictionary == empty ? list->CursorAt(0) : list->CursorAt(1);
    EXPECT_EQ(idle->count, 0);
    EXPECT_EQ(idle->state, kCursorNoPosition);
    list->RemoveDictionary(full);
    EXPECT_EQ(list->RowCount(), 0);
    EXPECT_EQ(list->CurrentCursor(), nullptr);
    EXPECT_EQ(list->GetEntry(0), nullptr);
    EXPECT_EQ(list->PrepareJump(0, 100), -1);
}

}  // namespace
