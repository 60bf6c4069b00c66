// Binary and Long indexes hold SQLite's order: the same keys inserted into
// an engine index and into an SQLite table read back in the same order (BLOB
// keys in memcmp order, integers by value; equal keys in insertion order in
// both, by the reference that counts insertions). Native build only: the
// Windows build has no SQLite to compare with.
#if defined(OSTREL_WITH_SQLITE)

#include "storage/tests/index_test_support.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <random>

namespace {

class SqliteTable {
public:
    explicit SqliteTable(const char* keyType) {
        sqlite3_open(":memory:", &db_);
        std::string create = std::string("CREATE TABLE t(k ") + keyType + ", ref INTEGER)";
        sqlite3_exec(db_, create.c_str(), nullptr, nullptr, nullptr);
        sqlite3_prepare_v2(db_, "INSERT INTO t VALUES(?1, ?2)", -1, &insert_, nullptr);
    }
    ~SqliteTable() {
        sqlite3_finalize(insert_);
        sqlite3_close(db_);
    }
    void Insert(const std::vector<uint8_t>& blob, uint32_t ref) {
        sqlite3_bind_blob(insert_, 1, blob.data(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
        Step(ref);
    }
    void Insert(int32_t value, uint32_t ref) {
        sqlite3_bind_int(insert_, 1, value);
        Step(ref);
    }
    std::vector<uint32_t> OrderedRefs() {
        std::vector<uint32_t> refs;
        sqlite3_stmt* q = nullptr;
        sqlite3_prepare_v2(db_, "SELECT ref FROM t ORDER BY k, ref", -1, &q, nullptr);
        while (sqlite3_step(q) == SQLITE_ROW) refs.push_back(static_cast<uint32_t>(sqlite3_column_int64(q, 0)));
        sqlite3_finalize(q);
        return refs;
    }

private:
    void Step(uint32_t ref) {
        sqlite3_bind_int64(insert_, 2, ref);
        EXPECT_EQ(sqlite3_step(insert_), SQLITE_DONE);
        sqlite3_reset(insert_);
    }
    sqlite3* db_ = nullptr;
    sqlite3_stmt* insert_ = nullptr;
};

class IndexSqliteOrder : public IndexTest {
protected:
    std::vector<uint32_t> EngineRefs() {
        std::vector<uint32_t> refs;
        EntryPosition pos;
        for (DmsStatus st = engine->First(cursor, nullptr, &pos); st == DmsStatus::Success;
             st = engine->Next(cursor, nullptr, &pos))
            refs.push_back(pos.ref.first);
        return refs;
    }
};

TEST_F(IndexSqliteOrder, BinaryKeysInMemcmpOrder) {
    OpenIndexFile(kBinaryIndex);
    SqliteTable table("BLOB");
    std::mt19937 random(99);
    for (uint32_t ref = 1; ref <= 20000; ++ref) {
        // Short keys over few byte values give many shared prefixes and
        // duplicates; zero bytes stay out (the engine stops comparing there).
        std::vector<uint8_t> blob(random() % 6);
        for (uint8_t& b : blob) b = static_cast<uint8_t>(random() % 3 == 0 ? 0xF0 + random() % 16 : 1 + random() % 4);
        KeySegmentValue v{blob.data(), static_cast<int32_t>(blob.size())};
        ASSERT_EQ(engine->InsertKey(cursor, &v, {ref, 0}), DmsStatus::Success);
        table.Insert(blob, ref);
    }
    std::vector<uint32_t> expected = table.OrderedRefs();
    ASSERT_EQ(expected.size(), 20000u);
    EXPECT_EQ(EngineRefs(), expected);
    Verify(kBinaryIndex);
}

TEST_F(IndexSqliteOrder, LongKeysInNumericOrder) {
    OpenIndexFile(kLongIndex);
    SqliteTable table("INTEGER");
    std::mt19937 random(5);
    for (uint32_t ref = 1; ref <= 20000; ++ref) {
        // Within +-2^30 the signed difference never overflows.
        int32_t value = ref % 4 == 0 ? static_cast<int32_t>(random() % 50) - 25
                                     : static_cast<int32_t>(random() % (1u << 31)) - (1 << 30);
        ASSERT_EQ(engine->InsertKey(cursor, LongKey(value).values, {ref, 0}), DmsStatus::Success);
        table.Insert(value, ref);
    }
    EXPECT_EQ(EngineRefs(), table.OrderedRefs());
    Verify(kLongIndex);
}

}  // namespace

#endif
