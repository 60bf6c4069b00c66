// Search as you type over Debian's EDICT and ENAMDICT together: the row a key
// lands on equals the lower bound over the brute-force merged key order plus
// the closer-neighbour rule, all through the dictionary's collator; romaji
// made from EDICT readings by kakasi lands where the kana does.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>

#include "common/collation/collator.h"
#include "common/text/utf8.h"
#include "dictionary/input_line.h"
#include "dictionary/list_view_model.h"
#include "dictionary/spelling_preference.h"
#include "dictionary/tests/word_list_fixture.h"

namespace {

class SearchAsYouTypeTest : public WordListTest {
protected:
    void SetUp() override {
        // OSTREL_LARGE_WORD_LISTS=1: every line of both files.
        bool large = std::getenv("OSTREL_LARGE_WORD_LISTS") != nullptr;
        AddSynthetic(u"C:\\D\\edict.qdx", EdictKeys("edict", large ? 1 : 6), kIndexReadingWord, 1);
        AddSynthetic(u"C:\\D\\enamdict.qdx", EdictKeys("enamdict", large ? 1 : 24), kIndexReadingWord, 10000000);
        oracle = BruteForceMerge();
        list = ListOfShelf(kListReadings);
        collator = shelf.dictionaries[0]->Collator();
        ASSERT_NE(collator, nullptr);
    }
    int32_t Compare(const std::u16string& found, std::u16string_view key) const {
        return collator->Compare(found.data(), static_cast<uint32_t>(found.size()), key.data(),
                                 static_cast<uint32_t>(key.size()), kListReadings, 0);
    }
    // Lower bound over the merged order, then the row before wins when it
    // shares a beginning at least as long; a key after everything is the last row.
    int32_t ExpectedRow(std::u16string_view key, bool& whole) const {
        // The seek's order is the engine's (full strength, key fields in
        // turn); the whole-match test and the neighbour rule are the
        // collator's Compare in the list's mode.
        EngineCursor keyOrder(*engine, shelf.dictionaries[0]->fileId);
        EXPECT_EQ(keyOrder.SelectIndex(kIndexReadingWord), DmsStatus::Success);
        std::u16string keyText(key);
        auto at = std::partition_point(oracle.begin(), oracle.end(), [&](const MergedRow& r) {
            KeySegmentValue a[2] = {{const_cast<char16_t*>(r.reading.data()), static_cast<int32_t>(r.reading.size() * 2)},
                                    {const_cast<char16_t*>(r.word.data()), static_cast<int32_t>(r.word.size() * 2)}};
            KeySegmentValue b[2] = {{keyText.data(), static_cast<int32_t>(keyText.size() * 2)}, {nullptr, 0}};
            int32_t result = 0;
            engine->CompareKeys(keyOrder.handle(), a, b, &result);
            return result < 0;
        });
        if (at == oracle.end()) {
            whole = false;
            return static_cast<int32_t>(oracle.size()) - 1;
        }
        auto row = static_cast<int32_t>(at - oracle.begin());
        int32_t order = Compare(at->reading, key);
        whole = order == 0;
        if (order > 0 && row > 0) {
            int32_t before = Compare(oracle[static_cast<size_t>(row - 1)].reading, key);
            if (before == 0 || !(before < 0 && ~before < order - 1)) --row;
        }
        return row;
    }
    void ExpectFound(std::u16string_view key) {
        bool notWhole = false, whole = false;
        int32_t row = list->Find(key, nullptr, kListReadings, &notWhole, nullptr);
        ASSERT_EQ(row, ExpectedRow(key, whole)) << Utf16ToUtf8(std::u16string(key));
        ASSERT_EQ(notWhole, !whole) << Utf16ToUtf8(std::u16string(key));
        ASSERT_EQ(list->CurrentRow(), row);
        // The list stands on the row: the next step reads the row after it.
        if (row + 1 < list->RowCount()) {
            CCursor* next = list->GetEntry(row + 1);
            ASSERT_NE(next, nullptr);
            EXPECT_EQ(next->FieldText(0), oracle[static_cast<size_t>(row + 1)].reading);
        }
    }

