// Journals a genuine write-back of this database could not have written are
// refused with 15 and nothing is written: damaged header or record checksums,
// a replay that would grow the file or write past its recorded old length,
// raw page images beyond the file, an old length short of the pages the
// header image names, the journal of another file of the same schema. A
// read-only open never applies a journal nothing ties to the file, and never
// shortens the file.
// Checksums are recomputed with zlib's CRC-32, an implementation of its own.
#include "storage/byte_order.h"
#include "storage/tests/index_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <zlib.h>

namespace {

constexpr uint32_t kPageSize = 4096;
const std::u16string kJournal = u"C:\\Dictionaries\\test.trn";

using storage::LoadU32;
using storage::StoreU32;

uint64_t LoadU64(const uint8_t* p) { return LoadU32(p) | (uint64_t{LoadU32(p + 4)} << 32); }
void StoreU64(uint8_t* p, uint64_t v) {
    StoreU32(p, static_cast<uint32_t>(v));
    StoreU32(p + 4, static_cast<uint32_t>(v >> 32));
}
uint32_t Crc(const uint8_t* p, size_t n, uint32_t crc = 0) {
    return static_cast<uint32_t>(crc32(crc, p, static_cast<uInt>(n)));
}

// Offsets of the journal header (journal.h).
constexpr size_t kOldLength = 32, kBody = 40, kCount = 48, kHeadCrc = 52, kRecords = 64;

// Recomputes every record checksum and the header's.
void Reseal(std::vector<uint8_t>& j) {
    uint64_t body = LoadU64(j.data() + kBody);
    for (size_t at = kRecords, i = 0; i < LoadU32(j.data() + kCount); ++i) {
        uint32_t length = LoadU32(j.data() + at + 8);
        StoreU32(j.data() + at + 12, Crc(j.data() + at + 16, length));
        at += 16 + length;
    }
    StoreU32(j.data() + kHeadCrc, Crc(j.data() + kRecords, static_cast<size_t>(body), Crc(j.data(), kHeadCrc)));
}

class JournalDamage : public EngineTest {
protected:
    struct Crashed {
        std::vector<uint8_t> database;
        std::vector<uint8_t> journal;
    };

    // A file of `keys` Long keys from `first`, then a write-back of one more
    // key and a data block cut off after the header flag went out.
    // With `grown`, a cut after some of the new pages went past the old end.
    Crashed CrashMidWriteBack(int32_t first, int32_t keys, bool grown = false) {
        for (uint64_t calls = 1;; ++calls) {
            SimulatedDisk scratch;
            {
                CDMS e(scratch);
                EXPECT_EQ(e.CreateFile(kPath, IndexSchema()), DmsStatus::Success);
                int32_t id = 0;
                EXPECT_EQ(e.OpenFile(kPath, 0, IndexSchema(), &id), DmsStatus::Success);
                uint32_t c = 0;
                EXPECT_EQ(e.OpenCursor(id, &c), DmsStatus::Success);
                EXPECT_EQ(e.SelectIndex(c, kLongIndex), DmsStatus::Success);
                EXPECT_EQ(e.BeginTransaction(c), DmsStatus::Success);
                for (int32_t k = first; k < first + keys; ++k) {
                    LongKey key(k);
                    EXPECT_EQ(e.InsertKey(c, key.values, {static_cast<uint32_t>(k), 0}), DmsStatus::Success);
                }
                EXPECT_EQ(e.CommitTransaction(c), DmsStatus::Success);
                // One more key (a leaf in the file changes) and a block (new
                // pages past its end) in one write-back.
                std::vector<uint8_t> block(9000, static_cast<uint8_t>(first));
                scratch.StopAfter(calls);
                e.BeginTransaction(c);
                LongKey key(first + keys);
                e.InsertKey(c, key.values, {0, 0});
                uint32_t position = 0;
                e.WriteData(c, block.data(), static_cast<uint32_t>(block.size()), &position);
                e.CommitTransaction(c);
            }
            scratch.Crash(SimulatedDisk::CrashModel::ProcessKill, 0);
            std::vector<uint8_t> db = *scratch.Contents(kPath);
            auto journal = scratch.Contents(kJournal);
            if (storage::LoadU16(db.data() + 14) == 0xFFFF && journal && !journal->empty() &&
                (!grown || db.size() > LoadU64(journal->data() + kOldLength))) {
                // Some pages of the write-back are already in the file.
                return {db, *journal};
            }
            EXPECT_LT(calls, 200u);
            if (calls >= 200) return {};
        }
    }

