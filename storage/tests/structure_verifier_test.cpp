// The structural verifier finds each kind of damage it promises to find, and
// passes the files the engine writes.
#include "storage/structure_verifier.h"
#include "storage/page_frame.h"
#include "storage/tests/engine_fixture.h"
#include "storage/tests/index_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

class Verifier : public EngineTest {
protected:
    // A file with a few blocks, a multi-page one among them; left closed.
    void MakeFile(bool withPat = false) {
        int32_t id = CreateAndOpen(DictionarySchemaForTests(), 1);
        uint32_t cursor = Cursor(id);
        for (size_t n : {100u, 9000u, 200u, 50u}) {
            std::vector<uint8_t> bytes(n, 0x41);
            uint32_t position = 0;
            ASSERT_EQ(engine->WriteData(cursor, bytes.data(), static_cast<uint32_t>(n), &position), DmsStatus::Success);
            blocks.push_back(position);
        }
        if (withPat) {
            ASSERT_EQ(engine->FindFile(id)->AddPageAllocationTable(), DmsStatus::Success);
        }
        ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);
    }
    VerifyReport VerifyWith(const std::function<void(std::vector<uint8_t>&)>& damage,
                            const VerifyOptions& options = {}) {
        std::vector<uint8_t> b = Bytes();
        damage(b);
        disk.SetContents(kPath, b);
        int32_t id = 0;
        EXPECT_EQ(engine->OpenFile(kPath, 2, DictionarySchemaForTests(), &id), DmsStatus::Success);
        VerifyReport r = VerifyFile(*engine->FindFile(id), options);
        engine->CloseFile(id);
        return r;
    }
    static bool Mentions(const VerifyReport& r, const std::string& text) {
        for (const std::string& f : r.faults) {
            if (f.find(text) != std::string::npos) return true;
        }
        return false;
    }
    std::vector<uint32_t> blocks;
};

TEST_F(Verifier, PassesAFileTheEngineWrote) {
    MakeFile();
    VerifyReport r = VerifyWith([](std::vector<uint8_t>&) {});
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.dataBlocks, 4u);
    EXPECT_EQ(r.dataBytes, 9350u);
}

TEST_F(Verifier, FindsALostChunkLength) {
    MakeFile();
    VerifyReport r = VerifyWith([&](std::vector<uint8_t>& b) { storage::StoreU32(b.data() + blocks[2], 0); });
    EXPECT_TRUE(Mentions(r, "after the end of its chunks"));
}

TEST_F(Verifier, FindsABrokenChain) {
    MakeFile();
    VerifyReport r = VerifyWith([&](std::vector<uint8_t>& b) { storage::StoreU32(b.data() + blocks[1] + 10, 0); });
    EXPECT_TRUE(Mentions(r, "chain broken"));
}

TEST_F(Verifier, FindsAChunkSharedByTwoBlocks) {
    MakeFile();
    VerifyReport r = VerifyWith([&](std::vector<uint8_t>& b) {
        // The last block becomes a second head of the multi-page block's chain.
        uint32_t second = U32At(b, blocks[1] + 10);
        uint8_t* head = b.data() + blocks[3];
        storage::StoreU32(head + 4, 9000 - 4076);
        head[9] = 1;
        storage::StoreU32(head, 4096 - blocks[3] % 4096);
        storage::StoreU32(head + 10, second);
    });
    EXPECT_FALSE(r.ok());
}

TEST_F(Verifier, FindsHeaderAndDescriptorDamage) {
    MakeFile();
    VerifyReport r = VerifyWith([](std::vector<uint8_t>& b) {
        storage::StoreU32(b.data() + 48 + 16 * 3 + 4, 999);  // key id of the fourth index
        storage::StoreU32(b.data() + 48 + 8, 5);            // entries without a root
        storage::StoreU32(b.data() + 24, 700);              // current data page out of range
    });
    EXPECT_TRUE(Mentions(r, "key id"));
    EXPECT_TRUE(Mentions(r, "entries without a root"));
    EXPECT_TRUE(Mentions(r, "current data page"));
}

