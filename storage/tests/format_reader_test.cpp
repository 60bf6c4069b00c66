// The files the engine writes are the format its tables describe: a reader
// written from the tables alone (read_by_tables.py, sharing no code with the
// engine) reads every entry of every index and every data block of engine
// files, plain and compacted, at page sizes 4096 and 65535, byte for byte as
// the engine gives them. Natively only: the reader runs under python3.
#if !defined(_WIN32)

#include "common/tests/test_paths.h"
#include "storage/byte_order.h"
#include "storage/tests/edict_keys.h"
#include "storage/tests/index_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

std::string Hex(const uint8_t* p, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}

std::string TextSegment(const std::u16string& text) {
    uint8_t length[2];
    storage::StoreU16(length, static_cast<uint16_t>(text.size() * 2 + 2));
    return Hex(length, 2) + Hex(reinterpret_cast<const uint8_t*>(text.data()), text.size() * 2);
}

struct Case {
    uint32_t pageSize;
    bool compacted;
};

class FormatReader : public ::testing::TestWithParam<Case> {};

TEST_P(FormatReader, ReadsEveryEntryAndBlockAsTheEngineDoes) {
    const Case& k = GetParam();
    const std::string schema = "{File PageSize=" + std::to_string(k.pageSize) +
                               " {Record Id=0} {Index Id=1 {Segment Type=Long}}"
                               " {Index Id=2 {Segment Type=UString Sort=WK} {Segment Type=UString}}}";
    std::string path = BinaryPath() + "/format_reader_" + std::to_string(::getpid()) + ".qdx";
    std::u16string path16(path.begin(), path.end());
    std::remove(path.c_str());
    static const std::vector<ReadingAndWord> keys = LoadEdictKeys(2500);
    ASSERT_FALSE(keys.empty());

    CDMS engine(SystemStorageIO());
    ASSERT_EQ(engine.CreateFile(path16, schema), DmsStatus::Success);
    int32_t id = 0;
    ASSERT_EQ(engine.OpenFile(path16, 1, schema, &id), DmsStatus::Success);
    uint32_t c = 0;
    ASSERT_EQ(engine.OpenCursor(id, &c), DmsStatus::Success);
    ASSERT_EQ(engine.SelectIndex(c, 2), DmsStatus::Success);
    for (size_t i = 0; i < keys.size(); ++i) {
        TextPairKey key(keys[i].first, keys[i].second);
        ASSERT_EQ(engine.InsertKey(c, key.values, {static_cast<uint32_t>(i), 3}), DmsStatus::Success);
    }
    ASSERT_EQ(engine.SelectIndex(c, 1), DmsStatus::Success);
    std::vector<uint32_t> blocks;
    for (int32_t i = 0; i < 80; ++i) {
        // Articles of EDICT text, every tenth longer than two pages.
        std::string text;
        size_t want = i % 10 == 4 ? 2 * k.pageSize + 777 : 40 + static_cast<size_t>(i) * 53;
        for (size_t j = static_cast<size_t>(i); text.size() < want; ++j) {
            for (char16_t ch : keys[j % keys.size()].second) text.append(reinterpret_cast<const char*>(&ch), 2);
        }
        uint32_t at = 0;
        ASSERT_EQ(engine.WriteData(c, text.data(), static_cast<uint32_t>(want), &at), DmsStatus::Success);
        blocks.push_back(at);
        LongKey key((i * 7919) % 1000);
        ASSERT_EQ(engine.InsertKey(c, key.values, {at, static_cast<uint32_t>(i)}), DmsStatus::Success);
    }
    if (k.compacted) {
        ASSERT_EQ(engine.Compact(c), DmsStatus::Success);
    }
    ASSERT_EQ(engine.CloseFile(id), DmsStatus::Success);

    // What the engine reads, in the reader's lines.
    std::ostringstream expected;
    ASSERT_EQ(engine.OpenFile(path16, 2, schema, &id), DmsStatus::Success);
    ASSERT_EQ(engine.OpenCursor(id, &c), DmsStatus::Success);
    ASSERT_EQ(engine.SelectIndex(c, 1), DmsStatus::Success);
    LongOut number;
    EntryPosition at;
    for (DmsStatus st = engine.First(c, number.values, &at); st == DmsStatus::Success;
         st = engine.Next(c, number.values, &at)) {
        uint8_t raw[4];
        storage::StoreU32(raw, static_cast<uint32_t>(number.v));
        expected << "K 1 " << at.ref.first << " " << at.ref.second << " " << Hex(raw, 4) << "\n";
    }
    ASSERT_EQ(engine.SelectIndex(c, 2), DmsStatus::Success);
    TextPairOut pair;
    for (DmsStatus st = engine.First(c, pair.values, &at); st == DmsStatus::Success;
         pair.Reset(), st = engine.Next(c, pair.values, &at)) {
        expected << "K 2 " << at.ref.first << " " << at.ref.second << " " << TextSegment(pair.First())
                 << TextSegment(pair.Second()) << "\n";
    }
    std::string arguments;
    for (uint32_t block : blocks) {
        std::vector<uint8_t> bytes(3 * k.pageSize);
        uint32_t count = static_cast<uint32_t>(bytes.size());
        ASSERT_EQ(engine.ReadData(c, block, bytes.data(), &count), DmsStatus::Success);
        expected << "B " << block << " " << Hex(bytes.data(), count) << "\n";
        arguments += " " + std::to_string(block);
    }
    ASSERT_EQ(engine.CloseFile(id), DmsStatus::Success);

    std::string out = path + ".txt";
    std::string command = std::string("python3 ") + SourcePath("/storage/tests/read_by_tables.py ") + path + arguments + " > " + out;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(out);
    std::string read((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(read.size(), expected.str().size());
    EXPECT_TRUE(read == expected.str()) << "the reader and the engine disagree";
    std::remove(out.c_str());
    std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Files, FormatReader,
                         ::testing::Values(Case{4096, false}, Case{4096, true}, Case{65535, false},
                                           Case{65535, true}),
                         [](const auto& info) {
                             return std::to_string(info.param.pageSize) +
                                    (info.param.compacted ? "Compacted" : "Plain");
                         });

}  // namespace

#endif
