// Every limit of the formats at its edge and one step past it: a data block
// that fills its page to the last byte and one byte more, the half-page rule,
// a key entry of half a page's entry space and one byte more, a bulk-load
// entry that just fits the collection area and one byte more, a
// file one byte shorter than its page, the schema's nesting limit, the
// compaction skip rule at 15 and 16 free bytes, and leaf links that disagree
// with their parents.
#include "storage/tests/index_test_support.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kPageSize = 4096;
using storage::LoadU16;
using storage::LoadU32;
using storage::StoreU32;

class ExactLimits : public IndexTest {
protected:
    uint32_t Write(uint32_t n, uint8_t fill) {
        std::vector<uint8_t> bytes(n, fill);
        uint32_t position = 0;
        EXPECT_EQ(engine->WriteData(cursor, bytes.data(), n, &position), DmsStatus::Success);
        return position;
    }
    std::vector<uint8_t> Read(uint32_t position) {
        std::vector<uint8_t> bytes(20000);
        uint32_t count = static_cast<uint32_t>(bytes.size());
        EXPECT_EQ(engine->ReadData(cursor, position, bytes.data(), &count), DmsStatus::Success);
        bytes.resize(count);
        return bytes;
    }
    // The chunk head at `position` in the cached page.
    const uint8_t* Chunk(uint32_t position) {
        DmsStatus st;
        CachedPage p = File().GetPage(position / kPageSize, st);
        return p.data + position % kPageSize;
    }
};

// 4076 data bytes and the 14-byte head fill a new page from offset 6 to its
// last byte; one byte more needs a second chunk.
TEST_F(ExactLimits, DataBlockFillsItsPageToTheLastByteAndOneMore) {
    for (uint32_t n : {4076u, 4077u}) {
        OpenIndexFile(kLongIndex);  // a new file: the block starts a new page
        uint32_t position = Write(n, static_cast<uint8_t>(n));
        ASSERT_EQ(position % kPageSize, 6u);
        const uint8_t* head = Chunk(position);
        EXPECT_EQ(LoadU32(head), 4090u);
        if (n == 4076) {
            EXPECT_EQ(head[9], 1 | 2);  // first and last
        } else {
            EXPECT_EQ(head[9], 1);
            uint32_t next = LoadU32(head + 10);
            EXPECT_EQ(next, (position / kPageSize + 1) * kPageSize + 6);
            EXPECT_EQ(LoadU32(Chunk(next)), 15u);
            EXPECT_EQ(Chunk(next)[9], 2);
        }
        EXPECT_EQ(Read(position), std::vector<uint8_t>(n, static_cast<uint8_t>(n)));
        // Nothing fits after a full page: the next block starts a new one;
        // after the 15-byte second chunk it follows in the same page.
        uint32_t after = Write(1, 1);
        EXPECT_EQ(after % kPageSize, n == 4076 ? 6u : 6u + 15u);
        EXPECT_EQ(after / kPageSize, position / kPageSize + 1);
        ASSERT_EQ(engine->CloseFile(fileId), DmsStatus::Success);
        disk.Delete(kPath);
    }
}

// A block that does not fit whole starts in the current page only while more
// than half of it is free: 2049 free bytes yes, exactly 2048 no. Each round
// starts from a new file, so the page before holds the first block alone.
TEST_F(ExactLimits, HalfPageRuleAtItsEdge) {
    for (uint32_t freeBytes : {2049u, 2048u}) {
        OpenIndexFile(kLongIndex);
        uint32_t first = Write(kPageSize - 6 - freeBytes - 14, 1);  // leaves `freeBytes`
        ASSERT_EQ(first % kPageSize, 6u);
        uint32_t page = first / kPageSize;
        uint32_t second = Write(freeBytes - 14 + 1, 2);  // one byte too long to fit whole
        bool startsHere = second / kPageSize == page;
        EXPECT_EQ(startsHere, freeBytes > kPageSize / 2) << freeBytes;
        EXPECT_EQ(second % kPageSize, startsHere ? kPageSize - freeBytes : 6u) << freeBytes;
        EXPECT_EQ(Read(second), std::vector<uint8_t>(freeBytes - 13, 2));
        ASSERT_EQ(engine->CloseFile(fileId), DmsStatus::Success);
        disk.Delete(kPath);
    }
}

