// Search as you type hands a by-reading key not found whole to the phrase
// splitter once; a first word covering the whole key sends the search to its
// reading.
#include <string>
#include <vector>

#include "dictionary/phrase_split_hook.h"
#include "dictionary/tests/word_list_fixture.h"

namespace {

// Answers a first word of the given span and reading; records the keys asked.
class RecordingSplitter : public IPhraseSplitter {
public:
    bool SplitKey(std::u16string_view key, WordListEntry& first) override {
        keys.emplace_back(key);
        if (length < 0) return false;
        first = WordListEntry{};
        first.matchLength = length;
        std::copy(reading.begin(), reading.end(), first.reading);
        first.readingLength = static_cast<int32_t>(reading.size());
        return true;
    }
    std::vector<std::u16string> keys;
    int32_t length = -1;  // -1: no first row
    std::u16string reading;
};

class PhraseSplitSearchTest : public WordListTest {
protected:
    void SetUp() override {
        AddSynthetic(u"C:\\D\\edict.qdx", {{u"たべる", u"食べる"}, {u"たべもの", u"食べ物"}, {u"ねこ", u"猫"}});
        list = ListOfShelf(kListReadings);
        list->phraseSplitter = &splitter;
    }
    RecordingSplitter splitter;
    std::unique_ptr<WordList> list;
};

TEST_F(PhraseSplitSearchTest, AWholeFirstWordSendsTheSearchToItsReading) {
    splitter.length = 5;
    splitter.reading = u"たべる";
    bool notWhole = false, phrase = false;
    WordListEntry entry{};
    const int32_t row = list->Find(u"たべました", nullptr, kListReadings, &notWhole, &phrase, &entry);
    ASSERT_EQ(splitter.keys, std::vector<std::u16string>{u"たべました"});
    EXPECT_TRUE(phrase);
    EXPECT_EQ(entry.matchLength, 5);
    EXPECT_EQ(list->GetEntry(row)->FieldText(0), u"たべる");
}

TEST_F(PhraseSplitSearchTest, APartialFirstWordLeavesTheNearestRow) {
    splitter.length = 2;
    splitter.reading = u"ねこ";
    bool notWhole = false, phrase = false;
    const int32_t row = list->Find(u"たべまし", nullptr, kListReadings, &notWhole, &phrase);
    EXPECT_EQ(splitter.keys.size(), 1u);
    EXPECT_FALSE(phrase);
    EXPECT_TRUE(notWhole);
    EXPECT_EQ(list->GetEntry(row)->FieldText(0), u"たべもの");
}

TEST_F(PhraseSplitSearchTest, NoSplitForWholeKeysOneUnitKeysReadingsOrOtherLists) {
    splitter.length = 1;
    splitter.reading = u"ねこ";
    bool notWhole = false, phrase = false;
    list->Find(u"ねこ", nullptr, kListReadings, &notWhole, &phrase);   // found whole
    list->Find(u"ぬ", nullptr, kListReadings, &notWhole, &phrase);     // one unit
    const std::u16string_view reading = u"猫";
    list->Find(u"たべや", &reading, kListReadings, &notWhole, &phrase);  // a reading given
    list->Find(u"んんん", nullptr, kListReadings, &notWhole, &phrase);   // after every entry
    auto writings = ListOfShelf(kListWritings);
    writings->phraseSplitter = &splitter;
    writings->Find(u"たべや", nullptr, kListWritings, &notWhole, &phrase);
    EXPECT_TRUE(splitter.keys.empty());
    list->Find(u"たべや", nullptr, kListReadings, &notWhole, &phrase);
    EXPECT_EQ(splitter.keys.size(), 1u);
}

}  // namespace
