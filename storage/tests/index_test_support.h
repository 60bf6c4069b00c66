// Helpers for index tests: a schema with one index of each key shape, keys
// built from plain values, and results read back as plain values.
#pragma once

#include "storage/dms.h"
#include "storage/index_tree.h"
#include "storage/tests/engine_fixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// Key ids of IndexSchema().
enum : int32_t { kLongIndex = 1, kTextIndex = 2, kBinaryIndex = 3, kWordByteIndex = 4, kOneTextIndex = 5 };

inline std::string IndexSchema(int32_t pageSize = 4096) {
    return "{File PageSize=" + std::to_string(pageSize) +
           " {Record Id=0}"
           " {Index Id=1 {Segment Type=Long}}"
           " {Index Id=2 {Segment Type=UString Sort=WK} {Segment Type=UString}}"
           " {Index Id=3 {Segment Type=Binary}}"
           " {Index Id=4 {Segment Type=Word} {Segment Type=Byte}}"
           " {Index Id=5 {Segment Type=UString}}}";
}

// The values of one key, kept alive while the engine reads them.
struct TextPairKey {
    std::u16string a, b;
    KeySegmentValue values[2];
    TextPairKey(std::u16string first, std::u16string second) : a(std::move(first)), b(std::move(second)) {
        values[0] = {a.data(), static_cast<int32_t>(a.size() * 2)};
        values[1] = {b.data(), static_cast<int32_t>(b.size() * 2)};
    }
    TextPairKey(const TextPairKey& o) : TextPairKey(o.a, o.b) {}
    TextPairKey& operator=(const TextPairKey&) = delete;
};

struct LongKey {
    int32_t v;
    KeySegmentValue values[1];
    explicit LongKey(int32_t value) : v(value) { values[0] = {&v, 4}; }
    LongKey(const LongKey& o) : LongKey(o.v) {}
    LongKey& operator=(const LongKey&) = delete;
};

// Out buffers for a key of two text segments.
struct TextPairOut {
    char16_t a[1100] = {}, b[1100] = {};
    KeySegmentValue values[2];
    TextPairOut() { Reset(); }
    void Reset() {
        values[0] = {a, sizeof a};
        values[1] = {b, sizeof b};
    }
    std::u16string First() const { return {a, static_cast<size_t>(values[0].length / 2)}; }
    std::u16string Second() const { return {b, static_cast<size_t>(values[1].length / 2)}; }
};

struct LongOut {
    int32_t v = 0;
    KeySegmentValue values[1];
    LongOut() { values[0] = {&v, 4}; }
};

class IndexTest : public EngineTest {
protected:
    void OpenIndexFile(int32_t keyId, int32_t mode = 1, int32_t pageSize = 4096) {
        schema = IndexSchema(pageSize);
        fileId = CreateAndOpen(schema, mode);
        cursor = Cursor(fileId);
        ASSERT_EQ(engine->SelectIndex(cursor, keyId), DmsStatus::Success);
    }
    DMSFile& File() { return *engine->FindFile(fileId); }
    DmsStatus Verify(int32_t keyId) {
        std::string problem;
        DmsStatus st = VerifyIndex(File(), keyId, &problem);
        EXPECT_EQ(st, DmsStatus::Success) << problem;
        return st;
    }
    DmsStatus InsertLong(int32_t v, uint32_t ref) { return engine->InsertKey(cursor, LongKey(v).values, {ref, ~ref}); }

    std::string schema;
    int32_t fileId = 0;
    uint32_t cursor = 0;
};
