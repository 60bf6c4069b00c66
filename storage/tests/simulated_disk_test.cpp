// SimulatedDisk: what survives each crash model, barriers, torn writes at
// sectors, fault injection, stopping after k calls, and sharing.
#include "storage/simulated_disk.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using Op = SimulatedDisk::Operation;
using Model = SimulatedDisk::CrashModel;

std::vector<uint8_t> Filled(size_t n, uint8_t v) { return std::vector<uint8_t>(n, v); }

std::unique_ptr<IStorageFile> Create(SimulatedDisk& disk, const char16_t* path) {
    std::unique_ptr<IStorageFile> f;
    EXPECT_EQ(disk.CreateNew(path, f), IoError::Ok);
    return f;
}

TEST(SimulatedDisk, ReadsSeeWritesAndSizes) {
    SimulatedDisk disk;
    auto f = Create(disk, u"a");
    ASSERT_EQ(f->WriteAt(10, Filled(5, 7)), IoError::Ok);
    uint64_t size = 0;
    ASSERT_EQ(f->Size(size), IoError::Ok);
    EXPECT_EQ(size, 15u);
    std::vector<uint8_t> out(20, 0xEE);
    size_t done = 0;
    ASSERT_EQ(f->ReadAt(8, out, done), IoError::Ok);
    EXPECT_EQ(done, 7u);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[2], 7);
    ASSERT_EQ(f->SetSize(12), IoError::Ok);
    EXPECT_EQ(disk.Contents(u"a")->size(), 12u);
}

TEST(SimulatedDisk, ProcessKillKeepsEverythingPowerCutOnlyWhatWasFlushed) {
    for (Model model : {Model::ProcessKill, Model::OrderedPowerCut, Model::UnorderedPowerCut}) {
        SimulatedDisk disk;
        auto f = Create(disk, u"a");
        f->WriteAt(0, Filled(1024, 1));
        ASSERT_EQ(f->Flush(), IoError::Ok);
        f->WriteAt(0, Filled(1024, 2));
        disk.Crash(model, 0);
        auto bytes = disk.Contents(u"a");
        ASSERT_TRUE(bytes);
        if (model == Model::ProcessKill) {
            EXPECT_EQ(*bytes, Filled(1024, 2));
        } else {
            for (uint8_t b : *bytes) EXPECT_TRUE(b == 1 || b == 2);
        }
        std::vector<uint8_t> out(4);
        size_t done = 0;
        EXPECT_EQ(f->ReadAt(0, out, done), IoError::Failed);  // handles die with the crash
    }
}

TEST(SimulatedDisk, OrderedCutAppliesAPrefix) {
    // Write 1 then 2 to different places; an ordered cut never keeps 2 without 1.
    for (uint32_t seed = 0; seed < 50; ++seed) {
        SimulatedDisk disk;
        auto f = Create(disk, u"a");
        f->Flush();
        f->WriteAt(0, Filled(10, 1));
        f->WriteAt(10, Filled(10, 2));
        disk.Crash(Model::OrderedPowerCut, seed);
        auto b = *disk.Contents(u"a");
        bool first = b.size() >= 10 && b[0] == 1;
        bool second = b.size() >= 20 && b[10] == 2;
        EXPECT_TRUE(first || !second) << seed;
    }
}

TEST(SimulatedDisk, UnorderedCutTearsWritesAtSectors) {
    std::set<std::vector<uint8_t>> outcomes;
    for (uint32_t seed = 0; seed < 200; ++seed) {
        SimulatedDisk disk;
        disk.SetContents(u"a", Filled(2048, 0));
        std::unique_ptr<IStorageFile> f;
        ASSERT_EQ(disk.Open(u"a", OpenAccess::ReadWrite, f), IoError::Ok);
        f->WriteAt(0, Filled(2048, 9));
        disk.Crash(Model::UnorderedPowerCut, seed);
        auto b = *disk.Contents(u"a");
        ASSERT_EQ(b.size(), 2048u);
        std::vector<uint8_t> sectors;
        for (size_t s = 0; s < 4; ++s) {
            for (size_t i = 1; i < 512; ++i) ASSERT_EQ(b[s * 512 + i], b[s * 512]);  // whole sectors only
            sectors.push_back(b[s * 512]);
        }
        outcomes.insert(sectors);
    }
    EXPECT_GT(outcomes.size(), 4u);  // torn, whole and dropped all happen
}

TEST(SimulatedDisk, FlushIsABarrierForItsFileAndEarlierCreates) {
    SimulatedDisk disk;
    auto a = Create(disk, u"a");
    auto b = Create(disk, u"b");
    b->WriteAt(0, Filled(4, 3));
    a->WriteAt(0, Filled(4, 1));
    ASSERT_EQ(a->Flush(), IoError::Ok);
    disk.Crash(Model::OrderedPowerCut, 0);  // seed 0 may drop everything pending
    EXPECT_EQ(*disk.Contents(u"a"), Filled(4, 1));
    EXPECT_TRUE(disk.Contents(u"b"));  // created before a's flush
}

TEST(SimulatedDisk, InjectedFaultsHitTheNthCallOfTheirKind) {
    SimulatedDisk disk;
    auto f = Create(disk, u"a");
    disk.InjectFault(Op::Write, 2, IoError::NoSpace);
    EXPECT_EQ(f->WriteAt(0, Filled(4, 1)), IoError::Ok);
    EXPECT_EQ(f->WriteAt(4, Filled(4, 2)), IoError::NoSpace);
    EXPECT_EQ(f->WriteAt(4, Filled(4, 3)), IoError::Ok);
    disk.InjectFault(Op::Flush, 1, IoError::Failed);
    EXPECT_EQ(f->Flush(), IoError::Failed);
    EXPECT_EQ(f->Flush(), IoError::Ok);
    disk.InjectFault(Op::Read, 1, IoError::Failed);
    std::vector<uint8_t> out(4);
    size_t done = 0;
    EXPECT_EQ(f->ReadAt(0, out, done), IoError::Failed);
    disk.InjectFault(Op::SetSize, 1, IoError::NoSpace);
    EXPECT_EQ(f->SetSize(100), IoError::NoSpace);
    f.reset();
    disk.InjectFault(Op::Delete, 1, IoError::Failed);
    EXPECT_EQ(disk.Delete(u"a"), IoError::Failed);
    EXPECT_EQ(disk.Delete(u"a"), IoError::Ok);
}

