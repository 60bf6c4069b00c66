// Damage never spreads. Real engine files (EDICT keys and articles, plain and
// compacted) are damaged one class at a time, then a whole session runs on
// them: open, read every block, seek every key, scan the index, verify; open
// for writing, write, insert, delete, free, close; reopen and read again.
// Every call must answer 0 or the status the damage class documents; a 0
// must come with the original bytes and record reference; everything the
// damage did not touch reads back exactly as before, also after the writes;
// and the structure verifier must report the damage.
#include "storage/byte_order.h"
#include "storage/structure_verifier.h"
#include "storage/tests/edict_keys.h"
#include "storage/tests/index_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <zlib.h>

namespace {

constexpr uint32_t kPageSize = 4096;
constexpr uint32_t kNone = 0xFFFFFFFF;
const std::string kSchema =
    "{File PageSize=4096 {Record Id=0} {Index Id=2 {Segment Type=UString Sort=WK} {Segment Type=UString}}}";
constexpr int32_t kKeys = 2;

// Two whole pages of data and 3,000 bytes.
constexpr uint32_t kSameShapeBytes = 2 * (kPageSize - 20) + 3000;

using storage::LoadU16;
using storage::LoadU32;
using storage::StoreU16;
using storage::StoreU32;

struct Block {
    uint32_t position;
    std::vector<uint8_t> bytes;
};

// The original file and what it holds.
struct Original {
    std::vector<uint8_t> file;
    std::vector<ReadingAndWord> keys;  // key i has RecordRef {i, 7}
    std::vector<Block> blocks;
};

// What one damage did: the blocks and keys it may make unreadable and the
// statuses those may give (besides 0 with the original content).
struct Damage {
    std::set<size_t> blocks;
    std::set<size_t> keys;
    std::set<DmsStatus> statuses;
    bool verifierSees = true;
};

std::vector<uint8_t> EdictArticle(const std::vector<ReadingAndWord>& keys, size_t i, size_t bytes) {
    std::string text = "article " + std::to_string(i) + ":";
    for (size_t k = i; text.size() < bytes; k = (k + 7) % keys.size()) {
        for (char16_t c : keys[k].second + u"[" + keys[k].first + u"]/") {
            text += static_cast<char>(c & 0xFF);
            text += static_cast<char>(c >> 8);
        }
    }
    text.resize(bytes);
    return {text.begin(), text.end()};
}

class DamageSuite : public EngineTest, public ::testing::WithParamInterface<bool> {
protected:
    bool Compacted() const { return GetParam(); }

    void SetUp() override {
        EngineTest::SetUp();
        std::vector<ReadingAndWord> all = LoadEdictKeys(2400);
        std::set<ReadingAndWord> seen;
        for (ReadingAndWord& k : all) {
            if (seen.insert(k).second) original.keys.push_back(std::move(k));
        }
        for (size_t i = original.keys.size(); original.keys.size() < 1500; ++i)
            original.keys.emplace_back(u"key" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) +
                                           std::u16string(i / 26 + 1, u'x'),
                                       u"w");
        int32_t id = CreateAndOpen(kSchema, 1);
        uint32_t c = Cursor(id);
        ASSERT_EQ(engine->SelectIndex(c, kKeys), DmsStatus::Success);
        for (size_t i = 0; i < original.keys.size(); ++i) {
            TextPairKey key(original.keys[i].first, original.keys[i].second);
            ASSERT_EQ(engine->InsertKey(c, key.values, {static_cast<uint32_t>(i), 7}), DmsStatus::Success);
        }
        for (size_t i = 0; i < 90; ++i) {
            // Short articles, and every seventh spanning two or three pages.
            size_t n = i % 7 == 3 ? 5000 + 1700 * (i % 3) : 60 + (i * 37) % 900;
            Block b{0, EdictArticle(original.keys, i, n)};
            ASSERT_EQ(engine->WriteData(c, b.bytes.data(), static_cast<uint32_t>(n), &b.position), DmsStatus::Success);
            original.blocks.push_back(std::move(b));
        }
        // Blocks of one shape that end in a page they leave less than half
        // free when they start on a new one: from the third on (whatever the
        // page before left free) each starts on a new page and cuts its chunks
        // alike, so a link from one into the next passes every check of
        // lengths and totals.
        for (size_t i = 0; i < 4; ++i) {
            Block b{0, EdictArticle(original.keys, 90 + i, kSameShapeBytes)};
            ASSERT_EQ(engine->WriteData(c, b.bytes.data(), kSameShapeBytes, &b.position), DmsStatus::Success);
            original.blocks.push_back(std::move(b));
        }
        if (Compacted()) {
            ASSERT_EQ(engine->Compact(c), DmsStatus::Success);
        }
        ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
        original.file = Bytes();
    }

