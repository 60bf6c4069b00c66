// Failures through the engine interface: input/output errors become 38 on a
// nearly full drive, a failed write-back is never reported as success by
// CloseFile, a full cache is an ordinary status that leaves the file as it
// was, and a file without journal gives up changed pages to make room.
#include "storage/structure_verifier.h"
#include "storage/tests/engine_fixture.h"

#include <gtest/gtest.h>

namespace {

using Op = SimulatedDisk::Operation;

class EngineFailures : public EngineTest {
protected:
    std::vector<uint8_t> Payload(size_t n) {
        std::vector<uint8_t> b(n);
        for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * 13 + 1);
        return b;
    }
};

struct SpaceCase {
    uint64_t free;
    DmsStatus expected;
};

class NearlyFullDrive : public EngineFailures, public ::testing::WithParamInterface<SpaceCase> {};

TEST_P(NearlyFullDrive, InputOutputErrorBecomesNoDiskSpaceBelow128000Bytes) {
    int32_t id = CreateAndOpen(DictionarySchemaForTests(), 0);
    uint32_t cursor = Cursor(id);
    disk.SetFreeSpace(GetParam().free);
    disk.InjectFault(Op::Write, 1, IoError::NoSpace);
    std::vector<uint8_t> bytes = Payload(100);
    uint32_t position = 0;
    EXPECT_EQ(engine->WriteData(cursor, bytes.data(), 100, &position), GetParam().expected);
    EXPECT_EQ(position, 0u);
}

INSTANTIATE_TEST_SUITE_P(Threshold, NearlyFullDrive,
                         ::testing::Values(SpaceCase{127999, DmsStatus::NoDiskSpace},
                                           SpaceCase{128000, DmsStatus::FileIoError},
                                           SpaceCase{0, DmsStatus::NoDiskSpace}));

TEST_F(EngineFailures, CloseReportsAFailedWriteBack) {
    int32_t id = CreateAndOpen(DictionarySchemaForTests(), 1);  // mode 1 writes at close
    uint32_t cursor = Cursor(id);
    std::vector<uint8_t> bytes = Payload(3000);
    uint32_t position = 0;
    ASSERT_EQ(engine->WriteData(cursor, bytes.data(), 3000, &position), DmsStatus::Success);
    disk.InjectFault(Op::Write, 2, IoError::Failed);
    EXPECT_EQ(engine->CloseFile(id), DmsStatus::FileIoError);
    EXPECT_EQ(engine->FindFile(id), nullptr);  // the file is closed all the same
    ASSERT_EQ(engine->CreateFile(u"b.qdx", DictionarySchemaForTests()), DmsStatus::Success);
    ASSERT_EQ(engine->OpenFile(u"b.qdx", 0, DictionarySchemaForTests(), &id), DmsStatus::Success);
    cursor = Cursor(id);
    ASSERT_EQ(engine->WriteData(cursor, bytes.data(), 3000, &position), DmsStatus::Success);
    ASSERT_EQ(engine->FreeData(cursor, position), DmsStatus::Success);
    disk.InjectFault(Op::Flush, 1, IoError::Failed);
    EXPECT_EQ(engine->WriteData(cursor, bytes.data(), 3000, &position), DmsStatus::FileIoError);
    EXPECT_EQ(position, 0u);
    engine->CloseFile(id);
}

TEST_F(EngineFailures, FailedJournaledWriteLeavesTheFileAsItWas) {
    int32_t id = CreateAndOpen(DictionarySchemaForTests(), 0);
    uint32_t cursor = Cursor(id);
    std::vector<uint8_t> bytes = Payload(500);
    uint32_t kept = 0;
    ASSERT_EQ(engine->WriteData(cursor, bytes.data(), 500, &kept), DmsStatus::Success);
    std::vector<uint8_t> before = Bytes();
    disk.InjectFault(Op::Write, 1, IoError::Failed);  // the header's flag write
    uint32_t position = 0;
    EXPECT_EQ(engine->WriteData(cursor, bytes.data(), 500, &position), DmsStatus::FileIoError);
    EXPECT_EQ(Bytes(), before);
    // The cache went back to the file's state: the next write lands where
    // the failed one would have, and both blocks read.
    uint32_t next = 0;
    ASSERT_EQ(engine->WriteData(cursor, bytes.data(), 500, &next), DmsStatus::Success);
    EXPECT_EQ(next, kept + 514);
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
}

TEST_F(EngineFailures, FullCacheIsAStatusAndChangesNothing) {
    engine = std::make_unique<CDMS>(disk, 4);  // header + three pages
    int32_t id = CreateAndOpen(DictionarySchemaForTests(), 0);
    uint32_t cursor = Cursor(id);
    std::vector<uint8_t> small = Payload(100);
    uint32_t kept = 0;
    ASSERT_EQ(engine->WriteData(cursor, small.data(), 100, &kept), DmsStatus::Success);
    std::vector<uint8_t> before = Bytes();
    std::vector<uint8_t> large = Payload(5 * 4096);  // needs more pages than the cache holds
    uint32_t position = 7;
    EXPECT_EQ(engine->WriteData(cursor, large.data(), static_cast<uint32_t>(large.size()), &position),
              DmsStatus::PageCreationFailed);
    EXPECT_EQ(position, 0u);
    EXPECT_EQ(Bytes(), before);
    std::vector<uint8_t> back(100);
    uint32_t count = 100;
    EXPECT_EQ(engine->ReadData(cursor, kept, back.data(), &count), DmsStatus::Success);
    EXPECT_EQ(back, small);
    uint32_t next = 0;
    ASSERT_EQ(engine->WriteData(cursor, small.data(), 100, &next), DmsStatus::Success);
    EXPECT_EQ(next, kept + 114);
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
}

