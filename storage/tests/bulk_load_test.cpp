// Bulk load: the batching classes against the Unicode decompositions, the
// batch choice, and bulk loads against direct inserts of the same keys (EDICT
// and ENAMDICT among them): same entries, same order, duplicates included.
#include "storage/bulk_load.h"
#include "storage/byte_order.h"
#include "storage/key_page.h"
#include "storage/tests/edict_keys.h"
#include "storage/tests/index_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <tuple>

namespace {

using Walked = std::vector<std::tuple<std::u16string, std::u16string, uint32_t>>;

// Every entry of the cursor's text-pair index, in index order.
Walked WalkTextPairs(CDMS& engine, uint32_t cursor) {
    Walked out;
    TextPairOut key;
    EntryPosition at;
    DmsStatus st = engine.First(cursor, key.values, &at);
    while (st == DmsStatus::Success) {
        out.emplace_back(key.First(), key.Second(), at.ref.first);
        key.Reset();
        st = engine.Next(cursor, key.values, &at);
    }
    EXPECT_EQ(st, DmsStatus::EndOfFile);
    return out;
}

int32_t cancelAfter = -1;  // progress calls allowed before a zero answer
int32_t CancellingProgress(int32_t) { return cancelAfter-- > 0 ? 1 : 0; }

void* FailingAllocation(size_t) { return nullptr; }

}  // namespace

TEST(BulkCharacterClass, FixedValues) {
    const std::pair<char16_t, uint16_t> cases[] = {
        {0, 0},          {u' ', 32},       {u'0', 48},       {u'9', 57},       {u'a', 65},
        {u'Z', 90},      {u'ß', 83},       {u'Ð', 68},       {u'ð', 68},       {u'×', 0xFFD7},
        {u'÷', 0xFFD7},  {u'Þ', 0xFFDE},   {u'þ', 0xFFDE},   {u'!', 127},      {u'Æ', 127},
        {u'é', 69},      {u'Ł', 76},       {u'ſ', 127},      {u'ǅ', 68},       {u'ȳ', 89},
        {u'а', 0x410},   {u'Я', 0x42F},    {u'я', 0x42F},    {u'ё', 0x415},    {u'Є', 0x415},
        {u'ѣ', 0x415},   {u'і', 0x418},    {u'ї', 0x419},    {u'Ј', 0x419},    {u'ў', 0x423},
        {u'Ѡ', 0x41E},   {0x400, 127},     {0x450, 127},     {0x45D, 127},     {0x464, 127},
        {0x47F, 127},    {0x480, 1024},    {0x4FF, 1024},    {u'か', u'か'},   {u'漢', u'漢'},
        {0x250, 0x250},  {0xFFFF, 0xFFFF},
    };
    for (const auto& [unit, expected] : cases)
        EXPECT_EQ(BulkCharacterClass(unit), expected) << "U+" << std::hex << static_cast<int>(unit);
}

// Every Latin letter up to U+024F whose canonical decomposition starts with a
// basic Latin letter gets that letter's capital.
TEST(BulkCharacterClass, LatinFoldMatchesUnicodeDecompositions) {
    std::ifstream in(OSTREL_HOST_ROOT "/usr/share/unicode/UnicodeData.txt");
    if (!in) GTEST_SKIP() << "unicode-data is not installed";
    std::string line;
    int checked = 0;
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::stringstream fields(line);
        for (std::string part; std::getline(fields, part, ';');) f.push_back(part);
        if (f.size() < 6) continue;
        unsigned long cp = std::stoul(f[0], nullptr, 16);
        if (cp < 0xC0 || cp > 0x24F || f[5].empty() || f[5][0] == '<') continue;
        unsigned long first = std::stoul(f[5].substr(0, f[5].find(' ')), nullptr, 16);
        if (!std::isalpha(static_cast<int>(first)) || first > 'z') continue;
        EXPECT_EQ(BulkCharacterClass(static_cast<char16_t>(cp)), std::toupper(static_cast<int>(first))) << f[1];
        ++checked;
    }
    EXPECT_GT(checked, 200);
}

