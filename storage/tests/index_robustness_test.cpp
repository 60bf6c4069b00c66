// Index pages from a damaged or hostile file give statuses, never a crash, a
// hang or a read outside a page; a cursor left behind by another cursor's
// changes gives 9; a change that fails half-way leaves the index as it was;
// a tree never grows past 20 levels.
#include "storage/tests/index_test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace {

using storage::LoadU16;
using storage::LoadU32;
using storage::StoreU16;
using storage::StoreU32;

bool Documented(DmsStatus st) {
    static const std::set<int32_t> allowed = {0, 4, 5, 6, 9, 10, 37, 100, 102, 104, 107};
    return allowed.count(StatusCode(st)) != 0;
}

class IndexRobustness : public IndexTest {
protected:
    // A file holding a Long index of 3000 keys and a text index of 1500 keys.
    std::vector<uint8_t> BuildFile() {
        OpenIndexFile(kLongIndex);
        for (int32_t i = 0; i < 3000; ++i) EXPECT_EQ(InsertLong(i * 3 % 2000, static_cast<uint32_t>(i)), DmsStatus::Success);
        EXPECT_EQ(engine->SelectIndex(cursor, kTextIndex), DmsStatus::Success);
        for (int i = 0; i < 1500; ++i) {
            TextPairKey key(u"かな" + std::u16string(static_cast<size_t>(i % 7), u'ア'),
                            std::u16string(1, static_cast<char16_t>(0x4E00 + i)));
            EXPECT_EQ(engine->InsertKey(cursor, key.values, {static_cast<uint32_t>(i), 0}), DmsStatus::Success);
        }
        EXPECT_EQ(engine->CloseFile(fileId), DmsStatus::Success);
        return Bytes();
    }

    // Puts `bytes` on the disk as the file, opens it read-only in a fresh
    // engine and gives a cursor on the Long index.
    uint32_t OpenReadOnly(const std::vector<uint8_t>& bytes, int32_t& id) {
        disk.SetContents(kPath, bytes);
        Restart();
        EXPECT_EQ(engine->OpenFile(kPath, 2, schema, &id), DmsStatus::Success);
        uint32_t h = Cursor(id);
        EXPECT_EQ(engine->SelectIndex(h, kLongIndex), DmsStatus::Success);
        return h;
    }

    // Runs every reading and changing operation on both indexes, bounded,
    // and counts statuses outside the documented set.
    int Exercise(std::mt19937& random) {
        int undocumented = 0;
        auto check = [&](DmsStatus st) {
            if (!Documented(st)) ++undocumented;
        };
        int32_t id = 0;
        DmsStatus st = engine->OpenFile(kPath, 1, schema, &id);
        if (Failed(st)) return 0;  // the header is not this layer's
        uint32_t c = Cursor(id);
        for (int32_t keyId : {kLongIndex, kTextIndex}) {
            check(engine->SelectIndex(c, keyId));
            EntryPosition pos;
            int steps = 0;
            for (st = engine->First(c, nullptr, &pos); st == DmsStatus::Success && steps < 5000; ++steps)
                st = engine->Next(c, nullptr, &pos);
            check(st);
            steps = 0;
            for (st = engine->Last(c, nullptr, &pos); st == DmsStatus::Success && steps < 5000; ++steps)
                st = engine->Prev(c, nullptr, &pos);
            check(st);
            IndexStats stats;
            check(engine->GetIndexStats(c, &stats));
            check(VerifyIndex(*engine->FindFile(id), keyId));
            for (int i = 0; i < 20; ++i) {
                LongKey lk(static_cast<int32_t>(random() % 2100));
                TextPairKey tk(u"かなア", std::u16string(1, static_cast<char16_t>(0x4E00 + random() % 1600)));
                const KeySegmentValue* key = keyId == kLongIndex ? lk.values : tk.values;
                check(engine->Seek(c, key, nullptr, &pos));
                check(engine->SeekLessOrEqual(c, key, nullptr, &pos));
                check(engine->SeekGreater(c, key, nullptr, &pos));
                uint32_t ordinal = 0;
                check(engine->MoveToOrdinal(c, static_cast<uint32_t>(random() % 3000), nullptr, &pos));
                if (engine->Next(c, nullptr, &pos) == DmsStatus::Success) check(engine->GetOrdinal(c, &ordinal));
                check(engine->InsertKey(c, key, {1, 2}));
                if (engine->SeekGreaterOrEqual(c, key, nullptr, &pos) == DmsStatus::Success)
                    check(engine->DeleteCurrent(c));
            }
        }
        engine->CloseFile(id);
        return undocumented;
    }
};

