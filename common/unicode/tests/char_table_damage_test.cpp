#include <zlib.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/unicode/char_tables.h"
#include "common/unicode/data_resource.h"
#include "common/unicode/search_key.h"

namespace {

// Serves a damaged copy of one built-in table and the real ones otherwise.
class DamagedTables final : public IDataResourceProvider {
public:
    std::span<const uint8_t> Find(std::string_view name) const override {
        auto found = stored_.find(std::string(name));
        return found == stored_.end() ? FindBuiltInDataResource(name)
                                      : std::span<const uint8_t>(found->second);
    }
    void Put(const std::string& name, std::vector<uint8_t> stored) { stored_[name] = std::move(stored); }

private:
    std::map<std::string, std::vector<uint8_t>> stored_;
};

std::vector<uint8_t> Store(const std::vector<uint8_t>& raw) {
    uLongf size = compressBound(raw.size());
    std::vector<uint8_t> stored(4 + size);
    uint32_t n = static_cast<uint32_t>(raw.size());
    std::memcpy(stored.data(), &n, 4);
    EXPECT_EQ(compress(stored.data() + 4, &size, raw.data(), raw.size()), Z_OK);
    stored.resize(4 + size);
    return stored;
}

std::vector<uint8_t> Raw(const char* name) {
    InflatedData d;
    EXPECT_TRUE(InflateDataResource(name, d));
    return {d.Bytes().begin(), d.Bytes().end()};
}

uint32_t Get(const std::vector<uint8_t>& b, size_t at) {
    uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}
void Set(std::vector<uint8_t>& b, size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); }

// Byte offset of the stage-2 entry of `cp` in a raw table.
size_t EntryAt(const std::vector<uint8_t>& b, uint32_t cp) {
    int32_t first = static_cast<int32_t>(Get(b, 48 + (cp >> 8) * 4));
    return Get(b, 32) + (size_t(first) + (cp & 0xFF)) * 4;
}

struct Damage {
    const char* label;
    const char* table;
    std::function<void(std::vector<uint8_t>&)> damage;  // on the raw table
    bool storedDamage = false;  // damage applies to the stored form instead
};

void PrintTo(const Damage& d, std::ostream* os) { *os << d.label; }

class DamagedTable : public testing::TestWithParam<Damage> {
protected:
    void SetUp() override {
        ReleaseCharTables();
        previous_ = SetDataResourceProvider(&tables_);
    }
    void TearDown() override {
        SetDataResourceProvider(previous_);
        ReleaseCharTables();
    }
    DamagedTables tables_;
    IDataResourceProvider* previous_ = nullptr;
};

TEST_P(DamagedTable, CountsAsMissingAndIsRetriedLater) {
    const Damage& d = GetParam();
    std::vector<uint8_t> raw = Raw(d.table);
    std::vector<uint8_t> stored;
    if (d.storedDamage) {
        stored = Store(raw);
        d.damage(stored);
    } else {
        d.damage(raw);
        stored = Store(raw);
    }
    tables_.Put(d.table, stored);

    std::vector<char16_t> out(64, u'#');
    std::string name = d.table;
    if (name == "CHAR_GENERAL_CATEGORY") {
        EXPECT_EQ(GetCharCategory(u'A'), -1);
    }
    if (name == "CHAR_LOWER_CASE") {
        EXPECT_EQ(ToLowerChar(u'A'), 0xFFFF);
    }
    if (name == "CHAR_UPPER_CASE") {
        EXPECT_EQ(ToUpperChar(u'a'), 0xFFFF);
    }
    if (name == "CHAR_DECOMPOSITION") {
        EXPECT_EQ(DecomposeString(u"Café", out), -1);
    }
    if (name != "CHAR_UPPER_CASE") {
        EXPECT_EQ(MakeSearchKey(u"Café", out), 0);
    }

    // A later call, with the table repaired, loads it.
    SetDataResourceProvider(previous_);
    EXPECT_EQ(GetCharCategory(u'A'), 1);
    EXPECT_EQ(ToLowerChar(u'A'), u'a');
    EXPECT_EQ(ToUpperChar(u'a'), u'A');
    ASSERT_EQ(MakeSearchKey(u"Café", out), 4);
    EXPECT_EQ(std::u16string(out.data(), 4), u"cafe");
}

