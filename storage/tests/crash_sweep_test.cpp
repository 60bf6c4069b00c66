// Crash and error sweeps over the EDICT workload: cut the run at sampled I/O
// calls under each crash model (every call with OSTREL_FULL_CRASH_SWEEP=1),
// crash during recovery, fail single I/O calls; each time the reopened file
// must equal the reference after the last completed step or the one after.
#include "storage/byte_order.h"
#include "storage/structure_verifier.h"
#include "storage/tests/crash_workload.h"

#include <cstdlib>

namespace {

using namespace crash_workload;
using Model = SimulatedDisk::CrashModel;
using Op = SimulatedDisk::Operation;

#ifdef _WIN32
constexpr size_t kSteps = 60;
constexpr uint64_t kSampledPoints = 8;
#else
constexpr size_t kSteps = 200;
constexpr uint64_t kSampledPoints = 24;
#endif

bool FullSweep() {
    const char* v = std::getenv("OSTREL_FULL_CRASH_SWEEP");
    return v != nullptr && v[0] == '1';
}

const std::string& Schema() {
    static const std::string schema = DictionarySchemaForTests();
    return schema;
}

const std::vector<Step>& Steps() {
    static const std::vector<Step> steps = MakeSteps(kSteps, 7);
    return steps;
}

uint16_t FlagOf(const std::vector<uint8_t>& bytes) { return storage::LoadU16(bytes.data() + 14); }

// Turns a file without allocation table into one with it: one PAT page after
// the last page, every page described at its place. Compaction makes such
// files; the write-back must keep them as safe as plain ones.
std::vector<uint8_t> WithAllocationTable(std::vector<uint8_t> bytes, uint32_t pageSize) {
    using storage::LoadU16;
    using storage::LoadU32;
    using storage::StoreU16;
    using storage::StoreU32;
    uint32_t last = LoadU32(bytes.data() + 28);
    uint32_t patPage = last + 1;
    uint32_t perPage = (pageSize - 16) / 16;
    EXPECT_LT(patPage, perPage);
    std::vector<uint8_t> pat(pageSize, 0);
    StoreU32(pat.data(), patPage);
    StoreU16(pat.data() + 4, 0x5450);
    StoreU16(pat.data() + 6, static_cast<uint16_t>(perPage));
    StoreU32(pat.data() + 8, 0xFFFFFFFF);
    for (uint32_t n = 0; n < perPage; ++n) {
        uint8_t* e = pat.data() + 16 + n * 16;
        if (n <= patPage) {
            StoreU32(e, n * pageSize);
            StoreU16(e + 4, n == patPage ? 0x5450 : LoadU16(bytes.data() + size_t{n} * pageSize + 4));
            StoreU32(e + 8, pageSize);
        } else {
            StoreU32(e, 0xFFFFFFFF);
            StoreU16(e + 6, 8);
            StoreU32(e + 8, pageSize);
        }
    }
    bytes.resize(size_t{patPage} * pageSize);
    bytes.insert(bytes.end(), pat.begin(), pat.end());
    StoreU32(bytes.data() + 20, patPage * pageSize);
    StoreU32(bytes.data() + 28, patPage);
    return bytes;
}

// The file compacted by the engine: pages compressed and moved down, the
// allocation table moved with them, the file cut at its used end.
std::vector<uint8_t> Compacted(const std::vector<uint8_t>& bytes) {
    SimulatedDisk disk;
    disk.SetContents(kPath, bytes);
    CDMS engine(disk);
    int32_t id = 0;
    uint32_t cursor = 0;
    EXPECT_EQ(engine.OpenFile(kPath, 1, Schema(), &id), DmsStatus::Success);
    EXPECT_EQ(engine.OpenCursor(id, &cursor), DmsStatus::Success);
    EXPECT_EQ(engine.Compact(cursor), DmsStatus::Success);
    EXPECT_EQ(engine.CloseFile(id), DmsStatus::Success);
    EXPECT_LE(disk.Contents(kPath)->size(), bytes.size());
    return *disk.Contents(kPath);
}

struct Sweep {
    const std::vector<Step>* steps;
    const Reference* ref;
    const std::vector<uint8_t>* initial;  // null: created by the run
    uint32_t keysBefore = 0;              // keys the initial file holds
};

// Runs until `calls` I/O calls after the open have been made, kills the
// process, crashes the disk; returns the steps completed.
size_t RunAndCrash(SimulatedDisk& disk, const Sweep& sweep, uint64_t calls, Model model, uint32_t seed) {
    if (sweep.initial) disk.SetContents(kPath, *sweep.initial);
    Runner runner(disk, *sweep.steps);
    if (!sweep.initial) {
        EXPECT_EQ(runner.Create(Schema()), DmsStatus::Success);
    }
    EXPECT_EQ(runner.Open(Schema()), DmsStatus::Success);
    disk.StopAfter(calls);
    size_t done = 0;
    while (done < sweep.steps->size() && !Failed(runner.Run(done))) ++done;
    runner.Kill();
    disk.Crash(model, seed);
    return done;
}

// Opens in mode 0 and checks the bytes against the reference; a second
// reopen must change nothing.
void ExpectRecovered(SimulatedDisk& disk, const Sweep& sweep, size_t done, const std::string& where) {
    std::vector<uint8_t> first;
    for (int pass = 0; pass < 2; ++pass) {
        CDMS engine(disk);
        int32_t id = 0;
        ASSERT_EQ(engine.OpenFile(kPath, 0, Schema(), &id), DmsStatus::Success) << where << " pass " << pass;
        std::vector<uint8_t> bytes = *disk.Contents(kPath);
        std::optional<size_t> state = MatchingState(*sweep.ref, bytes, done);
        ASSERT_TRUE(state.has_value()) << where << ": reopened file is neither state " << done << " nor the next";
        if (pass == 0) {
            first = bytes;
            uint32_t cursor = 0;
            ASSERT_EQ(engine.OpenCursor(id, &cursor), DmsStatus::Success);
            ASSERT_EQ(engine.SelectIndex(cursor, kKeyIndex), DmsStatus::Success);
            ExpectBlocksOf(engine, cursor, *sweep.steps, *sweep.ref, *state, sweep.keysBefore);
            std::string problem;
            EXPECT_EQ(VerifyIndex(*engine.FindFile(id), kKeyIndex, &problem), DmsStatus::Success) << where << problem;
            VerifyReport report = VerifyFile(*engine.FindFile(id));
            EXPECT_TRUE(report.ok()) << where << ": " << (report.ok() ? "" : report.faults.front());
        } else {
            EXPECT_EQ(bytes, first) << where;
        }
        EXPECT_EQ(engine.CloseFile(id), DmsStatus::Success) << where;
    }
}

std::vector<uint64_t> CrashPoints(uint64_t total, uint32_t offset) {
    std::vector<uint64_t> points;
    uint64_t stride = FullSweep() ? 1 : std::max<uint64_t>(1, total / kSampledPoints);
    for (uint64_t k = 1 + offset % stride; k <= total; k += stride) points.push_back(k);
    return points;
}

struct ModelCase {
    Model model;
    uint32_t seed;
    const char* name;
};

class CrashSweep : public ::testing::TestWithParam<ModelCase> {};

TEST_P(CrashSweep, EveryCutReopensToACompletedState) {
    const Reference& ref = [] () -> const Reference& {
        static const Reference r = RunReference(Steps(), Schema());
        return r;
    }();
    Sweep sweep{&Steps(), &ref, nullptr};
    for (uint64_t k : CrashPoints(ref.ioCalls, GetParam().seed)) {
        SimulatedDisk disk;
        size_t done = RunAndCrash(disk, sweep, k, GetParam().model, GetParam().seed * 7919 + static_cast<uint32_t>(k));
        ExpectRecovered(disk, sweep, done, std::string(GetParam().name) + " cut at call " + std::to_string(k));
        if (HasFatalFailure()) return;
    }
}

// Cuts of `tail` run on `initial`, a file made from the last state of `head`
// (which holds no transaction).
void SweepFromInitial(const std::vector<Step>& head, const std::vector<Step>& tail,
                      const std::vector<uint8_t>& initial, const Reference& ref, const ModelCase& c,
                      uint32_t seedFactor, const std::string& label) {
    int32_t keysBefore = 0;
    for (const Step& s : head) keysBefore += s.kind == Kind::InsertKey ? 1 : s.kind == Kind::DeleteKey ? -1 : 0;
    Sweep sweep{&tail, &ref, &initial, static_cast<uint32_t>(keysBefore)};
    for (uint64_t k : CrashPoints(ref.ioCalls, c.seed + seedFactor % 7)) {
        SimulatedDisk disk;
        size_t done = RunAndCrash(disk, sweep, k, c.model, c.seed * seedFactor + static_cast<uint32_t>(k));
        ExpectRecovered(disk, sweep, done, std::string(c.name) + label + std::to_string(k));
        if (::testing::Test::HasFatalFailure()) return;
    }
}

TEST_P(CrashSweep, FilesWithAllocationTableRecoverAlike) {
    static const std::vector<Step> head(Steps().begin(), Steps().begin() + kSteps / 4);
    static const std::vector<Step> tail = MakeSteps(kSteps / 3, 11, 1000);
    static const std::vector<uint8_t> initial = WithAllocationTable(RunReference(head, Schema()).states.back(), 4096);
    static const Reference ref = RunReference(tail, Schema(), &initial);
    SweepFromInitial(head, tail, initial, ref, GetParam(), 31, " PAT cut at call ");
}

TEST_P(CrashSweep, CompactedFilesRecoverAlike) {
    static const std::vector<Step> head(Steps().begin(), Steps().begin() + kSteps / 4);
    static const std::vector<Step> tail = MakeSteps(kSteps / 3, 13, 1000);
    static const std::vector<uint8_t> initial = Compacted(RunReference(head, Schema()).states.back());
    static const Reference ref = RunReference(tail, Schema(), &initial);
    SweepFromInitial(head, tail, initial, ref, GetParam(), 37, " compacted, cut at call ");
}

INSTANTIATE_TEST_SUITE_P(Models, CrashSweep,
                         ::testing::Values(ModelCase{Model::ProcessKill, 1, "kill"},
                                           ModelCase{Model::OrderedPowerCut, 2, "ordered"},
                                           ModelCase{Model::UnorderedPowerCut, 3, "torn-a"},
                                           ModelCase{Model::UnorderedPowerCut, 4, "torn-b"},
                                           ModelCase{Model::UnorderedPowerCut, 5, "torn-c"},
                                           ModelCase{Model::OneWriteLost, 6, "one-lost"}),
                         [](const ::testing::TestParamInfo<ModelCase>& info) {
                             std::string n = info.param.name;
                             for (char& c : n) if (c == '-') c = '_';
                             return n;
                         });

TEST(CrashDuringRecovery, EveryCutOfTheRecoveryReachesTheSameState) {
    static const std::vector<Step> steps(Steps().begin(), Steps().begin() + 30);
    Reference ref = RunReference(steps, Schema());
    Sweep sweep{&steps, &ref, nullptr};
    // Cuts that leave the flag set and the journal whole: the last call of
    // the last write-back and the first of each of the last two, where the
    // file holds the new header and old pages (a replay that lost its order
    // mixes them).
    std::vector<std::pair<uint64_t, size_t>> cuts;  // call, steps done
    bool inRun = false;
    uint64_t runStart = 0;
    size_t runDone = 0;
    int runs = 0;
    for (uint64_t k = ref.ioCalls; k > 0 && runs < 2; --k) {
        SimulatedDisk disk;
        size_t done = RunAndCrash(disk, sweep, k, Model::ProcessKill, 0);
        bool set = FlagOf(*disk.Contents(kPath)) == 0xFFFF;
        if (set && !inRun && runs == 0) cuts.emplace_back(k, done);
        if (set) {
            runStart = k;
            runDone = done;
        } else if (inRun) {
            cuts.emplace_back(runStart, runDone);
            ++runs;
        }
        inRun = set;
    }
    ASSERT_FALSE(cuts.empty());
    for (auto [cut, done] : cuts) {
        uint64_t recoveryCalls = 0;
        {
            SimulatedDisk disk;
            RunAndCrash(disk, sweep, cut, Model::ProcessKill, 0);
            CDMS engine(disk);
            int32_t id = 0;
            uint64_t before = disk.CallCount();
            ASSERT_EQ(engine.OpenFile(kPath, 0, Schema(), &id), DmsStatus::Success);
            recoveryCalls = disk.CallCount() - before;
        }
        for (Model model :
             {Model::ProcessKill, Model::OrderedPowerCut, Model::UnorderedPowerCut, Model::OneWriteLost}) {
            // One lost write: each of the first eight in turn.
            const uint32_t variants = model == Model::OneWriteLost ? 8 : 1;
            for (uint64_t j = 1; j <= recoveryCalls; ++j) {
                for (uint32_t v = 0; v < variants; ++v) {
                    SimulatedDisk disk;
                    RunAndCrash(disk, sweep, cut, Model::ProcessKill, 0);
                    {
                        CDMS engine(disk);
                        disk.StopAfter(j);
                        int32_t id = 0;
                        engine.OpenFile(kPath, 0, Schema(), &id);
                    }
                    disk.Crash(model, model == Model::OneWriteLost ? v : static_cast<uint32_t>(j));
                    ExpectRecovered(disk, sweep, done,
                                    "write-back cut at " + std::to_string(cut) + ", recovery cut at call " +
                                        std::to_string(j));
                    if (HasFatalFailure()) return;
                }
            }
        }
    }
}

// The k-th read, write, flush or size change of one step fails: the step
// reports it, no journal is emptied while the flag is set on the disk, and
// after a restart the file is the state before or after the step.
TEST(ErrorSweep, AFailedCallLeavesTheStateBeforeOrAfter) {
    static const std::vector<Step> steps(Steps().begin(), Steps().begin() + kSteps / 2);
    Reference ref = RunReference(steps, Schema());
    Sweep sweep{&steps, &ref, nullptr};
    size_t checked = 0;
    for (size_t step = 0; step < steps.size(); step += FullSweep() ? 1 : 23) {
        for (Op op : {Op::Read, Op::Write, Op::Flush, Op::SetSize}) {
            for (uint64_t nth = 1; nth <= 10; ++nth) {
                for (IoError error : {nth % 2 ? IoError::Failed : IoError::NoSpace}) {
                    SimulatedDisk disk;
                    Runner runner(disk, steps);
                    ASSERT_EQ(runner.Create(Schema()), DmsStatus::Success);
                    ASSERT_EQ(runner.Open(Schema()), DmsStatus::Success);
                    for (size_t i = 0; i < step; ++i) ASSERT_EQ(runner.Run(i), DmsStatus::Success);
                    disk.InjectFault(op, nth, error, error == IoError::NoSpace ? std::optional<uint32_t>(700)
                                                                              : std::nullopt);
                    DmsStatus st = runner.Run(step);
                    disk.ClearFaults();
                    std::string where = "step " + std::to_string(step) + " op " + std::to_string(int(op)) +
                                        " nth " + std::to_string(nth);
                    std::vector<uint8_t> bytes = *disk.Contents(kPath);
                    if (FlagOf(bytes) != 0) {
                        auto journal = disk.Contents(kJournal);
                        EXPECT_TRUE(journal && !journal->empty()) << where << ": flag set, journal emptied";
                    } else if (!Failed(st)) {
                        EXPECT_EQ(bytes, ref.states[step + 1]) << where;
                    } else {
                        EXPECT_TRUE(MatchingState(ref, bytes, step).has_value()) << where;
                    }
                    runner.Kill();
                    size_t done = Failed(st) ? step : step + 1;
                    ExpectRecovered(disk, sweep, done, where);
                    if (HasFatalFailure()) return;
                    ++checked;
                }
            }
        }
    }
    EXPECT_GT(checked, 0u);
}

}  // namespace