// Pages of the file that are key pages.
std::vector<uint32_t> KeyPages(const std::vector<uint8_t>& file, uint32_t pageSize) {
    std::vector<uint32_t> pages;
    for (uint32_t p = 1; (p + 1) * pageSize <= file.size(); ++p) {
        if ((file[p * pageSize + 4]) == 0x4B) pages.push_back(p);
    }
    return pages;
}

TEST_F(IndexRobustness, MutatedKeyPagesGiveOnlyStatuses) {
    const std::vector<uint8_t> good = BuildFile();
    const std::vector<uint32_t> pages = KeyPages(good, 4096);
    ASSERT_GT(pages.size(), 20u);
    std::mt19937 random(1234);
#if defined(_WIN32)
    const int rounds = 16;
#else
    const int rounds = 64;
#endif
    for (int round = 0; round < rounds; ++round) {
        std::vector<uint8_t> bad = good;
        uint8_t* page = bad.data() + size_t{pages[random() % pages.size()]} * 4096;
        uint32_t count = LoadU16(page + 6);
        switch (round % 8) {
        case 0: StoreU16(page + 6, static_cast<uint16_t>(count + 1 + random() % 3)); break;  // count too high
        case 1: StoreU16(page + 16, 0); break;                                                // entry length 0
        case 2: StoreU16(page + 16, 0xFFFF); break;                                           // past the page
        case 3: StoreU32(page + 8, LoadU32(page)); break;                                     // next = itself
        case 4: StoreU16(page + 4, static_cast<uint16_t>(LoadU16(page + 4) + 256)); break;     // wrong height
        case 5: StoreU32(page + 18, LoadU32(page)); break;  // a branch's child = itself
        case 6: StoreU16(page + 26, static_cast<uint16_t>(random())); break;  // a segment length
        default:
            for (int k = 0; k < 8; ++k) page[random() % 4096] = static_cast<uint8_t>(random());
            break;
        }
        disk.SetContents(kPath, bad);
        Restart();
        EXPECT_EQ(Exercise(random), 0) << "round " << round;
    }
}

TEST_F(IndexRobustness, DamagedPagesAreNamed) {
    const std::vector<uint8_t> good = BuildFile();
    uint32_t root = LoadU32(good.data() + 48 + 12);  // the Long index
    struct Case {
        const char* what;
        void (*damage)(uint8_t* page);
        DmsStatus first;
    };
    const Case cases[] = {
        {"signature of no key page", [](uint8_t* p) { StoreU16(p + 4, 0x4144); }, DmsStatus::PageLoadFailed},
        {"freed page", [](uint8_t* p) { StoreU16(p + 4, 0); }, DmsStatus::PageLoadFailed},
        {"height 20", [](uint8_t* p) { StoreU16(p + 4, keypage::Signature(20)); }, DmsStatus::PageLoadFailed},
        {"entry length 0", [](uint8_t* p) { StoreU16(p + 16, 0); }, DmsStatus::IntegrityBroken},
        {"entry past the page", [](uint8_t* p) { StoreU16(p + 6, 4000); }, DmsStatus::IntegrityBroken},
        {"child one level too low", [](uint8_t* p) { StoreU16(p + 4, keypage::Signature(7)); },
         DmsStatus::IntegrityBroken},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = good;
        c.damage(bad.data() + size_t{root} * 4096);
        int32_t id = 0;
        uint32_t h = OpenReadOnly(bad, id);
        DmsStatus first = engine->First(h, nullptr, nullptr);
        // A root that claims another height is caught one level down.
        EXPECT_EQ(first, c.first) << c.what;
        EXPECT_EQ(engine->Next(h, nullptr, nullptr), DmsStatus::NoCurrentPosition) << c.what;
        engine->CloseFile(id);
    }
}

