// The B-tree's documented edge cases: empty indexes, seeks among equal keys,
// steps at the ends, counted moves, the largest entry, deleting everything,
// statistics, and the tree's shape after ascending inserts.
#include "storage/tests/index_test_support.h"

#include <gtest/gtest.h>

namespace {

using IndexTree_ = IndexTest;

struct Found {
    DmsStatus status;
    int32_t value = 0;
    EntryPosition position;
};

class LongIndex : public IndexTest {
protected:
    void SetUp() override {
        IndexTest::SetUp();
        OpenIndexFile(kLongIndex);
    }
    template <typename Op>
    Found Run(Op op) {
        LongOut out;
        Found f{};
        f.status = op(out.values, &f.position);
        f.value = out.v;
        return f;
    }
    Found Seek(int32_t v) {
        return Run([&](KeySegmentValue* o, EntryPosition* p) { return engine->Seek(cursor, LongKey(v).values, o, p); });
    }
    Found SeekGreater(int32_t v) {
        return Run([&](KeySegmentValue* o, EntryPosition* p) {
            return engine->SeekGreater(cursor, LongKey(v).values, o, p);
        });
    }
    Found SeekGreaterOrEqual(int32_t v) {
        return Run([&](KeySegmentValue* o, EntryPosition* p) {
            return engine->SeekGreaterOrEqual(cursor, LongKey(v).values, o, p);
        });
    }
    Found SeekLessOrEqual(int32_t v) {
        return Run([&](KeySegmentValue* o, EntryPosition* p) {
            return engine->SeekLessOrEqual(cursor, LongKey(v).values, o, p);
        });
    }
    Found Next() { return Run([&](KeySegmentValue* o, EntryPosition* p) { return engine->Next(cursor, o, p); }); }
    Found Prev() { return Run([&](KeySegmentValue* o, EntryPosition* p) { return engine->Prev(cursor, o, p); }); }
    Found First() { return Run([&](KeySegmentValue* o, EntryPosition* p) { return engine->First(cursor, o, p); }); }
    Found Last() { return Run([&](KeySegmentValue* o, EntryPosition* p) { return engine->Last(cursor, o, p); }); }
    Found Move(uint32_t n) {
        return Run([&](KeySegmentValue* o, EntryPosition* p) { return engine->MoveToOrdinal(cursor, n, o, p); });
    }
    // Keys 1, 2, 2, 3 with references 10, 20, 21, 30.
    void InsertOneTwoTwoThree() {
        ASSERT_EQ(InsertLong(1, 10), DmsStatus::Success);
        ASSERT_EQ(InsertLong(2, 20), DmsStatus::Success);
        ASSERT_EQ(InsertLong(2, 21), DmsStatus::Success);
        ASSERT_EQ(InsertLong(3, 30), DmsStatus::Success);
    }
};

TEST_F(LongIndex, EmptyIndexFindsNothing) {
    EXPECT_EQ(Seek(1).status, DmsStatus::RecordNotFound);
    EXPECT_EQ(SeekLessOrEqual(1).status, DmsStatus::RecordNotFound);
    EXPECT_EQ(First().status, DmsStatus::RecordNotFound);
    EXPECT_EQ(Last().status, DmsStatus::RecordNotFound);
    EXPECT_EQ(Move(0).status, DmsStatus::RecordNotFound);
    uint32_t count = 7;
    EXPECT_EQ(engine->GetCount(cursor, &count), DmsStatus::Success);
    EXPECT_EQ(count, 0u);
    IndexStats stats;
    EXPECT_EQ(engine->GetIndexStats(cursor, &stats), DmsStatus::RecordNotFound);
}

TEST_F(LongIndex, SeeksAmongEqualKeys) {
    InsertOneTwoTwoThree();
    Found f = Seek(2);
    EXPECT_EQ(f.status, DmsStatus::Success);
    EXPECT_EQ(f.value, 2);
    EXPECT_EQ(f.position.ordinal, 1u);
    EXPECT_EQ(f.position.ref, (RecordRef{20, ~20u}));

    f = SeekGreater(2);
    EXPECT_EQ(f.value, 3);
    EXPECT_EQ(f.position.ordinal, 3u);

    f = SeekLessOrEqual(2);
    EXPECT_EQ(f.value, 2);
    EXPECT_EQ(f.position.ordinal, 2u);
    EXPECT_EQ(f.position.ref.first, 21u);

    EXPECT_EQ(SeekGreaterOrEqual(4).status, DmsStatus::RecordNotFound);
    EXPECT_EQ(SeekLessOrEqual(0).status, DmsStatus::RecordNotFound);
    EXPECT_EQ(Seek(0).status, DmsStatus::RecordNotFound);
    EXPECT_EQ(Seek(4).status, DmsStatus::RecordNotFound);
}

TEST_F(LongIndex, EqualKeyGoesAfterItsEquals) {
    InsertOneTwoTwoThree();
    ASSERT_EQ(InsertLong(2, 22), DmsStatus::Success);
    uint32_t count = 0;
    EXPECT_EQ(engine->GetCount(cursor, &count), DmsStatus::Success);
    EXPECT_EQ(count, 5u);
    Found last = Last();
    EXPECT_EQ(last.position.ordinal, 4u);
    Found f = Move(3);
    EXPECT_EQ(f.value, 2);
    EXPECT_EQ(f.position.ref.first, 22u);
}

TEST_F(LongIndex, StepsStopAtTheEnds) {
    InsertOneTwoTwoThree();
    EXPECT_EQ(Next().status, DmsStatus::NoCurrentPosition);
    ASSERT_EQ(Last().status, DmsStatus::Success);
    EXPECT_EQ(Next().status, DmsStatus::EndOfFile);
    EXPECT_EQ(Prev().status, DmsStatus::NoCurrentPosition);  // the failure took the position
    ASSERT_EQ(First().status, DmsStatus::Success);
    EXPECT_EQ(Prev().status, DmsStatus::EndOfFile);
    ASSERT_EQ(First().status, DmsStatus::Success);
    std::vector<int32_t> seen{1};
    std::vector<uint32_t> ordinals{0};
    for (Found f = Next(); f.status == DmsStatus::Success; f = Next()) {
        seen.push_back(f.value);
        ordinals.push_back(f.position.ordinal);
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{1, 2, 2, 3}));
    EXPECT_EQ(ordinals, (std::vector<uint32_t>{0, 1, 2, 3}));
}