// With an area of A bytes holding one entry of e1 bytes, an entry of exactly
// A - e1 bytes is collected beside it; one of A - e1 + 1 bytes makes the load
// insert what it holds first (the entry is never built past the area's end).
TEST_F(ExactLimits, BulkEntryThatJustFitsTheAreaAndOneByteMore) {
    for (uint32_t extra : {0u, 1u}) {
        BulkLimits limits;
        limits.maxEntries = 100;
        limits.areaBytes = 1100 + 1500;
        engine->SetBulkLimits(limits);
        OpenIndexFile(kBinaryIndex);
        ASSERT_EQ(engine->BeginBulkLoad(cursor), DmsStatus::Success);
        // A Binary key of n bytes makes an entry of 12 + n.
        std::vector<uint8_t> a(1100 - 12, 'a'), b(1500 - 12 + extra, 'b');
        KeySegmentValue va{a.data(), static_cast<int32_t>(a.size())};
        KeySegmentValue vb{b.data(), static_cast<int32_t>(b.size())};
        ASSERT_EQ(engine->InsertKey(cursor, &va, {1, 0}), DmsStatus::Success);
        ASSERT_EQ(engine->InsertKey(cursor, &vb, {2, 0}), DmsStatus::Success);
        uint32_t count = 0;
        ASSERT_EQ(engine->GetCount(cursor, &count), DmsStatus::Success);
        EXPECT_EQ(count, extra) << "entries inserted before the end of the load";
        ASSERT_EQ(engine->EndBulkLoad(cursor), DmsStatus::Success);
        ASSERT_EQ(engine->GetCount(cursor, &count), DmsStatus::Success);
        EXPECT_EQ(count, 2u);
        std::vector<uint8_t> out(2000);
        KeySegmentValue vo{out.data(), static_cast<int32_t>(out.size())};
        EntryPosition at;
        ASSERT_EQ(engine->Last(cursor, &vo, &at), DmsStatus::Success);
        EXPECT_EQ(at.ref.first, 2u);
        EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + vo.length), b);
        ASSERT_EQ(engine->CloseFile(fileId), DmsStatus::Success);
        disk.Delete(kPath);
    }
}

// A key entry may take half of a page's entry space, (4096 - 16) / 2 = 2040
// bytes: two such entries fill a leaf to its last byte, a third splits it; an
// entry one byte longer is refused and changes nothing.
TEST_F(ExactLimits, KeyEntryOfHalfAPageAndOneByteMore) {
    OpenIndexFile(kBinaryIndex);
    auto insert = [&](uint32_t entryBytes, char fill, uint32_t ref) {
        std::vector<uint8_t> key(entryBytes - 12, static_cast<uint8_t>(fill));  // 12 + n bytes per entry
        KeySegmentValue v{key.data(), static_cast<int32_t>(key.size())};
        return engine->InsertKey(cursor, &v, {ref, 0});
    };
    IndexStats stats{};
    ASSERT_EQ(insert(2040, 'a', 1), DmsStatus::Success);
    ASSERT_EQ(insert(2040, 'b', 2), DmsStatus::Success);
    ASSERT_EQ(engine->GetIndexStats(cursor, &stats), DmsStatus::Success);
    EXPECT_EQ(stats.levels, 1u);
    EXPECT_EQ(stats.entryBytes + 16, kPageSize);  // the leaf is full to its last byte
    EXPECT_EQ(insert(2041, 'c', 3), DmsStatus::InvalidKeyValues);
    ASSERT_EQ(engine->GetIndexStats(cursor, &stats), DmsStatus::Success);
    EXPECT_EQ(stats.entries, 2u);
    EXPECT_EQ(Verify(kBinaryIndex), DmsStatus::Success);
    ASSERT_EQ(insert(2040, 'c', 3), DmsStatus::Success);
    ASSERT_EQ(engine->GetIndexStats(cursor, &stats), DmsStatus::Success);
    EXPECT_EQ(stats.levels, 2u);
    EXPECT_EQ(stats.entries, 3u);
    EXPECT_EQ(Verify(kBinaryIndex), DmsStatus::Success);
}

