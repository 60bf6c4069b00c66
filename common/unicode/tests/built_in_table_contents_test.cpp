// The collation and range-record tables read back against their source files:
// every DUCET entry (single code points through stage 2, contractions through
// the node tries) and every code point's break and bidi values.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/tests/test_paths.h"
#include "common/unicode/data_resource.h"
#include "common/tests/unicode_data_oracle.h"

namespace {

const std::string kUnicodeDir = SourcePath("/resources/unicode");

class Words {
public:
    explicit Words(const char* name) { ok_ = InflateDataResource(name, data_); }
    bool ok() const { return ok_; }
    size_t size() const { return data_.size; }
    uint32_t operator()(size_t byteOffset) const {
        uint32_t v;
        std::memcpy(&v, data_.Bytes().data() + byteOffset, 4);
        return v;
    }

private:
    InflatedData data_;
    bool ok_ = false;
};

using Elements = std::vector<std::vector<uint32_t>>;  // {primary, secondary, tertiary, fourth}

TEST(CollationTable, EveryEntryOfAllkeysReadsBack) {
    Words w("DUCET_5_0_0_0_1");
    ASSERT_TRUE(w.ok());
    const uint32_t stage2 = w(80), elements = w(92), elementCount = w(88), nodes = w(104),
                   nodeCount = w(100);
    auto entry = [&](uint32_t cp) -> uint32_t {
        int32_t first = static_cast<int32_t>(w(0x70 + (cp >> 8) * 4));
        return first < 0 ? 0 : w(stage2 + (uint32_t(first) + (cp & 0xFF)) * 4);
    };
    auto read = [&](uint32_t ref) {
        Elements out;
        uint32_t count = ref >> 16, index = ref & 0xFFFF;
        EXPECT_LE(index + count, elementCount);
        for (uint32_t i = 0; i < count && index + i < elementCount; ++i) {
            size_t at = elements + (index + i) * 16;
            out.push_back({w(at), w(at + 4), w(at + 8), w(at + 12)});
        }
        return out;
    };
    auto node = [&](uint32_t n, int field) {
        EXPECT_LT(n, nodeCount);
        return w(nodes + n * 16 + field * 4);
    };

    std::ifstream in(kUnicodeDir + "/uca-5.0.0/allkeys.txt");
    std::string line;
    int singles = 0, contractions = 0;
    while (std::getline(in, line)) {
        std::string data = line.substr(0, line.find('#'));
        size_t semicolon = data.find(';');
        if (data.empty() || data[0] == '@' || semicolon == std::string::npos) continue;
        std::vector<uint32_t> points = ParseCodePoints(data.substr(0, semicolon));
        Elements expected;
        for (size_t at = data.find('['); at != std::string::npos; at = data.find('[', at + 1)) {
            std::vector<uint32_t> e;
            std::stringstream weights(data.substr(at + 2, data.find(']', at) - at - 2));
            std::string weight;
            while (std::getline(weights, weight, '.')) e.push_back(std::stoul(weight, nullptr, 16));
            expected.push_back(e);
        }
        uint32_t e = entry(points[0]);
        ASSERT_NE(e, 0u) << line;
        if (points.size() == 1) {
            uint32_t ref = e >> 24 ? node(e & 0xFFFF, 1) : e;  // a starter's head holds its own
            ASSERT_EQ(read(ref), expected) << line;
            ++singles;
            continue;
        }
        ASSERT_NE(e >> 24, 0u) << line;
        uint32_t at = e & 0xFFFF;
        ASSERT_EQ(node(at, 0), 0u);
        for (size_t i = 1; i <= points.size(); ++i) {
            uint32_t wanted = i < points.size() ? points[i] : 0;  // then the terminal node
            uint32_t child = node(at, 3);
            while (child != 0xFFFFFFFF && node(child, 0) != wanted) child = node(child, 2);
            ASSERT_NE(child, 0xFFFFFFFF) << line;
            at = child;
        }
        ASSERT_EQ(read(node(at, 1)), expected) << line;
        ++contractions;
    }
    EXPECT_EQ(singles, 17700);
    EXPECT_EQ(contractions, 471);
}

struct RangeSource {
    const char* table;
    const char* file;
    std::map<std::string, uint32_t> numbers;
    uint32_t fill;
};

class RangeRecords : public testing::TestWithParam<RangeSource> {};

TEST_P(RangeRecords, EveryCodePointHasTheValueOfItsFile) {
    const RangeSource& s = GetParam();
    Words w(s.table);
    ASSERT_TRUE(w.ok());
    std::vector<uint32_t> fromTable(0x110000, s.fill), fromFile(0x110000, s.fill);
    for (size_t r = 0; r < w.size() / 12; ++r)
        for (uint32_t cp = w(r * 12); cp <= w(r * 12 + 4); ++cp) fromTable[cp] = w(r * 12 + 8);
    std::ifstream in(kUnicodeDir + "/ucd-5.2.0/" + s.file);
    ASSERT_TRUE(in.good());
    std::string line;
    while (std::getline(in, line)) {
        std::string data = line.substr(0, line.find('#'));
        size_t semicolon = data.find(';');
        if (semicolon == std::string::npos) continue;
        std::string value = data.substr(semicolon + 1);
        value.erase(0, value.find_first_not_of(' '));
        value.erase(value.find_last_not_of(' ') + 1);
        ASSERT_TRUE(s.numbers.count(value)) << value;
        uint32_t first = std::stoul(data, nullptr, 16), last = first;
        size_t dots = data.find("..");
        if (dots != std::string::npos && dots < semicolon) last = std::stoul(data.substr(dots + 2), nullptr, 16);
        for (uint32_t cp = first; cp <= last; ++cp) fromFile[cp] = s.numbers.at(value);
    }
    for (uint32_t cp = 0; cp < 0x110000; ++cp) ASSERT_EQ(fromTable[cp], fromFile[cp]) << std::hex << cp;
}

INSTANTIATE_TEST_SUITE_P(
    Unicode52, RangeRecords,
    testing::Values(
        RangeSource{"WORD_BREAK_PROPERTIES", "auxiliary/WordBreakProperty.txt",
                    {{"Format", 1}, {"Katakana", 2}, {"ALetter", 3}, {"MidLetter", 4},
                     {"Numeric", 6}, {"ExtendNumLet", 7}, {"Extend", 8}, {"CR", 9}, {"LF", 10},
                     {"Newline", 11}, {"MidNum", 12}, {"MidNumLet", 12}},
                    0},
        RangeSource{"SENTENCE_BREAK_PROPERTIES", "auxiliary/SentenceBreakProperty.txt",
                    {{"CR", 1}, {"LF", 2}, {"Extend", 3}, {"Sep", 4}, {"Format", 5}, {"Sp", 6},
                     {"Lower", 7}, {"Upper", 8}, {"OLetter", 9}, {"Numeric", 10}, {"ATerm", 11},
                     {"STerm", 12}, {"Close", 13}, {"SContinue", 14}},
                    0},
        RangeSource{"LINE_BREAK_PROPERTIES", "LineBreak.txt",
                    {{"OP", 0}, {"CL", 1}, {"CP", 2}, {"QU", 3}, {"GL", 4}, {"NS", 5}, {"EX", 6},
                     {"SY", 7}, {"IS", 8}, {"PR", 9}, {"PO", 10}, {"NU", 11}, {"AL", 12},
                     {"ID", 13}, {"IN", 14}, {"HY", 15}, {"BA", 16}, {"BB", 17}, {"B2", 18},
                     {"ZW", 19}, {"CM", 20}, {"WJ", 21}, {"H2", 22}, {"H3", 23}, {"JL", 24},
                     {"JV", 25}, {"JT", 26}, {"SA", 27}, {"SP", 28}, {"BK", 30}, {"CR", 31},
                     {"LF", 32}, {"NL", 33}, {"CB", 34}, {"SG", 35}, {"AI", 36}, {"XX", 37}},
                    0},
        RangeSource{"DERIVED_BIDI_CLASS", "extracted/DerivedBidiClass.txt",
                    {{"L", 1}, {"R", 2}, {"EN", 3}, {"ES", 4}, {"ET", 5}, {"AN", 6}, {"CS", 7},
                     {"B", 8}, {"S", 9}, {"WS", 10}, {"ON", 11}, {"BN", 12}, {"NSM", 13},
                     {"AL", 14}, {"LRO", 15}, {"RLO", 16}, {"LRE", 17}, {"RLE", 18}, {"PDF", 19}},
                    1}),
    [](const auto& info) { return std::string(info.param.table); });

}  // namespace
