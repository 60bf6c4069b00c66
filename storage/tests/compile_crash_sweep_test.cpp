// A compile in mode 1 (a bulk load of EDICT keys, articles, compaction, the
// close) cut at every I/O call under every crash model: the file then opens
// with 100 (marked incomplete), or is byte for byte the file before the
// compile, or holds everything the compile wrote and passes the verifier
// (compaction keeps the mark on the disk from its first move to its last
// write-back, so its cuts give 100). A flush the incomplete mark, the
// write-back or the compaction needs, when left out, makes some cut give
// anything else.
#include "storage/structure_verifier.h"
#include "storage/tests/edict_keys.h"
#include "storage/tests/index_test_support.h"

#include <gtest/gtest.h>

namespace {

using Model = SimulatedDisk::CrashModel;
const std::string kSchema =
    "{File PageSize=4096 {Record Id=0} {Index Id=2 {Segment Type=UString Sort=WK} {Segment Type=UString}}}";
constexpr const char16_t* kPath = u"C:\\Dictionaries\\compiled.qdx";

std::string Article(uint32_t i) {
    std::string text = "article " + std::to_string(i) + ": ";
    while (text.size() < 300 + i * 410) text += "reading, headword, translation; ";
    return text;
}

// Runs the compile on `disk`; with `stopAfter` the disk stops there.
void Compile(SimulatedDisk& disk, uint64_t stopAfter, std::vector<uint32_t>* positions = nullptr) {
    static const std::vector<ReadingAndWord> keys = LoadEdictKeys(400);
    CDMS engine(disk);
    if (stopAfter != 0) disk.StopAfter(stopAfter);
    int32_t id = 0;
    if (Failed(engine.OpenFile(kPath, 1, kSchema, &id))) return;
    uint32_t c = 0;
    engine.OpenCursor(id, &c);
    engine.SelectIndex(c, 2);
    engine.BeginBulkLoad(c);
    for (size_t i = 0; i < keys.size(); ++i) {
        TextPairKey key(keys[i].first, keys[i].second);
        engine.InsertKey(c, key.values, {static_cast<uint32_t>(i), 0});
    }
    engine.EndBulkLoad(c);
    for (uint32_t i = 0; i < 24; ++i) {
        std::string text = Article(i);
        uint32_t position = 0;
        engine.WriteData(c, text.data(), static_cast<uint32_t>(text.size()), &position);
        if (positions != nullptr) positions->push_back(position);
    }
    engine.Compact(c);
    engine.CloseFile(id);
}

// Every key of the compile in order and every article.
void ExpectWholeCompile(CDMS& engine, int32_t id, const std::vector<uint32_t>& positions, const std::string& where) {
    static const size_t keyCount = LoadEdictKeys(400).size();
    uint32_t c = 0;
    ASSERT_EQ(engine.OpenCursor(id, &c), DmsStatus::Success);
    ASSERT_EQ(engine.SelectIndex(c, 2), DmsStatus::Success);
    uint32_t count = 0;
    EXPECT_EQ(engine.GetCount(c, &count), DmsStatus::Success);
    EXPECT_EQ(count, keyCount) << where;
    std::string problem;
    EXPECT_EQ(VerifyIndex(*engine.FindFile(id), 2, &problem), DmsStatus::Success) << where << ": " << problem;
    VerifyReport report = VerifyFile(*engine.FindFile(id));
    EXPECT_TRUE(report.ok()) << where << ": " << (report.ok() ? "" : report.faults.front());
    for (uint32_t i = 0; i < positions.size(); ++i) {
        std::string expected = Article(i);
        std::string read(expected.size(), '\0');
        uint32_t n = static_cast<uint32_t>(read.size());
        EXPECT_EQ(engine.ReadData(c, positions[i], read.data(), &n), DmsStatus::Success) << where;
        EXPECT_EQ(read, expected) << where << ": article " << i;
    }
}

TEST(CompileCrashSweep, EveryCutGivesTheFileBeforeOrAWholeOneOrIsMarked) {
    SimulatedDisk reference;
    {
        CDMS engine(reference);
        ASSERT_EQ(engine.CreateFile(kPath, kSchema), DmsStatus::Success);
    }
    const std::vector<uint8_t> before = *reference.Contents(kPath);
    uint64_t start = reference.CallCount();
    std::vector<uint32_t> positions;
    Compile(reference, 0, &positions);
    const uint64_t calls = reference.CallCount() - start;
    ASSERT_NE(before, *reference.Contents(kPath));
    ASSERT_GT(calls, 20u);
    struct Cut {
        Model model;
        uint32_t seed;  // 0 for OneWriteLost: the oldest write is lost
    };
    for (Cut cut : {Cut{Model::ProcessKill, 0}, Cut{Model::OrderedPowerCut, 1}, Cut{Model::UnorderedPowerCut, 2},
                    Cut{Model::OneWriteLost, 0}, Cut{Model::OneWriteLost, 1}}) {
        Model model = cut.model;
        for (uint64_t k = 1; k <= calls; ++k) {
            SimulatedDisk disk;
            disk.SetContents(kPath, before);
            Compile(disk, k);
            disk.Crash(model, model == Model::OneWriteLost ? cut.seed : cut.seed * 7919 + static_cast<uint32_t>(k));
            CDMS engine(disk);
            int32_t id = 0;
            DmsStatus st = engine.OpenFile(kPath, 2, kSchema, &id);
            std::string where = "model " + std::to_string(static_cast<int>(model)) + ", cut at call " +
                                std::to_string(k) + " of " + std::to_string(calls);
            if (st == DmsStatus::IntegrityBroken || *disk.Contents(kPath) == before) continue;
            ASSERT_EQ(st, DmsStatus::Success) << where;
            ExpectWholeCompile(engine, id, positions, where);
            if (HasFailure()) return;
        }
    }
}

}  // namespace
