// Data blocks through the engine interface: placement of chunks, reading,
// freeing and wiping, and the checks that keep a damaged chain harmless.
#include "storage/data_blocks.h"
#include "storage/tests/engine_fixture.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

class DataBlocks : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        id = CreateAndOpen(DictionarySchemaForTests(), 0);
        cursor = Cursor(id);
    }
    uint32_t Write(size_t n, uint8_t seed = 1) {
        std::vector<uint8_t> bytes(n);
        for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7);
        uint32_t position = 0;
        EXPECT_EQ(engine->WriteData(cursor, bytes.data(), static_cast<uint32_t>(n), &position), DmsStatus::Success);
        return position;
    }
    std::vector<uint8_t> Read(uint32_t position, DmsStatus expected = DmsStatus::Success) {
        uint32_t total = 0;
        EXPECT_EQ(engine->ReadData(cursor, position, nullptr, &total), expected);
        std::vector<uint8_t> bytes(total);
        uint32_t count = total;
        EXPECT_EQ(engine->ReadData(cursor, position, bytes.data(), &count), expected);
        EXPECT_EQ(count, total);
        return bytes;
    }
    static std::vector<uint8_t> Pattern(size_t n, uint8_t seed = 1) {
        std::vector<uint8_t> bytes(n);
        for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7);
        return bytes;
    }
    std::vector<uint8_t> Page(uint32_t page) {
        std::vector<uint8_t> b = Bytes();
        return std::vector<uint8_t>(b.begin() + page * 4096, b.begin() + (page + 1) * 4096);
    }
    uint32_t HeaderField(size_t at) { return U32At(Bytes(), at); }

    int32_t id = 0;
    uint32_t cursor = 0;
};

TEST_F(DataBlocks, EmptyBlockStoresNothing) {
    std::vector<uint8_t> before = Bytes();
    uint32_t position = 77;
    EXPECT_EQ(engine->WriteData(cursor, nullptr, 0, &position), DmsStatus::Success);
    EXPECT_EQ(position, 0u);
    EXPECT_EQ(Bytes(), before);
}

TEST_F(DataBlocks, FirstSmallBlocksShareTheFirstDataPage) {
    uint32_t first = Write(10);
    uint32_t page = first / 4096;
    EXPECT_EQ(first, page * 4096 + 6);
    EXPECT_EQ(HeaderField(24), page);
    std::vector<uint8_t> p = Page(page);
    EXPECT_EQ(U32At(p, 0), page);
    EXPECT_EQ(U16At(p, 4), 0x4144);
    EXPECT_EQ(U32At(p, 6), 24u);    // chunk length including its head
    EXPECT_EQ(U32At(p, 10), 10u);   // total
    EXPECT_EQ(p[14], 0xFF);         // no record type selected
    EXPECT_EQ(p[15], 3);            // first and last
    EXPECT_EQ(U32At(p, 16), 0u);    // no next
    EXPECT_EQ(Write(10), first + 24);
    EXPECT_EQ(Read(first), Pattern(10));
}

TEST_F(DataBlocks, RecordTypeOfTheCursorIsStamped) {
    ASSERT_EQ(engine->SelectRecordType(cursor, 2), DmsStatus::Success);
    uint32_t position = Write(5);
    EXPECT_EQ(Page(position / 4096)[position % 4096 + 8], 2);
    EXPECT_EQ(engine->SelectRecordType(cursor, 9), DmsStatus::WrongKeyId);
}

