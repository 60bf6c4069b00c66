// Shared set-up for engine tests: an engine over a simulated disk, the
// dictionary schema, and small helpers to create, open and read raw files.
#pragma once

#include "storage/byte_order.h"
#include "storage/dms.h"
#include "storage/simulated_disk.h"
#include "storage/tests/dictionary_schema_text.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class EngineTest : public ::testing::Test {
protected:
    static constexpr const char16_t* kPath = u"C:\\Dictionaries\\test.qdx";

    void SetUp() override { engine = std::make_unique<CDMS>(disk); }

    // Creates kPath from `schema` and opens it; returns the file id.
    int32_t CreateAndOpen(const std::string& schema, int32_t mode = 0) {
        EXPECT_EQ(engine->CreateFile(kPath, schema), DmsStatus::Success);
        int32_t id = 0;
        EXPECT_EQ(engine->OpenFile(kPath, mode, schema, &id), DmsStatus::Success);
        return id;
    }
    uint32_t Cursor(int32_t fileId) {
        uint32_t handle = 0;
        EXPECT_EQ(engine->OpenCursor(fileId, &handle), DmsStatus::Success);
        return handle;
    }
    std::vector<uint8_t> Bytes(const std::u16string& path = kPath) {
        auto c = disk.Contents(path);
        return c ? *c : std::vector<uint8_t>{};
    }
    // Restarts the engine on the same disk (a clean program restart).
    void Restart() {
        engine.reset();
        engine = std::make_unique<CDMS>(disk);
    }

    SimulatedDisk disk;
    std::unique_ptr<CDMS> engine;
};

inline uint32_t U32At(const std::vector<uint8_t>& b, size_t at) { return storage::LoadU32(b.data() + at); }
inline uint16_t U16At(const std::vector<uint8_t>& b, size_t at) { return storage::LoadU16(b.data() + at); }