TEST(SelectBulkBatch, BatchesBetweenTheMarksAndCoverEverything) {
    std::vector<BulkClasses> classes;
    std::mt19937 random(3);
    for (int i = 0; i < 60000; ++i) {
        // Leading letters skewed towards a few classes, like real headwords.
        uint16_t first = static_cast<uint16_t>(65 + (random() % 4 == 0 ? random() % 26 : random() % 3));
        classes.push_back({first, static_cast<uint16_t>(65 + random() % 26), static_cast<uint16_t>(random() % 100), 0});
    }
    std::sort(classes.begin(), classes.end());
    BulkLimits limits;
    size_t covered = 0;
    int batches = 0;
    while (!classes.empty()) {
        BulkClasses bound;
        size_t n = SelectBulkBatch(classes, limits, bound);
        std::vector<BulkClasses> rest;
        size_t taken = 0;
        for (const BulkClasses& c : classes) {
            if (c <= bound) {
                ++taken;
            } else {
                rest.push_back(c);
            }
        }
        ASSERT_EQ(n, taken);
        if (!rest.empty()) {
            EXPECT_GT(n, limits.lowMark);
            EXPECT_LT(n, limits.highMark);
        }
        covered += taken;
        classes.swap(rest);
        ++batches;
    }
    EXPECT_EQ(covered, 60000u);
    EXPECT_GE(batches, 3);
}