TEST_F(DataBlocks, LargeBlockStartsInAMoreThanHalfFreePage) {
    Write(4096 - 6 - 3000 - 14);  // leaves 3,000 bytes free
    uint32_t position = Write(10000, 3);
    uint32_t page = position / 4096;
    EXPECT_EQ(position % 4096, 4096u - 3000);
    std::vector<uint8_t> first = Page(page);
    EXPECT_EQ(U32At(first, 4096 - 3000) - 14, 2986u);
    uint32_t second = U32At(first, 4096 - 3000 + 10);
    EXPECT_EQ(second % 4096, 6u);
    std::vector<uint8_t> middle = Page(second / 4096);
    EXPECT_EQ(U32At(middle, 6) - 14, 4076u);
    EXPECT_EQ(middle[15], 0);
    uint32_t third = U32At(middle, 16);
    std::vector<uint8_t> last = Page(third / 4096);
    EXPECT_EQ(U32At(last, 6) - 14, 2938u);
    EXPECT_EQ(last[15], 2);
    EXPECT_EQ(HeaderField(24), third / 4096);
    EXPECT_EQ(Read(position), Pattern(10000, 3));
}

TEST_F(DataBlocks, BlockThatDoesNotFitAHalfFullPageStartsANewOne) {
    uint32_t filler = Write(4096 - 6 - 2000 - 14);  // leaves 2,000 bytes free
    uint32_t position = Write(2100);
    EXPECT_NE(position / 4096, filler / 4096);
    EXPECT_EQ(position % 4096, 6u);
    EXPECT_EQ(Read(position), Pattern(2100));
}

TEST_F(DataBlocks, ReadWithSmallBufferOrNoBuffer) {
    uint32_t position = Write(300);
    uint32_t total = 0;
    EXPECT_EQ(engine->ReadData(cursor, position, nullptr, &total), DmsStatus::Success);
    EXPECT_EQ(total, 300u);
    uint8_t five[5];
    uint32_t count = 5;
    EXPECT_EQ(engine->ReadData(cursor, position, five, &count), DmsStatus::Success);
    EXPECT_EQ(count, 5u);
    EXPECT_EQ(std::vector<uint8_t>(five, five + 5), std::vector<uint8_t>(Pattern(5)));
    EXPECT_EQ(engine->ReadData(cursor, position, nullptr, nullptr), DmsStatus::Success);
}

TEST_F(DataBlocks, FreedBlockReadsWithDeletedAndWipedGivesZeros) {
    uint32_t kept = Write(50, 9);
    uint32_t freed = Write(5000, 4);
    uint32_t wiped = Write(6000, 5);
    EXPECT_EQ(engine->FreeData(cursor, freed), DmsStatus::Success);
    EXPECT_EQ(engine->FreeDataWipe(cursor, wiped), DmsStatus::Success);
    EXPECT_EQ(Read(freed, DmsStatus::Deleted), Pattern(5000, 4));
    EXPECT_EQ(Read(wiped, DmsStatus::Deleted), std::vector<uint8_t>(6000, 0));
    EXPECT_EQ(Read(kept), Pattern(50, 9));
    EXPECT_EQ(engine->FreeData(cursor, 0), DmsStatus::Success);
}

TEST_F(DataBlocks, FreedSpaceIsNeverReused) {
    uint32_t a = Write(100);
    EXPECT_EQ(engine->FreeData(cursor, a), DmsStatus::Success);
    EXPECT_GT(Write(100), a);
}

class BadPositions : public DataBlocks, public ::testing::WithParamInterface<uint32_t> {};

// Positions in the header page, in a page that is no data page, below the
// page frame, or at a chunk that does not start a block: 45 for reads and
// frees alike, and a refused free changes nothing.
TEST_P(BadPositions, Give45ForReadAndFree) {
    uint32_t block = Write(10000);
    uint32_t position = GetParam() == 1 ? U32At(Page(block / 4096), block % 4096 + 10)  // the second chunk
                                        : GetParam();
    std::vector<uint8_t> before = Bytes();
    uint8_t buffer[16];
    uint32_t count = sizeof buffer;
    EXPECT_EQ(engine->ReadData(cursor, position, buffer, &count), DmsStatus::InvalidParameter);
    EXPECT_EQ(engine->FreeData(cursor, position), DmsStatus::InvalidParameter);
    EXPECT_EQ(engine->FreeDataWipe(cursor, position), DmsStatus::InvalidParameter);
    EXPECT_EQ(Bytes(), before);
}