INSTANTIATE_TEST_SUITE_P(
    LoadTimeChecks, DamagedTable,
    testing::Values(
        Damage{"BadMagic", "CHAR_GENERAL_CATEGORY", [](auto& b) { b[0] ^= 1; }},
        Damage{"Truncated", "CHAR_LOWER_CASE", [](auto& b) { b.resize(b.size() - 4); }, false},
        Damage{"StreamCut", "CHAR_LOWER_CASE", [](auto& b) { b.resize(b.size() / 2); }, true},
        Damage{"SizeOverstated", "CHAR_UPPER_CASE", [](auto& b) { b[0] += 4; }, true},
        Damage{"NoStream", "CHAR_UPPER_CASE", [](auto& b) { b.resize(3); }, true},
        Damage{"Stage1CountWrong", "CHAR_GENERAL_CATEGORY", [](auto& b) { Set(b, 16, 0x1FFF); }},
        Damage{"Stage2PastEnd", "CHAR_GENERAL_CATEGORY", [](auto& b) { Set(b, 28, Get(b, 28) + 1); }},
        Damage{"Stage2CountHuge", "CHAR_LOWER_CASE", [](auto& b) { Set(b, 28, 0x40000000); }},
        Damage{"Stage2Misaligned", "CHAR_LOWER_CASE", [](auto& b) { Set(b, 32, Get(b, 32) + 2); }},
        Damage{"Stage1PastStage2", "CHAR_UPPER_CASE",
               [](auto& b) { Set(b, 48, Get(b, 28) * 256 - 255); }},
        Damage{"Stage1Negative", "CHAR_UPPER_CASE", [](auto& b) { Set(b, 48, uint32_t(-2)); }},
        Damage{"CategoryOutOfRange", "CHAR_GENERAL_CATEGORY",
               [](auto& b) { Set(b, EntryAt(b, 0x41), 30); }},
        Damage{"CaseBeyondUnicode", "CHAR_LOWER_CASE",
               [](auto& b) { Set(b, EntryAt(b, 0x41), 0x110000); }},
        Damage{"PoolIndexPastPool", "CHAR_DECOMPOSITION",
               [](auto& b) { Set(b, EntryAt(b, 0xE9), Get(b, 40)); }},
        Damage{"PoolPastEnd", "CHAR_DECOMPOSITION", [](auto& b) { Set(b, 40, Get(b, 40) + 1); }},
        Damage{"RecordNotEnded", "CHAR_DECOMPOSITION",
               [](auto& b) { Set(b, b.size() - 4, 0x41); }},
        Damage{"EmptyRecord", "CHAR_DECOMPOSITION",
               [](auto& b) { Set(b, EntryAt(b, 0xE9), Get(b, EntryAt(b, 0xE9)) - 1); }},
        Damage{"Cycle", "CHAR_DECOMPOSITION",
               [](auto& b) { Set(b, EntryAt(b, 0x65), Get(b, EntryAt(b, 0xE9))); }},
        Damage{"PoolMissing", "CHAR_DECOMPOSITION", [](auto& b) { Set(b, 40, 0); }}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(MissingTables, KeysComeOutEmptyWithoutAnyTable) {
    class NoTables final : public IDataResourceProvider {
        std::span<const uint8_t> Find(std::string_view) const override { return {}; }
    } none;
    ReleaseCharTables();
    IDataResourceProvider* previous = SetDataResourceProvider(&none);
    std::vector<char16_t> out(16, u'#');
    EXPECT_EQ(GetCharCategory(u'a'), -1);
    EXPECT_EQ(GetCharCategory(0x2630), 0);
    EXPECT_EQ(ToLowerChar(u'A'), 0xFFFF);
    EXPECT_EQ(ToUpperChar(u'a'), 0xFFFF);
    EXPECT_EQ(DecomposeString(u"abc", out), -1);
    EXPECT_EQ(MakeSearchKey(u"abc", out), 0);
    EXPECT_EQ(out[0], u'#');
    // Without categories nothing is dropped.
    std::u16string text = u"a, b!";
    EXPECT_EQ(StripByCategory(text, text.data()), 5);
    SetDataResourceProvider(previous);
    ReleaseCharTables();
}

}  // namespace