namespace {

// The batch order as the passes over the collection make it: per pass, the
// bound is chosen by counting the remaining entries' classes level by level,
// and the entries at or below it go in in collection order. Returns the
// entries' numbers in insertion order.
std::vector<uint32_t> BatchOrderByPasses(const std::vector<BulkClasses>& classes, const BulkLimits& limits) {
    std::vector<uint32_t> remaining(classes.size()), order;
    for (uint32_t i = 0; i < remaining.size(); ++i) remaining[i] = i;
    while (!remaining.empty()) {
        BulkClasses bound{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
        size_t below = 0;
        for (size_t level = 0; level < 4; ++level) {
            std::map<uint16_t, size_t> counts;
            for (uint32_t i : remaining)
                if (std::equal(bound.begin(), bound.begin() + static_cast<std::ptrdiff_t>(level), classes[i].begin()))
                    ++counts[classes[i][level]];
            size_t sum = below;
            bool refine = false;
            for (const auto& [k, n] : counts) {
                if (sum + n > limits.lowMark) {
                    bound[level] = k;
                    refine = sum + n >= limits.highMark;
                    break;
                }
                sum += n;
            }
            if (!refine) break;
            below = sum;
        }
        std::vector<uint32_t> rest;
        for (uint32_t i : remaining) (classes[i] <= bound ? order : rest).push_back(i);
        remaining.swap(rest);
    }
    return order;
}

// Records the entries a flush inserts (each entry's first word is its number)
// and cancels at the first progress report after `cancelAfter` of them, when
// that is not negative; `cancelledAt` is how many had gone in then.
class RecordingSink final : public BulkLoad::Sink {
public:
    std::vector<uint32_t> inserted;
    int64_t cancelAfter = -1;
    size_t cancelledAt = 0;
    DmsStatus Insert(std::span<const uint8_t> entry) override {
        inserted.push_back(storage::LoadU32(entry.data() + 2));
        return DmsStatus::Success;
    }
    bool Progress(int32_t) override {
        if (cancelAfter < 0 || static_cast<int64_t>(inserted.size()) < cancelAfter) return true;
        cancelledAt = inserted.size();
        return false;
    }
};

}  // namespace

// Batches over skewed classes go in in the order the passes give, and a
// flush cancelled in the middle of a batch, then flushed again, inserts every
// entry once, in the same order.
TEST(BulkLoadFlush, BatchOrderAndCancelledFlushResumed) {
    BulkLimits limits;
    limits.lowMark = 150;
    limits.highMark = 200;
    std::mt19937 random(5);
    std::vector<BulkClasses> classes;
    for (int i = 0; i < 3000; ++i)
        classes.push_back({static_cast<uint16_t>(65 + (random() % 3 == 0 ? random() % 26 : random() % 2)),
                           static_cast<uint16_t>(65 + random() % 4), static_cast<uint16_t>(random() % 30), 0});
    const std::vector<uint32_t> expected = BatchOrderByPasses(classes, limits);
    for (int64_t cancelAt : {int64_t{-1}, int64_t{1}, int64_t{170}, int64_t{1234}, int64_t{2999}}) {
        BulkLoad bulk;
        ASSERT_EQ(bulk.Begin(101, limits), DmsStatus::Success);
        RecordingSink sink;
        for (uint32_t i = 0; i < classes.size(); ++i)
            ASSERT_EQ(bulk.Collect(MakeEntry(i, 0, {}), classes[i], 16, sink), DmsStatus::Success);
        sink.cancelAfter = cancelAt;
        DmsStatus first = bulk.Flush(sink);
        EXPECT_EQ(first, cancelAt < 0 ? DmsStatus::Success : DmsStatus::Cancelled);
        const auto done = static_cast<std::ptrdiff_t>(sink.cancelledAt);
        EXPECT_EQ(bulk.Collected(), cancelAt < 0 ? 0u : classes.size() - sink.cancelledAt);
        sink.cancelAfter = -1;
        EXPECT_EQ(bulk.Flush(sink), DmsStatus::Success);
        if (cancelAt < 0) {
            EXPECT_EQ(sink.inserted, expected);
        } else {
            // The rest is a new collection in collection order: its batches
            // are chosen again among what is left.
            std::vector<uint32_t> restNumbers(expected.begin() + done, expected.end());
            std::sort(restNumbers.begin(), restNumbers.end());
            std::vector<BulkClasses> restClasses;
            for (uint32_t i : restNumbers) restClasses.push_back(classes[i]);
            std::vector<uint32_t> resumed(expected.begin(), expected.begin() + done);
            for (uint32_t k : BatchOrderByPasses(restClasses, limits)) resumed.push_back(restNumbers[k]);
            EXPECT_EQ(sink.inserted, resumed) << "cancelled after " << cancelAt;
        }
    }
}

class BulkLoadTest : public IndexTest {
protected:
    // Loads `keys` with refs 1, 2, ... directly or in bulk into a fresh file.
    Walked Load(const std::vector<ReadingAndWord>& keys, bool bulk) {
        Restart();
        disk.Delete(kPath);
        OpenIndexFile(kTextIndex);
        if (bulk) {
            EXPECT_EQ(engine->BeginBulkLoad(cursor), DmsStatus::Success);
        }
        for (size_t i = 0; i < keys.size(); ++i) {
            TextPairKey key(keys[i].first, keys[i].second);
            EXPECT_EQ(engine->InsertKey(cursor, key.values, {static_cast<uint32_t>(i + 1), 0}), DmsStatus::Success);
        }
        if (bulk) {
            EXPECT_EQ(engine->EndBulkLoad(cursor), DmsStatus::Success);
        }
        Verify(kTextIndex);
        return WalkTextPairs(*engine, cursor);
    }
};

// Keys over many leading letters, with duplicates: several passes, the same
// index as direct inserts, equal keys in collection order.
TEST_F(BulkLoadTest, SpreadKeysGiveTheDirectIndex) {
    std::vector<ReadingAndWord> keys;
    std::mt19937 random(11);
    const char16_t* starts = u"abcdefghijklmnopqrstuvwxyzàéöАБВЖЯёかきくアイ漢字";
    std::u16string lead(starts);
    for (int i = 0; i < 30000; ++i) {
        std::u16string a;
        for (int k = 0; k < 1 + static_cast<int>(random() % 6); ++k) a += lead[random() % lead.size()];
        keys.emplace_back(a, i % 7 == 0 ? u"" : std::u16string(1, static_cast<char16_t>(u'a' + random() % 3)));
    }
    std::vector<BulkClasses> classes;
    for (const auto& k : keys)
        classes.push_back(BulkClassesOf({reinterpret_cast<const uint8_t*>(k.first.data()), k.first.size() * 2}));
    std::sort(classes.begin(), classes.end());
    BulkClasses bound;
    EXPECT_LT(SelectBulkBatch(classes, BulkLimits{}, bound), keys.size());  // at least two passes
    Walked direct = Load(keys, false);
    Walked bulk = Load(keys, true);
    ASSERT_EQ(direct.size(), keys.size());
    EXPECT_TRUE(direct == bulk);
}

// Flushes forced by the entry count and by the area's bytes: the entry that
// arrives at a full area is collected after the flush, never lost, and an
// entry longer than the room left never runs past the area's end.
TEST_F(BulkLoadTest, EntriesArrivingAtAFullAreaAreKept) {
    BulkLimits limits;
    limits.maxEntries = 97;
    engine->SetBulkLimits(limits);
    std::vector<ReadingAndWord> keys;
    for (int i = 0; i < 1000; ++i) keys.emplace_back(std::u16string(1 + i % 5, static_cast<char16_t>(u'z' - i % 26)), u"");
    EXPECT_TRUE(Load(keys, false) == Load(keys, true));

    // Binary keys of 2020 bytes (entries of 2032, near the largest); the area
    // leaves more than PageSize / 4 but less than one entry after the first.
    limits = BulkLimits{};
    limits.areaBytes = 2032 + 1100;
    engine->SetBulkLimits(limits);
    Restart();
    disk.Delete(kPath);
    OpenIndexFile(kBinaryIndex);
    ASSERT_EQ(engine->BeginBulkLoad(cursor), DmsStatus::Success);
    std::vector<uint8_t> value(2020);
    for (uint8_t i = 0; i < 20; ++i) {
        std::fill(value.begin(), value.end(), static_cast<uint8_t>(200 - i));
        KeySegmentValue v{value.data(), static_cast<int32_t>(value.size())};
        ASSERT_EQ(engine->InsertKey(cursor, &v, {i, 0}), DmsStatus::Success);
    }
    ASSERT_EQ(engine->EndBulkLoad(cursor), DmsStatus::Success);
    uint32_t count = 0;
    ASSERT_EQ(engine->GetCount(cursor, &count), DmsStatus::Success);
    EXPECT_EQ(count, 20u);
    Verify(kBinaryIndex);
}

TEST_F(BulkLoadTest, LongOnlyIndexTakesKeysDirectly) {
    OpenIndexFile(kLongIndex);
    ASSERT_EQ(engine->BeginBulkLoad(cursor), DmsStatus::Success);
    ASSERT_EQ(InsertLong(5, 1), DmsStatus::Success);
    uint32_t count = 0;
    ASSERT_EQ(engine->GetCount(cursor, &count), DmsStatus::Success);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(engine->EndBulkLoad(cursor), DmsStatus::Success);
}

TEST_F(BulkLoadTest, CancelLeavesTheIndexUnchanged) {
    OpenIndexFile(kTextIndex);
    TextPairKey before(u"a", u"b");
    ASSERT_EQ(engine->InsertKey(cursor, before.values, {1, 0}), DmsStatus::Success);
    ASSERT_EQ(engine->BeginBulkLoad(cursor), DmsStatus::Success);
    for (uint32_t i = 0; i < 500; ++i) {
        TextPairKey key(u"k" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)), u"");
        ASSERT_EQ(engine->InsertKey(cursor, key.values, {i + 2, 0}), DmsStatus::Success);
    }
    ASSERT_EQ(engine->CancelBulkLoad(cursor), DmsStatus::Success);
    ASSERT_EQ(engine->EndBulkLoad(cursor), DmsStatus::Success);
    EXPECT_EQ(WalkTextPairs(*engine, cursor).size(), 1u);
}

