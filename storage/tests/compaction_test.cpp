// Compaction: the file shrinks, pages are stored compressed where that is
// smaller, every key and data block reads back, the verifier passes; damaged
// compressed pages give 255; a cancel at any progress call leaves a readable
// file; the file is cut at the used end also when that is a whole page.
#include "storage/compaction.h"
#include "storage/data_blocks.h"
#include "storage/index_tree.h"
#include "storage/structure_verifier.h"
#include "storage/tests/edict_keys.h"
#include "storage/tests/index_test_support.h"

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr int32_t kKeys = 2;
const std::string kSchema =
    "{File PageSize=4096 PreAllocate=64 {Record Id=0}"
    " {Index Id=2 {Segment Type=UString Sort=WK} {Segment Type=UString}}}";

// What a file holds, as read through the engine.
struct Snapshot {
    std::vector<std::tuple<std::u16string, std::u16string, uint32_t>> keys;
    std::vector<std::vector<uint8_t>> blocks;
    friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

struct Counted {
    int32_t calls = 0;
    int32_t cancelAt = -1;  // the call that answers "stop"
    int32_t last = -1;
};

bool CountingProgress(void* context, int32_t perMille) {
    auto* c = static_cast<Counted*>(context);
    EXPECT_GE(perMille, c->last);
    c->last = perMille;
    return c->calls++ != c->cancelAt;
}

}  // namespace

class CompactionTest : public EngineTest {
protected:
    // A mode-1 file with `keyCount` EDICT pairs (synthetic ones without
    // EDICT), compressible text blocks and incompressible random blocks of
    // `randomBytes` each.
    void Build(size_t keyCount, int textBlocks, int randomBlocks, uint32_t randomBytes = 3000) {
        static const std::vector<ReadingAndWord> edict = LoadEdictKeys(4000);
        std::vector<ReadingAndWord> pairs(edict.begin(), edict.begin() + std::min(keyCount, edict.size()));
        for (size_t i = pairs.size(); i < keyCount; ++i)
            pairs.emplace_back(u"key" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)), u"w");
        int32_t id = CreateAndOpen(kSchema, 1);
        uint32_t c = Cursor(id);
        if (keyCount > 0) {
            ASSERT_EQ(engine->SelectIndex(c, kKeys), DmsStatus::Success);
            ASSERT_EQ(engine->BeginBulkLoad(c), DmsStatus::Success);
            for (size_t i = 0; i < pairs.size(); ++i) {
                TextPairKey key(pairs[i].first, pairs[i].second);
                ASSERT_EQ(engine->InsertKey(c, key.values, {static_cast<uint32_t>(i), 0}), DmsStatus::Success);
            }
            ASSERT_EQ(engine->EndBulkLoad(c), DmsStatus::Success);
        }
        std::mt19937 random(5);
        for (int b = 0; b < textBlocks + randomBlocks; ++b) {
            std::vector<uint8_t> bytes;
            if (b < textBlocks) {
                std::string text = "article " + std::to_string(b) + ": ";
                while (text.size() < 700 + 37u * b) text += "a word and its reading, translated; ";
                bytes.assign(text.begin(), text.end());
            } else {
                for (uint32_t i = 0; i < randomBytes; ++i) bytes.push_back(static_cast<uint8_t>(random()));
            }
            uint32_t position = 0;
            ASSERT_EQ(engine->WriteData(c, bytes.data(), static_cast<uint32_t>(bytes.size()), &position),
                      DmsStatus::Success);
            positions.push_back(position);
        }
        ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
    }

    // Opens read-only, checks the structure, and reads everything.
    Snapshot Read() {
        Snapshot s;
        int32_t id = 0;
        EXPECT_EQ(engine->OpenFile(kPath, 2, kSchema, &id), DmsStatus::Success);
        if (id == 0) return s;
        VerifyReport report = VerifyFile(*engine->FindFile(id));
        EXPECT_TRUE(report.ok()) << report.faults.front();
        EXPECT_EQ(VerifyIndex(*engine->FindFile(id), kKeys), DmsStatus::Success);
        uint32_t c = Cursor(id);
        EXPECT_EQ(engine->SelectIndex(c, kKeys), DmsStatus::Success);
        TextPairOut out;
        EntryPosition at;
        DmsStatus st = engine->First(c, out.values, &at);
        while (st == DmsStatus::Success) {
            s.keys.emplace_back(out.First(), out.Second(), at.ref.first);
            out.Reset();
            st = engine->Next(c, out.values, &at);
        }
        EXPECT_TRUE(st == DmsStatus::EndOfFile || st == DmsStatus::RecordNotFound) << StatusCode(st);
        for (uint32_t position : positions) {
            std::vector<uint8_t> buffer(70000);
            uint32_t count = static_cast<uint32_t>(buffer.size());
            EXPECT_EQ(engine->ReadData(c, position, buffer.data(), &count), DmsStatus::Success);
            buffer.resize(count);
            s.blocks.push_back(std::move(buffer));
        }
        EXPECT_EQ(engine->CloseFile(id), DmsStatus::Success);
        return s;
    }

    DmsStatus CompactWith(Counted* progress, uint32_t runPages = 500) {
        int32_t id = 0;
        DmsStatus opened = engine->OpenFile(kPath, 1, kSchema, &id);
        if (Failed(opened)) return opened;
        DmsStatus st = CompactFile(*engine->FindFile(id), progress ? &CountingProgress : nullptr, progress, runPages);
        DmsStatus closed = engine->CloseFile(id);
        return Failed(st) ? st : closed;
    }

    // {page, PAT entry} of every placed page, read from the open file.
    std::vector<std::pair<uint32_t, PageAllocationTable::Entry>> Entries() {
        std::vector<std::pair<uint32_t, PageAllocationTable::Entry>> out;
        int32_t id = 0;
        EXPECT_EQ(engine->OpenFile(kPath, 2, kSchema, &id), DmsStatus::Success);
        DMSFile& f = *engine->FindFile(id);
        for (const auto& placed : f.Pat().PositionMap()) {
            PageAllocationTable::Entry e;
            EXPECT_TRUE(f.Pat().Find(placed.page, e));
            out.emplace_back(placed.page, e);
        }
        used = f.UsedEnd();
        EXPECT_EQ(engine->CloseFile(id), DmsStatus::Success);
        return out;
    }

    std::vector<uint32_t> positions;
    uint64_t used = 0;
};

