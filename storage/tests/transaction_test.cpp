// Transactions, the journal's statuses at open and the faults of a journal
// without identity or checksum: each case here failed, or would fail, on a
// write-back that journals only cached before-images of loaded pages.
#include "storage/byte_order.h"
#include "storage/journal.h"
#include "storage/structure_verifier.h"
#include "storage/tests/engine_fixture.h"

#include <algorithm>

namespace {

constexpr const char16_t* kJournal = u"C:\\Dictionaries\\test.trn";
using Op = SimulatedDisk::Operation;

class TransactionTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        schema = DictionarySchemaForTests();
        id = CreateAndOpen(schema, 0);
        cursor = Cursor(id);
    }
    uint32_t Write(size_t n, uint8_t fill) {
        std::vector<uint8_t> bytes(n, fill);
        uint32_t position = 0;
        EXPECT_EQ(engine->WriteData(cursor, bytes.data(), static_cast<uint32_t>(n), &position), DmsStatus::Success);
        return position;
    }
    DmsStatus Reopen(int32_t mode = 0) {
        engine->CloseFile(id);
        DmsStatus st = engine->OpenFile(kPath, mode, schema, &id);
        if (!Failed(st)) cursor = Cursor(id);
        return st;
    }
    void SetFlag(uint16_t flag) {
        std::vector<uint8_t> b = Bytes();
        storage::StoreU16(b.data() + 14, flag);
        disk.SetContents(kPath, b);
    }
    // Writes a block in a write-back whose journal is not emptied (its
    // truncation fails), and gives that journal.
    std::vector<uint8_t> CaughtJournal() {
        disk.InjectFault(SimulatedDisk::Operation::SetSize, 1, IoError::Failed);
        std::vector<uint8_t> bytes(5000, 2);
        uint32_t position = 0;
        EXPECT_EQ(engine->WriteData(cursor, bytes.data(), 5000, &position), DmsStatus::FileIoError);
        disk.ClearFaults();
        return *disk.Contents(kJournal);
    }
    void ExpectSound() {
        VerifyReport report = VerifyFile(*engine->FindFile(id));
        EXPECT_TRUE(report.ok()) << (report.ok() ? "" : report.faults.front());
    }

    std::string schema;
    int32_t id = 0;
    uint32_t cursor = 0;
};

TEST_F(TransactionTest, AJournaledWriteLeavesAnEmptyJournalAndTheFlagClear) {
    Write(100, 1);
    EXPECT_EQ(U16At(Bytes(), 14), 0);
    ASSERT_TRUE(disk.Contents(kJournal));
    EXPECT_TRUE(disk.Contents(kJournal)->empty());
}

TEST_F(TransactionTest, TransactionCallsAreCheckedInOrder) {
    EXPECT_EQ(engine->CommitTransaction(cursor), DmsStatus::NotInTransaction);
    EXPECT_EQ(engine->RollbackTransaction(cursor), DmsStatus::NotInTransaction);
    EXPECT_EQ(engine->BeginTransaction(cursor), DmsStatus::Success);
    EXPECT_EQ(engine->BeginTransaction(cursor), DmsStatus::AlreadyInTransaction);
    EXPECT_EQ(engine->CommitTransaction(cursor), DmsStatus::Success);
    engine->CloseFile(id);
    ASSERT_EQ(engine->OpenFile(kPath, 1, schema, &id), DmsStatus::Success);
    cursor = Cursor(id);
    EXPECT_EQ(engine->BeginTransaction(cursor), DmsStatus::OperationNotAllowed);
}

// A page made by one write-back and changed in the next has a before-image
// from the file: rollback restores it and nothing reaches the disk.
TEST_F(TransactionTest, RollbackRestoresAPageCreatedEarlierInTheSession) {
    uint32_t kept = Write(100, 1);
    std::vector<uint8_t> before = Bytes();
    uint64_t calls = disk.CallCount();
    ASSERT_EQ(engine->BeginTransaction(cursor), DmsStatus::Success);
    uint32_t dropped = Write(200, 2);
    Write(9000, 3);
    ASSERT_EQ(engine->RollbackTransaction(cursor), DmsStatus::Success);
    EXPECT_EQ(disk.CallCount(), calls);  // nothing read or written
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(Write(200, 4), dropped);  // the same space is handed out again
    ASSERT_EQ(Reopen(), DmsStatus::Success);
    ExpectSound();
    std::vector<uint8_t> out(100);
    uint32_t count = 100;
    EXPECT_EQ(engine->ReadData(cursor, kept, out.data(), &count), DmsStatus::Success);
    EXPECT_EQ(out, std::vector<uint8_t>(100, 1));
}