TEST_F(Verifier, FindsPagesBeyondTheFileAndUnknownSignatures) {
    MakeFile();
    VerifyReport r = VerifyWith([](std::vector<uint8_t>& b) {
        storage::StoreU16(b.data() + 4096 + 4, 0x7777);
        storage::StoreU32(b.data() + 28, 5000);
    });
    EXPECT_TRUE(Mentions(r, "unknown signature"));
    EXPECT_TRUE(Mentions(r, "beyond the end of the file"));
}

TEST_F(Verifier, FindsOverlappingStoredPages) {
    MakeFile(true);
    VerifyReport r = VerifyWith([](std::vector<uint8_t>& b) {
        uint32_t pat = U32At(b, 20);
        storage::StoreU32(b.data() + pat + 16 + 16 * 2, 4096 + 100);  // page 2 inside page 1
    });
    EXPECT_TRUE(Mentions(r, "overlaps"));
}

TEST_F(Verifier, HandsKeyPagesToTheIndexLayer) {
    MakeFile();
    VerifyOptions options;
    int seen = 0;
    options.checkKeyPage = [&](uint32_t, const uint8_t*) {
        ++seen;
        return std::string("count does not fit");
    };
    VerifyReport r = VerifyWith([](std::vector<uint8_t>& b) { storage::StoreU16(b.data() + 4096 + 4, 0x304B); },
                                options);
    EXPECT_EQ(seen, 1);
    EXPECT_TRUE(Mentions(r, "count does not fit"));
}

}  // namespace

namespace {

// Key pages carry their height in the signature's high byte ("K0" .. "KC");
// pages of height 10 and more must be known as key pages too.
TEST(PageSignature, KeyPageHeightsRunFromZeroToNineteen) {
    for (int32_t h = 0; h <= kMaxKeyPageHeight; ++h)
        EXPECT_EQ(KeyPageHeight(static_cast<uint16_t>(kLeafPageSignature + 256 * h)), h);
    EXPECT_EQ(KeyPageHeight(static_cast<uint16_t>(kLeafPageSignature + 256 * 20)), -1);
    EXPECT_EQ(KeyPageHeight(0x4144), -1);  // "DA"
    EXPECT_EQ(KeyPageHeight(0x4346), -1);  // "FC"
    EXPECT_EQ(KeyPageHeight(0), -1);
}

TEST_F(Verifier, PassesATreeTallerThanTenLevels) {
    const std::string schema = "{File PageSize=64 {Index Id=1 {Segment Type=Long}}}";
    int32_t id = CreateAndOpen(schema, 1);
    uint32_t cursor = Cursor(id);
    ASSERT_EQ(engine->SelectIndex(cursor, 1), DmsStatus::Success);
    // Two 14-byte entries fill a 64-byte page, so 3000 keys stand about 11 levels tall.
    for (int32_t k = 0; k < 3000; ++k) {
        LongKey key(k);
        ASSERT_EQ(engine->InsertKey(cursor, key.values, {uint32_t(k), 0}), DmsStatus::Success);
    }
    IndexStats stats;
    ASSERT_EQ(engine->GetIndexStats(cursor, &stats), DmsStatus::Success);
    ASSERT_EQ(engine->CloseFile(id), DmsStatus::Success);

    ASSERT_EQ(engine->OpenFile(kPath, 2, schema, &id), DmsStatus::Success);
    int32_t tallest = -1;
    VerifyOptions options;
    options.checkKeyPage = [&](uint32_t, const uint8_t* page) {
        tallest = std::max(tallest, KeyPageHeight(storage::LoadU16(page + 4)));
        return std::string();
    };
    VerifyReport r = VerifyFile(*engine->FindFile(id), options);
    engine->CloseFile(id);
    EXPECT_GE(tallest, 10);
    EXPECT_TRUE(r.ok()) << (r.faults.empty() ? std::string() : r.faults.front());
}

}  // namespace
