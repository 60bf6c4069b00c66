// Random sequences of stores, frees, wipes, reads and reopenings checked
// against an in-memory model of every block, in each write mode, in files
// with and without a page allocation table and with compressed pages. The
// structural verifier runs after every reopening.
#include "common/tests/edict_files.h"
#include "storage/data_blocks.h"
#include "storage/structure_verifier.h"
#include "storage/tests/engine_fixture.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {

// Lines of Debian's EDICT as raw bytes: real article-sized payloads.
const std::vector<std::string>& EdictLines() {
    static const std::vector<std::string> lines = [] {
        const std::vector<uint8_t> edict = ReadEdictFile("edict");
        std::vector<std::string> out;
        for (std::span<const uint8_t> line : SplitLines(edict)) {
            if (out.size() == 20000) break;
            out.emplace_back(line.begin(), line.end());
        }
        return out;
    }();
    return lines;
}

struct ModelCase {
    int32_t mode;
    bool addPat;
    bool compress;
    uint32_t seed;
};

class DataBlockModel : public EngineTest, public ::testing::WithParamInterface<ModelCase> {
protected:
    struct Block {
        std::vector<uint8_t> bytes;
        bool deleted = false;
    };

    void SetUp() override {
        engine = std::make_unique<CDMS>(disk, 48);  // a small cache: eviction happens
        schema = DictionarySchemaForTests();
        id = CreateAndOpen(schema, GetParam().mode);
        cursor = Cursor(id);
    }

    void Reopen() {
        ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
        ASSERT_EQ(engine->OpenFile(kPath, GetParam().mode, schema, &id), DmsStatus::Success);
        cursor = Cursor(id);
        if (GetParam().compress) engine->FindFile(id)->SetCompression(true);
        CheckAll();
    }

    void CheckAll() {
        for (const auto& [position, block] : model) CheckOne(position, block);
        VerifyReport report = VerifyFile(*engine->FindFile(id));
        EXPECT_TRUE(report.ok()) << (report.faults.empty() ? "" : report.faults.front());
        size_t live = 0;
        for (const auto& [position, block] : model) live += !block.deleted;
        EXPECT_EQ(report.dataBlocks, model.size());
        EXPECT_EQ(report.dataBlocks - report.deletedBlocks, live);
    }

    void CheckOne(uint32_t position, const Block& block) {
        uint32_t total = 0;
        DmsStatus expected = block.deleted ? DmsStatus::Deleted : DmsStatus::Success;
        ASSERT_EQ(engine->ReadData(cursor, position, nullptr, &total), expected) << position;
        ASSERT_EQ(total, block.bytes.size());
        std::vector<uint8_t> got(total + 3, 0xCD);
        uint32_t count = total + 3;
        ASSERT_EQ(engine->ReadData(cursor, position, got.data(), &count), expected);
        ASSERT_EQ(count, total);
        got.resize(total);
        ASSERT_EQ(got, block.bytes) << position;
    }

    std::string schema;
    int32_t id = 0;
    uint32_t cursor = 0;
    std::map<uint32_t, Block> model;
};

TEST_P(DataBlockModel, RandomOperationsMatchTheModel) {
    std::mt19937 random(GetParam().seed);
    const auto& edict = EdictLines();
    ASSERT_FALSE(edict.empty());
    std::vector<uint32_t> positions;
    for (int step = 0; step < 1500; ++step) {
        int pick = std::uniform_int_distribution<int>(0, 99)(random);
        if (step == 500 && GetParam().addPat) {
            DMSFile* file = engine->FindFile(id);
            ASSERT_EQ(file->AddPageAllocationTable(), DmsStatus::Success);
            EXPECT_EQ(file->AddPageAllocationTable(), DmsStatus::PatAlreadyExists);
            if (GetParam().compress) file->SetCompression(true);
            Reopen();
        }
        if (pick < 60 || positions.empty()) {
            std::vector<uint8_t> bytes;
            if (pick % 5 == 0) {
                bytes.resize(std::uniform_int_distribution<size_t>(1, 20000)(random));
                for (uint8_t& b : bytes) b = static_cast<uint8_t>(random() & (pick % 2 ? 0xFF : 0x07));
            } else {
                const std::string& line = edict[random() % edict.size()];
                bytes.assign(line.begin(), line.end());
            }
            uint32_t position = 0;
            ASSERT_EQ(engine->WriteData(cursor, bytes.data(), static_cast<uint32_t>(bytes.size()), &position),
                      DmsStatus::Success);
            if (bytes.empty()) continue;
            ASSERT_EQ(model.count(position), 0u);
            model[position] = Block{bytes, false};
            positions.push_back(position);
        } else if (pick < 75) {
            uint32_t position = positions[random() % positions.size()];
            bool wipe = pick < 68;
            ASSERT_EQ(wipe ? engine->FreeDataWipe(cursor, position) : engine->FreeData(cursor, position),
                      DmsStatus::Success);
            Block& b = model[position];
            b.deleted = true;
            if (wipe) std::fill(b.bytes.begin(), b.bytes.end(), 0);
        } else if (pick < 98) {
            uint32_t position = positions[random() % positions.size()];
            CheckOne(position, model[position]);
        } else {
            Reopen();
        }
    }
    Reopen();
    if (GetParam().compress) {
        // Compressed pages take less room than whole pages.
        uint64_t used = engine->FindFile(id)->UsedEnd();
        uint64_t pages = engine->FindFile(id)->HeaderU32(header::kLastPage) + 1;
        EXPECT_LT(used, pages * 4096);
    }
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
    ASSERT_EQ(engine->OpenFile(kPath, 2, schema, &id), DmsStatus::Success);
    cursor = Cursor(id);
    CheckAll();
}

INSTANTIATE_TEST_SUITE_P(Modes, DataBlockModel,
                         ::testing::Values(ModelCase{0, false, false, 1}, ModelCase{1, false, false, 2},
                                           ModelCase{0, true, false, 3}, ModelCase{1, true, false, 4},
                                           ModelCase{1, true, true, 5}, ModelCase{0, true, true, 6}));

}  // namespace
