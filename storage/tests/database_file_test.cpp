// Creating and opening database files: the header's golden bytes, the
// create and open edge cases, the journal path rule, and hostile headers.
#include "storage/database_file.h"
#include "storage/tests/engine_fixture.h"

#include <gtest/gtest.h>

namespace {

using DatabaseFile = EngineTest;

TEST_F(DatabaseFile, DictionarySchemaGivesTheGoldenHeader) {
    ASSERT_EQ(engine->CreateFile(kPath, DictionarySchemaForTests()), DmsStatus::Success);
    std::vector<uint8_t> b = Bytes();
    ASSERT_EQ(b.size(), 4096u);  // PreAllocate 1 x PageSize
    std::vector<uint8_t> expected(320, 0);
    auto put32 = [&](size_t at, uint32_t v) { storage::StoreU32(expected.data() + at, v); };
    auto put16 = [&](size_t at, uint16_t v) { storage::StoreU16(expected.data() + at, v); };
    put16(4, 0x4346);
    put16(6, 0x0404);
    put32(8, 4096);
    put16(16, 48);
    put32(20, 0xFFFFFFFF);
    put32(24, 0xFFFFFFFF);
    put32(28, 0);
    put32(32, 1);
    const uint32_t keys[] = {0, 1, 101, 102, 105, 106, 107, 108, 110, 111, 121, 201, 202, 203, 204, 2, 3};
    for (size_t i = 0; i < 17; ++i) {
        put32(48 + 16 * i, 0xFFFFFFFF);
        put32(52 + 16 * i, keys[i]);
        put32(56 + 16 * i, 0);
        put32(60 + 16 * i, 0xFFFFFFFF);
    }
    EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.begin() + 320), expected);
    EXPECT_TRUE(std::all_of(b.begin() + 320, b.end(), [](uint8_t x) { return x == 0; }));
}

TEST_F(DatabaseFile, PreAllocateSizesTheNewFile) {
    ASSERT_EQ(engine->CreateFile(kPath, "{File PageSize=512 PreAllocate=7 {Index Id=1 {Segment Type=Long}}}"),
              DmsStatus::Success);
    EXPECT_EQ(Bytes().size(), 7u * 512);
    EXPECT_EQ(U32At(Bytes(), 32), 7u);
}

TEST_F(DatabaseFile, TypeTwoIndexDescriptorCarriesItsRecordId) {
    ASSERT_EQ(engine->CreateFile(kPath, "{File {Record Id=9} {Index Id=4 Type=2 RecordId=9}}"), DmsStatus::Success);
    EXPECT_EQ(U32At(Bytes(), 48), 9u);
    EXPECT_EQ(U32At(Bytes(), 52), 4u);
}

TEST_F(DatabaseFile, CreatedFileOpensInEveryMode) {
    ASSERT_EQ(engine->CreateFile(kPath, DictionarySchemaForTests()), DmsStatus::Success);
    for (int32_t mode : {0, 1, 2}) {
        int32_t id = 0;
        ASSERT_EQ(engine->OpenFile(kPath, mode, DictionarySchemaForTests(), &id), DmsStatus::Success) << mode;
        EXPECT_EQ(id, mode + 1);  // ids count from 1
        int32_t kind = -1;
        EXPECT_EQ(engine->GetFileCollatorKind(id, &kind), DmsStatus::Success);
        EXPECT_EQ(kind, 1);
        EXPECT_EQ(engine->CloseFile(id), DmsStatus::Success);
    }
    EXPECT_FALSE(disk.Exists(u"C:\\Dictionaries\\test.trn"));  // deleted at a clean close
}

TEST_F(DatabaseFile, JournaledOpenCreatesAnEmptyJournal) {
    int32_t id = CreateAndOpen(DictionarySchemaForTests(), 0);
    ASSERT_TRUE(disk.Contents(u"C:\\Dictionaries\\test.trn"));
    EXPECT_TRUE(disk.Contents(u"C:\\Dictionaries\\test.trn")->empty());
    EXPECT_EQ(engine->CloseFile(id), DmsStatus::Success);
}

TEST_F(DatabaseFile, CreatingOverAnExistingFileGives32AndKeepsIt) {
    disk.SetContents(kPath, std::vector<uint8_t>(100, 0x5A));
    EXPECT_EQ(engine->CreateFile(kPath, DictionarySchemaForTests()), DmsStatus::FileAlreadyExists);
    EXPECT_EQ(Bytes(), std::vector<uint8_t>(100, 0x5A));
}

TEST_F(DatabaseFile, PageSizeMustHoldTheDescriptors) {
    EXPECT_EQ(engine->CreateFile(kPath, "{File PageSize=64 {Index Id=1}}"), DmsStatus::Success);
    EXPECT_EQ(engine->CreateFile(u"b.qdx", "{File PageSize=64 {Index Id=1} {Index Id=2}}"), DmsStatus::SmallPageSize);
    std::string schema = DictionarySchemaForTests();
    std::string small = schema;
    small.replace(small.find("4096"), 4, "0319");
    EXPECT_EQ(engine->CreateFile(u"c.qdx", small), DmsStatus::SmallPageSize);
    std::string exact = schema;
    exact.replace(exact.find("4096"), 4, "0320");
    EXPECT_EQ(engine->CreateFile(u"d.qdx", exact), DmsStatus::Success);
}