// The descriptor's entry count one off either way, damaged before the
// cursor moves: First and Last stop with 104 instead of giving ordinals of
// a tree the descriptor does not describe; the true count reads on.
TEST_F(IndexRobustness, DescriptorCountOneOffStopsFirstAndLast) {
    const std::vector<uint8_t> good = BuildFile();
    const size_t countAt = 48 + 8;  // the Long index's descriptor
    ASSERT_EQ(LoadU32(good.data() + countAt), 3000u);
    for (uint32_t count : {3000u, 3001u, 2999u}) {
        std::vector<uint8_t> bad = good;
        StoreU32(bad.data() + countAt, count);
        int32_t id = 0;
        const uint32_t h = OpenReadOnly(bad, id);
        const DmsStatus expected = count == 3000 ? DmsStatus::Success : DmsStatus::IntegrityBroken4;
        EntryPosition at;
        EXPECT_EQ(engine->Last(h, nullptr, &at), expected) << count;
        if (count == 3000) {
            EXPECT_EQ(at.ordinal, 2999u);
        }
        EXPECT_EQ(engine->First(h, nullptr, nullptr), expected) << count;
        engine->CloseFile(id);
    }
}

TEST_F(IndexRobustness, LinkCycleEndsStatistics) {
    std::vector<uint8_t> bad = BuildFile();
    std::vector<uint32_t> pages = KeyPages(bad, 4096);
    // Every leaf of the Long index pointing back at the first: the level walk
    // would never end without its bound.
    uint32_t root = LoadU32(bad.data() + 48 + 12);
    uint32_t firstLeaf = LoadU32(bad.data() + size_t{root} * 4096 + 18);
    for (uint32_t p : pages) {
        uint8_t* page = bad.data() + size_t{p} * 4096;
        if (LoadU16(page + 4) == keypage::Signature(0) && p != firstLeaf) StoreU32(page + 8, firstLeaf);
    }
    int32_t id = 0;
    uint32_t h = OpenReadOnly(bad, id);
    IndexStats stats;
    EXPECT_EQ(engine->GetIndexStats(h, &stats), DmsStatus::IntegrityBroken);
    EntryPosition pos;
    DmsStatus st = engine->First(h, nullptr, &pos);
    int steps = 0;
    while (st == DmsStatus::Success && steps++ < 10000) st = engine->Next(h, nullptr, &pos);
    EXPECT_EQ(st, DmsStatus::IntegrityBroken);
    engine->CloseFile(id);
}

