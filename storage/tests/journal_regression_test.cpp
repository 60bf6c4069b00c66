// Crashes at every I/O call of one write-back in the situations a journal of
// cached before-images got wrong: a page made by the write-back before and
// torn in this one, and a journal left long by a failed truncation followed
// by a shorter one.
#include "storage/byte_order.h"
#include "storage/structure_verifier.h"
#include "storage/tests/crash_workload.h"

namespace {

using namespace crash_workload;
using Model = SimulatedDisk::CrashModel;

const std::string& Schema() {
    static const std::string schema = DictionarySchemaForTests();
    return schema;
}

std::vector<uint8_t> Fill(size_t n, uint8_t v) { return std::vector<uint8_t>(n, v); }

// Runs `setup` then writes `last` (when not empty) on a fresh disk; with
// `calls` 0 gives the bytes then, else crashes after `calls` calls of the
// write and gives the bytes after recovery.
template <typename Setup>
std::vector<uint8_t> CrashInLastStep(Setup&& setup, const std::vector<uint8_t>& last, uint64_t calls, Model model,
                                     uint32_t seed, uint64_t* lastCalls = nullptr) {
    SimulatedDisk disk;
    {
        CDMS engine(disk);
        EXPECT_EQ(engine.CreateFile(kPath, Schema()), DmsStatus::Success);
        int32_t id = 0;
        EXPECT_EQ(engine.OpenFile(kPath, 0, Schema(), &id), DmsStatus::Success);
        uint32_t cursor = 0;
        EXPECT_EQ(engine.OpenCursor(id, &cursor), DmsStatus::Success);
        setup(disk, engine, cursor);
        uint64_t before = disk.CallCount();
        if (calls != 0) disk.StopAfter(calls);
        uint32_t position = 0;
        if (!last.empty()) engine.WriteData(cursor, last.data(), static_cast<uint32_t>(last.size()), &position);
        if (lastCalls) *lastCalls = disk.CallCount() - before;
        if (calls == 0) return *disk.Contents(kPath);
    }
    disk.Crash(model, seed);
    CDMS engine(disk);
    int32_t id = 0;
    EXPECT_EQ(engine.OpenFile(kPath, 0, Schema(), &id), DmsStatus::Success);
    VerifyReport report = VerifyFile(*engine.FindFile(id));
    EXPECT_TRUE(report.ok()) << (report.ok() ? "" : report.faults.front());
    std::vector<uint8_t> bytes = *disk.Contents(kPath);
    engine.CloseFile(id);
    return bytes;
}

template <typename Setup>
void ExpectEveryCutBeforeOrAfter(Setup&& setup, const std::vector<uint8_t>& last) {
    std::vector<uint8_t> before = CrashInLastStep(setup, {}, 0, Model::ProcessKill, 0);
    uint64_t calls = 0;
    std::vector<uint8_t> after = CrashInLastStep(setup, last, 0, Model::ProcessKill, 0, &calls);
    ASSERT_GT(calls, 0u);
    for (Model model : {Model::ProcessKill, Model::OrderedPowerCut, Model::UnorderedPowerCut}) {
        for (uint32_t seed = 0; seed < (model == Model::UnorderedPowerCut ? 12u : 1u); ++seed) {
            for (uint64_t k = 1; k <= calls; ++k) {
                std::vector<uint8_t> bytes = CrashInLastStep(setup, last, k, model, seed * 977 + static_cast<uint32_t>(k));
                EXPECT_TRUE(bytes == before || bytes == after)
                    << "model " << int(model) << " seed " << seed << " cut at " << k;
            }
        }
    }
}

TEST(JournalRegression, APageMadeByTheLastWriteBackIsJournaledWhenTornNow) {
    // The first write makes the data page; the second fills it further.
    auto setup = [](SimulatedDisk&, CDMS& engine, uint32_t cursor) {
        std::vector<uint8_t> first = Fill(700, 1);
        uint32_t position = 0;
        ASSERT_EQ(engine.WriteData(cursor, first.data(), 700, &position), DmsStatus::Success);
    };
    ExpectEveryCutBeforeOrAfter(setup, Fill(1500, 2));
}

TEST(JournalRegression, AStaleLongerJournalIsNeverReplayed) {
    // A long write-back whose journal is not emptied, then a short one.
    auto setup = [](SimulatedDisk& disk, CDMS& engine, uint32_t cursor) {
        std::vector<uint8_t> big = Fill(20000, 3);
        uint32_t position = 0;
        ASSERT_EQ(engine.WriteData(cursor, big.data(), 20000, &position), DmsStatus::Success);
        disk.InjectFault(SimulatedDisk::Operation::SetSize, 1, IoError::Failed);
        ASSERT_EQ(engine.FreeDataWipe(cursor, position), DmsStatus::FileIoError);  // every page changes
        disk.ClearFaults();
        ASSERT_GT(disk.Contents(kJournal)->size(), 5u * 4096);
    };
    ExpectEveryCutBeforeOrAfter(setup, Fill(30, 4));
}

}  // namespace