TEST_F(ExactLimits, FileOneByteShorterThanItsPage) {
    ASSERT_EQ(engine->CreateFile(kPath, IndexSchema()), DmsStatus::Success);
    std::vector<uint8_t> whole = Bytes();
    ASSERT_EQ(whole.size(), kPageSize);
    int32_t id = 0;
    std::vector<uint8_t> cut(whole.begin(), whole.end() - 1);
    disk.SetContents(kPath, cut);
    EXPECT_EQ(engine->OpenFile(kPath, 2, IndexSchema(), &id), DmsStatus::WrongFile);
    disk.SetContents(kPath, whole);
    EXPECT_EQ(engine->OpenFile(kPath, 2, IndexSchema(), &id), DmsStatus::Success);
}

TEST(SchemaNesting, SixtyFourSectionsOpenAndSixtyFiveAreRefused) {
    for (int depth : {64, 65}) {
        std::string text = "{File {Index Id=1";
        for (int i = 2; i < depth; ++i) text += " {Segment Type=Long";
        text += std::string(static_cast<size_t>(depth), '}');
        FileDescription d;
        EXPECT_EQ(ParseDescription(text, d) == 0, depth == 64) << depth;
    }
}

// A packed (compressed) page moves down at compaction only when at least 16
// free bytes stand before it; with 15 it stays where it is.
TEST_F(ExactLimits, CompactionSkipRuleAtItsEdge) {
    const std::string schema = "{File PageSize=4096 {Record Id=0}}";
    for (uint32_t gap : {15u, 16u}) {
        int32_t id = CreateAndOpen(schema, 1);
        uint32_t c = Cursor(id);
        std::vector<uint32_t> positions;
        for (int i = 0; i < 12; ++i) {
            std::string text(3000, static_cast<char>('a' + i));
            uint32_t at = 0;
            ASSERT_EQ(engine->WriteData(c, text.data(), 3000, &at), DmsStatus::Success);
            positions.push_back(at);
        }
        ASSERT_EQ(engine->Compact(c), DmsStatus::Success);
        ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);

        // Open a gap before a compressed page in the middle of the file:
        // every stored byte from it on moves up by `gap`.
        std::vector<uint8_t> b = Bytes();
        const uint32_t perPage = (kPageSize - 16) / 16;
        uint32_t pat = LoadU32(b.data() + 20);
        ASSERT_LT(LoadU32(b.data() + 28), perPage) << "one table page";
        uint32_t page = positions[6] / kPageSize;
        size_t entry = pat + 16 + page * 16;
        ASSERT_TRUE(LoadU16(b.data() + entry + 6) & 2);
        uint32_t from = LoadU32(b.data() + entry);
        b.insert(b.begin() + from, gap, 0);
        if (pat >= from) pat += gap;
        StoreU32(b.data() + 20, pat);
        uint32_t before = 0;  // the page stored last before `from`
        for (uint32_t n = 0; n <= LoadU32(b.data() + 28); ++n) {
            uint8_t* e = b.data() + pat + 16 + n * 16;
            uint32_t at = LoadU32(e);
            if (at == 0xFFFFFFFF) continue;
            if (at >= from) StoreU32(e, at + gap);
            if (at < from && at >= LoadU32(b.data() + pat + 16 + before * 16)) before = n;
        }
        uint8_t* b16 = b.data() + pat + 16 + before * 16 + 12;
        StoreU32(b16, LoadU32(b16) + gap);
        disk.SetContents(kPath, b);

        ASSERT_EQ(engine->OpenFile(kPath, 1, schema, &id), DmsStatus::Success);
        c = Cursor(id);
        ASSERT_EQ(engine->Compact(c), DmsStatus::Success);
        PageAllocationTable::Entry e;
        ASSERT_TRUE(engine->FindFile(id)->Pat().Find(page, e));
        EXPECT_EQ(e.position, gap < 16 ? from + gap : from) << gap;
        for (size_t i = 0; i < positions.size(); ++i) {
            std::vector<uint8_t> back(3000);
            uint32_t count = 3000;
            ASSERT_EQ(engine->ReadData(c, positions[i], back.data(), &count), DmsStatus::Success);
            EXPECT_EQ(back, std::vector<uint8_t>(3000, static_cast<uint8_t>('a' + i)));
        }
        ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
        disk.Delete(kPath);
    }
}