TEST_F(DatabaseFile, FaultyDescriptionGives26) {
    EXPECT_EQ(engine->CreateFile(kPath, "{Nonsense}"), DmsStatus::WrongFileDescription);
    EXPECT_EQ(engine->CreateFile(kPath, ""), DmsStatus::WrongFileDescription);
    EXPECT_FALSE(disk.Exists(kPath));
    ASSERT_EQ(engine->CreateFile(kPath, DictionarySchemaForTests()), DmsStatus::Success);
    int32_t id = 7;
    EXPECT_EQ(engine->OpenFile(kPath, 2, "{Nonsense}", &id), DmsStatus::WrongFileDescription);
    EXPECT_EQ(id, 0);
}

TEST_F(DatabaseFile, MissingFileGives1) {
    int32_t id = 0;
    EXPECT_EQ(engine->OpenFile(u"nowhere.qdx", 2, DictionarySchemaForTests(), &id), DmsStatus::CannotOpenFile);
}

TEST_F(DatabaseFile, ShortFileGives8AndOldVersionGives39) {
    std::vector<uint8_t> file(4096, 0);
    storage::StoreU16(file.data() + 4, 0x4346);
    storage::StoreU32(file.data() + 8, 4096);
    storage::StoreU16(file.data() + 16, 48);
    storage::StoreU16(file.data() + 6, 0x0401);
    disk.SetContents(kPath, file);
    int32_t id = 0;
    EXPECT_EQ(engine->OpenFile(kPath, 2, "{File}", &id), DmsStatus::WrongVersion);
    disk.SetContents(kPath, std::vector<uint8_t>(35, 0));
    EXPECT_EQ(engine->OpenFile(kPath, 2, "{File}", &id), DmsStatus::WrongFile);
}

TEST_F(DatabaseFile, OlderVersionsOpenWithCollatorKindZero) {
    ASSERT_EQ(engine->CreateFile(kPath, DictionarySchemaForTests()), DmsStatus::Success);
    for (uint16_t version : {0x0402, 0x0403}) {
        std::vector<uint8_t> b = Bytes();
        storage::StoreU16(b.data() + 6, version);
        disk.SetContents(kPath, b);
        int32_t id = 0, kind = -1;
        ASSERT_EQ(engine->OpenFile(kPath, 2, DictionarySchemaForTests(), &id), DmsStatus::Success);
        EXPECT_EQ(engine->GetFileCollatorKind(id, &kind), DmsStatus::Success);
        EXPECT_EQ(kind, 0);
        EXPECT_EQ(engine->CloseFile(id), DmsStatus::Success);
    }
}

struct JournalPathCase {
    std::u16string path;
    std::u16string journal;
};

class JournalPath : public ::testing::TestWithParam<JournalPathCase> {};

TEST_P(JournalPath, FollowsTheLastDotOfTheName) { EXPECT_EQ(JournalPathFor(GetParam().path), GetParam().journal); }

INSTANTIATE_TEST_SUITE_P(
    Rule, JournalPath,
    ::testing::Values(JournalPathCase{u"C:\\a\\dict.qdx", u"C:\\a\\dict.trn"},
                      JournalPathCase{u"C:\\my.folder\\dict", u"C:\\my.folder\\dict.trn"},
                      JournalPathCase{u"/home/u/v1.2/dict", u"/home/u/v1.2/dict.trn"},
                      JournalPathCase{u"dict.old.qdx", u"dict.old.trn"}, JournalPathCase{u"dict", u"dict.trn"},
                      JournalPathCase{u"C:\\a.b/c", u"C:\\a.b/c.trn"}));

// Every header field is read from an untrusted file: each damage gives a
// status at open, never a crash or a read past page 0.
struct HeaderDamage {
    const char* what;
    size_t offset;
    uint32_t value;
    int width;
    DmsStatus expected;
};

class DamagedHeader : public EngineTest, public ::testing::WithParamInterface<HeaderDamage> {};