    // Where page `n` is stored in `file` (through the table when there is one).
    static uint32_t PlaceOf(const std::vector<uint8_t>& file, uint32_t n) {
        uint32_t pat = U32At(file, 20);
        if (pat == 0 || pat == kNone) return n * kPageSize;
        return U32At(file, PatEntryAt(file, n));
    }
    static size_t PatEntryAt(const std::vector<uint8_t>& file, uint32_t n) {
        const uint32_t perPage = (kPageSize - 16) / 16;
        uint32_t at = U32At(file, 20);
        for (uint32_t k = 0; k < n / perPage; ++k) at = U32At(file, at + 8);
        return at + 16 + (n % perPage) * 16;
    }
    // A page image as the file stores it, expanded when compressed.
    std::vector<uint8_t> PageImage(uint32_t n) const {
        const std::vector<uint8_t>& file = original.file;
        uint32_t at = PlaceOf(file, n);
        std::vector<uint8_t> image(file.begin() + at, file.begin() + at + 14);
        if (LoadU32(image.data() + 6) != 0xFFFFFFFE) return {file.begin() + at, file.begin() + at + kPageSize};
        image.resize(kPageSize);
        uLongf expanded = kPageSize - 6;
        EXPECT_EQ(uncompress(image.data() + 6, &expanded, file.data() + at + 14, LoadU16(file.data() + at + 10)), Z_OK);
        return image;
    }
    // The chunk positions of block i, read from the original file.
    std::vector<uint32_t> Chunks(size_t i) const {
        std::vector<uint32_t> chunks;
        for (uint32_t at = original.blocks[i].position; at != 0;) {
            chunks.push_back(at);
            std::vector<uint8_t> page = PageImage(at / kPageSize);
            const uint8_t* head = page.data() + at % kPageSize;
            at = (head[9] & 2) ? 0 : LoadU32(head + 10);
        }
        return chunks;
    }
    std::set<size_t> BlocksOnPage(uint32_t n) const {
        std::set<size_t> on;
        for (size_t i = 0; i < original.blocks.size(); ++i) {
            for (uint32_t at : Chunks(i))
                if (at / kPageSize == n) on.insert(i);
        }
        return on;
    }
    // The root's second child, which must be a leaf: its page number, with
    // every key it holds marked as touched by `damage`.
    void SecondLeafOfTheRoot(uint32_t& leaf, Damage& damage) const {
        std::vector<uint8_t> rootPage = PageImage(U32At(original.file, 48 + 12));
        ASSERT_NE(LoadU16(rootPage.data() + 4), 0x304B) << "the index needs a branch level";
        uint32_t firstLength = LoadU16(rootPage.data() + 16);
        leaf = LoadU32(rootPage.data() + 16 + firstLength + 2);
        std::vector<uint8_t> page = PageImage(leaf);
        ASSERT_EQ(LoadU16(page.data() + 4), 0x304B) << "the root's children are leaves";
        for (uint32_t i = 0, at = 16; i < LoadU16(page.data() + 6); ++i, at += LoadU16(page.data() + at))
            damage.keys.insert(LoadU32(page.data() + at + 2));
    }
    // Changes a chunk head field of an uncompressed stored page (plain files).
    void PutChunkU32(std::vector<uint8_t>& file, uint32_t chunk, uint32_t field, uint32_t value) {
        StoreU32(file.data() + PlaceOf(file, chunk / kPageSize) + chunk % kPageSize + field, value);
    }