INSTANTIATE_TEST_SUITE_P(Positions, BadPositions,
                         ::testing::Values(4096u, 16u, 25u, 4096u + 4096u + 2u, 1u /* second chunk */));

TEST_F(DataBlocks, PositionBeyondTheFileGivesPageLoadFailure) {
    uint8_t buffer[4];
    uint32_t count = 4;
    DmsStatus st = engine->ReadData(cursor, 900 * 4096 + 6, buffer, &count);
    EXPECT_TRUE(st == DmsStatus::PageLoadFailed || st == DmsStatus::InvalidParameter) << StatusCode(st);
}

TEST_F(DataBlocks, ReadOnlyFileRefusesWritesAndFrees) {
    uint32_t position = Write(40);
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
    ASSERT_EQ(engine->OpenFile(kPath, 2, DictionarySchemaForTests(), &id), DmsStatus::Success);
    cursor = Cursor(id);
    std::vector<uint8_t> before = Bytes();
    uint32_t out = 1;
    EXPECT_EQ(engine->WriteData(cursor, "x", 1, &out), DmsStatus::OperationNotAllowed);
    EXPECT_EQ(engine->FreeData(cursor, position), DmsStatus::OperationNotAllowed);
    EXPECT_EQ(Read(position), Pattern(40));
    EXPECT_EQ(Bytes(), before);
}

TEST_F(DataBlocks, JournaledWriteIsInTheFileWhenItReturns) {
    uint32_t position = Write(777, 6);
    disk.Crash(SimulatedDisk::CrashModel::ProcessKill, 0);
    Restart();
    ASSERT_EQ(engine->OpenFile(kPath, 2, DictionarySchemaForTests(), &id), DmsStatus::Success);
    cursor = Cursor(id);
    EXPECT_EQ(Read(position), Pattern(777, 6));
}

TEST_F(DataBlocks, UnknownHandleGives3) {
    uint32_t position = 0;
    EXPECT_EQ(engine->WriteData(0, "x", 1, &position), DmsStatus::WrongHandle);
    EXPECT_EQ(engine->ReadData(cursor + 100, 8000, nullptr, &position), DmsStatus::WrongHandle);
    ASSERT_EQ(engine->CloseCursor(cursor), DmsStatus::Success);
    EXPECT_EQ(engine->FreeData(cursor, 8000), DmsStatus::WrongHandle);
}

// Damage inside a chain: each gives 100 (or 45 at the block's start), never a
// loop or a read past the page, and a free that fails leaves everything as it was.
struct ChainDamage {
    const char* what;
    int chunk;        // 0 first chunk, 1 second, 2 third
    size_t field;     // offset in the chunk head
    uint32_t value;
    int width;
    DmsStatus read;
    DmsStatus free;
};

class DamagedChain : public DataBlocks, public ::testing::WithParamInterface<ChainDamage> {};

TEST_P(DamagedChain, GivesAStatusAndFreeChangesNothing) {
    uint32_t position = Write(10000, 2);
    std::vector<uint32_t> chunks{position};
    for (int i = 0; i < 2; ++i) {
        uint32_t at = chunks.back();
        chunks.push_back(U32At(Bytes(), at + 10));
    }
    const ChainDamage& d = GetParam();
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
    std::vector<uint8_t> b = Bytes();
    uint8_t* field = b.data() + chunks[static_cast<size_t>(d.chunk)] + d.field;
    if (d.width == 1)
        *field = static_cast<uint8_t>(d.value);
    else
        storage::StoreU32(field, d.value);
    disk.SetContents(kPath, b);
    ASSERT_EQ(engine->OpenFile(kPath, 0, DictionarySchemaForTests(), &id), DmsStatus::Success);
    cursor = Cursor(id);
    std::vector<uint8_t> buffer(10000);
    uint32_t count = 10000;
    EXPECT_EQ(engine->ReadData(cursor, position, buffer.data(), &count), d.read) << d.what;
    EXPECT_EQ(engine->FreeDataWipe(cursor, position), d.free) << d.what;
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
    EXPECT_EQ(Bytes(), b) << d.what;
}

