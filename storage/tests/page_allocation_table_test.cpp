// Files with a page allocation table: adding one, pages placed and moved as
// their stored length changes, new PAT pages as the file grows, compressed
// pages, and every damaged PAT field giving a status.
#include "storage/page_allocation_table.h"
#include "storage/data_blocks.h"
#include "storage/structure_verifier.h"
#include "storage/tests/engine_fixture.h"

#include <gtest/gtest.h>

#include <zlib.h>

namespace {

// PageSize 128: E = 7 entries per PAT page, so ranges are crossed quickly.
const std::string kSmallSchema = "{File PageSize=128 {Record Id=0} {Index Id=1 {Segment Type=Long}}}";

class PatFile : public EngineTest {
protected:
    // A file of `blocks` blocks of `size` bytes with a PAT added; returns the
    // blocks' positions. Left closed.
    std::vector<uint32_t> MakeFile(int blocks, size_t size, const std::string& schema = kSmallSchema) {
        int32_t id = CreateAndOpen(schema, 1);
        uint32_t cursor = Cursor(id);
        std::vector<uint32_t> positions;
        for (int i = 0; i < blocks; ++i) {
            std::vector<uint8_t> bytes(size, static_cast<uint8_t>(i + 1));
            uint32_t position = 0;
            EXPECT_EQ(engine->WriteData(cursor, bytes.data(), static_cast<uint32_t>(size), &position),
                      DmsStatus::Success);
            positions.push_back(position);
        }
        EXPECT_EQ(engine->FindFile(id)->AddPageAllocationTable(), DmsStatus::Success);
        EXPECT_EQ(engine->CloseFile(id), DmsStatus::Success);
        return positions;
    }

    DmsStatus ReadAll(const std::vector<uint32_t>& positions, size_t size, const std::string& schema = kSmallSchema,
                      int32_t mode = 2) {
        int32_t id = 0;
        DmsStatus st = engine->OpenFile(kPath, mode, schema, &id);
        if (Failed(st)) return st;
        uint32_t cursor = Cursor(id);
        for (size_t i = 0; i < positions.size(); ++i) {
            std::vector<uint8_t> bytes(size);
            uint32_t count = static_cast<uint32_t>(size);
            st = engine->ReadData(cursor, positions[i], bytes.data(), &count);
            if (Failed(st)) break;
            EXPECT_EQ(bytes, std::vector<uint8_t>(size, static_cast<uint8_t>(i + 1)));
        }
        VerifyReport report = VerifyFile(*engine->FindFile(id));
        if (!Failed(st)) {
            EXPECT_TRUE(report.ok()) << report.faults.front();
        }
        engine->CloseFile(id);
        return st;
    }