    // The whole session on `damaged`, checked against `damage`.
    void RunSession(const std::vector<uint8_t>& damaged, const Damage& damage) {
        freedOk = deletedOk = false;
        deletedKey = freedBlock = kNone;
        disk.SetContents(kPath, damaged);
        disk.Delete(u"C:\\Dictionaries\\test.trn");
        CheckReads(damage, "damaged file", true);
        if (HasFatalFailure()) return;

        // Writing: every change answers 0 or a documented status.
        int32_t id = 0;
        ASSERT_EQ(engine->OpenFile(kPath, 0, kSchema, &id), DmsStatus::Success);
        uint32_t c = Cursor(id);
        ASSERT_EQ(engine->SelectIndex(c, kKeys), DmsStatus::Success);
        auto allowed = [&](DmsStatus st) { return st == DmsStatus::Success || damage.statuses.count(st) > 0; };
        std::vector<uint8_t> fresh = EdictArticle(original.keys, 500, 6000);
        uint32_t freshAt = 0;
        DmsStatus wrote = engine->WriteData(c, fresh.data(), static_cast<uint32_t>(fresh.size()), &freshAt);
        EXPECT_TRUE(allowed(wrote)) << "write gave " << StatusCode(wrote);
        TextPairKey added(u"ダメージ", u"損傷");
        DmsStatus inserted = engine->InsertKey(c, added.values, {90000, 7});
        EXPECT_TRUE(allowed(inserted)) << "insert gave " << StatusCode(inserted);
        deletedKey = FirstUntouched(damage.keys, original.keys.size(), 11);
        TextPairKey gone(original.keys[deletedKey].first, original.keys[deletedKey].second);
        DmsStatus sought = engine->Seek(c, gone.values, nullptr, nullptr);
        EXPECT_TRUE(allowed(sought)) << "seek before delete gave " << StatusCode(sought);
        DmsStatus deleted = Failed(sought) ? sought : engine->DeleteCurrent(c);
        EXPECT_TRUE(allowed(deleted)) << "delete gave " << StatusCode(deleted);
        freedBlock = FirstUntouched(damage.blocks, original.blocks.size(), 5);
        DmsStatus freed = engine->FreeData(c, original.blocks[freedBlock].position);
        EXPECT_TRUE(allowed(freed)) << "free gave " << StatusCode(freed);
        // Damaged blocks are freed too: a free checks the whole chain first.
        for (size_t b : damage.blocks) {
            DmsStatus st = engine->FreeData(c, original.blocks[b].position);
            EXPECT_TRUE(allowed(st) || st == DmsStatus::InvalidParameter) << "free of damaged block " << b;
        }
        EXPECT_EQ(engine->CloseFile(id), DmsStatus::Success);

        freedOk = !Failed(freed);
        deletedOk = !Failed(deleted);
        CheckReads(damage, "after writing", false);
        if (!Failed(wrote)) ExpectBlock(freshAt, fresh, "the new block");
        if (!Failed(inserted)) ExpectKey(added, 90000, "the new key");
    }

    static size_t FirstUntouched(const std::set<size_t>& touched, size_t count, size_t from) {
        for (size_t i = from; i < count; ++i)
            if (!touched.count(i)) return i;
        return 0;
    }