TEST_F(CompactionTest, ShrinksAndEverythingReadsBack) {
    Build(4000, 40, 4, 9000);
    Snapshot before = Read();
    ASSERT_EQ(before.keys.size(), 4000u);
    size_t sizeBefore = Bytes().size();
    Counted progress;
    ASSERT_EQ(CompactWith(&progress), DmsStatus::Success);
    EXPECT_EQ(progress.last, 1000);
    EXPECT_TRUE(Read() == before);
    size_t sizeAfter = Bytes().size();
    EXPECT_LE(sizeAfter * 3, sizeBefore);  // 28 of 84 pages at the engine's compression level
    EXPECT_EQ(sizeAfter % 4096, 0u);

    // Pages that compress are stored compressed; the random blocks' pages
    // are not, and did not fail the compaction.
    int compressed = 0, whole = 0;
    for (const auto& [page, e] : Entries()) {
        if (page == 0) continue;
        bool isCompressed = (e.flags & PageAllocationTable::kFlagCompressed) != 0;
        EXPECT_EQ(isCompressed, e.storedLength < 4096u) << page;
        (isCompressed ? compressed : whole) += 1;
    }
    EXPECT_GT(compressed, 10);
    EXPECT_GE(whole, 3);  // the random data pages and the table
    EXPECT_EQ(sizeAfter, (used + 4095) / 4096 * 4096);

    // A second compaction of a compacted file changes nothing it reads.
    ASSERT_EQ(CompactWith(nullptr), DmsStatus::Success);
    EXPECT_TRUE(Read() == before);
    EXPECT_LE(Bytes().size(), sizeAfter);
}

// Random blocks that fill their pages exactly: nothing compresses, so the
// used end is a whole number of pages, and the preallocated tail still goes.
TEST_F(CompactionTest, FileIsCutWhenTheUsedEndIsAWholePage) {
    Build(0, 0, 5, 4096 - 6 - 14);
    Snapshot before = Read();
    ASSERT_EQ(Bytes().size(), 64u * 4096);
    ASSERT_EQ(CompactWith(nullptr), DmsStatus::Success);
    Entries();
    EXPECT_EQ(used % 4096, 0u);
    EXPECT_EQ(Bytes().size(), used);
    EXPECT_LT(Bytes().size(), 64u * 4096);
    EXPECT_TRUE(Read() == before);
}