    uint32_t FirstPat() { return U32At(Bytes(), 20); }
    // File offset of page n's PAT entry (first PAT page only).
    size_t EntryAt(uint32_t n) { return FirstPat() + 16 + 16 * n; }
};

TEST_F(PatFile, AddingATableKeepsEveryBlockReadable) {
    std::vector<uint32_t> positions = MakeFile(20, 150);
    std::vector<uint8_t> b = Bytes();
    uint32_t pages = 0;
    EXPECT_EQ(U16At(b, 6), 0x0404);
    EXPECT_NE(FirstPat(), 0xFFFFFFFFu);
    pages = FirstPat() / 128;  // the PAT follows the existing pages
    EXPECT_EQ(U16At(b, FirstPat() + 4), 0x5450);
    EXPECT_EQ(U16At(b, FirstPat() + 6), 7);
    EXPECT_EQ(U32At(b, FirstPat() + 12), 0u);
    // Page 0 and its neighbours: header recorded, others still to be recorded.
    EXPECT_EQ(U16At(b, EntryAt(0) + 4), 0x4346);
    EXPECT_EQ(U16At(b, EntryAt(1) + 6), 1);
    EXPECT_EQ(U32At(b, 28), pages + (pages + 5) / 6 - 1);  // last page: after the PAT pages
    EXPECT_EQ(ReadAll(positions, 150), DmsStatus::Success);
}

TEST_F(PatFile, GrowingTheFileMakesAndLinksNewPatPages) {
    std::vector<uint32_t> positions = MakeFile(3, 150);
    int32_t id = 0;
    ASSERT_EQ(engine->OpenFile(kPath, 0, kSmallSchema, &id), DmsStatus::Success);
    uint32_t cursor = Cursor(id);
    uint32_t patPagesBefore = engine->FindFile(id)->Pat().PatPageCount();
    for (int i = 3; i < 60; ++i) {
        std::vector<uint8_t> bytes(150, static_cast<uint8_t>(i + 1));
        uint32_t position = 0;
        ASSERT_EQ(engine->WriteData(cursor, bytes.data(), 150, &position), DmsStatus::Success);
        positions.push_back(position);
    }
    EXPECT_GT(engine->FindFile(id)->Pat().PatPageCount(), patPagesBefore + 5);
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
    EXPECT_EQ(ReadAll(positions, 150), DmsStatus::Success);
}

TEST_F(PatFile, CompressedPagesAreSmallerAndReadBack) {
    const std::string schema = "{File PageSize=4096 {Record Id=0}}";
    std::vector<uint32_t> positions = MakeFile(30, 3000, schema);
    int32_t id = 0;
    ASSERT_EQ(engine->OpenFile(kPath, 1, schema, &id), DmsStatus::Success);
    DMSFile* file = engine->FindFile(id);
    file->SetCompression(true);
    uint64_t before = file->UsedEnd();
    // Rewrite every data page: each goes to its place compressed.
    uint32_t last = file->HeaderU32(header::kLastPage);
    for (uint32_t page = 1; page <= last; ++page) {
        if (file->Pat().IsPatPage(page)) continue;
        DmsStatus st;
        CachedPage p = file->GetPage(page, st);
        ASSERT_TRUE(p) << page;
        file->Cache().MarkChanged(p);
    }
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
    ASSERT_EQ(engine->OpenFile(kPath, 2, schema, &id), DmsStatus::Success);
    uint64_t stored = 0;
    for (const auto& placed : engine->FindFile(id)->Pat().PositionMap()) {
        PageAllocationTable::Entry entry;
        engine->FindFile(id)->Pat().Find(placed.page, entry);
        if (!engine->FindFile(id)->Pat().IsPatPage(placed.page) && placed.page != 0) stored += entry.storedLength;
    }
    EXPECT_LT(stored, before / 4);
    PageAllocationTable::Entry e;
    ASSERT_TRUE(engine->FindFile(id)->Pat().Find(1, e));
    EXPECT_TRUE(e.flags & PageAllocationTable::kFlagCompressed);
    EXPECT_LT(e.storedLength, 4096u);
    engine->CloseFile(id);
    EXPECT_EQ(ReadAll(positions, 3000, schema), DmsStatus::Success);
}

TEST_F(PatFile, IncompressiblePagesAreStoredWhole) {
    const std::string schema = "{File PageSize=4096 {Record Id=0}}";
    int32_t id = CreateAndOpen(schema, 1);
    uint32_t cursor = Cursor(id);
    std::vector<uint8_t> noise(20000);
    uint32_t x = 12345;
    for (uint8_t& b : noise) b = static_cast<uint8_t>((x = x * 1103515245 + 12345) >> 24);
    ASSERT_EQ(engine->FindFile(id)->AddPageAllocationTable(), DmsStatus::Success);
    engine->FindFile(id)->SetCompression(true);
    uint32_t position = 0;
    ASSERT_EQ(engine->WriteData(cursor, noise.data(), 20000, &position), DmsStatus::Success);
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
    ASSERT_EQ(engine->OpenFile(kPath, 2, schema, &id), DmsStatus::Success);
    cursor = Cursor(id);
    std::vector<uint8_t> back(20000);
    uint32_t count = 20000;
    ASSERT_EQ(engine->ReadData(cursor, position, back.data(), &count), DmsStatus::Success);
    EXPECT_EQ(back, noise);
    PageAllocationTable::Entry e;
    ASSERT_TRUE(engine->FindFile(id)->Pat().Find(position / 4096 + 1, e));
    EXPECT_FALSE(e.flags & PageAllocationTable::kFlagCompressed);
    EXPECT_EQ(e.storedLength, 4096u);
}

TEST_F(PatFile, ReadingRecordsSignaturesAndAMismatchGives42) {
    std::vector<uint32_t> positions = MakeFile(4, 150);
    ASSERT_EQ(ReadAll(positions, 150), DmsStatus::Success);
    // Reading in mode 0 records the signatures in the table.
    ASSERT_EQ(ReadAll(positions, 150, kSmallSchema, 0), DmsStatus::Success);
    uint32_t page = positions[1] / 128;
    ASSERT_EQ(U16At(Bytes(), EntryAt(page) + 4), 0x4144);
    EXPECT_EQ(U16At(Bytes(), EntryAt(page) + 6), 0);
    std::vector<uint8_t> b = Bytes();
    storage::StoreU16(b.data() + EntryAt(page) + 4, 0x304B);
    disk.SetContents(kPath, b);
    EXPECT_EQ(ReadAll(positions, 150), DmsStatus::WrongPatSignature);
}

struct EntryDamage {
    const char* what;
    size_t field;
    uint32_t value;
    int width;
    DmsStatus expected;
};

class DamagedPatEntry : public PatFile, public ::testing::WithParamInterface<EntryDamage> {};

TEST_P(DamagedPatEntry, GivesAStatusOnRead) {
    std::vector<uint32_t> positions = MakeFile(4, 150);
    std::vector<uint8_t> b = Bytes();
    const EntryDamage& d = GetParam();
    size_t at = EntryAt(positions[1] / 128) + d.field;
    if (d.width == 2)
        storage::StoreU16(b.data() + at, static_cast<uint16_t>(d.value));
    else
        storage::StoreU32(b.data() + at, d.value);
    disk.SetContents(kPath, b);
    EXPECT_EQ(ReadAll(positions, 150), d.expected) << d.what;
}

INSTANTIATE_TEST_SUITE_P(
    Fields, DamagedPatEntry,
    ::testing::Values(EntryDamage{"no position", 0, 0xFFFFFFFF, 4, DmsStatus::PageNotStored},
                      EntryDamage{"position past the file", 0, 0x7FFFFF00, 4, DmsStatus::PageNotStored},
                      EntryDamage{"position wraps past 4 GB", 0, 0xFFFFFFF0, 4, DmsStatus::PageNotStored},
                      EntryDamage{"not placed", 6, 8, 2, DmsStatus::PageNotStored},
                      EntryDamage{"stored length 14", 8, 14, 4, DmsStatus::PageNotStored},
                      EntryDamage{"stored length past the page", 8, 129, 4, DmsStatus::PageNotStored},
                      EntryDamage{"short uncompressed page", 8, 100, 4, DmsStatus::PageNotStored},
                      EntryDamage{"compressed flag on a whole page", 6, 2, 2, DmsStatus::PageNotStored}));

// A compressed page's stored length runs from 15 (the 14-byte head and one
// byte of stream) to PageSize + 14 (a stream as long as the page): both bounds
// stand as stored at load; 14 and PageSize + 15 are taken as not stored.
TEST_F(PatFile, StoredLengthBoundsAtLoad) {
    std::vector<uint32_t> positions = MakeFile(4, 150);
    const uint32_t page = positions[1] / 128;
    const std::vector<uint8_t> original = Bytes();
    for (auto [length, stands] : {std::pair{15u, true}, {14u, false}, {128u + 14, true}, {128u + 15, false}}) {
        std::vector<uint8_t> b = original;
        storage::StoreU16(b.data() + EntryAt(page) + 6, 2);  // compressed
        storage::StoreU32(b.data() + EntryAt(page) + 8, length);
        disk.SetContents(kPath, b);
        int32_t id = 0;
        ASSERT_EQ(engine->OpenFile(kPath, 2, kSmallSchema, &id), DmsStatus::Success);
        EXPECT_EQ(engine->FindFile(id)->Pat().Corrections().empty(), stands) << length;
        EXPECT_EQ(engine->CloseFile(id), DmsStatus::Success);
    }
}

struct ChainDamage {
    const char* what;
    size_t field;  // in the first PAT page
    uint32_t value;
    int width;
};

class DamagedPatPage : public PatFile, public ::testing::WithParamInterface<ChainDamage> {};

TEST_P(DamagedPatPage, GivesWrongFileAtOpen) {
    MakeFile(20, 150);
    std::vector<uint8_t> b = Bytes();
    const ChainDamage& d = GetParam();
    if (d.width == 2)
        storage::StoreU16(b.data() + FirstPat() + d.field, static_cast<uint16_t>(d.value));
    else
        storage::StoreU32(b.data() + FirstPat() + d.field, d.value == 1 ? FirstPat() : d.value);
    disk.SetContents(kPath, b);
    for (int32_t mode : {0, 2}) {
        int32_t id = 0;
        EXPECT_EQ(engine->OpenFile(kPath, mode, kSmallSchema, &id), DmsStatus::WrongFile) << d.what;
    }
}

INSTANTIATE_TEST_SUITE_P(Fields, DamagedPatPage,
                         ::testing::Values(ChainDamage{"signature", 4, 0x4144, 2},
                                           ChainDamage{"entries per page", 6, 8, 2},
                                           ChainDamage{"first page described", 12, 7, 4},
                                           ChainDamage{"chain loops to itself", 8, 1, 4},
                                           ChainDamage{"next past the file", 8, 0x10000000, 4}));

TEST_F(PatFile, ChainOf2000PatPagesGives16) {
    // PageSize 48: E = 2. A hand-made chain of 2000 PAT pages, each pointing
    // to the next; the table refuses the 2000th.
    const uint32_t pageSize = 48;
    std::vector<uint8_t> file(pageSize * 2001, 0);
    storage::StoreU16(file.data() + 4, 0x4346);
    storage::StoreU16(file.data() + 6, 0x0404);
    storage::StoreU32(file.data() + 8, pageSize);
    storage::StoreU16(file.data() + 16, 48);
    storage::StoreU32(file.data() + 20, pageSize);
    storage::StoreU32(file.data() + 24, 0xFFFFFFFF);
    for (uint32_t k = 0; k < 2000; ++k) {
        uint8_t* p = file.data() + pageSize * (k + 1);
        storage::StoreU32(p, k + 1);
        storage::StoreU16(p + 4, 0x5450);
        storage::StoreU16(p + 6, 2);
        storage::StoreU32(p + 8, k + 1 < 2000 ? pageSize * (k + 2) : 0xFFFFFFFF);
        storage::StoreU32(p + 12, k * 2);
        for (int i = 0; i < 2; ++i) storage::StoreU16(p + 16 + 16 * i + 6, 8);  // not placed
    }
    // Each table page's own entry names where the chain keeps it.
    for (uint32_t n = 1; n <= 2000; ++n) {
        uint8_t* e = file.data() + pageSize * (n / 2 + 1) + 16 + 16 * (n % 2);
        storage::StoreU32(e, pageSize * n);
        storage::StoreU16(e + 4, 0x5450);
        storage::StoreU16(e + 6, 0);
        storage::StoreU32(e + 8, pageSize);
    }
    disk.SetContents(kPath, file);
    int32_t id = 0;
    EXPECT_EQ(engine->OpenFile(kPath, 2, "{File PageSize=48}", &id), DmsStatus::NotEnoughMemory);
    // 1999 PAT pages are the most a file holds, and open.
    storage::StoreU32(file.data() + pageSize * 1999 + 8, 0xFFFFFFFF);
    disk.SetContents(kPath, file);
    EXPECT_EQ(engine->OpenFile(kPath, 2, "{File PageSize=48}", &id), DmsStatus::Success);
}

TEST(PageAllocationTable, PositionMapIsBoundedOnEveryInsertion) {
    SimulatedDisk disk;
    PageAllocationTable building;
    ASSERT_EQ(building.Create(128, 20), DmsStatus::Success);
    std::unique_ptr<IStorageFile> f;
    ASSERT_EQ(disk.CreateNew(u"p", f), IoError::Ok);
    ASSERT_EQ(f->SetSize(128 * 30), IoError::Ok);
    ASSERT_EQ(building.WriteChanged(*f), DmsStatus::Success);
    PageAllocationTable loaded;
    EXPECT_EQ(loaded.Load(*f, 128, 20 * 128, 10), DmsStatus::NotEnoughMemory);
    EXPECT_EQ(loaded.Load(*f, 128, 20 * 128, 1000), DmsStatus::Success);
    EXPECT_EQ(loaded.PositionMap().size(), 20u + 4u);  // the pages and 4 PAT pages
}

// Stored pages tile the file: each page's stored bytes and gap end exactly
// where the next stored page begins.
void ExpectTiled(const PageAllocationTable& t) {
    const auto& map = t.PositionMap();
    for (size_t i = 0; i + 1 < map.size(); ++i) {
        PageAllocationTable::Entry e;
        t.Find(map[i].page, e);
        EXPECT_EQ(uint64_t{e.position} + e.storedLength + e.freeBytes, map[i + 1].position) << "page " << map[i].page;
    }
}

uint32_t Place(PageAllocationTable& t, uint32_t page, uint32_t length) {
    uint32_t position = 0;
    EXPECT_EQ(t.AssignPosition(page, length, length < 128, position), DmsStatus::Success);
    ExpectTiled(t);
    return position;
}

uint32_t FreeOf(const PageAllocationTable& t, uint32_t page) {
    PageAllocationTable::Entry e;
    t.Find(page, e);
    return e.freeBytes;
}

TEST(PageAllocationTable, PlacementFollowsTheGapRules) {
    PageAllocationTable t;
    ASSERT_EQ(t.Create(128, 6), DmsStatus::Success);  // pages 0..5, PAT page 6 at 768
    ExpectTiled(t);
    // 1. A page shrinks in place and keeps the rest as its gap, and grows back.
    EXPECT_EQ(Place(t, 2, 40), 256u);
    EXPECT_EQ(FreeOf(t, 2), 88u);
    PageAllocationTable::Entry e;
    t.Find(2, e);
    EXPECT_TRUE(e.flags & PageAllocationTable::kFlagCompressed);
    EXPECT_EQ(Place(t, 2, 128), 256u);
    EXPECT_EQ(Place(t, 2, 30), 256u);
    EXPECT_EQ(Place(t, 3, 100), 384u);
    // 2. A page that outgrows its room moves down into the gap before it.
    EXPECT_EQ(Place(t, 3, 150), 286u);
    EXPECT_EQ(FreeOf(t, 3), 76u);
    EXPECT_EQ(FreeOf(t, 2), 0u);
    EXPECT_EQ(Place(t, 4, 129), 436u);
    EXPECT_EQ(FreeOf(t, 4), 75u);
    // 3. No gap fits: the end of the file; the space left joins the page before.
    EXPECT_EQ(Place(t, 1, 200), 896u);
    EXPECT_EQ(FreeOf(t, 0), 128u);
    EXPECT_EQ(t.UsedEnd(), 1096u);
    EXPECT_EQ(Place(t, 5, 300), 1096u);
    EXPECT_EQ(FreeOf(t, 4), 203u);
    // The page stored last grows in place.
    EXPECT_EQ(Place(t, 5, 500), 1096u);
    // The first gap in page-number order that fits: page 0's.
    EXPECT_EQ(Place(t, 3, 100), 286u);
    EXPECT_EQ(Place(t, 2, 120), 128u);
    EXPECT_EQ(FreeOf(t, 0), 0u);
    // Compaction's relocation moves a page down even when it fits in place.
    t.SetRelocation(true);
    EXPECT_EQ(Place(t, 3, 100), 248u);
    EXPECT_EQ(FreeOf(t, 3), 88u);
}

TEST(PageAllocationTable, RandomPlacementsKeepTheFileTiled) {
    PageAllocationTable t;
    ASSERT_EQ(t.Create(128, 40), DmsStatus::Success);
    uint32_t x = 7;
    for (int i = 0; i < 3000; ++i) {
        x = x * 1103515245 + 12345;
        uint32_t page = 1 + (x >> 8) % 39;
        uint32_t length = 15 + (x >> 16) % 114;
        t.SetRelocation((x >> 4) % 7 == 0);
        uint32_t position = 0;
        ASSERT_EQ(t.AssignPosition(page, length, length < 128, position), DmsStatus::Success);
        if (::testing::Test::HasFailure()) break;
        ExpectTiled(t);
    }
}

}  // namespace