    std::vector<MergedRow> oracle;
    std::unique_ptr<WordList> list;
    ICollator* collator = nullptr;
};

TEST_F(SearchAsYouTypeTest, PrefixesOfRealReadingsAndRandomStringsLandAsTheMergedOrderSays) {
    std::mt19937 random(17);
    for (int i = 0; i < 1500; ++i) {
        const std::u16string& reading = oracle[random() % oracle.size()].reading;
        ExpectFound(std::u16string_view(reading).substr(0, 1 + random() % reading.size()));
    }
    static const std::u16string letters = u"あいうかきくさしんーアイカンabzー漢字";
    for (int i = 0; i < 500; ++i) {
        std::u16string key;
        for (size_t n = 1 + random() % 4; n > 0; --n) key += letters[random() % letters.size()];
        ExpectFound(key);
    }
    // Keys beyond every entry: the last row, not whole.
    ExpectFound(u"\uFFEE\uFFEE");
}

// Readings that kakasi writes in Hepburn romaji, typed into the by-reading
// view with conversion on, land on the row of the kana.
TEST_F(SearchAsYouTypeTest, RomajiOfRealReadingsByKakasiReachTheRowsOfTheKana) {
    std::vector<std::u16string> readings;
    for (size_t i = 0; i < oracle.size() && readings.size() < 1500; i += 37)
        if (IsKanaReading(oracle[i].reading) && oracle[i].reading[0] >= 0x3041 && oracle[i].reading[0] <= 0x3093)
            readings.push_back(oracle[i].reading);
    std::string in = ::testing::TempDir() + "kakasi_in_" + std::to_string(::getpid()) + ".txt";
    std::string out = in + ".out";
    {
        std::ofstream file(in);
        for (const auto& r : readings) file << Utf16ToUtf8(r) << "\n";
    }
    std::string command = "kakasi -i utf8 -o utf8 -Ha -Ka < " + in + " > " + out;
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "kakasi is not installed";
    std::ifstream romajiFile(out);
    std::vector<std::string> romaji;
    for (std::string line; std::getline(romajiFile, line);) romaji.push_back(line);
    std::remove(in.c_str());
    std::remove(out.c_str());
    ASSERT_EQ(romaji.size(), readings.size());

    struct Box : IInputBox {
        std::u16string Text() const override { return text; }
        void Selection(int32_t& s, int32_t& e) const override { s = e = 0; }
        void HighlightInputRange(int32_t, int32_t) override {}
        std::u16string text;
    } box;
    CInput input;
    ListViewModel view(2, list.get(), nullptr);
    view.conversionMode = kConvertRomaji;
    view.conversionAvailable = true;
    size_t same = 0;
    for (size_t i = 0; i < readings.size(); ++i) {
        box.text = Utf8ToUtf16(romaji[i]);
        view.SearchAsYouType(input, box);
        if (input.searchText != readings[i]) continue;  // irregular spellings (long vowels, ぢ) differ
        ++same;
        bool whole = false;
        ASSERT_EQ(view.currentRow, ExpectedRow(readings[i], whole)) << romaji[i];
        EXPECT_TRUE(whole && !view.notWhole) << romaji[i];
    }
    EXPECT_GT(same, readings.size() * 8 / 10);
}

}  // namespace

namespace {

// The spellings a table names: きょう's 今日, ひれ's 鰭 (here not common).
class TwoNamedSpellings : public ISpellingPreference {
public:
    std::span<const std::u16string_view> NamedSpellings(std::u16string_view reading) const override {
        if (reading == u"きょう") return std::span(kyou_);
        if (reading == u"ひれ") return std::span(hire_);
        return {};
    }

private:
    std::u16string_view kyou_[1] = {u"今日"};
    std::u16string_view hire_[1] = {u"鰭"};
};

// A reading typed whole lands on its preferred spelling among the rows of
// exactly that reading: the one the table names, else the first common one;
// a row whose reading only collates equal (ぎ after き, ヒレ after ひれ) is
// not walked, nor a key of one kana, and a reading typed in part or with no
// common spelling lands where it did.
TEST_F(WordListTest, AReadingTypedWholeLandsOnItsPreferredSpelling) {
    const std::vector<std::pair<KeyPair, bool>> rows = {
        {{u"き", u"伯"}, false},        {{u"き", u"木"}, true},         {{u"ぎ", u"儀"}, true},
        {{u"きょう", u"京"}, true},     {{u"きょう", u"亮"}, false},    {{u"きょう", u"今日"}, true},
        {{u"たべる", u"喰べる"}, false}, {{u"たべる", u"啖べる"}, false}, {{u"たべる", u"食べる"}, true},
        {{u"ひれ", u"肩巾"}, false},     {{u"ひれ", u"鰭"}, false},      {{u"ヒレ", u""}, true},
        {{u"ひれい", u"比例"}, true},    {{u"よむ", u"詠む"}, false}};
    std::vector<KeyPair> keys;
    for (const auto& [key, common] : rows) {
        keys.push_back(key);
        commonKeys.push_back(common);
    }
    AddSynthetic(u"C:\\D\\edict.qdx", keys, kIndexReadingWord, 1);
    std::unique_ptr<WordList> list = ListOfShelf(kListReadings);
    TwoNamedSpellings named;
    const auto land = [&](std::u16string_view key) {
        bool notWhole = false;
        const int32_t row = list->Find(key, nullptr, kListReadings, &notWhole, nullptr);
        CCursor* cursor = list->GetEntry(row);
        return cursor != nullptr ? std::u16string(cursor->FieldText(0)) + u" " + std::u16string(cursor->FieldText(1))
                                 : std::u16string(u"(none)");
    };
    for (const ISpellingPreference* preference : {static_cast<const ISpellingPreference*>(nullptr),
                                                  static_cast<const ISpellingPreference*>(&named)}) {
        list->spellingPreference = preference;
        EXPECT_EQ(land(u"たべる"), u"たべる 食べる");
        EXPECT_EQ(land(u"きょう"), preference != nullptr ? u"きょう 今日" : u"きょう 京");
        EXPECT_EQ(land(u"き"), u"き 伯");
        EXPECT_EQ(land(u"ひれ"), preference != nullptr ? u"ひれ 鰭" : u"ひれ 肩巾");
        EXPECT_EQ(land(u"ヒレ"), u"ヒレ ");
        EXPECT_EQ(land(u"たべ"), u"たべる 啖べる");
        EXPECT_EQ(land(u"よむ"), u"よむ 詠む");
    }
}

// The walk looks at most SpellingWalk::kMaxRows rows of one reading: a
// common spelling past them is not reached.
TEST(SpellingWalkTest, LooksAtABoundedNumberOfRows) {
    SpellingWalk walk(nullptr, u"しょう");
    int32_t taken = 0;
    while (walk.Take(u"省", false)) ++taken;
    EXPECT_EQ(taken + 1, SpellingWalk::kMaxRows);
    EXPECT_EQ(walk.Chosen(), 0);
}

}  // namespace