TEST_F(LongIndex, MovesByOrdinal) {
    InsertOneTwoTwoThree();
    for (uint32_t n : {2u, 0u, 3u, 1u, 2u, 3u}) {
        Found f = Move(n);
        ASSERT_EQ(f.status, DmsStatus::Success) << n;
        EXPECT_EQ(f.position.ordinal, n);
        const int32_t expected[] = {1, 2, 2, 3};
        EXPECT_EQ(f.value, expected[n]);
        uint32_t ordinal = 99;
        EXPECT_EQ(engine->GetOrdinal(cursor, &ordinal), DmsStatus::Success);
        EXPECT_EQ(ordinal, n);
    }
    EXPECT_EQ(Move(4).status, DmsStatus::RecordNotFound);
}

TEST_F(LongIndex, ReferenceUpdateKeepsTheKey) {
    InsertOneTwoTwoThree();
    ASSERT_EQ(Seek(3).status, DmsStatus::Success);
    ASSERT_EQ(engine->UpdateCurrentKeyReference(cursor, {77, 78}), DmsStatus::Success);
    Found f = Seek(3);
    EXPECT_EQ(f.position.ref, (RecordRef{77, 78}));
    engine->CloseCursor(cursor);
    cursor = Cursor(fileId);
    EXPECT_EQ(engine->UpdateCurrentKeyReference(cursor, {1, 2}), DmsStatus::WrongKeyId);  // no index yet
    ASSERT_EQ(engine->SelectIndex(cursor, kLongIndex), DmsStatus::Success);
    EXPECT_EQ(engine->UpdateCurrentKeyReference(cursor, {1, 2}), DmsStatus::NoCurrentPosition);
    EXPECT_EQ(engine->DeleteCurrent(cursor), DmsStatus::NoCurrentPosition);
}

TEST_F(LongIndex, UnknownIndexAndHandle) {
    EXPECT_EQ(engine->SelectIndex(cursor, 999), DmsStatus::WrongKeyId);
    EXPECT_EQ(engine->SelectIndex(0, kLongIndex), DmsStatus::WrongHandle);
    EXPECT_EQ(engine->Next(12345, nullptr, nullptr), DmsStatus::WrongHandle);
}

TEST_F(LongIndex, DeletingEverythingEmptiesTheIndex) {
    for (int32_t i = 0; i < 3000; ++i) ASSERT_EQ(InsertLong(i % 700, static_cast<uint32_t>(i)), DmsStatus::Success);
    Verify(kLongIndex);
    for (int32_t left = 3000; left > 0; --left) {
        Found f = Move(static_cast<uint32_t>((left * 7919) % left));
        ASSERT_EQ(f.status, DmsStatus::Success);
        ASSERT_EQ(engine->DeleteCurrent(cursor), DmsStatus::Success);
        if (left % 500 == 0) Verify(kLongIndex);
    }
    EXPECT_EQ(storage::LoadU32(File().Descriptor(0) + 12), 0xFFFFFFFFu);
    EXPECT_EQ(storage::LoadU32(File().Descriptor(0) + 8), 0u);
    EXPECT_EQ(First().status, DmsStatus::RecordNotFound);
    ASSERT_EQ(InsertLong(5, 1), DmsStatus::Success);
    EXPECT_EQ(First().value, 5);
    Verify(kLongIndex);
}