// Adding an allocation table writes pages outside the write-back: inside a
// transaction that would put uncommitted pages into the file.
TEST_F(TransactionTest, AddingAnAllocationTableInATransactionIsRefused) {
    Write(100, 1);
    ASSERT_EQ(engine->BeginTransaction(cursor), DmsStatus::Success);
    std::vector<uint8_t> before = Bytes();
    Write(5000, 2);
    EXPECT_EQ(engine->FindFile(id)->AddPageAllocationTable(), DmsStatus::OperationNotAllowed);
    EXPECT_EQ(Bytes(), before);
    ASSERT_EQ(engine->RollbackTransaction(cursor), DmsStatus::Success);
    EXPECT_EQ(engine->FindFile(id)->AddPageAllocationTable(), DmsStatus::Success);
    ASSERT_EQ(Reopen(), DmsStatus::Success);
    ExpectSound();
}

TEST_F(TransactionTest, CommitWritesTheWholeTransactionOnce) {
    ASSERT_EQ(engine->BeginTransaction(cursor), DmsStatus::Success);
    std::vector<uint8_t> before = Bytes();
    uint32_t a = Write(300, 5);
    uint32_t b = Write(7000, 6);
    EXPECT_EQ(Bytes(), before);
    ASSERT_EQ(engine->CommitTransaction(cursor), DmsStatus::Success);
    EXPECT_NE(Bytes(), before);
    ASSERT_EQ(Reopen(), DmsStatus::Success);
    uint32_t count = 0;
    EXPECT_EQ(engine->ReadData(cursor, a, nullptr, &count), DmsStatus::Success);
    EXPECT_EQ(count, 300u);
    EXPECT_EQ(engine->ReadData(cursor, b, nullptr, &count), DmsStatus::Success);
    EXPECT_EQ(count, 7000u);
}

// A failed commit keeps the transaction and its changes: Rollback works,
// and nothing of it is in the file.
TEST_F(TransactionTest, AFailedCommitCanBeRolledBackOrRetried) {
    for (bool retry : {false, true}) {
        Write(50, 9);
        std::vector<uint8_t> before = Bytes();
        ASSERT_EQ(engine->BeginTransaction(cursor), DmsStatus::Success);
        uint32_t position = Write(5000, 7);
        disk.InjectFault(Op::Write, 4, IoError::Failed);  // a page write after the flag
        EXPECT_EQ(engine->CommitTransaction(cursor), DmsStatus::FileIoError);
        disk.ClearFaults();
        EXPECT_EQ(Bytes(), before);
        EXPECT_EQ(U16At(Bytes(), 14), 0);
        if (retry) {
            ASSERT_EQ(engine->CommitTransaction(cursor), DmsStatus::Success);
            ASSERT_EQ(Reopen(), DmsStatus::Success);
            uint32_t count = 0;
            EXPECT_EQ(engine->ReadData(cursor, position, nullptr, &count), DmsStatus::Success);
            EXPECT_EQ(count, 5000u);
        } else {
            ASSERT_EQ(engine->RollbackTransaction(cursor), DmsStatus::Success);
            ASSERT_EQ(Reopen(), DmsStatus::Success);
            EXPECT_EQ(Bytes(), before);
        }
        ExpectSound();
    }
}