// A cursor positioned before another cursor shrank its page reads nothing stale.
TEST_F(IndexRobustness, StaleCursorGivesPageLoadFailed) {
    OpenIndexFile(kLongIndex);
    for (int32_t i = 0; i < 1000; ++i) ASSERT_EQ(InsertLong(i, static_cast<uint32_t>(i)), DmsStatus::Success);
    uint32_t other = Cursor(fileId);
    ASSERT_EQ(engine->SelectIndex(other, kLongIndex), DmsStatus::Success);
    ASSERT_EQ(engine->Last(cursor, nullptr, nullptr), DmsStatus::Success);
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(engine->Last(other, nullptr, nullptr), DmsStatus::Success);
        ASSERT_EQ(engine->DeleteCurrent(other), DmsStatus::Success);
    }
    EXPECT_EQ(engine->Prev(cursor, nullptr, nullptr), DmsStatus::PageLoadFailed);
    // A stale path whose root entry no longer exists (leaves before it were
    // emptied): refused before anything changes.
    ASSERT_EQ(engine->Last(cursor, nullptr, nullptr), DmsStatus::Success);
    for (int i = 0; i < 400; ++i) {
        ASSERT_EQ(engine->First(other, nullptr, nullptr), DmsStatus::Success);
        ASSERT_EQ(engine->DeleteCurrent(other), DmsStatus::Success);
    }
    uint32_t before = 0;
    ASSERT_EQ(engine->GetCount(other, &before), DmsStatus::Success);
    EXPECT_EQ(engine->DeleteCurrent(cursor), DmsStatus::PageLoadFailed);
    uint32_t after = 0;
    ASSERT_EQ(engine->GetCount(other, &after), DmsStatus::Success);
    EXPECT_EQ(after, before);
    Verify(kLongIndex);
    // Everything deleted: the old path leads to freed pages.
    ASSERT_EQ(engine->First(cursor, nullptr, nullptr), DmsStatus::Success);
    while (engine->First(other, nullptr, nullptr) == DmsStatus::Success) ASSERT_EQ(engine->DeleteCurrent(other), DmsStatus::Success);
    EXPECT_EQ(engine->Next(cursor, nullptr, nullptr), DmsStatus::PageLoadFailed);
    ASSERT_EQ(engine->First(cursor, nullptr, nullptr), DmsStatus::RecordNotFound);
}

// A journaled file whose cache cannot hold every page a split needs: the
// failing insert gives a status and leaves the index exactly as it was.
TEST_F(IndexRobustness, FailedInsertLeavesTheIndexAsItWas) {
    schema = IndexSchema(512);
    ASSERT_EQ(engine->CreateFile(kPath, schema), DmsStatus::Success);
    engine = std::make_unique<CDMS>(disk, 6);
    ASSERT_EQ(engine->OpenFile(kPath, 0, schema, &fileId), DmsStatus::Success);
    cursor = Cursor(fileId);
    ASSERT_EQ(engine->SelectIndex(cursor, kLongIndex), DmsStatus::Success);
    int32_t inserted = 0;
    DmsStatus st = DmsStatus::Success;
    for (; inserted < 20000; ++inserted) {
        st = InsertLong(inserted, static_cast<uint32_t>(inserted));
        if (Failed(st)) break;
    }
    ASSERT_TRUE(st == DmsStatus::PageLoadFailed || st == DmsStatus::PageCreationFailed) << StatusCode(st);
    ASSERT_GT(inserted, 100);
    Verify(kLongIndex);
    uint32_t count = 0;
    ASSERT_EQ(engine->GetCount(cursor, &count), DmsStatus::Success);
    EXPECT_EQ(count, static_cast<uint32_t>(inserted));
    ASSERT_EQ(engine->CloseFile(fileId), DmsStatus::Success);
    // The file on disk holds exactly the successful inserts.
    Restart();
    ASSERT_EQ(engine->OpenFile(kPath, 2, schema, &fileId), DmsStatus::Success);
    cursor = Cursor(fileId);
    ASSERT_EQ(engine->SelectIndex(cursor, kLongIndex), DmsStatus::Success);
    Verify(kLongIndex);
    LongOut out;
    EntryPosition pos;
    ASSERT_EQ(engine->Last(cursor, out.values, &pos), DmsStatus::Success);
    EXPECT_EQ(out.v, inserted - 1);
    EXPECT_EQ(pos.ordinal, static_cast<uint32_t>(inserted - 1));
}