TEST_F(LongIndex, AscendingInsertsLeaveWellFilledPagesAndExactCounts) {
    const int32_t n = 20000;
    for (int32_t i = 0; i < n; ++i) ASSERT_EQ(InsertLong(i, static_cast<uint32_t>(i)), DmsStatus::Success);
    Verify(kLongIndex);
    IndexStats stats;
    ASSERT_EQ(engine->GetIndexStats(cursor, &stats), DmsStatus::Success);
    EXPECT_EQ(stats.entries, static_cast<uint32_t>(n));
    ASSERT_GE(stats.levels, 2u);
    const IndexStats::Level& leaves = stats.level[stats.levels - 1];
    EXPECT_EQ(leaves.entries, static_cast<uint32_t>(n));
    // Leaf entries are 14 bytes: a page holds 290, so half full means at most
    // n / 145 pages.
    EXPECT_LE(leaves.pages, static_cast<uint32_t>(n / 145 + 1));
    EXPECT_EQ(leaves.pageBytes, leaves.pages * 4096);
    EXPECT_EQ(leaves.entryBytes, static_cast<uint32_t>(n) * 14u);
    EXPECT_EQ(stats.level[0].pages, 1u);
    uint32_t pages = 0;
    for (uint32_t l = 0; l < stats.levels; ++l) pages += stats.level[l].pages;
    EXPECT_EQ(stats.pageBytes, pages * 4096);
    EXPECT_EQ(Last().position.ordinal, static_cast<uint32_t>(n - 1));
    for (uint32_t k : {0u, 1u, 289u, 290u, 9999u, 19999u}) {
        Found f = Move(k);
        EXPECT_EQ(f.value, static_cast<int32_t>(k));
        f = Seek(static_cast<int32_t>(k));
        EXPECT_EQ(f.position.ordinal, k);
    }
}

// An entry of exactly (PageSize - 16) / 2 bytes fits; two bytes more do not.
TEST_F(IndexTree_, LargestEntryFitsAndOneLongerIsRefused) {
    OpenIndexFile(kOneTextIndex);
    const uint32_t largest = (4096 - 16) / 2 - 12;  // 10-byte head, 2-byte length
    ASSERT_EQ(largest, 2028u);
    for (uint32_t bytes : {largest, largest + 2}) {
        std::u16string text(bytes / 2, u'x');
        KeySegmentValue v{text.data(), static_cast<int32_t>(bytes)};
        EXPECT_EQ(engine->InsertKey(cursor, &v, {1, 1}),
                  bytes == largest ? DmsStatus::Success : DmsStatus::InvalidKeyValues);
    }
    // Pages full of the largest entries still split and stay sound.
    for (int i = 0; i < 40; ++i) {
        std::u16string text(largest / 2, static_cast<char16_t>(u'a' + i % 26));
        KeySegmentValue v{text.data(), static_cast<int32_t>(largest)};
        ASSERT_EQ(engine->InsertKey(cursor, &v, {2, static_cast<uint32_t>(i)}), DmsStatus::Success);
    }
    Verify(kOneTextIndex);
}

TEST_F(IndexTree_, FixedSegmentsRoundTripAtTheirWidth) {
    OpenIndexFile(kWordByteIndex);
    for (int i = 0; i < 300; ++i) {
        uint16_t w = static_cast<uint16_t>(65535 - i * 200);
        uint8_t b = static_cast<uint8_t>(i);
        KeySegmentValue key[2] = {{&w, 99}, {&b, 0}};
        ASSERT_EQ(engine->InsertKey(cursor, key, {static_cast<uint32_t>(i), 0}), DmsStatus::Success);
    }
    uint16_t w = 0;
    uint8_t b = 0;
    KeySegmentValue out[2] = {{&w, 0}, {&b, 0}};
    ASSERT_EQ(engine->First(cursor, out, nullptr), DmsStatus::Success);
    EXPECT_EQ(out[0].length, 2);
    EXPECT_EQ(out[1].length, 1);
    uint16_t previous = w;
    int steps = 1;
    while (engine->Next(cursor, out, nullptr) == DmsStatus::Success) {
        EXPECT_GE(w, previous);  // unsigned order
        previous = w;
        ++steps;
    }
    EXPECT_EQ(steps, 300);
    Verify(kWordByteIndex);
}