    void ExpectBlock(uint32_t position, const std::vector<uint8_t>& bytes, const std::string& what) {
        int32_t id = 0;
        ASSERT_EQ(engine->OpenFile(kPath, 2, kSchema, &id), DmsStatus::Success);
        uint32_t c = Cursor(id);
        std::vector<uint8_t> read(bytes.size());
        uint32_t count = static_cast<uint32_t>(read.size());
        EXPECT_EQ(engine->ReadData(c, position, read.data(), &count), DmsStatus::Success) << what;
        EXPECT_EQ(read, bytes) << what;
        engine->CloseFile(id);
    }

    void ExpectKey(TextPairKey& key, uint32_t first, const std::string& what) {
        int32_t id = 0;
        ASSERT_EQ(engine->OpenFile(kPath, 2, kSchema, &id), DmsStatus::Success);
        uint32_t c = Cursor(id);
        ASSERT_EQ(engine->SelectIndex(c, kKeys), DmsStatus::Success);
        EntryPosition at;
        EXPECT_EQ(engine->Seek(c, key.values, nullptr, &at), DmsStatus::Success) << what;
        EXPECT_EQ(at.ref.first, first) << what;
        engine->CloseFile(id);
    }

    // Reads every block and key of the original in a read-only open.
    void CheckReads(const Damage& damage, const std::string& when, bool verify) {
        int32_t id = 0;
        ASSERT_EQ(engine->OpenFile(kPath, 2, kSchema, &id), DmsStatus::Success) << when;
        uint32_t c = Cursor(id);
        auto allowed = [&](DmsStatus st) { return damage.statuses.count(st) > 0; };
        for (size_t i = 0; i < original.blocks.size(); ++i) {
            const Block& b = original.blocks[i];
            bool touched = damage.blocks.count(i) > 0;
            bool freedHere = i == freedBlock && freedOk;
            DmsStatus expected = freedHere ? DmsStatus::Deleted : DmsStatus::Success;
            uint32_t total = 0;
            DmsStatus st = engine->ReadData(c, b.position, nullptr, &total);
            if (st == expected) {
                EXPECT_EQ(total, b.bytes.size()) << when << ": total of block " << i;
            } else {
                EXPECT_TRUE(touched && allowed(st)) << when << ": total of block " << i << " gave " << StatusCode(st);
            }
            std::vector<uint8_t> read(b.bytes.size() + 64, 0xCC);
            uint32_t count = static_cast<uint32_t>(read.size());
            st = engine->ReadData(c, b.position, read.data(), &count);
            if (st == expected) {
                read.resize(count);
                EXPECT_EQ(read, b.bytes) << when << ": block " << i << (touched ? " (damaged)" : "");
            } else {
                EXPECT_TRUE(touched && allowed(st)) << when << ": block " << i << " gave " << StatusCode(st);
            }
        }
        ASSERT_EQ(engine->SelectIndex(c, kKeys), DmsStatus::Success);
        for (size_t i = 0; i < original.keys.size(); ++i) {
            TextPairKey key(original.keys[i].first, original.keys[i].second);
            TextPairOut out;
            EntryPosition at;
            DmsStatus st = engine->Seek(c, key.values, out.values, &at);
            bool touched = damage.keys.count(i) > 0;
            bool deletedHere = i == deletedKey && deletedOk;
            if (deletedHere) {
                EXPECT_TRUE(st == DmsStatus::RecordNotFound || (touched && allowed(st))) << when << ": deleted key";
            } else if (st == DmsStatus::Success) {
                EXPECT_EQ(at.ref, (RecordRef{static_cast<uint32_t>(i), 7})) << when << ": key " << i;
                EXPECT_EQ(out.Second(), original.keys[i].second) << when << ": key " << i;
            } else {
                EXPECT_TRUE(touched && allowed(st)) << when << ": key " << i << " gave " << StatusCode(st);
            }
        }
        // A scan in key order: every entry it gives before it stops is an
        // original one, in the original's order.
        std::set<uint32_t> scanned;
        TextPairOut out;
        EntryPosition at;
        DmsStatus st = engine->First(c, out.values, &at);
        while (st == DmsStatus::Success) {
            EXPECT_TRUE(at.ref.second == 7 && (at.ref.first < original.keys.size() || at.ref.first == 90000))
                << when << ": scan gave " << at.ref.first;
            scanned.insert(at.ref.first);
            out.Reset();
            st = engine->Next(c, out.values, &at);
        }
        EXPECT_TRUE(st == DmsStatus::EndOfFile || (!damage.keys.empty() && allowed(st)))
            << when << ": scan ended with " << StatusCode(st);
        if (verify) {
            VerifyReport report = VerifyFile(*engine->FindFile(id));
            std::string problem;
            DmsStatus index = VerifyIndex(*engine->FindFile(id), kKeys, &problem);
            bool found = !report.ok() || Failed(index);
            EXPECT_EQ(found, damage.verifierSees) << when << ": " << (report.ok() ? problem : report.faults.front());
        }
        EXPECT_EQ(engine->CloseFile(id), DmsStatus::Success);
    }

