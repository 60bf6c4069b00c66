// The engine services later layers call: flushing the cache, sizing the file,
// handing out collators, the drive's space, the run's one engine; the
// collator checked at open; a stale journal removed by a clean mode-1 close;
// a compressed page in its largest stored form read back.
#include "storage/global_engine.h"
#include "storage/page_allocation_table.h"
#include "storage/tests/index_test_support.h"
// After the engine's headers: in the Windows build these reach the system's
// headers, whose CreateFile macro would rename the engine's.
#include "common/collation/collator.h"
#include "common/unicode/data_resource.h"
#include "common/collation/xcollator1.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <zlib.h>

#ifdef CreateFile
#undef CreateFile
#endif

namespace {

constexpr uint32_t kPageSize = 4096;

// No built-in tables at all while it lives: the UCA collator cannot be had.
class NoDataResources final : public IDataResourceProvider {
public:
    NoDataResources() {
        UcaCollator().FreeTable();
        previous_ = SetDataResourceProvider(this);
    }
    ~NoDataResources() override { SetDataResourceProvider(previous_); }
    std::span<const uint8_t> Find(std::string_view) const override { return {}; }

private:
    IDataResourceProvider* previous_ = nullptr;
};

class EngineServicesTest : public EngineTest {
protected:
    // A mode-1 file with `count` Long keys, all still in the cache.
    uint32_t OpenWithUnwrittenKeys(int32_t count, int32_t& id) {
        id = CreateAndOpen(IndexSchema(), 1);
        uint32_t c = Cursor(id);
        EXPECT_EQ(engine->SelectIndex(c, kLongIndex), DmsStatus::Success);
        for (int32_t i = 0; i < count; ++i) {
            LongKey key(i);
            EXPECT_EQ(engine->InsertKey(c, key.values, {static_cast<uint32_t>(i), 0}), DmsStatus::Success);
        }
        return c;
    }
    uint32_t LastPage() { return U32At(Bytes(), 28); }
};

TEST_F(EngineServicesTest, FlushCacheWritesEveryChangedPageInMode1) {
    int32_t id = 0;
    uint32_t c = OpenWithUnwrittenKeys(3000, id);
    std::vector<uint8_t> before = Bytes();
    ASSERT_EQ(engine->FlushCache(c), DmsStatus::Success);
    std::vector<uint8_t> after = Bytes();
    DMSFile& f = *engine->FindFile(id);
    uint32_t last = f.HeaderU32(28);
    ASSERT_GT(last, 3u);
    ASSERT_GE(after.size(), (last + 1) * kPageSize);
    EXPECT_EQ(U32At(after, 28), last);
    for (uint32_t page = 1; page <= last; ++page) {
        EXPECT_EQ(U32At(after, page * kPageSize), page);
        EXPECT_EQ(U16At(after, page * kPageSize + 4) & 0xFF, 'K') << page;
    }
    EXPECT_NE(before, after);
    // Nothing is left to write: a second flush writes nothing.
    ASSERT_EQ(engine->FlushCache(c), DmsStatus::Success);
    EXPECT_EQ(Bytes(), after);
    EXPECT_EQ(engine->CloseFile(id), DmsStatus::Success);
}

TEST_F(EngineServicesTest, FlushCacheIsRefusedWhereItWouldBypassTheJournal) {
    int32_t id = CreateAndOpen(IndexSchema(), 0);
    uint32_t c = Cursor(id);
    ASSERT_EQ(engine->SelectIndex(c, kLongIndex), DmsStatus::Success);
    ASSERT_EQ(engine->BeginTransaction(c), DmsStatus::Success);
    LongKey key(7);
    ASSERT_EQ(engine->InsertKey(c, key.values, {7, 0}), DmsStatus::Success);
    std::vector<uint8_t> before = Bytes();
    EXPECT_EQ(engine->FlushCache(c), DmsStatus::OperationNotAllowed);
    EXPECT_EQ(Bytes(), before);
    ASSERT_EQ(engine->CommitTransaction(c), DmsStatus::Success);
    EXPECT_EQ(engine->FlushCache(c), DmsStatus::Success);  // outside one: already written back
    EXPECT_EQ(engine->CloseFile(id), DmsStatus::Success);

    ASSERT_EQ(engine->OpenFile(kPath, 2, IndexSchema(), &id), DmsStatus::Success);
    c = Cursor(id);
    for (auto call : {&CDMS::FlushCache, &CDMS::PadToWholePages})
        EXPECT_EQ((engine.get()->*call)(c), DmsStatus::OperationNotAllowed);
    EXPECT_EQ(engine->EnsureFileSize(c, 1 << 20), DmsStatus::OperationNotAllowed);
}

TEST_F(EngineServicesTest, EnsureFileSizeRoundsUpToWholePagesAndNeverCuts) {
    int32_t id = CreateAndOpen(IndexSchema(), 0);
    uint32_t c = Cursor(id);
    std::vector<uint8_t> before = Bytes();
    ASSERT_EQ(before.size(), kPageSize);
    ASSERT_EQ(engine->EnsureFileSize(c, 10000), DmsStatus::Success);
    std::vector<uint8_t> after = Bytes();
    ASSERT_EQ(after.size(), 3 * kPageSize);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
    EXPECT_TRUE(std::all_of(after.begin() + kPageSize, after.end(), [](uint8_t b) { return b == 0; }));
    ASSERT_EQ(engine->EnsureFileSize(c, 100), DmsStatus::Success);
    EXPECT_EQ(Bytes().size(), 3 * kPageSize);
    ASSERT_EQ(engine->EnsureFileSize(c, 3 * kPageSize), DmsStatus::Success);
    EXPECT_EQ(Bytes().size(), 3 * kPageSize);
    EXPECT_EQ(engine->EnsureFileSize(c, uint64_t{1} << 32), DmsStatus::InvalidParameter);
    disk.InjectFault(SimulatedDisk::Operation::SetSize, 1, IoError::Failed);
    EXPECT_EQ(engine->EnsureFileSize(c, 5 * kPageSize), DmsStatus::FileIoError);
    EXPECT_EQ(Bytes().size(), 3 * kPageSize);
    EXPECT_EQ(engine->CloseFile(id), DmsStatus::Success);
    ASSERT_EQ(engine->OpenFile(kPath, 2, IndexSchema(), &id), DmsStatus::Success);
}

TEST_F(EngineServicesTest, PadToWholePagesReachesTheUsedEnd) {
    int32_t id = 0;
    uint32_t c = OpenWithUnwrittenKeys(3000, id);
    ASSERT_EQ(engine->PadToWholePages(c), DmsStatus::Success);
    uint32_t last = engine->FindFile(id)->HeaderU32(28);
    EXPECT_EQ(Bytes().size(), (last + 1) * kPageSize);
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
    ASSERT_EQ(engine->OpenFile(kPath, 2, IndexSchema(), &id), DmsStatus::Success);
    uint32_t r = Cursor(id);
    ASSERT_EQ(engine->SelectIndex(r, kLongIndex), DmsStatus::Success);
    uint32_t count = 0;
    ASSERT_EQ(engine->GetCount(r, &count), DmsStatus::Success);
    EXPECT_EQ(count, 3000u);
}

TEST_F(EngineServicesTest, GetCollatorByKind) {
    struct Case {
        int32_t kind;
        uint32_t expectedKind;
    };
    for (Case k : {Case{0, 0}, Case{1, 1}, Case{-1, 1}}) {
        ICollator* collator = nullptr;
        ASSERT_EQ(CDMS::GetCollator(k.kind, &collator), DmsStatus::Success) << k.kind;
        ASSERT_NE(collator, nullptr);
        EXPECT_EQ(collator->GetKind(), k.expectedKind);
        collator->Release();
    }
    ICollator* untouched = reinterpret_cast<ICollator*>(uintptr_t{0x1234});
    EXPECT_EQ(CDMS::GetCollator(2, &untouched), DmsStatus::InvalidParameter);
    EXPECT_EQ(untouched, reinterpret_cast<ICollator*>(uintptr_t{0x1234}));
    {
        NoDataResources none;
        ICollator* collator = nullptr;
        EXPECT_EQ(CDMS::GetCollator(1, &collator), DmsStatus::CollatorNotFound);
        EXPECT_EQ(collator, nullptr);
        EXPECT_EQ(CDMS::GetCollator(0, &collator), DmsStatus::Success);
        collator->Release();
    }
}

// The file's collator is checked when the file opens, not at its first index
// call; a file of the older format, ordered by the dictionary collator, opens.
TEST_F(EngineServicesTest, MissingCollatorFailsTheOpen) {
    ASSERT_EQ(engine->CreateFile(kPath, IndexSchema()), DmsStatus::Success);
    std::vector<uint8_t> bytes = Bytes();
    {
        NoDataResources none;
        int32_t id = 7;
        EXPECT_EQ(engine->OpenFile(kPath, 0, IndexSchema(), &id), DmsStatus::CollatorNotFound);
        EXPECT_EQ(id, 0);
        EXPECT_EQ(engine->FindFile(1), nullptr);
        EXPECT_EQ(Bytes(), bytes);
        storage::StoreU16(bytes.data() + 6, 0x0403);
        disk.SetContents(kPath, bytes);
        ASSERT_EQ(engine->OpenFile(kPath, 2, IndexSchema(), &id), DmsStatus::Success);
        int32_t kind = -1;
        EXPECT_EQ(engine->GetFileCollatorKind(id, &kind), DmsStatus::Success);
        EXPECT_EQ(kind, 0);
        EXPECT_EQ(engine->CloseFile(id), DmsStatus::Success);
    }
    storage::StoreU16(bytes.data() + 6, 0x0404);
    disk.SetContents(kPath, bytes);
    int32_t id = 0;
    EXPECT_EQ(engine->OpenFile(kPath, 0, IndexSchema(), &id), DmsStatus::Success);
}

TEST(CheckDiskSpace, GivesTheDriveOfAPath) {
    std::u16string folder;
    for (char ch : std::filesystem::temp_directory_path().string()) folder += static_cast<char16_t>(ch);
    uint64_t available = 0, total = 0, free = 0;
    ASSERT_EQ(CheckDiskSpace(folder + u"/x.qdx", &available, &total, &free), DmsStatus::Success);
    EXPECT_GT(total, 0u);
    EXPECT_LE(available, free);
    EXPECT_LE(free, total);
#ifndef _WIN32  // Windows answers for the volume of any well-formed path
    EXPECT_EQ(CheckDiskSpace(u"/no such folder/at all/x.qdx", &available, nullptr, nullptr), DmsStatus::NoDiskSpace);
#endif
}

// The run's engine lives between the start-up and exit of the whole-run
// objects; the exit closes a file left open, with its changes written.
TEST(GlobalEngine, LivesBetweenStartUpAndExit) {
    std::string path = (std::filesystem::temp_directory_path() / "ostrel_global_engine.qdx").string();
    std::u16string path16(path.begin(), path.end());
    std::filesystem::remove(path);
    ASSERT_EQ(GlobalEngine(), nullptr);
    {
        ProgramGlobals globals(StorageEngineHooks());
        CDMS* engine = GlobalEngine();
        ASSERT_NE(engine, nullptr);
        ASSERT_EQ(engine->CreateFile(path16, IndexSchema()), DmsStatus::Success);
        int32_t id = 0;
        ASSERT_EQ(engine->OpenFile(path16, 1, IndexSchema(), &id), DmsStatus::Success);
        uint32_t c = 0;
        ASSERT_EQ(engine->OpenCursor(id, &c), DmsStatus::Success);
        ASSERT_EQ(engine->SelectIndex(c, kTextIndex), DmsStatus::Success);
        TextPairKey key(u"かな", u"仮名");
        ASSERT_EQ(engine->InsertKey(c, key.values, {1, 2}), DmsStatus::Success);
    }
    EXPECT_EQ(GlobalEngine(), nullptr);
    // The exit freed the UCA table; the next engine loads it again.
    CDMS engine(SystemStorageIO());
    int32_t id = 0;
    ASSERT_EQ(engine.OpenFile(path16, 2, IndexSchema(), &id), DmsStatus::Success);
    uint32_t c = 0;
    ASSERT_EQ(engine.OpenCursor(id, &c), DmsStatus::Success);
    ASSERT_EQ(engine.SelectIndex(c, kTextIndex), DmsStatus::Success);
    TextPairKey key(u"かな", u"仮名");
    EntryPosition at;
    ASSERT_EQ(engine.Seek(c, key.values, nullptr, &at), DmsStatus::Success);
    EXPECT_EQ(at.ref.first, 1u);
    EXPECT_EQ(engine.CloseFile(id), DmsStatus::Success);
    std::filesystem::remove(path);
}

TEST_F(EngineServicesTest, CleanMode1CloseRemovesAStaleJournal) {
    const std::u16string journal = u"C:\\Dictionaries\\test.trn";
    for (bool failWriteBack : {false, true}) {
        disk.Delete(kPath);
        disk.SetContents(journal, std::vector<uint8_t>(kPageSize, 0x55));
        int32_t id = 0;
        uint32_t c = OpenWithUnwrittenKeys(10, id);
        (void)c;
        if (failWriteBack) disk.InjectFault(SimulatedDisk::Operation::Write, 1, IoError::Failed);
        DmsStatus closed = engine->CloseFile(id);
        disk.ClearFaults();
        EXPECT_EQ(Failed(closed), failWriteBack);
        EXPECT_EQ(disk.Contents(journal).has_value(), failWriteBack);
    }
}

// A compressed page whose zlib stream is as long as the page itself (stored
// length up to PageSize + 14) is read: other writers keep such forms. One
// byte of stream more than the page is no stored form (255).
TEST_F(EngineServicesTest, CompressedPageInItsLargestStoredFormIsRead) {
    for (bool beyond : {false, true}) {
        int32_t id = CreateAndOpen(IndexSchema(), 1);
        uint32_t c = Cursor(id);
        // One block of random bytes then zeros: the page's stream is about as
        // long as the random part, which is chosen to make it the length wanted.
        std::vector<uint8_t> page(kPageSize);
        std::vector<uint8_t> block;
        std::mt19937 random(11);
        std::vector<uint8_t> noise(kPageSize);
        for (uint8_t& b : noise) b = static_cast<uint8_t>(random());
        std::vector<uint8_t> stream;
        auto wanted = [&](size_t n) { return beyond ? n > kPageSize : n > kPageSize - 14 && n <= kPageSize; };
        for (uint32_t n = 3990; n <= 4076 && !wanted(stream.size()); ++n) {
            block.assign(noise.begin(), noise.begin() + n);
            // The data page as the engine will write it: one chunk at offset 6.
            std::fill(page.begin(), page.end(), 0);
            storage::StoreU16(page.data() + 4, 0x4144);
            storage::StoreU32(page.data() + 6, n + 14);
            storage::StoreU32(page.data() + 10, n);
            page[14] = 0xFF;
            page[15] = 1 | 2;
            std::copy(block.begin(), block.end(), page.begin() + 20);
            uLongf length = 2 * kPageSize;
            stream.assign(length, 0);
            ASSERT_EQ(compress2(stream.data(), &length, page.data() + 6, kPageSize - 6, 9), Z_OK);
            stream.resize(length);
        }
        ASSERT_TRUE(wanted(stream.size())) << "no block gave a stream of the length wanted";
        uint32_t position = 0;
        ASSERT_EQ(engine->WriteData(c, block.data(), static_cast<uint32_t>(block.size()), &position),
                  DmsStatus::Success);
        ASSERT_EQ(engine->Compact(c), DmsStatus::Success);
        ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);

        // Store that page in the compressed form at the end of the file.
        std::vector<uint8_t> bytes = Bytes();
        uint32_t dataPage = position / kPageSize;
        uint32_t pat = U32At(bytes, 20);
        ASSERT_NE(pat, 0xFFFFFFFFu);
        const size_t entryAt = pat + 16 + dataPage * 16;
        ASSERT_EQ(storage::LoadU16(bytes.data() + entryAt + 6) & PageAllocationTable::kFlagCompressed, 0);
        uint32_t at = static_cast<uint32_t>(bytes.size());
        std::vector<uint8_t> stored(14);
        storage::StoreU32(stored.data(), dataPage);
        storage::StoreU16(stored.data() + 4, 0x4144);
        storage::StoreU32(stored.data() + 6, 0xFFFFFFFE);
        storage::StoreU16(stored.data() + 10, static_cast<uint16_t>(stream.size()));
        stored.insert(stored.end(), stream.begin(), stream.end());
        bytes.insert(bytes.end(), stored.begin(), stored.end());
        bytes.resize((bytes.size() + kPageSize - 1) / kPageSize * kPageSize);
        uint8_t* entry = bytes.data() + entryAt;
        storage::StoreU32(entry, at);
        storage::StoreU16(entry + 6,
                          static_cast<uint16_t>(storage::LoadU16(entry + 6) | PageAllocationTable::kFlagCompressed));
        storage::StoreU32(entry + 8, static_cast<uint32_t>(stored.size()));
        storage::StoreU32(entry + 12, 0);
        // The old place is overwritten, so only the new form can give the bytes.
        std::fill(bytes.begin() + dataPage * kPageSize, bytes.begin() + (dataPage + 1) * kPageSize, 0xEE);
        disk.SetContents(kPath, bytes);

        ASSERT_EQ(engine->OpenFile(kPath, 2, IndexSchema(), &id), DmsStatus::Success);
        c = Cursor(id);
        std::vector<uint8_t> read(block.size() + 10);
        uint32_t count = static_cast<uint32_t>(read.size());
        if (beyond) {
            EXPECT_EQ(engine->ReadData(c, position, read.data(), &count), DmsStatus::PageNotStored);
        } else {
            ASSERT_EQ(engine->ReadData(c, position, read.data(), &count), DmsStatus::Success);
            read.resize(count);
            EXPECT_EQ(read, block);
        }
        ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
        disk.Delete(kPath);
    }
}

}  // namespace