    // Opens with `journal` beside `database` and expects `status`; a refused
    // journal leaves both files as they were.
    void ExpectOpen(const Crashed& crashed, const std::vector<uint8_t>& journal, int32_t mode, DmsStatus status) {
        disk.SetContents(kPath, crashed.database);
        disk.SetContents(kJournal, journal);
        int32_t id = 0;
        EXPECT_EQ(engine->OpenFile(kPath, mode, IndexSchema(), &id), status);
        if (status != DmsStatus::Success) {
            EXPECT_EQ(Bytes(), crashed.database) << "a refused journal wrote to the database";
            EXPECT_EQ(disk.Contents(kJournal), journal) << "a refused journal was changed";
        }
        if (id != 0) engine->CloseFile(id);
    }
    // The keys of the database as it stands, read through a read-only open.
    uint32_t KeyCount() {
        int32_t id = 0;
        uint32_t c = 0, count = 0;
        EXPECT_EQ(engine->OpenFile(kPath, 2, IndexSchema(), &id), DmsStatus::Success);
        EXPECT_EQ(engine->OpenCursor(id, &c), DmsStatus::Success);
        EXPECT_EQ(engine->SelectIndex(c, kLongIndex), DmsStatus::Success);
        EXPECT_EQ(engine->GetCount(c, &count), DmsStatus::Success);
        engine->CloseFile(id);
        return count;
    }
};

TEST_F(JournalDamage, GenuineJournalRecoversAndItsChecksumsAreCrc32) {
    Crashed crashed = CrashMidWriteBack(0, 600);
    std::vector<uint8_t> resealed = crashed.journal;
    Reseal(resealed);
    EXPECT_EQ(resealed, crashed.journal);
    ExpectOpen(crashed, crashed.journal, 0, DmsStatus::Success);
    EXPECT_EQ(KeyCount(), 600u);
}

TEST_F(JournalDamage, DamagedOrImpossibleJournalsAreRefused) {
    Crashed crashed = CrashMidWriteBack(0, 600);
    ASSERT_FALSE(crashed.journal.empty());
    const std::vector<uint8_t>& j = crashed.journal;
    ASSERT_GE(LoadU32(j.data() + kCount), 2u) << "the header and the leaf";
    size_t firstLength = LoadU32(j.data() + kRecords + 8);
    struct Case {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
    };
    const Case cases[] = {
        {"header checksum", [](auto& b) { b[20] ^= 1; }},  // the generation, checksum kept
        {"record checksum", [&](auto& b) { b[kRecords + 16 + firstLength / 2] ^= 1; }},
        {"a replay that grows the file",
         [&](auto& b) {
             StoreU64(b.data() + kOldLength, crashed.database.size() + kPageSize);
             Reseal(b);
         }},
        {"an old length short of the pages its header image names",
         [&](auto& b) {
             // The header image names more pages than the old length holds;
             // the records still lie below it.
             size_t at = kRecords;
             while (LoadU64(b.data() + at) != 0) at += 16 + LoadU32(b.data() + at + 8);
             StoreU32(b.data() + at + 16 + 28, static_cast<uint32_t>(LoadU64(b.data() + kOldLength) / kPageSize));
             Reseal(b);
         }},
        {"a record past the old length",
         [&](auto& b) {
             uint64_t old = LoadU64(b.data() + kOldLength);
             size_t at = kRecords;
             at += 16 + LoadU32(b.data() + at + 8);  // the second record
             StoreU64(b.data() + at, old - LoadU32(b.data() + at + 8) + 1);
             Reseal(b);
         }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        std::vector<uint8_t> damaged = j;
        k.damage(damaged);
        ExpectOpen(crashed, damaged, 0, DmsStatus::BrokenJournal);
        // Read-only, the file is read as it stands and nothing is written.
        ExpectOpen(crashed, damaged, 2, DmsStatus::Success);
        EXPECT_EQ(Bytes(), crashed.database);
    }
}

// A cut write-back that had already written new pages past the old end: a
// writable open cuts them off again, a read-only one puts back the same
// pages and leaves the length alone.
TEST_F(JournalDamage, ReadOnlyRecoveryNeverShortensTheFile) {
    Crashed crashed = CrashMidWriteBack(0, 600, true);
    ASSERT_FALSE(crashed.journal.empty());
    const uint64_t old = LoadU64(crashed.journal.data() + kOldLength);
    ExpectOpen(crashed, crashed.journal, 2, DmsStatus::Success);
    const std::vector<uint8_t> readOnly = Bytes();
    EXPECT_EQ(readOnly.size(), crashed.database.size());
    ExpectOpen(crashed, crashed.journal, 0, DmsStatus::Success);
    const std::vector<uint8_t> writable = Bytes();
    ASSERT_EQ(writable.size(), old);
    EXPECT_TRUE(std::equal(writable.begin(), writable.end(), readOnly.begin()));
    disk.SetContents(kPath, readOnly);
    EXPECT_EQ(KeyCount(), 600u);
}

// Two dictionaries of one schema have journals of the same identity fields;
// the one beside this file after a crash may be the other's (copied, renamed).
TEST_F(JournalDamage, JournalOfAnotherFileOfTheSameSchemaIsRefused) {
    Crashed mine = CrashMidWriteBack(0, 600);
    Crashed other = CrashMidWriteBack(5000, 900);
    ASSERT_FALSE(mine.journal.empty());
    ASSERT_FALSE(other.journal.empty());
    ExpectOpen(mine, other.journal, 0, DmsStatus::BrokenJournal);
    ExpectOpen(mine, mine.journal, 0, DmsStatus::Success);
}

// Raw page images (older writers): nothing ties them to the file, so only a
// writable open applies them, and never images of pages beyond the file.
TEST_F(JournalDamage, RawImageJournals) {
    int32_t id = CreateAndOpen(IndexSchema(), 1);
    uint32_t c = Cursor(id);
    ASSERT_EQ(engine->SelectIndex(c, kLongIndex), DmsStatus::Success);
    for (int32_t k = 0; k < 600; ++k) {
        LongKey key(k);
        ASSERT_EQ(engine->InsertKey(c, key.values, {static_cast<uint32_t>(k), 0}), DmsStatus::Success);
    }
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
    std::vector<uint8_t> clean = Bytes();
    uint32_t last = LoadU32(clean.data() + 28);
    ASSERT_GE(last, 2u);
    // The journal: page 1 as it stands, then the header; the database then
    // has page 1 scribbled over and the flag set.
    std::vector<uint8_t> raw(clean.begin() + kPageSize, clean.begin() + 2 * kPageSize);
    raw.insert(raw.end(), clean.begin(), clean.begin() + kPageSize);
    Crashed crashed{clean, raw};
    std::fill(crashed.database.begin() + kPageSize + 16, crashed.database.begin() + 2 * kPageSize, 0x77);
    storage::StoreU16(crashed.database.data() + 14, 0xFFFF);

    ExpectOpen(crashed, raw, 2, DmsStatus::Success);
    EXPECT_EQ(Bytes(), crashed.database) << "a read-only open applied an unchecked journal";
    ExpectOpen(crashed, raw, 0, DmsStatus::Success);
    EXPECT_EQ(Bytes(), clean);

    // An image of a page the file does not reach.
    std::vector<uint8_t> beyond = raw;
    StoreU32(beyond.data(), last);
    StoreU32(beyond.data() + kPageSize + 28, last);
    crashed.database.resize(last * kPageSize);
    ExpectOpen(crashed, beyond, 0, DmsStatus::BrokenJournal);
}

}  // namespace