    Original original;
    size_t deletedKey = kNone;
    size_t freedBlock = kNone;
    bool freedOk = false;
    bool deletedOk = false;
};

TEST_P(DamageSuite, UndamagedFilePassesTheSession) { RunSession(original.file, Damage{{}, {}, {}, false}); }

// A header whose last-page field points back into pages in use: a new page
// would overwrite one. Nothing may be handed out there.
TEST_P(DamageSuite, NextFreePageInsidePagesInUse) {
    std::vector<uint8_t> damaged = original.file;
    StoreU32(damaged.data() + 28, 2);
    Damage damage{{}, {}, {DmsStatus::IntegrityBroken}, true};
    RunSession(damaged, damage);
}

// Data chains that revisit a chunk, run into another block's chunk, or
// carry a forged total: never 0 with wrong bytes; a free marks nothing.
TEST_P(DamageSuite, DataChains) {
    if (Compacted()) GTEST_SKIP() << "chunk heads are edited in place in plain files";
    std::vector<size_t> multi;
    for (size_t i = 0; i < original.blocks.size(); ++i)
        if (Chunks(i).size() >= 3) multi.push_back(i);
    ASSERT_GE(multi.size(), 2u);
    size_t x = multi[0], y = multi[1];
    std::vector<uint32_t> cx = Chunks(x), cy = Chunks(y);
    size_t single = 0;
    while (Chunks(single).size() != 1) ++single;
    const size_t sameFirst = original.blocks.size() - 2;
    const std::vector<uint32_t> same[2] = {Chunks(sameFirst), Chunks(sameFirst + 1)};
    ASSERT_EQ(same[0].size(), 3u);
    ASSERT_EQ(same[1].size(), 3u);
    ASSERT_EQ(same[0][0] % kPageSize, 6u);
    ASSERT_EQ(same[1][0] % kPageSize, 6u);
    struct Case {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
        std::set<size_t> touched;
    };
    const Case cases[] = {
        {"a chunk that links to itself", [&](auto& f) { PutChunkU32(f, cx[1], 10, cx[1]); }, {x}},
        {"a chunk that links back to the first", [&](auto& f) { PutChunkU32(f, cx[1], 10, cx[0]); }, {x}},
        {"a chain into another block's middle", [&](auto& f) { PutChunkU32(f, cx[0], 10, cy[1]); }, {x}},
        {"a chain into another block's start", [&](auto& f) { PutChunkU32(f, cx[1], 10, cy[0]); }, {x}},
        {"a forged larger total", [&](auto& f) { PutChunkU32(f, cx[0], 4, static_cast<uint32_t>(original.blocks[x].bytes.size() + 4076)); }, {x}},
        {"a forged smaller total", [&](auto& f) { PutChunkU32(f, original.blocks[single].position, 4, 3); }, {single}},
        // Blocks of one shape: the link lands where the other block's own
        // chain goes on, with the bytes still missing; only whose chunk it is
        // tells them apart. A free of either must leave the other whole.
        {"a chain into the same place of a block of its shape",
         [&](auto& f) { PutChunkU32(f, same[0][1], 10, same[1][2]); }, {sameFirst}},
        {"a chain back into an earlier block of its shape",
         [&](auto& f) { PutChunkU32(f, same[1][0], 10, same[0][1]); }, {sameFirst + 1}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        std::vector<uint8_t> damaged = original.file;
        k.damage(damaged);
        RunSession(damaged, Damage{k.touched, {}, {DmsStatus::IntegrityBroken}, true});
        if (HasFailure()) break;
    }
}

// A leaf whose entry count is one less than its parent counts for it: the
// last entry would vanish and ordinals shift. Its keys give 100, the others
// read as before.
TEST_P(DamageSuite, KeyPageCountDisagreesWithItsParent) {
    if (Compacted()) GTEST_SKIP() << "key pages are edited in place in plain files";
    Damage damage{{}, {}, {DmsStatus::IntegrityBroken}, true};
    uint32_t child = 0;
    ASSERT_NO_FATAL_FAILURE(SecondLeafOfTheRoot(child, damage));
    std::vector<uint8_t> damaged = original.file;
    uint8_t* count = damaged.data() + PlaceOf(damaged, child) + 6;
    StoreU16(count, static_cast<uint16_t>(LoadU16(count) - 1));
    RunSession(damaged, damage);
}

// A leaf whose first two keys changed places: scans would answer out of
// order and seeks land on the wrong entry. Its keys give 100, the others
// read as before.
TEST_P(DamageSuite, LeafKeysOutOfOrder) {
    if (Compacted()) GTEST_SKIP() << "key pages are edited in place in plain files";
    Damage damage{{}, {}, {DmsStatus::IntegrityBroken}, true};
    uint32_t leaf = 0;
    ASSERT_NO_FATAL_FAILURE(SecondLeafOfTheRoot(leaf, damage));
    std::vector<uint8_t> damaged = original.file;
    uint8_t* entries = damaged.data() + PlaceOf(damaged, leaf) + 16;
    uint32_t a = LoadU16(entries), b = LoadU16(entries + a);
    std::rotate(entries, entries + a, entries + a + b);
    RunSession(damaged, damage);
}

// Allocation-table entries that disagree with the file or each other.
TEST_P(DamageSuite, AllocationTableEntries) {
    if (!Compacted()) GTEST_SKIP() << "plain files have no allocation table";
    uint32_t dataPage = original.blocks[0].position / kPageSize;
    uint32_t other = original.blocks.back().position / kPageSize;
    ASSERT_NE(dataPage, other);
    struct Case {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
        std::set<size_t> touched;
    };
    const Case cases[] = {
        // Free bytes of the lowest-numbered page reaching over the next page:
        // a new page placed in that "gap" would overwrite it.
        {"free bytes beyond the next page",
         [&](auto& f) { StoreU32(f.data() + PatEntryAt(f, 1) + 12, 3 * kPageSize); },
         {}},
        {"two pages claiming one place",
         [&](auto& f) {
             std::copy_n(f.begin() + PatEntryAt(f, other), 16, f.begin() + PatEntryAt(f, dataPage));
             StoreU16(f.data() + PatEntryAt(f, dataPage) + 4, 0x4144);
         },
         BlocksOnPage(dataPage)},
        {"a place past the end of the file",
         [&](auto& f) { StoreU32(f.data() + PatEntryAt(f, dataPage), static_cast<uint32_t>(f.size() + kPageSize)); },
         BlocksOnPage(dataPage)},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        std::vector<uint8_t> damaged = original.file;
        k.damage(damaged);
        RunSession(damaged, Damage{k.touched, {}, {DmsStatus::PageNotStored, DmsStatus::IntegrityBroken}, true});
        if (HasFailure()) break;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, DamageSuite, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Compacted" : "Plain"; });

}  // namespace