TEST_F(EngineFailures, WithoutJournalChangedPagesMakeRoomInASmallCache) {
    engine = std::make_unique<CDMS>(disk, 4);
    int32_t id = CreateAndOpen(DictionarySchemaForTests(), 1);
    uint32_t cursor = Cursor(id);
    std::vector<uint8_t> large = Payload(12 * 4096);
    uint32_t position = 0;
    ASSERT_EQ(engine->WriteData(cursor, large.data(), static_cast<uint32_t>(large.size()), &position),
              DmsStatus::PageCreationFailed);  // a block's own pages stay pinned while it is stored
    std::vector<uint8_t> medium = Payload(3000);
    std::vector<uint32_t> positions;
    for (int i = 0; i < 40; ++i) {
        ASSERT_EQ(engine->WriteData(cursor, medium.data(), 3000, &position), DmsStatus::Success) << i;
        positions.push_back(position);
    }
    EXPECT_GT(engine->GetCacheCounters().writes, 10u);  // pages given up early, written first
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
    ASSERT_EQ(engine->OpenFile(kPath, 2, DictionarySchemaForTests(), &id), DmsStatus::Success);
    cursor = Cursor(id);
    for (uint32_t p : positions) {
        std::vector<uint8_t> back(3000);
        uint32_t count = 3000;
        ASSERT_EQ(engine->ReadData(cursor, p, back.data(), &count), DmsStatus::Success);
        ASSERT_EQ(back, medium);
    }
    VerifyReport report = VerifyFile(*engine->FindFile(id));
    EXPECT_TRUE(report.ok());
}

TEST_F(EngineFailures, FailedReadOfAPageGivesItsStatus) {
    int32_t id = CreateAndOpen(DictionarySchemaForTests(), 0);
    uint32_t cursor = Cursor(id);
    std::vector<uint8_t> bytes = Payload(200);
    uint32_t position = 0;
    ASSERT_EQ(engine->WriteData(cursor, bytes.data(), 200, &position), DmsStatus::Success);
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
    ASSERT_EQ(engine->OpenFile(kPath, 2, DictionarySchemaForTests(), &id), DmsStatus::Success);
    cursor = Cursor(id);
    disk.InjectFault(Op::Read, 1, IoError::Failed);
    uint32_t count = 200;
    EXPECT_EQ(engine->ReadData(cursor, position, bytes.data(), &count), DmsStatus::FileIoError);
    EXPECT_EQ(engine->ReadData(cursor, position, bytes.data(), &count), DmsStatus::Success);
}

TEST_F(EngineFailures, FailedJournalCreationGives14) {
    ASSERT_EQ(engine->CreateFile(kPath, DictionarySchemaForTests()), DmsStatus::Success);
    disk.InjectFault(Op::Create, 1, IoError::Failed);
    int32_t id = 0;
    EXPECT_EQ(engine->OpenFile(kPath, 0, DictionarySchemaForTests(), &id), DmsStatus::CannotCreateJournal);
    // Nothing stays open: a writer may open the file now.
    EXPECT_EQ(engine->OpenFile(kPath, 0, DictionarySchemaForTests(), &id), DmsStatus::Success);
}

TEST_F(EngineFailures, ClosingAReadOnlyFileDeletesAStaleJournal) {
    ASSERT_EQ(engine->CreateFile(kPath, DictionarySchemaForTests()), DmsStatus::Success);
    disk.SetContents(u"C:\\Dictionaries\\test.trn", std::vector<uint8_t>(4096, 1));
    int32_t id = 0;
    ASSERT_EQ(engine->OpenFile(kPath, 2, DictionarySchemaForTests(), &id), DmsStatus::Success);
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
    EXPECT_FALSE(disk.Exists(u"C:\\Dictionaries\\test.trn"));
}

TEST_F(EngineFailures, CursorHandlesAreUniqueOverFilesAndDieWithTheirFile) {
    int32_t a = CreateAndOpen(DictionarySchemaForTests(), 1);
    ASSERT_EQ(engine->CreateFile(u"other.qdx", DictionarySchemaForTests()), DmsStatus::Success);
    int32_t b = 0;
    ASSERT_EQ(engine->OpenFile(u"other.qdx", 1, DictionarySchemaForTests(), &b), DmsStatus::Success);
    uint32_t c1 = Cursor(a), c2 = Cursor(b), c3 = Cursor(a);
    EXPECT_EQ(c1, 1u);
    EXPECT_EQ(c2, 2u);
    EXPECT_EQ(c3, 3u);
    uint32_t handle = 0;
    EXPECT_EQ(engine->OpenCursor(99, &handle), DmsStatus::FileNotOpened);
    ASSERT_EQ(engine->CloseFile(a), DmsStatus::Success);
    EXPECT_EQ(engine->SelectRecordType(c1, 0), DmsStatus::WrongHandle);
    EXPECT_EQ(engine->SelectRecordType(c2, 0), DmsStatus::Success);
    EXPECT_EQ(engine->CloseCursor(c2), DmsStatus::Success);
    EXPECT_EQ(engine->CloseCursor(c2), DmsStatus::WrongHandle);
    EXPECT_EQ(engine->CloseCursor(0), DmsStatus::WrongHandle);
}

}  // namespace