// A cancel at each progress call in turn (small runs, so cancels fall in
// the middle of runs and between them): 43, and the file reads as before;
// a later full compaction still succeeds.
TEST_F(CompactionTest, CancelAtEveryProgressCallLeavesAReadableFile) {
    Build(1500, 12, 2);
    Snapshot before = Read();
    std::vector<uint8_t> original = Bytes();
    Counted all;
    ASSERT_EQ(CompactWith(&all, 7), DmsStatus::Success);
    ASSERT_GT(all.calls, 15);
    for (int32_t k = 0; k < all.calls - 1; ++k) {
        disk.SetContents(kPath, original);
        Counted cancel;
        cancel.cancelAt = k;
        ASSERT_EQ(CompactWith(&cancel, 7), DmsStatus::Cancelled) << "cancel at call " << k;
        ASSERT_TRUE(Read() == before) << "cancel at call " << k;
        if (HasFailure()) return;
    }
    ASSERT_EQ(CompactWith(nullptr, 7), DmsStatus::Success);
    EXPECT_TRUE(Read() == before);
}

// Damaged stored forms of a compressed page give 255 when the page is read.
class DamagedCompressedPage : public CompactionTest, public ::testing::WithParamInterface<int> {};

TEST_P(DamagedCompressedPage, ReadGives255) {
    Build(3000, 0, 0);
    ASSERT_EQ(CompactWith(nullptr), DmsStatus::Success);
    uint32_t page = 0;
    PageAllocationTable::Entry entry;
    for (const auto& [n, e] : Entries()) {
        if (n != 0 && (e.flags & PageAllocationTable::kFlagCompressed)) {
            page = n;
            entry = e;
        }
    }
    ASSERT_NE(page, 0u);
    std::vector<uint8_t> bytes = Bytes();
    uint8_t* stored = bytes.data() + entry.position;
    uint32_t c = storage::LoadU16(stored + 10);
    switch (GetParam()) {
    case 0: stored[14 + c / 2] ^= 0x5A; break;                    // inside the stream
    case 1: stored[14 + c - 1] ^= 0xFF; break;                    // the stream's checksum
    case 2: storage::StoreU32(stored, page + 1); break;           // another page's number
    case 3: storage::StoreU16(stored + 10, static_cast<uint16_t>(c + 200)); break;  // c past the stored length
    case 4: storage::StoreU16(stored + 10, static_cast<uint16_t>(c / 2)); break;    // the stream cut short
    }
    disk.SetContents(kPath, bytes);
    int32_t id = 0;
    ASSERT_EQ(engine->OpenFile(kPath, 2, kSchema, &id), DmsStatus::Success);
    std::vector<uint8_t> image(4096);
    EXPECT_EQ(engine->FindFile(id)->ReadPage(page, image), DmsStatus::PageNotStored);
    // Through the engine: a full walk meets the page and reports 255.
    uint32_t cursor = Cursor(id);
    ASSERT_EQ(engine->SelectIndex(cursor, kKeys), DmsStatus::Success);
    TextPairOut out;
    DmsStatus st = engine->First(cursor, out.values, nullptr);
    while (st == DmsStatus::Success) {
        out.Reset();
        st = engine->Next(cursor, out.values, nullptr);
    }
    EXPECT_EQ(st, DmsStatus::PageNotStored);
    EXPECT_EQ(engine->CloseFile(id), DmsStatus::Success);
}

INSTANTIATE_TEST_SUITE_P(Damage, DamagedCompressedPage, ::testing::Range(0, 5));

// A compacted file is an ordinary file afterwards: journaled changes go in
// (pages grow back to whole pages and move), and it compacts again.
TEST_F(CompactionTest, CompactedFileTakesJournaledChanges) {
    Build(2000, 10, 1);
    ASSERT_EQ(CompactWith(nullptr), DmsStatus::Success);
    ASSERT_EQ(Read().keys.size(), 2000u);
    int32_t id = 0;
    ASSERT_EQ(engine->OpenFile(kPath, 0, kSchema, &id), DmsStatus::Success);
    uint32_t c = Cursor(id);
    ASSERT_EQ(engine->SelectIndex(c, kKeys), DmsStatus::Success);
    for (uint32_t i = 0; i < 300; ++i) {
        TextPairKey key(u"\u3042" + std::u16string(1, static_cast<char16_t>(u'\u3041' + i % 80)), u"new");
        ASSERT_EQ(engine->InsertKey(c, key.values, {100000 + i, 0}), DmsStatus::Success);
    }
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
    Snapshot after = Read();
    EXPECT_EQ(after.keys.size(), 2300u);
    ASSERT_EQ(CompactWith(nullptr), DmsStatus::Success);
    EXPECT_TRUE(Read() == after);
}
