// The sniffer's ordered rules on the smallest heads that reach each of them,
// the edge cases of the rule list, and the flags-to-type rules.
#include "dictionary/format_detection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

// Little-endian UTF-16 bytes of `text`, behind a byte-order mark when asked.
std::vector<uint8_t> Utf16(std::u16string_view text, bool bom = false) {
    std::vector<uint8_t> bytes;
    if (bom) bytes = {0xFF, 0xFE};
    for (char16_t u : text) {
        bytes.push_back(uint8_t(u & 0xFF));
        bytes.push_back(uint8_t(u >> 8));
    }
    return bytes;
}

std::vector<uint8_t> At(size_t offset, std::string_view text, std::vector<uint8_t> before = {}) {
    before.resize(offset, 'x');
    before.insert(before.end(), text.begin(), text.end());
    return before;
}

std::vector<uint8_t> StoreHeader(uint16_t version) {
    return {0, 0, 0, 0, 'F', 'C', uint8_t(version & 0xFF), uint8_t(version >> 8)};
}

std::vector<uint8_t> LatinListLine() {
    std::string line(120, 'a');
    for (size_t at : {18, 37, 56, 75, 99, 101, 103, 105, 107, 109}) line[at] = ' ';
    return Bytes(line + "\r\n");
}

struct RuleCase {
    const char* name;
    std::vector<uint8_t> head;
    uint32_t flags;
};

class SnifferRule : public ::testing::TestWithParam<RuleCase> {};

TEST_P(SnifferRule, GivesItsFlags) { EXPECT_EQ(SniffDictionaryFormat(GetParam().head), GetParam().flags); }

INSTANTIATE_TEST_SUITE_P(
    Rules, SnifferRule,
    ::testing::Values(
        RuleCase{"ContainerWordsAnyCase", Bytes("oSt1...."), 0x140100},
        RuleCase{"ContainerKanji", Bytes("ost2...."), 0x180100},
        RuleCase{"StoreDatabase404", StoreHeader(0x404), 0x10040000},
        RuleCase{"StoreDatabase405IsUnknown", StoreHeader(0x405), 0},
        RuleCase{"EdictEucJp", At(9, "/EDICT"), 0x3440000},
        RuleCase{"EdictUtf8", At(13, "/EDICT"), 0x2440008},
        RuleCase{"EdictUtf8WithBom", At(16, "/EDICT", {0xEF, 0xBB, 0xBF}), 0x2440008},
        RuleCase{"EdictAt16WithoutBomIsUnknown", At(16, "/EDICT"), 0},
        RuleCase{"EnamdictEucJp", At(9, "/ENAMDICT"), 0x43440000},
        RuleCase{"EnamdictUtf8", At(13, "/ENAMDICT"), 0x42440008},
        RuleCase{"EnamdictAt5", At(5, "/ENAMDICT"), 0x43440000},
        RuleCase{"Examples", Bytes("A: text"), 0x441008},
        RuleCase{"KanjidicBytes", Bytes("# KANJIDIC"), 0x1680000},
        RuleCase{"JrEdictAt11", At(11, "/JR-EDICT"), 0xC440000},
        RuleCase{"JrEdictAt10", At(10, "/JR-EDICT"), 0xC440000},
        RuleCase{"JrEdictAt9", At(9, "/JR-EDICT"), 0xC440000},
        RuleCase{"Pdic", [] { std::vector<uint8_t> b(200, 0); b[0] = 0x1B; b[141] = 4; return b; }(), 0x80440000},
        RuleCase{"Eijiro", {0x81, 0xA1, 'x'}, 0x440020},
        RuleCase{"Tatoeba", Bytes("1\tcmn\tword"), 0xC40008},
        RuleCase{"OwnWordMarkup", Utf16(u"{\\rdf1 x"), 0x40200},
        RuleCase{"OwnKanjiMarkup", Utf16(u"{\\rdf2 x"), 0x80200},
        RuleCase{"OwnKanjiMarkupWithBom", Utf16(u"{\\rdf2 x", true), 0x80200},
        RuleCase{"KanjidicUtf16", Utf16(u"# KANJIDIC", true), 0x680000},
        RuleCase{"DslName", Utf16(u"#NAME \"x\"", true), 0x440400},
        RuleCase{"DslContentsLanguage", Utf16(u"#CONTENTS_LANGUAGE\t\"English\""), 0x440400},
        RuleCase{"DslWordFollowedByLetterIsUnknown", Utf16(u"#NAMEx"), 0},
        RuleCase{"Warodai", Utf16(u"x\r\nあい 〔1〕\n", true), 0x440800},
        RuleCase{"WarodaiLineWithoutEndIsUnjudged", Utf16(u"あい 〔1〕"), 0},
        // CR LF counts two lines: the marks in the sixth written line sit in the
        // eleventh counted one.
        RuleCase{"WarodaiOnlyTenLines", Utf16(u"1\r\n2\r\n3\r\n4\r\n5\r\nあ〔1〕\n"), 0},
        RuleCase{"WarodaiTenthLine", Utf16(u"1\r\n2\r\n3\r\n4\r\n5\nあ〔1〕\n"), 0x440800},
        RuleCase{"Yarxi", Utf16(u"{\\yarxi}"), 0x480004},
        RuleCase{"LatinList", LatinListLine(), 0x450000},
        RuleCase{"ShortLatinLineIsUnknown", Bytes(std::string(79, 'a') + "\n"), 0},
        RuleCase{"FewerThanFourBytes", Bytes("OST"), 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Sniffer, LooksOnlyAtTheReadLimit) {
    // Kana, brackets and digits without a single line end or zero: a scan
    // that trusted a terminator would run off this exactly sized buffer.
    std::vector<uint8_t> head = Utf16(std::u16string(3 * kSniffReadLimit, u'あ') + u"〔〕1");
    EXPECT_EQ(SniffDictionaryFormat(head), 0u);
    std::vector<uint8_t> exact(Utf16(u"あ〔1〕\n"));
    EXPECT_EQ(SniffDictionaryFormat(std::span(exact).first(exact.size() - 2)), 0u);  // the LF cut off
    EXPECT_EQ(SniffDictionaryFormat(exact), 0x440800u);
    // A header behind the limit is never seen.
    EXPECT_EQ(SniffDictionaryFormat(At(kSniffReadLimit, "OST1")), 0u);
}

TEST(FormatType, FollowsTheRuleOrder) {
    struct Case {
        uint32_t flags;
        uint32_t type;
    };
    const Case cases[] = {
        {0x140100, 1},  {0x180100, 2},  {0x10040000, 1}, {0x3440000, 3},  {0x2440008, 3},
        {0x43440000, 3}, {0x42440008, 3}, {0x441008, 11},  {0x1680000, 6},  {0xC440000, 4},
        {0x80440000, 7}, {0x440020, 8},   {0xC40008, 13},  {0x40200, 0},    {0x80200, 0},
        {0x680000, 6},  {0x440400, 9},   {0x440800, 10},  {0x480004, 14},  {0x450000, 16},
        {0, 0},         {0x4000 | 0x2000000, 12},         {0x2000, 1},     {0x100 | 0x4000, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatTypeFromFlags(c.flags), c.type) << std::hex << c.flags;
}

}  // namespace