TEST_P(DamagedHeader, GivesAStatusAtOpen) {
    ASSERT_EQ(engine->CreateFile(kPath, DictionarySchemaForTests()), DmsStatus::Success);
    std::vector<uint8_t> b = Bytes();
    const HeaderDamage& d = GetParam();
    if (d.width == 2)
        storage::StoreU16(b.data() + d.offset, static_cast<uint16_t>(d.value));
    else
        storage::StoreU32(b.data() + d.offset, d.value);
    disk.SetContents(kPath, b);
    for (int32_t mode : {0, 2}) {
        int32_t id = 0;
        EXPECT_EQ(engine->OpenFile(kPath, mode, DictionarySchemaForTests(), &id), d.expected) << d.what;
        EXPECT_EQ(id, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, DamagedHeader,
    ::testing::Values(HeaderDamage{"page size 0", 8, 0, 4, DmsStatus::WrongFile},
                      HeaderDamage{"page size huge", 8, 0x7FFFFFFF, 4, DmsStatus::WrongFile},
                      HeaderDamage{"page size not the schema's", 8, 2048, 4, DmsStatus::WrongFile},
                      HeaderDamage{"descriptor table past the page", 16, 4000, 2, DmsStatus::WrongFile},
                      HeaderDamage{"descriptor table in the head", 16, 8, 2, DmsStatus::WrongFile},
                      HeaderDamage{"signature", 4, 0x1234, 2, DmsStatus::WrongFile},
                      HeaderDamage{"page number", 0, 5, 4, DmsStatus::WrongFile},
                      HeaderDamage{"version", 6, 0x0405, 2, DmsStatus::WrongVersion},
                      HeaderDamage{"PAT position past the file", 20, 0x100000, 4, DmsStatus::WrongFile},
                      HeaderDamage{"PAT position inside page 0", 20, 100, 4, DmsStatus::WrongFile}));

TEST_F(DatabaseFile, WriteBackFlagWithoutJournalGives13) {
    ASSERT_EQ(engine->CreateFile(kPath, DictionarySchemaForTests()), DmsStatus::Success);
    std::vector<uint8_t> b = Bytes();
    storage::StoreU16(b.data() + 14, 0xFFFF);
    disk.SetContents(kPath, b);
    int32_t id = 0;
    EXPECT_EQ(engine->OpenFile(kPath, 0, DictionarySchemaForTests(), &id), DmsStatus::CannotOpenJournal);
}

TEST_F(DatabaseFile, DescriptorOfKeyIdZeroIsFoundWhereverItStands) {
    // Key id 0 as the second index: a scan that stopped at a key id 0 after
    // the first descriptor would lose it and every index behind it.
    const std::string schema = "{File PageSize=512 {Index Id=5} {Index Id=0} {Index Id=9}}";
    int32_t id = CreateAndOpen(schema, 2);
    DMSFile* file = engine->FindFile(id);
    uint32_t cursor = Cursor(id);
    EXPECT_EQ(engine->SelectIndex(cursor, 0), DmsStatus::Success);
    EXPECT_EQ(engine->SelectIndex(cursor, 9), DmsStatus::Success);
    EXPECT_EQ(engine->SelectIndex(cursor, 7), DmsStatus::WrongKeyId);
    EXPECT_EQ(storage::LoadU32(file->Descriptor(1) + 4), 0u);
    EXPECT_EQ(storage::LoadU32(file->Descriptor(2) + 4), 9u);
    EXPECT_EQ(file->Descriptor(3), nullptr);
}

TEST_F(DatabaseFile, CloseUnknownIdGives30) { EXPECT_EQ(engine->CloseFile(3), DmsStatus::FileNotOpened); }

TEST_F(DatabaseFile, FailedCreateLeavesNoFile) {
    disk.InjectFault(SimulatedDisk::Operation::Write, 1, IoError::Failed);
    EXPECT_EQ(engine->CreateFile(kPath, DictionarySchemaForTests()), DmsStatus::FileIoError);
    EXPECT_FALSE(disk.Exists(kPath));
    disk.InjectFault(SimulatedDisk::Operation::SetSize, 1, IoError::NoSpace);
    EXPECT_NE(engine->CreateFile(kPath, DictionarySchemaForTests()), DmsStatus::Success);
    EXPECT_FALSE(disk.Exists(kPath));
}

TEST_F(DatabaseFile, CreateIsDurableWhenItReturns) {
    ASSERT_EQ(engine->CreateFile(kPath, DictionarySchemaForTests()), DmsStatus::Success);
    disk.Crash(SimulatedDisk::CrashModel::UnorderedPowerCut, 1);
    int32_t id = 0;
    EXPECT_EQ(engine->OpenFile(kPath, 2, DictionarySchemaForTests(), &id), DmsStatus::Success);
}

TEST_F(DatabaseFile, SecondWriterIsRefusedReadersShare) {
    ASSERT_EQ(engine->CreateFile(kPath, DictionarySchemaForTests()), DmsStatus::Success);
    int32_t reader1 = 0, reader2 = 0, writer = 0;
    ASSERT_EQ(engine->OpenFile(kPath, 2, DictionarySchemaForTests(), &reader1), DmsStatus::Success);
    ASSERT_EQ(engine->OpenFile(kPath, 2, DictionarySchemaForTests(), &reader2), DmsStatus::Success);
    EXPECT_EQ(engine->OpenFile(kPath, 0, DictionarySchemaForTests(), &writer), DmsStatus::CannotOpenFile);
    engine->CloseFile(reader1);
    engine->CloseFile(reader2);
    ASSERT_EQ(engine->OpenFile(kPath, 1, DictionarySchemaForTests(), &writer), DmsStatus::Success);
    EXPECT_EQ(engine->OpenFile(kPath, 2, DictionarySchemaForTests(), &reader1), DmsStatus::CannotOpenFile);
    EXPECT_EQ(engine->OpenFile(kPath, 1, DictionarySchemaForTests(), &reader1), DmsStatus::CannotOpenFile);
}

}  // namespace