INSTANTIATE_TEST_SUITE_P(
    Fields, DamagedChain,
    ::testing::Values(
        ChainDamage{"first length below a head", 0, 0, 13, 4, DmsStatus::IntegrityBroken, DmsStatus::IntegrityBroken},
        ChainDamage{"first length zero", 0, 0, 0, 4, DmsStatus::IntegrityBroken, DmsStatus::IntegrityBroken},
        ChainDamage{"first length past the page", 0, 0, 5000, 4, DmsStatus::IntegrityBroken, DmsStatus::IntegrityBroken},
        ChainDamage{"first without flag 1", 0, 9, 0, 1, DmsStatus::InvalidParameter, DmsStatus::InvalidParameter},
        ChainDamage{"next points back to itself", 0, 10, 0, 4, DmsStatus::IntegrityBroken, DmsStatus::IntegrityBroken},
        ChainDamage{"next into the header page", 0, 10, 16, 4, DmsStatus::IntegrityBroken, DmsStatus::IntegrityBroken},
        ChainDamage{"next past the file", 0, 10, 0x7FFF0006, 4, DmsStatus::PageLoadFailed, DmsStatus::PageLoadFailed},
        ChainDamage{"second chunk length tiny", 1, 0, 14, 4, DmsStatus::IntegrityBroken, DmsStatus::IntegrityBroken},
        ChainDamage{"second chunk runs past its page", 1, 0, 4091, 4, DmsStatus::IntegrityBroken, DmsStatus::IntegrityBroken},
        ChainDamage{"second chunk of another record type", 1, 8, 3, 1, DmsStatus::IntegrityBroken, DmsStatus::IntegrityBroken},
        ChainDamage{"third chunk loses its last flag", 2, 9, 0, 1, DmsStatus::IntegrityBroken, DmsStatus::IntegrityBroken},
        ChainDamage{"total far beyond the chunks", 0, 4, 0x7FFFFFFF, 4, DmsStatus::IntegrityBroken, DmsStatus::IntegrityBroken},
        ChainDamage{"total one byte short", 0, 4, 9999, 4, DmsStatus::IntegrityBroken, DmsStatus::IntegrityBroken},
        ChainDamage{"second chunk claims a block's start", 1, 9, 1, 1, DmsStatus::IntegrityBroken, DmsStatus::IntegrityBroken}));

TEST_F(DataBlocks, ChainLoopingBackToItsFirstChunkEnds) {
    uint32_t position = Write(10000, 2);
    uint32_t second = U32At(Bytes(), position + 10);
    uint32_t third = U32At(Bytes(), second + 10);
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
    std::vector<uint8_t> b = Bytes();
    b[third + 9] = 0;                          // the last chunk is no longer last
    storage::StoreU32(b.data() + third + 10, second);  // and points back
    storage::StoreU32(b.data() + third, 4096 - 6);     // filling its page
    disk.SetContents(kPath, b);
    ASSERT_EQ(engine->OpenFile(kPath, 2, DictionarySchemaForTests(), &id), DmsStatus::Success);
    cursor = Cursor(id);
    // Neither the total nor any bytes come back as the block's.
    uint32_t total = 77;
    EXPECT_EQ(engine->ReadData(cursor, position, nullptr, &total), DmsStatus::IntegrityBroken);
    EXPECT_EQ(total, 0u);
    std::vector<uint8_t> buffer(10000);
    uint32_t count = 10000;
    EXPECT_EQ(engine->ReadData(cursor, position, buffer.data(), &count), DmsStatus::IntegrityBroken);
    EXPECT_EQ(count, 0u);
}