TEST_F(IndexTree_, TextOutputIsCutToTheBuffer) {
    OpenIndexFile(kTextIndex);
    TextPairKey key(u"かな", u"仮名文字");
    ASSERT_EQ(engine->InsertKey(cursor, key.values, {1, 2}), DmsStatus::Success);
    char16_t a[8], b[1];
    KeySegmentValue out[2] = {{a, sizeof a}, {b, sizeof b}};
    ASSERT_EQ(engine->First(cursor, out, nullptr), DmsStatus::Success);
    EXPECT_EQ(out[0].length, 4);
    EXPECT_EQ(std::u16string(a, 2), u"かな");
    EXPECT_EQ(out[1].length, 2);
    EXPECT_EQ(b[0], u'仮');
    KeySegmentValue sizes[2] = {{nullptr, 0}, {nullptr, 0}};
    ASSERT_EQ(engine->First(cursor, sizes, nullptr), DmsStatus::Success);
    EXPECT_EQ(sizes[1].length, 8);  // no buffer: the stored size
}

TEST_F(IndexTree_, CompareKeysFollowsTheSegmentRules) {
    OpenIndexFile(kLongIndex);
    auto compare = [&](int32_t a, int32_t b) {
        int32_t r = 0;
        EXPECT_EQ(engine->CompareKeys(cursor, LongKey(a).values, LongKey(b).values, &r), DmsStatus::Success);
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
    };
    EXPECT_EQ(compare(1, 2), -1);
    EXPECT_EQ(compare(-5, -5), 0);
    EXPECT_EQ(compare(-1, 1), -1);
    // The signed difference: values 2^31 or more apart compare the other way.
    EXPECT_EQ(compare(INT32_MIN, 1), 1);
    ASSERT_EQ(engine->SelectIndex(cursor, kBinaryIndex), DmsStatus::Success);
    auto bin = [&](std::string a, std::string b) {
        KeySegmentValue ka{a.data(), static_cast<int32_t>(a.size())}, kb{b.data(), static_cast<int32_t>(b.size())};
        int32_t r = 0;
        EXPECT_EQ(engine->CompareKeys(cursor, &ka, &kb, &r), DmsStatus::Success);
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
    };
    EXPECT_EQ(bin("ab", "abc"), -1);
    EXPECT_EQ(bin("\xff", "a"), 1);  // unsigned bytes
    EXPECT_EQ(bin(std::string("a\0x", 3), std::string("a\0y", 3)), 0);  // a zero byte ends the bytes
    EXPECT_EQ(bin(std::string("a\0xy", 4), std::string("a\0y", 3)), 1);  // then the length
}

TEST_F(IndexTree_, ReadOnlyFileRefusesInsertAndStaysUnchanged) {
    schema = IndexSchema();
    ASSERT_EQ(engine->CreateFile(kPath, schema), DmsStatus::Success);
    std::vector<uint8_t> before = Bytes();
    ASSERT_EQ(engine->OpenFile(kPath, 2, schema, &fileId), DmsStatus::Success);
    cursor = Cursor(fileId);
    ASSERT_EQ(engine->SelectIndex(cursor, kLongIndex), DmsStatus::Success);
    EXPECT_EQ(InsertLong(1, 1), DmsStatus::OperationNotAllowed);
    EXPECT_EQ(engine->CloseFile(fileId), DmsStatus::Success);
    EXPECT_EQ(Bytes(), before);
}

TEST(PartitionEntries, ByteBalancedBoundary) {
    std::vector<EntryBytes> bytes;
    auto sized = [&](std::initializer_list<size_t> sizes) {
        bytes.clear();
        for (size_t s : sizes) bytes.emplace_back(s, 0);
        return std::vector<EntryView>(bytes.begin(), bytes.end());
    };
    // T = 60, H = 30: the sum passes 30 at the third entry (b = 20, a = 40);
    // after it gives 40/20, before it 20/40: equally balanced, so after.
    EXPECT_EQ(PartitionEntries(sized({10, 10, 20, 20}), 48), (std::vector<size_t>{3, 4}));
    // T = 70, H = 35: b = 30, a = 50; after 50/20, before 30/40: before.
    EXPECT_EQ(PartitionEntries(sized({10, 20, 20, 20}), 48), (std::vector<size_t>{2, 4}));
    EXPECT_EQ(PartitionEntries(sized({10, 20}), 48), (std::vector<size_t>{2}));
}

}  // namespace