// Closing a file in the middle of a bulk load inserts what was collected.
TEST_F(BulkLoadTest, CloseInsertsCollectedEntries) {
    OpenIndexFile(kTextIndex);
    ASSERT_EQ(engine->BeginBulkLoad(cursor), DmsStatus::Success);
    for (uint32_t i = 0; i < 50; ++i) {
        TextPairKey key(std::u16string(1, static_cast<char16_t>(u'a' + i % 26)), u"");
        ASSERT_EQ(engine->InsertKey(cursor, key.values, {i, 0}), DmsStatus::Success);
    }
    ASSERT_EQ(engine->CloseFile(fileId), DmsStatus::Success);
    ASSERT_EQ(engine->OpenFile(kPath, 2, schema, &fileId), DmsStatus::Success);
    cursor = Cursor(fileId);
    ASSERT_EQ(engine->SelectIndex(cursor, kTextIndex), DmsStatus::Success);
    EXPECT_EQ(WalkTextPairs(*engine, cursor).size(), 50u);
    Verify(kTextIndex);
}

TEST_F(BulkLoadTest, RefusalsAndFailures) {
    // A journaled file writes through its journal only: no bulk flushes.
    OpenIndexFile(kTextIndex, 0);
    EXPECT_EQ(engine->BeginBulkLoad(cursor), DmsStatus::OperationNotAllowed);
    EXPECT_EQ(engine->Compact(cursor), DmsStatus::OperationNotAllowed);
    ASSERT_EQ(engine->CloseFile(fileId), DmsStatus::Success);

    int32_t id = 0;
    ASSERT_EQ(engine->OpenFile(kPath, 2, schema, &id), DmsStatus::Success);
    uint32_t c = Cursor(id);
    ASSERT_EQ(engine->SelectIndex(c, kTextIndex), DmsStatus::Success);
    EXPECT_EQ(engine->BeginBulkLoad(c), DmsStatus::OperationNotAllowed);
    EXPECT_EQ(engine->Compact(c), DmsStatus::OperationNotAllowed);
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);

    ASSERT_EQ(engine->OpenFile(kPath, 1, schema, &id), DmsStatus::Success);
    c = Cursor(id);
    ASSERT_EQ(engine->SelectIndex(c, kTextIndex), DmsStatus::Success);
    BulkLimits limits;
    limits.allocate = &FailingAllocation;
    engine->SetBulkLimits(limits);
    EXPECT_EQ(engine->BeginBulkLoad(c), DmsStatus::NotEnoughMemory);
    TextPairKey key(u"x", u"y");
    ASSERT_EQ(engine->InsertKey(c, key.values, {1, 0}), DmsStatus::Success);  // not collected
    uint32_t count = 0;
    ASSERT_EQ(engine->GetCount(c, &count), DmsStatus::Success);
    EXPECT_EQ(count, 1u);

    // A zero answer of the progress callback stops the flush with 43.
    engine->SetBulkLimits(BulkLimits{});
    ASSERT_EQ(engine->BeginBulkLoad(c), DmsStatus::Success);
    for (uint32_t i = 0; i < 100; ++i) ASSERT_EQ(engine->InsertKey(c, key.values, {i + 2, 0}), DmsStatus::Success);
    ASSERT_EQ(engine->SetProgressCallback(c, &CancellingProgress), DmsStatus::Success);
    cancelAfter = 3;
    EXPECT_EQ(engine->EndBulkLoad(c), DmsStatus::Cancelled);
    ASSERT_EQ(engine->GetCount(c, &count), DmsStatus::Success);
    EXPECT_EQ(count, 1u + 4u);
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
}