TEST_F(DataBlocks, CurrentDataPageThatIsNoDataPageGives100) {
    Write(10);
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
    std::vector<uint8_t> b = Bytes();
    storage::StoreU32(b.data() + 24, 0);  // names the header
    disk.SetContents(kPath, b);
    ASSERT_EQ(engine->OpenFile(kPath, 0, DictionarySchemaForTests(), &id), DmsStatus::Success);
    cursor = Cursor(id);
    uint32_t position = 0;
    EXPECT_EQ(engine->WriteData(cursor, "abc", 3, &position), DmsStatus::IntegrityBroken);
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
    EXPECT_EQ(Bytes(), b);
}

// Blocks are appended only to zeroed space: one byte not zero anywhere after
// the current data page's used end (its first byte, its last, one between)
// means a damaged chunk length, so a new block is refused and nothing changes.
TEST_F(DataBlocks, BytesAfterTheUsedEndThatAreNotZeroGive100) {
    const uint32_t position = Write(10);  // the page's only chunk: 14 + 10 bytes
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
    const std::vector<uint8_t> clean = Bytes();
    const uint32_t usedEnd = position + 14 + 10;
    const uint32_t pageEnd = (position / 4096 + 1) * 4096;
    for (uint32_t at : {usedEnd, usedEnd + 1000, pageEnd - 1}) {
        std::vector<uint8_t> b = clean;
        b[at] = 1;
        disk.SetContents(kPath, b);
        ASSERT_EQ(engine->OpenFile(kPath, 0, DictionarySchemaForTests(), &id), DmsStatus::Success);
        cursor = Cursor(id);
        uint32_t added = 0;
        EXPECT_EQ(engine->WriteData(cursor, "abc", 3, &added), DmsStatus::IntegrityBroken) << at;
        EXPECT_EQ(Read(position), Pattern(10)) << at;
        ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
        EXPECT_EQ(Bytes(), b) << at;
    }
    // Clean, the same file takes the block behind the first.
    disk.SetContents(kPath, clean);
    ASSERT_EQ(engine->OpenFile(kPath, 0, DictionarySchemaForTests(), &id), DmsStatus::Success);
    cursor = Cursor(id);
    uint32_t added = 0;
    EXPECT_EQ(engine->WriteData(cursor, "abc", 3, &added), DmsStatus::Success);
    EXPECT_EQ(added, usedEnd);
}

TEST_F(DataBlocks, PagesStopBelowTwoGigabytesOfPositions) {
    // Data positions are compared by signed difference: no page may start a
    // position at or past 2^31, so a file that far gives 10, and changes nothing.
    Write(10);
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
    std::vector<uint8_t> b = Bytes();
    storage::StoreU32(b.data() + 28, 524287);      // last page: the next would be 524288
    storage::StoreU32(b.data() + 24, 0xFFFFFFFF);  // no current data page: a new one is needed
    disk.SetContents(kPath, b);
    ASSERT_EQ(engine->OpenFile(kPath, 0, DictionarySchemaForTests(), &id), DmsStatus::Success);
    cursor = Cursor(id);
    uint32_t position = 5;
    EXPECT_EQ(engine->WriteData(cursor, "abc", 3, &position), DmsStatus::PageCreationFailed);
    EXPECT_EQ(position, 0u);
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
    EXPECT_EQ(Bytes(), b);
}

TEST_F(DataBlocks, ChunkEndingInTheLastBytesOfAPageIsNotOverread) {
    // Fill the page so that fewer than 14 bytes remain after the last chunk.
    Write(4096 - 6 - 14 - 10);
    uint32_t next = Write(100);
    EXPECT_EQ(next % 4096, 6u);
    EXPECT_EQ(Read(next), Pattern(100));
}

}  // namespace