// A hand-made tree of 20 levels whose pages are all full: the next insert
// would need a 21st level and gives 37, leaving the file unchanged.
TEST_F(IndexRobustness, TreeNeverGrowsPastTwentyLevels) {
    schema = "{File PageSize=64 {Index Id=1 {Segment Type=Binary}}}";
    ASSERT_EQ(engine->CreateFile(kPath, schema), DmsStatus::Success);
    std::vector<uint8_t> file = Bytes();
    const uint32_t pageSize = 64;
    auto key = [](uint8_t v) {
        std::vector<uint8_t> k(14, 0);
        StoreU16(k.data(), 14);
        k[13] = v;
        return k;
    };
    // Levels 19..0 on pages 1..20; each holds two entries of 24 bytes (full);
    // the second of each branch leads down the path, the first to a page
    // never read.
    file.resize(size_t{22} * pageSize, 0);
    for (uint32_t h = 0; h <= 19; ++h) {
        uint32_t number = 20 - h;
        uint8_t* p = file.data() + size_t{number} * pageSize;
        StoreU32(p, number);
        StoreU16(p + 4, keypage::Signature(static_cast<int32_t>(h)));
        StoreU16(p + 6, 2);
        StoreU32(p + 8, 0xFFFFFFFF);
        StoreU32(p + 12, 0xFFFFFFFF);
        for (uint32_t e = 0; e < 2; ++e) {
            // A page at height h counts 2^(h+1) leaf entries below it.
            EntryBytes entry = MakeEntry(h == 0 ? e : (e == 0 ? 21 : number + 1), h == 0 ? 0 : 1u << h,
                                         key(static_cast<uint8_t>(e + 1)));
            std::copy(entry.begin(), entry.end(), p + 16 + 24 * e);
        }
    }
    StoreU32(file.data() + 28, 21);        // last page
    StoreU32(file.data() + 48 + 8, 1u << 20);  // count
    StoreU32(file.data() + 48 + 12, 1);    // root: page 1, height 19
    disk.SetContents(kPath, file);
    ASSERT_EQ(engine->OpenFile(kPath, 0, schema, &fileId), DmsStatus::Success);
    cursor = Cursor(fileId);
    ASSERT_EQ(engine->SelectIndex(cursor, 1), DmsStatus::Success);
    EntryPosition pos;
    ASSERT_EQ(engine->Last(cursor, nullptr, &pos), DmsStatus::Success);
    EXPECT_EQ(pos.ordinal, (1u << 20) - 1);
    std::vector<uint8_t> three = key(3);
    KeySegmentValue v{three.data() + 2, 12};
    EXPECT_EQ(engine->InsertKey(cursor, &v, {9, 9}), DmsStatus::InvalidKeyValues);
    ASSERT_EQ(engine->CloseFile(fileId), DmsStatus::Success);
    EXPECT_EQ(Bytes(), file);
}

}  // namespace

namespace {

// A key page is checked once per content version of its cache slot: any
// change the cache learns of (a write marked changed, a restore, a reload)
// has the next reader check it again.
TEST_F(IndexRobustness, ChangedPageIsCheckedAgain) {
    OpenIndexFile(kLongIndex);
    for (int32_t i = 0; i < 50; ++i) ASSERT_EQ(InsertLong(i, 1), DmsStatus::Success);
    ASSERT_EQ(engine->First(cursor, nullptr, nullptr), DmsStatus::Success);
    uint32_t root = LoadU32(File().Descriptor(0) + 12);
    CachedPage page = File().Cache().Lookup(File(), root);
    ASSERT_TRUE(page);
    uint64_t version = File().Cache().ContentVersion(page.slot);
    StoreU16(page.data + 16, 0);  // the first entry's length
    File().Cache().MarkChanged(page);
    EXPECT_NE(File().Cache().ContentVersion(page.slot), version);
    EXPECT_EQ(engine->First(cursor, nullptr, nullptr), DmsStatus::IntegrityBroken);
    StoreU16(page.data + 16, 14);
    File().Cache().MarkChanged(page);
    EXPECT_EQ(engine->First(cursor, nullptr, nullptr), DmsStatus::Success);
}

}  // namespace