TEST(SimulatedDisk, ShortWriteLandsAPrefixAndFails) {
    SimulatedDisk disk;
    auto f = Create(disk, u"a");
    disk.InjectFault(Op::Write, 1, IoError::NoSpace, 3);
    EXPECT_EQ(f->WriteAt(0, Filled(8, 5)), IoError::NoSpace);
    EXPECT_EQ(*disk.Contents(u"a"), Filled(3, 5));
}

TEST(SimulatedDisk, StopAfterKCallsFailsEveryLaterCall) {
    SimulatedDisk disk;
    auto f = Create(disk, u"a");
    uint64_t before = disk.CallCount();
    disk.StopAfter(2);
    EXPECT_EQ(f->WriteAt(0, Filled(4, 1)), IoError::Ok);
    EXPECT_EQ(f->Flush(), IoError::Ok);
    EXPECT_EQ(f->WriteAt(0, Filled(4, 2)), IoError::Failed);
    EXPECT_TRUE(disk.Stopped());
    EXPECT_EQ(disk.CallCount(), before + 2);
    disk.Crash(Model::ProcessKill, 0);
    EXPECT_EQ(*disk.Contents(u"a"), Filled(4, 1));
    std::unique_ptr<IStorageFile> again;
    EXPECT_EQ(disk.Open(u"a", OpenAccess::Read, again), IoError::Ok);
}

TEST(SimulatedDisk, SharingFollowsOneWriterOrManyReaders) {
    SimulatedDisk disk;
    disk.SetContents(u"a", Filled(4, 0));
    std::unique_ptr<IStorageFile> r1, r2, w;
    ASSERT_EQ(disk.Open(u"a", OpenAccess::Read, r1), IoError::Ok);
    ASSERT_EQ(disk.Open(u"a", OpenAccess::Read, r2), IoError::Ok);
    EXPECT_EQ(disk.Open(u"a", OpenAccess::ReadWrite, w), IoError::Sharing);
    EXPECT_EQ(disk.CreateAlways(u"a", w), IoError::Sharing);
    EXPECT_EQ(disk.Delete(u"a"), IoError::Sharing);
    r1.reset();
    r2.reset();
    ASSERT_EQ(disk.Open(u"a", OpenAccess::ReadWrite, w), IoError::Ok);
    EXPECT_EQ(disk.Open(u"a", OpenAccess::Read, r1), IoError::Sharing);
    EXPECT_EQ(disk.CreateNew(u"a", r1), IoError::AlreadyExists);
    EXPECT_EQ(disk.Open(u"b", OpenAccess::Read, r1), IoError::NotFound);
}

TEST(SimulatedDisk, CreateAlwaysEmptiesAFile) {
    SimulatedDisk disk;
    disk.SetContents(u"j", Filled(100, 1));
    std::unique_ptr<IStorageFile> f;
    ASSERT_EQ(disk.CreateAlways(u"j", f), IoError::Ok);
    EXPECT_TRUE(disk.Contents(u"j")->empty());
}

TEST(SimulatedDisk, DeleteIsUndoneByAPowerCutBeforeABarrier) {
    SimulatedDisk disk;
    disk.SetContents(u"j", Filled(10, 1));
    ASSERT_EQ(disk.Delete(u"j"), IoError::Ok);
    EXPECT_FALSE(disk.Exists(u"j"));
    disk.Crash(Model::OrderedPowerCut, 0);
    // seed 0 keeps some prefix of one entry: either outcome is allowed,
    // but a process kill always keeps the delete.
    SimulatedDisk other;
    other.SetContents(u"j", Filled(10, 1));
    other.Delete(u"j");
    other.Crash(Model::ProcessKill, 0);
    EXPECT_FALSE(other.Exists(u"j"));
}

TEST(SimulatedDisk, FlushFolderMakesCreatesAndDeletesThereDurable) {
    for (uint32_t seed = 0; seed < 20; ++seed) {
        SimulatedDisk disk;
        disk.SetContents(u"C:\\d\\old", Filled(4, 1));
        std::unique_ptr<IStorageFile> f;
        ASSERT_EQ(disk.CreateNew(u"C:\\d\\new.trn", f), IoError::Ok);
        ASSERT_EQ(disk.CreateNew(u"C:\\e\\other", f), IoError::Ok);
        ASSERT_EQ(disk.Delete(u"C:\\d\\old"), IoError::Ok);
        ASSERT_EQ(disk.FlushFolder(u"C:\\d\\new.trn"), IoError::Ok);
        disk.Crash(SimulatedDisk::CrashModel::UnorderedPowerCut, seed);
        EXPECT_TRUE(disk.Exists(u"C:\\d\\new.trn"));
        EXPECT_FALSE(disk.Exists(u"C:\\d\\old"));
    }
}

TEST(SimulatedDisk, FreeSpaceIsWhatTheTestSays) {
    SimulatedDisk disk;
    disk.SetFreeSpace(127999);
    DriveSpace space;
    EXPECT_EQ(disk.FreeSpace(u"x", space), IoError::Ok);
    EXPECT_EQ(space.available, 127999u);
}

}  // namespace