// More changed pages than the cache can hold: the operation fails cleanly,
// Commit refuses the half-done transaction and rolls it back.
TEST_F(TransactionTest, ATransactionThatFillsTheCacheFailsCleanly) {
    engine->CloseFile(id);
    engine = std::make_unique<CDMS>(disk, 24);
    ASSERT_EQ(engine->OpenFile(kPath, 0, schema, &id), DmsStatus::Success);
    cursor = Cursor(id);
    Write(100, 1);
    std::vector<uint8_t> before = Bytes();
    ASSERT_EQ(engine->BeginTransaction(cursor), DmsStatus::Success);
    DmsStatus failed = DmsStatus::Success;
    for (int i = 0; i < 40 && !Failed(failed); ++i) {
        std::vector<uint8_t> bytes(4000, static_cast<uint8_t>(i));
        uint32_t position = 0;
        failed = engine->WriteData(cursor, bytes.data(), 4000, &position);
    }
    ASSERT_TRUE(failed == DmsStatus::PageCreationFailed || failed == DmsStatus::PageLoadFailed) << StatusCode(failed);
    EXPECT_EQ(engine->CommitTransaction(cursor), failed);
    EXPECT_EQ(engine->RollbackTransaction(cursor), DmsStatus::NotInTransaction);
    EXPECT_EQ(Bytes(), before);
    ASSERT_EQ(Reopen(), DmsStatus::Success);
    EXPECT_EQ(Bytes(), before);
    ExpectSound();
}

struct DiskSpaceCase {
    uint64_t freeBytes;
    DmsStatus expected;
};

class JournalWriteFailure : public TransactionTest, public ::testing::WithParamInterface<DiskSpaceCase> {};

// ENOSPC while the journal is written: the database is not touched.
TEST_P(JournalWriteFailure, LeavesTheDatabaseUntouched) {
    Write(100, 1);
    std::vector<uint8_t> before = Bytes();
    disk.SetFreeSpace(GetParam().freeBytes);
    disk.InjectFault(Op::Write, 1, IoError::NoSpace, 100);
    std::vector<uint8_t> bytes(6000, 2);
    uint32_t position = 0;
    EXPECT_EQ(engine->WriteData(cursor, bytes.data(), 6000, &position), GetParam().expected);
    EXPECT_EQ(position, 0u);
    EXPECT_EQ(Bytes(), before);
    disk.ClearFaults();
    disk.SetFreeSpace(uint64_t{1} << 40);
    uint32_t again = Write(6000, 2);
    EXPECT_NE(again, 0u);
    ASSERT_EQ(Reopen(), DmsStatus::Success);
    ExpectSound();
}

INSTANTIATE_TEST_SUITE_P(FreeSpace, JournalWriteFailure,
                         ::testing::Values(DiskSpaceCase{127999, DmsStatus::NoDiskSpace},
                                           DiskSpaceCase{128000, DmsStatus::FileIoError}));

// Flag set at open, journal in different shapes: each gives its own status
// and leaves file and journal as they were; a read-only open still reads it.
struct OpenCase {
    const char* name;
    int journal;  // 0 none, 1 empty, 2 PageSize + 1 bytes, 3 damaged CRC, 4 another database's
    DmsStatus expected;
};