// Real headwords: EDICT and ENAMDICT reading/headword pairs (subsets under
// Wine) give the same index by bulk load as by direct inserts. The batches
// are made by code-unit classes, and the collator orders no two different
// texts of these keys as equal, so even the order of duplicates agrees.
class BulkLoadRealKeys : public BulkLoadTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(BulkLoadRealKeys, SameIndexAsDirectInserts) {
    // A sample spread over the whole file; the benchmark tool runs the
    // same differential over every key.
#if defined(_WIN32)
    const size_t sample = 6000;
#else
    const size_t sample = 15000;
#endif
    std::string path = std::string(OSTREL_HOST_ROOT "/usr/share/edict/") + GetParam();
    std::vector<ReadingAndWord> all = LoadEdictKeys(SIZE_MAX, path.c_str());
    if (all.empty()) GTEST_SKIP() << path << " is not installed";
    std::vector<ReadingAndWord> keys;
    for (size_t i = 0; i < all.size(); i += std::max<size_t>(1, all.size() / sample)) keys.push_back(all[i]);
    BulkLimits limits;
    limits.maxEntries = static_cast<uint32_t>(keys.size() / 3);  // several flushes
    engine->SetBulkLimits(limits);
    Walked direct = Load(keys, false);
    Walked bulk = Load(keys, true);
    ASSERT_EQ(bulk.size(), keys.size());
    size_t firstDifference = 0;
    while (firstDifference < direct.size() && direct[firstDifference] == bulk[firstDifference]) ++firstDifference;
    EXPECT_EQ(firstDifference, direct.size()) << "first difference at entry " << firstDifference;
}

INSTANTIATE_TEST_SUITE_P(Dictionaries, BulkLoadRealKeys, ::testing::Values("edict", "enamdict"));