// A leaf whose next (or previous) link skips a neighbour its parent names:
// a scan never passes over the skipped leaf silently.
TEST_F(ExactLimits, LeafLinksThatDisagreeWithTheirParents) {
    OpenIndexFile(kLongIndex);
    for (int32_t i = 0; i < 3000; ++i) ASSERT_EQ(InsertLong(i, static_cast<uint32_t>(i)), DmsStatus::Success);
    ASSERT_EQ(engine->CloseFile(fileId), DmsStatus::Success);
    std::vector<uint8_t> clean = Bytes();
    uint32_t root = LoadU32(clean.data() + 48 + 12);
    const uint8_t* r = clean.data() + root * kPageSize;
    ASSERT_EQ(LoadU16(r + 4), 0x314B) << "a root above the leaves";
    // The first three leaves, in their parent's order.
    uint32_t leaf[3];
    for (uint32_t i = 0, at = 16; i < 3; ++i, at += LoadU16(r + at)) leaf[i] = LoadU32(r + at + 2);
    for (bool forward : {true, false}) {
        std::vector<uint8_t> b = clean;
        if (forward) {
            StoreU32(b.data() + leaf[0] * kPageSize + 8, leaf[2]);   // next of the first: the third
        } else {
            StoreU32(b.data() + leaf[2] * kPageSize + 12, leaf[0]);  // previous of the third: the first
        }
        disk.SetContents(kPath, b);
        ASSERT_EQ(engine->OpenFile(kPath, 2, schema, &fileId), DmsStatus::Success);
        cursor = Cursor(fileId);
        ASSERT_EQ(engine->SelectIndex(cursor, kLongIndex), DmsStatus::Success);
        LongOut out;
        EntryPosition at;
        int32_t expected = 0;
        DmsStatus st;
        if (forward) {
            st = engine->First(cursor, out.values, &at);
            for (; st == DmsStatus::Success; st = engine->Next(cursor, out.values, &at)) EXPECT_EQ(out.v, expected++);
        } else {
            // Start on the third leaf's first key and step back.
            uint32_t firstOfThird = 0;
            for (uint32_t k = 0; k < 2; ++k) firstOfThird += LoadU16(b.data() + leaf[k] * kPageSize + 6);
            LongKey key(static_cast<int32_t>(firstOfThird));
            expected = static_cast<int32_t>(firstOfThird);
            st = engine->Seek(cursor, key.values, out.values, &at);
            for (; st == DmsStatus::Success; st = engine->Prev(cursor, out.values, &at)) EXPECT_EQ(out.v, expected--);
        }
        EXPECT_EQ(st, DmsStatus::IntegrityBroken) << forward;
        ASSERT_EQ(engine->CloseFile(fileId), DmsStatus::Success);
    }
}

}  // namespace