class FlagSetAtOpen : public TransactionTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(FlagSetAtOpen, GivesADistinctStatusAndDeletesNothing) {
    Write(100, 1);
    // A real journal of one write-back, caught before it was emptied.
    std::vector<uint8_t> journalBytes = CaughtJournal();
    ASSERT_GT(journalBytes.size(), journal::kHeaderSize);
    engine->CloseFile(id);
    SetFlag(0xFFFF);
    disk.Delete(kJournal);
    switch (GetParam().journal) {
    case 1: disk.SetContents(kJournal, {}); break;
    case 2: disk.SetContents(kJournal, std::vector<uint8_t>(4097, 0)); break;
    case 3:
        journalBytes.back() ^= 1;
        disk.SetContents(kJournal, journalBytes);
        break;
    case 4:
        storage::StoreU32(journalBytes.data() + 24, storage::LoadU32(journalBytes.data() + 24) + 1);
        disk.SetContents(kJournal, journalBytes);
        break;
    default: break;
    }
    std::vector<uint8_t> database = Bytes();
    auto journalBefore = disk.Contents(kJournal);
    for (int32_t mode : {0, 1}) {
        EXPECT_EQ(engine->OpenFile(kPath, mode, schema, &id), GetParam().expected) << mode;
        EXPECT_EQ(Bytes(), database);
        EXPECT_EQ(disk.Contents(kJournal), journalBefore);
    }
    // Read-only, the file opens as it stands; closing keeps the journal.
    ASSERT_EQ(engine->OpenFile(kPath, 2, schema, &id), DmsStatus::Success);
    EXPECT_EQ(engine->CloseFile(id), DmsStatus::Success);
    EXPECT_EQ(Bytes(), database);
    EXPECT_EQ(disk.Contents(kJournal), journalBefore);
    EXPECT_EQ(engine->OpenFile(kPath, 0, schema, &id), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Journals, FlagSetAtOpen,
                         ::testing::Values(OpenCase{"none", 0, DmsStatus::CannotOpenJournal},
                                           OpenCase{"empty", 1, DmsStatus::BrokenAfterRollback},
                                           OpenCase{"page_plus_one", 2, DmsStatus::BrokenJournal},
                                           OpenCase{"damaged", 3, DmsStatus::BrokenJournal},
                                           OpenCase{"foreign", 4, DmsStatus::BrokenJournal}),
                         [](const ::testing::TestParamInfo<OpenCase>& info) { return info.param.name; });

// The start-up path opens the working dictionary read-only first: it must
// recover, not fail at every start.
TEST_F(TransactionTest, AReadOnlyFirstOpenRecovers) {
    Write(100, 1);
    std::vector<uint8_t> before = Bytes();
    std::vector<uint8_t> journalBytes = CaughtJournal();
    engine->CloseFile(id);
    // The write-back's pages are out and the flag is still set: the state a
    // crash just before the last header write leaves.
    SetFlag(0xFFFF);
    disk.SetContents(kJournal, journalBytes);
    ASSERT_EQ(engine->OpenFile(kPath, 2, schema, &id), DmsStatus::Success);
    // The pages are back; a read-only open never shortens the file, so the
    // cut write-back's new pages may stay behind the old end.
    const std::vector<uint8_t> after = Bytes();
    ASSERT_GE(after.size(), before.size());
    EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
    EXPECT_EQ(engine->CloseFile(id), DmsStatus::Success);
    EXPECT_FALSE(disk.Exists(kJournal));
    ASSERT_EQ(engine->OpenFile(kPath, 0, schema, &id), DmsStatus::Success);
}

// Another reader holds the file, so recovery cannot have it for writing:
// the read-only open reads it as it stands, and the next writer recovers.
TEST_F(TransactionTest, AReadOnlyOpenBesideAnotherReaderReadsAndLeavesRecoveryToTheWriter) {
    Write(100, 1);
    std::vector<uint8_t> before = Bytes();
    std::vector<uint8_t> journalBytes = CaughtJournal();
    engine->CloseFile(id);
    SetFlag(0xFFFF);
    disk.SetContents(kJournal, journalBytes);
    std::vector<uint8_t> unrecovered = Bytes();
    std::unique_ptr<IStorageFile> otherReader;
    ASSERT_EQ(disk.Open(kPath, OpenAccess::Read, otherReader), IoError::Ok);
    ASSERT_EQ(engine->OpenFile(kPath, 2, schema, &id), DmsStatus::Success);
    EXPECT_EQ(engine->CloseFile(id), DmsStatus::Success);
    EXPECT_EQ(Bytes(), unrecovered);
    EXPECT_EQ(disk.Contents(kJournal), journalBytes);
    otherReader.reset();
    ASSERT_EQ(engine->OpenFile(kPath, 0, schema, &id), DmsStatus::Success);
    EXPECT_EQ(Bytes(), before);
}

// Whole page images without a header, as older writers left them: replayed
// when every image is sane, refused (15) otherwise.
TEST_F(TransactionTest, RawImageJournalsAreReplayedOnlyWhenSane) {
    Write(100, 1);
    std::vector<uint8_t> before = Bytes();
    Write(100, 2);
    engine->CloseFile(id);
    std::vector<uint8_t> after = Bytes();
    std::vector<uint8_t> images;
    for (size_t page = 1; page * 4096 < before.size(); ++page) {
        if (!std::equal(before.begin() + page * 4096, before.begin() + (page + 1) * 4096, after.begin() + page * 4096))
            images.insert(images.end(), before.begin() + page * 4096, before.begin() + (page + 1) * 4096);
    }
    images.insert(images.end(), before.begin(), before.begin() + 4096);
    for (bool sane : {false, true}) {
        std::vector<uint8_t> journalBytes = images;
        if (!sane) storage::StoreU32(journalBytes.data(), 4000);  // a page number past the file
        disk.SetContents(kPath, after);
        SetFlag(0xFFFF);
        disk.SetContents(kJournal, journalBytes);
        DmsStatus st = engine->OpenFile(kPath, 0, schema, &id);
        if (!sane) {
            EXPECT_EQ(st, DmsStatus::BrokenJournal);
            continue;
        }
        ASSERT_EQ(st, DmsStatus::Success);
        std::vector<uint8_t> now = Bytes();
        EXPECT_EQ(now, before);
        ExpectSound();
    }
}

TEST_F(TransactionTest, AReadOnlyCloseDeletesAStaleJournal) {
    engine->CloseFile(id);
    disk.SetContents(kJournal, std::vector<uint8_t>(100, 7));
    ASSERT_EQ(engine->OpenFile(kPath, 2, schema, &id), DmsStatus::Success);
    EXPECT_EQ(engine->CloseFile(id), DmsStatus::Success);
    EXPECT_FALSE(disk.Exists(kJournal));
}

// A compile (mode 1) cut short leaves the file marked incomplete: an open
// reports damage whatever journal lies beside it, and deletes nothing.
TEST_F(TransactionTest, ACrashDuringAModeOneCloseIsReportedAsDamage) {
    engine->CloseFile(id);
    const std::vector<uint8_t> clean = Bytes();
    for (bool staleJournal : {false, true}) {
        engine->CloseFile(id);
        // Each round starts from the clean file: the one the last round
        // cleared by hand holds pages its header does not count.
        disk.SetContents(kPath, clean);
        disk.Delete(kJournal);
        ASSERT_EQ(engine->OpenFile(kPath, 1, schema, &id), DmsStatus::Success);
        cursor = Cursor(id);
        Write(9000, 5);
        if (staleJournal) {
            std::unique_ptr<IStorageFile> stale;
            ASSERT_EQ(disk.CreateAlways(kJournal, stale), IoError::Ok);
            ASSERT_EQ(stale->WriteAt(0, std::vector<uint8_t>(4096 * 2, 0)), IoError::Ok);
            ASSERT_EQ(stale->Flush(), IoError::Ok);
        }
        disk.StopAfter(3);  // the mark and a page are out, the clean header not
        engine.reset();
        disk.Crash(SimulatedDisk::CrashModel::ProcessKill, 0);
        ASSERT_EQ(U16At(Bytes(), 14), kIncompleteMark);
        engine = std::make_unique<CDMS>(disk);
        for (int32_t mode : {0, 1, 2}) EXPECT_EQ(engine->OpenFile(kPath, mode, schema, &id), DmsStatus::IntegrityBroken);
        EXPECT_EQ(disk.Exists(kJournal), staleJournal);
        SetFlag(0);
        ASSERT_EQ(engine->OpenFile(kPath, 0, schema, &id), DmsStatus::Success);
    }
}

// Adding an allocation table writes the header in the middle of a compile:
// it keeps the mark, so a crash before the clean close is still reported.
TEST_F(TransactionTest, AHeaderWrittenDuringACompileKeepsTheIncompleteMark) {
    engine->CloseFile(id);
    ASSERT_EQ(engine->OpenFile(kPath, 1, schema, &id), DmsStatus::Success);
    cursor = Cursor(id);
    Write(9000, 5);
    ASSERT_EQ(engine->FindFile(id)->AddPageAllocationTable(), DmsStatus::Success);
    EXPECT_EQ(U16At(Bytes(), 14), kIncompleteMark);
    Write(300, 6);
    engine.reset();  // closes cleanly
    EXPECT_EQ(U16At(Bytes(), 14), 0);
    engine = std::make_unique<CDMS>(disk);
    ASSERT_EQ(engine->OpenFile(kPath, 1, schema, &id), DmsStatus::Success);
    cursor = Cursor(id);
    Write(300, 7);
    disk.StopAfter(2);  // the mark, then nothing more
    engine.reset();
    disk.Crash(SimulatedDisk::CrashModel::ProcessKill, 0);
    engine = std::make_unique<CDMS>(disk);
    EXPECT_EQ(engine->OpenFile(kPath, 2, schema, &id), DmsStatus::IntegrityBroken);
}

}  // namespace
